// tessary-directory: see directory_tool.h.

#include <iostream>

#include "directory_tool.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);  // dumps are large; the streams need no C stdio ordering
  return tessary::tools::RunDirectoryTool(std::vector<std::string>(argv + 1, argv + argc),
                                          std::cout, std::cerr);
}
