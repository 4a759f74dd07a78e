// Writes a picture of every setup page, wizard page, dialog and progress window into a folder (README:
// "make screenshots"), on Qt's offscreen platform, so what a person sees can be looked at
// without a desktop.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QProgressBar>
#include <QRadioButton>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "app/control_ids.h"
#include "app/dialog_templates.h"
#include "gui/credential_dialog.h"
#include "gui/template_window.h"
#include "support/bvk_dialog.h"
#include "gui/folder_browser.h"
#include "gui/message_box.h"
#include "gui/progress_dialog.h"
#include "gui/setup_page_builders.h"
#include "gui/setup_window.h"
#include "widget_actions.h"
#include "wizard_session.h"

namespace {

using namespace tessary;
using namespace tessary::gui;

QString g_folder;
int g_failures = 0;

QPixmap Grab(QWidget& widget) {
  widget.show();
  // Long enough for the folder tree's first folders to be read.
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 500) QApplication::processEvents(QEventLoop::AllEvents, 20);
  QPixmap picture = widget.grab();
  widget.hide();
  return picture;
}

void Save(const QPixmap& picture, const QString& name) {
  const QString path = QDir(g_folder).filePath(name + ".png");
  if (!picture.save(path)) {
    std::fprintf(stderr, "could not write %s\n", qPrintable(path));
    ++g_failures;
    return;
  }
  std::printf("%s\n", qPrintable(path));
}

void Shoot(QWidget& widget, const QString& name) { Save(Grab(widget), name); }

// A window with a dialog over its middle, as the desktop shows them.
// A dialog's picture over the middle of its window's, as the desktop shows them; a dialog
// taller or wider than its window stands out of it on a clear background.
QPixmap Over(const QPixmap& back, const QPixmap& front) {
  const QSize shadow(4, 4);
  QPixmap canvas(back.size().expandedTo(front.size() + shadow * 2));
  canvas.fill(Qt::transparent);
  QPainter painter(&canvas);
  const auto centred = [&canvas](const QSize& size) {
    return QPoint((canvas.width() - size.width()) / 2, (canvas.height() - size.height()) / 2);
  };
  painter.drawPixmap(centred(back.size()), back);
  const QPoint at = centred(front.size());
  painter.fillRect(QRect(at + QPoint(shadow.width(), shadow.height()), front.size()),
                   QColor(0, 0, 0, 90));
  painter.drawPixmap(at, front);
  painter.end();
  return canvas;
}

void ShootOver(QWidget& window, QWidget& dialog, const QString& name) {
  const QPixmap back = Grab(window);
  Save(Over(back, Grab(dialog)), name);
}

void SetupPictures() {
  const std::vector<std::string> licence = {
      "BRENVIK SOFTWARE LICENCE AGREEMENT",
      "",
      "Read this agreement carefully before you install the software. By choosing \"I accept "
      "the agreement\" you agree to be bound by its terms.",
      "1. You may install the software on the computers of your organisation.",
      "2. You may not rent, lease or lend the software.",
      "3. The software is provided as it is, without warranty of any kind."};
  const QString caption = "Brenvik Setup";
  SetupWindow window;
  window.resize(960, 640);
  platform::Window owner{"Brenvik Setup"};
  window.SetLook({&owner, 5, "Tessary", std::nullopt});

  auto welcome = BuildWelcomePage(&window, caption, true);
  Shoot(window, "setup-main-window");
  ShootOver(window, *welcome, "setup-welcome-over-window");
  Shoot(*welcome, "setup-welcome");
  Shoot(*BuildWelcomePage(nullptr, "Brenvik Update", false), "setup-welcome-update");
  auto licence_page = BuildLicencePage(nullptr, caption, licence);
  licence_page->findChild<QRadioButton*>("1152")->setChecked(true);
  Shoot(*licence_page, "setup-licence");
  Shoot(*BuildRequirementsPage(nullptr, caption, "Tessary", {"Microsoft Outlook", "Samba AD DC"},
                               "Debian 12"),
        "setup-requirements");
  Shoot(*BuildFolderPage(nullptr, caption, "/opt/Brenvik"), "setup-folder");
  Shoot(*BuildCompletionPage(
            nullptr, caption,
            {"Tessary", true,
             "Brenvik components will not be available until you restart your Microsoft "
             "Outlook application."}),
        "setup-completion");
  for (int scheme : {0, 2, 3, 4, 6, -1}) {
    window.SetLook({&owner, scheme, "Tessary", std::nullopt});
    QPixmap picture = Grab(window).scaledToWidth(320, Qt::SmoothTransformation);
    Save(picture, QString("setup-scheme-%1").arg(scheme < 0 ? QString("default")
                                                            : QString::number(scheme)));
  }
}

void ProgressPictures() {
  struct Shot {
    platform::ProgressDialogLayout layout;
    QString name;
    std::function<void(ProgressDialog&)> fill;
  };
  const Shot shots[] = {
      {{nullptr, 165, 1057, 1080, 1055, 1056}, "progress-export",
       [](ProgressDialog& d) {
         d.SetText(1080, "Searching for objects in the container:\nOU=Sales,DC=example,DC=com");
         d.SetText(1070, "1250");
         d.SetText(1068, "312");
       }},
      {{nullptr, 201, 1057, -1, 1055, 1056}, "progress-import",
       [](ProgressDialog& d) { d.SetText(-1, "Importing line 4711 of 20000..."); }},
      {{nullptr, 210, 1057, -1, 1055, 1056}, "progress-enumeration", nullptr},
      {{nullptr, 297, 1122, 0, 1112, 1060}, "setup-copy-progress",
       [](ProgressDialog& d) {
         d.SetText(1023, "/media/cdrom/Tessary/tessary");
         d.SetText(1024, "/opt/Brenvik/tessary");
       }},
      {{nullptr, 298, 1122, -1, 1112, 2}, "setup-removal-progress",
       [](ProgressDialog& d) { d.SetText(-1, "Removing Tessary 1.0..."); }},
  };
  for (const Shot& shot : shots) {
    ProgressDialog dialog(nullptr, shot.layout,
                          shot.layout.template_id < 297 ? "Tessary" : "Brenvik Setup");
    dialog.SetBarRange(shot.layout.progress_id, 100, 1);
    dialog.SetBarPosition(shot.layout.progress_id, 40);
    dialog.PlayAnimation(shot.layout.animation_id);
    if (shot.fill) shot.fill(dialog);
    Shoot(dialog, shot.name);
  }
}

// The wizard's dialogs that are not pages, each as it first appears over nothing.
void WizardDialogPictures() {
  for (int id : {app::kNewFolderDialog, app::kBrowseFolderDialog, app::kChangeDomainDialog}) {
    const platform::DialogTemplate* dialog_template = app::FindTemplate(id);
    if (!dialog_template) continue;
    CBVKDialog model(*dialog_template);
    TemplateWindow window(model, nullptr, TemplateWindow::Kind::kTopLevel);
    model.OnInitDialog(window);
    Shoot(window, QString("wizard-template-%1").arg(id));
  }
}

// The dialogs the export's pages open, each over the frame as a run opens it: another type of
// object (its list filled from the schema) and the import of attributes from a file.
void WizardDialogsOverTheFrame(const std::filesystem::path& folder) {
  namespace run = tessary::gui::testing;
  using app::kIdNext;
  run::WizardSession session(folder);
  if (!session.Error().empty()) {
    std::fprintf(stderr, "wizard dialogs: %s\n", session.Error().c_str());
    ++g_failures;
    return;
  }
  const auto shoot = [](QWidget& dialog, const QString& name) {
    QWidget* frame = dialog.parentWidget() ? dialog.parentWidget()->window() : nullptr;
    if (!frame) {
      ++g_failures;
      return;
    }
    Save(Over(frame->grab(), dialog.grab()), name);
  };
  run::ModalDriver driver;
  run::QueueStart(driver, app::kIdTaskExport, nullptr);
  run::OnPage(driver, app::kObjectTypePage, [](QWidget&, QWidget& page) {
    run::ClickButton(page, QString::number(app::kIdOtherClass));
  });
  driver.Then(QString::number(app::kOtherClassDialog), [&](QWidget& dialog) {
    run::ClickListBoxLine(dialog, app::kIdList, "Contact");
    shoot(dialog, "wizard-dialog-136-other-type");
    run::ClickButton(dialog, QString::number(platform::kIdCancel));
  });
  run::OnPage(driver, app::kObjectTypePage, [](QWidget& frame, QWidget& page) {
    run::ClickListBoxLine(page, app::kIdList, "User");
    run::ClickButton(frame, QString::number(kIdNext));
  });
  run::OnPage(driver, app::kContainerPage, [](QWidget& frame, QWidget& page) {
    run::ClickTreePath(page, app::kIdTree, {"example.com", "Staff"});
    run::ClickButton(frame, QString::number(kIdNext));
  });
  run::OnPage(driver, app::kAttributesPage, [](QWidget&, QWidget& page) {
    run::ClickButton(page, QString::number(app::kIdUseHeaderFile));
  });
  driver.Then(QString::number(app::kImportAttributesDialog), [&](QWidget& dialog) {
    shoot(dialog, "wizard-dialog-200-import-attributes");
    run::ClickButton(dialog, QString::number(platform::kIdCancel));
  });
  run::OnPage(driver, app::kAttributesPage, [](QWidget& frame, QWidget&) {
    run::ClickButton(frame, QString::number(app::kIdCancel));
  });
  if (session.RunWizard() != platform::kIdCancel || !driver.Done()) {
    std::fprintf(stderr, "wizard dialogs: the run did not reach its end\n");
    ++g_failures;
  }
}

QString PageName(int page) {
  switch (page) {
    case app::kWelcomePage: return "welcome";
    case app::kTaskPage: return "task";
    case app::kObjectTypePage: return "object-type";
    case app::kContainerPage: return "container";
    case app::kAttributesPage: return "attributes";
    case app::kOutputFilePage: return "output-file";
    case app::kImportFilePage: return "import-file";
    case app::kMailboxPage: return "mailbox";
    case app::kAccountSettingsPage: return "account-settings";
    case app::kVerifyColumnsPage: return "verify-columns";
    case app::kErrorFolderPage: return "error-folder";
    default: return "finish";
  }
}

// Every page of the three tasks inside the frame, as a run through the widgets fills them from
// a fresh embedded directory (the welcome page once).
void WizardPictures() {
  namespace run = tessary::gui::testing;
  using Queue = void (*)(run::ModalDriver&, const std::string&, const run::PageVisit&);
  struct Task {
    QString name;
    Queue queue;
    std::string file;
  };
  const Task tasks[] = {{"export", run::QueueExport, "Export.csv"},
                        {"header", run::QueueHeader, "Header.csv"},
                        {"import", run::QueueImport, "Import.csv"}};
  // A folder whose name reads well on the pages that show paths, emptied for each task.
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "tessary";
  for (const Task& task : tasks) {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    run::WizardSession session(folder);
    if (!session.Error().empty()) {
      std::fprintf(stderr, "wizard pictures: %s\n", session.Error().c_str());
      ++g_failures;
      return;
    }
    if (task.name == "import") {
      tessary::testing::WriteFileText(session.Path(task.file), run::SampleImportFile());
    }
    int shot = 0;
    run::ModalDriver driver;
    task.queue(driver, session.Path(task.file), [&](QWidget& frame, int page) {
      ++shot;
      if (page == app::kWelcomePage && task.name != "export") return;
      Save(frame.grab(), QString("wizard-%1-%2-%3").arg(task.name).arg(shot).arg(PageName(page)));
    });
    if (session.RunWizard() != platform::kIdOk || !driver.Done()) {
      std::fprintf(stderr, "wizard pictures: the %s task did not reach Finish\n",
                   qPrintable(task.name));
      ++g_failures;
    }
  }
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  WizardDialogsOverTheFrame(folder);
  std::filesystem::remove_all(folder);
}

void IconPicture() {
  QIcon icon(":/tessary.svg");
  if (icon.isNull()) ++g_failures;
  Save(icon.pixmap(128, 128), "icon");
}

void DialogPictures() {
  FolderBrowser browser(nullptr, "Select the folder for the error file.", "/usr/share");
  Shoot(browser, "folder-browser");
  auto question = BuildMessageBox(nullptr, "Tessary",
                                  "Could not write the file '/home/ann/export.csv'.\nThe disk "
                                  "is full. (0x00000070)",
                                  platform::kMbRetryCancel | platform::kMbIconExclamation);
  Shoot(*question, "message-box");
  CredentialDialog credentials(nullptr, "Tessary",
                               {"ldaps://dc1.example.com",
                                "CN=Ann Lee,OU=Admins,DC=example,DC=com"});
  Shoot(credentials, "credentials");
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("QT_QPA_PLATFORMTHEME", "", 1);
  QApplication application(argc, argv);
  // Absolute: the wizard's runs change the working folder.
  g_folder = QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString("docs/screenshots"))
                 .absolutePath();
  QDir().mkpath(g_folder);
  SetupPictures();
  ProgressPictures();
  DialogPictures();
  IconPicture();
  WizardDialogPictures();
  WizardPictures();
  return g_failures == 0 ? 0 : 1;
}
