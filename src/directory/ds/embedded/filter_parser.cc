#include <cctype>

#include "directory/ds/embedded/filter.h"

namespace tessary::ds::embedded {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Resolves \XX escapes; a backslash before any other character keeps that character.
std::string Unescape(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 >= text.size()) {
      out.push_back(text[i]);
      continue;
    }
    int high = HexValue(text[i + 1]);
    int low = i + 2 < text.size() ? HexValue(text[i + 2]) : -1;
    if (high >= 0 && low >= 0) {
      out.push_back(static_cast<char>(high * 16 + low));
      i += 2;
    } else {
      out.push_back(text[i + 1]);
      i += 1;
    }
  }
  return out;
}

bool ValidAttribute(std::string_view name) {
  if (name.empty()) return false;
  for (char c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != ';' && c != '.' &&
        c != '_') {
      return false;
    }
  }
  return true;
}

// Splits value at unescaped '*'; true when there was at least one.
bool SplitStars(std::string_view value, std::vector<std::string_view>* parts) {
  parts->clear();
  std::size_t start = 0;
  bool star = false;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\') {
      ++i;
      continue;
    }
    if (value[i] == '*') {
      parts->push_back(value.substr(start, i - start));
      start = i + 1;
      star = true;
    }
  }
  parts->push_back(value.substr(start));
  return star;
}

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  bool Parse(FilterNode* node, std::string* error) {
    if (!Filter(node, error)) return false;
    SkipSpaces();
    if (position_ != text_.size()) {
      *error = "unexpected text after the end of the filter";
      return false;
    }
    return true;
  }

 private:
  void SkipSpaces() {
    while (position_ < text_.size() && text_[position_] == ' ') ++position_;
  }

  bool Filter(FilterNode* node, std::string* error) {
    // Each level is a call here and in the compiler: a limit keeps hostile input off the stack.
    if (++depth_ > kMaxDepth) {
      *error = "the filter nests more than " + std::to_string(kMaxDepth) + " levels deep";
      return false;
    }
    bool ok = FilterBody(node, error);
    --depth_;
    return ok;
  }

  bool FilterBody(FilterNode* node, std::string* error) {
    SkipSpaces();
    if (position_ >= text_.size() || text_[position_] != '(') {
      *error = "a '(' is missing";
      return false;
    }
    ++position_;
    SkipSpaces();
    if (position_ >= text_.size()) {
      *error = "the filter ends early";
      return false;
    }
    char c = text_[position_];
    if (c == '&' || c == '|' || c == '!') {
      ++position_;
      node->kind = c == '&'   ? FilterNode::Kind::kAnd
                   : c == '|' ? FilterNode::Kind::kOr
                              : FilterNode::Kind::kNot;
      while (true) {
        SkipSpaces();
        if (position_ >= text_.size()) {
          *error = "a ')' is missing";
          return false;
        }
        if (text_[position_] == ')') break;
        FilterNode child;
        if (!Filter(&child, error)) return false;
        node->children.push_back(std::move(child));
      }
      if (node->kind == FilterNode::Kind::kNot && node->children.size() != 1) {
        *error = "'!' takes exactly one filter";
        return false;
      }
      ++position_;
      return true;
    }
    std::size_t end = position_;
    while (end < text_.size() && text_[end] != ')') {
      if (text_[end] == '(') {
        *error = "a '(' inside a value must be escaped";
        return false;
      }
      if (text_[end] == '\\') ++end;
      ++end;
    }
    if (end >= text_.size()) {
      *error = "a ')' is missing";
      return false;
    }
    if (!Item(text_.substr(position_, end - position_), node, error)) return false;
    position_ = end + 1;
    return true;
  }

  bool Item(std::string_view item, FilterNode* node, std::string* error) {
    std::size_t equals = item.find('=');
    if (equals == std::string_view::npos || equals == 0) {
      *error = "the item '" + std::string(item) + "' has no attribute and value";
      return false;
    }
    std::string_view left = item.substr(0, equals);
    std::string_view value = item.substr(equals + 1);
    char before = left.back();
    if (before == '~' || before == '>' || before == '<') {
      node->kind = before == '~'   ? FilterNode::Kind::kApproximate
                   : before == '>' ? FilterNode::Kind::kGreaterOrEqual
                                   : FilterNode::Kind::kLessOrEqual;
      left.remove_suffix(1);
    } else if (before == ':') {
      node->kind = FilterNode::Kind::kExtensible;
      left.remove_suffix(1);
      std::vector<std::string_view> parts;
      std::size_t start = 0;
      for (std::size_t i = 0; i <= left.size(); ++i) {
        if (i == left.size() || left[i] == ':') {
          parts.push_back(left.substr(start, i - start));
          start = i + 1;
        }
      }
      node->attribute = std::string(parts[0]);
      for (std::size_t i = 1; i < parts.size(); ++i) {
        if (parts[i] == "dn" || parts[i] == "DN") continue;
        node->matching_rule = std::string(parts[i]);
      }
      if (node->matching_rule.empty() || !ValidAttribute(node->attribute)) {
        *error = "the extensible item '" + std::string(item) + "' needs an attribute and a rule";
        return false;
      }
      node->value = Unescape(value);
      return true;
    } else {
      node->kind = FilterNode::Kind::kEquality;
    }
    if (!ValidAttribute(left)) {
      *error = "'" + std::string(left) + "' is not an attribute name";
      return false;
    }
    node->attribute = std::string(left);
    if (node->kind != FilterNode::Kind::kEquality) {
      node->value = Unescape(value);
      return true;
    }
    if (value == "*") {
      node->kind = FilterNode::Kind::kPresent;
      return true;
    }
    std::vector<std::string_view> parts;
    if (!SplitStars(value, &parts)) {
      node->value = Unescape(value);
      return true;
    }
    node->kind = FilterNode::Kind::kSubstrings;
    node->initial = Unescape(parts.front());
    node->final = Unescape(parts.back());
    for (std::size_t i = 1; i + 1 < parts.size(); ++i) {
      if (!parts[i].empty()) node->any.push_back(Unescape(parts[i]));
    }
    return true;
  }

  static constexpr int kMaxDepth = 100;

  std::string_view text_;
  std::size_t position_ = 0;
  int depth_ = 0;
};

}  // namespace

bool ParseFilter(std::string_view text, FilterNode* filter, std::string* error) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  std::string wrapped;
  if (text.empty()) {
    text = "(objectClass=*)";
  } else if (text.front() != '(') {
    wrapped = "(" + std::string(text) + ")";
    text = wrapped;
  }
  *filter = FilterNode();
  return Parser(text).Parse(filter, error);
}

}  // namespace tessary::ds::embedded
