// The frame and the two pages with coloured areas: welcome and finish.
#include "app/control_ids.h"
#include "app/template_builder.h"
#include "app/templates.h"

namespace tessary::app {

using namespace layout;

namespace {

constexpr int kTextX = 100;
constexpr int kTextWidth = 205;

// The dark areas around the white panel that holds a page's texts.
std::vector<ControlTemplate> ColouredAreas() {
  return {
      Painted(1045, "", 0, 0, 90, kPageHeight, kBrand),
      ProgramIcon(29, 14, 32, kBrand),
      Painted(1046, "", 90, 0, kPageWidth - 90, 3, kBrand),
      Painted(1047, "", 90, kPageHeight - 3, kPageWidth - 90, 3, kBrand),
      Painted(1048, "", kPageWidth - 3, 3, 3, kPageHeight - 6, kBrand),
      Painted(1049, "", 90, 3, kPageWidth - 93, kPageHeight - 6, kWhite),
  };
}

platform::DialogTemplate FinishPage(int id, bool with_error_log) {
  platform::DialogTemplate page{id, "", kPageWidth, kPageHeight, ColouredAreas()};
  page.controls.push_back(Painted(1050, "You have successfully completed your Tessary task.",
                                  kTextX, 12, kTextWidth, 20, kWhite));
  page.controls.push_back(Painted(1051, "Task details:", kTextX, 36, kTextWidth, 9, kWhite));
  page.controls.push_back(Control(kIdDetails, ControlKind::kListView, "", kTextX, 47, kTextWidth,
                                  72, platform::kStyleNoHeader | platform::kStyleFullRow));
  page.controls.push_back(Button(kIdAnotherTask, "&Perform another task...", kTextX, 124, 100, 14));
  if (with_error_log) {
    page.controls.push_back(
        Button(kIdViewErrorLog, "&View error log file...", kTextX + 105, 124, 100, 14));
  }
  page.controls.push_back(Painted(1052, "To close this wizard, click Finish.", kTextX, 145,
                                  kTextWidth, 9, kWhite));
  return page;
}

}  // namespace

std::vector<platform::DialogTemplate> FrameTemplates() {
  platform::DialogTemplate frame{
      kFrameTemplate,
      "Tessary",
      kPageWidth,
      kPageHeight + 28,
      {
          Control(-1, ControlKind::kEtchedLine, "", 0, kPageHeight + 1, kPageWidth, 1),
          Button(kIdHelp, "Help...", 7, kPageHeight + 8),
          Button(kIdBack, "< &Back", 110, kPageHeight + 8),
          Button(kIdNext, "&Next >", 160, kPageHeight + 8, 50, 14, platform::kStyleDefault),
          Button(kIdFinish, "Finish", 210, kPageHeight + 8),
          Button(kIdCancel, "Cancel", 260, kPageHeight + 8),
      }};

  platform::DialogTemplate welcome{kWelcomePage, "", kPageWidth, kPageHeight, ColouredAreas()};
  welcome.controls.push_back(Painted(1050,
                                     "This application helps you import and export information "
                                     "to and from your Windows 2000 Active Directory.",
                                     kTextX, 12, kTextWidth, 28, kWhite));
  welcome.controls.push_back(Painted(1051,
                                     "Using this Import and Export wizard you can Create, Delete, "
                                     "Modify and Move your Active Directory objects and their "
                                     "attributes.",
                                     kTextX, 48, kTextWidth, 28, kWhite));
  welcome.controls.push_back(Painted(1052,
                                     "Please note, export files are comma delimited and intended "
                                     "for modification using Microsoft Excel.",
                                     kTextX, 84, kTextWidth, 28, kWhite));
  welcome.controls.push_back(
      Painted(1053, "To continue, click Next.", kTextX, 145, kTextWidth, 9, kWhite));

  return {frame, welcome, FinishPage(kFinishPage, false), FinishPage(kImportFinishPage, true)};
}

}  // namespace tessary::app
