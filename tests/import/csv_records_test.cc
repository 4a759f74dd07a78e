#include "import/csv_records.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "import/split_values.h"

namespace tessary {
namespace {

using Records = std::vector<std::string>;

Records Split(const std::string& text) {
  Records records;
  SplitRecords(text, &records);
  return records;
}

TEST(CsvRecordsTest, LinesEndAtLineFeedWithOrWithoutCarriageReturn) {
  EXPECT_EQ(Split("a,b\r\nc\nd"), (Records{"a,b", "c", "d"}));
  EXPECT_EQ(Split("a\n\nb\n"), (Records{"a", "", "b"}));
  EXPECT_EQ(Split(""), Records{});
  EXPECT_EQ(Split("a,b,"), (Records{"a,b,"}));
}

TEST(CsvRecordsTest, QuotedFieldHoldsLineBreaksAndDoubledQuotes) {
  const Records records =
      Split("mode,info\r\nModify,\"one\r\ntwo \"\"x\"\"\r\n,three\"\r\nlast,\"\"\r\n");
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[1], "Modify,\"one\r\ntwo \"\"x\"\"\r\n,three\"");
  std::vector<std::string> values;
  SplitValues(records[1], ",", values);
  EXPECT_EQ(values, (std::vector<std::string>{"Modify", "one\r\ntwo \"x\"\r\n,three"}));
  EXPECT_EQ(records[2], "last,\"\"");
}

TEST(CsvRecordsTest, QuoteThatIsNeverClosedEndsWithItsLine) {
  EXPECT_EQ(Split("a,\"b,c\nd,e\n"), (Records{"a,\"b,c", "d,e"}));
  // A quote inside a field opens nothing.
  EXPECT_EQ(Split("a,b\"c\nd,\"e\n"), (Records{"a,b\"c", "d,\"e"}));
}

TEST(CsvRecordsTest, QuotedFieldEndSkipsDoubledQuotes) {
  EXPECT_EQ(QuotedFieldEnd("\"a\"\"b\"c", 0), 5u);
  EXPECT_EQ(QuotedFieldEnd("\"a\"\"", 0), std::string::npos);
  EXPECT_EQ(QuotedFieldEnd("\"\"", 0), 1u);
}

}  // namespace
}  // namespace tessary
