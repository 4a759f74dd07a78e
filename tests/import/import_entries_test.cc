// The entry handlers and attribute rules, against a directory that records every call, so that
// the order of the writes and every message can be checked, including the failure paths.
#include <gtest/gtest.h>

#include <filesystem>

#include "directory/scoped_time_zone.h"
#include "fake_import_directory.h"
#include "import_test_util.h"
#include "platform/registry.h"
#include "support/bvk_registry.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;
using testing::ReadLines;
using Lines = std::vector<std::string>;

class ImportEntriesTest : public testing::MachineTest {
 protected:
  void SetUp() override {
    engine_.DataFolder = (machine_.Root() / "program").string() + "/";
    fs::create_directories(engine_.DataFolder);
    engine_.ErrorFolder = (machine_.Root() / "errors").string() + "/";
    fs::create_directories(engine_.ErrorFolder);
    engine_.ImportFile = (machine_.Root() / "import.csv").string();
    directory_.AddObject("OU=Sales,DC=x,DC=com", "organizationalUnit");
    directory_.AddObject("CN=LostAndFound,DC=x,DC=com", "lostAndFound");
  }
  // Checks and runs the file; returns the run's result.
  int Run(const Lines& lines) {
    testing::WriteLines(engine_.ImportFile, lines);
    EXPECT_TRUE(engine_.CheckImportFile()) << engine_.Error().Text();
    directory_.ClearCalls();
    ScriptedProgressHost host;
    return testing::RunBehindDialog(engine_, host);
  }
  // The messages of the error file's entries.
  Lines Errors() {
    Lines messages;
    if (!fs::exists(engine_.ErrorFilePath)) return messages;
    const Lines lines = ReadLines(engine_.ErrorFilePath);
    for (std::size_t i = 1; i < lines.size(); ++i) {
      const std::string& line = lines[i];
      const std::size_t start = line.rfind(",\"");
      messages.push_back(line.substr(start + 2, line.size() - start - 3));
    }
    return messages;
  }
  std::string Summary(int deleted, int created, int modified, int errors) {
    return std::to_string(deleted) + " 'delete' entries were processed.\n" +
           std::to_string(created) + " 'create' entries were processed.\n" +
           std::to_string(modified) + " 'modify' entries were processed.\n" +
           std::to_string(errors) + " errors occurred.";
  }
  bool SummaryIs(int deleted, int created, int modified, int errors) {
    return engine_.Error().Text().find(Summary(deleted, created, modified, errors)) !=
           std::string::npos;
  }

  testing::FakeImportDirectory directory_;
  CImportEngine engine_{&directory_};
};

// --- File check with a schema.

TEST_F(ImportEntriesTest, ColumnsTakeTheSchemasNames) {
  testing::WriteLines(engine_.ImportFile,
                      {"mode,distinguishedName,SAMACCOUNTNAME,Description,Is-Member-Of-DL,"
                       "pwdLastSet"});
  ASSERT_TRUE(engine_.CheckImportFile()) << engine_.Error().Text();
  const auto& columns = engine_.Columns();
  ASSERT_EQ(columns.size(), 6u);
  EXPECT_EQ(columns[2].Name, "sAMAccountName");
  EXPECT_EQ(columns[3].Name, "description");
  EXPECT_EQ(columns[3].AdminDisplayName, "Description");
  EXPECT_EQ(columns[3].SchemaEntryDN, "CN=Description,CN=Schema,CN=Configuration,DC=x,DC=com");
  EXPECT_EQ(columns[3].ValueType, kValueString);
  EXPECT_FALSE(columns[3].SingleValued);
  EXPECT_EQ(columns[4].Name, "memberOf");
  EXPECT_EQ(columns[4].ValueType, kValueSpecial);
  EXPECT_EQ(columns[5].Name, "pwdLastSet");
  EXPECT_EQ(columns[5].ValueType, kValueLargeInteger);
}

TEST_F(ImportEntriesTest, UnknownAttributeCarriesTheLookUpsMessage) {
  testing::WriteLines(engine_.ImportFile, {"mode,distinguishedName,noSuch"});
  EXPECT_FALSE(engine_.CheckImportFile());
  EXPECT_EQ(engine_.Error().Text(),
            "Could not retrieve information about the attribute 'noSuch'.\nNo attribute with the "
            "name 'noSuch' exists in the directory schema.");
}

TEST_F(ImportEntriesTest, UnsupportedSyntaxIsNamed) {
  testing::WriteLines(engine_.ImportFile, {"mode,distinguishedName,thumbnailPhoto"});
  EXPECT_FALSE(engine_.CheckImportFile());
  EXPECT_EQ(engine_.Error().Text(),
            "Tessary does not currently support the attribute 'thumbnailPhoto' or attributes of "
            "type 'Octet String'.");
}

TEST_F(ImportEntriesTest, ClassColumnDecidesWhetherUsersAreCreated) {
  testing::WriteLines(engine_.ImportFile, {"mode,distinguishedName,objectClass",
                                           "Create,\"CN=g,OU=Sales,DC=x,DC=com\",group",
                                           "Create,\"CN=u,OU=Sales,DC=x,DC=com\",user"});
  ASSERT_TRUE(engine_.CheckImportFile());
  EXPECT_TRUE(engine_.CreatesUsers);
  testing::WriteLines(engine_.ImportFile, {"mode,distinguishedName,objectClass",
                                           "Create,\"CN=g,OU=Sales,DC=x,DC=com\",group"});
  ASSERT_TRUE(engine_.CheckImportFile());
  EXPECT_FALSE(engine_.CreatesUsers);
}

// --- Create.

TEST_F(ImportEntriesTest, CreateWritesInTheFixedOrder) {
  directory_.AddObject("CN=Staff,DC=x,DC=com", "group");
  engine_.MustChangePassword = true;
  EXPECT_EQ(Run({"mode,distinguishedName,givenName,sAMAccountName,password,memberOf",
                 "Create,\"CN=Ann,OU=Sales,DC=x,DC=com\",Ann,ann,Secret1!,\"CN=Staff,DC=x,"
                 "DC=com\""}),
            1);
  EXPECT_TRUE(SummaryIs(0, 1, 0, 0)) << engine_.Error().Text();
  const std::string dn = "CN=Ann,OU=Sales,DC=x,DC=com";
  EXPECT_EQ(directory_.Calls(),
            (Lines{"Open " + dn, "Create User " + dn, "PutString sAMAccountName=ann",
                   "PutString givenName=Ann", "Commit " + dn,
                   "AddMember " + dn + " to CN=Staff,DC=x,DC=com", "GetUserInterface " + dn,
                   "SetPassword " + dn + "=Secret1!", "PutInteger userAccountControl=512",
                   "Commit " + dn, "PutInteger pwdLastSet=0", "Commit " + dn}));
}

TEST_F(ImportEntriesTest, NewUserGetsBothAccountOptions) {
  engine_.NewAccountDisabled = true;
  engine_.PasswordNeverExpires = true;
  EXPECT_EQ(
      Run({"mode,distinguishedName,sAMAccountName", "Create,\"CN=a,OU=Sales,DC=x,DC=com\",a"}), 1);
  EXPECT_NE(std::find(directory_.Calls().begin(), directory_.Calls().end(),
                      "PutInteger userAccountControl=66050"),
            directory_.Calls().end());
  EXPECT_TRUE(SummaryIs(0, 1, 0, 0));
}

TEST_F(ImportEntriesTest, AccountControlColumnWinsOverTheOptions) {
  engine_.NewAccountDisabled = true;
  engine_.MustChangePassword = false;
  EXPECT_EQ(Run({"mode,distinguishedName,sAMAccountName,userAccountControl",
                 "Create,\"CN=a,OU=Sales,DC=x,DC=com\",a,544"}),
            1);
  EXPECT_EQ(directory_.Calls(),
            (Lines{"Open CN=a,OU=Sales,DC=x,DC=com", "Create User CN=a,OU=Sales,DC=x,DC=com",
                   "PutString sAMAccountName=a", "PutInteger userAccountControl=544",
                   "Commit CN=a,OU=Sales,DC=x,DC=com"}));
}

TEST_F(ImportEntriesTest, CreateChecksBeforeCreating) {
  directory_.AddObject("CN=old,OU=Sales,DC=x,DC=com");
  EXPECT_EQ(
      Run({"mode,distinguishedName,sAMAccountName,objectClass",
           "Create,\"CN=old,OU=Sales,DC=x,DC=com\",old,user",
           "Create,\"CN=long,OU=Sales,DC=x,DC=com\",abcdefghijklmnopqrstu,user",
           "Create,\"CN=g,OU=Sales,DC=x,DC=com\",,group", "Create,\"CN=u,OU=Sales,DC=x,DC=com\",,",
           "Create,,a,user", "Create,\"CN=v,OU=Sales,DC=x,DC=com\",a"}),
      1);
  EXPECT_EQ(Errors(),
            (Lines{"This object already exists and cannot be created.  Use the 'Modify' mode to "
                   "modify the attributes for this object.  Object DN: CN=old,OU=Sales,DC=x,DC=com",
                   "The attribute 'sAMAccountName' is more than 20 characters.  Please shorten "
                   "the value for this attribute.",
                   "The attribute 'sAMAccountName' must be specified for new group objects.",
                   "The attribute 'sAMAccountName' must be specified for new User objects.",
                   "You must specify the 'distinguishedName' column in the import file in order "
                   "to create new objects.",
                   "Incorrect number of values.  Total columns: 4, Total values in this entry: "
                   "3"}));
  for (const std::string& call : directory_.Calls()) {
    EXPECT_FALSE(call.starts_with("Create ")) << call;
  }
}

TEST_F(ImportEntriesTest, MailboxStoreMustBeComplete) {
  engine_.CreateMailboxes = true;
  EXPECT_EQ(Run({"mode,distinguishedName,sAMAccountName,exchHomeServer,exchStorageGroup,"
                 "exchMailboxStore,exchAdminGroup,exchOrganization",
                 "Create,\"CN=a,OU=Sales,DC=x,DC=com\",a,SRV,SG,,AG,ORG",
                 "Create,\"CN=b,OU=Sales,DC=x,DC=com\",b,SRV,SG,MS,AG,ORG"}),
            1);
  EXPECT_EQ(Errors(), (Lines{"The Microsoft Exchange 2000 home database attribute was not "
                             "specified properly. Please refer to Tessary documentation for "
                             "information."}));
  EXPECT_FALSE(directory_.Exists("CN=a,OU=Sales,DC=x,DC=com"));
  EXPECT_NE(
      std::find(directory_.Calls().begin(), directory_.Calls().end(),
                "CreateMailbox CN=b,OU=Sales,DC=x,DC=com in CN=MS,CN=SG,CN=InformationStore,CN=SRV,"
                "CN=Servers,CN=AG,CN=Administrative Groups,CN=ORG,CN=Microsoft Exchange,"
                "CN=Services,CN=Configuration,DC=x,DC=com"),
      directory_.Calls().end());
}

TEST_F(ImportEntriesTest, HomeMdbValueNamesTheStore) {
  engine_.CreateMailboxes = true;
  EXPECT_EQ(Run({"mode,distinguishedName,sAMAccountName,homeMDB",
                 "Create,\"CN=a,OU=Sales,DC=x,DC=com\",a,\"CN=Store,CN=Org\""}),
            1);
  EXPECT_NE(std::find(directory_.Calls().begin(), directory_.Calls().end(),
                      "CreateMailbox CN=a,OU=Sales,DC=x,DC=com in CN=Store,CN=Org"),
            directory_.Calls().end());
}

TEST_F(ImportEntriesTest, RefusedCreateIsRetriedValueByValue) {
  engine_.MustChangePassword = false;
  directory_.FailOn("PutString givenName", "Could not modify the attribute 'givenName'.", 1);
  EXPECT_EQ(Run({"mode,distinguishedName,sAMAccountName,givenName",
                 "Create,\"CN=a,OU=Sales,DC=x,DC=com\",a,Ann"}),
            1);
  const std::string dn = "CN=a,OU=Sales,DC=x,DC=com";
  EXPECT_EQ(directory_.Calls(),
            (Lines{"Open " + dn, "Create User " + dn, "PutString sAMAccountName=a",
                   "PutString givenName=Ann", "Open " + dn, "Create User " + dn,
                   "PutString sAMAccountName=a", "Commit " + dn, "PutString givenName=Ann",
                   "Commit " + dn, "PutInteger userAccountControl=512", "Commit " + dn}));
  EXPECT_TRUE(SummaryIs(0, 1, 0, 0));
}

TEST_F(ImportEntriesTest, FailedRetryReportsBothAttempts) {
  directory_.FailOn("Commit CN=a,", "Could not commit changes.\nA constraint was violated.");
  EXPECT_EQ(Run({"mode,distinguishedName,sAMAccountName,givenName",
                 "Create,\"CN=a,OU=Sales,DC=x,DC=com\",a,Ann"}),
            1);
  EXPECT_EQ(Errors(), (Lines{"Could not commit changes. A constraint was violated. Retry "
                             "Attempt: Could not write the attribute 'sAMAccountName' with the "
                             "value 'a'. Could not commit changes. A constraint was violated."}));
}

TEST_F(ImportEntriesTest, RetryThatCannotRecreateReportsBothMessages) {
  directory_.FailOn("Commit CN=a", "Could not commit changes.");
  directory_.FailOn("Create User CN=a,", "Could not create the object 'CN=a'.", -1, 1);
  EXPECT_EQ(
      Run({"mode,distinguishedName,sAMAccountName", "Create,\"CN=a,OU=Sales,DC=x,DC=com\",a"}), 1);
  EXPECT_EQ(Errors(), (Lines{"Could not commit changes. Retry Attempt: Could not create the "
                             "object 'CN=a'."}));
}

TEST_F(ImportEntriesTest, OnlyAccountsGetPwdLastSetWhenUsersMustChangePassword) {
  // A directory refuses pwdLastSet on the objects that do not have it; here it refuses it on all.
  directory_.FailOn("PutInteger pwdLastSet", "Could not modify the attribute 'pwdLastSet'.");
  engine_.MustChangePassword = true;
  EXPECT_EQ(Run({"mode,distinguishedName,sAMAccountName,objectClass",
                 "Create,\"CN=u,OU=Sales,DC=x,DC=com\",u,user",
                 "Create,\"CN=g,OU=Sales,DC=x,DC=com\",g,group",
                 "Create,\"CN=c,OU=Sales,DC=x,DC=com\",,contact",
                 "Create,\"CN=p,OU=Sales,DC=x,DC=com\",p,InetOrgPerson",
                 "Create,\"CN=w,OU=Sales,DC=x,DC=com\",w$,computer"}),
            1);
  EXPECT_TRUE(directory_.Exists("CN=g,OU=Sales,DC=x,DC=com"));
  EXPECT_TRUE(directory_.Exists("CN=c,OU=Sales,DC=x,DC=com"));
  EXPECT_TRUE(SummaryIs(0, 2, 0, 3)) << engine_.Error().Text();
  EXPECT_EQ(Errors(), (Lines{"Could not modify the attribute 'pwdLastSet'.",
                             "Could not modify the attribute 'pwdLastSet'.",
                             "Could not modify the attribute 'pwdLastSet'."}));
}

// --- Modify.

TEST_F(ImportEntriesTest, ModifySetsPasswordFirstAndRenamesLast) {
  directory_.AddObject("CN=a,OU=Sales,DC=x,DC=com");
  EXPECT_EQ(Run({"mode,distinguishedName,password,givenName,accountDisabled,cn",
                 "modify,\"cn=a,ou=Sales,dc=x,dc=com\",pw,Ann,yes,Anne"}),
            1);
  const std::string dn = "CN=a,OU=Sales,DC=x,DC=com";
  EXPECT_EQ(directory_.Calls(),
            (Lines{"Open " + dn, "GetUserInterface " + dn, "SetPassword " + dn + "=pw",
                   "PutString givenName=Ann", "Commit " + dn, "GetUserInterface " + dn,
                   "SetAccountDisabled " + dn + "=1",
                   "Rename " + dn + " to Anne in OU=Sales,DC=x,DC=com"}));
  EXPECT_TRUE(SummaryIs(0, 0, 1, 0));
}

TEST_F(ImportEntriesTest, AccountDisabledMustBeYesOrNo) {
  directory_.AddObject("CN=a,DC=x,DC=com");
  EXPECT_EQ(Run({"mode,distinguishedName,accountDisabled", "Modify,\"CN=a,DC=x,DC=com\",True"}), 1);
  EXPECT_EQ(Errors(), (Lines{"The value for 'accountDisabled' is not in the proper format.  The "
                             "value can either be 'Yes' or 'No'.  Value found: 'True'."}));
}

TEST_F(ImportEntriesTest, ModifyOfMissingObjectGivesTheOpenMessage) {
  EXPECT_EQ(Run({"mode,distinguishedName,givenName", "Modify,\"CN=a,DC=x,DC=com\",A"}), 1);
  EXPECT_EQ(Errors(),
            (Lines{"Could not open the object 'CN=a,DC=x,DC=com'. There is no such object."}));
}

TEST_F(ImportEntriesTest, ModifyRetryKeepsOnlyTheSecondMessage) {
  directory_.AddObject("CN=a,DC=x,DC=com");
  directory_.FailOn("Commit", "Could not commit changes.");
  EXPECT_EQ(Run({"mode,distinguishedName,givenName", "Modify,\"CN=a,DC=x,DC=com\",A"}), 1);
  EXPECT_EQ(Errors(), (Lines{"Could not write the attribute 'givenName' with the value 'A'. "
                             "Could not commit changes."}));
}

TEST_F(ImportEntriesTest, ModesInAnyCaseSelectTheSameHandler) {
  for (const char* dn : {"CN=a,DC=x,DC=com", "CN=b,DC=x,DC=com", "CN=c,DC=x,DC=com"}) {
    directory_.AddObject(dn);
  }
  EXPECT_EQ(Run({"mode,distinguishedName,givenName", "modify,\"CN=a,DC=x,DC=com\",A",
                 "Modify,\"CN=b,DC=x,DC=com\",B", "MODIFY,\"CN=c,DC=x,DC=com\",C"}),
            1);
  EXPECT_TRUE(SummaryIs(0, 0, 3, 0)) << engine_.Error().Text();
}

TEST_F(ImportEntriesTest, ModifyCountsValues) {
  directory_.AddObject("CN=a,DC=x,DC=com");
  EXPECT_EQ(Run({"mode,distinguishedName,givenName", "Modify,\"CN=a,DC=x,DC=com\""}), 1);
  EXPECT_EQ(Errors(),
            (Lines{"Incorrect number of values.  Total columns: 3 Total values in this entry: 2"}));
}

// --- Finding the object, duplicates.

TEST_F(ImportEntriesTest, GuidWinsOverDn) {
  directory_.AddObject("CN=real,DC=x,DC=com");
  directory_.AddGuid("{0011}", "CN=real,DC=x,DC=com");
  EXPECT_EQ(Run({"mode,objectGUID,distinguishedName,givenName",
                 "Modify,{0011},\"CN=stale,DC=x,DC=com\",A"}),
            1);
  EXPECT_EQ(directory_.Calls()[0], "GetDNFromGUID {0011}");
  EXPECT_EQ(directory_.Calls()[1], "Open CN=real,DC=x,DC=com");
}

TEST_F(ImportEntriesTest, GuidFoundWithoutDnAndNeitherGiven) {
  directory_.AddGuid("{00EE}", "");
  EXPECT_EQ(Run({"mode,objectGUID,distinguishedName", "Delete,{00EE},", "Delete,,"}), 1);
  EXPECT_EQ(Errors(), (Lines{"The object with GUID '{00EE}' was found but the distinguishedName "
                             "attribute appears to be empty.",
                             "Could not locate a GUID or DN for this entry."}));
}

TEST_F(ImportEntriesTest, SecondEntryForTheSameObjectIsADuplicate) {
  directory_.AddObject("CN=a,DC=x,DC=com");
  directory_.AddGuid("{AA}", "CN=a,DC=x,DC=com");
  EXPECT_EQ(Run({"mode,objectGUID,distinguishedName,givenName", "Modify,,\"cn=a,dc=x,dc=com\",A",
                 "Modify,{AA},,B"}),
            1);
  EXPECT_EQ(Errors(), (Lines{"The object 'CN=a,DC=x,DC=com' has already been specified in this "
                             "import file.  Please check your import file and remove or merge "
                             "duplicate object entries. objectGUID: {AA}"}));
}

TEST_F(ImportEntriesTest, FailedEntryStillBlocksItsDuplicate) {
  EXPECT_EQ(Run({"mode,distinguishedName,givenName", "Modify,\"CN=gone,DC=x,DC=com\",A",
                 "Modify,\"CN=gone,DC=x,DC=com\",B"}),
            1);
  ASSERT_EQ(Errors().size(), 2u);
  EXPECT_TRUE(Errors()[1].starts_with("The object 'CN=gone,DC=x,DC=com' has already been"));
}

// --- Delete and Move.

TEST_F(ImportEntriesTest, DeleteMovesIntoLostAndFound) {
  directory_.AddObject("CN=a,OU=Sales,DC=x,DC=com");
  EXPECT_EQ(Run({"mode,distinguishedName", "Delete,\"CN=a,OU=Sales,DC=x,DC=com\""}), 1);
  EXPECT_TRUE(directory_.Exists("CN=a,CN=LostAndFound,DC=x,DC=com"));
  EXPECT_TRUE(SummaryIs(1, 0, 0, 0));
}

TEST_F(ImportEntriesTest, MovesCountAsModifies) {
  directory_.AddObject("CN=a,DC=x,DC=com");
  directory_.AddObject("CN=b,DC=x,DC=com");
  EXPECT_EQ(
      Run({"mode,distinguishedName,container", "Move,\"CN=a,DC=x,DC=com\",\"OU=Sales,DC=x,DC=com\"",
           "Move,\"CN=b,DC=x,DC=com\",", "Move,\"CN=c,DC=x,DC=com\",\"OU=Sales,DC=x,DC=com\""}),
      1);
  EXPECT_TRUE(directory_.Exists("CN=a,OU=Sales,DC=x,DC=com"));
  EXPECT_TRUE(SummaryIs(0, 0, 1, 2)) << engine_.Error().Text();
  EXPECT_EQ(Errors(), (Lines{"Could not locate a value for the 'container' column.",
                             "Could not move the object 'CN=c,DC=x,DC=com' to the container "
                             "'OU=Sales,DC=x,DC=com'."}));
}

// --- Values by type.

class WriteAttributeTest : public ImportEntriesTest {
 protected:
  // Modifies CN=a with one value of the column and returns the calls after the Open.
  Lines Write(const std::string& column, const std::string& value) {
    directory_.AddObject("CN=a,DC=x,DC=com");
    Run({"mode,distinguishedName," + column, "Modify,\"CN=a,DC=x,DC=com\"," + value});
    if (directory_.Calls().empty()) return {};
    return Lines(directory_.Calls().begin() + 1, directory_.Calls().end());
  }
  // So that the next run's messages are the only ones Errors() finds.
  void ClearErrorFile() {
    if (!engine_.ErrorFilePath.empty()) fs::remove(engine_.ErrorFilePath);
  }
};

TEST_F(WriteAttributeTest, IntegersAreWholeNumbersInTheirSyntaxRange) {
  EXPECT_EQ(Write("userAccountControl", " -7 ")[0], "PutInteger userAccountControl=-7");
  directory_.ClearCalls();
  // AD writes 32-bit flags signed or unsigned; both are the same stored value.
  EXPECT_EQ(Write("userAccountControl", "4294967295")[0], "PutInteger userAccountControl=-1");
  directory_.ClearCalls();
  EXPECT_EQ(Write("accountExpires", "9223372036854775807")[0],
            "PutLargeInteger accountExpires=9223372036854775807");
  directory_.ClearCalls();
  EXPECT_EQ(Write("pwdLastSet", "-1")[0], "PutLargeInteger pwdLastSet=-1");
}

TEST_F(WriteAttributeTest, TextThatIsNotAWholeNumberIsRefusedNotCut) {
  for (const char* value : {"12abc", "abc", "1.5", "4294967296", "+", "1 2"}) {
    directory_.ClearCalls();
    ClearErrorFile();
    const Lines calls = Write("userAccountControl", value);
    EXPECT_TRUE(calls.empty() || !calls[0].starts_with("PutInteger")) << value;
    EXPECT_EQ(Errors(),
              (Lines{"Invalid number value specified for attribute 'userAccountControl'."}))
        << value;
  }
  for (const char* value : {"9223372036854775808", "2026-12-08", "0x10"}) {
    directory_.ClearCalls();
    ClearErrorFile();
    const Lines calls = Write("accountExpires", value);
    EXPECT_TRUE(calls.empty() || !calls[0].starts_with("PutLargeInteger")) << value;
    EXPECT_EQ(Errors(), (Lines{"Invalid number value specified for attribute 'accountExpires'."}))
        << value;
  }
}

TEST_F(WriteAttributeTest, TimeAttributesTakeTheTextTheirExportWrites) {
  testing::ScopedTimeZone zone("UTC0");
  testing::WriteFileText(platform::RegistryHivePath(HKEY_CURRENT_USER), "REGEDIT4\n");
  CBVKRegistry registry;
  ASSERT_TRUE(registry.OpenKey(HKEY_CURRENT_USER, "Control Panel\\International"));
  for (const auto& [name, text] : {std::pair{"sShortDate", "M/d/yyyy"}, {"sDate", "/"},
                                   {"sTimeFormat", "h:mm:ss tt"}, {"sTime", ":"}}) {
    ASSERT_TRUE(registry.WriteString(name, text));
  }
  // 2030-01-31 17:45:10.1234567 UTC: its exported text stands for exactly that stored value.
  directory_.SetStoredLargeInteger("accountExpires", 135405855101234567);
  EXPECT_EQ(Write("accountExpires", "1/31/2030 5:45:10 PM"), (Lines{"Commit CN=a,DC=x,DC=com"}));
  directory_.ClearCalls();
  EXPECT_EQ(Write("accountExpires", "2/1/2030 12:00:05 AM")[0],
            "PutLargeInteger accountExpires=135406080050000000");
  directory_.ClearCalls();
  EXPECT_EQ(Write("accountExpires", " 2/1/2030 12:00:05 PM ")[0],
            "PutLargeInteger accountExpires=135406512050000000");
  directory_.ClearCalls();
  // "never" as the export shows it is the directory's own never value.
  EXPECT_EQ(Write("accountExpires", "-1")[0],
            "PutLargeInteger accountExpires=9223372036854775807");
  directory_.ClearCalls();
  EXPECT_EQ(Write("pwdLastSet", "0")[0], "PutLargeInteger pwdLastSet=0");
  for (const char* value : {"31.01.2030 17:45:10", "1/31/2030", "1/31/2030 5:45:10 PM x"}) {
    directory_.ClearCalls();
    ClearErrorFile();
    Write("accountExpires", value);
    EXPECT_EQ(Errors(), (Lines{"Invalid number value specified for attribute 'accountExpires'."}))
        << value;
  }
}

TEST_F(WriteAttributeTest, EmptyNumbersAndFlagsLeaveTheAttributeAlone) {
  // What an export writes for an object without the value must import back without a change.
  for (const char* column : {"userAccountControl", "accountExpires", "showInAdvancedViewOnly"}) {
    directory_.ClearCalls();
    EXPECT_EQ(Write(column, ""), (Lines{"Commit CN=a,DC=x,DC=com"})) << column;
  }
  EXPECT_EQ(Errors(), Lines{});
}

TEST_F(WriteAttributeTest, BooleansByFirstLetterOrDigit) {
  EXPECT_EQ(Write("showInAdvancedViewOnly", "true")[0], "PutBoolean showInAdvancedViewOnly=TRUE");
  directory_.ClearCalls();
  EXPECT_EQ(Write("showInAdvancedViewOnly", "False")[0], "PutBoolean showInAdvancedViewOnly=FALSE");
  directory_.ClearCalls();
  EXPECT_EQ(Write("showInAdvancedViewOnly", "0")[0], "PutBoolean showInAdvancedViewOnly=FALSE");
  directory_.ClearCalls();
  EXPECT_EQ(Write("showInAdvancedViewOnly", "1")[0], "PutBoolean showInAdvancedViewOnly=TRUE");
}

TEST_F(WriteAttributeTest, OtherBooleanWordFailsInCapitals) {
  Write("showInAdvancedViewOnly", "yes");
  EXPECT_EQ(
      Errors(),
      (Lines{"Invalid boolean value 'YES' specified for attribute 'showInAdvancedViewOnly'."}));
}

TEST_F(WriteAttributeTest, StringsGetRealLineBreaks) {
  EXPECT_EQ(Write("givenName", "one\\r\\ntwo")[0], "PutString givenName=one\r\ntwo");
}

TEST_F(WriteAttributeTest, EmptyStringIsPutForTheDirectoryToClear) {
  EXPECT_EQ(Write("givenName", "")[0], "PutString givenName=");
}

TEST_F(WriteAttributeTest, DescriptionIsOneValueWithItsPercentSign) {
  EXPECT_EQ(Write("description", "50% off")[0], "PutString description=50% off");
}

TEST_F(WriteAttributeTest, MultipleValuesAppendOrReplace) {
  EXPECT_EQ(Write("otherTelephone", "1%2")[0], "Append otherTelephone=1|2");
  directory_.ClearCalls();
  engine_.MultiValueMode = 1;
  EXPECT_EQ(Write("otherTelephone", "1%2")[0], "Replace otherTelephone=1|2");
}

TEST_F(WriteAttributeTest, RemoveValueClearsEvenMultipleValues) {
  EXPECT_EQ(Write("otherTelephone", "~DEL")[0], "Clear otherTelephone");
}

TEST_F(WriteAttributeTest, ObjectClassIsNeverWritten) {
  const Lines calls = Write("objectClass", "user");
  EXPECT_EQ(calls, (Lines{"Commit CN=a,DC=x,DC=com"}));
}

TEST_F(WriteAttributeTest, RetryNamesTheRefusedValue) {
  directory_.FailOn("Commit", "Could not commit changes.\nconstraint");
  Write("otherTelephone", "\"1%a,b\"");
  EXPECT_EQ(ReadLines(engine_.ErrorFilePath).at(1),
            "Modify,\"CN=a,DC=x,DC=com\",\"1%a,b\",\"Could not write the attribute "
            "'otherTelephone' with the values '1,\"\"a,b\"\"'. Could not commit changes. "
            "constraint\"");
}

TEST_F(WriteAttributeTest, RetryOfRemovalNamesTheAttribute) {
  directory_.FailOn("Commit", "Could not commit changes.");
  Write("givenName", "~DEL");
  EXPECT_EQ(Errors(),
            (Lines{"Could not remove the attribute 'givenName'. Could not commit changes."}));
}

TEST_F(WriteAttributeTest, ManagerGuidBecomesItsDn) {
  directory_.AddGuid("{0B55}", "CN=Boss,DC=x,DC=com");
  EXPECT_EQ(Write("manager", "{0B55}"),
            (Lines{"GetDNFromGUID {0B55}", "PutString manager=CN=Boss,DC=x,DC=com",
                   "Commit CN=a,DC=x,DC=com"}));
}

TEST_F(WriteAttributeTest, ManagerDnInSmallLettersIsTakenForAGuid) {
  Write("manager", "\"cn=Boss,dc=x,dc=com\"");
  EXPECT_EQ(Errors(), (Lines{"Could not open the object '<GUID=cn=Boss,dc=x,dc=com>'."}));
}

TEST_F(WriteAttributeTest, EmptyManagerIsSkipped) {
  EXPECT_EQ(Write("manager", ""), (Lines{"Commit CN=a,DC=x,DC=com"}));
}

// --- Group membership.

TEST_F(ImportEntriesTest, OverwriteLeavesExactlyTheListedGroups) {
  const std::string dn = "CN=a,DC=x,DC=com";
  directory_.AddObject(dn);
  directory_.AddGuid("{6E}", "CN=G2,DC=x,DC=com");
  directory_.AddMembership("CN=Old,DC=x,DC=com", dn);
  directory_.AddMembership("CN=G1,DC=x,DC=com", dn);
  engine_.MultiValueMode = 1;
  EXPECT_EQ(Run({"mode,distinguishedName,memberOf",
                 "Modify,\"CN=a,DC=x,DC=com\",\"cn=G1,DC=x,DC=com%{6E}\""}),
            1);
  EXPECT_TRUE(SummaryIs(0, 0, 1, 0)) << engine_.Error().Text();
  EXPECT_EQ(directory_.GroupsOf(dn),
            (std::set<std::string>{"CN=G1,DC=x,DC=com", "CN=G2,DC=x,DC=com", "cn=G1,DC=x,DC=com"}));
  EXPECT_NE(std::find(directory_.Calls().begin(), directory_.Calls().end(),
                      "RemoveMember " + dn + " from CN=Old,DC=x,DC=com"),
            directory_.Calls().end());
}

TEST_F(ImportEntriesTest, AppendKeepsOtherGroups) {
  const std::string dn = "CN=a,DC=x,DC=com";
  directory_.AddObject(dn);
  directory_.AddMembership("CN=Old,DC=x,DC=com", dn);
  EXPECT_EQ(Run({"mode,distinguishedName,memberOf", "Modify,\"CN=a,DC=x,DC=com\",\"CN=G1,DC=x\""}),
            1);
  EXPECT_EQ(directory_.GroupsOf(dn), (std::set<std::string>{"CN=G1,DC=x", "CN=Old,DC=x,DC=com"}));
}

TEST_F(ImportEntriesTest, UnknownGroupGuidFailsWithTheMemberOfLine) {
  directory_.AddObject("CN=a,DC=x,DC=com");
  directory_.AddGuid("{77}", "");
  EXPECT_EQ(Run({"mode,distinguishedName,memberOf", "Modify,\"CN=a,DC=x,DC=com\",{77}"}), 1);
  EXPECT_EQ(Errors(), (Lines{"Could not import the 'memberOf' value '{77}' for the user "
                             "'CN=a,DC=x,DC=com'. Could not locate a distinguished name for the "
                             "group with GUID '{77}'."}));
}

}  // namespace
}  // namespace tessary
