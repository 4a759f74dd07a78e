#pragma once
// A dialog model on screen: the template's controls placed in dialog units of the window's
// font, mnemonics from "&", the tab order of the template, radio buttons grouped by runs, and
// every press, check, edit, selection, column click and tree expansion reported to the model.
// A top-level window is modal; a child page is a plain widget inside its frame.

#include <QDialog>
#include <map>
#include <vector>

#include "gui/dialog_units.h"
#include "platform/ui/dialog_host.h"

namespace tessary::gui {

class TemplateWindow : public QDialog, public platform::DialogWindow {
 public:
  enum class Kind { kTopLevel, kChild };

  TemplateWindow(platform::DialogModel& model, QWidget* parent, Kind kind);
  ~TemplateWindow() override;

  // platform::DialogWindow
  void ControlChanged(int control_id) override;
  void TitleChanged() override;
  void EndModal(int result) override;
  void SetBusy(bool busy) override;
  void Place(int x, int y, int width, int height) override;
  std::unique_ptr<platform::DialogWindow> CreateChild(platform::DialogModel& page, int x,
                                                      int y) override;

  // The widget of a control id (the first of that id).
  QWidget* Control(int control_id) const;
  // The widget of each of the template's controls, in the template's order (nullptr where a
  // control has none).
  const std::vector<QWidget*>& Widgets() const { return widgets_; }
  const DialogUnits& Units() const { return units_; }

  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Build();
  void Connect(QWidget& widget, const platform::ControlTemplate& control);
  void Pressed(int control_id);
  void SetMnemonicBuddies();
  void SetTabOrder();

  platform::DialogModel& model_;
  Kind kind_;
  DialogUnits units_;
  std::map<int, QWidget*> controls_;
  std::vector<QWidget*> widgets_;  // in template order; nullptr where a control has none
  bool busy_ = false;
};

}  // namespace tessary::gui
