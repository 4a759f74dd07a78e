#pragma once
// Date and time text the way the user's regional settings (HKEY_CURRENT_USER
// "Control Panel\International") write them. The settings are read afresh for every call, so
// a change takes effect at the next time stamp.

#include <ctime>
#include <string>

namespace tessary {

// Where "now" comes from, so tests fix the time.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::time_t Now() const = 0;
};
// The system's clock.
const Clock& SystemClock();

class FixedClock : public Clock {
 public:
  explicit FixedClock(std::time_t now) : now_(now) {}
  std::time_t Now() const override { return now_; }

 private:
  std::time_t now_;
};

// The four strings built from the regional settings: the AM and PM symbols and the
// strftime formats for the time and the date (time markers still unresolved).
struct DateTimeFormats {
  std::string am_symbol = "AM";
  std::string pm_symbol = "PM";
  std::string time_format = "%I:%M --";
  std::string date_format = "%x";

  // Reads the current user's regional settings; anything missing keeps its default above.
  static DateTimeFormats FromRegistry();
  // Translates Windows pictures ("h:mm:ss tt", "M/d/yyyy") with their separators.
  static std::string TimeFormatFromPicture(const std::string& picture,
                                           const std::string& separator);
  static std::string DateFormatFromPicture(const std::string& picture,
                                           const std::string& separator);

  // Format a local-time breakdown (tm_hour decides between the AM and PM symbols).
  std::string FormatTime(const std::tm& local) const;
  std::string FormatDate(const std::tm& local) const;
  // The date text, one blank, the time text.
  std::string FormatDateTime(const std::tm& local) const;
  // Reads back what FormatDateTime writes: the whole text must match the formats. Only what the
  // formats show is known (a picture without seconds reads as second 0; a two-digit year is
  // taken as 1969 to 2068). False for any other text.
  [[nodiscard]] bool ParseDateTime(const std::string& text, std::tm* local) const;
};

// Date text, one blank, time text, for a point in time in local time. Never fails: missing
// settings give the defaults ("%x" and "%I:%M --").
std::string FormatDateTime(std::time_t when);
std::string FormatDate(std::time_t when);
std::string FormatTime(std::time_t when);
// The same for explicit local date and time fields.
std::string FormatDateTime(const std::tm& local);

}  // namespace tessary
