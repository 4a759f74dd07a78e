// Export of users with 6 attributes from the embedded directory: objects per second and the
// resident set, which must stay flat because every row goes to the file as it arrives. A second
// pair of benchmarks compares appending each line by opening and closing the file (what the
// export does) with writing to a file kept open.
//
// The directory (TESSARY_BENCH_USERS users, default 100,000, in OU=Bench) is made once and kept
// in TESSARY_BENCH_DIRECTORY (default: export-bench.db in the current folder).

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>

#include "directory/ds/embedded/embedded_directory.h"
#include "directory/ds/open_directory.h"
#include "directory/ex_domain.h"
#include "export/export_job.h"
#include "platform/ui/progress_host.h"
#include "support/bvk_file_util.h"

namespace tessary {
namespace {

constexpr char kUnit[] = "OU=Bench,DC=example,DC=com";

int UserCount() {
  const char* count = std::getenv("TESSARY_BENCH_USERS");
  return count ? std::atoi(count) : 100000;
}

std::string DirectoryPath() {
  const char* path = std::getenv("TESSARY_BENCH_DIRECTORY");
  return path ? path : (std::filesystem::current_path() / "export-bench.db").string();
}

long PeakRssKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Shows nothing; ends when the work ends.
class SilentProgressHost : public platform::ProgressHost {
 public:
  int RunModal(const platform::ProgressDialogLayout&, platform::ProgressEvents& events) override {
    ended_ = false;
    events.OnInitDialog();
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return ended_; });
    return result_;
  }
  void EndModal(int result) override {
    std::lock_guard lock(mutex_);
    result_ = result;
    ended_ = true;
    changed_.notify_all();
  }
  void SetControlText(int, const std::string&) override {}
  void ShowControl(int, bool) override {}
  void EnableControl(int, bool) override {}
  void PlayAnimation(int, int) override {}
  void SetBarRange(int, int, int) override {}
  void StepBar(int) override {}
  void SetBarPosition(int, int) override {}
  int BarUpper(int) override { return 0; }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool ended_ = false;
  int result_ = 0;
};

bool Check(HRESULT hr, const char* what) {
  if (Failed(hr)) std::fprintf(stderr, "export bench: %s failed (%08x)\n", what, unsigned(hr));
  return Succeeded(hr);
}

// Provisions example.com with the bench's users, unless the file exists.
bool MakeDirectory(const std::string& path, int users) {
  if (std::filesystem::exists(path)) return true;
  std::string error;
  if (!ds::embedded::ProvisionDomain(path, "example.com", ds::embedded::BuiltinSchema(), {},
                                     &error)) {
    std::fprintf(stderr, "export bench: %s\n", error.c_str());
    return false;
  }
  std::unique_ptr<ds::Directory> directory;
  std::unique_ptr<ds::Object> domain, unit, user;
  if (!ds::OpenDirectory(path, &directory, &error)) return false;
  if (!Check(directory->Bind("LDAP://DC=example,DC=com", &domain), "bind") ||
      !Check(domain->Create("organizationalUnit", "OU=Bench", &unit), "create unit") ||
      !Check(unit->SetInfo(), "commit unit")) {
    return false;
  }
  for (int i = 0; i < users; ++i) {
    const std::string id = std::to_string(i);
    if (!Check(unit->Create("user", "CN=User " + id, &user), "create user")) return false;
    const std::pair<const char*, std::string> values[] = {
        {"sAMAccountName", "bench" + id},
        {"givenName", "Given" + id},
        {"sn", "Surname " + id},
        {"mail", "user" + id + "@example.com"},
        {"title", "Engineer, level " + std::to_string(i % 5)},
        {"department", "Department " + std::to_string(i % 40)},
        {"telephoneNumber", "+1 555 " + std::to_string(1000000 + i)}};
    for (const auto& [name, value] : values) {
      if (!Check(user->Put(name, ds::Value::String(value)), name)) return false;
    }
    if (!Check(user->SetInfo(), "commit user")) return false;
  }
  return true;
}

void BM_ExportUsers(benchmark::State& state) {
  const int users = UserCount();
  const std::string path = DirectoryPath();
  if (!MakeDirectory(path, users)) {
    state.SkipWithError("the bench directory could not be made");
    return;
  }
  std::unique_ptr<ds::Directory> directory;
  std::string error;
  if (!ds::OpenDirectory(path, &directory, &error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  CExDomain domain(directory.get());
  if (!domain.Connect() || !domain.LoadSchemaClasses()) {
    state.SkipWithError("the domain could not be read");
    return;
  }
  CExContainer unit(directory.get());
  unit.DistinguishedName = kUnit;
  unit.Name = "Bench";
  const std::string output =
      (std::filesystem::temp_directory_path() / ("export-bench-" + std::to_string(getpid())))
          .string();
  SilentProgressHost host;
  const long rss_before = PeakRssKiB();
  long exported = 0;
  for (auto _ : state) {
    CExportJob job(domain);
    job.ClassName = "User";
    job.Container = &unit;
    job.OutputFile = output;
    job.Attributes = {"givenName", "sn", "mail", "title", "department", "telephoneNumber"};
    if (job.RunWithProgress(host, nullptr) != 1) {
      state.SkipWithError(job.Error().Text().c_str());
      break;
    }
    exported += users;
  }
  std::filesystem::remove(output);
  state.counters["objects/s"] = benchmark::Counter(double(exported), benchmark::Counter::kIsRate);
  state.counters["peak_rss_MiB"] = double(PeakRssKiB()) / 1024;
  state.counters["rss_growth_MiB"] = double(PeakRssKiB() - rss_before) / 1024;
}
BENCHMARK(BM_ExportUsers)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

constexpr int kLines = 100000;
const std::string kLine =
    "\"CN=User "
    "12345,OU=Bench,DC=example,DC=com\",{0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0},Given12345,"
    "Surname 12345,user12345@example.com,\"Engineer, level 0\",Department 5,+1 555 1012345";

std::string ScratchFile() {
  return (std::filesystem::temp_directory_path() / ("append-bench-" + std::to_string(getpid())))
      .string();
}

// What the export does for every row: open, append, close.
void BM_AppendLineReopening(benchmark::State& state) {
  const std::string path = ScratchFile();
  CBVKFileUtil files;
  for (auto _ : state) {
    std::filesystem::remove(path);
    for (int i = 0; i < kLines; ++i) {
      if (!files.AppendLine(path, kLine)) state.SkipWithError("append failed");
    }
  }
  std::filesystem::remove(path);
  state.counters["lines/s"] =
      benchmark::Counter(double(state.iterations()) * kLines, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_AppendLineReopening)->Unit(benchmark::kMillisecond)->UseRealTime();

// The alternative: one descriptor kept open for the run, one write per line.
void BM_AppendLineKeptOpen(benchmark::State& state) {
  const std::string path = ScratchFile();
  const std::string line = kLine + "\r\n";
  for (auto _ : state) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
    for (int i = 0; i < kLines; ++i) {
      if (write(fd, line.data(), line.size()) != static_cast<ssize_t>(line.size())) {
        state.SkipWithError("write failed");
      }
    }
    close(fd);
  }
  std::filesystem::remove(path);
  state.counters["lines/s"] =
      benchmark::Counter(double(state.iterations()) * kLines, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_AppendLineKeptOpen)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace tessary

BENCHMARK_MAIN();
