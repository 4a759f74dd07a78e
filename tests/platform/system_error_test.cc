#include "platform/system_error.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace tessary::platform {
namespace {

TEST(SystemMessage, GivesTheSystemsWordsForCommonCodes) {
  EXPECT_EQ(SystemMessage(0), "The operation completed successfully.");
  EXPECT_EQ(SystemMessage(2), "The system cannot find the file specified.");
  EXPECT_EQ(SystemMessage(3), "The system cannot find the path specified.");
  EXPECT_EQ(SystemMessage(5), "Access is denied.");
  EXPECT_EQ(SystemMessage(32),
            "The process cannot access the file because it is being used by another process.");
  EXPECT_EQ(SystemMessage(112), "There is not enough space on the disk.");
  EXPECT_EQ(SystemMessage(183), "Cannot create a file when that file already exists.");
  EXPECT_EQ(SystemMessage(234), "More data is available.");
  EXPECT_EQ(SystemMessage(259), "No more data is available.");
  EXPECT_EQ(SystemMessage(1009), "The configuration registry database is corrupt.");
  EXPECT_EQ(SystemMessage(1223), "The operation was canceled by the user.");
  EXPECT_EQ(SystemMessage(1355),
            "The specified domain either does not exist or could not be contacted.");
  EXPECT_EQ(SystemMessage(0x2030), "There is no such object on the server.");
  EXPECT_EQ(SystemMessage(0x203A), "The server is not operational.");
}

TEST(SystemMessage, HasNothingForUnknownCodes) {
  EXPECT_EQ(SystemMessage(0xDEAD), std::nullopt);
  EXPECT_EQ(SystemMessage(7), std::nullopt);
}

TEST(SystemMessage, EveryListedCodeHasASentenceEndingInAPeriod) {
  const std::uint32_t codes[] = {
      0,    1,    2,    3,    4,    5,    6,    8,    13,   14,   15,   17,   18,   19,
      20,   21,   23,   25,   26,   29,   30,   31,   32,   33,   36,   38,   39,   50,
      53,   59,   64,   65,   67,   80,   82,   87,   89,   110,  111,  112,  120,  121,
      122,  123,  145,  161,  183,  206,  234,  259,  267,  1009, 1010, 1011, 1012, 1013,
      1014, 1015, 1016, 1017, 1018, 1155, 1223, 1326, 1327, 1330, 1355, 2202};
  for (std::uint32_t code : codes) {
    std::optional<std::string> text = SystemMessage(code);
    ASSERT_TRUE(text.has_value()) << code;
    EXPECT_EQ(text->back(), '.') << code;
    EXPECT_EQ(text->find('\n'), std::string::npos) << code;
  }
}

TEST(Win32FromErrno, MapsTheFileSystemErrors) {
  EXPECT_EQ(Win32FromErrno(0), 0u);
  EXPECT_EQ(Win32FromErrno(ENOENT), 2u);
  EXPECT_EQ(Win32FromErrno(ENOTDIR), 3u);
  EXPECT_EQ(Win32FromErrno(EACCES), 5u);
  EXPECT_EQ(Win32FromErrno(EPERM), 5u);
  EXPECT_EQ(Win32FromErrno(EROFS), 5u);
  EXPECT_EQ(Win32FromErrno(EISDIR), 5u);
  EXPECT_EQ(Win32FromErrno(ENOMEM), 8u);
  EXPECT_EQ(Win32FromErrno(EEXIST), 183u);
  EXPECT_EQ(Win32FromErrno(ENOSPC), 112u);
  EXPECT_EQ(Win32FromErrno(EDQUOT), 112u);
  EXPECT_EQ(Win32FromErrno(EBUSY), 32u);
  EXPECT_EQ(Win32FromErrno(ETXTBSY), 32u);
  EXPECT_EQ(Win32FromErrno(ENOTEMPTY), 145u);
  EXPECT_EQ(Win32FromErrno(ENAMETOOLONG), 206u);
  EXPECT_EQ(Win32FromErrno(EINVAL), 87u);
  EXPECT_EQ(Win32FromErrno(EMFILE), 4u);
  EXPECT_EQ(Win32FromErrno(EXDEV), 17u);
  EXPECT_EQ(Win32FromErrno(EIO), 1117u);
}

TEST(Win32FromErrno, EveryMappedCodeHasAMessage) {
  for (int error = 1; error < 135; ++error)
    EXPECT_TRUE(SystemMessage(Win32FromErrno(error)).has_value()) << "errno " << error;
}

}  // namespace
}  // namespace tessary::platform
