#include "gui/window_registry.h"

namespace tessary::gui {

void WindowRegistry::Register(const platform::Window* window, QWidget* widget) {
  std::lock_guard lock(mutex_);
  widgets_[window] = widget;
}

void WindowRegistry::Unregister(const platform::Window* window) {
  std::lock_guard lock(mutex_);
  widgets_.erase(window);
}

QWidget* WindowRegistry::WidgetOf(const platform::Window* window) const {
  if (!window) return nullptr;
  std::lock_guard lock(mutex_);
  auto found = widgets_.find(window);
  return found == widgets_.end() ? nullptr : found->second;
}

}  // namespace tessary::gui
