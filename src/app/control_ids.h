#pragma once
// Template and control ids of the wizard's dialogs, shared by the templates, the frame, the
// pages and the hosts' tests.

namespace tessary::app {

// Templates.
inline constexpr int kFrameTemplate = 131;
inline constexpr int kAttributesPage = 132;
inline constexpr int kContainerPage = 133;
inline constexpr int kObjectTypePage = 134;
inline constexpr int kOutputFilePage = 135;
inline constexpr int kOtherClassDialog = 136;
inline constexpr int kTaskPage = 138;
inline constexpr int kVerifyColumnsPage = 139;
inline constexpr int kNewFolderDialog = 142;
inline constexpr int kBrowseFolderDialog = 143;
inline constexpr int kMailboxPage = 144;
inline constexpr int kWelcomePage = 145;
inline constexpr int kFinishPage = 146;
inline constexpr int kExportProgress = 165;
inline constexpr int kAccountSettingsPage = 166;
inline constexpr int kImportAttributesDialog = 200;
inline constexpr int kImportProgress = 201;
inline constexpr int kChangeDomainDialog = 203;
inline constexpr int kImportFinishPage = 204;
inline constexpr int kShortProgress = 210;
inline constexpr int kImportFilePage = 211;
inline constexpr int kErrorFolderPage = 212;

// Resources that are not templates.
inline constexpr int kFrameIcon = 128;
inline constexpr int kBusyCursor = 130;
inline constexpr int kContainerImage = 150;
inline constexpr int kDomainImage = 163;
inline constexpr int kSearchClip = 164;
inline constexpr int kImportClip = 202;

// Frame buttons.
inline constexpr int kIdFinish = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdNext = 3;
inline constexpr int kIdBack = 4;
inline constexpr int kIdHelp = 5;

// Controls of the pages and dialogs.
inline constexpr int kIdList = 1000;             // object type list box; lists of 136 and 200
inline constexpr int kIdInstruction = 1001;
inline constexpr int kIdTree = 1002;             // container tree; folder tree of 143
inline constexpr int kIdIncludeSubcontainers = 1003;
inline constexpr int kIdTaskExport = 1004;       // radio buttons of the task page
inline constexpr int kIdTaskImport = 1005;
inline constexpr int kIdTaskHeader = 1006;
inline constexpr int kIdOtherClass = 1007;
inline constexpr int kIdBrowse = 1008;
inline constexpr int kIdPath = 1009;
inline constexpr int kIdMailboxYes = 1010;       // radio buttons of the mailbox page
inline constexpr int kIdMailboxNo = 1011;
inline constexpr int kIdShowAll = 1013;
inline constexpr int kIdTitle = 1014;
inline constexpr int kIdSelectAll = 1015;
inline constexpr int kIdQuestion = 1016;
inline constexpr int kIdDeselectAll = 1017;
inline constexpr int kIdAttributeList = 1018;
inline constexpr int kIdUseHeaderFile = 1019;
inline constexpr int kIdBrowsePath = 1020;       // dialog 143
inline constexpr int kIdNewFolder = 1021;
inline constexpr int kIdNewFolderName = 1022;    // dialog 142
inline constexpr int kIdNewFolderParent = 1024;
inline constexpr int kIdAccountDisabled = 1025;  // check boxes of the account settings page
inline constexpr int kIdPasswordNeverExpires = 1026;
inline constexpr int kIdMustChangePassword = 1027;
inline constexpr int kIdAppendValues = 1028;     // radio buttons of the verify columns page
inline constexpr int kIdOverwriteValues = 1029;
inline constexpr int kIdColourFirst = 1045;      // coloured areas of the welcome and finish pages
inline constexpr int kIdColourLastDark = 1048;
inline constexpr int kIdColourLast = 1053;
inline constexpr int kIdPageText1 = 1051;        // attribute page lines set by the task
inline constexpr int kIdPageText2 = 1052;
inline constexpr int kIdDetails = 1054;
inline constexpr int kIdAnimation = 1055;
inline constexpr int kIdProgressCancel = 1056;
inline constexpr int kIdProgressBar = 1057;
inline constexpr int kIdBottomBand = 1063;
inline constexpr int kIdTotalFound = 1068;
inline constexpr int kIdFoundInContainer = 1070;
inline constexpr int kIdChangeDomain = 1073;
inline constexpr int kIdDomainList = 1074;
inline constexpr int kIdUseAsDefault = 1075;
inline constexpr int kIdAnotherTask = 1076;
inline constexpr int kIdViewErrorLog = 1077;
inline constexpr int kIdColumnList = 1079;
inline constexpr int kIdStatus = 1080;

}  // namespace tessary::app
