// Three imports of 5,000 new users each, every user made a member of one group by its memberOf
// column, into one embedded directory: the time of each import, and how the last compares with
// the first (a member added to a large group must cost what one added to a small group costs).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
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

constexpr int kImports = 3;
// TESSARY_BENCH_ENTRIES overrides the users per import, for profiling a shorter run.
const int kPerImport =
    std::getenv("TESSARY_BENCH_ENTRIES") ? std::atoi(std::getenv("TESSARY_BENCH_ENTRIES")) : 5000;
const std::string kContainer = "CN=Users,DC=example,DC=com";
const std::string kGroup = "CN=Everyone Imported," + kContainer;

void WriteUsers(const fs::path& path, int first) {
  std::ofstream out(path, std::ios::binary);
  out << "mode,distinguishedName,sAMAccountName,memberOf\r\n";
  for (int i = first; i < first + kPerImport; ++i) {
    const std::string n = std::to_string(i);
    out << "Create,\"CN=Member " << n << "," << kContainer << "\",member" << n << ",\"" << kGroup
        << "\"\r\n";
  }
}

// CPU seconds of the whole process: on a shared machine the wall time measures the neighbours too.
double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
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

bool MakeGroup(tessary::ds::Directory& directory, std::string* error) {
  std::unique_ptr<tessary::ds::Object> users, group;
  if (directory.Bind("LDAP://" + kContainer, &users) != tessary::S_OK ||
      users->Create("group", "CN=Everyone Imported", &group) != tessary::S_OK ||
      group->Put("sAMAccountName", tessary::ds::Value::String("everyoneimported")) != tessary::S_OK ||
      group->SetInfo() != tessary::S_OK) {
    *error = "could not create the group";
    return false;
  }
  return true;
}

void BM_ImportGroupMembers(benchmark::State& state) {
  const fs::path folder =
      fs::temp_directory_path() / ("tessary-bench-group-" + std::to_string(getpid()));
  fs::create_directories(folder);
  setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
  setenv("XDG_DATA_HOME", (folder / "data").c_str(), 1);
  setenv("BRENVIK_ROOT", (folder / "machine").c_str(), 1);
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path db = folder / "directory.db";
    fs::remove(db);
    std::string error;
    std::unique_ptr<tessary::ds::Directory> directory;
    if (!tessary::ds::embedded::ProvisionDomain(
            db.string(), "example.com", tessary::ds::embedded::BuiltinSchema(), {}, &error) ||
        !tessary::ds::embedded::OpenEmbeddedDirectory(db.string(), &directory, &error) ||
        !MakeGroup(*directory, &error)) {
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
    state.ResumeTiming();

    double seconds[kImports] = {};
    double cpu[kImports] = {};
    for (int run = 0; run < kImports; ++run) {
      state.PauseTiming();
      CImportEngine engine(&adapter);
      engine.DataFolder = folder.string() + "/";
      engine.ErrorFolder = folder.string() + "/";
      engine.MustChangePassword = false;
      engine.NewAccountDisabled = true;  // no passwords in the file: AD refuses to enable them
      engine.ImportFile = (folder / ("users" + std::to_string(run) + ".csv")).string();
      WriteUsers(engine.ImportFile, run * kPerImport);
      state.ResumeTiming();
      const auto start = std::chrono::steady_clock::now();
      const double cpu_start = ProcessCpuSeconds();
      if (!engine.CheckImportFile() || !engine.ValidateImportLines() || Run(engine) != 1 ||
          engine.ErrorCount != 0) {
        state.SkipWithError(engine.Error().Text().c_str());
        break;
      }
      seconds[run] = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      cpu[run] = ProcessCpuSeconds() - cpu_start;
    }
    state.counters["first_s"] = seconds[0];
    state.counters["second_s"] = seconds[1];
    state.counters["last_s"] = seconds[kImports - 1];
    state.counters["last_to_first"] = seconds[kImports - 1] / seconds[0];
    state.counters["first_cpu_s"] = cpu[0];
    state.counters["last_cpu_s"] = cpu[kImports - 1];
    state.counters["last_to_first_cpu"] = cpu[kImports - 1] / cpu[0];
    double total = 0;
    for (double s : seconds) total += s;
    state.counters["total_s"] = total;
  }
  std::error_code ignored;
  fs::remove_all(folder, ignored);
}
BENCHMARK(BM_ImportGroupMembers)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
