#include "directory/ds/embedded/entry_object.h"

#include <algorithm>
#include <mutex>

#include "directory/ds/account_control.h"
#include "directory/ds/ads_path.h"
#include "directory/ds/ds_error.h"
#include "directory/ds/embedded/embedded_directory.h"
#include "directory/ds/embedded/entry_search.h"
#include "directory/ds/embedded/record_view.h"
#include "directory/ds/embedded/sid.h"
#include "directory/ds/embedded/writer.h"
#include "directory/ds/hex.h"
#include "directory/ds/mailbox_store.h"

namespace tessary::ds::embedded {
namespace {

class EntryChildren : public ChildCursor {
 public:
  EntryChildren(std::shared_ptr<Store> store, std::int64_t parent, std::int64_t nc)
      : store_(std::move(store)), parent_(parent), nc_(nc) {}

  HRESULT Next(std::unique_ptr<Object>* child) override {
    std::lock_guard lock(store_->mutex());
    Statement* s = store_->database().Prepare(
        "SELECT id FROM objects WHERE parent = ?1 AND id > ?2 AND nc = ?3 ORDER BY id LIMIT 1");
    if (s == nullptr) return E_FAIL;
    s->BindInt(1, parent_);
    s->BindInt(2, last_);
    s->BindInt(3, nc_);
    Statement::Step step = s->Next();
    std::int64_t id = step == Statement::Step::kRow ? s->Int(0) : 0;
    s->Reset();
    if (step == Statement::Step::kError) return E_FAIL;
    if (step == Statement::Step::kDone) return S_FALSE;
    ObjectRecord record;
    if (HRESULT hr = store_->FindById(id, &record); Failed(hr)) return hr;
    last_ = id;
    *child = std::make_unique<EntryObject>(store_, record);
    return S_OK;
  }

 private:
  std::shared_ptr<Store> store_;
  std::int64_t parent_;
  std::int64_t nc_;
  std::int64_t last_ = 0;
};

// "member;range=100-199" -> member, 100, 199; "member;range=200-*" -> member, 200, -1.
bool ParseRange(const std::string& name, std::string* base, std::int64_t* low, std::int64_t* high) {
  std::size_t semicolon = name.find(';');
  *base = name.substr(0, semicolon);
  *low = 0;
  *high = -1;
  if (semicolon == std::string::npos) return true;
  std::string option = AsciiLower(name.substr(semicolon + 1));
  if (!option.starts_with("range=")) return false;
  std::string range = option.substr(6);
  std::size_t dash = range.find('-');
  if (dash == std::string::npos) return false;
  std::string from = range.substr(0, dash);
  std::string to = range.substr(dash + 1);
  if (from.empty() || from.find_first_not_of("0123456789") != std::string::npos) return false;
  *low = std::stoll(from);
  if (to == "*") return true;
  if (to.empty() || to.find_first_not_of("0123456789") != std::string::npos) return false;
  *high = std::stoll(to);
  return *high >= *low;
}

std::set<std::string> ChainOf(const Schema& schema, const std::string& class_name) {
  std::set<std::string> chain;
  if (const ObjectClass* c = schema.FindClass(class_name)) {
    for (const ObjectClass* link : c->chain) chain.insert(link->key);
  }
  return chain;
}

}  // namespace

HRESULT ResolveEntryPath(Store& store, const std::string& path, ObjectRecord* record) {
  AdsPath parsed;
  if (HRESULT hr = ParseAdsPath(path, &parsed); Failed(hr)) return hr;
  if (parsed.kind == AdsPath::Kind::kDn) return store.FindByDn(parsed.value, record);
  if (parsed.kind == AdsPath::Kind::kGuid)
    return store.FindByGuid(BytesOfHex(parsed.value), record);
  return E_ADS_BAD_PATHNAME;
}

EntryObject::EntryObject(std::shared_ptr<Store> store, const ObjectRecord& record)
    : store_(std::move(store)) {
  // The attributes are read at the first Get, as ADSI reads them: a bind to add one member to a
  // group of thousands reads none of the members.
  TakeRecord(record);
}

EntryObject::EntryObject(std::shared_ptr<Store> store, std::string parent_dn,
                         std::string class_name, Rdn rdn)
    : store_(std::move(store)),
      parent_dn_(std::move(parent_dn)),
      class_name_(std::move(class_name)),
      rdn_(std::move(rdn)) {
  if (const ObjectClass* c = store_->schema().FindClass(class_name_)) {
    class_name_ = c->definition.ldap_display_name;
  }
  classes_ = ChainOf(store_->schema(), class_name_);
  dn_ = FormatRdn(rdn_) + "," + parent_dn_;
}

void EntryObject::TakeRecord(const ObjectRecord& record) {
  id_ = record.id;
  dn_ = record.dn;
  guid_ = record.guid;
  std::vector<Rdn> rdns;
  if (ParseDn(record.dn, &rdns)) {
    rdn_ = rdns.front();
    rdns.erase(rdns.begin());
    parent_dn_ = FormatDn(rdns);
  }
  if (const ObjectClass* c = StructuralClass(*store_, record)) {
    class_name_ = c->definition.ldap_display_name;
    classes_.clear();
    for (const ObjectClass* link : c->chain) classes_.insert(link->key);
  }
}

HRESULT EntryObject::Current(ObjectRecord* record) {
  if (!committed()) return E_ADS_OBJECT_UNBOUND;
  HRESULT hr = store_->FindById(id_, record);
  if (Succeeded(hr)) TakeRecord(*record);
  return hr;
}

HRESULT EntryObject::EnsureLoaded() {
  if (cache_.loaded() || !committed()) return S_OK;
  std::lock_guard lock(store_->mutex());
  ObjectRecord record;
  if (HRESULT hr = Current(&record); Failed(hr)) return hr;
  // Writes not yet committed stay laid over what is read.
  cache_.Load(AllAttributes(*store_, record));
  return S_OK;
}

HRESULT EntryObject::GetName(std::string* rdn) {
  *rdn = FormatRdn(rdn_);
  return S_OK;
}

HRESULT EntryObject::GetClass(std::string* name) {
  *name = class_name_;
  return S_OK;
}

HRESULT EntryObject::GetGuid(std::string* hex) {
  if (!committed()) return E_ADS_OBJECT_UNBOUND;
  *hex = HexOf(guid_);
  return S_OK;
}

HRESULT EntryObject::GetAdsPath(std::string* path) {
  *path = AdsPathOfDn(dn_);
  return S_OK;
}

HRESULT EntryObject::GetParent(std::string* path) {
  *path = parent_dn_.empty() ? "LDAP:" : AdsPathOfDn(parent_dn_);
  return S_OK;
}

HRESULT EntryObject::Get(const std::string& name, Value* value) {
  if (HRESULT hr = EnsureLoaded(); Failed(hr)) return hr;
  return cache_.Get(name, value);
}

HRESULT EntryObject::GetEx(const std::string& name, Values* values) {
  if (HRESULT hr = EnsureLoaded(); Failed(hr)) return hr;
  return cache_.GetEx(name, values);
}

HRESULT EntryObject::GetPropertyNames(std::vector<std::string>* names) {
  if (HRESULT hr = EnsureLoaded(); Failed(hr)) return hr;
  *names = cache_.Names();
  return S_OK;
}

HRESULT EntryObject::Put(const std::string& name, const Value& value) {
  return cache_.Write(ADS_PROPERTY_UPDATE, name, {value});
}

HRESULT EntryObject::PutEx(PropertyOperation operation, const std::string& name,
                           const Values& values) {
  return cache_.Write(operation, name, values);
}

HRESULT EntryObject::GetInfo() {
  if (!committed()) return E_ADS_OBJECT_UNBOUND;
  cache_.ClearPending();
  cache_.Invalidate();
  return EnsureLoaded();
}

HRESULT EntryObject::GetInfoEx(const std::vector<std::string>& names) {
  std::lock_guard lock(store_->mutex());
  ObjectRecord record;
  if (HRESULT hr = Current(&record); Failed(hr)) return hr;
  std::vector<Attribute> attributes;
  for (const std::string& name : names) {
    Attribute attribute;
    if (AttributeOf(*store_, record, name, &attribute)) attributes.push_back(std::move(attribute));
  }
  if (!cache_.loaded()) cache_.Load(AllAttributes(*store_, record));
  cache_.Merge(std::move(attributes), names);
  return S_OK;
}

HRESULT EntryObject::SetInfo() {
  std::lock_guard lock(store_->mutex());
  Writer writer(*store_, Origin::kClient);
  if (!committed()) {
    ObjectRecord created;
    HRESULT hr = writer.Create(parent_dn_, class_name_, rdn_, cache_.pending(),
                               Store::NamingContext::kInherit, &created);
    if (Failed(hr)) return hr;
    TakeRecord(created);
  } else if (!cache_.pending().empty()) {
    if (HRESULT hr = writer.Modify(id_, cache_.pending()); Failed(hr)) return hr;
  }
  cache_.ClearPending();
  cache_.Invalidate();
  return S_OK;
}

HRESULT EntryObject::EnumChildren(std::unique_ptr<ChildCursor>* children) {
  std::lock_guard lock(store_->mutex());
  ObjectRecord record;
  if (HRESULT hr = Current(&record); Failed(hr)) return hr;
  *children = std::make_unique<EntryChildren>(store_, record.id, record.nc);
  return S_OK;
}

HRESULT EntryObject::Create(const std::string& class_name, const std::string& rdn,
                            std::unique_ptr<Object>* created) {
  std::vector<Rdn> rdns;
  if (!ParseDn(rdn, &rdns) || rdns.size() != 1) return E_DS_INVALID_DN_SYNTAX;
  std::lock_guard lock(store_->mutex());
  ObjectRecord record;
  if (HRESULT hr = Current(&record); Failed(hr)) return hr;
  *created = std::make_unique<EntryObject>(store_, record.dn, class_name, rdns.front());
  return S_OK;
}

HRESULT EntryObject::MoveHere(const std::string& source_path, const std::string& new_rdn,
                              std::unique_ptr<Object>* moved) {
  std::lock_guard lock(store_->mutex());
  ObjectRecord container;
  ObjectRecord source;
  if (HRESULT hr = Current(&container); Failed(hr)) return hr;
  if (HRESULT hr = ResolveEntryPath(*store_, source_path, &source); Failed(hr)) return hr;
  ObjectRecord result;
  HRESULT hr = Writer(*store_, Origin::kClient).Move(source.id, container.dn, new_rdn, &result);
  if (Failed(hr)) return hr;
  if (moved != nullptr) *moved = std::make_unique<EntryObject>(store_, result);
  return S_OK;
}

HRESULT EntryObject::Delete(const std::string& class_name, const std::string& rdn) {
  std::vector<Rdn> rdns;
  if (!ParseDn(rdn, &rdns) || rdns.size() != 1) return E_DS_INVALID_DN_SYNTAX;
  std::lock_guard lock(store_->mutex());
  ObjectRecord container;
  ObjectRecord child;
  if (HRESULT hr = Current(&container); Failed(hr)) return hr;
  if (HRESULT hr = store_->FindByDn(FormatRdn(rdns.front()) + "," + container.dn, &child);
      Failed(hr)) {
    return hr;
  }
  if (!class_name.empty() && !IsInstanceOf(*store_, child, class_name.c_str())) {
    return E_DS_NO_SUCH_OBJECT;
  }
  return Writer(*store_, Origin::kClient).Delete(child.id);
}

HRESULT EntryObject::ExecuteSearch(const SearchRequest& request,
                                   std::unique_ptr<SearchCursor>* cursor) {
  std::lock_guard lock(store_->mutex());
  ObjectRecord base;
  if (HRESULT hr = Current(&base); Failed(hr)) return hr;
  return StartSearch(store_, base, request, cursor);
}

HRESULT EntryObject::GetObjectAttributes(const std::vector<std::string>& names,
                                         std::vector<Attribute>* attributes) {
  std::lock_guard lock(store_->mutex());
  ObjectRecord record;
  if (HRESULT hr = Current(&record); Failed(hr)) return hr;
  attributes->clear();
  for (const std::string& name : names) {
    if (name == "*") {
      std::vector<Attribute> all = AllAttributes(*store_, record);
      attributes->insert(attributes->end(), all.begin(), all.end());
      continue;
    }
    std::string base;
    std::int64_t low = 0;
    std::int64_t high = -1;
    if (!ParseRange(name, &base, &low, &high)) return E_DS_UNWILLING_TO_PERFORM;
    Attribute attribute;
    if (!AttributeOf(*store_, record, base, &attribute)) continue;
    if (name.find(';') != std::string::npos) {
      auto count = static_cast<std::int64_t>(attribute.values.size());
      if (low >= count) continue;  // nothing left in this range
      std::int64_t last = high < 0 || high >= count - 1 ? count - 1 : high;
      attribute.values =
          Values(attribute.values.begin() + low, attribute.values.begin() + last + 1);
      attribute.name += ";range=" + std::to_string(low) + "-" +
                        (last == count - 1 ? std::string("*") : std::to_string(last));
    }
    attributes->push_back(std::move(attribute));
  }
  return S_OK;
}

HRESULT EntryObject::SetObjectAttributes(const std::vector<AttributeChange>& changes,
                                         int* written) {
  *written = 0;
  std::vector<Change> list;
  for (const AttributeChange& change : changes) {
    list.push_back({change.operation, change.name, change.values});
  }
  std::lock_guard lock(store_->mutex());
  if (!committed()) return E_ADS_OBJECT_UNBOUND;
  if (HRESULT hr = Writer(*store_, Origin::kClient).Modify(id_, list); Failed(hr)) return hr;
  *written = static_cast<int>(changes.size());
  cache_.Invalidate();
  return S_OK;
}

HRESULT EntryObject::SetPassword(const std::string& password) {
  if (!Is("user")) return E_NOINTERFACE;
  std::lock_guard lock(store_->mutex());
  if (!committed()) return E_ADS_OBJECT_UNBOUND;
  if (HRESULT hr = Writer(*store_, Origin::kClient).SetPassword(id_, password); Failed(hr)) {
    return hr;
  }
  cache_.Invalidate();
  return S_OK;
}

HRESULT EntryObject::GetAccountDisabled(bool* disabled) {
  if (!Is("user")) return E_NOINTERFACE;
  if (HRESULT hr = EnsureLoaded(); Failed(hr)) return hr;
  return ReadAccountDisabled(cache_, disabled);
}

HRESULT EntryObject::PutAccountDisabled(bool disabled) {
  if (!Is("user")) return E_NOINTERFACE;
  if (HRESULT hr = EnsureLoaded(); Failed(hr)) return hr;
  return WriteAccountDisabled(cache_, disabled);
}

HRESULT EntryObject::ChangeMember(PropertyOperation operation, const std::string& member_path) {
  if (!Is("group")) return E_NOINTERFACE;
  std::lock_guard lock(store_->mutex());
  if (!committed()) return E_ADS_OBJECT_UNBOUND;
  ObjectRecord member;
  if (HRESULT hr = ResolveEntryPath(*store_, member_path, &member); Failed(hr)) return hr;
  HRESULT hr =
      Writer(*store_, Origin::kClient)
          .Modify(id_, {{operation, "member", {Value::String(member.dn, ADSTYPE_DN_STRING)}}});
  if (Succeeded(hr)) cache_.Invalidate();
  return hr;
}

HRESULT EntryObject::Add(const std::string& member_path) {
  return ChangeMember(ADS_PROPERTY_APPEND, member_path);
}

HRESULT EntryObject::Remove(const std::string& member_path) {
  return ChangeMember(ADS_PROPERTY_DELETE, member_path);
}

HRESULT EntryObject::IsMember(const std::string& member_path, bool* member) {
  if (!Is("group")) return E_NOINTERFACE;
  std::lock_guard lock(store_->mutex());
  ObjectRecord group;
  ObjectRecord candidate;
  if (HRESULT hr = Current(&group); Failed(hr)) return hr;
  if (HRESULT hr = ResolveEntryPath(*store_, member_path, &candidate); Failed(hr)) return hr;
  const AttributeType* type = store_->schema().FindAttribute("member");
  *member = false;
  if (type == nullptr) return S_OK;
  return store_->HasLink(group.id, type->number, candidate.id, member);
}

HRESULT EntryObject::QueryMailboxStore(std::unique_ptr<MailboxStore>* mailbox) {
  if (!Is("user")) return E_NOINTERFACE;
  std::string dn, configuration_dn;
  {
    std::lock_guard lock(store_->mutex());
    if (!committed()) return E_ADS_OBJECT_UNBOUND;
    ObjectRecord user;
    if (HRESULT hr = Current(&user); Failed(hr)) return hr;
    dn = user.dn;
    configuration_dn = store_->forest().configuration_dn;
  }
  // Asked each time: the organisation may be created while the directory is open.
  std::unique_ptr<Directory> directory = DirectoryOfStore(store_);
  bool installed = false;
  if (HRESULT hr = FindExchangeInstalled(*directory, &installed); Failed(hr)) return hr;
  if (!installed) return E_NOINTERFACE;
  *mailbox = MakeMailboxStore(std::move(directory), dn, configuration_dn);
  return S_OK;
}

}  // namespace tessary::ds::embedded
