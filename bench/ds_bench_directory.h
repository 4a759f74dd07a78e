#pragma once
// A freshly provisioned embedded directory in a temporary folder, for the ds benchmarks.

#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "directory/ds/embedded/embedded_directory.h"

namespace tessary::bench {

class BenchDirectory {
 public:
  BenchDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tessary-bench-XXXXXX");
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    folder_ = pattern;
    std::string path = folder_ + "/directory.db";
    std::string error;
    if (!ds::embedded::ProvisionDomain(path, "example.com", ds::embedded::BuiltinSchema(), {},
                                       &error) ||
        !ds::embedded::OpenEmbeddedDirectory(path, &directory_, &error)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      std::abort();
    }
  }
  ~BenchDirectory() {
    directory_.reset();
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }

  ds::Directory& directory() { return *directory_; }

  std::unique_ptr<ds::Object> Bind(const std::string& dn) {
    std::unique_ptr<ds::Object> object;
    if (Failed(directory_->Bind("LDAP://" + dn, &object))) std::abort();
    return object;
  }

  // One user with four attributes besides its name, committed on its own.
  HRESULT CreateUser(ds::Object& container, int i) {
    std::string n = std::to_string(i);
    std::unique_ptr<ds::Object> user;
    HRESULT hr = container.Create("user", "CN=User " + n, &user);
    if (Failed(hr)) return hr;
    (void)user->Put("sAMAccountName", ds::Value::String("user" + n));
    (void)user->Put("givenName", ds::Value::String("Given" + n));
    (void)user->Put("sn", ds::Value::String("Surname" + n));
    (void)user->Put("description", ds::Value::String("Benchmark user number " + n));
    return user->SetInfo();
  }

 private:
  std::string folder_;
  std::unique_ptr<ds::Directory> directory_;
};

}  // namespace tessary::bench
