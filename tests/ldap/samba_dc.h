#pragma once
// The Samba AD DC that the ctest fixture "samba_dc" runs (tests/samba/dc.sh), as seen by a test:
// its variables, and the script to get a ticket or to stop and restart the server.

#include <map>
#include <string>

#include "scoped_env.h"

namespace tessary::testing {

class SambaDc {
 public:
  // Reads the DC's variables from TESSARY_SAMBA_ENV_FILE (default: the build's fixture file).
  // False, with the reason, when no DC is running.
  [[nodiscard]] bool Load(std::string* why);

  // A variable of the DC ("TESSARY_SAMBA_URI", "TESSARY_SAMBA_BASE_DN", ...); empty if unknown.
  std::string Var(const std::string& name) const;

  // Points TESSARY_BIND_DN, TESSARY_BIND_PASSWORD_FILE, LDAPTLS_CACERT and KRB5_CONFIG at the
  // DC, and KRB5CCNAME at an empty cache in folder, so the bind is simple unless a test kinits.
  void UseForBind(ScopedEnv* env, const std::string& folder) const;

  // Runs dc.sh with the verb (halt, resume) or gets a ticket into ccache; true on success.
  [[nodiscard]] bool Run(const std::string& verb) const;
  [[nodiscard]] bool Kinit(const std::string& ccache) const;

 private:
  std::string env_file_;
  std::map<std::string, std::string> vars_;
};

}  // namespace tessary::testing
