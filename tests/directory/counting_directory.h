#pragma once
// Wraps a directory and counts what the code under test asks of it: binds, searches (with their
// filters) and GetObjectAttributes requests, so tests can check how often the directory is asked.

#include <memory>
#include <string>
#include <vector>

#include "directory/ds/directory.h"

namespace tessary::testing {

struct DirectoryCalls {
  std::vector<std::string> binds;
  std::vector<std::string> search_filters;
  std::vector<std::string> attribute_requests;
};

class CountingDirectory : public ds::Directory {
 public:
  explicit CountingDirectory(ds::Directory& inner) : inner_(inner) {}
  HRESULT Bind(const std::string& path, std::unique_ptr<ds::Object>* object) override;
  std::string Location() const override { return inner_.Location(); }
  DirectoryCalls& Calls() { return calls_; }

 private:
  ds::Directory& inner_;
  DirectoryCalls calls_;
};

}  // namespace tessary::testing
