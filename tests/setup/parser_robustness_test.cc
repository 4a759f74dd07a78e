// setup's readers of outside text take any bytes: arbitrary scripts, blobs and logs must never
// read past their input. Runs under the sanitizer build; the fuzz target covers more.
#include <gtest/gtest.h>

#include <random>

#include "setup/command_line.h"
#include "setup/install_script.h"
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
