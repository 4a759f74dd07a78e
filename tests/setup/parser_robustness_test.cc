// setup's readers of outside text take any bytes: arbitrary scripts, blobs and logs must never
// read past their input. Runs under the sanitizer build; the fuzz target covers more.
#include <gtest/gtest.h>

#include <random>

#include "setup/command_line.h"
#include "setup/install_script.h"
#include "setup/script_text.h"
#include "setup/setup_log.h"

namespace tessary::setup {
namespace {

std::string RandomText(std::mt19937& random, std::size_t size, const std::string& alphabet) {
  std::string text;
  for (std::size_t i = 0; i < size; ++i) text += alphabet[random() % alphabet.size()];
  return text;
}

TEST(SetupParserRobustness, RandomScriptsLogsAndBlobs) {
  std::mt19937 random(20040709);
  const std::string script_alphabet = "FILEPRODREGVKSTRTEX$ 0123\n\t%";
  const std::string hex_alphabet = "0123456789abcdefXZ ";
  for (int round = 0; round < 2000; ++round) {
    const std::string text = RandomText(random, random() % 64, script_alphabet);
    std::vector<std::string> lines = SplitFields(text, "\n");
    InstallScript script;
    ApplyScriptLines(lines, {round % 2 == 0, "/opt/"}, &script);
    for (const FileEntry& entry : script.files) EXPECT_FALSE(entry.source_name.empty());
    for (const RegistryEntry& entry : script.registry) EXPECT_LE(entry.hive, kHiveClassesRoot);

    InstalledProduct product;
    std::string parent;
    ReadLogLines(lines, &product, &parent);

    const ConfigRun run = DecodeConfigBlob(RandomText(random, random() % 96, hex_alphabet));
    EXPECT_LE(run.configurations.size(), 96u / 10);
  }
}

TEST(SetupParserRobustness, RandomBytesAsScriptText) {
  std::mt19937 random(20261208);
  std::string bytes_alphabet;
  for (int c = 0; c < 256; ++c) bytes_alphabet += static_cast<char>(c);
  for (int round = 0; round < 2000; ++round) {
    // Every other text starts with a UTF-16 mark, so the decoder gets its share.
    std::string bytes = round % 2 ? std::string("\xFF\xFE", 2) : std::string("\xFE\xFF", 2);
    bytes =
        (round % 4 < 2 ? bytes : std::string()) + RandomText(random, random() % 64, bytes_alphabet);
    const auto lines = ScriptLines(bytes);
    if (!lines) continue;
    (void)UnreadableNamingLine(*lines);
    InstallScript script;
    ApplyScriptLines(*lines, {}, &script);
    (void)NameLeavingItsFolder(script);
  }
}

TEST(SetupParserRobustness, BlobCountsLargerThanTheirDataEndCleanly) {
  ConfigRun run;
  run.server = "s";
  run.configurations = {{"TY", "A", "TY-A.cfg", "P", "v"}};
  std::string hex = EncodeConfigBlob(run);
  // The count says 0x7fffffff configurations; only one follows.
  const std::size_t count_at = (2 + 4 + 1) * 2;
  ASSERT_EQ(hex.substr(count_at, 8), "01000000");
  hex.replace(count_at, 8, "ffffff7f");
  EXPECT_EQ(DecodeConfigBlob(hex).configurations.size(), 1u);
}

}  // namespace
}  // namespace tessary::setup
