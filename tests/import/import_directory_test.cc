// Import runs end to end against a directory (a fresh embedded one, or the test Samba AD DC);
// every effect is read back through the directory service interface, not through the engine.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>

#include "directory/ds/embedded/embedded_directory.h"
#include "directory/ds/open_directory.h"
#include "directory_import_fixture.h"

namespace tessary::testing {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// Sets an environment variable for its lifetime.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) saved_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedVariable() {
    if (saved_)
      setenv(name_, saved_->c_str(), 1);
    else
      unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> saved_;
};

class ImportDirectoryTest : public DirectoryImportTest {
 protected:
  // An account name unique to this test run (at most 20 characters).
  std::string Account(const std::string& name) { return Unique(name); }
  // For files that create users without passwords: Windows refuses to enable an account that
  // has none, so these runs leave new accounts disabled.
  void LeaveNewAccountsDisabled() { engine_->NewAccountDisabled = true; }

  // Whether the user can sign in with the password: the embedded directory compares it with the
  // stored hash; a server is asked for a bind as that user.
  bool CanBind(const std::string& dn, const std::string& password) {
    if (Embedded()) return ds::embedded::VerifyPassword(*directory_, dn, password);
    const std::string file = (machine_.Root() / "user-password").string();
    WriteFileText(file, password);
    std::filesystem::permissions(
        file, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    ScopedVariable bind_dn("TESSARY_BIND_DN", dn);
    ScopedVariable password_file("TESSARY_BIND_PASSWORD_FILE", file);
    std::unique_ptr<ds::Directory> as_user;
    std::string error;
    const bool bound = ds::OpenDirectory(std::getenv("TESSARY_IMPORT_DIRECTORY"), &as_user, &error);
    if (!bound) std::cerr << "bind as " << dn << ": " << error << "\n";
    return bound;
  }
};

TEST_F(ImportDirectoryTest, CheckTakesNamesAndTypesFromTheSchema) {
  ASSERT_TRUE(
      Check({"MODE,distinguishedName,samaccountname,Given-Name,Description,"
             "userAccountControl,pwdLastSet,showInAdvancedViewOnly,Is-Member-Of-DL"}))
      << engine_->Error().Text();
  std::vector<std::string> names;
  engine_->GetColumnNames(names);
  EXPECT_EQ(names,
            (Lines{"mode", "distinguishedName", "sAMAccountName", "givenName", "description",
                   "userAccountControl", "pwdLastSet", "showInAdvancedViewOnly", "memberOf"}));
  const auto& columns = engine_->Columns();
  EXPECT_EQ(columns[3].AdminDisplayName, "Given-Name");
  EXPECT_EQ(columns[3].SchemaEntryDN, "CN=Given-Name,CN=Schema,CN=Configuration," + DomainDN());
  EXPECT_EQ(columns[3].ValueType, kValueString);
  EXPECT_TRUE(columns[3].SingleValued);
  EXPECT_FALSE(columns[4].SingleValued);
  EXPECT_EQ(columns[5].ValueType, kValueInteger);
  EXPECT_EQ(columns[6].ValueType, kValueLargeInteger);
  EXPECT_EQ(columns[7].ValueType, kValueBoolean);
  EXPECT_EQ(columns[8].ValueType, kValueSpecial);
}

TEST_F(ImportDirectoryTest, CheckRejectsUnknownAndUnsupportedAttributes) {
  EXPECT_FALSE(Check({"mode,distinguishedName,noSuchThing"}));
  EXPECT_TRUE(engine_->Error().Text().starts_with(
      "Could not retrieve information about the attribute 'noSuchThing'.\n"))
      << engine_->Error().Text();
  EXPECT_FALSE(Check({"mode,distinguishedName,thumbnailPhoto"}));
  EXPECT_EQ(engine_->Error().Text(),
            "Tessary does not currently support the attribute 'thumbnailPhoto' or attributes of "
            "type 'Octet String'.");
}

TEST_F(ImportDirectoryTest, CheckRefusesAnAttributeNamedTwiceInAnyForm) {
  EXPECT_FALSE(Check({"mode,distinguishedName,givenName,GIVENNAME"}));
  EXPECT_TRUE(engine_->Error().Text().starts_with(
      "The column 'givenName' is named more than once in the import file."))
      << engine_->Error().Text();
  EXPECT_FALSE(Check({"mode,distinguishedName,memberOf,Is-Member-Of-DL"}));
  EXPECT_TRUE(engine_->Error().Text().starts_with("The column 'memberOf' is named more"))
      << engine_->Error().Text();
}

TEST_F(ImportDirectoryTest, CreatesUsersWithAttributesPasswordAndAccountOptions) {
  engine_->NewAccountDisabled = true;
  engine_->PasswordNeverExpires = true;
  engine_->MustChangePassword = true;
  ASSERT_EQ(Import({"mode,distinguishedName,sAMAccountName,givenName,description,password",
                    "Create," + Quoted(Dn("Ann Lee")) + "," + Account("ann") +
                        ",Ann,\"Sales, North%East\",Pa55word!x",
                    "create," + Quoted(Dn("Bob")) + "," + Account("bob") + ",Bob,,"}),
            1);
  EXPECT_EQ(engine_->ErrorCount, 0) << engine_->Error().Text();
  EXPECT_EQ(Value(Dn("Ann Lee"), "sAMAccountName"), Account("ann"));
  EXPECT_EQ(Value(Dn("Ann Lee"), "givenName"), "Ann");
  EXPECT_EQ(Value(Dn("Ann Lee"), "description"), "Sales, North%East");
  EXPECT_EQ(Value(Dn("Ann Lee"), "userAccountControl"), "66050");
  EXPECT_EQ(Value(Dn("Ann Lee"), "pwdLastSet"), "0");
  if (Embedded()) {
    EXPECT_TRUE(ds::embedded::VerifyPassword(*directory_, Dn("Ann Lee"), "Pa55word!x"));
  }
  EXPECT_TRUE(Exists(Dn("Bob")));
  EXPECT_EQ(Values(Dn("Bob"), "description"), Lines{});
}

TEST_F(ImportDirectoryTest, LargeIntegersKeepAllSixtyFourBitsAndRefuseOtherText) {
  LeaveNewAccountsDisabled();
  ASSERT_EQ(Import({"mode,distinguishedName,sAMAccountName,accountExpires",
                    "Create," + Quoted(Dn("Never")) + "," + Account("never") +
                        ",9223372036854775807",
                    "Create," + Quoted(Dn("Dated")) + "," + Account("dated") +
                        ",134100000000000000"}),
            1);
  EXPECT_EQ(engine_->ErrorCount, 0) << engine_->Error().Text();
  EXPECT_EQ(Value(Dn("Never"), "accountExpires"), "9223372036854775807");
  EXPECT_EQ(Value(Dn("Dated"), "accountExpires"), "134100000000000000");

  // Text that only begins with a number is refused, and the stored value stays.
  ASSERT_EQ(Import({"mode,distinguishedName,accountExpires",
                    "Modify," + Quoted(Dn("Never")) + ",12abc"}),
            1);
  EXPECT_EQ(engine_->ErrorCount, 1);
  EXPECT_EQ(ErrorMessages(),
            (Lines{"Invalid number value specified for attribute 'accountExpires'."}));
  EXPECT_EQ(Value(Dn("Never"), "accountExpires"), "9223372036854775807");
}

TEST_F(ImportDirectoryTest, UserSignsInWithTheImportedPassword) {
  ASSERT_EQ(Import({"mode,distinguishedName,sAMAccountName,password",
                    "Create," + Quoted(Dn("Pat")) + "," + Account("pat") + ",Fir5t-Pass!"}),
            1);
  ASSERT_EQ(engine_->ErrorCount, 0) << engine_->Error().Text();
  EXPECT_EQ(Value(Dn("Pat"), "userAccountControl"), "512");
  EXPECT_TRUE(CanBind(Dn("Pat"), "Fir5t-Pass!"));
  EXPECT_FALSE(CanBind(Dn("Pat"), "Wrong-Pass1!"));

  ASSERT_EQ(Import({"mode,distinguishedName,password,accountDisabled",
                    "Modify," + Quoted(Dn("Pat")) + ",Sec0nd-Pass!,No"}),
            1);
  ASSERT_EQ(engine_->ErrorCount, 0) << engine_->Error().Text();
  EXPECT_TRUE(CanBind(Dn("Pat"), "Sec0nd-Pass!"));
  ASSERT_EQ(
      Import({"mode,distinguishedName,accountDisabled", "Modify," + Quoted(Dn("Pat")) + ",YES"}),
      1);
  EXPECT_EQ(Value(Dn("Pat"), "userAccountControl"), "514");
}

TEST_F(ImportDirectoryTest, AccountNameOfTwentyOneCharactersIsNotCreated) {
  ASSERT_EQ(Import({"mode,distinguishedName,sAMAccountName",
                    "Create," + Quoted(Dn("Long")) + ",abcdefghijklmnopqrstu"}),
            1);
  EXPECT_FALSE(Exists(Dn("Long")));
  EXPECT_EQ(ErrorMessages(), (Lines{"The attribute 'sAMAccountName' is more than 20 characters.  "
                                    "Please shorten the value for this attribute."}));
}

TEST_F(ImportDirectoryTest, ModifiesValuesByType) {
  ASSERT_EQ(Import({"mode,distinguishedName,sAMAccountName",
                    "Create," + Quoted(Dn("Cy")) + "," + Account("cy")}),
            1);
  ASSERT_EQ(Import({"mode,distinguishedName,otherTelephone,info,showInAdvancedViewOnly",
                    "Modify," + Quoted(Dn("Cy")) + ",1%2,one\\r\\ntwo,true"}),
            1);
  EXPECT_EQ(engine_->ErrorCount, 0) << engine_->Error().Text();
  EXPECT_EQ(Values(Dn("Cy"), "otherTelephone"), (Lines{"1", "2"}));
  EXPECT_EQ(Value(Dn("Cy"), "info"), "one\r\ntwo");
  EXPECT_EQ(Value(Dn("Cy"), "showInAdvancedViewOnly"), "TRUE");

  // Append adds to the values; overwrite leaves exactly the file's values; ~DEL removes.
  ASSERT_EQ(Import({"mode,distinguishedName,otherTelephone", "Modify," + Quoted(Dn("Cy")) + ",3"}),
            1);
  EXPECT_EQ(Values(Dn("Cy"), "otherTelephone"), (Lines{"1", "2", "3"}));
  engine_->MultiValueMode = 1;
  ASSERT_EQ(
      Import({"mode,distinguishedName,otherTelephone", "Modify," + Quoted(Dn("Cy")) + ",a%b"}), 1);
  EXPECT_EQ(Values(Dn("Cy"), "otherTelephone"), (Lines{"a", "b"}));
  ASSERT_EQ(Import({"mode,distinguishedName,otherTelephone,info",
                    "Modify," + Quoted(Dn("Cy")) + ",~DEL,"}),
            1);
  EXPECT_EQ(engine_->ErrorCount, 0) << engine_->Error().Text();
  EXPECT_EQ(Values(Dn("Cy"), "otherTelephone"), Lines{});
  EXPECT_EQ(Values(Dn("Cy"), "info"), Lines{});
}

TEST_F(ImportDirectoryTest, ManagerByGuidAndMembershipByDnAndGuid) {
  LeaveNewAccountsDisabled();
  ASSERT_EQ(Import({"mode,distinguishedName,sAMAccountName,objectClass",
                    "Create," + Quoted(Dn("Boss")) + "," + Account("boss") + ",user",
                    "Create," + Quoted(Dn("Worker")) + "," + Account("wrk") + ",user",
                    "Create," + Quoted(Dn("G1")) + "," + Account("g1") + ",group",
                    "Create," + Quoted(Dn("G2")) + "," + Account("g2") + ",group",
                    "Create," + Quoted(Dn("G3")) + "," + Account("g3") + ",group"}),
            1);
  ASSERT_EQ(engine_->ErrorCount, 0) << engine_->Error().Text();
  ASSERT_EQ(Import({"mode,distinguishedName,memberOf",
                    "Modify," + Quoted(Dn("Worker")) + "," + Quoted(Dn("G3"))}),
            1);
  engine_->MultiValueMode = 1;
  ASSERT_EQ(Import({"mode,distinguishedName,manager,memberOf",
                    "Modify," + Quoted(Dn("Worker")) + "," + Guid(Dn("Boss")) + "," +
                        Quoted(Dn("G1") + "%" + Guid(Dn("G2")))}),
            1);
  EXPECT_EQ(engine_->ErrorCount, 0) << engine_->Error().Text();
  EXPECT_EQ(Value(Dn("Worker"), "manager"), Dn("Boss"));
  EXPECT_EQ(Values(Dn("G1"), "member"), Lines{Dn("Worker")});
  EXPECT_EQ(Values(Dn("G2"), "member"), Lines{Dn("Worker")});
  EXPECT_EQ(Values(Dn("G3"), "member"), Lines{});
}

TEST_F(ImportDirectoryTest, DeleteMoveAndRename) {
  const std::string sales = AddOrganizationalUnit("Sales");
  const std::string gone = Unique("Gone");
  ASSERT_EQ(Import({"mode,distinguishedName,sAMAccountName",
                    "Create," + Quoted(Dn(gone)) + "," + Account("a"),
                    "Create," + Quoted(Dn("B")) + "," + Account("b"),
                    "Create," + Quoted(Dn("C")) + "," + Account("c")}),
            1);
  ASSERT_EQ(Import({"mode,distinguishedName", "Delete," + Quoted(Dn(gone))}), 1);
  EXPECT_FALSE(Exists(Dn(gone)));
  EXPECT_TRUE(Exists(Dn(gone, "CN=LostAndFound," + DomainDN())));
  ASSERT_EQ(
      Import({"mode,distinguishedName,container", "Move," + Quoted(Dn("B")) + "," + Quoted(sales)}),
      1);
  EXPECT_TRUE(Exists(Dn("B", sales)));
  ASSERT_EQ(Import({"mode,distinguishedName,cn", "Modify," + Quoted(Dn("C")) + ",Cee"}), 1);
  EXPECT_EQ(engine_->ErrorCount, 0) << engine_->Error().Text();
  EXPECT_TRUE(Exists(Dn("Cee")));
  EXPECT_FALSE(Exists(Dn("C")));
}

TEST_F(ImportDirectoryTest, GroupsAndContactsAreCreatedWhileUsersMustChangePassword) {
  LeaveNewAccountsDisabled();
  engine_->MustChangePassword = true;
  ASSERT_EQ(Import({"mode,distinguishedName,sAMAccountName,objectClass",
                    "Create," + Quoted(Dn("U")) + "," + Account("u") + ",user",
                    "Create," + Quoted(Dn("Team")) + "," + Account("team") + ",group",
                    "Create," + Quoted(Dn("Partner")) + ",,contact"}),
            1);
  EXPECT_EQ(engine_->ErrorCount, 0) << engine_->Error().Text();
  EXPECT_NE(engine_->Error().Text().find("3 'create' entries were processed."), std::string::npos)
      << engine_->Error().Text();
  EXPECT_EQ(Value(Dn("U"), "pwdLastSet"), "0");
  EXPECT_TRUE(Exists(Dn("Team")));
  EXPECT_EQ(Values(Dn("Team"), "pwdLastSet"), Lines{});
  EXPECT_TRUE(Exists(Dn("Partner")));
  EXPECT_EQ(Values(Dn("Partner"), "pwdLastSet"), Lines{});
}

TEST_F(ImportDirectoryTest, CancelLeavesLaterEntriesUntouched) {
  LeaveNewAccountsDisabled();
  Lines lines{"mode,distinguishedName,sAMAccountName"};
  for (int i = 1; i <= 10; ++i) {
    const std::string n = std::to_string(i);
    lines.push_back("Create," + Quoted(Dn("U" + n)) + "," + Account("u" + n));
  }
  ScriptedProgressHost host;
  host.PressAfterProgress(5, 1056);
  ASSERT_EQ(Import(lines, &host), 1);
  for (int i = 1; i <= 10; ++i) {
    EXPECT_EQ(Exists(Dn("U" + std::to_string(i))), i <= 5) << i;
  }
  EXPECT_NE(engine_->Error().Text().find("5 'create' entries were processed."), std::string::npos);
  const Lines log = ReadLines(engine_->OperationsLogPath());
  EXPECT_TRUE(log[log.size() - 2].ends_with(": Operation cancelled by user"));
}

TEST_F(ImportDirectoryTest, ErrorFileReimportedAfterTheFixCompletesTheJob) {
  LeaveNewAccountsDisabled();
  // Entries below a unit that does not exist yet are refused; the rest go in.
  const std::string unit = "OU=Later," + Base();
  ASSERT_EQ(Import({"mode,distinguishedName,sAMAccountName,description",
                    "Create," + Quoted(Dn("P1")) + "," + Account("p1") + ",\"first, one\"",
                    "Create," + Quoted(Dn("P2", unit)) + "," + Account("p2") + ",\"second, two\"",
                    "Create," + Quoted(Dn("P3")) + "," + Account("p3") + ",third",
                    "Create," + Quoted(Dn("P4", unit)) + "," + Account("p4") + ",fourth"}),
            1);
  EXPECT_EQ(engine_->ErrorCount, 2);
  ASSERT_EQ(ErrorMessages().size(), 2u);

  EXPECT_EQ(AddOrganizationalUnit("Later"), unit);
  engine_->ImportFile = engine_->ErrorFilePath;
  ASSERT_TRUE(engine_->CheckImportFile()) << engine_->Error().Text();
  ASSERT_TRUE(engine_->ValidateImportLines()) << engine_->Error().Text();
  ScriptedProgressHost host;
  ASSERT_EQ(RunBehindDialog(*engine_, host), 1);
  EXPECT_EQ(engine_->ErrorCount, 0) << engine_->Error().Text();
  EXPECT_EQ(Value(Dn("P1"), "description"), "first, one");
  EXPECT_EQ(Value(Dn("P2", unit), "description"), "second, two");
  EXPECT_EQ(Value(Dn("P3"), "description"), "third");
  EXPECT_EQ(Value(Dn("P4", unit), "sAMAccountName"), Account("p4"));
}

TEST_F(ImportDirectoryTest, NothingIsAppliedWhenTheErrorFileCannotBeCreated) {
  engine_->ErrorFolder = (machine_.Root() / "no-such-folder").string() + "/";
  EXPECT_EQ(
      Import({"mode,distinguishedName,sAMAccountName",
              "Create," + Quoted(Dn("First")) + "," + Account("first"),
              "Create," + Quoted(Dn("Second", "OU=Missing," + Base())) + "," + Account("second")}),
      0);
  EXPECT_FALSE(Exists(Dn("First")));
  EXPECT_TRUE(engine_->Error().Text().starts_with("Could not create the file '" +
                                                  engine_->ErrorFolder + "Errors - "))
      << engine_->Error().Text();
}

TEST_F(ImportDirectoryTest, SpreadsheetFileWithByteOrderMarkImports) {
  WriteFileText(engine_->ImportFile,
                "\xEF\xBB\xBFmode,distinguishedName,sAMAccountName\r\n"
                "Create," +
                    Quoted(Dn("Bom")) + "," + Account("bom") + "\r\n");
  ASSERT_TRUE(engine_->CheckImportFile()) << engine_->Error().Text();
  ScriptedProgressHost host;
  ASSERT_EQ(RunBehindDialog(*engine_, host), 1);
  EXPECT_TRUE(Exists(Dn("Bom")));
  EXPECT_EQ(engine_->HeaderLine, "mode,distinguishedName,sAMAccountName");
}

// Latin-1 text as UTF-16 little-endian with its byte-order mark.
std::string Utf16LittleEndian(const std::string& latin1) {
  std::string bytes = "\xFF\xFE";
  for (char c : latin1) {
    bytes += c;
    bytes += '\0';
  }
  return bytes;
}

TEST_F(ImportDirectoryTest, CodePageAndUtf16FilesAreStoredAsUtf8) {
  LeaveNewAccountsDisabled();
  // Nineteen characters with the test's token, two of them of two bytes in UTF-8.
  const std::string token = Unique("");
  const std::string padding(token.size() < 11 ? 11 - token.size() : 0, 's');
  const std::string account_1252 = "j\xF6rgm\xFCll" + padding + token;
  const std::string account = "j\xC3\xB6rgm\xC3\xBCll" + padding + token;
  const std::string header = "mode,distinguishedName,sAMAccountName,sn,description\r\n";
  WriteFileText(engine_->ImportFile, header + "Create,\"CN=M\xFCller," + Base() + "\"," +
                                         account_1252 + ",M\xFCller,\"Gr\xFC\xDF" +
                                         "e, \x80 5\"\r\n");
  ASSERT_TRUE(engine_->CheckImportFile()) << engine_->Error().Text();
  ASSERT_TRUE(engine_->ValidateImportLines()) << engine_->Error().Text();
  ScriptedProgressHost host;
  ASSERT_EQ(RunBehindDialog(*engine_, host), 1);
  EXPECT_EQ(engine_->ErrorCount, 0) << ::testing::PrintToString(ErrorMessages());
  const std::string mueller = Dn("M\xC3\xBCller");
  EXPECT_EQ(Value(mueller, "sAMAccountName"), account);
  EXPECT_EQ(Value(mueller, "sn"), "M\xC3\xBCller");
  EXPECT_EQ(Value(mueller, "description"),
            "Gr\xC3\xBC\xC3\x9F"
            "e, \xE2\x82\xAC 5");
  Lines log = ReadLines(engine_->OperationsLogPath());
  EXPECT_TRUE(std::any_of(log.begin(), log.end(), [](const std::string& line) {
    return line.ends_with(": Text encoding: Windows-1252");
  }));

  WriteFileText(engine_->ImportFile,
                Utf16LittleEndian(header + "Create,\"CN=\xD8rsted," + Base() + "\"," +
                                  Account("orsted") + ",\xD8rsted,\r\n"));
  ASSERT_TRUE(engine_->CheckImportFile()) << engine_->Error().Text();
  ASSERT_TRUE(engine_->ValidateImportLines()) << engine_->Error().Text();
  ASSERT_EQ(RunBehindDialog(*engine_, host), 1);
  EXPECT_EQ(engine_->ErrorCount, 0) << ::testing::PrintToString(ErrorMessages());
  EXPECT_EQ(Value(Dn("\xC3\x98rsted"), "sn"), "\xC3\x98rsted");
  log = ReadLines(engine_->OperationsLogPath());
  // The encoding, "Processing 1 of 1..." and the summary end the log.
  ASSERT_GE(log.size(), 3u);
  EXPECT_TRUE(log[log.size() - 3].ends_with(": Text encoding: UTF-16 (little-endian)"))
      << log[log.size() - 3];
}

TEST_F(ImportDirectoryTest, SpreadsheetQuotingIsRead) {
  LeaveNewAccountsDisabled();
  ASSERT_EQ(
      Import({"\"mode\",\"distinguishedName\",\"sAMAccountName\",\"description\",\"info\"",
              "\"Create\",\"" + Dn("Quinn") + "\",\"" + Account("quinn") +
                  "\",\"a \"\"b\"\" c\",\"line one\r\nline two, \"\"end\"\"\"",
              "Create,\"" + Dn("Rae") + "\"," + Account("rae") + ",say \"hi\",\"plain quoted\""}),
      1);
  EXPECT_EQ(engine_->ErrorCount, 0) << engine_->Error().Text();
  EXPECT_EQ(Value(Dn("Quinn"), "description"), "a \"b\" c");
  EXPECT_EQ(Value(Dn("Quinn"), "info"), "line one\r\nline two, \"end\"");
  EXPECT_EQ(Value(Dn("Rae"), "description"), "say \"hi\"");
  EXPECT_EQ(Value(Dn("Rae"), "info"), "plain quoted");
}

TEST_F(ImportDirectoryTest, DirectoryRefusalGoesToTheErrorFileAndTheRunGoesOn) {
  LeaveNewAccountsDisabled();
  ASSERT_EQ(Import({"mode,distinguishedName,sAMAccountName",
                    "Create," + Quoted(Dn("Dup1")) + "," + Account("same"),
                    "Create," + Quoted(Dn("Dup2")) + "," + Account("same"),
                    "Create," + Quoted(Dn("Fine")) + "," + Account("fine")}),
            1);
  EXPECT_TRUE(Exists(Dn("Dup1")));
  EXPECT_FALSE(Exists(Dn("Dup2")));
  EXPECT_TRUE(Exists(Dn("Fine")));
  EXPECT_EQ(engine_->ErrorCount, 1);
  EXPECT_NE(engine_->Error().Text().find("Error file: " + engine_->ErrorFilePath),
            std::string::npos);
}

// Windows refuses to enable a new account that has no password (Samba enables it): the user is
// created, disabled, and its line goes to the error file.
TEST_F(ImportDirectoryTest, AUserWithoutPasswordIsCreatedButNotEnabled) {
  if (!Embedded()) GTEST_SKIP() << "Samba enables an account that has no password";
  ASSERT_EQ(Import({"mode,distinguishedName,sAMAccountName",
                    "Create," + Quoted(Dn("Nopass")) + "," + Account("nopass")}),
            1);
  EXPECT_EQ(engine_->ErrorCount, 1);
  EXPECT_EQ(ErrorMessages(), (Lines{"Could not commit changes. The server is not willing to "
                                    "handle directory requests. (80072035)"}));
  EXPECT_TRUE(Exists(Dn("Nopass")));
  EXPECT_EQ(Value(Dn("Nopass"), "userAccountControl"), "546");
}

TEST_F(ImportDirectoryTest, MailboxWithoutExchangeFailsAfterTheUserIsCreated) {
  engine_->CreateMailboxes = true;
  ASSERT_EQ(
      Import({"mode,distinguishedName,sAMAccountName,homeMDB",
              "Create," + Quoted(Dn("Mo")) + "," + Account("mo") + "," +
                  Quoted("CN=Store,CN=SG,CN=InformationStore,CN=S,CN=Servers," + DomainDN())}),
      1);
  EXPECT_TRUE(Exists(Dn("Mo")));
  ASSERT_EQ(ErrorMessages().size(), 1u);
  EXPECT_TRUE(
      ErrorMessages()[0].starts_with("Could not create a mailbox for the user '" + Dn("Mo") + "'."))
      << ErrorMessages()[0];
  EXPECT_NE(ErrorMessages()[0].find("Could not obtain the proper interface to create a mailbox."),
            std::string::npos)
      << ErrorMessages()[0];
}

}  // namespace
}  // namespace tessary::testing
