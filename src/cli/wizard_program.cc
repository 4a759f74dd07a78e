#include "cli/wizard_program.h"

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace tessary::cli {
namespace {

constexpr const char* kWizardProgram = "tessary-wizard";

}  // namespace

void StartWizardProgram(char** argv, std::string* error) {
  std::error_code failure;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", failure);
  if (failure) {
    *error = "the running program's own path cannot be read: " + failure.message();
    return;
  }
  const std::filesystem::path folder = self.parent_path();
  const std::filesystem::path candidates[] = {
      folder / kWizardProgram, folder.parent_path() / "libexec" / "tessary" / kWizardProgram};
  for (const std::filesystem::path& program : candidates) {
    ::execv(program.c_str(), argv);
    if (errno != ENOENT) {
      *error = program.string() + ": " + std::generic_category().message(errno);
      return;
    }
  }
  *error = std::string(kWizardProgram) + " is not installed in " + candidates[1].parent_path().string();
}

}  // namespace tessary::cli
