// A rehearsal on a copy of what an import file touches, read from the directory over a second
// connection that refuses writes: it predicts the real run's changes and failures exactly and
// leaves every object it read unchanged. Runs against a fresh embedded directory, and against
// the Samba AD DC in the samba tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "directory/dn.h"
#include "directory/ds/ads_path.h"
#include "directory/ds/dn.h"
#include "directory/ds/embedded/embedded_directory.h"
#include "directory/ds/open_directory.h"
#include "directory_import_fixture.h"
#include "import/import_change_set.h"
#include "import/rehearsal_source.h"
#include "import/split_values.h"
#include "platform/interrupt.h"

namespace tessary::testing {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// One import engine over its own connection to a directory.
struct Connection {
  std::unique_ptr<ds::Directory> directory;
  std::unique_ptr<CExDomain> domain;
  std::unique_ptr<DomainImportDirectory> adapter;
  std::unique_ptr<CImportEngine> engine;
};

class RehearsalTest : public DirectoryImportTest {
 protected:
  void SetUp() override {
    DirectoryImportTest::SetUp();
    if (HasFatalFailure()) return;
    engine_->NewAccountDisabled = true;  // accounts without passwords
    scratch_ = machine_.Root() / "rehearsal";
    fs::create_directories(scratch_);
  }

  // A second connection to the test's directory, as the rehearsal gets its own.
  void Open(const std::string& location, Connection* connection) {
    std::string error;
    ASSERT_TRUE(ds::OpenDirectory(location, &connection->directory, &error)) << error;
    connection->domain = std::make_unique<CExDomain>(connection->directory.get());
    connection->domain->SetSchemaCachePath((scratch_ / "Schema.dat").string());
    ASSERT_TRUE(connection->domain->Connect()) << connection->domain->Error().Text();
    connection->adapter = std::make_unique<DomainImportDirectory>(*connection->domain);
    connection->engine = std::make_unique<CImportEngine>(connection->adapter.get());
    CImportEngine& engine = *connection->engine;
    engine.ImportFile = engine_->ImportFile;
    engine.ErrorFolder = engine.DataFolder = scratch_.string() + "/";
    engine.NewAccountDisabled = true;
    engine.MustChangePassword = false;
  }

  std::string SourceLocation() const {
    const char* location = std::getenv("TESSARY_IMPORT_DIRECTORY");
    if (location != nullptr && *location != '\0') return location;
    return (machine_.Root() / "directory.db").string();
  }

  void MakeObjects() {
    ASSERT_EQ(Import({"mode,distinguishedName,objectClass,sAMAccountName,description,"
                      "otherTelephone,memberOf",
                      "Create," + Quoted(Dn(Unique("G1"))) + ",group," + Unique("g1") + ",,,",
                      "Create," + Quoted(Dn(Unique("G2"))) + ",group," + Unique("g2") + ",,,",
                      "Create," + Quoted(Dn("Alice")) + ",user," + Unique("a") + ",first,1%2," +
                          Quoted(Dn(Unique("G1"))),
                      "Create," + Quoted(Dn("Bob")) + ",user," + Unique("b") + ",second,,",
                      "Create," + Quoted(Dn(Unique("Carol"))) + ",user," + Unique("c") + ",,,",
                      "Create," + Quoted(Dn(Unique("Dave"))) + ",user," + Unique("d") + ",,,",
                      "Create," + Quoted(Dn("Erin")) + ",user," + Unique("e") + ",fifth,,",
                      "Create," + Quoted(Dn("Frank")) + ",user," + Unique("f") + ",,,"}),
              1);
    ASSERT_EQ(engine_->ErrorCount, 0) << ErrorMessages().front();
    target_ = AddOrganizationalUnit("Target");
    fresh_ = AddOrganizationalUnit("Fresh");
  }

  // Every mode, a create with a group, multi-valued values and memberships, a rename, a move,
  // a delete, an object named by its GUID, and the failures a real run meets: a missing object,
  // a create of an existing DN, a create of an account name another object holds, a bad value.
  Lines MixedFile() {
    const std::string header =
        "mode,objectGUID,distinguishedName,objectClass,sAMAccountName,description,"
        "otherTelephone,countryCode,memberOf,cn,container";
    return {header,
            "Create,," + Quoted(Dn(Unique("New"))) + ",user," + Unique("n") + ",new,5,," +
                Quoted(Dn(Unique("G2"))) + ",,",
            "Create,," + Quoted(Dn(Unique("NewG"))) + ",group," + Unique("ng") + ",a group,,,,,",
            "Modify,," + Quoted(Dn("Alice")) + ",," + Unique("a") + ",\"changed, with comma\",3%4,," +
                Quoted(Dn(Unique("G2"))) + ",,",
            "Modify,," + Quoted(Dn("Bob")) + ",," + Unique("b") + ",~DEL,7,,,Bob" + Unique("r") + ",",
            "Move,," + Quoted(Dn(Unique("Carol"))) + ",,,,,,,," + Quoted(target_),
            "Delete,," + Quoted(Dn(Unique("Dave"))) + ",,,,,,,,",
            "Modify," + Guid(Dn("Erin")) + "," + Quoted(Dn("Erin")) + ",," + Unique("e") + ",by guid,8,,,,",
            "Modify,," + Quoted(Dn("Nobody")) + ",," + Unique("x") + ",x,1,,,,",
            "Create,," + Quoted(Dn(Unique("G1"))) + ",group," + Unique("g3") + ",,,,,,",
            "Create,," + Quoted(Dn(Unique("Twin"))) + ",user," + Unique("e") + ",,,,,,",
            "Modify,," + Quoted(Dn("Frank")) + ",," + Unique("f") + ",,9,not a number,,,",
            // Into a unit that no other entry names.
            "Create,," + Quoted(Dn(Unique("InFresh"), fresh_)) + ",user," + Unique("if") +
                ",,,,,,"};
  }

  // uSNChanged of each object, read over the fixture's own connection.
  std::map<std::string, std::string> UpdateNumbers(const Lines& dns) {
    std::map<std::string, std::string> numbers;
    for (const std::string& dn : dns) numbers[dn] = Value(dn, "uSNChanged");
    return numbers;
  }

  // The change set of a run that kept its records, read from the directory it ran on.
  Lines ChangeSetOf(CImportEngine& engine, ImportDirectory& directory) {
    std::vector<ImportChange> changes;
    CBVKError error;
    EXPECT_TRUE(BuildChangeSet(*engine.RunRecord(), directory, &changes, error)) << error.Text();
    return ChangeSetText(changes);
  }

  // The rehearsal of the engine's import file: read over a connection of its own into a copy,
  // then run on the copy, which copy holds; the copy's caveats and predicted change set.
  void RehearseOnCopy(Connection* copy, Lines* caveats, Lines* predicted) {
    Connection source;
    Open(SourceLocation(), &source);
    ASSERT_TRUE(source.engine->CheckImportFile() && source.engine->ValidateImportLines())
        << source.engine->Error().Text();
    RehearsalSource rehearsal(*source.directory, *source.engine);
    CBVKError error;
    const std::string copy_path = (scratch_ / "copy.db").string();
    ASSERT_TRUE(rehearsal.CopyTo(copy_path, error)) << error.Text();
    *caveats = rehearsal.Caveats();
    Open(copy_path, copy);
    copy->engine->UndoFile = (scratch_ / "rehearsal-undo.csv").string();
    copy->engine->KeepRecords = true;
    ASSERT_TRUE(copy->engine->CheckImportFile() && copy->engine->ValidateImportLines())
        << copy->engine->Error().Text();
    ScriptedProgressHost host;
    ASSERT_EQ(RunBehindDialog(*copy->engine, host), 1);
    *predicted = ChangeSetOf(*copy->engine, *copy->adapter);
  }

  // The real run of file on the test's directory, and its change set.
  Lines RealChanges(const Lines& file) {
    engine_->UndoFile = (scratch_ / "real-undo.csv").string();
    engine_->KeepRecords = true;
    EXPECT_EQ(Import(file), 1);
    return ChangeSetOf(*engine_, *adapter_);
  }

  // The file's copy made over a connection of the test's own: its caveats, or the message
  // when it could not be made.
  bool Rehearse(const Lines& file, Lines* said) {
    WriteLines(engine_->ImportFile, file);
    Connection source;
    Open(SourceLocation(), &source);
    EXPECT_TRUE(source.engine->CheckImportFile()) << source.engine->Error().Text();
    RehearsalSource rehearsal(*source.directory, *source.engine);
    CBVKError error;
    fs::remove(scratch_ / "copy.db");
    const bool copied = rehearsal.CopyTo((scratch_ / "copy.db").string(), error);
    *said = copied ? rehearsal.Caveats() : Lines{error.Text()};
    return copied;
  }

  fs::path scratch_;
  std::string target_;
  std::string fresh_;
};

TEST_F(RehearsalTest, RehearsalPredictsTheRealRunAndChangesNothing) {
  MakeObjects();
  const Lines file = MixedFile();
  WriteLines(engine_->ImportFile, file);
  const Lines watched = {Base(),           target_,          Dn("Alice"),
                         Dn("Bob"),        Dn(Unique("Carol")), Dn(Unique("Dave")),
                         Dn("Erin"),       Dn(Unique("G1")),  Dn(Unique("G2")),
                         "CN=LostAndFound," + DomainDN()};
  const auto before = UpdateNumbers(watched);

  Connection copy;
  Lines caveats, predicted;
  RehearseOnCopy(&copy, &caveats, &predicted);
  ASSERT_FALSE(HasFatalFailure());
  EXPECT_TRUE(caveats.empty()) << JoinValues(caveats);
  EXPECT_EQ(UpdateNumbers(watched), before);
  EXPECT_FALSE(Exists(Dn(Unique("New"))));

  const Lines done = RealChanges(file);
  EXPECT_EQ(predicted, done);
  const auto predicts = [&predicted](const std::string& line) {
    return std::find(predicted.begin(), predicted.end(), line) != predicted.end();
  };
  EXPECT_TRUE(predicts("Entry 1: create " + Dn(Unique("New")))) << JoinValues(predicted);
  EXPECT_TRUE(predicts("  memberOf:  -> " + Dn(Unique("G2")))) << JoinValues(predicted);
  EXPECT_TRUE(predicts("  name: Bob -> Bob" + Unique("r"))) << JoinValues(predicted);
  EXPECT_TRUE(predicts("  description: first -> changed, with comma")) << JoinValues(predicted);
  EXPECT_TRUE(predicts("Entry 5: move " + Dn(Unique("Carol")) + " -> " + target_))
      << JoinValues(predicted);
  EXPECT_TRUE(predicts("Entry 6: delete " + Dn(Unique("Dave")) + " -> CN=LostAndFound," +
                       DomainDN()))
      << JoinValues(predicted);
  EXPECT_TRUE(predicts("  description: fifth -> by guid")) << JoinValues(predicted);
  EXPECT_TRUE(predicts("Entry 12: create " + Dn(Unique("InFresh"), fresh_)))
      << JoinValues(predicted);
  EXPECT_EQ(copy.engine->ErrorCount, 4);
  EXPECT_EQ(engine_->ErrorCount, 4) << JoinValues(ErrorMessages());
  EXPECT_EQ(copy.engine->CreateCount, engine_->CreateCount);
  EXPECT_EQ(copy.engine->ModifyCount, engine_->ModifyCount);
  EXPECT_EQ(copy.engine->DeleteCount, engine_->DeleteCount);
  EXPECT_TRUE(Exists(Dn(Unique("New"))));
}

TEST_F(RehearsalTest, ConnectionThatRefusesWritesChangesNothing) {
  MakeObjects();
  Connection source;
  Open(SourceLocation(), &source);
  ASSERT_TRUE(source.directory->RefuseWrites());
  std::unique_ptr<ds::Object> unit, created, alice;
  ASSERT_EQ(source.directory->Bind(ds::AdsPathOfDn(Base()), &unit), S_OK);
  ASSERT_EQ(unit->Create("user", "CN=" + Unique("Refused"), &created), S_OK);
  ASSERT_EQ(created->Put("sAMAccountName", ds::Value::String(Unique("rf"))), S_OK);
  EXPECT_EQ(created->SetInfo(), E_ACCESSDENIED);
  ASSERT_EQ(source.directory->Bind(ds::AdsPathOfDn(Dn("Alice")), &alice), S_OK);
  ASSERT_EQ(alice->Put("description", ds::Value::String("refused")), S_OK);
  EXPECT_EQ(alice->SetInfo(), E_ACCESSDENIED);
  EXPECT_EQ(unit->MoveHere(ds::AdsPathOfDn(Dn("Bob")), "CN=Bobby", nullptr), E_ACCESSDENIED);
  EXPECT_EQ(unit->Delete("user", "CN=Bob"), E_ACCESSDENIED);
  std::unique_ptr<ds::Object> group;
  ASSERT_EQ(source.directory->Bind(ds::AdsPathOfDn(Dn(Unique("G2"))), &group), S_OK);
  EXPECT_EQ(group->Add(ds::AdsPathOfDn(Dn("Bob"))), E_ACCESSDENIED);

  EXPECT_FALSE(Exists(Dn(Unique("Refused"))));
  EXPECT_EQ(Value(Dn("Alice"), "description"), "first");
  EXPECT_TRUE(Exists(Dn("Bob")));
  EXPECT_EQ(Values(Dn(Unique("G2")), "member"), Lines{});
}

TEST_F(RehearsalTest, CopyKeepsTheGuidsAndGroupsOfTheNamedObjects) {
  MakeObjects();
  WriteLines(engine_->ImportFile,
             {"mode,objectGUID,distinguishedName,objectClass,sAMAccountName,description",
              "Modify," + Guid(Dn("Alice")) + ",,," + Unique("a") + ",x",
              "Create,," + Quoted(Dn(Unique("Twin"))) + ",user," + Unique("e") + ",y"});
  Connection source;
  Open(SourceLocation(), &source);
  ASSERT_TRUE(source.engine->CheckImportFile()) << source.engine->Error().Text();
  RehearsalSource rehearsal(*source.directory, *source.engine);
  CBVKError error;
  const std::string copy_path = (scratch_ / "copy.db").string();
  ASSERT_TRUE(rehearsal.CopyTo(copy_path, error)) << error.Text();
  std::unique_ptr<ds::Directory> copy;
  std::string reason;
  ASSERT_TRUE(ds::embedded::OpenEmbeddedDirectory(copy_path, &copy, &reason)) << reason;
  std::unique_ptr<ds::Object> alice;
  ASSERT_EQ(copy->Bind("LDAP://<GUID=" + GuidDigits(Guid(Dn("Alice"))) + ">", &alice), S_OK);
  std::string path;
  ASSERT_EQ(alice->GetAdsPath(&path), S_OK);
  EXPECT_EQ(ds::DnKey(path.substr(7)), ds::DnKey(Dn("Alice")));
  ds::Values groups;
  ASSERT_EQ(alice->GetInfoEx({"memberOf", "description", "otherTelephone"}), S_OK);
  ASSERT_EQ(alice->GetEx("memberOf", &groups), S_OK);
  ASSERT_EQ(groups.size(), 1u);
  EXPECT_EQ(ds::DnKey(*groups[0].string()), ds::DnKey(Dn(Unique("G1"))));
  ds::Value description;
  ASSERT_EQ(alice->Get("description", &description), S_OK);
  EXPECT_EQ(*description.string(), "first");
  // Erin holds the account name the create gives, found by the search for namesakes.
  std::unique_ptr<ds::Object> erin;
  ASSERT_EQ(copy->Bind(ds::AdsPathOfDn(Dn("Erin")), &erin), S_OK);
  ds::Value account;
  ASSERT_EQ(erin->Get("sAMAccountName", &account), S_OK);
  EXPECT_EQ(*account.string(), Unique("e"));
  // Only what the file touches: Bob is named by no entry.
  std::unique_ptr<ds::Object> bob;
  EXPECT_EQ(copy->Bind(ds::AdsPathOfDn(Dn("Bob")), &bob), E_DS_NO_SUCH_OBJECT);
}

TEST_F(RehearsalTest, CaveatsNameWhatTheCopyCannotKnow) {
  MakeObjects();
  Lines said;
  ASSERT_TRUE(Rehearse({"mode,distinguishedName,member",
                        "Modify," + Quoted(Dn(Unique("G1"))) + "," + Quoted(Dn("Bob"))},
                       &said))
      << JoinValues(said);
  EXPECT_EQ(said,
            Lines{"A group's members are known to the rehearsal only where the file names them; "
                  "its other members are not shown among the old values of 'member'."});
}

TEST_F(RehearsalTest, CtrlCStopsTheCopy) {
  MakeObjects();
  Lines said;
  {
    platform::ScopedInterruptCatcher interrupt;
    std::raise(SIGINT);
    EXPECT_FALSE(Rehearse({"mode,distinguishedName,description",
                           "Modify," + Quoted(Dn("Alice")) + ",x"},
                          &said));
  }
  EXPECT_EQ(said, Lines{"The rehearsal was cancelled."});
  // The flag outlives its catcher; a new catcher clears it for the tests that follow.
  platform::ScopedInterruptCatcher cleared;
  EXPECT_FALSE(platform::InterruptRequested());
}

// The copy has the embedded directory's own schema: a column defined otherwise than on the
// server is a caveat. Changes the schema, so only on a directory of the test's own.
TEST_F(RehearsalTest, ColumnDefinedOtherwiseIsACaveat) {
  if (!Embedded()) GTEST_SKIP() << "changes the server's schema";
  MakeObjects();
  {
    std::unique_ptr<ds::Directory> schema_admin;
    std::string reason;
    ASSERT_TRUE(ds::OpenDirectory(SourceLocation(), &schema_admin, &reason)) << reason;
    ds::embedded::AllowSchemaUpdates(*schema_admin);
    std::unique_ptr<ds::Object> schema, phone;
    ASSERT_EQ(schema_admin->Bind(
                  ds::AdsPathOfDn("CN=Schema,CN=Configuration," + DomainDN()), &schema),
              S_OK);
    std::unique_ptr<ds::SearchCursor> cursor;
    ds::SearchRequest request;
    request.filter = "(lDAPDisplayName=otherTelephone)";
    request.columns = {"ADsPath"};
    ASSERT_EQ(schema->ExecuteSearch(request, &cursor), S_OK);
    ASSERT_EQ(cursor->GetFirstRow(), S_OK);
    ds::Attribute path;
    ASSERT_EQ(cursor->GetColumn("ADsPath", &path), S_OK);
    ASSERT_EQ(schema_admin->Bind(*path.values.at(0).string(), &phone), S_OK);
    ASSERT_EQ(phone->Put("rangeUpper", ds::Value::Integer(10)), S_OK);
    ASSERT_EQ(phone->SetInfo(), S_OK);
  }
  Lines said;
  EXPECT_TRUE(Rehearse({"mode,distinguishedName,otherTelephone",
                        "Modify," + Quoted(Dn("Alice")) + ",5"},
                       &said));
  ASSERT_EQ(said.size(), 1u) << JoinValues(said);
  EXPECT_EQ(said[0].rfind("The server's schema gives the attribute 'otherTelephone' ", 0), 0u)
      << said[0];
  EXPECT_NE(said[0].find("rangeUpper 10; the rehearsal's gives"), std::string::npos) << said[0];
}

// A column the copy's schema lacks (Samba's schema is a later one than the embedded
// directory's) refuses the rehearsal with a message instead of a file check that contradicts
// the server's.
// An attribute of a later schema than the copy's own, held by user through an auxiliary class
// the copy lacks too: the copy takes the server's definition, and predicts the real run.
TEST_F(RehearsalTest, AColumnOnlyTheServersSchemaKnowsIsRehearsedAsTheServerTakesIt) {
  if (Embedded()) GTEST_SKIP() << "the embedded directory's schema is the copy's";
  MakeObjects();
  // msDS-DeviceOSType is held only by a device class the copy lacks.
  const Lines file = {"mode,distinguishedName,msDS-cloudExtensionAttribute1,msDS-DeviceOSType",
                      "Modify," + Quoted(Dn("Alice")) + ",in the cloud,",
                      "Modify," + Quoted(Dn(Unique("G1"))) + ",not on a group,",
                      "Modify," + Quoted(Dn("Bob")) + ",,not on a user"};
  WriteLines(engine_->ImportFile, file);
  Connection copy;
  Lines caveats, predicted;
  RehearseOnCopy(&copy, &caveats, &predicted);
  ASSERT_FALSE(HasFatalFailure());
  EXPECT_EQ(caveats,
            Lines{"The server allows the attribute 'msDS-DeviceOSType' only on classes the "
                  "rehearsal's directory lacks; entries that set it fail here."});

  EXPECT_EQ(predicted, RealChanges(file));
  EXPECT_EQ(Value(Dn("Alice"), "msDS-cloudExtensionAttribute1"), "in the cloud");
  // Not on a group, whose classes do not hold the attribute, nor a device's on a user: they
  // fail on both.
  EXPECT_EQ(copy.engine->ErrorCount, 2);
  EXPECT_EQ(engine_->ErrorCount, 2);
}

}  // namespace
}  // namespace tessary::testing
