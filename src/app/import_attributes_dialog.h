#pragma once
// The "Import Attributes" dialog (template 200): the attributes named by the columns of
// existing files, for the attributes page's "&Use header file...".

#include <vector>

#include "directory/ex_domain.h"
#include "import/domain_import_directory.h"
#include "import/import_attribute_list.h"
#include "support/bvk_dialog.h"
#include "support/bvk_list_ctrl.h"

namespace tessary::app {

class CImportAttributesDlg : public CBVKDialog {
 public:
  // domain answers the schema look-ups; it must outlive the dialog.
  CImportAttributesDlg(CBVKDialog& parent, CExDomain& domain);

  // The attributes found, in the order found; read after OK.
  const std::vector<CImportColumn>& Attributes() const { return attributes_.Attributes(); }

 protected:
  void OnButtonPressed(CBVKDialog& source, int control_id) override;
  void OnFillList(CBVKDialog& source, int control_id) override;

 private:
  // The list view shows every attribute found so far.
  void ShowAttributes();

  DomainImportDirectory directory_;
  CImportAttributeList attributes_;
  CBVKListCtrl list_;
};

}  // namespace tessary::app
