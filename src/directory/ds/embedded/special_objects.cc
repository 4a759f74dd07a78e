#include "directory/ds/embedded/special_objects.h"

#include <unistd.h>

#include <mutex>

#include "directory/ds/embedded/object_base.h"
#include "directory/ds/property_cache.h"
#include "directory/ds/embedded/schema_objects.h"
#include "directory/ds/embedded/sid.h"
#include "directory/ds/hex.h"
#include "directory/ds/embedded/value_convert.h"

namespace tessary::ds::embedded {
namespace {

std::string HostName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') return "localhost";
  std::string host(name);
  return host.substr(0, host.find('.'));
}

class RootDse : public ObjectBase {
 public:
  explicit RootDse(std::shared_ptr<Store> store) : store_(std::move(store)) { Load(); }

  HRESULT GetName(std::string* name) override {
    *name = "RootDSE";
    return S_OK;
  }
  HRESULT GetAdsPath(std::string* path) override {
    *path = "LDAP://RootDSE";
    return S_OK;
  }
  HRESULT Get(const std::string& name, Value* value) override { return cache_.Get(name, value); }
  HRESULT GetEx(const std::string& name, Values* values) override {
    return cache_.GetEx(name, values);
  }
  HRESULT GetPropertyNames(std::vector<std::string>* names) override {
    *names = cache_.Names();
    return S_OK;
  }
  HRESULT GetInfo() override {
    std::lock_guard lock(store_->mutex());
    Load();
    return S_OK;
  }
  HRESULT GetInfoEx(const std::vector<std::string>&) override { return GetInfo(); }

 private:
  void Load() {
    const ForestLayout& forest = store_->forest();
    auto dn = [](const std::string& text) { return Value(ADSTYPE_DN_STRING, text); };
    auto text = [](const std::string& t) { return Value(ADSTYPE_CASE_IGNORE_STRING, t); };
    std::string root_dns = forest.domains.empty() ? "" : forest.domains.front().dns_name;
    Values contexts;
    for (const auto& domain : forest.domains) contexts.push_back(dn(domain.dn));
    contexts.push_back(dn(forest.configuration_dn));
    contexts.push_back(dn(forest.schema_dn));
    std::string server = HostName();
    std::vector<Attribute> attributes = {
        {"defaultNamingContext", ADSTYPE_DN_STRING, {dn(forest.root_domain_dn)}},
        {"rootDomainNamingContext", ADSTYPE_DN_STRING, {dn(forest.root_domain_dn)}},
        {"configurationNamingContext", ADSTYPE_DN_STRING, {dn(forest.configuration_dn)}},
        {"schemaNamingContext", ADSTYPE_DN_STRING, {dn(forest.schema_dn)}},
        {"namingContexts", ADSTYPE_DN_STRING, contexts},
        {"subschemaSubentry", ADSTYPE_DN_STRING, {dn("CN=Aggregate," + forest.schema_dn)}},
        {"dnsHostName", ADSTYPE_CASE_IGNORE_STRING, {text(server + "." + root_dns)}},
        {"serverName",
         ADSTYPE_DN_STRING,
         {dn("CN=" + server + ",CN=Servers,CN=Default-First-Site-Name,CN=Sites," +
             forest.configuration_dn)}},
        {"currentTime", ADSTYPE_UTC_TIME, {text(GeneralizedTime(store_->Now()))}},
        {"highestCommittedUSN", ADSTYPE_LARGE_INTEGER, {text(store_->Meta("usn").value_or("0"))}},
        {"supportedLDAPVersion", ADSTYPE_CASE_IGNORE_STRING, {text("3"), text("2")}},
        {"isSynchronized", ADSTYPE_BOOLEAN, {text("TRUE")}},
        {"isGlobalCatalogReady", ADSTYPE_BOOLEAN, {text("TRUE")}},
        {"domainFunctionality", ADSTYPE_INTEGER, {text("0")}},
        {"forestFunctionality", ADSTYPE_INTEGER, {text("0")}},
        {"domainControllerFunctionality", ADSTYPE_INTEGER, {text("0")}},
    };
    cache_.Load(std::move(attributes));
  }

  std::shared_ptr<Store> store_;
  PropertyCache cache_;
};

class ClassObject : public ObjectBase {
 public:
  explicit ClassObject(const ObjectClass& object_class) : class_(object_class) {}

  HRESULT GetName(std::string* name) override {
    *name = class_.definition.ldap_display_name;
    return S_OK;
  }
  HRESULT GetClass(std::string* name) override {
    *name = "Class";
    return S_OK;
  }
  HRESULT GetGuid(std::string* hex) override {
    *hex = HexOf(GuidTextToBytes(class_.definition.schema_id_guid));
    return S_OK;
  }
  HRESULT GetAdsPath(std::string* path) override {
    *path = "LDAP://schema/" + class_.definition.ldap_display_name;
    return S_OK;
  }
  HRESULT GetParent(std::string* path) override {
    *path = "LDAP://schema";
    return S_OK;
  }
  HRESULT GetMandatoryProperties(std::vector<std::string>* names) override {
    *names = class_.must;
    return S_OK;
  }
  HRESULT GetOptionalProperties(std::vector<std::string>* names) override {
    *names = class_.may;
    return S_OK;
  }

 private:
  ObjectClass class_;
};

}  // namespace

std::unique_ptr<Object> MakeRootDse(std::shared_ptr<Store> store) {
  return std::make_unique<RootDse>(std::move(store));
}

std::unique_ptr<Object> MakeClassObject(const std::shared_ptr<Store>& store,
                                        const std::string& class_name) {
  const ObjectClass* object_class = store->schema().FindClass(class_name);
  if (object_class == nullptr) return nullptr;
  return std::make_unique<ClassObject>(*object_class);
}

}  // namespace tessary::ds::embedded
