#include "directory/ad_value.h"

#include <ctime>

#include "support/date_time_text.h"

namespace tessary {

bool CBVKADValue::GetText(std::string* text, std::string* error,
                          const DateTimeFormats* formats) const {
  switch (GetKind()) {
    case Kind::Text:
      *text = *AsText();
      return true;
    case Kind::Integer:
      *text = std::to_string(*AsInteger());
      return true;
    case Kind::Boolean:
      *text = *AsBoolean() ? "TRUE" : "FALSE";
      return true;
    case Kind::Time: {
      const CBVKADTime& time = *AsTime();
      std::tm local{};
      local.tm_year = time.year - 1900;
      local.tm_mon = time.month - 1;
      local.tm_mday = time.day;
      local.tm_hour = time.hour;
      local.tm_min = time.minute;
      local.tm_sec = time.second;
      local.tm_isdst = -1;
      // timegm only normalises the fields (weekday, day of year) that the date formats may show.
      std::tm normalised = local;
      if (timegm(&normalised) == static_cast<std::time_t>(-1) && time.year != 1969) {
        *error = "The time value cannot be represented.";
        return false;
      }
      normalised.tm_isdst = -1;
      *text = formats ? formats->FormatDateTime(normalised) : FormatDateTime(normalised);
      return true;
    }
  }
  *error = "The value has no text form.";
  return false;
}

}  // namespace tessary
