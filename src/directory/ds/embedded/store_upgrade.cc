#include "directory/ds/embedded/store_upgrade.h"

#include <cstdint>
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

using Step = bool (*)(Store&, std::string*);
// steps[n - 1] takes a file of format n to format n + 1.
constexpr Step kSteps[] = {FoldNamesOverUnicode};
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
