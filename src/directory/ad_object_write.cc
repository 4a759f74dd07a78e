// The write operations of a directory object: values by kind, passwords, account flags, SIDs
// and group members.

#include <cstdio>

#include "directory/ad_object.h"
#include "directory/dn.h"
#include "directory/identifier_text.h"

namespace tessary {
namespace {

constexpr char kLdapPrefix[] = "LDAP://";

std::string ModifyFailure(const std::string& attribute, const std::string& value) {
  return "Could not modify the attribute '" + attribute + "' with the value '" + value + "'.";
}

}  // namespace

bool CBVKADObject::PutString(ds::Object& object, const std::string& attribute,
                             const std::string& text) {
  HRESULT hr = text.empty() ? object.PutEx(ds::ADS_PROPERTY_CLEAR, attribute, {})
                            : object.Put(attribute, ds::Value::String(text));
  if (Succeeded(hr)) return true;
  Error().SetText(ModifyFailure(attribute, text));
  Error().SetADSIError(hr);
  return false;
}

bool CBVKADObject::PutBoolean(ds::Object& object, const std::string& attribute,
                              std::int16_t value) {
  HRESULT hr = object.Put(attribute, ds::Value::Boolean(value != 0));
  if (Succeeded(hr)) return true;
  Error().SetText(ModifyFailure(attribute, value != 0 ? "TRUE" : "FALSE"));
  Error().SetADSIError(hr);
  return false;
}

bool CBVKADObject::PutInteger(ds::Object& object, const std::string& attribute,
                              std::int32_t value) {
  HRESULT hr = object.Put(attribute, ds::Value::Integer(value));
  if (Succeeded(hr)) return true;
  Error().SetText(ModifyFailure(attribute, std::to_string(value)));
  Error().SetADSIError(hr);
  return false;
}

bool CBVKADObject::PutLargeInteger(ds::Object& object, const std::string& attribute,
                                   std::int64_t value) {
  HRESULT hr = object.Put(attribute, ds::Value::LargeInteger(value));
  if (Succeeded(hr)) return true;
  Error().SetText(ModifyFailure(attribute, std::to_string(value)));
  Error().SetADSIError(hr);
  return false;
}

bool CBVKADObject::PutMultiString(ds::Object& object, const std::string& attribute,
                                  const std::vector<std::string>& texts, AppendValues append) {
  ds::Values values;
  values.reserve(texts.size());
  for (const std::string& text : texts) values.push_back(ds::Value::String(text));
  HRESULT hr =
      object.PutEx(append == AppendValues::Yes ? ds::ADS_PROPERTY_APPEND : ds::ADS_PROPERTY_UPDATE,
                   attribute, values);
  if (Succeeded(hr)) return true;
  std::string joined;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (i > 0) joined += ",";
    joined += texts[i].find(',') != std::string::npos ? "\"" + texts[i] + "\"" : texts[i];
  }
  Error().SetText(ModifyFailure(attribute, joined));
  Error().SetADSIError(hr);
  return false;
}

bool CBVKADObject::ClearAttribute(ds::Object& object, const std::string& attribute) {
  HRESULT hr = object.PutEx(ds::ADS_PROPERTY_CLEAR, attribute, {});
  if (Succeeded(hr)) return true;
  Error().SetText("Could not clear the attribute '" + attribute + "'.");
  Error().SetADSIError(hr);
  return false;
}

bool CBVKADObject::AppendSID(ds::Object& object, const std::string& attribute,
                             const std::string& sid_text) {
  std::optional<ds::Bytes> sid = TextToSid(sid_text);
  if (!sid) {
    Error().SetText("Could not convert the security information from a string value.");
    Error().SetSystemError(kErrorInvalidSid);
  } else {
    ds::AttributeChange change{attribute,
                               ds::ADS_PROPERTY_APPEND,
                               ds::ADSTYPE_OCTET_STRING,
                               {ds::Value::Octets(std::move(*sid))}};
    int written = 0;
    HRESULT hr = object.SetObjectAttributes({change}, &written);
    if (Succeeded(hr) && written > 0) return true;
    Error().SetText("");
    Error().SetADSIError(hr);
  }
  Error().AddLine("Could not write the value '" + sid_text + "' to the '" + attribute +
                  "' security attribute.");
  return false;
}

bool CBVKADObject::Commit(ds::Object& object, HRESULT* result) {
  HRESULT hr = object.SetInfo();
  if (result) *result = hr;
  if (Succeeded(hr)) return true;
  Error().SetText("Could not commit changes.");
  Error().SetADSIError(hr);
  return false;
}

bool CBVKADObject::SetPassword(ds::Object& user, const std::string& password) {
  HRESULT hr = user.SetPassword(password);
  if (Succeeded(hr)) return true;
  Error().SetText("Could not set the password.");
  Error().SetADSIError(hr);
  return false;
}

bool CBVKADObject::SetAccountDisabled(ds::Object& user, bool disabled) {
  HRESULT hr = user.PutAccountDisabled(disabled);
  if (Succeeded(hr)) hr = user.SetInfo();
  if (Succeeded(hr)) return true;
  Error().SetText(disabled ? "Could not disable the account." : "Could not enable the account.");
  Error().SetADSIError(hr);
  return false;
}

bool CBVKADObject::AddGroupMember(const std::string& group_dn, const std::string& member_dn) {
  const std::string failure =
      "Could not add member '" + member_dn + "' to the group '" + group_dn + "'.";
  std::unique_ptr<ds::Object> group;
  if (!Open(group_dn, &group)) {
    Error().AddLine(failure);
    return false;
  }
  std::string member = member_dn;
  NormalizeDN(member);
  HRESULT hr = group->Add(kLdapPrefix + member);
  if (Succeeded(hr) || hr == E_DS_ALREADY_EXISTS) return true;
  Error().SetText(failure);
  Error().SetADSIError(hr);
  return false;
}

bool CBVKADObject::RemoveGroupMember(const std::string& group_dn, const std::string& member_dn) {
  const std::string failure =
      "Could not remove member '" + member_dn + "' to the group '" + group_dn + "'.";
  std::unique_ptr<ds::Object> group;
  if (!Open(group_dn, &group)) {
    Error().AddLine(failure);
    return false;
  }
  std::string member = member_dn;
  NormalizeDN(member);
  HRESULT hr = group->Remove(kLdapPrefix + member);
  if (Succeeded(hr)) return true;
  Error().SetText(failure);
  Error().SetADSIError(hr);
  return false;
}

bool CBVKADObject::ReadOneAttribute(ds::Object& object, const std::string& attribute,
                                    std::vector<std::string>* texts, Required required) {
  texts->clear();
  // Read into a fresh set, so that a value read earlier cannot stand in for one that is gone.
  CBVKADPropertySet fresh;
  bool read = fresh.ReadAttribute(object, attribute, CBVKADPropertySet::Refresh::Yes);
  if (!read && fresh.Error().Code() != E_ADS_PROPERTY_NOT_FOUND) {
    Error().SetText(fresh.Error().GetText());
    return false;
  }
  const CBVKADPropertyEntry* entry = read ? fresh.FindEntry(attribute) : nullptr;
  Properties.Store(attribute, entry ? entry->values : std::vector<CBVKADValue>());
  if (entry && !Properties.GetTextList(attribute, texts)) {
    std::string single;
    if (!Properties.GetText(attribute, &single)) return false;
    texts->assign(1, single);
  }
  if (texts->empty() || (texts->size() == 1 && texts->front().empty())) {
    texts->clear();
    if (required == Required::Yes) {
      Error().SetText("The object '" + DistinguishedName + "' does not have a value for '" +
                      attribute + "'.");
      return false;
    }
  }
  Error().SetText("");
  return true;
}

bool CBVKADObject::GetStringAttribute(ds::Object& object, const std::string& attribute,
                                      std::string* text, Required required) {
  text->clear();
  std::vector<std::string> texts;
  if (!ReadOneAttribute(object, attribute, &texts, required)) return false;
  if (texts.size() > 1) {
    // Reports "has multiple values" as the single-value getter does.
    return Properties.GetText(attribute, text);
  }
  if (!texts.empty()) *text = texts.front();
  return true;
}

bool CBVKADObject::GetStringListAttribute(ds::Object& object, const std::string& attribute,
                                          std::vector<std::string>* texts, Required required) {
  return ReadOneAttribute(object, attribute, texts, required);
}

bool CBVKADObject::GetPathAttribute(const std::string& path, const std::string& attribute,
                                    std::string* text, Required required) {
  std::unique_ptr<ds::Object> object;
  if (!Open(path, &object)) return false;
  return GetStringAttribute(*object, attribute, text, required);
}

bool CBVKADObject::GetOwnAttribute(const std::string& attribute, std::string* text,
                                   Required required) {
  return GetPathAttribute(DistinguishedName, attribute, text, required);
}

}  // namespace tessary
