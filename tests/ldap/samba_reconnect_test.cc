// Writes and searches over a connection that is lost under them: a relay of the test's own
// between the backend and the DC cuts the connection at chosen moments.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <thread>

#include "cutting_proxy.h"
#include "directory/ds/ds_error.h"
#include "samba_fixture.h"

namespace tessary::ds::ldap {
namespace {

using testing::CuttingProxy;
using testing::SambaDirectoryTest;

constexpr HRESULT kServerDown = MakeHresult(0x8007203A);

// Records what the backend tells a run while it waits; gives up after give_up_after calls.
class RecordingWait final : public ServerWait {
 public:
  explicit RecordingWait(int give_up_after = 1 << 30) : give_up_after_(give_up_after) {}
  bool Waiting() override { return ++waiting_ < give_up_after_; }
  void Resumed() override { ++resumed_; }
  int waiting_ = 0;
  int resumed_ = 0;

 private:
  int give_up_after_;
};

class SambaReconnect : public SambaDirectoryTest {
 protected:
  void SetUp() override {
    SambaDirectoryTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    proxy_ = std::make_unique<CuttingProxy>(dc_.Var("TESSARY_SAMBA_ADDRESS"), 636);
  }

  // The directory as seen through the relay, with waits of at most limit_seconds.
  std::unique_ptr<Directory> Relayed(int limit_seconds = 60) {
    env_.Set("TESSARY_RECONNECT_LIMIT", std::to_string(limit_seconds));
    std::unique_ptr<Directory> relayed;
    std::string error;
    EXPECT_TRUE(OpenLdapDirectory(proxy_->Uri("ldaps"), &relayed, &error)) << error;
    return relayed;
  }
  std::unique_ptr<Object> BindThrough(Directory& directory, const std::string& dn) {
    std::unique_ptr<Object> object;
    EXPECT_EQ(directory.Bind("LDAP://" + dn, &object), S_OK) << dn;
    return object;
  }
  // Cuts every connection now and waits until the relay has done it.
  void CutNow() {
    const int before = proxy_->Cuts();
    proxy_->CutNow();
    for (int i = 0; i < 200 && proxy_->Cuts() == before; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_GT(proxy_->Cuts(), before);
  }
  bool ExistsDirectly(const std::string& dn) {
    std::unique_ptr<Object> object;
    return directory_->Bind("LDAP://" + dn, &object) == S_OK;
  }
  std::vector<std::string> TextsDirectly(const std::string& dn, const std::string& name) {
    std::unique_ptr<Object> object;
    std::vector<std::string> texts;
    Values values;
    if (directory_->Bind("LDAP://" + dn, &object) != S_OK || object->GetEx(name, &values) != S_OK) {
      return texts;
    }
    for (const Value& value : values) texts.push_back(value.string() ? *value.string() : "?");
    std::sort(texts.begin(), texts.end());
    return texts;
  }

  std::unique_ptr<CuttingProxy> proxy_;
};

// Each write reaches the DC, and the answer is lost with the connection: the write reads the
// directory once it is back and reports what happened there, never a failure of its own echo.
TEST_F(SambaReconnect, AWriteWhoseAnswerIsLostIsReportedAsItWentOnTheServer) {
  std::unique_ptr<Directory> relayed = Relayed();
  ASSERT_TRUE(relayed);
  std::unique_ptr<Object> ou = BindThrough(*relayed, ou_dn_);
  // The attributes' syntaxes are learned first, so that each cut falls on the write itself.
  std::unique_ptr<Object> warm;
  ASSERT_EQ(ou->Create("contact", "CN=Warm", &warm), S_OK);
  ASSERT_EQ(warm->Put("description", Value::String("warm")), S_OK);
  ASSERT_EQ(warm->PutEx(ADS_PROPERTY_APPEND, "otherTelephone", {Value::String("1")}), S_OK);
  ASSERT_EQ(warm->SetInfo(), S_OK);

  std::unique_ptr<Object> contact;
  ASSERT_EQ(ou->Create("contact", "CN=Cut Add", &contact), S_OK);
  ASSERT_EQ(contact->Put("description", Value::String("first")), S_OK);
  proxy_->CutAtNextAnswer();
  EXPECT_EQ(contact->SetInfo(), S_OK);
  EXPECT_EQ(proxy_->Cuts(), 1);
  EXPECT_EQ(TextsDirectly("CN=Cut Add," + ou_dn_, "description"),
            std::vector<std::string>{"first"});

  ASSERT_EQ(contact->Put("description", Value::String("second")), S_OK);
  ASSERT_EQ(contact->PutEx(ADS_PROPERTY_APPEND, "otherTelephone", {Value::String("101")}), S_OK);
  proxy_->CutAtNextAnswer();
  EXPECT_EQ(contact->SetInfo(), S_OK);
  EXPECT_EQ(TextsDirectly("CN=Cut Add," + ou_dn_, "otherTelephone"),
            std::vector<std::string>{"101"});

  std::unique_ptr<Object> group;
  ASSERT_EQ(ou->Create("group", "CN=Cut Group", &group), S_OK);
  ASSERT_EQ(group->Put("sAMAccountName", Value::String("cut" + ou_name_.substr(0, 10))), S_OK);
  ASSERT_EQ(group->SetInfo(), S_OK);
  ASSERT_EQ(group->GetInfo(), S_OK);
  proxy_->CutAtNextAnswer();
  EXPECT_EQ(group->Add("LDAP://CN=Cut Add," + ou_dn_), S_OK);
  EXPECT_EQ(TextsDirectly("CN=Cut Group," + ou_dn_, "member"),
            std::vector<std::string>{"CN=Cut Add," + ou_dn_});

  proxy_->CutAtNextAnswer();
  EXPECT_EQ(ou->MoveHere("LDAP://CN=Cut Add," + ou_dn_, "CN=Cut Renamed", nullptr), S_OK);
  EXPECT_FALSE(ExistsDirectly("CN=Cut Add," + ou_dn_));
  EXPECT_TRUE(ExistsDirectly("CN=Cut Renamed," + ou_dn_));

  proxy_->CutAtNextAnswer();
  EXPECT_EQ(ou->Delete("contact", "CN=Cut Renamed"), S_OK);
  EXPECT_FALSE(ExistsDirectly("CN=Cut Renamed," + ou_dn_));
  EXPECT_EQ(proxy_->Cuts(), 5);
}

// A write that never reached the DC (the connection was gone before it) is sent once more.
TEST_F(SambaReconnect, AWriteLostOnTheWayIsSentAgain) {
  std::unique_ptr<Directory> relayed = Relayed();
  ASSERT_TRUE(relayed);
  std::unique_ptr<Object> ou = BindThrough(*relayed, ou_dn_);
  std::unique_ptr<Object> contact;
  ASSERT_EQ(ou->Create("contact", "CN=Resent", &contact), S_OK);
  ASSERT_EQ(contact->PutEx(ADS_PROPERTY_APPEND, "otherTelephone", {Value::String("6")}), S_OK);
  ASSERT_EQ(contact->SetInfo(), S_OK);
  ASSERT_EQ(contact->PutEx(ADS_PROPERTY_APPEND, "otherTelephone", {Value::String("7")}), S_OK);
  CutNow();
  EXPECT_EQ(contact->SetInfo(), S_OK);
  EXPECT_EQ(TextsDirectly("CN=Resent," + ou_dn_, "otherTelephone"),
            (std::vector<std::string>{"6", "7"}));
}

// The paging state lives with the connection: a search cut between pages begins again on the
// new one and gives each row once.
TEST_F(SambaReconnect, APagedSearchCutBetweenPagesGivesEveryRowOnce) {
  std::unique_ptr<Object> ou = BindOu();
  for (int i = 0; i < 35; ++i) {
    std::unique_ptr<Object> contact;
    ASSERT_EQ(ou->Create("contact", "CN=Row " + std::to_string(i), &contact), S_OK);
    ASSERT_EQ(contact->SetInfo(), S_OK);
  }
  std::unique_ptr<Directory> relayed = Relayed();
  ASSERT_TRUE(relayed);
  SearchRequest request;
  request.filter = "(objectClass=contact)";
  request.columns = {"cn"};
  request.page_size = 10;
  request.scope = SearchScope::kOneLevel;
  std::unique_ptr<SearchCursor> cursor;
  ASSERT_EQ(BindThrough(*relayed, ou_dn_)->ExecuteSearch(request, &cursor), S_OK);
  std::multiset<std::string> names;
  HRESULT hr = cursor->GetFirstRow();
  for (int row = 0; hr == S_OK; ++row) {
    Attribute cn;
    ASSERT_EQ(cursor->GetColumn("cn", &cn), S_OK);
    names.insert(*cn.values.at(0).string());
    // Within the second page: the next page's answer is lost.
    if (row == 12) proxy_->CutAtNextAnswer();
    hr = cursor->GetNextRow();
  }
  EXPECT_EQ(hr, S_ADS_NOMORE_ROWS);
  EXPECT_EQ(proxy_->Cuts(), 1);
  EXPECT_EQ(names.size(), 35u);
  EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), 35u);
}

// A DC away for a moment is waited for, and the run is told while it waits.
TEST_F(SambaReconnect, AServerAwayForAMomentIsWaitedFor) {
  std::unique_ptr<Directory> relayed = Relayed(60);
  ASSERT_TRUE(relayed);
  RecordingWait wait;
  relayed->SetServerWait(&wait);
  std::unique_ptr<Object> ou = BindThrough(*relayed, ou_dn_);
  proxy_->RefuseFor(std::chrono::milliseconds(1500));
  CutNow();
  EXPECT_EQ(ou->GetInfo(), S_OK);
  EXPECT_GT(wait.waiting_, 0);
  EXPECT_EQ(wait.resumed_, 1);
  relayed->SetServerWait(nullptr);
}

// Cancel ends the wait, and a server that stays away past the limit fails the operation; the
// operations after it try once each instead of waiting again, until the server is back.
TEST_F(SambaReconnect, CancelOrTheLimitEndsTheWait) {
  std::unique_ptr<Directory> relayed = Relayed(2);
  ASSERT_TRUE(relayed);
  std::unique_ptr<Object> ou = BindThrough(*relayed, ou_dn_);
  RecordingWait cancelling(3);
  relayed->SetServerWait(&cancelling);
  proxy_->RefuseFor(std::chrono::seconds(60));
  CutNow();
  EXPECT_EQ(ou->GetInfo(), kServerDown);
  EXPECT_EQ(cancelling.waiting_, 3);
  EXPECT_EQ(cancelling.resumed_, 0);

  RecordingWait patient;
  relayed->SetServerWait(&patient);
  EXPECT_EQ(ou->GetInfo(), kServerDown);  // waits out the two seconds
  const int waited = patient.waiting_;
  EXPECT_GT(waited, 0);
  EXPECT_EQ(ou->GetInfo(), kServerDown);  // one try, no wait
  EXPECT_EQ(patient.waiting_, waited);

  proxy_->RefuseFor(std::chrono::milliseconds(0));
  EXPECT_EQ(ou->GetInfo(), S_OK);
  relayed->SetServerWait(nullptr);
}

}  // namespace
}  // namespace tessary::ds::ldap
