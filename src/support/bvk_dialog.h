#pragma once
// The library's dialog base: a template's controls bound to variables by kind, the state of
// every control while the dialog lives (shown by a host through platform::DialogModel), the
// buttons of child pages routed to their frame, the busy cursor while a button is handled, and
// an error record whose message boxes the dialog owns.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/dialog_host.h"
#include "platform/ui/ui_host.h"
#include "support/bvk_error.h"

namespace tessary {

class CBVKDialog : public platform::DialogModel {
 public:
  using Kind = platform::ControlKind;
  enum class Page { kDialog, kChild };
  enum class Direction { kToControls, kFromControls };
  enum class Picker { kOpenFile, kSaveFile, kFolder };

  // parent: the frame of a child page, or the dialog that owns this one (may be null).
  explicit CBVKDialog(const platform::DialogTemplate& dialog_template, CBVKDialog* parent = nullptr,
                      Page page = Page::kDialog);
  virtual ~CBVKDialog();
  CBVKDialog(const CBVKDialog&) = delete;
  CBVKDialog& operator=(const CBVKDialog&) = delete;

  int TemplateId() const { return template_.id; }
  bool IsChildPage() const { return page_ == Page::kChild; }
  CBVKDialog* Parent() const { return parent_; }

  // --- Binding. Each control bound must be in the template (else the call is ignored).
  // Push buttons, statics, list views and tree views: no variable. A static may be given its text.
  void AddControl(Kind kind, int control_id);
  void AddControl(Kind kind, int control_id, const std::string& static_text);
  // Check boxes: the flag (true = checked).
  void AddControl(Kind kind, int control_id, bool& flag);
  // Edit boxes, list boxes and drop-down lists: the text (of the selected line for lists).
  void AddControl(Kind kind, int control_id, std::string& text);
  // Radio buttons: the button is checked when the variable equals value.
  void AddRadio(int control_id, int& variable, int value);
  void AddRadio(int control_id, bool& variable, bool value);
  // A push button that opens a picker and puts the chosen path into the edit box.
  void AddPicker(int button_id, int edit_id, Picker picker);
  // The folder picker shows this dialog instead of the host's own folder browser.
  using FolderBrowser = std::function<std::optional<std::string>(const std::string& initial)>;
  void SetFolderBrowser(FolderBrowser browser) { folder_browser_ = std::move(browser); }

  // Copies the bound variables into the controls or back.
  void UpdateData(Direction direction);

  // --- Controls while the dialog lives (shown or not); each is rendered at once when shown.
  void SetControlText(int control_id, const std::string& text);
  std::string ControlText(int control_id) const;
  void EnableControl(int control_id, bool enable);
  bool IsControlEnabled(int control_id) const;
  void ShowControl(int control_id, bool show);
  void SetCheck(int control_id, bool checked);
  bool IsChecked(int control_id) const;
  void SetControlStyle(int control_id, std::uint32_t style, bool on);
  // List boxes and drop-down lists. A sorted list keeps its lines in case-blind text order.
  void SetLines(int control_id, const std::vector<std::string>& lines);
  void InsertLine(int control_id, int index, const std::string& line);
  void SelectLine(int control_id, int index);
  int SelectedLine(int control_id) const;
  std::vector<std::string> Lines(int control_id) const;
  // Direct access for the list and tree wrappers; call Changed after editing.
  platform::ControlState* MutableState(int control_id);
  void Changed(int control_id);

  // --- Running. Shows the dialog modally through host; returns EndDialog's result, -1 when the
  // host cannot show it.
  int DoModal(platform::UiHost& host = platform::CurrentUiHost());
  void EndDialog(int result);
  bool IsShown() const { return window_ != nullptr; }
  platform::DialogWindow* Window() const { return window_; }
  const platform::Window& Owner() const { return owner_; }
  void SetTitle(const std::string& title);

  CBVKError& Error() { return error_; }

  // --- platform::DialogModel
  const platform::DialogTemplate& Template() const override { return template_; }
  std::string Title() const override { return owner_.title; }
  const platform::ControlState* State(int control_id) const override;
  void OnInitDialog(platform::DialogWindow& window) override;
  void OnDestroyWindow() override;
  void OnButton(int control_id) override;
  void OnCheck(int control_id, bool checked) override;
  void OnEditChanged(int control_id, const std::string& text) override;
  void OnSelect(int control_id, const std::vector<int>& selection) override;
  void OnRowCheck(int control_id, int row, bool checked) override;
  void OnColumnClick(int control_id, int column) override;
  void OnTreeExpanding(int control_id, int item) override;

 protected:
  // The handlers. A child page passes every one to its frame with itself as the source; a
  // dialog handles its own (source is then the dialog itself).
  // A push button: the base ends the dialog on 1 (after copying the values back) and on 2.
  virtual void OnButtonPressed(CBVKDialog& source, int control_id);
  // A list view or tree view of the source is set up, as the window opens: fill it.
  virtual void OnFillList(CBVKDialog& source, int control_id);
  virtual void OnFillTree(CBVKDialog& source, int control_id);
  virtual void OnTreeItemExpanding(CBVKDialog& source, int control_id, int item);
  virtual void OnListColumnClick(CBVKDialog& source, int control_id, int column);
  // The person changed a control's value (check, text, selection, row check).
  virtual void OnValueChanged(CBVKDialog& source, int control_id);
  // The window exists and the controls are filled; a dialog's own set-up goes here.
  virtual void OnInitialized() {}

 private:
  struct Binding {
    Kind kind;
    int id;
    bool* flag = nullptr;
    std::string* text = nullptr;
    int* number = nullptr;
    int value = 0;
  };
  struct PickerBinding {
    int edit_id;
    Picker picker;
  };
  void AddBinding(const Binding& binding);
  // Where this dialog's events are handled: the frame for a child page, else the dialog.
  CBVKDialog& Handler() { return parent_ && IsChildPage() ? *parent_ : *this; }
  void RunPicker(int button_id, const PickerBinding& picker);
  void SelectByPrefix(int control_id, const std::string& text);
  void SortLines(platform::ControlState& state);

  const platform::DialogTemplate& template_;
  CBVKDialog* parent_;
  Page page_;
  platform::Window owner_;
  platform::DialogWindow* window_ = nullptr;
  std::map<int, platform::ControlState> states_;
  std::vector<Binding> bindings_;
  std::map<int, PickerBinding> pickers_;
  FolderBrowser folder_browser_;
  CBVKError error_;
};

}  // namespace tessary
