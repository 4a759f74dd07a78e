#include "gui/folder_browser.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileSystemModel>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include "support/bvk_file_util.h"

namespace tessary::gui {
namespace {

QString Id(int id) { return QString::number(id); }

// Dialog "New": the selected folder and the name of the one to create under it.
class NewFolderDialog : public QDialog {
 public:
  NewFolderDialog(QWidget* parent, const QString& folder) : QDialog(parent) {
    setObjectName(Id(FolderBrowser::kNewTemplate));
    setWindowTitle("New");
    auto* form = new QFormLayout;
    auto* path = new QLineEdit(folder);
    path->setObjectName(Id(FolderBrowser::kNewPath));
    path->setReadOnly(true);
    path->setMinimumWidth(fontMetrics().averageCharWidth() * 40);
    name_ = new QLineEdit("Untitled");
    name_->setObjectName(Id(FolderBrowser::kNewName));
    name_->selectAll();
    auto* name_label = new QLabel("&Name:");
    name_label->setBuddy(name_);
    form->addRow("Path:", path);
    form->addRow(name_label, name_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("1");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("2");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
  }
  QString Name() const { return name_->text(); }

 private:
  QLineEdit* name_;
};

}  // namespace

FolderBrowser::FolderBrowser(QWidget* parent, const std::string& title,
                             const std::string& start_folder)
    : QDialog(parent) {
  setObjectName(Id(kTemplate));
  setWindowTitle("Browse");
  auto* layout = new QVBoxLayout(this);
  if (!title.empty()) {
    auto* prompt = new QLabel(QString::fromStdString(title));
    prompt->setWordWrap(true);
    layout->addWidget(prompt);
  }
  path_ = new QLineEdit;
  path_->setObjectName(Id(kPathEdit));
  auto* path_label = new QLabel("&Path:");
  path_label->setBuddy(path_);
  auto* path_row = new QHBoxLayout;
  path_row->addWidget(path_label);
  path_row->addWidget(path_, 1);
  layout->addLayout(path_row);

  model_ = new QFileSystemModel(this);
  model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
  model_->setRootPath("/");
  tree_ = new QTreeView;
  tree_->setObjectName(Id(kTree));
  tree_->setModel(model_);
  for (int column = 1; column < model_->columnCount(); ++column) tree_->hideColumn(column);
  tree_->header()->hide();
  tree_->setMinimumSize(fontMetrics().averageCharWidth() * 50, fontMetrics().height() * 16);
  layout->addWidget(tree_, 1);

  auto* buttons = new QDialogButtonBox;
  auto* new_folder = buttons->addButton("&New...", QDialogButtonBox::ActionRole);
  new_folder->setObjectName(Id(kNewButton));
  ok_ = buttons->addButton(QDialogButtonBox::Ok);
  ok_->setObjectName("1");
  buttons->addButton(QDialogButtonBox::Cancel)->setObjectName("2");
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(new_folder, &QPushButton::clicked, this, [this] { OnNewFolder(); });
  // Folders are read in the background: once the start folder's parent is read, show it.
  connect(model_, &QFileSystemModel::directoryLoaded, this, [this] { ShowWanted(); });
  connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this] { OnSelectionChanged(); });

  ok_->setEnabled(false);
  new_folder->setEnabled(false);
  connect(path_, &QLineEdit::textChanged, this, [this, new_folder](const QString& text) {
    ok_->setEnabled(!text.isEmpty());
    new_folder->setEnabled(QFileInfo(text).isDir());
  });
  QString start = QString::fromStdString(start_folder);
  while (!start.isEmpty() && !QFileInfo(start).isDir()) start = QFileInfo(start).path();
  if (!start.isEmpty()) SelectFolder(start);
}

void FolderBrowser::SelectFolder(const QString& path) {
  wanted_ = QDir::cleanPath(path);
  ShowWanted();
}

void FolderBrowser::ShowWanted() {
  if (wanted_.isEmpty()) return;
  const QModelIndex index = model_->index(wanted_);
  if (!index.isValid()) return;
  for (QModelIndex above = index.parent(); above.isValid(); above = above.parent()) {
    tree_->expand(above);
  }
  if (tree_->currentIndex() != index) tree_->setCurrentIndex(index);
  // After the view has laid out the rows just read.
  QTimer::singleShot(0, this, [this] {
    if (tree_->currentIndex().isValid()) {
      tree_->scrollTo(tree_->currentIndex(), QAbstractItemView::PositionAtCenter);
    }
  });
}

std::string FolderBrowser::Folder() const { return path_->text().toStdString(); }

void FolderBrowser::OnSelectionChanged() {
  // Once the person picks a folder, loading folders no longer moves the view.
  if (model_->filePath(tree_->currentIndex()) != wanted_) wanted_.clear();
  path_->setText(model_->filePath(tree_->currentIndex()));
}

void FolderBrowser::OnNewFolder() {
  const QString parent_folder = path_->text();
  NewFolderDialog dialog(this, parent_folder);
  if (dialog.exec() != QDialog::Accepted || dialog.Name().isEmpty()) return;
  const QString created = QDir(parent_folder).filePath(dialog.Name());
  CBVKFileUtil files;
  if (!files.CreateFolder(created.toStdString())) {
    files.Error().ShowError();
    return;
  }
  SelectFolder(created);
}

}  // namespace tessary::gui
