#include "import/account_classes.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

namespace tessary {

bool IsUserClass(const std::string& class_name) {
  static constexpr std::array<std::string_view, 3> kUserClasses = {"user", "computer",
                                                                   "inetorgperson"};
  return std::any_of(kUserClasses.begin(), kUserClasses.end(), [&](std::string_view user_class) {
    return std::equal(class_name.begin(), class_name.end(), user_class.begin(), user_class.end(),
                      [](char a, char b) {
                        return std::tolower(static_cast<unsigned char>(a)) == b;
                      });
  });
}

}  // namespace tessary
