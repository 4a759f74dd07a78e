#include "fake_import_directory.h"

#include <algorithm>
#include <cctype>

#include "directory/ds/object.h"
#include "platform/hresult.h"

namespace tessary::testing {
namespace {

// An object handle that knows only its DN and class; the fake never calls into it.
class FakeObject : public ds::Object {
 public:
  FakeObject(std::string dn, std::string class_name)
      : dn_(std::move(dn)), class_(std::move(class_name)) {}
  const std::string& Dn() const { return dn_; }
  const std::string& ClassName() const { return class_; }

  HRESULT GetName(std::string*) override { return E_NOTIMPL; }
  HRESULT GetClass(std::string*) override { return E_NOTIMPL; }
  HRESULT GetGuid(std::string*) override { return E_NOTIMPL; }
  HRESULT GetAdsPath(std::string*) override { return E_NOTIMPL; }
  HRESULT GetParent(std::string*) override { return E_NOTIMPL; }
  HRESULT Get(const std::string&, ds::Value*) override { return E_NOTIMPL; }
  HRESULT GetEx(const std::string&, ds::Values*) override { return E_NOTIMPL; }
  HRESULT GetPropertyNames(std::vector<std::string>*) override { return E_NOTIMPL; }
  HRESULT Put(const std::string&, const ds::Value&) override { return E_NOTIMPL; }
  HRESULT PutEx(ds::PropertyOperation, const std::string&, const ds::Values&) override {
    return E_NOTIMPL;
  }
  HRESULT GetInfo() override { return E_NOTIMPL; }
  HRESULT GetInfoEx(const std::vector<std::string>&) override { return E_NOTIMPL; }
  HRESULT SetInfo() override { return E_NOTIMPL; }
  HRESULT EnumChildren(std::unique_ptr<ds::ChildCursor>*) override { return E_NOTIMPL; }
  HRESULT Create(const std::string&, const std::string&, std::unique_ptr<ds::Object>*) override {
    return E_NOTIMPL;
  }
  HRESULT MoveHere(const std::string&, const std::string&, std::unique_ptr<ds::Object>*) override {
    return E_NOTIMPL;
  }
  HRESULT Delete(const std::string&, const std::string&) override { return E_NOTIMPL; }
  HRESULT ExecuteSearch(const ds::SearchRequest&, std::unique_ptr<ds::SearchCursor>*) override {
    return E_NOTIMPL;
  }
  HRESULT GetObjectAttributes(const std::vector<std::string>&,
                              std::vector<ds::Attribute>*) override {
    return E_NOTIMPL;
  }
  HRESULT SetObjectAttributes(const std::vector<ds::AttributeChange>&, int*) override {
    return E_NOTIMPL;
  }
  HRESULT SetPassword(const std::string&) override { return E_NOTIMPL; }
  HRESULT GetAccountDisabled(bool*) override { return E_NOTIMPL; }
  HRESULT PutAccountDisabled(bool) override { return E_NOTIMPL; }
  HRESULT Add(const std::string&) override { return E_NOTIMPL; }
  HRESULT Remove(const std::string&) override { return E_NOTIMPL; }
  HRESULT IsMember(const std::string&, bool*) override { return E_NOTIMPL; }
  HRESULT GetMandatoryProperties(std::vector<std::string>*) override { return E_NOTIMPL; }
  HRESULT GetOptionalProperties(std::vector<std::string>*) override { return E_NOTIMPL; }
  HRESULT QueryMailboxStore(std::unique_ptr<ds::MailboxStore>*) override { return E_NOTIMPL; }

 private:
  std::string dn_;
  std::string class_;
};

FakeObject& Fake(ds::Object& object) { return static_cast<FakeObject&>(object); }

ImportAttributeInfo Attribute(const std::string& admin, const std::string& ldap, int ads_type,
                              int variant_type, bool single, const std::string& syntax) {
  return {admin, ldap, ads_type, variant_type, single, syntax};
}

}  // namespace

FakeImportDirectory::FakeImportDirectory() {
  for (const ImportAttributeInfo& info : {
           Attribute("SAM-Account-Name", "sAMAccountName", 3, 8, true, "Directory String"),
           Attribute("Description", "description", 3, 8, false, "Directory String"),
           Attribute("Phone-Office-Other", "otherTelephone", 3, 8, false, "Directory String"),
           Attribute("Given-Name", "givenName", 3, 8, true, "Directory String"),
           Attribute("User-Account-Control", "userAccountControl", 7, 3, true, "Integer"),
           Attribute("Pwd-Last-Set", "pwdLastSet", 10, 9, true, "Large Integer"),
           Attribute("Manager", "manager", 1, 8, true, "Distinguished Name"),
           Attribute("Object-Class", "objectClass", 3, 8, false, "OID String"),
           Attribute("Show-In-Advanced-View-Only", "showInAdvancedViewOnly", 6, 11, true,
                     "Boolean"),
           Attribute("Picture", "thumbnailPhoto", 8, 8209, true, "Octet String"),
           Attribute("Is-Member-Of-DL", "memberOf", 1, 8, false, "Distinguished Name"),
           Attribute("Account-Expires", "accountExpires", 10, 9, true, "Large Integer"),
       }) {
    schema_[info.ldap_name] = info;
  }
}

void FakeImportDirectory::AddObject(const std::string& dn, const std::string& class_name) {
  objects_[dn] = class_name;
}

void FakeImportDirectory::AddMembership(const std::string& group_dn, const std::string& member_dn) {
  groups_[member_dn].insert(group_dn);
}

void FakeImportDirectory::FailOn(const std::string& prefix, const std::string& message, int times,
                                 int skip) {
  failures_.push_back({prefix, message, times, skip});
}

bool FakeImportDirectory::Exists(const std::string& dn) const { return objects_.contains(dn); }

std::set<std::string> FakeImportDirectory::GroupsOf(const std::string& member_dn) const {
  auto found = groups_.find(member_dn);
  return found == groups_.end() ? std::set<std::string>() : found->second;
}

bool FakeImportDirectory::Call(const std::string& line, CBVKError& error) {
  calls_.push_back(line);
  for (Failure& failure : failures_) {
    if (failure.times != 0 && line.starts_with(failure.prefix)) {
      if (failure.skip > 0) {
        --failure.skip;
        continue;
      }
      if (failure.times > 0) --failure.times;
      error.SetText(failure.message);
      return false;
    }
  }
  return true;
}

bool FakeImportDirectory::Open(const std::string& dn, std::unique_ptr<ds::Object>* object,
                               bool* exists) {
  *exists = true;
  if (!Call("Open " + dn, error_)) return false;
  auto found = objects_.find(dn);
  if (found == objects_.end()) {
    *exists = false;
    error_.SetText("Could not open the object '" + dn + "'.\nThere is no such object.");
    return false;
  }
  *object = std::make_unique<FakeObject>(dn, found->second);
  return true;
}

bool FakeImportDirectory::CreateInContainer(const std::string& container,
                                            const std::string& class_name,
                                            const std::string& rdn_value,
                                            std::unique_ptr<ds::Object>* object) {
  const std::string dn = "CN=" + rdn_value + "," + container;
  if (!Call("Create " + class_name + " " + dn, error_)) return false;
  *object = std::make_unique<FakeObject>(dn, class_name);
  return true;
}

bool FakeImportDirectory::GetAttributeInfo(ImportAttributeInfo* info) {
  // The directory compares attribute names without regard to case.
  const auto same = [](const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
             return std::tolower(static_cast<unsigned char>(x)) ==
                    std::tolower(static_cast<unsigned char>(y));
           });
  };
  for (const auto& [ldap, entry] : schema_) {
    if ((!info->ldap_name.empty() && same(ldap, info->ldap_name)) ||
        (info->ldap_name.empty() && same(entry.admin_display_name, info->admin_display_name))) {
      *info = entry;
      return true;
    }
  }
  error_.SetText(info->ldap_name.empty()
                     ? "No attribute with the name '" + info->admin_display_name +
                           "' exists in the directory schema."
                     : "Could not locate the schema attribute with the name '" + info->ldap_name +
                           "'.");
  return false;
}

bool FakeImportDirectory::PutString(ds::Object&, const std::string& name, const std::string& text) {
  return Call("PutString " + name + "=" + text, error_);
}

bool FakeImportDirectory::PutInteger(ds::Object&, const std::string& name, std::int32_t value) {
  return Call("PutInteger " + name + "=" + std::to_string(value), error_);
}

bool FakeImportDirectory::PutLargeInteger(ds::Object&, const std::string& name,
                                          std::int64_t value) {
  return Call("PutLargeInteger " + name + "=" + std::to_string(value), error_);
}

bool FakeImportDirectory::PutBoolean(ds::Object&, const std::string& name, bool value) {
  return Call("PutBoolean " + name + "=" + (value ? "TRUE" : "FALSE"), error_);
}

bool FakeImportDirectory::PutMultiString(ds::Object&, const std::string& name,
                                         const std::vector<std::string>& values, bool append) {
  std::string line = std::string(append ? "Append " : "Replace ") + name + "=";
  for (std::size_t i = 0; i < values.size(); ++i) line += (i ? "|" : "") + values[i];
  return Call(line, error_);
}

std::optional<std::int64_t> FakeImportDirectory::StoredLargeInteger(ds::Object&,
                                                                   const std::string& name) {
  const auto found = large_integers_.find(name);
  if (found == large_integers_.end()) return std::nullopt;
  return found->second;
}

bool FakeImportDirectory::ClearAttribute(ds::Object&, const std::string& name) {
  return Call("Clear " + name, error_);
}

bool FakeImportDirectory::Commit(ds::Object& object) {
  if (!Call("Commit " + Fake(object).Dn(), error_)) return false;
  objects_.emplace(Fake(object).Dn(), Fake(object).ClassName());
  return true;
}

bool FakeImportDirectory::GetUserInterface(ds::Object& object) {
  if (!Call("GetUserInterface " + Fake(object).Dn(), error_)) return false;
  if (Fake(object).ClassName() == "user" || Fake(object).ClassName() == "User") return true;
  error_.SetText("No such interface supported (80004002)");
  return false;
}

bool FakeImportDirectory::SetPassword(ds::Object& object, const std::string& password) {
  return Call("SetPassword " + Fake(object).Dn() + "=" + password, error_);
}

bool FakeImportDirectory::SetAccountDisabled(ds::Object& object, bool disabled) {
  return Call("SetAccountDisabled " + Fake(object).Dn() + "=" + (disabled ? "1" : "0"), error_);
}

bool FakeImportDirectory::CreateMailbox(const std::string& user_dn, const std::string& store_dn) {
  return Call("CreateMailbox " + user_dn + " in " + store_dn, error_);
}

bool FakeImportDirectory::GetDNFromGUID(const std::string& guid, std::string* dn,
                                        CBVKError& error) {
  if (!Call("GetDNFromGUID " + guid, error)) return false;
  auto found = guids_.find(guid);
  if (found == guids_.end()) {
    error.SetText("Could not open the object '<GUID=" + guid + ">'.");
    return false;
  }
  *dn = found->second;
  return true;
}

bool FakeImportDirectory::MoveObject(const std::string& container, const std::string& dn,
                                     CBVKError& error) {
  if (!Call("Move " + dn + " to " + container, error)) return false;
  auto found = objects_.find(dn);
  if (found == objects_.end()) {
    error.SetText("Could not move the object '" + dn + "' to the container '" + container + "'.");
    return false;
  }
  const std::string class_name = found->second;
  objects_.erase(found);
  objects_[dn.substr(0, dn.find(',')) + "," + container] = class_name;
  return true;
}

bool FakeImportDirectory::RenameObject(const std::string& container, const std::string& dn,
                                       const std::string& new_rdn, CBVKError& error) {
  return Call("Rename " + dn + " to " + new_rdn + " in " + container, error);
}

bool FakeImportDirectory::AddGroupMember(const std::string& group_dn, const std::string& member_dn,
                                         CBVKError& error) {
  if (!Call("AddMember " + member_dn + " to " + group_dn, error)) return false;
  groups_[member_dn].insert(group_dn);
  return true;
}

bool FakeImportDirectory::RemoveGroupMember(const std::string& group_dn,
                                            const std::string& member_dn, CBVKError& error) {
  if (!Call("RemoveMember " + member_dn + " from " + group_dn, error)) return false;
  groups_[member_dn].erase(group_dn);
  return true;
}

bool FakeImportDirectory::ReadMemberOf(const std::string& dn, std::vector<std::string>* groups,
                                       CBVKError& error) {
  if (!Call("ReadMemberOf " + dn, error)) return false;
  const std::set<std::string> current = GroupsOf(dn);
  groups->assign(current.begin(), current.end());
  return true;
}

}  // namespace tessary::testing
