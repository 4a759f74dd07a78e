#include "gui/file_dialog.h"

#include <QFileInfo>

namespace tessary::gui {

QStringList NameFilters(const platform::FileDialogRequest& request) {
  QStringList filters;
  for (const std::string& filter : request.filters) {
    const QStringList parts = QString::fromStdString(filter).split('|');
    for (int i = 0; i + 1 < parts.size(); i += 2) {
      const QString label = parts[i].trimmed();
      if (label.isEmpty()) break;  // the "||" that ends the list
      QString patterns = parts[i + 1];
      patterns.replace(';', ' ');
      filters << (label.contains('(') ? label : label + " (" + patterns + ")");
    }
  }
  return filters;
}

std::unique_ptr<QFileDialog> BuildFileDialog(QWidget* parent,
                                             const platform::FileDialogRequest& request,
                                             FileDialogKind kind) {
  auto dialog = std::make_unique<QFileDialog>(parent, QString::fromStdString(request.title));
  dialog->setObjectName(kind == FileDialogKind::kOpen ? "open-file" : "save-file");
  // The same dialog on every desktop, and one the tests can drive.
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setAcceptMode(kind == FileDialogKind::kOpen ? QFileDialog::AcceptOpen
                                                      : QFileDialog::AcceptSave);
  dialog->setFileMode(kind == FileDialogKind::kOpen ? QFileDialog::ExistingFile
                                                    : QFileDialog::AnyFile);
  const QStringList filters = NameFilters(request);
  if (!filters.isEmpty()) dialog->setNameFilters(filters);
  if (!request.default_extension.empty()) {
    dialog->setDefaultSuffix(QString::fromStdString(request.default_extension));
  }
  if (!request.initial_path.empty()) {
    const QFileInfo start(QString::fromStdString(request.initial_path));
    if (start.isDir()) {
      dialog->setDirectory(start.absoluteFilePath());
    } else {
      dialog->setDirectory(start.absolutePath());
      dialog->selectFile(start.fileName());
    }
  }
  return dialog;
}

}  // namespace tessary::gui
