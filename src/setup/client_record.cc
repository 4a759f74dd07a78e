#include "setup/client_record.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/special_folders.h"

namespace tessary::setup {

std::string ClientTimeField(const std::tm& local) {
  const int year = local.tm_year + 1900;
  const int bytes[7] = {year / 256,    year % 256,   local.tm_mon + 1, local.tm_mday,
                        local.tm_hour, local.tm_min, local.tm_sec};
  std::string field;
  for (int byte : bytes) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02x", byte & 0xFF);
    field += digits;
  }
  return field;
}

std::string ConfigurationLabel(const std::string& file_name) {
  if (file_name.size() <= 7) return {};
  return file_name.substr(3, file_name.size() - 7);
}

std::string ClientRecordLine(const std::string& logon, const std::string& time_field,
                             const std::string& config_file, const std::string& version) {
  return logon + "$" + time_field + "$" + ConfigurationLabel(config_file) + "$" + version;
}

std::string ClientRecordPath(const std::string& server, const std::string& product_code) {
  return platform::NetworkShareFolder(server, "Brenvik/" + product_code + " Clients.log");
}

std::string CurrentLogonName() {
  if (const char* user = std::getenv("USER"); user && *user) return user;
  char buffer[4096];
  passwd entry;
  passwd* found = nullptr;
  if (getpwuid_r(geteuid(), &entry, buffer, sizeof buffer, &found) == 0 && found) {
    return found->pw_name;
  }
  return {};
}

}  // namespace tessary::setup
