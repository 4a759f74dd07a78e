#include "backend.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>

#include "directory/ds/embedded/embedded_directory.h"
#include "directory/ds/open_directory.h"

namespace tessary::testing {
namespace {

class EmbeddedBackend : public ConformanceBackend {
 public:
  ~EmbeddedBackend() override {
    directory_.reset();
    std::error_code ec;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ec);
  }

  bool Open(std::string* error) {
    std::string pattern = (std::filesystem::temp_directory_path() / "tessary-conformance-XXXXXX");
    if (mkdtemp(pattern.data()) == nullptr) {
      *error = "Could not create a temporary folder.";
      return false;
    }
    folder_ = pattern;
    std::string path = folder_ + "/directory.db";
    return ds::embedded::ProvisionDomain(path, "example.com", ds::embedded::BuiltinSchema(), {},
                                         error) &&
           ds::embedded::OpenEmbeddedDirectory(path, &directory_, error);
  }

  ds::Directory& directory() override { return *directory_; }
  bool embedded() const override { return true; }
  std::string domain_dn() const override { return "DC=example,DC=com"; }
  std::string dns_name() const override { return "example.com"; }
  bool PasswordIs(const std::string& dn, const std::string& password) override {
    return ds::embedded::VerifyPassword(*directory_, dn, password);
  }

 private:
  std::string folder_;
  std::unique_ptr<ds::Directory> directory_;
};

class ServerBackend : public ConformanceBackend {
 public:
  bool Open(const std::string& uri, std::string* error) {
    if (!ds::OpenDirectory(uri, &directory_, error)) return false;
    std::unique_ptr<ds::Object> root;
    ds::Value value;
    if (Failed(directory_->Bind("LDAP://RootDSE", &root)) ||
        Failed(root->Get("defaultNamingContext", &value)) || value.string() == nullptr) {
      *error = "Could not read the RootDSE of '" + uri + "'.";
      return false;
    }
    domain_dn_ = *value.string();
    std::string rest = domain_dn_;
    while (!rest.empty()) {
      std::size_t comma = rest.find(',');
      std::string part = rest.substr(0, comma);
      dns_name_ += (dns_name_.empty() ? "" : ".") + part.substr(part.find('=') + 1);
      rest = comma == std::string::npos ? "" : rest.substr(comma + 1);
    }
    return true;
  }

  ds::Directory& directory() override { return *directory_; }
  bool embedded() const override { return false; }
  std::string domain_dn() const override { return domain_dn_; }
  std::string dns_name() const override { return dns_name_; }
  bool PasswordIs(const std::string&, const std::string&) override { return true; }

 private:
  std::unique_ptr<ds::Directory> directory_;
  std::string domain_dn_;
  std::string dns_name_;
};

}  // namespace

ConformanceBackend* SharedBackend(std::string* error) {
  static std::unique_ptr<ConformanceBackend> backend;
  static std::string failure;
  if (backend == nullptr && failure.empty()) {
    const char* choice = std::getenv("TESSARY_CONFORMANCE_DIRECTORY");
    std::string location = choice != nullptr && choice[0] != '\0' ? choice : "embedded";
    if (location == "embedded") {
      auto embedded = std::make_unique<EmbeddedBackend>();
      if (embedded->Open(&failure)) backend = std::move(embedded);
    } else {
      auto server = std::make_unique<ServerBackend>();
      if (server->Open(location, &failure)) backend = std::move(server);
    }
    if (backend == nullptr && failure.empty()) failure = "Could not open " + location + ".";
  }
  *error = failure;
  return backend.get();
}

}  // namespace tessary::testing
