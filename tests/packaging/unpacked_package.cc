#include "unpacked_package.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tessary::testing {

void UnpackedPackageTest::SetUp() {
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(TESSARY_PACKAGE_DIR, ignored)) {
    if (entry.path().extension() == ".deb") deb_ = entry.path();
  }
  ASSERT_FALSE(deb_.empty()) << "no package in " TESSARY_PACKAGE_DIR
                                "; ctest's fixture test package_build makes it";
  root_ = machine_.Root() / "unpacked";
  std::filesystem::create_directories(WorkFolder());
  const ProgramRun unpack = RunProgram("/usr/bin/dpkg-deb", {"-x", deb_.string(), root_.string()});
  ASSERT_EQ(unpack.status, 0) << unpack.err;
}

ProgramRun UnpackedPackageTest::Run(const std::string& name,
                                    const std::vector<std::string>& args) const {
  return RunProgram(Program(name).string(), args);
}

ProgramRun UnpackedPackageTest::Bash(const std::string& script,
                                     const std::vector<std::string>& args,
                                     const std::map<std::string, std::string>& env) const {
  std::map<std::string, std::string> environment = env;
  const char* path = std::getenv("PATH");
  environment.emplace("PATH", (root_ / "usr/bin").string() + ":" + (path ? path : "/usr/bin:/bin"));
  std::vector<std::string> argv = {"--norc", "--noprofile", "-c",
                                   "cd \"$0\" || exit 125\n" + script, WorkFolder().string()};
  argv.insert(argv.end(), args.begin(), args.end());
  return RunProgram("/bin/bash", argv, environment);
}

bool UnpackedPackageTest::OnPath(const std::string& program) {
  return RunProgram("/bin/sh", {"-c", "command -v \"$1\" >/dev/null", "sh", program}).status == 0;
}

}  // namespace tessary::testing
