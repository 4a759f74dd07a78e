// The frame's own buttons: Help opens the program folder's help file with the program
// registered for HTML files, and says so when none can be read; the import's finish page opens
// the error file in the user's editor.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
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

// The page the registered program was given, as the program copies it.
std::string OpenedPage(const std::filesystem::path& opened) {
  if (!EventuallyExists(opened)) return "(nothing opened)";
  std::ifstream in(opened);
  std::string text;
  std::getline(in, text);
  return text;
}

TEST_F(WizardTest, HelpOpensTheProgramFoldersHelpFile) {
  { std::ofstream(platform::ProgramFolder() + "TY-Index.htm") << "folder help"; }
  const std::filesystem::path opened = Path("opened.htm");
  CBVKRegistry registry;
  ASSERT_TRUE(registry.OpenKey(HKEY_CLASSES_ROOT, "htmlfile\\shell\\open\\command"));
  ASSERT_TRUE(registry.WriteString("", "cp \"%1\" \"" + opened.string() + "\""));
  ui_.QueueDialog([](platform::DialogDriver& d) { d.Press(app::kIdHelp); });
  RunWizard();
  EXPECT_EQ(OpenedPage(opened), "folder help");
  EXPECT_TRUE(ui_.Messages().empty());
}

// The installed page is shared by every test of this program: the other Help tests give their
// program folder a page of its own or fail before a page is chosen, so it never stands in.
TEST_F(WizardTest, HelpFallsBackToTheInstalledPageWhenTheProgramFolderHasNone) {
  const std::filesystem::path installed =
      std::filesystem::path(platform::InstalledDataFolder()) / "TY-Index.htm";
  std::filesystem::create_directories(installed.parent_path());
  { std::ofstream(installed) << "installed help"; }
  const std::filesystem::path opened = std::filesystem::path(Path("opened.htm"));
  CBVKRegistry registry;
  ASSERT_TRUE(registry.OpenKey(HKEY_CLASSES_ROOT, "htmlfile\\shell\\open\\command"));
  ASSERT_TRUE(registry.WriteString("", "cp \"%1\" \"" + opened.string() + "\""));
  ui_.QueueDialog([](platform::DialogDriver& d) { d.Press(app::kIdHelp); });
  RunWizard();
  const std::string page = OpenedPage(opened);
  std::filesystem::remove_all(installed.parent_path());
  EXPECT_EQ(page, "installed help");
  EXPECT_FALSE(std::filesystem::exists(platform::ProgramFolder() + "TY-Index.htm"));
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

// Sets (or, with nothing, removes) an environment variable for its lifetime.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) saved_ = old;
    if (value) {
      setenv(name, value->c_str(), 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedVariable() {
    if (saved_) {
      setenv(name_, saved_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> saved_;
};

TEST_F(WizardTest, TheImportsFinishPageOpensTheErrorFileInTheEditor) {
  // Without a display, "Notepad" is the editor VISUAL names: here one that notes its argument.
  const std::string editor = Path("editor.sh");
  WriteFileText(editor, "#!/bin/sh\nprintf '%s' \"$1\" > \"" + Path("opened.txt") + "\"\n");
  std::filesystem::permissions(editor, std::filesystem::perms::owner_all);
  ScopedVariable display("DISPLAY", std::nullopt);
  ScopedVariable wayland("WAYLAND_DISPLAY", std::nullopt);
  ScopedVariable visual("VISUAL", editor);
  WriteFileText(Path("Import.csv"),
                "mode,distinguishedName,description\r\n"
                "Modify,\"CN=Nobody,DC=example,DC=com\",gone\r\n");
  ui_.QueueDialog([&](platform::DialogDriver& d) {
    ImportToFinishPage(d, Path("Import.csv"));
    if (::testing::Test::HasFatalFailure()) return;
    d.Press(app::kIdViewErrorLog);
  });
  RunWizard();
  ASSERT_TRUE(EventuallyExists(Path("opened.txt")));
  const std::string opened = ReadFileText(Path("opened.txt"));
  EXPECT_TRUE(opened.starts_with(Path("Errors - "))) << opened;
  EXPECT_TRUE(std::filesystem::exists(opened)) << opened;
  EXPECT_TRUE(ui_.Problems().empty()) << ui_.Problems().front();
}

}  // namespace
}  // namespace tessary::testing
