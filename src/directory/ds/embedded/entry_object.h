#pragma once
// A directory entry of the embedded directory (IADs with its container, search, directory
// object, user and group interfaces), bound by its id so a rename elsewhere never loses it.

#include <cstdint>
#include <memory>
#include <set>
#include <string>

#include "directory/ds/dn.h"
#include "directory/ds/embedded/object_base.h"
#include "directory/ds/property_cache.h"
#include "directory/ds/embedded/store.h"

namespace tessary::ds::embedded {

class EntryObject : public ObjectBase {
 public:
  // An existing entry, its cache filled from record.
  EntryObject(std::shared_ptr<Store> store, const ObjectRecord& record);
  // An entry made by Create that exists only after SetInfo.
  EntryObject(std::shared_ptr<Store> store, std::string parent_dn, std::string class_name, Rdn rdn);

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
  HRESULT QueryMailboxStore(std::unique_ptr<MailboxStore>* store) override;

 private:
  bool committed() const { return id_ != 0; }
  bool Is(const char* class_key) const { return classes_.contains(class_key); }
  void TakeRecord(const ObjectRecord& record);
  HRESULT EnsureLoaded();
  // The current record of a committed entry (under the store's lock).
  HRESULT Current(ObjectRecord* record);
  // Adds (ADS_PROPERTY_APPEND) or removes (ADS_PROPERTY_DELETE) a member of this group.
  HRESULT ChangeMember(PropertyOperation operation, const std::string& member_path);

  std::shared_ptr<Store> store_;
  std::int64_t id_ = 0;
  std::string dn_;
  std::string parent_dn_;
  std::string class_name_;
  std::set<std::string> classes_;  // lower-cased class chain
  Rdn rdn_;
  Bytes guid_;
  PropertyCache cache_;
};

// The id of the object a path names (a DN or a GUID path); E_DS_NO_SUCH_OBJECT when none,
// E_ADS_BAD_PATHNAME for other forms. Caller holds the store's lock.
[[nodiscard]] HRESULT ResolveEntryPath(Store& store, const std::string& path, ObjectRecord* record);

}  // namespace tessary::ds::embedded
