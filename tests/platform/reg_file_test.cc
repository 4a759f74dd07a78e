#include "platform/reg_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "platform/registry.h"

namespace tessary::platform {
namespace {

std::vector<std::uint8_t> Text(const std::string& text) {
  std::vector<std::uint8_t> bytes(text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

RegHive ParseOrFail(const std::string& text) {
  RegHive hive("HKEY_CURRENT_USER");
  int line = 0;
  std::string problem;
  EXPECT_TRUE(hive.Parse(text, &line, &problem)) << "line " << line << ": " << problem;
  return hive;
}

std::string ParseProblem(const std::string& text, int* line) {
  RegHive hive("HKEY_CURRENT_USER");
  std::string problem;
  EXPECT_FALSE(hive.Parse(text, line, &problem));
  return problem;
}

TEST(RegFileWrite, WritesEachTypeInItsRegeditForm) {
  RegHive hive("HKEY_CURRENT_USER");
  RegKeyData& key = hive.CreateKey("Software\\Brenvik\\Tessary");
  key.SetValue("", REG_SZ, Text("default"));
  key.SetValue("Imp File", REG_SZ, Text("C:\\in \"a\".csv"));
  key.SetValue("Flag", REG_DWORD, {0x0c, 0, 0, 0});
  key.SetValue("Blob", REG_BINARY, {0x01, 0x02, 0xff});
  key.SetValue("Expand", REG_EXPAND_SZ, Text("%H"));
  EXPECT_EQ(hive.Write(),
            "REGEDIT4\n"
            "\n[HKEY_CURRENT_USER\\Software]\n"
            "\n[HKEY_CURRENT_USER\\Software\\Brenvik]\n"
            "\n[HKEY_CURRENT_USER\\Software\\Brenvik\\Tessary]\n"
            "@=\"default\"\n"
            "\"Imp File\"=\"C:\\\\in \\\"a\\\".csv\"\n"
            "\"Flag\"=dword:0000000c\n"
            "\"Blob\"=hex:01,02,ff\n"
            "\"Expand\"=hex(2):25,48,00\n");
}

TEST(RegFileWrite, TextThatQuotesCannotCarryIsWrittenAsHex) {
  RegHive hive("HKEY_CURRENT_USER");
  hive.CreateKey("K").SetValue("Lines", REG_SZ, Text("a\nb"));
  hive.CreateKey("K").SetValue("NoZero", REG_SZ, {'x'});
  EXPECT_EQ(hive.Write(),
            "REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n"
            "\"Lines\"=hex(1):61,0a,62,00\n"
            "\"NoZero\"=hex(1):78\n");
}

TEST(RegFileWrite, LongBinaryDataContinuesOnIndentedLines) {
  RegHive hive("HKEY_CURRENT_USER");
  hive.CreateKey("K").SetValue("B", REG_BINARY, std::vector<std::uint8_t>(30, 0xab));
  std::string text = hive.Write();
  EXPECT_NE(text.find(",\\\n  ab,"), std::string::npos) << text;
  RegHive back = ParseOrFail(text);
  EXPECT_EQ(back.FindKey("K")->FindValue("B")->data, std::vector<std::uint8_t>(30, 0xab));
}

TEST(RegFileRoundTrip, EveryTypeAndEscapeComesBackUnchanged) {
  RegHive hive("HKEY_LOCAL_MACHINE");
  RegKeyData& key = hive.CreateKey("SOFTWARE\\Brenvik\\Key \"with\" \\ marks");
  key.SetValue("", REG_SZ, Text(""));
  key.SetValue("quote\"and\\slash", REG_SZ, Text("\\\\server\\share\\\"x\""));
  key.SetValue("dword", REG_DWORD, {0x78, 0x56, 0x34, 0x12});
  key.SetValue("short dword", REG_DWORD, {0x01, 0x02});
  key.SetValue("empty binary", REG_BINARY, {});
  key.SetValue("multi", REG_MULTI_SZ, {'a', 0, 'b', 0, 0});
  key.SetValue("odd type", 0x0b, {1, 2, 3, 4, 5, 6, 7, 8});
  key.SetValue("cr", REG_SZ, Text("a\r\n"));
  key.SetValue("utf8", REG_SZ, Text("J\xC3\xBCrgen"));
  std::string text = hive.Write();
  RegHive back("HKEY_LOCAL_MACHINE");
  int line = 0;
  std::string problem;
  ASSERT_TRUE(back.Parse(text, &line, &problem)) << problem << "\n" << text;
  const RegKeyData* read = back.FindKey("SOFTWARE\\Brenvik\\Key \"with\" \\ marks");
  ASSERT_NE(read, nullptr);
  ASSERT_EQ(read->values.size(), key.values.size());
  for (std::size_t i = 0; i < key.values.size(); ++i) {
    EXPECT_EQ(read->values[i].name, key.values[i].name);
    EXPECT_EQ(read->values[i].type, key.values[i].type) << key.values[i].name;
    EXPECT_EQ(read->values[i].data, key.values[i].data) << key.values[i].name;
  }
  EXPECT_EQ(back.Write(), text);
}

TEST(RegFileRead, NamesCompareWithoutCaseAndKeepTheirFirstCase) {
  RegHive hive = ParseOrFail(
      "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Brenvik]\n\"Name\"=\"one\"\n"
      "\n[hkey_current_user\\SOFTWARE\\brenvik]\n\"NAME\"=\"two\"\n");
  const RegKeyData* key = hive.FindKey("software\\BRENVIK");
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->path, "Software\\Brenvik");
  ASSERT_EQ(key->values.size(), 1u);
  EXPECT_EQ(key->values[0].name, "Name");
  EXPECT_EQ(key->FindValue("name")->data, Text("two"));
}

TEST(RegFileRead, AcceptsCommentsBlankLinesCarriageReturnsAndRootValues) {
  RegHive hive = ParseOrFail(
      "\xEF\xBB\xBFREGEDIT4\r\n; a comment\r\n\r\n[HKEY_CURRENT_USER]\r\n@=\"root\"\r\n"
      "[HKEY_CURRENT_USER\\A]\r\n\"B\"=hex:01,\\\r\n  02\r\n\"D\"=DWORD:FF\r\n");
  EXPECT_EQ(hive.FindKey("")->FindValue("")->data, Text("root"));
  EXPECT_EQ(hive.FindKey("A")->FindValue("B")->data, (std::vector<std::uint8_t>{1, 2}));
  EXPECT_EQ(hive.FindKey("A")->FindValue("D")->data, (std::vector<std::uint8_t>{0xff, 0, 0, 0}));
}

TEST(RegFileRead, AKeyLineCreatesItsParents) {
  RegHive hive = ParseOrFail("REGEDIT4\n[HKEY_CURRENT_USER\\A\\B\\C]\n");
  EXPECT_NE(hive.FindKey("A"), nullptr);
  EXPECT_EQ(hive.SubKeyNames("A"), std::vector<std::string>{"B"});
}

TEST(RegFileRead, ReportsTheLineAndTheReason) {
  int line = 0;
  EXPECT_EQ(ParseProblem("REGEDIT5\n", &line), "the first line is not \"REGEDIT4\"");
  EXPECT_EQ(line, 1);
  EXPECT_EQ(ParseProblem("", &line), "the first line is not \"REGEDIT4\"");
  EXPECT_EQ(ParseProblem("REGEDIT4\n\n\"A\"=\"x\"\n", &line), "a value comes before the first key");
  EXPECT_EQ(line, 3);
  EXPECT_EQ(ParseProblem("REGEDIT4\n[HKEY_LOCAL_MACHINE\\X]\n", &line),
            "the key is not below HKEY_CURRENT_USER");
  EXPECT_EQ(line, 2);
  EXPECT_EQ(ParseProblem("REGEDIT4\n[HKEY_CURRENT_USERX]\n", &line),
            "the key is not below HKEY_CURRENT_USER");
  EXPECT_EQ(ParseProblem("REGEDIT4\n[HKEY_CURRENT_USER\\X]\n\"A\"=\"open\n", &line),
            "a quoted text has no closing quote");
  EXPECT_EQ(line, 3);
  EXPECT_EQ(ParseProblem("REGEDIT4\n[HKEY_CURRENT_USER\\X]\n\"A\"=dword:123456789\n", &line),
            "a dword value needs up to eight hexadecimal digits");
  EXPECT_EQ(ParseProblem("REGEDIT4\n[HKEY_CURRENT_USER\\X]\n\"A\"=hex:01,2\n", &line),
            "'2' is not a byte in hexadecimal");
  EXPECT_EQ(ParseProblem("REGEDIT4\n[HKEY_CURRENT_USER\\X]\n\"A\"=\"a\\n\"\n", &line),
            "unknown escape in a quoted text (only \\\\ and \\\" are allowed)");
  EXPECT_EQ(ParseProblem("REGEDIT4\n[HKEY_CURRENT_USER\\X]\n\"A\"=-\n", &line),
            "a value must be a quoted text, dword:, hex: or hex(type):");
  EXPECT_EQ(ParseProblem("REGEDIT4\n[-HKEY_CURRENT_USER\\X]\n", &line),
            "a key line must read [HKEY_CURRENT_USER\\...]");
  EXPECT_EQ(ParseProblem("REGEDIT4\n[HKEY_CURRENT_USER\\X]\n\"A\" \"x\"\n", &line),
            "the value name must be followed by '='");
  EXPECT_EQ(ParseProblem("REGEDIT4\n[HKEY_CURRENT_USER\\X]\nA=1\n", &line),
            "a line must be a key in brackets or a \"name\"=value");
}

TEST(RegHiveKeys, SubKeysAreListedInCaseInsensitiveOrder) {
  RegHive hive("HKEY_CURRENT_USER");
  hive.CreateKey("P\\beta");
  hive.CreateKey("P\\Alpha\\Deep");
  hive.CreateKey("P\\gamma");
  hive.CreateKey("Q");
  EXPECT_EQ(hive.SubKeyNames("p"), (std::vector<std::string>{"Alpha", "beta", "gamma"}));
  EXPECT_EQ(hive.SubKeyNames(""), (std::vector<std::string>{"P", "Q"}));
}

TEST(RegHiveKeys, DeleteRemovesTheWholeTreeButNotItsNeighbours) {
  RegHive hive("HKEY_CURRENT_USER");
  hive.CreateKey("P\\A\\B");
  hive.CreateKey("P\\AB");
  EXPECT_TRUE(hive.DeleteKey("p\\a"));
  EXPECT_EQ(hive.FindKey("P\\A\\B"), nullptr);
  EXPECT_NE(hive.FindKey("P\\AB"), nullptr);
  EXPECT_FALSE(hive.DeleteKey("P\\A"));
  EXPECT_FALSE(hive.DeleteKey(""));
}

TEST(RegHiveKeys, PathsAreNormalized) {
  EXPECT_EQ(RegNormalizePath("\\A\\\\B\\"), "A\\B");
  RegHive hive("HKEY_CURRENT_USER");
  hive.CreateKey("\\A\\\\B\\");
  EXPECT_NE(hive.FindKey("A\\B"), nullptr);
}

// Damaged hives of every shape: the reader either rejects them with a line number inside the
// text or accepts them, and whatever it accepts it writes back in a form it reads again equally.
TEST(RegFileRobustness, DamagedTextIsRejectedOrRoundTrips) {
  const std::string valid =
      "REGEDIT4\n\n[HKEY_CURRENT_USER\\A\\B]\n@=\"x\\\\y\"\n\"D\"=dword:0000000c\n"
      "\"H\"=hex:01,02,\\\n  03\n\"E\"=hex(2):41,00\n[HKEY_CURRENT_USER\\C]\n";
  const char alphabet[] = "[]\\\"=@:,;-\n\r0aFx(7) hexdword";
  std::mt19937 random(20061205);
  for (int round = 0; round < 3000; ++round) {
    std::string text = valid;
    int edits = 1 + static_cast<int>(random() % 4);
    for (int e = 0; e < edits; ++e) {
      std::size_t at = random() % (text.size() + 1);
      char c = alphabet[random() % (sizeof alphabet - 1)];
      switch (random() % 3) {
        case 0:
          text.insert(at, 1, c);
          break;
        case 1:
          if (at < text.size()) text.erase(at, 1);
          break;
        default:
          if (at < text.size()) text[at] = c;
          break;
      }
    }
    RegHive hive("HKEY_CURRENT_USER");
    int line = 0;
    std::string problem;
    if (!hive.Parse(text, &line, &problem)) {
      EXPECT_FALSE(problem.empty()) << text;
      EXPECT_GE(line, 1) << text;
      EXPECT_LE(line, static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1) << text;
      continue;
    }
    std::string written = hive.Write();
    RegHive again("HKEY_CURRENT_USER");
    ASSERT_TRUE(again.Parse(written, &line, &problem)) << problem << "\n" << written;
    EXPECT_EQ(again.Write(), written);
  }
}

}  // namespace
}  // namespace tessary::platform
