#pragma once
// The text forms of the directory's binary identifiers: security identifiers ("S-1-5-21-...",
// as objectSid and sIDHistory hold them) and object GUIDs ("{00112233-4455-...}").

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessary {

// The S-R-I-S... text of a binary SID, or nothing when the bytes are not a well-formed SID.
std::optional<std::string> SidToText(const std::vector<std::uint8_t>& sid);

// The binary SID of its text form, or nothing when the text is not a valid SID string.
std::optional<std::vector<std::uint8_t>> TextToSid(const std::string& text);

// "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" of 16 GUID bytes in storage order, or nothing when
// there are not exactly 16 bytes.
std::optional<std::string> GuidBytesToText(const std::vector<std::uint8_t>& guid);

// The system error code a failed conversion stands for (ERROR_INVALID_SID).
inline constexpr std::uint32_t kErrorInvalidSid = 1337;

}  // namespace tessary
