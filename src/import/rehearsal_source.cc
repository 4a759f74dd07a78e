#include "import/rehearsal_source.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <random>

#include "directory/dn.h"
#include "directory/ds/account_control.h"
#include "directory/ds/ads_path.h"
#include "directory/ds/dn.h"
#include "directory/ds/ds_error.h"
#include "directory/ds/embedded/embedded_directory.h"
#include "directory/ds/embedded/schema_definition.h"
#include "directory/ds/hex.h"
#include "import/import_column.h"
#include "import/rehearsal_schema.h"
#include "import/split_values.h"
#include "platform/interrupt.h"

namespace tessary {
namespace {

// The password rule the embedded directory keeps: seven characters of three kinds.
constexpr std::int32_t kCopyMinimumPasswordLength = 7;
constexpr std::int32_t kPasswordComplexity = 0x1;
// Terms per search: one request for many names, short enough for any server's filter limit.
constexpr std::size_t kTermsPerSearch = 40;

// Written when the object is created: a group's kind and an account's name cannot wait.
bool WrittenAtCreation(const std::string& name) {
  return ds::AsciiCaselessEqual(name, "sAMAccountName") || ds::AsciiCaselessEqual(name, "groupType");
}

bool Fail(CBVKError& error, const std::string& sentence, HRESULT hr) {
  error.SetText(sentence);
  error.SetADSIError(hr);
  return false;
}

std::string Explained(const std::string& sentence, HRESULT hr) {
  CBVKError record;
  record.SetText(sentence);
  record.SetADSIError(hr);
  std::string text = record.Text();
  std::replace(text.begin(), text.end(), '\n', ' ');
  return text;
}

const ds::Attribute* Find(const std::vector<ds::Attribute>& attributes, const std::string& name) {
  for (const ds::Attribute& attribute : attributes) {
    if (ds::AsciiCaselessEqual(attribute.name, name)) return &attribute;
  }
  return nullptr;
}

std::optional<std::int32_t> Number(const ds::Attribute* attribute) {
  if (attribute == nullptr || attribute->values.empty()) return std::nullopt;
  if (const std::int32_t* number = attribute->values.front().integer()) return *number;
  if (const std::int64_t* large = attribute->values.front().large_integer()) {
    return static_cast<std::int32_t>(*large);
  }
  return std::nullopt;
}

// A password the copy's policy takes, for a copied account that is enabled without being
// allowed an empty password; the copy never shows it to anyone.
std::string CopyPassword() {
  std::random_device random;
  std::string password = "Re-";
  for (int i = 0; i < 4; ++i) password += ds::HexOf(ds::Bytes{static_cast<std::uint8_t>(random())});
  return password + "Hx7";
}

// The DN of a bound object, from its ADsPath.
std::string DnOf(ds::Object& object) {
  std::string path;
  if (object.GetAdsPath(&path) != S_OK) return {};
  constexpr std::string_view kPrefix = "LDAP://";
  return path.starts_with(kPrefix) ? path.substr(kPrefix.size()) : path;
}

}  // namespace

bool RehearsalSource::CopyTo(const std::string& path, CBVKError& error) {
  if (!source_.RefuseWrites()) {
    error.SetText("Could not rehearse the import on '" + source_.Location() +
                  "': the connection cannot be kept from writing.");
    return false;
  }
  std::unique_ptr<ds::Object> root;
  ds::Value context;
  HRESULT hr = source_.Bind("LDAP://RootDSE", &root);
  if (Succeeded(hr)) hr = root->Get("defaultNamingContext", &context);
  if (Failed(hr) || context.string() == nullptr) {
    return Fail(error, "Could not read the RootDSE of '" + source_.Location() + "'.",
                Failed(hr) ? hr : E_FAIL);
  }
  domain_dn_ = *context.string();
  // Attributes of a later schema than the copy's own, or of the domain's own extensions, are
  // defined in the copy as the server defines them.
  ds::embedded::SchemaDefinition schema = ds::embedded::BuiltinSchema();
  std::vector<std::string> unplaced;
  if (!AddServerAttributes(source_, ColumnAttributes(), &schema, &unplaced, error)) return false;
  for (const std::string& name : unplaced) {
    Note("The server allows the attribute '" + name +
         "' only on classes the rehearsal's directory lacks; entries that set it fail here.");
  }
  std::string reason;
  if (!ds::embedded::ProvisionDomain(path, DNToDomainName(domain_dn_), schema, {}, &reason) ||
      !ds::embedded::OpenEmbeddedDirectory(path, &copy_, &reason)) {
    error.SetText(reason);
    return false;
  }
  if (!CheckSchema(error)) return false;
  std::vector<EntryValues> entries;
  if (!engine_.ReadEntries(&entries)) {
    error.SetText(engine_.Error().Text());
    return false;
  }
  if (!CollectFromEntries(entries, error) || !CollectNamesakes(error)) return false;
  // Parents before children: a DN with fewer commas cannot be below one with more.
  std::vector<std::string> order;
  for (const auto& [key, dn] : wanted_) order.push_back(dn);
  const auto depth = [](const std::string& dn) {
    std::vector<ds::Rdn> rdns;
    return ds::ParseDn(dn, &rdns) ? rdns.size() : 0;
  };
  std::stable_sort(order.begin(), order.end(),
                   [&](const std::string& a, const std::string& b) { return depth(a) < depth(b); });
  for (const std::string& dn : order) {
    // Ctrl-C while a caller catches it: the caller removes the copy made so far.
    if (platform::InterruptRequested()) {
      error.SetText(kRehearsalCancelled);
      return false;
    }
    if (!CopyObject(dn, error)) return false;
  }
  CopyMemberships();
  CheckPasswordPolicy();
  if (engine_.FindColumn("member") >= 0) {
    Note("A group's members are known to the rehearsal only where the file names them; its other "
         "members are not shown among the old values of 'member'.");
  }
  return true;
}

std::string RehearsalSource::Want(const std::string& dn) {
  if (dn.empty()) return {};
  const auto [known, first] = looked_up_.emplace(ds::DnKey(dn), std::string());
  if (!first) return known->second;
  std::unique_ptr<ds::Object> object;
  if (source_.Bind(ds::AdsPathOfDn(dn), &object) != S_OK) return {};
  const std::string found = DnOf(*object);
  known->second = found;
  std::vector<ds::Rdn> rdns;
  if (!ds::ParseDn(found, &rdns)) return {};
  const std::string domain_key = ds::DnKey(domain_dn_);
  for (std::size_t i = 0; i < rdns.size(); ++i) {
    const std::string dn_here =
        ds::FormatDn(std::vector<ds::Rdn>(rdns.begin() + static_cast<std::ptrdiff_t>(i), rdns.end()));
    const std::string key = ds::DnKey(dn_here);
    if (key == domain_key) break;
    wanted_.emplace(key, i == 0 ? found : dn_here);
  }
  return found;
}

std::string RehearsalSource::DnOfGuid(const std::string& guid) {
  std::unique_ptr<ds::Object> object;
  if (source_.Bind("LDAP://<GUID=" + GuidDigits(guid) + ">", &object) != S_OK) return {};
  return DnOf(*object);
}

bool RehearsalSource::CollectFromEntries(const std::vector<EntryValues>& entries,
                                         CBVKError& error) {
  for (const EntryValues& entry : entries) {
    const std::string mode = UpperCase(engine_.GetColumnValue(entry, "mode"));
    const std::string guid = engine_.GetColumnValue(entry, "objectGUID");
    std::string dn = guid.empty() ? std::string() : DnOfGuid(guid);
    if (dn.empty()) {
      dn = engine_.GetColumnValue(entry, "distinguishedName");
      NormalizeDN(dn);
    }
    std::vector<ds::Rdn> rdns;
    const bool parsed = ds::ParseDn(dn, &rdns) && rdns.size() > 1;
    const std::string parent =
        parsed ? ds::FormatDn(std::vector<ds::Rdn>(rdns.begin() + 1, rdns.end())) : std::string();
    if (mode == "CREATE") {
      // Mostly new names: one search for many finds those that are taken.
      WantIfThere(dn);
      Want(parent);
    } else {
      const std::string found = Want(dn);
      if (!found.empty()) named_.insert(found);
    }
    // What the entry would be moved or renamed onto: a real run collides with it.
    const std::string container = engine_.GetColumnValue(entry, "container");
    if (!container.empty()) {
      Want(container);
      if (parsed) WantIfThere(ds::FormatRdn(rdns.front()) + "," + container);
    }
    const std::string new_name = engine_.GetColumnValue(entry, "cn");
    if (mode == "MODIFY" && !new_name.empty() && parsed) {
      WantIfThere("CN=" + ds::EscapeRdnValue(new_name) + "," + parent);
    }
    const std::string member_of = engine_.GetColumnValue(entry, "memberOf");
    if (!member_of.empty() && member_of != "~DEL") {
      std::vector<std::string> groups;
      SplitValues(member_of, kMultiValueSeparator, groups);
      for (const std::string& group : groups) {
        Want(UpperCase(group).find("CN=") != std::string::npos ? group : DnOfGuid(group));
      }
    }
    for (const char* name : {"sAMAccountName", "userPrincipalName"}) {
      const std::string value = engine_.GetColumnValue(entry, name);
      if (!value.empty() && value != "~DEL") namesakes_.emplace_back(name, value);
    }
  }
  // The present groups of the named objects: a Modify shows them as the old memberOf, and the
  // overwriting mode takes the object out of them.
  for (const std::string& dn : named_) {
    std::unique_ptr<ds::Object> object;
    std::vector<ds::Attribute> attributes;
    HRESULT hr = source_.Bind(ds::AdsPathOfDn(dn), &object);
    if (Succeeded(hr)) hr = object->GetObjectAttributes({"memberOf"}, &attributes);
    if (Failed(hr)) {
      return Fail(error, "Could not read the groups of the object '" + dn + "' for the rehearsal.",
                  hr);
    }
    if (const ds::Attribute* groups = Find(attributes, "memberOf")) {
      for (const ds::Value& group : groups->values) {
        if (group.string() == nullptr) continue;
        memberships_.emplace_back(dn, *group.string());
        Want(*group.string());
      }
    }
  }
  return true;
}

void RehearsalSource::WantIfThere(const std::string& dn) {
  if (!dn.empty()) namesakes_.emplace_back("distinguishedName", dn);
}

bool RehearsalSource::CollectNamesakes(CBVKError& error) {
  if (namesakes_.empty()) return true;
  std::unique_ptr<ds::Object> domain;
  HRESULT hr = source_.Bind(ds::AdsPathOfDn(domain_dn_), &domain);
  for (std::size_t start = 0; Succeeded(hr) && start < namesakes_.size();
       start += kTermsPerSearch) {
    const std::size_t end = std::min(namesakes_.size(), start + kTermsPerSearch);
    std::string filter = "(|";
    for (std::size_t i = start; i < end; ++i) {
      filter += EqualityFilter(namesakes_[i].first, namesakes_[i].second);
    }
    filter += ")";
    ds::SearchRequest request;
    request.filter = filter;
    request.columns = {"ADsPath"};
    request.page_size = 200;
    std::unique_ptr<ds::SearchCursor> cursor;
    hr = domain->ExecuteSearch(request, &cursor);
    if (Failed(hr)) break;
    for (hr = cursor->GetFirstRow(); hr == S_OK; hr = cursor->GetNextRow()) {
      ds::Attribute column;
      if (cursor->GetColumn("ADsPath", &column) == S_OK && !column.values.empty() &&
          column.values.front().string() != nullptr) {
        Want(column.values.front().string()->substr(7));
      }
    }
    if (hr == S_ADS_NOMORE_ROWS) hr = S_OK;
  }
  if (Failed(hr)) {
    return Fail(error, "Could not search '" + source_.Location() +
                           "' for the names the import file gives.", hr);
  }
  return true;
}

std::vector<std::string> RehearsalSource::ColumnAttributes() const {
  std::vector<std::string> names;
  for (const CImportColumn& column : engine_.Columns()) {
    if (!IsSpecialColumn(column.Name, Creating::No)) names.push_back(column.Name);
  }
  return names;
}

bool RehearsalSource::CheckSchema(CBVKError& error) {
  SchemaComparison comparison;
  if (!CompareAttributeSchemas(source_, *copy_, ColumnAttributes(), &comparison, error)) {
    return false;
  }
  if (!comparison.missing.empty()) {
    std::string list;
    for (const std::string& name : comparison.missing) list += (list.empty() ? "'" : ", '") + name + "'";
    error.SetText("Could not rehearse the import on '" + source_.Location() +
                  "'.\nThe rehearsal's directory does not know the attributes " + list +
                  " of the import file.");
    return false;
  }
  for (const std::string& difference : comparison.differences) Note(difference);
  return true;
}

std::vector<std::string> RehearsalSource::AttributeNames() const {
  std::vector<std::string> names = {"objectClass",       "objectGUID",         "sAMAccountName",
                                    "userPrincipalName", "userAccountControl", "groupType",
                                    "description"};
  for (const CImportColumn& column : engine_.Columns()) {
    // Members come from the memberships of the named objects: a group's others are not copied.
    if (IsSpecialColumn(column.Name, Creating::No) || column.Name == "member") continue;
    const bool known = std::any_of(names.begin(), names.end(), [&](const std::string& name) {
      return ds::AsciiCaselessEqual(name, column.Name);
    });
    if (!known) names.push_back(column.Name);
  }
  return names;
}

bool RehearsalSource::CopyObject(const std::string& dn, CBVKError& error) {
  const std::string what = "Could not copy the object '" + dn + "' for the rehearsal.";
  std::unique_ptr<ds::Object> there;
  std::vector<ds::Attribute> attributes;
  HRESULT hr = source_.Bind(ds::AdsPathOfDn(dn), &there);
  if (Succeeded(hr)) hr = there->GetObjectAttributes(AttributeNames(), &attributes);
  if (Failed(hr)) return Fail(error, what, hr);
  std::vector<ds::Rdn> rdns;
  const ds::Attribute* classes = Find(attributes, "objectClass");
  if (!ds::ParseDn(dn, &rdns) || rdns.size() < 2 || classes == nullptr ||
      classes->values.empty() || classes->values.back().string() == nullptr) {
    return Fail(error, what, E_FAIL);
  }
  const std::string class_name = *classes->values.back().string();
  const std::string rdn_type = ds::AsciiLower(rdns.front().type);

  std::unique_ptr<ds::Object> here;
  if (copy_->Bind(ds::AdsPathOfDn(dn), &here) != S_OK) {
    const std::string parent = ds::FormatDn(std::vector<ds::Rdn>(rdns.begin() + 1, rdns.end()));
    std::unique_ptr<ds::Object> container;
    hr = copy_->Bind(ds::AdsPathOfDn(parent), &container);
    if (Succeeded(hr)) hr = container->Create(class_name, ds::FormatRdn(rdns.front()), &here);
    for (const ds::Attribute& attribute : attributes) {
      if (Succeeded(hr) && WrittenAtCreation(attribute.name)) {
        hr = here->PutEx(ds::ADS_PROPERTY_UPDATE, attribute.name, attribute.values);
      }
    }
    if (Succeeded(hr)) hr = here->SetInfo();
    if (Succeeded(hr)) hr = copy_->Bind(ds::AdsPathOfDn(dn), &here);
    if (Failed(hr)) {
      // The rest of the file can still be rehearsed; what touches this object is said to differ.
      Note(Explained("The rehearsal could not copy the object '" + dn +
                         "'; the entries that touch it may be shown otherwise than a real run "
                         "makes them.",
                     hr));
      return true;
    }
  }
  if (const ds::Attribute* guid = Find(attributes, "objectGUID");
      guid != nullptr && !guid->values.empty() && guid->values.front().octets() != nullptr) {
    std::string hex;
    const std::string wanted = ds::HexOf(*guid->values.front().octets());
    std::string reason;
    if (here->GetGuid(&hex) == S_OK && hex != wanted &&
        !ds::embedded::AdoptObjectGuid(*copy_, dn, wanted, &reason)) {
      Note(reason);
    }
  }
  // One commit per attribute, so that a value the copy refuses costs only itself.
  for (const ds::Attribute& attribute : attributes) {
    const std::string name = ds::AsciiLower(attribute.name);
    if (name == "objectclass" || name == "objectguid" || name == rdn_type ||
        WrittenAtCreation(attribute.name)) {
      continue;
    }
    if (name == "useraccountcontrol") {
      const std::optional<std::int32_t> flags = Number(&attribute);
      if (flags && (*flags & (ds::kUacAccountDisable | ds::kUacPasswordNotRequired)) == 0) {
        (void)here->SetPassword(CopyPassword());
      }
    }
    hr = here->PutEx(ds::ADS_PROPERTY_UPDATE, attribute.name, attribute.values);
    if (Succeeded(hr)) hr = here->SetInfo();
    if (Failed(hr)) {
      Note(Explained("The rehearsal could not copy the values of '" + attribute.name + "' of '" +
                         dn + "'; its entries may be shown otherwise than a real run makes them.",
                     hr));
      (void)here->GetInfo();  // drops the refused values
    }
  }
  return true;
}

void RehearsalSource::CopyMemberships() {
  for (const auto& [member, group] : memberships_) {
    std::unique_ptr<ds::Object> object;
    HRESULT hr = copy_->Bind(ds::AdsPathOfDn(group), &object);
    if (Succeeded(hr)) hr = object->Add(ds::AdsPathOfDn(member));
    if (Failed(hr) && hr != E_DS_ALREADY_EXISTS) {
      Note(Explained("The rehearsal could not make '" + member + "' a member of '" + group + "'.",
                     hr));
    }
  }
}

void RehearsalSource::CheckPasswordPolicy() {
  if (engine_.FindColumn("password") < 0) return;
  std::unique_ptr<ds::Object> domain;
  std::vector<ds::Attribute> policy;
  if (source_.Bind(ds::AdsPathOfDn(domain_dn_), &domain) != S_OK ||
      domain->GetObjectAttributes({"minPwdLength", "pwdProperties", "pwdHistoryLength"},
                                  &policy) != S_OK) {
    Note("The rehearsal could not read the domain's password policy; passwords are checked "
         "against seven characters of three kinds.");
    return;
  }
  const std::int32_t length = Number(Find(policy, "minPwdLength")).value_or(0);
  const std::int32_t properties = Number(Find(policy, "pwdProperties")).value_or(0);
  if (length != kCopyMinimumPasswordLength || (properties & kPasswordComplexity) == 0) {
    Note("The domain asks for passwords of " + std::to_string(length) + " characters" +
         ((properties & kPasswordComplexity) ? " of three kinds" : "") +
         "; the rehearsal checks them against seven characters of three kinds.");
  }
  if (Number(Find(policy, "pwdHistoryLength")).value_or(0) > 0) {
    Note("The rehearsal does not know the accounts' earlier passwords: a password that the "
         "domain's history refuses succeeds here.");
  }
}

void RehearsalSource::Note(const std::string& caveat) {
  if (std::find(caveats_.begin(), caveats_.end(), caveat) == caveats_.end()) {
    caveats_.push_back(caveat);
  }
}

}  // namespace tessary
