#include "attribute_syntaxes.h"

#include <cctype>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>

#include "directory/ds/ads_path.h"
#include "directory/ds/dn.h"
#include "failure_text.h"

namespace tessary::tools {
namespace {

bool ParseInt64(const std::string& text, std::int64_t* out) {
  if (text.empty()) return false;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *out);
  return ec == std::errc() && end == text.data() + text.size();
}

// Generalized time "YYYYMMDDHHMMSS[.f]Z" or, for the UTC time syntax, "YYMMDDHHMMSSZ".
bool ParseTime(const std::string& text, bool two_digit_year, ds::UtcTime* out) {
  const size_t year_digits = two_digit_year ? 2 : 4;
  const size_t digits = year_digits + 10;
  if (text.size() < digits + 1 || text.back() != 'Z') return false;
  for (size_t i = 0; i < digits; ++i)
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
  const std::string rest = text.substr(digits, text.size() - digits - 1);
  if (!rest.empty()) {
    if (two_digit_year || rest[0] != '.' || rest.size() < 2) return false;
    for (size_t i = 1; i < rest.size(); ++i)
      if (!std::isdigit(static_cast<unsigned char>(rest[i]))) return false;
  }
  auto number = [&](size_t pos, size_t count) { return std::stoi(text.substr(pos, count)); };
  int year = number(0, year_digits);
  if (two_digit_year) year += year < 50 ? 2000 : 1900;
  const std::chrono::year_month_day date{std::chrono::year(year),
                                         std::chrono::month(number(year_digits, 2)),
                                         std::chrono::day(number(year_digits + 2, 2))};
  const int hour = number(year_digits + 4, 2), minute = number(year_digits + 6, 2),
            second = number(year_digits + 8, 2);
  if (!date.ok() || hour > 23 || minute > 59 || second > 59) return false;
  *out = std::chrono::sys_days(date) + std::chrono::hours(hour) + std::chrono::minutes(minute) +
         std::chrono::seconds(second);
  return true;
}

std::string FormatTime(ds::UtcTime time) {
  const auto days = std::chrono::floor<std::chrono::days>(time);
  const std::chrono::year_month_day date(days);
  const std::chrono::hh_mm_ss clock(time - days);
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04d%02u%02u%02d%02d%02d.0Z", int(date.year()),
                unsigned(date.month()), unsigned(date.day()), int(clock.hours().count()),
                int(clock.minutes().count()), int(clock.seconds().count()));
  return buffer;
}

}  // namespace

void AttributeSyntaxes::Add(const std::string& name, AttributeSyntax syntax) {
  by_name_[ds::AsciiLower(name)] = std::move(syntax);
}

const AttributeSyntax* AttributeSyntaxes::Find(const std::string& name) const {
  auto it = by_name_.find(ds::AsciiLower(name));
  return it == by_name_.end() ? nullptr : &it->second;
}

bool AttributeSyntaxes::Load(ds::Directory& directory, std::string* error) {
  std::unique_ptr<ds::Object> root_dse;
  ds::Value schema_nc;
  HRESULT hr = directory.Bind("LDAP://RootDSE", &root_dse);
  if (Succeeded(hr)) hr = root_dse->Get("schemaNamingContext", &schema_nc);
  if (Succeeded(hr) && !schema_nc.string()) hr = E_ADS_PROPERTY_NOT_FOUND;
  if (Failed(hr)) {
    *error = FailureText("Could not read the schema naming context of the directory.", hr);
    return false;
  }
  std::unique_ptr<ds::Object> schema;
  std::unique_ptr<ds::SearchCursor> cursor;
  ds::SearchRequest request;
  request.filter = "(objectClass=attributeSchema)";
  request.columns = {"lDAPDisplayName", "oMSyntax", "attributeSyntax",
                     "systemOnly",      "linkID",   "systemFlags"};
  request.scope = ds::SearchScope::kOneLevel;
  request.page_size = 1000;
  hr = directory.Bind(ds::AdsPathOfDn(*schema_nc.string()), &schema);
  if (Succeeded(hr)) hr = schema->ExecuteSearch(request, &cursor);
  if (Succeeded(hr)) hr = cursor->GetFirstRow();
  for (; hr == S_OK; hr = cursor->GetNextRow()) {
    ds::Attribute column;
    const auto text = [&](const char* name) -> std::string {
      if (Failed(cursor->GetColumn(name, &column)) || column.values.empty()) return "";
      const std::string* s = column.values[0].string();
      return s ? *s : "";
    };
    const auto integer = [&](const char* name) -> int {
      if (Failed(cursor->GetColumn(name, &column)) || column.values.empty()) return 0;
      const std::int32_t* i = column.values[0].integer();
      return i ? *i : 0;
    };
    const std::string name = text("lDAPDisplayName");
    if (name.empty()) continue;
    AttributeSyntax syntax;
    syntax.om_syntax = integer("oMSyntax");
    syntax.attribute_syntax = text("attributeSyntax");
    syntax.link_id = integer("linkID");
    syntax.system_flags = integer("systemFlags");
    if (Succeeded(cursor->GetColumn("systemOnly", &column)) && !column.values.empty() &&
        column.values[0].boolean())
      syntax.system_only = *column.values[0].boolean();
    Add(name, std::move(syntax));
  }
  if (Failed(hr)) {
    *error = FailureText("Could not read the attributes of the directory's schema.", hr);
    return false;
  }
  return true;
}

bool ValueFromLdif(const AttributeSyntax* syntax, const std::string& text, ds::Value* value,
                   std::string* reason) {
  const int om = syntax ? syntax->om_syntax : 64;
  std::int64_t number = 0;
  switch (om) {
    case 1:
      if (text != "TRUE" && text != "FALSE") {
        *reason = "'" + text + "' is not TRUE or FALSE";
        return false;
      }
      *value = ds::Value::Boolean(text == "TRUE");
      return true;
    case 2:
    case 10:
      // AD also shows 32-bit flags unsigned (groupType 2147483650); both forms are accepted.
      if (!ParseInt64(text, &number) || number < INT32_MIN || number > UINT32_MAX) {
        *reason = "'" + text + "' is not a 32-bit integer";
        return false;
      }
      *value = ds::Value::Integer(static_cast<std::int32_t>(static_cast<std::uint32_t>(number)));
      return true;
    case 65:
      if (!ParseInt64(text, &number)) {
        *reason = "'" + text + "' is not a large integer";
        return false;
      }
      *value = ds::Value::LargeInteger(number);
      return true;
    case 4:
    case 66:
      *value = ds::Value::Octets(ds::Bytes(text.begin(), text.end()));
      return true;
    case 23:
    case 24: {
      ds::UtcTime time;
      if (!ParseTime(text, om == 23, &time)) {
        *reason = "'" + text + "' is not a " + (om == 23 ? "UTC" : "generalized") + " time";
        return false;
      }
      *value = ds::Value::Time(time);
      return true;
    }
    case 127:
      *value = ds::Value::String(text, syntax->attribute_syntax == "2.5.5.1"
                                           ? ds::ADSTYPE_DN_STRING
                                           : ds::ADSTYPE_CASE_IGNORE_STRING);
      return true;
    default:
      *value = ds::Value::String(text);
      return true;
  }
}

std::string LdifFromValue(const ds::Value& value) {
  if (const bool* b = value.boolean()) return *b ? "TRUE" : "FALSE";
  if (const std::int32_t* i = value.integer()) return std::to_string(*i);
  if (const std::string* s = value.string()) return *s;
  if (const ds::UtcTime* t = value.time()) return FormatTime(*t);
  if (const std::int64_t* l = value.large_integer()) return std::to_string(*l);
  if (const ds::Bytes* bytes = value.octets()) return std::string(bytes->begin(), bytes->end());
  return "";
}

}  // namespace tessary::tools
