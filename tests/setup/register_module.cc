// A library with a self-registration entry, for the install tests: it appends a line to the
// file named by TESSARY_TEST_REGISTER_MARK each time it is registered.
#include <cstdio>
#include <cstdlib>

extern "C" int DllRegisterServer() {
  if (const char* path = std::getenv("TESSARY_TEST_REGISTER_MARK")) {
    if (std::FILE* file = std::fopen(path, "a")) {
      std::fputs("registered\n", file);
      std::fclose(file);
    }
  }
  return 0;
}
