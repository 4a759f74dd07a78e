// Writes src/directory/ds/embedded/builtin_schema_data.cc: the Active Directory part of the
// compiled-in schema, taken from Microsoft's published schema files. It keeps the classes the
// embedded directory provisions, everything they inherit or mix in, the classes and attributes
// the Exchange entries refer to, and every attribute those classes may or must contain.
//
//   tessary-schema-generator <folder with MS-AD_Schema_*.txt> <output .cc>

#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "directory/ds/embedded/builtin_schema_tables.h"
#include "directory/ds/embedded/schema_definition.h"

namespace tessary::ds::embedded {
namespace {

// The classes whose objects the embedded directory creates or that make up its naming contexts.
const char* const kRootClasses[] = {
    "top",
    "person",
    "organizationalPerson",
    "user",
    "inetOrgPerson",
    "contact",
    "group",
    "computer",
    "organizationalUnit",
    "container",
    "domain",
    "domainDNS",
    "lostAndFound",
    "crossRef",
    "crossRefContainer",
    "configuration",
    "dMD",
    "classSchema",
    "attributeSchema",
    "securityPrincipal",
    "mailRecipient",
};

using ClassMap = std::map<std::string, const ClassDefinition*>;
using AttributeMap = std::map<std::string, const AttributeDefinition*>;

std::vector<std::string> AttributeNames(const ClassDefinition& c) {
  std::vector<std::string> names;
  for (const auto* list :
       {&c.must_contain, &c.may_contain, &c.system_must_contain, &c.system_may_contain})
    names.insert(names.end(), list->begin(), list->end());
  return names;
}

// Adds a class and, recursively, its superclasses and auxiliary classes.
void AddClass(const std::string& name, const ClassMap& all, std::set<std::string>* chosen) {
  auto it = all.find(name);
  if (it == all.end() || !chosen->insert(name).second) return;
  const ClassDefinition& c = *it->second;
  AddClass(c.sub_class_of, all, chosen);
  for (const auto& aux : c.auxiliary_class) AddClass(aux, all, chosen);
  for (const auto& aux : c.system_auxiliary_class) AddClass(aux, all, chosen);
}

std::string Quote(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string JoinChosen(const std::vector<std::string>& names, const std::set<std::string>& keep) {
  std::string out;
  for (const auto& name : names) {
    if (!keep.count(name)) continue;
    if (!out.empty()) out += ' ';
    out += name;
  }
  return Quote(out);
}

std::string Join(const std::vector<std::string>& names) {
  std::string out;
  for (const auto& name : names) out += (out.empty() ? "" : " ") + name;
  return Quote(out);
}

void WriteAttribute(std::ostream& out, const AttributeDefinition& a) {
  out << "  {" << Quote(a.ldap_display_name) << ", " << Quote(a.cn) << ", " << Quote(a.attribute_id)
      << ", " << Quote(a.attribute_syntax) << ", " << a.om_syntax << ", "
      << (a.single_valued ? "true" : "false") << ", " << a.link_id << ", "
      << (a.system_only ? "true" : "false") << ",\n   " << (a.range_lower ? "true" : "false")
      << ", " << a.range_lower.value_or(0) << ", " << (a.range_upper ? "true" : "false") << ", "
      << a.range_upper.value_or(0) << ", " << Quote(a.schema_id_guid) << ", " << a.system_flags
      << ", " << a.search_flags << "},\n";
}

void WriteClass(std::ostream& out, const ClassDefinition& c, const std::set<std::string>& classes) {
  out << "  {" << Quote(c.ldap_display_name) << ", " << Quote(c.cn) << ", " << Quote(c.governs_id)
      << ", " << Quote(c.sub_class_of) << ", " << Quote(c.rdn_att_id) << ", "
      << Quote(c.default_object_category) << ", " << Quote(c.schema_id_guid) << ", "
      << c.object_class_category << ",\n   " << Join(c.must_contain) << ",\n   "
      << Join(c.may_contain) << ",\n   " << Join(c.system_must_contain) << ",\n   "
      << Join(c.system_may_contain) << ",\n   " << JoinChosen(c.auxiliary_class, classes) << ", "
      << JoinChosen(c.system_auxiliary_class, classes) << ",\n   "
      << JoinChosen(c.poss_superiors, classes) << ",\n   "
      << JoinChosen(c.system_poss_superiors, classes) << "},\n";
}

int Generate(const std::string& folder, const std::string& output) {
  SchemaDefinition ad;
  std::string error;
  if (!ReadSchemaFiles(folder, &ad, &error)) {
    std::cerr << error << "\n";
    return 2;
  }
  ClassMap classes;
  for (const auto& c : ad.classes) classes[c.ldap_display_name] = &c;
  AttributeMap attributes;
  for (const auto& a : ad.attributes) attributes[a.ldap_display_name] = &a;

  SchemaDefinition exchange;
  AppendTable(ExchangeTable(), &exchange);
  std::set<std::string> exchange_names;
  for (const auto& a : exchange.attributes) exchange_names.insert(a.ldap_display_name);
  for (const auto& c : exchange.classes) exchange_names.insert(c.ldap_display_name);

  std::set<std::string> chosen_classes;
  for (const char* name : kRootClasses) {
    if (!classes.count(name)) {
      std::cerr << "The schema files have no class '" << name << "'.\n";
      return 2;
    }
    AddClass(name, classes, &chosen_classes);
  }
  std::vector<std::string> exchange_attribute_names;
  for (const auto& c : exchange.classes) {
    AddClass(c.sub_class_of, classes, &chosen_classes);
    for (const auto& aux : c.auxiliary_class) AddClass(aux, classes, &chosen_classes);
    for (const auto& superior : c.poss_superiors) AddClass(superior, classes, &chosen_classes);
    for (const auto& name : AttributeNames(c)) exchange_attribute_names.push_back(name);
  }
  std::size_t extension_count = 0;
  const ClassExtensionRow* extensions = ExchangeClassExtensions(&extension_count);
  for (std::size_t i = 0; i < extension_count; ++i)
    if (extensions[i].list == ClassList::kMayContain)
      for (const auto& name : SplitNameList(extensions[i].names))
        exchange_attribute_names.push_back(name);

  std::set<std::string> chosen_attributes;
  const auto choose = [&](const std::string& name) {
    if (exchange_names.count(name) || !attributes.count(name)) return;
    chosen_attributes.insert(name);
  };
  for (const auto& name : chosen_classes)
    for (const auto& attribute : AttributeNames(*classes[name])) choose(attribute);
  for (const auto& name : exchange_attribute_names) choose(name);
  // A linked attribute comes with its partner, so that links resolve both ways.
  std::map<int, std::string> by_link;
  for (const auto& a : ad.attributes)
    if (a.link_id) by_link[a.link_id] = a.ldap_display_name;
  for (const auto& name : std::set<std::string>(chosen_attributes)) {
    int link = attributes[name]->link_id;
    if (!link) continue;
    auto partner = by_link.find(link % 2 == 0 ? link + 1 : link - 1);
    if (partner != by_link.end()) choose(partner->second);
  }
  std::set<std::string> all_class_names = chosen_classes;
  all_class_names.insert(exchange_names.begin(), exchange_names.end());

  std::ostringstream out;
  out << "// Generated by tools/schema_generator from Microsoft's published Active Directory "
         "schema\n"
         "// (MS-AD_Schema_2K8_R2_*.txt). Do not edit; run scripts/generate-builtin-schema.sh.\n\n"
         "#include <iterator>\n\n"
         "#include \"directory/ds/embedded/builtin_schema_tables.h\"\n\n"
         "namespace tessary::ds::embedded {\n"
         "namespace {\n\n"
         "// clang-format off\n"
         "constexpr AttributeRow kAttributes[] = {\n";
  for (const auto& a : ad.attributes)
    if (chosen_attributes.count(a.ldap_display_name)) WriteAttribute(out, a);
  out << "};\n\nconstexpr ClassRow kClasses[] = {\n";
  for (const auto& c : ad.classes)
    if (chosen_classes.count(c.ldap_display_name)) WriteClass(out, c, all_class_names);
  out << "};\n// clang-format on\n\n"
         "}  // namespace\n\n"
         "SchemaTable ActiveDirectoryTable() {\n"
         "  return {kAttributes, std::size(kAttributes), kClasses, std::size(kClasses)};\n"
         "}\n\n"
         "}  // namespace tessary::ds::embedded\n";
  std::ofstream file(output, std::ios::binary | std::ios::trunc);
  file << out.str();
  if (!file.flush()) {
    std::cerr << "Could not write the file '" << output << "'.\n";
    return 2;
  }
  std::cout << chosen_attributes.size() << " attributes and " << chosen_classes.size()
            << " classes written to " << output << "\n";
  return 0;
}

}  // namespace
}  // namespace tessary::ds::embedded

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: tessary-schema-generator <schema folder> <output .cc>\n";
    return 2;
  }
  return tessary::ds::embedded::Generate(argv[1], argv[2]);
}
