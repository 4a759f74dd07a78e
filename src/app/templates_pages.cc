// The task pages: every page but the welcome and finish pages.
#include "app/control_ids.h"
#include "app/template_builder.h"
#include "app/templates.h"

namespace tessary::app {

using namespace layout;
using platform::kStyleBold;
using platform::kStyleCheckBoxes;
using platform::kStyleFullRow;
using platform::kStyleReadOnly;
using platform::kStyleSorted;

namespace layout {

std::vector<ControlTemplate> TaskPageFrame(const std::string& title, const std::string& question,
                                           const std::string& instruction, int instruction_lines) {
  std::vector<ControlTemplate> controls{
      Painted(-1, "", 0, 0, kPageWidth, 36, kWhite),
      Text(kIdTitle, title, 15, 7, 262, 9, kStyleBold),
      Text(kIdQuestion, question, 25, 18, 252, 16),
      // The frame's icon at the band's right end.
      ProgramIcon(kPageWidth - 32, 6, 24, kWhite),
      Control(-1, ControlKind::kEtchedLine, "", 0, 36, kPageWidth, 1),
      Control(kIdBottomBand, ControlKind::kEtchedLine, "", 0, kPageHeight - 1, kPageWidth, 1),
  };
  controls[1].background = kWhite;
  controls[2].background = kWhite;
  if (!instruction.empty()) {
    controls.push_back(Text(kIdInstruction, instruction, 25, 42, 270, 9 * instruction_lines));
  }
  return controls;
}

platform::DialogTemplate TaskPage(int id, const std::string& title, const std::string& question,
                                  const std::string& instruction,
                                  std::vector<ControlTemplate> controls, int instruction_lines) {
  platform::DialogTemplate page{id, "", kPageWidth, kTaskPageTemplateHeight,
                                TaskPageFrame(title, question, instruction, instruction_lines)};
  page.controls.insert(page.controls.end(), controls.begin(), controls.end());
  return page;
}

}  // namespace layout

std::vector<platform::DialogTemplate> TaskPageTemplates() {
  const std::vector<ControlTemplate> attribute_buttons{
      Button(kIdShowAll, "&Show all attributes", 230, 54, 82, 14),
      Button(kIdSelectAll, "Select &all attributes", 230, 72, 82, 14),
      Button(kIdDeselectAll, "&Deselect all attributes", 230, 90, 82, 14),
      Button(kIdUseHeaderFile, "&Use header file...", 230, 108, 82, 14),
  };
  std::vector<ControlTemplate> attributes{
      Text(kIdPageText1, "Select the attributes you would like to export for each object:", 25, 42,
           270, 9),
      Control(kIdAttributeList, ControlKind::kListView, "", 25, 54, 198, 84,
              kStyleCheckBoxes | kStyleFullRow | platform::kStyleSingleSelect),
      Text(kIdPageText2,
           "Note: The 'objectGUID' and 'distinguishedName' attributes will automatically be "
           "exported as the first two columns.",
           25, 141, 285, 18),
  };
  attributes.insert(attributes.begin() + 2, attribute_buttons.begin(), attribute_buttons.end());

  return {
      TaskPage(kAttributesPage, "Choose Attributes", "Which attributes do you want to export?", "",
               attributes),
      TaskPage(kContainerPage, "Choose a Container",
               "Which container do you want to export objects out of?",
               "Select the container you would like to export objects from, and then click Next.",
               {
                   Control(kIdTree, ControlKind::kTreeView, "", 25, 62, 190, 94),
                   Control(kIdIncludeSubcontainers, ControlKind::kCheckBox,
                           "&Include subcontainers", 222, 62, 92, 10),
                   Button(kIdChangeDomain, "&Change Domain...", 222, 78, 80, 14),
               }),
      TaskPage(kObjectTypePage, "Choose an Object Type",
               "Which type of object do you want to export?",
               "Select the object type you would like to export, and then click Next.",
               {
                   Control(kIdList, ControlKind::kListBox, "", 25, 62, 155, 90, kStyleSorted),
                   Button(kIdOtherClass, "&Select a different type of object...", 186, 62, 126,
                          14),
               }),
      TaskPage(kOutputFilePage, "Choose Output File",
               "Where do you want to save the output export file?",
               "Select the output export file you want to create, and then click Next.",
               {
                   Control(kIdPath, ControlKind::kEdit, "", 25, 66, 220, 12, kStyleReadOnly),
                   Button(kIdBrowse, "&Browse...", 252, 65, 50, 14),
                   Control(kIdUseAsDefault, ControlKind::kCheckBox,
                           "&Use the above location as the default path for directory exports.",
                           25, 86, 280, 10),
               }),
      TaskPage(kTaskPage, "Choose a Task", "Which task do you want to perform?",
               "Select the task you want to perform, and then click Next.",
               {
                   Control(kIdTaskExport, ControlKind::kRadioButton, "&Export Objects", 25, 62,
                           80, 10),
                   Text(-1,
                        "Choose this option to export objects and their attribute values from "
                        "the Active Directory.",
                        110, 62, 195, 18),
                   Control(kIdTaskImport, ControlKind::kRadioButton, "&Import", 25, 86, 80, 10),
                   Text(-1,
                        "Choose this option to import new objects, delete objects, modify objects "
                        "or move objects using an import file.",
                        110, 86, 195, 26),
                   Control(kIdTaskHeader, ControlKind::kRadioButton, "&Create Header File", 25,
                           116, 80, 10),
                   Text(-1,
                        "Choose this option to create a header file to use for importing new "
                        "objects in the Active Directory. (Note: An Export is required to modify "
                        "or delete objects)",
                        110, 116, 195, 26),
                   Text(-1, "Note:  For more information please consult the ReadMe file.", 25, 148,
                        280, 9),
               }),
      TaskPage(kVerifyColumnsPage, "Verify Import Columns",
               "Are these header columns you want to import correct?",
               "The following header columns were found in your import file.  If these are "
               "correct, click Next.  \nIf they are incorrect, click Cancel and modify your "
               "import file.",
               {
                   Control(kIdColumnList, ControlKind::kListView, "", 25, 72, 285, 46,
                           kStyleFullRow),
                   Control(-1, ControlKind::kGroupBox,
                           "When importing fields that have multiple values", 25, 121, 285, 38),
                   Control(kIdAppendValues, ControlKind::kRadioButton,
                           "&Append import file values to the existing values in multi-valued "
                           "fields",
                           32, 132, 274, 10),
                   Control(kIdOverwriteValues, ControlKind::kRadioButton,
                           "&Overwrite values in multi-valued fields with the import file values",
                           32, 145, 274, 10),
               },
               3),
      TaskPage(kMailboxPage, "Choose Whether to Create Mailboxes",
               "Do you also want to create Microsoft Exchange mailboxes?",
               "Select whether or not you would like to create mailboxes for new user objects "
               "that are created.",
               {
                   Control(kIdMailboxYes, ControlKind::kRadioButton, "&Yes, create mailboxes", 25,
                           64, 150, 10),
                   Control(kIdMailboxNo, ControlKind::kRadioButton, "&No, do not create mailboxes",
                           25, 78, 150, 10),
                   Text(-1, "Note:  In order for mailboxes to be created, you must either:", 25,
                        98, 280, 9),
                   Text(-1, "1. Specify the column \"homeMDB\".", 35, 110, 270, 9),
                   Text(-1,
                        "2. Specify the columns \"exchHomeServer\", \"exchMailboxStore\", "
                        "\"exchStorageGroup\", \"exchAdminGroup\" and \"exchOrganization\".",
                        35, 122, 270, 18),
               }),
      TaskPage(kAccountSettingsPage, "Choose New Account Settings",
               "Which settings do you want on the new user accounts?",
               "Select the options you would like set on new user accounts that are created.",
               {
                   Control(kIdAccountDisabled, ControlKind::kCheckBox, "Account &disabled", 25, 64,
                           200, 10),
                   Control(kIdPasswordNeverExpires, ControlKind::kCheckBox,
                           "Password never &expires", 25, 78, 200, 10),
                   Control(kIdMustChangePassword, ControlKind::kCheckBox,
                           "&User must change password at next logon", 25, 92, 200, 10),
               }),
      TaskPage(kImportFilePage, "Choose Import File", "Which import file do you want to process?",
               "Select the import file you want to process, and then click Next.",
               {
                   Control(kIdPath, ControlKind::kEdit, "", 25, 66, 220, 12),
                   Button(kIdBrowse, "&Browse...", 252, 65, 50, 14),
                   Control(kIdUseAsDefault, ControlKind::kCheckBox,
                           "&Use the above location as the default path for directory imports.",
                           25, 86, 280, 10),
               }),
      TaskPage(kErrorFolderPage, "Choose Error File Folder",
               "Where do you want to store the error file for this import?",
               "Select the file folder where you want to save the error file for this task, and "
               "then click Next.",
               {
                   Control(kIdPath, ControlKind::kEdit, "", 25, 66, 220, 12, kStyleReadOnly),
                   Button(kIdBrowse, "&Browse...", 252, 65, 50, 14),
                   Control(kIdUseAsDefault, ControlKind::kCheckBox,
                           "Use the above location as the default path for error files.", 25, 86,
                           280, 10),
               }),
  };
}

}  // namespace tessary::app
