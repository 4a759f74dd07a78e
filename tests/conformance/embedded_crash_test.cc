// A writer killed in the middle of its work leaves every object whole or absent, and the file
// opens again.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "directory/ds/embedded/embedded_directory.h"
#include "test_support.h"

namespace tessary::testing {
namespace {

using ds::embedded::OpenEmbeddedDirectory;

constexpr const char* kAttributes[] = {"givenName",  "sn",      "description",     "title",
                                       "department", "company", "telephoneNumber", "mail"};

std::string ValueFor(const char* attribute, int i) {
  return std::string(attribute) + "-" + std::to_string(i);
}

// The child's work: users created one by one until it is killed.
[[noreturn]] void WriteForever(const std::string& path) {
  std::unique_ptr<ds::Directory> directory;
  std::string error;
  std::unique_ptr<ds::Object> container;
  if (!OpenEmbeddedDirectory(path, &directory, &error) ||
      Failed(directory->Bind("LDAP://CN=Users,DC=example,DC=com", &container))) {
    _exit(2);
  }
  for (int i = 0;; ++i) {
    std::unique_ptr<ds::Object> user;
    if (Failed(container->Create("user", "CN=Crash " + std::to_string(i), &user))) _exit(3);
    (void)user->Put("sAMAccountName", ds::Value::String("crash" + std::to_string(i)));
    for (const char* attribute : kAttributes) {
      (void)user->Put(attribute, ds::Value::String(ValueFor(attribute, i)));
    }
    if (Failed(user->SetInfo())) _exit(4);
  }
}

int CountUsers(ds::Directory& directory, std::vector<std::string>* problems) {
  std::unique_ptr<ds::Object> users;
  if (Failed(directory.Bind("LDAP://CN=Users,DC=example,DC=com", &users))) return -1;
  ds::SearchRequest request;
  request.filter = "(cn=Crash *)";
  request.columns = {"cn", "sAMAccountName"};
  for (const char* attribute : kAttributes) request.columns.push_back(attribute);
  request.scope = ds::SearchScope::kOneLevel;
  std::unique_ptr<ds::SearchCursor> cursor;
  if (Failed(users->ExecuteSearch(request, &cursor))) return -1;
  int count = 0;
  for (HRESULT hr = cursor->GetFirstRow(); hr == S_OK; hr = cursor->GetNextRow()) {
    ++count;
    ds::Attribute cn;
    if (cursor->GetColumn("cn", &cn) != S_OK) return -1;
    int i = std::stoi(cn.values.at(0).string()->substr(6));
    for (const char* attribute : kAttributes) {
      ds::Attribute column;
      if (cursor->GetColumn(attribute, &column) != S_OK ||
          *column.values.at(0).string() != ValueFor(attribute, i)) {
        problems->push_back("CN=Crash " + std::to_string(i) + " lacks " + attribute);
      }
    }
  }
  return count;
}

TEST(EmbeddedCrashTest, AKilledWriterLeavesWholeObjects) {
  ScopedMachine machine;
  std::string path = (machine.Root() / "crash.db").string();
  std::string error;
  ASSERT_TRUE(
      ds::embedded::ProvisionDomain(path, "example.com", ds::embedded::BuiltinSchema(), {}, &error))
      << error;
  for (int round = 0; round < 3; ++round) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) WriteForever(path);
    // Let the writer get well into its loop: wait until it has written more users.
    int seen = 0;
    for (int wait = 0; wait < 3000 && seen < 100 * (round + 1); ++wait) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      std::unique_ptr<ds::Directory> peek;
      std::vector<std::string> ignored;
      if (OpenEmbeddedDirectory(path, &peek, &error)) seen = CountUsers(*peek, &ignored);
    }
    ASSERT_EQ(0, kill(child, SIGKILL));
    int status = 0;
    ASSERT_EQ(child, waitpid(child, &status, 0));
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself with " << status;

    std::unique_ptr<ds::Directory> directory;
    ASSERT_TRUE(OpenEmbeddedDirectory(path, &directory, &error)) << error;
    std::vector<std::string> problems;
    int count = CountUsers(*directory, &problems);
    EXPECT_GE(count, 100 * (round + 1));
    EXPECT_TRUE(problems.empty()) << problems.front();
    // The next writer starts over at 0: its names exist already, so it must fail cleanly there
    // rather than add half objects. Remove them to let it write again.
    std::unique_ptr<ds::Object> users;
    ASSERT_EQ(S_OK, directory->Bind("LDAP://CN=Users,DC=example,DC=com", &users));
    for (int i = 0; i < count + 10; ++i)
      (void)users->Delete("user", "CN=Crash " + std::to_string(i));
  }
}

}  // namespace
}  // namespace tessary::testing
