#include "directory/ds/embedded/embedded_directory.h"

#include <cstdlib>
#include <mutex>

#include "directory/ds/ads_path.h"
#include "directory/ds/hex.h"
#include "directory/ds/embedded/entry_object.h"
#include "directory/ds/embedded/password.h"
#include "directory/ds/embedded/sid.h"
#include "directory/ds/embedded/special_objects.h"
#include "directory/ds/embedded/sqlite.h"
#include "directory/ds/embedded/store.h"
#include "directory/ds/open_directory.h"

namespace tessary::ds::embedded {
namespace {

class EmbeddedDirectory : public Directory {
 public:
  explicit EmbeddedDirectory(std::shared_ptr<Store> store) : store_(std::move(store)) {}

  HRESULT Bind(const std::string& path, std::unique_ptr<Object>* object) override {
    AdsPath parsed;
    if (HRESULT hr = ParseAdsPath(path, &parsed); Failed(hr)) return hr;
    std::lock_guard lock(store_->mutex());
    ObjectRecord record;
    HRESULT hr = S_OK;
    switch (parsed.kind) {
      case AdsPath::Kind::kRootDse:
        *object = MakeRootDse(store_);
        return S_OK;
      case AdsPath::Kind::kSchemaClass:
        *object = MakeClassObject(store_, parsed.value);
        return *object ? S_OK : E_DS_NO_SUCH_OBJECT;
      case AdsPath::Kind::kDomainName:
        hr = E_DS_SERVER_DOWN;  // no domain of that name is reachable
        for (const auto& domain : store_->forest().domains) {
          if (domain.dns_name == parsed.value) hr = store_->FindById(domain.id, &record);
        }
        break;
      case AdsPath::Kind::kDn:
      case AdsPath::Kind::kGuid:
        hr = ResolveEntryPath(*store_, path, &record);
        break;
    }
    if (Failed(hr)) return hr;
    *object = std::make_unique<EntryObject>(store_, record);
    return S_OK;
  }

  std::string Location() const override { return store_->path(); }

  bool RefuseWrites() override {
    std::lock_guard lock(store_->mutex());
    store_->RefuseWrites();
    return true;
  }

  Store& store() { return *store_; }

 private:
  std::shared_ptr<Store> store_;
};

}  // namespace

std::string DefaultDirectoryPath() {
  const char* data = std::getenv("XDG_DATA_HOME");
  std::string folder;
  if (data != nullptr && data[0] != '\0') {
    folder = data;
  } else {
    const char* home = std::getenv("HOME");
    folder = std::string(home != nullptr ? home : "") + "/.local/share";
  }
  return folder + "/brenvik/directory.db";
}

bool OpenEmbeddedDirectory(const std::string& path, std::unique_ptr<Directory>* directory,
                           std::string* error) {
  std::shared_ptr<Store> store;
  if (!Store::Open(path, &store, error)) return false;
  *directory = DirectoryOfStore(std::move(store));
  return true;
}

bool CopyEmbeddedDirectory(const std::string& source, const std::string& destination,
                           std::string* error) {
  std::unique_ptr<Database> original;
  std::string reason;
  if (!Database::Open(source, Database::Mode::kReadOnly, &original, &reason) ||
      !original->BackupTo(destination, &reason)) {
    *error = "Could not copy the directory '" + source + "': " + reason;
    return false;
  }
  return true;
}

std::unique_ptr<Directory> DirectoryOfStore(std::shared_ptr<Store> store) {
  return std::make_unique<EmbeddedDirectory>(std::move(store));
}

bool VerifyPassword(Directory& directory, const std::string& dn, const std::string& password) {
  auto* embedded = dynamic_cast<EmbeddedDirectory*>(&directory);
  if (embedded == nullptr) return false;
  Store& store = embedded->store();
  std::lock_guard lock(store.mutex());
  std::optional<std::int64_t> id = store.IdOf(dn);
  if (!id) return false;
  std::optional<std::string> hash = store.PasswordHash(*id);
  return hash && PasswordMatches(*hash, password);
}

bool AdoptObjectGuid(Directory& directory, const std::string& dn, const std::string& guid_hex,
                     std::string* error) {
  auto* embedded = dynamic_cast<EmbeddedDirectory*>(&directory);
  const Bytes guid = BytesOfHex(guid_hex);
  if (embedded == nullptr || guid.size() != 16) {
    *error = "Could not give the object '" + dn + "' the GUID '" + guid_hex + "'.";
    return false;
  }
  Store& store = embedded->store();
  std::lock_guard lock(store.mutex());
  ObjectRecord holder;
  if (store.FindByGuid(guid, &holder) == S_OK) {
    *error = "Could not give the object '" + dn + "' the GUID '" + guid_hex +
             "': the object '" + holder.dn + "' has it.";
    return false;
  }
  std::optional<std::int64_t> id = store.IdOf(dn);
  Statement* update = store.database().Prepare("UPDATE objects SET guid = ?1 WHERE id = ?2");
  bool done = false;
  if (id && update != nullptr) {
    update->BindBlob(1, guid);
    update->BindInt(2, *id);
    done = update->Execute();
  }
  if (!done) {
    *error = "Could not give the object '" + dn + "' the GUID '" + guid_hex + "'.";
    return false;
  }
  return true;
}

void AllowSchemaUpdates(Directory& directory) {
  if (auto* embedded = dynamic_cast<EmbeddedDirectory*>(&directory)) {
    std::lock_guard lock(embedded->store().mutex());
    embedded->store().AllowSchemaUpdates();
  }
}

void SetClock(Directory& directory, std::function<UtcTime()> clock) {
  if (auto* embedded = dynamic_cast<EmbeddedDirectory*>(&directory)) {
    std::lock_guard lock(embedded->store().mutex());
    embedded->store().SetClock(std::move(clock));
  }
}

}  // namespace tessary::ds::embedded

namespace tessary::ds {

bool OpenDirectory(const std::string& location, std::unique_ptr<Directory>* directory,
                   std::string* error) {
  if (IsLdapLocation(location)) {
    DirectoryOpener opener = RegisteredLdapBackend();
    if (opener == nullptr) {
      *error = "Could not connect to '" + location + "': this program has no LDAP backend.";
      return false;
    }
    return opener(location, directory, error);
  }
  return embedded::OpenEmbeddedDirectory(location, directory, error);
}

}  // namespace tessary::ds
