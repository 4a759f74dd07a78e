// The Exchange 2000 mailbox component of the embedded directory: offered once the forest holds an
// Exchange organisation; creating a mailbox writes the mailbox attributes from the store's place.

#include "directory/ds/ds_error.h"
#include "directory/ds/embedded/embedded_directory.h"
#include "test_support.h"

namespace tessary::testing {
namespace {

constexpr char kServices[] = "CN=Services,CN=Configuration,DC=example,DC=com";
constexpr char kStore[] =
    "CN=Mailbox Store (MAIL01),CN=First Storage Group,CN=InformationStore,CN=MAIL01,CN=Servers,"
    "CN=First Administrative Group,CN=Administrative Groups,CN=Tessary Org,CN=Microsoft "
    "Exchange,CN=Services,CN=Configuration,DC=example,DC=com";

class MailboxTest : public MachineTest {
 protected:
  void SetUp() override {
    std::string path = (machine_.Root() / "mail.db").string();
    std::string error;
    ASSERT_TRUE(ds::embedded::ProvisionDomain(path, "example.com", ds::embedded::BuiltinSchema(),
                                              {}, &error))
        << error;
    ASSERT_TRUE(ds::embedded::OpenEmbeddedDirectory(path, &directory_, &error)) << error;
    ASSERT_EQ(S_OK, Make("CN=Users,DC=example,DC=com", "user", "CN=Mail User",
                         {{"sAMAccountName", "muser"}}));
  }

  HRESULT Make(const std::string& parent, const std::string& class_name, const std::string& rdn,
               const std::vector<std::pair<std::string, std::string>>& values = {}) {
    std::unique_ptr<ds::Object> container, created;
    HRESULT hr = directory_->Bind("LDAP://" + parent, &container);
    if (Succeeded(hr)) hr = container->Create(class_name, rdn, &created);
    for (const auto& [name, text] : values) {
      if (Succeeded(hr)) hr = created->Put(name, ds::Value::String(text));
    }
    return Succeeded(hr) ? created->SetInfo() : hr;
  }

  // The tree Exchange setup makes, down to one mailbox store.
  void MakeOrganisation() {
    std::string parent = kServices;
    const std::pair<const char*, const char*> levels[] = {
        {"msExchConfigurationContainer", "CN=Microsoft Exchange"},
        {"msExchOrganizationContainer", "CN=Tessary Org"},
        {"msExchAdminGroupContainer", "CN=Administrative Groups"},
        {"msExchAdminGroup", "CN=First Administrative Group"},
        {"msExchServersContainer", "CN=Servers"},
        {"msExchExchangeServer", "CN=MAIL01"},
        {"msExchInformationStore", "CN=InformationStore"},
        {"msExchStorageGroup", "CN=First Storage Group"},
        {"msExchPrivateMDB", "CN=Mailbox Store (MAIL01)"},
    };
    for (const auto& [class_name, rdn] : levels) {
      ASSERT_EQ(S_OK, Make(parent, class_name, rdn)) << rdn;
      parent = std::string(rdn) + "," + parent;
    }
    ASSERT_EQ(kStore, parent);
  }

  std::unique_ptr<ds::Object> User() {
    std::unique_ptr<ds::Object> user;
    EXPECT_EQ(S_OK, directory_->Bind("LDAP://CN=Mail User,CN=Users,DC=example,DC=com", &user));
    return user;
  }

  std::string Text(const std::string& name) {
    ds::Value value;
    std::unique_ptr<ds::Object> user = User();
    return user->Get(name, &value) == S_OK && value.string() ? *value.string() : "";
  }

  std::unique_ptr<ds::Directory> directory_;
};

TEST_F(MailboxTest, WithoutAnOrganisationTheComponentIsNotInstalled) {
  std::unique_ptr<ds::MailboxStore> mailbox;
  EXPECT_EQ(E_NOINTERFACE, User()->QueryMailboxStore(&mailbox));
}

TEST_F(MailboxTest, CreateMailboxWritesTheMailboxAttributes) {
  MakeOrganisation();
  std::unique_ptr<ds::MailboxStore> mailbox;
  ASSERT_EQ(S_OK, User()->QueryMailboxStore(&mailbox));
  ASSERT_EQ(S_OK, mailbox->CreateMailbox(kStore));
  EXPECT_EQ(kStore, Text("homeMDB"));
  EXPECT_EQ("muser", Text("mailNickname"));
  EXPECT_EQ("/o=Tessary Org/ou=First Administrative Group/cn=Recipients/cn=muser",
            Text("legacyExchangeDN"));
  EXPECT_EQ("/o=Tessary Org/ou=First Administrative Group/cn=Configuration/cn=Servers/cn=MAIL01",
            Text("msExchHomeServerName"));
  // A second mailbox fails; the user keeps the first.
  EXPECT_EQ(E_DS_ALREADY_EXISTS, mailbox->CreateMailbox(kStore));
}

TEST_F(MailboxTest, AStoreThatDoesNotExistIsRefused) {
  MakeOrganisation();
  std::unique_ptr<ds::MailboxStore> mailbox;
  ASSERT_EQ(S_OK, User()->QueryMailboxStore(&mailbox));
  EXPECT_EQ(E_DS_NO_SUCH_OBJECT,
            mailbox->CreateMailbox("CN=No Store,CN=Configuration,DC=example,DC=com"));
  EXPECT_EQ(E_INVALIDARG, mailbox->CreateMailbox(kServices));
  EXPECT_EQ("", Text("homeMDB"));
}

}  // namespace
}  // namespace tessary::testing
