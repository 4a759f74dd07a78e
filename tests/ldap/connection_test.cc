// The connection's refusals and failures, against stand-in servers on loopback.
#include "directory/ds/ldap/connection.h"

#include <gtest/gtest.h>
#include <ldap.h>
#include <sys/stat.h>

#include "directory/ds/ldap/ldap_directory.h"
#include "directory/ds/open_directory.h"
#include "fake_ldap_server.h"
#include "platform/ui/scripted_ui_host.h"
#include "scoped_env.h"
#include "test_support.h"

namespace tessary::ds::ldap {
namespace {

using testing::FakeLdapServer;

class ConnectionTest : public testing::MachineTest {
 protected:
  void SetUp() override {
    // No Kerberos ticket and no user configuration of libldap.
    env_.Set("KRB5CCNAME", "FILE:" + (machine_.Root() / "no-ticket").string());
    env_.Set("KRB5_CONFIG", (machine_.Root() / "krb5.conf").string());
    env_.Set("LDAPNOINIT", "1");
    env_.Unset("TESSARY_NETWORK_TIMEOUT");
    env_.Unset("LDAPTLS_CACERT");
    password_file_ = (machine_.Root() / "password").string();
    testing::WriteFileText(password_file_, "Pa55word-never-in-clear\n");
    chmod(password_file_.c_str(), 0600);
    env_.Set("TESSARY_BIND_DN", "CN=Administrator,CN=Users,DC=example,DC=test");
    env_.Set("TESSARY_BIND_PASSWORD_FILE", password_file_);
  }

  testing::ScopedEnv env_;
  std::string password_file_;
  std::unique_ptr<Directory> directory_;
  std::string error_;
};

TEST_F(ConnectionTest, RefusesASimpleBindWhenTheServerWillNotStartTls) {
  FakeLdapServer server(FakeLdapServer::Behaviour::kRefuseStartTls);
  EXPECT_FALSE(OpenLdapDirectory(server.Uri(), &directory_, &error_));
  EXPECT_EQ(error_, "Could not bind to '" + server.Uri() +
                        "' as 'CN=Administrator,CN=Users,DC=example,DC=test': the server did not "
                        "start TLS: Protocol error. A password is never sent over an unencrypted "
                        "connection; use ldaps:// or a server that offers StartTLS, or bind with "
                        "a Kerberos ticket.\nConfidentiality is required. (8007202d)");
  EXPECT_GE(server.Answered(), 1);
  EXPECT_EQ(server.Received().find("Pa55word"), std::string::npos);
  EXPECT_EQ(directory_, nullptr);
}

TEST_F(ConnectionTest, WithoutTicketOrBindDnSaysWhatToConfigure) {
  env_.Unset("TESSARY_BIND_DN");
  FakeLdapServer server(FakeLdapServer::Behaviour::kRefuseStartTls);
  EXPECT_FALSE(OpenLdapDirectory(server.Uri(), &directory_, &error_));
  EXPECT_TRUE(error_.starts_with("Kerberos (GSSAPI) bind to '" + server.Uri() + "' failed: "))
      << error_;
  EXPECT_NE(error_.find("\nWithout a Kerberos ticket, TESSARY_BIND_DN and "
                        "TESSARY_BIND_PASSWORD_FILE name the account and password of a simple "
                        "bind over TLS.\n"),
            std::string::npos)
      << error_;
}

TEST_F(ConnectionTest, WithoutAPasswordFileAsksForTheAccountAndPassword) {
  env_.Unset("TESSARY_BIND_PASSWORD_FILE");
  platform::ScriptedUiHost ui;
  ui.QueueCredentials(platform::Credentials{"CN=Ann,CN=Users,DC=example,DC=test", "Typed-pa55"});
  platform::SetUiHost(&ui);
  FakeLdapServer server(FakeLdapServer::Behaviour::kRefuseStartTls);
  EXPECT_FALSE(OpenLdapDirectory(server.Uri(), &directory_, &error_));
  platform::SetUiHost(nullptr);
  ASSERT_EQ(ui.CredentialRequests().size(), 1u);
  EXPECT_EQ(ui.CredentialRequests()[0].server, server.Uri());
  EXPECT_EQ(ui.CredentialRequests()[0].account, "CN=Administrator,CN=Users,DC=example,DC=test");
  // The account typed is the one bound as; the password never went out without TLS.
  EXPECT_TRUE(error_.starts_with("Could not bind to '" + server.Uri() +
                                 "' as 'CN=Ann,CN=Users,DC=example,DC=test': the server did not "
                                 "start TLS"))
      << error_;
  EXPECT_EQ(server.Received().find("Typed-pa55"), std::string::npos);
}

TEST_F(ConnectionTest, CancellingTheCredentialsSaysWhatIsMissing) {
  env_.Unset("TESSARY_BIND_PASSWORD_FILE");
  env_.Unset("TESSARY_BIND_DN");
  platform::ScriptedUiHost ui;
  ui.QueueCredentials(std::nullopt);
  platform::SetUiHost(&ui);
  FakeLdapServer server(FakeLdapServer::Behaviour::kRefuseStartTls);
  EXPECT_FALSE(OpenLdapDirectory(server.Uri(), &directory_, &error_));
  platform::SetUiHost(nullptr);
  EXPECT_EQ(ui.CredentialRequests().size(), 1u);
  EXPECT_NE(error_.find("\nWithout a Kerberos ticket, TESSARY_BIND_DN and "
                        "TESSARY_BIND_PASSWORD_FILE name the account"),
            std::string::npos)
      << error_;
}

TEST_F(ConnectionTest, APasswordFileIsNeverSecondGuessed) {
  platform::ScriptedUiHost ui;
  platform::SetUiHost(&ui);
  FakeLdapServer server(FakeLdapServer::Behaviour::kRefuseStartTls);
  EXPECT_FALSE(OpenLdapDirectory(server.Uri(), &directory_, &error_));
  platform::SetUiHost(nullptr);
  EXPECT_TRUE(ui.CredentialRequests().empty());
}

TEST_F(ConnectionTest, FailsClosedWhenTheCertificateAuthoritiesCannotBeRead) {
  const std::string missing = (machine_.Root() / "no-such-ca.pem").string();
  env_.Set("LDAPTLS_CACERT", missing);
  FakeLdapServer server(FakeLdapServer::Behaviour::kRefuseStartTls);
  EXPECT_FALSE(OpenLdapDirectory(server.Uri(), &directory_, &error_));
  EXPECT_TRUE(error_.starts_with("Could not connect to '" + server.Uri() +
                                 "': libldap would not set a TLS context with the certificate "
                                 "authorities of LDAPTLS_CACERT ('" +
                                 missing +
                                 "', which must be a readable file of PEM certificates)."))
      << error_;
  EXPECT_EQ(server.Received(), "");
  EXPECT_EQ(directory_, nullptr);
}

// Refuses one option, as libldap does when a setting cannot be applied.
int refused_option = 0;
int RefuseOneOption(::ldap* handle, int option, const void* value) {
  return option == refused_option ? -1 : ldap_set_option(handle, option, value);
}

TEST_F(ConnectionTest, AnyOptionThatDoesNotTakeFailsTheConnectionBeforeAByteIsSent) {
  FakeLdapServer server(FakeLdapServer::Behaviour::kRefuseStartTls);
  const std::pair<int, std::string> cases[] = {
      {LDAP_OPT_X_TLS_REQUIRE_CERT, "certificate checking (TLS_REQCERT demand)"},
      {LDAP_OPT_X_TLS_NEWCTX, "a TLS context with the system's certificate authorities"},
      {LDAP_OPT_REFERRALS, "referrals off"},
  };
  for (const auto& [option, name] : cases) {
    refused_option = option;
    ConnectionSettings settings;
    ASSERT_TRUE(SettingsFromEnvironment(server.Uri(), &settings, &error_)) << error_;
    settings.set_option = RefuseOneOption;
    Connection connection(settings);
    error_.clear();
    EXPECT_TRUE(Failed(connection.Open(&error_)));
    EXPECT_EQ(error_,
              "Could not connect to '" + server.Uri() + "': libldap would not set " + name + ".");
  }
  EXPECT_EQ(server.Received(), "");
}

TEST_F(ConnectionTest, AKerberosBindIsNotTriedWithoutItsProtectionDemand) {
  FakeLdapServer server(FakeLdapServer::Behaviour::kRefuseStartTls);
  refused_option = LDAP_OPT_X_SASL_SECPROPS;
  ConnectionSettings settings;
  ASSERT_TRUE(SettingsFromEnvironment(server.Uri(), &settings, &error_)) << error_;
  settings.bind_dn.clear();
  settings.set_option = RefuseOneOption;
  Connection connection(settings);
  EXPECT_TRUE(Failed(connection.Open(&error_)));
  EXPECT_TRUE(error_.starts_with("Kerberos (GSSAPI) bind to '" + server.Uri() +
                                 "' not attempted: libldap would not set the SASL security "
                                 "properties minssf=56."))
      << error_;
}

TEST_F(ConnectionTest, ReportsAServerThatCannotBeReached) {
  std::string uri = "ldap://127.0.0.1:" + std::to_string(testing::UnusedPort());
  EXPECT_FALSE(OpenLdapDirectory(uri, &directory_, &error_));
  EXPECT_TRUE(error_.starts_with("Could not connect to '" + uri + "': Can't contact LDAP server"))
      << error_;
  EXPECT_TRUE(error_.ends_with("\nCannot contact the LDAP server. (8007203a)")) << error_;
}

TEST_F(ConnectionTest, GivesUpOnASilentServerAfterTheNetworkTimeout) {
  env_.Set("TESSARY_NETWORK_TIMEOUT", "1");
  FakeLdapServer server(FakeLdapServer::Behaviour::kSilent);
  EXPECT_FALSE(OpenLdapDirectory(server.Uri(), &directory_, &error_));
  EXPECT_NE(error_.find("Timed out"), std::string::npos) << error_;
  EXPECT_EQ(server.Received().find("Pa55word"), std::string::npos);
}

TEST_F(ConnectionTest, RefusesABadNetworkTimeout) {
  for (const char* bad : {"abc", "0", "-5", "3601", "10s"}) {
    env_.Set("TESSARY_NETWORK_TIMEOUT", bad);
    EXPECT_FALSE(OpenLdapDirectory("ldap://127.0.0.1:1", &directory_, &error_));
    EXPECT_EQ(error_, std::string("TESSARY_NETWORK_TIMEOUT is '") + bad +
                          "'; it must be a whole number of seconds from 1 to 3600.");
  }
}

TEST_F(ConnectionTest, SettingsComeFromTheEnvironment) {
  env_.Set("TESSARY_NETWORK_TIMEOUT", "7");
  env_.Set("LDAPTLS_CACERT", "/some/ca.pem");
  ConnectionSettings settings;
  ASSERT_TRUE(SettingsFromEnvironment("ldaps://dc", &settings, &error_)) << error_;
  EXPECT_EQ(settings.uri, "ldaps://dc");
  EXPECT_EQ(settings.timeout, std::chrono::seconds(7));
  EXPECT_EQ(settings.bind_dn, "CN=Administrator,CN=Users,DC=example,DC=test");
  EXPECT_EQ(settings.password_file, password_file_);
  EXPECT_EQ(settings.ca_file, "/some/ca.pem");
}

TEST_F(ConnectionTest, DefaultNetworkTimeoutIsThirtySeconds) {
  ConnectionSettings settings;
  ASSERT_TRUE(SettingsFromEnvironment("ldap://dc", &settings, &error_));
  EXPECT_EQ(settings.timeout, std::chrono::seconds(30));
}

TEST(LdapBackend, InstallsItselfForLdapLocations) {
  InstallLdapBackend();
  EXPECT_EQ(RegisteredLdapBackend(), &OpenLdapDirectory);
}

}  // namespace
}  // namespace tessary::ds::ldap
