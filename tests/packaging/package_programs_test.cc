// The programs as the package installs them: they run from their installed place, with nothing
// of the build around them.

#include <gtest/gtest.h>

#include "unpacked_package.h"

namespace tessary::testing {
namespace {

using PackagePrograms = UnpackedPackageTest;

TEST_F(PackagePrograms, TessaryTellsItsVersion) {
  const ProgramRun run = Run("tessary", {"--version"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "tessary " TESSARY_VERSION "\n");
}

TEST_F(PackagePrograms, ASampleDirectoryIsMadeAndExported) {
  const std::string directory = (WorkFolder() / "sample.db").string();
  const std::string output = (WorkFolder() / "sales.csv").string();
  ProgramRun run = Run("tessary-directory", {"--directory", directory, "provision", "--domain",
                                             "example.com", "--sample"});
  ASSERT_EQ(run.status, 0) << run.err;
  run = Run("tessary", {"--directory", directory, "export", "--class", "User", "--container",
                        "OU=Sales,OU=Staff,DC=example,DC=com", "--attributes",
                        "sAMAccountName,mail", "--output", output});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("'User' objects were exported."), std::string::npos) << run.out;
  const std::string text = ReadFileText(output);
  EXPECT_EQ(text.rfind("distinguishedName,objectGUID,sAMAccountName,mail\r\n", 0), 0u)
      << text.substr(0, 200);
  std::size_t lines = 0;
  for (char c : text) lines += c == '\n';
  EXPECT_GT(lines, 10u) << "the sample's sales staff, one line each";
  EXPECT_NE(text.find(",OU=Sales,OU=Staff,DC=example,DC=com\","), std::string::npos);
}

TEST_F(PackagePrograms, TheInstallerAnswersToItsInstalledName) {
  const ProgramRun run = Run("tessary-setup", {"--help"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.rfind("Usage: tessary-setup [SWITCH]\n", 0), 0u) << run.out;
}

}  // namespace
}  // namespace tessary::testing
