// The manual pages: each renders without a warning, and names everything that its program's
// --help names (commands, options, environment variables, files) and every exit status.

#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "unpacked_package.h"

namespace tessary::testing {
namespace {

struct Page {
  const char* program;
  std::vector<std::vector<std::string>> help_runs;  // the arguments of each help text
  std::vector<std::string> commands;
  std::vector<std::string> exit_statuses;
};

const std::vector<Page>& Pages() {
  static const std::vector<Page> kPages = {
      {"tessary",
       {{"--help"}, {"export", "--help"}, {"header", "--help"}, {"import", "--help"}},
       {"export", "header", "import"},
       {"0", "2", "3", "130"}},
      {"tessary-directory",
       {{"--help"}},
       {"provision", "load", "dump", "info", "classes", "attributes", "help"},
       {"0", "2"}},
      {"tessary-setup", {{"--help"}}, {}, {"0", "1", "2"}},
  };
  return kPages;
}

// The words of a help text that the page must name: options, environment variables and file
// names.
std::set<std::string> NamedIn(const std::string& help) {
  std::set<std::string> words;
  static const std::regex kPatterns[] = {
      std::regex(R"((?:^|[\s\[|(,])(--?[a-z][a-z-]*))"),
      std::regex(R"(\b([A-Z][A-Z0-9]*_[A-Z0-9_]+)\b)"),
      std::regex(R"(([A-Za-z][A-Za-z0-9_-]*\.(?:dat|db|conf|txt|csv|log)|ldaprc)\b)"),
  };
  for (const std::regex& pattern : kPatterns) {
    for (auto it = std::sregex_iterator(help.begin(), help.end(), pattern);
         it != std::sregex_iterator(); ++it)
      words.insert((*it)[1]);
  }
  return words;
}

class ManPages : public UnpackedPackageTest {
 protected:
  std::string PagePath(const Page& page) const {
    return (Root() / "usr/share/man/man1" / (std::string(page.program) + ".1.gz")).string();
  }

  // The page as text, wide and without hyphenation, so that every name stays whole.
  std::string Rendered(const Page& page) const {
    const ProgramRun run =
        RunProgram("/usr/bin/man", {"-l", "--nh", "--nj", PagePath(page)},
                   {{"MANWIDTH", "200"}, {"LC_ALL", "C.UTF-8"}, {"MAN_KEEP_FORMATTING", ""}});
    EXPECT_EQ(run.status, 0) << run.err;
    return run.out;
  }
};

TEST_F(ManPages, EachPageRendersWithoutWarnings) {
  TESSARY_REQUIRE_TOOL("man");
  for (const Page& page : Pages()) {
    const ProgramRun run = RunProgram(
        "/bin/sh", {"-c", "MANWIDTH=80 man -l --warnings \"$1\" 2>&1 >/dev/null", "sh",
                    PagePath(page)},
        {{"LC_ALL", "C.UTF-8"}});
    EXPECT_EQ(run.status, 0) << page.program;
    EXPECT_EQ(run.out, "") << page.program;
    const std::string text = Rendered(page);
    for (const char* section :
         {"NAME", "SYNOPSIS", "DESCRIPTION", "ENVIRONMENT", "FILES", "EXIT STATUS", "EXAMPLES"})
      EXPECT_NE(text.find("\n" + std::string(section) + "\n"), std::string::npos)
          << page.program << " has no section " << section;
  }
}

TEST_F(ManPages, EveryNameOfTheHelpIsOnThePage) {
  TESSARY_REQUIRE_TOOL("man");
  for (const Page& page : Pages()) {
    const std::string text = Rendered(page);
    std::set<std::string> names(page.commands.begin(), page.commands.end());
    for (const auto& args : page.help_runs) {
      const ProgramRun help = Run(page.program, args);
      ASSERT_EQ(help.status, 0) << page.program << " " << args.front();
      names.merge(NamedIn(help.out));
    }
    EXPECT_GT(names.size(), 5u) << page.program;
    for (const std::string& name : names) {
      EXPECT_TRUE(std::regex_search(text, std::regex("(^|[^A-Za-z0-9_-])" +
                                                     std::regex_replace(name, std::regex(R"([.])"),
                                                                        R"(\.)") +
                                                     "($|[^A-Za-z0-9_-])")))
          << page.program << "(1) does not name " << name << ", which its --help names: add it to "
          << "doc/man/" << page.program << ".1.scd";
    }
    const std::size_t exit = text.find("\nEXIT STATUS\n");
    ASSERT_NE(exit, std::string::npos) << page.program;
    const std::string statuses = text.substr(exit, text.find("\nEXAMPLES\n") - exit);
    for (const std::string& status : page.exit_statuses)
      EXPECT_TRUE(std::regex_search(statuses, std::regex("\n +" + status + "\n")))
          << page.program << "(1) does not list the exit status " << status;
  }
}

}  // namespace
}  // namespace tessary::testing
