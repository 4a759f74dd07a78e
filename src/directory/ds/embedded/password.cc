#include "directory/ds/embedded/password.h"

#include <crypt.h>

#include <cstring>
#include <memory>

#include "directory/ds/dn.h"

namespace tessary::ds::embedded {

std::string HashPassword(const std::string& password) {
  char salt[CRYPT_GENSALT_OUTPUT_SIZE];
  if (crypt_gensalt_rn("$6$", 0, nullptr, 0, salt, sizeof salt) == nullptr) return {};
  auto data = std::make_unique<crypt_data>();
  std::memset(data.get(), 0, sizeof(crypt_data));
  const char* hash = crypt_r(password.c_str(), salt, data.get());
  if (hash == nullptr || hash[0] == '*') return {};
  return hash;
}

bool PasswordMatches(const std::string& hash, const std::string& password) {
  if (hash.empty()) return false;
  auto data = std::make_unique<crypt_data>();
  std::memset(data.get(), 0, sizeof(crypt_data));
  const char* computed = crypt_r(password.c_str(), hash.c_str(), data.get());
  return computed != nullptr && hash == computed;
}

bool MeetsPasswordPolicy(const std::string& password, const std::string& account_name) {
  if (password.size() < 7) return false;
  bool upper = false, lower = false, digit = false, other = false;
  for (char c : password) {
    if (c >= 'A' && c <= 'Z') {
      upper = true;
    } else if (c >= 'a' && c <= 'z') {
      lower = true;
    } else if (c >= '0' && c <= '9') {
      digit = true;
    } else {
      other = true;
    }
  }
  if (upper + lower + digit + other < 3) return false;
  return account_name.size() < 3 ||
         AsciiLower(password).find(AsciiLower(account_name)) == std::string::npos;
}

}  // namespace tessary::ds::embedded
