#pragma once
// The classes whose objects are accounts that sign in (user and the classes derived from it):
// only they answer as users, hold a password and have pwdLastSet.

#include <string>

namespace tessary {

// "user", "inetOrgPerson" or "computer", in any letter case.
bool IsUserClass(const std::string& class_name);

}  // namespace tessary
