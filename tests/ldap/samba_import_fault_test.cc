// `tessary import` against the DC through a relay that cuts the connection at random moments:
// after the run and one import of its error file, the directory holds exactly what the file
// meant, every entry either applied or in the error file with its message.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <map>

#include "cli/run_program.h"
#include "cutting_proxy.h"
#include "samba_fixture.h"

namespace tessary::ds::ldap {
namespace {

using testing::CuttingProxy;
using testing::ProgramRun;
using testing::SambaDirectoryTest;

constexpr int kExisting = 600;  // objects the fault run modifies, deletes and moves
constexpr int kEntries = 1000;  // entries of the fault run

// A delete moves the object into the domain's LostAndFound, which every run shares: names
// carry the run's own tag.
std::string Name(char prefix, const std::string& tag, int i) {
  char number[8];
  std::snprintf(number, sizeof number, "%04d", i);
  return prefix + tag + "-" + number;
}

class SambaImportFault : public SambaDirectoryTest {
 protected:
  ProgramRun Import(const std::string& uri, const std::string& file) {
    return testing::RunProgram(
        TESSARY_PROGRAM, {"--directory", uri, "import", file, "--error-folder", Path("errors")});
  }
  std::string Path(const std::string& name) const { return (machine_.Root() / name).string(); }

  // cn to description of the contacts directly below dn.
  std::map<std::string, std::string> Contents(const std::string& dn) {
    std::map<std::string, std::string> contents;
    std::unique_ptr<Object> container;
    EXPECT_EQ(directory_->Bind("LDAP://" + dn, &container), S_OK);
    SearchRequest request;
    request.filter = "(objectClass=contact)";
    request.columns = {"cn", "description"};
    request.scope = SearchScope::kOneLevel;
    std::unique_ptr<SearchCursor> cursor;
    EXPECT_EQ(container->ExecuteSearch(request, &cursor), S_OK);
    for (HRESULT hr = cursor->GetFirstRow(); hr == S_OK; hr = cursor->GetNextRow()) {
      Attribute cn, description;
      EXPECT_EQ(cursor->GetColumn("cn", &cn), S_OK);
      std::string text = cursor->GetColumn("description", &description) == S_OK
                             ? *description.values.at(0).string()
                             : std::string("(none)");
      EXPECT_TRUE(contents.emplace(*cn.values.at(0).string(), text).second);
    }
    return contents;
  }
};

TEST_F(SambaImportFault, AnImportCutAtRandomEndsInTheIntendedStateAfterOneReimport) {
  const char* seed_text = std::getenv("TESSARY_FAULT_SEED");
  const std::uint32_t seed =
      seed_text != nullptr ? static_cast<std::uint32_t>(std::strtoul(seed_text, nullptr, 10)) : 14;
  const std::string from = "OU=From," + ou_dn_, to = "OU=To," + ou_dn_;
  const std::string tag = ou_name_.substr(1, 12);
  for (const char* name : {"OU=From", "OU=To"}) {
    std::unique_ptr<Object> ou = BindOu(), made;
    ASSERT_EQ(ou->Create("organizationalUnit", name, &made), S_OK);
    ASSERT_EQ(made->SetInfo(), S_OK);
  }
  const std::string header = "distinguishedName,mode,objectClass,description\r\n";
  std::string setup = header;
  for (int i = 0; i < kExisting; ++i) {
    setup += "\"CN=" + Name('C', tag, i) + "," + from + "\",Create,contact,old " +
             std::to_string(i) + "\r\n";
  }
  testing::WriteFileText(Path("setup.csv"), setup);
  ProgramRun prepared = Import(Uri(), Path("setup.csv"));
  ASSERT_EQ(prepared.status, 0) << prepared.out << prepared.err;

  // Interleaved, so that cuts fall on every mode: 400 creates, 200 modifies and 200 deletes in
  // one file; the 200 moves in a file of their own (a container column allows only moves).
  std::map<std::string, std::string> want_from, want_to;
  std::string writes = header;
  std::string moves = "distinguishedName,mode,container\r\n";
  int created = 0, modified = 0, deleted = 0, moved = 0;
  for (int i = 0; i < kEntries; ++i) {
    const std::string in_from = "," + from + "\"";
    switch (i % 5) {
      case 0:
      case 1: {
        const std::string cn = Name('N', tag, created);
        const std::string description = "new " + std::to_string(created++);
        writes += "\"CN=" + cn + in_from + ",Create,contact," + description + "\r\n";
        want_from[cn] = description;
        break;
      }
      case 2: {
        const int k = modified++;
        const std::string description = "changed " + std::to_string(k);
        writes += "\"CN=" + Name('C', tag, k) + in_from + ",Modify,," + description + "\r\n";
        want_from[Name('C', tag, k)] = description;
        break;
      }
      case 3:
        writes += "\"CN=" + Name('C', tag, 200 + deleted++) + in_from + ",Delete,,\r\n";
        break;
      case 4: {
        const int k = 400 + moved++;
        moves += "\"CN=" + Name('C', tag, k) + in_from + ",Move,\"" + to + "\"\r\n";
        want_to[Name('C', tag, k)] = "old " + std::to_string(k);
        break;
      }
    }
  }
  testing::WriteFileText(Path("writes.csv"), writes);
  testing::WriteFileText(Path("moves.csv"), moves);

  const std::map<std::string, int> entries = {{"writes.csv", created + modified + deleted},
                                               {"moves.csv", moved}};
  for (const char* file : {"writes.csv", "moves.csv"}) {
    int cuts = 0;
    ProgramRun run;
    const auto start = std::chrono::steady_clock::now();
    {
      CuttingProxy proxy(dc_.Var("TESSARY_SAMBA_ADDRESS"), 636);
      proxy.CutRandomly(seed, std::chrono::milliseconds(100), std::chrono::milliseconds(700), 60);
      // A fast run may end within the second the first cut waits for after the bind: with
      // every answer held, each file's run lasts more than 1.6 s on any machine.
      proxy.DelayAnswers(std::chrono::milliseconds(1600 / entries.at(file)));
      run = Import(proxy.Uri("ldaps"), Path(file));
      cuts = proxy.Cuts();
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << file << ": seed " << seed << ", " << cuts << " cuts, " << seconds << " s\n"
              << run.out << "\n";
    ASSERT_TRUE(run.status == 0 || run.status == 3) << run.out << run.err;
    EXPECT_GT(cuts, 0);

    const std::string marker = "Error file: ";
    const std::size_t at = run.out.find(marker);
    if (run.status == 0) {
      EXPECT_EQ(at, std::string::npos);
      continue;
    }
    ASSERT_NE(at, std::string::npos) << run.out;
    std::string errors = run.out.substr(at + marker.size());
    errors = errors.substr(0, errors.find('\n'));
    const std::string text = testing::ReadFileText(errors);
    // Every failed entry carries its message in the last column.
    std::size_t line_start = text.find("\r\n") + 2;
    int failed = 0;
    while (line_start < text.size()) {
      const std::size_t line_end = text.find("\r\n", line_start);
      const std::string line = text.substr(line_start, line_end - line_start);
      EXPECT_TRUE(line.ends_with("\"") && !line.ends_with(",\"\"")) << line;
      ++failed;
      line_start = line_end == std::string::npos ? text.size() : line_end + 2;
    }
    std::cout << failed << " entries in the error file, the first: "
              << text.substr(0, text.find("\r\n", text.find("\r\n") + 2)) << "\n";
    ProgramRun again = Import(Uri(), errors);
    EXPECT_EQ(again.status, 0) << again.out << again.err;
  }
  EXPECT_EQ(Contents(from), want_from);
  EXPECT_EQ(Contents(to), want_to);
}

}  // namespace
}  // namespace tessary::ds::ldap
