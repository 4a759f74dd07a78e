#pragma once
// The undo file of an import run. Before an entry changes an object, what it will change is read;
// once the change is made, the entry's inverse is appended to the undo file: Create becomes
// Delete, Modify a Modify with the previous values (and the previous name when it renamed),
// Move and Delete a Move back to the previous container. Every inverse names its object by
// objectGUID, so it finds the object wherever the run left it; a new object that joined groups
// leaves them before it goes. The undo file is an import file
// like any other, created private to its owner and written one line at a time, so a run cut
// short leaves the inverse of every entry it applied. Passwords are never read nor written: the
// entries that set one are listed in the summary instead.

#include <cstddef>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "import/import_column.h"
#include "import/import_directory.h"
#include "support/bvk_error.h"
#include "support/bvk_file_util.h"

namespace tessary {

class ImportUndo {
 public:
  // Where an object was before an entry moved it, found before the move.
  struct Place {
    std::string guid;  // as an export writes it: "{xxxxxxxx-...}"
    std::string parent;
    std::string rdn;  // "CN=Name"
  };
  // The values a Modify entry will change, read before it is applied: the undo file's line with
  // the object's present values, and the name to go back to if the entry renames it.
  struct Previous {
    std::string guid;
    std::vector<std::string> line;
    std::string name;
    std::string dn;
  };

  // What the run did to one entry's object, kept for a rehearsal's change set.
  struct Record {
    enum class Action { kCreated, kModified, kMoved, kFailed };
    int entry_number = 0;
    Action action = Action::kFailed;
    std::string guid;
    std::string dn;  // before the entry
    std::vector<std::string> entry;
    Previous previous;      // kModified
    bool renamed = false;   // kModified
    std::string container;  // kMoved: where it went
    std::string message;    // kFailed
  };
  // Whether the run's records are kept, and every column read for them.
  enum class Rehearsal { kNo, kYes };

  // columns: the import file's column table; modes: every entry's mode, upper-cased, which
  // decides the columns the undo file needs.
  ImportUndo(ImportDirectory& directory, const std::vector<CImportColumn>& columns,
             const std::vector<std::string>& modes, Rehearsal rehearsal = Rehearsal::kNo);

  // Creates the file and writes its header line. Never replaces an existing file, which may be
  // the only way back from an earlier run; fails with "Could not create the undo file ...".
  [[nodiscard]] bool Begin(const std::string& path, CBVKError& error);

  // Reads what a Modify entry will change on the open object; fails with the directory's
  // message, and then the entry must not be applied.
  [[nodiscard]] bool ReadPrevious(ds::Object& object, const std::string& dn,
                                  const std::vector<std::string>& entry, Previous* previous,
                                  CBVKError& error);
  // Reads the object's GUID and container before a Delete or Move; fails as ReadPrevious.
  [[nodiscard]] bool ReadPlace(const std::string& dn, Place* place, CBVKError& error);

  // Append the inverse of an applied entry; each fails only when the file cannot be written.
  [[nodiscard]] bool Created(ds::Object& object, const std::string& dn,
                             const std::vector<std::string>& entry, CBVKError& error);
  [[nodiscard]] bool Modified(const Previous& previous, bool renamed, int entry_number,
                              CBVKError& error);
  // The object now lies in container.
  [[nodiscard]] bool Moved(const Place& place, const std::string& container, CBVKError& error);

  // The entry being applied, counted from 1.
  void SetEntry(int entry_number, const std::vector<std::string>& entry) {
    entry_number_ = entry_number;
    entry_ = entry;
  }
  // Notes a failed entry (rehearsals only).
  void EntryFailed(const std::string& message);
  const std::vector<Record>& Records() const { return records_; }
  const std::vector<std::string>& Header() const { return header_; }
  // The entry's value in the import file's column of that name.
  std::string ImportValue(const std::vector<std::string>& entry, const std::string& name) const;

  // Notes an entry that set a password, which no undo file can give back.
  void PasswordSet(int entry_number, const std::string& dn);
  // The summary's lines about the undo file: its path, how to import it, the passwords it cannot
  // restore, and objects changed twice.
  std::string SummaryText() const;

 private:
  // The position of a column in the undo file's header, -1 when it has none.
  int Index(const std::string& name) const;

  bool Append(const std::vector<std::string>& line, CBVKError& error);
  // A new record of the entry being applied, kept in a rehearsal.
  Record& Keep(Record::Action action, const std::string& guid, const std::string& dn);
  std::vector<std::string> EmptyLine(const char* mode, const std::string& guid,
                                     const std::string& dn) const;

  ImportDirectory& directory_;
  CBVKFileUtil files_;
  std::string path_;
  std::vector<std::string> header_;
  // The undo file's ordinary attribute columns, which a Modify inverse fills.
  std::vector<CImportColumn> attributes_;
  std::map<std::string, std::size_t> import_index_;
  // Whether some inverse gives the values of a multi-valued attribute, which only restores them
  // when the undo file is imported with values overwritten.
  bool restores_multivalued_ = false;
  // Objects whose way back is written already: the first inverse of an object restores it as it
  // was before the run, so a later entry on the same object adds nothing.
  std::set<std::string> placed_;
  std::set<std::string> modified_;
  std::set<std::string> created_;
  std::map<int, std::string> passwords_;
  Rehearsal rehearsal_;
  int entry_number_ = 0;
  std::vector<std::string> entry_;
  std::vector<Record> records_;
  Record scratch_;
  std::map<int, std::string> changed_twice_;
};

}  // namespace tessary
