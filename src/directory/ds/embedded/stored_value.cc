#include "directory/ds/embedded/stored_value.h"

#include <algorithm>

namespace tessary::ds::embedded {
namespace {

// Record layout: per attribute: varint number, varint byte length of its values, then per value
// a tag byte and its payload (zigzag varint for integers and links, varint length + bytes for
// texts and byte strings). The byte length lets a reader skip attributes it does not want.
enum Tag : std::uint8_t { kInteger = 1, kText = 2, kBytes = 3, kLink = 4 };

void PutVarint(std::uint64_t value, std::vector<std::uint8_t>* out) {
  while (value >= 0x80) {
    out->push_back(static_cast<std::uint8_t>(value | 0x80));
    value >>= 7;
  }
  out->push_back(static_cast<std::uint8_t>(value));
}

std::uint64_t ZigZag(std::int64_t value) {
  return (static_cast<std::uint64_t>(value) << 1) ^ static_cast<std::uint64_t>(value >> 63);
}

std::int64_t UnZigZag(std::uint64_t value) {
  return static_cast<std::int64_t>(value >> 1) ^ -static_cast<std::int64_t>(value & 1);
}

class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  bool done() const { return position_ >= bytes_.size(); }
  std::size_t position() const { return position_; }
  bool Varint(std::uint64_t* value) {
    *value = 0;
    for (int shift = 0; shift < 64; shift += 7) {
      if (position_ >= bytes_.size()) return false;
      std::uint8_t byte = bytes_[position_++];
      *value |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
      if ((byte & 0x80) == 0) return true;
    }
    return false;
  }
  bool Bytes(std::size_t length, std::span<const std::uint8_t>* out) {
    if (bytes_.size() - position_ < length) return false;
    *out = bytes_.subspan(position_, length);
    position_ += length;
    return true;
  }
  bool Skip(std::size_t length) {
    if (bytes_.size() - position_ < length) return false;
    position_ += length;
    return true;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t position_ = 0;
};

void EncodeValue(const Stored& value, std::vector<std::uint8_t>* out) {
  if (const auto* integer = std::get_if<std::int64_t>(&value)) {
    out->push_back(kInteger);
    PutVarint(ZigZag(*integer), out);
  } else if (const auto* text = std::get_if<std::string>(&value)) {
    out->push_back(kText);
    PutVarint(text->size(), out);
    out->insert(out->end(), text->begin(), text->end());
  } else if (const auto* bytes = std::get_if<ds::Bytes>(&value)) {
    out->push_back(kBytes);
    PutVarint(bytes->size(), out);
    out->insert(out->end(), bytes->begin(), bytes->end());
  } else {
    out->push_back(kLink);
    PutVarint(ZigZag(std::get<Link>(value).id), out);
  }
}

bool DecodeValues(std::span<const std::uint8_t> payload, std::vector<Stored>* values) {
  Reader reader(payload);
  while (!reader.done()) {
    std::span<const std::uint8_t> tag;
    if (!reader.Bytes(1, &tag)) return false;
    std::uint64_t number = 0;
    if (!reader.Varint(&number)) return false;
    switch (tag[0]) {
      case kInteger:
        values->emplace_back(UnZigZag(number));
        break;
      case kLink:
        values->emplace_back(Link{UnZigZag(number)});
        break;
      case kText:
      case kBytes: {
        std::span<const std::uint8_t> data;
        if (!reader.Bytes(number, &data)) return false;
        if (tag[0] == kText) {
          values->emplace_back(std::string(data.begin(), data.end()));
        } else {
          values->emplace_back(ds::Bytes(data.begin(), data.end()));
        }
        break;
      }
      default:
        return false;
    }
  }
  return true;
}

}  // namespace

const std::vector<Stored>* StoredAttributes::Find(int attribute) const {
  for (const StoredAttribute& entry : entries_) {
    if (entry.attribute == attribute) return &entry.values;
  }
  return nullptr;
}

std::vector<Stored>* StoredAttributes::FindMutable(int attribute) {
  for (StoredAttribute& entry : entries_) {
    if (entry.attribute == attribute) return &entry.values;
  }
  return nullptr;
}

void StoredAttributes::Set(int attribute, std::vector<Stored> values) {
  auto found = std::find_if(entries_.begin(), entries_.end(),
                            [&](const StoredAttribute& e) { return e.attribute == attribute; });
  if (values.empty()) {
    if (found != entries_.end()) entries_.erase(found);
    return;
  }
  if (found != entries_.end()) {
    found->values = std::move(values);
  } else {
    entries_.push_back({attribute, std::move(values)});
  }
}

std::vector<std::uint8_t> EncodeAttributes(const StoredAttributes& attributes) {
  std::vector<std::uint8_t> out;
  std::vector<std::uint8_t> payload;
  for (const StoredAttribute& entry : attributes.entries()) {
    payload.clear();
    for (const Stored& value : entry.values) EncodeValue(value, &payload);
    PutVarint(static_cast<std::uint64_t>(entry.attribute), &out);
    PutVarint(payload.size(), &out);
    out.insert(out.end(), payload.begin(), payload.end());
  }
  return out;
}

bool DecodeAttributes(std::span<const std::uint8_t> record, StoredAttributes* attributes) {
  return detail::DecodeRecord(
      record, nullptr, [](const void*, int) { return true; }, attributes);
}

namespace detail {

bool DecodeRecord(std::span<const std::uint8_t> record, const void* context,
                  bool (*wanted)(const void*, int), StoredAttributes* attributes) {
  *attributes = StoredAttributes();
  Reader reader(record);
  while (!reader.done()) {
    std::uint64_t attribute = 0;
    std::uint64_t length = 0;
    if (!reader.Varint(&attribute) || !reader.Varint(&length)) return false;
    if (!wanted(context, static_cast<int>(attribute))) {
      if (!reader.Skip(length)) return false;
      continue;
    }
    std::span<const std::uint8_t> payload;
    if (!reader.Bytes(length, &payload)) return false;
    std::vector<Stored> values;
    if (!DecodeValues(payload, &values)) return false;
    attributes->Set(static_cast<int>(attribute), std::move(values));
  }
  return true;
}

}  // namespace detail

}  // namespace tessary::ds::embedded
