#pragma once
// setup's command line: one switch per run, recognised by the start of the whole text, and the
// hexadecimal blob that carries a configuration run's server, folder and configurations.

#include <cstdint>
#include <string>
#include <vector>

namespace tessary::setup {

// One client configuration of a configuration run.
struct ConfigEntry {
  std::string product_code;
  std::string name;
  std::string file_name;
  std::string product_name;
  std::string version_file;
};

struct ConfigRun {
  std::string server;
  bool silent = false;
  std::string default_folder;
  std::vector<ConfigEntry> configurations;  // "NONE" file names already dropped
};

struct CommandLine {
  enum class Switch { kNone, kCorporate, kBase, kConfigs, kSilent };
  Switch which = Switch::kNone;
  // -base: the install folder part and the share part (empty when absent).
  std::string base_folder;
  std::string base_share;
  bool has_base_share = false;
  ConfigRun configs;  // -configs
};

// True when the whole command line asks for the usage: "--help", "-h", "-?" or "/?".
bool AsksForUsage(const std::string& text);

// What the usage lists: every switch and what it does.
std::string UsageText();

// Reads the whole command-line text (the arguments joined by blanks). Never fails: anything not
// recognised is an interactive install.
CommandLine ParseCommandLine(const std::string& text);

// Decodes a configuration blob. A blob that ends early reads its missing items as empty or zero
// and yields only the configurations that are complete.
ConfigRun DecodeConfigBlob(const std::string& hex);

// The bytes of a blob as pairs of hexadecimal digits; used to build blobs for a run.
std::string EncodeConfigBlob(const ConfigRun& run);

// A folder the maker's products go into: no trailing separator, then "/Brenvik" unless it already
// ends with the maker's name (in any case), then a trailing "/".
std::string CompleteInstallFolder(std::string folder);

// A server share given as "\\server\share\..." or as a bare server name, as a local folder: the
// automounter's "/net/server/share/..." below BRENVIK_ROOT. A native absolute path stays as given.
std::string ShareFolder(const std::string& share);

// The ClientFiles folder of a configuration server: "\\server\Brenvik\ClientFiles" as a folder.
std::string ClientFilesFolder(const std::string& server);

}  // namespace tessary::setup
