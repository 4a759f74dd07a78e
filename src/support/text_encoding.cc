#include "support/text_encoding.h"

#include <array>
#include <cstdint>

#include "support/unicode_fold.h"

namespace tessary {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigEndianMark = "\xFE\xFF";
constexpr char32_t kReplacement = 0xFFFD;

// Windows-1252 where it differs from Latin-1: 0x80 to 0x9F. The five bytes the code page leaves
// unassigned map to the control characters of the same number, as Windows maps them.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(char32_t code, std::string* out) {
  if (code < 0x80) {
    out->push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (code >> 6)));
    out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (code >> 12)));
    out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (code >> 18)));
    out->push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

std::string FromWindows1252(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 4);
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      out.push_back(c);
    } else if (byte < 0xA0) {
      AppendUtf8(kWindows1252High[byte - 0x80], &out);
    } else {
      AppendUtf8(byte, &out);
    }
  }
  return out;
}

// Units that cannot be decoded (a lone surrogate, half a unit at the end) give U+FFFD and clear
// *intact.
std::string FromUtf16(std::string_view bytes, bool big_endian, bool* intact) {
  *intact = true;
  std::string out;
  out.reserve(bytes.size());
  auto unit_at = [&](std::size_t i) -> char16_t {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    return static_cast<char16_t>(big_endian ? (first << 8) | second : (second << 8) | first);
  };
  std::size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2) {
    const char16_t unit = unit_at(i);
    if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
      const char16_t low = unit_at(i + 2);
      if (low >= 0xDC00 && low < 0xE000) {
        AppendUtf8(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00), &out);
        i += 2;
        continue;
      }
    }
    const bool surrogate = unit >= 0xD800 && unit < 0xE000;
    if (surrogate) *intact = false;
    AppendUtf8(surrogate ? kReplacement : unit, &out);
  }
  if (i < bytes.size()) {
    *intact = false;
    AppendUtf8(kReplacement, &out);
  }
  return out;
}

}  // namespace

std::string_view TextEncodingName(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kUtf8:
      return "UTF-8";
    case TextEncoding::kUtf8ByteOrderMark:
      return "UTF-8 (with byte-order mark)";
    case TextEncoding::kUtf16LittleEndian:
      return "UTF-16 (little-endian)";
    case TextEncoding::kUtf16BigEndian:
      return "UTF-16 (big-endian)";
    case TextEncoding::kWindows1252:
      return "Windows-1252";
  }
  return "UTF-8";
}

std::string DecodeText(std::string bytes, TextEncoding* encoding) {
  const std::string_view view(bytes);
  if (view.starts_with(kUtf8Mark)) {
    *encoding = TextEncoding::kUtf8ByteOrderMark;
    // A marked file with bytes that are not UTF-8 after all is still readable as the code page.
    if (!IsValidUtf8(view.substr(kUtf8Mark.size()))) {
      *encoding = TextEncoding::kWindows1252;
      return FromWindows1252(view.substr(kUtf8Mark.size()));
    }
    bytes.erase(0, kUtf8Mark.size());
    return bytes;
  }
  if (view.starts_with(kUtf16LittleEndianMark)) {
    *encoding = TextEncoding::kUtf16LittleEndian;
    bool intact = true;
    return FromUtf16(view.substr(kUtf16LittleEndianMark.size()), false, &intact);
  }
  if (view.starts_with(kUtf16BigEndianMark)) {
    *encoding = TextEncoding::kUtf16BigEndian;
    bool intact = true;
    return FromUtf16(view.substr(kUtf16BigEndianMark.size()), true, &intact);
  }
  if (IsValidUtf8(view)) {
    *encoding = TextEncoding::kUtf8;
    return bytes;
  }
  *encoding = TextEncoding::kWindows1252;
  return FromWindows1252(view);
}

std::size_t Utf8CharacterCount(std::string_view utf8) {
  std::size_t count = 0;
  for (char c : utf8) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}

std::optional<std::string> DecodeMarkedUtf16(std::string_view bytes) {
  const bool little = bytes.starts_with(kUtf16LittleEndianMark);
  if (!little && !bytes.starts_with(kUtf16BigEndianMark)) return std::nullopt;
  bool intact = true;
  std::string text = FromUtf16(bytes.substr(kUtf16LittleEndianMark.size()), !little, &intact);
  if (!intact) return std::nullopt;
  return text;
}

}  // namespace tessary
