// Starting programs: plain programs, Notepad, and the programs registered for addresses and
// HTML files.

#include "platform/process.h"
#include "platform/system_error.h"
#include "support/bvk_command_line.h"
#include "support/bvk_file_util.h"
#include "support/bvk_registry.h"

namespace tessary {

bool CBVKFileUtil::Run(const std::string& folder, const std::string& program,
                       const std::string& arguments) {
  const std::string working_folder = folder.empty() ? folder : AddTrailingSlash(folder);
  command_line::RunCommand command = command_line::ForRun(working_folder, program, arguments);
  // Without a folder and program the command line names the program; the message names it.
  std::string named = working_folder + program;
  if (named.empty()) {
    std::vector<std::string> words = command_line::Split(arguments);
    if (!words.empty()) named = words.front();
  }
  if (command.argv.empty()) {
    return Fail("Could not run the file '" + named + "'.", platform::kErrorFileNotFound);
  }
  // The editor that stands in for Notepad needs no particular folder (the Windows folder it
  // was named from need not exist).
  platform::ProcessResult result =
      platform::StartProcess(command.argv, command.editor ? std::string() : working_folder);
  if (!result.started) return Fail("Could not run the file '" + named + "'.", result.error);
  return true;
}

bool CBVKFileUtil::OpenInBrowser(const std::string& address) {
  return OpenRegistered("http", address);
}

bool CBVKFileUtil::OpenHtmlFile(const std::string& path) {
  return OpenRegistered("htmlfile", path);
}

bool CBVKFileUtil::OpenRegistered(const std::string& class_key, const std::string& target) {
  CBVKRegistry registry;
  std::string command;
  if (!registry.OpenKey(HKEY_CLASSES_ROOT, class_key + "\\shell\\open\\command", KEY_READ,
                        CBVKRegistry::Create::No) ||
      !registry.ReadString({}, &command, {}, CBVKRegistry::Required::Yes)) {
    registry.Error().ShowError();
    error_.SetText(registry.Error().Text());
    return false;
  }
  std::vector<std::string> argv = command_line::ForRegisteredCommand(command, target);
  if (argv.empty()) {
    // Nothing registered: say so rather than silently open nothing.
    error_.SetText("No program is registered to open '" + target + "'.");
    error_.ShowError();
    return false;
  }
  platform::ProcessResult result = platform::StartProcess(argv);
  if (!result.started) {
    Fail("Could not run the file '" + argv.front() + "'.", result.error);
    error_.ShowError();
    return false;
  }
  return true;
}

}  // namespace tessary
