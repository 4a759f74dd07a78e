#include "import/import_column.h"

#include <array>
#include <cctype>
#include <string_view>

namespace tessary {

std::string_view WithoutBlanks(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
    text.remove_prefix(1);
  }
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
    text.remove_suffix(1);
  }
  return text;
}

bool IsSpecialColumn(const std::string& name, Creating creating) {
  static constexpr std::array<std::string_view, 15> kSpecial = {"mode",
                                                                "Mode",
                                                                "objectGUID",
                                                                "distinguishedName",
                                                                "password",
                                                                "homeMDB",
                                                                "exchHomeServer",
                                                                "exchMailboxStore",
                                                                "exchStorageGroup",
                                                                "exchAdminGroup",
                                                                "exchOrganization",
                                                                "cn",
                                                                "container",
                                                                "memberOf",
                                                                "accountDisabled"};
  for (std::string_view special : kSpecial) {
    if (name == special) return true;
  }
  return creating == Creating::Yes && name == "pwdLastSet";
}

}  // namespace tessary
