#pragma once
// One bound directory object as ADSI gives it (IADs, IADsContainer, IDirectorySearch,
// IDirectoryObject, IADsUser, IADsGroup, IADsClass): a property cache filled by GetInfo and
// written by SetInfo, plus the operations of containers, searches, users, groups and schema
// classes. Every call returns an HRESULT (S_OK or the failure code of the error tables) and never
// throws. An object holds no server resource between calls; a call that the object's kind does
// not offer fails with E_NOINTERFACE.

#include <memory>
#include <string>
#include <vector>

#include "directory/ds/search.h"
#include "directory/ds/value.h"
#include "platform/hresult.h"

namespace tessary::ds {

// ADS_PROPERTY_OPERATION_ENUM.
enum PropertyOperation : int {
  ADS_PROPERTY_CLEAR = 1,
  ADS_PROPERTY_UPDATE = 2,
  ADS_PROPERTY_APPEND = 3,
  ADS_PROPERTY_DELETE = 4,
};

// One change for SetObjectAttributes (ADS_ATTR_INFO).
struct AttributeChange {
  std::string name;
  PropertyOperation operation = ADS_PROPERTY_UPDATE;
  AdsType type = ADSTYPE_INVALID;
  Values values;
};

class Object;
class MailboxStore;

// The children of a container, one at a time (IEnumVARIANT::Next with one element).
class ChildCursor {
 public:
  virtual ~ChildCursor() = default;
  // S_OK with the next child, S_FALSE when there are no more, or the directory's failure.
  [[nodiscard]] virtual HRESULT Next(std::unique_ptr<Object>* child) = 0;
};

class Object {
 public:
  virtual ~Object() = default;

  // --- IADs: identity. Each fails with E_ADS_OBJECT_UNBOUND (0x80005009) on an object made by
  // Create that SetInfo has not yet written, where the value is not known yet (GUID).
  [[nodiscard]] virtual HRESULT GetName(std::string* rdn) = 0;      // "CN=Users"
  [[nodiscard]] virtual HRESULT GetClass(std::string* name) = 0;    // "user", "Class" for schema
  [[nodiscard]] virtual HRESULT GetGuid(std::string* hex) = 0;      // 32 hex digits, storage order
  [[nodiscard]] virtual HRESULT GetAdsPath(std::string* path) = 0;  // "LDAP://CN=...,DC=..."
  [[nodiscard]] virtual HRESULT GetParent(std::string* path) = 0;   // the parent's ADsPath

  // --- IADs: property cache. Reads fill the cache from the directory on first use.
  // Get: the single value; a multi-valued attribute holding several values gives them all
  // through GetEx and E_ADS_CANT_CONVERT_DATATYPE here. E_ADS_PROPERTY_NOT_FOUND (0x8000500D)
  // when the object has no value.
  [[nodiscard]] virtual HRESULT Get(const std::string& name, Value* value) = 0;
  [[nodiscard]] virtual HRESULT GetEx(const std::string& name, Values* values) = 0;
  // The names of the attributes in the cache (IADsPropertyList), after GetInfo if needed.
  [[nodiscard]] virtual HRESULT GetPropertyNames(std::vector<std::string>* names) = 0;
  // Put replaces the values in the cache; PutEx clears, replaces, appends or deletes values.
  // Nothing reaches the directory, and nothing is checked, before SetInfo; only an unknown
  // operation fails here (E_INVALIDARG).
  [[nodiscard]] virtual HRESULT Put(const std::string& name, const Value& value) = 0;
  [[nodiscard]] virtual HRESULT PutEx(PropertyOperation operation, const std::string& name,
                                      const Values& values) = 0;
  // GetInfo reloads the whole cache (pending writes are dropped); GetInfoEx loads the named
  // attributes, including constructed ones such as memberOf or canonicalName.
  [[nodiscard]] virtual HRESULT GetInfo() = 0;
  [[nodiscard]] virtual HRESULT GetInfoEx(const std::vector<std::string>& names) = 0;
  // Commits the pending writes in one transaction; for an object made by Create, this creates
  // it. Fails with the directory's code (0x8007200C unknown attribute, 0x8007200B bad syntax,
  // 0x80072014 attribute not allowed or mandatory one missing, 0x8007202F single value or range,
  // 0x8007200D value already there, 0x80071392 name or account name taken, 0x80072037 wrong
  // naming attribute or place) and leaves the directory unchanged; the writes stay pending.
  [[nodiscard]] virtual HRESULT SetInfo() = 0;

  // --- IADsContainer.
  [[nodiscard]] virtual HRESULT EnumChildren(std::unique_ptr<ChildCursor>* children) = 0;
  // A new child that exists only after its SetInfo. rdn is "CN=Name" or "OU=Name".
  [[nodiscard]] virtual HRESULT Create(const std::string& class_name, const std::string& rdn,
                                       std::unique_ptr<Object>* created) = 0;
  // Moves the object at source_path (an ADsPath) below this container; a non-empty new_rdn
  // also renames it (a rename when the source already is a child). moved may be null.
  [[nodiscard]] virtual HRESULT MoveHere(const std::string& source_path, const std::string& new_rdn,
                                         std::unique_ptr<Object>* moved) = 0;
  // Deletes the leaf child of that class and RDN (IADsContainer::Delete).
  [[nodiscard]] virtual HRESULT Delete(const std::string& class_name, const std::string& rdn) = 0;

  // --- IDirectorySearch, based at this object.
  [[nodiscard]] virtual HRESULT ExecuteSearch(const SearchRequest& request,
                                              std::unique_ptr<SearchCursor>* cursor) = 0;

  // --- IDirectoryObject. Names may carry a range ("member;range=0-99"); the answer names the
  // range returned. Binary attributes (objectSid, objectGUID) come as octet strings. An
  // attribute without values is left out of the answer.
  [[nodiscard]] virtual HRESULT GetObjectAttributes(const std::vector<std::string>& names,
                                                    std::vector<Attribute>* attributes) = 0;
  // Written at once, not through the cache; written counts the attributes written.
  [[nodiscard]] virtual HRESULT SetObjectAttributes(const std::vector<AttributeChange>& changes,
                                                    int* written) = 0;

  // --- IADsUser. SetPassword writes at once; AccountDisabled goes through the cache.
  [[nodiscard]] virtual HRESULT SetPassword(const std::string& password) = 0;
  [[nodiscard]] virtual HRESULT GetAccountDisabled(bool* disabled) = 0;
  [[nodiscard]] virtual HRESULT PutAccountDisabled(bool disabled) = 0;

  // --- IADsGroup; member paths are ADsPaths. Written at once. Add fails with
  // E_DS_ALREADY_EXISTS (0x80071392) when the member is already in the group.
  [[nodiscard]] virtual HRESULT Add(const std::string& member_path) = 0;
  [[nodiscard]] virtual HRESULT Remove(const std::string& member_path) = 0;
  [[nodiscard]] virtual HRESULT IsMember(const std::string& member_path, bool* member) = 0;

  // --- IADsClass (objects bound as "LDAP://schema/<class>"): attribute LDAP names, including
  // those inherited from superclasses and auxiliary classes.
  [[nodiscard]] virtual HRESULT GetMandatoryProperties(std::vector<std::string>* names) = 0;
  [[nodiscard]] virtual HRESULT GetOptionalProperties(std::vector<std::string>* names) = 0;

  // --- The Exchange 2000 management component (IMailboxStore) for a user: E_NOINTERFACE when
  // it is not installed for this directory.
  [[nodiscard]] virtual HRESULT QueryMailboxStore(std::unique_ptr<MailboxStore>* store) = 0;
};

// IMailboxStore of one user.
class MailboxStore {
 public:
  virtual ~MailboxStore() = default;
  // Writes homeMDB, msExchHomeServerName, mailNickname and legacyExchangeDN for the user once the
  // store (home_mdb_dn) is found; fails with E_DS_NO_SUCH_OBJECT when it is not, and with
  // E_DS_ALREADY_EXISTS when the user already has a mailbox.
  [[nodiscard]] virtual HRESULT CreateMailbox(const std::string& home_mdb_dn) = 0;
};

}  // namespace tessary::ds
