#pragma once
// Runs a built program with arguments and extra environment, capturing its exit status,
// standard output and standard error (standard input is empty).

#include <map>
#include <string>
#include <vector>

namespace tessary::testing {

struct ProgramRun {
  int status = -1;
  std::string out;
  std::string err;
};

// Variables in env are set (an empty value unsets the variable) for the program only.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const std::map<std::string, std::string>& env = {});

}  // namespace tessary::testing
