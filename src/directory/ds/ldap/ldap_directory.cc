#include "directory/ds/ldap/ldap_directory.h"

#include "directory/ds/ads_path.h"
#include "directory/ds/dn.h"
#include "directory/ds/ds_error.h"
#include "directory/ds/ldap/ldap_object.h"
#include "directory/ds/ldap/session.h"
#include "directory/ds/open_directory.h"
#include "support/bvk_error.h"

namespace tessary::ds::ldap {
namespace {

class LdapDirectory final : public Directory {
 public:
  explicit LdapDirectory(std::shared_ptr<Session> session) : session_(std::move(session)) {}

  void SetServerWait(ServerWait* wait) override { session_->SetServerWait(wait); }

  bool RefuseWrites() override {
    session_->RefuseWrites();
    return true;
  }

  HRESULT Bind(const std::string& path, std::unique_ptr<Object>* object) override {
    AdsPath parsed;
    HRESULT hr = ParseAdsPath(path, &parsed);
    if (Failed(hr)) return hr;
    switch (parsed.kind) {
      case AdsPath::Kind::kRootDse:
        return BindRootDse(object);
      case AdsPath::Kind::kSchemaClass:
        return BindSchemaClass(parsed.value, object);
      case AdsPath::Kind::kDomainName:
        return BindDomain(parsed.value, object);
      case AdsPath::Kind::kDn:
      case AdsPath::Kind::kGuid:
        break;
    }
    std::string dn;
    hr = DnOfPath(*session_, path, &dn);
    if (Failed(hr)) return hr;
    return BindDn(dn, object);
  }

  HRESULT BindFast(const std::string& path, std::unique_ptr<Object>* object) override {
    AdsPath parsed;
    HRESULT hr = ParseAdsPath(path, &parsed);
    if (Failed(hr)) return hr;
    if (parsed.kind != AdsPath::Kind::kDn && parsed.kind != AdsPath::Kind::kGuid) {
      return Bind(path, object);
    }
    Entry entry;
    hr = DnOfPath(*session_, path, &entry.dn);
    if (Failed(hr)) return hr;
    *object =
        std::make_unique<LdapObject>(session_, std::move(entry), LdapObject::Kind::kEntry, false);
    return S_OK;
  }

  std::string Location() const override { return session_->Uri(); }

 private:
  // A bind asks only whether the object is there and its class, as ADSI's does; the rest is
  // read at the first Get that needs it, so a bind made only to reach a child or to search
  // below costs one small answer.
  HRESULT BindDn(const std::string& dn, std::unique_ptr<Object>* object) {
    Entry entry;
    if (session_->IsNamingContext(dn)) {
      // The RootDSE already said it is there.
      entry.dn = dn;
    } else if (HRESULT hr = session_->ReadEntry(dn, {"objectClass"}, &entry); Failed(hr)) {
      return hr;
    }
    *object =
        std::make_unique<LdapObject>(session_, std::move(entry), LdapObject::Kind::kEntry, false);
    return S_OK;
  }

  HRESULT BindRootDse(std::unique_ptr<Object>* object) {
    *object = std::make_unique<LdapObject>(session_, session_->RootDse(),
                                           LdapObject::Kind::kRootDse, true);
    return S_OK;
  }

  HRESULT BindSchemaClass(const std::string& name, std::unique_ptr<Object>* object) {
    std::vector<Entry> entries;
    HRESULT hr = session_->SearchAll(
        session_->SchemaNamingContext(), SearchScope::kOneLevel,
        "(&(objectClass=classSchema)(lDAPDisplayName=" + EscapeFilterValue(name) + "))", {},
        &entries);
    if (Failed(hr)) return hr;
    if (entries.empty()) return E_DS_NO_SUCH_OBJECT;
    *object = std::make_unique<LdapObject>(session_, std::move(entries.front()),
                                           LdapObject::Kind::kSchemaClass, true);
    return S_OK;
  }

  // A domain of the forest by its DNS name: the naming context its crossRef names.
  HRESULT BindDomain(const std::string& dns_name, std::unique_ptr<Object>* object) {
    std::vector<Entry> entries;
    HRESULT hr = session_->SearchAll(
        "CN=Partitions," + session_->ConfigurationNamingContext(), SearchScope::kOneLevel,
        "(&(objectClass=crossRef)(systemFlags:1.2.840.113556.1.4.803:=2)(dnsRoot=" +
            EscapeFilterValue(dns_name) + "))",
        {"nCName"}, &entries);
    if (Failed(hr)) return hr;
    for (const Entry& entry : entries) {
      for (const Attribute& attribute : entry.attributes) {
        if (AsciiLower(attribute.name) == "ncname" && !attribute.values.empty() &&
            attribute.values[0].string() != nullptr) {
          return BindDn(*attribute.values[0].string(), object);
        }
      }
    }
    return E_DS_NO_SUCH_OBJECT;
  }

  std::shared_ptr<Session> session_;
};

// The sentence, then the code's explanation with the code in hex, as every directory message reads.
std::string Explained(const std::string& sentence, HRESULT hr) {
  CBVKError record;
  record.SetText(sentence);
  record.SetADSIError(hr);
  return record.GetText();
}

}  // namespace

bool OpenLdapDirectory(const std::string& uri, std::unique_ptr<Directory>* directory,
                       std::string* error) {
  ConnectionSettings settings;
  if (!SettingsFromEnvironment(uri, &settings, error)) return false;
  auto connection = std::make_unique<Connection>(std::move(settings));
  std::string reason;
  HRESULT hr = connection->Open(&reason);
  if (Failed(hr)) {
    *error = Explained(reason, hr);
    return false;
  }
  auto session = std::make_shared<Session>(std::move(connection));
  hr = session->Start();
  if (Failed(hr)) {
    *error = Explained("Could not read the RootDSE of '" + uri + "'.", hr);
    return false;
  }
  *directory = DirectoryOfSession(std::move(session));
  return true;
}

std::unique_ptr<Directory> DirectoryOfSession(std::shared_ptr<Session> session) {
  return std::make_unique<LdapDirectory>(std::move(session));
}

void InstallLdapBackend() { RegisterLdapBackend(&OpenLdapDirectory); }

}  // namespace tessary::ds::ldap
