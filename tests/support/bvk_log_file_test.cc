#include "support/bvk_log_file.h"

#include <gtest/gtest.h>

#include "platform/ui/scripted_ui_host.h"
#include "test_support.h"

namespace tessary {
namespace {

using testing::ReadFileText;
using testing::WriteFileText;

class LogFileTest : public testing::MachineTest {
 protected:
  std::string Path() const { return machine_.Root().string() + "/Setup.log"; }
};

TEST_F(LogFileTest, AppendingKeepsEarlierLines) {
  WriteFileText(Path(), "PROD  : First\r\n");
  CBVKLogFile log;
  ASSERT_TRUE(log.Open(Path(), CBVKLogFile::Overwrite::No));
  ASSERT_TRUE(log.WriteLine("PROD  : Second"));
  ASSERT_TRUE(log.WriteLine("no end", CBVKLogFile::LineEnd::No));
  // Every line is in the file as soon as it is written.
  EXPECT_EQ(ReadFileText(Path()), "PROD  : First\r\nPROD  : Second\r\nno end");
  log.Close();
  ASSERT_TRUE(log.Open(Path(), CBVKLogFile::Overwrite::Yes));
  log.Close();
  EXPECT_EQ(ReadFileText(Path()), "");
}

TEST_F(LogFileTest, DisabledWriterTouchesNothing) {
  CBVKLogFile log;
  log.SetDisabled(true);
  ASSERT_TRUE(log.Open(Path(), CBVKLogFile::Overwrite::No));
  ASSERT_TRUE(log.WriteLine("x"));
  EXPECT_FALSE(std::filesystem::exists(Path()));
}

TEST_F(LogFileTest, OpenFailureNamesTheFile) {
  CBVKLogFile log;
  const std::string path = machine_.Root().string() + "/no/such/Setup.log";
  EXPECT_FALSE(log.Open(path, CBVKLogFile::Overwrite::No));
  EXPECT_EQ(log.Error().Text(), "Could not open the file '" + path +
                                    "'.\nThe system cannot find the file specified. (2)");
}

TEST_F(LogFileTest, WriteFailureIsShownAtOnce) {
  platform::ScriptedUiHost host;
  platform::SetUiHost(&host);
  CBVKLogFile log;
  ASSERT_TRUE(log.Open("/dev/full", CBVKLogFile::Overwrite::No));
  EXPECT_FALSE(log.WriteLine("line"));
  platform::SetUiHost(nullptr);
  ASSERT_EQ(host.Messages().size(), 1u);
  EXPECT_EQ(host.Messages()[0].type, platform::kMbRetryCancel | platform::kMbIconStop);
  EXPECT_EQ(host.Messages()[0].text.substr(0, 42), "Could not write to the file '/dev/full'.\nT");
}

}  // namespace
}  // namespace tessary
