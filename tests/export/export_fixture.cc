#include "export_fixture.h"

#include <unistd.h>

#include "../directory/test_directory.h"

namespace tessary::testing {

std::vector<std::string> CountingProgressHost::Texts(int control_id) {
  std::lock_guard lock(mutex_);
  return texts_[control_id];
}

int CountingProgressHost::RunModal(const platform::ProgressDialogLayout& definition,
                                   platform::ProgressEvents& events) {
  {
    std::lock_guard lock(mutex_);
    events_ = &events;
    cancel_id_ = definition.cancel_id;
    ended_ = false;
  }
  events.OnInitDialog();
  std::unique_lock lock(mutex_);
  ended_changed_.wait(lock, [this] { return ended_; });
  events_ = nullptr;
  return result_;
}

void CountingProgressHost::EndModal(int result) {
  std::lock_guard lock(mutex_);
  result_ = result;
  ended_ = true;
  ended_changed_.notify_all();
}

void CountingProgressHost::SetControlText(int control_id, const std::string& text) {
  platform::ProgressEvents* press = nullptr;
  {
    std::lock_guard lock(mutex_);
    texts_[control_id].push_back(text);
    // 1070 is the export's total; the press happens before the run goes on, as a click
    // arriving while the row is written would.
    if (control_id == 1070 && text == std::to_string(cancel_at_)) press = events_;
  }
  if (press) press->OnCommand(cancel_id_);
}

void ExportTest::SetUp() {
  platform::SetUiHost(&ui_);
  std::string error;
  ASSERT_TRUE(OpenTestDirectory(machine_.Root(), &directory_, &error)) << error;
  domain_ = std::make_unique<CExDomain>(directory_.get());
  ASSERT_TRUE(domain_->Connect()) << domain_->Error().GetText();
  ASSERT_TRUE(domain_->LoadSchemaClasses()) << domain_->Error().GetText();
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  unit_name_ = std::string(info->name()).substr(0, 40) + "-" + std::to_string(getpid());
  unit_ = Add("organizationalUnit", "OU=" + unit_name_, {}, domain_->DistinguishedName);
}

void ExportTest::TearDown() { platform::SetUiHost(nullptr); }

std::string ExportTest::Add(const std::string& class_name, const std::string& rdn,
                            const AttributeValues& values, const std::string& parent_dn) {
  const std::string parent = parent_dn.empty() ? unit_ : parent_dn;
  std::unique_ptr<ds::Object> container, created;
  EXPECT_EQ(directory_->Bind("LDAP://" + parent, &container), S_OK) << parent;
  if (!container) return {};
  EXPECT_EQ(container->Create(class_name, rdn, &created), S_OK) << rdn;
  if (!created) return {};
  for (const auto& [name, texts] : values) {
    ds::Values list;
    for (const std::string& text : texts) list.push_back(ds::Value::String(text));
    EXPECT_EQ(created->PutEx(ds::ADS_PROPERTY_UPDATE, name, list), S_OK) << name;
  }
  EXPECT_EQ(created->SetInfo(), S_OK) << rdn << "," << parent;
  return rdn + "," + parent;
}

std::string ExportTest::AddUser(const std::string& cn, const AttributeValues& values,
                                const std::string& parent_dn) {
  AttributeValues all = values;
  // Unique in the domain, which a shared test directory keeps for every test of the program.
  static int accounts = 0;
  all.push_back({"sAMAccountName",
                 {"x" + std::to_string(getpid() % 100000) + "-" + std::to_string(++accounts)}});
  return Add("user", "CN=" + cn, all, parent_dn);
}

std::string ExportTest::FileText(const std::string& name) const {
  return ReadFileText(machine_.Root() / name);
}

}  // namespace tessary::testing
