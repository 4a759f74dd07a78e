// Replacing an earlier product before the install, and the client record a configuration run
// leaves on its server.
#include <ctime>

#include "setup/client_record.h"
#include "setup/installed_products.h"
#include "setup/setup_dlg.h"
#include "setup/text.h"

namespace tessary::setup {
bool CSetupDlg::CheckPreviousVersion() {
  const std::string& previous = script_.previous_product;
  if (previous.empty()) return true;
  CInstalledProducts installed;
  const std::string upper = Upper(previous);
  // The registry of these two was never shared with their successors.
  installed.SetRemoveRegistry(script_.remove_previous_registry || upper == "HALVERN DESK 3.0" ||
                              upper == "OSTRAND DESK 3.0");
  // Before the registry step an install records its folder only in its log: a failed first
  // install is found where this run would install.
  installed.ReadInstalledProducts(install_folder_.empty() ? files_.ProgramFilesFolder() + "Brenvik"
                                                          : install_folder_);
  installed.ProtectSharedEntries();
  for (InstalledProduct& product : installed.Products()) {
    if (Upper(product.name) != upper) continue;
    product.selected = true;
    // A silent run is unattended: it goes on with the upgrade it was started for.
    if (!silent_) {
      const int answer = platform::CurrentUiHost().ShowMessageBox(
          &window_, "Setup",
          "Brenvik Setup has determined that " + previous +
              " is installed.\nThe software will be upgraded.\n\n" + script_.previous_note,
          platform::kMbOkCancel | platform::kMbIconExclamation);
      if (answer != platform::kIdOk) return false;
    }
    if (installed.RemoveSelected(progress_host_, silent_ ? nullptr : &window_)) return true;
    platform::CurrentUiHost().ShowMessageBox(
        silent_ ? nullptr : &window_, "Setup",
        "Upgrade did not remove " + previous +
            " successfully.\nPlease run the Brenvik uninstall through the 'Add/Remove' control "
            "panel to remove " +
            previous + ".",
        platform::kMbOk | platform::kMbIconExclamation);
    return false;
  }
  return true;
}

void CSetupDlg::WriteClientRecord() {
  const std::string logon = CurrentLogonName();
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  const std::string time_field = ClientTimeField(local);
  const std::string share = ClientFilesFolder(server_) + "/";
  for (const ConfigEntry& configuration : configurations_) {
    std::string version;
    if (!files_.GetVersion(share + configuration.version_file, &version)) version.clear();
    // Failures to record are not the user's concern.
    (void)files_.AppendLine(ClientRecordPath(server_, configuration.product_code),
                            ClientRecordLine(logon, time_field, configuration.file_name, version));
  }
}

}  // namespace tessary::setup
