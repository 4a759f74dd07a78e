#include "provision.h"

#include <cctype>

#include "directory/ds/embedded/embedded_directory.h"

namespace tessary::tools {

bool DomainDnOf(const std::string& dns_name, std::string* dn) {
  std::string result;
  size_t start = 0;
  int labels = 0;
  while (start <= dns_name.size()) {
    size_t dot = dns_name.find('.', start);
    if (dot == std::string::npos) dot = dns_name.size();
    const std::string label = dns_name.substr(start, dot - start);
    if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-')
      return false;
    for (char c : label)
      if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-') return false;
    result += (result.empty() ? "DC=" : ",DC=") + label;
    ++labels;
    start = dot + 1;
  }
  if (labels < 2) return false;
  *dn = result;
  return true;
}

bool ProvisionDomainInFile(const std::string& path, const std::string& dns_name,
                           const ds::embedded::SchemaDefinition& schema, std::string* error) {
  return ds::embedded::ProvisionDomain(path, dns_name, schema, ds::embedded::ProvisionOptions(),
                                       error);
}

}  // namespace tessary::tools
