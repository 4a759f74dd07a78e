#pragma once
// A machine for setup's tests: a source folder of scripts and small files, the install folder
// setup chooses on a fresh machine, and registry look-ups.

#include <filesystem>
#include <string>
#include <vector>

#include "test_support.h"

namespace tessary::setup::testing {

// How a run of the built setup program ended: its exit status (-1 when a signal ended it or it
// had to be killed after the time limit) and what it wrote.
struct ProgramRun {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs the built setup program in the folder with empty standard input; kills it after the time
// limit, so a run that never ends fails its test instead of hanging it.
ProgramRun RunSetupProgram(const std::string& folder, const std::vector<std::string>& arguments,
                           const std::filesystem::path& scratch, int seconds = 20);

class SetupMachine : public tessary::testing::MachineTest {
 protected:
  void SetUp() override;

  // Writes a file of the source folder (or any path below the machine root when absolute).
  void Source(const std::string& name, const std::string& text) const;
  std::string SourceFolder() const { return machine_.Root().string() + "/src/"; }
  // Where a fresh machine's setup installs: the program files folder + "Brenvik/".
  std::string InstallFolder() const;
  // Folders of the machine below BRENVIK_ROOT.
  std::string MachineFolder(const std::string& absolute) const;
  bool Exists(const std::string& path) const { return std::filesystem::exists(path); }

  // A string or number value, or "<missing>" when the key or value is not there.
  static std::string RegistryText(bool machine, const std::string& key, const std::string& name);
  static bool RegistryKeyExists(bool machine, const std::string& key);
  static void SetRegistryText(bool machine, const std::string& key, const std::string& name,
                              const std::string& value);
  // The same for HKEY_CLASSES_ROOT.
  static std::string ClassesText(const std::string& key, const std::string& name);
  static void SetClassesText(const std::string& key, const std::string& name,
                             const std::string& value);
};

}  // namespace tessary::setup::testing
