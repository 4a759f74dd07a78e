#include "directory/ds/embedded/account_rules.h"

#include <algorithm>
#include <bit>

#include "directory/ds/ds_error.h"
#include "directory/ds/embedded/sid.h"

namespace tessary::ds::embedded {
namespace {

constexpr std::uint32_t kUacAccountDisable = 0x2;
constexpr std::uint32_t kUacPasswordNotRequired = 0x20;
constexpr std::uint32_t kUacNormalAccount = 0x200;
constexpr std::uint32_t kUacInterdomainTrust = 0x800;
constexpr std::uint32_t kUacWorkstationTrust = 0x1000;
constexpr std::uint32_t kUacServerTrust = 0x2000;
constexpr std::uint32_t kUacAccountTypes =
    kUacNormalAccount | kUacInterdomainTrust | kUacWorkstationTrust | kUacServerTrust;
// Every flag Windows defines, from SCRIPT (0x1) to USE_AES_KEYS (0x8000000); 0x4, 0x400,
// 0x4000, 0x8000 and the top four bits mean nothing.
constexpr std::uint32_t kUacKnownFlags = 0x0FFF3BFB;

constexpr std::uint32_t kGroupBuiltinLocal = 0x1;
constexpr std::uint32_t kGroupGlobal = 0x2;
constexpr std::uint32_t kGroupDomainLocal = 0x4;
constexpr std::uint32_t kGroupUniversal = 0x8;
constexpr std::uint32_t kGroupSecurity = 0x80000000u;

constexpr std::int64_t kDomainUsers = 513;
constexpr std::int64_t kDomainComputers = 515;
constexpr std::int64_t kDomainControllers = 516;

std::int64_t AccountTypeOfUser(std::uint32_t flags) {
  if (flags & (kUacWorkstationTrust | kUacServerTrust)) return 0x30000001;
  if (flags & kUacInterdomainTrust) return 0x30000002;
  return 0x30000000;
}

std::int64_t DefaultPrimaryGroup(std::uint32_t flags) {
  if (flags & kUacServerTrust) return kDomainControllers;
  if (flags & kUacWorkstationTrust) return kDomainComputers;
  return kDomainUsers;
}

std::int64_t AccountTypeOfGroup(std::uint32_t group_type) {
  bool security = (group_type & kGroupSecurity) != 0;
  bool local = (group_type & (kGroupDomainLocal | kGroupBuiltinLocal)) != 0;
  if (security) return local ? 0x20000000 : 0x10000000;
  return local ? 0x20000001 : 0x10000001;
}

// One scope, with or without the security bit; the built-in local kind is the directory's own.
bool ValidGroupType(std::uint32_t group_type, bool client) {
  std::uint32_t scope = group_type & ~kGroupSecurity;
  if (scope == kGroupBuiltinLocal) return !client && (group_type & kGroupSecurity) != 0;
  return scope == kGroupGlobal || scope == kGroupDomainLocal || scope == kGroupUniversal;
}

// Needs no password: disabled, or allowed to have none.
bool MayLackPassword(std::uint32_t flags) {
  return (flags & (kUacAccountDisable | kUacPasswordNotRequired)) != 0;
}

bool Touched(const std::vector<int>& touched, int number) {
  return number >= 0 && std::find(touched.begin(), touched.end(), number) != touched.end();
}

bool InChain(const ObjectClass& object_class, const char* key) {
  return std::any_of(object_class.chain.begin(), object_class.chain.end(),
                     [&](const ObjectClass* c) { return c->key == key; });
}

}  // namespace

bool ValidAccountName(const std::string& name) {
  static constexpr std::string_view kForbidden = "\"/\\[]:;|=,+*?<>";
  if (!name.empty() && name.back() == '.') return false;
  return std::none_of(name.begin(), name.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x20 || kForbidden.find(c) != std::string_view::npos;
  });
}

int AccountRules::AttributeNumber(const char* name) const {
  const AttributeType* type = store_.schema().FindAttribute(name);
  return type == nullptr ? -1 : type->number;
}

std::optional<std::int64_t> AccountRules::Number(const ObjectRecord& record,
                                                 const char* name) const {
  const std::vector<Stored>* values = record.attributes.Find(AttributeNumber(name));
  if (values == nullptr || values->empty()) return std::nullopt;
  const auto* number = std::get_if<std::int64_t>(&values->front());
  if (number == nullptr) return std::nullopt;
  return *number;
}

void AccountRules::SetNumber(ObjectRecord* record, const char* name, std::int64_t value) const {
  if (int number = AttributeNumber(name); number >= 0) record->attributes.Set(number, {value});
}

AccountState AccountRules::StateOf(const ObjectRecord& record) const {
  return {static_cast<std::uint32_t>(Number(record, "userAccountControl").value_or(0)),
          Number(record, "primaryGroupID")};
}

HRESULT AccountRules::CheckClientWrite(const AttributeType& type, bool creating) const {
  if (type.key == "samaccounttype") return E_DS_UNWILLING_TO_PERFORM;
  if (type.key == "primarygroupid" && creating) return E_DS_UNWILLING_TO_PERFORM;
  return S_OK;
}

HRESULT AccountRules::Apply(const ObjectClass& object_class, const AccountState* before,
                            ObjectRecord* after, const std::vector<int>& touched) {
  int name_number = AttributeNumber("sAMAccountName");
  if (Touched(touched, name_number)) {
    const std::vector<Stored>* names = after->attributes.Find(name_number);
    const std::string* name =
        names != nullptr ? std::get_if<std::string>(&names->front()) : nullptr;
    if (name != nullptr && !ValidAccountName(*name)) return E_DS_CONSTRAINT_VIOLATION;
  }
  if (InChain(object_class, "user")) return UserAccount(object_class, before, after, touched);
  if (object_class.key == "group") return Group(after, touched);
  return S_OK;
}

HRESULT AccountRules::UserAccount(const ObjectClass& object_class, const AccountState* before,
                                  ObjectRecord* after, const std::vector<int>& touched) {
  bool creating = before == nullptr;
  auto flags = static_cast<std::uint32_t>(Number(*after, "userAccountControl").value_or(0));
  if (creating || Touched(touched, AttributeNumber("userAccountControl"))) {
    if (std::popcount(flags & kUacAccountTypes) > 1) return HresultFromLdapResult(80);
    if ((flags & kUacAccountTypes) == 0) {
      flags |= object_class.key == "computer" ? kUacWorkstationTrust : kUacNormalAccount;
    }
    if (client_ && (flags & ~kUacKnownFlags) != 0) return E_DS_UNWILLING_TO_PERFORM;
    // Enabling an account that has no password is refused (0000052D in AD's answer).
    if (client_ && !MayLackPassword(flags)) {
      std::uint32_t old_flags = creating ? kUacAccountDisable : before->flags;
      if (MayLackPassword(old_flags) && (creating || !store_.PasswordHash(after->id).has_value())) {
        return E_DS_UNWILLING_TO_PERFORM;
      }
    }
    SetNumber(after, "userAccountControl", static_cast<std::int32_t>(flags));
  }
  SetNumber(after, "sAMAccountType", AccountTypeOfUser(flags));
  if (creating) {
    if (!Number(*after, "primaryGroupID")) {
      SetNumber(after, "primaryGroupID", DefaultPrimaryGroup(flags));
    }
    return S_OK;
  }
  // An account whose type changes leaves its old type's default group for the new one's.
  std::uint32_t old_flags = before->flags;
  std::optional<std::int64_t> primary = Number(*after, "primaryGroupID");
  if ((old_flags & kUacAccountTypes) != (flags & kUacAccountTypes) &&
      !Touched(touched, AttributeNumber("primaryGroupID")) &&
      primary == DefaultPrimaryGroup(old_flags)) {
    SetNumber(after, "primaryGroupID", DefaultPrimaryGroup(flags));
    return S_OK;
  }
  if (client_ && Touched(touched, AttributeNumber("primaryGroupID"))) {
    return PrimaryGroup(*before, *after);
  }
  return S_OK;
}

HRESULT AccountRules::Group(ObjectRecord* after, const std::vector<int>& touched) {
  std::optional<std::int64_t> group_type = Number(*after, "groupType");
  if (!group_type) return S_OK;
  auto type = static_cast<std::uint32_t>(*group_type);
  if (Touched(touched, AttributeNumber("groupType")) && !ValidGroupType(type, client_)) {
    return E_DS_UNWILLING_TO_PERFORM;
  }
  SetNumber(after, "sAMAccountType", AccountTypeOfGroup(type));
  return S_OK;
}

// The new primary group must be a global or universal group that already holds the account;
// membership in the primary group is implied, so its explicit link goes, and the old primary
// group gets one instead.
HRESULT AccountRules::PrimaryGroup(const AccountState& before, const ObjectRecord& after) {
  std::optional<std::int64_t> old_rid = before.primary_group;
  std::optional<std::int64_t> new_rid = Number(after, "primaryGroupID");
  if (!new_rid) return E_DS_UNWILLING_TO_PERFORM;
  if (new_rid == old_rid) return S_OK;
  int domain = store_.DomainOfNc(after.nc);
  if (domain < 0) return E_DS_UNWILLING_TO_PERFORM;
  const Bytes& domain_sid = store_.forest().domains[domain].sid;
  int member = AttributeNumber("member");
  int sid_number = AttributeNumber("objectSid");
  auto has_rid = [&](const ObjectRecord& group, std::int64_t rid) {
    const std::vector<Stored>* sid = group.attributes.Find(sid_number);
    return sid != nullptr && rid > 0 && rid <= UINT32_MAX &&
           std::get_if<Bytes>(&sid->front()) != nullptr &&
           std::get<Bytes>(sid->front()) == AccountSid(domain_sid, static_cast<std::uint32_t>(rid));
  };
  std::vector<std::int64_t> groups;
  if (HRESULT hr = store_.LinkSources(after.id, member, &groups); Failed(hr)) return hr;
  ObjectRecord primary;
  bool found = false;
  for (std::int64_t id : groups) {
    if (store_.FindById(id, &primary) == S_OK && has_rid(primary, *new_rid)) {
      found = true;
      break;
    }
  }
  if (!found) return E_DS_UNWILLING_TO_PERFORM;
  auto type = static_cast<std::uint32_t>(Number(primary, "groupType").value_or(0));
  if ((type & (kGroupDomainLocal | kGroupBuiltinLocal)) != 0) return E_DS_UNWILLING_TO_PERFORM;
  if (HRESULT hr = SetMember(&primary, after.id, false); Failed(hr)) return hr;
  if (!old_rid) return S_OK;
  ObjectRecord old_group;
  if (HRESULT hr = FindGroupByRid(after, *old_rid, &old_group); hr != S_OK) {
    return hr == E_DS_NO_SUCH_OBJECT ? S_OK : hr;
  }
  return SetMember(&old_group, after.id, true);
}

HRESULT AccountRules::FindGroupByRid(const ObjectRecord& account, std::int64_t rid,
                                     ObjectRecord* group) {
  int domain = store_.DomainOfNc(account.nc);
  if (domain < 0 || rid <= 0 || rid > UINT32_MAX) return E_DS_NO_SUCH_OBJECT;
  const ForestLayout::Domain& d = store_.forest().domains[domain];
  Bytes wanted = AccountSid(d.sid, static_cast<std::uint32_t>(rid));
  int sid_number = AttributeNumber("objectSid");
  // Groups carry account names, so the domain's account list holds every one of them.
  Statement* accounts = store_.database().Prepare("SELECT object FROM accounts WHERE domain = ?1");
  if (accounts == nullptr) return E_FAIL;
  accounts->BindInt(1, d.id);
  std::vector<std::int64_t> ids;
  while (accounts->Next() == Statement::Step::kRow) ids.push_back(accounts->Int(0));
  accounts->Reset();
  for (std::int64_t id : ids) {
    if (store_.FindById(id, group) != S_OK) continue;
    const std::vector<Stored>* sid = group->attributes.Find(sid_number);
    if (sid != nullptr && std::get_if<Bytes>(&sid->front()) != nullptr &&
        std::get<Bytes>(sid->front()) == wanted) {
      return S_OK;
    }
  }
  return E_DS_NO_SUCH_OBJECT;
}

HRESULT AccountRules::SetMember(ObjectRecord* group, std::int64_t account, bool member) {
  int number = AttributeNumber("member");
  bool has = false;
  if (HRESULT hr = store_.HasLink(group->id, number, account, &has); Failed(hr)) return hr;
  if (member == has) return S_OK;
  return member ? store_.AddLink(group->id, number, account)
                : store_.RemoveLink(group->id, number, account);
}

}  // namespace tessary::ds::embedded
