#pragma once
// The change set of a rehearsed import: what each entry did to its object (created, modified
// attribute by attribute, renamed, moved, deleted into LostAndFound) or the message it failed
// with, read back from the copy of the directory that the rehearsal ran on. Shown as text lines
// and written as a comma-delimited report.

#include <string>
#include <vector>

#include "import/import_directory.h"
#include "import/import_undo.h"
#include "support/bvk_error.h"

namespace tessary {

struct ImportChange {
  int entry_number = 0;
  std::string action;  // "create", "modify", "rename", "move", "delete", "fail"
  std::string dn;
  std::string attribute;
  std::string old_values;  // joined with "%", as in an import file
  std::string new_values;
  std::string message;
};

// Reads the present state of every object the recorded run changed; fails with the directory's
// message when one cannot be read.
[[nodiscard]] bool BuildChangeSet(ImportUndo& record, ImportDirectory& directory,
                                  std::vector<ImportChange>* changes, CBVKError& error);
// One line per entry ("Entry 3: modify CN=...") and one indented line per attribute.
std::vector<std::string> ChangeSetText(const std::vector<ImportChange>& changes);
// The report's lines: a header line, then one line per change.
std::vector<std::string> ChangeSetReport(const std::vector<ImportChange>& changes);

}  // namespace tessary
