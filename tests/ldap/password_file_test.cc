#include "directory/ds/ldap/password_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "test_support.h"

namespace tessary::ds::ldap {
namespace {

class PasswordFileTest : public testing::MachineTest {
 protected:
  std::string Write(const std::string& name, const std::string& text, mode_t mode) {
    std::filesystem::path path = machine_.Root() / name;
    testing::WriteFileText(path, text);
    chmod(path.c_str(), mode);
    return path.string();
  }
  std::string password_, error_;
};

TEST_F(PasswordFileTest, ReadsTheFirstLineOfAnOwnerOnlyFile) {
  std::string path = Write("pw", "S3cret pass\nignored\n", 0600);
  ASSERT_TRUE(ReadPasswordFile(path, &password_, &error_)) << error_;
  EXPECT_EQ(password_, "S3cret pass");
}

TEST_F(PasswordFileTest, KeepsAPasswordWithoutLineEnd) {
  std::string path = Write("pw", "abc", 0400);
  ASSERT_TRUE(ReadPasswordFile(path, &password_, &error_)) << error_;
  EXPECT_EQ(password_, "abc");
}

TEST_F(PasswordFileTest, RefusesAFileOthersMayRead) {
  std::string path = Write("pw", "abc\n", 0644);
  EXPECT_FALSE(ReadPasswordFile(path, &password_, &error_));
  EXPECT_EQ(error_, "The password file '" + path +
                        "' may be read or written by other users; allow its owner only (chmod "
                        "600).");
  EXPECT_TRUE(password_.empty());
}

TEST_F(PasswordFileTest, RefusesAFileItsGroupMayRead) {
  std::string path = Write("pw", "abc\n", 0640);
  EXPECT_FALSE(ReadPasswordFile(path, &password_, &error_));
  EXPECT_NE(error_.find("may be read or written by other users"), std::string::npos);
}

TEST_F(PasswordFileTest, RefusesASymbolicLink) {
  std::string target = Write("pw", "abc\n", 0600);
  std::filesystem::path link = machine_.Root() / "link";
  std::filesystem::create_symlink(target, link);
  EXPECT_FALSE(ReadPasswordFile(link.string(), &password_, &error_));
  EXPECT_EQ(error_,
            "The password file '" + link.string() + "' is a symbolic link; name the file itself.");
}

TEST_F(PasswordFileTest, RefusesAnEmptyFile) {
  std::string path = Write("pw", "\n", 0600);
  EXPECT_FALSE(ReadPasswordFile(path, &password_, &error_));
  EXPECT_EQ(error_, "The password file '" + path + "' is empty.");
}

TEST_F(PasswordFileTest, ReportsAMissingFile) {
  std::string path = (machine_.Root() / "missing").string();
  EXPECT_FALSE(ReadPasswordFile(path, &password_, &error_));
  EXPECT_EQ(error_,
            "The password file '" + path + "' cannot be opened: No such file or directory.");
}

TEST_F(PasswordFileTest, RefusesAFolder) {
  std::filesystem::path folder = machine_.Root() / "folder";
  std::filesystem::create_directory(folder);
  chmod(folder.c_str(), 0700);
  EXPECT_FALSE(ReadPasswordFile(folder.string(), &password_, &error_));
  EXPECT_EQ(error_, "The password file '" + folder.string() + "' is not a regular file.");
}

}  // namespace
}  // namespace tessary::ds::ldap
