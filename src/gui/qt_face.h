#pragma once
// The Qt face of a program for its whole run: the application object, the UiHost and the
// ProgressHost on Qt, the UiHost installed for the process while the face exists.

#include <QApplication>
#include <memory>
#include <string>

#include "gui/qt_progress_host.h"
#include "gui/qt_ui_host.h"
#include "gui/window_registry.h"

namespace tessary::gui {

class QtFace {
 public:
  // application_title: the caption of message boxes that have no other.
  explicit QtFace(const std::string& application_title);
  ~QtFace();
  QtFace(const QtFace&) = delete;
  QtFace& operator=(const QtFace&) = delete;

  QtUiHost& Ui() { return ui_; }
  QtProgressHost& Progress() { return progress_; }
  WindowRegistry& Windows() { return windows_; }

 private:
  int argc_ = 1;
  char name_[8] = "tessary";
  char* argv_[2] = {name_, nullptr};
  QApplication application_;
  WindowRegistry windows_;
  QtUiHost ui_;
  QtProgressHost progress_;
};

}  // namespace tessary::gui
