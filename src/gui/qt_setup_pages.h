#pragma once
// setup's pages as dialogs over its main window, shown on the user-interface thread while the
// stages wait on theirs.

#include "gui/setup_window.h"
#include "gui/window_registry.h"
#include "setup/setup_pages.h"

namespace tessary::gui {

class QtSetupPages : public setup::SetupPages {
 public:
  QtSetupPages(SetupWindow& window, WindowRegistry& windows) : window_(window), windows_(windows) {}

  void ShowMainWindow(const setup::MainWindowLook& look) override;
  bool Welcome(const platform::Window* owner, bool product) override;
  bool Licence(const platform::Window* owner, const std::vector<std::string>& lines) override;
  bool Requirements(const platform::Window* owner, const std::string& product_name,
                    const std::vector<std::string>& applications,
                    const std::string& systems) override;
  std::optional<std::string> InstallFolder(const platform::Window* owner,
                                           const std::string& folder) override;
  bool Completion(const platform::Window* owner, const setup::CompletionPage& page) override;

 private:
  SetupWindow& window_;
  WindowRegistry& windows_;
};

}  // namespace tessary::gui
