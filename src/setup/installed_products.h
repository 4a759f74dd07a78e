#pragma once
// The products earlier installs left in the maker's install folder, read back from their setup
// logs, and their removal: each product's registry entries, files and folders, then the parts
// all products share once none is left.

#include <set>
#include <string>
#include <vector>

#include "platform/ui/progress_host.h"
#include "setup/setup_log.h"
#include "support/bvk_error.h"
#include "support/bvk_file_util.h"

namespace tessary::setup {

class CSetupProgress;

class CInstalledProducts {
 public:
  CBVKError& Error() { return error_; }
  std::vector<InstalledProduct>& Products() { return products_; }
  const std::string& InstallFolder() const { return install_folder_; }
  const std::string& StartMenuParent() const { return start_menu_parent_; }
  void SetRemoveRegistry(bool remove) { remove_registry_ = remove; }

  // Fills the list from the logs in the App Paths folder of "Brenvik" (else "Lumora", else the
  // existing fallback folder, where an install that failed before its registry step left its
  // log). No folder: "Could not locate any Brenvik products on this machine."; no log in it: the
  // shared parts are removed and "Uninstall could not locate any Brenvik products to remove.".
  void ReadInstalledProducts(const std::string& fallback_folder = {});
  // Keeps the shared entries out of every product's sets.
  void ProtectSharedEntries();
  // Undoes one product; fails when the user aborts a file, folder or log removal. Touches only
  // what lies inside the folders an install writes (RemovalBounds) and keeps what another
  // product's log still lists; entries left alone for lying outside are reported in one message.
  [[nodiscard]] bool RemoveProduct(const InstalledProduct& product);
  // Removes every selected product, last first, behind the progress dialog; then, when none is
  // left, the shared parts. Fails at the first product that could not be removed.
  [[nodiscard]] bool RemoveSelected(platform::ProgressHost* host, const platform::Window* parent);
  // The Exchange extension value, the shared libraries and component list, the Start-menu
  // parent folder; failures are ignored.
  void RemoveShared();

 private:
  bool RemoveSelectedWork(CSetupProgress& progress);
  void RemoveRegistryEntries(const InstalledProduct& product);
  void UpdateComponentList(const std::string& file);
  // The files and folders (as path keys) that the logs of the other products list.
  std::set<std::string> ListedByOthers(const InstalledProduct& product) const;
  void ReportRefused(const InstalledProduct& product);

  CBVKError error_;
  CBVKFileUtil files_;
  std::vector<InstalledProduct> products_;
  std::string install_folder_;
  std::string start_menu_parent_;
  bool remove_registry_ = true;
  std::vector<std::string> refused_;  // the current removal's entries left alone
};

}  // namespace tessary::setup
