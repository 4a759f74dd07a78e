// ADSI's semantics over LDAP against a real AD DC (Samba).
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "directory/ds/ds_error.h"
#include "samba_fixture.h"

namespace tessary::ds::ldap {
namespace {

using testing::SambaDirectoryTest;

bool Contains(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

class SambaObjects : public SambaDirectoryTest {
 protected:
  // A user (or other class) created in the test's OU with the given sAMAccountName.
  std::unique_ptr<Object> CreateIn(const std::string& class_name, const std::string& rdn,
                                   const std::string& account = {}) {
    std::unique_ptr<Object> ou = BindOu(), created;
    EXPECT_EQ(ou->Create(class_name, rdn, &created), S_OK);
    if (!account.empty()) {
      EXPECT_EQ(created->Put("sAMAccountName", Value::String(account)), S_OK);
    }
    EXPECT_EQ(created->SetInfo(), S_OK);
    return created;
  }
  std::string Account(const char* prefix) { return prefix + ou_name_.substr(ou_name_.size() - 8); }
};

TEST_F(SambaObjects, RootDseNamesTheNamingContexts) {
  std::unique_ptr<Object> root;
  ASSERT_EQ(directory_->Bind("LDAP://RootDSE", &root), S_OK);
  Value value;
  ASSERT_EQ(root->Get("defaultNamingContext", &value), S_OK);
  EXPECT_EQ(*value.string(), BaseDn());
  ASSERT_EQ(root->Get("schemaNamingContext", &value), S_OK);
  EXPECT_EQ(*value.string(), "CN=Schema,CN=Configuration," + BaseDn());
}

TEST_F(SambaObjects, SetInfoCreatesTheObjectWithItsCachedValues) {
  std::unique_ptr<Object> user = CreateIn("user", "CN=Ann Smith", Account("ann"));
  ASSERT_EQ(user->Put("description", Value::String("first")), S_OK);
  ASSERT_EQ(user->SetInfo(), S_OK);

  std::unique_ptr<Object> bound;
  ASSERT_EQ(directory_->Bind("LDAP://CN=Ann Smith," + ou_dn_, &bound), S_OK);
  Value value;
  ASSERT_EQ(bound->Get("sAMAccountName", &value), S_OK);
  EXPECT_EQ(*value.string(), Account("ann"));
  ASSERT_EQ(bound->Get("description", &value), S_OK);
  EXPECT_EQ(*value.string(), "first");
  std::string name, class_name;
  ASSERT_EQ(bound->GetName(&name), S_OK);
  EXPECT_EQ(name, "CN=Ann Smith");
  ASSERT_EQ(bound->GetClass(&class_name), S_OK);
  EXPECT_EQ(class_name, "user");
}

TEST_F(SambaObjects, ANewObjectHasNoGuidBeforeSetInfo) {
  std::unique_ptr<Object> ou = BindOu(), created;
  ASSERT_EQ(ou->Create("contact", "CN=Pending", &created), S_OK);
  std::string guid;
  EXPECT_EQ(created->GetGuid(&guid), E_ADS_OBJECT_UNBOUND);
  std::unique_ptr<Object> missing;
  EXPECT_EQ(directory_->Bind("LDAP://CN=Pending," + ou_dn_, &missing), E_DS_NO_SUCH_OBJECT);
}

TEST_F(SambaObjects, BindsByGuidAndReadsBinaryIdentifiers) {
  std::unique_ptr<Object> user = CreateIn("user", "CN=Guid User", Account("guid"));
  std::string guid;
  ASSERT_EQ(user->GetGuid(&guid), S_OK);
  ASSERT_EQ(guid.size(), 32u);
  std::unique_ptr<Object> by_guid;
  ASSERT_EQ(directory_->Bind("LDAP://<GUID=" + guid + ">", &by_guid), S_OK);
  std::string path;
  ASSERT_EQ(by_guid->GetAdsPath(&path), S_OK);
  EXPECT_EQ(path, "LDAP://CN=Guid User," + ou_dn_);

  std::vector<Attribute> attributes;
  ASSERT_EQ(by_guid->GetObjectAttributes({"objectSid", "objectGUID"}, &attributes), S_OK);
  ASSERT_EQ(attributes.size(), 2u);
  for (const Attribute& attribute : attributes) {
    EXPECT_EQ(attribute.type, ADSTYPE_OCTET_STRING) << attribute.name;
    ASSERT_NE(attribute.values[0].octets(), nullptr) << attribute.name;
  }
  const Attribute& sid = attributes[0].name == "objectSid" ? attributes[0] : attributes[1];
  EXPECT_EQ(sid.values[0].octets()->size(), 28u);  // S-1-5-21-a-b-c-rid
  EXPECT_EQ((*sid.values[0].octets())[0], 1);      // revision 1
}

TEST_F(SambaObjects, AnExistingNameGivesAlreadyExists) {
  CreateIn("contact", "CN=Twice");
  std::unique_ptr<Object> ou = BindOu(), again;
  ASSERT_EQ(ou->Create("contact", "CN=Twice", &again), S_OK);
  EXPECT_EQ(again->SetInfo(), E_DS_ALREADY_EXISTS);
}

TEST_F(SambaObjects, AMissingObjectOrParentGivesNoSuchObject) {
  std::unique_ptr<Object> object;
  EXPECT_EQ(directory_->Bind("LDAP://CN=Nobody," + ou_dn_, &object), E_DS_NO_SUCH_OBJECT);
  EXPECT_EQ(directory_->Bind("LDAP://<GUID=00112233445566778899aabbccddeeff>", &object),
            E_DS_NO_SUCH_OBJECT);
  EXPECT_EQ(directory_->Bind("LDAP://schema/noSuchClass", &object), E_DS_NO_SUCH_OBJECT);
}

TEST_F(SambaObjects, MoveHereRenamesAndMovesDroppingTheOldName) {
  CreateIn("contact", "CN=Old Name");
  std::unique_ptr<Object> ou = BindOu(), renamed;
  ASSERT_EQ(ou->MoveHere("LDAP://CN=Old Name," + ou_dn_, "CN=New Name", &renamed), S_OK);
  Values names;
  ASSERT_EQ(renamed->GetEx("cn", &names), S_OK);
  EXPECT_EQ(names, Values{Value::String("New Name")});

  std::unique_ptr<Object> sub = CreateIn("organizationalUnit", "OU=Sub"), moved;
  ASSERT_EQ(sub->MoveHere("LDAP://CN=New Name," + ou_dn_, "", &moved), S_OK);
  std::string path;
  ASSERT_EQ(moved->GetAdsPath(&path), S_OK);
  EXPECT_EQ(path, "LDAP://CN=New Name,OU=Sub," + ou_dn_);
  std::unique_ptr<Object> gone;
  EXPECT_EQ(directory_->Bind("LDAP://CN=New Name," + ou_dn_, &gone), E_DS_NO_SUCH_OBJECT);
}

TEST_F(SambaObjects, SearchStreamsEveryRowPageByPage) {
  constexpr int kContacts = 230;  // three pages of 100
  for (int i = 0; i < kContacts; ++i) CreateIn("contact", "CN=Contact " + std::to_string(i));
  std::unique_ptr<Object> ou = BindOu();
  SearchRequest request;
  request.filter = "(objectCategory=contact)";
  request.columns = {"cn", "ADsPath"};
  request.scope = SearchScope::kOneLevel;
  request.page_size = 100;
  std::unique_ptr<SearchCursor> cursor;
  ASSERT_EQ(ou->ExecuteSearch(request, &cursor), S_OK);
  int rows = 0;
  std::set<std::string> names;
  HRESULT hr;
  for (hr = cursor->GetFirstRow(); hr == S_OK; hr = cursor->GetNextRow()) {
    std::vector<std::string> columns;
    std::string name;
    while (cursor->GetNextColumnName(&name) == S_OK) columns.push_back(name);
    EXPECT_TRUE(Contains(columns, "cn") && Contains(columns, "ADsPath"));
    Attribute cn, path;
    ASSERT_EQ(cursor->GetColumn("cn", &cn), S_OK);
    ASSERT_EQ(cursor->GetColumn("ADsPath", &path), S_OK);
    EXPECT_EQ(*path.values[0].string(), "LDAP://CN=" + *cn.values[0].string() + "," + ou_dn_);
    Attribute absent;
    EXPECT_EQ(cursor->GetColumn("telephoneNumber", &absent), E_ADS_COLUMN_NOT_SET);
    names.insert(*cn.values[0].string());
    if (++rows == 150) {
      // While the next page is on its way: other requests on the same connection, and a second
      // search left after its first row, take nothing from this one.
      std::unique_ptr<Object> read_meanwhile = BindOu();
      ASSERT_EQ(read_meanwhile->GetInfo(), S_OK);
      std::unique_ptr<SearchCursor> abandoned;
      ASSERT_EQ(ou->ExecuteSearch(request, &abandoned), S_OK);
      ASSERT_EQ(abandoned->GetFirstRow(), S_OK);
    }
  }
  EXPECT_EQ(hr, S_ADS_NOMORE_ROWS);
  EXPECT_EQ(rows, kContacts);
  EXPECT_EQ(names.size(), static_cast<size_t>(kContacts));
  // A search after them all starts afresh.
  ASSERT_EQ(ou->ExecuteSearch(request, &cursor), S_OK);
  for (rows = 0, hr = cursor->GetFirstRow(); hr == S_OK; hr = cursor->GetNextRow()) ++rows;
  EXPECT_EQ(rows, kContacts);
}

TEST_F(SambaObjects, AnInvalidFilterIsRefused) {
  std::unique_ptr<Object> ou = BindOu();
  SearchRequest request;
  request.filter = "(cn=unclosed";
  std::unique_ptr<SearchCursor> cursor;
  ASSERT_EQ(ou->ExecuteSearch(request, &cursor), S_OK);
  EXPECT_EQ(cursor->GetFirstRow(), E_ADS_INVALID_FILTER);
}

TEST_F(SambaObjects, MembersComeInRanges) {
  std::unique_ptr<Object> group = CreateIn("group", "CN=Big Group", Account("grp"));
  for (int i = 0; i < 30; ++i) {
    CreateIn("contact", "CN=Member " + std::to_string(i));
    ASSERT_EQ(group->Add("LDAP://CN=Member " + std::to_string(i) + "," + ou_dn_), S_OK);
  }
  std::vector<Attribute> attributes;
  ASSERT_EQ(group->GetObjectAttributes({"member;range=0-9"}, &attributes), S_OK);
  ASSERT_EQ(attributes.size(), 1u);
  EXPECT_EQ(attributes[0].name, "member;range=0-9");
  EXPECT_EQ(attributes[0].values.size(), 10u);
  EXPECT_EQ(attributes[0].type, ADSTYPE_DN_STRING);
  ASSERT_EQ(group->GetObjectAttributes({"member;range=20-*"}, &attributes), S_OK);
  ASSERT_EQ(attributes.size(), 1u);
  EXPECT_EQ(attributes[0].name, "member;range=20-*");
  EXPECT_EQ(attributes[0].values.size(), 10u);
}

TEST_F(SambaObjects, GroupMembershipAddTwiceIsAlreadyExists) {
  std::unique_ptr<Object> group = CreateIn("group", "CN=Team", Account("team"));
  CreateIn("contact", "CN=Pat");
  const std::string pat = "LDAP://CN=Pat," + ou_dn_;
  ASSERT_EQ(group->Add(pat), S_OK);
  EXPECT_EQ(group->Add(pat), E_DS_ALREADY_EXISTS);
  bool member = false;
  ASSERT_EQ(group->IsMember(pat, &member), S_OK);
  EXPECT_TRUE(member);
  ASSERT_EQ(group->Remove(pat), S_OK);
  ASSERT_EQ(group->IsMember(pat, &member), S_OK);
  EXPECT_FALSE(member);
}

TEST_F(SambaObjects, SetPasswordAndAccountDisabled) {
  std::unique_ptr<Object> user = CreateIn("user", "CN=Pw User", Account("pw"));
  bool disabled = false;
  ASSERT_EQ(user->GetAccountDisabled(&disabled), S_OK);
  EXPECT_TRUE(disabled);  // AD disables a new user that has no password
  ASSERT_EQ(user->SetPassword("Str0ng-Pa55word!"), S_OK);
  ASSERT_EQ(user->PutAccountDisabled(false), S_OK);
  ASSERT_EQ(user->SetInfo(), S_OK);
  ASSERT_EQ(user->GetInfo(), S_OK);
  ASSERT_EQ(user->GetAccountDisabled(&disabled), S_OK);
  EXPECT_FALSE(disabled);
  Value last_set;
  ASSERT_EQ(user->Get("pwdLastSet", &last_set), S_OK);
  ASSERT_NE(last_set.large_integer(), nullptr);
  EXPECT_GT(*last_set.large_integer(), 0);
  // A password AD's policy refuses is a constraint violation.
  EXPECT_EQ(user->SetPassword("a"), E_DS_CONSTRAINT_VIOLATION);
}

TEST_F(SambaObjects, ValuesKeepTheirTypesAfterTheSchemaHasBeenRead) {
  // Reading a schema entry teaches the connection that oMSyntax is an integer; the syntaxes it
  // looks up afterwards must still come out right, or every later integer reads as text.
  std::unique_ptr<Object> schema_entry;
  ASSERT_EQ(directory_->Bind("LDAP://CN=User-Account-Control,CN=Schema,CN=Configuration," + BaseDn(),
                             &schema_entry),
            S_OK);
  Value om_syntax;
  ASSERT_EQ(schema_entry->Get("oMSyntax", &om_syntax), S_OK);
  ASSERT_NE(om_syntax.integer(), nullptr);
  std::unique_ptr<Object> user = CreateIn("user", "CN=Typed User", Account("typed"));
  ASSERT_EQ(user->GetInfo(), S_OK);
  Value flags;
  ASSERT_EQ(user->Get("userAccountControl", &flags), S_OK);
  ASSERT_NE(flags.integer(), nullptr);
  bool disabled = false;
  EXPECT_EQ(user->GetAccountDisabled(&disabled), S_OK);
  EXPECT_TRUE(disabled);
}

TEST_F(SambaObjects, ValuesAreCheckedWhenSetInfoSendsThem) {
  std::unique_ptr<Object> contact = CreateIn("contact", "CN=Checked");
  ASSERT_EQ(contact->Put("noSuchAttribute", Value::String("x")), S_OK);
  EXPECT_TRUE(Failed(contact->SetInfo()));
  ASSERT_EQ(contact->GetInfo(), S_OK);
  // Samba itself would store this text in an integer attribute.
  ASSERT_EQ(contact->Put("userAccountControl", Value::String("many")), S_OK);
  EXPECT_EQ(contact->SetInfo(), E_DS_INVALID_ATTRIBUTE_SYNTAX);
}

TEST_F(SambaObjects, GroupAndUserCallsNeedAGroupOrAUser) {
  std::unique_ptr<Object> contact = CreateIn("contact", "CN=Plain");
  EXPECT_EQ(contact->Add("LDAP://" + ou_dn_), E_NOINTERFACE);
  EXPECT_EQ(contact->SetPassword("Str0ng-Pa55word!"), E_NOINTERFACE);
  bool disabled = false;
  EXPECT_EQ(contact->GetAccountDisabled(&disabled), E_NOINTERFACE);
  std::unique_ptr<Object> computer = CreateIn("computer", "CN=WS99", Account("ws") + "$");
  EXPECT_EQ(computer->GetAccountDisabled(&disabled), S_OK);  // a computer is a user
}

TEST_F(SambaObjects, ClassPropertiesIncludeSuperclassesAndAuxiliaryClasses) {
  std::unique_ptr<Object> user_class;
  ASSERT_EQ(directory_->Bind("LDAP://schema/user", &user_class), S_OK);
  std::vector<std::string> mandatory, optional;
  ASSERT_EQ(user_class->GetMandatoryProperties(&mandatory), S_OK);
  ASSERT_EQ(user_class->GetOptionalProperties(&optional), S_OK);
  EXPECT_TRUE(Contains(mandatory, "objectClass"));     // from top
  EXPECT_TRUE(Contains(mandatory, "sAMAccountName"));  // from securityPrincipal (auxiliary)
  EXPECT_TRUE(Contains(mandatory, "objectSid"));
  EXPECT_TRUE(Contains(optional, "telephoneNumber"));    // from person
  EXPECT_TRUE(Contains(optional, "userPrincipalName"));  // the class's own
  EXPECT_FALSE(Contains(optional, "objectClass"));
  std::string class_name;
  ASSERT_EQ(user_class->GetClass(&class_name), S_OK);
  EXPECT_EQ(class_name, "Class");
}

TEST_F(SambaObjects, ADomainIsBoundByItsDnsName) {
  std::unique_ptr<Object> domain;
  ASSERT_EQ(directory_->Bind("LDAP://" + dc_.Var("TESSARY_SAMBA_REALM"), &domain), S_OK);
  std::string path;
  ASSERT_EQ(domain->GetAdsPath(&path), S_OK);
  EXPECT_EQ(path, "LDAP://" + BaseDn());
  std::vector<std::string> domains;
  ASSERT_EQ(EnumDomainNames(*directory_, &domains), S_OK);
  EXPECT_EQ(domains, std::vector<std::string>{"tessary.test"});
  EXPECT_EQ(directory_->Bind("LDAP://no-such-domain.test", &domain), E_DS_NO_SUCH_OBJECT);
}

TEST_F(SambaObjects, EnumeratesChildren) {
  CreateIn("contact", "CN=A");
  CreateIn("organizationalUnit", "OU=B");
  std::unique_ptr<Object> ou = BindOu();
  std::unique_ptr<ChildCursor> children;
  ASSERT_EQ(ou->EnumChildren(&children), S_OK);
  std::vector<std::string> names;
  std::unique_ptr<Object> child;
  while (children->Next(&child) == S_OK) {
    std::string name;
    ASSERT_EQ(child->GetName(&name), S_OK);
    names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"CN=A", "OU=B"}));
}

TEST_F(SambaObjects, PutExAppendsAndDeletesValues) {
  std::unique_ptr<Object> contact = CreateIn("contact", "CN=Multi");
  ASSERT_EQ(contact->PutEx(ADS_PROPERTY_APPEND, "otherTelephone",
                           {Value::String("1"), Value::String("2")}),
            S_OK);
  ASSERT_EQ(contact->SetInfo(), S_OK);
  ASSERT_EQ(contact->PutEx(ADS_PROPERTY_DELETE, "otherTelephone", {Value::String("1")}), S_OK);
  ASSERT_EQ(contact->SetInfo(), S_OK);
  ASSERT_EQ(contact->GetInfo(), S_OK);
  Values values;
  ASSERT_EQ(contact->GetEx("otherTelephone", &values), S_OK);
  EXPECT_EQ(values, Values{Value::String("2")});
  ASSERT_EQ(contact->PutEx(ADS_PROPERTY_CLEAR, "otherTelephone", {}), S_OK);
  ASSERT_EQ(contact->SetInfo(), S_OK);
  ASSERT_EQ(contact->GetInfo(), S_OK);
  EXPECT_EQ(contact->GetEx("otherTelephone", &values), E_ADS_PROPERTY_NOT_FOUND);
}

TEST_F(SambaObjects, DeleteRemovesALeaf) {
  CreateIn("contact", "CN=Doomed");
  std::unique_ptr<Object> ou = BindOu();
  ASSERT_EQ(ou->Delete("contact", "CN=Doomed"), S_OK);
  std::unique_ptr<Object> gone;
  EXPECT_EQ(directory_->Bind("LDAP://CN=Doomed," + ou_dn_, &gone), E_DS_NO_SUCH_OBJECT);

  std::unique_ptr<Object> parent = CreateIn("organizationalUnit", "OU=Parent"), child;
  ASSERT_EQ(parent->Create("contact", "CN=Child", &child), S_OK);
  ASSERT_EQ(child->SetInfo(), S_OK);
  EXPECT_EQ(ou->Delete("organizationalUnit", "OU=Parent"), E_DS_CANT_ON_NON_LEAF);
}

}  // namespace
}  // namespace tessary::ds::ldap
