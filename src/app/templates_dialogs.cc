// The dialogs the pages open, and the progress dialogs.
#include "app/control_ids.h"
#include "app/template_builder.h"
#include "app/templates.h"

namespace tessary::app {

using namespace layout;

std::vector<platform::DialogTemplate> DialogTemplates() {
  return {
      {kOtherClassDialog,
       "Tessary",
       200,
       150,
       {
           Text(-1, "Select the type of object you would like to export:", 7, 7, 186, 9),
           Control(kIdList, ControlKind::kListBox, "", 7, 19, 186, 104, platform::kStyleSorted),
           Button(kIdFinish, "OK", 89, 129, 50, 14, platform::kStyleDefault),
           Button(kIdCancel, "Cancel", 143, 129),
       }},
      {kNewFolderDialog,
       "New",
       220,
       70,
       {
           Text(-1, "Path:", 7, 9, 30, 9),
           Control(kIdNewFolderParent, ControlKind::kEdit, "", 40, 7, 173, 12,
                   platform::kStyleReadOnly),
           Text(-1, "&Name:", 7, 27, 30, 9),
           Control(kIdNewFolderName, ControlKind::kEdit, "Untitled", 40, 25, 173, 12),
           Button(kIdFinish, "OK", 109, 49, 50, 14, platform::kStyleDefault),
           Button(kIdCancel, "Cancel", 163, 49),
       }},
      {kBrowseFolderDialog,
       "Browse",
       220,
       200,
       {
           Text(-1, "&Path:", 7, 9, 30, 9),
           Control(kIdBrowsePath, ControlKind::kEdit, "", 40, 7, 173, 12),
           Control(kIdTree, ControlKind::kTreeView, "", 7, 25, 206, 148),
           Button(kIdNewFolder, "&New...", 7, 179),
           Button(kIdFinish, "OK", 109, 179, 50, 14, platform::kStyleDefault),
           Button(kIdCancel, "Cancel", 163, 179),
       }},
      {kImportAttributesDialog,
       "Import Attributes",
       260,
       220,
       {
           Text(-1,
                "This import utility allows you to select an export, header or import file.  The "
                "attributes used in the columns of the file will be imported.",
                7, 7, 246, 18),
           Text(-1,
                "&Please select a file, the attributes found will be displayed in the list "
                "below.\nYou can select additional files to import more attributes.",
                7, 29, 246, 27),
           Button(3, "&Select File...", 7, 59, 60, 14),
           Button(4, "&Clear List", 71, 59, 60, 14),
           Text(-1, "&Attributes:", 7, 78, 100, 9),
           Control(kIdList, ControlKind::kListView, "", 7, 89, 246, 93,
                   platform::kStyleFullRow),
           Text(-1, "&Click OK when finished selecting attributes.", 7, 186, 246, 9),
           Button(kIdFinish, "OK", 149, 199, 50, 14, platform::kStyleDefault),
           Button(kIdCancel, "Cancel", 203, 199),
       }},
      {kChangeDomainDialog,
       "Change Domain",
       200,
       72,
       {
           Text(-1, "Please select the domain from which you would like to export:", 7, 7, 186,
                18),
           Control(kIdDomainList, ControlKind::kDropDownList, "", 7, 28, 186, 80,
                   platform::kStyleSorted),
           Button(kIdFinish, "OK", 89, 51, 50, 14, platform::kStyleDefault),
           Button(kIdCancel, "Cancel", 143, 51),
       }},
  };
}

std::vector<platform::DialogTemplate> ProgressTemplates() {
  return {
      {kExportProgress,
       "Tessary",
       220,
       110,
       {
           Control(kIdAnimation, ControlKind::kAnimation, "", 7, 7, 206, 30),
           Control(kIdProgressBar, ControlKind::kProgressBar, "", 7, 42, 206, 10),
           Text(kIdStatus, "Working... please wait...", 7, 56, 206, 9),
           Text(-1, "Total found: ", 7, 70, 80, 9),
           Text(kIdTotalFound, "", 90, 70, 60, 9),
           Text(-1, "Found in this container:", 7, 80, 80, 9),
           Text(kIdFoundInContainer, "", 90, 80, 60, 9),
           Button(kIdProgressCancel, "Cancel", 85, 92),
       }},
      {kImportProgress,
       "Tessary",
       220,
       90,
       {
           Control(kIdAnimation, ControlKind::kAnimation, "", 7, 7, 206, 30),
           Control(kIdProgressBar, ControlKind::kProgressBar, "", 7, 42, 206, 10),
           Text(-1, "Working.... please wait...", 7, 56, 206, 9),
           Button(kIdProgressCancel, "Cancel", 85, 70),
       }},
      {kShortProgress,
       "Tessary",
       180,
       80,
       {
           Control(kIdAnimation, ControlKind::kAnimation, "", 7, 7, 166, 26),
           Control(kIdProgressBar, ControlKind::kProgressBar, "", 7, 37, 166, 10),
           Text(-1, "Working... please wait...", 7, 50, 166, 9),
           Button(kIdProgressCancel, "Cancel", 65, 61),
       }},
  };
}

}  // namespace tessary::app
