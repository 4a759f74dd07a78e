#include "directory/ds/ldap/ldap_object.h"

#include <algorithm>

#include "directory/ds/account_control.h"
#include "directory/ds/ads_path.h"
#include "directory/ds/dn.h"
#include "directory/ds/ds_error.h"
#include "directory/ds/hex.h"
#include "directory/ds/ldap/ldap_directory.h"
#include "directory/ds/ldap/ldap_search.h"
#include "directory/ds/ldap/schema_class.h"
#include "directory/ds/mailbox_store.h"

namespace tessary::ds::ldap {
namespace {

// dn written the one way RFC 4514 writes it (ADSI paths may carry escapes such as "\/").
HRESULT CanonicalDn(const std::string& dn, std::string* canonical) {
  std::vector<Rdn> rdns;
  if (!ParseDn(dn, &rdns)) return E_ADS_BAD_PATHNAME;
  *canonical = FormatDn(rdns);
  return S_OK;
}

Modification::Kind KindOf(PropertyOperation operation) {
  switch (operation) {
    case ADS_PROPERTY_APPEND:
      return Modification::Kind::kAdd;
    case ADS_PROPERTY_DELETE:
      return Modification::Kind::kDelete;
    default:
      // A clear is a replace without values: unlike a delete, no failure when the object has
      // none, since clearing an empty attribute is what the caller wanted.
      return Modification::Kind::kReplace;
  }
}

}  // namespace

HRESULT DnOfPath(Session& session, const std::string& path, std::string* dn) {
  AdsPath parsed;
  HRESULT hr = ParseAdsPath(path, &parsed);
  if (Failed(hr)) return hr;
  if (parsed.kind == AdsPath::Kind::kDn) return CanonicalDn(parsed.value, dn);
  if (parsed.kind != AdsPath::Kind::kGuid) return E_ADS_BAD_PATHNAME;
  Entry entry;
  hr = session.ReadEntry("<GUID=" + parsed.value + ">", {"1.1"}, &entry);
  if (Failed(hr)) return hr;
  *dn = entry.dn;
  return S_OK;
}

LdapObject::LdapObject(std::shared_ptr<Session> session, Entry entry, Kind kind, bool complete)
    : session_(std::move(session)), kind_(kind), dn_(std::move(entry.dn)) {
  cache_.Load(std::move(entry.attributes));
  // A partial entry serves the reads it has and is read whole on the first it lacks.
  if (!complete) cache_.Invalidate();
  NameSchemaClass();
}

LdapObject::LdapObject(std::shared_ptr<Session> session, std::string dn, std::string class_name)
    : session_(std::move(session)),
      dn_(std::move(dn)),
      class_name_(std::move(class_name)),
      bound_(false) {
  cache_.Load({});
}

void LdapObject::NameSchemaClass() {
  if (kind_ != Kind::kSchemaClass) return;
  Value name;
  if (cache_.Get("lDAPDisplayName", &name) == S_OK && name.string() != nullptr) {
    class_name_ = *name.string();
  }
}

HRESULT LdapObject::EnsureLoaded() {
  if (cache_.loaded() || !bound_) return S_OK;
  Entry entry;
  HRESULT hr = session_->ReadEntry(dn_, {}, &entry);
  if (Failed(hr)) return hr;
  // Values put but not yet written stay laid over what the directory holds.
  cache_.Load(std::move(entry.attributes));
  return S_OK;
}

HRESULT LdapObject::GetName(std::string* rdn) {
  if (kind_ == Kind::kRootDse) {
    *rdn = "RootDSE";
    return S_OK;
  }
  if (kind_ == Kind::kSchemaClass) {
    *rdn = class_name_;
    return S_OK;
  }
  std::vector<Rdn> rdns;
  if (!ParseDn(dn_, &rdns)) return E_ADS_BAD_PATHNAME;
  *rdn = FormatRdn(rdns.front());
  return S_OK;
}

HRESULT LdapObject::GetClass(std::string* name) {
  if (kind_ == Kind::kSchemaClass) {
    *name = "Class";
    return S_OK;
  }
  if (!bound_) {
    *name = class_name_;
    return S_OK;
  }
  HRESULT hr = EnsureLoaded();
  if (Failed(hr)) return hr;
  Values classes;
  if (Failed(cache_.GetEx("objectClass", &classes)) || classes.back().string() == nullptr) {
    return E_ADS_PROPERTY_NOT_FOUND;
  }
  // AD lists objectClass from top down to the most specific class.
  *name = *classes.back().string();
  return S_OK;
}

HRESULT LdapObject::GetGuid(std::string* hex) {
  if (!bound_) return E_ADS_OBJECT_UNBOUND;
  HRESULT hr = EnsureLoaded();
  if (Failed(hr)) return hr;
  Value guid;
  if (Failed(cache_.Get("objectGUID", &guid)) || guid.octets() == nullptr) {
    return E_ADS_PROPERTY_NOT_FOUND;
  }
  *hex = HexOf(*guid.octets());
  return S_OK;
}

HRESULT LdapObject::GetAdsPath(std::string* path) {
  switch (kind_) {
    case Kind::kRootDse:
      *path = "LDAP://RootDSE";
      break;
    case Kind::kSchemaClass:
      *path = "LDAP://schema/" + class_name_;
      break;
    case Kind::kEntry:
      *path = AdsPathOfDn(dn_);
      break;
  }
  return S_OK;
}

HRESULT LdapObject::GetParent(std::string* path) {
  if (kind_ == Kind::kSchemaClass) {
    *path = "LDAP://schema";
    return S_OK;
  }
  std::vector<Rdn> rdns;
  if (!ParseDn(dn_, &rdns)) return E_ADS_BAD_PATHNAME;
  rdns.erase(rdns.begin());
  *path = rdns.empty() ? std::string("LDAP:") : AdsPathOfDn(FormatDn(rdns));
  return S_OK;
}

HRESULT LdapObject::Get(const std::string& name, Value* value) {
  Values values;
  HRESULT hr = GetEx(name, &values);
  if (Failed(hr)) return hr;
  if (values.size() != 1) return E_ADS_CANT_CONVERT_DATATYPE;
  *value = values.front();
  return S_OK;
}

HRESULT LdapObject::GetEx(const std::string& name, Values* values) {
  HRESULT hr = EnsureLoaded();
  if (Failed(hr)) return hr;
  return cache_.GetEx(name, values);
}

HRESULT LdapObject::GetPropertyNames(std::vector<std::string>* names) {
  HRESULT hr = EnsureLoaded();
  if (Failed(hr)) return hr;
  *names = cache_.Names();
  return S_OK;
}

HRESULT LdapObject::ToWire(const std::string& name, const Values& values,
                           std::vector<std::string>* wire) const {
  // A name the schema does not know goes as text; the directory refuses it at SetInfo.
  AttributeInfo info = session_->AttributeInfoOf(name);
  wire->clear();
  for (const Value& value : values) {
    HRESULT hr = LdapFromValue(value, info, &wire->emplace_back());
    if (Failed(hr)) return hr;
  }
  return S_OK;
}

HRESULT LdapObject::Put(const std::string& name, const Value& value) {
  return PutEx(ADS_PROPERTY_UPDATE, name, {value});
}

HRESULT LdapObject::PutEx(PropertyOperation operation, const std::string& name,
                          const Values& values) {
  return cache_.Write(operation, name, values);
}

HRESULT LdapObject::GetInfo() {
  if (!bound_) return E_ADS_OBJECT_UNBOUND;
  cache_.ClearPending();
  cache_.Invalidate();
  return EnsureLoaded();
}

HRESULT LdapObject::GetInfoEx(const std::vector<std::string>& names) {
  if (!bound_) return E_ADS_OBJECT_UNBOUND;
  Entry entry;
  HRESULT hr = session_->ReadEntry(dn_, names, &entry);
  if (Failed(hr)) return hr;
  cache_.Merge(std::move(entry.attributes), names);
  return S_OK;
}

HRESULT LdapObject::SetInfo() {
  if (bound_) {
    std::vector<Modification> changes;
    for (const Change& pending : cache_.pending()) {
      Modification& change = changes.emplace_back();
      change.kind = KindOf(pending.operation);
      change.name = pending.name;
      if (pending.operation == ADS_PROPERTY_CLEAR) continue;
      HRESULT hr = ToWire(pending.name, pending.values, &change.values);
      if (Failed(hr)) return hr;
    }
    HRESULT hr = session_->Modify(dn_, changes);
    if (Succeeded(hr)) cache_.Commit();
    return hr;
  }
  std::vector<Modification> attributes;
  Values classes;
  if (cache_.GetEx("objectClass", &classes) == E_ADS_PROPERTY_NOT_FOUND) {
    attributes.push_back({Modification::Kind::kAdd, "objectClass", {class_name_}});
  }
  for (const std::string& name : cache_.Names()) {
    Values values;
    if (Failed(cache_.GetEx(name, &values))) continue;
    Modification& attribute = attributes.emplace_back();
    attribute.kind = Modification::Kind::kAdd;
    attribute.name = name;
    HRESULT hr = ToWire(name, values, &attribute.values);
    if (Failed(hr)) return hr;
  }
  HRESULT hr = session_->Add(dn_, attributes);
  if (Failed(hr)) return hr;
  // The directory adds what it makes itself (objectGUID, objectSid, ...): read on next use.
  bound_ = true;
  cache_.ClearPending();
  cache_.Invalidate();
  return S_OK;
}

HRESULT LdapObject::EnumChildren(std::unique_ptr<ChildCursor>* children) {
  if (!bound_) return E_ADS_OBJECT_UNBOUND;
  *children = NewChildCursor(session_, dn_);
  return S_OK;
}

HRESULT LdapObject::ChildDn(const std::string& rdn, std::string* dn) const {
  std::vector<Rdn> rdns;
  if (!ParseDn(rdn, &rdns) || rdns.size() != 1) return E_ADS_BAD_PATHNAME;
  *dn = FormatRdn(rdns.front()) + "," + dn_;
  return S_OK;
}

HRESULT LdapObject::Create(const std::string& class_name, const std::string& rdn,
                           std::unique_ptr<Object>* created) {
  if (!bound_) return E_ADS_OBJECT_UNBOUND;
  if (kind_ != Kind::kEntry) return E_NOINTERFACE;
  std::string dn;
  HRESULT hr = ChildDn(rdn, &dn);
  if (Failed(hr)) return hr;
  *created = std::make_unique<LdapObject>(session_, dn, class_name);
  return S_OK;
}

HRESULT LdapObject::MoveHere(const std::string& source_path, const std::string& new_rdn,
                             std::unique_ptr<Object>* moved) {
  if (!bound_) return E_ADS_OBJECT_UNBOUND;
  if (kind_ != Kind::kEntry) return E_NOINTERFACE;
  std::string source;
  HRESULT hr = DnOfPath(*session_, source_path, &source);
  if (Failed(hr)) return hr;
  std::vector<Rdn> rdns;
  if (!ParseDn(new_rdn.empty() ? source : new_rdn, &rdns)) return E_ADS_BAD_PATHNAME;
  if (!new_rdn.empty() && rdns.size() != 1) return E_ADS_BAD_PATHNAME;
  std::string rdn = FormatRdn(rdns.front());
  hr = session_->Rename(source, rdn, dn_);
  if (Failed(hr) || moved == nullptr) return hr;
  Entry entry;
  hr = session_->ReadEntry(rdn + "," + dn_, {}, &entry);
  if (Failed(hr)) return hr;
  *moved = std::make_unique<LdapObject>(session_, std::move(entry), Kind::kEntry, true);
  return S_OK;
}

HRESULT LdapObject::Delete(const std::string& class_name, const std::string& rdn) {
  if (!bound_) return E_ADS_OBJECT_UNBOUND;
  if (kind_ != Kind::kEntry || class_name.empty()) return E_INVALIDARG;
  std::string dn;
  HRESULT hr = ChildDn(rdn, &dn);
  if (Failed(hr)) return hr;
  return session_->Delete(dn);
}

HRESULT LdapObject::ExecuteSearch(const SearchRequest& request,
                                  std::unique_ptr<SearchCursor>* cursor) {
  if (!bound_) return E_ADS_OBJECT_UNBOUND;
  *cursor = NewSearchCursor(session_, dn_, request);
  return S_OK;
}

HRESULT LdapObject::GetObjectAttributes(const std::vector<std::string>& names,
                                        std::vector<Attribute>* attributes) {
  if (!bound_) return E_ADS_OBJECT_UNBOUND;
  Entry entry;
  HRESULT hr = session_->ReadEntry(dn_, names, &entry);
  if (Failed(hr)) return hr;
  attributes->clear();
  for (Attribute& attribute : entry.attributes) {
    if (!attribute.values.empty()) attributes->push_back(std::move(attribute));
  }
  return S_OK;
}

HRESULT LdapObject::SetObjectAttributes(const std::vector<AttributeChange>& changes, int* written) {
  *written = 0;
  if (!bound_) return E_ADS_OBJECT_UNBOUND;
  std::vector<Modification> modifications;
  for (const AttributeChange& change : changes) {
    Modification& modification = modifications.emplace_back();
    if (change.operation < ADS_PROPERTY_CLEAR || change.operation > ADS_PROPERTY_DELETE) {
      return E_INVALIDARG;
    }
    modification.name = change.name;
    modification.kind = KindOf(change.operation);
    if (change.operation == ADS_PROPERTY_CLEAR) continue;
    HRESULT hr = ToWire(change.name, change.values, &modification.values);
    if (Failed(hr)) return hr;
  }
  HRESULT hr = session_->Modify(dn_, modifications);
  if (Failed(hr)) return hr;
  *written = static_cast<int>(changes.size());
  cache_.Invalidate();
  return S_OK;
}

bool LdapObject::IsA(const std::string& class_name) {
  if (!bound_) return AsciiLower(class_name_) == AsciiLower(class_name);
  Values classes;
  if (Failed(GetEx("objectClass", &classes))) return false;
  for (const Value& value : classes) {
    if (value.string() != nullptr && AsciiLower(*value.string()) == AsciiLower(class_name)) {
      return true;
    }
  }
  return false;
}

HRESULT LdapObject::SetPassword(const std::string& password) {
  if (!IsA("user")) return E_NOINTERFACE;
  if (!bound_) return E_ADS_OBJECT_UNBOUND;
  std::string wire;
  if (!UnicodePwdValue(password, &wire)) return E_INVALIDARG;
  // The connection is always encrypted (TLS or a sealing SASL layer), as AD requires for this.
  HRESULT hr = session_->Modify(dn_, {{Modification::Kind::kReplace, "unicodePwd", {wire}}});
  std::fill(wire.begin(), wire.end(), '\0');
  return hr;
}

HRESULT LdapObject::GetAccountDisabled(bool* disabled) {
  if (!IsA("user")) return E_NOINTERFACE;
  if (HRESULT hr = EnsureLoaded(); Failed(hr)) return hr;
  return ReadAccountDisabled(cache_, disabled);
}

HRESULT LdapObject::PutAccountDisabled(bool disabled) {
  if (!IsA("user")) return E_NOINTERFACE;
  if (HRESULT hr = EnsureLoaded(); Failed(hr)) return hr;
  return WriteAccountDisabled(cache_, disabled);
}

HRESULT LdapObject::Add(const std::string& member_path) {
  if (!IsA("group")) return E_NOINTERFACE;
  if (!bound_) return E_ADS_OBJECT_UNBOUND;
  std::string member;
  HRESULT hr = DnOfPath(*session_, member_path, &member);
  if (Failed(hr)) return hr;
  hr = session_->Modify(dn_, {{Modification::Kind::kAdd, "member", {member}}});
  // AD answers "entry already exists", Samba "attribute or value exists": both mean a member.
  if (hr == E_DS_ATTRIBUTE_OR_VALUE_EXISTS) return E_DS_ALREADY_EXISTS;
  return hr;
}

HRESULT LdapObject::Remove(const std::string& member_path) {
  if (!IsA("group")) return E_NOINTERFACE;
  if (!bound_) return E_ADS_OBJECT_UNBOUND;
  std::string member;
  HRESULT hr = DnOfPath(*session_, member_path, &member);
  if (Failed(hr)) return hr;
  return session_->Modify(dn_, {{Modification::Kind::kDelete, "member", {member}}});
}

HRESULT LdapObject::IsMember(const std::string& member_path, bool* member) {
  if (!IsA("group")) return E_NOINTERFACE;
  if (!bound_) return E_ADS_OBJECT_UNBOUND;
  std::string member_dn;
  HRESULT hr = DnOfPath(*session_, member_path, &member_dn);
  if (Failed(hr)) return hr;
  std::vector<Entry> entries;
  PageCookie no_paging;
  hr =
      session_->SearchPage(dn_, SearchScope::kBase, "(member=" + EscapeFilterValue(member_dn) + ")",
                           {"1.1"}, 0, &no_paging, &entries);
  if (Failed(hr)) return hr;
  *member = !entries.empty();
  return S_OK;
}

HRESULT LdapObject::GetMandatoryProperties(std::vector<std::string>* names) {
  if (kind_ != Kind::kSchemaClass) return E_NOINTERFACE;
  std::vector<std::string> optional;
  return ClassProperties(*session_, class_name_, names, &optional);
}

HRESULT LdapObject::GetOptionalProperties(std::vector<std::string>* names) {
  if (kind_ != Kind::kSchemaClass) return E_NOINTERFACE;
  std::vector<std::string> mandatory;
  return ClassProperties(*session_, class_name_, &mandatory, names);
}

HRESULT LdapObject::QueryMailboxStore(std::unique_ptr<MailboxStore>* mailbox) {
  if (!IsA("user")) return E_NOINTERFACE;
  if (!bound_) return E_ADS_OBJECT_UNBOUND;
  std::unique_ptr<Directory> directory = DirectoryOfSession(session_);
  if (!session_->ExchangeFound()) {
    bool installed = false;
    if (HRESULT hr = FindExchangeInstalled(*directory, &installed); Failed(hr)) return hr;
    if (!installed) return E_NOINTERFACE;
    session_->SetExchangeFound();
  }
  *mailbox = MakeMailboxStore(std::move(directory), dn_, session_->ConfigurationNamingContext());
  return S_OK;
}

}  // namespace tessary::ds::ldap
