#include "samba_dc.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/process.h"

namespace tessary::testing {

bool SambaDc::Load(std::string* why) {
  const char* configured = std::getenv("TESSARY_SAMBA_ENV_FILE");
  env_file_ = configured != nullptr ? configured : TESSARY_SAMBA_ENV_FILE_DEFAULT;
  std::ifstream in(env_file_);
  if (!in) {
    *why = "no test DC is running ('" + env_file_ +
           "' is missing; ctest starts it with the "
           "samba_dc fixture)";
    return false;
  }
  for (std::string line; std::getline(in, line);) {
    auto equals = line.find('=');
    if (equals != std::string::npos) vars_[line.substr(0, equals)] = line.substr(equals + 1);
  }
  if (Var("TESSARY_SAMBA_URI").empty()) {
    *why = "'" + env_file_ + "' does not name the DC's URI";
    return false;
  }
  return true;
}

std::string SambaDc::Var(const std::string& name) const {
  auto found = vars_.find(name);
  return found == vars_.end() ? std::string() : found->second;
}

void SambaDc::UseForBind(ScopedEnv* env, const std::string& folder) const {
  env->Set("TESSARY_BIND_DN", Var("TESSARY_BIND_DN"));
  env->Set("TESSARY_BIND_PASSWORD_FILE", Var("TESSARY_BIND_PASSWORD_FILE"));
  env->Set("LDAPTLS_CACERT", Var("LDAPTLS_CACERT"));
  env->Set("KRB5_CONFIG", Var("TESSARY_SAMBA_KRB5_CONFIG"));
  env->Set("KRB5CCNAME", "FILE:" + folder + "/krb5cc");
  env->Set("LDAPNOINIT", "1");
  env->Unset("TESSARY_NETWORK_TIMEOUT");
}

bool SambaDc::Run(const std::string& verb) const {
  auto result =
      platform::StartProcess({TESSARY_SAMBA_DC_SCRIPT, verb, env_file_}, {}, platform::Wait::Yes);
  return result.started && result.exit_code == 0;
}

bool SambaDc::Kinit(const std::string& ccache) const {
  auto result = platform::StartProcess({TESSARY_SAMBA_DC_SCRIPT, "kinit", env_file_, ccache}, {},
                                       platform::Wait::Yes);
  return result.started && result.exit_code == 0;
}

}  // namespace tessary::testing
