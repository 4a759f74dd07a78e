#include "support/bvk_error.h"

#include <cstdio>

#include "platform/system_error.h"
#include "support/error_tables.h"

namespace tessary {
namespace {

constexpr char kSupportAddress[] = "support@brenvik.example";

// " (" + the code in lower-case hexadecimal without leading zeros + ")"; a negative HRESULT
// shows all eight digits because the bit pattern is printed.
std::string CodeSuffix(std::uint32_t code) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, " (%x)", code);
  return buffer;
}

std::uint32_t Bits(std::int32_t code) { return static_cast<std::uint32_t>(code); }

}  // namespace

void CBVKError::SetText(const std::string& text) {
  text_ = text;
  code_ = 0;
}

void CBVKError::AddLine(const std::string& line, Append append) {
  if (append == Append::Yes) {
    if (line.empty() || line.front() != '\n') text_ += '\n';
    text_ += line;
  } else {
    std::string head = line;
    if (head.empty() || head.back() != '\n') head += '\n';
    text_ = head + text_;
  }
}

void CBVKError::SetSystemError(std::uint32_t code) {
  code_ = static_cast<std::int32_t>(code);
  std::string line = platform::SystemMessage(code).value_or("An unknown problem occurred.");
  AddLine(line + CodeSuffix(code));
}

void CBVKError::SetADSIError(std::int32_t code) {
  code_ = code;
  text_ += '\n';
  text_ += ExplainADSI(code);
  text_ += CodeSuffix(Bits(code));
}

void CBVKError::SetMAPIError(std::int32_t code, const MapiExtendedError* extended) {
  code_ = code;
  text_ += '\n';
  text_ += ExplainMAPI(code);
  if (extended) text_ += '\n' + extended->component + " : " + extended->text;
  text_ += CodeSuffix(Bits(code));
}

void CBVKError::SetCDOError(std::int32_t code) {
  // The record keeps the code of the step that failed before the mailbox layer was asked.
  text_ += '\n';
  text_ += ExplainCDO(code);
  text_ += CodeSuffix(Bits(code));
}

void CBVKError::AddSupportLine() {
  text_ += '\n';
  text_ += "Please contact Brenvik at ";
  text_ += kSupportAddress;
}

void CBVKError::SetOwner(const platform::Window* owner) {
  owner_ = owner;
  caption_ = owner ? owner->title : std::string();
}

int CBVKError::Show(unsigned type) const {
  platform::UiHost& host = platform::CurrentUiHost();
  if (owner_ && !caption_.empty()) return host.ShowMessageBox(owner_, caption_, text_, type);
  return host.ShowMessageBox(nullptr, host.ApplicationTitle(), text_, type);
}

int CBVKError::ShowError() const { return Show(platform::kMbIconStop | platform::kMbOk); }

int CBVKError::ShowWarning(bool with_cancel) const {
  return Show(platform::kMbIconExclamation |
              (with_cancel ? platform::kMbOkCancel : platform::kMbOk));
}

int CBVKError::AskRetry() const { return Show(platform::kMbIconStop | platform::kMbRetryCancel); }

int CBVKError::AskAbortRetryIgnore() const {
  return Show(platform::kMbIconExclamation | platform::kMbAbortRetryIgnore);
}

int CBVKError::AskAbortRetryIgnoreStop() const {
  return Show(platform::kMbIconStop | platform::kMbAbortRetryIgnore);
}

int CBVKError::AskOkCancel() const {
  return Show(platform::kMbIconExclamation | platform::kMbOkCancel);
}

std::string CBVKError::ExplainADSI(std::int32_t code) {
  return std::string(error_tables::Adsi().Explain(Bits(code)));
}

std::string CBVKError::ExplainMAPI(std::int32_t code) {
  return std::string(error_tables::Mapi().Explain(Bits(code)));
}

std::string CBVKError::ExplainCDO(std::int32_t code) {
  return std::string(error_tables::Cdo().Explain(Bits(code)));
}

}  // namespace tessary
