#include "setup/client_record.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace tessary::setup {
namespace {

TEST(ClientRecord, TimeFieldOfNinthJuly2004) {
  std::tm local{};
  local.tm_year = 2004 - 1900;
  local.tm_mon = 6;
  local.tm_mday = 9;
  local.tm_hour = 14;
  local.tm_min = 5;
  local.tm_sec = 30;
  EXPECT_EQ(ClientTimeField(local), "07d407090e051e");
}

TEST(ClientRecord, LabelDropsLastFourThenFirstThree) {
  EXPECT_EQ(ConfigurationLabel("TY-Sales.cfg"), "Sales");
  EXPECT_EQ(ConfigurationLabel("TY-.cfg"), "");
  EXPECT_EQ(ConfigurationLabel("a.b"), "");
  EXPECT_EQ(ClientRecordLine("anna", "07d407090e051e", "TY-Sales.cfg", "1.2.3.4"),
            "anna$07d407090e051e$Sales$1.2.3.4");
  EXPECT_EQ(ClientRecordLine("anna", "t", "TY-Sales.cfg", ""), "anna$t$Sales$");
}

class ClientRecordPaths : public testing::MachineTest {};

TEST_F(ClientRecordPaths, RecordLivesOnTheServerShare) {
  EXPECT_EQ(ClientRecordPath("srv", "TY"),
            machine_.Root().string() + "/machine/net/srv/Brenvik/TY Clients.log");
}

}  // namespace
}  // namespace tessary::setup
