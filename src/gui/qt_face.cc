#include "gui/qt_face.h"

#include <QIcon>

namespace tessary::gui {

QtFace::QtFace(const std::string& application_title)
    : application_(argc_, argv_),
      ui_(application_title, windows_),
      progress_(windows_) {
  QApplication::setWindowIcon(QIcon(":/tessary.svg"));
  platform::SetUiHost(&ui_);
}

QtFace::~QtFace() { platform::SetUiHost(nullptr); }

}  // namespace tessary::gui
