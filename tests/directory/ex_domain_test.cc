// The domain object: container tree, schema lists with their cache file, attribute syntax
// look-ups and mailbox creation, against the test directory.

#include "directory/ex_domain.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "directory_fixture.h"
#include "test_directory.h"

namespace tessary {
namespace {

using testing::DirectoryTest;
using testing::ReadFileText;
using testing::WriteFileText;

class DomainTest : public DirectoryTest {
 protected:
  std::string CachePath() { return (machine_.Root() / "Schema.dat").string(); }
  void UseCache() { domain_->SetSchemaCachePath(CachePath()); }
};

TEST_F(DomainTest, EnumContainersSearchesOnce) {
  ASSERT_TRUE(domain_->EnumContainers()) << domain_->Error().GetText();
  ASSERT_TRUE(domain_->EnumContainers());
  EXPECT_EQ(directory_->Calls().search_filters.size(), 1u);
  bool users = false, unit = false;
  for (int i = 0; i < domain_->GetContainerCount(); ++i) {
    CExContainer* container = domain_->GetContainer(i);
    ASSERT_NE(container, nullptr);
    EXPECT_EQ(container->Parent, &domain_->ContainerRoot);
    if (container->Name == "Users") users = container->IsOrganizationalUnit == 0;
    if (container->DistinguishedName == unit_) unit = container->IsOrganizationalUnit == 1;
  }
  EXPECT_TRUE(users);
  EXPECT_TRUE(unit);
  EXPECT_EQ(domain_->GetContainer(domain_->GetContainerCount()), nullptr);
}

TEST_F(DomainTest, SubContainersAreContainersToo) {
  Add("organizationalUnit", "OU=Inner", unit_);
  Add("container", "CN=Deeper", "OU=Inner," + unit_);
  CExContainer top(directory_.get());
  top.DistinguishedName = unit_;
  ASSERT_TRUE(top.EnumSubContainers()) << top.Error().GetText();
  ASSERT_EQ(top.GetContainerCount(), 1);
  CExContainer* inner = top.GetContainer(0);
  ASSERT_NE(inner, nullptr);
  EXPECT_EQ(inner->Name, "Inner");
  ASSERT_TRUE(inner->EnumSubContainers()) << inner->Error().GetText();
  ASSERT_EQ(inner->GetContainerCount(), 1);
  EXPECT_EQ(inner->GetContainer(0)->Name, "Deeper");
  EXPECT_EQ(inner->GetContainer(0)->Parent, inner);
}

TEST_F(DomainTest, TypedChildListsMakeChildrenOfTheirOwnKind) {
  EXPECT_NE(dynamic_cast<CExOrg*>(domain_->Children.AddNew()), nullptr);
  CExOrg org;
  EXPECT_NE(dynamic_cast<CExAdminGroup*>(org.Children.AddNew()), nullptr);
  CExAdminGroup group;
  EXPECT_NE(dynamic_cast<CExServer*>(group.Children.AddNew()), nullptr);
  CExServer server;
  EXPECT_NE(dynamic_cast<CExStorageGroup*>(server.Children.AddNew()), nullptr);
  CExStorageGroup storage;
  EXPECT_NE(dynamic_cast<CExMailboxStore*>(storage.Children.AddNew()), nullptr);
  EXPECT_NE(dynamic_cast<CExPublicFolderStore*>(storage.PublicStores.Children.AddNew()), nullptr);
  // A list answers only for elements of its own kind.
  CBVKADObject plain;
  plain.Children.AddNew();
  EXPECT_NE(plain.GetChild(0), nullptr);
  EXPECT_EQ(org.GetChild(0), org.Children.GetAt(0));
}

TEST_F(DomainTest, SchemaClassesAreListed) {
  ASSERT_TRUE(domain_->LoadSchemaClasses()) << domain_->Error().GetText();
  CBVKADSchemaObject* user = domain_->FindClassByAdminName("User");
  ASSERT_NE(user, nullptr);
  EXPECT_EQ(user->LDAPDisplayName, "user");
  EXPECT_EQ(user->SchemaDN, "CN=User," + domain_->SchemaNamingContext);
  EXPECT_EQ(domain_->FindClassByDNPrefix("CN=Organizational-Unit,")->LDAPDisplayName,
            "organizationalUnit");
  EXPECT_EQ(domain_->FindClassByAdminName("user"), nullptr);  // exact comparison
  std::size_t searches = directory_->Calls().search_filters.size();
  ASSERT_TRUE(domain_->LoadSchemaClasses());
  EXPECT_EQ(directory_->Calls().search_filters.size(), searches);
}

TEST_F(DomainTest, OneClassIsFoundWithoutListingThemAll) {
  ASSERT_TRUE(domain_->LoadSchemaClass("Group")) << domain_->Error().GetText();
  EXPECT_EQ(directory_->Calls().search_filters.size(), 1u);
  ASSERT_NE(domain_->FindClassByAdminName("Group"), nullptr);
  EXPECT_EQ(domain_->FindClassByAdminName("Group")->LDAPDisplayName, "group");
  EXPECT_TRUE(domain_->SchemaClasses.empty());
  // Found once, asked for no more.
  ASSERT_TRUE(domain_->LoadSchemaClass("Group"));
  EXPECT_EQ(directory_->Calls().search_filters.size(), 1u);
  // The directory matches "group" without regard to case; the class list would not.
  EXPECT_FALSE(domain_->LoadSchemaClass("group"));
  EXPECT_EQ(domain_->Error().GetText(),
            "Could not locate information for the schema class group.");
  EXPECT_FALSE(domain_->LoadSchemaClass("No-Such-Class)(cn=*"));
  // The whole list is still read in full, and answers afterwards.
  ASSERT_TRUE(domain_->LoadSchemaClasses());
  EXPECT_GT(domain_->SchemaClasses.size(), 20u);
  const std::size_t searches = directory_->Calls().search_filters.size();
  EXPECT_TRUE(domain_->LoadSchemaClass("User"));
  EXPECT_FALSE(domain_->LoadSchemaClass("Nothing"));
  EXPECT_EQ(directory_->Calls().search_filters.size(), searches);
}

TEST_F(DomainTest, AClassTheSchemaCacheNamesIsConfirmedByItsEntryNotSearchedFor) {
  UseCache();
  const std::string& schema = domain_->SchemaNamingContext;
  // The cache as a rebuild writes it, with two entries it may not be trusted on: an attribute
  // listed under a class's name, and an entry that is gone.
  WriteFileText(CachePath(), "Group$$$group$$$CN=Group," + schema + "\r\n" +
                                 "Contact$$$mail$$$CN=E-mail-Addresses," + schema + "\r\n" +
                                 "User$$$user$$$CN=Gone-User," + schema + "\r\n");
  ASSERT_TRUE(domain_->LoadSchemaClass("Group")) << domain_->Error().GetText();
  EXPECT_TRUE(directory_->Calls().search_filters.empty());
  ASSERT_NE(domain_->FindClassByAdminName("Group"), nullptr);
  EXPECT_EQ(domain_->FindClassByAdminName("Group")->LDAPDisplayName, "group");
  // Where the entry does not confirm it, the search decides.
  ASSERT_TRUE(domain_->LoadSchemaClass("Contact")) << domain_->Error().GetText();
  EXPECT_EQ(domain_->FindClassByAdminName("Contact")->LDAPDisplayName, "contact");
  ASSERT_TRUE(domain_->LoadSchemaClass("User")) << domain_->Error().GetText();
  EXPECT_EQ(domain_->FindClassByAdminName("User")->SchemaDN, "CN=User," + schema);
  EXPECT_EQ(directory_->Calls().search_filters.size(), 2u);
  EXPECT_FALSE(domain_->LoadSchemaClass("E-mail-Addresses"));
  EXPECT_EQ(domain_->Error().GetText(),
            "Could not locate information for the schema class E-mail-Addresses.");
}

TEST_F(DomainTest, EmptyCacheIsRebuiltFromTheDirectory) {
  UseCache();
  WriteFileText(CachePath(), "");
  ASSERT_TRUE(domain_->LoadSchemaAttributes()) << domain_->Error().GetText();
  CBVKADSchemaObject* cn = domain_->FindAttributeByLDAPName("cn");
  ASSERT_NE(cn, nullptr);
  EXPECT_EQ(cn->AdminDisplayName, "Common-Name");
  EXPECT_EQ(domain_->FindAttributeByDN(cn->SchemaDN), cn);
  std::string text = ReadFileText(CachePath());
  EXPECT_NE(text.find("Common-Name$$$cn$$$" + cn->SchemaDN + "\r\n"), std::string::npos);
  // The file keeps every entry; only the list leaves the token groups out.
  EXPECT_NE(text.find("$$$tokenGroups$$$"), std::string::npos);
  for (const char* name :
       {"tokenGroups", "tokenGroupsGlobalAndUniversal", "tokenGroupsNoGCAcceptable"}) {
    EXPECT_EQ(domain_->FindAttributeByLDAPName(name), nullptr) << name;
  }
}

TEST_F(DomainTest, CacheWithAMalformedLineIsRebuilt) {
  UseCache();
  WriteFileText(CachePath(), "A$$$a$$$CN=A\r\nB$$$b\r\n");
  ASSERT_TRUE(domain_->LoadSchemaAttributes()) << domain_->Error().GetText();
  EXPECT_EQ(domain_->FindAttributeByLDAPName("a"), nullptr);
  EXPECT_NE(domain_->FindAttributeByLDAPName("cn"), nullptr);
  EXPECT_EQ(ReadFileText(CachePath()).find("B$$$b\r\n"), std::string::npos);
}

TEST_F(DomainTest, MissingCacheIsRebuiltAndWritten) {
  UseCache();
  ASSERT_TRUE(domain_->LoadSchemaAttributes()) << domain_->Error().GetText();
  EXPECT_TRUE(std::filesystem::exists(CachePath()));
}

TEST_F(DomainTest, ValidCacheIsUsedAsItIs) {
  UseCache();
  const std::string text =
      "Made-Up$$$madeUp$$$CN=Made-Up,CN=Schema\r\n"
      "Token-Groups$$$tokenGroups$$$CN=Token-Groups,CN=Schema\r\n"
      "Common-Name$$$cn$$$CN=Common-Name,CN=Schema\r\n";
  WriteFileText(CachePath(), text);
  ASSERT_TRUE(domain_->LoadSchemaAttributes()) << domain_->Error().GetText();
  ASSERT_EQ(domain_->SchemaAttributes.size(), 2u);
  EXPECT_EQ(domain_->SchemaAttributes[0]->LDAPDisplayName, "madeUp");
  EXPECT_EQ(domain_->FindAttributeByDN("CN=Common-Name,CN=Schema")->AdminDisplayName,
            "Common-Name");
  EXPECT_EQ(domain_->FindAttributeByDN("CN=Token-Groups,CN=Schema"), nullptr);
  EXPECT_TRUE(directory_->Calls().binds.empty());
  EXPECT_EQ(ReadFileText(CachePath()), text);
}

TEST_F(DomainTest, DefaultCacheLivesInTheProgramFolder) {
  EXPECT_EQ(std::filesystem::path(domain_->SchemaCachePath()).filename(), "Schema.dat");
  EXPECT_EQ(domain_->SchemaCachePath().rfind(machine_.Root().string(), 0), 0u);
}

TEST_F(DomainTest, ClassAttributesReplaceTheListWithoutTokenGroups) {
  ASSERT_TRUE(domain_->LoadSchemaClasses()) << domain_->Error().GetText();
  ASSERT_TRUE(domain_->LoadClassAttributes("Group")) << domain_->Error().GetText();
  CBVKADSchemaObject* member = domain_->FindAttributeByLDAPName("member");
  ASSERT_NE(member, nullptr);
  EXPECT_FALSE(member->AdminDisplayName.empty());
  EXPECT_EQ(domain_->FindAttributeByDN(member->SchemaDN), member);
  EXPECT_NE(domain_->FindAttributeByLDAPName("groupType"), nullptr);  // mandatory ones too
  for (const char* name :
       {"tokenGroups", "tokenGroupsGlobalAndUniversal", "tokenGroupsNoGCAcceptable"}) {
    EXPECT_EQ(domain_->FindAttributeByLDAPName(name), nullptr) << name;
  }
  // The class list now stands in for the whole schema: LoadSchemaAttributes keeps it.
  std::size_t count = domain_->SchemaAttributes.size();
  UseCache();
  ASSERT_TRUE(domain_->LoadSchemaAttributes());
  EXPECT_EQ(domain_->SchemaAttributes.size(), count);
  EXPECT_FALSE(std::filesystem::exists(CachePath()));
}

TEST_F(DomainTest, UnknownClass) {
  ASSERT_TRUE(domain_->LoadSchemaClasses());
  EXPECT_FALSE(domain_->LoadClassAttributes("No-Such-Class"));
  EXPECT_EQ(domain_->Error().GetText(),
            "Could not locate information for the schema class No-Such-Class.");
}

class AttributeInfoTest : public DirectoryTest {
 protected:
  bool Info(std::string display, std::string ldap) {
    display_ = std::move(display);
    ldap_ = std::move(ldap);
    return domain_->GetAttributeInfo(domain_->SchemaNamingContext, &display_, &ldap_, &ads_type_,
                                     &variant_type_, &single_, &syntax_);
  }
  std::string display_, ldap_, syntax_;
  int ads_type_ = -1, variant_type_ = -1;
  bool single_ = false;
};

TEST_F(AttributeInfoTest, ByLdapName) {
  ASSERT_TRUE(Info("", "cn")) << domain_->Error().GetText();
  EXPECT_EQ(display_, "Common-Name");
  EXPECT_EQ(ldap_, "cn");
  EXPECT_EQ(syntax_, "Directory String");
  EXPECT_EQ(ads_type_, 3);
  EXPECT_EQ(variant_type_, 8);
  EXPECT_TRUE(single_);
}

TEST_F(AttributeInfoTest, ByDisplayName) {
  ASSERT_TRUE(Info("Member", "")) << domain_->Error().GetText();
  EXPECT_EQ(ldap_, "member");
  EXPECT_EQ(syntax_, "Distinguished Name");
  EXPECT_EQ(ads_type_, 1);
  EXPECT_FALSE(single_);
}

TEST_F(AttributeInfoTest, LargeIntegerAndSecurityIdentifier) {
  ASSERT_TRUE(Info("", "accountExpires")) << domain_->Error().GetText();
  EXPECT_EQ(syntax_, "Large Integer");
  ASSERT_TRUE(Info("", "objectSid")) << domain_->Error().GetText();
  EXPECT_EQ(syntax_, "Security Identifier");
  EXPECT_EQ(variant_type_, 8209);
}

TEST_F(AttributeInfoTest, UnknownDisplayName) {
  EXPECT_FALSE(Info("No-Such-Attribute", ""));
  EXPECT_EQ(domain_->Error().GetText(),
            "No attribute with the name 'No-Such-Attribute' exists in the directory schema.");
}

TEST_F(AttributeInfoTest, UnknownLdapName) {
  EXPECT_FALSE(Info("", "noSuchAttribute"));
  EXPECT_EQ(domain_->Error().GetText(),
            "Could not locate the schema attribute with the name 'noSuchAttribute'.");
}

TEST_F(AttributeInfoTest, NamesCannotChangeTheFilter) {
  for (const char* name : {"*", "cn)(lDAPDisplayName=*", "c*", "cn\\"}) {
    EXPECT_FALSE(Info("", name)) << name;
    EXPECT_EQ(domain_->Error().GetText(),
              std::string("Could not locate the schema attribute with the name '") + name + "'.");
  }
}

class MailboxTest : public DirectoryTest {
 protected:
  std::string AddUser(const std::string& name) {
    std::unique_ptr<ds::Object> user;
    CBVKADObject creator(directory_.get());
    EXPECT_TRUE(creator.CreateInContainer(unit_, "user", name, &user));
    EXPECT_TRUE(creator.PutString(*user, "sAMAccountName", AccountName(name)));
    EXPECT_TRUE(creator.Commit(*user)) << creator.Error().GetText();
    return "CN=" + name + "," + unit_;
  }
  // A shared directory keeps no Exchange organisation of the test.
  void TearDown() override {
    if (!exchange_.empty() && !testing::UsingFreshEmbeddedDirectory()) {
      EXPECT_EQ(testing::DeleteTree(*backend_, exchange_), S_OK) << exchange_;
    }
    DirectoryTest::TearDown();
  }
  // The tree Exchange setup makes in the configuration; gives the mailbox store's DN.
  std::string AddExchangeOrganisation() {
    std::string services = "CN=Services," + domain_->ConfigurationNamingContext;
    std::string exchange = Add("msExchConfigurationContainer", "CN=Microsoft Exchange", services);
    exchange_ = exchange;
    std::string org = Add("msExchOrganizationContainer", "CN=Tessary", exchange);
    std::string groups = Add("msExchAdminGroupContainer", "CN=Administrative Groups", org);
    std::string group = Add("msExchAdminGroup", "CN=First Administrative Group", groups);
    std::string servers = Add("msExchServersContainer", "CN=Servers", group);
    std::string server = Add("msExchExchangeServer", "CN=MAIL01", servers);
    std::string information = Add("msExchInformationStore", "CN=InformationStore", server);
    std::string storage = Add("msExchStorageGroup", "CN=First Storage Group", information);
    return Add("msExchPrivateMDB", "CN=Mailbox Store (MAIL01)", storage);
  }

  std::string exchange_;
};

TEST_F(MailboxTest, WithoutTheExchangeComponentEveryCreationFails) {
  std::string user = AddUser("nobox");
  CBVKADObject object(directory_.get());
  EXPECT_FALSE(object.CreateMailbox(user, "CN=Store,DC=x"));
  EXPECT_EQ(object.Error().GetText(),
            "Could not create a mailbox for the user '" + user +
                "'.\nCould not obtain the proper interface to create a mailbox.\nPlease ensure "
                "that the Microsoft Exchange 2000 System Manager is installed.\nInterface is not "
                "supported. (80004002)");
}

TEST_F(MailboxTest, ForAMissingUser) {
  const std::string missing = "CN=Nobody," + unit_;
  CBVKADObject object(directory_.get());
  EXPECT_FALSE(object.CreateMailbox(missing, "CN=Store,DC=x"));
  EXPECT_EQ(object.Error().GetText(),
            "Could not create a mailbox for the user '" + missing +
                "'.\nCould not open the users active directory object.\nObject does not exist. "
                "(80072030)");
}

TEST_F(MailboxTest, CreatesAMailboxAndAcceptsAnExistingOne) {
  std::string store = AddExchangeOrganisation();
  std::string user = AddUser("boxed");
  CBVKADObject object(directory_.get());
  ASSERT_TRUE(object.CreateMailbox(user, store)) << object.Error().GetText();
  CBVKADObject reader(directory_.get());
  reader.DistinguishedName = user;
  std::string home;
  ASSERT_TRUE(reader.GetOwnAttribute("homeMDB", &home, CBVKADObject::Required::Yes))
      << reader.Error().GetText();
  EXPECT_EQ(home, store);
  // The component refuses a second mailbox, but the user has one: success.
  ASSERT_TRUE(object.CreateMailbox(user, store)) << object.Error().GetText();
}

TEST_F(MailboxTest, MissingStoreFailsWithTheComponentsCode) {
  AddExchangeOrganisation();
  std::string user = AddUser("storeless");
  CBVKADObject object(directory_.get());
  EXPECT_FALSE(object.CreateMailbox(user, "CN=No Store," + unit_));
  EXPECT_EQ(object.Error().GetText(),
            "Could not create a mailbox for the user '" + user +
                "'.\nMailbox creation failed.\nAn unknown problem occurred. (80072030)");
}

}  // namespace
}  // namespace tessary
