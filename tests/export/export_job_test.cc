#include "export/export_job.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "directory/dn.h"
#include "export_fixture.h"
#include "import/split_values.h"

namespace tessary::testing {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "every line ends with CR LF";
    if (end == std::string::npos) break;
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  SplitValues(line, kLineSeparator, fields);
  return fields;
}

class ExportJobTest : public ExportTest {
 protected:
  CExportJob Job(const std::string& file, std::vector<std::string> attributes = {}) {
    CExportJob job(*domain_);
    job.ClassName = "User";
    job.Container = &unit_node_;
    job.OutputFile = Path(file);
    job.Attributes = std::move(attributes);
    return job;
  }
  void SetUp() override {
    ExportTest::SetUp();
    unit_node_.SetDirectory(directory_.get());
    unit_node_.DistinguishedName = unit_;
    unit_node_.Name = unit_name_;
  }
  std::string ShownMessage() const {
    return ui_.Messages().empty() ? std::string() : ui_.Messages().back().text;
  }

  CExContainer unit_node_;
  CountingProgressHost host_;
};

TEST_F(ExportJobTest, WithoutAttributesTheFileHasTheTwoFixedColumns) {
  const std::string dn = AddUser("Ann Example");
  CExportJob job = Job("out.csv");
  ASSERT_EQ(job.RunWithProgress(host_, nullptr), 1) << job.Error().Text();
  const std::vector<std::string> lines = Lines(FileText("out.csv"));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "distinguishedName,objectGUID");
  const std::vector<std::string> fields = Fields(lines[1]);
  ASSERT_EQ(fields.size(), 2u);
  EXPECT_EQ(fields[0], dn);
  EXPECT_EQ(lines[1].substr(0, dn.size() + 2), "\"" + dn + "\"") << "a DN holds commas";
  EXPECT_EQ(fields[1].size(), 38u) << fields[1];  // {8-4-4-4-12}
  EXPECT_EQ(job.Error().Text(), "Export file '" + Path("out.csv") +
                                    "' completed successfully.\n1 'User' objects were exported.");
  EXPECT_TRUE(ui_.Messages().empty());
}

TEST_F(ExportJobTest, ValuesAreQuotedEscapedAndJoinedInTheFile) {
  AddUser("Bea", {{"description", {"Sales, Seattle office"}},
                  {"streetAddress", {"12 Main St\r\nSuite 4"}},
                  {"otherTelephone", {"a", "b"}}});
  CExportJob job = Job("out.csv", {"description", "streetAddress", "otherTelephone", "mail"});
  ASSERT_EQ(job.RunWithProgress(host_, nullptr), 1) << job.Error().Text();
  const std::vector<std::string> lines = Lines(FileText("out.csv"));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "distinguishedName,objectGUID,description,streetAddress,otherTelephone,mail");
  const std::string tail = ",\"Sales, Seattle office\",12 Main St\\r\\nSuite 4,a%b,";
  ASSERT_GE(lines[1].size(), tail.size());
  EXPECT_EQ(lines[1].substr(lines[1].size() - tail.size()), tail);
}

TEST_F(ExportJobTest, NoObjectWithoutSubcontainersLeavesTheHeaderLine) {
  CExportJob job = Job("out.csv", {"mail"});
  EXPECT_EQ(job.RunWithProgress(host_, nullptr), 0);
  const std::string message =
      "Could not locate any objects of the class 'User' in the container '" + unit_name_ + "'.";
  EXPECT_EQ(job.Error().Text(), message);
  ASSERT_EQ(ui_.Messages().size(), 1u);
  EXPECT_EQ(ui_.Messages()[0].text, message);
  EXPECT_EQ(ui_.Messages()[0].type & 0xF0, platform::kMbIconStop);
  EXPECT_EQ(FileText("out.csv"), "distinguishedName,objectGUID,mail\r\n");
}

TEST_F(ExportJobTest, NoObjectWithSubcontainersSaysSo) {
  Add("organizationalUnit", "OU=Empty");
  CExportJob job = Job("out.csv");
  job.IncludeSubcontainers = true;
  EXPECT_EQ(job.RunWithProgress(host_, nullptr), 0);
  EXPECT_EQ(job.Error().Text(),
            "Could not locate any objects of the class 'User' in the container '" + unit_name_ +
                " (including subcontainers)'.");
}

TEST_F(ExportJobTest, ObjectsOfOtherClassesAreNotExported) {
  Add("organizationalUnit", "OU=Only units here");
  CExportJob job = Job("out.csv");
  job.ClassName = "Organizational-Unit";
  ASSERT_EQ(job.RunWithProgress(host_, nullptr), 1) << job.Error().Text();
  EXPECT_EQ(Lines(FileText("out.csv")).size(), 2u);
}

TEST_F(ExportJobTest, SubcontainersAreSearchedAfterTheirParentInListOrder) {
  const std::string top = AddUser("Top");
  const std::string child_ou = Add("organizationalUnit", "OU=Child");
  const std::string deep_ou = Add("organizationalUnit", "OU=Deep", {}, child_ou);
  const std::string child = AddUser("In child", {}, child_ou);
  const std::string deep = AddUser("In deep", {}, deep_ou);

  CExportJob flat = Job("flat.csv");
  ASSERT_EQ(flat.RunWithProgress(host_, nullptr), 1) << flat.Error().Text();
  EXPECT_EQ(Lines(FileText("flat.csv")).size(), 2u) << "one level only";

  CExportJob walk = Job("walk.csv");
  walk.IncludeSubcontainers = true;
  ASSERT_EQ(walk.RunWithProgress(host_, nullptr), 1) << walk.Error().Text();
  const std::vector<std::string> lines = Lines(FileText("walk.csv"));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(Fields(lines[1])[0], top);
  EXPECT_EQ(Fields(lines[2])[0], child);
  EXPECT_EQ(Fields(lines[3])[0], deep);
  EXPECT_EQ(walk.Error().Text(), "Export file '" + Path("walk.csv") +
                                     "' completed successfully.\n3 'User' objects were exported.");
}

TEST_F(ExportJobTest, CountersAndStatusFollowEachContainer) {
  AddUser("One");
  AddUser("Two");
  const std::string child_ou = Add("organizationalUnit", "OU=Child");
  AddUser("Three", {}, child_ou);
  CExportJob job = Job("out.csv");
  job.IncludeSubcontainers = true;
  ASSERT_EQ(job.RunWithProgress(host_, nullptr), 1) << job.Error().Text();
  EXPECT_EQ(host_.Texts(1068), (std::vector<std::string>{"0", "1", "2", "0", "1"}));
  EXPECT_EQ(host_.Texts(1070), (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(host_.Texts(1080),
            (std::vector<std::string>{"Searching for objects in the container:\n" + unit_name_,
                                      "Searching for objects in the container:\nChild"}));
}

TEST_F(ExportJobTest, CancelAfterFortyObjectsReportsTheFortyWritten) {
  for (int i = 0; i < 45; ++i) AddUser("User " + std::to_string(i));
  host_.CancelAtTotal(40);
  CExportJob job = Job("out.csv");
  job.IncludeSubcontainers = true;
  ASSERT_EQ(job.RunWithProgress(host_, nullptr), 1) << job.Error().Text();
  EXPECT_EQ(job.Error().Text(), "Export file '" + Path("out.csv") +
                                    "' completed successfully.\n40 'User' objects were exported.");
  EXPECT_EQ(Lines(FileText("out.csv")).size(), 41u);
  EXPECT_TRUE(ui_.Messages().empty());
}

TEST_F(ExportJobTest, AHeaderLineThatCannotBeWrittenEndsTheRun) {
  AddUser("Ann");
  CExportJob job = Job("missing-folder/out.csv");
  EXPECT_EQ(job.RunWithProgress(host_, nullptr), 0);
  EXPECT_EQ(job.Error().Text(), "Could not write to the file '" + Path("missing-folder/out.csv") +
                                    "'\nThe system cannot find the file specified. (2)");
  ASSERT_EQ(ui_.Messages().size(), 1u);
  EXPECT_EQ(ui_.Messages()[0].text, job.Error().Text());
  EXPECT_TRUE(host_.Texts(1070).empty()) << "no search after the failure";
}

// Caps the size of files this process writes for its lifetime: writes past the cap fail with
// EFBIG, as on a full disk.
class FileSizeCap {
 public:
  explicit FileSizeCap(rlim_t bytes) {
    previous_signal_ = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit cap = previous_;
    cap.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &cap);
  }
  ~FileSizeCap() {
    setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previous_signal_);
  }

 private:
  rlimit previous_{};
  void (*previous_signal_)(int) = nullptr;
};

TEST_F(ExportJobTest, ADataLineThatCannotBeWrittenEndsThatContainerAndFailsTheRun) {
  const std::string first = AddUser("First");
  const std::string second = AddUser("Second");
  const std::string child_ou = Add("organizationalUnit", "OU=Child");
  AddUser("Third", {}, child_ou);
  CExportJob job = Job("out.csv");
  job.IncludeSubcontainers = true;
  std::int32_t result = -1;
  {
    // Room for the column line and one object's line, not for two.
    FileSizeCap cap(30 + 2 + first.size() + 2 + 38 + 2 + 10);
    result = job.RunWithProgress(host_, nullptr);
  }
  EXPECT_EQ(result, 0) << "a file with missing lines is no success";
  const std::string prefix = "Could not write to the file '" + Path("out.csv") + "'\n";
  EXPECT_EQ(job.Error().Text().rfind(prefix, 0), 0u) << job.Error().Text();
  ASSERT_EQ(ui_.Messages().size(), 2u) << "one message for each container whose search ended";
  EXPECT_EQ(ui_.Messages()[1].text, job.Error().Text());
  const std::vector<std::string> lines = Lines(FileText("out.csv"));
  ASSERT_EQ(lines.size(), 2u);
  // The directory returns the rows of one container in an order of its own.
  const std::string written = Fields(lines[1])[0];
  EXPECT_TRUE(written == first || written == second) << written;
  EXPECT_EQ(host_.Texts(1080).size(), 2u) << "the run went on with the next container";
}

TEST_F(ExportJobTest, AnExistingFileIsRewrittenFromTheBeginning) {
  WriteFileText(machine_.Root() / "out.csv", std::string(5000, '#'));
  AddUser("Ann");
  CExportJob job = Job("out.csv");
  ASSERT_EQ(job.RunWithProgress(host_, nullptr), 1) << job.Error().Text();
  EXPECT_EQ(FileText("out.csv").find('#'), std::string::npos);
  EXPECT_EQ(Lines(FileText("out.csv")).size(), 2u);
}

TEST_F(ExportJobTest, ChoicesAreSavedBeforeTheFileIsTouched) {
  CExportJob job = Job("out.csv");
  bool file_existed = true;
  job.SaveChoices = [&] { file_existed = std::filesystem::exists(Path("out.csv")); };
  EXPECT_EQ(job.RunWithProgress(host_, nullptr), 0);  // no object, but saved all the same
  EXPECT_FALSE(file_existed);
}

TEST_F(ExportJobTest, AnUnknownClassIsAFailure) {
  AddUser("Ann");
  CExportJob job = Job("out.csv");
  job.ClassName = "No-Such-Class";
  EXPECT_EQ(job.RunWithProgress(host_, nullptr), 0);
  EXPECT_EQ(job.Error().Text(), "Could not locate information for the schema class No-Such-Class.");
}

TEST_F(ExportJobTest, TheDomainWalksItsTopLevelContainers) {
  const std::string dn = AddUser("Deep in the domain");
  CExportJob job = Job("out.csv");
  job.Container = domain_.get();
  job.IncludeSubcontainers = true;
  ASSERT_EQ(job.RunWithProgress(host_, nullptr), 1) << job.Error().Text();
  EXPECT_NE(FileText("out.csv").find("\"" + dn + "\""), std::string::npos);
  EXPECT_EQ(host_.Texts(1080).front(), "Searching for objects in the container:\n" +
                                           DNToDomainName(domain_->DistinguishedName));
}

TEST_F(ExportJobTest, HeaderFileWithoutAttributesHoldsTheTwoColumns) {
  WriteFileText(machine_.Root() / "header.csv", "old,content\r\nmore\r\n");
  CExportJob job = Job("header.csv");
  ASSERT_EQ(job.WriteHeaderFile(), 1) << job.Error().Text();
  EXPECT_EQ(FileText("header.csv"), "distinguishedName,objectGUID\r\n");
  EXPECT_EQ(job.Error().Text(), "Header file '" + Path("header.csv") + "' completed successfully.");
}

TEST_F(ExportJobTest, HeaderFileNamesTheAttributesInOrder) {
  CExportJob job = Job("header.csv", {"sn", "givenName", "mail"});
  ASSERT_EQ(job.WriteHeaderFile(), 1) << job.Error().Text();
  EXPECT_EQ(FileText("header.csv"), "distinguishedName,objectGUID,sn,givenName,mail\r\n");
}

TEST_F(ExportJobTest, HeaderFileThatCannotBeWrittenIsShown) {
  CExportJob job = Job("missing-folder/header.csv");
  EXPECT_EQ(job.WriteHeaderFile(), 0);
  EXPECT_EQ(ShownMessage(), "Could not write to the file '" + Path("missing-folder/header.csv") +
                                "'\nThe system cannot find the file specified. (2)");
}

}  // namespace
}  // namespace tessary::testing
