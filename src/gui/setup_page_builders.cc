#include "gui/setup_page_builders.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "gui/folder_browser.h"

namespace tessary::gui {
namespace {

using namespace setup;

QString Text(const char* text) { return QString::fromUtf8(text); }
QString Text(const std::string& text) { return QString::fromStdString(text); }
QString Id(int id) { return QString::number(id); }

}  // namespace

std::unique_ptr<SetupPageDialog> BuildWelcomePage(QWidget* parent, const QString& caption,
                                                  bool product) {
  auto page = std::make_unique<SetupPageDialog>(
      parent, product ? page_id::kWelcomeProduct : page_id::kWelcomeUpdate, caption,
      Text(product ? page_text::kWelcomeProduct : page_text::kWelcomeUpdate),
      Text(page_text::kExitSetup));
  page->AddParagraph(Text(product ? page_text::kInUseProduct : page_text::kInUseUpdate));
  if (product) {
    QLabel* outlook = page->AddParagraph(Text(page_text::kCloseOutlook).trimmed());
    QFont bold = outlook->font();
    bold.setBold(true);
    outlook->setFont(bold);
  }
  page->Body()->addStretch(1);
  return page;
}

std::unique_ptr<SetupPageDialog> BuildLicencePage(QWidget* parent, const QString& caption,
                                                  const std::vector<std::string>& lines) {
  auto page = std::make_unique<SetupPageDialog>(parent, page_id::kLicence, caption,
                                                Text(page_text::kLicence),
                                                Text(page_text::kExitSetup));
  auto* list = new QListWidget;
  list->setObjectName(Id(page_id::kLicenceList));
  list->setWordWrap(true);
  for (const std::string& line : lines) list->addItem(Text(line));
  list->setMinimumHeight(page->fontMetrics().height() * 14);
  // The heading is the list's label: Alt+L moves into the text.
  page->findChild<QLabel*>("heading")->setBuddy(list);
  page->Body()->addWidget(list, 1);
  auto* accept = new QRadioButton(Text(page_text::kAccept));
  accept->setObjectName(Id(page_id::kAccept));
  auto* decline = new QRadioButton(Text(page_text::kDecline));
  decline->setObjectName(Id(page_id::kDecline));
  decline->setChecked(true);
  page->Body()->addWidget(accept);
  page->Body()->addWidget(decline);
  QPushButton* ok = page->Ok();
  ok->setEnabled(false);
  QObject::connect(accept, &QRadioButton::toggled, ok, &QPushButton::setEnabled);
  return page;
}

std::unique_ptr<SetupPageDialog> BuildRequirementsPage(
    QWidget* parent, const QString& caption, const std::string& product_name,
    const std::vector<std::string>& applications, const std::string& systems) {
  auto page = std::make_unique<SetupPageDialog>(
      parent, page_id::kRequirements, caption, Text(product_name + page_text::kRequirements),
      Text(page_text::kExitSetup));
  page->findChild<QLabel*>("heading")->setObjectName(Id(page_id::kRequirementsTitle));
  page->AddParagraph(Text(page_text::kApplications));
  QStringList entries;
  for (const std::string& entry : applications) entries << Text(entry);
  QLabel* list = page->AddParagraph(entries.join('\n'), page_id::kApplications);
  list->setIndent(page->fontMetrics().averageCharWidth() * 3);
  page->AddParagraph(Text(page_text::kSystems));
  QLabel* system = page->AddParagraph(Text(systems), page_id::kSystems);
  system->setIndent(page->fontMetrics().averageCharWidth() * 3);
  page->Body()->addStretch(1);
  return page;
}

std::unique_ptr<SetupPageDialog> BuildFolderPage(QWidget* parent, const QString& caption,
                                                 const std::string& folder) {
  auto page = std::make_unique<SetupPageDialog>(parent, page_id::kFolder, caption,
                                                Text(page_text::kFolderHeading),
                                                Text(page_text::kExitSetup));
  page->AddParagraph(Text(page_text::kFolderQuestion));
  auto* row = new QHBoxLayout;
  auto* label = new QLabel(Text(page_text::kFolderLabel));
  auto* edit = new QLineEdit(Text(folder));
  edit->setObjectName(Id(page_id::kFolderEdit));
  label->setBuddy(edit);
  auto* browse = new QPushButton(Text(page_text::kBrowse));
  browse->setObjectName(Id(page_id::kFolderBrowse));
  browse->setAutoDefault(false);
  row->addWidget(label);
  row->addWidget(edit, 1);
  row->addWidget(browse);
  page->Body()->addLayout(row);
  page->Body()->addStretch(1);
  SetupPageDialog* dialog = page.get();
  QObject::connect(browse, &QPushButton::clicked, dialog, [dialog, edit] {
    FolderBrowser browser(dialog, std::string(), edit->text().toStdString());
    if (browser.exec() == QDialog::Accepted) edit->setText(Text(browser.Folder()));
  });
  return page;
}

std::unique_ptr<SetupPageDialog> BuildCompletionPage(QWidget* parent, const QString& caption,
                                                     const setup::CompletionPage& completion) {
  auto page = std::make_unique<SetupPageDialog>(parent, page_id::kCompletion, caption,
                                                Text(page_text::kComplete), QString());
  page->AddParagraph(Text(page_text::kCompleted).trimmed());
  if (completion.offer_information) {
    page->AddParagraph(Text(page_text::kDocumentation));
    page->AddParagraph(Text(completion.note), page_id::kCompletionNote);
    auto* view = new QCheckBox(Text(page_text::kViewInformation + completion.product_name));
    view->setObjectName(Id(page_id::kViewInformation));
    view->setChecked(true);
    page->Body()->addWidget(view);
  }
  page->Body()->addStretch(1);
  return page;
}

}  // namespace tessary::gui
