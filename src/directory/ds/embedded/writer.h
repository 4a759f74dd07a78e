#pragma once
// Every change to the embedded directory, with the checks Active Directory makes and the result
// codes it gives: each operation is one transaction, so it happens whole or not at all. The
// caller holds the store's lock.

#include <cstdint>
#include <string>
#include <vector>

#include "directory/ds/dn.h"
#include "directory/ds/embedded/store.h"
#include "directory/ds/object.h"
#include "directory/ds/property_cache.h"

namespace tessary::ds::embedded {

class LinkEdits;

// kSystem writes what only the directory itself may write (provisioning, the mailbox
// component) and skips the checks that protect it from clients.
enum class Origin { kClient, kSystem };

class Writer {
 public:
  Writer(Store& store, Origin origin) : store_(store), origin_(origin) {}

  // Creates an object of class_name named rdn below parent_dn (empty: the forest root).
  [[nodiscard]] HRESULT Create(const std::string& parent_dn, const std::string& class_name,
                               const Rdn& rdn, const std::vector<Change>& changes,
                               Store::NamingContext naming_context, ObjectRecord* created);
  [[nodiscard]] HRESULT Modify(std::int64_t id, const std::vector<Change>& changes);
  // Moves below new_parent_dn, renaming to new_rdn unless it is empty.
  [[nodiscard]] HRESULT Move(std::int64_t id, const std::string& new_parent_dn,
                             const std::string& new_rdn, ObjectRecord* moved);
  [[nodiscard]] HRESULT Delete(std::int64_t id);
  [[nodiscard]] HRESULT SetPassword(std::int64_t id, const std::string& password);

 private:
  // Values of linked attributes go to `links`, the others to `attributes`.
  HRESULT Apply(const ObjectClass& object_class, const std::vector<Change>& changes, bool creating,
                StoredAttributes* attributes, std::vector<int>* touched, LinkEdits* links);
  HRESULT Validate(const ObjectClass& object_class, const ObjectRecord& record,
                   const std::vector<int>& touched, LinkEdits& links, bool creating);
  HRESULT ClaimAccount(const ObjectClass& object_class, const ObjectRecord& record);
  void Stamp(ObjectRecord* record, bool creating);
  void SetDefaults(const ObjectClass& object_class, const ObjectRecord& parent,
                   ObjectRecord* record);
  HRESULT AddSid(const ObjectClass& object_class, ObjectRecord* record);
  void SetNumber(const char* name, std::int64_t value, ObjectRecord* record, bool only_if_absent);
  const ObjectClass* ClassOf(const ObjectRecord& record) const;
  int Number(const char* name) const;

  Store& store_;
  Origin origin_;
};

// The structural class of a stored object (the last objectClass value), or null.
const ObjectClass* StructuralClass(Store& store, const ObjectRecord& record);
// True when the object's class chain contains class_name.
bool IsInstanceOf(Store& store, const ObjectRecord& record, const char* class_name);

}  // namespace tessary::ds::embedded
