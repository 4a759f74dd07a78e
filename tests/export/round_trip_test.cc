// An export, changed and imported again with every line in Modify mode, exports as the changed
// file: the export writes exactly what the import reads back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "directory/scoped_time_zone.h"
#include "export/export_job.h"
#include "export_fixture.h"
#include "import/domain_import_directory.h"
#include "import/import_engine.h"
#include "platform/registry.h"
#include "support/bvk_progress_dlg.h"
#include "support/bvk_registry.h"

namespace tessary::testing {
namespace {

class RoundTripTest : public ExportTest {
 protected:
  void SetUp() override {
    ExportTest::SetUp();
    unit_node_.SetDirectory(directory_.get());
    unit_node_.DistinguishedName = unit_;
    unit_node_.Name = unit_name_;
  }

  void Export(const std::string& file) {
    Export(file, "User",
           {"displayName", "otherTelephone", "streetAddress", "description", "info"});
  }
  void Export(const std::string& file, const std::string& class_name,
              const std::vector<std::string>& attributes) {
    CExportJob job(*domain_);
    job.ClassName = class_name;
    job.Container = &unit_node_;
    job.OutputFile = Path(file);
    job.Attributes = attributes;
    CountingProgressHost host;
    ASSERT_EQ(job.RunWithProgress(host, nullptr), 1) << job.Error().Text();
  }

  // Every value of the attributes of the objects, as the directory stores them.
  using Stored = std::map<std::string, ds::Values>;
  Stored Snapshot(const std::vector<std::string>& dns, const std::vector<std::string>& names) {
    Stored stored;
    for (const std::string& dn : dns) {
      std::unique_ptr<ds::Object> object;
      EXPECT_EQ(directory_->Bind("LDAP://" + dn, &object), S_OK) << dn;
      if (!object) continue;
      for (const std::string& name : names) {
        std::vector<ds::Attribute> reply;
        EXPECT_EQ(object->GetObjectAttributes({name}, &reply), S_OK) << dn << " " << name;
        stored[dn + " " + name] = reply.empty() ? ds::Values{} : reply.front().values;
      }
    }
    return stored;
  }

  // Imports the file with overwriting of multi-valued attributes; returns the engine's summary.
  std::string Import(const std::string& file, int* errors) {
    DomainImportDirectory adapter(*domain_);
    CImportEngine engine(&adapter);
    engine.ImportFile = Path(file);
    engine.ErrorFolder = machine_.Root().string() + "/";
    engine.MultiValueMode = 1;
    EXPECT_TRUE(engine.CheckImportFile()) << engine.Error().Text();
    EXPECT_TRUE(engine.ValidateImportLines()) << engine.Error().Text();
    CountingProgressHost host;
    CBVKProgressDlg::ParameterMap parameters = {{CImportEngine::kParameterKey, &engine}};
    auto dialog = std::make_unique<CBVKProgressDlg>(host, nullptr, 201);
    dialog->SetParameters(&parameters);
    dialog->SetWorkFunction(&CImportEngine::ImportWork);
    EXPECT_EQ(CBVKProgressDlg::Run(std::move(dialog)), 1) << engine.Error().Text();
    *errors = engine.ErrorCount;
    // The failed entries with their messages, for the test's failure report.
    if (engine.ErrorCount > 0) return engine.Error().Text() + "\n" + ReadFileText(engine.ErrorFilePath);
    return engine.Error().Text();
  }

  CExContainer unit_node_;
};

// Every occurrence of from in text replaced by to; the test fails when there is none.
std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  for (; at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// The lines of an export file with a mode column of Modify added.
std::string WithModifyMode(const std::string& text) {
  std::string out;
  std::size_t start = 0;
  for (bool header = true; start < text.size(); header = false) {
    const std::size_t end = text.find("\r\n", start);
    out += text.substr(start, end - start) + (header ? ",mode" : ",Modify") + "\r\n";
    start = end + 2;
  }
  return out;
}

TEST_F(RoundTripTest, ChangedExportImportedAsModifyExportsAsTheChangedFile) {
  AddUser("Ann Lee", {{"displayName", {"Ann Lee"}},
                      {"otherTelephone", {"+1 555 0101", "+1 555 0102"}},
                      {"streetAddress", {"12 Main St\r\nSuite 4, Floor 2"}},
                      {"description", {"Sales, Seattle office"}},
                      {"info", {"Says \"hello\" first"}}});
  AddUser("Bo Chen", {{"displayName", {"Bo Chen"}},
                      {"otherTelephone", {"+1 555 0201"}},
                      {"description", {"Finance"}}});
  AddUser("Cy Diaz", {{"displayName", {"Cy Diaz"}}});
  Export("first.csv");
  const std::string first = FileText("first.csv");

  std::string changed = first;
  changed = Replaced(changed, ",Ann Lee,", ",J\xC3\xB6rg M\xC3\xBCller,");
  changed = Replaced(changed, "+1 555 0101%+1 555 0102", "+1 555 0111%+1 555 0112%+1 555 0113");
  changed = Replaced(changed, "\"12 Main St\\r\\nSuite 4, Floor 2\"",
                     "\"1 Rue de l'\xC3\x89glise\\r\\nB\xC3\xA2timent C, \xC3\xA9tage 3\"");
  changed = Replaced(changed, "\"Sales, Seattle office\"", "\"Sales, Portland office\"");
  changed = Replaced(changed, "\"Says \"\"hello\"\" first\"", "\"Says \"\"goodbye\"\" last\"");
  changed = Replaced(changed, ",Finance,", ",\"Finance, Treasury\",");
  changed = Replaced(changed, ",Cy Diaz,", ",Zo\xC3\xAB \xC3\x85ngstr\xC3\xB6m,");
  WriteFileText(machine_.Root() / "changed.csv", changed);
  WriteFileText(machine_.Root() / "import.csv", WithModifyMode(changed));

  int errors = -1;
  const std::string summary = Import("import.csv", &errors);
  EXPECT_EQ(errors, 0) << summary;
  EXPECT_NE(summary.find("3 'modify' entries were processed."), std::string::npos) << summary;

  Export("second.csv");
  EXPECT_EQ(FileText("second.csv"), changed);
}

// Reads an export as a spreadsheet does and saves it again with a mode column of Modify, quoting
// as the spreadsheet's quoting choice says (QUOTE_ALL or QUOTE_MINIMAL).
constexpr const char* kResaveScript = R"(import csv, sys
with open(sys.argv[1], newline='', encoding='utf-8') as source:
    rows = list(csv.reader(source))
with open(sys.argv[2], 'w', newline='', encoding='utf-8') as target:
    writer = csv.writer(target, quoting=getattr(csv, sys.argv[3]), lineterminator='\r\n')
    for number, row in enumerate(rows):
        writer.writerow(row + ['mode' if number == 0 else 'Modify'])
)";

TEST_F(RoundTripTest, ExportResavedWithSpreadsheetQuotingImportsWithoutChange) {
  AddUser("Ann Lee", {{"displayName", {"Ann \"Nan\" Lee"}},
                      {"otherTelephone", {"+1 555 0101", "\"2\""}},
                      {"streetAddress", {"12 Main St\r\nSuite \"4\", Floor 2"}},
                      {"description", {"\"quoted\""}},
                      {"info", {"plain"}}});
  AddUser("Bo Chen", {{"displayName", {"Bo, \"the\" Chen"}}, {"description", {"a,b"}}});
  Export("first.csv");
  const std::string first = FileText("first.csv");
  EXPECT_NE(first.find(",\"Ann \"\"Nan\"\" Lee\","), std::string::npos) << first;
  WriteFileText(machine_.Root() / "resave.py", kResaveScript);

  for (const std::string quoting : {"QUOTE_ALL", "QUOTE_MINIMAL"}) {
    const std::string command = "python3 '" + Path("resave.py") + "' '" + Path("first.csv") +
                                "' '" + Path("resaved.csv") + "' " + quoting;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    if (quoting == "QUOTE_ALL") {
      EXPECT_TRUE(FileText("resaved.csv").starts_with("\"distinguishedName\",\"objectGUID\","));
    }
    int errors = -1;
    const std::string summary = Import("resaved.csv", &errors);
    EXPECT_EQ(errors, 0) << quoting << ": " << summary;
    Export("again.csv");
    EXPECT_EQ(FileText("again.csv"), first) << quoting;
  }
}

// A value's description in test failures.
std::string Describe(const ds::Values& values) {
  std::string text;
  for (const ds::Value& value : values) {
    if (const std::string* s = value.string()) text += "'" + *s + "' ";
    if (const std::int32_t* i = value.integer()) text += std::to_string(*i) + " ";
    if (const std::int64_t* l = value.large_integer()) text += std::to_string(*l) + "L ";
    if (const bool* b = value.boolean()) text += *b ? "TRUE " : "FALSE ";
  }
  return text;
}

// The writable attributes of every syntax that users, groups and contacts hold (strings single
// and multi-valued, DNs, 32-bit integers signed and unsigned, booleans, and large integers: the
// account times with a fraction of a second, "never" and "not set"), exported and imported
// again as Modify entries: the second export is the first, and no stored value has moved.
TEST_F(RoundTripTest, EveryWritableSyntaxImportsBackUnchanged) {
  ScopedTimeZone zone(kCentralEurope);
  WriteFileText(platform::RegistryHivePath(HKEY_CURRENT_USER), "REGEDIT4\n");
  CBVKRegistry registry;
  ASSERT_TRUE(registry.OpenKey(HKEY_CURRENT_USER, "Control Panel\\International"));
  for (const auto& [name, text] : {std::pair{"sShortDate", "M/d/yyyy"}, {"sDate", "/"},
                                   {"sTimeFormat", "h:mm:ss tt"}, {"sTime", ":"}}) {
    ASSERT_TRUE(registry.WriteString(name, text));
  }
  const std::string head = AddUser("Head", {{"displayName", {"Head"}}});
  const std::vector<std::string> dns = {
      head,
      AddUser("Ann Lee", {{"displayName", {"Ann Lee"}},
                          {"givenName", {"Ann"}},
                          {"telephoneNumber", {"+1 206 555 0101"}},
                          {"otherTelephone", {"+1 555 0101", "+1 555 0102"}},
                          {"description", {"Sales, Seattle office"}},
                          {"c", {"US"}},
                          {"manager", {head}},
                          {"userAccountControl", {"514"}},
                          {"msNPAllowDialin", {"TRUE"}},
                          // 2030-01-31 17:45:10.1234567 UTC
                          {"accountExpires", {"135405855101234567"}}}),
      AddUser("Bo Chen", {{"displayName", {"Bo Chen"}},
                          {"msNPAllowDialin", {"FALSE"}},
                          {"accountExpires", {"9223372036854775807"}}}),
      AddUser("Cy Diaz", {{"accountExpires", {"0"}}}),
  };
  const std::vector<std::string> user_columns = {
      "displayName",        "givenName",       "telephoneNumber", "otherTelephone",
      "description",        "c",               "manager",         "userAccountControl",
      "msNPAllowDialin",    "accountExpires",  "pwdLastSet"};
  const std::vector<std::string> groups = {
      Add("group", "CN=Team",
          {{"sAMAccountName", {"team-" + unit_name_.substr(unit_name_.size() - 6)}},
           {"groupType", {"-2147483646"}},
           {"description", {"Everyone, in one place"}},
           {"member", {dns[1], dns[2]}}})};
  const std::vector<std::string> group_columns = {"sAMAccountName", "groupType", "description",
                                                  "member"};
  const std::vector<std::string> contacts = {
      Add("contact", "CN=Partner",
          {{"displayName", {"Partner"}}, {"mail", {"partner@example.org"}}, {"manager", {head}}})};
  const std::vector<std::string> contact_columns = {"displayName", "mail", "manager"};

  struct Kind {
    const char* class_name;
    const std::vector<std::string>& columns;
    const std::vector<std::string>& dns;
  };
  for (const Kind& kind : {Kind{"User", user_columns, dns}, Kind{"Group", group_columns, groups},
                           Kind{"Contact", contact_columns, contacts}}) {
    SCOPED_TRACE(kind.class_name);
    const Stored before = Snapshot(kind.dns, kind.columns);
    Export("first.csv", kind.class_name, kind.columns);
    const std::string first = FileText("first.csv");
    WriteFileText(machine_.Root() / "import.csv", WithModifyMode(first));
    int errors = -1;
    const std::string summary = Import("import.csv", &errors);
    EXPECT_EQ(errors, 0) << summary;
    Export("second.csv", kind.class_name, kind.columns);
    EXPECT_EQ(FileText("second.csv"), first);
    const Stored after = Snapshot(kind.dns, kind.columns);
    for (const auto& [key, values] : before) {
      EXPECT_EQ(after.at(key), values) << key << ": " << Describe(values) << "became "
                                       << Describe(after.at(key));
    }
  }

  // A time changed in the file is written to the second, in local time.
  Export("first.csv", "User", {"accountExpires"});
  const std::string changed =
      Replaced(FileText("first.csv"), "1/31/2030 6:45:10 PM", "7/1/2030 12:00:05 AM");
  WriteFileText(machine_.Root() / "import.csv", WithModifyMode(changed));
  int errors = -1;
  const std::string summary = Import("import.csv", &errors);
  EXPECT_EQ(errors, 0) << summary;
  Export("second.csv", "User", {"accountExpires"});
  EXPECT_EQ(FileText("second.csv"), changed);
  // 2030-06-30 22:00:05 UTC (summer time in central Europe).
  EXPECT_EQ(Describe(Snapshot({dns[1]}, {"accountExpires"}).begin()->second),
            "135535608050000000L ");
}

}  // namespace
}  // namespace tessary::testing
