// The container page: the current domain's containers as a tree whose children load when a
// container is expanded, the remembered container chosen again, and "&Change Domain..." for the
// other domains of the forest.
#include <map>

#include "app/control_ids.h"
#include "app/dialog_templates.h"
#include "app/page_hooks.h"
#include "app/page_messages.h"
#include "app/task_wizard.h"
#include "directory/dn.h"

namespace tessary::app {
namespace {

using Kind = CBVKDialog::Kind;

// An item for the object under parent; an object shown already only gets its text again.
int InsertObject(CBVKTreeCtrl& tree, int parent, CBVKADObject& object, const std::string& text) {
  if (const int item = tree.FindItem(&object)) {
    tree.SetItemText(item, text);
    return item;
  }
  const int image = dynamic_cast<CExDomain*>(&object) ? kDomainImage : kContainerImage;
  return tree.InsertItem(parent, text, image, &object);
}

// The container and, depth first, its children loaded so far. The remembered container, when
// met, becomes the selected one, once.
void InsertLoaded(CTaskWizard& wizard, int parent, CBVKADObject& container) {
  const int item = InsertObject(wizard.ContainerTree, parent, container, container.Name);
  if (!wizard.SavedContainer.empty() && wizard.SavedContainer == container.DistinguishedName) {
    wizard.SelectedContainer = &container;
    wizard.SavedContainer.clear();
  }
  for (int i = 0; i < container.GetChildCount(); ++i) {
    InsertLoaded(wizard, item, *container.GetChild(i));
  }
}

// Loads and shows the children of the item's container; a domain item has all it needs.
void ExpandItem(CTaskWizard& wizard, int item) {
  auto* container = dynamic_cast<CExContainer*>(static_cast<CBVKADObject*>(
      wizard.ContainerTree.ItemData(item)));
  if (!container) return;
  const bool loaded = container->EnumSubContainers();
  // What was loaded before a failure is still shown.
  for (int i = 0; i < container->GetContainerCount(); ++i) {
    CExContainer* child = container->GetContainer(i);
    InsertObject(wizard.ContainerTree, item, *child, child->Name);
  }
  if (!loaded) ShowStop(wizard, container->Error());
}

void FillContainerTree(CTaskWizard& wizard) {
  CExDomain& domain = wizard.Domain();
  if (domain.GetContainerCount() == 0) {
    const std::int32_t loaded = wizard.RunEnumeration(
        "Enumerating containers...",
        [&domain](CBVKProgressDlg&) { return domain.EnumContainers() ? 1 : 0; });
    if (loaded != 1) ShowStop(wizard, domain.Error());
  }
  CBVKTreeCtrl& tree = wizard.ContainerTree;
  const int root = InsertObject(tree, 0, domain, DNToDomainName(domain.DistinguishedName));
  for (int i = 0; i < domain.GetContainerCount(); ++i) {
    InsertLoaded(wizard, root, *domain.GetContainer(i));
  }
  const int selected = wizard.SelectedContainer ? tree.FindItem(wizard.SelectedContainer) : 0;
  if (!selected) return;
  tree.Select(selected);
  ExpandItem(wizard, selected);
  tree.Expand(selected);
}

void BindContainerPage(CTaskWizard& wizard, CBVKDialog& page) {
  page.AddControl(Kind::kTreeView, kIdTree);
  page.AddControl(Kind::kCheckBox, kIdIncludeSubcontainers, wizard.IncludeSubcontainers);
  page.AddControl(Kind::kPushButton, kIdChangeDomain);
}

void FillTree(CTaskWizard& wizard, CBVKDialog& page, int control_id) {
  if (control_id != kIdTree || wizard.task != CTaskWizard::kExportTask) return;
  wizard.ContainerTree.Attach(page, control_id);
  FillContainerTree(wizard);
}

void ExpandTree(CTaskWizard& wizard, CBVKDialog&, int control_id, int item) {
  if (control_id == kIdTree) ExpandItem(wizard, item);
}

bool LeaveContainerPage(CTaskWizard& wizard, CBVKDialog&) {
  const int selected = wizard.ContainerTree.Selected();
  wizard.SelectedContainer =
      selected ? static_cast<CBVKADObject*>(wizard.ContainerTree.ItemData(selected)) : nullptr;
  if (wizard.SelectedContainer) return true;
  ShowStop(wizard, "You must select a container.");
  return false;
}

// Dialog 203: the other domains, the first chosen.
class CChangeDomainDialog : public CBVKDialog {
 public:
  CChangeDomainDialog(CBVKDialog& parent, const std::vector<std::string>& names)
      : CBVKDialog(*FindTemplate(kChangeDomainDialog), &parent) {
    SetLines(kIdDomainList, names);
    // Empty, the choice shows the first line chosen.
    AddControl(Kind::kDropDownList, kIdDomainList, Choice);
  }
  std::string Choice;
};

void ChangeDomain(CTaskWizard& wizard, CBVKDialog& page) {
  CExDomain& domain = wizard.Domain();
  std::map<std::string, std::string> domains;  // dotted name -> DN
  CBVKProgressDlg::ParameterMap parameters{{"Domains", &domains}};
  const std::int32_t found = wizard.RunEnumeration(
      "Enumerating domains...",
      [&domain](CBVKProgressDlg& progress) {
        auto* map = progress.Parameter<std::map<std::string, std::string>>("Domains");
        return map && domain.BuildDomainMap(map) ? 1 : 0;
      },
      &parameters);
  if (found != 1) {
    ShowStop(wizard, domain.Error());
    return;
  }
  std::vector<std::string> names;
  for (const auto& [dotted, dn] : domains) {
    if (dn != domain.DistinguishedName) names.push_back(dotted);
  }
  if (names.empty()) {
    ShowStop(wizard, "No other domains were found.");
    return;
  }
  CChangeDomainDialog dialog(page, names);
  if (dialog.DoModal() != platform::kIdOk) return;
  auto chosen = domains.find(dialog.Choice);
  if (chosen == domains.end() || chosen->second == domain.DistinguishedName) return;
  domain.DistinguishedName = chosen->second;
  // The selected container belongs to the list about to be emptied: keeping the pointer would
  // hand the export a deleted object.
  wizard.SelectedContainer = nullptr;
  domain.ContainerRoot.Children.Clear();
  wizard.ContainerTree.DeleteAllItems();
  FillContainerTree(wizard);
}

bool ContainerButton(CTaskWizard& wizard, CBVKDialog& page, int control_id) {
  if (control_id != kIdChangeDomain) return false;
  ChangeDomain(wizard, page);
  return true;
}

}  // namespace

const PageHooks kContainerPageHooks{.bind = BindContainerPage,
                                    .check = LeaveContainerPage,
                                    .button = ContainerButton,
                                    .fill_tree = FillTree,
                                    .expand_tree = ExpandTree};

}  // namespace tessary::app
