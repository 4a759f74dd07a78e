// The LDAP backend against a Samba AD DC, side by side with OpenLDAP's own tools on the same DC:
//   reading 2,000 users with 6 attributes through Search  vs  ldapsearch -E pr=100/noprompt (LDIF)
//   creating 2,000 users through Create + SetInfo          vs  one ldapadd adding the same entries
// Run by hand with a test DC:
//   tests/samba/dc.sh start /tmp/dc/dc.env
//   TESSARY_SAMBA_ENV_FILE=/tmp/dc/dc.env build/bench/ldap_samba
//   tests/samba/dc.sh stop /tmp/dc/dc.env
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "directory/ds/directory.h"
#include "directory/ds/ldap/ldap_directory.h"
#include "ldap/samba_dc.h"

extern char** environ;

namespace {

using tessary::HRESULT;
using tessary::S_ADS_NOMORE_COLUMNS;
using tessary::S_OK;
namespace ds = tessary::ds;

constexpr int kUsers = 2000;
const std::vector<std::string> kColumns = {"cn", "sAMAccountName", "givenName",
                                           "sn", "mail",           "telephoneNumber"};

struct Dc {
  tessary::testing::SambaDc dc;
  std::unique_ptr<ds::Directory> directory;
  std::string run;  // unique per run, so runs never collide on names
  std::string error;
};

Dc* TheDc() {
  static Dc* shared = [] {
    auto* d = new Dc;
    if (!d->dc.Load(&d->error)) return d;
    for (const char* name : {"TESSARY_BIND_DN", "TESSARY_BIND_PASSWORD_FILE", "LDAPTLS_CACERT"}) {
      setenv(name, d->dc.Var(name).c_str(), 1);
    }
    // Simple bind over TLS for both sides, whatever ticket the user may hold.
    setenv("KRB5CCNAME", "FILE:/nonexistent/tessary-bench", 1);
    if (!ds::ldap::OpenLdapDirectory(d->dc.Var("TESSARY_SAMBA_URI"), &d->directory, &d->error)) {
      d->directory.reset();
    }
    d->run = std::to_string(std::random_device()() % 100000);
    return d;
  }();
  return shared;
}

// Runs a program with its output thrown away (ldapsearch writes LDIF to it); its exit status.
int RunQuietly(const std::vector<std::string>& argv) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  int error = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> ToolArguments(const char* tool) {
  Dc* d = TheDc();
  return {tool,
          "-H",
          d->dc.Var("TESSARY_SAMBA_URI"),
          "-x",
          "-D",
          d->dc.Var("TESSARY_BIND_DN"),
          "-y",
          d->dc.Var("TESSARY_BIND_PASSWORD_FILE")};
}

std::string OuDn(const std::string& name) {
  return "OU=" + name + "," + TheDc()->dc.Var("TESSARY_SAMBA_BASE_DN");
}

bool MakeOu(const std::string& name) {
  std::unique_ptr<ds::Object> base, ou;
  return TheDc()->directory->Bind("LDAP://" + TheDc()->dc.Var("TESSARY_SAMBA_BASE_DN"), &base) ==
             S_OK &&
         base->Create("organizationalUnit", "OU=" + name, &ou) == S_OK && ou->SetInfo() == S_OK;
}

std::string Account(const std::string& ou, int i) {
  return "b" + TheDc()->run + ou.substr(0, 1) + std::to_string(i);
}

bool Ready(benchmark::State& state) {
  Dc* d = TheDc();
  if (d->directory == nullptr) {
    state.SkipWithError(("no test DC: " + d->error).c_str());
    return false;
  }
  return true;
}

// The population the searches read, made once by ldapadd.
const std::string& SearchOu() {
  static const std::string name = [] {
    std::string ou = "bench-search-" + TheDc()->run;
    if (!MakeOu(ou)) return std::string();
    std::string ldif = std::filesystem::temp_directory_path() / ("tessary-bench-" + ou + ".ldif");
    std::ofstream out(ldif);
    for (int i = 0; i < kUsers; ++i) {
      out << "dn: CN=User " << i << "," << OuDn(ou)
          << "\nobjectClass: user\nsAMAccountName: " << Account("s", i) << "\ngivenName: Given" << i
          << "\nsn: Surname" << i << "\nmail: user" << i
          << "@tessary.test\ntelephoneNumber: +1 555 " << i << "\n\n";
    }
    out.close();
    std::vector<std::string> argv = ToolArguments("ldapadd");
    argv.insert(argv.end(), {"-f", ldif});
    int status = RunQuietly(argv);
    std::filesystem::remove(ldif);
    return status == 0 ? ou : std::string();
  }();
  return name;
}

void BM_SearchUsers_Tessary(benchmark::State& state) {
  if (!Ready(state) || SearchOu().empty()) return;
  std::unique_ptr<ds::Object> ou;
  TheDc()->directory->Bind("LDAP://" + OuDn(SearchOu()), &ou);
  ds::SearchRequest request;
  request.filter = "(objectCategory=person)";
  request.columns = kColumns;
  request.scope = ds::SearchScope::kSubtree;
  request.page_size = 100;
  for (auto _ : state) {
    std::unique_ptr<ds::SearchCursor> cursor;
    (void)ou->ExecuteSearch(request, &cursor);
    int rows = 0;
    for (HRESULT hr = cursor->GetFirstRow(); hr == S_OK; hr = cursor->GetNextRow()) {
      std::string name;
      while (cursor->GetNextColumnName(&name) == S_OK) {
        ds::Attribute column;
        (void)cursor->GetColumn(name, &column);
        benchmark::DoNotOptimize(column);
      }
      ++rows;
    }
    if (rows != kUsers) state.SkipWithError("not every user came back");
  }
  state.SetItemsProcessed(state.iterations() * kUsers);
}

void BM_SearchUsers_Ldapsearch(benchmark::State& state) {
  if (!Ready(state) || SearchOu().empty()) return;
  std::vector<std::string> argv = ToolArguments("ldapsearch");
  argv.insert(argv.end(),
              {"-LLL", "-E", "pr=100/noprompt", "-b", OuDn(SearchOu()), "(objectCategory=person)"});
  argv.insert(argv.end(), kColumns.begin(), kColumns.end());
  for (auto _ : state) {
    if (RunQuietly(argv) != 0) state.SkipWithError("ldapsearch failed");
  }
  state.SetItemsProcessed(state.iterations() * kUsers);
}

void BM_CreateUsers_Tessary(benchmark::State& state) {
  if (!Ready(state)) return;
  int round = 0;
  for (auto _ : state) {
    std::string name = "bench-create-" + TheDc()->run + "-" + std::to_string(round++);
    state.PauseTiming();
    bool made = MakeOu(name);
    std::unique_ptr<ds::Object> ou;
    made = made && TheDc()->directory->Bind("LDAP://" + OuDn(name), &ou) == S_OK;
    state.ResumeTiming();
    if (!made) {
      state.SkipWithError("could not make the OU");
      break;
    }
    for (int i = 0; i < kUsers; ++i) {
      std::unique_ptr<ds::Object> user;
      (void)ou->Create("user", "CN=User " + std::to_string(i), &user);
      (void)user->Put("sAMAccountName", ds::Value::String(Account("c" + name, i)));
      (void)user->Put("givenName", ds::Value::String("Given" + std::to_string(i)));
      (void)user->Put("sn", ds::Value::String("Surname" + std::to_string(i)));
      (void)user->Put("mail", ds::Value::String("user" + std::to_string(i) + "@tessary.test"));
      (void)user->Put("telephoneNumber", ds::Value::String("+1 555 " + std::to_string(i)));
      if (user->SetInfo() != S_OK) {
        state.SkipWithError("SetInfo failed");
        break;
      }
    }
  }
  state.SetItemsProcessed(state.iterations() * kUsers);
}

void BM_CreateUsers_Ldapadd(benchmark::State& state) {
  if (!Ready(state)) return;
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::string name = "bench-add-" + TheDc()->run + "-" + std::to_string(round++);
    bool made = MakeOu(name);
    std::string ldif = std::filesystem::temp_directory_path() / ("tessary-bench-" + name + ".ldif");
    std::ofstream out(ldif);
    for (int i = 0; i < kUsers; ++i) {
      out << "dn: CN=User " << i << "," << OuDn(name)
          << "\nobjectClass: user\nsAMAccountName: " << Account("a" + name, i)
          << "\ngivenName: Given" << i << "\nsn: Surname" << i << "\nmail: user" << i
          << "@tessary.test\ntelephoneNumber: +1 555 " << i << "\n\n";
    }
    out.close();
    std::vector<std::string> argv = ToolArguments("ldapadd");
    argv.insert(argv.end(), {"-f", ldif});
    state.ResumeTiming();
    if (!made || RunQuietly(argv) != 0) state.SkipWithError("ldapadd failed");
    std::filesystem::remove(ldif);
  }
  state.SetItemsProcessed(state.iterations() * kUsers);
}

BENCHMARK(BM_SearchUsers_Tessary)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_SearchUsers_Ldapsearch)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_CreateUsers_Tessary)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_CreateUsers_Ldapadd)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
