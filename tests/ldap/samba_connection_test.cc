// Binding to a real AD DC (Samba): GSSAPI with a ticket, simple binds only over verified TLS.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "directory/ds/ldap/connection.h"
#include "samba_fixture.h"

namespace tessary::ds::ldap {
namespace {

class SambaConnectionTest : public testing::SambaTest {
 protected:
  HRESULT OpenConnection(const std::string& uri) {
    ConnectionSettings settings;
    EXPECT_TRUE(SettingsFromEnvironment(uri, &settings, &error_)) << error_;
    connection_ = std::make_unique<Connection>(settings);
    return connection_->Open(&error_);
  }

  std::unique_ptr<Connection> connection_;
  std::string error_;
};

TEST_F(SambaConnectionTest, BindsSimplyOverLdapsWithoutTicket) {
  ASSERT_EQ(OpenConnection(Uri()), S_OK) << error_;
  EXPECT_EQ(connection_->Mechanism(), "SIMPLE");
}

TEST_F(SambaConnectionTest, BindsSimplyAfterStartTlsOnPlainLdap) {
  ASSERT_EQ(OpenConnection(PlainUri()), S_OK) << error_;
  EXPECT_EQ(connection_->Mechanism(), "SIMPLE");
}

TEST_F(SambaConnectionTest, BindsWithGssapiWhenTheUserHasATicket) {
  std::string ccache = "FILE:" + (machine_.Root() / "ticket").string();
  ASSERT_TRUE(dc_.Kinit(ccache));
  env_.Set("KRB5CCNAME", ccache);
  // No password at all: the ticket alone must do.
  env_.Unset("TESSARY_BIND_DN");
  env_.Unset("TESSARY_BIND_PASSWORD_FILE");
  ASSERT_EQ(OpenConnection(PlainUri()), S_OK) << error_;
  EXPECT_EQ(connection_->Mechanism(), "GSSAPI");

  std::unique_ptr<Directory> directory;
  ASSERT_TRUE(OpenLdapDirectory(PlainUri(), &directory, &error_)) << error_;
  std::unique_ptr<Object> users;
  EXPECT_EQ(directory->Bind("LDAP://CN=Users," + BaseDn(), &users), S_OK);
}

TEST_F(SambaConnectionTest, RefusesACertificateItsCaDidNotSign) {
  // A CA that did not sign the DC's certificate; nothing in the environment or an ldaprc may
  // switch the check off.
  std::filesystem::path other_ca = machine_.Root() / "other-ca.pem";
  std::filesystem::copy_file("/etc/ssl/certs/ca-certificates.crt", other_ca);
  env_.Set("LDAPTLS_CACERT", other_ca.string());
  env_.Set("LDAPTLS_REQCERT", "never");
  env_.Unset("LDAPNOINIT");
  testing::WriteFileText(machine_.Home() / ".ldaprc", "TLS_REQCERT never\n");
  EXPECT_EQ(OpenConnection(Uri()), MakeHresult(0x8007203A));
  EXPECT_TRUE(error_.starts_with("Could not connect to '" + Uri() + "': Can't contact LDAP server"))
      << error_;
  EXPECT_NE(error_.find("certificate"), std::string::npos) << error_;
}

TEST_F(SambaConnectionTest, RefusesAPasswordFileOthersMayRead) {
  std::filesystem::path copy = machine_.Root() / "readable-password";
  testing::WriteFileText(copy, testing::ReadFileText(dc_.Var("TESSARY_BIND_PASSWORD_FILE")));
  chmod(copy.c_str(), 0644);
  env_.Set("TESSARY_BIND_PASSWORD_FILE", copy.string());
  EXPECT_EQ(OpenConnection(Uri()), MakeHresult(0x8007052E));
  EXPECT_EQ(error_, "Could not bind to '" + Uri() + "' as '" + dc_.Var("TESSARY_BIND_DN") +
                        "': The password file '" + copy.string() +
                        "' may be read or written by other users; allow its owner only (chmod "
                        "600).");
}

TEST_F(SambaConnectionTest, ReportsAWrongPassword) {
  std::filesystem::path wrong = machine_.Root() / "wrong-password";
  testing::WriteFileText(wrong, "not-the-password\n");
  chmod(wrong.c_str(), 0600);
  env_.Set("TESSARY_BIND_PASSWORD_FILE", wrong.string());
  EXPECT_EQ(OpenConnection(Uri()), MakeHresult(0x8007052E));
  EXPECT_TRUE(error_.starts_with("Could not bind to '" + Uri() + "' as '" +
                                 dc_.Var("TESSARY_BIND_DN") + "': Invalid credentials"))
      << error_;
}

}  // namespace
}  // namespace tessary::ds::ldap
