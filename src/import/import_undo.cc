#include "import/import_undo.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "directory/dn.h"
#include "directory/ds/account_control.h"
#include "directory/ds/hex.h"
#include "directory/identifier_text.h"
#include "import/split_values.h"
#include "platform/hresult.h"

namespace tessary {
namespace {

constexpr const char* kRemoveValue = "~DEL";

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

// A line break inside a value is written as the four characters \r\n.
std::string FileText(std::string text) {
  for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
    text.replace(at, 2, "\\r\\n");
    at += 4;
  }
  return text;
}

// The value's text as the import reads it back; false for a kind no import column holds.
bool ValueText(const ds::Value& value, std::string* text) {
  if (const std::string* s = value.string()) {
    *text = FileText(*s);
  } else if (const std::int32_t* i = value.integer()) {
    *text = std::to_string(*i);
  } else if (const bool* b = value.boolean()) {
    *text = *b ? "TRUE" : "FALSE";
  } else if (const std::int64_t* l = value.large_integer()) {
    *text = std::to_string(*l);
  } else {
    return false;
  }
  return true;
}

std::string GuidText(const ds::Bytes& bytes) {
  return GuidBytesToText(bytes).value_or(std::string());
}

bool HasMode(const std::vector<std::string>& modes, const char* mode) {
  return std::find(modes.begin(), modes.end(), mode) != modes.end();
}

}  // namespace

ImportUndo::ImportUndo(ImportDirectory& directory, const std::vector<CImportColumn>& columns,
                       const std::vector<std::string>& modes, Rehearsal rehearsal)
    : directory_(directory), rehearsal_(rehearsal) {
  header_ = {"mode", "objectGUID", "distinguishedName"};
  const auto has_column = [&columns](const char* name) {
    return std::any_of(columns.begin(), columns.end(),
                       [name](const CImportColumn& column) { return column.Name == name; });
  };
  // A new object's groups are left by a Modify, and the object then moved into LostAndFound.
  const bool creates_members = HasMode(modes, "CREATE") && has_column("memberOf");
  // A rehearsal shows the values of new objects too.
  const bool shows_created = rehearsal == Rehearsal::kYes && HasMode(modes, "CREATE");
  if (HasMode(modes, "MODIFY") || creates_members || shows_created) {
    for (const CImportColumn& column : columns) {
      if (IsSpecialColumn(column.Name, Creating::No) || column.Name == "objectClass") continue;
      attributes_.push_back(column);
      header_.push_back(column.Name);
    }
    for (const char* name : {"cn", "memberOf", "accountDisabled"}) {
      if (has_column(name)) header_.push_back(name);
    }
  }
  if (HasMode(modes, "DELETE") || HasMode(modes, "MOVE") || creates_members) {
    header_.push_back("container");
  }
  for (std::size_t i = 0; i < columns.size(); ++i) import_index_[columns[i].Name] = i;
}

int ImportUndo::Index(const std::string& name) const {
  const auto at = std::find(header_.begin(), header_.end(), name);
  return at == header_.end() ? -1 : static_cast<int>(at - header_.begin());
}

std::string ImportUndo::ImportValue(const std::vector<std::string>& entry,
                                    const std::string& name) const {
  const auto at = import_index_.find(name);
  return at == import_index_.end() || at->second >= entry.size() ? std::string()
                                                                 : entry[at->second];
}

std::vector<std::string> ImportUndo::EmptyLine(const char* mode, const std::string& guid,
                                               const std::string& dn) const {
  std::vector<std::string> line(header_.size());
  line[0] = mode;
  line[1] = guid;
  line[2] = dn;
  return line;
}

bool ImportUndo::Begin(const std::string& path, CBVKError& error) {
  path_ = path;
  bool taken = false;
  if (!files_.CreateNewFile(path, &taken)) {
    error.SetText(files_.Error().Text());
    return false;
  }
  if (taken) {
    error.SetText("Could not create the undo file '" + path +
                  "'.\nA file of that name exists already; an undo file is never replaced, "
                  "since it may be the only way back from an earlier import.");
    return false;
  }
  return Append(header_, error);
}

bool ImportUndo::Append(const std::vector<std::string>& line, CBVKError& error) {
  if (files_.AppendLine(path_, JoinValues(line), CBVKFileUtil::Access::kOwnerOnly)) return true;
  error.SetText(files_.Error().Text());
  return false;
}

bool ImportUndo::ReadPrevious(ds::Object& object, const std::string& dn,
                              const std::vector<std::string>& entry, Previous* previous,
                              CBVKError& error) {
  const bool groups = !ImportValue(entry, "memberOf").empty();
  const bool account = !ImportValue(entry, "accountDisabled").empty();
  std::vector<std::string> names = {"objectGUID"};
  for (const CImportColumn& column : attributes_) names.push_back(column.Name);
  if (groups) names.push_back("memberOf");
  if (account) names.push_back("userAccountControl");
  std::vector<ds::Attribute> reply;
  if (const HRESULT hr = object.GetObjectAttributes(names, &reply); Failed(hr)) {
    error.SetText("Could not read the present values of the object '" + dn +
                  "' for the undo file.");
    error.SetADSIError(hr);
    return false;
  }
  const auto values_of = [&reply](const std::string& name) -> const ds::Values* {
    const std::string wanted = Lower(name);
    for (const ds::Attribute& attribute : reply) {
      if (Lower(attribute.name) == wanted) return &attribute.values;
    }
    return nullptr;
  };
  const ds::Values* guid = values_of("objectGUID");
  previous->guid = guid && guid->front().octets() ? GuidText(*guid->front().octets()) : "";
  if (previous->guid.empty()) {
    error.SetText("Could not read the objectGUID of the object '" + dn + "' for the undo file.");
    return false;
  }
  previous->dn = dn;
  previous->line = EmptyLine("Modify", previous->guid, dn);
  for (const CImportColumn& column : attributes_) {
    std::string& text = previous->line[Index(column.Name)];
    const ds::Values* values = values_of(column.Name);
    if (values == nullptr) {
      text = kRemoveValue;
      continue;
    }
    // The directory takes no time for pwdLastSet but "now" (-1) or "must change" (0).
    if (column.Name == "pwdLastSet") {
      const std::int64_t* stored = values->front().large_integer();
      text = stored && *stored == 0 ? "0" : "-1";
      continue;
    }
    std::vector<std::string> texts;
    for (const ds::Value& value : *values) {
      if (!ValueText(value, &texts.emplace_back())) {
        error.SetText("Could not write the value of the attribute '" + column.Name +
                      "' of the object '" + dn + "' to the undo file.");
        return false;
      }
    }
    // What an import of the undo file would read back must be these values exactly; where it
    // could not, the entry is better left unapplied than undone wrongly.
    const bool read_as_one = column.SingleValued || column.Name == "description";
    const bool holds_separator = std::any_of(texts.begin(), texts.end(), [](const std::string& t) {
      return t.find('%') != std::string::npos;
    });
    if (read_as_one ? texts.size() > 1 : holds_separator) {
      error.SetText("The undo file cannot hold the present values of the attribute '" +
                    column.Name + "' of the object '" + dn + "': " +
                    (read_as_one ? "an import gives it a single value, and it holds " +
                                       std::to_string(texts.size()) + "."
                                 : "a value holds a percent sign, which an import reads as the "
                                   "start of another value."));
      return false;
    }
    std::string joined;
    for (std::size_t i = 0; i < texts.size(); ++i) {
      joined += (i == 0 ? "" : "%") + texts[i];
    }
    text = joined;
    if (!column.SingleValued && column.Name != "description") restores_multivalued_ = true;
  }
  if (groups) {
    std::string text;
    if (const ds::Values* values = values_of("memberOf")) {
      for (const ds::Value& value : *values) {
        if (value.string()) text += (text.empty() ? "" : "%") + *value.string();
      }
      restores_multivalued_ = true;
    }
    previous->line[Index("memberOf")] = text.empty() ? kRemoveValue : text;
  }
  if (account) {
    const ds::Values* control = values_of("userAccountControl");
    const std::int32_t* flags = control ? control->front().integer() : nullptr;
    if (flags)
      previous->line[Index("accountDisabled")] = (*flags & ds::kUacAccountDisable) ? "Yes" : "No";
  }
  std::string parent;
  if (Index("cn") >= 0 && !SplitDN(dn, &parent, &previous->name, error)) return false;
  return true;
}

bool ImportUndo::ReadPlace(const std::string& dn, Place* place, CBVKError& error) {
  std::unique_ptr<ds::Object> object;
  bool exists = false;
  if (!directory_.Open(dn, &object, &exists)) {
    error.SetText(directory_.Error().Text());
    return false;
  }
  std::string hex;
  if (const HRESULT hr = object->GetGuid(&hex); Failed(hr)) {
    error.SetText("Could not read the objectGUID of the object '" + dn + "' for the undo file.");
    error.SetADSIError(hr);
    return false;
  }
  place->guid = GuidText(ds::BytesOfHex(hex));
  std::string rdn_value;
  if (!SplitDN(dn, &place->parent, &rdn_value, error)) return false;
  place->rdn = dn.substr(0, dn.size() - place->parent.size() - 1);
  return true;
}

bool ImportUndo::Created(ds::Object& object, const std::string& dn,
                         const std::vector<std::string>& entry, CBVKError& error) {
  std::string hex;
  if (const HRESULT hr = object.GetGuid(&hex); Failed(hr)) {
    error.SetText("Could not read the objectGUID of the new object '" + dn +
                  "' for the undo file.");
    error.SetADSIError(hr);
    return false;
  }
  const std::string guid = GuidText(ds::BytesOfHex(hex));
  Keep(Record::Action::kCreated, guid, dn);
  created_.insert(guid);
  placed_.insert(guid);
  if (ImportValue(entry, "memberOf").empty()) return Append(EmptyLine("Delete", guid, dn), error);
  // Deleting keeps an object's memberships; the way back takes it out of its groups first, then
  // moves it where a Delete would (a Modify and a Delete of one object cannot share a file).
  Previous as_created;
  if (!ReadPrevious(object, dn, entry, &as_created, error)) return false;
  as_created.line[Index("memberOf")] = kRemoveValue;
  const std::string lost_and_found = "CN=LostAndFound," + directory_.DomainDN();
  std::vector<std::string> move = EmptyLine("Move", guid, dn);
  move[Index("container")] = lost_and_found;
  return Append(as_created.line, error) && Append(move, error);
}

bool ImportUndo::Modified(const Previous& previous, bool renamed, int entry_number,
                          CBVKError& error) {
  Record& record = Keep(Record::Action::kModified, previous.guid, previous.dn);
  record.previous = previous;
  record.renamed = renamed;
  // A new object goes away whole; its later changes need no way back.
  if (created_.contains(previous.guid)) return true;
  if (!modified_.insert(previous.guid).second) {
    changed_twice_[entry_number] = previous.dn;
    return true;
  }
  std::vector<std::string> line = previous.line;
  if (renamed) line[Index("cn")] = previous.name;
  return Append(line, error);
}

bool ImportUndo::Moved(const Place& place, const std::string& container, CBVKError& error) {
  Keep(Record::Action::kMoved, place.guid, place.rdn + "," + place.parent).container = container;
  // The first move back of an object returns it to where it was before the run.
  if (!placed_.insert(place.guid).second) return true;
  std::vector<std::string> line = EmptyLine("Move", place.guid, place.rdn + "," + container);
  line[Index("container")] = place.parent;
  return Append(line, error);
}

ImportUndo::Record& ImportUndo::Keep(Record::Action action, const std::string& guid,
                                     const std::string& dn) {
  // Outside a rehearsal nothing is kept: the record filled in is a scratch one.
  if (rehearsal_ == Rehearsal::kNo) {
    scratch_ = Record();
    return scratch_;
  }
  Record& record = records_.emplace_back();
  record.entry_number = entry_number_;
  record.action = action;
  record.guid = guid;
  record.dn = dn;
  record.entry = entry_;
  return record;
}

void ImportUndo::EntryFailed(const std::string& message) {
  Keep(Record::Action::kFailed, "", "").message = message;
}

void ImportUndo::PasswordSet(int entry_number, const std::string& dn) {
  passwords_[entry_number] = dn;
}

std::string ImportUndo::SummaryText() const {
  std::string text = "\n\nUndo file: " + path_;
  if (restores_multivalued_) {
    text += "\nImport it with multi-valued attributes overwritten, not appended to.";
  }
  if (!passwords_.empty()) {
    text += "\nThe undo file cannot restore the passwords set by these entries:";
    for (const auto& [number, dn] : passwords_) {
      text += "\nEntry " + std::to_string(number) + ": " + dn;
    }
  }
  if (!changed_twice_.empty()) {
    text +=
        "\nThese entries changed an object that an earlier entry had changed; the undo file "
        "restores it as it was before the earlier one:";
    for (const auto& [number, dn] : changed_twice_) {
      text += "\nEntry " + std::to_string(number) + ": " + dn;
    }
  }
  return text;
}

}  // namespace tessary
