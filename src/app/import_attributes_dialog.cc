#include "app/import_attributes_dialog.h"

#include "app/control_ids.h"
#include "app/dialog_templates.h"

namespace tessary::app {
namespace {

constexpr int kSelectFile = 3;
constexpr int kClearList = 4;
constexpr int kDisplayNameWidth = 200;
constexpr int kLDAPNameWidth = 180;

}  // namespace

CImportAttributesDlg::CImportAttributesDlg(CBVKDialog& parent, CExDomain& domain)
    : CBVKDialog(*FindTemplate(kImportAttributesDialog), &parent),
      directory_(domain),
      attributes_(directory_) {
  AddControl(Kind::kPushButton, kSelectFile);
  AddControl(Kind::kPushButton, kClearList);
  AddControl(Kind::kListView, kIdList);
}

void CImportAttributesDlg::OnFillList(CBVKDialog& source, int control_id) {
  if (&source != this || control_id != kIdList) return;
  list_.Attach(*this, control_id);
  list_.InsertColumn("Display Name", kDisplayNameWidth);
  list_.InsertColumn("LDAP Name", kLDAPNameWidth);
}

void CImportAttributesDlg::ShowAttributes() {
  list_.DeleteAllRows();
  const std::vector<CImportColumn>& found = attributes_.Attributes();
  for (std::size_t i = 0; i < found.size(); ++i) {
    list_.AddRow({found[i].AdminDisplayName, found[i].Name}, static_cast<std::intptr_t>(i));
  }
}

void CImportAttributesDlg::OnButtonPressed(CBVKDialog& source, int control_id) {
  if (&source == this) {
    switch (control_id) {
      case kSelectFile:
        attributes_.SelectFile(&Owner());
        ShowAttributes();
        return;
      case kClearList:
        attributes_.Clear();
        ShowAttributes();
        return;
      case platform::kIdOk:
        if (!attributes_.Accept()) return;
        break;
      default:
        break;
    }
  }
  CBVKDialog::OnButtonPressed(source, control_id);
}

}  // namespace tessary::app
