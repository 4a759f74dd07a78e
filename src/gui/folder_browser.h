#pragma once
// The folder browser: dialog "Browse" (143) with the path (1020), a tree of the machine's
// folders (1002) opened at the start folder and loaded as it is expanded, "&New..." (1021)
// which asks for a name in dialog "New" (142: path 1024, name 1022) and creates the folder.

#include <QDialog>
#include <string>

class QFileSystemModel;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace tessary::gui {

class FolderBrowser : public QDialog {
 public:
  static constexpr int kTemplate = 143;
  static constexpr int kPathEdit = 1020;
  static constexpr int kTree = 1002;
  static constexpr int kNewButton = 1021;
  static constexpr int kNewTemplate = 142;
  static constexpr int kNewPath = 1024;
  static constexpr int kNewName = 1022;

  FolderBrowser(QWidget* parent, const std::string& title, const std::string& start_folder);

  // The folder chosen (valid after the dialog was accepted).
  std::string Folder() const;
  // Selects a folder in the tree, as a click would.
  void SelectFolder(const QString& path);

 private:
  // Opens the tree down to the wanted folder as far as it has been read.
  void ShowWanted();
  void OnSelectionChanged();
  void OnNewFolder();

  QFileSystemModel* model_;
  QTreeView* tree_;
  QLineEdit* path_;
  QPushButton* ok_;
  QString wanted_;
};

}  // namespace tessary::gui
