#include "app/enumeration_progress.h"

#include <memory>

#include "support/bvk_progress_dlg.h"

namespace tessary {

bool RunEnumeration(platform::ProgressHost& host, const platform::Window* parent,
                    const std::string& status, const std::function<bool()>& work) {
  auto dialog = std::make_unique<CBVKProgressDlg>(host, parent, kEnumerationTemplateId,
                                                  CBVKProgressDlg::kProgressBarId, -1);
  dialog->SetAnimationResource(kEnumerationClipId);
  dialog->SetWorkFunction([&status, &work](CBVKProgressDlg& running) -> std::int32_t {
    running.SetStatusText(status);
    return work() ? 1 : 0;
  });
  return CBVKProgressDlg::Run(std::move(dialog)) == 1;
}

}  // namespace tessary
