#include <algorithm>
#include <set>
#include <string_view>

#include "directory/ds/embedded/builtin_schema_tables.h"

namespace tessary::ds::embedded {
namespace {

AttributeDefinition ToDefinition(const AttributeRow& row) {
  AttributeDefinition a;
  a.ldap_display_name = row.ldap_display_name;
  a.admin_display_name = row.cn;
  a.cn = row.cn;
  a.attribute_id = row.attribute_id;
  a.attribute_syntax = row.attribute_syntax;
  a.om_syntax = row.om_syntax;
  a.single_valued = row.single_valued;
  a.link_id = row.link_id;
  a.system_only = row.system_only;
  if (row.has_range_lower) a.range_lower = row.range_lower;
  if (row.has_range_upper) a.range_upper = row.range_upper;
  a.schema_id_guid = row.schema_id_guid;
  a.system_flags = row.system_flags;
  a.search_flags = row.search_flags;
  return a;
}

ClassDefinition ToDefinition(const ClassRow& row) {
  ClassDefinition c;
  c.ldap_display_name = row.ldap_display_name;
  c.admin_display_name = row.cn;
  c.cn = row.cn;
  c.governs_id = row.governs_id;
  c.sub_class_of = row.sub_class_of;
  c.rdn_att_id = row.rdn_att_id;
  c.default_object_category = row.default_object_category;
  c.schema_id_guid = row.schema_id_guid;
  c.object_class_category = row.object_class_category;
  c.must_contain = SplitNameList(row.must_contain);
  c.may_contain = SplitNameList(row.may_contain);
  c.system_must_contain = SplitNameList(row.system_must_contain);
  c.system_may_contain = SplitNameList(row.system_may_contain);
  c.auxiliary_class = SplitNameList(row.auxiliary_class);
  c.system_auxiliary_class = SplitNameList(row.system_auxiliary_class);
  c.poss_superiors = SplitNameList(row.poss_superiors);
  c.system_poss_superiors = SplitNameList(row.system_poss_superiors);
  return c;
}

std::vector<std::string>* ListOf(ClassDefinition* c, ClassList list) {
  switch (list) {
    case ClassList::kMayContain:
      return &c->may_contain;
    case ClassList::kAuxiliaryClass:
      return &c->auxiliary_class;
    case ClassList::kPossSuperiors:
      return &c->poss_superiors;
  }
  return &c->may_contain;
}

void ApplyExtensions(SchemaDefinition* schema) {
  std::size_t count = 0;
  const ClassExtensionRow* rows = ExchangeClassExtensions(&count);
  for (std::size_t i = 0; i < count; ++i) {
    auto it = std::find_if(
        schema->classes.begin(), schema->classes.end(),
        [&](const ClassDefinition& c) { return c.ldap_display_name == rows[i].class_name; });
    if (it == schema->classes.end()) continue;
    std::vector<std::string>* list = ListOf(&*it, rows[i].list);
    for (std::string& name : SplitNameList(rows[i].names))
      if (std::find(list->begin(), list->end(), name) == list->end()) list->push_back(name);
  }
}

}  // namespace

std::vector<std::string> SplitNameList(const char* list) {
  std::vector<std::string> names;
  std::string_view rest = list;
  while (!rest.empty()) {
    size_t space = rest.find(' ');
    if (space != 0) names.emplace_back(rest.substr(0, space));
    if (space == std::string_view::npos) break;
    rest.remove_prefix(space + 1);
  }
  return names;
}

void AppendTable(const SchemaTable& table, SchemaDefinition* schema) {
  for (std::size_t i = 0; i < table.attribute_count; ++i)
    schema->attributes.push_back(ToDefinition(table.attributes[i]));
  for (std::size_t i = 0; i < table.class_count; ++i)
    schema->classes.push_back(ToDefinition(table.classes[i]));
}

void AddExchangeSchema(SchemaDefinition* schema) {
  std::set<std::string> present;
  for (const auto& a : schema->attributes) present.insert(a.ldap_display_name);
  for (const auto& c : schema->classes) present.insert(c.ldap_display_name);
  SchemaDefinition exchange;
  AppendTable(ExchangeTable(), &exchange);
  for (auto& a : exchange.attributes)
    if (!present.count(a.ldap_display_name)) schema->attributes.push_back(std::move(a));
  for (auto& c : exchange.classes)
    if (!present.count(c.ldap_display_name)) schema->classes.push_back(std::move(c));
  ApplyExtensions(schema);
}

const SchemaDefinition& BuiltinSchema() {
  static const SchemaDefinition schema = [] {
    SchemaDefinition s;
    AppendTable(ActiveDirectoryTable(), &s);
    AddExchangeSchema(&s);
    return s;
  }();
  return schema;
}

}  // namespace tessary::ds::embedded
