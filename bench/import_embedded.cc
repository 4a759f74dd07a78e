// End-to-end import runs into a fresh embedded directory: 20,000 create entries with 8
// attributes, then 20,000 modify entries of two attributes. Reports entries per second and the
// peak resident memory against the import file's size.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "directory/ds/embedded/embedded_directory.h"
#include "directory/ds/embedded/schema_definition.h"
#include "directory/ex_domain.h"
#include "import/domain_import_directory.h"
#include "import/import_engine.h"
#include "support/bvk_progress_dlg.h"
#include "support/bvk_progress_scripted_host.h"

namespace {

namespace fs = std::filesystem;
using tessary::CImportEngine;

// TESSARY_BENCH_ENTRIES overrides the count, for profiling a shorter run.
const int kEntries =
    std::getenv("TESSARY_BENCH_ENTRIES") ? std::atoi(std::getenv("TESSARY_BENCH_ENTRIES")) : 20000;
const std::string kContainer = "CN=Users,DC=example,DC=com";

std::uintmax_t WriteCreateFile(const fs::path& path) {
  std::ofstream out(path, std::ios::binary);
  out << "mode,distinguishedName,sAMAccountName,givenName,sn,displayName,description,"
         "telephoneNumber,title,department\r\n";
  for (int i = 0; i < kEntries; ++i) {
    const std::string n = std::to_string(i);
    out << "Create,\"CN=User " << n << "," << kContainer << "\",user" << n << ",Given" << n
        << ",Family" << n << ",\"Family" << n << ", Given" << n << "\",Imported user " << n
        << ",+1 555 " << n << ",Engineer,Sales\r\n";
  }
  out.close();
  return fs::file_size(path);
}

std::uintmax_t WriteModifyFile(const fs::path& path) {
  std::ofstream out(path, std::ios::binary);
  out << "mode,distinguishedName,title,department\r\n";
  for (int i = 0; i < kEntries; ++i) {
    out << "Modify,\"CN=User " << i << "," << kContainer << "\",Manager,Marketing\r\n";
  }
  out.close();
  return fs::file_size(path);
}

// CPU seconds of the whole process (both threads): on a machine shared with other work the wall
// time measures the neighbours as much as the import.
double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long PeakResidentKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

int Run(CImportEngine& engine) {
  tessary::ScriptedProgressHost host;
  tessary::CBVKProgressDlg::ParameterMap parameters{{CImportEngine::kParameterKey, &engine}};
  auto dialog =
      std::make_unique<tessary::CBVKProgressDlg>(host, nullptr, 201, 1057, -1, 1055, 1056);
  dialog->SetParameters(&parameters);
  dialog->SetWorkFunction(&CImportEngine::ImportWork);
  return tessary::CBVKProgressDlg::Run(std::move(dialog));
}

void BM_ImportEmbedded(benchmark::State& state) {
  const fs::path folder = fs::temp_directory_path() / ("tessary-bench-" + std::to_string(getpid()));
  fs::create_directories(folder);
  setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
  setenv("XDG_DATA_HOME", (folder / "data").c_str(), 1);
  setenv("BRENVIK_ROOT", (folder / "machine").c_str(), 1);
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path db = folder / "directory.db";
    fs::remove(db);
    std::string error;
    if (!tessary::ds::embedded::ProvisionDomain(
            db.string(), "example.com", tessary::ds::embedded::BuiltinSchema(), {}, &error)) {
      state.SkipWithError(error.c_str());
      break;
    }
    std::unique_ptr<tessary::ds::Directory> directory;
    if (!tessary::ds::embedded::OpenEmbeddedDirectory(db.string(), &directory, &error)) {
      state.SkipWithError(error.c_str());
      break;
    }
    tessary::CExDomain domain(directory.get());
    domain.SetSchemaCachePath((folder / "Schema.dat").string());
    if (!domain.Connect()) {
      state.SkipWithError("connect");
      break;
    }
    tessary::DomainImportDirectory adapter(domain);
    CImportEngine engine(&adapter);
    engine.DataFolder = folder.string() + "/";
    engine.ErrorFolder = folder.string() + "/";
    engine.MustChangePassword = false;
    // The file has no passwords, and a directory refuses to enable an account without one.
    engine.NewAccountDisabled = true;
    const bool create = state.range(0) == 0;
    const std::uintmax_t size = WriteCreateFile(folder / "create.csv");
    engine.ImportFile = (folder / "create.csv").string();
    std::uintmax_t measured_size = size;
    if (!create) {
      if (!engine.CheckImportFile() || Run(engine) != 1) {
        state.SkipWithError("preparing the modify run failed");
        break;
      }
      measured_size = WriteModifyFile(folder / "modify.csv");
      engine.ImportFile = (folder / "modify.csv").string();
    }
    const long memory_before = PeakResidentKilobytes();
    const double cpu_before = ProcessCpuSeconds();
    state.ResumeTiming();

    if (!engine.CheckImportFile() || !engine.ValidateImportLines() || Run(engine) != 1 ||
        engine.ErrorCount != 0) {
      state.SkipWithError(engine.Error().Text().c_str());
      break;
    }

    state.PauseTiming();
    state.counters["entries_per_cpu_s"] = kEntries / (ProcessCpuSeconds() - cpu_before);
    state.counters["file_MB"] = static_cast<double>(measured_size) / (1 << 20);
    state.counters["peak_RSS_MB"] = static_cast<double>(PeakResidentKilobytes()) / 1024;
    state.counters["RSS_before_MB"] = static_cast<double>(memory_before) / 1024;
    state.ResumeTiming();
  }
  state.counters["entries_per_s"] = benchmark::Counter(
      static_cast<double>(kEntries) * state.iterations(), benchmark::Counter::kIsRate);
  std::error_code ignored;
  fs::remove_all(folder, ignored);
}
BENCHMARK(BM_ImportEmbedded)
    ->Arg(0)
    ->Arg(1)
    ->ArgNames({"modify"})
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
