// Imports one file into one directory and reports the time of the run, for the side-by-side
// comparison with ldapadd/ldapmodify in bench/import_samba.sh.
//   import_file LOCATION FILE [UNDO]   (LOCATION: ldap[s]://host or an embedded directory file;
//   UNDO: the undo file to write, for bench/import_undo_samba.sh)
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "directory/ds/ldap/ldap_directory.h"
#include "directory/ds/open_directory.h"
#include "directory/ex_domain.h"
#include "import/domain_import_directory.h"
#include "import/import_engine.h"
#include "support/bvk_progress_dlg.h"
#include "support/bvk_progress_scripted_host.h"

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: import_file LOCATION FILE [UNDO]\n");
    return 2;
  }
  tessary::ds::ldap::InstallLdapBackend();
  std::unique_ptr<tessary::ds::Directory> directory;
  std::string error;
  if (!tessary::ds::OpenDirectory(argv[1], &directory, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  tessary::CExDomain domain(directory.get());
  if (!domain.Connect()) {
    std::fprintf(stderr, "%s\n", domain.Error().Text().c_str());
    return 1;
  }
  tessary::DomainImportDirectory adapter(domain);
  tessary::CImportEngine engine(&adapter);
  engine.ImportFile = argv[2];
  engine.MustChangePassword = false;
  if (argc == 4) engine.UndoFile = argv[3];
  if (!engine.CheckImportFile() || !engine.ValidateImportLines()) {
    std::fprintf(stderr, "%s\n", engine.Error().Text().c_str());
    return 1;
  }
  tessary::ScriptedProgressHost host;
  tessary::CBVKProgressDlg::ParameterMap parameters{
      {tessary::CImportEngine::kParameterKey, &engine}};
  auto dialog =
      std::make_unique<tessary::CBVKProgressDlg>(host, nullptr, 201, 1057, -1, 1055, 1056);
  dialog->SetParameters(&parameters);
  dialog->SetWorkFunction(&tessary::CImportEngine::ImportWork);
  const auto start = std::chrono::steady_clock::now();
  const int result = tessary::CBVKProgressDlg::Run(std::move(dialog));
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%s\n%.2f s\n", engine.Error().Text().c_str(), seconds);
  return result == 1 && engine.ErrorCount == 0 ? 0 : 1;
}
