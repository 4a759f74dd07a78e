// What the package holds and what dpkg and lintian make of it.

#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "unpacked_package.h"

namespace tessary::testing {
namespace {

class PackageContents : public UnpackedPackageTest {
 protected:
  // The paths of the package's files and links ("./usr/..."), without its folders.
  std::set<std::string> FileList() {
    const ProgramRun list = RunProgram("/usr/bin/dpkg-deb", {"--contents", Deb().string()});
    EXPECT_EQ(list.status, 0) << list.err;
    std::set<std::string> paths;
    std::istringstream lines(list.out);
    for (std::string line; std::getline(lines, line);) {
      // "-rw-r--r-- root/root 5924 2026-12-08 06:52 ./usr/share/...[ -> target]"
      const std::size_t at = line.find(" ./");
      if (at == std::string::npos || line[0] == 'd') continue;
      std::string path = line.substr(at + 1);
      if (const std::size_t arrow = path.find(" -> "); arrow != std::string::npos)
        path.resize(arrow);
      paths.insert(path);
    }
    return paths;
  }

  std::string Field(const std::string& name) {
    const ProgramRun field = RunProgram("/usr/bin/dpkg-deb", {"--field", Deb().string(), name});
    EXPECT_EQ(field.status, 0) << field.err;
    return field.out;
  }
};

TEST_F(PackageContents, HoldsTheProgramsTheirPagesTheCompletionTheDesktopFilesAndTheDocuments) {
  const std::set<std::string> expected = {
      "./usr/bin/tessary",
      "./usr/bin/tessary-directory",
      "./usr/bin/tessary-setup",
      "./usr/libexec/tessary/tessary-wizard",
      "./usr/share/man/man1/tessary.1.gz",
      "./usr/share/man/man1/tessary-directory.1.gz",
      "./usr/share/man/man1/tessary-setup.1.gz",
      "./usr/share/bash-completion/completions/tessary",
      "./usr/share/bash-completion/completions/tessary-directory",
      "./usr/share/doc/tessary/copyright",
      "./usr/share/doc/tessary/changelog.Debian.gz",
      "./usr/share/applications/tessary.desktop",
      "./usr/share/icons/hicolor/scalable/apps/tessary.svg",
      "./usr/share/tessary/TY-Index.htm",
  };
  EXPECT_EQ(FileList(), expected);
  EXPECT_TRUE(std::filesystem::is_symlink(Root() /
                                          "usr/share/bash-completion/completions/tessary-directory"));
  EXPECT_TRUE(std::filesystem::is_regular_file(
      Root() / "usr/share/bash-completion/completions/tessary-directory"))
      << "the link resolves inside the package";
}

// Nothing installed names the folders it was built in: a program or page that did would
// point at files no installed machine has.
TEST_F(PackageContents, NoFileNamesTheBuildOrSourceFolder) {
  for (const std::string& path : FileList()) {
    EXPECT_EQ(path.find(TESSARY_BUILD_DIR), std::string::npos) << path;
    EXPECT_EQ(path.find(TESSARY_SOURCE_DIR), std::string::npos) << path;
  }
  // grep -z reads the binaries too; -a keeps it from stopping at their first NUL. Compressed
  // pages are read through zcat.
  const ProgramRun search = Bash(
      "root=$1; shift\n"
      "find \"$root\" -type f | while read -r file; do\n"
      "  case $file in *.gz) reader=zcat ;; *) reader=cat ;; esac\n"
      "  for folder in \"$@\"; do\n"
      "    \"$reader\" \"$file\" | grep -a -q -F -e \"$folder\" && echo \"$file names $folder\"\n"
      "  done\n"
      "done\n"
      "exit 0\n",
      {Root().string(), TESSARY_BUILD_DIR, TESSARY_SOURCE_DIR});
  EXPECT_EQ(search.status, 0) << search.err;
  EXPECT_EQ(search.out, "");
}

TEST_F(PackageContents, ControlFieldsAndDependenciesFromTheSharedLibraries) {
  EXPECT_EQ(Field("Package"), "tessary\n");
  EXPECT_EQ(Field("Version"), TESSARY_VERSION "-1\n");
  const std::string depends = Field("Depends");
  for (const char* library :
       {"libc6", "libstdc++6", "libsqlite3-0", "libicu", "libldap", "libqt6widgets6", "libqt6svg6"})
    EXPECT_NE(depends.find(library), std::string::npos) << library << " in " << depends;
  // The changelog's first entry is this version.
  const ProgramRun first =
      RunProgram("/bin/sh", {"-c", "zcat \"$1\" | head -n 1", "sh",
                             (Root() / "usr/share/doc/tessary/changelog.Debian.gz").string()});
  EXPECT_EQ(first.out.rfind("tessary (" TESSARY_VERSION "-1) ", 0), 0u) << first.out;
}

// lintian finds no error; the one warning left is listed in the README with its reason.
TEST_F(PackageContents, LintianFindsNoErrorAndOnlyTheKnownWarning) {
  TESSARY_REQUIRE_TOOL("lintian");
  const ProgramRun lintian = RunProgram("/usr/bin/lintian", {"--fail-on", "error", Deb().string()});
  EXPECT_EQ(lintian.status, 0) << lintian.out << lintian.err;
  std::istringstream lines(lintian.out);
  for (std::string line; std::getline(lines, line);) {
    EXPECT_NE(line.rfind("E: ", 0), 0u) << line;
    if (line.rfind("W: ", 0) == 0) {
      EXPECT_NE(line.find("initial-upload-closes-no-bugs"), std::string::npos) << line;
    }
  }
}

}  // namespace
}  // namespace tessary::testing
