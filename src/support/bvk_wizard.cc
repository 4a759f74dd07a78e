#include "support/bvk_wizard.h"

namespace tessary {

CBVKWizard::CBVKWizard(const platform::DialogTemplate& frame_template, CBVKDialog* parent)
    : CBVKDialog(frame_template, parent) {}

// A derived frame is gone by now: its OnDestroyPage was called from its own destructor.
CBVKWizard::~CBVKWizard() {
  page_window_.reset();
  page_.reset();
}

void CBVKWizard::SetFrame(const std::string& title, int page_x, int page_y, int next_id,
                          int back_id) {
  SetTitle(title);
  page_x_ = page_x;
  page_y_ = page_y;
  next_id_ = next_id;
  back_id_ = back_id;
  AddControl(Kind::kPushButton, next_id);
  AddControl(Kind::kPushButton, back_id);
}

void CBVKWizard::AppendPages(const std::vector<int>& template_ids) {
  page_ids_.insert(page_ids_.end(), template_ids.begin(), template_ids.end());
}

int CBVKWizard::CurrentPageId() const { return page_ ? page_->TemplateId() : 0; }

bool CBVKWizard::OnLeavePage(CBVKDialog&, int) { return false; }
void CBVKWizard::OnBeforeCreatePage(CBVKDialog&, int) {}
void CBVKWizard::OnAfterCreatePage(CBVKDialog&, int) {}
void CBVKWizard::OnDestroyPage(CBVKDialog&) {}

void CBVKWizard::OnButtonPressed(CBVKDialog& source, int control_id) {
  if (control_id == next_id_) {
    Next();
  } else if (control_id == back_id_) {
    Back();
  } else if (control_id == kFinishId && &source == this) {
    Finish();
  } else if (control_id == kCancelId && &source == this) {
    Cancel();
  }
}

void CBVKWizard::OnInitialized() { Next(); }

void CBVKWizard::OnDestroyWindow() {
  page_window_.reset();
  CBVKDialog::OnDestroyWindow();
}

void CBVKWizard::DeletePage() {
  if (page_) OnDestroyPage(*page_);
  // The window goes before the page it shows.
  page_window_.reset();
  page_.reset();
}

void CBVKWizard::Next() {
  if (page_) {
    page_->UpdateData(Direction::kFromControls);
    if (!OnLeavePage(*page_, index_)) return;
    DeletePage();
    ++index_;
  } else {
    index_ = 0;
  }
  ShowPage();
}

void CBVKWizard::Back() {
  DeletePage();
  if (--index_ < 0) index_ = 0;
  ShowPage();
}

void CBVKWizard::Finish() {
  if (page_) {
    page_->UpdateData(Direction::kFromControls);
    if (!OnLeavePage(*page_, index_) || !OnFinish()) return;
  } else if (!OnFinish()) {
    return;
  }
  DeletePage();
  EndDialog(platform::kIdOk);
}

void CBVKWizard::Cancel() {
  DeletePage();
  EndDialog(platform::kIdCancel);
}

void CBVKWizard::ShowPage() {
  const int count = static_cast<int>(page_ids_.size());
  if (index_ >= count) index_ = count - 1;
  if (index_ < 0) return;
  const platform::DialogTemplate* page_template = PageTemplate(page_ids_[index_]);
  if (page_template) {
    page_ = std::make_unique<CBVKDialog>(*page_template, this, Page::kChild);
    OnBeforeCreatePage(*page_, index_);
    if (Window()) page_window_ = Window()->CreateChild(*page_, page_x_, page_y_);
    OnAfterCreatePage(*page_, index_);
  }
  EnableControl(back_id_, index_ > 0);
  EnableControl(next_id_, index_ < count - 1);
  EnableControl(kFinishId, index_ == count - 1);
}

}  // namespace tessary
