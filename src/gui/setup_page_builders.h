#pragma once
// The widgets of each setup page, built from the same texts the message-box pages use. The
// answers are read back from the controls by the QtSetupPages.

#include <memory>
#include <string>
#include <vector>

#include "gui/setup_page_dialog.h"
#include "setup/setup_pages.h"

namespace tessary::gui {

std::unique_ptr<SetupPageDialog> BuildWelcomePage(QWidget* parent, const QString& caption,
                                                  bool product);
// OK is enabled only while "I accept" is chosen; the page starts on "I do not accept".
std::unique_ptr<SetupPageDialog> BuildLicencePage(QWidget* parent, const QString& caption,
                                                  const std::vector<std::string>& lines);
std::unique_ptr<SetupPageDialog> BuildRequirementsPage(
    QWidget* parent, const QString& caption, const std::string& product_name,
    const std::vector<std::string>& applications, const std::string& systems);
// "&Browse..." opens the folder browser for the edit box.
std::unique_ptr<SetupPageDialog> BuildFolderPage(QWidget* parent, const QString& caption,
                                                 const std::string& folder);
std::unique_ptr<SetupPageDialog> BuildCompletionPage(QWidget* parent, const QString& caption,
                                                     const setup::CompletionPage& page);

}  // namespace tessary::gui
