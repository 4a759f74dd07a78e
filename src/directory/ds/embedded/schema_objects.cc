#include "directory/ds/embedded/schema_objects.h"

#include <cstdio>

#include "directory/ds/dn.h"

namespace tessary::ds::embedded {
namespace {

Values Texts(const std::vector<std::string>& names) {
  Values values;
  for (const std::string& name : names) values.push_back(Value::String(name));
  return values;
}

void AddText(SchemaObjectAttributes* out, const char* name, const std::string& text) {
  if (!text.empty()) out->push_back({name, {Value::String(text)}});
}

void AddTexts(SchemaObjectAttributes* out, const char* name, const std::vector<std::string>& list) {
  if (!list.empty()) out->push_back({name, Texts(list)});
}

std::string FirstText(const Values& values) {
  if (values.empty()) return {};
  if (const std::string* text = values.front().string()) return *text;
  return {};
}

std::vector<std::string> AllTexts(const Values& values) {
  std::vector<std::string> texts;
  for (const Value& value : values) {
    if (const std::string* text = value.string()) texts.push_back(*text);
  }
  return texts;
}

std::int64_t FirstNumber(const Values& values) {
  if (values.empty()) return 0;
  if (const std::int32_t* i = values.front().integer()) return *i;
  if (const std::int64_t* i = values.front().large_integer()) return *i;
  return 0;
}

bool FirstBool(const Values& values) {
  return !values.empty() && values.front().boolean() != nullptr && *values.front().boolean();
}

// The value of the first RDN of a DN ("Person" of "CN=Person,CN=Schema,...").
std::string FirstRdnValue(const std::string& dn) {
  std::vector<Rdn> rdns;
  if (!ParseDn(dn, &rdns)) return dn;
  return rdns.front().value;
}

}  // namespace

Bytes GuidTextToBytes(const std::string& text) {
  std::string hex;
  for (char c : text) {
    if (c != '-' && c != '{' && c != '}') hex.push_back(c);
  }
  if (hex.size() != 32) return {};
  Bytes raw(16);
  for (int i = 0; i < 16; ++i) {
    unsigned int byte = 0;
    if (std::sscanf(hex.c_str() + 2 * i, "%2x", &byte) != 1) return {};
    raw[i] = static_cast<std::uint8_t>(byte);
  }
  // The text writes the first three fields as numbers; storage keeps them little-endian.
  Bytes stored = {raw[3], raw[2], raw[1], raw[0], raw[5], raw[4], raw[7], raw[6]};
  stored.insert(stored.end(), raw.begin() + 8, raw.end());
  return stored;
}

std::string GuidBytesToText(const Bytes& b) {
  if (b.size() != 16) return {};
  char text[37];
  std::snprintf(text, sizeof text,
                "%02x%02x%02x%02x-%02x%02x-%02x%02x-%02x%02x-%02x%02x%02x%02x%02x%02x", b[3], b[2],
                b[1], b[0], b[5], b[4], b[7], b[6], b[8], b[9], b[10], b[11], b[12], b[13], b[14],
                b[15]);
  return text;
}

SchemaObjectAttributes AttributeSchemaObject(const AttributeDefinition& a,
                                             const std::string& schema_dn) {
  SchemaObjectAttributes out;
  out.push_back({"objectCategory", {Value::String("CN=Attribute-Schema," + schema_dn)}});
  AddText(&out, "lDAPDisplayName", a.ldap_display_name);
  AddText(&out, "adminDisplayName", a.admin_display_name.empty() ? a.cn : a.admin_display_name);
  AddText(&out, "adminDescription", a.admin_display_name.empty() ? a.cn : a.admin_display_name);
  AddText(&out, "attributeID", a.attribute_id);
  AddText(&out, "attributeSyntax", a.attribute_syntax);
  out.push_back({"oMSyntax", {Value::Integer(a.om_syntax)}});
  out.push_back({"isSingleValued", {Value::Boolean(a.single_valued)}});
  if (a.link_id != 0) out.push_back({"linkID", {Value::Integer(a.link_id)}});
  out.push_back({"systemOnly", {Value::Boolean(a.system_only)}});
  if (a.range_lower) {
    out.push_back({"rangeLower", {Value::Integer(static_cast<std::int32_t>(*a.range_lower))}});
  }
  if (a.range_upper) {
    out.push_back({"rangeUpper", {Value::Integer(static_cast<std::int32_t>(*a.range_upper))}});
  }
  Bytes guid = GuidTextToBytes(a.schema_id_guid);
  if (!guid.empty()) out.push_back({"schemaIDGUID", {Value::Octets(guid)}});
  out.push_back({"systemFlags", {Value::Integer(a.system_flags)}});
  out.push_back({"searchFlags", {Value::Integer(a.search_flags)}});
  return out;
}

SchemaObjectAttributes ClassSchemaObject(const ClassDefinition& c, const std::string& schema_dn) {
  SchemaObjectAttributes out;
  out.push_back({"objectCategory", {Value::String("CN=Class-Schema," + schema_dn)}});
  AddText(&out, "lDAPDisplayName", c.ldap_display_name);
  AddText(&out, "adminDisplayName", c.admin_display_name.empty() ? c.cn : c.admin_display_name);
  AddText(&out, "adminDescription", c.admin_display_name.empty() ? c.cn : c.admin_display_name);
  AddText(&out, "governsID", c.governs_id);
  AddText(&out, "subClassOf", c.sub_class_of);
  AddText(&out, "rDNAttID", c.rdn_att_id);
  std::string category = c.default_object_category.empty() ? c.cn : c.default_object_category;
  out.push_back({"defaultObjectCategory", {Value::String("CN=" + category + "," + schema_dn)}});
  out.push_back({"objectClassCategory", {Value::Integer(c.object_class_category)}});
  AddTexts(&out, "mustContain", c.must_contain);
  AddTexts(&out, "mayContain", c.may_contain);
  AddTexts(&out, "systemMustContain", c.system_must_contain);
  AddTexts(&out, "systemMayContain", c.system_may_contain);
  AddTexts(&out, "auxiliaryClass", c.auxiliary_class);
  AddTexts(&out, "systemAuxiliaryClass", c.system_auxiliary_class);
  AddTexts(&out, "possSuperiors", c.poss_superiors);
  AddTexts(&out, "systemPossSuperiors", c.system_poss_superiors);
  Bytes guid = GuidTextToBytes(c.schema_id_guid);
  if (!guid.empty()) out.push_back({"schemaIDGUID", {Value::Octets(guid)}});
  return out;
}

void AddSchemaObject(const SchemaValueReader& read, SchemaDefinition* schema) {
  std::vector<std::string> classes = AllTexts(read("objectClass"));
  auto is = [&](const char* name) {
    for (const std::string& c : classes) {
      if (AsciiLower(c) == AsciiLower(name)) return true;
    }
    return false;
  };
  Values guid = read("schemaIDGUID");
  std::string guid_text;
  if (!guid.empty() && guid.front().octets() != nullptr) {
    guid_text = GuidBytesToText(*guid.front().octets());
  }
  if (is("attributeSchema")) {
    AttributeDefinition a;
    a.ldap_display_name = FirstText(read("lDAPDisplayName"));
    a.admin_display_name = FirstText(read("adminDisplayName"));
    a.cn = FirstText(read("cn"));
    a.attribute_id = FirstText(read("attributeID"));
    a.attribute_syntax = FirstText(read("attributeSyntax"));
    a.om_syntax = static_cast<int>(FirstNumber(read("oMSyntax")));
    a.single_valued = FirstBool(read("isSingleValued"));
    a.link_id = static_cast<int>(FirstNumber(read("linkID")));
    a.system_only = FirstBool(read("systemOnly"));
    if (Values v = read("rangeLower"); !v.empty()) a.range_lower = FirstNumber(v);
    if (Values v = read("rangeUpper"); !v.empty()) a.range_upper = FirstNumber(v);
    a.schema_id_guid = guid_text;
    a.system_flags = static_cast<std::int32_t>(FirstNumber(read("systemFlags")));
    a.search_flags = static_cast<std::int32_t>(FirstNumber(read("searchFlags")));
    schema->attributes.push_back(std::move(a));
  } else if (is("classSchema")) {
    ClassDefinition c;
    c.ldap_display_name = FirstText(read("lDAPDisplayName"));
    c.admin_display_name = FirstText(read("adminDisplayName"));
    c.cn = FirstText(read("cn"));
    c.governs_id = FirstText(read("governsID"));
    c.sub_class_of = FirstText(read("subClassOf"));
    c.rdn_att_id = FirstText(read("rDNAttID"));
    c.default_object_category = FirstRdnValue(FirstText(read("defaultObjectCategory")));
    c.schema_id_guid = guid_text;
    c.object_class_category = static_cast<int>(FirstNumber(read("objectClassCategory")));
    c.must_contain = AllTexts(read("mustContain"));
    c.may_contain = AllTexts(read("mayContain"));
    c.system_must_contain = AllTexts(read("systemMustContain"));
    c.system_may_contain = AllTexts(read("systemMayContain"));
    c.auxiliary_class = AllTexts(read("auxiliaryClass"));
    c.system_auxiliary_class = AllTexts(read("systemAuxiliaryClass"));
    c.poss_superiors = AllTexts(read("possSuperiors"));
    c.system_poss_superiors = AllTexts(read("systemPossSuperiors"));
    schema->classes.push_back(std::move(c));
  }
}

}  // namespace tessary::ds::embedded
