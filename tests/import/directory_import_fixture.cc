#include "directory_import_fixture.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>

#include "directory/ds/embedded/embedded_directory.h"
#include "directory/ds/embedded/schema_definition.h"
#include "directory/ds/ldap/ldap_directory.h"
#include "directory/ds/open_directory.h"
#include "import/split_values.h"

namespace tessary::testing {
namespace {

namespace fs = std::filesystem;

// Named before any test replaces TMPDIR with its private folder.
const fs::path kTemplateFolder =
    fs::temp_directory_path() / ("tessary-import-tests-" + std::to_string(getpid()));

// Provisioning writes the whole schema, so it is done once per program and copied per test.
fs::path TemplateDirectory(std::string* error) {
  static std::once_flag once;
  static fs::path made;
  static std::string failure;
  std::call_once(once, [] {
    fs::create_directories(kTemplateFolder);
    std::atexit([] {
      std::error_code ignored;
      fs::remove_all(kTemplateFolder, ignored);
    });
    const fs::path file = kTemplateFolder / "template.db";
    if (ds::embedded::ProvisionDomain(file.string(), "example.com", ds::embedded::BuiltinSchema(),
                                      {}, &failure)) {
      made = file;
    }
  });
  *error = failure;
  return made;
}

std::string Text(const ds::Value& value) {
  if (const std::string* text = value.string()) return *text;
  if (const std::int32_t* number = value.integer()) return std::to_string(*number);
  if (const bool* flag = value.boolean()) return *flag ? "TRUE" : "FALSE";
  if (const std::int64_t* large = value.large_integer()) return std::to_string(*large);
  return "?";
}

}  // namespace

void DirectoryImportTest::SetUp() {
  std::string error;
  const char* location = std::getenv("TESSARY_IMPORT_DIRECTORY");
  if (location != nullptr && *location != '\0') {
    embedded_ = false;
    ds::ldap::InstallLdapBackend();
    ASSERT_TRUE(ds::OpenDirectory(location, &directory_, &error)) << error;
  } else {
    const fs::path original = TemplateDirectory(&error);
    ASSERT_FALSE(original.empty()) << error;
    const fs::path copy = machine_.Root() / "directory.db";
    fs::copy_file(original, copy);
    ASSERT_TRUE(ds::embedded::OpenEmbeddedDirectory(copy.string(), &directory_, &error)) << error;
  }
  domain_ = std::make_unique<CExDomain>(directory_.get());
  domain_->SetSchemaCachePath((machine_.Root() / "Schema.dat").string());
  ASSERT_TRUE(domain_->Connect()) << domain_->Error().Text();

  static int counter = 0;
  token_ = "-" + std::to_string(getpid()) + "-" + std::to_string(++counter);
  base_ = "OU=Import" + token_ + "," + DomainDN();
  cleanup_.push_back(base_);
  std::unique_ptr<ds::Object> domain;
  ASSERT_EQ(directory_->Bind("LDAP://" + DomainDN(), &domain), S_OK);
  std::unique_ptr<ds::Object> unit;
  ASSERT_EQ(domain->Create("organizationalUnit", base_.substr(0, base_.find(',')), &unit), S_OK);
  ASSERT_EQ(unit->SetInfo(), S_OK);

  adapter_ = std::make_unique<DomainImportDirectory>(*domain_);
  engine_ = std::make_unique<CImportEngine>(adapter_.get());
  engine_->ImportFile = (machine_.Root() / "import.csv").string();
  engine_->ErrorFolder = (machine_.Root() / "errors").string() + "/";
  fs::create_directories(engine_->ErrorFolder);
  engine_->DataFolder = (machine_.Root() / "program").string() + "/";
  fs::create_directories(engine_->DataFolder);
  engine_->MustChangePassword = false;
}

void DirectoryImportTest::TearDown() {
  if (!directory_) return;
  for (const std::string& dn : cleanup_) (void)DeleteTree(*directory_, dn);
  // Objects that a test deleted went to LostAndFound; their names end with the test's token.
  std::unique_ptr<ds::Object> lost;
  if (directory_->Bind("LDAP://CN=LostAndFound," + DomainDN(), &lost) != S_OK) return;
  std::unique_ptr<ds::ChildCursor> children;
  if (lost->EnumChildren(&children) != S_OK) return;
  std::vector<std::string> mine;
  std::unique_ptr<ds::Object> child;
  while (children->Next(&child) == S_OK) {
    std::string path;
    if (child->GetAdsPath(&path) == S_OK && path.find(token_ + ",") != std::string::npos) {
      mine.push_back(path.substr(7));
    }
  }
  for (const std::string& dn : mine) (void)DeleteTree(*directory_, dn);
}

bool DirectoryImportTest::Check(const std::vector<std::string>& lines) {
  WriteLines(engine_->ImportFile, lines);
  return engine_->CheckImportFile() && engine_->ValidateImportLines();
}

int DirectoryImportTest::Import(const std::vector<std::string>& lines, ScriptedProgressHost* host) {
  if (!Check(lines)) {
    ADD_FAILURE() << engine_->Error().Text();
    return -1;
  }
  ScriptedProgressHost own;
  return RunBehindDialog(*engine_, host ? *host : own);
}

std::string DirectoryImportTest::AddOrganizationalUnit(const std::string& name) {
  std::unique_ptr<ds::Object> base;
  std::unique_ptr<ds::Object> unit;
  EXPECT_EQ(directory_->Bind("LDAP://" + base_, &base), S_OK);
  if (base) {
    EXPECT_EQ(base->Create("organizationalUnit", "OU=" + name, &unit), S_OK);
    if (unit) {
      EXPECT_EQ(unit->SetInfo(), S_OK);
    }
  }
  return "OU=" + name + "," + base_;
}

bool DirectoryImportTest::Exists(const std::string& dn) {
  std::unique_ptr<ds::Object> object;
  return directory_->Bind("LDAP://" + dn, &object) == S_OK;
}

std::vector<std::string> DirectoryImportTest::Values(const std::string& dn,
                                                     const std::string& attribute) {
  std::vector<std::string> texts;
  std::unique_ptr<ds::Object> object;
  if (directory_->Bind("LDAP://" + dn, &object) != S_OK) return {"<no object>"};
  if (object->GetInfoEx({attribute}) != S_OK) return {"<no info>"};
  ds::Values values;
  if (object->GetEx(attribute, &values) != S_OK) return texts;
  for (const ds::Value& value : values) texts.push_back(Text(value));
  return texts;
}

std::string DirectoryImportTest::Value(const std::string& dn, const std::string& attribute) {
  const std::vector<std::string> values = Values(dn, attribute);
  return values.size() == 1 ? values.front() : "<" + std::to_string(values.size()) + " values>";
}

std::string DirectoryImportTest::Guid(const std::string& dn) {
  std::unique_ptr<ds::Object> object;
  std::string hex;
  if (directory_->Bind("LDAP://" + dn, &object) != S_OK || object->GetGuid(&hex) != S_OK) {
    return {};
  }
  return hex;
}

std::vector<std::string> DirectoryImportTest::ErrorMessages() {
  std::vector<std::string> messages;
  if (!fs::exists(engine_->ErrorFilePath)) return messages;
  const std::vector<std::string> lines = ReadLines(engine_->ErrorFilePath);
  for (std::size_t i = 1; i < lines.size(); ++i) {
    std::vector<std::string> values;
    SplitValues(lines[i], kLineSeparator, values);
    std::string message = values.empty() ? "" : values.back();
    if (message.size() >= 2 && message.front() == '"' && message.back() == '"') {
      message = message.substr(1, message.size() - 2);
    }
    messages.push_back(message);
  }
  return messages;
}

}  // namespace tessary::testing
