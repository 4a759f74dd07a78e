// Inputs found by filter_fuzz (fuzz/filter_fuzz.cc) that the search filter parser must survive.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "directory/ds/embedded/filter.h"

namespace tessary::ds::embedded {
namespace {

std::string Nested(int depth) {
  std::string text;
  for (int i = 0; i < depth; ++i) text += "(&";
  text += "(cn=a)";
  for (int i = 0; i < depth; ++i) text += ")";
  return text;
}

TEST(FilterParserRegression, DeeplyNestedFilterIsParsedOrRefusedWithoutCrashing) {
  // 200 KB of "(&": the parser must not run out of stack; refusing with a reason is fine.
  EXPECT_EXIT(
      {
        FilterNode filter;
        std::string error;
        const bool parsed = ParseFilter(Nested(100000), &filter, &error);
        std::exit(parsed || !error.empty() ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace tessary::ds::embedded
