#pragma once
// Binary security identifiers as the embedded directory makes them: a domain SID
// (S-1-5-21-a-b-c) and account SIDs of domain SID + RID, and their text forms.

#include <cstdint>
#include <optional>
#include <string>

#include "directory/ds/value.h"

namespace tessary::ds::embedded {

// A new random domain SID S-1-5-21-x-y-z.
Bytes NewDomainSid();
// domain_sid with rid appended as one more sub-authority.
Bytes AccountSid(const Bytes& domain_sid, std::uint32_t rid);
// "S-1-5-21-..." of a binary SID; nothing for malformed bytes.
std::optional<std::string> SidText(const Bytes& sid);
// The binary form of "S-1-..." text; nothing when the text is not a SID.
std::optional<Bytes> SidFromText(const std::string& text);
// True when bytes are a well-formed binary SID.
bool IsValidSid(const Bytes& sid);

// 16 random bytes for an objectGUID (RFC 4122 version 4).
Bytes NewGuid();

}  // namespace tessary::ds::embedded
