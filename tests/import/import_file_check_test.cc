// The file check and the line validation on files whose columns are all the engine's own, so no
// schema is needed; the schema look-ups are covered by the end-to-end tests.
#include <gtest/gtest.h>

#include "import_test_util.h"

namespace tessary {
namespace {

using testing::WriteLines;

class FileCheckTest : public testing::MachineTest {
 protected:
  void SetUp() override { engine_.ImportFile = (machine_.Root() / "import.csv").string(); }
  void Write(const std::vector<std::string>& lines) { WriteLines(engine_.ImportFile, lines); }
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    engine_.GetColumnNames(names);
    return names;
  }
  CImportEngine engine_{nullptr};
};

TEST_F(FileCheckTest, MissingFileGivesTheReadersMessage) {
  EXPECT_FALSE(engine_.CheckImportFile());
  EXPECT_EQ(engine_.Error().Text().substr(0, engine_.Error().Text().find('\n')),
            "Could not locate or read the file '" + engine_.ImportFile + "'");
  EXPECT_NE(engine_.Error().Text().find("(2)"), std::string::npos) << engine_.Error().Text();
}

TEST_F(FileCheckTest, EmptyFileIsRejected) {
  testing::WriteFileText(engine_.ImportFile, "");
  EXPECT_FALSE(engine_.CheckImportFile());
  EXPECT_EQ(engine_.Error().Text(),
            "The import file '" + engine_.ImportFile + "' appears to be empty.");
}

TEST_F(FileCheckTest, ModeInAnyCaseBecomesMode) {
  Write({"MoDe,distinguishedName,objectGUID"});
  ASSERT_TRUE(engine_.CheckImportFile()) << engine_.Error().Text();
  EXPECT_EQ(Names(), (std::vector<std::string>{"mode", "distinguishedName", "objectGUID"}));
  const CImportColumn& column = engine_.Columns()[1];
  EXPECT_EQ(column.AdminDisplayName, "distinguishedName");
  EXPECT_EQ(column.SchemaEntryDN, "distinguishedName");
  EXPECT_EQ(column.ValueType, kValueSpecial);
  EXPECT_TRUE(column.SingleValued);
}

TEST_F(FileCheckTest, ByteOrderMarkIsNotPartOfTheFirstName) {
  testing::WriteFileText(engine_.ImportFile, "\xEF\xBB\xBFmode,distinguishedName\r\n");
  ASSERT_TRUE(engine_.CheckImportFile()) << engine_.Error().Text();
  EXPECT_EQ(engine_.FindColumn("mode"), 0);
}

TEST_F(FileCheckTest, UnknownAttributeWithoutDirectoryNamesTheColumn) {
  Write({"mode,distinguishedName,noSuchAttribute"});
  EXPECT_FALSE(engine_.CheckImportFile());
  EXPECT_EQ(engine_.Error().Text(),
            "Could not retrieve information about the attribute 'noSuchAttribute'.");
}

TEST_F(FileCheckTest, ModeColumnIsRequired) {
  Write({"distinguishedName,cn"});
  EXPECT_FALSE(engine_.CheckImportFile());
  EXPECT_EQ(engine_.Error().Text(),
            "Could not locate the column 'mode' in the import file.\nThis column is required in "
            "order to delete, modify or create new objects.");
}

TEST_F(FileCheckTest, GuidOrDnColumnIsRequired) {
  Write({"mode,cn"});
  EXPECT_FALSE(engine_.CheckImportFile());
  EXPECT_EQ(engine_.Error().Text(),
            "Could not locate the column 'objectGUID' or 'distinguishedName'.\nYou must specify "
            "one of these columns in order to delete, modify or create new objects.");
}

TEST_F(FileCheckTest, ContainerColumnNeedsEveryModeExactlyMove) {
  Write(
      {"mode,distinguishedName,container", "Move,CN=a,DC=x,OU=b,DC=x", "move,CN=b,DC=x,OU=b,DC=x"});
  EXPECT_FALSE(engine_.CheckImportFile());
  EXPECT_EQ(engine_.Error().Text(),
            "The import file has the column 'container' specified, but has modes that are not "
            "'Move'.\nImport entry: 2; Mode: move");
}

TEST_F(FileCheckTest, ContainerColumnAllowsOtherModesThatLeaveItEmpty) {
  Write({"mode,distinguishedName,container", "Move,CN=a,OU=b", "Delete,CN=b,",
         "Modify,CN=c,OU=b"});
  EXPECT_FALSE(engine_.CheckImportFile());
  EXPECT_EQ(engine_.Error().Text(),
            "The import file has the column 'container' specified, but has modes that are not "
            "'Move'.\nImport entry: 3; Mode: Modify");
}

TEST_F(FileCheckTest, EntryEndingBeforeTheModeColumnHasAnEmptyMode) {
  Write({"distinguishedName,container,mode", "CN=a\\,b"});
  EXPECT_FALSE(engine_.CheckImportFile());
  EXPECT_EQ(engine_.Error().Text(),
            "The import file has the column 'container' specified, but has modes that are not "
            "'Move'.\nImport entry: 1; Mode: ");
}

TEST_F(FileCheckTest, CreateEntryWithoutClassCreatesUsers) {
  Write({"mode,distinguishedName,password", "Modify,CN=a,DC=x,", "Create,CN=b,DC=x,secret"});
  ASSERT_TRUE(engine_.CheckImportFile()) << engine_.Error().Text();
  EXPECT_TRUE(engine_.CreatesUsers);
  EXPECT_TRUE(engine_.PasswordsSupplied);
}

TEST_F(FileCheckTest, CreateInCapitalsDoesNotCountAsCreatingUsers) {
  Write({"mode,distinguishedName,password", "CREATE,CN=b,DC=x,secret"});
  ASSERT_TRUE(engine_.CheckImportFile());
  EXPECT_FALSE(engine_.CreatesUsers);
  EXPECT_FALSE(engine_.PasswordsSupplied);
}

TEST_F(FileCheckTest, UsersWithoutPasswordColumnSupplyNoPasswords) {
  Write({"mode,distinguishedName", "Create,CN=b,DC=x"});
  ASSERT_TRUE(engine_.CheckImportFile());
  EXPECT_TRUE(engine_.CreatesUsers);
  EXPECT_FALSE(engine_.PasswordsSupplied);
}

TEST_F(FileCheckTest, ErrorFilesOwnLastColumnIsIgnored) {
  Write({"mode,distinguishedName,Error", "Modify,CN=a,\"Could not do it, sorry.\""});
  ASSERT_TRUE(engine_.CheckImportFile()) << engine_.Error().Text();
  EXPECT_EQ(Names(), (std::vector<std::string>{"mode", "distinguishedName"}));
}

TEST_F(FileCheckTest, ErrorColumnElsewhereIsLookedUp) {
  Write({"mode,Error,distinguishedName"});
  EXPECT_FALSE(engine_.CheckImportFile());
  EXPECT_EQ(engine_.Error().Text(), "Could not retrieve information about the attribute 'Error'.");
}

TEST_F(FileCheckTest, ColumnNamedTwiceIsRefusedByName) {
  Write({"mode,distinguishedName,MODE", "Modify,CN=a,Delete"});
  EXPECT_FALSE(engine_.CheckImportFile());
  EXPECT_EQ(engine_.Error().Text(),
            "The column 'mode' is named more than once in the import file.\nEach column may "
            "appear only once; remove or merge the other columns of that name.");
  Write({"mode,distinguishedName,password,distinguishedName"});
  EXPECT_FALSE(engine_.CheckImportFile());
  EXPECT_TRUE(engine_.Error().Text().starts_with("The column 'distinguishedName' is named more"))
      << engine_.Error().Text();
}

class ValidationTest : public FileCheckTest {
 protected:
  void Check(const std::vector<std::string>& lines) {
    Write(lines);
    ASSERT_TRUE(engine_.CheckImportFile()) << engine_.Error().Text();
  }
};

TEST_F(ValidationTest, WellFormedEntriesPass) {
  Check({"mode,distinguishedName,cn", "Modify,\"cn=Smith, John,ou=Sales,dc=x,dc=com\",John",
         "Delete,\"CN=a,DC=x\","});
  EXPECT_TRUE(engine_.ValidateImportLines()) << engine_.Error().Text();
}

TEST_F(ValidationTest, HeaderOnlyFilePasses) {
  Check({"mode,distinguishedName"});
  EXPECT_TRUE(engine_.ValidateImportLines());
}

TEST_F(ValidationTest, WrongValueCountNamesTheLineFromOne) {
  Check({"mode,distinguishedName,cn", "Modify,\"CN=a,DC=x\"", "Modify,\"CN=b,DC=x\",b,extra"});
  EXPECT_FALSE(engine_.ValidateImportLines());
  EXPECT_EQ(engine_.Error().Text(),
            "Line 1 (including the header line) in your import file is invalid.\nOnly 2 values "
            "were found in the line.\nThe header line specifies 3 columns.");
}

TEST_F(ValidationTest, MoreValuesThanColumnsUseTheSameWords) {
  Check({"mode,distinguishedName", "Modify,\"CN=b,DC=x\",extra"});
  EXPECT_FALSE(engine_.ValidateImportLines());
  EXPECT_EQ(engine_.Error().Text(),
            "Line 1 (including the header line) in your import file is invalid.\nOnly 3 values "
            "were found in the line.\nThe header line specifies 2 columns.");
}

TEST_F(ValidationTest, EmptyLineHasNoValues) {
  Check({"mode,distinguishedName", "Modify,\"CN=b,DC=x\"", ""});
  EXPECT_FALSE(engine_.ValidateImportLines());
  EXPECT_EQ(engine_.Error().Text(),
            "Line 2 (including the header line) in your import file is invalid.\nOnly 0 values "
            "were found in the line.\nThe header line specifies 2 columns.");
}

TEST_F(ValidationTest, DnWithoutDomainIsRejected) {
  Check({"mode,distinguishedName", "Modify,\"cn=a,dc=x\"", "Modify,\"CN=b,OU=Sales\""});
  EXPECT_FALSE(engine_.ValidateImportLines());
  EXPECT_EQ(engine_.Error().Text(),
            "Line 2 (including the header line) in your import file is invalid.\nThe "
            "distinguishedName value in this line does not contain a domain. (Example: "
            "DC=brenvik,DC=com)");
}

TEST_F(ValidationTest, EmptyDnIsRejectedAsWithoutDomain) {
  Check({"mode,distinguishedName", "Modify,"});
  EXPECT_FALSE(engine_.ValidateImportLines());
  EXPECT_NE(engine_.Error().Text().find("does not contain a domain"), std::string::npos);
}

TEST_F(ValidationTest, GuidOnlyFileIsNotExamined) {
  Check({"mode,objectGUID", "Modify"});
  EXPECT_TRUE(engine_.ValidateImportLines());
}

TEST_F(ValidationTest, NeitherGuidNorDnColumn) {
  engine_.AddColumn("mode", "mode", "mode", kValueSpecial, true);
  Write({"mode", "Modify"});
  EXPECT_FALSE(engine_.ValidateImportLines());
  EXPECT_EQ(engine_.Error().Text(),
            "Your import file does not contain the 'objectGUID' or 'distinguishedName' column.");
}

TEST_F(ValidationTest, LineFeedAndCarriageReturnLineFeedEndingsReadAlike) {
  testing::WriteFileText(engine_.ImportFile,
                         "mode,distinguishedName\nModify,\"CN=a,DC=x\"\r\nModify,\"CN=b,DC=x\"");
  ASSERT_TRUE(engine_.CheckImportFile());
  EXPECT_TRUE(engine_.ValidateImportLines()) << engine_.Error().Text();
}

TEST_F(ValidationTest, BytesThatAreNotUtf8AreReadAsTheCodePageAndValidate) {
  Check({"mode,distinguishedName,cn", "Modify,\"CN=M\xfcller\xff,DC=x\",\xc3\x28"});
  EXPECT_TRUE(engine_.ValidateImportLines()) << engine_.Error().Text();
}

TEST_F(ValidationTest, MegabyteLineIsValidated) {
  Check({"mode,distinguishedName,cn", "Modify,\"CN=a,DC=x\"," + std::string(1 << 20, 'n'),
         "Modify,CN=" + std::string(1 << 20, 'n')});
  EXPECT_FALSE(engine_.ValidateImportLines());
  EXPECT_EQ(engine_.Error().Text(),
            "Line 2 (including the header line) in your import file is invalid.\nOnly 2 values "
            "were found in the line.\nThe header line specifies 3 columns.");
}

TEST_F(ValidationTest, ErrorFileEntriesAreCountedWithoutTheirMessage) {
  Check({"mode,distinguishedName,Error", "Modify,\"CN=a,DC=x\",\"Could not, really.\"",
         "Modify,\"CN=b,DC=x\",No mode was specified."});
  EXPECT_TRUE(engine_.ValidateImportLines()) << engine_.Error().Text();
}

TEST_F(ValidationTest, ErrorFileEntryThatWasShortStaysShort) {
  Check(
      {"mode,distinguishedName,cn,Error", "Modify,\"CN=a,DC=x\",\"Incorrect number of values.\""});
  EXPECT_FALSE(engine_.ValidateImportLines());
  EXPECT_NE(engine_.Error().Text().find("Only 2 values were found"), std::string::npos)
      << engine_.Error().Text();
}

}  // namespace
}  // namespace tessary
