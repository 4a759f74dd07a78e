#include "import/domain_import_directory.h"

#include "import/account_classes.h"
#include "platform/hresult.h"

namespace tessary {
namespace {

// Runs op on a fresh local object of the domain's connection and hands its message back.
template <class Op>
bool OnLocalObject(CExDomain& domain, CBVKError& error, Op op) {
  CBVKADObject local(domain.Directory());
  const bool ok = op(local);
  error.SetText(ok ? std::string() : local.Error().Text());
  return ok;
}

}  // namespace

bool DomainImportDirectory::Open(const std::string& dn, std::unique_ptr<ds::Object>* object,
                                 bool* exists) {
  int found = 1;
  const bool ok = domain_.Open(dn, object, &found);
  *exists = found != 0;
  return ok;
}

bool DomainImportDirectory::CreateInContainer(const std::string& container,
                                              const std::string& class_name,
                                              const std::string& rdn_value,
                                              std::unique_ptr<ds::Object>* object) {
  return domain_.CreateInContainer(container, class_name, rdn_value, object);
}

bool DomainImportDirectory::GetAttributeInfo(ImportAttributeInfo* info) {
  const bool by_ldap_name = !info->ldap_name.empty();
  if (!domain_.GetAttributeInfo(domain_.SchemaNamingContext, &info->admin_display_name,
                                &info->ldap_name, &info->ads_type, &info->variant_type,
                                &info->single_valued, &info->syntax_text)) {
    return false;
  }
  if (!by_ldap_name) return true;
  // The directory matches names in any letter case; the column takes the schema's own spelling.
  std::string schema_name;
  if (domain_.GetPathAttribute("CN=" + info->admin_display_name + "," + domain_.SchemaNamingContext,
                               "lDAPDisplayName", &schema_name, CBVKADObject::Required::Yes)) {
    info->ldap_name = schema_name;
    return true;
  }
  return false;
}

bool DomainImportDirectory::PutString(ds::Object& object, const std::string& name,
                                      const std::string& text) {
  return domain_.PutString(object, name, text);
}

bool DomainImportDirectory::PutInteger(ds::Object& object, const std::string& name,
                                       std::int32_t value) {
  return domain_.PutInteger(object, name, value);
}

bool DomainImportDirectory::PutLargeInteger(ds::Object& object, const std::string& name,
                                            std::int64_t value) {
  return domain_.PutLargeInteger(object, name, value);
}

bool DomainImportDirectory::PutBoolean(ds::Object& object, const std::string& name, bool value) {
  return domain_.PutBoolean(object, name, value ? -1 : 0);
}

bool DomainImportDirectory::PutMultiString(ds::Object& object, const std::string& name,
                                           const std::vector<std::string>& values, bool append) {
  return domain_.PutMultiString(
      object, name, values,
      append ? CBVKADObject::AppendValues::Yes : CBVKADObject::AppendValues::No);
}

bool DomainImportDirectory::ClearAttribute(ds::Object& object, const std::string& name) {
  return domain_.ClearAttribute(object, name);
}

std::optional<std::int64_t> DomainImportDirectory::StoredLargeInteger(ds::Object& object,
                                                                     const std::string& name) {
  std::vector<ds::Attribute> reply;
  if (Failed(object.GetObjectAttributes({name}, &reply)) || reply.empty() ||
      reply.front().values.empty() || reply.front().values.front().large_integer() == nullptr) {
    return std::nullopt;
  }
  return *reply.front().values.front().large_integer();
}

bool DomainImportDirectory::Commit(ds::Object& object) { return domain_.Commit(object); }

bool DomainImportDirectory::GetUserInterface(ds::Object& object) {
  std::string class_name;
  const HRESULT hr = object.GetClass(&class_name);
  if (Succeeded(hr) && IsUserClass(class_name)) return true;
  // Only the code's explanation, as a failed interface query reports it.
  CBVKError& error = domain_.Error();
  error.SetText("");
  error.SetADSIError(Failed(hr) ? hr : E_NOINTERFACE);
  const std::string text = error.Text();
  error.SetText(text.starts_with('\n') ? text.substr(1) : text);
  return false;
}

bool DomainImportDirectory::SetPassword(ds::Object& object, const std::string& password) {
  return domain_.SetPassword(object, password);
}

bool DomainImportDirectory::SetAccountDisabled(ds::Object& object, bool disabled) {
  return domain_.SetAccountDisabled(object, disabled);
}

bool DomainImportDirectory::CreateMailbox(const std::string& user_dn, const std::string& store_dn) {
  return domain_.CreateMailbox(user_dn, store_dn);
}

bool DomainImportDirectory::GetDNFromGUID(const std::string& guid, std::string* dn,
                                          CBVKError& error) {
  return OnLocalObject(domain_, error,
                       [&](CBVKADObject& local) { return local.GetDNFromGUID(guid, dn); });
}

bool DomainImportDirectory::MoveObject(const std::string& container, const std::string& dn,
                                       CBVKError& error) {
  return OnLocalObject(domain_, error,
                       [&](CBVKADObject& local) { return local.MoveObject(container, dn); });
}

bool DomainImportDirectory::RenameObject(const std::string& container, const std::string& dn,
                                         const std::string& new_rdn, CBVKError& error) {
  return OnLocalObject(domain_, error, [&](CBVKADObject& local) {
    return local.RenameObject(container, dn, new_rdn);
  });
}

bool DomainImportDirectory::AddGroupMember(const std::string& group_dn,
                                           const std::string& member_dn, CBVKError& error) {
  return OnLocalObject(domain_, error, [&](CBVKADObject& local) {
    return local.AddGroupMember(group_dn, member_dn);
  });
}

bool DomainImportDirectory::RemoveGroupMember(const std::string& group_dn,
                                              const std::string& member_dn, CBVKError& error) {
  return OnLocalObject(domain_, error, [&](CBVKADObject& local) {
    return local.RemoveGroupMember(group_dn, member_dn);
  });
}

bool DomainImportDirectory::ReadMemberOf(const std::string& dn, std::vector<std::string>* groups,
                                         CBVKError& error) {
  return OnLocalObject(domain_, error, [&](CBVKADObject& local) {
    std::unique_ptr<ds::Object> object;
    return local.Open(dn, &object) &&
           local.GetStringListAttribute(*object, "memberOf", groups, CBVKADObject::Required::No);
  });
}

}  // namespace tessary
