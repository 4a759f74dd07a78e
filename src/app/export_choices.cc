#include "app/export_choices.h"

#include <algorithm>

#include "app/enumeration_progress.h"
#include "directory/dn.h"
#include "export/export_job.h"
#include "support/unicode_fold.h"

namespace tessary {
namespace {

// Attributes no export can read: the directory computes them only for one object read alone.
constexpr const char* kNeverOffered[] = {"tokenGroups", "tokenGroupsGlobalAndUniversal",
                                         "tokenGroupsNoGCAcceptable"};

enum class Icon { kStop, kExclamation };

void ShowMessage(const std::string& text, Icon icon) {
  CBVKError message;
  message.SetText(text);
  if (icon == Icon::kStop) {
    (void)message.ShowError();
  } else {
    (void)message.ShowWarning();
  }
}

// Sorted as a sorted list box shows its lines: without regard to case.
void SortAsListBox(std::vector<std::string>* names) {
  std::stable_sort(names->begin(), names->end(), [](const std::string& a, const std::string& b) {
    return FoldCase(a) < FoldCase(b);
  });
}

}  // namespace

CExportChoices::CExportChoices(CExDomain& domain, platform::ProgressHost& progress,
                               std::string program_folder)
    : domain_(domain), progress_(progress), program_folder_(std::move(program_folder)) {}

void CExportChoices::LoadForTask(ExportTask task) {
  if (task == ExportTask::kExport) {
    LoadExportSettings(&Settings);
    PendingContainer = Settings.ExportContainer;
  } else {
    LoadHeaderSettings(&Settings);
  }
}

bool CExportChoices::Enumerate(const std::string& status, const std::function<bool()>& work) {
  return RunEnumeration(progress_, parent_, status, work);
}

void CExportChoices::ShowDomainError(unsigned icon) {
  if (icon == platform::kMbIconStop) {
    (void)domain_.Error().ShowError();
  } else {
    (void)domain_.Error().ShowWarning();
  }
}

std::string CExportChoices::DefinitionFile(const char* name) const {
  return DefinitionFilePath(program_folder_, name);
}

// --- Object type page.

void CExportChoices::PrepareObjectTypes() {
  class_when_shown_ = Settings.ExportClass;
  if (!domain_.SchemaClasses.empty()) return;
  if (!Enumerate("Enumerating classes...", [this] { return domain_.LoadSchemaClasses(); })) {
    ShowDomainError(platform::kMbIconExclamation);
  }
  ReadObjectTypes(domain_, DefinitionFile(kObjectTypesFileName), &ObjectTypes);
}

std::vector<std::string> CExportChoices::ObjectTypeNames() const {
  std::vector<std::string> names;
  for (const auto& [admin_name, record] : ObjectTypes) names.push_back(admin_name);
  SortAsListBox(&names);
  return names;
}

std::vector<std::string> CExportChoices::AllClassNames() const {
  std::vector<std::string> names;
  for (const auto& schema_class : domain_.SchemaClasses) {
    names.push_back(schema_class->AdminDisplayName);
  }
  SortAsListBox(&names);
  return names;
}

bool CExportChoices::AddObjectType(const std::string& admin_display_name) {
  CBVKADSchemaObject* found = domain_.FindClassByAdminName(admin_display_name);
  if (!found) return false;
  ObjectTypes[found->AdminDisplayName] = found;
  return true;
}

bool CExportChoices::LeaveObjectType(ExportTask task, const std::string& selection) {
  if (task == ExportTask::kExport && selection.empty()) {
    ShowMessage("You must select the type of object to export.", Icon::kStop);
    return false;
  }
  // Another class has other attributes: the attributes page reads them anew. The header task
  // does the same, or its page would offer the attributes of the class chosen before.
  if (!selection.empty() && selection != class_when_shown_) domain_.ClearSchemaAttributes();
  Settings.ExportClass = selection;
  return true;
}

// --- Container page.

void CExportChoices::PrepareContainerTree() {
  tree_.Clear();
  if (domain_.GetContainerCount() == 0 &&
      !Enumerate("Enumerating containers...", [this] { return domain_.EnumContainers(); })) {
    ShowDomainError(platform::kMbIconStop);
  }
  tree_.Fill(domain_, &PendingContainer, &SelectedContainer);
}

void CExportChoices::ExpandItem(int item) {
  if (tree_.Expand(item)) return;
  (void)tree_.Items()[item].Object->Error().ShowError();
}

bool CExportChoices::LeaveContainer() {
  SelectedContainer = tree_.SelectedObject();
  if (!SelectedContainer) {
    ShowMessage("You must select a container.", Icon::kStop);
    return false;
  }
  return true;
}

std::vector<std::string> CExportChoices::OtherDomains() {
  domain_map_.clear();
  if (!Enumerate("Enumerating domains...",
                 [this] { return domain_.BuildDomainMap(&domain_map_); })) {
    ShowDomainError(platform::kMbIconStop);
    return {};
  }
  std::vector<std::string> names;
  for (const auto& [dotted, dn] : domain_map_) {
    if (dn != domain_.DistinguishedName) names.push_back(dotted);
  }
  if (names.empty()) ShowMessage("No other domains were found.", Icon::kStop);
  SortAsListBox(&names);
  return names;
}

void CExportChoices::ChangeDomain(const std::string& dotted_name) {
  auto chosen = domain_map_.find(dotted_name);
  if (chosen == domain_map_.end() || chosen->second == domain_.DistinguishedName) return;
  domain_.DistinguishedName = chosen->second;
  // The selected container belongs to the list about to be emptied: keeping the pointer would
  // leave the export with a deleted object.
  SelectedContainer = nullptr;
  domain_.ContainerRoot.Children.Clear();
  PrepareContainerTree();
}

// --- Attributes page.

void CExportChoices::PrepareAttributes() {
  if (domain_.SchemaAttributes.empty()) {
    const bool loaded = Enumerate("Enumerating attributes...", [this] {
      return domain_.LoadClassAttributes(Settings.ExportClass);
    });
    if (!loaded) {
      ShowDomainError(platform::kMbIconExclamation);
      // Without the class's own list, every attribute of the schema is offered.
      domain_.ClearSchemaAttributes();
      if (!Enumerate("Enumerating attributes...",
                     [this] { return domain_.LoadSchemaAttributes(); })) {
        ShowDomainError(platform::kMbIconExclamation);
      }
    }
  }
  for (const char* name : kNeverOffered) domain_.RemoveAttribute(name);
  FillAttributeList();
}

void CExportChoices::FillAttributeList() {
  const std::vector<std::string> chosen = SelectedAttributeNames;
  AttributeMap.clear();
  ReadAttributeDefinitions(domain_, DefinitionFile(kAttributeDefinitionsFileName), chosen,
                           &AttributeMap);
  attribute_list_.Clear();
  show_all_used_ = false;
  for (const auto& [admin_name, record] : AttributeMap) {
    const bool checked = std::find(chosen.begin(), chosen.end(), admin_name) != chosen.end();
    attribute_list_.Add(admin_name, record->LDAPDisplayName, checked);
  }
  attribute_list_.SortBy(CAttributeList::kDisplayNameColumn);
}

void CExportChoices::ShowAllAttributes() {
  if (show_all_used_) return;
  for (const auto& attribute : domain_.SchemaAttributes) {
    if (attribute->LDAPDisplayName.empty()) continue;
    if (AttributeMap.count(attribute->AdminDisplayName)) continue;
    attribute_list_.Add(attribute->AdminDisplayName, attribute->LDAPDisplayName, false);
  }
  show_all_used_ = true;
  attribute_list_.SortBy(CAttributeList::kDisplayNameColumn);
}

void CExportChoices::AddFileAttributes(const std::vector<CImportColumn>& attributes) {
  for (const CImportColumn& attribute : attributes) {
    std::string admin_name = attribute.AdminDisplayName;
    std::string ldap_name = attribute.Name;
    if (!AttributeMap.count(admin_name)) {
      CBVKADSchemaObject* found = domain_.FindAttributeByLDAPName(attribute.Name);
      // An attribute the class does not have is not offered.
      if (!found) continue;
      admin_name = found->AdminDisplayName;
      ldap_name = found->LDAPDisplayName;
      AttributeMap[admin_name] = found;
    }
    attribute_list_.SetChecked(attribute_list_.Add(admin_name, ldap_name, true), true);
  }
}

void CExportChoices::CollectSelection(ExportTask task, Leaving leaving) {
  attribute_list_.CheckedNames(&SelectedAttributes, &SelectedAttributeNames);
  for (std::size_t i = 0; i < SelectedAttributes.size(); ++i) {
    if (CBVKADSchemaObject* found = domain_.FindAttributeByLDAPName(SelectedAttributes[i])) {
      AttributeMap[found->AdminDisplayName] = found;
    }
  }
  // Going back runs nothing, so there is nothing yet to warn of.
  if (!SelectedAttributes.empty() || leaving == Leaving::kBack) return;
  ShowMessage(task == ExportTask::kExport
                  ? "Note: You have not selected any attributes.\nThe export file will only "
                    "contain the distinguished name and object GUID for each object."
                  : "Note: You have not selected any attributes.\nThe export file will only "
                    "contain the distinguished name and object GUID column headers.",
              Icon::kExclamation);
}

// --- The runs.

void CExportChoices::SaveDefinitionFiles() {
  WriteObjectTypes(DefinitionFile(kObjectTypesFileName), ObjectTypes);
  WriteAttributeDefinitions(DefinitionFile(kAttributeDefinitionsFileName),
                            SelectedAttributeNames);
}

std::int32_t CExportChoices::RunExport() {
  CExportJob job(domain_);
  job.ClassName = Settings.ExportClass;
  job.Container = SelectedContainer;
  job.IncludeSubcontainers = Settings.IncludeSubcontainers;
  job.OutputFile = Settings.ExportFile;
  job.Attributes = SelectedAttributes;
  job.SaveChoices = [this] {
    Settings.ExportContainer = SelectedContainer ? SelectedContainer->DistinguishedName : "";
    SaveExportSettings(Settings);
    SaveDefinitionFiles();
  };
  const std::int32_t result = job.RunWithProgress(progress_, parent_);
  result_.SetText(job.Error().Text());
  return result;
}

std::int32_t CExportChoices::WriteHeader() {
  CExportJob job(domain_);
  job.ClassName = Settings.ExportClass;
  job.OutputFile = Settings.HeaderFile;
  job.Attributes = SelectedAttributes;
  // Only the definition files: the header task holds no export values of its own, and writing
  // them would replace the stored export file and container by a fresh wizard's empty ones.
  job.SaveChoices = [this] { SaveDefinitionFiles(); };
  const std::int32_t result = job.WriteHeaderFile();
  result_.SetText(job.Error().Text());
  return result;
}

}  // namespace tessary
