#pragma once
// Failure messages of the tool: a sentence, then the directory's explanation of the code on its
// own line with the code in hexadecimal, as the error record writes them.

#include <string>

#include "platform/hresult.h"

namespace tessary::tools {

std::string FailureText(const std::string& sentence, HRESULT hr);

}  // namespace tessary::tools
