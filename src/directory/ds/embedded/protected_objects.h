#pragma once
// What Active Directory refuses to do to the objects it depends on: the containers, accounts
// and groups a domain is provisioned with (systemFlags, isCriticalSystemObject) and the schema.
// Each check answers S_OK or AD's code for the refusal; the caller holds the store's lock.

#include <cstdint>

#include "directory/ds/embedded/store.h"

namespace tessary::ds::embedded {

// systemFlags bits that guard an object.
inline constexpr std::int64_t kFlagDisallowDelete = 0x80000000LL;
inline constexpr std::int64_t kFlagConfigAllowRename = 0x40000000;
inline constexpr std::int64_t kFlagConfigAllowMove = 0x20000000;
inline constexpr std::int64_t kFlagConfigAllowLimitedMove = 0x10000000;
inline constexpr std::int64_t kFlagDomainDisallowRename = 0x08000000;
inline constexpr std::int64_t kFlagDomainDisallowMove = 0x04000000;
inline constexpr std::int64_t kFlagSchemaBaseObject = 0x10;
// Users, Computers, LostAndFound, System, Domain Controllers and the domain head carry all three.
inline constexpr std::int64_t kFlagsOfCriticalContainer =
    kFlagDisallowDelete | kFlagDomainDisallowRename | kFlagDomainDisallowMove;

// A client's delete: refused for an object that forbids it, a critical system object and any
// schema object (AD retires schema objects, it never deletes them).
[[nodiscard]] HRESULT CheckClientDelete(Store& store, const ObjectRecord& record);
// A client's rename (new name, same parent) or move (new parent).
[[nodiscard]] HRESULT CheckClientMove(Store& store, const ObjectRecord& record, bool renaming,
                                      bool moving);
// A client's create or change of a schema object (or of anything below the schema container):
// refused unless the directory was opened for schema updates.
[[nodiscard]] HRESULT CheckClientSchemaWrite(Store& store, const ObjectRecord& record_or_parent);

}  // namespace tessary::ds::embedded
