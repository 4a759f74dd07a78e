#pragma once
// A rehearsal against a directory that must not be written (a server): what the entries of a
// checked import file touch is read from it into a new embedded directory, where the run then
// goes exactly as it would on the server. Read are the objects the entries name (by DN or GUID,
// their GUIDs kept), their containers up to the domain, their present groups, the groups of
// memberOf columns, the targets of moves and renames, and whatever already holds a DN or an
// account name (sAMAccountName, userPrincipalName) that an entry would give. The source's
// connection refuses every write from the start, so nothing of this can change it.

#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "directory/ds/directory.h"
#include "import/import_engine.h"
#include "support/bvk_error.h"

namespace tessary {

// What a rehearsal says when Ctrl-C stopped its copy.
inline constexpr char kRehearsalCancelled[] = "The rehearsal was cancelled.";

class RehearsalSource {
 public:
  // source: a connection that only this rehearsal uses. engine: its file checked against the
  // source (CheckImportFile, ValidateImportLines).
  RehearsalSource(ds::Directory& source, CImportEngine& engine)
      : source_(source), engine_(engine) {}

  // Creates the embedded directory file at path (which must not exist) with the source's
  // domain and copies into it what the file touches. Fails, with the message in error, when the
  // source cannot be kept from writing, cannot be read, or the copy cannot be made, and with
  // kRehearsalCancelled once Ctrl-C came while a platform::ScopedInterruptCatcher
  // is alive.
  [[nodiscard]] bool CopyTo(const std::string& path, CBVKError& error);

  // Where the copy may not behave as the source would, one sentence each.
  const std::vector<std::string>& Caveats() const { return caveats_; }

 private:
  // Adds the object to the set to copy and returns its DN as the source spells it; empty when
  // the source has no such object. Asks the source once per DN.
  std::string Want(const std::string& dn);
  // What a real run would collide with: an object at dn, looked for in a batched search.
  void WantIfThere(const std::string& dn);
  // The DN of the object with that GUID (any of the forms an import file gives); empty when
  // the source has none.
  std::string DnOfGuid(const std::string& guid);
  // Sets the copy's schema against the server's for the file's columns: fails when the copy
  // lacks one of them; a differing definition is a caveat.
  bool CheckSchema(CBVKError& error);
  // Reads the entries' objects, groups, targets and namesakes; false with the message.
  bool CollectFromEntries(const std::vector<EntryValues>& entries, CBVKError& error);
  // Finds, in searches of many terms each, the objects that hold the DNs the entries create,
  // rename or move onto, and the account names they give.
  bool CollectNamesakes(CBVKError& error);
  // Fails when the source cannot read the object; what the copy refuses is a caveat.
  bool CopyObject(const std::string& dn, CBVKError& error);
  void CopyMemberships();
  void CheckPasswordPolicy();
  // The attributes read from the source for every object.
  std::vector<std::string> AttributeNames() const;
  void Note(const std::string& caveat);
  // The file's columns that name attributes.
  std::vector<std::string> ColumnAttributes() const;

  ds::Directory& source_;
  CImportEngine& engine_;
  std::unique_ptr<ds::Directory> copy_;
  std::string domain_dn_;
  // The objects to copy by their DnKey, with the DN the source gave.
  std::map<std::string, std::string> wanted_;
  // Whose present groups are read: the objects the entries name.
  std::set<std::string> named_;
  // (member DN, group DN) as the source has them.
  std::vector<std::pair<std::string, std::string>> memberships_;
  // The DNs Want asked the source about (by DnKey), with its answer (empty: none there).
  std::map<std::string, std::string> looked_up_;
  // (attribute, value) pairs whose holders a real run would collide with.
  std::vector<std::pair<std::string, std::string>> namesakes_;
  std::vector<std::string> caveats_;
};

}  // namespace tessary
