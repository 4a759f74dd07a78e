#pragma once
// The embedded directory's file: objects (one row each, attributes in one record), the values of
// linked attributes (member, manager: one row per value, so a group of any size changes by one
// row), the references that DN values in records make (so a deleted object's name leaves them),
// account names, password hashes and counters. Object ids are never used twice: a value naming a
// deleted object can never come to name a new one. Callers hold the store's lock around every use and make each change inside one
// transaction, so a crash leaves every object whole or absent.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "directory/ds/embedded/schema.h"
#include "directory/ds/embedded/sqlite.h"
#include "directory/ds/embedded/stored_value.h"
#include "platform/hresult.h"

namespace tessary::ds::embedded {

// Adds the table of the references that DN values in records make (a new or upgraded file).
[[nodiscard]] bool CreateReferenceTables(Database& database);

// True for the forward attribute of a link pair (member, manager), whose values are link rows.
bool IsForwardLink(const AttributeType& type);

struct ObjectRecord {
  std::int64_t id = 0;
  std::int64_t parent = 0;  // 0 for the forest root domain
  std::int64_t nc = 0;      // the naming context head this object belongs to
  std::string path;         // "/1/5/17/": the ids from the top, for subtree ranges
  std::string dn;
  Bytes guid;
  StoredAttributes attributes;
};

// The forest's naming contexts and domains, read from the file when it opens.
struct ForestLayout {
  std::string root_domain_dn;
  std::string configuration_dn;
  std::string schema_dn;
  struct Domain {
    std::int64_t id = 0;  // the domain head object
    std::string dn;
    std::string dns_name;
    std::string path;
    Bytes sid;
  };
  std::vector<Domain> domains;
};

using Clock = std::function<UtcTime()>;

class Store {
 public:
  ~Store();

  // Opens an existing directory file, bringing one of an earlier format version to the current
  // layout. A file that is missing, not ours, damaged or of a later format version is refused
  // with a message naming it, and is not modified.
  [[nodiscard]] static bool Open(const std::string& path, std::shared_ptr<Store>* store,
                                 std::string* error);
  // Creates a new, empty directory file with the schema definition (refuses an existing file).
  [[nodiscard]] static bool Create(const std::string& path, const SchemaDefinition& schema,
                                   std::shared_ptr<Store>* store, std::string* error);

  std::mutex& mutex() { return mutex_; }
  Database& database() { return *database_; }
  const Schema& schema() const { return *schema_; }
  const std::string& path() const { return path_; }
  const ForestLayout& forest() const { return forest_; }
  // Re-reads the naming contexts and domains after provisioning changed them.
  [[nodiscard]] bool ReloadForest(std::string* error);

  void SetClock(Clock clock) { clock_ = std::move(clock); }
  // Clients may change the schema only in a directory opened for that.
  void AllowSchemaUpdates() { schema_updates_allowed_ = true; }
  bool schema_updates_allowed() const { return schema_updates_allowed_; }
  // Every later change through this store's writer fails with E_ACCESSDENIED.
  void RefuseWrites() { writes_refused_ = true; }
  bool writes_refused() const { return writes_refused_; }
  UtcTime Now() const { return clock_(); }

  // --- Reading. Each returns S_OK, E_DS_NO_SUCH_OBJECT, or E_FAIL when the file fails.
  [[nodiscard]] HRESULT FindByDn(const std::string& dn, ObjectRecord* record);
  [[nodiscard]] HRESULT FindById(std::int64_t id, ObjectRecord* record);
  [[nodiscard]] HRESULT FindByGuid(const Bytes& guid, ObjectRecord* record);
  // The DN of an object (cached); nothing when it no longer exists.
  std::optional<std::string> DnOf(std::int64_t id);
  // Forgets cached names, after a transaction that failed (its ids may come again).
  void ForgetCachedNames() { dn_cache_.clear(); }
  // The id of the object with that DN; nothing when there is none.
  std::optional<std::int64_t> IdOf(const std::string& dn);
  // --- Linked values: the forward attribute of a link pair (member, manager) keeps its values as
  // rows (source, attribute, target) in the order they were added, never in the record.
  [[nodiscard]] HRESULT LinkTargets(std::int64_t source, int attribute,
                                    std::vector<std::int64_t>* targets);
  // Every linked value of source: (attribute number, target), by attribute then order.
  [[nodiscard]] HRESULT OutgoingLinks(std::int64_t source,
                                      std::vector<std::pair<int, std::int64_t>>* links);
  [[nodiscard]] HRESULT HasLink(std::int64_t source, int attribute, std::int64_t target,
                                bool* has);
  // Counts the object's values of the linked attribute, stopping at `limit`: the checks need
  // only "none", "one" or "more", and a group may have tens of thousands.
  [[nodiscard]] HRESULT LinkCount(std::int64_t source, int attribute, std::int64_t limit,
                                  std::int64_t* count);
  [[nodiscard]] HRESULT AddLink(std::int64_t source, int attribute, std::int64_t target);
  [[nodiscard]] HRESULT RemoveLink(std::int64_t source, int attribute, std::int64_t target);
  [[nodiscard]] HRESULT ClearLinks(std::int64_t source, int attribute);
  // Objects whose linked attribute forward_attribute links to target (back link values).
  [[nodiscard]] HRESULT LinkSources(std::int64_t target, int forward_attribute,
                                    std::vector<std::int64_t>* sources);
  // Every link to target: (source object, forward attribute number).
  [[nodiscard]] HRESULT IncomingLinks(std::int64_t target,
                                      std::vector<std::pair<std::int64_t, int>>* links);
  [[nodiscard]] HRESULT HasChildren(std::int64_t id, bool* has);
  // The domain (index in forest().domains) whose naming context is nc, or -1.
  int DomainOfNc(std::int64_t nc) const;

  const AttributeType* AttributeByNumber(int number) const;

  // --- Writing; call inside a Transaction.
  // Assigns id, path and nc (the new id itself for the head of a naming context).
  enum class NamingContext { kInherit, kHead };
  [[nodiscard]] HRESULT Insert(ObjectRecord* record, const ObjectRecord* parent,
                               NamingContext naming_context);
  [[nodiscard]] HRESULT UpdateAttributes(const ObjectRecord& record);
  // Moves/renames record to new_parent with new_dn; descendants follow.
  [[nodiscard]] HRESULT Relocate(ObjectRecord* record, const ObjectRecord& new_parent,
                                 const std::string& new_dn);
  [[nodiscard]] HRESULT Remove(std::int64_t id);
  std::int64_t NextUsn();
  std::int64_t NextRid(std::int64_t domain_id);
  // Account names are unique per domain; false when another object holds the name.
  [[nodiscard]] HRESULT ClaimAccountName(std::int64_t domain, std::int64_t object,
                                         const std::string& name, bool* taken);
  [[nodiscard]] HRESULT SetPasswordHash(std::int64_t object, const std::string& hash);
  std::optional<std::string> PasswordHash(std::int64_t object);
  [[nodiscard]] bool SetMeta(const std::string& key, const std::string& value);
  std::optional<std::string> Meta(const std::string& key);

 private:
  Store() = default;
  [[nodiscard]] bool Initialise(std::string* error);
  [[nodiscard]] bool LoadSchema(std::string* error);
  [[nodiscard]] bool NumberAttributes(std::string* error);
  // Also gives the file's format version, one this program reads.
  [[nodiscard]] bool CheckFile(int* format_version, std::string* error);
  HRESULT ReadRecord(Statement* statement, ObjectRecord* record);
  // The one row a bound lookup finds; E_DS_NO_SUCH_OBJECT when there is none.
  HRESULT ReadOnlyRecord(Statement* lookup, ObjectRecord* record);
  // The references the DN values of the record make, written again after the record changed.
  HRESULT WriteReferences(const ObjectRecord& record);
  // The id of a new object: one more than any id the file has ever held.
  HRESULT NewObjectId(std::int64_t* id);

  std::mutex mutex_;
  std::unique_ptr<Database> database_;
  std::unique_ptr<Schema> schema_;
  std::unordered_map<int, const AttributeType*> by_number_;
  std::map<std::string, int> names_;  // lower-cased attribute name -> number
  std::unordered_map<std::int64_t, std::string> dn_cache_;
  ForestLayout forest_;
  std::string path_;
  Clock clock_;
  bool schema_updates_allowed_ = false;
  bool writes_refused_ = false;
};

}  // namespace tessary::ds::embedded
