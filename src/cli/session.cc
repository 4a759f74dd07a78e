#include "cli/session.h"

#include "cli/directory_location.h"
#include "directory/dn.h"
#include "directory/ds/dn.h"

namespace tessary::cli {
namespace {

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

bool Session::Connect(const std::string& directory_option, std::string* error) {
  const std::string location = ChooseDirectoryLocation(directory_option);
  if (!OpenChosenDirectory(location, &directory_, error)) return false;
  domain_ = std::make_unique<CExDomain>(directory_.get());
  if (!domain_->Connect()) {
    *error = domain_->Error().GetText();
    return false;
  }
  return true;
}

bool Session::CheckClass(const std::string& admin_name, std::string* error) {
  if (domain_->LoadSchemaClass(admin_name)) return true;
  *error = domain_->Error().GetText();
  return false;
}

bool Session::ResolveAttributes(const std::string& list, std::vector<std::string>* names,
                                std::string* error) {
  names->clear();
  if (Trimmed(list).empty()) return true;
  if (!domain_->LoadSchemaAttributes()) {
    *error = domain_->Error().GetText();
    return false;
  }
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = list.find(',', start);
    const std::string name = Trimmed(list.substr(start, comma - start));
    if (!name.empty()) {
      const CBVKADSchemaObject* found = nullptr;
      for (const auto& attribute : domain_->SchemaAttributes) {
        if (ds::AsciiLower(attribute->LDAPDisplayName) == ds::AsciiLower(name)) {
          found = attribute.get();
          break;
        }
      }
      if (found == nullptr) {
        *error = "Could not retrieve information about the attribute '" + name + "'.";
        return false;
      }
      names->push_back(found->LDAPDisplayName);
    }
    if (comma == std::string::npos) return true;
    start = comma + 1;
  }
}

bool Session::ResolveContainer(const std::string& dn, CBVKADObject** container,
                               std::string* error) {
  std::vector<ds::Rdn> rdns;
  if (!ds::ParseDn(dn, &rdns)) {
    *error = "'" + dn + "' is not a distinguished name such as CN=Users,DC=example,DC=com.";
    return false;
  }
  if (ds::DnKey(dn) == ds::DnKey(domain_->DistinguishedName)) {
    *container = domain_.get();
    return true;
  }
  std::string normalized = dn;
  NormalizeDN(normalized);
  std::unique_ptr<ds::Object> object;
  if (!domain_->Open(normalized, &object)) {
    *error = domain_->Error().GetText();
    return false;
  }
  container_ = std::make_unique<CExContainer>(directory_.get());
  container_->DistinguishedName = normalized;
  container_->Name = rdns.front().value;
  *container = container_.get();
  return true;
}

}  // namespace tessary::cli
