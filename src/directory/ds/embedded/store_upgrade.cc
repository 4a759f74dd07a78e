#include "directory/ds/embedded/store_upgrade.h"

#include <algorithm>
#include <cstdint>
#include <set>
#include <unordered_set>
#include <utility>
#include <vector>

#include "directory/ds/dn.h"
#include "support/unicode_fold.h"

namespace tessary::ds::embedded {
namespace {

// Format 1 compared names with ASCII letters folded only; names now fold over all of Unicode,
// so the keys of DNs and account names are computed again. Two objects whose names differed
// only in the case of other letters cannot both stay: the file is then refused, naming them.
bool FoldNamesOverUnicode(Store& store, std::string* error) {
  Database& db = store.database();
  Statement* objects = db.Prepare("SELECT id, dn FROM objects");
  Statement* rekey = db.Prepare("UPDATE objects SET dn_key = ?2 WHERE id = ?1");
  Statement* holder = db.Prepare("SELECT dn FROM objects WHERE dn_key = ?1 AND id <> ?2");
  if (objects == nullptr || rekey == nullptr || holder == nullptr) return false;
  std::vector<std::pair<std::int64_t, std::string>> all;
  while (objects->Next() == Statement::Step::kRow) {
    all.emplace_back(objects->Int(0), std::string(objects->Text(1)));
  }
  objects->Reset();
  for (const auto& [id, dn] : all) {
    const std::string key = DnKey(dn);
    holder->BindText(1, key);
    holder->BindInt(2, id);
    if (holder->Next() == Statement::Step::kRow) {
      *error = "the objects '" + dn + "' and '" + std::string(holder->Text(0)) +
               "' have the same name when case is ignored; delete or rename one with the "
               "earlier version of the program";
      holder->Reset();
      return false;
    }
    holder->Reset();
    rekey->BindInt(1, id);
    rekey->BindText(2, key);
    if (!rekey->Execute()) return false;
  }
  Statement* accounts = db.Prepare("SELECT object, name FROM accounts");
  Statement* rename = db.Prepare("UPDATE accounts SET name = ?2 WHERE object = ?1");
  if (accounts == nullptr || rename == nullptr) return false;
  std::vector<std::pair<std::int64_t, std::string>> names;
  while (accounts->Next() == Statement::Step::kRow) {
    names.emplace_back(accounts->Int(0), std::string(accounts->Text(1)));
  }
  accounts->Reset();
  for (const auto& [object, name] : names) {
    rename->BindInt(1, object);
    rename->BindText(2, FoldCase(name));
    if (!rename->Execute()) {
      *error = "two accounts are named '" + name + "' when case is ignored";
      return false;
    }
  }
  return true;
}

// Format 2 kept the values of linked attributes in the object's record as well as in rows, noted
// no references for other DN values, and gave a new object the id after the largest one, so the
// id of a deleted object came again and a value that had named it named the newcomer. Linked
// values now live in rows only, every other DN value has a reference row, values naming objects
// that are gone are dropped, and new ids start after every id still named anywhere.
bool KeepLinksAsRowsAndNoteReferences(Store& store, std::string* error) {
  Database& db = store.database();
  if (!CreateReferenceTables(db) || !db.Exec("DROP INDEX links_source") ||
      !db.Exec("DELETE FROM links")) {
    return false;
  }
  Statement* ids = db.Prepare("SELECT id FROM objects ORDER BY id");
  if (ids == nullptr) return false;
  std::vector<std::int64_t> all;
  while (ids->Next() == Statement::Step::kRow) all.push_back(ids->Int(0));
  ids->Reset();
  const std::unordered_set<std::int64_t> existing(all.begin(), all.end());
  std::int64_t highest = all.empty() ? 0 : all.back();
  for (std::int64_t id : all) {
    ObjectRecord record;
    if (store.FindById(id, &record) != S_OK) {
      *error = "the record of object " + std::to_string(id) + " is unreadable";
      return false;
    }
    StoredAttributes kept;
    for (const StoredAttribute& entry : record.attributes.entries()) {
      const AttributeType* type = store.AttributeByNumber(entry.attribute);
      const bool linked = type != nullptr && IsForwardLink(*type);
      std::set<std::int64_t> linked_targets;
      std::vector<Stored> values;
      for (const Stored& value : entry.values) {
        const Link* link = std::get_if<Link>(&value);
        if (link == nullptr) {
          values.push_back(value);
          continue;
        }
        highest = std::max(highest, link->id);
        if (!existing.contains(link->id)) continue;
        if (!linked) {
          values.push_back(value);
        } else if (linked_targets.insert(link->id).second &&
                   Failed(store.AddLink(id, entry.attribute, link->id))) {
          return false;
        }
      }
      kept.Set(entry.attribute, std::move(values));
    }
    record.attributes = std::move(kept);
    if (Failed(store.UpdateAttributes(record))) return false;
  }
  return db.Exec("CREATE UNIQUE INDEX links_source ON links(source, attr, target)") &&
         store.SetMeta("next_id", std::to_string(highest + 1));
}

using Step = bool (*)(Store&, std::string*);
// steps[n - 1] takes a file of format n to format n + 1.
constexpr Step kSteps[] = {FoldNamesOverUnicode, KeepLinksAsRowsAndNoteReferences};
static_assert(std::size(kSteps) == kCurrentFormat - 1);

}  // namespace

bool UpgradeFormat(Store& store, int format, std::string* error) {
  for (int from = format; from < kCurrentFormat; ++from) {
    error->clear();
    if (!kSteps[from - 1](store, error)) {
      if (error->empty()) *error = store.database().LastError();
      *error = "The embedded directory '" + store.path() + "' could not be brought from format " +
               std::to_string(from) + " to format " + std::to_string(from + 1) + ": " + *error;
      return false;
    }
  }
  return store.SetMeta("format", std::to_string(kCurrentFormat));
}

}  // namespace tessary::ds::embedded
