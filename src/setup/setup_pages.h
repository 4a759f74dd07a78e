#pragma once
// setup's pages: the main window, welcome, licence, requirements, install folder and completion.
// A window shows them as pages of their own; without one they are message boxes and the folder
// picker of the process's UiHost. The stages ask and act on the answers; the texts are shared.

#include <optional>
#include <string>
#include <vector>

#include "platform/ui/ui_host.h"

namespace tessary::setup {

namespace page_text {
inline constexpr char kWelcomeProduct[] = "Welcome to the Brenvik installation program.";
inline constexpr char kWelcomeUpdate[] = "Welcome to the Brenvik update program.";
inline constexpr char kInUseProduct[] =
    "Setup cannot install system files or update shared files if they are in use.\nBefore "
    "proceeding, we recommend that you close any applications you may be running.";
inline constexpr char kInUseUpdate[] =
    "Update cannot install system files or update shared files if they are in use.\nBefore "
    "proceeding, we recommend that you close any applications you may be running.";
inline constexpr char kCloseOutlook[] =
    "It is strongly recommended that you close Outlook before continuing with this setup.  ";
inline constexpr char kExitSetup[] = "&Exit Setup";
inline constexpr char kLicence[] = "&License Agreement:";
inline constexpr char kAccept[] = "I &accept the agreement";
inline constexpr char kDecline[] = "I &do not accept the agreement";
inline constexpr char kRequirements[] = " Requirements";
inline constexpr char kApplications[] = "The following applications are required:";
inline constexpr char kSystems[] = "Required operating system:";
inline constexpr char kFolderHeading[] = "Installation Folder";
inline constexpr char kFolderQuestion[] =
    "Please select the directory where you would like to install the software.";
inline constexpr char kFolderLabel[] = "Directory:";
inline constexpr char kBrowse[] = "&Browse...";
inline constexpr char kComplete[] = "Setup Complete!";
inline constexpr char kCompleted[] = "Installation has completed successfully.  ";
inline constexpr char kDocumentation[] =
    "Documentation for this product can be found on your 'Start' menu.";
inline constexpr char kViewInformation[] = "&View important information about ";
}  // namespace page_text

// Template and control ids of the pages, which the window gives its widgets.
namespace page_id {
inline constexpr int kWelcomeProduct = 132;
inline constexpr int kWelcomeUpdate = 331;
inline constexpr int kLicence = 332;
inline constexpr int kLicenceList = 1138;
inline constexpr int kAccept = 1152;
inline constexpr int kDecline = 1153;
inline constexpr int kRequirements = 329;
inline constexpr int kRequirementsTitle = 1132;
inline constexpr int kApplications = 1145;
inline constexpr int kSystems = 1151;
inline constexpr int kFolder = 180;
inline constexpr int kFolderEdit = 1115;
inline constexpr int kFolderBrowse = 269;
inline constexpr int kCompletion = 133;
inline constexpr int kCompletionNote = 1157;
inline constexpr int kViewInformation = 1143;
inline constexpr int kMainWindow = 267;
inline constexpr int kProductPicture = 1156;
}  // namespace page_id

// What the main window shows behind the pages.
struct MainWindowLook {
  const platform::Window* window = nullptr;  // owns the pages and message boxes of the run
  int colour_scheme = -1;
  std::string product_name;                   // empty for an update
  std::optional<std::string> product_picture;  // bytes of an image file
};

// The completion page; the information is offered only with a product that has its ReadMe.
struct CompletionPage {
  std::string product_name;
  bool offer_information = false;
  std::string note;
};

class SetupPages {
 public:
  virtual ~SetupPages() = default;

  // The main window appears before the first page and stays until the process ends.
  virtual void ShowMainWindow(const MainWindowLook& look) = 0;
  // Each page is true when the person chose OK.
  virtual bool Welcome(const platform::Window* owner, bool product) = 0;
  virtual bool Licence(const platform::Window* owner, const std::vector<std::string>& lines) = 0;
  // applications: the entries in the order shown, one per line.
  virtual bool Requirements(const platform::Window* owner, const std::string& product_name,
                            const std::vector<std::string>& applications,
                            const std::string& systems) = 0;
  // The folder chosen, or nothing when the person left setup.
  virtual std::optional<std::string> InstallFolder(const platform::Window* owner,
                                                   const std::string& folder) = 0;
  // True when the person asked to see the product's information.
  virtual bool Completion(const platform::Window* owner, const CompletionPage& page) = 0;
};

// The pages as message boxes and the folder picker of the process's UiHost.
class MessageBoxPages : public SetupPages {
 public:
  void ShowMainWindow(const MainWindowLook&) override {}
  bool Welcome(const platform::Window* owner, bool product) override;
  bool Licence(const platform::Window* owner, const std::vector<std::string>& lines) override;
  bool Requirements(const platform::Window* owner, const std::string& product_name,
                    const std::vector<std::string>& applications,
                    const std::string& systems) override;
  std::optional<std::string> InstallFolder(const platform::Window* owner,
                                           const std::string& folder) override;
  bool Completion(const platform::Window* owner, const CompletionPage& page) override;
};

}  // namespace tessary::setup
