// An import with an undo file, then the undo file imported: the test's objects read back with every
// attribute must be what they were before the first import (times and update numbers aside).
// Runs against a fresh embedded directory, and against the Samba AD DC in the samba tests.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "directory_import_fixture.h"
#include "import/import_change_set.h"
#include "import/split_values.h"

namespace tessary::testing {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
// DN -> attribute -> values, every value as text.
using Snapshot = std::map<std::string, std::map<std::string, Lines>>;

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// What changes by itself whenever an object is written or moved.
bool IsBookkeeping(const std::string& name) {
  static const std::set<std::string> kNames = {"whenchanged",
                                               "whencreated",
                                               "usnchanged",
                                               "usncreated",
                                               "modifytimestamp",
                                               "createtimestamp",
                                               "dscorepropagationdata",
                                               "replpropertymetadata",
                                               "msds-replattributemetadata",
                                               "lastknownparent"};
  std::string lower = name;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return kNames.contains(lower);
}

std::string Text(const ds::Value& value) {
  if (const std::string* text = value.string()) return *text;
  if (const std::int32_t* number = value.integer()) return std::to_string(*number);
  if (const bool* flag = value.boolean()) return *flag ? "TRUE" : "FALSE";
  if (const std::int64_t* large = value.large_integer()) return std::to_string(*large);
  if (const ds::Bytes* bytes = value.octets()) return std::string(bytes->begin(), bytes->end());
  return "?";
}

class ImportUndoTest : public DirectoryImportTest {
 protected:
  void SetUp() override {
    DirectoryImportTest::SetUp();
    if (HasFatalFailure()) return;
    engine_->NewAccountDisabled = true;  // new accounts without passwords
    undo_file_ = (machine_.Root() / "undo.csv").string();
  }

  // Every object below the test's unit (and the unit), with all their attributes.
  Snapshot Take() {
    Snapshot snapshot;
    Read(Base(), &snapshot);
    return snapshot;
  }

  // The import with an undo file, then the undo file imported with values overwritten.
  void ImportThenUndo(const Lines& lines, int multi_value_mode) {
    engine_->MultiValueMode = multi_value_mode;
    engine_->UndoFile = undo_file_;
    ASSERT_EQ(Import(lines), 1);
    ASSERT_EQ(engine_->ErrorCount, 0) << JoinValues(ErrorMessages());
    undo_lines_ = ReadLines(undo_file_);
    after_import_ = Take();
    engine_->UndoFile.clear();
    engine_->MultiValueMode = 1;
    ASSERT_TRUE(Check(undo_lines_)) << engine_->Error().Text();
    ASSERT_EQ(Import(undo_lines_), 1);
    EXPECT_EQ(engine_->ErrorCount, 0) << JoinValues(ErrorMessages());
  }

  // Users and groups the mixed file changes, made without an undo file.
  void MakeObjects() {
    ASSERT_EQ(Import({"mode,distinguishedName,objectClass,sAMAccountName,description,"
                      "otherTelephone,memberOf",
                      "Create," + Quoted(Dn(Unique("G1"))) + ",group," + Unique("g1") + ",,,",
                      "Create," + Quoted(Dn(Unique("G2"))) + ",group," + Unique("g2") + ",,,",
                      "Create," + Quoted(Dn("U1")) + ",user," + Unique("u1") + ",first,1%2," +
                          Quoted(Dn(Unique("G1"))),
                      "Create," + Quoted(Dn("U2")) + ",user," + Unique("u2") +
                          ",\"second, with comma\",7%8,",
                      "Create," + Quoted(Dn(Unique("U3"))) + ",user," + Unique("u3") + ",third,,",
                      "Create," + Quoted(Dn(Unique("C4"))) + ",contact,,fourth,,"}),
              1);
    ASSERT_EQ(engine_->ErrorCount, 0) << ErrorMessages().front();
    target_ = AddOrganizationalUnit("Target");
  }

  // All four modes, a rename, memberships, and multi-valued values.
  Lines MixedFile() {
    return {
        "mode,distinguishedName,objectClass,sAMAccountName,description,otherTelephone,memberOf,"
        "cn,container",
        "Create," + Quoted(Dn(Unique("New"))) + ",user," + Unique("n") + ",new,5," +
            Quoted(Dn(Unique("G2"))) + ",,",
        "Modify," + Quoted(Dn("U1")) + ",," + Unique("u1") + ",\"changed, line\\r\\nbreak\",3," +
            Quoted(Dn(Unique("G2"))) + ",,",
        "Modify," + Quoted(Dn("U2")) + ",," + Unique("u2") + ",~DEL,~DEL,,U2" + Unique("r") + ",",
        "Delete," + Quoted(Dn(Unique("U3"))) + ",,,,,,,",
        "Move," + Quoted(Dn(Unique("C4"))) + ",,,,,,," + Quoted(target_),
    };
  }

  std::string undo_file_;
  std::string target_;
  Lines undo_lines_;
  Snapshot after_import_;

 private:
  void Read(const std::string& dn, Snapshot* snapshot) {
    std::unique_ptr<ds::Object> object;
    ASSERT_EQ(directory_->Bind("LDAP://" + dn, &object), S_OK) << dn;
    ASSERT_EQ(object->GetInfo(), S_OK);
    ASSERT_EQ(object->GetInfoEx({"memberOf", "member"}), S_OK);
    std::vector<std::string> names;
    ASSERT_EQ(object->GetPropertyNames(&names), S_OK);
    auto& attributes = (*snapshot)[dn];
    for (const std::string& name : names) {
      if (IsBookkeeping(name)) continue;
      ds::Values values;
      if (object->GetEx(name, &values) != S_OK) continue;
      Lines& texts = attributes[name];
      for (const ds::Value& value : values) texts.push_back(Text(value));
      std::sort(texts.begin(), texts.end());
    }
    std::unique_ptr<ds::ChildCursor> children;
    ASSERT_EQ(object->EnumChildren(&children), S_OK);
    std::unique_ptr<ds::Object> child;
    Lines paths;
    while (children->Next(&child) == S_OK) {
      std::string path;
      ASSERT_EQ(child->GetAdsPath(&path), S_OK);
      paths.push_back(path.substr(7));
    }
    for (const std::string& path : paths) Read(path, snapshot);
  }
};

// Names the first difference, so a failure says which attribute came back wrong.
::testing::AssertionResult SameState(const Snapshot& before, const Snapshot& after) {
  for (const auto& [dn, attributes] : before) {
    const auto found = after.find(dn);
    if (found == after.end()) return ::testing::AssertionFailure() << "missing " << dn;
    for (const auto& [name, values] : attributes) {
      const auto other = found->second.find(name);
      const Lines now = other == found->second.end() ? Lines{} : other->second;
      if (now != values) {
        return ::testing::AssertionFailure() << dn << " " << name << ": was " << JoinValues(values)
                                             << ", now " << JoinValues(now);
      }
    }
    for (const auto& [name, values] : found->second) {
      if (!attributes.contains(name)) {
        return ::testing::AssertionFailure()
               << dn << " gained " << name << ": " << JoinValues(values);
      }
    }
  }
  for (const auto& [dn, attributes] : after) {
    if (!before.contains(dn)) return ::testing::AssertionFailure() << "new object " << dn;
  }
  return ::testing::AssertionSuccess();
}

TEST_F(ImportUndoTest, UndoFileRestoresEveryAttributeAfterAppendingValues) {
  MakeObjects();
  const Snapshot before = Take();
  ImportThenUndo(MixedFile(), 0);
  EXPECT_FALSE(SameState(before, after_import_));
  EXPECT_TRUE(SameState(before, Take()));
}

TEST_F(ImportUndoTest, UndoFileRestoresEveryAttributeAfterOverwritingValues) {
  MakeObjects();
  const Snapshot before = Take();
  ImportThenUndo(MixedFile(), 1);
  EXPECT_FALSE(SameState(before, after_import_));
  EXPECT_TRUE(SameState(before, Take()));
}

TEST_F(ImportUndoTest, UndoFileIsPrivateAndNamesObjectsByGuid) {
  MakeObjects();
  ImportThenUndo(MixedFile(), 0);
  struct stat info {};
  ASSERT_EQ(stat(undo_file_.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600);
  ASSERT_EQ(undo_lines_.size(), 7u);  // the new user's two lines, then one per other entry
  EXPECT_EQ(undo_lines_[0],
            "mode,objectGUID,distinguishedName,sAMAccountName,description,otherTelephone,cn,"
            "memberOf,container");
  std::vector<std::string> modes;
  for (std::size_t i = 1; i < undo_lines_.size(); ++i) {
    std::vector<std::string> values;
    SplitValues(undo_lines_[i], kLineSeparator, values);
    modes.push_back(values.at(0));
    EXPECT_EQ(values.at(1).size(), 38u) << undo_lines_[i];  // "{8-4-4-4-12}"
  }
  EXPECT_EQ(modes, (Lines{"Modify", "Move", "Modify", "Modify", "Move", "Move"}));
}

TEST_F(ImportUndoTest, RunCutShortLeavesTheWayBackFromWhatItApplied) {
  MakeObjects();
  const Snapshot before = Take();
  engine_->UndoFile = undo_file_;
  ScriptedProgressHost host;
  host.PressAfterProgress(2, 1056);  // Cancel while the second entry is applied
  ASSERT_EQ(Import(MixedFile(), &host), 1);
  EXPECT_TRUE(Exists(Dn(Unique("U3"))));  // the delete was never reached
  undo_lines_ = ReadLines(undo_file_);
  EXPECT_EQ(undo_lines_.size(), 4u);  // the new user's two lines and the modify's one
  engine_->UndoFile.clear();
  engine_->MultiValueMode = 1;
  ASSERT_EQ(Import(undo_lines_), 1);
  EXPECT_EQ(engine_->ErrorCount, 0) << JoinValues(ErrorMessages());
  EXPECT_TRUE(SameState(before, Take()));
}

TEST_F(ImportUndoTest, ExistingUndoFileIsNeverReplaced) {
  MakeObjects();
  WriteLines(undo_file_, {"keep me"});
  engine_->UndoFile = undo_file_;
  ASSERT_TRUE(Check(MixedFile()));
  ScriptedProgressHost host;
  EXPECT_EQ(RunBehindDialog(*engine_, host), 0);
  EXPECT_NE(engine_->Error().Text().find("Could not create the undo file '" + undo_file_ + "'."),
            std::string::npos)
      << engine_->Error().Text();
  EXPECT_EQ(ReadLines(undo_file_), (Lines{"keep me"}));
  EXPECT_TRUE(Exists(Dn(Unique("U3"))));  // nothing was applied
  EXPECT_FALSE(Exists(Dn(Unique("New"))));
}

TEST_F(ImportUndoTest, PasswordsAreNeverWrittenAndTheSummaryNamesTheirEntries) {
  MakeObjects();
  engine_->UndoFile = undo_file_;
  ASSERT_EQ(Import({"mode,distinguishedName,description,password",
                    "Modify," + Quoted(Dn("U1")) + ",pw,Secret-Pa55word!",
                    "Modify," + Quoted(Dn("U2")) + ",nopw,"}),
            1);
  ASSERT_EQ(engine_->ErrorCount, 0) << ErrorMessages().front();
  const Lines lines = ReadLines(undo_file_);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "mode,objectGUID,distinguishedName,description");
  for (const std::string& line : lines) EXPECT_EQ(line.find("Secret"), std::string::npos);
  EXPECT_NE(engine_->Error().Text().find("\n\nUndo file: " + undo_file_ +
                                         "\nThe undo file cannot restore the passwords set by "
                                         "these entries:\nEntry 1: " +
                                         Dn("U1")),
            std::string::npos)
      << engine_->Error().Text();
  EXPECT_EQ(engine_->Error().Text().find("Entry 2"), std::string::npos);
}

TEST_F(ImportUndoTest, RepeatedMovesGoBackToTheFirstContainer) {
  MakeObjects();
  const std::string other = AddOrganizationalUnit("Other");
  const Snapshot with_other = Take();
  ImportThenUndo({"mode,distinguishedName,container",
                  "Move," + Quoted(Dn(Unique("C4"))) + "," + Quoted(target_),
                  "Move," + Quoted(Dn(Unique("C4"), target_)) + "," + Quoted(other)},
                 0);
  EXPECT_EQ(undo_lines_.size(), 2u);
  EXPECT_FALSE(SameState(with_other, after_import_));
  EXPECT_TRUE(SameState(with_other, Take()));
}

TEST_F(ImportUndoTest, FailedEntryLeavesNoInverseButAppliedOnesStay) {
  MakeObjects();
  engine_->UndoFile = undo_file_;
  ASSERT_EQ(Import({"mode,distinguishedName,description", "Modify," + Quoted(Dn("Nobody")) + ",x",
                    "Modify," + Quoted(Dn("U1")) + ",y"}),
            1);
  EXPECT_EQ(engine_->ErrorCount, 1);
  const Lines lines = ReadLines(undo_file_);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[1].find(",first"), std::string::npos) << lines[1];
}

// A value with a percent sign in a multi-valued attribute would come back from the undo file as
// two values: such an entry is not applied, and the run goes on with the next.
TEST_F(ImportUndoTest, ValuesTheUndoFileCannotCarryKeepTheEntryFromBeingApplied) {
  MakeObjects();
  {
    std::unique_ptr<ds::Object> user;
    ASSERT_EQ(directory_->Bind("LDAP://" + Dn("U1"), &user), S_OK);
    ASSERT_EQ(user->PutEx(ds::ADS_PROPERTY_UPDATE, "url",
                          {ds::Value::String("50% off"), ds::Value::String("x")}),
              S_OK);
    ASSERT_EQ(user->SetInfo(), S_OK);
  }
  const Snapshot before = Take();
  engine_->UndoFile = undo_file_;
  ASSERT_EQ(Import({"mode,distinguishedName,url", "Modify," + Quoted(Dn("U1")) + ",y",
                    "Modify," + Quoted(Dn("U2")) + ",z"}),
            1);
  EXPECT_EQ(engine_->ErrorCount, 1);
  ASSERT_FALSE(ErrorMessages().empty());
  EXPECT_NE(ErrorMessages().front().find("The undo file cannot hold the present values of the "
                                         "attribute 'url' of the object '" +
                                         Dn("U1") + "': a value holds a percent sign"),
            std::string::npos)
      << ErrorMessages().front();
  EXPECT_EQ(Take().at(Dn("U1")), before.at(Dn("U1")));
  const Lines lines = ReadLines(undo_file_);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[1].find(Dn("U2")), std::string::npos) << lines[1];
}

TEST_F(ImportUndoTest, ChangeSetNamesEveryKindOfChangeInEntryOrder) {
  MakeObjects();
  engine_->UndoFile = undo_file_;
  engine_->KeepRecords = true;
  engine_->MultiValueMode = 1;
  Lines lines = MixedFile();
  lines.push_back("Modify," + Quoted(Dn("Nobody")) + ",,x,,,,,");
  ASSERT_EQ(Import(lines), 1);
  std::vector<ImportChange> changes;
  CBVKError error;
  ASSERT_TRUE(BuildChangeSet(*engine_->RunRecord(), *adapter_, &changes, error)) << error.Text();
  const Lines text = ChangeSetText(changes);
  const auto has = [&text](const std::string& line) {
    return std::find(text.begin(), text.end(), line) != text.end();
  };
  EXPECT_TRUE(has("Entry 1: create " + Dn(Unique("New")))) << JoinValues(text);
  EXPECT_TRUE(has("  memberOf:  -> " + Dn(Unique("G2")))) << JoinValues(text);
  EXPECT_TRUE(has("Entry 2: modify " + Dn("U1"))) << JoinValues(text);
  EXPECT_TRUE(has("  otherTelephone: 1%2 -> 3")) << JoinValues(text);
  EXPECT_TRUE(has("  memberOf: " + Dn(Unique("G1")) + " -> " + Dn(Unique("G2"))))
      << JoinValues(text);
  EXPECT_TRUE(has("  name: U2 -> U2" + Unique("r"))) << JoinValues(text);
  EXPECT_TRUE(has("  description: second, with comma -> ")) << JoinValues(text);
  EXPECT_TRUE(has("Entry 4: delete " + Dn(Unique("U3")) + " -> CN=LostAndFound," + DomainDN()))
      << JoinValues(text);
  EXPECT_TRUE(has("Entry 5: move " + Dn(Unique("C4")) + " -> " + target_)) << JoinValues(text);
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.back().rfind("Entry 6 fails: ", 0), 0u) << text.back();
  std::vector<int> order;
  for (const ImportChange& change : changes) order.push_back(change.entry_number);
  EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
}

TEST_F(ImportUndoTest, DelValueInMemberOfLeavesEveryGroup) {
  MakeObjects();
  ASSERT_EQ(Import({"mode,distinguishedName,memberOf", "Modify," + Quoted(Dn("U1")) + ",~DEL"}), 1);
  EXPECT_EQ(engine_->ErrorCount, 0) << ErrorMessages().front();
  EXPECT_EQ(Values(Dn("U1"), "memberOf"), Lines{});
}

}  // namespace
}  // namespace tessary::testing
