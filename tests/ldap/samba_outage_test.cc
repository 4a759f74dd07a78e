// A DC that goes away during a run: every operation fails with a "server unavailable" code
// within the network timeout, and the first operation after it is back succeeds.
#include <gtest/gtest.h>

#include "samba_fixture.h"

namespace tessary::ds::ldap {
namespace {

constexpr HRESULT kServerDown = MakeHresult(0x8007203A);
constexpr HRESULT kUnavailable = MakeHresult(0x8007200F);

class SambaOutage : public testing::SambaTest {};

// Starts the DC again however the test ends.
struct Restart {
  const testing::SambaDc& dc;
  ~Restart() { EXPECT_TRUE(dc.Run("resume")); }
};

TEST_F(SambaOutage, OperationsFailWhileTheDcIsDownAndWorkAfterItReturns) {
  env_.Set("TESSARY_NETWORK_TIMEOUT", "10");
  // Not waited for: the waiting has tests of its own (samba_reconnect_test.cc).
  env_.Set("TESSARY_RECONNECT_LIMIT", "0");
  std::unique_ptr<Directory> directory;
  std::string error;
  ASSERT_TRUE(OpenLdapDirectory(Uri(), &directory, &error)) << error;
  std::unique_ptr<Object> users;
  ASSERT_EQ(directory->Bind("LDAP://CN=Users," + BaseDn(), &users), S_OK);

  {
    ASSERT_TRUE(dc_.Run("halt"));
    Restart restart{dc_};
    HRESULT hr = users->GetInfo();
    EXPECT_TRUE(hr == kServerDown || hr == kUnavailable) << std::hex << hr;
    std::unique_ptr<Object> other;
    hr = directory->Bind("LDAP://CN=Computers," + BaseDn(), &other);
    EXPECT_TRUE(hr == kServerDown || hr == kUnavailable) << std::hex << hr;
    // The RootDSE was read whole when the connection was made; its naming contexts stay known.
    hr = directory->Bind("LDAP://RootDSE", &other);
    EXPECT_EQ(hr, S_OK) << std::hex << hr;
    SearchRequest request;
    std::unique_ptr<SearchCursor> cursor;
    ASSERT_EQ(users->ExecuteSearch(request, &cursor), S_OK);
    hr = cursor->GetFirstRow();
    EXPECT_TRUE(hr == kServerDown || hr == kUnavailable) << std::hex << hr;
  }

  EXPECT_EQ(users->GetInfo(), S_OK);
  Value name;
  EXPECT_EQ(users->Get("cn", &name), S_OK);
  std::unique_ptr<Object> computers;
  EXPECT_EQ(directory->Bind("LDAP://CN=Computers," + BaseDn(), &computers), S_OK);
}

}  // namespace
}  // namespace tessary::ds::ldap
