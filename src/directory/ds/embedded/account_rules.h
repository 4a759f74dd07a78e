#pragma once
// The rules Active Directory keeps for accounts and groups (the security principals of a
// domain): userAccountControl holds exactly one account type and only known flags, an account is
// enabled only with a password (or PASSWD_NOTREQD), groupType is one of the valid kinds,
// sAMAccountType follows both and is never written by a client, primaryGroupID names a group
// the account belongs to, and account names hold none of the characters Windows forbids. The
// caller holds the store's lock and runs these inside its transaction.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "directory/ds/embedded/store.h"

namespace tessary::ds::embedded {

// What the rules compare a change with: the stored account's flags and primary group.
struct AccountState {
  std::uint32_t flags = 0;
  std::optional<std::int64_t> primary_group;
};

class AccountRules {
 public:
  // client: the checks that protect the directory from its clients apply (not to provisioning).
  AccountRules(Store& store, bool client) : store_(store), client_(client) {}

  AccountState StateOf(const ObjectRecord& record) const;

  // A client's write of `type` that AD refuses before looking at values: sAMAccountType always,
  // primaryGroupID when creating (a new account starts in its type's default group).
  [[nodiscard]] HRESULT CheckClientWrite(const AttributeType& type, bool creating) const;

  // Checks the account attributes of `after` (a user, computer or group) once the changes are
  // applied, and sets what follows from them (sAMAccountType; primaryGroupID when the account
  // type changes). before is the stored object's state, or null when creating. A primaryGroupID
  // change moves the account's explicit membership from the new primary group to the old one, as AD
  // does. Fails with AD's code: constraint violation for a bad account name, unwilling to perform
  // for bad flags, a groupType that is no valid kind, an enabling without a password or a
  // primary group the account is not in.
  [[nodiscard]] HRESULT Apply(const ObjectClass& object_class, const AccountState* before,
                              ObjectRecord* after, const std::vector<int>& touched);

 private:
  HRESULT UserAccount(const ObjectClass& object_class, const AccountState* before,
                      ObjectRecord* after, const std::vector<int>& touched);
  HRESULT Group(ObjectRecord* after, const std::vector<int>& touched);
  HRESULT PrimaryGroup(const AccountState& before, const ObjectRecord& after);
  HRESULT FindGroupByRid(const ObjectRecord& account, std::int64_t rid, ObjectRecord* group);
  HRESULT SetMember(ObjectRecord* group, std::int64_t account, bool member);
  std::optional<std::int64_t> Number(const ObjectRecord& record, const char* name) const;
  void SetNumber(ObjectRecord* record, const char* name, std::int64_t value) const;
  int AttributeNumber(const char* name) const;

  Store& store_;
  bool client_;
};

// True when name is a valid account name: none of " / \ [ ] : ; | = , + * ? < >, no control
// character, and not ending in a full stop.
bool ValidAccountName(const std::string& name);

}  // namespace tessary::ds::embedded
