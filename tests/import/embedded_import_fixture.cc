#include "embedded_import_fixture.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <mutex>

#include "directory/ds/embedded/embedded_directory.h"
#include "directory/ds/embedded/schema_definition.h"
#include "import/split_values.h"

namespace tessary::testing {
namespace {

namespace fs = std::filesystem;

// Named before any test replaces TMPDIR with its private folder.
const fs::path kTemplateFolder =
    fs::temp_directory_path() / ("tessary-import-tests-" + std::to_string(getpid()));

// Provisioning writes the whole schema, so it is done once per program and copied per test.
fs::path TemplateDirectory() {
  static std::once_flag once;
  static fs::path made;
  std::call_once(once, [] {
    fs::create_directories(kTemplateFolder);
    std::atexit([] {
      std::error_code ignored;
      fs::remove_all(kTemplateFolder, ignored);
    });
    std::string error;
    const fs::path file = kTemplateFolder / "template.db";
    if (ds::embedded::ProvisionDomain(file.string(), "example.com", ds::embedded::BuiltinSchema(),
                                      {}, &error)) {
      made = file;
    } else {
      ADD_FAILURE() << error;
    }
  });
  return made;
}

std::string Text(const ds::Value& value) {
  if (const std::string* text = value.string()) return *text;
  if (const std::int32_t* number = value.integer()) return std::to_string(*number);
  if (const bool* flag = value.boolean()) return *flag ? "TRUE" : "FALSE";
  if (const auto* large = std::get_if<std::int64_t>(&value.variant()))
    return std::to_string(*large);
  return "?";
}

}  // namespace

void EmbeddedImportTest::SetUp() {
  const fs::path original = TemplateDirectory();
  ASSERT_FALSE(original.empty());
  const fs::path copy = machine_.Root() / "directory.db";
  fs::copy_file(original, copy);
  std::string error;
  ASSERT_TRUE(ds::embedded::OpenEmbeddedDirectory(copy.string(), &directory_, &error)) << error;
  domain_ = std::make_unique<CExDomain>(directory_.get());
  domain_->SetSchemaCachePath((machine_.Root() / "Schema.dat").string());
  ASSERT_TRUE(domain_->Connect()) << domain_->Error().Text();
  adapter_ = std::make_unique<DomainImportDirectory>(*domain_);
  engine_ = std::make_unique<CImportEngine>(adapter_.get());
  engine_->ImportFile = (machine_.Root() / "import.csv").string();
  engine_->ErrorFolder = (machine_.Root() / "errors").string() + "/";
  fs::create_directories(engine_->ErrorFolder);
  engine_->DataFolder = (machine_.Root() / "program").string() + "/";
  fs::create_directories(engine_->DataFolder);
  engine_->MustChangePassword = false;
}

bool EmbeddedImportTest::Check(const std::vector<std::string>& lines) {
  WriteLines(engine_->ImportFile, lines);
  return engine_->CheckImportFile() && engine_->ValidateImportLines();
}

int EmbeddedImportTest::Import(const std::vector<std::string>& lines, ScriptedProgressHost* host) {
  if (!Check(lines)) {
    ADD_FAILURE() << engine_->Error().Text();
    return -1;
  }
  ScriptedProgressHost own;
  return RunBehindDialog(*engine_, host ? *host : own);
}

void EmbeddedImportTest::AddOrganizationalUnit(const std::string& name) {
  std::unique_ptr<ds::Object> domain;
  ASSERT_EQ(directory_->Bind(std::string("LDAP://") + kDomainDN, &domain), S_OK);
  std::unique_ptr<ds::Object> unit;
  ASSERT_EQ(domain->Create("organizationalUnit", "OU=" + name, &unit), S_OK);
  ASSERT_EQ(unit->SetInfo(), S_OK);
}

bool EmbeddedImportTest::Exists(const std::string& dn) {
  std::unique_ptr<ds::Object> object;
  return directory_->Bind("LDAP://" + dn, &object) == S_OK;
}

std::vector<std::string> EmbeddedImportTest::Values(const std::string& dn,
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

std::string EmbeddedImportTest::Value(const std::string& dn, const std::string& attribute) {
  const std::vector<std::string> values = Values(dn, attribute);
  return values.size() == 1 ? values.front() : "<" + std::to_string(values.size()) + " values>";
}

std::string EmbeddedImportTest::Guid(const std::string& dn) {
  std::unique_ptr<ds::Object> object;
  std::string hex;
  if (directory_->Bind("LDAP://" + dn, &object) != S_OK || object->GetGuid(&hex) != S_OK) {
    return {};
  }
  return hex;
}

std::vector<std::string> EmbeddedImportTest::ErrorMessages() {
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
