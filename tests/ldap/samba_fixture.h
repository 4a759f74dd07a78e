#pragma once
// A test against the fixture's Samba AD DC: its bind variables in the environment, a private
// machine, and (for directory tests) a fresh organizational unit of its own.

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "directory/ds/directory.h"
#include "directory/ds/ldap/ldap_directory.h"
#include "samba_dc.h"
#include "scoped_env.h"
#include "test_support.h"

namespace tessary::testing {

class SambaTest : public MachineTest {
 protected:
  void SetUp() override {
    std::string why;
    bool running = dc_.Load(&why);
    TESSARY_REQUIRE_PREREQUISITE(running, why);
    dc_.UseForBind(&env_, machine_.Root().string());
  }

  std::string Uri() const { return dc_.Var("TESSARY_SAMBA_URI"); }
  std::string PlainUri() const { return dc_.Var("TESSARY_SAMBA_LDAP_URI"); }
  std::string BaseDn() const { return dc_.Var("TESSARY_SAMBA_BASE_DN"); }

  SambaDc dc_;
  ScopedEnv env_;
};

// Each test works in OU=<unique>,<base DN>, so runs and tests never meet.
class SambaDirectoryTest : public SambaTest {
 protected:
  void SetUp() override {
    SambaTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    std::string error;
    ASSERT_TRUE(ds::ldap::OpenLdapDirectory(Uri(), &directory_, &error)) << error;
    std::random_device random;
    ou_name_ = "t" + std::to_string(random()) + std::to_string(random());
    std::unique_ptr<ds::Object> base, ou;
    ASSERT_EQ(directory_->Bind("LDAP://" + BaseDn(), &base), S_OK);
    ASSERT_EQ(base->Create("organizationalUnit", "OU=" + ou_name_, &ou), S_OK);
    ASSERT_EQ(ou->SetInfo(), S_OK);
    ou_dn_ = "OU=" + ou_name_ + "," + BaseDn();
  }

  std::unique_ptr<ds::Object> BindOu() {
    std::unique_ptr<ds::Object> ou;
    EXPECT_EQ(directory_->Bind("LDAP://" + ou_dn_, &ou), S_OK);
    return ou;
  }

  std::unique_ptr<ds::Directory> directory_;
  std::string ou_name_, ou_dn_;
};

}  // namespace tessary::testing
