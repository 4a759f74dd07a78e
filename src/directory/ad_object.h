#pragma once
// One directory object: its DN and display name, its children, the attribute values read for it
// and its error record, with the operations that bind, search, create, rename and move objects
// through paths. The object keeps no directory object bound between calls; it only keeps the
// connection (ds::Directory) it was given, which its children share.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "directory/ds/directory.h"
#include "directory/object_list.h"
#include "directory/property_set.h"

namespace tessary {

// What a Search delivers its rows to: a row handler (each row handed over at once, then
// discarded; returning false ends the walk), or, without one, the list of rows.
struct CBVKADSearch {
  CBVKError error;
  std::vector<std::unique_ptr<CBVKADPropertySet>> rows;
  std::function<bool(CBVKADPropertySet& row)> row_handler;
};

class CBVKADObject {
 public:
  enum class Force { No, Yes };
  enum class ClearFirst { No, Yes };
  enum class LookUp { No, Yes };
  enum class Subtree { No, Yes };
  enum class Required { No, Yes };

  explicit CBVKADObject(ds::Directory* directory = nullptr);
  // An object whose Children list makes elements of child_kind.
  CBVKADObject(ds::Directory* directory, const CBVKObjectKind& child_kind);
  virtual ~CBVKADObject();
  CBVKADObject(const CBVKADObject&) = delete;
  CBVKADObject& operator=(const CBVKADObject&) = delete;

  ds::Directory* Directory() const { return directory_; }
  void SetDirectory(ds::Directory* directory) { directory_ = directory; }
  CBVKError& Error() { return Properties.Error(); }
  const CBVKError& Error() const { return Properties.Error(); }

  // --- Binding.
  // Binds "LDAP://" + the normalised path. *exists is 1, or 0 when the object does not exist.
  [[nodiscard]] bool Open(const std::string& path, std::unique_ptr<ds::Object>* object,
                          int* exists = nullptr);
  // Names this object "rootDSE", takes the default naming context as its DN and returns the
  // other three; fails at the first value that cannot be read.
  [[nodiscard]] bool ReadRootDSE(std::string* schema_naming_context,
                                 std::string* configuration_naming_context,
                                 std::string* root_domain_naming_context);

  // --- Children.
  // Fills the target (default Children) from the container at path (default this DN), reading
  // the named attributes of every child. Runs only with Force::Yes or while Children is empty.
  // Fails only when the container cannot be bound.
  [[nodiscard]] bool EnumChildren(Force force, const std::string& path = "",
                                  const std::vector<std::string>& attributes = {},
                                  CBVKADObjectList* target = nullptr,
                                  ClearFirst clear = ClearFirst::No);
  // Fills the target (default Children) with the objects of the categories below path (default
  // this DN), once: nothing happens while Children has entries. Fails when the search fails.
  [[nodiscard]] bool SearchChildren(const std::string& path,
                                    const std::vector<std::string>& categories,
                                    const std::vector<std::string>& attributes, Subtree subtree,
                                    CBVKADObjectList* target = nullptr);
  // With LookUp::Yes the element whose DN equals dn, else a new element named and parented here.
  CBVKADObject* FindOrAddChild(const std::string& name, const std::string& dn, LookUp look_up,
                               CBVKADObjectList* target = nullptr);
  int GetChildCount() const { return Children.GetCount(); }
  CBVKADObject* GetChild(int index) const { return Children.GetAt(index); }
  bool RemoveChild(int index) { return Children.RemoveAt(index); }
  bool RemoveChild(const CBVKADObject* child) { return Children.Remove(child); }
  bool IsChild(const CBVKADObject* child) const { return Children.Contains(child); }

  // --- Search: rows of filter below base go to the holder's handler or row list. Fails, with
  // the message in the holder, when the base cannot be bound or the search breaks off.
  [[nodiscard]] bool Search(CBVKADSearch& holder, const std::string& base,
                            const std::string& filter, const std::vector<std::string>& columns,
                            Subtree subtree);

  // --- Creating, renaming, moving. Each fails when the container cannot be bound or the
  // directory refuses.
  // A new object named "CN=" + rdn (unless rdn already begins with "CN="), not yet committed.
  [[nodiscard]] bool CreateObject(ds::Object& container, const std::string& class_name,
                                  const std::string& rdn, std::unique_ptr<ds::Object>* created);
  [[nodiscard]] bool CreateInContainer(const std::string& container_path,
                                       const std::string& class_name, const std::string& rdn,
                                       std::unique_ptr<ds::Object>* created);
  [[nodiscard]] bool RenameObject(const std::string& container_path, const std::string& object_dn,
                                  const std::string& new_rdn);
  [[nodiscard]] bool MoveObject(const std::string& container_path, const std::string& object_dn);
  // The DN of the object with that GUID ("{6F96...}" or bare hex digits).
  [[nodiscard]] bool GetDNFromGUID(const std::string& guid_text, std::string* dn);

  // --- Domains of the forest. Each domain that cannot be read adds a line; the others are still
  // listed.
  [[nodiscard]] bool EnumDomainDNs(std::vector<std::string>* domain_dns);
  // Dotted domain name -> domain DN.
  [[nodiscard]] bool BuildDomainMap(std::map<std::string, std::string>* domains);

  // --- Writing values (nothing reaches the directory before Commit, unless said otherwise).
  // Each fails with "Could not modify the attribute ..." and the directory's reason.
  [[nodiscard]] bool PutString(ds::Object& object, const std::string& attribute,
                               const std::string& text);  // empty text clears
  [[nodiscard]] bool PutBoolean(ds::Object& object, const std::string& attribute,
                                std::int16_t value);
  [[nodiscard]] bool PutInteger(ds::Object& object, const std::string& attribute,
                                std::int32_t value);
  // A value of the Large Integer syntax, all 64 bits of it.
  [[nodiscard]] bool PutLargeInteger(ds::Object& object, const std::string& attribute,
                                     std::int64_t value);
  enum class AppendValues { No, Yes };
  [[nodiscard]] bool PutMultiString(ds::Object& object, const std::string& attribute,
                                    const std::vector<std::string>& texts, AppendValues append);
  [[nodiscard]] bool ClearAttribute(ds::Object& object, const std::string& attribute);
  // Appends a SID given as "S-1-..." text; written at once. Fails for text that is not a SID.
  [[nodiscard]] bool AppendSID(ds::Object& object, const std::string& attribute,
                               const std::string& sid_text);
  // Writes the values put since the object was bound or created; *result gets the HRESULT.
  [[nodiscard]] bool Commit(ds::Object& object, HRESULT* result = nullptr);
  // Written at once.
  [[nodiscard]] bool SetPassword(ds::Object& user, const std::string& password);
  // Sets the flag and commits at once.
  [[nodiscard]] bool SetAccountDisabled(ds::Object& user, bool disabled);
  // Written at once; a member already in the group counts as added.
  [[nodiscard]] bool AddGroupMember(const std::string& group_dn, const std::string& member_dn);
  [[nodiscard]] bool RemoveGroupMember(const std::string& group_dn, const std::string& member_dn);

  // --- Reading one attribute. Without a value: an empty result, or with Required::Yes a failure.
  [[nodiscard]] bool GetStringAttribute(ds::Object& object, const std::string& attribute,
                                        std::string* text, Required required);
  [[nodiscard]] bool GetStringListAttribute(ds::Object& object, const std::string& attribute,
                                            std::vector<std::string>* texts, Required required);
  [[nodiscard]] bool GetPathAttribute(const std::string& path, const std::string& attribute,
                                      std::string* text, Required required);
  [[nodiscard]] bool GetOwnAttribute(const std::string& attribute, std::string* text,
                                     Required required);

  // --- Schema: the syntax of an attribute named by display name (cn) or LDAP name. Fills the
  // missing name, the ADSI and variant types, the single-valued flag and, when asked, the syntax
  // text. Fails when the attribute is not in the schema or its syntax is not known.
  [[nodiscard]] bool GetAttributeInfo(const std::string& schema_naming_context,
                                      std::string* display_name, std::string* ldap_name,
                                      int* ads_type, int* variant_type, bool* single_valued,
                                      std::string* syntax_text = nullptr);

  // --- Exchange: gives the user a mailbox in the store (homeMDB DN). Succeeds when the user
  // has a mailbox afterwards, also one it had before.
  [[nodiscard]] bool CreateMailbox(const std::string& user_dn, const std::string& home_mdb_dn);

  CBVKADPropertySet Properties;
  int IsOrganizationalUnit = 0;
  CBVKADObjectList Children;
  std::string DistinguishedName;
  std::string Name;
  CBVKADObject* Parent = nullptr;

 private:
  [[nodiscard]] bool Bind(const std::string& path, std::unique_ptr<ds::Object>* object, int* exists,
                          CBVKError& error);
  // The directory's fast bind: nothing is read, so a missing object shows at its first use.
  [[nodiscard]] bool BindFast(const std::string& path, std::unique_ptr<ds::Object>* object,
                              CBVKError& error);
  // The message of a failed bind of path, for a failure that shows only at the first use.
  static void SetOpenError(const std::string& path, HRESULT hr, CBVKError& error);
  [[nodiscard]] bool ReadOneAttribute(ds::Object& object, const std::string& attribute,
                                      std::vector<std::string>* texts, Required required);

  ds::Directory* directory_;
};

}  // namespace tessary
