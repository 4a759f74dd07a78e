// tessary's wizard on the Qt hosts, driven through its widgets from the welcome page to Finish
// for each task, against a fresh embedded directory: every page's visible texts against its
// template, the files the export and header tasks write, and what the import does to the
// directory.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QTreeWidget>
#include <QTest>
#include <map>

#include "app/control_ids.h"
#include "app/dialog_templates.h"
#include "app/task_wizard.h"
#include "gui/template_window.h"
#include "widget_actions.h"
#include "wizard_session.h"

namespace tessary::gui {
namespace {

using namespace tessary::app;
using testing::ModalDriver;
using testing::PageVisit;
using testing::WizardSession;
using Overrides = std::map<int, std::string>;

std::string WithoutMarks(const QString& text) {
  QString plain;
  for (int i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    plain += text[i];
  }
  return plain.toStdString();
}

std::optional<QString> VisibleText(QWidget& widget) {
  if (auto* label = qobject_cast<QLabel*>(&widget)) return label->text();
  if (auto* button = qobject_cast<QAbstractButton*>(&widget)) return button->text();
  if (auto* group = qobject_cast<QGroupBox*>(&widget)) return group->title();
  return std::nullopt;
}

// Where the window's controls show other texts than its template's (or than overrides, by
// control id, where the task's page says otherwise), one line for each.
std::vector<std::string> TextDifferences(QWidget& window, int template_id,
                                         const Overrides& overrides) {
  const platform::DialogTemplate* dialog = FindTemplate(template_id);
  if (!dialog) return {"no template " + std::to_string(template_id)};
  auto* rendered = dynamic_cast<TemplateWindow*>(&window);
  if (!rendered || rendered->Widgets().size() != dialog->controls.size()) {
    return {"window " + std::to_string(template_id) + " is not its template's"};
  }
  const std::vector<QWidget*>& widgets = rendered->Widgets();
  std::vector<std::string> differences;
  for (std::size_t i = 0; i < dialog->controls.size(); ++i) {
    const platform::ControlTemplate& control = dialog->controls[i];
    const std::optional<QString> shown = widgets[i] ? VisibleText(*widgets[i]) : std::nullopt;
    if (!shown) continue;
    auto overridden = overrides.find(control.id);
    const std::string wanted = overridden != overrides.end() ? overridden->second : control.text;
    if (WithoutMarks(*shown) != WithoutMarks(QString::fromStdString(wanted))) {
      differences.push_back(std::to_string(template_id) + "/" + std::to_string(control.id) +
                            ": \"" + shown->toStdString() + "\" instead of \"" + wanted + "\"");
    }
  }
  return differences;
}

class WizardFace : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(session_.Error(), ""); }

  // Compares each page's and the frame's texts as the page shows, and notes the pages and
  // the finish page's task details.
  PageVisit Checker(std::map<int, Overrides> overrides = {}) {
    return [this, overrides](QWidget& frame, int page) {
      pages_.push_back(page);
      EXPECT_EQ(frame.windowTitle().toStdString(), CTaskWizard::kFrameTitle);
      for (const std::string& difference : TextDifferences(frame, kFrameTemplate, {})) {
        ADD_FAILURE() << difference;
      }
      QWidget* shown = frame.findChild<QWidget*>(QString::number(page));
      ASSERT_NE(shown, nullptr);
      auto found = overrides.find(page);
      for (const std::string& difference :
           TextDifferences(*shown, page, found == overrides.end() ? Overrides{} : found->second)) {
        ADD_FAILURE() << difference;
      }
      for (int task : {kIdTaskExport, kIdTaskImport, kIdTaskHeader}) {
        auto* option = shown->findChild<QAbstractButton*>(QString::number(task));
        if (option && option->isChecked()) checked_tasks_.push_back(task);
      }
      if (auto* details = shown->findChild<QTreeWidget*>(QString::number(kIdDetails))) {
        for (int row = 0; row < details->topLevelItemCount(); ++row) {
          details_.push_back(details->topLevelItem(row)->text(0).toStdString());
        }
      }
    };
  }

  // Runs the queued wizard; it must end through Finish with no message on the way.
  void RunToFinish(ModalDriver& driver) {
    EXPECT_EQ(session_.RunWizard(), platform::kIdOk);
    EXPECT_FALSE(session_.GaveUp());
    EXPECT_TRUE(driver.Done());
    for (const QtUiHost::ShownBox& box : session_.Ui().Boxes()) ADD_FAILURE() << box.text;
  }

  WizardSession session_;
  std::vector<int> pages_;
  std::vector<std::string> details_;
  // The task page's option buttons that showed checked.
  std::vector<int> checked_tasks_;
};

TEST_F(WizardFace, AnExportClickedThroughItsPagesWritesStaffsUsersWithTheCheckedColumns) {
  const std::string file = session_.Path("staff.csv");
  ModalDriver driver;
  testing::QueueExport(driver, file, Checker());
  RunToFinish(driver);
  EXPECT_EQ(pages_, (std::vector<int>{kWelcomePage, kTaskPage, kObjectTypePage, kContainerPage,
                                      kAttributesPage, kOutputFilePage, kFinishPage}));
  EXPECT_EQ(checked_tasks_, std::vector<int>{kIdTaskExport});
  EXPECT_EQ(details_, (std::vector<std::string>{"Export file '" + file +
                                                     "' completed successfully.",
                                                 "2 'User' objects were exported."}));
  const std::string text = tessary::testing::ReadFileText(file);
  EXPECT_TRUE(text.starts_with("distinguishedName,objectGUID,description,sAMAccountName\r\n"))
      << text;
  EXPECT_NE(text.find(",first,staff1\r\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find(",\"second, with a comma\",staff2\r\n"),
            std::string::npos)
      << text;
}

TEST_F(WizardFace, AHeaderFileTypedOnItsPageHoldsTheCheckedColumns) {
  const std::string file = session_.Path("users-header.csv");
  ModalDriver driver;
  testing::QueueHeader(
      driver, file,
      Checker({{kObjectTypePage,
                {{kIdInstruction,
                  "Select the type of object you would like to create a header file for, and "
                  "then click Next."}}},
               {kAttributesPage,
                {{kIdQuestion, "Which attributes do you want to include in your header file?"},
                 {kIdPageText1,
                  "Select the attributes you would like to include in your header file:"},
                 {kIdPageText2,
                  "Note: The 'objectGUID' and 'distinguishedName' attributes will automatically "
                  "be the first two columns."}}},
               {kOutputFilePage,
                {{kIdTitle, "Choose Output Header File"},
                 {kIdQuestion, "Where do you want to save the output header file?"},
                 {kIdInstruction,
                  "Select the output header file you want to create, and then click Next."}}}}));
  RunToFinish(driver);
  EXPECT_EQ(pages_, (std::vector<int>{kWelcomePage, kTaskPage, kObjectTypePage, kAttributesPage,
                                      kOutputFilePage, kFinishPage}));
  // The option chosen clears the one the page started with.
  EXPECT_EQ(checked_tasks_, std::vector<int>{kIdTaskHeader});
  EXPECT_EQ(details_,
            (std::vector<std::string>{"Header file '" + file + "' completed successfully."}));
  EXPECT_EQ(tessary::testing::ReadFileText(file),
            "distinguishedName,objectGUID,description,ou\r\n");
}

TEST_F(WizardFace, AnImportTypedOnItsPageCreatesAndChangesTheFilesUsers) {
  const std::string file = session_.Path("people.csv");
  tessary::testing::WriteFileText(file, testing::SampleImportFile());
  ModalDriver driver;
  testing::QueueImport(driver, file, Checker());
  RunToFinish(driver);
  EXPECT_EQ(pages_, (std::vector<int>{kWelcomePage, kTaskPage, kImportFilePage, kMailboxPage,
                                      kAccountSettingsPage, kVerifyColumnsPage, kErrorFolderPage,
                                      kImportFinishPage}));
  EXPECT_EQ(checked_tasks_, std::vector<int>{kIdTaskImport});
  EXPECT_EQ(details_, (std::vector<std::string>{
                          "Processing of import file '" + file + "' has completed.", "",
                          "0 'delete' entries were processed.",
                          "1 'create' entries were processed.",
                          "1 'modify' entries were processed.", "0 errors occurred."}));
  const std::string cy = std::string("CN=Cy,") + testing::kStaff;
  const std::string ann = std::string("CN=Ann,") + testing::kStaff;
  EXPECT_EQ(session_.Values(cy, "sAMAccountName"), (std::vector<std::string>{"staff3"}));
  EXPECT_EQ(session_.Values(cy, "description"), (std::vector<std::string>{"new"}));
  // "Account disabled" was checked on the account settings page.
  const std::vector<std::string> control = session_.Values(cy, "userAccountControl");
  ASSERT_EQ(control.size(), 1u);
  EXPECT_TRUE(std::stoi(control.front()) & 2) << control.front();
  EXPECT_EQ(session_.Values(ann, "description"), (std::vector<std::string>{"changed"}));
}

TEST_F(WizardFace, AChoiceLeftOutIsAskedForOverTheFrameAndEscapeLeavesTheWizard) {
  ModalDriver driver;
  testing::QueueStart(driver, kIdTaskExport, nullptr);
  testing::OnPage(driver, kObjectTypePage, [](QWidget& frame, QWidget& page) {
    EXPECT_TRUE(testing::ClickListBoxLine(page, kIdList, "User"));
    testing::ClickButton(frame, QString::number(kIdNext));
  });
  // Next with no container chosen: a message box over the frame, answered by its button.
  testing::OnPage(driver, kContainerPage, [](QWidget& frame, QWidget&) {
    testing::ClickButton(frame, QString::number(kIdNext));
  });
  QString owner;
  driver.Then("message-box", [&owner](QWidget& box) {
    owner = box.parentWidget() ? box.parentWidget()->objectName() : QString();
    testing::ClickButton(box, QString::number(platform::kIdOk));
  });
  // The page stays; Escape on it is the Cancel button.
  testing::OnPage(driver, kContainerPage,
                  [](QWidget& frame, QWidget&) { QTest::keyClick(&frame, Qt::Key_Escape); });

  EXPECT_EQ(session_.RunWizard(), platform::kIdCancel);
  EXPECT_FALSE(session_.GaveUp());
  EXPECT_TRUE(driver.Done());
  EXPECT_EQ(owner, QString::number(kFrameTemplate));
  const std::vector<QtUiHost::ShownBox> boxes = session_.Ui().Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "You must select a container.");
  EXPECT_EQ(boxes[0].caption, CTaskWizard::kFrameTitle);
  EXPECT_EQ(boxes[0].type & 0xF0, platform::kMbIconStop);
}

}  // namespace
}  // namespace tessary::gui
