// The frame's own buttons: Help opens the program folder's help file with the program
// registered for HTML files, and says so when none can be read.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "app/control_ids.h"
#include "platform/program_folder.h"
#include "support/bvk_registry.h"
#include "wizard_fixture.h"

namespace tessary::testing {
namespace {

// The opened program runs on its own; wait a while for what it leaves.
bool EventuallyExists(const std::filesystem::path& path) {
  for (int i = 0; i < 200 && !std::filesystem::exists(path); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return std::filesystem::exists(path);
}

TEST_F(WizardTest, HelpOpensTheProgramFoldersHelpFile) {
  CBVKRegistry registry;
  ASSERT_TRUE(registry.OpenKey(HKEY_CLASSES_ROOT, "htmlfile\\shell\\open\\command"));
  ASSERT_TRUE(registry.WriteString("", "touch \"%1\""));
  ui_.QueueDialog([](platform::DialogDriver& d) { d.Press(app::kIdHelp); });
  RunWizard();
  EXPECT_TRUE(EventuallyExists(platform::ProgramFolder() + "TY-Index.htm"));
  EXPECT_TRUE(ui_.Messages().empty());
}

TEST_F(WizardTest, HelpWithoutARegisteredProgramShowsTheRegistryMessageOnce) {
  CBVKRegistry registry;
  ASSERT_TRUE(registry.OpenKey(HKEY_CLASSES_ROOT, ""));
  ASSERT_TRUE(registry.DeleteTree("htmlfile"));
  ui_.QueueDialog([](platform::DialogDriver& d) {
    d.Press(app::kIdHelp);
    // The wizard goes on where it was.
    EXPECT_EQ(d.PageTemplate(), app::kWelcomePage);
  });
  RunWizard();
  ASSERT_EQ(ui_.Messages().size(), 1u);
  EXPECT_EQ(ui_.Messages()[0].type, platform::kMbIconStop);
  EXPECT_TRUE(ui_.Messages()[0].text.starts_with(
      "Could not access the registry key: 'htmlfile\\shell\\open\\command'."))
      << ui_.Messages()[0].text;
}

}  // namespace
}  // namespace tessary::testing
