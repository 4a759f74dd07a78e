#include "directory/ds/ldap/password_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tessary::ds::ldap {

bool ReadPasswordFile(const std::string& path, std::string* password, std::string* error) {
  const std::string name = "The password file '" + path + "'";
  // O_NOFOLLOW and fstat on the opened file: the checks and the read see the same file.
  int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    *error = errno == ELOOP ? name + " is a symbolic link; name the file itself."
                            : name + " cannot be opened: " + std::strerror(errno) + ".";
    return false;
  }
  struct stat info {};
  std::string text;
  bool ok = fstat(fd, &info) == 0;
  if (!ok) {
    *error = name + " cannot be examined: " + std::strerror(errno) + ".";
  } else if (!S_ISREG(info.st_mode)) {
    *error = name + " is not a regular file.";
    ok = false;
  } else if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
    *error = name + " may be read or written by other users; allow its owner only (chmod 600).";
    ok = false;
  } else {
    char buffer[4096];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(n));
    if (n < 0) {
      *error = name + " cannot be read: " + std::strerror(errno) + ".";
      ok = false;
    }
  }
  close(fd);
  if (!ok) return false;
  text = text.substr(0, text.find_first_of("\r\n"));
  if (text.empty()) {
    *error = name + " is empty.";
    return false;
  }
  *password = std::move(text);
  return true;
}

}  // namespace tessary::ds::ldap
