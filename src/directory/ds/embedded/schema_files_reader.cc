#include "directory/ds/embedded/schema_files_reader.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "directory/ds/integer_text.h"

namespace tessary::ds::embedded {
namespace {

// One "name: value" line after unfolding; the name is kept in lower case because the published
// files spell the same name several ways (linkID, linkId).
struct Field {
  std::string name;     // lower case
  std::string spelled;  // as written
  std::string value;
  int line = 0;
  bool base64 = false;
};

struct Entry {
  int first_line = 0;
  std::vector<Field> fields;
};

// A failure at one line; turned into the message by the caller, who knows the file.
struct Problem {
  int line = 0;
  std::string reason;
};

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string_view Trim(std::string_view text) {
  const auto not_space = [](char c) { return c != ' ' && c != '\t' && c != '\r' && c != '\n'; };
  size_t begin = 0;
  while (begin < text.size() && !not_space(text[begin])) ++begin;
  size_t end = text.size();
  while (end > begin && !not_space(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

bool IsBlank(std::string_view line) { return Trim(line).empty(); }

bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '-'; }

// Splits "name: value" (or "name:: base64"); false when the line has no valid name and colon.
bool SplitField(std::string_view line, int number, Field* field) {
  size_t colon = line.find(':');
  if (colon == std::string_view::npos || colon == 0) return false;
  std::string_view name = line.substr(0, colon);
  if (!std::isalpha(static_cast<unsigned char>(name[0]))) return false;
  for (char c : name)
    if (!IsNameChar(c)) return false;
  std::string_view rest = line.substr(colon + 1);
  field->base64 = !rest.empty() && rest[0] == ':';
  if (field->base64) rest.remove_prefix(1);
  field->name = Lower(name);
  field->spelled = std::string(name);
  field->value = std::string(rest);
  field->line = number;
  return true;
}

// Cuts the text into entries: comments dropped, folded lines joined, blank lines separating.
bool SplitEntries(std::string_view text, std::vector<Entry>* entries, Problem* problem) {
  Entry current;
  bool in_comment = false;
  int number = 0;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ++number;
    const bool last = end == text.size();
    pos = end + 1;
    if (IsBlank(line)) {
      if (!current.fields.empty()) entries->push_back(std::move(current));
      current = Entry();
      in_comment = false;
    } else if (line[0] == '#') {
      in_comment = true;
    } else if (line[0] == ' ') {
      if (in_comment) {
        // A folded comment stays a comment.
      } else if (current.fields.empty()) {
        *problem = {number, "a continuation line must follow an attribute line"};
        return false;
      } else {
        current.fields.back().value.append(line.substr(1));
      }
    } else {
      in_comment = false;
      Field field;
      if (!SplitField(line, number, &field)) {
        *problem = {number, "expected 'name: value'"};
        return false;
      }
      if (current.fields.empty()) current.first_line = number;
      current.fields.push_back(std::move(field));
    }
    if (last) break;
  }
  if (!current.fields.empty()) entries->push_back(std::move(current));
  return true;
}

// Bit values of the flag names of searchFlags and systemFlags ([MS-ADTS] 2.2.9, 2.2.10).
const std::map<std::string, std::int32_t>& FlagBits(const std::string& field) {
  static const std::map<std::string, std::int32_t> kSearchFlags = {
      {"fattindex", 0x1},
      {"fpdntattindex", 0x2},
      {"fanr", 0x4},
      {"fpreserveondelete", 0x8},
      {"fcopy", 0x10},
      {"ftupleindex", 0x20},
      {"fsubtreeattindex", 0x40},
      {"fconfidential", 0x80},
      {"fconfidentail", 0x80},
      {"fnevervalueaudit", 0x100},
      {"frodcattribute", 0x200},
      {"frodcfilteredattribute", 0x200},
      {"fextendedlinktracking", 0x400},
      {"fbaseonly", 0x800},
      {"fpartitionsecret", 0x1000},
  };
  static const std::map<std::string, std::int32_t> kSystemFlags = {
      {"flag_attr_not_replicated", 0x1},
      {"flag_cr_ntds_nc", 0x1},
      {"flag_attr_req_partial_set_member", 0x2},
      {"flag_cr_ntds_domain", 0x2},
      {"flag_attr_is_constructed", 0x4},
      {"flag_cr_ntds_not_gc_replicated", 0x4},
      {"flag_attr_is_operational", 0x8},
      {"flag_schema_base_object", 0x10},
      {"flag_attr_is_rdn", 0x20},
      {"flag_disallow_move_on_delete", 0x2000000},
      {"flag_domain_disallow_move", 0x4000000},
      {"flag_domain_disallow_rename", 0x8000000},
      {"flag_config_allow_limited_move", 0x10000000},
      {"flag_config_allow_move", 0x20000000},
      {"flag_config_allow_rename", 0x40000000},
      {"flag_disallow_delete", static_cast<std::int32_t>(0x80000000u)},
  };
  return field == "searchflags" ? kSearchFlags : kSystemFlags;
}

bool ParseInteger(std::string_view text, std::int64_t* out) {
  return ds::ParseInteger(Trim(text), out);
}

// The flags as a number, or as names joined by '|'.
bool ParseFlags(const Field& field, std::int32_t* out, Problem* problem) {
  std::int64_t number = 0;
  if (ParseInteger(field.value, &number)) {
    *out = static_cast<std::int32_t>(number);
    return true;
  }
  const auto& bits = FlagBits(field.name);
  std::int32_t value = 0;
  std::string_view rest = field.value;
  while (true) {
    size_t bar = rest.find('|');
    std::string_view name = Trim(rest.substr(0, bar));
    auto it = bits.find(Lower(name));
    if (it == bits.end()) {
      *problem = {field.line, "unknown flag '" + std::string(name) + "' in " + field.spelled};
      return false;
    }
    value |= it->second;
    if (bar == std::string_view::npos) break;
    rest.remove_prefix(bar + 1);
  }
  *out = value;
  return true;
}

std::vector<std::string> SplitList(std::string_view text) {
  std::vector<std::string> names;
  while (!text.empty()) {
    size_t comma = text.find(',');
    std::string_view name = Trim(text.substr(0, comma));
    if (!name.empty()) names.emplace_back(name);
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  return names;
}

// "CN=Person,CN=Schema,CN=Configuration,<RootDomainDN>" gives "Person".
std::string CategoryName(std::string_view dn) {
  dn = Trim(dn);
  if (dn.size() > 3 && Lower(dn.substr(0, 3)) == "cn=") dn.remove_prefix(3);
  return std::string(Trim(dn.substr(0, dn.find(','))));
}

// Reads the fields of one entry by name; every value read must be plain text and appear once.
class EntryFields {
 public:
  explicit EntryFields(const Entry& entry) : entry_(entry) {}

  // The single value of a field, or null when absent; a repeated or base64 field is a problem.
  const Field* Single(const std::string& name, Problem* problem) {
    const std::string key = Lower(name);
    const Field* found = nullptr;
    for (const Field& field : entry_.fields) {
      if (field.name != key) continue;
      if (found) {
        *problem = {field.line, "'" + name + "' appears twice in one entry"};
        failed_ = true;
        return nullptr;
      }
      if (field.base64) {
        *problem = {field.line, "'" + name + "' must be text, not base64"};
        failed_ = true;
        return nullptr;
      }
      found = &field;
    }
    return found;
  }

  // Like Single, but a missing field is a problem too.
  const Field* Required(const std::string& name, const std::string& what, Problem* problem) {
    const Field* field = Single(name, problem);
    if (!field && !failed_) {
      *problem = {entry_.first_line, "the " + what + " entry has no " + name};
      failed_ = true;
    }
    return field;
  }

  // Every value of a comma-separated list field, which may also be repeated.
  std::vector<std::string> List(const std::string& name) const {
    const std::string key = Lower(name);
    std::vector<std::string> names;
    for (const Field& field : entry_.fields)
      if (field.name == key)
        for (std::string& value : SplitList(field.value)) names.push_back(std::move(value));
    return names;
  }

  bool failed() const { return failed_; }

 private:
  const Entry& entry_;
  bool failed_ = false;
};

std::string Text(const Field* field) { return field ? std::string(Trim(field->value)) : ""; }

bool ReadBoolean(const Field* field, bool* out, Problem* problem) {
  if (!field) return true;
  std::string value = Lower(Trim(field->value));
  if (value != "true" && value != "false") {
    *problem = {field->line, field->spelled + " must be TRUE or FALSE"};
    return false;
  }
  *out = value == "true";
  return true;
}

bool ReadNumber(const Field* field, std::int64_t* out, Problem* problem) {
  if (field && !ParseInteger(field->value, out)) {
    *problem = {field->line, field->spelled + " must be a number"};
    return false;
  }
  return true;
}

bool ReadAttribute(const Entry& entry, AttributeDefinition* out, Problem* problem) {
  EntryFields fields(entry);
  const char* what = "attribute";
  out->cn = Text(fields.Required("cn", what, problem));
  out->admin_display_name = out->cn;
  out->ldap_display_name = Text(fields.Required("lDAPDisplayName", what, problem));
  out->attribute_id = Text(fields.Required("attributeID", what, problem));
  out->attribute_syntax = Text(fields.Required("attributeSyntax", what, problem));
  const Field* om_syntax = fields.Required("oMSyntax", what, problem);
  const Field* single = fields.Required("isSingleValued", what, problem);
  out->schema_id_guid = Lower(Text(fields.Single("schemaIDGUID", problem)));
  const Field* link = fields.Single("linkID", problem);
  const Field* system_only = fields.Single("systemOnly", problem);
  const Field* lower = fields.Single("rangeLower", problem);
  const Field* upper = fields.Single("rangeUpper", problem);
  const Field* system_flags = fields.Single("systemFlags", problem);
  const Field* search_flags = fields.Single("searchFlags", problem);
  if (fields.failed()) return false;

  std::int64_t number = 0;
  if (!ReadNumber(om_syntax, &number, problem)) return false;
  out->om_syntax = static_cast<int>(number);
  if (!ReadBoolean(single, &out->single_valued, problem)) return false;
  if (!ReadBoolean(system_only, &out->system_only, problem)) return false;
  number = 0;
  if (!ReadNumber(link, &number, problem)) return false;
  out->link_id = static_cast<int>(number);
  if (lower) {
    if (!ReadNumber(lower, &number, problem)) return false;
    out->range_lower = number;
  }
  if (upper) {
    if (!ReadNumber(upper, &number, problem)) return false;
    out->range_upper = number;
  }
  if (system_flags && !ParseFlags(*system_flags, &out->system_flags, problem)) return false;
  if (search_flags && !ParseFlags(*search_flags, &out->search_flags, problem)) return false;
  return true;
}

bool ReadClass(const Entry& entry, ClassDefinition* out, Problem* problem) {
  EntryFields fields(entry);
  const char* what = "class";
  out->cn = Text(fields.Required("cn", what, problem));
  out->admin_display_name = out->cn;
  out->ldap_display_name = Text(fields.Required("lDAPDisplayName", what, problem));
  out->governs_id = Text(fields.Required("governsID", what, problem));
  out->sub_class_of = Text(fields.Required("subClassOf", what, problem));
  const Field* category = fields.Required("objectClassCategory", what, problem);
  out->rdn_att_id = Text(fields.Single("rDNAttID", problem));
  out->default_object_category =
      CategoryName(Text(fields.Single("defaultObjectCategory", problem)));
  out->schema_id_guid = Lower(Text(fields.Single("schemaIDGUID", problem)));
  if (fields.failed()) return false;

  std::int64_t number = 0;
  if (!ReadNumber(category, &number, problem)) return false;
  if (number < 0 || number > 3) {
    *problem = {category->line, "objectClassCategory must be 0, 1, 2 or 3"};
    return false;
  }
  out->object_class_category = static_cast<int>(number);
  if (out->rdn_att_id.empty()) out->rdn_att_id = "cn";
  if (out->default_object_category.empty()) out->default_object_category = out->cn;
  out->must_contain = fields.List("mustContain");
  out->may_contain = fields.List("mayContain");
  out->system_must_contain = fields.List("systemMustContain");
  out->system_may_contain = fields.List("systemMayContain");
  out->auxiliary_class = fields.List("auxiliaryClass");
  out->system_auxiliary_class = fields.List("systemAuxiliaryClass");
  out->poss_superiors = fields.List("possSuperiors");
  out->system_poss_superiors = fields.List("systemPossSuperiors");
  return true;
}

bool ParseEntries(std::string_view text, SchemaFileKind kind, SchemaDefinition* out,
                  Problem* problem) {
  std::vector<Entry> entries;
  if (!SplitEntries(text, &entries, problem)) return false;
  std::set<std::string> names;
  for (const auto& a : out->attributes) names.insert(Lower(a.ldap_display_name));
  for (const auto& c : out->classes) names.insert(Lower(c.ldap_display_name));
  for (const Entry& entry : entries) {
    std::string name;
    if (kind == SchemaFileKind::kAttributes) {
      AttributeDefinition attribute;
      if (!ReadAttribute(entry, &attribute, problem)) return false;
      name = attribute.ldap_display_name;
      out->attributes.push_back(std::move(attribute));
    } else {
      ClassDefinition schema_class;
      if (!ReadClass(entry, &schema_class, problem)) return false;
      name = schema_class.ldap_display_name;
      out->classes.push_back(std::move(schema_class));
    }
    if (!names.insert(Lower(name)).second) {
      *problem = {entry.first_line, "'" + name + "' is defined twice"};
      return false;
    }
  }
  return true;
}

bool ReadWholeFile(const std::filesystem::path& path, std::string* text, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (in) {
    std::ostringstream content;
    content << in.rdbuf();
    if (!in.bad()) {
      *text = content.str();
      return true;
    }
  }
  *error = "Could not read the schema file '" + path.string() + "'.\n" + std::strerror(errno);
  return false;
}

}  // namespace

bool ParseSchemaFile(std::string_view text, SchemaFileKind kind, const std::string& file_name,
                     SchemaDefinition* out, std::string* error) {
  Problem problem;
  if (ParseEntries(text, kind, out, &problem)) return true;
  *error = "Could not read the schema file '" + file_name + "'.\nLine " +
           std::to_string(problem.line) + ": " + problem.reason + ".";
  return false;
}

bool ReadSchemaFiles(const std::string& folder, SchemaDefinition* out, std::string* error) {
  const std::filesystem::path base(folder);
  for (const SchemaFilePair& pair : kSchemaFilePairs) {
    std::error_code ignored;
    const auto attributes_path = base / pair.attributes;
    const auto classes_path = base / pair.classes;
    if (!std::filesystem::exists(attributes_path, ignored) ||
        !std::filesystem::exists(classes_path, ignored))
      continue;
    SchemaDefinition schema;
    std::string text;
    if (!ReadWholeFile(attributes_path, &text, error) ||
        !ParseSchemaFile(text, SchemaFileKind::kAttributes, attributes_path.string(), &schema,
                         error) ||
        !ReadWholeFile(classes_path, &text, error) ||
        !ParseSchemaFile(text, SchemaFileKind::kClasses, classes_path.string(), &schema, error))
      return false;
    *out = std::move(schema);
    return true;
  }
  *error = "Could not find Microsoft's schema files in the folder '" + folder + "'.\nExpected " +
           kSchemaFilePairs[0].attributes + " and " + kSchemaFilePairs[0].classes + ".";
  return false;
}

}  // namespace tessary::ds::embedded
