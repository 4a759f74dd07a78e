// Binding, searching, creating, renaming, moving and GUID look-ups against the test directory.

#include "directory/ad_object.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "directory/dn.h"
#include "directory_fixture.h"

namespace tessary {
namespace {

using testing::DirectoryTest;

class ObjectTest : public DirectoryTest {
 protected:
  CBVKADObject& Object() {
    if (!object_) object_ = std::make_unique<CBVKADObject>(directory_.get());
    return *object_;
  }
  std::unique_ptr<CBVKADObject> object_;
};

TEST_F(ObjectTest, ConnectReadsTheNamingContexts) {
  EXPECT_EQ(domain_->Name, "rootDSE");
  EXPECT_EQ(domain_->DistinguishedName.rfind("DC=", 0), 0u);
  EXPECT_EQ(domain_->SchemaNamingContext, "CN=Schema," + domain_->ConfigurationNamingContext);
  EXPECT_FALSE(domain_->RootDomainNamingContext.empty());
}

TEST_F(ObjectTest, OpenOfAMissingObjectClearsTheExistsFlag) {
  std::unique_ptr<ds::Object> object;
  int exists = -1;
  const std::string missing = "cn=Nobody," + unit_;
  EXPECT_FALSE(Object().Open(missing, &object, &exists));
  EXPECT_EQ(exists, 0);
  std::string normalized = missing;
  NormalizeDN(normalized);
  EXPECT_EQ(Object().Error().GetText(),
            "Could not open the object '" + normalized + "'.\nObject does not exist. (80072030)");
  EXPECT_EQ(directory_->Calls().binds.back(), "LDAP://" + normalized);
}

TEST_F(ObjectTest, OtherBindFailuresLeaveTheExistsFlagSet) {
  std::unique_ptr<ds::Object> object;
  int exists = -1;
  EXPECT_FALSE(Object().Open("<GUID=not-hex>", &object, &exists));
  EXPECT_EQ(Object().Error().GetText(),
            "Could not open the object '<GUID=not-hex>'.\nAn invalid ADSI path name was "
            "encountered. (80005000)");
  EXPECT_EQ(exists, 1);
}

TEST_F(ObjectTest, OpenOfAnExistingObject) {
  std::unique_ptr<ds::Object> object;
  int exists = -1;
  ASSERT_TRUE(Object().Open(unit_, &object, &exists)) << Object().Error().GetText();
  EXPECT_EQ(exists, 1);
  ASSERT_NE(object, nullptr);
}

TEST_F(ObjectTest, CreateObjectNamesEverythingCn) {
  std::unique_ptr<ds::Object> created;
  ASSERT_TRUE(Object().CreateInContainer(unit_, "container", "OU=Sales", &created))
      << Object().Error().GetText();
  ASSERT_TRUE(Object().Commit(*created)) << Object().Error().GetText();
  std::string rdn;
  ASSERT_EQ(created->GetName(&rdn), S_OK);
  EXPECT_EQ(rdn.rfind("CN=OU", 0), 0u) << rdn;
}

TEST_F(ObjectTest, CreateObjectKeepsAnExistingCnPrefix) {
  std::unique_ptr<ds::Object> created;
  ASSERT_TRUE(Object().CreateInContainer(unit_, "contact", "CN=Ann", &created));
  ASSERT_TRUE(Object().Commit(*created)) << Object().Error().GetText();
  std::unique_ptr<ds::Object> opened;
  EXPECT_TRUE(Object().Open("CN=Ann," + unit_, &opened)) << Object().Error().GetText();
}

TEST_F(ObjectTest, CreateInAMissingContainer) {
  std::unique_ptr<ds::Object> created;
  const std::string missing = "OU=Missing," + unit_;
  EXPECT_FALSE(Object().CreateInContainer(missing, "contact", "Ann", &created));
  EXPECT_EQ(Object().Error().GetText(),
            "Could not open the object '" + missing +
                "'.\nObject does not exist. (80072030)\nCould not open the container for the new "
                "object.");
}

TEST_F(ObjectTest, CommitFailureIsReportedWithTheCode) {
  std::unique_ptr<ds::Object> created;
  AddContact("Twin");
  ASSERT_TRUE(Object().CreateInContainer(unit_, "contact", "Twin", &created));
  HRESULT result = S_OK;
  EXPECT_FALSE(Object().Commit(*created, &result));
  EXPECT_EQ(result, E_DS_ALREADY_EXISTS);
  EXPECT_EQ(Object().Error().GetText(),
            "Could not commit changes.\nThe object already exists. (80071392)");
}

TEST_F(ObjectTest, RenameInPlace) {
  std::string dn = AddContact("Old");
  ASSERT_TRUE(Object().RenameObject(unit_, dn, "New")) << Object().Error().GetText();
  std::unique_ptr<ds::Object> object;
  EXPECT_TRUE(Object().Open("CN=New," + unit_, &object));
  int exists = 1;
  EXPECT_FALSE(Object().Open(dn, &object, &exists));
  EXPECT_EQ(exists, 0);
}

TEST_F(ObjectTest, RenameOfAMissingObject) {
  const std::string missing = "CN=Gone," + unit_;
  EXPECT_FALSE(Object().RenameObject(unit_, missing, "cn=New"));
  EXPECT_EQ(Object().Error().GetText().rfind("Could not rename the object.\n", 0), 0u);
  EXPECT_NE(Object().Error().GetText().find("\nCould not rename the object '" + missing +
                                            "' to 'CN=New' in the container '" + unit_ + "'."),
            std::string::npos);
}

TEST_F(ObjectTest, RenameInAMissingContainer) {
  const std::string missing = "OU=Missing," + unit_;
  EXPECT_FALSE(Object().RenameObject(missing, "CN=x," + missing, "y"));
  EXPECT_EQ(Object().Error().GetText(),
            "Could not open the object '" + missing +
                "'.\nObject does not exist. (80072030)\nCould not open the container to rename "
                "an object.\nCould not rename the object 'CN=x," +
                missing + "' to 'CN=y' in the container '" + missing + "'.");
}

TEST_F(ObjectTest, MoveKeepsTheRdn) {
  std::string dn = AddContact("Mover");
  std::string target = Add("organizationalUnit", "OU=Target", unit_);
  ASSERT_TRUE(Object().MoveObject(target, dn)) << Object().Error().GetText();
  std::unique_ptr<ds::Object> object;
  EXPECT_TRUE(Object().Open("CN=Mover," + target, &object)) << Object().Error().GetText();
}

TEST_F(ObjectTest, MoveFailureClearsTheMessageAndAddsItsLine) {
  const std::string missing = "CN=Gone," + unit_;
  EXPECT_FALSE(Object().MoveObject(unit_, missing));
  EXPECT_EQ(Object().Error().GetText(),
            "\nObject does not exist. (80072030)\nCould not move the "
            "object '" +
                missing + "' to the container '" + unit_ + "'.");
}

TEST_F(ObjectTest, GuidPathIsLowerCaseWithoutSeparators) {
  std::string dn;
  EXPECT_FALSE(Object().GetDNFromGUID("{6F9619FF-8B86-D011-B42D-00C04FC964FF}", &dn));
  EXPECT_EQ(directory_->Calls().binds.back(), "LDAP://<GUID=6f9619ff8b86d011b42d00c04fc964ff>");
  EXPECT_EQ(Object().Error().GetText(),
            "Could not open the object '<GUID=6f9619ff8b86d011b42d00c04fc964ff>'.\nObject does "
            "not exist. (80072030)");
}

TEST_F(ObjectTest, ObjectGuidTextOfSearchRowsFindsTheObject) {
  std::string dn = AddContact("Guid Holder");
  CBVKADSearch search;
  ASSERT_TRUE(Object().Search(search, unit_, "(cn=Guid Holder)",
                              {"objectGUID", "distinguishedName"}, CBVKADObject::Subtree::No))
      << search.error.GetText();
  ASSERT_EQ(search.rows.size(), 1u);
  std::string guid;
  ASSERT_TRUE(search.rows[0]->GetText("objectGUID", &guid));
  EXPECT_TRUE(std::regex_match(
      guid, std::regex("\\{[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}\\}")))
      << guid;
  // The text from the search row and the bound object's own GUID are the same bytes.
  std::unique_ptr<ds::Object> object;
  ASSERT_TRUE(Object().Open(dn, &object));
  std::string own;
  ASSERT_EQ(object->GetGuid(&own), S_OK);
  EXPECT_EQ(GuidDigits(guid), own);
  std::string found;
  ASSERT_TRUE(Object().GetDNFromGUID(guid, &found)) << Object().Error().GetText();
  EXPECT_EQ(found, dn);
}

TEST_F(ObjectTest, SearchHandsRowsToTheHandlerAndStopsWhenAsked) {
  for (const char* name : {"a1", "a2", "a3"}) AddContact(name);
  CBVKADSearch search;
  std::vector<std::string> seen;
  search.row_handler = [&](CBVKADPropertySet& row) {
    std::string cn;
    EXPECT_TRUE(row.GetText("cn", &cn));
    seen.push_back(cn);
    return seen.size() < 2;
  };
  ASSERT_TRUE(
      Object().Search(search, unit_, "(objectClass=contact)", {"cn"}, CBVKADObject::Subtree::No));
  EXPECT_EQ(seen.size(), 2u);
  EXPECT_TRUE(search.rows.empty());
}

TEST_F(ObjectTest, SearchReadsColumnsTheFirstRowLackedThroughTheObject) {
  std::string first = AddContact("b1");
  std::string second = AddContact("b2");
  std::unique_ptr<ds::Object> object;
  ASSERT_TRUE(Object().Open(second, &object));
  ASSERT_TRUE(Object().PutString(*object, "description", "second"));
  ASSERT_TRUE(Object().Commit(*object));
  CBVKADSearch search;
  ASSERT_TRUE(Object().Search(search, unit_, "(objectClass=contact)",
                              {"distinguishedName", "cn", "description"},
                              CBVKADObject::Subtree::No));
  ASSERT_EQ(search.rows.size(), 2u);
  std::string description;
  for (auto& row : search.rows) {
    std::string dn;
    ASSERT_TRUE(row->GetText("distinguishedName", &dn));
    if (dn == second) {
      EXPECT_TRUE(row->GetText("description", &description));
    }
  }
  EXPECT_EQ(description, "second");
}

TEST_F(ObjectTest, FailingSearchNamesFilterAndBase) {
  CBVKADSearch search;
  EXPECT_FALSE(Object().Search(search, unit_, "(cn=a", {"cn"}, CBVKADObject::Subtree::Yes));
  EXPECT_EQ(search.error.GetText().rfind("Could not complete search.\n", 0), 0u)
      << search.error.GetText();
  EXPECT_NE(search.error.GetText().find("\nCould not perform search '(cn=a' in '" + unit_ + "'."),
            std::string::npos);
}

TEST_F(ObjectTest, SearchOfAMissingBase) {
  CBVKADSearch search;
  const std::string missing = "OU=Missing," + unit_;
  EXPECT_FALSE(Object().Search(search, missing, "(cn=*)", {"cn"}, CBVKADObject::Subtree::Yes));
  EXPECT_EQ(search.error.GetText(),
            "Could not open the object '" + missing + "'.\nObject does not exist. (80072030)");
}

TEST_F(ObjectTest, EnumChildrenListsChildrenWithTheirAttributes) {
  AddContact("c1");
  Add("organizationalUnit", "OU=c2", unit_);
  CBVKADObject& parent = Object();
  parent.DistinguishedName = unit_;
  ASSERT_TRUE(parent.EnumChildren(CBVKADObject::Force::No, "", {"description", "objectClass"}))
      << parent.Error().GetText();
  ASSERT_EQ(parent.GetChildCount(), 2);
  std::vector<std::string> names;
  for (int i = 0; i < parent.GetChildCount(); ++i) {
    CBVKADObject* child = parent.GetChild(i);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->Parent, &parent);
    names.push_back(child->Name);
    EXPECT_FALSE(child->Properties.GetValuesText("objectClass", "%").empty());
    EXPECT_EQ(child->DistinguishedName, (child->Name == "c1" ? "CN=c1," : "OU=c2,") + unit_);
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"c1", "c2"}));
  // Filled once: without force a second call changes nothing.
  AddContact("c3");
  ASSERT_TRUE(parent.EnumChildren(CBVKADObject::Force::No));
  EXPECT_EQ(parent.GetChildCount(), 2);
  ASSERT_TRUE(parent.EnumChildren(CBVKADObject::Force::Yes, "", {}, nullptr,
                                  CBVKADObject::ClearFirst::Yes));
  EXPECT_EQ(parent.GetChildCount(), 3);
}

TEST_F(ObjectTest, EnumChildrenOfAMissingContainer) {
  const std::string missing = "OU=Missing," + unit_;
  EXPECT_FALSE(Object().EnumChildren(CBVKADObject::Force::Yes, missing));
  EXPECT_EQ(Object().Error().GetText(), "Could not open the object '" + missing +
                                            "'.\nObject does not exist. (80072030)\nCould not "
                                            "enumerate child objects.");
}

TEST_F(ObjectTest, SearchChildrenNamesOrganisationalUnitsByOu) {
  Add("organizationalUnit", "OU=Branch", unit_);
  Add("container", "CN=Box", unit_);
  AddContact("NotAContainer");
  CBVKADObject& parent = Object();
  parent.DistinguishedName = unit_;
  ASSERT_TRUE(parent.SearchChildren("", {"container", "organizationalUnit"}, {"ou"},
                                    CBVKADObject::Subtree::No))
      << parent.Error().GetText();
  ASSERT_EQ(parent.GetChildCount(), 2);
  for (int i = 0; i < 2; ++i) {
    CBVKADObject* child = parent.GetChild(i);
    EXPECT_EQ(child->IsOrganizationalUnit, child->Name == "Branch" ? 1 : 0) << child->Name;
    EXPECT_TRUE(child->Name == "Branch" || child->Name == "Box") << child->Name;
  }
  EXPECT_EQ(directory_->Calls().search_filters.front(),
            "(|(objectCategory=container)(objectCategory=organizationalUnit))");
}

TEST_F(ObjectTest, CategoryNamesCannotChangeTheFilter) {
  Add("container", "CN=Box", unit_);
  CBVKADObject& parent = Object();
  parent.DistinguishedName = unit_;
  ASSERT_TRUE(parent.SearchChildren("", {"x)(objectCategory=*"}, {}, CBVKADObject::Subtree::No))
      << parent.Error().GetText();
  EXPECT_EQ(parent.GetChildCount(), 0);
  EXPECT_EQ(directory_->Calls().search_filters.front(),
            "(|(objectCategory=x\\29\\28objectCategory=\\2a))");
}

TEST_F(ObjectTest, FindOrAddChildReusesByDn) {
  CBVKADObject& parent = Object();
  CBVKADObject* first = parent.FindOrAddChild("a", "CN=a,DC=x", CBVKADObject::LookUp::Yes);
  EXPECT_EQ(parent.FindOrAddChild("a", "CN=a,DC=x", CBVKADObject::LookUp::Yes), first);
  EXPECT_NE(parent.FindOrAddChild("a", "CN=a,DC=x", CBVKADObject::LookUp::No), first);
  EXPECT_EQ(parent.GetChildCount(), 2);
  EXPECT_TRUE(parent.IsChild(first));
  EXPECT_EQ(parent.GetChild(2), nullptr);
  EXPECT_TRUE(parent.RemoveChild(first));
  EXPECT_FALSE(parent.IsChild(first));
  EXPECT_EQ(parent.GetChildCount(), 1);
}

TEST_F(ObjectTest, DomainMapHoldsTheDomain) {
  std::map<std::string, std::string> domains;
  ASSERT_TRUE(Object().BuildDomainMap(&domains)) << Object().Error().GetText();
  EXPECT_EQ(domains[DNToDomainName(domain_->DistinguishedName)], domain_->DistinguishedName);
}

}  // namespace
}  // namespace tessary
