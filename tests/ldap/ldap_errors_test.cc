#include "directory/ds/ldap/ldap_errors.h"

#include <gtest/gtest.h>
#include <ldap.h>

namespace tessary::ds::ldap {
namespace {

TEST(LdapResultMapping, GivesTheHresultsOfTheAdsiTable) {
  EXPECT_EQ(HresultFromLdap(LDAP_SUCCESS), S_OK);
  EXPECT_EQ(HresultFromLdap(LDAP_NO_SUCH_OBJECT), MakeHresult(0x80072030));
  EXPECT_EQ(HresultFromLdap(LDAP_ALREADY_EXISTS), MakeHresult(0x80071392));
  EXPECT_EQ(HresultFromLdap(LDAP_INVALID_CREDENTIALS), MakeHresult(0x8007052E));
  EXPECT_EQ(HresultFromLdap(LDAP_INSUFFICIENT_ACCESS), MakeHresult(0x80070005));
  EXPECT_EQ(HresultFromLdap(LDAP_CONSTRAINT_VIOLATION), MakeHresult(0x8007202F));
  EXPECT_EQ(HresultFromLdap(LDAP_UNAVAILABLE), MakeHresult(0x8007200F));
}

TEST(LdapResultMapping, MapsLibldapClientCodesLikeTheirProtocolNumbers) {
  EXPECT_EQ(HresultFromLdap(LDAP_SERVER_DOWN), MakeHresult(0x8007203A));
  EXPECT_EQ(HresultFromLdap(LDAP_TIMEOUT), MakeHresult(0x800705B4));
  EXPECT_EQ(HresultFromLdap(LDAP_FILTER_ERROR), MakeHresult(0x8007203E));
  EXPECT_EQ(HresultFromLdap(LDAP_CONNECT_ERROR), MakeHresult(0x800704C9));
  EXPECT_EQ(HresultFromLdap(LDAP_REFERRAL_LIMIT_EXCEEDED), MakeHresult(0x80072044));
}

TEST(LdapResultMapping, AdExtendedErrorNamesAMissingObject) {
  // AD answers an add below a missing parent with operationsError or noSuchObject and 208D.
  EXPECT_EQ(HresultFromLdap(LDAP_OPERATIONS_ERROR,
                            "0000208D: NameErr: DSID-0310028D, problem 2001 (NO_OBJECT)"),
            MakeHresult(0x80072030));
  EXPECT_EQ(HresultFromLdap(LDAP_UNWILLING_TO_PERFORM, "00000005: SecErr: DSID-031A11E5"),
            MakeHresult(0x80070005));
}

TEST(LdapResultMapping, OtherExtendedErrorsLeaveTheResultCodeInCharge) {
  EXPECT_EQ(HresultFromLdap(LDAP_CONSTRAINT_VIOLATION, "0000052D: Constraint violation"),
            MakeHresult(0x8007202F));
  EXPECT_EQ(HresultFromLdap(LDAP_ALREADY_EXISTS, "not an extended code"), MakeHresult(0x80071392));
}

TEST(ExtendedError, IsReadFromTheStartOfTheDiagnostic) {
  EXPECT_EQ(ExtendedErrorOf("0000208D: NameErr"), 0x208Du);
  EXPECT_EQ(ExtendedErrorOf("00002071: samldb: Account name"), 0x2071u);
  EXPECT_EQ(ExtendedErrorOf("0000208d: lower case"), 0x208Du);
  EXPECT_EQ(ExtendedErrorOf("0000208D NameErr"), 0u);
  EXPECT_EQ(ExtendedErrorOf("000Z208D: bad digit"), 0u);
  EXPECT_EQ(ExtendedErrorOf("short"), 0u);
  EXPECT_EQ(ExtendedErrorOf(""), 0u);
}

TEST(ConnectionLoss, IsServerDownOrCannotConnect) {
  EXPECT_TRUE(IsConnectionLost(LDAP_SERVER_DOWN));
  EXPECT_TRUE(IsConnectionLost(LDAP_CONNECT_ERROR));
  EXPECT_FALSE(IsConnectionLost(LDAP_TIMEOUT));
  EXPECT_FALSE(IsConnectionLost(LDAP_UNAVAILABLE));
}

}  // namespace
}  // namespace tessary::ds::ldap
