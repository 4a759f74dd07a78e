#pragma once
// The widgets that stand for the model's windows: a message box or dialog whose owner is a
// platform::Window is parented to its widget, so it is modal to it and centred over it.

#include <map>
#include <mutex>

#include "platform/ui/ui_host.h"

class QWidget;

namespace tessary::gui {

class WindowRegistry {
 public:
  void Register(const platform::Window* window, QWidget* widget);
  void Unregister(const platform::Window* window);
  // The widget of the window, or nullptr for none or an unknown one.
  QWidget* WidgetOf(const platform::Window* window) const;

 private:
  mutable std::mutex mutex_;
  std::map<const platform::Window*, QWidget*> widgets_;
};

}  // namespace tessary::gui
