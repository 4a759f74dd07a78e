#include "setup/install_script.h"

#include <gtest/gtest.h>

#include "setup/script_text.h"

namespace tessary::setup {
namespace {

InstallScript Read(const std::vector<std::string>& lines, ScriptContext context = {}) {
  InstallScript script;
  ApplyScriptLines(lines, context, &script);
  return script;
}

TEST(ScriptFileLines, CompressedNameWithKindTwoOrNoKindIsAProgramFile) {
  InstallScript script = Read({"FILE  App.ex_$2", "FILE  Tool.ex_"});
  ASSERT_EQ(script.files.size(), 2u);
  EXPECT_EQ(script.files[0].source_name, "App.ex_");
  EXPECT_EQ(script.files[0].kind, kProgramFile);
  EXPECT_EQ(script.files[1].kind, kProgramFile);
  EXPECT_FALSE(script.files[1].register_flag);
}

TEST(ScriptFileLines, KindFourThirdFieldIsSubFolderAndRegisterFlag) {
  InstallScript script = Read({"FILE  Ext.dll$4$Bin", "FILE  Ext.dll$4$1"});
  ASSERT_EQ(script.files.size(), 2u);
  EXPECT_EQ(script.files[0].sub_folder, "Bin");
  EXPECT_FALSE(script.files[0].register_flag);
  EXPECT_EQ(script.files[1].sub_folder, "1");
  EXPECT_TRUE(script.files[1].register_flag);
}

TEST(ScriptFileLines, KindTwoNeverRegisters) {
  InstallScript script = Read({"FILE  Ext.dll$2$1", "FILE  Ext.DLL$1$1", "FILE  Dao.dll$3$1"});
  EXPECT_FALSE(script.files[0].register_flag);
  EXPECT_EQ(script.files[1].kind, kSystemFile);
  EXPECT_TRUE(script.files[1].register_flag);  // the upper-case suffix is judged at install
  EXPECT_EQ(script.files[2].kind, kSharedDaoFile);
}

TEST(ScriptFileLines, TrailingBlanksOfTheNameGoAndAnEmptyNameIsIgnored) {
  InstallScript script = Read({"FILE  App.exe  \t$2", "FILE    $2", "FILE"});
  ASSERT_EQ(script.files.size(), 1u);
  EXPECT_EQ(script.files[0].source_name, "App.exe");
}

TEST(ScriptFileLines, UnknownKindIsKindTwo) {
  InstallScript script = Read({"FILE  A.txt$9$1"});
  EXPECT_EQ(script.files[0].kind, kProgramFile);
  EXPECT_FALSE(script.files[0].register_flag);
}

TEST(ScriptOfficeVariants, NewerOfficeTakesTenLinesOnly) {
  const std::vector<std::string> lines = {
      "FI10  New.dll",          "FIOU  Old.dll",         "COMP  Both",
      "COOU  OldComp",          "RK10  LM$$$Soft$$$New", "RKOU  LM$$$Soft$$$Old",
      "RV10  CU$$$K$$$N$$$new", "RVOU  CU$$$K$$$N$$$old"};
  InstallScript newer = Read(lines, {true, ""});
  ASSERT_EQ(newer.files.size(), 1u);
  EXPECT_EQ(newer.files[0].source_name, "New.dll");
  EXPECT_EQ(newer.components, std::vector<std::string>{"Both"});
  ASSERT_EQ(newer.registry.size(), 2u);
  EXPECT_EQ(newer.registry[0].name, "New");
  EXPECT_EQ(newer.registry[1].value, "new");

  InstallScript older = Read(lines, {false, ""});
  ASSERT_EQ(older.files.size(), 1u);
  EXPECT_EQ(older.files[0].source_name, "Old.dll");
  EXPECT_EQ(older.components, (std::vector<std::string>{"Both", "OldComp"}));
  ASSERT_EQ(older.registry.size(), 2u);
  EXPECT_EQ(older.registry[0].name, "Old");
  EXPECT_EQ(older.registry[1].value, "old");
}

TEST(ScriptKeywords, ExLinesAreRecognisedByTwoCharacters) {
  InstallScript script = Read({"EXTRA Old.exe", "EX    Gone.dll"});
  EXPECT_EQ(script.removal_only_files, (std::vector<std::string>{"Old.exe", "Gone.dll"}));
}

TEST(ScriptKeywords, SingleValuesKeepTheLastAndShortLinesAreEmpty) {
  InstallScript script =
      Read({"PROD  First", "PROD  Second", "COPY  Files.cpy", "RUN   %PROGRAM%/go", "PREV  Old 1.0",
            "PRVN  note", "ODNE  done", "POPL  x"});
  EXPECT_EQ(script.product_name, "Second");
  EXPECT_EQ(script.copy_name, "Files.cpy");
  EXPECT_EQ(script.run_command, "%PROGRAM%/go");
  EXPECT_EQ(script.previous_product, "Old 1.0");
  EXPECT_EQ(script.previous_note, "note");
  EXPECT_EQ(script.completion_note, "done");
  EXPECT_EQ(Read({"PROD  "}).product_name, "");
  EXPECT_EQ(Read({"PROD  Name", "PROD  "}).product_name, "");
}

TEST(ScriptKeywords, KeywordsAreCaseSensitiveAndRunNeedsItsBlank) {
  InstallScript script = Read({"prod  Lower", "RUNX  no", "FILE\tA.exe"});
  EXPECT_EQ(script.product_name, "");
  EXPECT_EQ(script.run_command, "");
  ASSERT_EQ(script.files.size(), 1u);  // the fifth and sixth characters are skipped unseen
  EXPECT_EQ(script.files[0].source_name, ".exe");
}

TEST(ScriptKeywords, PrvrClearsTheRemoveRegistryFlag) {
  EXPECT_TRUE(Read({}).remove_previous_registry);
  EXPECT_FALSE(Read({"PRVR"}).remove_previous_registry);
}

TEST(ScriptKeywords, ListsAppendInFileOrder) {
  InstallScript script = Read({"SUBF  Bin", "SUBF  Data", "RQAP  One", "RQAP  Two", "RQOS  Linux"});
  EXPECT_EQ(script.sub_folders, (std::vector<std::string>{"Bin", "Data"}));
  EXPECT_EQ(script.required_applications, (std::vector<std::string>{"One", "Two"}));
  EXPECT_EQ(script.required_systems, std::vector<std::string>{"Linux"});
}

TEST(ScriptShortcuts, StrtNamesTheFirstMatchingFile) {
  InstallScript script =
      Read({"STRT  Early$$$App.exe", "FILE  App.exe", "FILE  App.exe", "STRT  Start App$$$App.exe",
            "STRT  Nothing$$$app.exe", "STRT  OneField"});
  EXPECT_EQ(script.files[0].shortcut_name, "Start App");
  EXPECT_EQ(script.files[1].shortcut_name, "");
}

TEST(ScriptRegistry, KeyNeedsThreeFieldsAndValueFour) {
  InstallScript script = Read({"REGK  LM$$$Software\\X$$$Sub", "REGK  LM$$$Software\\X",
                               "REGK  LM$$$a$$$b$$$c", "REGV  LM$$$Software\\X$$$Count$$$dword:12",
                               "REGV  LM$$$Software\\X$$$Name", "REGV  QQ$$$Software\\X$$$N$$$v"});
  ASSERT_EQ(script.registry.size(), 3u);
  EXPECT_EQ(script.registry[0].kind, RegistryEntry::kKey);
  EXPECT_EQ(script.registry[0].hive, kHiveLocalMachine);
  EXPECT_EQ(script.registry[0].key_path, "Software\\X");
  EXPECT_EQ(script.registry[0].name, "Sub");
  EXPECT_EQ(script.registry[1].kind, RegistryEntry::kValue);
  EXPECT_EQ(script.registry[1].value, "dword:12");
  EXPECT_EQ(script.registry[2].hive, kHiveCurrentUser);  // unknown hive code
}

TEST(ScriptRegistry, TriplePercentBecomesTheKnownInstallFolder) {
  InstallScript script = Read({"REGV  CR$$$K$$$N$$$%%%App.exe %%%"}, {false, "/opt/Brenvik/"});
  EXPECT_EQ(script.registry[0].hive, kHiveClassesRoot);
  EXPECT_EQ(script.registry[0].value, "/opt/Brenvik/App.exe /opt/Brenvik/");
  EXPECT_EQ(Read({"REGV  CR$$$K$$$N$$$%%%x"}).registry[0].value, "x");
}

TEST(ScriptCode, CodeChoosesSchemeAndDecoration) {
  InstallScript script = Read({"CODE  TY"});
  EXPECT_EQ(script.product_code, "TY");
  EXPECT_EQ(script.colour_scheme, 5);
  EXPECT_EQ(script.decorations, std::vector<int>{1126});
  InstallScript other = Read({"CODE  ZZ"});
  EXPECT_EQ(other.colour_scheme, -1);
  EXPECT_TRUE(other.decorations.empty());
  EXPECT_EQ(Read({"CODE  HTSV6"}).colour_scheme, 6);
  EXPECT_EQ(Read({"CODE  PJ"}).decorations, std::vector<int>{1131});
}

TEST(ScriptFields, SplitKeepsEmptyFields) {
  EXPECT_EQ(SplitFields("a$$$$$$b", "$$$"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(SplitFields("", "$"), std::vector<std::string>{""});
  EXPECT_EQ(HiveCode(kHiveClassesRoot), "CR");
  EXPECT_EQ(HiveCode(7), "");
}

TEST(ScriptText, Utf16InEitherOrderWithPairsDecodesAndBrokenTextIsRefused) {
  // "PROD  " + U+1F600 + CR LF + "CODE  TY", big-endian with its mark.
  std::string big("\xFE\xFF", 2);
  for (char c : std::string("PROD  ")) big += std::string{'\0', c};
  big += std::string("\xD8\x3D\xDE\x00", 4);
  for (char c : std::string("\r\nCODE  TY")) big += std::string{'\0', c};
  EXPECT_EQ(ScriptLines(big),
            (std::optional<std::vector<std::string>>{{"PROD  \xF0\x9F\x98\x80", "CODE  TY"}}));
  // A lone surrogate and an odd byte count are no text.
  EXPECT_EQ(ScriptLines(std::string("\xFF\xFE\x00\xDC", 4)), std::nullopt);
  EXPECT_EQ(ScriptLines(std::string("\xFF\xFEP", 3)), std::nullopt);
  // Plain and UTF-8 text keep their bytes; only a leading mark goes.
  EXPECT_EQ(ScriptLines("\xEF\xBB\xBFPROD  \xC3\xA9\r\n"),
            (std::optional<std::vector<std::string>>{{"PROD  \xC3\xA9"}}));
  EXPECT_EQ(UnreadableNamingLine({"PROD  A", "CODE  B", "FILE  PROD"}), std::nullopt);
  EXPECT_EQ(UnreadableNamingLine({"FILE  a", " \tCODE  B"}),
            std::optional<std::string>(" \tCODE  B"));
}

}  // namespace
}  // namespace tessary::setup
