// A run whose directory loses its server: the status line says the directory is waited for,
// and Cancel ends the wait.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "fake_import_directory.h"
#include "import_test_util.h"
#include "support/bvk_progress_dlg.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;

// Waits, as the LDAP backend does for a lost server, in the first Open of the run: asks the
// run's observer a few times, then either resumes or (given up) fails as the server stayed away.
class WaitingDirectory : public testing::FakeImportDirectory {
 public:
  void SetServerWait(ds::ServerWait* wait) override { wait_ = wait; }
  bool Open(const std::string& dn, std::unique_ptr<ds::Object>* object, bool* exists) override {
    if (wait_ != nullptr && !waited_) {
      waited_ = true;
      for (int i = 0; i < 3 && !gave_up_; ++i) gave_up_ = !wait_->Waiting();
      if (!gave_up_) wait_->Resumed();
    }
    return FakeImportDirectory::Open(dn, object, exists);
  }
  ds::ServerWait* wait_ = nullptr;
  bool waited_ = false;
  bool gave_up_ = false;
};

class ImportServerWaitTest : public testing::MachineTest {
 protected:
  void SetUp() override {
    engine_.DataFolder = (machine_.Root() / "program").string() + "/";
    fs::create_directories(engine_.DataFolder);
    engine_.ErrorFolder = (machine_.Root() / "errors").string() + "/";
    fs::create_directories(engine_.ErrorFolder);
    engine_.ImportFile = (machine_.Root() / "import.csv").string();
    directory_.AddObject("CN=A,DC=x,DC=com");
    directory_.AddObject("CN=B,DC=x,DC=com");
    testing::WriteLines(engine_.ImportFile,
                        {"mode,distinguishedName,description", "Modify,\"CN=A,DC=x,DC=com\",one",
                         "Modify,\"CN=B,DC=x,DC=com\",two"});
    ASSERT_TRUE(engine_.CheckImportFile()) << engine_.Error().Text();
  }
  // The status texts the run showed, in order, each once where repeated.
  std::vector<std::string> Statuses(const ScriptedProgressHost& host) {
    std::vector<std::string> texts;
    for (const std::string& line : host.Log()) {
      if (!line.starts_with("text -1: ")) continue;
      std::string text = line.substr(9);
      if (texts.empty() || texts.back() != text) texts.push_back(text);
    }
    return texts;
  }

  WaitingDirectory directory_;
  CImportEngine engine_{&directory_};
};

TEST_F(ImportServerWaitTest, TheStatusLineSaysTheDirectoryIsWaitedFor) {
  ScriptedProgressHost host;
  EXPECT_EQ(testing::RunBehindDialog(engine_, host), 1);
  EXPECT_TRUE(directory_.waited_);
  EXPECT_FALSE(directory_.gave_up_);
  EXPECT_EQ(Statuses(host),
            (std::vector<std::string>{"Processing 1 of 2...", "Waiting for the directory...",
                                      "Processing 1 of 2...", "Processing 2 of 2..."}));
  // The observer lives only as long as the run.
  EXPECT_EQ(directory_.wait_, nullptr);
  EXPECT_EQ(engine_.ErrorCount, 0);
}

TEST_F(ImportServerWaitTest, CancelEndsTheWait) {
  ScriptedProgressHost host;
  host.PressAfterProgress(1, CBVKProgressDlg::kCancelId);
  EXPECT_EQ(testing::RunBehindDialog(engine_, host), 1);
  EXPECT_TRUE(directory_.gave_up_);
  EXPECT_NE(engine_.Error().Text().find("1 'modify' entries were processed."), std::string::npos)
      << engine_.Error().Text();
}

}  // namespace
}  // namespace tessary
