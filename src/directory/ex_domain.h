#pragma once
// The domain of one run: the connection's naming contexts, the container tree shown to the user
// and the three schema lists with their cache file "Schema.dat".

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "directory/ex_objects.h"
#include "directory/schema_object.h"

namespace tessary {

class CExDomain : public CBVKADObject {
 public:
  // The domain works on `directory` for its whole life; Schema.dat lives in the program folder.
  explicit CExDomain(ds::Directory* directory = nullptr);

  // Reads RootDSE: the default naming context becomes this DN, the others the fields below.
  [[nodiscard]] bool Connect();

  // Fills ContainerRoot with the top of the container tree, once. Fails with the search's message
  // and "Could not enumerate container objects.".
  [[nodiscard]] bool EnumContainers();
  int GetContainerCount() const { return ContainerRoot.Children.GetCount(); }
  // Null when the index is not below the count.
  CExContainer* GetContainer(int index) const;

  // Fill SchemaClasses once from the directory; fails with the search's message.
  [[nodiscard]] bool LoadSchemaClasses();
  // Makes the class of this admin display name known to FindClassByAdminName without reading
  // every class: from SchemaClasses when it is loaded, else by a search for that class alone (a
  // command line names one class, and reading all of them costs the server more than a short
  // export). SchemaClasses stays untouched, so it still lists every class once loaded. Fails
  // with "Could not locate information for the schema class ..." when there is no such class,
  // or with the search's message.
  [[nodiscard]] bool LoadSchemaClass(const std::string& admin_name);
  // Fills SchemaAttributes and SchemaByDN once, from Schema.dat or, when that is missing, empty or
  // malformed, from the directory (then rewriting the file). Fails when the directory cannot be
  // read.
  [[nodiscard]] bool LoadSchemaAttributes();
  // Replaces SchemaAttributes by the attributes of one class (by admin display name); fails when
  // the class is unknown or an attribute cannot be found.
  [[nodiscard]] bool LoadClassAttributes(const std::string& class_admin_name);

  // Empties the attribute list, so that the next load reads it anew (another class was chosen).
  void ClearSchemaAttributes();
  // Drops the attribute of this LDAP display name from the attribute list; nothing when absent.
  void RemoveAttribute(const std::string& ldap_name);

  CBVKADSchemaObject* FindClassByAdminName(const std::string& name) const;
  CBVKADSchemaObject* FindClassByDNPrefix(const std::string& prefix) const;
  CBVKADSchemaObject* FindAttributeByLDAPName(const std::string& name) const;
  CBVKADSchemaObject* FindAttributeByDN(const std::string& dn) const;

  // Where the schema cache is read and written: the program folder's "Schema.dat" unless set.
  std::string SchemaCachePath() const;
  void SetSchemaCachePath(const std::string& path) { schema_cache_path_ = path; }

  std::string SchemaNamingContext;
  std::string ConfigurationNamingContext;
  std::string RootDomainNamingContext;
  CBVKADObject ContainerRoot;
  std::vector<std::unique_ptr<CBVKADSchemaObject>> SchemaClasses;
  std::vector<std::unique_ptr<CBVKADSchemaObject>> SchemaAttributes;
  std::map<std::string, CBVKADSchemaObject*> SchemaByDN;

 private:
  [[nodiscard]] bool RebuildSchemaCache();
  // Fills SchemaAttributes from Schema.dat when it is there and valid; nothing else.
  [[nodiscard]] bool LoadSchemaCache();
  // Drops what can be neither exported nor imported and indexes the rest by DN.
  void IndexSchemaAttributes();
  // Finds the class through the schema cache and one read of its entry; false leaves it to a
  // search (no cache, no such entry, or an entry that is not that class).
  [[nodiscard]] bool ConfirmCachedClass(const std::string& admin_name);

  std::string schema_cache_path_;
  // Classes found one by one through LoadSchemaClass.
  std::vector<std::unique_ptr<CBVKADSchemaObject>> single_classes_;
};

}  // namespace tessary
