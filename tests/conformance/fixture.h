#pragma once
// The fixture of every conformance test: the shared backend, an organisational unit of the
// test's own below the domain (deleted with everything in it at the end), and short helpers that
// go only through the directory service interface.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "backend.h"
#include "directory_tree.h"
#include "directory/ds/directory.h"
#include "directory/ds/ds_error.h"

namespace tessary::testing {

// "0x80072030" for messages: failures show the code as the error tables list it.
std::string Hex(HRESULT hr);
#define EXPECT_HR(expected, call) EXPECT_EQ(Hex(expected), Hex(call))
#define ASSERT_HR(expected, call) ASSERT_EQ(Hex(expected), Hex(call))

// One search row: column name (lower-cased) to its values.
using Row = std::map<std::string, ds::Attribute>;

class ConformanceTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  ds::Directory& directory() { return backend_->directory(); }
  bool embedded() const { return backend_->embedded(); }
  const std::string& ou() const { return ou_; }  // this test's own OU
  std::string domain_dn() const { return backend_->domain_dn(); }

  // Binds "LDAP://" + dn; the object or null (with the failure recorded).
  std::unique_ptr<ds::Object> Bind(const std::string& dn);
  HRESULT BindResult(const std::string& dn);
  // Creates and commits an object below parent with the given single text values.
  HRESULT Make(const std::string& parent, const std::string& class_name, const std::string& rdn,
               const std::vector<std::pair<std::string, std::string>>& values = {});
  HRESULT MakeUser(const std::string& parent, const std::string& cn, const std::string& sam);
  // The values of one attribute read through the property cache as texts.
  std::vector<std::string> Texts(const std::string& dn, const std::string& attribute);
  std::string Text(const std::string& dn, const std::string& attribute);
  // Runs a search to its end, walking rows and columns as the directory classes do.
  HRESULT Search(const std::string& base, const std::string& filter,
                 const std::vector<std::string>& columns, ds::SearchScope scope, int page_size,
                 std::vector<Row>* rows);
  // The first RDN values of the rows ("cn" column), sorted.
  std::vector<std::string> Names(const std::string& filter,
                                 ds::SearchScope scope = ds::SearchScope::kSubtree);

  ConformanceBackend* backend_ = nullptr;
  std::string ou_;
};

}  // namespace tessary::testing
