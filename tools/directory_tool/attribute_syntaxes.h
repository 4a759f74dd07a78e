#pragma once
// What the tool needs to know of each attribute of the connected directory's schema: its syntax
// (to turn LDIF text into a typed value) and whether the directory maintains it itself.

#include <map>
#include <string>

#include "directory/ds/directory.h"
#include "directory/ds/value.h"

namespace tessary::tools {

struct AttributeSyntax {
  int om_syntax = 0;
  std::string attribute_syntax;
  bool system_only = false;
  int link_id = 0;
  int system_flags = 0;

  // Values the directory writes itself: system-only, computed back links, constructed.
  bool MaintainedByDirectory() const {
    return system_only || (link_id % 2 == 1) || (system_flags & 0x4) != 0;
  }
  bool ForwardLink() const { return link_id > 0 && link_id % 2 == 0; }
};

class AttributeSyntaxes {
 public:
  // Reads every attributeSchema entry below the schema naming context of RootDSE. Fails with a
  // sentence and the directory's explanation.
  [[nodiscard]] bool Load(ds::Directory& directory, std::string* error);
  void Add(const std::string& name, AttributeSyntax syntax);
  // The attribute's entry (names compare without case), or null.
  const AttributeSyntax* Find(const std::string& name) const;
  size_t size() const { return by_name_.size(); }

 private:
  std::map<std::string, AttributeSyntax> by_name_;  // lower-case names
};

// The typed value of an LDIF value of an attribute with that syntax (null: not in the schema,
// taken as text). Fails with a reason for text that does not fit the syntax.
[[nodiscard]] bool ValueFromLdif(const AttributeSyntax* syntax, const std::string& text,
                                 ds::Value* value, std::string* reason);
// The LDIF form of a directory value: numbers in decimal, booleans TRUE/FALSE, times as
// generalized time ("20240131235959.0Z"), octet strings as their bytes.
std::string LdifFromValue(const ds::Value& value);

}  // namespace tessary::tools
