#include "import/import_column.h"

#include <array>
#include <string_view>

namespace tessary {

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
