// The four entry handlers and what they share: finding the entry's object, the value count and
// the duplicate rule. A failing step leaves its message in the engine's record; the handler
// then writes the entry to the error file and the run goes on.
#include <memory>
#include <string>

#include "directory/dn.h"
#include "import/account_classes.h"
#include "import/import_engine.h"
#include "support/text_encoding.h"

namespace tessary {
namespace {

constexpr int kNormalAccount = 0x200;
constexpr int kAccountDisabled = 0x2;
constexpr int kPasswordNeverExpires = 0x10000;
constexpr std::size_t kMaxAccountNameLength = 20;

}  // namespace

bool CImportEngine::Fail(const EntryValues& entry, int* errors) {
  if (!WriteErrorLine(error_.Text(), entry)) return false;
  ++*errors;
  return true;
}

bool CImportEngine::FailWith(const std::string& message, const EntryValues& entry, int* errors) {
  error_.SetText(message);
  return Fail(entry, errors);
}

bool CImportEngine::CopyDomainError() {
  error_.SetText(domain_->Error().Text());
  return false;
}

bool CImportEngine::CheckValueCount(const EntryValues& entry) {
  if (entry.size() == columns_.size()) return true;
  error_.SetText("Incorrect number of values.  Total columns: " + std::to_string(columns_.size()) +
                 " Total values in this entry: " + std::to_string(entry.size()));
  return false;
}

bool CImportEngine::ResolveEntryDN(const EntryValues& entry, std::string* dn) {
  dn->clear();
  const std::string guid = GetColumnValue(entry, "objectGUID");
  if (!guid.empty()) {
    CBVKError local;
    if (!domain_->GetDNFromGUID(guid, dn, local)) {
      error_.SetText(local.Text());
      return false;
    }
    if (dn->empty()) {
      error_.SetText("The object with GUID '" + guid +
                     "' was found but the distinguishedName attribute appears to be empty.");
      return false;
    }
  }
  if (dn->empty()) {
    *dn = GetColumnValue(entry, "distinguishedName");
    if (dn->empty()) {
      error_.SetText("Could not locate a GUID or DN for this entry.");
      return false;
    }
  }
  NormalizeDN(*dn);
  return true;
}

bool CImportEngine::CheckDuplicate(const std::string& dn, const EntryValues& entry) {
  // Recorded before the entry is applied, so an entry that fails later still blocks a second
  // entry for the same object.
  if (seen_objects_.insert(UpperCase(dn)).second) return true;
  error_.SetText("The object '" + dn +
                 "' has already been specified in this import file.  Please check your import "
                 "file and remove or merge duplicate object entries.");
  const std::string guid = GetColumnValue(entry, "objectGUID");
  if (!guid.empty()) error_.AddLine("objectGUID: " + guid);
  return false;
}

bool CImportEngine::CreateEntry(const EntryValues& entry, int* counter, int* errors) {
  std::string dn = GetColumnValue(entry, "distinguishedName");
  NormalizeDN(dn);
  if (entry.size() != columns_.size()) {
    return FailWith(
        "Incorrect number of values.  Total columns: " + std::to_string(columns_.size()) +
            ", Total values in this entry: " + std::to_string(entry.size()),
        entry, errors);
  }
  if (dn.empty()) {
    return FailWith(
        "You must specify the 'distinguishedName' column in the import file in order to create "
        "new objects.",
        entry, errors);
  }
  if (!CheckDuplicate(dn, entry)) return Fail(entry, errors);
  std::unique_ptr<ds::Object> object;
  bool exists = false;
  if (domain_->Open(dn, &object, &exists)) {
    return FailWith(
        "This object already exists and cannot be created.  Use the 'Modify' mode to modify the "
        "attributes for this object.  Object DN: " +
            dn,
        entry, errors);
  }
  std::string parent;
  std::string rdn_value;
  if (!SplitDN(dn, &parent, &rdn_value, error_)) return Fail(entry, errors);

  const std::string password = GetColumnValue(entry, "password");
  const std::string member_of = GetColumnValue(entry, "memberOf");
  std::string class_name = GetColumnValue(entry, "objectClass");
  if (class_name.empty()) class_name = "User";
  // Only accounts have pwdLastSet: a directory refuses it on a group or a contact, which would
  // leave the new object created but its entry counted as failed.
  const bool set_pwd_last_set = CreatesUsers && MustChangePassword && IsUserClass(class_name);
  const std::string upper_class = UpperCase(class_name);
  const bool is_user = upper_class == "USER";
  const std::string account_control = GetColumnValue(entry, "userAccountControl");

  if (is_user || upper_class == "GROUP") {
    const std::string account_name = GetColumnValue(entry, "sAMAccountName");
    if (account_name.empty()) {
      return FailWith(
          "The attribute 'sAMAccountName' must be specified for new " + class_name + " objects.",
          entry, errors);
    }
    // Twenty characters, not bytes: "ö" is one character of two bytes.
    if (Utf8CharacterCount(account_name) > kMaxAccountNameLength) {
      return FailWith(
          "The attribute 'sAMAccountName' is more than 20 characters.  Please shorten the value "
          "for this attribute.",
          entry, errors);
    }
  }
  std::string store_dn;
  if (is_user && CreateMailboxes && !MailboxStoreDN(entry, &store_dn)) return Fail(entry, errors);

  if (!domain_->CreateInContainer(parent, class_name, rdn_value, &object)) {
    CopyDomainError();
    return Fail(entry, errors);
  }
  if (!WriteAttributes(Creating::Yes, *object, entry, Attempt::First)) {
    const std::string first_message = error_.Text();
    object.reset();
    if (!domain_->Open(dn, &object, &exists) &&
        !domain_->CreateInContainer(parent, class_name, rdn_value, &object)) {
      return FailWith(first_message + "\nRetry Attempt: " + domain_->Error().Text(), entry, errors);
    }
    if (!WriteAttributes(Creating::Yes, *object, entry, Attempt::Retry)) {
      const std::string message = first_message + "\nRetry Attempt: " + error_.Text();
      // Values committed one by one before the refused one have made the object.
      object.reset();
      if (undo_ && domain_->Open(dn, &object, &exists) &&
          !undo_->Created(*object, dn, entry, error_)) {
        return false;
      }
      return FailWith(message, entry, errors);
    }
  }
  // The object exists from here on, whatever of the entry fails later.
  if (undo_ && !undo_->Created(*object, dn, entry, error_)) return false;
  if (!member_of.empty() && !SetMemberOf(dn, member_of)) return Fail(entry, errors);
  if (is_user && CreateMailboxes && !domain_->CreateMailbox(dn, store_dn)) {
    CopyDomainError();
    return Fail(entry, errors);
  }
  // The password goes before the account-control value: a directory refuses to enable an
  // account that has no password yet.
  if (!password.empty() &&
      (!domain_->GetUserInterface(*object) || !domain_->SetPassword(*object, password))) {
    CopyDomainError();
    return Fail(entry, errors);
  }
  if (is_user && account_control.empty()) {
    const int value = kNormalAccount + (NewAccountDisabled ? kAccountDisabled : 0) +
                      (PasswordNeverExpires ? kPasswordNeverExpires : 0);
    if (!domain_->PutInteger(*object, "userAccountControl", value) || !domain_->Commit(*object)) {
      CopyDomainError();
      return Fail(entry, errors);
    }
  }
  if (set_pwd_last_set &&
      (!domain_->PutInteger(*object, "pwdLastSet", 0) || !domain_->Commit(*object))) {
    CopyDomainError();
    return Fail(entry, errors);
  }
  ++*counter;
  return true;
}

bool CImportEngine::MailboxStoreDN(const EntryValues& entry, std::string* store_dn) {
  *store_dn = GetColumnValue(entry, "homeMDB");
  if (!store_dn->empty()) return true;
  const std::string server = GetColumnValue(entry, "exchHomeServer");
  const std::string storage_group = GetColumnValue(entry, "exchStorageGroup");
  const std::string store = GetColumnValue(entry, "exchMailboxStore");
  const std::string admin_group = GetColumnValue(entry, "exchAdminGroup");
  const std::string organization = GetColumnValue(entry, "exchOrganization");
  if (server.empty() || storage_group.empty() || store.empty() || admin_group.empty() ||
      organization.empty()) {
    error_.SetText(
        "The Microsoft Exchange 2000 home database attribute was not specified properly.\nPlease "
        "refer to Tessary documentation for information.");
    return false;
  }
  *store_dn = "CN=" + store + ",CN=" + storage_group + ",CN=InformationStore,CN=" + server +
              ",CN=Servers,CN=" + admin_group + ",CN=Administrative Groups,CN=" + organization +
              ",CN=Microsoft Exchange,CN=Services,CN=Configuration," + domain_->DomainDN();
  return true;
}

bool CImportEngine::ModifyEntry(const EntryValues& entry, int* counter, int* errors) {
  std::string dn;
  if (!CheckValueCount(entry) || !ResolveEntryDN(entry, &dn) || !CheckDuplicate(dn, entry)) {
    return Fail(entry, errors);
  }
  std::unique_ptr<ds::Object> object;
  bool exists = false;
  if (!domain_->Open(dn, &object, &exists)) {
    CopyDomainError();
    return Fail(entry, errors);
  }
  // What cannot be taken back is not changed.
  ImportUndo::Previous previous;
  if (undo_ && !undo_->ReadPrevious(*object, dn, entry, &previous, error_)) {
    return Fail(entry, errors);
  }
  ModifyEffects effects;
  const bool applied = ApplyModify(entry, dn, object, &effects);
  // A failing entry may have written some of its values already: its inverse is kept as well.
  if (undo_) {
    if (effects.password) undo_->PasswordSet(entry_number_, dn);
    CBVKError undo_error;
    if (!undo_->Modified(previous, effects.renamed, entry_number_, undo_error)) {
      error_.SetText(undo_error.Text());
      return false;
    }
  }
  if (!applied) return Fail(entry, errors);
  ++*counter;
  return true;
}

bool CImportEngine::ApplyModify(const EntryValues& entry, const std::string& dn,
                                std::unique_ptr<ds::Object>& object, ModifyEffects* effects) {
  const std::string password = GetColumnValue(entry, "password");
  const std::string new_name = GetColumnValue(entry, "cn");
  const std::string member_of = GetColumnValue(entry, "memberOf");
  const std::string disabled = GetColumnValue(entry, "accountDisabled");
  bool exists = false;
  if (!password.empty()) {
    if (!domain_->GetUserInterface(*object) || !domain_->SetPassword(*object, password)) {
      return CopyDomainError();
    }
    effects->password = true;
  }
  if (!WriteAttributes(Creating::No, *object, entry, Attempt::First)) {
    object.reset();
    if (!domain_->Open(dn, &object, &exists)) return CopyDomainError();
    if (!WriteAttributes(Creating::No, *object, entry, Attempt::Retry)) return false;
  }
  if (!member_of.empty() && !SetMemberOf(dn, member_of)) return false;
  if (!disabled.empty()) {
    const std::string answer = UpperCase(disabled);
    if (answer != "YES" && answer != "NO") {
      error_.SetText(
          "The value for 'accountDisabled' is not in the proper format.  The value can either be "
          "'Yes' or 'No'.  Value found: '" +
          disabled + "'.");
      return false;
    }
    if (!domain_->GetUserInterface(*object) ||
        !domain_->SetAccountDisabled(*object, answer == "YES")) {
      return CopyDomainError();
    }
  }
  object.reset();
  if (!new_name.empty()) {
    std::string parent;
    std::string rdn_value;
    if (!SplitDN(dn, &parent, &rdn_value, error_)) return false;
    CBVKError local;
    if (!domain_->RenameObject(parent, dn, new_name, local)) {
      error_.SetText(local.Text());
      return false;
    }
    effects->renamed = true;
  }
  return true;
}

bool CImportEngine::DeleteEntry(const EntryValues& entry, int* counter, int* errors) {
  std::string dn;
  if (!ResolveEntryDN(entry, &dn) || !CheckDuplicate(dn, entry)) return Fail(entry, errors);
  ImportUndo::Place place;
  if (undo_ && !undo_->ReadPlace(dn, &place, error_)) return Fail(entry, errors);
  const std::string lost_and_found = "CN=LostAndFound," + domain_->DomainDN();
  CBVKError local;
  if (!domain_->MoveObject(lost_and_found, dn, local)) {
    error_.SetText(local.Text());
    return Fail(entry, errors);
  }
  if (undo_ && !undo_->Moved(place, lost_and_found, error_)) return false;
  ++*counter;
  return true;
}

bool CImportEngine::MoveEntry(const EntryValues& entry, int* counter, int* errors) {
  std::string dn;
  if (!CheckValueCount(entry) || !ResolveEntryDN(entry, &dn)) return Fail(entry, errors);
  const std::string container = GetColumnValue(entry, "container");
  if (container.empty()) {
    return FailWith("Could not locate a value for the 'container' column.", entry, errors);
  }
  ImportUndo::Place place;
  if (undo_ && !undo_->ReadPlace(dn, &place, error_)) return Fail(entry, errors);
  CBVKError local;
  if (!domain_->MoveObject(container, dn, local)) {
    error_.SetText(local.Text());
    return Fail(entry, errors);
  }
  if (undo_ && !undo_->Moved(place, container, error_)) return false;
  ++*counter;
  return true;
}

}  // namespace tessary
