#pragma once
// One attribute value as the program shows and writes it: text, integer, boolean or a local
// wall-clock time. Directory values of every syntax are converted into one of these when read.

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

namespace tessary {

struct DateTimeFormats;

// A wall-clock time as read (local time); month 1-12.
struct CBVKADTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
  friend bool operator==(const CBVKADTime&, const CBVKADTime&) = default;
};

class CBVKADValue {
 public:
  enum class Kind { Text, Integer, Boolean, Time };

  explicit CBVKADValue(std::string text) : value_(std::move(text)) {}
  explicit CBVKADValue(std::int32_t integer) : value_(integer) {}
  explicit CBVKADValue(bool boolean) : value_(boolean) {}
  explicit CBVKADValue(const CBVKADTime& time) : value_(time) {}
  // Without this a string literal would pick the boolean constructor.
  explicit CBVKADValue(const char* text) : value_(std::string(text)) {}

  Kind GetKind() const { return static_cast<Kind>(value_.index()); }
  const std::string* AsText() const { return std::get_if<std::string>(&value_); }
  const std::int32_t* AsInteger() const { return std::get_if<std::int32_t>(&value_); }
  const bool* AsBoolean() const { return std::get_if<bool>(&value_); }
  const CBVKADTime* AsTime() const { return std::get_if<CBVKADTime>(&value_); }

  // The text form ("%d", "TRUE"/"FALSE", the formatted date and time); fails, with the reason
  // in `error`, only for a time the local calendar cannot represent. A time is written with the
  // given regional formats, or without them with the formats read from the settings now.
  [[nodiscard]] bool GetText(std::string* text, std::string* error,
                             const DateTimeFormats* formats = nullptr) const;

  friend bool operator==(const CBVKADValue&, const CBVKADValue&) = default;

 private:
  std::variant<std::string, std::int32_t, bool, CBVKADTime> value_;
};

}  // namespace tessary
