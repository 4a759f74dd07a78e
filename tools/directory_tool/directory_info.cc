#include "directory_info.h"

#include <ostream>

#include "failure_text.h"

namespace tessary::tools {
namespace {

// Counts the rows of a search below object; the rows are only walked, never kept.
HRESULT CountRows(ds::Object& object, const std::string& filter, ds::SearchScope scope,
                  int* count) {
  ds::SearchRequest request;
  request.filter = filter;
  request.columns = {"distinguishedName"};
  request.scope = scope;
  request.page_size = 1000;
  std::unique_ptr<ds::SearchCursor> cursor;
  *count = 0;
  HRESULT hr = object.ExecuteSearch(request, &cursor);
  if (Succeeded(hr)) hr = cursor->GetFirstRow();
  for (; hr == S_OK; hr = cursor->GetNextRow()) ++*count;
  return hr == S_ADS_NOMORE_ROWS ? S_OK : hr;
}

struct Kind {
  const char* label;
  const char* filter;
};

const Kind kKinds[] = {
    {"Objects", "(objectClass=*)"},
    {"Users", "(&(objectCategory=person)(objectClass=user))"},
    {"  with a mailbox", "(&(objectCategory=person)(objectClass=user)(homeMDB=*))"},
    {"Groups", "(objectCategory=group)"},
    {"Contacts", "(objectClass=contact)"},
    {"Computers", "(objectCategory=computer)"},
    {"Organizational units", "(objectCategory=organizationalUnit)"},
    {"Containers", "(objectCategory=container)"},
};

std::string TextOf(ds::Object& object, const char* name) {
  ds::Value value;
  return Succeeded(object.Get(name, &value)) && value.string() ? *value.string() : "";
}

}  // namespace

bool WriteDirectoryInfo(ds::Directory& directory, std::ostream& out, std::string* error) {
  out << "Directory file: " << directory.Location() << "\n";
  std::vector<std::string> domains;
  HRESULT hr = ds::EnumDomainNames(directory, &domains);
  if (Failed(hr)) {
    *error = FailureText("Could not list the domains of the directory.", hr);
    return false;
  }
  if (domains.empty()) out << "Domains: none\n";
  for (const std::string& dns_name : domains) {
    std::unique_ptr<ds::Object> domain;
    hr = directory.Bind("LDAP://" + dns_name, &domain);
    if (Failed(hr)) {
      *error = FailureText("Could not open the domain '" + dns_name + "'.", hr);
      return false;
    }
    out << "Domain: " << dns_name << " (" << TextOf(*domain, "distinguishedName") << ")\n";
    for (const Kind& kind : kKinds) {
      int count = 0;
      hr = CountRows(*domain, kind.filter, ds::SearchScope::kSubtree, &count);
      if (Failed(hr)) {
        *error = FailureText("Could not count the objects of the domain '" + dns_name + "'.", hr);
        return false;
      }
      out << "  " << kind.label << ": " << count << "\n";
    }
  }
  std::unique_ptr<ds::Object> root_dse, schema;
  hr = directory.Bind("LDAP://RootDSE", &root_dse);
  int attributes = 0, classes = 0;
  if (Succeeded(hr))
    hr = directory.Bind("LDAP://" + TextOf(*root_dse, "schemaNamingContext"), &schema);
  if (Succeeded(hr))
    hr = CountRows(*schema, "(objectClass=attributeSchema)", ds::SearchScope::kOneLevel,
                   &attributes);
  if (Succeeded(hr))
    hr = CountRows(*schema, "(objectClass=classSchema)", ds::SearchScope::kOneLevel, &classes);
  if (Failed(hr)) {
    *error = FailureText("Could not read the schema of the directory.", hr);
    return false;
  }
  out << "Schema: " << attributes << " attributes, " << classes << " classes\n";
  return true;
}

}  // namespace tessary::tools
