#include "setup/command_line.h"

#include "platform/special_folders.h"
#include "setup/text.h"

namespace tessary::setup {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 0;  // any other character counts as 0
}

// Reads the blob's items in order; past the end every item reads as empty and ends the reader.
class BlobReader {
 public:
  explicit BlobReader(std::string bytes) : bytes_(std::move(bytes)) {}

  std::string Text() {
    std::size_t end = bytes_.find('\0', at_);
    if (end == std::string::npos) {
      exhausted_ = true;
      at_ = bytes_.size();
      return {};
    }
    std::string text = bytes_.substr(at_, end - at_);
    at_ = end + 1;
    return text;
  }

  std::uint32_t Number() {
    if (bytes_.size() - at_ < 4) {
      exhausted_ = true;
      at_ = bytes_.size();
      return 0;
    }
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes_[at_ + i]);
    at_ += 4;
    return value;
  }

  bool Exhausted() const { return exhausted_; }

 private:
  std::string bytes_;
  std::size_t at_ = 0;
  bool exhausted_ = false;
};

void AppendHex(const std::string& bytes, std::string* hex) {
  static const char kDigits[] = "0123456789abcdef";
  for (unsigned char byte : bytes) {
    *hex += kDigits[byte >> 4];
    *hex += kDigits[byte & 15];
  }
}

std::string NumberBytes(std::uint32_t value) {
  std::string bytes;
  for (int i = 0; i < 4; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
  return bytes;
}

}  // namespace

bool AsksForUsage(const std::string& text) {
  return text == "--help" || text == "-h" || text == "-?" || text == "/?";
}

std::string UsageText() {
  return "Usage: tessary-setup [SWITCH]\n"
         "Installs the product that the install script in the current folder (Files.dat, then\n"
         "SFiles.dat) describes, replacing the earlier product the script names.\n"
         "Only the start of the command line counts, and only one switch per run:\n"
         "  (none)              interactive install: pages and questions at the terminal\n"
         "  -silent             unattended install: no pages, default answers; installs into the\n"
         "                      folder of an earlier installation, else <program files>/Brenvik\n"
         "  -corp               interactive install from the corporate script FilesGZB.dat\n"
         "  -base FOLDER[$$$SHARE]\n"
         "                      unattended install from FilesBA.dat into FOLDER (when no earlier\n"
         "                      installation names one), reading the files from SHARE (a\n"
         "                      \\\\server\\share path or a server name) when given\n"
         "  -configs BLOB       installs the client configurations that the hexadecimal BLOB\n"
         "                      names from their server's ClientFiles share\n"
         "  --help, -h          prints this text\n"
         "Exit status: 0 installed, 1 failed (setup may be run again), 2 refused or cancelled.\n"
         "Without -silent setup asks its questions at the terminal; with no terminal it ends\n"
         "as if cancelled.\n";
}

CommandLine ParseCommandLine(const std::string& text) {
  CommandLine line;
  if (text.compare(0, 5, "-corp") == 0) {
    line.which = CommandLine::Switch::kCorporate;
  } else if (text.compare(0, 5, "-base") == 0) {
    line.which = CommandLine::Switch::kBase;
    std::string argument = text.substr(5);
    argument.erase(0, argument.find_first_not_of(' '));
    if (argument.find_first_not_of(' ') == std::string::npos) argument.clear();
    std::size_t split = argument.find("$$$");
    line.base_folder = argument.substr(0, split);
    if (split != std::string::npos) {
      line.has_base_share = true;
      line.base_share = argument.substr(split + 3);
    }
  } else if (text.compare(0, 8, "-configs") == 0) {
    line.which = CommandLine::Switch::kConfigs;
    line.configs = DecodeConfigBlob(text.size() > 9 ? text.substr(9) : std::string());
  } else if (text.compare(0, 7, "-silent") == 0) {
    line.which = CommandLine::Switch::kSilent;
  }
  return line;
}

ConfigRun DecodeConfigBlob(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes += static_cast<char>(HexDigit(hex[i]) * 16 + HexDigit(hex[i + 1]));
  }
  BlobReader reader(bytes);
  ConfigRun run;
  run.server = reader.Text();
  run.silent = reader.Number() != 0;
  run.default_folder = reader.Text();
  const std::uint32_t count = reader.Number();
  for (std::uint32_t i = 0; i < count && !reader.Exhausted(); ++i) {
    ConfigEntry entry;
    entry.product_code = reader.Text();
    entry.name = reader.Text();
    entry.file_name = reader.Text();
    entry.product_name = reader.Text();
    entry.version_file = reader.Text();
    if (reader.Exhausted()) break;  // a configuration cut short is not installed
    if (entry.file_name == "NONE") continue;
    if (entry.name == "NONE") entry.name.clear();
    run.configurations.push_back(entry);
  }
  return run;
}

std::string EncodeConfigBlob(const ConfigRun& run) {
  std::string bytes;
  auto text = [&bytes](const std::string& value) { bytes += value + '\0'; };
  text(run.server);
  bytes += NumberBytes(run.silent ? 1 : 0);
  text(run.default_folder);
  bytes += NumberBytes(static_cast<std::uint32_t>(run.configurations.size()));
  for (const ConfigEntry& entry : run.configurations) {
    text(entry.product_code);
    text(entry.name);
    text(entry.file_name);
    text(entry.product_name);
    text(entry.version_file);
  }
  std::string hex;
  AppendHex(bytes, &hex);
  return hex;
}

std::string CompleteInstallFolder(std::string folder) {
  while (!folder.empty() && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
  if (!EndsWithMakerName(folder)) folder += "/Brenvik";
  return folder + "/";
}

std::string ShareFolder(const std::string& share) {
  if (!share.empty() && share[0] == '/') return share;
  // Anything that is not a "\\server\..." path is a server name.
  if (share.compare(0, 2, "\\\\") != 0) return ClientFilesFolder(share);
  std::string rest = share.substr(2);
  for (char& c : rest) {
    if (c == '\\') c = '/';
  }
  std::size_t slash = rest.find('/');
  if (slash == std::string::npos) return platform::NetworkShareFolder(rest, {});
  return platform::NetworkShareFolder(rest.substr(0, slash), rest.substr(slash + 1));
}

std::string ClientFilesFolder(const std::string& server) {
  return platform::NetworkShareFolder(server, "Brenvik/ClientFiles");
}

}  // namespace tessary::setup
