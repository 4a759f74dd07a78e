// The Exchange 2000 mailbox component: offered once the forest holds an Exchange organisation;
// creating a mailbox writes the mailbox attributes from the store's place in the configuration.

#include <unistd.h>

#include "fixture.h"

namespace tessary::testing {
namespace {

class MailboxTest : public ConformanceTest {
 protected:
  void SetUp() override {
    ConformanceTest::SetUp();
    std::unique_ptr<ds::Object> root = Bind("RootDSE");
    ds::Value configuration;
    ASSERT_NE(root, nullptr);
    ASSERT_HR(S_OK, root->Get("configurationNamingContext", &configuration));
    ASSERT_NE(configuration.string(), nullptr);
    services_ = "CN=Services," + *configuration.string();
    user_ = "CN=Mail User," + ou();
    ASSERT_HR(S_OK, MakeUser(ou(), "Mail User", "muser" + std::to_string(getpid() % 100000)));
  }

  void TearDown() override {
    if (!exchange_.empty()) {
      EXPECT_HR(S_OK, DeleteTree(directory(), exchange_));
    }
    ConformanceTest::TearDown();
  }

  // The tree Exchange setup makes, down to one mailbox store; gives the store's DN.
  std::string MakeOrganisation() {
    std::string parent = services_;
    const std::pair<const char*, const char*> levels[] = {
        {"msExchConfigurationContainer", "CN=Microsoft Exchange"},
        {"msExchOrganizationContainer", "CN=Tessary Org"},
        {"msExchAdminGroupContainer", "CN=Administrative Groups"},
        {"msExchAdminGroup", "CN=First Administrative Group"},
        {"msExchServersContainer", "CN=Servers"},
        {"msExchExchangeServer", "CN=MAIL01"},
        {"msExchInformationStore", "CN=InformationStore"},
        {"msExchStorageGroup", "CN=First Storage Group"},
        {"msExchPrivateMDB", "CN=Mailbox Store (MAIL01)"},
    };
    for (const auto& [class_name, rdn] : levels) {
      EXPECT_HR(S_OK, Make(parent, class_name, rdn)) << rdn;
      parent = std::string(rdn) + "," + parent;
      if (exchange_.empty()) exchange_ = parent;
    }
    return parent;
  }

  HRESULT QueryMailbox(std::unique_ptr<ds::MailboxStore>* mailbox) {
    std::unique_ptr<ds::Object> user = Bind(user_);
    return user ? user->QueryMailboxStore(mailbox) : E_FAIL;
  }

  std::string services_, user_, exchange_;
};

TEST_F(MailboxTest, OnlyAUserWithAnOrganisationInTheForestGetsTheComponent) {
  std::unique_ptr<ds::MailboxStore> mailbox;
  EXPECT_HR(E_NOINTERFACE, QueryMailbox(&mailbox));
  MakeOrganisation();
  EXPECT_HR(S_OK, QueryMailbox(&mailbox));
  std::unique_ptr<ds::Object> unit = Bind(ou());
  ASSERT_NE(unit, nullptr);
  EXPECT_HR(E_NOINTERFACE, unit->QueryMailboxStore(&mailbox));
}

TEST_F(MailboxTest, CreateMailboxWritesTheMailboxAttributes) {
  const std::string store = MakeOrganisation();
  std::unique_ptr<ds::MailboxStore> mailbox;
  ASSERT_HR(S_OK, QueryMailbox(&mailbox));
  ASSERT_HR(S_OK, mailbox->CreateMailbox(store));
  EXPECT_EQ(store, Text(user_, "homeMDB"));
  const std::string nickname = Text(user_, "sAMAccountName");
  EXPECT_EQ(nickname, Text(user_, "mailNickname"));
  EXPECT_EQ("/o=Tessary Org/ou=First Administrative Group/cn=Recipients/cn=" + nickname,
            Text(user_, "legacyExchangeDN"));
  EXPECT_EQ("/o=Tessary Org/ou=First Administrative Group/cn=Configuration/cn=Servers/cn=MAIL01",
            Text(user_, "msExchHomeServerName"));
  // A second mailbox fails; the user keeps the first.
  EXPECT_HR(E_DS_ALREADY_EXISTS, mailbox->CreateMailbox(store));
  EXPECT_EQ(store, Text(user_, "homeMDB"));
}

TEST_F(MailboxTest, AServerNamedInTheDirectoryGivesItsOwnName) {
  const std::string store = MakeOrganisation();
  const std::string server = store.substr(store.find("CN=MAIL01,"));
  std::unique_ptr<ds::Object> object = Bind(server);
  ASSERT_NE(object, nullptr);
  ASSERT_HR(S_OK, object->Put("legacyExchangeDN", ds::Value::String("/o=Org/cn=MAIL01")));
  ASSERT_HR(S_OK, object->SetInfo());
  std::unique_ptr<ds::MailboxStore> mailbox;
  ASSERT_HR(S_OK, QueryMailbox(&mailbox));
  ASSERT_HR(S_OK, mailbox->CreateMailbox(store));
  EXPECT_EQ("/o=Org/cn=MAIL01", Text(user_, "msExchHomeServerName"));
}

TEST_F(MailboxTest, OnlyAMailboxStoreIsTaken) {
  const std::string store = MakeOrganisation();
  std::unique_ptr<ds::MailboxStore> mailbox;
  ASSERT_HR(S_OK, QueryMailbox(&mailbox));
  EXPECT_HR(E_DS_NO_SUCH_OBJECT, mailbox->CreateMailbox("CN=No Store," + services_));
  EXPECT_HR(E_INVALIDARG, mailbox->CreateMailbox(services_));
  // A store's parent is no store either.
  EXPECT_HR(E_INVALIDARG, mailbox->CreateMailbox(store.substr(store.find(',') + 1)));
  EXPECT_EQ("", Text(user_, "homeMDB"));
}

}  // namespace
}  // namespace tessary::testing
