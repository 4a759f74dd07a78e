#include "support/bvk_command_line.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace tessary::command_line {
namespace {

using Args = std::vector<std::string>;

// Sets or removes the variables that choose the editor, restoring them afterwards.
class EditorEnvironment : public ::testing::Test {
 protected:
  static constexpr const char* kNames[] = {"DISPLAY", "WAYLAND_DISPLAY", "VISUAL", "EDITOR"};

  void SetUp() override {
    for (const char* name : kNames) {
      const char* value = std::getenv(name);
      saved_.push_back(value ? std::optional<std::string>(value) : std::nullopt);
      unsetenv(name);
    }
  }
  void TearDown() override {
    for (std::size_t i = 0; i < saved_.size(); ++i) {
      if (saved_[i])
        setenv(kNames[i], saved_[i]->c_str(), 1);
      else
        unsetenv(kNames[i]);
    }
  }

  std::vector<std::optional<std::string>> saved_;
};

TEST(CommandLineSplit, BlanksSeparateAndQuotesGroup) {
  EXPECT_EQ(Split("a  b\tc"), (Args{"a", "b", "c"}));
  EXPECT_EQ(Split("  \"/My Files/a b.csv\" -x "), (Args{"/My Files/a b.csv", "-x"}));
  EXPECT_EQ(Split("pre\"fix mid\"post"), (Args{"prefix midpost"}));
  EXPECT_EQ(Split("\"\""), (Args{""}));
  EXPECT_EQ(Split(""), Args{});
  EXPECT_EQ(Split("   "), Args{});
}

TEST(CommandLineSplit, BackslashesAreLiteralExceptBeforeAQuote) {
  EXPECT_EQ(Split(R"(C:\dir\file a\\b)"), (Args{R"(C:\dir\file)", R"(a\\b)"}));
  EXPECT_EQ(Split(R"(a\"b)"), (Args{R"(a"b)"}));
  EXPECT_EQ(Split(R"("a\\" b)"), (Args{R"(a\)", "b"}));
  EXPECT_EQ(Split(R"("a\\\"b")"), (Args{R"(a\"b)"}));
  EXPECT_EQ(Split(R"("say ""hi""")"), (Args{R"(say "hi")"}));
}

TEST(CommandLineRun, FolderAndProgramFormTheProgram) {
  RunCommand command = ForRun("/opt/brenvik", "FixExt.exe", "-q \"a b\"");
  EXPECT_EQ(command.argv, (Args{"/opt/brenvik/FixExt.exe", "-q", "a b"}));
  EXPECT_FALSE(command.editor);
  EXPECT_EQ(ForRun("/opt/brenvik/", "FixExt.exe", "").argv, (Args{"/opt/brenvik/FixExt.exe"}));
  EXPECT_EQ(ForRun("", "touch", "x").argv, (Args{"touch", "x"}));
}

TEST(CommandLineRun, WithoutProgramTheArgumentsNameIt) {
  EXPECT_EQ(ForRun("", "", "\"/opt/my tools/run\" a").argv, (Args{"/opt/my tools/run", "a"}));
  EXPECT_TRUE(ForRun("", "", "").argv.empty());
  EXPECT_TRUE(ForRun("", "", "  ").argv.empty());
}

TEST_F(EditorEnvironment, NotepadUsesVisualThenEditorThenXdgOpen) {
  setenv("EDITOR", "nano", 1);
  setenv("VISUAL", "vim -u NONE", 1);
  EXPECT_EQ(EditorCommand("/tmp/a.csv"), (Args{"vim", "-u", "NONE", "/tmp/a.csv"}));
  unsetenv("VISUAL");
  EXPECT_EQ(EditorCommand("/tmp/a.csv"), (Args{"nano", "/tmp/a.csv"}));
  unsetenv("EDITOR");
  EXPECT_EQ(EditorCommand("/tmp/a.csv"), (Args{"xdg-open", "/tmp/a.csv"}));
}

TEST_F(EditorEnvironment, UnderADisplayNotepadIsXdgOpen) {
  setenv("VISUAL", "vim", 1);
  setenv("DISPLAY", ":0", 1);
  EXPECT_EQ(EditorCommand("/tmp/a.csv"), (Args{"xdg-open", "/tmp/a.csv"}));
  unsetenv("DISPLAY");
  setenv("WAYLAND_DISPLAY", "wayland-0", 1);
  EXPECT_EQ(EditorCommand("/tmp/a.csv"), (Args{"xdg-open", "/tmp/a.csv"}));
}

TEST_F(EditorEnvironment, NotepadTakesTheRestOfTheLineAsOneFile) {
  setenv("VISUAL", "ed", 1);
  RunCommand command = ForRun("", "", "Notepad.exe /home/me/Import errors.csv");
  EXPECT_EQ(command.argv, (Args{"ed", "/home/me/Import errors.csv"}));
  EXPECT_TRUE(command.editor);
  EXPECT_EQ(ForRun("", "NOTEPAD.EXE", " \"/a b/c.txt\" ").argv, (Args{"ed", "/a b/c.txt"}));
  EXPECT_EQ(ForRun("/var/lib/brenvik/windows/", "Notepad.exe", "/x/ReadMe-TY.txt").argv,
            (Args{"ed", "/x/ReadMe-TY.txt"}));
  EXPECT_EQ(ForRun("", "notepad", "").argv, (Args{"ed"}));
  // Only the program named Notepad is replaced, not one that contains the name.
  EXPECT_EQ(ForRun("", "mynotepad.exe", "a b").argv, (Args{"mynotepad.exe", "a", "b"}));
}

TEST(CommandLineRegistered, TargetReplacesThePlaceholder) {
  EXPECT_EQ(ForRegisteredCommand("xdg-open \"%1\"", "/a b/TY-Index.htm"),
            (Args{"xdg-open", "/a b/TY-Index.htm"}));
  EXPECT_EQ(ForRegisteredCommand("browser --url=%1 --new", "http://x/"),
            (Args{"browser", "--url=http://x/", "--new"}));
  // A target that itself holds the placeholder is inserted once, not again and again.
  EXPECT_EQ(ForRegisteredCommand("open %1", "/tmp/%1.htm"), (Args{"open", "/tmp/%1.htm"}));
}

TEST(CommandLineRegistered, WithoutPlaceholderTheTargetIsAppended) {
  EXPECT_EQ(ForRegisteredCommand("xdg-open", "/a b/c.htm"), (Args{"xdg-open", "/a b/c.htm"}));
  EXPECT_EQ(ForRegisteredCommand("\"/opt/web browser/run\" -nohome", "http://x/"),
            (Args{"/opt/web browser/run", "-nohome", "http://x/"}));
  EXPECT_TRUE(ForRegisteredCommand("", "http://x/").empty());
}

}  // namespace
}  // namespace tessary::command_line
