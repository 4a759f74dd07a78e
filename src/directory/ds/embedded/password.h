#pragma once
// Passwords are kept only as salted hashes (SHA-512 crypt from libcrypt), never as text.

#include <string>

namespace tessary::ds::embedded {

// A new salted hash of password; empty when the system cannot make one.
std::string HashPassword(const std::string& password);
// True when password is the one hash was made from.
bool PasswordMatches(const std::string& hash, const std::string& password);
// AD's default domain policy: at least 7 characters of three of the four kinds (upper case,
// lower case, digits, others), and not containing the account name.
bool MeetsPasswordPolicy(const std::string& password, const std::string& account_name);

}  // namespace tessary::ds::embedded
