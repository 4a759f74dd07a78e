#include "directory/ds/mailbox_store.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <set>

#include "directory/ds/ads_path.h"
#include "directory/ds/dn.h"
#include "directory/ds/ds_error.h"

namespace tessary::ds {
namespace {

constexpr const char* kMailboxSchemaNames[] = {"homeMDB", "msExchHomeServerName", "mailNickname",
                                               "legacyExchangeDN", "msExchOrganizationContainer"};

std::string TextOf(const std::vector<Attribute>& attributes, std::string_view name) {
  for (const Attribute& attribute : attributes) {
    if (AsciiCaselessEqual(attribute.name, name) && !attribute.values.empty() &&
        attribute.values.front().string() != nullptr) {
      return *attribute.values.front().string();
    }
  }
  return {};
}

bool HasClass(const std::vector<Attribute>& attributes, std::string_view class_name) {
  for (const Attribute& attribute : attributes) {
    if (!AsciiCaselessEqual(attribute.name, "objectClass")) continue;
    for (const Value& value : attribute.values) {
      if (value.string() != nullptr && AsciiCaselessEqual(*value.string(), class_name)) return true;
    }
  }
  return false;
}

HRESULT ReadEntry(Directory& directory, const std::string& dn,
                  const std::vector<std::string>& names, std::vector<Attribute>* attributes) {
  std::unique_ptr<Object> object;
  HRESULT hr = directory.Bind(AdsPathOfDn(dn), &object);
  return Succeeded(hr) ? object->GetObjectAttributes(names, attributes) : hr;
}

// The rows of a search below base_dn, each with the columns it has; S_OK with none when base_dn
// is missing.
HRESULT SearchRows(Directory& directory, const std::string& base_dn, SearchScope scope,
                   const std::string& filter, const std::vector<std::string>& columns,
                   std::vector<std::vector<Attribute>>* rows) {
  std::unique_ptr<Object> base;
  HRESULT hr = directory.Bind(AdsPathOfDn(base_dn), &base);
  if (hr == E_DS_NO_SUCH_OBJECT) return S_OK;
  if (Failed(hr)) return hr;
  SearchRequest request;
  request.filter = filter;
  request.columns = columns;
  request.scope = scope;
  request.page_size = 100;
  std::unique_ptr<SearchCursor> cursor;
  if (hr = base->ExecuteSearch(request, &cursor); Failed(hr)) return hr;
  for (hr = cursor->GetFirstRow(); hr == S_OK; hr = cursor->GetNextRow()) {
    std::vector<Attribute>& row = rows->emplace_back();
    for (const std::string& column : columns) {
      Attribute value;
      if (cursor->GetColumn(column, &value) == S_OK) row.push_back(std::move(value));
    }
  }
  return hr == S_ADS_NOMORE_ROWS ? S_OK : hr;
}

std::string FirstRdnValue(const std::string& dn) {
  std::vector<Rdn> rdns;
  return ParseDn(dn, &rdns) && !rdns.empty() ? rdns.front().value : std::string();
}

// What creating a mailbox needs to know of the store's place: the Exchange server, its
// administrative group and the organisation above the store.
struct StorePlace {
  std::string server_name;  // the server's legacyExchangeDN when it has one
  std::string server_rdn_value, admin_group, organisation;
};

// The store and its ancestors in the configuration, read in one search rather than one read
// each: what a mailbox needs of them is their classes and the server's legacyExchangeDN.
// store_dn becomes the store's name as the directory spells it.
HRESULT FindStorePlace(Directory& directory, const std::string& configuration_dn,
                       std::string* store_dn, StorePlace* place) {
  std::vector<Rdn> rdns;
  if (!ParseDn(*store_dn, &rdns)) return E_ADS_BAD_PATHNAME;
  const std::string configuration_key = DnKey(configuration_dn);
  std::vector<std::string> level_keys;  // the store first, then each parent in the configuration
  std::string filter = "(|";
  for (std::size_t level = 0; level < rdns.size(); ++level) {
    const std::string dn =
        FormatDn({rdns.begin() + static_cast<std::ptrdiff_t>(level), rdns.end()});
    const std::string key = DnKey(dn);
    if (key == configuration_key || !key.ends_with("," + configuration_key)) break;
    level_keys.push_back(key);
    filter += "(distinguishedName=" + EscapeFilterValue(dn) + ")";
  }
  filter += ")";
  if (level_keys.empty()) {
    // Outside the configuration there is no mailbox store; only say whether there is anything.
    std::vector<Attribute> attributes;
    HRESULT hr = ReadEntry(directory, *store_dn, {"objectClass"}, &attributes);
    return Failed(hr) ? hr : E_INVALIDARG;
  }
  std::vector<std::vector<Attribute>> rows;
  HRESULT hr = SearchRows(directory, configuration_dn, SearchScope::kSubtree, filter,
                          {"distinguishedName", "objectClass", "legacyExchangeDN"}, &rows);
  if (Failed(hr)) return hr;
  std::map<std::string, const std::vector<Attribute>*> by_key;
  for (const std::vector<Attribute>& row : rows)
    by_key[DnKey(TextOf(row, "distinguishedName"))] = &row;

  auto store = by_key.find(level_keys.front());
  if (store == by_key.end()) return E_DS_NO_SUCH_OBJECT;
  *store_dn = TextOf(*store->second, "distinguishedName");
  // From the store up: the store, then the nearest server, admin group and organisation.
  const char* wanted[] = {"msExchPrivateMDB", "msExchExchangeServer", "msExchAdminGroup",
                          "msExchOrganizationContainer"};
  std::size_t next = 0;
  for (std::size_t level = 0; level < level_keys.size() && next < std::size(wanted); ++level) {
    auto found = by_key.find(level_keys[level]);
    if (found == by_key.end() || !HasClass(*found->second, wanted[next])) {
      if (next == 0) return E_INVALIDARG;  // not a mailbox store
      continue;
    }
    switch (next) {
      case 1:
        place->server_name = TextOf(*found->second, "legacyExchangeDN");
        place->server_rdn_value = rdns[level].value;
        break;
      case 2:
        place->admin_group = rdns[level].value;
        break;
      case 3:
        place->organisation = rdns[level].value;
        break;
    }
    ++next;
  }
  return next == std::size(wanted) ? S_OK : E_INVALIDARG;
}

class DirectoryMailboxStore final : public MailboxStore {
 public:
  DirectoryMailboxStore(std::unique_ptr<Directory> directory, std::string user_dn,
                        std::string configuration_dn)
      : directory_(std::move(directory)),
        user_dn_(std::move(user_dn)),
        configuration_dn_(std::move(configuration_dn)) {}

  HRESULT CreateMailbox(const std::string& home_mdb_dn) override {
    std::unique_ptr<Object> user;
    HRESULT hr = directory_->Bind(AdsPathOfDn(user_dn_), &user);
    if (Failed(hr)) return hr;
    std::vector<Attribute> own;
    hr = user->GetObjectAttributes({"homeMDB", "mailNickname", "sAMAccountName"}, &own);
    if (Failed(hr)) return hr;
    if (!TextOf(own, "homeMDB").empty()) return E_DS_ALREADY_EXISTS;

    std::string store_dn = home_mdb_dn;
    StorePlace place;
    if (hr = FindStorePlace(*directory_, configuration_dn_, &store_dn, &place); Failed(hr)) {
      return hr;
    }

    const std::string prefix = "/o=" + place.organisation + "/ou=" + place.admin_group;
    std::string server_name = place.server_name;
    if (server_name.empty()) {
      server_name = prefix + "/cn=Configuration/cn=Servers/cn=" + place.server_rdn_value;
    }
    std::string nickname = TextOf(own, "mailNickname");
    if (nickname.empty()) nickname = TextOf(own, "sAMAccountName");
    if (nickname.empty()) nickname = FirstRdnValue(user_dn_);
    auto text = [](std::string value, AdsType type = ADSTYPE_CASE_IGNORE_STRING) {
      return Values{Value::String(std::move(value), type)};
    };
    const std::vector<AttributeChange> changes = {
        {"homeMDB", ADS_PROPERTY_UPDATE, ADSTYPE_DN_STRING, text(store_dn, ADSTYPE_DN_STRING)},
        {"msExchHomeServerName", ADS_PROPERTY_UPDATE, ADSTYPE_CASE_IGNORE_STRING,
         text(server_name)},
        {"mailNickname", ADS_PROPERTY_UPDATE, ADSTYPE_CASE_IGNORE_STRING, text(nickname)},
        {"legacyExchangeDN", ADS_PROPERTY_UPDATE, ADSTYPE_CASE_IGNORE_STRING,
         text(prefix + "/cn=Recipients/cn=" + nickname)},
    };
    int written = 0;
    return user->SetObjectAttributes(changes, &written);
  }

 private:
  std::unique_ptr<Directory> directory_;
  std::string user_dn_;
  std::string configuration_dn_;
};

}  // namespace

HRESULT FindExchangeInstalled(Directory& directory, bool* installed) {
  *installed = false;
  std::unique_ptr<Object> root_dse;
  HRESULT hr = directory.Bind("LDAP://RootDSE", &root_dse);
  if (Failed(hr)) return hr;
  Value schema, configuration;
  if (hr = root_dse->Get("schemaNamingContext", &schema); Failed(hr)) return hr;
  if (hr = root_dse->Get("configurationNamingContext", &configuration); Failed(hr)) return hr;
  if (schema.string() == nullptr || configuration.string() == nullptr) return E_ADS_BAD_PATHNAME;

  std::string filter = "(|";
  for (const char* name : kMailboxSchemaNames)
    filter += "(lDAPDisplayName=" + std::string(name) + ")";
  filter += ")";
  std::vector<std::vector<Attribute>> rows;
  if (hr = SearchRows(directory, *schema.string(), SearchScope::kOneLevel, filter,
                      {"lDAPDisplayName"}, &rows);
      Failed(hr)) {
    return hr;
  }
  std::set<std::string> known;
  for (const auto& row : rows) known.insert(AsciiLower(TextOf(row, "lDAPDisplayName")));
  if (known.size() != std::size(kMailboxSchemaNames)) return S_OK;

  std::vector<std::vector<Attribute>> organisations;
  hr = SearchRows(directory, "CN=Microsoft Exchange,CN=Services," + *configuration.string(),
                  SearchScope::kOneLevel, "(objectCategory=msExchOrganizationContainer)",
                  {"distinguishedName"}, &organisations);
  if (Failed(hr)) return hr;
  *installed = !organisations.empty();
  return S_OK;
}

std::unique_ptr<MailboxStore> MakeMailboxStore(std::unique_ptr<Directory> directory,
                                               std::string user_dn, std::string configuration_dn) {
  return std::make_unique<DirectoryMailboxStore>(std::move(directory), std::move(user_dn),
                                                 std::move(configuration_dn));
}

}  // namespace tessary::ds
