#pragma once
// setup's main window (template 267): horizontal bands of the product's colour scheme from top
// to bottom, the product's name and its picture (1156). The pages open over it.

#include <QWidget>

#include "setup/setup_pages.h"

class QLabel;

namespace tessary::gui {

class SetupWindow : public QWidget {
 public:
  SetupWindow();

  void SetLook(const setup::MainWindowLook& look);
  int ColourScheme() const { return scheme_; }
  // While a run goes on the window cannot be closed: the pages' own buttons end it.
  void SetClosable(bool closable) { closable_ = closable; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  int scheme_ = -1;
  bool closable_ = false;
  QLabel* title_;
  QLabel* picture_;
};

}  // namespace tessary::gui
