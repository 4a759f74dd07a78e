#include "directory/ds/ldif.h"

#include <gtest/gtest.h>

#include <sstream>

#include "test_support.h"

namespace tessary::ds {
namespace {

std::vector<LdifRecord> Parse(std::string_view text) {
  std::vector<LdifRecord> records;
  std::string error;
  EXPECT_TRUE(ParseLdif(text, &records, &error)) << error;
  return records;
}

std::string ParseError(std::string_view text) {
  std::vector<LdifRecord> records{LdifRecord{}};
  std::string error;
  EXPECT_FALSE(ParseLdif(text, &records, &error));
  EXPECT_EQ(records.size(), 1u) << "a failing parse returns nothing";
  return error;
}

TEST(LdifReaderTest, ReadsContentRecords) {
  auto records = Parse(
      "version: 1\n"
      "# the first user\n"
      "dn: CN=Ann Lee,OU=Staff,DC=example,DC=com\n"
      "objectClass: top\n"
      "objectClass: user\n"
      "givenName: Ann\n"
      "description:\n"
      "objectClass: person\n"
      "\n"
      "\n"
      "dn: CN=Bo,DC=example,DC=com\r\n"
      "cn: Bo\r\n");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].line, 3);
  EXPECT_EQ(records[0].dn, "CN=Ann Lee,OU=Staff,DC=example,DC=com");
  EXPECT_EQ(records[0].change, LdifChange::kContent);
  ASSERT_EQ(records[0].attributes.size(), 3u);
  EXPECT_EQ(records[0].attributes[0], (LdifAttribute{"objectClass", {"top", "user", "person"}}));
  EXPECT_EQ(records[0].attributes[1], (LdifAttribute{"givenName", {"Ann"}}));
  EXPECT_EQ(records[0].attributes[2], (LdifAttribute{"description", {""}}));
  EXPECT_EQ(records[1].line, 11);
  EXPECT_EQ(records[1].attributes[0], (LdifAttribute{"cn", {"Bo"}}));
}

TEST(LdifReaderTest, UnfoldsLinesAndDecodesBase64) {
  auto records = Parse(
      "dn: CN=Long,DC=exa\n"
      " mple,DC=com\n"
      "description: one two\n"
      "  three\n"
      "objectSid:: AQUAAAAAAAUVAAAA\n"
      "# a comment that is\n"
      " folded\n"
      "sn:: w4Vyw7hk\n"
      "dn-ish;lang-en: x\n");
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].dn, "CN=Long,DC=example,DC=com");
  EXPECT_EQ(records[0].attributes[0].values[0], "one two three");
  EXPECT_EQ(records[0].attributes[1].values[0],
            std::string("\x01\x05\x00\x00\x00\x00\x00\x05\x15\x00\x00\x00", 12));
  EXPECT_EQ(records[0].attributes[2].values[0],
            "\xC3\x85r\xC3\xB8"
            "d");
  EXPECT_EQ(records[0].attributes[3].name, "dn-ish;lang-en");
}

TEST(LdifReaderTest, ReadsChangeRecords) {
  auto records = Parse(
      "dn: CN=New,DC=example,DC=com\n"
      "changetype: add\n"
      "objectClass: contact\n"
      "\n"
      "dn: CN=Old,DC=example,DC=com\n"
      "changetype: delete\n"
      "\n"
      "dn: CN=Ann,DC=example,DC=com\n"
      "changetype: modify\n"
      "add: telephoneNumber\n"
      "telephoneNumber: +1 555 0100\n"
      "telephoneNumber: +1 555 0101\n"
      "-\n"
      "delete: description\n"
      "-\n"
      "replace: title\n"
      "title: Engineer\n"
      "-\n"
      "replace: info\n"
      "\n"
      "dn: CN=Ann,DC=example,DC=com\n"
      "changetype: modrdn\n"
      "newrdn: CN=Anna\n"
      "deleteoldrdn: 1\n"
      "newsuperior: OU=Staff,DC=example,DC=com\n");
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[0].change, LdifChange::kAdd);
  EXPECT_EQ(records[0].attributes[0], (LdifAttribute{"objectClass", {"contact"}}));
  EXPECT_EQ(records[1].change, LdifChange::kDelete);
  EXPECT_TRUE(records[1].attributes.empty());
  ASSERT_EQ(records[2].change, LdifChange::kModify);
  ASSERT_EQ(records[2].modifications.size(), 4u);
  EXPECT_EQ(records[2].modifications[0],
            (LdifModification{LdifModOp::kAdd, "telephoneNumber", {"+1 555 0100", "+1 555 0101"}}));
  EXPECT_EQ(records[2].modifications[1], (LdifModification{LdifModOp::kDelete, "description", {}}));
  EXPECT_EQ(records[2].modifications[2],
            (LdifModification{LdifModOp::kReplace, "title", {"Engineer"}}));
  EXPECT_EQ(records[2].modifications[3], (LdifModification{LdifModOp::kReplace, "info", {}}))
      << "the last '-' may be left out";
  EXPECT_EQ(records[3].change, LdifChange::kModRdn);
  EXPECT_EQ(records[3].new_rdn, "CN=Anna");
  EXPECT_TRUE(records[3].delete_old_rdn);
  EXPECT_EQ(records[3].new_superior, "OU=Staff,DC=example,DC=com");
}

TEST(LdifReaderTest, StreamsRecordsAndStopsAtTheBadOne) {
  std::istringstream in(
      "dn: CN=A,DC=x\ncn: A\n\n"
      "dn: CN=B,DC=x\ncn B\n\n"
      "dn: CN=C,DC=x\ncn: C\n");
  LdifReader reader(in);
  LdifRecord record;
  ASSERT_TRUE(reader.Next(&record));
  EXPECT_EQ(record.dn, "CN=A,DC=x");
  EXPECT_FALSE(reader.Next(&record));
  EXPECT_EQ(reader.error(), "Line 5: expected 'name: value'.");
  EXPECT_EQ(record.dn, "CN=A,DC=x") << "the bad record is not handed out";
  EXPECT_FALSE(reader.Next(&record)) << "reading stops at the first bad record";
}

TEST(LdifReaderTest, EmptyInputHasNoRecords) {
  EXPECT_TRUE(Parse("").empty());
  EXPECT_TRUE(Parse("version: 1\n\n# nothing else\n").empty());
}

TEST(LdifReaderTest, BadInputGivesTheLineAndReason) {
  EXPECT_EQ(ParseError("version: 2\n"), "Line 1: unsupported LDIF version '2'.");
  EXPECT_EQ(ParseError("cn: x\n"), "Line 1: a record must begin with 'dn:'.");
  EXPECT_EQ(ParseError("\n\n continued\n"),
            "Line 3: a continuation line must follow another line.");
  EXPECT_EQ(ParseError("dn: CN=A\nsn x\n"), "Line 2: expected 'name: value'.");
  EXPECT_EQ(ParseError("dn: CN=A\n1bad: x\n"), "Line 2: invalid attribute name '1bad'.");
  EXPECT_EQ(ParseError("dn: CN=A\nphoto:: AB$=\n"),
            "Line 2: the base64 value of 'photo' is not valid base64.");
  EXPECT_EQ(ParseError("dn: CN=A\nphoto:< file:///etc/passwd\n"),
            "Line 2: values read from a URL ('photo:<') are not supported.");
  EXPECT_EQ(ParseError("dn: CN=A\nchangetype: rename\n"), "Line 2: unknown changetype 'rename'.");
  EXPECT_EQ(ParseError("dn: CN=A\ncontrol: 1.2.840.113556.1.4.805\nchangetype: delete\n"),
            "Line 2: controls are not supported.");
  EXPECT_EQ(ParseError("dn: CN=A\nchangetype: delete\ncn: A\n"),
            "Line 3: a delete record takes no further lines.");
  EXPECT_EQ(ParseError("dn: CN=A\nchangetype: add\n"),
            "Line 1: the record for 'CN=A' has no attributes.");
  EXPECT_EQ(ParseError("dn: CN=A\nchangetype: modify\nmail: a@b\n-\n"),
            "Line 3: expected 'add:', 'delete:' or 'replace:' in a modify record.");
  EXPECT_EQ(ParseError("dn: CN=A\nchangetype: modify\nreplace: mail\nsn: A\n-\n"),
            "Line 4: the section for 'mail' holds a value of 'sn'.");
  EXPECT_EQ(ParseError("dn: CN=A\nchangetype: modify\n"),
            "Line 1: the modify record for 'CN=A' changes nothing.");
  EXPECT_EQ(ParseError("dn: CN=A\nchangetype: modrdn\nnewrdn: CN=B\ndeleteoldrdn: yes\n"),
            "Line 4: deleteoldrdn must be 0 or 1.");
  EXPECT_EQ(ParseError("dn: CN=A\nchangetype: modrdn\ndeleteoldrdn: 0\n"),
            "Line 1: the modrdn record has no newrdn.");
  EXPECT_EQ(ParseError("dn: CN=A\ncn: A\n\ndn: CN=B\ncn: B\n\ndn: CN=C\n\n"),
            "Line 7: the record for 'CN=C' has no attributes.")
      << "line numbers count through earlier records";
}

TEST(LdifWriterTest, WritesBase64OnlyWhereNeeded) {
  EXPECT_FALSE(LdifNeedsBase64("plain text, with: colons"));
  EXPECT_FALSE(LdifNeedsBase64(""));
  EXPECT_TRUE(LdifNeedsBase64(" leading space"));
  EXPECT_TRUE(LdifNeedsBase64("trailing space "));
  EXPECT_TRUE(LdifNeedsBase64(":colon first"));
  EXPECT_TRUE(LdifNeedsBase64("<angle first"));
  EXPECT_TRUE(LdifNeedsBase64("two\nlines"));
  EXPECT_TRUE(LdifNeedsBase64("caf\xC3\xA9"));
  EXPECT_TRUE(LdifNeedsBase64(std::string("a\0b", 3)));

  LdifRecord record;
  record.dn = "CN=Zoë,DC=example,DC=com";
  record.attributes = {
      {"cn", {"Zoë"}}, {"sn", {"Lee"}}, {"objectGUID", {std::string("\0\xff", 2)}}};
  EXPECT_EQ(FormatLdif({record}),
            "version: 1\n\n"
            "dn:: Q049Wm/DqyxEQz1leGFtcGxlLERDPWNvbQ==\n"
            "cn:: Wm/Dqw==\n"
            "sn: Lee\n"
            "objectGUID:: AP8=\n"
            "\n");
}

TEST(LdifWriterTest, FoldsLongLinesAt76Columns) {
  LdifRecord record;
  record.dn = "CN=A,DC=example,DC=com";
  record.attributes = {{"description", {std::string(200, 'x')}}};
  const std::string text = FormatLdif({record});
  std::istringstream lines(text);
  std::string line;
  int folded = 0;
  while (std::getline(lines, line)) {
    EXPECT_LE(line.size(), 76u);
    if (!line.empty() && line[0] == ' ') ++folded;
  }
  EXPECT_EQ(folded, 2);
  EXPECT_EQ(Parse(text), std::vector<LdifRecord>{record});
}

TEST(LdifRoundTripTest, EveryKindOfRecordSurvivesWritingAndReading) {
  std::string binary;
  for (int i = 0; i < 256; ++i) binary += static_cast<char>(i);
  LdifRecord content;
  content.dn = "CN=Ünïcödé Üser,OU=Staff,DC=example,DC=com";
  content.attributes = {{"objectClass", {"top", "person", "organizationalPerson", "user"}},
                        {"displayName", {"Ünïcödé Üser — 名前"}},
                        {"description", {std::string(300, 'd') + " end"}},
                        {"objectSid", {binary}},
                        {"info", {" spaced ", "line one\r\nline two", ""}}};
  LdifRecord add;
  add.dn = "CN=Contact,DC=example,DC=com";
  add.change = LdifChange::kAdd;
  add.attributes = {{"objectClass", {"contact"}}};
  LdifRecord remove;
  remove.dn = "CN=Gone,DC=example,DC=com";
  remove.change = LdifChange::kDelete;
  LdifRecord modify;
  modify.dn = "CN=Ann,DC=example,DC=com";
  modify.change = LdifChange::kModify;
  modify.modifications = {{LdifModOp::kAdd, "member", {"CN=A,DC=x", "CN=B,DC=x"}},
                          {LdifModOp::kDelete, "description", {}},
                          {LdifModOp::kReplace, "jpegPhoto", {binary}}};
  LdifRecord rename;
  rename.dn = "CN=Ann,DC=example,DC=com";
  rename.change = LdifChange::kModRdn;
  rename.new_rdn = "CN=Anna";
  rename.delete_old_rdn = true;
  rename.new_superior = "OU=Ünits,DC=example,DC=com";

  const std::vector<LdifRecord> records{content, add, remove, modify, rename};
  const std::string text = FormatLdif(records);
  EXPECT_EQ(Parse(text), records);
  EXPECT_EQ(FormatLdif(Parse(text)), text) << "writing what was read gives the same text";
}

TEST(LdifFileTest, ReadsAFileAndNamesAMissingOne) {
  testing::ScopedMachine machine;
  const auto path = machine.Root() / "in.ldif";
  testing::WriteFileText(path, "dn: CN=A,DC=x\ncn: A\n");
  std::vector<LdifRecord> records;
  std::string error;
  ASSERT_TRUE(ReadLdifFile(path.string(), &records, &error)) << error;
  ASSERT_EQ(records.size(), 1u);
  EXPECT_FALSE(ReadLdifFile((machine.Root() / "missing.ldif").string(), &records, &error));
  EXPECT_EQ(error, "Could not open the file '" + (machine.Root() / "missing.ldif").string() + "'.");
}

}  // namespace
}  // namespace tessary::ds
