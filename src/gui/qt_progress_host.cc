#include "gui/qt_progress_host.h"

#include "gui/gui_thread.h"
#include "gui/progress_dialog.h"

namespace tessary::gui {
namespace {

// The main program's progress templates carry the program's name; setup's take their
// window's title.
std::string CaptionOf(const platform::ProgressDialogLayout& layout) {
  switch (layout.template_id) {
    case 165:
    case 201:
    case 210:
      return "Tessary";
    default:
      return layout.parent && !layout.parent->title.empty() ? layout.parent->title : "Setup";
  }
}

}  // namespace

template <class Fn>
void QtProgressHost::WithDialog(Fn fn) {
  RunOnGuiThread([&] {
    if (dialog_) fn(*dialog_);
  });
}

ProgressDialog* QtProgressHost::NewDialog(const platform::ProgressDialogLayout& layout) {
  auto* dialog = new ProgressDialog(windows_.WidgetOf(layout.parent), layout, CaptionOf(layout));
  dialog->setWindowModality(Qt::ApplicationModal);
  return dialog;
}

int QtProgressHost::RunModal(const platform::ProgressDialogLayout& layout,
                             platform::ProgressEvents& events) {
  return OnGuiThread() ? RunOnThisThread(layout, events) : RunBesideTheWindow(layout, events);
}

int QtProgressHost::RunOnThisThread(const platform::ProgressDialogLayout& layout,
                                    platform::ProgressEvents& events) {
  std::unique_ptr<ProgressDialog> dialog(NewDialog(layout));
  dialog->SetCommandHandler([&events](int id) { events.OnCommand(id); });
  ProgressDialog* outer = dialog_;
  const bool outer_own_loop = own_loop_;
  dialog_ = dialog.get();
  own_loop_ = true;
  dialog->show();
  events.OnInitDialog();
  const int result = dialog->exec();
  dialog_ = outer;
  own_loop_ = outer_own_loop;
  return result;
}

int QtProgressHost::RunBesideTheWindow(const platform::ProgressDialogLayout& layout,
                                       platform::ProgressEvents& events) {
  {
    std::lock_guard lock(mutex_);
    commands_.clear();
    ended_ = false;
  }
  RunOnGuiThread([&] {
    dialog_ = NewDialog(layout);
    own_loop_ = false;
    dialog_->SetCommandHandler([this](int id) {
      std::lock_guard lock(mutex_);
      commands_.push_back(id);
      changed_.notify_all();
    });
    dialog_->show();
  });
  events.OnInitDialog();
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return ended_ || !commands_.empty(); });
    if (commands_.empty()) break;
    const int id = commands_.front();
    commands_.pop_front();
    lock.unlock();
    events.OnCommand(id);
    lock.lock();
  }
  const int result = result_;
  lock.unlock();
  RunOnGuiThread([this] {
    delete dialog_;
    dialog_ = nullptr;
  });
  return result;
}

void QtProgressHost::EndModal(int result) {
  WithDialog([&](ProgressDialog& dialog) {
    if (own_loop_) {
      dialog.done(result);
      return;
    }
    dialog.hide();
    std::lock_guard lock(mutex_);
    ended_ = true;
    result_ = result;
    changed_.notify_all();
  });
}

void QtProgressHost::SetControlText(int control_id, const std::string& text) {
  WithDialog([&](ProgressDialog& dialog) { dialog.SetText(control_id, text); });
}

void QtProgressHost::ShowControl(int control_id, bool show) {
  WithDialog([&](ProgressDialog& dialog) { dialog.ShowControl(control_id, show); });
}

void QtProgressHost::EnableControl(int control_id, bool enable) {
  WithDialog([&](ProgressDialog& dialog) { dialog.EnableControl(control_id, enable); });
}

void QtProgressHost::PlayAnimation(int control_id, int) {
  WithDialog([&](ProgressDialog& dialog) { dialog.PlayAnimation(control_id); });
}

void QtProgressHost::SetBarRange(int control_id, int upper, int step) {
  WithDialog([&](ProgressDialog& dialog) { dialog.SetBarRange(control_id, upper, step); });
}

void QtProgressHost::StepBar(int control_id) {
  WithDialog([&](ProgressDialog& dialog) { dialog.StepBar(control_id); });
}

void QtProgressHost::SetBarPosition(int control_id, int position) {
  WithDialog([&](ProgressDialog& dialog) { dialog.SetBarPosition(control_id, position); });
}

int QtProgressHost::BarUpper(int control_id) {
  int upper = 0;
  WithDialog([&](ProgressDialog& dialog) { upper = dialog.BarUpper(control_id); });
  return upper;
}

}  // namespace tessary::gui
