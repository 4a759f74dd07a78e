#pragma once
// Applies LDIF records to a directory through the directory service interface, one record at a
// time, each in one commit: an add is one SetInfo of the new object, a modify one SetInfo of all
// its sections, a rename one MoveHere, a delete one Delete. A record that fails leaves nothing
// of itself behind.

#include <iosfwd>
#include <string>

#include "attribute_syntaxes.h"
#include "directory/ds/directory.h"
#include "directory/ds/ldif.h"

namespace tessary::tools {

class LdifLoader {
 public:
  LdifLoader(ds::Directory& directory, const AttributeSyntaxes& syntaxes)
      : directory_(directory), syntaxes_(syntaxes) {}

  // Applies one record. Content records (no changetype, as dump writes them) are added without
  // the values the directory maintains itself (objectGUID, objectSid, whenCreated, back links);
  // an explicit "changetype: add" sends every value. Fails with
  // "Line <n>: Could not ... '<dn>'.\n<explanation> (<code>)" (without the line for records
  // built in code).
  [[nodiscard]] bool Apply(const ds::LdifRecord& record, std::string* error);

 private:
  bool Add(const ds::LdifRecord& record, std::string* error);
  bool Delete(const ds::LdifRecord& record, std::string* error);
  bool Modify(const ds::LdifRecord& record, std::string* error);
  bool Rename(const ds::LdifRecord& record, std::string* error);
  bool ToValues(const std::string& attribute, const std::vector<std::string>& texts,
                ds::Values* values, std::string* reason) const;

  ds::Directory& directory_;
  const AttributeSyntaxes& syntaxes_;
};

// Loads the records of an LDIF stream in order and stops at the first that is malformed or
// fails; loaded counts the records applied before it. The message names the line.
[[nodiscard]] bool LoadLdif(std::istream& in, ds::Directory& directory,
                            const AttributeSyntaxes& syntaxes, int* loaded, std::string* error);

}  // namespace tessary::tools
