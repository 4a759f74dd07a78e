#pragma once
// What the export and header tasks' pages choose, and what they do with it: the object type
// page's classes, the container page's tree, the attributes page's list, the output file, the
// loads of the stored choices when a task is picked, and the runs that save them again. The frame
// binds its pages to these members and calls the operations from its hooks; every page check
// shows its own message and returns false when the page must stay.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/attribute_list.h"
#include "app/container_tree.h"
#include "directory/ex_domain.h"
#include "export/definition_files.h"
#include "export/export_settings.h"
#include "import/import_column.h"
#include "platform/ui/progress_host.h"
#include "support/bvk_error.h"

namespace tessary {

enum class ExportTask { kExport, kHeader };
// Leaving the attributes page forward runs on towards the task; going back does not.
enum class Leaving { kNext, kBack };

class CExportChoices {
 public:
  // The domain and the progress host serve the wizard's whole life; the definition files live in
  // the program folder (the current folder when it is empty).
  CExportChoices(CExDomain& domain, platform::ProgressHost& progress, std::string program_folder);

  void SetParent(const platform::Window* parent) { parent_ = parent; }
  // The last run's summary (or failure).
  const CBVKError& Result() const { return result_; }

  // --- Stored choices: loaded when the task is picked.
  void LoadForTask(ExportTask task);
  ExportSettings Settings;
  // The stored "Export Container" until the tree finds it.
  std::string PendingContainer;

  // --- Object type page (134).
  // Loads the class list when it is empty (then reads the object-type file); a failure is shown
  // with the exclamation icon and the page is shown with what was loaded.
  void PrepareObjectTypes();
  // The offered classes' admin display names, as the sorted list box shows them.
  std::vector<std::string> ObjectTypeNames() const;
  // Every class of the schema, sorted, for the "other type" dialog.
  std::vector<std::string> AllClassNames() const;
  // Offers the class of that admin display name from now on; false when the schema lacks it.
  bool AddObjectType(const std::string& admin_display_name);
  // The list box's selection leaves the page; false (after the stop-icon message) when the export
  // task has none.
  [[nodiscard]] bool LeaveObjectType(ExportTask task, const std::string& selection);
  SchemaRecordMap ObjectTypes;

  // --- Container page (133).
  // Loads the domain's containers when none are (a failure is shown with the stop icon) and
  // fills the tree, selecting the stored container when it is there.
  void PrepareContainerTree();
  CContainerTree& Tree() { return tree_; }
  // The tree view expands an item: its children are loaded; a failure is shown with the stop icon.
  void ExpandItem(int item);
  // The selected item's container becomes the export's start; false (after the stop-icon
  // message) when nothing is selected.
  [[nodiscard]] bool LeaveContainer();
  CBVKADObject* SelectedContainer = nullptr;

  // "&Change Domain...": the other domains of the forest as dotted names; empty after a message
  // (stop icon) when they cannot be read or there is none.
  std::vector<std::string> OtherDomains();
  // Makes the named domain (one of OtherDomains) the current one and fills the tree anew.
  void ChangeDomain(const std::string& dotted_name);

  // --- Attributes page (132).
  // Loads the attribute list when it is empty (the class's, else the whole schema's), drops the
  // attributes never offered, and fills the list.
  void PrepareAttributes();
  // The list hook: the rows of the definition file's attributes and of those chosen before.
  void FillAttributeList();
  CAttributeList& AttributeList() { return attribute_list_; }
  // "&Show all attributes": every other attribute of the domain's list, once per display.
  void ShowAllAttributes();
  bool ShowAllUsed() const { return show_all_used_; }
  // "&Use header file...": the attributes the Import Attributes dialog returned get checked rows.
  void AddFileAttributes(const std::vector<CImportColumn>& attributes);
  // The checked rows become the selection; leaving forward with none shows the note.
  void CollectSelection(ExportTask task, Leaving leaving);
  SchemaRecordMap AttributeMap;
  std::vector<std::string> SelectedAttributes;      // LDAP display names, in list order
  std::vector<std::string> SelectedAttributeNames;  // their admin display names

  // --- The runs (leaving the output file page, 135). Each saves the stored choices and the
  // definition files before the file is touched. 1 with the summary in Result(); 0 after the run
  // has shown its failure.
  std::int32_t RunExport();
  std::int32_t WriteHeader();

 private:
  bool Enumerate(const std::string& status, const std::function<bool()>& work);
  // Shows the domain's message with the icon.
  void ShowDomainError(unsigned icon);
  void SaveDefinitionFiles();
  std::string DefinitionFile(const char* name) const;

  CExDomain& domain_;
  platform::ProgressHost& progress_;
  std::string program_folder_;
  const platform::Window* parent_ = nullptr;
  CBVKError result_;
  CContainerTree tree_;
  CAttributeList attribute_list_;
  bool show_all_used_ = false;
  // Dotted name -> DN of the forest's domains, as OtherDomains last read them.
  std::map<std::string, std::string> domain_map_;
  // The export class when the object type page was shown.
  std::string class_when_shown_;
};

}  // namespace tessary
