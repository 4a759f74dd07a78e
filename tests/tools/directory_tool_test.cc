// tessary-directory run as a program, as a user runs it, against directory files of a private
// machine.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <set>

#include "attribute_syntaxes.h"
#include "directory/ds/embedded/schema_definition.h"
#include "directory/ds/ldif.h"
#include "test_support.h"

namespace tessary::tools {
namespace {

struct ToolRun {
  int status = -1;
  std::string out, err;
};

class DirectoryToolTest : public testing::MachineTest {
 protected:
  ToolRun Tool(const std::vector<std::string>& args) {
    const auto out_path = machine_.Root() / "stdout.txt", err_path = machine_.Root() / "stderr.txt";
    std::vector<std::string> argv{TESSARY_DIRECTORY_TOOL};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> pointers;
    for (auto& arg : argv) pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
      const int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      const int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      dup2(out, 1);
      dup2(err, 2);
      execv(pointers[0], pointers.data());
      _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ToolRun run;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = testing::ReadFileText(out_path);
    run.err = testing::ReadFileText(err_path);
    return run;
  }

  std::string Db(const char* name = "directory.db") { return (machine_.Root() / name).string(); }

  std::string WriteLdif(const char* name, const std::string& text) {
    const auto path = machine_.Root() / name;
    testing::WriteFileText(path, text);
    return path.string();
  }

  // The records of a dump, without the values the directory writes itself, which differ from
  // one directory to the next (GUIDs, SIDs, times, update numbers, back links).
  static std::string Comparable(const std::string& dump) {
    std::set<std::string> maintained;
    for (const auto& a : ds::embedded::BuiltinSchema().attributes) {
      AttributeSyntax syntax;
      syntax.system_only = a.system_only;
      syntax.link_id = a.link_id;
      syntax.system_flags = a.system_flags;
      if (syntax.MaintainedByDirectory()) maintained.insert(a.ldap_display_name);
    }
    maintained.insert("pwdLastSet");  // the time of the password change
    std::vector<ds::LdifRecord> records;
    std::string error;
    EXPECT_TRUE(ds::ParseLdif(dump, &records, &error)) << error;
    for (auto& record : records) {
      std::erase_if(record.attributes,
                    [&](const ds::LdifAttribute& a) { return maintained.count(a.name) > 0; });
      std::erase_if(record.modifications,
                    [&](const ds::LdifModification& m) { return maintained.count(m.attribute); });
    }
    return ds::FormatLdif(records);
  }
};

const char kTestLdif[] =
    "version: 1\n"
    "\n"
    "dn: OU=Test,DC=example,DC=com\n"
    "changetype: add\n"
    "objectClass: organizationalUnit\n"
    "description: Loaded from LDIF\n"
    "\n"
    "dn: CN=Zoë Müller,OU=Test,DC=example,DC=com\n"
    "changetype: add\n"
    "objectClass: user\n"
    "sAMAccountName: zmuller\n"
    "givenName: Zoë\n"
    "sn: Müller\n"
    "displayName: Zoë Müller\n"
    "description: a long description that is folded over more than one line so that\n"
    "  the reader has to join it again\n"
    "jpegPhoto:: /9j/4AAQSkZJRgABAQAAAQABAAD/\n"
    "telephoneNumber: +1 206 555 0100\n"
    "\n"
    "dn: CN=Ann Lee,OU=Test,DC=example,DC=com\n"
    "changetype: add\n"
    "objectClass: contact\n"
    "mail: ann.lee@example.org\n"
    "\n"
    "dn: CN=Test Group,OU=Test,DC=example,DC=com\n"
    "changetype: add\n"
    "objectClass: group\n"
    "sAMAccountName: Test Group\n"
    "member: CN=Zoë Müller,OU=Test,DC=example,DC=com\n"
    "\n"
    "dn: CN=Zoë Müller,OU=Test,DC=example,DC=com\n"
    "changetype: modify\n"
    "replace: title\n"
    "title: Engineer\n"
    "-\n"
    "add: otherTelephone\n"
    "otherTelephone: +1 206 555 0101\n"
    "otherTelephone: +1 206 555 0102\n"
    "-\n"
    "\n"
    "dn: CN=Ann Lee,OU=Test,DC=example,DC=com\n"
    "changetype: modrdn\n"
    "newrdn: CN=Ann Lee-Park\n"
    "deleteoldrdn: 1\n"
    "\n"
    "dn: CN=Temporary,OU=Test,DC=example,DC=com\n"
    "changetype: add\n"
    "objectClass: contact\n"
    "\n"
    "dn: CN=Temporary,OU=Test,DC=example,DC=com\n"
    "changetype: delete\n";

TEST_F(DirectoryToolTest, HelpAndBadUsage) {
  ToolRun run = Tool({"--help"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out.rfind("usage: tessary-directory [--directory PATH] <command> [options]\n", 0),
            0u);
  run = Tool({"frobnicate"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err,
            "tessary-directory: unknown command 'frobnicate'\n"
            "Try 'tessary-directory --help'.\n");
  run = Tool({"--directory", Db(), "provision"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "tessary-directory: provision needs --domain NAME\n");
  run = Tool({"--directory", Db(), "provision", "--domain", "localhost"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err,
            "tessary-directory: 'localhost' is not a DNS domain name such as example.com\n");
}

TEST_F(DirectoryToolTest, ProvisionsTheSampleIntoTheDefaultFile) {
  ToolRun run = Tool({"provision", "--domain", "example.com", "--sample"});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto file = machine_.DataHome() / "brenvik" / "directory.db";
  EXPECT_TRUE(std::filesystem::exists(file));
  EXPECT_NE(run.out.find("Provisioned the domain example.com (DC=example,DC=com) in " +
                         file.string() + ".\n"),
            std::string::npos);
  EXPECT_NE(run.out.find("300 users (100 with a mailbox)"), std::string::npos) << run.out;

  run = Tool({"info"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("Directory file: " + file.string() + "\n"), std::string::npos);
  EXPECT_NE(run.out.find("Domain: example.com (DC=example,DC=com)\n"), std::string::npos);
  EXPECT_NE(run.out.find("  with a mailbox: 100\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("  Contacts: 40\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("  Computers: 42\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("  Organizational units: 13\n"), std::string::npos)
      << "the sample's and Domain Controllers\n"
      << run.out;

  // The large group's members come back in full in a dump.
  run = Tool({"dump", "--base", "CN=All Staff,OU=Groups,DC=example,DC=com"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<ds::LdifRecord> records;
  std::string error;
  ASSERT_TRUE(ds::ParseLdif(run.out, &records, &error)) << error;
  ASSERT_EQ(records.size(), 2u) << "the group, then its members";
  ASSERT_EQ(records[1].modifications.size(), 1u);
  EXPECT_EQ(records[1].modifications[0].attribute, "member");
  EXPECT_EQ(records[1].modifications[0].values.size(), 300u);
}

TEST_F(DirectoryToolTest, AForestHoldsSeveralSampleDomainsAndDumpsWhole) {
  ASSERT_EQ(Tool({"--directory", Db(), "provision", "--domain", "example.com", "--sample"}).status,
            0);
  ToolRun run = Tool({"--directory", Db(), "provision", "--domain", "other.org", "--sample"});
  ASSERT_EQ(run.status, 0) << run.err << "the Exchange organisation is shared, not made twice";
  run = Tool({"--directory", Db(), "info"});
  ASSERT_EQ(run.status, 0) << run.err;
  const size_t other = run.out.find("Domain: other.org (DC=other,DC=org)\n");
  ASSERT_NE(other, std::string::npos) << run.out;
  EXPECT_NE(run.out.find("  with a mailbox: 100\n", other), std::string::npos) << run.out;
  const size_t at = run.out.find("Schema: ");
  ASSERT_NE(at, std::string::npos);
  const int schema_attributes = std::stoi(run.out.substr(at + 8));

  run = Tool({"--directory", Db(), "dump"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<ds::LdifRecord> records;
  std::string error;
  ASSERT_TRUE(ds::ParseLdif(run.out, &records, &error)) << error;
  std::set<std::string> dns;
  int attribute_entries = 0;
  for (const auto& record : records) {
    EXPECT_TRUE(
        dns.insert(record.dn + (record.change == ds::LdifChange::kModify ? "+" : "")).second)
        << "written once: " << record.dn;
    for (const auto& attribute : record.attributes)
      if (attribute.name == "objectClass" && attribute.values.back() == "attributeSchema")
        ++attribute_entries;
  }
  EXPECT_EQ(attribute_entries, schema_attributes) << "the schema naming context is in the dump";
  for (const char* dn :
       {"DC=example,DC=com", "DC=other,DC=org", "CN=Configuration,DC=example,DC=com",
        "CN=Mailbox Store (MAIL01),CN=First Storage Group,CN=InformationStore,"
        "CN=MAIL01,CN=Servers,CN=First Administrative Group,CN=Administrative "
        "Groups,CN=First Organization,CN=Microsoft Exchange,CN=Services,"
        "CN=Configuration,DC=example,DC=com"})
    EXPECT_TRUE(dns.count(dn)) << dn;

  run = Tool({"--directory", Db(), "provision", "--domain", "third.org", "--schema-from",
              machine_.Root().string()});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "The directory file '" + Db() +
                         "' exists already; --schema-from applies to a new file only.\n");
}

TEST_F(DirectoryToolTest, SampleIsTheSameInEveryFile) {
  ASSERT_EQ(
      Tool({"--directory", Db("a.db"), "provision", "--domain", "example.com", "--sample"}).status,
      0);
  ASSERT_EQ(
      Tool({"--directory", Db("b.db"), "provision", "--domain", "example.com", "--sample"}).status,
      0);
  const ToolRun a =
      Tool({"--directory", Db("a.db"), "dump", "--base", "OU=Staff,DC=example,DC=com"});
  const ToolRun b =
      Tool({"--directory", Db("b.db"), "dump", "--base", "OU=Staff,DC=example,DC=com"});
  ASSERT_EQ(a.status, 0) << a.err;
  ASSERT_EQ(b.status, 0) << b.err;
  EXPECT_EQ(Comparable(a.out), Comparable(b.out));
}

TEST_F(DirectoryToolTest, LoadsLdifAndDumpsItBack) {
  ASSERT_EQ(Tool({"--directory", Db(), "provision", "--domain", "example.com"}).status, 0);
  const std::string file = WriteLdif("test.ldif", kTestLdif);
  ToolRun run = Tool({"--directory", Db(), "load", file});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "Loaded 8 records from " + file + ".\n");

  run = Tool({"--directory", Db(), "dump", "--base", "OU=Test,DC=example,DC=com"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string dump = run.out;
  EXPECT_EQ(dump.rfind("version: 1\n", 0), 0u);
  // UTF-8 and binary values are written in base64; folded lines are joined again.
  EXPECT_NE(dump.find("displayName:: Wm/DqyBNw7xsbGVy\n"), std::string::npos) << dump;
  EXPECT_NE(dump.find("jpegPhoto:: /9j/4AAQSkZJRgABAQAAAQABAAD/\n"), std::string::npos);
  EXPECT_NE(dump.find("objectGUID:: "), std::string::npos);
  std::vector<ds::LdifRecord> records;
  std::string error;
  ASSERT_TRUE(ds::ParseLdif(dump, &records, &error)) << error;
  std::set<std::string> dns;
  for (const auto& record : records) dns.insert(record.dn);
  EXPECT_TRUE(dns.count("CN=Ann Lee-Park,OU=Test,DC=example,DC=com")) << "renamed";
  EXPECT_FALSE(dns.count("CN=Ann Lee,OU=Test,DC=example,DC=com"));
  EXPECT_FALSE(dns.count("CN=Temporary,OU=Test,DC=example,DC=com")) << "deleted";
  size_t longest = 0;
  for (size_t start = 0, end; start < dump.size(); start = end + 1) {
    end = dump.find('\n', start);
    longest = std::max(longest, end - start);
  }
  EXPECT_EQ(longest, 76u) << "long lines are folded at 76 columns";
  bool joined = false;
  for (const auto& record : records)
    for (const auto& attribute : record.attributes)
      joined |= attribute.name == "description" &&
                attribute.values[0] ==
                    "a long description that is folded over more than one line so that the "
                    "reader has to join it again";
  EXPECT_TRUE(joined);
  EXPECT_NE(dump.find("otherTelephone: +1 206 555 0102\n"), std::string::npos);

  // The dump loads into another directory and dumps the same there.
  ASSERT_EQ(Tool({"--directory", Db("copy.db"), "provision", "--domain", "example.com"}).status, 0);
  const std::string dump_file = WriteLdif("dump.ldif", dump);
  run = Tool({"--directory", Db("copy.db"), "load", dump_file});
  ASSERT_EQ(run.status, 0) << run.err;
  run = Tool({"--directory", Db("copy.db"), "dump", "--base", "OU=Test,DC=example,DC=com"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Comparable(run.out), Comparable(dump));
}

TEST_F(DirectoryToolTest, BadLdifStopsWithItsLineAndLoadsNothingOfIt) {
  ASSERT_EQ(Tool({"--directory", Db(), "provision", "--domain", "example.com"}).status, 0);
  const std::string file = WriteLdif("bad.ldif",
                                     "dn: OU=A,DC=example,DC=com\n"
                                     "changetype: add\n"
                                     "objectClass: organizationalUnit\n"
                                     "\n"
                                     "dn: OU=B,DC=example,DC=com\n"
                                     "changetype: add\n"
                                     "objectClass: organizationalUnit\n"
                                     "description this line has no colon\n");
  ToolRun run = Tool({"--directory", Db(), "load", file});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "Could not load the file '" + file +
                         "'.\nLine 8: expected 'name: value'.\n"
                         "The 1 records before it were loaded.\n");
  EXPECT_EQ(Tool({"--directory", Db(), "dump", "--base", "OU=A,DC=example,DC=com"}).status, 0);
  EXPECT_EQ(Tool({"--directory", Db(), "dump", "--base", "OU=B,DC=example,DC=com"}).status, 2);
}

TEST_F(DirectoryToolTest, ARefusedRecordLeavesNothingBehind) {
  ASSERT_EQ(Tool({"--directory", Db(), "provision", "--domain", "example.com"}).status, 0);
  const std::string file = WriteLdif("refused.ldif",
                                     "dn: CN=Half,DC=example,DC=com\n"
                                     "changetype: add\n"
                                     "objectClass: contact\n"
                                     "description: would be written first\n"
                                     "noSuchAttribute: refused\n");
  ToolRun run = Tool({"--directory", Db(), "load", file});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err.rfind("Could not load the file '" + file +
                              "'.\nLine 1: Could not add the object 'CN=Half,DC=example,DC=com'.\n",
                          0),
            0u)
      << run.err;
  EXPECT_EQ(Tool({"--directory", Db(), "dump", "--base", "CN=Half,DC=example,DC=com"}).status, 2);

  const std::string second = WriteLdif("second.ldif",
                                       "dn: CN=Users,DC=example,DC=com\n"
                                       "changetype: modify\n"
                                       "replace: description\n"
                                       "description: changed\n"
                                       "-\n"
                                       "replace: userAccountControl\n"
                                       "userAccountControl: not a number\n"
                                       "-\n");
  run = Tool({"--directory", Db(), "load", second});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "Could not load the file '" + second +
                         "'.\nLine 1: Could not modify the object 'CN=Users,DC=example,DC=com'.\n"
                         "The value of 'userAccountControl' is not valid: 'not a number' is not a "
                         "32-bit integer.\n");
  run = Tool({"--directory", Db(), "dump", "--base", "CN=Users,DC=example,DC=com"});
  EXPECT_EQ(run.out.find("description: changed"), std::string::npos) << "nothing of the record";
}

// A schema class changes only when the load asks for schema updates, and is never deleted, so
// the file always opens again.
TEST_F(DirectoryToolTest, SchemaObjectsChangeOnlyWithSchemaUpdateAndAreNeverDeleted) {
  ASSERT_EQ(Tool({"--directory", Db(), "provision", "--domain", "example.com"}).status, 0);
  const std::string person = "CN=Person,CN=Schema,CN=Configuration,DC=example,DC=com";
  const std::string change = WriteLdif("change.ldif", "dn: " + person +
                                                          "\n"
                                                          "changetype: modify\n"
                                                          "replace: adminDescription\n"
                                                          "adminDescription: people\n"
                                                          "-\n");
  ToolRun run = Tool({"--directory", Db(), "load", change});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("Could not modify the object '" + person + "'."), std::string::npos)
      << run.err;
  run = Tool({"--directory", Db(), "load", change, "--schema-update"});
  EXPECT_EQ(run.status, 0) << run.err;

  const std::string remove = WriteLdif("remove.ldif", "dn: " + person + "\nchangetype: delete\n");
  run = Tool({"--directory", Db(), "load", remove, "--schema-update"});
  EXPECT_EQ(run.status, 2);
  run = Tool({"--directory", Db(), "dump", "--base", person});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("adminDescription: people"), std::string::npos) << run.out;
}

TEST_F(DirectoryToolTest, MissingAndForeignFilesAreNamed) {
  ToolRun run = Tool({"--directory", Db("missing.db"), "info"});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find(Db("missing.db")), std::string::npos) << run.err;
  testing::WriteFileText(Db("foreign.db"), "not a directory file\n");
  run = Tool({"--directory", Db("foreign.db"), "info"});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find(Db("foreign.db")), std::string::npos) << run.err;
  EXPECT_EQ(testing::ReadFileText(Db("foreign.db")), "not a directory file\n") << "untouched";
  run = Tool({"--directory", Db(), "load", Db("no.ldif")});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "Could not open the file '" + Db("no.ldif") + "'.\n");
}

// The lines of a listing.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
       start = end + 1)
    lines.push_back(text.substr(start, end - start));
  return lines;
}

// The class names listed are those of the schema, sorted and each once, and follow a schema
// change; a file that is not there is named, not created.
TEST_F(DirectoryToolTest, ClassesListsTheSchemasClassNames) {
  ToolRun run = Tool({"--directory", Db(), "classes"});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find(Db()), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(Db()));

  ASSERT_EQ(Tool({"--directory", Db(), "provision", "--domain", "example.com"}).status, 0);
  run = Tool({"--directory", Db(), "classes"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> names = Lines(run.out);
  EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
  EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end());
  for (const char* name : {"User", "Group", "Contact", "Computer", "Organizational-Unit", "Person"})
    EXPECT_TRUE(std::binary_search(names.begin(), names.end(), name)) << name;
  EXPECT_GT(names.size(), 30u);

  const std::string rename =
      WriteLdif("rename.ldif",
                "dn: CN=Person,CN=Schema,CN=Configuration,DC=example,DC=com\n"
                "changetype: modify\n"
                "replace: adminDisplayName\n"
                "adminDisplayName: Human-Being\n"
                "-\n");
  ASSERT_EQ(Tool({"--directory", Db(), "load", rename, "--schema-update"}).status, 0);
  run = Tool({"--directory", Db(), "classes"});
  EXPECT_NE(run.out.find("\nHuman-Being\n"), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("\nPerson\n"), std::string::npos) << run.out;
}

TEST_F(DirectoryToolTest, AttributesListsTheSchemasLdapDisplayNames) {
  EXPECT_EQ(Tool({"--directory", Db(), "attributes"}).status, 2);
  EXPECT_FALSE(std::filesystem::exists(Db()));
  ASSERT_EQ(Tool({"--directory", Db(), "provision", "--domain", "example.com"}).status, 0);
  const ToolRun run = Tool({"--directory", Db(), "attributes"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> names = Lines(run.out);
  EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
  EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end());
  for (const char* name : {"sAMAccountName", "mail", "member", "description", "objectGUID"})
    EXPECT_TRUE(std::binary_search(names.begin(), names.end(), name)) << name;
  EXPECT_FALSE(std::binary_search(names.begin(), names.end(), "SAM-Account-Name"))
      << "LDAP display names, not common names";
  std::size_t schema_attributes = 0;
  const std::string info = Tool({"--directory", Db(), "info"}).out;
  ASSERT_NE(info.find("Schema: "), std::string::npos) << info;
  schema_attributes = std::stoul(info.substr(info.find("Schema: ") + 8));
  EXPECT_EQ(names.size(), schema_attributes);
}

TEST_F(DirectoryToolTest, SchemaFromMicrosoftsFiles) {
  {
    ToolRun run = Tool({"--directory", Db(), "provision", "--domain", "example.com",
                        "--schema-from", machine_.Root().string()});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.rfind("Could not find Microsoft's schema files in the folder", 0), 0u);
    EXPECT_FALSE(std::filesystem::exists(Db()));
  }
  const char kFolder[] = "/usr/share/samba/setup/ad-schema";
  TESSARY_REQUIRE_PREREQUISITE(
      std::filesystem::exists(std::string(kFolder) + "/MS-AD_Schema_2K8_R2_Attributes.txt"),
      "Microsoft's schema files are not installed (Debian package samba-ad-provision)");
  ToolRun run = Tool({"--directory", Db(), "provision", "--domain", "example.com", "--schema-from",
                      kFolder, "--sample"});
  ASSERT_EQ(run.status, 0) << run.err;
  run = Tool({"--directory", Db(), "info"});
  ASSERT_EQ(run.status, 0) << run.err;
  const size_t at = run.out.find("Schema: ");
  ASSERT_NE(at, std::string::npos);
  EXPECT_GE(std::stoi(run.out.substr(at + 8)), 1300) << run.out;
}

}  // namespace
}  // namespace tessary::tools
