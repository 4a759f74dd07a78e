#include "failure_text.h"

#include "support/bvk_error.h"

namespace tessary::tools {

std::string FailureText(const std::string& sentence, HRESULT hr) {
  CBVKError record;
  record.SetText(sentence);
  record.SetADSIError(hr);
  return record.Text();
}

}  // namespace tessary::tools
