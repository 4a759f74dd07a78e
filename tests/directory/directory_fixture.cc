#include "directory_fixture.h"

#include <unistd.h>

#include "test_directory.h"

namespace tessary::testing {

void DirectoryTest::SetUp() {
  std::string error;
  ASSERT_TRUE(OpenTestDirectory(machine_.Root(), &backend_, &error)) << error;
  directory_ = std::make_unique<CountingDirectory>(*backend_);
  domain_ = std::make_unique<CExDomain>(directory_.get());
  ASSERT_TRUE(domain_->Connect()) << domain_->Error().GetText();
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "-" + info->name();
  if (name.size() > 48) name.resize(48);  // keep RDNs within what AD accepts
  unit_ = Add("organizationalUnit", "OU=" + name + "-" + std::to_string(getpid()),
              domain_->DistinguishedName);
  directory_->Calls() = {};
}

void DirectoryTest::TearDown() {
  if (UsingFreshEmbeddedDirectory() || !backend_ || unit_.empty()) return;
  EXPECT_EQ(DeleteTree(*backend_, unit_), S_OK) << unit_;
}

std::string DirectoryTest::AccountName(const std::string& base) {
  return base.substr(0, 12) + "-" + std::to_string(getpid() % 100000);
}

std::string DirectoryTest::Add(const std::string& class_name, const std::string& rdn,
                               const std::string& parent_dn,
                               const std::vector<std::pair<std::string, std::string>>& values) {
  std::unique_ptr<ds::Object> parent, created;
  HRESULT hr = backend_->Bind("LDAP://" + parent_dn, &parent);
  EXPECT_EQ(hr, S_OK) << parent_dn;
  if (Failed(hr)) return {};
  hr = parent->Create(class_name, rdn, &created);
  EXPECT_EQ(hr, S_OK) << rdn;
  if (Failed(hr)) return {};
  for (const auto& [name, value] : values) {
    hr = created->Put(name, ds::Value::String(value));
    EXPECT_EQ(hr, S_OK) << name;
  }
  hr = created->SetInfo();
  EXPECT_EQ(hr, S_OK) << rdn << "," << parent_dn;
  return rdn + "," + parent_dn;
}

}  // namespace tessary::testing
