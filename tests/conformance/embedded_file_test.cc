// The embedded directory's file: what it refuses to open (and leaves untouched), and a forest of
// several domains provisioned into one file.

#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <span>

#include "directory/ds/ds_error.h"
#include "directory/ds/embedded/embedded_directory.h"
#include "directory/ds/embedded/stored_value.h"
#include "test_support.h"

namespace tessary::testing {
namespace {

namespace fs = std::filesystem;
using ds::embedded::BuiltinSchema;
using ds::embedded::OpenEmbeddedDirectory;
using ds::embedded::ProvisionDomain;

class EmbeddedFileTest : public MachineTest {
 protected:
  std::string Path(const char* name) { return (machine_.Root() / name).string(); }

  // Opening must fail with exactly this message and leave the file's bytes and folder alone.
  void ExpectRefused(const std::string& path, const std::string& message) {
    std::string before = ReadFileText(path);
    auto listing = [&] {
      std::vector<std::string> names;
      for (const auto& entry : fs::directory_iterator(fs::path(path).parent_path())) {
        names.push_back(entry.path().filename().string());
      }
      std::sort(names.begin(), names.end());
      return names;
    };
    std::vector<std::string> files = listing();
    std::unique_ptr<ds::Directory> directory;
    std::string error;
    EXPECT_FALSE(OpenEmbeddedDirectory(path, &directory, &error));
    EXPECT_EQ(message, error);
    EXPECT_EQ(before, ReadFileText(path));
    EXPECT_EQ(files, listing());
  }
};

TEST_F(EmbeddedFileTest, AMissingFileIsNamed) {
  std::unique_ptr<ds::Directory> directory;
  std::string error;
  std::string path = Path("none.db");
  EXPECT_FALSE(OpenEmbeddedDirectory(path, &directory, &error));
  EXPECT_EQ("The embedded directory '" + path + "' does not exist.", error);
  EXPECT_FALSE(fs::exists(path));
}

TEST_F(EmbeddedFileTest, ATextFileIsNotOurs) {
  std::string path = Path("notes.db");
  WriteFileText(path, "These are my notes, not a directory.\n");
  ExpectRefused(path, "The file '" + path + "' is not a Tessary embedded directory.");
}

TEST_F(EmbeddedFileTest, AnotherSqliteDatabaseIsNotOurs) {
  std::string path = Path("other.db");
  sqlite3* db = nullptr;
  ASSERT_EQ(SQLITE_OK, sqlite3_open(path.c_str(), &db));
  ASSERT_EQ(SQLITE_OK, sqlite3_exec(db, "CREATE TABLE t(x); INSERT INTO t VALUES (1);", nullptr,
                                    nullptr, nullptr));
  sqlite3_close(db);
  ExpectRefused(path, "The file '" + path + "' is not a Tessary embedded directory.");
}

TEST_F(EmbeddedFileTest, ADamagedDirectoryIsRefusedUntouched) {
  std::string path = Path("damaged.db");
  std::string error;
  ASSERT_TRUE(ProvisionDomain(path, "example.com", BuiltinSchema(), {}, &error)) << error;
  {
    // Checkpoint the journal into the file so the damage below hits live pages.
    sqlite3* db = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open(path.c_str(), &db));
    sqlite3_exec(db, "PRAGMA wal_checkpoint(TRUNCATE); PRAGMA journal_mode=DELETE;", nullptr,
                 nullptr, nullptr);
    sqlite3_close(db);
  }
  std::string bytes = ReadFileText(path);
  ASSERT_GT(bytes.size(), 40000u);
  for (std::size_t i = 8192; i < bytes.size() - 4096; i += 4096) {
    std::fill(bytes.begin() + static_cast<long>(i) + 100,
              bytes.begin() + static_cast<long>(i) + 900, '\x5a');
  }
  WriteFileText(path, bytes);
  std::unique_ptr<ds::Directory> directory;
  EXPECT_FALSE(OpenEmbeddedDirectory(path, &directory, &error));
  EXPECT_TRUE(error.starts_with("The embedded directory '" + path + "' is damaged: ")) << error;
  EXPECT_EQ(bytes, ReadFileText(path));
}

TEST_F(EmbeddedFileTest, ProvisioningRefusesBadNamesAndSecondCopies) {
  std::string path = Path("forest.db");
  std::string error;
  EXPECT_FALSE(ProvisionDomain(path, "not a name", BuiltinSchema(), {}, &error));
  EXPECT_EQ("The domain name 'not a name' is not a valid DNS domain name.", error);
  EXPECT_FALSE(fs::exists(path));
  ASSERT_TRUE(ProvisionDomain(path, "Example.com", BuiltinSchema(), {}, &error)) << error;
  EXPECT_FALSE(ProvisionDomain(path, "example.com", BuiltinSchema(), {}, &error));
  EXPECT_EQ("The domain 'example.com' already exists in the embedded directory '" + path + "'.",
            error);
}

TEST_F(EmbeddedFileTest, AWeakAdministratorPasswordLeavesNoFile) {
  std::string path = Path("weak.db");
  std::string error;
  ds::embedded::ProvisionOptions options;
  options.administrator_password = "short";
  EXPECT_FALSE(ProvisionDomain(path, "example.com", BuiltinSchema(), options, &error));
  EXPECT_EQ("Could not provision the domain 'example.com' in '" + path +
                "'.\nCould not set the password of the Administrator of 'example.com': it does not "
                "meet the password policy.",
            error);
  EXPECT_FALSE(fs::exists(path));
}

TEST_F(EmbeddedFileTest, AForestHoldsSeveralDomains) {
  std::string path = Path("forest.db");
  std::string error;
  ds::embedded::ProvisionOptions options;
  options.administrator_password = "Adm1nistrator!";
  ASSERT_TRUE(ProvisionDomain(path, "example.com", BuiltinSchema(), options, &error)) << error;
  ASSERT_TRUE(ProvisionDomain(path, "other.org", BuiltinSchema(), {}, &error)) << error;
  ASSERT_TRUE(ProvisionDomain(path, "child.example.com", BuiltinSchema(), {}, &error)) << error;

  std::unique_ptr<ds::Directory> directory;
  ASSERT_TRUE(OpenEmbeddedDirectory(path, &directory, &error)) << error;
  std::vector<std::string> domains;
  ASSERT_EQ(S_OK, ds::EnumDomainNames(*directory, &domains));
  EXPECT_EQ((std::vector<std::string>{"example.com", "other.org", "child.example.com"}), domains);
  EXPECT_TRUE(ds::embedded::VerifyPassword(
      *directory, "CN=Administrator,CN=Users,DC=example,DC=com", "Adm1nistrator!"));

  // Each domain has its own SID; the root domain's subtree stops at the child domain.
  auto sid_of = [&](const std::string& dn) {
    std::unique_ptr<ds::Object> object;
    std::vector<ds::Attribute> attributes;
    if (Failed(directory->Bind("LDAP://" + dn, &object)) ||
        Failed(object->GetObjectAttributes({"objectSid"}, &attributes)) || attributes.empty()) {
      return ds::Bytes();
    }
    return *attributes[0].values.at(0).octets();
  };
  ds::Bytes root = sid_of("DC=example,DC=com");
  ds::Bytes other = sid_of("DC=other,DC=org");
  ds::Bytes admin = sid_of("CN=Administrator,CN=Users,DC=other,DC=org");
  ASSERT_EQ(24u, root.size());
  EXPECT_NE(root, other);
  EXPECT_TRUE(std::equal(other.begin() + 2, other.end(), admin.begin() + 2));
  EXPECT_EQ(500u, admin[24] | admin[25] << 8);

  std::unique_ptr<ds::Object> domain;
  ASSERT_EQ(S_OK, directory->Bind("LDAP://DC=example,DC=com", &domain));
  ds::SearchRequest request;
  request.filter = "(sAMAccountName=Administrator)";
  request.columns = {"distinguishedName"};
  std::unique_ptr<ds::SearchCursor> cursor;
  ASSERT_EQ(S_OK, domain->ExecuteSearch(request, &cursor));
  std::vector<std::string> found;
  for (HRESULT hr = cursor->GetFirstRow(); hr == S_OK; hr = cursor->GetNextRow()) {
    ds::Attribute column;
    ASSERT_EQ(S_OK, cursor->GetColumn("distinguishedName", &column));
    found.push_back(*column.values.at(0).string());
  }
  EXPECT_EQ((std::vector<std::string>{"CN=Administrator,CN=Users,DC=example,DC=com"}), found);

  std::unique_ptr<ds::Object> by_name;
  ASSERT_EQ(S_OK, directory->Bind("LDAP://other.org", &by_name));
  std::string adspath;
  ASSERT_EQ(S_OK, by_name->GetAdsPath(&adspath));
  EXPECT_EQ("LDAP://DC=other,DC=org", adspath);
  EXPECT_EQ(E_DS_SERVER_DOWN, directory->Bind("LDAP://unknown.net", &by_name));
}

TEST_F(EmbeddedFileTest, AccountNamesAreUniquePerDomain) {
  std::string path = Path("forest.db");
  std::string error;
  ASSERT_TRUE(ProvisionDomain(path, "example.com", BuiltinSchema(), {}, &error)) << error;
  ASSERT_TRUE(ProvisionDomain(path, "other.org", BuiltinSchema(), {}, &error)) << error;
  std::unique_ptr<ds::Directory> directory;
  ASSERT_TRUE(OpenEmbeddedDirectory(path, &directory, &error)) << error;
  for (const char* users : {"CN=Users,DC=example,DC=com", "CN=Users,DC=other,DC=org"}) {
    std::unique_ptr<ds::Object> container, user;
    ASSERT_EQ(S_OK, directory->Bind(std::string("LDAP://") + users, &container));
    ASSERT_EQ(S_OK, container->Create("user", "CN=Same Name", &user));
    ASSERT_EQ(S_OK, user->Put("sAMAccountName", ds::Value::String("samename")));
    EXPECT_EQ(S_OK, user->SetInfo()) << users;
  }
}

}  // namespace
}  // namespace tessary::testing

namespace tessary::testing {
namespace {

// Runs SQL on a directory file while no directory has it open.
void RunSql(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(SQLITE_OK, sqlite3_open(path.c_str(), &db));
  char* message = nullptr;
  EXPECT_EQ(SQLITE_OK, sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message))
      << (message != nullptr ? message : "");
  sqlite3_free(message);
  sqlite3_close(db);
}

// Rewrites a closed directory file in the layout of the second format: linked values in the
// records as well as in rows, no reference rows, no id counter (ids came from the largest).
void ToSecondFormat(const std::string& path) {
  sqlite3* db = nullptr;
  ASSERT_EQ(SQLITE_OK, sqlite3_open(path.c_str(), &db));
  std::map<std::int64_t, ds::embedded::StoredAttributes> records;
  sqlite3_stmt* links = nullptr;
  ASSERT_EQ(SQLITE_OK, sqlite3_prepare_v2(db,
                                          "SELECT l.source, l.attr, l.target, o.attrs FROM links l"
                                          " JOIN objects o ON o.id = l.source ORDER BY l.rowid",
                                          -1, &links, nullptr));
  while (sqlite3_step(links) == SQLITE_ROW) {
    std::int64_t source = sqlite3_column_int64(links, 0);
    if (!records.contains(source)) {
      const auto* bytes = static_cast<const std::uint8_t*>(sqlite3_column_blob(links, 3));
      std::span<const std::uint8_t> blob(bytes, static_cast<std::size_t>(sqlite3_column_bytes(links, 3)));
      ASSERT_TRUE(ds::embedded::DecodeAttributes(blob, &records[source]));
    }
    int attribute = sqlite3_column_int(links, 1);
    ds::embedded::StoredAttributes& record = records[source];
    std::vector<ds::embedded::Stored> values;
    if (const auto* present = record.Find(attribute)) values = *present;
    values.emplace_back(std::in_place_type<ds::embedded::Link>,
                        ds::embedded::Link{sqlite3_column_int64(links, 2)});
    record.Set(attribute, std::move(values));
  }
  sqlite3_finalize(links);
  sqlite3_stmt* update = nullptr;
  ASSERT_EQ(SQLITE_OK,
            sqlite3_prepare_v2(db, "UPDATE objects SET attrs = ?2 WHERE id = ?1", -1, &update, nullptr));
  for (const auto& [id, record] : records) {
    std::vector<std::uint8_t> blob = ds::embedded::EncodeAttributes(record);
    sqlite3_bind_int64(update, 1, id);
    sqlite3_bind_blob(update, 2, blob.data(), static_cast<int>(blob.size()), SQLITE_TRANSIENT);
    ASSERT_EQ(SQLITE_DONE, sqlite3_step(update));
    sqlite3_reset(update);
  }
  sqlite3_finalize(update);
  sqlite3_close(db);
  RunSql(path,
         "DROP TABLE refs; DROP INDEX links_source; CREATE INDEX links_source ON links(source, attr);"
         "DELETE FROM meta WHERE key = 'next_id'; UPDATE meta SET value = '2' WHERE key = 'format';");
}

using EmbeddedUpgradeTest = EmbeddedFileTest;

// A file of the first format kept its keys with ASCII letters folded only: opened now, its names
// fold over all of Unicode, and a file of a later format is still refused untouched.
TEST_F(EmbeddedUpgradeTest, AFileOfTheFirstFormatFoldsItsNamesOverUnicode) {
  std::string path = Path("first.db");
  std::string error;
  ASSERT_TRUE(ProvisionDomain(path, "example.com", BuiltinSchema(), {}, &error)) << error;
  const std::string users = "CN=Users,DC=example,DC=com";
  {
    std::unique_ptr<ds::Directory> directory;
    ASSERT_TRUE(OpenEmbeddedDirectory(path, &directory, &error)) << error;
    std::unique_ptr<ds::Object> container, user;
    ASSERT_EQ(S_OK, directory->Bind("LDAP://" + users, &container));
    ASSERT_EQ(S_OK, container->Create("user", "CN=Ärger", &user));
    ASSERT_EQ(S_OK, user->Put("sAMAccountName", ds::Value::String("Jürgen")));
    ASSERT_EQ(S_OK, user->SetInfo());
  }
  ToSecondFormat(path);
  RunSql(path,
         "UPDATE objects SET dn_key = 'cn=Ärger,cn=users,dc=example,dc=com' WHERE dn LIKE "
         "'CN=Ärger,%';"
         "UPDATE accounts SET name = 'jÜrgen' WHERE name = 'jürgen';"
         "UPDATE meta SET value = '1' WHERE key = 'format';");
  {
    std::unique_ptr<ds::Directory> directory;
    ASSERT_TRUE(OpenEmbeddedDirectory(path, &directory, &error)) << error;
    std::unique_ptr<ds::Object> found, container, twin;
    EXPECT_EQ(S_OK, directory->Bind("LDAP://CN=äRGER," + users, &found));
    ASSERT_EQ(S_OK, directory->Bind("LDAP://" + users, &container));
    ASSERT_EQ(S_OK, container->Create("contact", "CN=ärger", &twin));
    EXPECT_EQ(E_DS_ALREADY_EXISTS, twin->SetInfo());
    ASSERT_EQ(S_OK, container->Create("user", "CN=Other", &twin));
    ASSERT_EQ(S_OK, twin->Put("sAMAccountName", ds::Value::String("JÜRGEN")));
    EXPECT_EQ(E_DS_ALREADY_EXISTS, twin->SetInfo());
  }
  RunSql(path, "UPDATE meta SET value = '99' WHERE key = 'format'; PRAGMA journal_mode=DELETE;");
  ExpectRefused(path, "The embedded directory '" + path +
                          "' has the format version 99, which this program does not know.");
}

}  // namespace
}  // namespace tessary::testing

namespace tessary::testing {
namespace {

std::string Single(ds::Directory& directory, const std::string& dn, const char* attribute) {
  std::unique_ptr<ds::Object> object;
  if (directory.Bind("LDAP://" + dn, &object) != S_OK) return "(no object)";
  std::vector<ds::Attribute> attributes;
  if (object->GetObjectAttributes({attribute}, &attributes) != S_OK || attributes.empty()) return "";
  std::string joined;
  for (const ds::Value& value : attributes.front().values) {
    joined += (joined.empty() ? "" : "|") + (value.string() != nullptr ? *value.string() : "?");
  }
  return joined;
}

// A file of the second format whose deleted object was the newest: its id would have come
// again, and a DN value left naming it would have named the newcomer. Opened now, the value is
// gone, the group's members come from their rows, and one more member is one more row.
TEST_F(EmbeddedUpgradeTest, AFileOfTheSecondFormatKeepsItsLinksAndDropsDeadReferences) {
  std::string path = Path("second.db");
  std::string error;
  ASSERT_TRUE(ProvisionDomain(path, "example.com", BuiltinSchema(), {}, &error)) << error;
  const std::string users = "CN=Users,DC=example,DC=com";
  {
    std::unique_ptr<ds::Directory> directory;
    ASSERT_TRUE(OpenEmbeddedDirectory(path, &directory, &error)) << error;
    std::unique_ptr<ds::Object> container, object;
    ASSERT_EQ(S_OK, directory->Bind("LDAP://" + users, &container));
    ASSERT_EQ(S_OK, container->Create("contact", "CN=Keeper", &object));
    ASSERT_EQ(S_OK, object->SetInfo());
    ASSERT_EQ(S_OK, container->Create("group", "CN=Team", &object));
    ASSERT_EQ(S_OK, object->Put("sAMAccountName", ds::Value::String("team")));
    ASSERT_EQ(S_OK, object->SetInfo());
    std::unique_ptr<ds::Object> gone;
    ASSERT_EQ(S_OK, container->Create("contact", "CN=Gone", &gone));
    ASSERT_EQ(S_OK, gone->SetInfo());
    ASSERT_EQ(S_OK, object->Add("LDAP://CN=Keeper," + users));
    ASSERT_EQ(S_OK, object->Add("LDAP://CN=Gone," + users));
    ASSERT_EQ(S_OK, directory->Bind("LDAP://CN=Keeper," + users, &object));
    ASSERT_EQ(S_OK, object->Put("seeAlso", ds::Value::String("CN=Gone," + users, ds::ADSTYPE_DN_STRING)));
    ASSERT_EQ(S_OK, object->SetInfo());
  }
  ToSecondFormat(path);
  // Deleted as the second format deleted: the row and its links, the seeAlso value left behind;
  // it held the newest id, which the second format gave to the next object.
  RunSql(path,
         "DELETE FROM links WHERE target = (SELECT id FROM objects WHERE dn LIKE 'CN=Gone,%');"
         "DELETE FROM objects WHERE dn LIKE 'CN=Gone,%';");
  std::unique_ptr<ds::Directory> directory;
  ASSERT_TRUE(OpenEmbeddedDirectory(path, &directory, &error)) << error;
  EXPECT_EQ("CN=Keeper," + users, Single(*directory, "CN=Team," + users, "member"));
  std::unique_ptr<ds::Object> container, newcomer, team;
  ASSERT_EQ(S_OK, directory->Bind("LDAP://" + users, &container));
  ASSERT_EQ(S_OK, container->Create("contact", "CN=Newcomer", &newcomer));
  ASSERT_EQ(S_OK, newcomer->SetInfo());
  EXPECT_EQ("", Single(*directory, "CN=Keeper," + users, "seeAlso"));
  ASSERT_EQ(S_OK, directory->Bind("LDAP://CN=Team," + users, &team));
  ASSERT_EQ(S_OK, team->Add("LDAP://CN=Newcomer," + users));
  EXPECT_EQ("CN=Keeper," + users + "|CN=Newcomer," + users,
            Single(*directory, "CN=Team," + users, "member"));
  EXPECT_EQ("CN=Team," + users, Single(*directory, "CN=Newcomer," + users, "memberOf"));
}

}  // namespace
}  // namespace tessary::testing

namespace tessary::testing {
namespace {

// The integers of the first column of a query, read beside an open directory.
std::vector<std::int64_t> Column(const std::string& path, const char* sql) {
  std::vector<std::int64_t> values;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) return values;
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK) {
    while (sqlite3_step(statement) == SQLITE_ROW) values.push_back(sqlite3_column_int64(statement, 0));
  }
  sqlite3_finalize(statement);
  sqlite3_close(db);
  return values;
}

using EmbeddedLinkRowsTest = EmbeddedFileTest;

// Adding a member writes its one row: the rows of the other members stay as they were, and the
// group's own record does not grow with its members.
TEST_F(EmbeddedLinkRowsTest, AddingAMemberWritesOneRow) {
  std::string path = Path("group.db");
  std::string error;
  ASSERT_TRUE(ProvisionDomain(path, "example.com", BuiltinSchema(), {}, &error)) << error;
  std::unique_ptr<ds::Directory> directory;
  ASSERT_TRUE(OpenEmbeddedDirectory(path, &directory, &error)) << error;
  const std::string users = "CN=Users,DC=example,DC=com";
  std::unique_ptr<ds::Object> container, group, contact;
  ASSERT_EQ(S_OK, directory->Bind("LDAP://" + users, &container));
  ASSERT_EQ(S_OK, container->Create("group", "CN=Big", &group));
  ASSERT_EQ(S_OK, group->Put("sAMAccountName", ds::Value::String("big")));
  ASSERT_EQ(S_OK, group->SetInfo());
  const char* record_size = "SELECT length(attrs) FROM objects WHERE dn LIKE 'CN=Big,%'";
  const char* member_rows =
      "SELECT l.rowid FROM links l JOIN objects o ON o.id = l.source WHERE o.dn LIKE 'CN=Big,%'"
      " ORDER BY l.rowid";
  const std::int64_t empty_size = Column(path, record_size).at(0);
  for (int i = 0; i <= 40; ++i) {
    std::string rdn = "CN=Contact " + std::to_string(i);
    ASSERT_EQ(S_OK, container->Create("contact", rdn, &contact));
    ASSERT_EQ(S_OK, contact->SetInfo());
    if (i == 40) break;
    ASSERT_EQ(S_OK, group->Add("LDAP://" + rdn + "," + users));
  }
  std::vector<std::int64_t> before = Column(path, member_rows);
  ASSERT_EQ(40u, before.size());
  ASSERT_EQ(S_OK, group->Add("LDAP://CN=Contact 40," + users));
  std::vector<std::int64_t> after = Column(path, member_rows);
  ASSERT_EQ(41u, after.size());
  EXPECT_TRUE(std::equal(before.begin(), before.end(), after.begin()));
  EXPECT_LT(Column(path, record_size).at(0), empty_size + 16);
}

}  // namespace
}  // namespace tessary::testing
