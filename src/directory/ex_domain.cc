#include "directory/ex_domain.h"

#include <algorithm>

#include "directory/dn.h"
#include "directory/ds/dn.h"
#include "directory/schema_cache.h"
#include "platform/program_folder.h"
#include "support/bvk_file_util.h"

namespace tessary {
namespace {

constexpr char kSchemaCacheName[] = "Schema.dat";

// Attributes that are computed per logon session and can be neither exported nor imported.
bool IsTokenGroupAttribute(const std::string& name) {
  return name == "tokenGroups" || name == "tokenGroupsGlobalAndUniversal" ||
         name == "tokenGroupsNoGCAcceptable";
}

std::unique_ptr<CBVKADSchemaObject> NewEntry(std::string admin_display_name, std::string ldap_name,
                                             std::string dn) {
  auto entry = std::make_unique<CBVKADSchemaObject>();
  entry->AdminDisplayName = std::move(admin_display_name);
  entry->LDAPDisplayName = std::move(ldap_name);
  entry->SchemaDN = std::move(dn);
  return entry;
}

}  // namespace

CExDomain::CExDomain(ds::Directory* directory)
    : CBVKADObject(directory, KindOf<CExOrg>()), ContainerRoot(directory, KindOf<CExContainer>()) {}

std::string CExDomain::SchemaCachePath() const {
  return schema_cache_path_.empty() ? platform::ProgramFolder() + kSchemaCacheName
                                    : schema_cache_path_;
}

bool CExDomain::Connect() {
  return ReadRootDSE(&SchemaNamingContext, &ConfigurationNamingContext, &RootDomainNamingContext);
}

bool CExDomain::EnumContainers() {
  if (!ContainerRoot.Children.IsEmpty()) return true;
  ContainerRoot.DistinguishedName = DistinguishedName;
  ContainerRoot.SetDirectory(Directory());
  if (SearchContainers(ContainerRoot)) return true;
  Error().SetText(ContainerRoot.Error().GetText());
  Error().AddLine("Could not enumerate container objects.");
  return false;
}

CExContainer* CExDomain::GetContainer(int index) const {
  return static_cast<CExContainer*>(ContainerRoot.Children.GetAt(index));
}

bool CExDomain::LoadSchemaClasses() {
  if (!SchemaClasses.empty()) return true;
  CBVKADSearch search;
  search.row_handler = [this](CBVKADPropertySet& row) {
    std::string ldap_name, admin_name, dn;
    (void)row.GetText("lDAPDisplayName", &ldap_name);
    (void)row.GetText("adminDisplayName", &admin_name);
    (void)row.GetText("distinguishedName", &dn);
    SchemaClasses.push_back(NewEntry(admin_name, ldap_name, dn));
    return true;
  };
  const std::string filter =
      EqualityFilter("objectCategory", "CN=Class-Schema," + SchemaNamingContext);
  if (!Search(search, SchemaNamingContext, filter,
              {"lDAPDisplayName", "adminDisplayName", "distinguishedName"}, Subtree::Yes)) {
    Error().SetText(search.error.GetText());
    return false;
  }
  return true;
}

bool CExDomain::LoadSchemaClass(const std::string& admin_name) {
  if (FindClassByAdminName(admin_name) != nullptr) return true;
  const std::string unknown = "Could not locate information for the schema class " + admin_name + ".";
  if (!SchemaClasses.empty()) {
    Error().SetText(unknown);
    return false;
  }
  if (ConfirmCachedClass(admin_name)) return true;
  CBVKADSearch search;
  search.row_handler = [&](CBVKADPropertySet& row) {
    std::string ldap_name, found_name, dn;
    (void)row.GetText("adminDisplayName", &found_name);
    (void)row.GetText("lDAPDisplayName", &ldap_name);
    (void)row.GetText("distinguishedName", &dn);
    // The directory compares without regard to case; the class list does not.
    if (found_name == admin_name) single_classes_.push_back(NewEntry(found_name, ldap_name, dn));
    return true;
  };
  const std::string filter = "(&" +
                             EqualityFilter("objectCategory", "CN=Class-Schema," +
                                                                  SchemaNamingContext) +
                             EqualityFilter("adminDisplayName", admin_name) + ")";
  if (!Search(search, SchemaNamingContext, filter,
              {"lDAPDisplayName", "adminDisplayName", "distinguishedName"}, Subtree::Yes)) {
    Error().SetText(search.error.GetText());
    return false;
  }
  if (FindClassByAdminName(admin_name) != nullptr) return true;
  Error().SetText(unknown);
  return false;
}

bool CExDomain::ConfirmCachedClass(const std::string& admin_name) {
  // A search among all classes by adminDisplayName, which directories do not index, costs the
  // server many times one read of an entry: the schema cache names the entry, and the read
  // confirms that it is that class. Anything else leaves the search to decide.
  if (SchemaAttributes.empty() && !LoadSchemaCache()) return false;
  const auto cached = std::find_if(SchemaAttributes.begin(), SchemaAttributes.end(),
                                   [&](const auto& entry) {
                                     return entry->AdminDisplayName == admin_name;
                                   });
  if (cached == SchemaAttributes.end() || Directory() == nullptr) return false;
  std::unique_ptr<ds::Object> entry;
  std::vector<ds::Attribute> values;
  if (Failed(Directory()->BindFast("LDAP://" + (*cached)->SchemaDN, &entry)) ||
      Failed(entry->GetObjectAttributes({"objectClass", "adminDisplayName", "lDAPDisplayName"},
                                        &values))) {
    return false;
  }
  bool is_class = false;
  std::string found_name, ldap_name;
  for (const ds::Attribute& attribute : values) {
    for (const ds::Value& value : attribute.values) {
      const std::string* text = value.string();
      if (text == nullptr) continue;
      if (ds::AsciiCaselessEqual(attribute.name, "objectClass")) {
        is_class = is_class || ds::AsciiCaselessEqual(*text, "classSchema");
      } else if (ds::AsciiCaselessEqual(attribute.name, "adminDisplayName")) {
        found_name = *text;
      } else if (ds::AsciiCaselessEqual(attribute.name, "lDAPDisplayName")) {
        ldap_name = *text;
      }
    }
  }
  if (!is_class || found_name != admin_name || ldap_name.empty()) return false;
  single_classes_.push_back(NewEntry(found_name, ldap_name, (*cached)->SchemaDN));
  return true;
}

bool CExDomain::LoadSchemaCache() {
  CBVKFileUtil files;
  std::vector<std::string> lines;
  std::optional<std::vector<SchemaCacheEntry>> cached;
  if (!files.ReadLines(SchemaCachePath(), &lines) || !(cached = ParseSchemaCache(lines))) {
    return false;
  }
  SchemaAttributes.reserve(cached->size());
  for (SchemaCacheEntry& entry : *cached) {
    SchemaAttributes.push_back(NewEntry(std::move(entry.admin_display_name),
                                        std::move(entry.ldap_display_name),
                                        std::move(entry.schema_dn)));
  }
  IndexSchemaAttributes();
  return true;
}

void CExDomain::IndexSchemaAttributes() {
  std::erase_if(SchemaAttributes,
                [](const auto& entry) { return IsTokenGroupAttribute(entry->LDAPDisplayName); });
  for (const auto& entry : SchemaAttributes) SchemaByDN[entry->SchemaDN] = entry.get();
}

bool CExDomain::LoadSchemaAttributes() {
  if (!SchemaAttributes.empty()) return true;
  // A cache that cannot be read is rebuilt, not reported.
  if (LoadSchemaCache()) return true;
  if (!RebuildSchemaCache()) return false;
  IndexSchemaAttributes();
  return true;
}

bool CExDomain::RebuildSchemaCache() {
  CBVKADObject schema(Directory());
  schema.DistinguishedName = SchemaNamingContext;
  if (!schema.EnumChildren(Force::Yes, "",
                           {"lDAPDisplayName", "adminDisplayName", "distinguishedName"}, nullptr,
                           ClearFirst::Yes)) {
    Error().SetText(schema.Error().GetText());
    return false;
  }
  std::vector<SchemaCacheEntry> entries;
  entries.reserve(schema.GetChildCount());
  for (int i = 0; i < schema.GetChildCount(); ++i) {
    CBVKADPropertySet& values = schema.GetChild(i)->Properties;
    SchemaCacheEntry entry;
    (void)values.GetText("adminDisplayName", &entry.admin_display_name);
    (void)values.GetText("lDAPDisplayName", &entry.ldap_display_name);
    (void)values.GetText("distinguishedName", &entry.schema_dn);
    SchemaAttributes.push_back(
        NewEntry(entry.admin_display_name, entry.ldap_display_name, entry.schema_dn));
    entries.push_back(std::move(entry));
  }
  // The cache only saves time; failing to write it is not reported.
  CBVKFileUtil files;
  (void)files.WriteLines(SchemaCachePath(), FormatSchemaCache(entries),
                         CBVKFileUtil::Overwrite::Yes);
  return true;
}

void CExDomain::ClearSchemaAttributes() {
  SchemaByDN.clear();
  SchemaAttributes.clear();
}

void CExDomain::RemoveAttribute(const std::string& ldap_name) {
  auto found = std::find_if(SchemaAttributes.begin(), SchemaAttributes.end(),
                            [&](const auto& entry) { return entry->LDAPDisplayName == ldap_name; });
  if (found == SchemaAttributes.end()) return;
  // The DN index points into the list: drop the entry there first.
  for (auto it = SchemaByDN.begin(); it != SchemaByDN.end();) {
    it = it->second == found->get() ? SchemaByDN.erase(it) : std::next(it);
  }
  SchemaAttributes.erase(found);
}

bool CExDomain::LoadClassAttributes(const std::string& class_admin_name) {
  ClearSchemaAttributes();
  CBVKADSchemaObject* schema_class = FindClassByAdminName(class_admin_name);
  if (schema_class == nullptr) {
    Error().SetText("Could not locate information for the schema class " + class_admin_name + ".");
    return false;
  }
  std::vector<std::string> names;
  if (Directory() == nullptr || !schema_class->GetClassProperties(*Directory(), &names)) {
    Error().SetText(schema_class->Error().GetText());
    return false;
  }
  for (const std::string& name : names) {
    if (IsTokenGroupAttribute(name)) continue;
    auto entry = std::make_unique<CBVKADSchemaObject>();
    entry->LDAPDisplayName = name;
    bool complete = entry->CompleteFromDirectory(*Directory(), SchemaNamingContext);
    CBVKADSchemaObject* added = entry.get();
    SchemaAttributes.push_back(std::move(entry));
    if (!complete) {
      Error().SetText(added->Error().GetText());
      return false;
    }
    SchemaByDN[added->SchemaDN] = added;
  }
  return true;
}

CBVKADSchemaObject* CExDomain::FindClassByAdminName(const std::string& name) const {
  for (const auto* list : {&SchemaClasses, &single_classes_}) {
    for (const auto& entry : *list) {
      if (entry->AdminDisplayName == name) return entry.get();
    }
  }
  return nullptr;
}

CBVKADSchemaObject* CExDomain::FindClassByDNPrefix(const std::string& prefix) const {
  for (const auto& entry : SchemaClasses) {
    if (entry->SchemaDN.compare(0, prefix.size(), prefix) == 0) return entry.get();
  }
  return nullptr;
}

CBVKADSchemaObject* CExDomain::FindAttributeByLDAPName(const std::string& name) const {
  for (const auto& entry : SchemaAttributes) {
    if (entry->LDAPDisplayName == name) return entry.get();
  }
  return nullptr;
}

CBVKADSchemaObject* CExDomain::FindAttributeByDN(const std::string& dn) const {
  auto it = SchemaByDN.find(dn);
  return it == SchemaByDN.end() ? nullptr : it->second;
}

}  // namespace tessary
