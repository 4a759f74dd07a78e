#pragma once
// tessary's wizard on the Qt hosts, in this process, against a fresh embedded directory whose
// organisational unit "Staff" holds two users, driven through the widgets of its frame and
// pages. The GUI tests and the screenshots share the runs of the three tasks.

#include <QWidget>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "gui/qt_progress_host.h"
#include "gui/qt_ui_host.h"
#include "gui/window_registry.h"
#include "modal_driver.h"
#include "test_support.h"

namespace tessary::gui::testing {

inline constexpr const char* kStaff = "OU=Staff,DC=example,DC=com";

class WizardSession {
 public:
  // Makes a private machine and its directory; the working folder is working_folder meanwhile
  // (by default the machine's root).
  explicit WizardSession(std::filesystem::path working_folder = {});
  ~WizardSession();
  WizardSession(const WizardSession&) = delete;
  WizardSession& operator=(const WizardSession&) = delete;

  // Empty when the directory was made; else why not.
  const std::string& Error() const { return error_; }
  // A file of that name in the wizard's working folder.
  std::string Path(const std::string& name) const;
  // The values of an object's attribute as texts; {"<no object>"} when it cannot be read.
  std::vector<std::string> Values(const std::string& dn, const std::string& attribute) const;

  // Runs one wizard (a ModalDriver made before acts on it from inside its loop); returns the
  // wizard's result. After limit_seconds every window still open is closed, so a script that
  // lost its way fails instead of hanging.
  int RunWizard(int limit_seconds = 60);
  // True when the last run had to be ended that way.
  bool GaveUp() const { return gave_up_; }
  QtUiHost& Ui() { return ui_; }

 private:
  bool Prepare();
  std::string DirectoryFile() const { return (machine_.Root() / "directory.db").string(); }
  void AddUser(const std::string& cn, const std::string& account, const std::string& description);

  tessary::testing::ScopedMachine machine_;
  std::filesystem::path folder_;
  std::string saved_folder_;
  std::string error_;
  WindowRegistry windows_;
  QtUiHost ui_;
  QtProgressHost progress_;
  bool gave_up_ = false;
};

// Called on each page once the script has filled it in, before the script leaves it.
using PageVisit = std::function<void(QWidget& frame, int page)>;

// A step that acts on the wizard's frame while the page of that template shows in it (and
// ready, when given, says so).
void OnPage(ModalDriver& driver, int page, std::function<void(QWidget& frame, QWidget& page)> act,
            std::function<bool(QWidget& page)> ready = nullptr);
// The welcome page's Next, then the task page's option button and Next.
void QueueStart(ModalDriver& driver, int task_button, const PageVisit& visit);

// The three tasks, each from the welcome page to Finish on its finish page, queued on driver:
// an export of Staff's users with their account names and descriptions into export_file
// (chosen in the save dialog); a header file of organisational units with their descriptions
// and names typed in as header_file (a class of few attributes: loading a class's attributes
// from the embedded directory is slow under the sanitizers); an import of import_file (typed in), with new accounts disabled and values
// overwritten. visit may be empty.
void QueueExport(ModalDriver& driver, const std::string& export_file, const PageVisit& visit);
void QueueHeader(ModalDriver& driver, const std::string& header_file, const PageVisit& visit);
void QueueImport(ModalDriver& driver, const std::string& import_file, const PageVisit& visit);

// An import file that creates the user "Cy" in Staff and changes Ann's description; its text.
std::string SampleImportFile();

}  // namespace tessary::gui::testing
