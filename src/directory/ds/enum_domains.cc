#include "directory/ds/ads_path.h"
#include "directory/ds/directory.h"

namespace tessary::ds {
namespace {

// crossRef objects of domains carry SYSTEM_FLAG_CR_NTDS_DOMAIN (2) in systemFlags.
constexpr char kDomainCrossRefFilter[] =
    "(&(objectClass=crossRef)(systemFlags:1.2.840.113556.1.4.803:=2))";

}  // namespace

HRESULT EnumDomainNames(Directory& directory, std::vector<std::string>* dns_names) {
  dns_names->clear();
  std::unique_ptr<Object> root_dse;
  HRESULT hr = directory.Bind("LDAP://RootDSE", &root_dse);
  if (Failed(hr)) return hr;
  Value configuration;
  hr = root_dse->Get("configurationNamingContext", &configuration);
  if (Failed(hr)) return hr;
  if (configuration.string() == nullptr) return E_ADS_BAD_PATHNAME;

  std::unique_ptr<Object> partitions;
  hr = directory.Bind(AdsPathOfDn("CN=Partitions," + *configuration.string()), &partitions);
  if (Failed(hr)) return hr;
  SearchRequest request;
  request.filter = kDomainCrossRefFilter;
  request.columns = {"dnsRoot"};
  request.scope = SearchScope::kOneLevel;
  request.page_size = 100;
  std::unique_ptr<SearchCursor> cursor;
  hr = partitions->ExecuteSearch(request, &cursor);
  if (Failed(hr)) return hr;
  for (hr = cursor->GetFirstRow(); hr == S_OK; hr = cursor->GetNextRow()) {
    Attribute column;
    if (cursor->GetColumn("dnsRoot", &column) != S_OK) continue;
    for (const Value& value : column.values) {
      if (value.string() != nullptr) dns_names->push_back(*value.string());
    }
  }
  return hr == S_ADS_NOMORE_ROWS ? S_OK : hr;
}

}  // namespace tessary::ds
