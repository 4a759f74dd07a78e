#pragma once
// Text files as spreadsheets save them: UTF-8 with or without a byte-order mark, UTF-16 with a
// byte-order mark, or the Windows-1252 code page, all turned into UTF-8, the program's one text
// form. Character counts of UTF-8 text for the rules that limit lengths.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tessary {

enum class TextEncoding {
  kUtf8,
  kUtf8ByteOrderMark,
  kUtf16LittleEndian,
  kUtf16BigEndian,
  kWindows1252,
};

// The encoding's name as the operations log writes it, such as "UTF-16 (little-endian)".
std::string_view TextEncodingName(TextEncoding encoding);

// The bytes as UTF-8, without their byte-order mark: a byte-order mark decides the encoding;
// without one, bytes that are valid UTF-8 are UTF-8 and any others Windows-1252. The result is
// always valid UTF-8 (UTF-16 that cannot be decoded gives U+FFFD). UTF-8 keeps its buffer, so a
// large file is not held twice. Never fails.
std::string DecodeText(std::string bytes, TextEncoding* encoding);

// UTF-16 that starts with its byte-order mark, as UTF-8 without the mark; nothing when it has no
// mark or a unit cannot be decoded, for readers that must refuse damaged text rather than guess.
std::optional<std::string> DecodeMarkedUtf16(std::string_view bytes);

// The number of characters (code points) of UTF-8 text; each byte that does not continue a
// character counts as one.
std::size_t Utf8CharacterCount(std::string_view utf8);

}  // namespace tessary
