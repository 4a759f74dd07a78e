// libFuzzer target for the embedded directory's search filter parser: a filter it accepts, written
// back in the RFC 4515 form with every special byte escaped, must parse to the same tree.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "directory/ds/embedded/filter.h"

namespace {

using tessary::ds::embedded::FilterNode;
using Kind = FilterNode::Kind;

std::string Escaped(const std::string& value) {
  std::string out;
  for (char c : value) {
    if (c == '*' || c == '(' || c == ')' || c == '\\' || c == '\0') {
      char hex[4];
      std::snprintf(hex, sizeof hex, "\\%02x", static_cast<unsigned char>(c));
      out += hex;
    } else {
      out += c;
    }
  }
  return out;
}

std::string Format(const FilterNode& node) {
  std::string out = "(";
  switch (node.kind) {
    case Kind::kAnd:
    case Kind::kOr:
    case Kind::kNot:
      out += node.kind == Kind::kAnd ? "&" : node.kind == Kind::kOr ? "|" : "!";
      for (const FilterNode& child : node.children) out += Format(child);
      break;
    case Kind::kEquality:
      out += node.attribute + "=" + Escaped(node.value);
      break;
    case Kind::kPresent:
      out += node.attribute + "=*";
      break;
    case Kind::kSubstrings:
      out += node.attribute + "=" + Escaped(node.initial) + "*";
      // Nothing at all between the stars would read back as a presence test.
      if (node.initial.empty() && node.any.empty() && node.final.empty()) out += "*";
      for (const std::string& part : node.any) out += Escaped(part) + "*";
      out += Escaped(node.final);
      break;
    case Kind::kGreaterOrEqual:
      out += node.attribute + ">=" + Escaped(node.value);
      break;
    case Kind::kLessOrEqual:
      out += node.attribute + "<=" + Escaped(node.value);
      break;
    case Kind::kApproximate:
      out += node.attribute + "~=" + Escaped(node.value);
      break;
    case Kind::kExtensible:
      out += node.attribute + ":" + node.matching_rule + ":=" + Escaped(node.value);
      break;
  }
  return out + ")";
}

bool Same(const FilterNode& a, const FilterNode& b) {
  if (a.kind != b.kind || a.attribute != b.attribute || a.value != b.value ||
      a.initial != b.initial || a.final != b.final || a.any != b.any ||
      a.matching_rule != b.matching_rule || a.children.size() != b.children.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.children.size(); ++i) {
    if (!Same(a.children[i], b.children[i])) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  FilterNode first;
  std::string error;
  if (!tessary::ds::embedded::ParseFilter(text, &first, &error)) {
    if (error.empty()) std::abort();  // a refusal always says why
    return 0;
  }
  FilterNode second;
  if (!tessary::ds::embedded::ParseFilter(Format(first), &second, &error)) std::abort();
  if (!Same(first, second)) std::abort();
  return 0;
}
