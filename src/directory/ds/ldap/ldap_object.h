#pragma once
// One directory object over LDAP, with ADSI's property cache: reads fill the cache (all user
// attributes at once), Put/PutEx collect changes, SetInfo sends them as one add (a new object)
// or one modify.

#include <memory>
#include <string>
#include <vector>

#include "directory/ds/ldap/session.h"
#include "directory/ds/object.h"
#include "directory/ds/property_cache.h"

namespace tessary::ds::ldap {

class LdapObject final : public Object {
 public:
  enum class Kind { kEntry, kRootDse, kSchemaClass };

  // An object that exists; its cache holds the entry's attributes. complete says whether the
  // entry was read with every user attribute (then no GetInfo is needed for a Get).
  LdapObject(std::shared_ptr<Session> session, Entry entry, Kind kind, bool complete);
  // A new object of class_name at dn, written by its first SetInfo.
  LdapObject(std::shared_ptr<Session> session, std::string dn, std::string class_name);

  HRESULT GetName(std::string* rdn) override;
  HRESULT GetClass(std::string* name) override;
  HRESULT GetGuid(std::string* hex) override;
  HRESULT GetAdsPath(std::string* path) override;
  HRESULT GetParent(std::string* path) override;
  HRESULT Get(const std::string& name, Value* value) override;
  HRESULT GetEx(const std::string& name, Values* values) override;
  HRESULT GetPropertyNames(std::vector<std::string>* names) override;
  HRESULT Put(const std::string& name, const Value& value) override;
  HRESULT PutEx(PropertyOperation operation, const std::string& name,
                const Values& values) override;
  HRESULT GetInfo() override;
  HRESULT GetInfoEx(const std::vector<std::string>& names) override;
  HRESULT SetInfo() override;
  HRESULT EnumChildren(std::unique_ptr<ChildCursor>* children) override;
  HRESULT Create(const std::string& class_name, const std::string& rdn,
                 std::unique_ptr<Object>* created) override;
  HRESULT MoveHere(const std::string& source_path, const std::string& new_rdn,
                   std::unique_ptr<Object>* moved) override;
  HRESULT Delete(const std::string& class_name, const std::string& rdn) override;
  HRESULT ExecuteSearch(const SearchRequest& request,
                        std::unique_ptr<SearchCursor>* cursor) override;
  HRESULT GetObjectAttributes(const std::vector<std::string>& names,
                              std::vector<Attribute>* attributes) override;
  HRESULT SetObjectAttributes(const std::vector<AttributeChange>& changes, int* written) override;
  HRESULT SetPassword(const std::string& password) override;
  HRESULT GetAccountDisabled(bool* disabled) override;
  HRESULT PutAccountDisabled(bool disabled) override;
  HRESULT Add(const std::string& member_path) override;
  HRESULT Remove(const std::string& member_path) override;
  HRESULT IsMember(const std::string& member_path, bool* member) override;
  HRESULT GetMandatoryProperties(std::vector<std::string>* names) override;
  HRESULT GetOptionalProperties(std::vector<std::string>* names) override;
  HRESULT QueryMailboxStore(std::unique_ptr<MailboxStore>* store) override;

 private:
  HRESULT EnsureLoaded();
  void NameSchemaClass();
  HRESULT ToWire(const std::string& name, const Values& values,
                 std::vector<std::string>* wire) const;
  // True when the object is of that class or a subclass (its objectClass lists it), as ADSI
  // decides which interfaces an object offers.
  bool IsA(const std::string& class_name);
  HRESULT ChildDn(const std::string& rdn, std::string* dn) const;

  std::shared_ptr<Session> session_;
  Kind kind_ = Kind::kEntry;
  std::string dn_;
  std::string class_name_;  // new objects and schema classes
  bool bound_ = true;       // false until a new object's SetInfo
  PropertyCache cache_;
};

// The DN an ADsPath names: a DN path as written (escapes normalised) or a GUID path resolved by
// the directory. Fails with E_ADS_BAD_PATHNAME for other paths and the lookup's failure.
[[nodiscard]] HRESULT DnOfPath(Session& session, const std::string& path, std::string* dn);

}  // namespace tessary::ds::ldap
