#include "gui/qt_setup_pages.h"

#include <QCheckBox>
#include <QLineEdit>

#include "gui/gui_thread.h"
#include "gui/setup_page_builders.h"

namespace tessary::gui {
namespace {

QString CaptionOf(const platform::Window* owner) {
  return QString::fromStdString(owner ? owner->title : std::string("Brenvik Setup"));
}

}  // namespace

void QtSetupPages::ShowMainWindow(const setup::MainWindowLook& look) {
  RunOnGuiThread([&] {
    window_.SetLook(look);
    if (look.window) windows_.Register(look.window, &window_);
    if (!window_.isVisible()) window_.showMaximized();
  });
}

bool QtSetupPages::Welcome(const platform::Window* owner, bool product) {
  bool ok = false;
  RunOnGuiThread([&] {
    ok = BuildWelcomePage(windows_.WidgetOf(owner), CaptionOf(owner), product)->exec() ==
         QDialog::Accepted;
  });
  return ok;
}

bool QtSetupPages::Licence(const platform::Window* owner, const std::vector<std::string>& lines) {
  bool ok = false;
  RunOnGuiThread([&] {
    ok = BuildLicencePage(windows_.WidgetOf(owner), CaptionOf(owner), lines)->exec() ==
         QDialog::Accepted;
  });
  return ok;
}

bool QtSetupPages::Requirements(const platform::Window* owner, const std::string& product_name,
                                const std::vector<std::string>& applications,
                                const std::string& systems) {
  bool ok = false;
  RunOnGuiThread([&] {
    ok = BuildRequirementsPage(windows_.WidgetOf(owner), CaptionOf(owner), product_name,
                               applications, systems)
             ->exec() == QDialog::Accepted;
  });
  return ok;
}

std::optional<std::string> QtSetupPages::InstallFolder(const platform::Window* owner,
                                                       const std::string& folder) {
  std::optional<std::string> chosen;
  RunOnGuiThread([&] {
    auto page = BuildFolderPage(windows_.WidgetOf(owner), CaptionOf(owner), folder);
    if (page->exec() != QDialog::Accepted) return;
    chosen = page->findChild<QLineEdit*>(QString::number(setup::page_id::kFolderEdit))
                 ->text()
                 .toStdString();
  });
  return chosen;
}

bool QtSetupPages::Completion(const platform::Window* owner, const setup::CompletionPage& page) {
  bool view = false;
  RunOnGuiThread([&] {
    auto dialog = BuildCompletionPage(windows_.WidgetOf(owner), CaptionOf(owner), page);
    dialog->exec();
    const auto* check =
        dialog->findChild<QCheckBox*>(QString::number(setup::page_id::kViewInformation));
    view = check && check->isChecked();
  });
  return view;
}

}  // namespace tessary::gui
