// How the values of one entry become changes of a directory object: ordinary columns by their
// value type, and the manager and group-membership rules.
#include <cctype>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "directory/ds/integer_text.h"

#include "import/import_engine.h"
#include "import/split_values.h"

namespace tessary {
namespace {

constexpr const char* kRemoveValue = "~DEL";

// The four characters \r\n of the file format become a real line break.
std::string WithLineBreaks(std::string text) {
  for (std::size_t at = text.find("\\r\\n"); at != std::string::npos;
       at = text.find("\\r\\n", at + 2)) {
    text.replace(at, 4, "\r\n");
  }
  return text;
}

}  // namespace

bool CImportEngine::WriteAttributes(Creating creating, ds::Object& object, const EntryValues& entry,
                                    Attempt attempt) {
  const auto value_at = [&entry](std::size_t index) {
    return index < entry.size() ? entry[index] : std::string();
  };
  // The account name goes first: the directory derives other names of a new account from it.
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    if (columns_[i].Name == "sAMAccountName" &&
        !WriteAttribute(object, columns_[i], value_at(i), attempt)) {
      return false;
    }
  }
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    const CImportColumn& column = columns_[i];
    if (IsSpecialColumn(column.Name, creating) || column.Name == "sAMAccountName" ||
        column.Name == "objectClass") {
      continue;
    }
    std::string value = value_at(i);
    if (column.Name == "manager") {
      if (value.empty()) continue;
      if (value.find("CN=") == std::string::npos) {
        CBVKError local;
        std::string manager_dn;
        if (!domain_->GetDNFromGUID(value, &manager_dn, local)) {
          error_.SetText(local.Text());
          return false;
        }
        if (manager_dn.empty()) {
          error_.SetText(
              "Could not locate a distinguished name for the specified manager with GUID '" +
              value + "'.");
          return false;
        }
        value = manager_dn;
      }
    }
    if (!WriteAttribute(object, column, value, attempt)) return false;
  }
  if (attempt == Attempt::First && !domain_->Commit(object)) return CopyDomainError();
  return true;
}

bool CImportEngine::InvalidNumber(const std::string& name) {
  error_.SetText("Invalid number value specified for attribute '" + name + "'.");
  return false;
}

bool CImportEngine::WriteAttribute(ds::Object& object, const CImportColumn& column,
                                   const std::string& value, Attempt attempt) {
  const std::string& name = column.Name;
  const bool commit = attempt == Attempt::Retry;
  const bool single = column.SingleValued || name == "description" || value == kRemoveValue;
  const auto commit_or = [&](const std::string& failure) {
    if (!commit || domain_->Commit(object)) return true;
    error_.SetText(failure);
    error_.AddLine(domain_->Error().Text());
    return false;
  };
  if (single) {
    if (value == kRemoveValue) {
      if (!domain_->ClearAttribute(object, name)) return CopyDomainError();
      return commit_or("Could not remove the attribute '" + name + "'.");
    }
    // An export writes an empty field for a number or flag the object does not have; read
    // back, it changes nothing ("~DEL" is what removes a value).
    if (value.empty() && column.ValueType != kValueString) return true;
    switch (column.ValueType) {
      case kValueInteger: {
        // Only a whole number is one: "12abc" must not quietly become 12.
        std::int32_t number = 0;
        if (!ds::ParseInteger32(WithoutBlanks(value), &number)) return InvalidNumber(name);
        if (!domain_->PutInteger(object, name, number)) return CopyDomainError();
        return commit_or("Could not write the attribute '" + name + "' with the values '" + value +
                         "'.");
      }
      case kValueLargeInteger: {
        std::optional<std::int64_t> number;
        if (!ReadLargeInteger(object, name, value, &number)) return InvalidNumber(name);
        if (!number) return true;  // the value the object holds already
        if (!domain_->PutLargeInteger(object, name, *number)) return CopyDomainError();
        return commit_or("Could not write the attribute '" + name + "' with the values '" + value +
                         "'.");
      }
      case kValueString: {
        const std::string text = WithLineBreaks(value);
        if (!domain_->PutString(object, name, text)) return CopyDomainError();
        return commit_or("Could not write the attribute '" + name + "' with the value '" + text +
                         "'.");
      }
      case kValueBoolean: {
        const std::string upper = UpperCase(value);
        bool flag = false;
        if (upper.starts_with("T") || upper == "1") {
          flag = true;
        } else if (!upper.starts_with("F") && upper != "0") {
          error_.SetText("Invalid boolean value '" + upper + "' specified for attribute '" + name +
                         "'.");
          return false;
        }
        if (!domain_->PutBoolean(object, name, flag)) return CopyDomainError();
        return commit_or("Could not write the attribute '" + name + "' with the value '" + upper +
                         "'.");
      }
      default:
        error_.SetText("Unsupported attribute type.\nLDAP: " + name + "\nValue: " + value +
                       "\nType: " + std::to_string(column.ValueType));
        return false;
    }
  }
  if (column.ValueType != kValueString) {
    error_.SetText("Unsupported multi-valued attribute type.\nLDAP: " + name + "\nValue: " + value +
                   "\nType: " + std::to_string(column.ValueType));
    return false;
  }
  std::vector<std::string> parts;
  SplitValues(value, kMultiValueSeparator, parts);
  for (std::string& part : parts) part = WithLineBreaks(part);
  if (!domain_->PutMultiString(object, name, parts, MultiValueMode == 0)) {
    return CopyDomainError();
  }
  return commit_or("Could not write the attribute '" + name + "' with the values '" +
                   JoinValues(parts) + "'.");
}

bool CImportEngine::SetMemberOf(const std::string& object_dn, const std::string& member_of) {
  // "~DEL" removes the attribute, here every membership the object has.
  const bool leave_all = member_of == kRemoveValue;
  std::vector<std::string> groups;
  if (!leave_all) SplitValues(member_of, kMultiValueSeparator, groups);
  CBVKError local;
  const auto fail = [&](const std::string& message) {
    error_.SetText("Could not import the 'memberOf' value '" + member_of + "' for the user '" +
                   object_dn + "'.");
    error_.AddLine(message);
    return false;
  };
  for (auto group = groups.rbegin(); group != groups.rend(); ++group) {
    if (UpperCase(*group).find("CN=") != std::string::npos) continue;
    std::string group_dn;
    if (!domain_->GetDNFromGUID(*group, &group_dn, local)) return fail(local.Text());
    if (group_dn.empty()) {
      return fail("Could not locate a distinguished name for the group with GUID '" + *group +
                  "'.");
    }
    *group = group_dn;
  }
  if (MultiValueMode == 1 || leave_all) {
    std::set<std::string> wanted;
    for (const std::string& group : groups) wanted.insert(UpperCase(group));
    std::vector<std::string> current;
    if (!domain_->ReadMemberOf(object_dn, &current, local)) return fail(local.Text());
    for (const std::string& group : current) {
      if (!wanted.contains(UpperCase(group)) &&
          !domain_->RemoveGroupMember(group, object_dn, local)) {
        return fail(local.Text());
      }
    }
  }
  for (const std::string& group : groups) {
    if (!domain_->AddGroupMember(group, object_dn, local)) return fail(local.Text());
  }
  return true;
}

}  // namespace tessary
