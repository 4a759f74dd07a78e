#include "ldif_load.h"

#include <istream>

#include "directory/ds/ads_path.h"
#include "directory/ds/dn.h"
#include "directory/ds/ds_error.h"
#include "failure_text.h"

namespace tessary::tools {
namespace {

// A DN taken apart into its first RDN and its parent.
struct DnParts {
  ds::Rdn rdn;
  std::string parent;
};

bool SplitDn(const std::string& dn, DnParts* parts) {
  std::vector<ds::Rdn> rdns;
  if (!ds::ParseDn(dn, &rdns) || rdns.size() < 2) return false;
  parts->rdn = rdns[0];
  parts->parent = ds::FormatDn(std::vector<ds::Rdn>(rdns.begin() + 1, rdns.end()));
  return true;
}

std::string LinePrefix(const ds::LdifRecord& record) {
  return "Line " + std::to_string(record.line) + ": ";
}

}  // namespace

bool LdifLoader::ToValues(const std::string& attribute, const std::vector<std::string>& texts,
                          ds::Values* values, std::string* reason) const {
  const AttributeSyntax* syntax = syntaxes_.Find(attribute);
  values->clear();
  for (const std::string& text : texts) {
    ds::Value value;
    if (!ValueFromLdif(syntax, text, &value, reason)) {
      *reason = "The value of '" + attribute + "' is not valid: " + *reason + ".";
      return false;
    }
    values->push_back(std::move(value));
  }
  return true;
}

bool LdifLoader::Add(const ds::LdifRecord& record, std::string* error) {
  const std::string what = "Could not add the object '" + record.dn + "'.";
  DnParts parts;
  if (!SplitDn(record.dn, &parts)) {
    *error = FailureText(what, ds::E_DS_INVALID_DN_SYNTAX);
    return false;
  }
  std::string class_name;
  for (const auto& attribute : record.attributes)
    if (ds::AsciiLower(attribute.name) == "objectclass" && !attribute.values.empty())
      class_name = attribute.values.back();  // the most specific class comes last
  if (class_name.empty()) {
    *error = what + "\nThe record has no objectClass.";
    return false;
  }
  std::unique_ptr<ds::Object> parent, created;
  HRESULT hr = directory_.Bind(ds::AdsPathOfDn(parts.parent), &parent);
  if (Succeeded(hr)) hr = parent->Create(class_name, ds::FormatRdn(parts.rdn), &created);
  if (Failed(hr)) {
    *error = FailureText(what, hr);
    return false;
  }
  const bool snapshot = record.change == ds::LdifChange::kContent;
  for (const auto& attribute : record.attributes) {
    const std::string name = ds::AsciiLower(attribute.name);
    if (name == "objectclass") continue;
    const AttributeSyntax* syntax = syntaxes_.Find(attribute.name);
    // pwdLastSet is written by password changes; Active Directory takes only 0 or -1 from a
    // client, so a snapshot's time stamp cannot be restored. sAMAccountType follows the
    // account's flags, and a new account starts in its default primary group.
    if (snapshot && ((syntax && syntax->MaintainedByDirectory()) || name == "pwdlastset" ||
                     name == "samaccounttype" || name == "primarygroupid")) {
      continue;
    }
    // The naming attribute comes from the RDN itself.
    if (name == ds::AsciiLower(parts.rdn.type) && attribute.values.size() == 1 &&
        ds::AsciiLower(attribute.values[0]) == ds::AsciiLower(parts.rdn.value))
      continue;
    ds::Values values;
    std::string reason;
    if (!ToValues(attribute.name, attribute.values, &values, &reason)) {
      *error = what + "\n" + reason;
      return false;
    }
    hr = created->PutEx(ds::ADS_PROPERTY_UPDATE, attribute.name, values);
    if (Failed(hr)) {
      *error = FailureText(what + "\nThe attribute '" + attribute.name + "' was refused.", hr);
      return false;
    }
  }
  hr = created->SetInfo();
  if (Failed(hr)) {
    *error = FailureText(what, hr);
    return false;
  }
  return true;
}

bool LdifLoader::Delete(const ds::LdifRecord& record, std::string* error) {
  const std::string what = "Could not delete the object '" + record.dn + "'.";
  DnParts parts;
  if (!SplitDn(record.dn, &parts)) {
    *error = FailureText(what, ds::E_DS_INVALID_DN_SYNTAX);
    return false;
  }
  std::unique_ptr<ds::Object> object, parent;
  std::string class_name;
  HRESULT hr = directory_.Bind(ds::AdsPathOfDn(record.dn), &object);
  if (Succeeded(hr)) hr = object->GetClass(&class_name);
  if (Succeeded(hr)) hr = directory_.Bind(ds::AdsPathOfDn(parts.parent), &parent);
  if (Succeeded(hr)) hr = parent->Delete(class_name, ds::FormatRdn(parts.rdn));
  if (Failed(hr)) {
    *error = FailureText(what, hr);
    return false;
  }
  return true;
}

bool LdifLoader::Modify(const ds::LdifRecord& record, std::string* error) {
  const std::string what = "Could not modify the object '" + record.dn + "'.";
  std::unique_ptr<ds::Object> object;
  HRESULT hr = directory_.Bind(ds::AdsPathOfDn(record.dn), &object);
  if (Failed(hr)) {
    *error = FailureText(what, hr);
    return false;
  }
  for (const auto& modification : record.modifications) {
    ds::Values values;
    std::string reason;
    if (!ToValues(modification.attribute, modification.values, &values, &reason)) {
      *error = what + "\n" + reason;
      return false;
    }
    ds::PropertyOperation operation = ds::ADS_PROPERTY_UPDATE;
    switch (modification.op) {
      case ds::LdifModOp::kAdd:
        operation = ds::ADS_PROPERTY_APPEND;
        break;
      case ds::LdifModOp::kDelete:
        operation = values.empty() ? ds::ADS_PROPERTY_CLEAR : ds::ADS_PROPERTY_DELETE;
        break;
      case ds::LdifModOp::kReplace:
        operation = values.empty() ? ds::ADS_PROPERTY_CLEAR : ds::ADS_PROPERTY_UPDATE;
        break;
    }
    hr = object->PutEx(operation, modification.attribute, values);
    if (Failed(hr)) {
      *error =
          FailureText(what + "\nThe attribute '" + modification.attribute + "' was refused.", hr);
      return false;
    }
  }
  hr = object->SetInfo();
  if (Failed(hr)) {
    *error = FailureText(what, hr);
    return false;
  }
  return true;
}

bool LdifLoader::Rename(const ds::LdifRecord& record, std::string* error) {
  const std::string what = "Could not rename the object '" + record.dn + "'.";
  DnParts parts;
  if (!SplitDn(record.dn, &parts)) {
    *error = FailureText(what, ds::E_DS_INVALID_DN_SYNTAX);
    return false;
  }
  // Active Directory always replaces the old RDN value (its naming attributes hold one value),
  // so deleteoldrdn changes nothing here.
  std::unique_ptr<ds::Object> target;
  HRESULT hr =
      directory_.Bind(ds::AdsPathOfDn(record.new_superior.value_or(parts.parent)), &target);
  if (Succeeded(hr)) hr = target->MoveHere(ds::AdsPathOfDn(record.dn), record.new_rdn, nullptr);
  if (Failed(hr)) {
    *error = FailureText(what, hr);
    return false;
  }
  return true;
}

bool LdifLoader::Apply(const ds::LdifRecord& record, std::string* error) {
  bool ok = false;
  switch (record.change) {
    case ds::LdifChange::kContent:
    case ds::LdifChange::kAdd:
      ok = Add(record, error);
      break;
    case ds::LdifChange::kDelete:
      ok = Delete(record, error);
      break;
    case ds::LdifChange::kModify:
      ok = Modify(record, error);
      break;
    case ds::LdifChange::kModRdn:
      ok = Rename(record, error);
      break;
  }
  if (!ok && record.line > 0) *error = LinePrefix(record) + *error;
  return ok;
}

bool LoadLdif(std::istream& in, ds::Directory& directory, const AttributeSyntaxes& syntaxes,
              int* loaded, std::string* error) {
  *loaded = 0;
  ds::LdifReader reader(in);
  LdifLoader loader(directory, syntaxes);
  ds::LdifRecord record;
  while (reader.Next(&record)) {
    if (!loader.Apply(record, error)) return false;
    ++*loaded;
  }
  if (!reader.error().empty()) {
    *error = reader.error();
    return false;
  }
  return true;
}

}  // namespace tessary::tools
