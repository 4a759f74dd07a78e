#include "directory/ds/ldif.h"

#include <cctype>
#include <fstream>
#include <istream>
#include <ostream>
#include <sstream>

namespace tessary::ds {
namespace {

constexpr size_t kFoldWidth = 76;
constexpr char kBase64Alphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string Base64Encode(std::string_view data) {
  std::string out;
  out.reserve((data.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 2 < data.size(); i += 3) {
    unsigned n = (static_cast<unsigned char>(data[i]) << 16) |
                 (static_cast<unsigned char>(data[i + 1]) << 8) |
                 static_cast<unsigned char>(data[i + 2]);
    out += kBase64Alphabet[(n >> 18) & 63];
    out += kBase64Alphabet[(n >> 12) & 63];
    out += kBase64Alphabet[(n >> 6) & 63];
    out += kBase64Alphabet[n & 63];
  }
  if (i < data.size()) {
    unsigned n = static_cast<unsigned char>(data[i]) << 16;
    if (i + 1 < data.size()) n |= static_cast<unsigned char>(data[i + 1]) << 8;
    out += kBase64Alphabet[(n >> 18) & 63];
    out += kBase64Alphabet[(n >> 12) & 63];
    out += i + 1 < data.size() ? kBase64Alphabet[(n >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

int Base64Digit(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

// Strict decoding: whole groups of four, padding only at the end.
bool Base64Decode(std::string_view text, std::string* out) {
  out->clear();
  if (text.size() % 4 != 0) return false;
  for (size_t i = 0; i < text.size(); i += 4) {
    const bool last = i + 4 == text.size();
    int pad = 0;
    unsigned n = 0;
    for (size_t j = 0; j < 4; ++j) {
      char c = text[i + j];
      if (c == '=' && last && j >= 2) {
        ++pad;
        n <<= 6;
        continue;
      }
      int digit = Base64Digit(c);
      if (digit < 0 || pad > 0) return false;
      n = (n << 6) | static_cast<unsigned>(digit);
    }
    out->push_back(static_cast<char>((n >> 16) & 0xFF));
    if (pad < 2) out->push_back(static_cast<char>((n >> 8) & 0xFF));
    if (pad < 1) out->push_back(static_cast<char>(n & 0xFF));
  }
  return true;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) { return Lower(a) == Lower(b); }

// AttributeDescription of RFC 4512: a name or numeric OID, then options after ';'.
bool ValidAttributeDescription(std::string_view name) {
  if (name.empty()) return false;
  std::string_view base = name.substr(0, name.find(';'));
  if (base.empty()) return false;
  if (std::isdigit(static_cast<unsigned char>(base[0]))) {
    bool dot_allowed = false;
    for (char c : base) {
      if (c == '.') {
        if (!dot_allowed) return false;
        dot_allowed = false;
      } else if (std::isdigit(static_cast<unsigned char>(c))) {
        dot_allowed = true;
      } else {
        return false;
      }
    }
    if (!dot_allowed) return false;
  } else {
    if (!std::isalpha(static_cast<unsigned char>(base[0]))) return false;
    for (char c : base)
      if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-') return false;
  }
  std::string_view options = name.substr(base.size());
  while (!options.empty()) {
    options.remove_prefix(1);  // ';'
    size_t end = options.find(';');
    std::string_view option = options.substr(0, end);
    if (option.empty()) return false;
    for (char c : option)
      if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-') return false;
    options = end == std::string_view::npos ? std::string_view() : options.substr(end);
  }
  return true;
}

// The "-" that ends a section of a modify record (trailing spaces tolerated).
bool IsSectionEnd(const std::string& text) {
  return !text.empty() && text[0] == '-' && text.find_first_not_of(' ', 1) == std::string::npos;
}

struct Field {
  int line = 0;
  std::string name;
  std::string value;
};

// One "name: value", "name:: base64" line; reason says why it is not one.
bool ParseField(int line, const std::string& text, Field* field, std::string* reason) {
  size_t colon = text.find(':');
  if (colon == std::string::npos) {
    *reason = "expected 'name: value'";
    return false;
  }
  field->line = line;
  field->name = text.substr(0, colon);
  if (!ValidAttributeDescription(field->name)) {
    *reason = "invalid attribute name '" + field->name + "'";
    return false;
  }
  std::string_view rest = std::string_view(text).substr(colon + 1);
  const bool base64 = !rest.empty() && rest[0] == ':';
  const bool url = !rest.empty() && rest[0] == '<';
  if (base64 || url) rest.remove_prefix(1);
  while (!rest.empty() && rest[0] == ' ') rest.remove_prefix(1);
  if (url) {
    *reason = "values read from a URL ('" + field->name + ":<') are not supported";
    return false;
  }
  if (!base64) {
    field->value = std::string(rest);
    return true;
  }
  std::string compact;
  for (char c : rest)
    if (c != ' ') compact += c;
  if (!Base64Decode(compact, &field->value)) {
    *reason = "the base64 value of '" + field->name + "' is not valid base64";
    return false;
  }
  return true;
}

bool ParseChangeType(std::string_view value, LdifChange* change) {
  const std::string type = Lower(value);
  if (type == "add")
    *change = LdifChange::kAdd;
  else if (type == "delete")
    *change = LdifChange::kDelete;
  else if (type == "modify")
    *change = LdifChange::kModify;
  else if (type == "modrdn" || type == "moddn")
    *change = LdifChange::kModRdn;
  else
    return false;
  return true;
}

void AddValue(std::vector<LdifAttribute>* attributes, Field field) {
  for (LdifAttribute& attribute : *attributes) {
    if (EqualsIgnoreCase(attribute.name, field.name)) {
      attribute.values.push_back(std::move(field.value));
      return;
    }
  }
  attributes->push_back({std::move(field.name), {std::move(field.value)}});
}

}  // namespace

LdifReader::LdifReader(std::istream& in) : in_(in) {}

bool LdifReader::NextPhysical(std::string* line) {
  if (lookahead_) {
    *line = std::move(*lookahead_);
    lookahead_.reset();
  } else {
    if (!std::getline(in_, *line)) return false;
    if (!line->empty() && line->back() == '\r') line->pop_back();
  }
  ++physical_number_;
  return true;
}

LdifReader::LineKind LdifReader::NextLogical(Line* line) {
  std::string text;
  while (true) {
    if (!NextPhysical(&text)) return LineKind::kEnd;
    if (text.find_first_not_of(' ') == std::string::npos) return LineKind::kBlank;
    const bool comment = text[0] == '#';
    if (!comment && text[0] == ' ') {
      Fail(physical_number_, "a continuation line must follow another line");
      return LineKind::kEnd;
    }
    line->number = physical_number_;
    line->text = std::move(text);
    // Folded parts: lines that begin with one space continue the line above, comments too.
    std::string next;
    while (NextPhysical(&next)) {
      if (next.empty() || next[0] != ' ') {
        lookahead_ = std::move(next);
        --physical_number_;
        break;
      }
      line->text.append(next, 1);
    }
    if (!comment) return LineKind::kText;
  }
}

bool LdifReader::Fail(int line, const std::string& reason) {
  failed_ = true;
  error_ = "Line " + std::to_string(line) + ": " + reason + ".";
  return false;
}

bool LdifReader::Next(LdifRecord* record) {
  if (failed_) return false;
  Line line;
  LineKind kind;
  while ((kind = NextLogical(&line)) == LineKind::kBlank) {
  }
  if (kind == LineKind::kEnd) return false;

  std::string reason;
  Field field;
  if (!started_) {
    started_ = true;
    if (Lower(line.text.substr(0, 8)) == "version:") {
      if (!ParseField(line.number, line.text, &field, &reason)) return Fail(line.number, reason);
      if (field.value != "1")
        return Fail(line.number, "unsupported LDIF version '" + field.value + "'");
      while ((kind = NextLogical(&line)) == LineKind::kBlank) {
      }
      if (kind == LineKind::kEnd) return false;
    }
  }

  // The record's lines, up to the blank line or the end.
  std::vector<Line> lines{line};
  while ((kind = NextLogical(&line)) == LineKind::kText) lines.push_back(line);
  if (failed_) return false;

  if (!ParseField(lines[0].number, lines[0].text, &field, &reason))
    return Fail(lines[0].number, reason);
  if (!EqualsIgnoreCase(field.name, "dn"))
    return Fail(lines[0].number, "a record must begin with 'dn:'");
  LdifRecord result;
  result.line = lines[0].number;
  result.dn = field.value;

  size_t next = 1;
  std::vector<Field> fields;
  if (next < lines.size()) {
    if (!ParseField(lines[next].number, lines[next].text, &field, &reason))
      return Fail(lines[next].number, reason);
    if (EqualsIgnoreCase(field.name, "control"))
      return Fail(field.line, "controls are not supported");
    if (EqualsIgnoreCase(field.name, "changetype")) {
      if (!ParseChangeType(field.value, &result.change))
        return Fail(field.line, "unknown changetype '" + field.value + "'");
      ++next;
    }
  }

  if (result.change == LdifChange::kModify) {
    // Sections "add: attr" / "delete: attr" / "replace: attr", values, then "-".
    while (next < lines.size()) {
      if (!ParseField(lines[next].number, lines[next].text, &field, &reason))
        return Fail(lines[next].number, reason);
      LdifModification modification;
      const std::string op = Lower(field.name);
      if (op == "add")
        modification.op = LdifModOp::kAdd;
      else if (op == "delete")
        modification.op = LdifModOp::kDelete;
      else if (op == "replace")
        modification.op = LdifModOp::kReplace;
      else
        return Fail(field.line, "expected 'add:', 'delete:' or 'replace:' in a modify record");
      if (!ValidAttributeDescription(field.value))
        return Fail(field.line, "invalid attribute name '" + field.value + "'");
      modification.attribute = field.value;
      ++next;
      while (next < lines.size() && !IsSectionEnd(lines[next].text)) {
        Field value;
        if (!ParseField(lines[next].number, lines[next].text, &value, &reason))
          return Fail(lines[next].number, reason);
        if (!EqualsIgnoreCase(value.name, modification.attribute))
          return Fail(value.line, "the section for '" + modification.attribute +
                                      "' holds a value of '" + value.name + "'");
        modification.values.push_back(std::move(value.value));
        ++next;
      }
      if (next < lines.size()) ++next;  // the "-"; the last one may be left out
      result.modifications.push_back(std::move(modification));
    }
    if (result.modifications.empty())
      return Fail(result.line, "the modify record for '" + result.dn + "' changes nothing");
  } else {
    for (; next < lines.size(); ++next) {
      if (!ParseField(lines[next].number, lines[next].text, &field, &reason))
        return Fail(lines[next].number, reason);
      fields.push_back(std::move(field));
    }
  }

  switch (result.change) {
    case LdifChange::kContent:
    case LdifChange::kAdd:
      if (fields.empty())
        return Fail(result.line, "the record for '" + result.dn + "' has no attributes");
      for (Field& f : fields) AddValue(&result.attributes, std::move(f));
      break;
    case LdifChange::kDelete:
      if (!fields.empty()) return Fail(fields[0].line, "a delete record takes no further lines");
      break;
    case LdifChange::kModRdn: {
      bool have_rdn = false, have_delete = false;
      for (Field& f : fields) {
        const std::string name = Lower(f.name);
        if (name == "newrdn") {
          result.new_rdn = f.value;
          have_rdn = true;
        } else if (name == "deleteoldrdn") {
          if (f.value != "0" && f.value != "1") return Fail(f.line, "deleteoldrdn must be 0 or 1");
          result.delete_old_rdn = f.value == "1";
          have_delete = true;
        } else if (name == "newsuperior") {
          result.new_superior = f.value;
        } else {
          return Fail(f.line, "unexpected '" + f.name + "' in a modrdn record");
        }
      }
      if (!have_rdn) return Fail(result.line, "the modrdn record has no newrdn");
      if (!have_delete) return Fail(result.line, "the modrdn record has no deleteoldrdn");
      break;
    }
    case LdifChange::kModify:
      break;
  }
  *record = std::move(result);
  return true;
}

bool ParseLdif(std::string_view text, std::vector<LdifRecord>* records, std::string* error) {
  std::istringstream in{std::string(text)};
  LdifReader reader(in);
  std::vector<LdifRecord> result;
  LdifRecord record;
  while (reader.Next(&record)) result.push_back(std::move(record));
  if (!reader.error().empty()) {
    *error = reader.error();
    return false;
  }
  *records = std::move(result);
  return true;
}

bool ReadLdifFile(const std::string& path, std::vector<LdifRecord>* records, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = "Could not open the file '" + path + "'.";
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  return ParseLdif(text.str(), records, error);
}

bool LdifNeedsBase64(std::string_view value) {
  if (value.empty()) return false;
  if (value.front() == ' ' || value.front() == ':' || value.front() == '<' || value.back() == ' ')
    return true;
  for (char c : value) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == 0 || byte == '\n' || byte == '\r' || byte >= 0x80) return true;
  }
  return false;
}

bool LdifWriter::ok() const { return static_cast<bool>(out_); }

void LdifWriter::WriteVersion() { out_ << "version: 1\n\n"; }

void LdifWriter::WriteLine(const std::string& line) {
  if (line.size() <= kFoldWidth) {
    out_ << line << '\n';
    return;
  }
  out_ << std::string_view(line).substr(0, kFoldWidth) << '\n';
  for (size_t pos = kFoldWidth; pos < line.size(); pos += kFoldWidth - 1)
    out_ << ' ' << std::string_view(line).substr(pos, kFoldWidth - 1) << '\n';
}

void LdifWriter::WriteValue(std::string_view name, std::string_view value) {
  std::string line(name);
  if (LdifNeedsBase64(value)) {
    line += ":: ";
    line += Base64Encode(value);
  } else {
    line += ": ";
    line += value;
  }
  WriteLine(line);
}

void LdifWriter::Write(const LdifRecord& record) {
  WriteValue("dn", record.dn);
  switch (record.change) {
    case LdifChange::kContent:
      break;
    case LdifChange::kAdd:
      WriteLine("changetype: add");
      break;
    case LdifChange::kDelete:
      WriteLine("changetype: delete");
      break;
    case LdifChange::kModify:
      WriteLine("changetype: modify");
      break;
    case LdifChange::kModRdn:
      WriteLine("changetype: modrdn");
      WriteValue("newrdn", record.new_rdn);
      WriteLine(record.delete_old_rdn ? "deleteoldrdn: 1" : "deleteoldrdn: 0");
      if (record.new_superior) WriteValue("newsuperior", *record.new_superior);
      break;
  }
  for (const LdifAttribute& attribute : record.attributes)
    for (const std::string& value : attribute.values) WriteValue(attribute.name, value);
  for (const LdifModification& modification : record.modifications) {
    const char* op = modification.op == LdifModOp::kAdd      ? "add: "
                     : modification.op == LdifModOp::kDelete ? "delete: "
                                                             : "replace: ";
    WriteLine(op + modification.attribute);
    for (const std::string& value : modification.values) WriteValue(modification.attribute, value);
    WriteLine("-");
  }
  out_ << '\n';
}

std::string FormatLdif(const std::vector<LdifRecord>& records) {
  std::ostringstream out;
  LdifWriter writer(out);
  writer.WriteVersion();
  for (const LdifRecord& record : records) writer.Write(record);
  return out.str();
}

}  // namespace tessary::ds
