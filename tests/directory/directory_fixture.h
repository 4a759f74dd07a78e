#pragma once
// A connected domain for each test: the test directory behind a counting wrapper, CExDomain
// connected to it, and an organisational unit of the test's own to create objects in.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "counting_directory.h"
#include "directory_tree.h"
#include "directory/ex_domain.h"
#include "test_support.h"

namespace tessary::testing {

class DirectoryTest : public MachineTest {
 protected:
  void SetUp() override;
  // A shared directory keeps nothing of the test: its unit is deleted with everything below.
  void TearDown() override;

  // An account name (sAMAccountName) unique in the domain, also across runs on a shared
  // directory, and within AD's 20 characters.
  static std::string AccountName(const std::string& base);

  // Creates and commits an object of class_name named rdn ("CN=x" or "OU=x") in parent_dn and
  // returns its DN; the test fails when the directory refuses.
  std::string Add(const std::string& class_name, const std::string& rdn,
                  const std::string& parent_dn,
                  const std::vector<std::pair<std::string, std::string>>& values = {});
  // A security group in the test's unit, with an account name made from its name.
  std::string AddGroup(const std::string& name) {
    return Add("group", "CN=" + name, unit_, {{"sAMAccountName", AccountName(name)}});
  }
  // A contact in the test's unit.
  std::string AddContact(const std::string& name) { return Add("contact", "CN=" + name, unit_); }

  std::unique_ptr<ds::Directory> backend_;
  std::unique_ptr<CountingDirectory> directory_;
  std::unique_ptr<CExDomain> domain_;
  std::string unit_;  // the test's organisational unit
};

}  // namespace tessary::testing
