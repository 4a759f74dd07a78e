// The objects a domain depends on: the guards provisioning gives them, and the deletes, renames,
// moves and schema changes the directory refuses.

#include "fixture.h"

namespace tessary::testing {
namespace {

using namespace ds;  // the directory failure codes

// Delete forbidden, rename forbidden, move forbidden (0x80000000 | 0x08000000 | 0x04000000).
constexpr char kCriticalContainerFlags[] = "-1946157056";

class ProtectedObjectTest : public ConformanceTest {
 protected:
  std::string InDomain(const std::string& rdn) const { return rdn + "," + domain_dn(); }
  std::string Users() const { return InDomain("CN=Users"); }
  std::string Schema() const { return "CN=Schema,CN=Configuration," + domain_dn(); }
  HRESULT Delete(const std::string& parent, const std::string& class_name, const std::string& rdn) {
    std::unique_ptr<Object> container = Bind(parent);
    return container == nullptr ? E_FAIL : container->Delete(class_name, rdn);
  }
  HRESULT Move(const std::string& dn, const std::string& new_parent, const std::string& new_rdn) {
    std::unique_ptr<Object> container = Bind(new_parent);
    return container == nullptr ? E_FAIL : container->MoveHere("LDAP://" + dn, new_rdn, nullptr);
  }
};

TEST_F(ProtectedObjectTest, ProvisioningGuardsTheDomainsOwnObjects) {
  for (const std::string& dn :
       {domain_dn(), Users(), InDomain("CN=Computers"), InDomain("CN=LostAndFound"),
        InDomain("CN=System"), InDomain("OU=Domain Controllers")}) {
    EXPECT_EQ(kCriticalContainerFlags, Text(dn, "systemFlags")) << dn;
    EXPECT_EQ("TRUE", Text(dn, "isCriticalSystemObject")) << dn;
  }
  for (const char* cn : {"Administrator", "Guest", "Domain Admins", "Domain Users", "Domain Guests",
                         "Domain Computers"}) {
    std::string dn = "CN=" + std::string(cn) + "," + Users();
    EXPECT_EQ("TRUE", Text(dn, "isCriticalSystemObject")) << dn;
    EXPECT_EQ("", Text(dn, "systemFlags")) << dn;  // they may move, but never go
  }
  for (const char* rdn : {"CN=Partitions", "CN=Services"}) {
    std::string dn = std::string(rdn) + ",CN=Configuration," + domain_dn();
    EXPECT_EQ("-2147483648", Text(dn, "systemFlags")) << dn;
  }
  EXPECT_EQ("", Text(ou(), "systemFlags"));
  EXPECT_EQ("", Text(ou(), "isCriticalSystemObject"));
}

// An import's Delete moves its object into LostAndFound: for CN=Users that must fail, not carry
// the Administrator away.
TEST_F(ProtectedObjectTest, GuardedContainersAreNeitherDeletedMovedNorRenamed) {
  EXPECT_HR(E_DS_UNWILLING_TO_PERFORM, Delete(domain_dn(), "container", "CN=Users"));
  EXPECT_HR(E_DS_UNWILLING_TO_PERFORM, Delete(domain_dn(), "lostAndFound", "CN=LostAndFound"));
  EXPECT_HR(E_DS_UNWILLING_TO_PERFORM, Move(Users(), InDomain("CN=LostAndFound"), ""));
  EXPECT_HR(E_DS_UNWILLING_TO_PERFORM, Move(InDomain("CN=Computers"), ou(), ""));
  EXPECT_HR(E_DS_UNWILLING_TO_PERFORM, Move(InDomain("CN=Computers"), domain_dn(), "CN=Machines"));
  EXPECT_HR(E_DS_UNWILLING_TO_PERFORM,
            Delete("CN=Configuration," + domain_dn(), "container", "CN=Services"));
  EXPECT_HR(E_DS_UNWILLING_TO_PERFORM, Move("CN=Services,CN=Configuration," + domain_dn(),
                                            "CN=Configuration," + domain_dn(), "CN=Elsewhere"));
  EXPECT_HR(S_OK, BindResult(Users()));
  EXPECT_HR(S_OK, BindResult("CN=Administrator," + Users()));
  EXPECT_HR(S_OK, BindResult(InDomain("CN=Computers")));
}

// Only the directory marks an object it cannot do without: a client that names
// isCriticalSystemObject at all, on a new object, to change it or to clear it, is refused.
TEST_F(ProtectedObjectTest, NoClientMarksOrUnmarksACriticalObject) {
  EXPECT_HR(E_DS_UNWILLING_TO_PERFORM,
            Make(ou(), "organizationalUnit", "OU=Critical", {{"isCriticalSystemObject", "FALSE"}}));
  EXPECT_HR(E_DS_NO_SUCH_OBJECT, BindResult("OU=Critical," + ou()));
  const auto change = [this](const std::string& dn, PropertyOperation operation,
                             const Values& values) {
    std::unique_ptr<Object> object = Bind(dn);
    if (object == nullptr) return E_FAIL;
    HRESULT hr = object->PutEx(operation, "isCriticalSystemObject", values);
    return Failed(hr) ? hr : object->SetInfo();
  };
  EXPECT_HR(E_DS_UNWILLING_TO_PERFORM, change(ou(), ADS_PROPERTY_UPDATE, {Value::Boolean(true)}));
  EXPECT_HR(E_DS_UNWILLING_TO_PERFORM, change(Users(), ADS_PROPERTY_UPDATE, {Value::Boolean(false)}));
  EXPECT_HR(E_DS_UNWILLING_TO_PERFORM, change(Users(), ADS_PROPERTY_CLEAR, {}));
  EXPECT_EQ("", Text(ou(), "isCriticalSystemObject"));
  EXPECT_EQ("TRUE", Text(Users(), "isCriticalSystemObject"));
}

// Windows refuses to delete a built-in account or group as unwilling to perform; Samba refuses
// with "other" (80).
TEST_F(ProtectedObjectTest, BuiltInAccountsAndGroupsAreNotDeleted) {
  for (auto [class_name, rdn] : {std::pair{"user", "CN=Guest"}, {"group", "CN=Domain Guests"}}) {
    HRESULT hr = Delete(Users(), class_name, rdn);
    if (embedded()) {
      EXPECT_HR(E_DS_UNWILLING_TO_PERFORM, hr) << rdn;
    } else {
      EXPECT_TRUE(Failed(hr)) << rdn;
    }
    EXPECT_HR(S_OK, BindResult(std::string(rdn) + "," + Users()));
  }
}

// Windows answers the delete of a schema object as unwilling to perform; Samba's access check
// answers first (insufficient rights).
TEST_F(ProtectedObjectTest, SchemaObjectsAreNeverDeletedOrRenamed) {
  HRESULT hr = Delete(Schema(), "classSchema", "CN=Person");
  if (embedded()) {
    EXPECT_HR(E_DS_UNWILLING_TO_PERFORM, hr);
  } else {
    EXPECT_TRUE(Failed(hr));
  }
  EXPECT_HR(E_DS_UNWILLING_TO_PERFORM, Move("CN=Person," + Schema(), Schema(), "CN=People"));
  EXPECT_HR(S_OK, BindResult("CN=Person," + Schema()));
}

// Samba lets a schema administrator change the schema at any time; Windows needs the schema
// master to allow it, and the embedded directory needs to be opened for schema updates.
TEST_F(ProtectedObjectTest, SchemaObjectsAreNotChangedWithoutSchemaUpdates) {
  if (!embedded()) GTEST_SKIP() << "Samba allows schema changes to its administrator";
  std::string before = Text("CN=Person," + Schema(), "adminDescription");
  std::unique_ptr<Object> person = Bind("CN=Person," + Schema());
  ASSERT_NE(person, nullptr);
  ASSERT_HR(S_OK, person->Put("adminDescription", Value::String("people")));
  EXPECT_HR(E_DS_UNWILLING_TO_PERFORM, person->SetInfo());
  EXPECT_HR(E_DS_UNWILLING_TO_PERFORM,
            Make(Schema(), "attributeSchema", "CN=Tessary-Test-Attribute",
                 {{"lDAPDisplayName", "tessaryTestAttribute"},
                  {"attributeID", "1.2.840.113556.1.8000.9999.1"},
                  {"attributeSyntax", "2.5.5.12"},
                  {"oMSyntax", "64"},
                  {"isSingleValued", "TRUE"}}));
  EXPECT_EQ(before, Text("CN=Person," + Schema(), "adminDescription"));
}

}  // namespace
}  // namespace tessary::testing
