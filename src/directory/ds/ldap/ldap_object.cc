#include "directory/ds/ldap/ldap_object.h"

#include <algorithm>

#include "directory/ds/ads_path.h"
#include "directory/ds/dn.h"
#include "directory/ds/ds_error.h"
#include "directory/ds/ldap/ldap_directory.h"
#include "directory/ds/ldap/ldap_search.h"
#include "directory/ds/ldap/schema_class.h"
#include "directory/ds/mailbox_store.h"

namespace tessary::ds::ldap {
namespace {

constexpr std::int32_t kAccountDisable = 0x2;
constexpr std::int32_t kNormalAccount = 0x200;

// dn written the one way RFC 4514 writes it (ADSI paths may carry escapes such as "\/").
HRESULT CanonicalDn(const std::string& dn, std::string* canonical) {
  std::vector<Rdn> rdns;
  if (!ParseDn(dn, &rdns)) return E_ADS_BAD_PATHNAME;
  *canonical = FormatDn(rdns);
  return S_OK;
}

std::string HexOf(const Bytes& bytes) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  for (std::uint8_t b : bytes) {
    hex += kHex[b >> 4];
    hex += kHex[b & 15];
  }
  return hex;
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
    : session_(std::move(session)), kind_(kind), dn_(std::move(entry.dn)), loaded_(complete) {
  Fill(entry);
}

LdapObject::LdapObject(std::shared_ptr<Session> session, std::string dn, std::string class_name)
    : session_(std::move(session)),
      dn_(std::move(dn)),
      class_name_(std::move(class_name)),
      bound_(false),
      loaded_(true) {}

void LdapObject::Fill(const Entry& entry) {
  for (const Attribute& attribute : entry.attributes) {
    cache_[AsciiLower(attribute.name)] = {attribute.name, attribute.values};
  }
  if (kind_ == Kind::kSchemaClass) {
    const Cached* name = Find("lDAPDisplayName");
    if (name != nullptr && !name->values.empty() && name->values[0].string() != nullptr) {
      class_name_ = *name->values[0].string();
    }
  }
}

const LdapObject::Cached* LdapObject::Find(const std::string& name) const {
  auto found = cache_.find(AsciiLower(name));
  return found == cache_.end() || found->second.values.empty() ? nullptr : &found->second;
}

HRESULT LdapObject::EnsureLoaded() {
  if (loaded_ || !bound_) return S_OK;
  Entry entry;
  HRESULT hr = session_->ReadEntry(dn_, {}, &entry);
  if (Failed(hr)) return hr;
  // Values put but not yet written stay in the cache over what the directory holds.
  std::map<std::string, Cached> pending_values;
  for (const Pending& change : pending_) {
    auto found = cache_.find(AsciiLower(change.name));
    if (found != cache_.end()) pending_values[found->first] = found->second;
  }
  cache_.clear();
  Fill(entry);
  for (auto& [key, cached] : pending_values) cache_[key] = cached;
  loaded_ = true;
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
  const Cached* classes = Find("objectClass");
  if (classes == nullptr || classes->values.back().string() == nullptr) {
    return E_ADS_PROPERTY_NOT_FOUND;
  }
  // AD lists objectClass from top down to the most specific class.
  *name = *classes->values.back().string();
  return S_OK;
}

HRESULT LdapObject::GetGuid(std::string* hex) {
  if (!bound_) return E_ADS_OBJECT_UNBOUND;
  HRESULT hr = EnsureLoaded();
  if (Failed(hr)) return hr;
  const Cached* guid = Find("objectGUID");
  if (guid == nullptr || guid->values[0].octets() == nullptr) return E_ADS_PROPERTY_NOT_FOUND;
  *hex = HexOf(*guid->values[0].octets());
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
  const Cached* cached = Find(name);
  if (cached == nullptr) return E_ADS_PROPERTY_NOT_FOUND;
  *values = cached->values;
  return S_OK;
}

HRESULT LdapObject::GetPropertyNames(std::vector<std::string>* names) {
  HRESULT hr = EnsureLoaded();
  if (Failed(hr)) return hr;
  names->clear();
  for (const auto& [key, cached] : cache_) {
    if (!cached.values.empty()) names->push_back(cached.name);
  }
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
  Cached& cached = cache_[AsciiLower(name)];
  cached.name = name;
  Pending change{Modification::Kind::kReplace, name, values};
  switch (operation) {
    case ADS_PROPERTY_CLEAR:
      // A replace without values removes the attribute and, unlike a delete, is no failure
      // when the object has none: clearing an empty attribute is what the caller wanted.
      cached.values.clear();
      change.kind = Modification::Kind::kReplace;
      change.values.clear();
      break;
    case ADS_PROPERTY_UPDATE:
      cached.values = values;
      break;
    case ADS_PROPERTY_APPEND:
      cached.values.insert(cached.values.end(), values.begin(), values.end());
      change.kind = Modification::Kind::kAdd;
      break;
    case ADS_PROPERTY_DELETE:
      std::erase_if(cached.values, [&](const Value& v) {
        return std::find(values.begin(), values.end(), v) != values.end();
      });
      change.kind = Modification::Kind::kDelete;
      break;
    default:
      return E_INVALIDARG;
  }
  pending_.push_back(std::move(change));
  return S_OK;
}

HRESULT LdapObject::GetInfo() {
  if (!bound_) return E_ADS_OBJECT_UNBOUND;
  pending_.clear();
  loaded_ = false;
  return EnsureLoaded();
}

HRESULT LdapObject::GetInfoEx(const std::vector<std::string>& names) {
  if (!bound_) return E_ADS_OBJECT_UNBOUND;
  Entry entry;
  HRESULT hr = session_->ReadEntry(dn_, names, &entry);
  if (Failed(hr)) return hr;
  for (const std::string& name : names) cache_.erase(AsciiLower(name));
  Fill(entry);
  return S_OK;
}

HRESULT LdapObject::SetInfo() {
  if (bound_) {
    std::vector<Modification> changes;
    for (const Pending& pending : pending_) {
      Modification& change = changes.emplace_back();
      change.kind = pending.kind;
      change.name = pending.name;
      HRESULT hr = ToWire(pending.name, pending.values, &change.values);
      if (Failed(hr)) return hr;
    }
    HRESULT hr = session_->Modify(dn_, changes);
    if (Succeeded(hr)) pending_.clear();
    return hr;
  }
  std::vector<Modification> attributes;
  if (Find("objectClass") == nullptr) {
    attributes.push_back({Modification::Kind::kAdd, "objectClass", {class_name_}});
  }
  for (const auto& [key, cached] : cache_) {
    if (cached.values.empty()) continue;
    Modification& attribute = attributes.emplace_back();
    attribute.kind = Modification::Kind::kAdd;
    attribute.name = cached.name;
    HRESULT hr = ToWire(cached.name, cached.values, &attribute.values);
    if (Failed(hr)) return hr;
  }
  HRESULT hr = session_->Add(dn_, attributes);
  if (Failed(hr)) return hr;
  // The directory adds what it makes itself (objectGUID, objectSid, ...): read on next use.
  bound_ = true;
  loaded_ = false;
  pending_.clear();
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
    modification.name = change.name;
    switch (change.operation) {
      case ADS_PROPERTY_CLEAR:
        modification.kind = Modification::Kind::kReplace;  // see PutEx
        break;
      case ADS_PROPERTY_UPDATE:
        modification.kind = Modification::Kind::kReplace;
        break;
      case ADS_PROPERTY_APPEND:
        modification.kind = Modification::Kind::kAdd;
        break;
      case ADS_PROPERTY_DELETE:
        modification.kind = Modification::Kind::kDelete;
        break;
      default:
        return E_INVALIDARG;
    }
    if (change.operation == ADS_PROPERTY_CLEAR) continue;
    HRESULT hr = ToWire(change.name, change.values, &modification.values);
    if (Failed(hr)) return hr;
  }
  HRESULT hr = session_->Modify(dn_, modifications);
  if (Failed(hr)) return hr;
  *written = static_cast<int>(changes.size());
  loaded_ = false;
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
  Value flags;
  HRESULT hr = Get("userAccountControl", &flags);
  if (Failed(hr)) return hr;
  if (flags.integer() == nullptr) return E_ADS_CANT_CONVERT_DATATYPE;
  *disabled = (*flags.integer() & kAccountDisable) != 0;
  return S_OK;
}

HRESULT LdapObject::PutAccountDisabled(bool disabled) {
  if (!IsA("user")) return E_NOINTERFACE;
  std::int32_t flags = kNormalAccount;
  Value current;
  HRESULT hr = Get("userAccountControl", &current);
  if (Succeeded(hr) && current.integer() != nullptr) {
    flags = *current.integer();
  } else if (hr != E_ADS_PROPERTY_NOT_FOUND && Failed(hr)) {
    return hr;
  }
  flags = disabled ? (flags | kAccountDisable) : (flags & ~kAccountDisable);
  return Put("userAccountControl", Value::Integer(flags));
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
  std::string no_paging;
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
