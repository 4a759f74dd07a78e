#include <cctype>
#include <filesystem>
#include <mutex>

#include "directory/ds/dn.h"
#include "directory/ds/embedded/embedded_directory.h"
#include "directory/ds/embedded/protected_objects.h"
#include "directory/ds/embedded/schema_objects.h"
#include "directory/ds/embedded/sid.h"
#include "directory/ds/embedded/store.h"
#include "directory/ds/embedded/writer.h"

namespace tessary::ds::embedded {
namespace {

constexpr std::int32_t kGlobalSecurityGroup = static_cast<std::int32_t>(0x80000002u);
constexpr std::int32_t kNormalAccount = 0x200;
constexpr std::int32_t kDisabledNormalAccount = 0x222;

Change Flags(std::int64_t flags) {
  return {ADS_PROPERTY_UPDATE, "systemFlags", {Value::Integer(static_cast<std::int32_t>(flags))}};
}

Change Critical() {
  return {ADS_PROPERTY_UPDATE, "isCriticalSystemObject", {Value::Boolean(true)}};
}

// The head of a domain, guarded as the objects the domain cannot do without.
std::vector<Change> DomainHead(const Bytes& sid) {
  return {{ADS_PROPERTY_UPDATE, "objectSid", {Value::Octets(sid)}},
          Flags(kFlagsOfCriticalContainer),
          Critical()};
}

bool ValidDnsName(const std::string& name) {
  if (name.empty() || name.size() > 253 || name.find('.') == std::string::npos) return false;
  std::size_t label = 0;
  for (std::size_t i = 0; i <= name.size(); ++i) {
    if (i == name.size() || name[i] == '.') {
      if (label == 0 || label > 63 || name[i - 1] == '-' || name[i - label] == '-') return false;
      label = 0;
      continue;
    }
    if (!std::isalnum(static_cast<unsigned char>(name[i])) && name[i] != '-') return false;
    ++label;
  }
  return true;
}

std::string DomainDn(const std::string& dns_name) {
  std::string dn;
  std::size_t start = 0;
  while (start <= dns_name.size()) {
    std::size_t dot = dns_name.find('.', start);
    if (dot == std::string::npos) dot = dns_name.size();
    dn += (dn.empty() ? "DC=" : ",DC=") + dns_name.substr(start, dot - start);
    start = dot + 1;
  }
  return dn;
}

std::string NetbiosName(const std::string& dns_name) {
  std::string name = dns_name.substr(0, dns_name.find('.')).substr(0, 15);
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return name;
}

class Provisioner {
 public:
  Provisioner(Store& store, std::string* error) : store_(store), error_(error) {}

  // Creates one object as the directory itself does; a failure is reported with its DN.
  bool Make(const std::string& parent_dn, const std::string& class_name, const std::string& rdn,
            const std::vector<Change>& changes,
            Store::NamingContext naming_context = Store::NamingContext::kInherit) {
    std::vector<Rdn> rdns;
    if (!ParseDn(rdn, &rdns)) return Fail(rdn, E_INVALIDARG);
    HRESULT hr = Writer(store_, Origin::kSystem)
                     .Create(parent_dn, class_name, rdns.front(), changes, naming_context, nullptr);
    return Succeeded(hr) || Fail(rdn + (parent_dn.empty() ? "" : "," + parent_dn), hr);
  }

  bool Modify(const std::string& dn, const std::vector<Change>& changes) {
    std::optional<std::int64_t> id = store_.IdOf(dn);
    if (!id) return Fail(dn, E_DS_NO_SUCH_OBJECT);
    HRESULT hr = Writer(store_, Origin::kSystem).Modify(*id, changes);
    return Succeeded(hr) || Fail(dn, hr);
  }

  bool Fail(const std::string& dn, HRESULT hr) {
    char code[16];
    std::snprintf(code, sizeof code, "%x", static_cast<unsigned>(hr));
    *error_ = "Could not create the object '" + dn + "' (" + code + ").";
    return false;
  }

  // The forest's configuration and schema, with the schema objects of the definition.
  bool Forest(const std::string& root_dn, const std::string& root_dns,
              const SchemaDefinition& definition, const Bytes& domain_sid) {
    std::string configuration = "CN=Configuration," + root_dn;
    std::string schema = "CN=Schema," + configuration;
    if (!store_.SetMeta("root_domain", root_dn) ||
        !store_.SetMeta("configuration", configuration) || !store_.SetMeta("schema", schema) ||
        !store_.ReloadForest(error_)) {
      return false;
    }
    std::vector<Rdn> rdns;
    (void)ParseDn(root_dn, &rdns);
    std::string above = root_dn.substr(
        root_dn.find(',') == std::string::npos ? root_dn.size() : root_dn.find(',') + 1);
    if (!Make(above, "domainDNS", FormatRdn(rdns.front()), DomainHead(domain_sid),
              Store::NamingContext::kHead) ||
        !Make(root_dn, "configuration", "CN=Configuration", {}, Store::NamingContext::kHead) ||
        !Make(configuration, "dMD", "CN=Schema", {}, Store::NamingContext::kHead)) {
      return false;
    }
    // Schema objects first without their DN values: the objects those name come in this pass.
    std::vector<std::pair<std::string, SchemaObjectAttributes>> objects;
    for (const AttributeDefinition& a : definition.attributes) {
      objects.emplace_back("attributeSchema:" + a.cn, AttributeSchemaObject(a, schema));
    }
    for (const ClassDefinition& c : definition.classes) {
      objects.emplace_back("classSchema:" + c.cn, ClassSchemaObject(c, schema));
    }
    std::vector<std::pair<std::string, std::vector<Change>>> links;
    for (const auto& [key, attributes] : objects) {
      std::string class_name = key.substr(0, key.find(':'));
      std::string cn = key.substr(key.find(':') + 1);
      std::vector<Change> now;
      std::vector<Change> later;
      for (const auto& [name, values] : attributes) {
        bool dn_valued = name == "objectCategory" || name == "defaultObjectCategory";
        (dn_valued ? later : now).push_back({ADS_PROPERTY_UPDATE, name, values});
      }
      if (!Make(schema, class_name, FormatRdn({"CN", cn}), now)) return false;
      links.emplace_back(FormatRdn({"CN", cn}) + "," + schema, std::move(later));
    }
    for (const auto& [dn, changes] : links) {
      if (!Modify(dn, changes)) return false;
    }
    for (const char* head : {"", "CN=Configuration,", "CN=Schema,CN=Configuration,"}) {
      if (!Categorise(head + root_dn)) return false;
    }
    std::string partitions = "CN=Partitions," + configuration;
    return Make(configuration, "crossRefContainer", "CN=Partitions",
                {Flags(kFlagDisallowDelete)}) &&
           Make(configuration, "container", "CN=Services", {Flags(kFlagDisallowDelete)}) &&
           CrossRef(partitions, "CN=Enterprise Configuration", configuration, root_dns, 1) &&
           CrossRef(partitions, "CN=Enterprise Schema", schema, root_dns, 1);
  }

  // Gives an object made before its category existed its objectCategory.
  bool Categorise(const std::string& dn) {
    ObjectRecord record;
    if (store_.FindByDn(dn, &record) != S_OK) return Fail(dn, E_DS_NO_SUCH_OBJECT);
    const ObjectClass* c = StructuralClass(store_, record);
    if (c == nullptr) return Fail(dn, E_FAIL);
    const std::string& category = c->definition.default_object_category;
    return Modify(dn, {{ADS_PROPERTY_UPDATE,
                        "objectCategory",
                        {Value::String("CN=" + (category.empty() ? c->definition.cn : category) +
                                       "," + store_.forest().schema_dn)}}});
  }

  bool CrossRef(const std::string& partitions, const std::string& rdn, const std::string& nc,
                const std::string& dns_root, std::int32_t flags) {
    std::vector<Change> changes = {
        {ADS_PROPERTY_UPDATE, "nCName", {Value::String(nc)}},
        {ADS_PROPERTY_UPDATE, "dnsRoot", {Value::String(dns_root)}},
        {ADS_PROPERTY_UPDATE, "systemFlags", {Value::Integer(flags)}},
    };
    if (flags & 2) {
      changes.push_back(
          {ADS_PROPERTY_UPDATE, "nETBIOSName", {Value::String(NetbiosName(dns_root))}});
    }
    return Make(partitions, "crossRef", rdn, changes);
  }

  bool Account(const std::string& parent, const std::string& class_name, const std::string& name,
               std::uint32_t rid, const Bytes& domain_sid, std::vector<Change> changes) {
    changes.push_back({ADS_PROPERTY_UPDATE, "sAMAccountName", {Value::String(name)}});
    changes.push_back(
        {ADS_PROPERTY_UPDATE, "objectSid", {Value::Octets(AccountSid(domain_sid, rid))}});
    changes.push_back(Critical());
    return Make(parent, class_name, FormatRdn({"CN", name}), changes);
  }

  // The domain's own containers, accounts and groups, and its crossRef.
  bool Domain(const std::string& domain_dn, const std::string& dns_name, const Bytes& sid,
              const ProvisionOptions& options) {
    std::string partitions = "CN=Partitions," + store_.forest().configuration_dn;
    if (!CrossRef(partitions, "CN=" + NetbiosName(dns_name), domain_dn, dns_name, 3) ||
        !store_.ReloadForest(error_)) {
      return false;
    }
    std::string users = "CN=Users," + domain_dn;
    auto description = [](const char* text) {
      return Change{ADS_PROPERTY_UPDATE, "description", {Value::String(text)}};
    };
    auto uac = [](std::int32_t flags) {
      return Change{ADS_PROPERTY_UPDATE, "userAccountControl", {Value::Integer(flags)}};
    };
    auto group_type =
        Change{ADS_PROPERTY_UPDATE, "groupType", {Value::Integer(kGlobalSecurityGroup)}};
    auto container = [&](const char* class_name, const char* rdn, const char* text) {
      return Make(domain_dn, class_name, rdn,
                  {description(text), Flags(kFlagsOfCriticalContainer), Critical()});
    };
    bool ok =
        container("container", "CN=Users", "Default container for upgraded user accounts") &&
        container("container", "CN=Computers",
                  "Default container for upgraded computer accounts") &&
        container("organizationalUnit", "OU=Domain Controllers",
                  "Default container for domain controllers") &&
        container("lostAndFound", "CN=LostAndFound", "Default container for orphaned objects") &&
        container("container", "CN=System", "Builtin system settings") &&
        Account(users, "user", "Administrator", 500, sid,
                {description("Built-in account for administering the computer/domain"),
                 uac(kNormalAccount)}) &&
        Account(users, "user", "Guest", 501, sid,
                {description("Built-in account for guest access to the computer/domain"),
                 uac(kDisabledNormalAccount)}) &&
        Account(users, "group", "Domain Admins", 512, sid,
                {description("Designated administrators of the domain"),
                 group_type,
                 {ADS_PROPERTY_UPDATE, "member", {Value::String("CN=Administrator," + users)}}}) &&
        Account(users, "group", "Domain Users", 513, sid,
                {description("All domain users"), group_type}) &&
        Account(users, "group", "Domain Guests", 514, sid,
                {description("All domain guests"), group_type}) &&
        Account(users, "group", "Domain Computers", 515, sid,
                {description("All workstations and servers joined to the domain"), group_type});
    if (!ok) return false;
    if (!options.administrator_password.empty()) {
      std::optional<std::int64_t> id = store_.IdOf("CN=Administrator," + users);
      HRESULT hr =
          id ? Writer(store_, Origin::kClient).SetPassword(*id, options.administrator_password)
             : E_DS_NO_SUCH_OBJECT;
      if (Failed(hr)) {
        *error_ = "Could not set the password of the Administrator of '" + dns_name +
                  "': it does not meet the password policy.";
        return false;
      }
    }
    return true;
  }

 private:
  Store& store_;
  std::string* error_;
};

// Provisions the domain into an open store in one transaction.
bool AddDomain(Store& store, bool creating, const std::string& dns_name,
               const SchemaDefinition& schema, const ProvisionOptions& options,
               std::string* error) {
  std::string domain_dn = DomainDn(dns_name);
  Bytes sid = NewDomainSid();
  Provisioner provisioner(store, error);
  bool ok = false;
  {
    Transaction transaction(store.database());
    ok = transaction.ok();
    if (creating) {
      ok = ok && provisioner.Forest(domain_dn, dns_name, schema, sid);
    } else if (ok) {
      std::vector<Rdn> rdns;
      (void)ParseDn(domain_dn, &rdns);
      std::string above = domain_dn.substr(domain_dn.find(',') + 1);
      ok = provisioner.Make(above, "domainDNS", FormatRdn(rdns.front()), DomainHead(sid),
                            Store::NamingContext::kHead);
    }
    ok = ok && provisioner.Domain(domain_dn, dns_name, sid, options) && transaction.Commit();
  }
  return ok;
}

}  // namespace

bool ProvisionDomain(const std::string& path, const std::string& dns_domain_name,
                     const SchemaDefinition& schema, const ProvisionOptions& options,
                     std::string* error) {
  std::string dns_name = AsciiLower(dns_domain_name);
  if (!ValidDnsName(dns_name)) {
    *error = "The domain name '" + dns_domain_name + "' is not a valid DNS domain name.";
    return false;
  }
  std::error_code ec;
  bool creating = !std::filesystem::exists(path, ec);
  std::shared_ptr<Store> store;
  if (creating ? !Store::Create(path, schema, &store, error) : !Store::Open(path, &store, error)) {
    return false;
  }
  bool ok = false;
  {
    std::lock_guard lock(store->mutex());
    for (const auto& domain : store->forest().domains) {
      if (domain.dns_name == dns_name) {
        *error = "The domain '" + dns_name + "' already exists in the embedded directory '" + path +
                 "'.";
        return false;
      }
    }
    ok = AddDomain(*store, creating, dns_name, schema, options, error);
  }
  if (!ok) {
    if (error->empty()) *error = "Could not provision the domain '" + dns_name + "'.";
    *error = "Could not provision the domain '" + dns_name + "' in '" + path + "'.\n" + *error;
    store.reset();
    if (creating) {
      std::filesystem::remove(path, ec);
      std::filesystem::remove(path + "-wal", ec);
      std::filesystem::remove(path + "-shm", ec);
    }
    return false;
  }
  return true;
}

}  // namespace tessary::ds::embedded
