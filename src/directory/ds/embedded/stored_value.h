#pragma once
// How an object's attributes are kept in its row: one compact record of (attribute number,
// values) pairs. A value is an integer (integers, booleans, times, large integers), a text, a
// byte string, or a link to another object (DN-valued attributes), so renames never leave stale
// names behind.

#include <cstdint>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "directory/ds/value.h"

namespace tessary::ds::embedded {

struct Link {
  std::int64_t id = 0;
  friend bool operator==(const Link&, const Link&) = default;
};

using Stored = std::variant<std::int64_t, std::string, Bytes, Link>;

struct StoredAttribute {
  int attribute = 0;  // the number of the attribute's name in the store
  std::vector<Stored> values;
};

class StoredAttributes {
 public:
  const std::vector<StoredAttribute>& entries() const { return entries_; }
  // The values of one attribute, or null.
  const std::vector<Stored>* Find(int attribute) const;
  std::vector<Stored>* FindMutable(int attribute);
  // Replaces the values (an empty list removes the attribute).
  void Set(int attribute, std::vector<Stored> values);

 private:
  std::vector<StoredAttribute> entries_;
};

std::vector<std::uint8_t> EncodeAttributes(const StoredAttributes& attributes);
// Fails on a truncated or malformed record.
[[nodiscard]] bool DecodeAttributes(std::span<const std::uint8_t> record,
                                    StoredAttributes* attributes);
// Decodes only the attributes for which wanted(attribute) is true.
template <typename Wanted>
[[nodiscard]] bool DecodeSomeAttributes(std::span<const std::uint8_t> record, const Wanted& wanted,
                                        StoredAttributes* attributes);

namespace detail {
[[nodiscard]] bool DecodeRecord(std::span<const std::uint8_t> record, const void* context,
                                bool (*wanted)(const void*, int), StoredAttributes* attributes);
}

template <typename Wanted>
bool DecodeSomeAttributes(std::span<const std::uint8_t> record, const Wanted& wanted,
                          StoredAttributes* attributes) {
  return detail::DecodeRecord(
      record, &wanted,
      [](const void* context, int attribute) {
        return (*static_cast<const Wanted*>(context))(attribute);
      },
      attributes);
}

}  // namespace tessary::ds::embedded
