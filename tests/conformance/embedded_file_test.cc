// The embedded directory's file: what it refuses to open (and leaves untouched), and a forest of
// several domains provisioned into one file.

#include <sqlite3.h>

#include <algorithm>
#include <filesystem>

#include "directory/ds/ds_error.h"
#include "directory/ds/embedded/embedded_directory.h"
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
