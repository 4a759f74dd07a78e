// libFuzzer target for the whole path of an import file: the file check against the schema, the
// line validation, and a run of the entries (Create, Modify, Delete, Move, memberOf, passwords)
// against an embedded directory. The directory is provisioned once per process and kept across
// inputs, so one run costs the import alone; what earlier inputs created stays, as it would
// between a user's imports. Besides the sanitizers' findings, a run that passed both checks must
// reach its summary, fail no more entries than the file holds, and leave the directory readable.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
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

// The process's directory, its domain and its folders, made on the first input.
struct Fixture {
  fs::path folder;
  std::unique_ptr<tessary::ds::Directory> directory;
  std::unique_ptr<tessary::CExDomain> domain;
  std::unique_ptr<tessary::DomainImportDirectory> adapter;
};

[[noreturn]] void Stop(const std::string& why) {
  std::fprintf(stderr, "import_file_fuzz: %s\n", why.c_str());
  std::abort();
}

Fixture& TheFixture() {
  static Fixture* fixture = [] {
    auto* made = new Fixture;
    made->folder = fs::temp_directory_path() / ("tessary-import-fuzz-" + std::to_string(getpid()));
    fs::remove_all(made->folder);
    fs::create_directories(made->folder);
    // Settings, logs and the machine's registry stay in the folder, never on the machine.
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "BRENVIK_ROOT"}) {
      setenv(name, (made->folder / name).c_str(), 1);
    }
    std::atexit([] { fs::remove_all(TheFixture().folder); });
    const std::string db = (made->folder / "directory.db").string();
    std::string error;
    if (!tessary::ds::embedded::ProvisionDomain(
            db, "example.com", tessary::ds::embedded::BuiltinSchema(), {}, &error) ||
        !tessary::ds::embedded::OpenEmbeddedDirectory(db, &made->directory, &error)) {
      Stop(error);
    }
    made->domain = std::make_unique<tessary::CExDomain>(made->directory.get());
    made->domain->SetSchemaCachePath((made->folder / "Schema.dat").string());
    if (!made->domain->Connect()) Stop("the embedded directory's domain does not connect");
    made->adapter = std::make_unique<tessary::DomainImportDirectory>(*made->domain);
    return made;
  }();
  return *fixture;
}

std::int32_t Run(tessary::CImportEngine& engine) {
  tessary::ScriptedProgressHost host;
  tessary::CBVKProgressDlg::ParameterMap parameters{
      {tessary::CImportEngine::kParameterKey, &engine}};
  auto dialog =
      std::make_unique<tessary::CBVKProgressDlg>(host, nullptr, 201, 1057, -1, 1055, 1056);
  dialog->SetParameters(&parameters);
  dialog->SetWorkFunction(&tessary::CImportEngine::ImportWork);
  return tessary::CBVKProgressDlg::Run(std::move(dialog));
}

int LineCount(const std::uint8_t* data, std::size_t size) {
  int lines = 1;
  for (std::size_t i = 0; i < size; ++i) lines += data[i] == '\n' ? 1 : 0;
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Fixture& fixture = TheFixture();
  const fs::path file = fixture.folder / "import.csv";
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  // A fresh error folder, so that no run appends to an earlier run's error file.
  const fs::path errors = fixture.folder / "errors";
  fs::remove_all(errors);
  fs::create_directories(errors);

  tessary::CImportEngine engine(fixture.adapter.get(), tessary::SystemClock(),
                                tessary::CImportEngine::StoredChoices::kIgnore);
  engine.ImportFile = file.string();
  engine.DataFolder = fixture.folder.string() + "/";
  engine.ErrorFolder = errors.string() + "/";
  engine.MustChangePassword = false;
  if (!engine.CheckImportFile() || !engine.ValidateImportLines()) return 0;

  if (Run(engine) != 1) Stop("a checked file did not reach the summary: " + engine.Error().Text());
  if (engine.ErrorCount < 0 || engine.ErrorCount > LineCount(data, size)) {
    Stop("more failed entries than lines: " + std::to_string(engine.ErrorCount));
  }
  std::unique_ptr<tessary::ds::Object> users;
  if (tessary::Failed(fixture.directory->Bind("LDAP://CN=Users,DC=example,DC=com", &users))) {
    Stop("the directory no longer reads CN=Users");
  }
  return 0;
}
