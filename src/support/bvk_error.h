#pragma once
// The error record every library object embeds: the failed operation's sentence, further lines
// added by callers, and the explanation of the failing code with the code in hexadecimal.

#include <cstdint>
#include <string>

#include "platform/ui/ui_host.h"

namespace tessary {

class CBVKError {
 public:
  void SetText(const std::string& text);
  std::string GetText() const { return text_; }
  const std::string& Text() const { return text_; }
  // Appends (Append::Yes) or prepends a line, adding the line feed that separates it.
  enum class Append { No, Yes };
  void AddLine(const std::string& line, Append append = Append::Yes);

  // Each appends a line with the code's explanation and " (" + hex code + ")".
  void SetSystemError(std::uint32_t code);
  void SetADSIError(std::int32_t code);
  // The extended-error record of the messaging layer: component name and its own text.
  struct MapiExtendedError {
    std::string component;
    std::string text;
  };
  void SetMAPIError(std::int32_t code, const MapiExtendedError* extended = nullptr);
  void SetCDOError(std::int32_t code);
  void AddSupportLine();

  void SetOwner(const platform::Window* owner);
  void SetCaption(const std::string& caption) { caption_ = caption; }
  const std::string& Caption() const { return caption_; }
  const platform::Window* Owner() const { return owner_; }
  std::int32_t Code() const { return code_; }

  // Message boxes through the process's UI host; each returns the button pressed.
  int ShowError() const;
  int ShowWarning(bool with_cancel = false) const;
  int AskRetry() const;
  int AskAbortRetryIgnore() const;
  int AskAbortRetryIgnoreStop() const;
  int AskOkCancel() const;

  // The explanation texts alone, for callers that need them without a record.
  static std::string ExplainADSI(std::int32_t code);
  static std::string ExplainMAPI(std::int32_t code);
  static std::string ExplainCDO(std::int32_t code);

 private:
  int Show(unsigned type) const;

  std::string text_;
  std::string caption_;
  const platform::Window* owner_ = nullptr;
  std::int32_t code_ = 0;
};

}  // namespace tessary
