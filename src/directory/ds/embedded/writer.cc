#include "directory/ds/embedded/writer.h"

#include <algorithm>

#include "directory/ds/ds_error.h"
#include "directory/ds/embedded/account_rules.h"
#include "directory/ds/embedded/link_edits.h"
#include "directory/ds/embedded/password.h"
#include "directory/ds/embedded/protected_objects.h"
#include "directory/ds/embedded/sid.h"
#include "directory/ds/embedded/value_convert.h"
#include "support/unicode_fold.h"

namespace tessary::ds::embedded {
namespace {

constexpr std::int64_t kNever = 0x7FFFFFFFFFFFFFFFLL;
constexpr std::int64_t kUacAccountDisable = 0x2;
constexpr std::int64_t kUacPasswordNotRequired = 0x20;
constexpr std::int64_t kUacNormalAccount = 0x200;
constexpr std::int64_t kUacWorkstationTrust = 0x1000;
constexpr std::int64_t kMaxUserAccountName = 20;

// An empty self-relative security descriptor: AD gives every object one.
const Bytes kEmptySecurityDescriptor = {1, 0, 4, 0x80, 0, 0, 0, 0, 0, 0,
                                        0, 0, 0, 0,    0, 0, 0, 0, 0, 0};

// Calls body in a transaction; a failure rolls everything back and forgets cached names.
template <typename Body>
HRESULT InTransaction(Store& store, Body body) {
  if (store.writes_refused()) return E_ACCESSDENIED;
  Transaction transaction(store.database());
  if (!transaction.ok()) return E_FAIL;
  HRESULT hr = body();
  if (Succeeded(hr) && !transaction.Commit()) hr = E_FAIL;
  if (Failed(hr)) store.ForgetCachedNames();
  return hr;
}

std::vector<std::string> ClassesOf(Store& store, const ObjectRecord& record) {
  std::vector<std::string> names;
  const AttributeType* object_class = store.schema().FindAttribute("objectClass");
  if (object_class == nullptr) return names;
  if (const auto* values = record.attributes.Find(object_class->number)) {
    for (const Stored& value : *values) {
      if (const auto* name = std::get_if<std::string>(&value)) names.push_back(AsciiLower(*name));
    }
  }
  return names;
}

}  // namespace

const ObjectClass* StructuralClass(Store& store, const ObjectRecord& record) {
  std::vector<std::string> names = ClassesOf(store, record);
  return names.empty() ? nullptr : store.schema().FindClass(names.back());
}

bool IsInstanceOf(Store& store, const ObjectRecord& record, const char* class_name) {
  std::vector<std::string> names = ClassesOf(store, record);
  return std::find(names.begin(), names.end(), AsciiLower(class_name)) != names.end();
}

int Writer::Number(const char* name) const {
  const AttributeType* type = store_.schema().FindAttribute(name);
  return type == nullptr ? -1 : type->number;
}

const ObjectClass* Writer::ClassOf(const ObjectRecord& record) const {
  return StructuralClass(store_, record);
}

void Writer::SetNumber(const char* name, std::int64_t value, ObjectRecord* record,
                       bool only_if_absent) {
  int number = Number(name);
  if (number < 0) return;
  if (only_if_absent && record->attributes.Find(number) != nullptr) return;
  record->attributes.Set(number, {value});
}

HRESULT Writer::Apply(const ObjectClass& object_class, const std::vector<Change>& changes,
                      bool creating, StoredAttributes* attributes, std::vector<int>* touched,
                      LinkEdits* links) {
  for (const Change& change : changes) {
    const AttributeType* type = store_.schema().FindAttribute(change.name);
    if (type == nullptr) return E_DS_ATTRIBUTE_TYPE_UNDEFINED;
    if (type->key == "objectclass") {
      // The class is fixed when the object is created (ADSI sends it itself).
      if (creating) continue;
      return E_DS_CANT_MOD_OBJ_CLASS;
    }
    if (origin_ == Origin::kClient) {
      if (HRESULT hr = AccountRules(store_, true).CheckClientWrite(*type, creating); Failed(hr)) {
        return hr;
      }
      if (type->definition.link_id % 2 != 0) return E_DS_UNWILLING_TO_PERFORM;
      if (type->definition.system_only) return E_DS_CONSTRAINT_VIOLATION;
      // Not system-only in the schema, yet only the directory itself marks the objects it
      // cannot do without: AD refuses a client that names it at all, even to clear it.
      if (type->key == "iscriticalsystemobject") return E_DS_UNWILLING_TO_PERFORM;
      if (!creating && type->key == object_class.rdn_attribute) return E_DS_CANT_ON_RDN;
    }
    std::vector<Stored> incoming;
    for (const Value& value : change.values) {
      Stored stored;
      if (HRESULT hr = ToStored(store_, *type, value, &stored); Failed(hr)) return hr;
      incoming.push_back(std::move(stored));
    }
    // A member that is already there is "the object already exists" in AD, as the group
    // interface reports it; other repeated values are "attribute or value exists".
    HRESULT repeated = type->key == "member" ? E_DS_ALREADY_EXISTS : E_DS_ATTRIBUTE_OR_VALUE_EXISTS;
    // A modify's add names at least one value (an LDAP add of none is refused by the server),
    // so an append of nothing fails as the servers fail it; a new object simply lacks it.
    if (change.operation == ADS_PROPERTY_APPEND && incoming.empty() && !creating) {
      return E_DS_CONSTRAINT_VIOLATION;
    }
    if (IsForwardLink(*type)) {
      std::vector<std::int64_t> targets;
      for (const Stored& value : incoming) targets.push_back(std::get<Link>(value).id);
      if (HRESULT hr = links->Apply(type->number, change.operation, targets, repeated);
          Failed(hr)) {
        return hr;
      }
      continue;
    }
    const std::vector<Stored>* existing = attributes->Find(type->number);
    std::vector<Stored> values = existing != nullptr ? *existing : std::vector<Stored>();
    auto contains = [&](const std::vector<Stored>& list, const Stored& value) {
      return std::any_of(list.begin(), list.end(),
                         [&](const Stored& v) { return SameValue(*type, v, value); });
    };
    switch (change.operation) {
      case ADS_PROPERTY_CLEAR:
        values.clear();
        break;
      case ADS_PROPERTY_UPDATE:
        values.clear();
        for (Stored& value : incoming) {
          if (contains(values, value)) return E_DS_ATTRIBUTE_OR_VALUE_EXISTS;
          values.push_back(std::move(value));
        }
        break;
      case ADS_PROPERTY_APPEND:
        for (Stored& value : incoming) {
          if (contains(values, value)) return repeated;
          values.push_back(std::move(value));
        }
        break;
      case ADS_PROPERTY_DELETE:
        if (incoming.empty()) {
          if (values.empty()) return E_DS_NO_ATTRIBUTE_OR_VALUE;
          values.clear();
        }
        for (const Stored& value : incoming) {
          auto found = std::find_if(values.begin(), values.end(),
                                    [&](const Stored& v) { return SameValue(*type, v, value); });
          if (found == values.end()) return E_DS_NO_ATTRIBUTE_OR_VALUE;
          values.erase(found);
        }
        break;
      default:
        return E_INVALIDARG;
    }
    attributes->Set(type->number, std::move(values));
    touched->push_back(type->number);
  }
  return S_OK;
}

HRESULT Writer::Validate(const ObjectClass& object_class, const ObjectRecord& record,
                         const std::vector<int>& touched, LinkEdits& links, bool creating) {
  for (int number : touched) {
    const AttributeType* type = store_.AttributeByNumber(number);
    const std::vector<Stored>* values = record.attributes.Find(number);
    if (type == nullptr || values == nullptr) continue;
    if (!object_class.allowed_keys.contains(type->key)) return E_DS_OBJ_CLASS_VIOLATION;
    if (type->definition.single_valued && values->size() > 1) return E_DS_CONSTRAINT_VIOLATION;
    const AttributeDefinition& d = type->definition;
    for (const Stored& value : *values) {
      std::optional<std::int64_t> measure;
      if (const auto* text = std::get_if<std::string>(&value)) {
        measure = static_cast<std::int64_t>(CharacterCount(*text));
      } else if (const auto* bytes = std::get_if<Bytes>(&value)) {
        measure = static_cast<std::int64_t>(bytes->size());
      } else if (const auto* number_value = std::get_if<std::int64_t>(&value);
                 number_value != nullptr && (type->kind == StorageKind::kInteger ||
                                             type->kind == StorageKind::kLargeInteger)) {
        measure = *number_value;
      }
      if (measure && ((d.range_lower && *measure < *d.range_lower) ||
                      (d.range_upper && *measure > *d.range_upper))) {
        return E_DS_CONSTRAINT_VIOLATION;
      }
    }
    // Windows keeps user and computer account names to 20 characters (Samba does not).
    if (type->key == "samaccountname" && IsInstanceOf(store_, record, "user")) {
      const auto* name = std::get_if<std::string>(&values->front());
      if (name != nullptr &&
          static_cast<std::int64_t>(CharacterCount(*name)) > kMaxUserAccountName) {
        return E_DS_CONSTRAINT_VIOLATION;
      }
    }
  }
  for (int number : links.Attributes()) {
    const AttributeType* type = store_.AttributeByNumber(number);
    std::int64_t count = 0;
    if (HRESULT hr = links.CountAfter(number, 2, &count); Failed(hr)) return hr;
    if (type == nullptr || count == 0) continue;
    if (!object_class.allowed_keys.contains(type->key)) return E_DS_OBJ_CLASS_VIOLATION;
    if (type->definition.single_valued && count > 1) return E_DS_CONSTRAINT_VIOLATION;
  }
  if (origin_ == Origin::kSystem && creating) return S_OK;
  for (const std::string& key : object_class.must_keys) {
    const AttributeType* type = store_.schema().FindAttribute(key);
    if (type != nullptr && record.attributes.Find(type->number) == nullptr) {
      return E_DS_OBJ_CLASS_VIOLATION;
    }
  }
  return S_OK;
}

HRESULT Writer::ClaimAccount(const ObjectClass& object_class, const ObjectRecord& record) {
  int number = Number("sAMAccountName");
  int domain = store_.DomainOfNc(record.nc);
  if (number < 0 || domain < 0 || !object_class.allowed_keys.contains("samaccountname")) {
    return S_OK;
  }
  const std::vector<Stored>* values = record.attributes.Find(number);
  if (values == nullptr) return S_OK;
  bool taken = false;
  HRESULT hr = store_.ClaimAccountName(store_.forest().domains[domain].id, record.id,
                                       std::get<std::string>(values->front()), &taken);
  if (Failed(hr)) return hr;
  return taken ? E_DS_ALREADY_EXISTS : S_OK;
}

void Writer::Stamp(ObjectRecord* record, bool creating) {
  std::int64_t now = store_.Now().time_since_epoch().count();
  std::int64_t usn = store_.NextUsn();
  SetNumber("whenChanged", now, record, false);
  SetNumber("uSNChanged", usn, record, false);
  if (creating) {
    SetNumber("whenCreated", now, record, false);
    SetNumber("uSNCreated", usn, record, false);
  }
}

HRESULT Writer::AddSid(const ObjectClass& object_class, ObjectRecord* record) {
  int number = Number("objectSid");
  if (number < 0 || !object_class.must_keys.contains("objectsid") ||
      record->attributes.Find(number) != nullptr) {
    return S_OK;
  }
  int domain = store_.DomainOfNc(record->nc);
  if (domain < 0) return E_DS_UNWILLING_TO_PERFORM;  // security principals live in domains
  const ForestLayout::Domain& d = store_.forest().domains[domain];
  std::int64_t rid = store_.NextRid(d.id);
  if (rid <= 0) return E_FAIL;
  record->attributes.Set(number, {AccountSid(d.sid, static_cast<std::uint32_t>(rid))});
  return S_OK;
}

void Writer::SetDefaults(const ObjectClass& object_class, const ObjectRecord& parent,
                         ObjectRecord* record) {
  std::vector<Stored> chain;
  for (const ObjectClass* link : object_class.chain) {
    chain.emplace_back(link->definition.ldap_display_name);
  }
  record->attributes.Set(Number("objectClass"), std::move(chain));
  const std::string& category = object_class.definition.default_object_category;
  if (auto id = store_.IdOf("CN=" + (category.empty() ? object_class.definition.cn : category) +
                            "," + store_.forest().schema_dn)) {
    record->attributes.Set(Number("objectCategory"), {Link{*id}});
  }
  if (int sd = Number("nTSecurityDescriptor"); sd >= 0 && !record->attributes.Find(sd)) {
    record->attributes.Set(sd, {kEmptySecurityDescriptor});
  }
  record->nc = parent.nc;
  bool user = std::any_of(object_class.chain.begin(), object_class.chain.end(),
                          [](const ObjectClass* c) { return c->key == "user"; });
  if (user) {
    bool computer = object_class.key == "computer";
    // A new account starts disabled without a password, as Samba and AD create it over LDAP.
    SetNumber("userAccountControl",
              kUacPasswordNotRequired | kUacAccountDisable |
                  (computer ? kUacWorkstationTrust : kUacNormalAccount),
              record, true);
    SetNumber("accountExpires", kNever, record, true);
    for (const char* zero : {"pwdLastSet", "badPwdCount", "badPasswordTime", "codePage",
                             "countryCode", "logonCount", "lastLogon", "lastLogoff"}) {
      SetNumber(zero, 0, record, true);
    }
  }
  if (object_class.key == "group") {
    SetNumber("groupType", static_cast<std::int32_t>(0x80000002u), record, true);
  }
}

HRESULT Writer::Create(const std::string& parent_dn, const std::string& class_name, const Rdn& rdn,
                       const std::vector<Change>& changes, Store::NamingContext naming_context,
                       ObjectRecord* created) {
  return InTransaction(store_, [&]() -> HRESULT {
    const ObjectClass* object_class = store_.schema().FindClass(class_name);
    if (object_class == nullptr) return E_DS_OBJ_CLASS_VIOLATION;
    int category = object_class->definition.object_class_category;
    if (origin_ == Origin::kClient && category != 0 && category != 1) {
      return E_DS_OBJ_CLASS_VIOLATION;
    }
    if (AsciiLower(rdn.type) != object_class->rdn_attribute || rdn.value.empty()) {
      return E_DS_NAMING_VIOLATION;
    }
    if (!IsValidUtf8(rdn.value)) return E_DS_INVALID_DN_SYNTAX;
    ObjectRecord parent;
    bool has_parent = !parent_dn.empty();
    if (has_parent) {
      HRESULT hr = store_.FindByDn(parent_dn, &parent);
      // The head of a naming context may sit below a DN that names no object (DC=example under
      // DC=com); it then has no parent object.
      if (hr == E_DS_NO_SUCH_OBJECT && naming_context == Store::NamingContext::kHead) {
        has_parent = false;
      } else if (Failed(hr)) {
        return hr;
      }
    }
    if (has_parent && origin_ == Origin::kClient) {
      if (HRESULT hr = CheckClientSchemaWrite(store_, parent); Failed(hr)) return hr;
    }
    if (has_parent) {
      if (origin_ == Origin::kClient && !object_class->superior_keys.empty()) {
        std::vector<std::string> parent_classes = ClassesOf(store_, parent);
        bool allowed = std::any_of(
            parent_classes.begin(), parent_classes.end(),
            [&](const std::string& c) { return object_class->superior_keys.contains(c); });
        if (!allowed) return E_DS_NAMING_VIOLATION;
      }
    }
    ObjectRecord record;
    record.dn = FormatRdn(rdn) + (has_parent          ? "," + parent.dn
                                  : parent_dn.empty() ? ""
                                                      : "," + parent_dn);
    if (store_.IdOf(record.dn)) return E_DS_ALREADY_EXISTS;
    record.guid = NewGuid();
    std::vector<int> touched;
    LinkEdits links(store_, 0);
    if (HRESULT hr = Apply(*object_class, changes, true, &record.attributes, &touched, &links);
        Failed(hr)) {
      return hr;
    }
    int naming = Number(object_class->rdn_attribute.c_str());
    if (naming < 0) return E_DS_NAMING_VIOLATION;
    if (const auto* given = record.attributes.Find(naming)) {
      const auto* text = std::get_if<std::string>(&given->front());
      if (given->size() != 1 || text == nullptr || !EqualsFolded(*text, rdn.value)) {
        return E_DS_NAMING_VIOLATION;
      }
    }
    record.attributes.Set(naming, {rdn.value});
    SetDefaults(*object_class, parent, &record);
    if (HRESULT hr = AccountRules(store_, origin_ == Origin::kClient)
                         .Apply(*object_class, nullptr, &record, touched);
        Failed(hr)) {
      return hr;
    }
    bool head = naming_context == Store::NamingContext::kHead || !has_parent;
    if (!head) {
      if (HRESULT hr = AddSid(*object_class, &record); Failed(hr)) return hr;
    }
    SetNumber("instanceType", head ? 5 : 4, &record, false);
    Stamp(&record, true);
    if (HRESULT hr = Validate(*object_class, record, touched, links, true); Failed(hr)) return hr;
    if (HRESULT hr = store_.Insert(&record, has_parent ? &parent : nullptr, naming_context);
        Failed(hr)) {
      return hr;
    }
    if (HRESULT hr = links.Write(record.id); Failed(hr)) return hr;
    if (HRESULT hr = ClaimAccount(*object_class, record); Failed(hr)) return hr;
    if (created != nullptr) *created = std::move(record);
    return S_OK;
  });
}

HRESULT Writer::Modify(std::int64_t id, const std::vector<Change>& changes) {
  return InTransaction(store_, [&]() -> HRESULT {
    ObjectRecord record;
    if (HRESULT hr = store_.FindById(id, &record); Failed(hr)) return hr;
    const ObjectClass* object_class = ClassOf(record);
    if (object_class == nullptr) return E_FAIL;
    if (origin_ == Origin::kClient) {
      if (HRESULT hr = CheckClientSchemaWrite(store_, record); Failed(hr)) return hr;
    }
    AccountRules rules(store_, origin_ == Origin::kClient);
    AccountState before = rules.StateOf(record);
    std::vector<int> touched;
    LinkEdits links(store_, id);
    if (HRESULT hr = Apply(*object_class, changes, false, &record.attributes, &touched, &links);
        Failed(hr)) {
      return hr;
    }
    if (HRESULT hr = rules.Apply(*object_class, &before, &record, touched); Failed(hr)) return hr;
    if (HRESULT hr = Validate(*object_class, record, touched, links, false); Failed(hr)) return hr;
    Stamp(&record, false);
    if (HRESULT hr = store_.UpdateAttributes(record); Failed(hr)) return hr;
    if (HRESULT hr = links.Write(id); Failed(hr)) return hr;
    if (std::find(touched.begin(), touched.end(), Number("sAMAccountName")) != touched.end()) {
      return ClaimAccount(*object_class, record);
    }
    return S_OK;
  });
}

HRESULT Writer::Move(std::int64_t id, const std::string& new_parent_dn, const std::string& new_rdn,
                     ObjectRecord* moved) {
  return InTransaction(store_, [&]() -> HRESULT {
    ObjectRecord record;
    ObjectRecord parent;
    if (HRESULT hr = store_.FindById(id, &record); Failed(hr)) return hr;
    if (HRESULT hr = store_.FindByDn(new_parent_dn, &parent); Failed(hr)) return hr;
    const ObjectClass* object_class = ClassOf(record);
    if (object_class == nullptr) return E_FAIL;
    std::vector<Rdn> rdns;
    if (!ParseDn(new_rdn.empty() ? record.dn : new_rdn, &rdns)) return E_DS_INVALID_DN_SYNTAX;
    Rdn rdn = rdns.front();
    if (!new_rdn.empty() && rdns.size() != 1) return E_DS_INVALID_DN_SYNTAX;
    if (AsciiLower(rdn.type) != object_class->rdn_attribute || rdn.value.empty()) {
      return E_DS_NAMING_VIOLATION;
    }
    if (!IsValidUtf8(rdn.value)) return E_DS_INVALID_DN_SYNTAX;
    if (record.nc == record.id) return E_DS_UNWILLING_TO_PERFORM;  // a naming context head
    if (origin_ == Origin::kClient) {
      std::vector<Rdn> current;
      bool renaming = !ParseDn(record.dn, &current) || current.front().value != rdn.value;
      HRESULT hr = CheckClientMove(store_, record, renaming, parent.id != record.parent);
      if (Failed(hr)) return hr;
    }
    if (parent.path.starts_with(record.path)) return E_DS_UNWILLING_TO_PERFORM;
    if (parent.nc != record.nc) return HresultFromLdapResult(71);  // affects multiple DSAs
    // LostAndFound takes objects of every class; elsewhere the schema decides.
    if (parent.id != record.parent && !IsInstanceOf(store_, parent, "lostAndFound") &&
        !object_class->superior_keys.empty()) {
      std::vector<std::string> parent_classes = ClassesOf(store_, parent);
      if (std::none_of(parent_classes.begin(), parent_classes.end(), [&](const std::string& c) {
            return object_class->superior_keys.contains(c);
          })) {
        return E_DS_NAMING_VIOLATION;
      }
    }
    record.attributes.Set(Number(object_class->rdn_attribute.c_str()), {rdn.value});
    Stamp(&record, false);
    if (HRESULT hr = store_.Relocate(&record, parent, FormatRdn(rdn) + "," + parent.dn);
        Failed(hr)) {
      return hr;
    }
    if (moved != nullptr) *moved = std::move(record);
    return S_OK;
  });
}

HRESULT Writer::Delete(std::int64_t id) {
  return InTransaction(store_, [&]() -> HRESULT {
    ObjectRecord record;
    if (HRESULT hr = store_.FindById(id, &record); Failed(hr)) return hr;
    if (record.nc == record.id) return E_DS_UNWILLING_TO_PERFORM;
    if (origin_ == Origin::kClient) {
      if (HRESULT hr = CheckClientDelete(store_, record); Failed(hr)) return hr;
    }
    bool has_children = false;
    if (HRESULT hr = store_.HasChildren(id, &has_children); Failed(hr)) return hr;
    if (has_children) return E_DS_CANT_ON_NON_LEAF;
    return store_.Remove(id);
  });
}

HRESULT Writer::SetPassword(std::int64_t id, const std::string& password) {
  return InTransaction(store_, [&]() -> HRESULT {
    ObjectRecord record;
    if (HRESULT hr = store_.FindById(id, &record); Failed(hr)) return hr;
    std::string account;
    if (const auto* name = record.attributes.Find(Number("sAMAccountName"))) {
      account = std::get<std::string>(name->front());
    }
    if (!MeetsPasswordPolicy(password, account)) return E_DS_CONSTRAINT_VIOLATION;
    std::string hash = HashPassword(password);
    if (hash.empty()) return E_FAIL;
    if (HRESULT hr = store_.SetPasswordHash(id, hash); Failed(hr)) return hr;
    SetNumber("pwdLastSet", FileTimeOf(store_.Now()), &record, false);
    Stamp(&record, false);
    return store_.UpdateAttributes(record);
  });
}

}  // namespace tessary::ds::embedded
