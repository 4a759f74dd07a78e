#include "setup/command_line.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace tessary::setup {
namespace {

using Switch = CommandLine::Switch;

TEST(SetupCommandLine, OnlyTheFirstCharactersCountAndCaseMatters) {
  EXPECT_EQ(ParseCommandLine("").which, Switch::kNone);
  EXPECT_EQ(ParseCommandLine("-silent").which, Switch::kSilent);
  EXPECT_EQ(ParseCommandLine("-silently now").which, Switch::kSilent);
  EXPECT_EQ(ParseCommandLine("-SILENT").which, Switch::kNone);
  EXPECT_EQ(ParseCommandLine("-corporate").which, Switch::kCorporate);
  EXPECT_EQ(ParseCommandLine("-sil").which, Switch::kNone);
}

TEST(SetupCommandLine, BaseNeverReachesTheOtherTests) {
  CommandLine line = ParseCommandLine("-base-configs -silent");
  EXPECT_EQ(line.which, Switch::kBase);
  EXPECT_EQ(line.base_folder, "-configs -silent");
}

TEST(SetupCommandLine, BaseSplitsFolderAndShare) {
  CommandLine line = ParseCommandLine("-base   /opt/apps$$$server1");
  EXPECT_EQ(line.base_folder, "/opt/apps");
  EXPECT_TRUE(line.has_base_share);
  EXPECT_EQ(line.base_share, "server1");
  EXPECT_FALSE(ParseCommandLine("-base /opt").has_base_share);
}

TEST(SetupConfigBlob, RoundTripsAndDropsNoneConfigurations) {
  ConfigRun run;
  run.server = "srv";
  run.silent = true;
  run.default_folder = "/opt/apps";
  run.configurations = {{"TY", "Sales", "TY-Sales.cfg", "Tessary", "TYver.dll"},
                        {"TY", "x", "NONE", "Skipped", "v"},
                        {"KP", "NONE", "KP-All.cfg", "Lumora", "v.dll"}};
  CommandLine line = ParseCommandLine("-configs " + EncodeConfigBlob(run));
  ASSERT_EQ(line.which, Switch::kConfigs);
  EXPECT_EQ(line.configs.server, "srv");
  EXPECT_TRUE(line.configs.silent);
  EXPECT_EQ(line.configs.default_folder, "/opt/apps");
  ASSERT_EQ(line.configs.configurations.size(), 2u);
  EXPECT_EQ(line.configs.configurations[0].file_name, "TY-Sales.cfg");
  EXPECT_EQ(line.configs.configurations[0].version_file, "TYver.dll");
  EXPECT_EQ(line.configs.configurations[1].name, "");
  EXPECT_EQ(line.configs.configurations[1].product_code, "KP");
}

TEST(SetupConfigBlob, UpperCaseDigitsOtherCharactersAndAnOddTail) {
  // "A" then zero; silent 1; "" ; count 0; a stray last digit.
  ConfigRun run = DecodeConfigBlob(
      "4100"
      "01000000"
      "00"
      "00000000"
      "7");
  EXPECT_EQ(run.server, "A");
  EXPECT_TRUE(run.silent);
  EXPECT_TRUE(run.configurations.empty());
  // Characters that are not digits count as 0: "4z" is 0x40.
  EXPECT_EQ(DecodeConfigBlob("4z00").server, "@");
  EXPECT_EQ(DecodeConfigBlob("6A00").server, "j");
}

TEST(SetupConfigBlob, ATruncatedBlobYieldsOnlyCompleteConfigurations) {
  ConfigRun run;
  run.server = "srv";
  run.configurations = {{"TY", "A", "TY-A.cfg", "P", "v"}, {"TY", "B", "TY-B.cfg", "P", "v"}};
  std::string hex = EncodeConfigBlob(run);
  ConfigRun cut = DecodeConfigBlob(hex.substr(0, hex.size() - 4));
  EXPECT_EQ(cut.configurations.size(), 1u);
  // A huge count with no data reads nothing and ends.
  ConfigRun huge = DecodeConfigBlob(
      "7300"
      "00000000"
      "00"
      "ffffffff");
  EXPECT_TRUE(huge.configurations.empty());
  EXPECT_EQ(DecodeConfigBlob("").server, "");
}

TEST(SetupInstallFolder, MakerFolderIsAppendedUnlessPresent) {
  EXPECT_EQ(CompleteInstallFolder("/opt/apps/"), "/opt/apps/Brenvik/");
  EXPECT_EQ(CompleteInstallFolder("/opt/bRENvik"), "/opt/bRENvik/");
  EXPECT_EQ(CompleteInstallFolder("/opt/MyBrenvik//"), "/opt/MyBrenvik/");
}

class SetupShares : public testing::MachineTest {};

TEST_F(SetupShares, SharesBecomeAutomounterFoldersBelowTheRoot) {
  const std::string root = machine_.Root().string() + "/machine";
  EXPECT_EQ(ShareFolder("server1"), root + "/net/server1/Brenvik/ClientFiles");
  EXPECT_EQ(ShareFolder("\\\\srv\\Share\\Sub"), root + "/net/srv/Share/Sub");
  EXPECT_EQ(ShareFolder("/srv/files"), "/srv/files");
  EXPECT_EQ(ClientFilesFolder("s"), root + "/net/s/Brenvik/ClientFiles");
}

}  // namespace
}  // namespace tessary::setup
