#include "wizard_session.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <filesystem>

#include "../directory/test_directory.h"
#include "app/control_ids.h"
#include "app/task_wizard.h"
#include "directory/ds/open_directory.h"
#include "widget_actions.h"

namespace tessary::gui::testing {
namespace {

using namespace tessary::app;

const QString kFrame = QString::number(kFrameTemplate);

QWidget* ShownPage(QWidget& frame, int page) {
  QWidget* widget = frame.findChild<QWidget*>(QString::number(page));
  return widget && widget->isVisible() ? widget : nullptr;
}

void Visit(const PageVisit& visit, QWidget& frame, int page) {
  if (visit) visit(frame, page);
}

void Next(QWidget& frame) { ClickButton(frame, QString::number(kIdNext)); }

void QueueObjectType(ModalDriver& driver, const QString& type, const PageVisit& visit) {
  OnPage(driver, kObjectTypePage, [visit, type](QWidget& frame, QWidget& page) {
    EXPECT_TRUE(ClickListBoxLine(page, kIdList, type)) << type.toStdString();
    Visit(visit, frame, kObjectTypePage);
    Next(frame);
  });
}

void QueueAttributes(ModalDriver& driver, const QStringList& names, const PageVisit& visit) {
  OnPage(driver, kAttributesPage, [visit, names](QWidget& frame, QWidget& page) {
    ClickButton(page, QString::number(kIdShowAll));
    for (const QString& name : names) {
      EXPECT_TRUE(ClickRowCheckBox(page, kIdAttributeList, 1, name)) << name.toStdString();
    }
    Visit(visit, frame, kAttributesPage);
    Next(frame);
  });
}

void QueueFinish(ModalDriver& driver, int page_id, const PageVisit& visit) {
  OnPage(driver, page_id, [visit, page_id](QWidget& frame, QWidget&) {
    Visit(visit, frame, page_id);
    ClickButton(frame, QString::number(kIdFinish));
  });
}

bool PathShown(QWidget& page, const QString& path) {
  auto* edit = page.findChild<QLineEdit*>(QString::number(kIdPath));
  return edit && edit->text() == path;
}

// Ends whatever window is modal: a message box by its last button, any other by closing it
// (the wizard's windows take that as Cancel).
void CloseModalWindow() {
  QWidget* modal = QApplication::activeModalWidget();
  if (!modal) return;
  if (auto* box = qobject_cast<QMessageBox*>(modal); box && !box->buttons().isEmpty()) {
    box->buttons().back()->click();
    return;
  }
  modal->close();
}

}  // namespace

void OnPage(ModalDriver& driver, int page, std::function<void(QWidget& frame, QWidget& page)> act,
            std::function<bool(QWidget& page)> ready) {
  driver.Then(
      kFrame,
      [page, act = std::move(act)](QWidget& frame) {
        if (QWidget* shown = ShownPage(frame, page)) act(frame, *shown);
      },
      [page, ready = std::move(ready)] {
        QWidget* frame = QApplication::activeModalWidget();
        QWidget* shown = frame ? ShownPage(*frame, page) : nullptr;
        return shown && (!ready || ready(*shown));
      });
}

void QueueStart(ModalDriver& driver, int task_button, const PageVisit& visit) {
  OnPage(driver, kWelcomePage, [visit](QWidget& frame, QWidget&) {
    Visit(visit, frame, kWelcomePage);
    Next(frame);
  });
  OnPage(driver, kTaskPage, [visit, task_button](QWidget& frame, QWidget& page) {
    ClickOptionControl(page, task_button);
    Visit(visit, frame, kTaskPage);
    Next(frame);
  });
}

WizardSession::WizardSession(std::filesystem::path working_folder)
    : folder_(working_folder.empty() ? machine_.Root() : std::move(working_folder)),
      ui_(CTaskWizard::kFrameTitle, windows_),
      progress_(windows_) {
  // The settings' default paths name the working folder.
  saved_folder_ = std::filesystem::current_path().string();
  std::filesystem::current_path(folder_);
  platform::SetUiHost(&ui_);
  if (!Prepare() && error_.empty()) error_ = "the test directory could not be filled";
}

WizardSession::~WizardSession() {
  platform::SetUiHost(nullptr);
  std::filesystem::current_path(saved_folder_);
}

std::string WizardSession::Path(const std::string& name) const {
  return (folder_ / name).string();
}

bool WizardSession::Prepare() {
  std::unique_ptr<ds::Directory> directory;
  if (!tessary::testing::OpenTestDirectory(machine_.Root(), &directory, &error_)) return false;
  if (!tessary::testing::UsingFreshEmbeddedDirectory()) {
    error_ = "the wizard's GUI runs need the fresh embedded test directory";
    return false;
  }
  std::unique_ptr<ds::Object> domain, unit;
  if (directory->Bind("LDAP://DC=example,DC=com", &domain) != S_OK ||
      domain->Create("organizationalUnit", "OU=Staff", &unit) != S_OK || unit->SetInfo() != S_OK) {
    return false;
  }
  AddUser("Ann", "staff1", "first");
  AddUser("Bob", "staff2", "second, with a comma");
  return error_.empty();
}

void WizardSession::AddUser(const std::string& cn, const std::string& account,
                            const std::string& description) {
  std::unique_ptr<ds::Directory> directory;
  std::unique_ptr<ds::Object> unit, user;
  if (!ds::OpenDirectory(DirectoryFile(), &directory, &error_)) return;
  if (directory->Bind(std::string("LDAP://") + kStaff, &unit) != S_OK ||
      unit->Create("user", "CN=" + cn, &user) != S_OK ||
      user->PutEx(ds::ADS_PROPERTY_UPDATE, "sAMAccountName", {ds::Value::String(account)}) !=
          S_OK ||
      user->PutEx(ds::ADS_PROPERTY_UPDATE, "description", {ds::Value::String(description)}) !=
          S_OK ||
      user->SetInfo() != S_OK) {
    error_ = "could not add the user " + cn;
  }
}

std::vector<std::string> WizardSession::Values(const std::string& dn,
                                               const std::string& attribute) const {
  std::unique_ptr<ds::Directory> directory;
  std::unique_ptr<ds::Object> object;
  std::string error;
  if (!ds::OpenDirectory(DirectoryFile(), &directory, &error) ||
      directory->Bind("LDAP://" + dn, &object) != S_OK || object->GetInfoEx({attribute}) != S_OK) {
    return {"<no object>"};
  }
  ds::Values values;
  std::vector<std::string> texts;
  if (object->GetEx(attribute, &values) != S_OK) return texts;
  for (const ds::Value& value : values) {
    if (const std::string* text = value.string()) {
      texts.push_back(*text);
    } else if (const std::int32_t* number = value.integer()) {
      texts.push_back(std::to_string(*number));
    } else {
      texts.push_back("?");
    }
  }
  return texts;
}

int WizardSession::RunWizard(int limit_seconds) {
  app::WizardEnvironment environment{
      progress_, [this](std::unique_ptr<ds::Directory>* directory, std::string* error) {
        return ds::OpenDirectory(DirectoryFile(), directory, error);
      }};
  CTaskWizard wizard(environment);
  gave_up_ = false;
  QElapsedTimer clock;
  clock.start();
  QTimer watchdog;
  watchdog.setInterval(200);
  QObject::connect(&watchdog, &QTimer::timeout, [&] {
    if (clock.elapsed() < limit_seconds * 1000) return;
    gave_up_ = true;
    CloseModalWindow();
  });
  watchdog.start();
  return wizard.DoModal(ui_);
}

std::string SampleImportFile() {
  const std::string staff = kStaff;
  return "mode,distinguishedName,sAMAccountName,description\r\n"
         "Create,\"CN=Cy," + staff + "\",staff3,new\r\n"
         "Modify,\"CN=Ann," + staff + "\",staff1,changed\r\n";
}

void QueueExport(ModalDriver& driver, const std::string& export_file, const PageVisit& visit) {
  const QString file = QString::fromStdString(export_file);
  QueueStart(driver, kIdTaskExport, visit);
  QueueObjectType(driver, "User", visit);
  OnPage(driver, kContainerPage, [visit](QWidget& frame, QWidget& page) {
    EXPECT_TRUE(ClickTreePath(page, kIdTree, {"example.com", "Staff"}));
    ClickOptionControl(page, kIdIncludeSubcontainers);
    Visit(visit, frame, kContainerPage);
    Next(frame);
  });
  QueueAttributes(driver, {"sAMAccountName", "description"}, visit);
  OnPage(driver, kOutputFilePage, [](QWidget&, QWidget& page) {
    ClickButton(page, QString::number(kIdBrowse));
  });
  // The save dialog: the file's name typed into its name field, then Enter.
  driver.Then("save-file", [file](QWidget& dialog) {
    auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(name, nullptr);
    QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(name, file);
    QTest::keyClick(name, Qt::Key_Return);
  });
  OnPage(
      driver, kOutputFilePage,
      [visit](QWidget& frame, QWidget&) {
        Visit(visit, frame, kOutputFilePage);
        Next(frame);
      },
      [file](QWidget& page) { return PathShown(page, file); });
  QueueFinish(driver, kFinishPage, visit);
}

void QueueHeader(ModalDriver& driver, const std::string& header_file, const PageVisit& visit) {
  const QString file = QString::fromStdString(header_file);
  QueueStart(driver, kIdTaskHeader, visit);
  QueueObjectType(driver, "Organizational-Unit", visit);
  QueueAttributes(driver, {"description", "ou"}, visit);
  OnPage(driver, kOutputFilePage, [visit, file](QWidget& frame, QWidget& page) {
    TypeOver(page, kIdPath, file);
    Visit(visit, frame, kOutputFilePage);
    Next(frame);
  });
  QueueFinish(driver, kFinishPage, visit);
}

void QueueImport(ModalDriver& driver, const std::string& import_file, const PageVisit& visit) {
  const QString file = QString::fromStdString(import_file);
  QueueStart(driver, kIdTaskImport, visit);
  OnPage(driver, kImportFilePage, [visit, file](QWidget& frame, QWidget& page) {
    TypeOver(page, kIdPath, file);
    Visit(visit, frame, kImportFilePage);
    Next(frame);
  });
  // The file creates a user: the mailbox and account pages come next.
  OnPage(driver, kMailboxPage, [visit](QWidget& frame, QWidget& page) {
    ClickOptionControl(page, kIdMailboxNo);
    Visit(visit, frame, kMailboxPage);
    Next(frame);
  });
  OnPage(driver, kAccountSettingsPage, [visit](QWidget& frame, QWidget& page) {
    ClickOptionControl(page, kIdAccountDisabled);
    Visit(visit, frame, kAccountSettingsPage);
    Next(frame);
  });
  OnPage(driver, kVerifyColumnsPage, [visit](QWidget& frame, QWidget& page) {
    ClickOptionControl(page, kIdOverwriteValues);
    Visit(visit, frame, kVerifyColumnsPage);
    Next(frame);
  });
  OnPage(driver, kErrorFolderPage, [visit](QWidget& frame, QWidget&) {
    Visit(visit, frame, kErrorFolderPage);
    Next(frame);
  });
  QueueFinish(driver, kImportFinishPage, visit);
}

}  // namespace tessary::gui::testing
