#pragma once
// The Debian package that the ctest fixture "package_build" made, unpacked with dpkg-deb into
// a private machine's folder, and the ways the tests run what it holds.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "run_program.h"
#include "test_support.h"

namespace tessary::testing {

class UnpackedPackageTest : public MachineTest {
 protected:
  void SetUp() override;

  // The .deb file, and the folder it was unpacked into (holding usr/...).
  const std::filesystem::path& Deb() const { return deb_; }
  const std::filesystem::path& Root() const { return root_; }
  std::filesystem::path Program(const std::string& name) const { return root_ / "usr/bin" / name; }
  // A folder of the private machine for the test's own files.
  std::filesystem::path WorkFolder() const { return machine_.Root() / "work"; }

  // Runs a program of the package with the private machine's environment.
  ProgramRun Run(const std::string& name, const std::vector<std::string>& args) const;
  // Runs a bash script without any start-up file, in WorkFolder(), with the package's
  // programs first on the PATH; $1 ... are args.
  ProgramRun Bash(const std::string& script, const std::vector<std::string>& args = {},
                  const std::map<std::string, std::string>& env = {}) const;

  // True when a program of that name is on the PATH.
  static bool OnPath(const std::string& program);

 private:
  std::filesystem::path deb_;
  std::filesystem::path root_;
};

}  // namespace tessary::testing

// A tool the package tests need: skipped without it, failed when prerequisites are required.
#define TESSARY_REQUIRE_TOOL(name)                                                        \
  TESSARY_REQUIRE_PREREQUISITE(::tessary::testing::UnpackedPackageTest::OnPath(name),     \
                               std::string(name) + " is not installed (scripts/install-deps.sh)")
