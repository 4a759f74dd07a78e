#pragma once
// LDIF (RFC 2849), read and written on streams: content records and change records (add,
// delete, modify with its add/delete/replace sections, modrdn/moddn), base64 values ("::"),
// folded lines and comments. Values are kept as raw bytes; the writer base64-encodes every value
// that is not a safe string (binary data, non-ASCII text, leading or trailing spaces).

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessary::ds {

enum class LdifChange { kContent, kAdd, kDelete, kModify, kModRdn };

struct LdifAttribute {
  std::string name;                 // the attribute description as written
  std::vector<std::string> values;  // raw bytes, in file order
  friend bool operator==(const LdifAttribute&, const LdifAttribute&) = default;
};

enum class LdifModOp { kAdd, kDelete, kReplace };

struct LdifModification {
  LdifModOp op = LdifModOp::kReplace;
  std::string attribute;
  std::vector<std::string> values;  // none: delete every value, or replace with nothing
  friend bool operator==(const LdifModification&, const LdifModification&) = default;
};

struct LdifRecord {
  int line = 0;  // the line of the record's "dn:" (0 for records built in code)
  std::string dn;
  LdifChange change = LdifChange::kContent;
  std::vector<LdifAttribute> attributes;        // content and add records
  std::vector<LdifModification> modifications;  // modify records
  std::string new_rdn;                          // modrdn records
  bool delete_old_rdn = false;
  std::optional<std::string> new_superior;

  friend bool operator==(const LdifRecord& a, const LdifRecord& b) {
    return a.dn == b.dn && a.change == b.change && a.attributes == b.attributes &&
           a.modifications == b.modifications && a.new_rdn == b.new_rdn &&
           a.delete_old_rdn == b.delete_old_rdn && a.new_superior == b.new_superior;
  }
};

// Reads records one at a time, so a file of any size is never held whole.
class LdifReader {
 public:
  explicit LdifReader(std::istream& in);

  // The next record. False at the end of the input (error() empty) or at a malformed record:
  // error() then says "Line <n>: <reason>." and the record is not returned; reading stops there.
  [[nodiscard]] bool Next(LdifRecord* record);
  const std::string& error() const { return error_; }

 private:
  enum class LineKind { kText, kBlank, kEnd };
  struct Line {
    int number = 0;
    std::string text;
  };

  bool NextPhysical(std::string* line);
  LineKind NextLogical(Line* line);
  bool Fail(int line, const std::string& reason);

  std::istream& in_;
  int physical_number_ = 0;
  std::optional<std::string> lookahead_;
  bool started_ = false;
  bool failed_ = false;
  std::string error_;
};

// Every record of an LDIF text; on a malformed record nothing is returned and error holds
// "Line <n>: <reason>.".
[[nodiscard]] bool ParseLdif(std::string_view text, std::vector<LdifRecord>* records,
                             std::string* error);
// The same for a file; a file that cannot be opened gives "Could not open the file '<path>'.".
[[nodiscard]] bool ReadLdifFile(const std::string& path, std::vector<LdifRecord>* records,
                                std::string* error);

// Writes "version: 1" and then records, each followed by a blank line; lines longer than 76
// characters are folded.
class LdifWriter {
 public:
  explicit LdifWriter(std::ostream& out) : out_(out) {}
  void WriteVersion();
  void Write(const LdifRecord& record);
  // False once the stream has failed (disk full, closed pipe): what was written is incomplete.
  bool ok() const;

 private:
  void WriteLine(const std::string& line);
  void WriteValue(std::string_view name, std::string_view value);

  std::ostream& out_;
};

// The LDIF text of records, with the version line.
std::string FormatLdif(const std::vector<LdifRecord>& records);

// True when a value cannot be written as a plain LDIF string and needs base64.
bool LdifNeedsBase64(std::string_view value);

}  // namespace tessary::ds
