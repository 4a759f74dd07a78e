#include "setup/setup_pages.h"

#include "setup/setup_dlg.h"

namespace tessary::setup {
namespace {

using namespace platform;

int Ask(const Window* owner, const std::string& text, unsigned type) {
  return CurrentUiHost().ShowMessageBox(owner, CSetupDlg::kTitle, text, type);
}

}  // namespace

bool MessageBoxPages::Welcome(const Window* owner, bool product) {
  const std::string text =
      product ? std::string(page_text::kWelcomeProduct) + "\n\n" + page_text::kInUseProduct +
                    "\n\n" + page_text::kCloseOutlook
              : std::string(page_text::kWelcomeUpdate) + "\n\n" + page_text::kInUseUpdate;
  return Ask(owner, text, kMbOkCancel) == kIdOk;
}

bool MessageBoxPages::Licence(const Window* owner, const std::vector<std::string>& lines) {
  std::string text = std::string(page_text::kLicence) + "\n";
  for (const std::string& line : lines) text += line + "\n";
  text += std::string("\n") + page_text::kAccept;
  // The page starts on "do not accept": an empty reply at the terminal is No.
  return Ask(owner, text, kMbYesNo | kMbIconQuestion | kMbDefButton2) == kIdYes;
}

bool MessageBoxPages::Requirements(const Window* owner, const std::string& product_name,
                                   const std::vector<std::string>& applications,
                                   const std::string& systems) {
  std::string text = product_name + page_text::kRequirements + "\n\n" +
                     page_text::kApplications + "\n";
  for (const std::string& entry : applications) text += entry + "\n";
  text += std::string("\n") + page_text::kSystems + "\n" + systems;
  return Ask(owner, text, kMbOkCancel) == kIdOk;
}

std::optional<std::string> MessageBoxPages::InstallFolder(const Window*,
                                                          const std::string& folder) {
  return CurrentUiHost().ChooseFolder(page_text::kFolderQuestion, folder);
}

bool MessageBoxPages::Completion(const Window* owner, const CompletionPage& page) {
  std::string text = std::string(page_text::kComplete) + "\n\n" + page_text::kCompleted;
  if (!page.offer_information) {
    Ask(owner, text, kMbOk);
    return false;
  }
  text += std::string("\n") + page_text::kDocumentation + "\n" + page.note + "\n\n" +
          page_text::kViewInformation + page.product_name;
  return Ask(owner, text, kMbYesNo | kMbIconInformation) == kIdYes;
}

}  // namespace tessary::setup
