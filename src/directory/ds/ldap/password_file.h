#pragma once
// The bind password of a simple bind, read from the file TESSARY_BIND_PASSWORD_FILE names.

#include <string>

namespace tessary::ds::ldap {

// Reads the password (the file's first line, without its line end). Refuses, with a message
// naming the file, a symbolic link, anything but a regular file, a file that its group or other
// users may read or write, and a file that cannot be read or is empty.
[[nodiscard]] bool ReadPasswordFile(const std::string& path, std::string* password,
                                    std::string* error);

}  // namespace tessary::ds::ldap
