#include "setup/installed_products.h"

#include <algorithm>
#include <filesystem>

#include "setup/install_script.h"
#include "setup/removal_bounds.h"
#include "setup/setup_progress.h"
#include "setup/text.h"
#include "support/bvk_registry.h"

namespace tessary::setup {
namespace {

constexpr char kExtensionsKey[] = "Software\\Microsoft\\Exchange\\Client\\Extensions";

// True when the upper-case text holds the name somewhere after its first character.
bool NamesAfterFirst(const std::string& upper, const std::string& name) {
  return upper.find(name, 1) != std::string::npos;
}

// Paths compare by their lexical form, so "/opt//Brenvik/App.exe" names "/opt/Brenvik/App.exe".
std::string PathKey(const std::string& path) {
  std::string normal = std::filesystem::path(path).lexically_normal().string();
  while (normal.size() > 1 && normal.back() == '/') normal.pop_back();
  return normal;
}

// How many refused entries a removal's message lists before it only counts the rest.
constexpr std::size_t kListedRefusals = 20;

}  // namespace

void CInstalledProducts::ReadInstalledProducts(const std::string& fallback_folder) {
  products_.clear();
  CBVKRegistry registry;
  install_folder_ = registry.GetAppPath("Brenvik");
  if (install_folder_.empty()) install_folder_ = registry.GetAppPath("Lumora");
  bool fallback_exists = false;
  if (install_folder_.empty() && !fallback_folder.empty() &&
      files_.Exists(fallback_folder, &fallback_exists) && fallback_exists) {
    install_folder_ = CBVKFileUtil::AddTrailingSlash(fallback_folder);
  }
  if (install_folder_.empty()) {
    error_.SetText("Could not locate any Brenvik products on this machine.");
    return;
  }
  std::vector<std::string> names;
  (void)files_.ListFiles(install_folder_, &names, CBVKFileUtil::IncludeFiles::Yes, "*.*");
  bool found_log = false;
  const RemovalBounds menus = RemovalBounds::ProgramsMenus();
  for (const std::string& name : names) {
    std::string code;
    if (!IsSetupLogName(name, &code)) continue;
    found_log = true;
    InstalledProduct product;
    product.code = code;
    if (code.empty()) {
      product.code = "KP";
      product.name = "Lumora 2.5";
    }
    product.log_path = install_folder_ + name;
    std::vector<std::string> lines;
    if (files_.ReadLines(product.log_path, &lines)) {
      // A hostile START line must not replace the menu folder that the shared removal takes.
      ReadLogLines(lines, &product, &start_menu_parent_,
                   [&menus](const std::string& parent) { return menus.Holds(parent); });
    }
    products_.push_back(product);
  }
  if (!found_log) {
    RemoveShared();
    error_.SetText("Uninstall could not locate any Brenvik products to remove.");
  }
}

void CInstalledProducts::ProtectSharedEntries() {
  for (InstalledProduct& product : products_) setup::ProtectSharedEntries(&product);
}

void CInstalledProducts::RemoveRegistryEntries(const InstalledProduct& product) {
  CBVKRegistry registry;
  for (const std::string& entry : product.registry_values) {
    std::vector<std::string> fields = SplitFields(entry, "$$$");
    if (fields.size() <= 2) continue;
    // A value is deleted in a named key, never at a hive's root.
    if (!IsNamedKeyPath(fields[1])) {
      refused_.push_back(kLogRegistryValue + entry);
      continue;
    }
    // Each value is deleted where it was written: a classes value looked for in the user's hive
    // could delete a user's own value of the same name.
    const HKEY root = fields[0] == "LM"   ? HKEY_LOCAL_MACHINE
                      : fields[0] == "CR" ? HKEY_CLASSES_ROOT
                                          : HKEY_CURRENT_USER;
    if (registry.OpenKey(root, fields[1], KEY_ALL_ACCESS, CBVKRegistry::Create::No)) {
      (void)registry.DeleteValue(fields[2]);
    }
  }
  for (const std::string& entry : product.registry_keys) {
    std::vector<std::string> fields = SplitFields(entry, "$$$");
    // Keys of the user's hive and of the classes stay: other software may share them.
    if (fields.size() <= 2 || fields[0] != "LM") continue;
    // A whole tree goes only well below the hive's root: "SOFTWARE" itself holds every program.
    if (!IsRemovableKey(fields[1], fields[2])) {
      refused_.push_back(kLogRegistryKey + entry);
      continue;
    }
    if (registry.OpenKey(HKEY_LOCAL_MACHINE, fields[1], KEY_ALL_ACCESS, CBVKRegistry::Create::No)) {
      (void)registry.DeleteTree(fields[2]);
    }
  }
}

void CInstalledProducts::UpdateComponentList(const std::string& file) {
  const std::string upper = Upper(file);
  const std::string component =
      NamesAfterFirst(upper, "OSTRAND.DLL") ? "OSTRAND.DLL" : "HALVERN.DLL";
  const std::string folder = file.substr(0, file.find_last_of('/') + 1);
  const std::string list = folder + "Comp.dat";
  bool exists = false;
  if (!files_.Exists(list, &exists) || !exists) return;
  std::vector<std::string> lines;
  if (!files_.ReadLines(list, &lines)) return;
  for (std::size_t i = lines.size(); i-- > 0;) {
    if (Upper(lines[i]) == component) lines.erase(lines.begin() + static_cast<long>(i));
  }
  (void)files_.WriteLines(list, lines, CBVKFileUtil::Overwrite::Yes);
}

std::set<std::string> CInstalledProducts::ListedByOthers(const InstalledProduct& product) const {
  std::set<std::string> listed;
  for (const InstalledProduct& other : products_) {
    if (other.log_path == product.log_path) continue;
    for (const std::string& file : other.files) listed.insert(PathKey(file));
    for (const std::string& folder : other.folders) listed.insert(PathKey(folder));
  }
  return listed;
}

void CInstalledProducts::ReportRefused(const InstalledProduct& product) {
  if (refused_.empty()) return;
  std::string text = "Setup left these entries of the setup log of " + product.name +
                     " in place: they lie outside the folders and registry keys an install "
                     "changes.";
  for (std::size_t i = 0; i < refused_.size() && i < kListedRefusals; ++i) {
    text += "\n" + EntryForMessage(refused_[i]);
  }
  if (refused_.size() > kListedRefusals) {
    text += "\n(and " + std::to_string(refused_.size() - kListedRefusals) + " more)";
  }
  platform::CurrentUiHost().ShowMessageBox(nullptr, "Setup", text,
                                           platform::kMbOk | platform::kMbIconExclamation);
}

bool CInstalledProducts::RemoveProduct(const InstalledProduct& product) {
  using Interactive = CBVKFileUtil::Interactive;
  refused_.clear();
  const std::string log_folder = product.log_path.substr(0, product.log_path.find_last_of('/') + 1);
  const RemovalBounds bounds = RemovalBounds::ForProduct(log_folder, files_);
  // Another installed product still needs what its log lists.
  const std::set<std::string> shared = ListedByOthers(product);
  std::vector<std::string> files;
  for (const std::string& file : product.files) {
    if (file.find("*.") != std::string::npos) continue;
    const std::string upper = Upper(file);
    if (NamesAfterFirst(upper, "KORVEL.DLL") || NamesAfterFirst(upper, "TASSEN.DLL")) continue;
    if (!bounds.Holds(file)) {
      refused_.push_back(file);
    } else if (!shared.count(PathKey(file))) {
      files.push_back(file);
    }
  }
  // Deepest first: a sub-folder's name sorts after its parent's, so the reverse order empties
  // every folder before its parent is removed.
  std::vector<std::string> folders;
  for (auto folder = product.folders.rbegin(); folder != product.folders.rend(); ++folder) {
    if (!bounds.Holds(*folder)) {
      refused_.push_back(*folder);
    } else if (!shared.count(PathKey(*folder))) {
      folders.push_back(*folder);
    }
  }
  if (remove_registry_) RemoveRegistryEntries(product);
  // Said before the files go, so an abort on the way does not hide it.
  ReportRefused(product);
  for (const std::string& file : files) {
    const std::string upper = Upper(file);
    if (NamesAfterFirst(upper, "OSTRAND.DLL") || NamesAfterFirst(upper, "HALVERN.DLL")) {
      UpdateComponentList(file);
    }
    if (!files_.Delete(file, Interactive::Yes)) return false;
  }
  for (const std::string& folder : folders) {
    if (!files_.RemoveFolder(folder, Interactive::Yes)) return false;
  }
  return files_.Delete(product.log_path, Interactive::Yes);
}

bool CInstalledProducts::RemoveSelected(platform::ProgressHost* host,
                                        const platform::Window* parent) {
  CSetupProgress progress(host, parent, CSetupProgress::kRemoveTemplate,
                          CSetupProgress::kRemoveCancelId, -1, CSetupProgress::kRemoveAnimation);
  return progress.Run(
             [this](CSetupProgress& dialog) { return RemoveSelectedWork(dialog) ? 1 : 0; }) == 1;
}

bool CInstalledProducts::RemoveSelectedWork(CSetupProgress& progress) {
  for (std::size_t i = products_.size(); i-- > 0;) {
    if (!products_[i].selected) continue;
    progress.SetStatusText("Removing " + products_[i].name + "...");
    if (!RemoveProduct(products_[i])) {
      platform::CurrentUiHost().ShowMessageBox(
          nullptr, "Setup",
          products_[i].name +
              " was not upgraded properly.\nYou may run Brenvik uninstall through the "
              "'Add/Remove' control panel at a later time.",
          platform::kMbOk | platform::kMbIconStop);
      return false;
    }
    products_.erase(products_.begin() + static_cast<long>(i));
  }
  if (products_.empty()) RemoveShared();
  return true;
}

void CInstalledProducts::RemoveShared() {
  CBVKRegistry registry;
  if (registry.OpenKey(HKEY_LOCAL_MACHINE, kExtensionsKey, KEY_ALL_ACCESS,
                       CBVKRegistry::Create::No)) {
    (void)registry.DeleteValue("Brenvik");
  }
  if (!install_folder_.empty()) {
    for (const char* shared : {"ExtMain.dll", "ExtBase.dll", "Comp.dat"}) {
      (void)files_.Delete(install_folder_ + shared);
    }
  }
  // The parent comes from a log: only a folder of a Programs menu is removed.
  if (!start_menu_parent_.empty() && RemovalBounds::ProgramsMenus().Holds(start_menu_parent_)) {
    (void)files_.RemoveFolder(start_menu_parent_);
  }
}

}  // namespace tessary::setup
