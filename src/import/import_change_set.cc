#include "import/import_change_set.h"

#include <memory>

#include "directory/dn.h"
#include "import/split_values.h"

namespace tessary {
namespace {

using Record = ImportUndo::Record;

constexpr const char* kRemoveValue = "~DEL";

// A message on one line, its line breaks blanks, as the error file writes it.
std::string OneLine(std::string message) {
  for (char& c : message) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return message;
}

// "~DEL" in a read-back line means the object has no value.
std::string Shown(const std::string& value) { return value == kRemoveValue ? "" : value; }

bool ReadNow(ImportUndo& record, ImportDirectory& directory, const Record& done,
             ImportUndo::Previous* now, CBVKError& error) {
  std::unique_ptr<ds::Object> object;
  bool exists = false;
  if (!directory.Open("<GUID=" + GuidDigits(done.guid) + ">", &object, &exists)) {
    error.SetText(directory.Error().Text());
    return false;
  }
  return record.ReadPrevious(*object, done.dn, done.entry, now, error);
}

// The attribute columns of the record's header: neither identity nor the engine's own columns.
bool IsValueColumn(const std::string& name) {
  return name != "mode" && name != "objectGUID" && name != "distinguishedName" && name != "cn" &&
         name != "container";
}

}  // namespace

bool BuildChangeSet(ImportUndo& record, ImportDirectory& directory,
                    std::vector<ImportChange>* changes, CBVKError& error) {
  changes->clear();
  const std::vector<std::string>& header = record.Header();
  const std::string lost_and_found = "CN=LostAndFound," + directory.DomainDN();
  for (const Record& done : record.Records()) {
    const auto add = [&](const std::string& action, const std::string& dn) -> ImportChange& {
      ImportChange& change = changes->emplace_back();
      change.entry_number = done.entry_number;
      change.action = action;
      change.dn = dn;
      return change;
    };
    switch (done.action) {
      case Record::Action::kFailed:
        add("fail", record.ImportValue(done.entry, "distinguishedName")).message = done.message;
        break;
      case Record::Action::kMoved: {
        ImportChange& change = add(done.container == lost_and_found ? "delete" : "move", done.dn);
        std::string rdn_value;
        if (!SplitDN(done.dn, &change.old_values, &rdn_value, error)) return false;
        change.new_values = done.container;
        break;
      }
      case Record::Action::kCreated:
      case Record::Action::kModified: {
        const bool created = done.action == Record::Action::kCreated;
        const std::string action = created ? "create" : "modify";
        add(action, done.dn);
        ImportUndo::Previous now;
        if (!ReadNow(record, directory, done, &now, error)) return false;
        for (std::size_t i = 0; i < header.size(); ++i) {
          if (!IsValueColumn(header[i])) continue;
          const std::string before = created ? "" : Shown(done.previous.line[i]);
          const std::string after = Shown(now.line[i]);
          if (before == after) continue;
          ImportChange& change = add(action, done.dn);
          change.attribute = header[i];
          change.old_values = before;
          change.new_values = after;
        }
        if (done.renamed) {
          ImportChange& change = add("rename", done.dn);
          change.old_values = done.previous.name;
          change.new_values = record.ImportValue(done.entry, "cn");
        }
        break;
      }
    }
  }
  return true;
}

std::vector<std::string> ChangeSetText(const std::vector<ImportChange>& changes) {
  std::vector<std::string> lines;
  for (const ImportChange& change : changes) {
    const std::string entry = "Entry " + std::to_string(change.entry_number);
    if (change.action == "fail") {
      lines.push_back(entry + " fails: " + OneLine(change.message));
    } else if (!change.attribute.empty()) {
      lines.push_back("  " + change.attribute + ": " + change.old_values + " -> " +
                      change.new_values);
    } else if (change.action == "rename") {
      lines.push_back("  name: " + change.old_values + " -> " + change.new_values);
    } else if (change.action == "move" || change.action == "delete") {
      lines.push_back(entry + ": " + change.action + " " + change.dn + " -> " + change.new_values);
    } else {
      lines.push_back(entry + ": " + change.action + " " + change.dn);
    }
  }
  return lines;
}

std::vector<std::string> ChangeSetReport(const std::vector<ImportChange>& changes) {
  std::vector<std::string> lines = {
      "Entry,Action,distinguishedName,Attribute,Old values,New values,Message"};
  for (const ImportChange& change : changes) {
    lines.push_back(JoinValues({std::to_string(change.entry_number), change.action, change.dn,
                                change.attribute, change.old_values, change.new_values,
                                OneLine(change.message)}));
  }
  return lines;
}

}  // namespace tessary
