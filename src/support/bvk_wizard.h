#pragma once
// The wizard base: a frame dialog that shows one child page at a time from a list of template
// ids, with Next, Back, Finish and Cancel, and four hooks for the frame that derives from it.

#include <memory>
#include <string>
#include <vector>

#include "support/bvk_dialog.h"

namespace tessary {

class CBVKWizard : public CBVKDialog {
 public:
  // Finish is the dialog's OK button.
  static constexpr int kFinishId = 1;
  static constexpr int kCancelId = 2;

  explicit CBVKWizard(const platform::DialogTemplate& frame_template, CBVKDialog* parent = nullptr);
  ~CBVKWizard() override;

  // The title, where pages go inside the frame, and the ids of the Next and Back buttons.
  void SetFrame(const std::string& title, int page_x, int page_y, int next_id, int back_id);
  void AppendPages(const std::vector<int>& template_ids);
  // The page list itself: the frame truncates it directly.
  std::vector<int>& PageIds() { return page_ids_; }
  const std::vector<int>& PageIds() const { return page_ids_; }
  int Index() const { return index_; }
  CBVKDialog* CurrentPage() const { return page_.get(); }
  // The template id of the current page, 0 when there is none.
  int CurrentPageId() const;

 protected:
  // The template of a page; null makes the page impossible to show (the index is kept).
  virtual const platform::DialogTemplate* PageTemplate(int template_id) const = 0;
  // Nonzero allows Finish; the base refuses.
  virtual bool OnFinish() { return false; }
  // Nonzero allows leaving the page with Next or Finish; the base refuses.
  virtual bool OnLeavePage(CBVKDialog& page, int index);
  // Before the page's window exists: bind its controls.
  virtual void OnBeforeCreatePage(CBVKDialog& page, int index);
  // After the page's window is shown.
  virtual void OnAfterCreatePage(CBVKDialog& page, int index);
  // The page is about to be deleted (Next, Back, Finish, Cancel or the frame's end): let go of
  // anything that points into it.
  virtual void OnDestroyPage(CBVKDialog& page);

  // Next and Back, Finish (1) and Cancel (2).
  void OnButtonPressed(CBVKDialog& source, int control_id) override;
  // Shows the first page as if Next had been pressed with no page.
  void OnInitialized() override;
  // The page's window goes with the frame's; the page itself stays until the frame goes.
  void OnDestroyWindow() override;

  void Next();
  void Back();
  void Finish();
  void Cancel();

 private:
  void DeletePage();
  void ShowPage();

  std::vector<int> page_ids_;
  std::unique_ptr<CBVKDialog> page_;
  std::unique_ptr<platform::DialogWindow> page_window_;
  int page_x_ = 0;
  int page_y_ = 0;
  int next_id_ = 3;
  int back_id_ = 4;
  int index_ = -1;
};

}  // namespace tessary
