// The frame's mechanics: which page shows when, the buttons' states, the welcome page's
// connection, Back that discards, the task runs' finish page, and the application's loop.
#include <gtest/gtest.h>

#include "app/control_ids.h"
#include "app/tessary_app.h"
#include "wizard_fixture.h"

namespace tessary::testing {
namespace {

using app::kIdBack;
using app::kIdCancel;
using app::kIdFinish;
using app::kIdNext;
using platform::DialogDriver;

constexpr const char* kConnecting = "Accessing directory...";

// Finish enabled exactly on the last page, Next on every other, Back from the second page on.
void ExpectButtons(DialogDriver& d, bool back, bool next, bool finish) {
  EXPECT_EQ(d.Enabled(kIdBack), back) << "page " << d.PageTemplate();
  EXPECT_EQ(d.Enabled(kIdNext), next) << "page " << d.PageTemplate();
  EXPECT_EQ(d.Enabled(kIdFinish), finish) << "page " << d.PageTemplate();
}

TEST_F(WizardTest, LeavingTheWelcomePageConnectsEveryTime) {
  ui_.QueueDialog([&](DialogDriver& d) {
    EXPECT_EQ(d.PageTemplate(), app::kWelcomePage);
    ExpectButtons(d, false, true, false);
    d.Press(kIdNext);
    EXPECT_EQ(d.PageTemplate(), app::kTaskPage);
    ExpectButtons(d, true, true, false);
    d.Press(kIdBack);
    EXPECT_EQ(d.PageTemplate(), app::kWelcomePage);
    d.Press(kIdNext);
    EXPECT_EQ(d.PageTemplate(), app::kTaskPage);
    d.Press(kIdCancel);
  });
  EXPECT_EQ(RunWizard(), platform::kIdCancel);
  EXPECT_EQ(StatusCount(kConnecting), 2);
  EXPECT_EQ(progress_.Shown().template_id, app::kShortProgress);
  // The directory is opened once and kept; the domain connects each time.
  EXPECT_EQ(opens_, 1);
  EXPECT_TRUE(ui_.Problems().empty());
  EXPECT_TRUE(ui_.Messages().empty()) << ui_.Messages().front().text;
}

TEST_F(WizardTest, AFailedConnectionKeepsTheWelcomePage) {
  refuse_directory_ = true;
  ui_.QueueDialog([&](DialogDriver& d) {
    d.Press(kIdNext);
    EXPECT_EQ(d.PageTemplate(), app::kWelcomePage);
    d.Press(kIdNext);
    EXPECT_EQ(d.PageTemplate(), app::kWelcomePage);
  });
  EXPECT_EQ(RunWizard(), platform::kIdCancel);
  ASSERT_EQ(ui_.Messages().size(), 2u);
  EXPECT_EQ(ui_.Messages()[0].text, "Could not open the directory 'test'.");
  EXPECT_EQ(ui_.Messages()[0].type & 0xF0, platform::kMbIconStop);
  EXPECT_EQ(ui_.Messages()[0].owner_title, app::CTaskWizard::kFrameTitle);
  EXPECT_EQ(opens_, 2);
}

TEST_F(WizardTest, BackDiscardsThePagesChanges) {
  ui_.QueueDialog([&](DialogDriver& d) {
    d.Press(kIdNext);
    EXPECT_TRUE(d.Checked(app::kIdTaskExport));
    d.Click(app::kIdTaskHeader);
    EXPECT_FALSE(d.Checked(app::kIdTaskExport));
    d.Press(kIdBack);
    d.Press(kIdNext);
    EXPECT_TRUE(d.Checked(app::kIdTaskExport));
    EXPECT_FALSE(d.Checked(app::kIdTaskHeader));
    // Next keeps the choice: the header task's pages follow.
    d.Click(app::kIdTaskHeader);
    d.Press(kIdNext);
    EXPECT_EQ(d.PageTemplate(), app::kObjectTypePage);
    d.Press(kIdBack);
    EXPECT_TRUE(d.Checked(app::kIdTaskHeader));
  });
  RunWizard();
  EXPECT_TRUE(ui_.Problems().empty()) << ui_.Problems().front();
}

TEST_F(WizardTest, EachTaskGetsItsOwnPages) {
  std::vector<int> export_pages, header_pages;
  ui_.QueueDialog([&](DialogDriver& d) {
    d.Press(kIdNext);
    d.Press(kIdNext);  // export
    for (int i = 0; i < 3; ++i) {
      export_pages.push_back(d.PageTemplate());
      ExpectButtons(d, true, true, false);
      // The container page needs a container: the domain will do.
      if (d.PageTemplate() == app::kContainerPage) {
        d.SelectItem(app::kIdTree, d.FindItem(app::kIdTree, {"example.com"}));
      }
      d.Press(kIdNext);
    }
    export_pages.push_back(d.PageTemplate());
    for (int i = 0; i < 4; ++i) d.Press(kIdBack);
    EXPECT_EQ(d.PageTemplate(), app::kTaskPage);
    d.Click(app::kIdTaskHeader);
    d.Press(kIdNext);
    for (int i = 0; i < 2; ++i) {
      header_pages.push_back(d.PageTemplate());
      d.Press(kIdNext);
    }
    header_pages.push_back(d.PageTemplate());
  });
  RunWizard();
  EXPECT_EQ(export_pages, (std::vector<int>{app::kObjectTypePage, app::kContainerPage,
                                            app::kAttributesPage, app::kOutputFilePage}));
  EXPECT_EQ(header_pages,
            (std::vector<int>{app::kObjectTypePage, app::kAttributesPage, app::kOutputFilePage}));
}

// Welcome, task page with the header task, and on to its finish page.
void RunHeaderTaskToFinish(DialogDriver& d) {
  d.Press(kIdNext);
  d.Click(app::kIdTaskHeader);
  while (d.PageTemplate() != app::kFinishPage && !d.Ended() && d.Enabled(kIdNext)) {
    d.Press(kIdNext);
  }
}

TEST_F(WizardTest, TheFinishPageListsTheSummaryLineByLine) {
  ui_.QueueDialog([&](DialogDriver& d) {
    RunHeaderTaskToFinish(d);
    ASSERT_EQ(d.PageTemplate(), app::kFinishPage);
    ExpectButtons(d, true, false, true);
    const platform::ControlState* details = d.State(app::kIdDetails);
    ASSERT_NE(details, nullptr);
    ASSERT_EQ(details->columns.size(), 1u);
    EXPECT_EQ(details->columns[0].text, "Details");
    EXPECT_EQ(d.Lines(app::kIdDetails),
              (std::vector<std::string>{"Header file '" + Path("Header.csv") +
                                        "' completed successfully."}));
    // Back and Next run the task again.
    d.Press(kIdBack);
    EXPECT_EQ(d.PageTemplate(), app::kOutputFilePage);
    std::filesystem::remove(Path("Header.csv"));
    d.Press(kIdNext);
    EXPECT_EQ(d.PageTemplate(), app::kFinishPage);
    d.Press(kIdFinish);
    EXPECT_TRUE(d.Ended());
  });
  EXPECT_EQ(RunWizard(), platform::kIdOk);
  EXPECT_EQ(ReadFileText(Path("Header.csv")), "distinguishedName,objectGUID\r\n");
  EXPECT_TRUE(ui_.Problems().empty()) << ui_.Problems().front();
}

TEST_F(WizardTest, AnotherTaskBuildsAFreshWizardAndAnythingElseEndsTheProgram) {
  int second_start = 0;
  ui_.QueueDialog([&](DialogDriver& d) {
    RunHeaderTaskToFinish(d);
    d.Press(app::kIdAnotherTask);
  });
  ui_.QueueDialog([&](DialogDriver& d) {
    second_start = d.PageTemplate();
    d.Press(kIdNext);
    // The task chosen in the first wizard is not carried over.
    EXPECT_TRUE(d.Checked(app::kIdTaskExport));
    d.Press(kIdCancel);
  });
  app::CTessaryApp application(Environment());
  EXPECT_EQ(application.Run(ui_), platform::kIdCancel);
  EXPECT_EQ(application.WizardCount(), 2);
  EXPECT_EQ(second_start, app::kWelcomePage);
  EXPECT_EQ(ui_.DialogsShown(), (std::vector<int>{app::kFrameTemplate, app::kFrameTemplate}));
}

TEST_F(WizardTest, WithoutADisplayNoWizardIsShown) {
  app::CTessaryApp application(Environment());
  // The process's default host writes to standard error and shows no dialog.
  platform::SetUiHost(nullptr);
  EXPECT_EQ(application.Run(platform::CurrentUiHost()), -1);
  platform::SetUiHost(&ui_);
  EXPECT_EQ(application.WizardCount(), 1);
  EXPECT_EQ(opens_, 0);
}

}  // namespace
}  // namespace tessary::testing
