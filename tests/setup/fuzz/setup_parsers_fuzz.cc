// libFuzzer target for setup's readers of outside text: install script lines, the command line
// with its configuration blob, and setup log lines.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "setup/command_line.h"
#include "setup/install_script.h"
#include "setup/setup_log.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);

  tessary::setup::InstallScript script;
  tessary::setup::ApplyScriptLines(lines, {size % 2 == 0, "/opt/Brenvik/"}, &script);
  tessary::setup::ParseCommandLine(text);
  tessary::setup::ParseCommandLine("-configs " + text);
  tessary::setup::InstalledProduct product;
  std::string parent;
  tessary::setup::ReadLogLines(lines, &product, &parent);
  tessary::setup::ProtectSharedEntries(&product);
  return 0;
}
