#include "directory/ds/embedded/store.h"

#include <filesystem>
#include <system_error>

#include "directory/ds/dn.h"
#include "directory/ds/ds_error.h"
#include "directory/ds/embedded/schema_objects.h"
#include "directory/ds/embedded/store_upgrade.h"
#include "support/unicode_fold.h"

namespace tessary::ds::embedded {
namespace {

// "TsDy" in the file header marks a file as ours before any table is read.
constexpr std::int64_t kApplicationId = 0x54734479;

constexpr const char* kTables[] = {
    "CREATE TABLE meta(key TEXT PRIMARY KEY, value TEXT NOT NULL) WITHOUT ROWID",
    "CREATE TABLE names(id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE)",
    ("CREATE TABLE objects(id INTEGER PRIMARY KEY, parent INTEGER NOT NULL, nc INTEGER NOT NULL,"
     " path TEXT NOT NULL, dn TEXT NOT NULL, dn_key TEXT NOT NULL UNIQUE, guid BLOB NOT NULL"
     " UNIQUE, attrs BLOB NOT NULL)"),
    "CREATE INDEX objects_parent ON objects(parent, id)",
    "CREATE INDEX objects_path ON objects(path)",
    "CREATE TABLE links(source INTEGER NOT NULL, attr INTEGER NOT NULL, target INTEGER NOT NULL)",
    "CREATE INDEX links_target ON links(target, attr)",
    "CREATE UNIQUE INDEX links_source ON links(source, attr, target)",
    ("CREATE TABLE accounts(domain INTEGER NOT NULL, name TEXT NOT NULL, object INTEGER NOT NULL"
     " UNIQUE, PRIMARY KEY(domain, name)) WITHOUT ROWID"),
    "CREATE TABLE secrets(object INTEGER PRIMARY KEY, hash TEXT NOT NULL)",
};

// The attributes of schema objects and their kinds, needed to read the schema before it exists.
bool IsBooleanSchemaAttribute(const std::string& key) {
  return key == "issinglevalued" || key == "systemonly";
}

UtcTime SystemNow() {
  return std::chrono::time_point_cast<std::chrono::seconds>(std::chrono::system_clock::now());
}

// The first path after every path that begins with prefix ("/1/5/" -> "/1/50").
std::string PathEnd(const std::string& prefix) {
  std::string end = prefix;
  end.back() = static_cast<char>('/' + 1);
  return end;
}

}  // namespace

bool CreateReferenceTables(Database& database) {
  // Every DN value of a record has a row here, so deleting its target finds it.
  return database.Exec(
             "CREATE TABLE refs(source INTEGER NOT NULL, attr INTEGER NOT NULL,"
             " target INTEGER NOT NULL)") &&
         database.Exec("CREATE INDEX refs_target ON refs(target)") &&
         database.Exec("CREATE INDEX refs_source ON refs(source)");
}

bool IsForwardLink(const AttributeType& type) {
  return type.definition.link_id > 0 && type.definition.link_id % 2 == 0;
}

Store::~Store() = default;

bool Store::CheckFile(int* format_version, std::string* error) {
  std::error_code ec;
  if (!std::filesystem::exists(path_, ec)) {
    *error = "The embedded directory '" + path_ + "' does not exist.";
    return false;
  }
  // A read-only look first: a file that is not ours is never written, not even a journal.
  std::unique_ptr<Database> probe;
  std::string reason;
  if (!Database::Open(path_, Database::Mode::kReadOnly, &probe, &reason)) {
    *error = "Could not open the embedded directory '" + path_ + "': " + reason;
    return false;
  }
  const std::string not_ours = "The file '" + path_ + "' is not a Tessary embedded directory.";
  Statement* id = probe->Prepare("PRAGMA application_id");
  if (id == nullptr) {
    *error =
        probe->LastErrorCode() == 26 /*SQLITE_NOTADB*/ ? not_ours
                                                       : "The embedded directory '" + path_ +
                                                             "' is damaged: " + probe->LastError();
    return false;
  }
  Statement::Step step = id->Next();
  std::int64_t application_id = step == Statement::Step::kRow ? id->Int(0) : 0;
  id->Reset();
  if (step == Statement::Step::kError) {
    *error = probe->LastErrorCode() == 26
                 ? not_ours
                 : "The embedded directory '" + path_ + "' is damaged: " + probe->LastError();
    return false;
  }
  if (application_id != kApplicationId) {
    *error = not_ours;
    return false;
  }
  Statement* version = probe->Prepare("SELECT value FROM meta WHERE key = 'format'");
  if (version == nullptr || version->Next() != Statement::Step::kRow) {
    *error = "The embedded directory '" + path_ + "' is damaged: " + probe->LastError();
    return false;
  }
  std::string format(version->Text(0));
  version->Reset();
  *format_version = 0;
  for (int known = 1; known <= kCurrentFormat; ++known) {
    if (format == std::to_string(known)) *format_version = known;
  }
  if (*format_version == 0) {
    *error = "The embedded directory '" + path_ + "' has the format version " + format +
             ", which this program does not know.";
    return false;
  }
  Statement* check = probe->Prepare("PRAGMA quick_check");
  std::string verdict;
  if (check != nullptr && check->Next() == Statement::Step::kRow) verdict = check->Text(0);
  if (check != nullptr) check->Reset();
  if (verdict != "ok") {
    *error = "The embedded directory '" + path_ +
             "' is damaged: " + (verdict.empty() ? probe->LastError() : verdict);
    return false;
  }
  return true;
}

bool Store::Open(const std::string& path, std::shared_ptr<Store>* out, std::string* error) {
  std::shared_ptr<Store> store(new Store());
  store->path_ = path;
  store->clock_ = SystemNow;
  int format = 0;
  if (!store->CheckFile(&format, error)) return false;
  std::string reason;
  if (!Database::Open(path, Database::Mode::kReadWrite, &store->database_, &reason)) {
    *error = "Could not open the embedded directory '" + path + "': " + reason;
    return false;
  }
  if (!store->Initialise(error)) return false;
  std::unique_ptr<Database>& db = store->database_;
  Statement* names = db->Prepare("SELECT id, name FROM names");
  while (names != nullptr && names->Next() == Statement::Step::kRow) {
    store->names_[std::string(names->Text(1))] = static_cast<int>(names->Int(0));
  }
  if (names != nullptr) names->Reset();
  if (!store->LoadSchema(error) || !store->NumberAttributes(error)) return false;
  if (format < kCurrentFormat) {
    Transaction transaction(*db);
    if (!transaction.ok() || !UpgradeFormat(*store, format, error) || !transaction.Commit()) {
      if (error->empty()) *error = "Could not upgrade the embedded directory '" + path + "'.";
      return false;
    }
  }
  if (!store->ReloadForest(error)) return false;
  *out = std::move(store);
  return true;
}

bool Store::Create(const std::string& path, const SchemaDefinition& definition,
                   std::shared_ptr<Store>* out, std::string* error) {
  std::error_code ec;
  if (std::filesystem::exists(path, ec)) {
    *error = "The file '" + path + "' already exists.";
    return false;
  }
  std::filesystem::path parent = std::filesystem::path(path).parent_path();
  if (!parent.empty()) std::filesystem::create_directories(parent, ec);
  std::shared_ptr<Store> store(new Store());
  store->path_ = path;
  store->clock_ = SystemNow;
  std::string reason;
  if (!Database::Open(path, Database::Mode::kCreate, &store->database_, &reason)) {
    *error = "Could not create the embedded directory '" + path + "': " + reason;
    return false;
  }
  Database& db = *store->database_;
  bool ok = db.Exec("PRAGMA application_id = " + std::to_string(kApplicationId)) &&
            store->Initialise(error);
  {
    Transaction transaction(db);
    ok = ok && transaction.ok();
    for (const char* sql : kTables) ok = ok && db.Exec(sql);
    ok = ok && CreateReferenceTables(db);
    ok = ok && store->SetMeta("format", std::to_string(kCurrentFormat)) &&
         store->SetMeta("usn", "0") && store->SetMeta("next_id", "1");
    ok = ok && Schema::Build(definition, &store->schema_, error);
    ok = ok && store->NumberAttributes(error) && transaction.Commit();
  }
  if (!ok) {
    if (error->empty())
      *error = "Could not create the embedded directory '" + path + "': " + db.LastError();
    store.reset();
    std::filesystem::remove(path, ec);
    std::filesystem::remove(path + "-wal", ec);
    std::filesystem::remove(path + "-shm", ec);
    return false;
  }
  *out = std::move(store);
  return true;
}

bool Store::Initialise(std::string* error) {
  // WAL keeps every committed transaction whole across a crash; NORMAL syncs at checkpoints.
  if (!database_->Exec("PRAGMA journal_mode = WAL") ||
      !database_->Exec("PRAGMA synchronous = NORMAL") ||
      !database_->Exec("PRAGMA wal_autocheckpoint = 8192")) {
    *error = "Could not open the embedded directory '" + path_ + "': " + database_->LastError();
    return false;
  }
  return true;
}

bool Store::NumberAttributes(std::string* error) {
  Statement* insert = database_->Prepare("INSERT INTO names(name) VALUES (?1)");
  if (insert == nullptr) {
    *error = "Could not number the attributes of '" + path_ + "': " + database_->LastError();
    return false;
  }
  by_number_.clear();
  for (AttributeType& type : schema_->attributes()) {
    auto found = names_.find(type.key);
    if (found == names_.end()) {
      insert->BindText(1, type.key);
      if (!insert->Execute()) {
        *error = "Could not number the attributes of '" + path_ + "': " + database_->LastError();
        return false;
      }
      found = names_.emplace(type.key, static_cast<int>(database_->LastInsertId())).first;
    }
    type.number = found->second;
    by_number_[type.number] = &type;
  }
  return true;
}

bool Store::LoadSchema(std::string* error) {
  std::optional<std::string> schema_dn = Meta("schema");
  ObjectRecord container;
  if (!schema_dn || FindByDn(*schema_dn, &container) != S_OK) {
    *error = "The embedded directory '" + path_ + "' is damaged: it has no schema.";
    return false;
  }
  auto number = [&](const std::string& name) {
    auto found = names_.find(AsciiLower(name));
    return found == names_.end() ? -1 : found->second;
  };
  SchemaDefinition definition;
  Statement* children = database_->Prepare(
      "SELECT id, parent, nc, path, dn, guid, attrs FROM objects WHERE parent = ?1");
  children->BindInt(1, container.id);
  std::vector<StoredAttributes> objects;
  while (children->Next() == Statement::Step::kRow) {
    StoredAttributes attributes;
    if (!DecodeAttributes(children->Blob(6), &attributes)) {
      children->Reset();
      *error = "The embedded directory '" + path_ + "' is damaged: a schema object is unreadable.";
      return false;
    }
    objects.push_back(std::move(attributes));
  }
  children->Reset();
  for (const StoredAttributes& attributes : objects) {
    AddSchemaObject(
        [&](const std::string& name) {
          Values values;
          const std::vector<Stored>* stored = attributes.Find(number(name));
          if (stored == nullptr) return values;
          bool boolean = IsBooleanSchemaAttribute(AsciiLower(name));
          for (const Stored& s : *stored) {
            if (const auto* i = std::get_if<std::int64_t>(&s)) {
              values.push_back(boolean ? Value::Boolean(*i != 0)
                                       : Value::Integer(static_cast<std::int32_t>(*i)));
            } else if (const auto* text = std::get_if<std::string>(&s)) {
              values.push_back(Value::String(*text));
            } else if (const auto* bytes = std::get_if<Bytes>(&s)) {
              values.push_back(Value::Octets(*bytes));
            } else if (auto dn = DnOf(std::get<Link>(s).id)) {
              values.push_back(Value::String(*dn, ADSTYPE_DN_STRING));
            }
          }
          return values;
        },
        &definition);
  }
  if (!Schema::Build(definition, &schema_, error)) {
    *error = "The schema of the embedded directory '" + path_ + "' is damaged: " + *error;
    return false;
  }
  return true;
}

bool Store::ReloadForest(std::string* error) {
  forest_ = ForestLayout();
  forest_.root_domain_dn = Meta("root_domain").value_or("");
  forest_.configuration_dn = Meta("configuration").value_or("");
  forest_.schema_dn = Meta("schema").value_or("");
  if (forest_.configuration_dn.empty()) return true;  // still being provisioned
  ObjectRecord partitions;
  if (FindByDn("CN=Partitions," + forest_.configuration_dn, &partitions) != S_OK) return true;
  const AttributeType* system_flags = schema_->FindAttribute("systemFlags");
  const AttributeType* nc_name = schema_->FindAttribute("nCName");
  const AttributeType* dns_root = schema_->FindAttribute("dnsRoot");
  const AttributeType* object_sid = schema_->FindAttribute("objectSid");
  if (!system_flags || !nc_name || !dns_root || !object_sid) {
    *error = "The schema of the embedded directory '" + path_ + "' lacks the partition attributes.";
    return false;
  }
  Statement* children = database_->Prepare(
      "SELECT id, parent, nc, path, dn, guid, attrs FROM objects WHERE parent = ?1 ORDER BY id");
  children->BindInt(1, partitions.id);
  std::vector<ObjectRecord> cross_refs;
  while (children->Next() == Statement::Step::kRow) {
    ObjectRecord record;
    if (ReadRecord(children, &record) == S_OK) cross_refs.push_back(std::move(record));
  }
  children->Reset();
  for (const ObjectRecord& cross_ref : cross_refs) {
    const auto* flags = cross_ref.attributes.Find(system_flags->number);
    const auto* nc = cross_ref.attributes.Find(nc_name->number);
    const auto* root = cross_ref.attributes.Find(dns_root->number);
    if (!flags || !nc || !root || (std::get<std::int64_t>(flags->front()) & 2) == 0) continue;
    ObjectRecord head;
    if (FindById(std::get<Link>(nc->front()).id, &head) != S_OK) continue;
    ForestLayout::Domain domain;
    domain.id = head.id;
    domain.dn = head.dn;
    domain.path = head.path;
    domain.dns_name = AsciiLower(std::get<std::string>(root->front()));
    if (const auto* sid = head.attributes.Find(object_sid->number)) {
      domain.sid = std::get<Bytes>(sid->front());
    }
    forest_.domains.push_back(std::move(domain));
  }
  return true;
}

HRESULT Store::ReadRecord(Statement* statement, ObjectRecord* record) {
  record->id = statement->Int(0);
  record->parent = statement->Int(1);
  record->nc = statement->Int(2);
  record->path = statement->Text(3);
  record->dn = statement->Text(4);
  auto guid = statement->Blob(5);
  record->guid.assign(guid.begin(), guid.end());
  return DecodeAttributes(statement->Blob(6), &record->attributes) ? S_OK : E_FAIL;
}

HRESULT Store::ReadOnlyRecord(Statement* lookup, ObjectRecord* record) {
  Statement::Step step = lookup->Next();
  HRESULT hr = step == Statement::Step::kRow    ? ReadRecord(lookup, record)
               : step == Statement::Step::kDone ? E_DS_NO_SUCH_OBJECT
                                                : E_FAIL;
  lookup->Reset();
  return hr;
}

HRESULT Store::FindByDn(const std::string& dn, ObjectRecord* record) {
  std::string key = DnKey(dn);
  if (key.empty()) return E_DS_INVALID_DN_SYNTAX;
  Statement* s = database_->Prepare(
      "SELECT id, parent, nc, path, dn, guid, attrs FROM objects WHERE dn_key = ?1");
  if (s == nullptr) return E_FAIL;
  s->BindText(1, key);
  return ReadOnlyRecord(s, record);
}

HRESULT Store::FindById(std::int64_t id, ObjectRecord* record) {
  Statement* s =
      database_->Prepare("SELECT id, parent, nc, path, dn, guid, attrs FROM objects WHERE id = ?1");
  if (s == nullptr) return E_FAIL;
  s->BindInt(1, id);
  return ReadOnlyRecord(s, record);
}

HRESULT Store::FindByGuid(const Bytes& guid, ObjectRecord* record) {
  Statement* s = database_->Prepare(
      "SELECT id, parent, nc, path, dn, guid, attrs FROM objects WHERE guid = ?1");
  if (s == nullptr) return E_FAIL;
  s->BindBlob(1, guid);
  return ReadOnlyRecord(s, record);
}

std::optional<std::string> Store::DnOf(std::int64_t id) {
  auto cached = dn_cache_.find(id);
  if (cached != dn_cache_.end()) return cached->second;
  Statement* s = database_->Prepare("SELECT dn FROM objects WHERE id = ?1");
  if (s == nullptr) return std::nullopt;
  s->BindInt(1, id);
  std::optional<std::string> dn;
  if (s->Next() == Statement::Step::kRow) dn = std::string(s->Text(0));
  s->Reset();
  if (dn) {
    if (dn_cache_.size() > 200000) dn_cache_.clear();
    dn_cache_.emplace(id, *dn);
  }
  return dn;
}

std::optional<std::int64_t> Store::IdOf(const std::string& dn) {
  std::string key = DnKey(dn);
  if (key.empty()) return std::nullopt;
  Statement* s = database_->Prepare("SELECT id FROM objects WHERE dn_key = ?1");
  if (s == nullptr) return std::nullopt;
  s->BindText(1, key);
  std::optional<std::int64_t> id;
  if (s->Next() == Statement::Step::kRow) id = s->Int(0);
  s->Reset();
  return id;
}

HRESULT Store::LinkSources(std::int64_t target, int forward_attribute,
                           std::vector<std::int64_t>* sources) {
  sources->clear();
  Statement* s = database_->Prepare(
      "SELECT source FROM links WHERE target = ?1 AND attr = ?2 ORDER BY source");
  if (s == nullptr) return E_FAIL;
  s->BindInt(1, target);
  s->BindInt(2, forward_attribute);
  Statement::Step step;
  while ((step = s->Next()) == Statement::Step::kRow) sources->push_back(s->Int(0));
  s->Reset();
  return step == Statement::Step::kDone ? S_OK : E_FAIL;
}

HRESULT Store::IncomingLinks(std::int64_t target,
                             std::vector<std::pair<std::int64_t, int>>* links) {
  links->clear();
  Statement* s =
      database_->Prepare("SELECT source, attr FROM links WHERE target = ?1 ORDER BY attr, source");
  if (s == nullptr) return E_FAIL;
  s->BindInt(1, target);
  Statement::Step step;
  while ((step = s->Next()) == Statement::Step::kRow) {
    links->emplace_back(s->Int(0), static_cast<int>(s->Int(1)));
  }
  s->Reset();
  return step == Statement::Step::kDone ? S_OK : E_FAIL;
}

HRESULT Store::HasChildren(std::int64_t id, bool* has) {
  Statement* s = database_->Prepare("SELECT 1 FROM objects WHERE parent = ?1 LIMIT 1");
  if (s == nullptr) return E_FAIL;
  s->BindInt(1, id);
  Statement::Step step = s->Next();
  s->Reset();
  if (step == Statement::Step::kError) return E_FAIL;
  *has = step == Statement::Step::kRow;
  return S_OK;
}

int Store::DomainOfNc(std::int64_t nc) const {
  for (std::size_t i = 0; i < forest_.domains.size(); ++i) {
    if (forest_.domains[i].id == nc) return static_cast<int>(i);
  }
  return -1;
}

const AttributeType* Store::AttributeByNumber(int number) const {
  auto found = by_number_.find(number);
  return found == by_number_.end() ? nullptr : found->second;
}

HRESULT Store::WriteReferences(const ObjectRecord& record) {
  Statement* clear = database_->Prepare("DELETE FROM refs WHERE source = ?1");
  Statement* insert =
      database_->Prepare("INSERT INTO refs(source, attr, target) VALUES (?1, ?2, ?3)");
  if (clear == nullptr || insert == nullptr) return E_FAIL;
  clear->BindInt(1, record.id);
  if (!clear->Execute()) return E_FAIL;
  for (const StoredAttribute& entry : record.attributes.entries()) {
    for (const Stored& value : entry.values) {
      if (const Link* link = std::get_if<Link>(&value)) {
        insert->BindInt(1, record.id);
        insert->BindInt(2, entry.attribute);
        insert->BindInt(3, link->id);
        if (!insert->Execute()) return E_FAIL;
      }
    }
  }
  return S_OK;
}

HRESULT Store::NewObjectId(std::int64_t* id) {
  std::optional<std::string> next = Meta("next_id");
  if (!next) return E_FAIL;
  *id = std::stoll(*next);
  return SetMeta("next_id", std::to_string(*id + 1)) ? S_OK : E_FAIL;
}

HRESULT Store::LinkTargets(std::int64_t source, int attribute,
                           std::vector<std::int64_t>* targets) {
  targets->clear();
  Statement* s = database_->Prepare(
      "SELECT target FROM links WHERE source = ?1 AND attr = ?2 ORDER BY rowid");
  if (s == nullptr) return E_FAIL;
  s->BindInt(1, source);
  s->BindInt(2, attribute);
  Statement::Step step;
  while ((step = s->Next()) == Statement::Step::kRow) targets->push_back(s->Int(0));
  s->Reset();
  return step == Statement::Step::kDone ? S_OK : E_FAIL;
}

HRESULT Store::OutgoingLinks(std::int64_t source,
                             std::vector<std::pair<int, std::int64_t>>* links) {
  links->clear();
  Statement* s =
      database_->Prepare("SELECT attr, target FROM links WHERE source = ?1 ORDER BY attr, rowid");
  if (s == nullptr) return E_FAIL;
  s->BindInt(1, source);
  Statement::Step step;
  while ((step = s->Next()) == Statement::Step::kRow) {
    links->emplace_back(static_cast<int>(s->Int(0)), s->Int(1));
  }
  s->Reset();
  return step == Statement::Step::kDone ? S_OK : E_FAIL;
}

HRESULT Store::HasLink(std::int64_t source, int attribute, std::int64_t target, bool* has) {
  Statement* s = database_->Prepare(
      "SELECT 1 FROM links WHERE source = ?1 AND attr = ?2 AND target = ?3");
  if (s == nullptr) return E_FAIL;
  s->BindInt(1, source);
  s->BindInt(2, attribute);
  s->BindInt(3, target);
  Statement::Step step = s->Next();
  s->Reset();
  if (step == Statement::Step::kError) return E_FAIL;
  *has = step == Statement::Step::kRow;
  return S_OK;
}

HRESULT Store::LinkCount(std::int64_t source, int attribute, std::int64_t limit,
                         std::int64_t* count) {
  Statement* s = database_->Prepare(
      "SELECT count(*) FROM (SELECT 1 FROM links WHERE source = ?1 AND attr = ?2 LIMIT ?3)");
  if (s == nullptr) return E_FAIL;
  s->BindInt(1, source);
  s->BindInt(2, attribute);
  s->BindInt(3, limit);
  Statement::Step step = s->Next();
  if (step == Statement::Step::kRow) *count = s->Int(0);
  s->Reset();
  return step == Statement::Step::kRow ? S_OK : E_FAIL;
}

HRESULT Store::AddLink(std::int64_t source, int attribute, std::int64_t target) {
  Statement* s =
      database_->Prepare("INSERT INTO links(source, attr, target) VALUES (?1, ?2, ?3)");
  if (s == nullptr) return E_FAIL;
  s->BindInt(1, source);
  s->BindInt(2, attribute);
  s->BindInt(3, target);
  return s->Execute() ? S_OK : E_FAIL;
}

HRESULT Store::RemoveLink(std::int64_t source, int attribute, std::int64_t target) {
  Statement* s =
      database_->Prepare("DELETE FROM links WHERE source = ?1 AND attr = ?2 AND target = ?3");
  if (s == nullptr) return E_FAIL;
  s->BindInt(1, source);
  s->BindInt(2, attribute);
  s->BindInt(3, target);
  return s->Execute() ? S_OK : E_FAIL;
}

HRESULT Store::ClearLinks(std::int64_t source, int attribute) {
  Statement* s = database_->Prepare("DELETE FROM links WHERE source = ?1 AND attr = ?2");
  if (s == nullptr) return E_FAIL;
  s->BindInt(1, source);
  s->BindInt(2, attribute);
  return s->Execute() ? S_OK : E_FAIL;
}

HRESULT Store::Insert(ObjectRecord* record, const ObjectRecord* parent,
                      NamingContext naming_context) {
  std::string key = DnKey(record->dn);
  if (key.empty()) return E_DS_INVALID_DN_SYNTAX;
  Statement* exists = database_->Prepare("SELECT 1 FROM objects WHERE dn_key = ?1");
  Statement* insert = database_->Prepare(
      "INSERT INTO objects(id, parent, nc, path, dn, dn_key, guid, attrs)"
      " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
  if (exists == nullptr || insert == nullptr) return E_FAIL;
  exists->BindText(1, key);
  Statement::Step step = exists->Next();
  exists->Reset();
  if (step == Statement::Step::kRow) return E_DS_ALREADY_EXISTS;
  if (HRESULT hr = NewObjectId(&record->id); Failed(hr)) return hr;
  record->parent = parent != nullptr ? parent->id : 0;
  record->path =
      (parent != nullptr ? parent->path : std::string("/")) + std::to_string(record->id) + "/";
  record->nc =
      naming_context == NamingContext::kHead || parent == nullptr ? record->id : parent->nc;
  std::vector<std::uint8_t> attrs = EncodeAttributes(record->attributes);
  insert->BindInt(1, record->id);
  insert->BindInt(2, record->parent);
  insert->BindInt(3, record->nc);
  insert->BindText(4, record->path);
  insert->BindText(5, record->dn);
  insert->BindText(6, key);
  insert->BindBlob(7, record->guid);
  insert->BindBlob(8, attrs);
  if (!insert->Execute()) return E_FAIL;
  return WriteReferences(*record);
}

HRESULT Store::UpdateAttributes(const ObjectRecord& record) {
  Statement* update = database_->Prepare("UPDATE objects SET attrs = ?2 WHERE id = ?1");
  if (update == nullptr) return E_FAIL;
  std::vector<std::uint8_t> attrs = EncodeAttributes(record.attributes);
  update->BindInt(1, record.id);
  update->BindBlob(2, attrs);
  if (!update->Execute()) return E_FAIL;
  return WriteReferences(record);
}

HRESULT Store::Relocate(ObjectRecord* record, const ObjectRecord& new_parent,
                        const std::string& new_dn) {
  std::string key = DnKey(new_dn);
  if (key.empty()) return E_DS_INVALID_DN_SYNTAX;
  if (auto existing = IdOf(new_dn); existing && *existing != record->id) {
    return E_DS_ALREADY_EXISTS;
  }
  std::string old_path = record->path;
  std::string old_dn = record->dn;
  std::string new_path = new_parent.path + std::to_string(record->id) + "/";
  Statement* descendants =
      database_->Prepare("SELECT id, path, dn FROM objects WHERE path > ?1 AND path < ?2");
  Statement* move = database_->Prepare(
      "UPDATE objects SET parent = ?2, path = ?3, dn = ?4, dn_key = ?5 WHERE id = ?1");
  Statement* follow =
      database_->Prepare("UPDATE objects SET path = ?2, dn = ?3, dn_key = ?4 WHERE id = ?1");
  if (descendants == nullptr || move == nullptr || follow == nullptr) return E_FAIL;
  struct Descendant {
    std::int64_t id;
    std::string path, dn;
  };
  std::vector<Descendant> below;
  descendants->BindText(1, old_path);
  descendants->BindText(2, PathEnd(old_path));
  while (descendants->Next() == Statement::Step::kRow) {
    below.push_back({descendants->Int(0), std::string(descendants->Text(1)),
                     std::string(descendants->Text(2))});
  }
  descendants->Reset();
  move->BindInt(1, record->id);
  move->BindInt(2, new_parent.id);
  move->BindText(3, new_path);
  move->BindText(4, new_dn);
  move->BindText(5, key);
  if (!move->Execute()) return E_FAIL;
  for (const Descendant& d : below) {
    std::string dn = d.dn.substr(0, d.dn.size() - old_dn.size()) + new_dn;
    follow->BindInt(1, d.id);
    follow->BindText(2, new_path + d.path.substr(old_path.size()));
    follow->BindText(3, dn);
    follow->BindText(4, DnKey(dn));
    if (!follow->Execute()) return E_FAIL;
  }
  record->parent = new_parent.id;
  record->path = new_path;
  record->dn = new_dn;
  dn_cache_.clear();
  return UpdateAttributes(*record);
}

HRESULT Store::Remove(std::int64_t id) {
  // DN values in other records that name the object go with it, as linked values do: a
  // reference to a deleted object never reads as another.
  Statement* referrers =
      database_->Prepare("SELECT DISTINCT source, attr FROM refs WHERE target = ?1");
  if (referrers == nullptr) return E_FAIL;
  referrers->BindInt(1, id);
  std::vector<std::pair<std::int64_t, int>> naming;
  Statement::Step step;
  while ((step = referrers->Next()) == Statement::Step::kRow) {
    naming.emplace_back(referrers->Int(0), static_cast<int>(referrers->Int(1)));
  }
  referrers->Reset();
  if (step != Statement::Step::kDone) return E_FAIL;
  for (const auto& [source, attribute] : naming) {
    ObjectRecord record;
    if (source == id || FindById(source, &record) != S_OK) continue;
    std::vector<Stored>* values = record.attributes.FindMutable(attribute);
    if (values == nullptr) continue;
    std::vector<Stored> kept;
    for (Stored& value : *values) {
      if (!(std::holds_alternative<Link>(value) && std::get<Link>(value).id == id)) {
        kept.push_back(std::move(value));
      }
    }
    record.attributes.Set(attribute, std::move(kept));
    if (HRESULT hr = UpdateAttributes(record); Failed(hr)) return hr;
  }
  for (const char* sql :
       {"DELETE FROM objects WHERE id = ?1", "DELETE FROM links WHERE source = ?1",
        "DELETE FROM links WHERE target = ?1", "DELETE FROM refs WHERE source = ?1",
        "DELETE FROM accounts WHERE object = ?1", "DELETE FROM secrets WHERE object = ?1"}) {
    Statement* s = database_->Prepare(sql);
    if (s == nullptr) return E_FAIL;
    s->BindInt(1, id);
    if (!s->Execute()) return E_FAIL;
  }
  dn_cache_.erase(id);
  return S_OK;
}

std::int64_t Store::NextUsn() {
  std::int64_t usn = std::stoll(Meta("usn").value_or("0")) + 1;
  if (!SetMeta("usn", std::to_string(usn))) return 0;
  return usn;
}

std::int64_t Store::NextRid(std::int64_t domain_id) {
  std::string key = "rid:" + std::to_string(domain_id);
  std::int64_t rid = std::stoll(Meta(key).value_or("1100"));
  if (!SetMeta(key, std::to_string(rid + 1))) return 0;
  return rid;
}

HRESULT Store::ClaimAccountName(std::int64_t domain, std::int64_t object, const std::string& name,
                                bool* taken) {
  std::string key = FoldCase(name);
  Statement* find =
      database_->Prepare("SELECT object FROM accounts WHERE domain = ?1 AND name = ?2");
  Statement* release = database_->Prepare("DELETE FROM accounts WHERE object = ?1");
  Statement* claim =
      database_->Prepare("INSERT INTO accounts(domain, name, object) VALUES (?1, ?2, ?3)");
  if (find == nullptr || release == nullptr || claim == nullptr) return E_FAIL;
  find->BindInt(1, domain);
  find->BindText(2, key);
  Statement::Step step = find->Next();
  std::int64_t holder = step == Statement::Step::kRow ? find->Int(0) : 0;
  find->Reset();
  if (step == Statement::Step::kError) return E_FAIL;
  *taken = step == Statement::Step::kRow && holder != object;
  if (*taken) return S_OK;
  release->BindInt(1, object);
  if (!release->Execute()) return E_FAIL;
  claim->BindInt(1, domain);
  claim->BindText(2, key);
  claim->BindInt(3, object);
  return claim->Execute() ? S_OK : E_FAIL;
}

HRESULT Store::SetPasswordHash(std::int64_t object, const std::string& hash) {
  Statement* s = database_->Prepare("INSERT OR REPLACE INTO secrets(object, hash) VALUES (?1, ?2)");
  if (s == nullptr) return E_FAIL;
  s->BindInt(1, object);
  s->BindText(2, hash);
  return s->Execute() ? S_OK : E_FAIL;
}

std::optional<std::string> Store::PasswordHash(std::int64_t object) {
  Statement* s = database_->Prepare("SELECT hash FROM secrets WHERE object = ?1");
  if (s == nullptr) return std::nullopt;
  s->BindInt(1, object);
  std::optional<std::string> hash;
  if (s->Next() == Statement::Step::kRow) hash = std::string(s->Text(0));
  s->Reset();
  return hash;
}

bool Store::SetMeta(const std::string& key, const std::string& value) {
  Statement* s = database_->Prepare("INSERT OR REPLACE INTO meta(key, value) VALUES (?1, ?2)");
  if (s == nullptr) return false;
  s->BindText(1, key);
  s->BindText(2, value);
  return s->Execute();
}

std::optional<std::string> Store::Meta(const std::string& key) {
  Statement* s = database_->Prepare("SELECT value FROM meta WHERE key = ?1");
  if (s == nullptr) return std::nullopt;
  s->BindText(1, key);
  std::optional<std::string> value;
  if (s->Next() == Statement::Step::kRow) value = std::string(s->Text(0));
  s->Reset();
  return value;
}

}  // namespace tessary::ds::embedded
