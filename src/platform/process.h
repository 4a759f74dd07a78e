#pragma once
// Starting programs: always posix_spawn with an argument vector, never through a shell.

#include <cstdint>
#include <string>
#include <vector>

namespace tessary::platform {

enum class Wait { No, Yes };

struct ProcessResult {
  bool started = false;
  std::uint32_t error = 0;  // Win32 code when not started
  int exit_code = -1;       // set when waited for
};

// Starts argv[0] (searched on PATH when it holds no '/') with the given arguments, in
// working_folder when not empty. With Wait::Yes, returns after the program ends.
ProcessResult StartProcess(const std::vector<std::string>& argv,
                           const std::string& working_folder = {}, Wait wait = Wait::No);

}  // namespace tessary::platform
