#include "sample_data.h"

#include <cstdint>
#include <cstdio>
#include <map>
#include <set>

#include "directory/ds/ads_path.h"
#include "directory/ds/dn.h"
#include "directory/ds/ds_error.h"
#include "failure_text.h"
#include "ldif_load.h"

namespace tessary::tools {
namespace {

constexpr int kUsers = 300;
constexpr int kContacts = 40;
constexpr int kWorkstations = 40;
constexpr int kMailboxEvery = 3;  // every third user has a mailbox
constexpr std::uint32_t kSeed = 20010917;

// A fixed linear congruential generator: the standard library's distributions may differ
// between library versions, and the sample must not.
class Random {
 public:
  explicit Random(std::uint32_t seed) : state_(seed) {}
  std::uint32_t Next() {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<std::uint32_t>(state_ >> 33);
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }
  template <typename T, size_t N>
  const T& Pick(const T (&items)[N]) {
    return items[Below(static_cast<int>(N))];
  }

 private:
  std::uint64_t state_;
};

struct Name {
  const char* text;   // as written, UTF-8
  const char* ascii;  // for account names and mail addresses
};

const Name kGivenNames[] = {
    {"Anna", "anna"},     {"Ben", "ben"},       {"Carla", "carla"},         {"David", "david"},
    {"Elena", "elena"},   {"Farid", "farid"},   {"Grace", "grace"},         {"Hiro", "hiro"},
    {"Ingrid", "ingrid"}, {"Jonas", "jonas"},   {"Katarzyna", "katarzyna"}, {"Liam", "liam"},
    {"Maya", "maya"},     {"Noah", "noah"},     {"Olivia", "olivia"},       {"Pedro", "pedro"},
    {"Quinn", "quinn"},   {"Rosa", "rosa"},     {"Samuel", "samuel"},       {"Tara", "tara"},
    {"Umar", "umar"},     {"Vera", "vera"},     {"William", "william"},     {"Xiu", "xiu"},
    {"Yusuf", "yusuf"},   {"Zoë", "zoe"},       {"José", "jose"},           {"Søren", "soren"},
    {"Chloé", "chloe"},   {"Mikael", "mikael"}, {"Priya", "priya"},         {"Thomas", "thomas"},
    {"Emma", "emma"},     {"Lucas", "lucas"},   {"Sofia", "sofia"},         {"Daniel", "daniel"},
    {"Hannah", "hannah"}, {"Ali", "ali"},       {"Laura", "laura"},         {"Marek", "marek"},
};

const Name kSurnames[] = {
    {"Andersen", "andersen"}, {"Brown", "brown"},       {"Chen", "chen"},
    {"Dubois", "dubois"},     {"Evans", "evans"},       {"Fischer", "fischer"},
    {"García", "garcia"},     {"Hansen", "hansen"},     {"Ivanova", "ivanova"},
    {"Johnson", "johnson"},   {"Kowalski", "kowalski"}, {"Lee", "lee"},
    {"Müller", "muller"},     {"Nakamura", "nakamura"}, {"O'Brien", "obrien"},
    {"Patel", "patel"},       {"Quispe", "quispe"},     {"Rossi", "rossi"},
    {"Schmidt", "schmidt"},   {"Tanaka", "tanaka"},     {"Ünal", "unal"},
    {"Virtanen", "virtanen"}, {"Williams", "williams"}, {"Xu", "xu"},
    {"Yilmaz", "yilmaz"},     {"Zhang", "zhang"},       {"Novak", "novak"},
    {"Smith", "smith"},       {"Khan", "khan"},         {"Martin", "martin"},
    {"Svensson", "svensson"}, {"Kim", "kim"},           {"Silva", "silva"},
    {"Byrne", "byrne"},       {"Horvat", "horvat"},     {"Jensen", "jensen"},
};

struct Department {
  const char* name;
  const char* titles[3];  // head, senior, staff
};

const Department kDepartments[] = {
    {"Sales", {"Director of Sales", "Senior Account Manager", "Account Manager"}},
    {"Engineering", {"Director of Engineering", "Senior Engineer", "Software Engineer"}},
    {"Finance", {"Chief Financial Officer", "Senior Accountant", "Accountant"}},
    {"Marketing", {"Director of Marketing", "Marketing Lead", "Marketing Specialist"}},
    {"Human Resources", {"Director of Human Resources", "HR Business Partner", "HR Assistant"}},
    {"Operations", {"Director of Operations", "Operations Manager", "Logistics Coordinator"}},
    {"Support", {"Director of Support", "Support Team Lead", "Support Engineer"}},
};

struct Office {
  const char* city;
  const char* state;
  const char* postal_code;
  const char* street;
  const char* area_code;
};

const Office kOffices[] = {
    {"Seattle", "WA", "98101", "1200 Fifth Avenue", "206"},
    {"Portland", "OR", "97204", "300 SW Yamhill Street", "503"},
    {"Denver", "CO", "80202", "1700 Lincoln Street", "303"},
    {"Austin", "TX", "78701", "600 Congress Avenue", "512"},
    {"Boston", "MA", "02110", "1 Federal Street", "617"},
};

const char kCompany[] = "Lakeside Instruments";
const char kPartnerCompanies[][32] = {"Northwind Supplies", "Blue Harbor Logistics",
                                      "Granite Peak Consulting", "Riverbend Components",
                                      "Summit Freight"};

// Group types: global security, universal distribution.
constexpr std::int32_t kGlobalSecurity = static_cast<std::int32_t>(0x80000002u);
constexpr std::int32_t kUniversalDistribution = 0x8;

std::string Number(int value, int digits) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%0*d", digits, value);
  return buffer;
}

class PlanBuilder {
 public:
  PlanBuilder(const std::string& dns_name, const std::string& domain_dn,
              const std::string& configuration_dn)
      : dns_name_(dns_name),
        domain_dn_(domain_dn),
        configuration_dn_(configuration_dn),
        random_(kSeed) {}

  SamplePlan Build() {
    const std::string staff =
        AddOu("Staff", domain_dn_, "Everyone employed by " + std::string(kCompany));
    const std::string groups = AddOu("Groups", domain_dn_, "Security and distribution groups");
    const std::string partners = AddOu("Partners", domain_dn_, "Contacts at partner companies");
    const std::string workstations =
        AddOu("Workstations", domain_dn_, "Desktop and laptop computers");
    const std::string servers = AddOu("Servers", domain_dn_, "Member servers");
    std::vector<std::string> department_ous;
    for (const Department& d : kDepartments)
      department_ous.push_back(AddOu(d.name, staff, std::string(d.name) + " department"));

    AddServer("MAIL01", servers, "Exchange 2000 mailbox server");
    AddServer("FILE01", servers, "File and print server");
    const size_t exchange_first = plan_.entries.size();
    const std::string store = AddExchange();
    for (size_t i = exchange_first; i < plan_.entries.size(); ++i)
      plan_.entries[i].forest_wide = true;
    AddUsers(department_ous, store);
    AddGroups(groups);
    AddContacts(partners);
    AddWorkstations(workstations);
    return std::move(plan_);
  }

 private:
  ds::LdifRecord& Add(const std::string& rdn, const std::string& parent,
                      const std::vector<std::string>& object_classes) {
    SampleEntry entry;
    entry.record.dn = rdn + "," + parent;
    entry.record.change = ds::LdifChange::kAdd;
    entry.record.attributes.push_back({"objectClass", object_classes});
    plan_.entries.push_back(std::move(entry));
    return plan_.entries.back().record;
  }

  static void Set(ds::LdifRecord& record, const std::string& name, const std::string& value) {
    record.attributes.push_back({name, {value}});
  }

  std::string AddOu(const std::string& name, const std::string& parent,
                    const std::string& description) {
    const std::string rdn = "OU=" + ds::EscapeRdnValue(name);
    Set(Add(rdn, parent, {"organizationalUnit"}), "description", description);
    ++plan_.counts.organizational_units;
    return rdn + "," + parent;
  }

  void AddComputer(const std::string& name, const std::string& parent, const std::string& os,
                   const std::string& version, const std::string& description) {
    ds::LdifRecord& record = Add("CN=" + name, parent, {"computer"});
    Set(record, "sAMAccountName", name + "$");
    // A workstation trust account that has no password yet, as AD creates one.
    Set(record, "userAccountControl", "4128");
    Set(record, "dNSHostName", ds::AsciiLower(name) + "." + dns_name_);
    Set(record, "operatingSystem", os);
    Set(record, "operatingSystemVersion", version);
    Set(record, "description", description);
    ++plan_.counts.computers;
  }

  void AddServer(const std::string& name, const std::string& parent,
                 const std::string& description) {
    AddComputer(name, parent, "Windows 2000 Server", "5.0 (2195)", description);
  }

  // The Exchange organisation below the configuration; gives the mailbox store's DN.
  std::string AddExchange() {
    const std::string org_name = "First Organization", group_name = "First Administrative Group";
    const std::string services = "CN=Services," + configuration_dn_;
    plan_.containers.push_back(services);
    const std::string exchange = "CN=Microsoft Exchange," + services;
    const std::string org = "CN=" + org_name + "," + exchange;
    const std::string admin_groups = "CN=Administrative Groups," + org;
    const std::string admin_group = "CN=" + group_name + "," + admin_groups;
    const std::string servers = "CN=Servers," + admin_group;
    const std::string server = "CN=MAIL01," + servers;
    const std::string information_store = "CN=InformationStore," + server;
    const std::string storage_group = "CN=First Storage Group," + information_store;
    const std::string legacy_org = "/o=" + org_name;
    const std::string legacy_group = legacy_org + "/ou=" + group_name;

    Add("CN=Microsoft Exchange", services, {"msExchConfigurationContainer"});
    Set(Add("CN=" + org_name, exchange, {"msExchOrganizationContainer"}), "legacyExchangeDN",
        legacy_org);
    Add("CN=Administrative Groups", org, {"msExchAdminGroupContainer"});
    Set(Add("CN=" + group_name, admin_groups, {"msExchAdminGroup"}), "legacyExchangeDN",
        legacy_group);
    Add("CN=Servers", admin_group, {"msExchServersContainer"});
    ds::LdifRecord& server_record = Add("CN=MAIL01", servers, {"msExchExchangeServer"});
    Set(server_record, "legacyExchangeDN", legacy_group + "/cn=Configuration/cn=Servers/cn=MAIL01");
    Set(server_record, "serialNumber", "Version 6.0 (Build 6249.4)");
    Add("CN=InformationStore", server, {"msExchInformationStore"});
    Add("CN=First Storage Group", information_store, {"msExchStorageGroup"});
    Set(Add("CN=Mailbox Store (MAIL01)", storage_group, {"msExchPrivateMDB"}), "description",
        "Mailboxes of " + std::string(kCompany));
    Add("CN=Public Folder Store (MAIL01)", storage_group, {"msExchPublicMDB"});
    plan_.counts.exchange_objects = 10;
    return "CN=Mailbox Store (MAIL01)," + storage_group;
  }

  std::string UniqueAccount(const Name& given, const Name& surname) {
    const std::string base = (std::string(1, given.ascii[0]) + surname.ascii).substr(0, 17);
    std::string account = base;
    for (int n = 2; !accounts_.insert(account).second; ++n) account = base + std::to_string(n);
    return account;
  }

  // The name itself, or with the qualifier in brackets when another object has it already.
  std::string UniqueName(const std::string& name, const std::string& qualifier) {
    if (names_.insert(name).second) return name;
    std::string unique = name + " (" + qualifier + ")";
    for (int n = 2; !names_.insert(unique).second; ++n)
      unique = name + " (" + qualifier + " " + std::to_string(n) + ")";
    return unique;
  }

  void AddUsers(const std::vector<std::string>& department_ous, const std::string& store) {
    const int departments = static_cast<int>(std::size(kDepartments));
    std::vector<std::string> heads(departments);
    for (int i = 0; i < kUsers; ++i) {
      // The first user of each department heads it; the very first one leads the company.
      const int department = i < departments ? i : random_.Below(departments);
      const Department& d = kDepartments[department];
      const Name& given = random_.Pick(kGivenNames);
      const Name& surname = random_.Pick(kSurnames);
      const Office& office = kOffices[i < departments ? 0 : random_.Below(5)];
      const std::string account = UniqueAccount(given, surname);
      const std::string full_name =
          UniqueName(std::string(given.text) + " " + surname.text, account);
      const std::string title = i == 0            ? "Chief Executive Officer"
                                : i < departments ? d.titles[0]
                                                  : d.titles[1 + (random_.Below(4) == 0 ? 0 : 1)];
      ds::LdifRecord& record =
          Add("CN=" + ds::EscapeRdnValue(full_name), department_ous[department], {"user"});
      const std::string dn = record.dn;
      Set(record, "givenName", given.text);
      Set(record, "sn", surname.text);
      if (random_.Below(3) == 0) Set(record, "initials", std::string(1, 'A' + random_.Below(26)));
      Set(record, "displayName", full_name);
      Set(record, "sAMAccountName", account);
      Set(record, "userPrincipalName", account + "@" + dns_name_);
      Set(record, "mail", std::string(given.ascii) + "." + surname.ascii + "@" + dns_name_);
      Set(record, "telephoneNumber",
          std::string("+1 ") + office.area_code + " 555 " + Number(100 + i % 900, 4));
      if (random_.Below(2) == 0)
        Set(record, "mobile",
            std::string("+1 ") + office.area_code + " 555 " +
                Number(5000 + random_.Below(4000), 4));
      Set(record, "title", title);
      Set(record, "department", d.name);
      Set(record, "company", kCompany);
      Set(record, "physicalDeliveryOfficeName",
          std::string(office.city) + ", room " + std::to_string(100 + random_.Below(400)));
      Set(record, "streetAddress", office.street);
      Set(record, "l", office.city);
      Set(record, "st", office.state);
      Set(record, "postalCode", office.postal_code);
      Set(record, "co", "United States");
      Set(record, "c", "US");
      Set(record, "employeeID", "E" + Number(10000 + i, 5));
      Set(record, "description", std::string(d.name) + ", " + office.city + " office");
      Set(record, "userAccountControl", "514");  // enabled once the password is set
      if (i == 0) {
        // The chief executive reports to nobody.
      } else if (i < departments) {
        Set(record, "manager", heads[0]);
      } else {
        Set(record, "manager", heads[department]);
      }
      if (i < departments) heads[department] = dn;
      SampleEntry& entry = plan_.entries.back();
      entry.password = "Sample-" + Number(random_.Below(1000000), 6) + "!Pw";
      entry.enable = random_.Below(10) != 0;  // a few accounts stay disabled, as leavers do
      if (i % kMailboxEvery == 0) {
        entry.mailbox_store_dn = store;
        ++plan_.counts.mailboxes;
      }
      users_.push_back(dn);
      user_departments_.push_back(department);
      ++plan_.counts.users;
    }
    managers_ = heads;
  }

  void AddGroup(const std::string& name, const std::string& parent, std::int32_t type,
                const std::string& description, const std::vector<std::string>& members) {
    ds::LdifRecord& record = Add("CN=" + ds::EscapeRdnValue(name), parent, {"group"});
    Set(record, "sAMAccountName", name);
    Set(record, "groupType", std::to_string(type));
    Set(record, "description", description);
    if (type == kUniversalDistribution)
      Set(record, "mail", ds::AsciiLower(name.substr(0, name.find(' '))) + "@" + dns_name_);
    if (!members.empty()) record.attributes.push_back({"member", members});
    ++plan_.counts.groups;
    plan_.counts.largest_group =
        std::max(plan_.counts.largest_group, static_cast<int>(members.size()));
  }

  void AddGroups(const std::string& parent) {
    const int departments = static_cast<int>(std::size(kDepartments));
    for (int d = 0; d < departments; ++d) {
      std::vector<std::string> members;
      for (size_t u = 0; u < users_.size(); ++u)
        if (user_departments_[u] == d) members.push_back(users_[u]);
      AddGroup(std::string(kDepartments[d].name) + " Staff", parent, kGlobalSecurity,
               std::string("Members of the ") + kDepartments[d].name + " department", members);
    }
    AddGroup("All Staff", parent, kGlobalSecurity, "Every employee", users_);
    AddGroup("Managers", parent, kGlobalSecurity, "Department heads", managers_);
    std::vector<std::string> newsletter;
    for (size_t u = 0; u < users_.size(); u += 4) newsletter.push_back(users_[u]);
    AddGroup("Newsletter Readers", parent, kUniversalDistribution, "Company newsletter",
             newsletter);
    AddGroup("Helpdesk Operators", parent, kGlobalSecurity, "May reset passwords", {});
  }

  void AddContacts(const std::string& parent) {
    for (int i = 0; i < kContacts; ++i) {
      const Name& given = random_.Pick(kGivenNames);
      const Name& surname = random_.Pick(kSurnames);
      const std::string company = random_.Pick(kPartnerCompanies);
      const std::string full_name =
          UniqueName(std::string(given.text) + " " + surname.text, company);
      ds::LdifRecord& record = Add("CN=" + ds::EscapeRdnValue(full_name), parent, {"contact"});
      Set(record, "givenName", given.text);
      Set(record, "sn", surname.text);
      Set(record, "displayName", full_name);
      Set(record, "company", company);
      std::string domain;
      for (char c : company)
        if (c != ' ') domain += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      Set(record, "mail", std::string(given.ascii) + "." + surname.ascii + "@" + domain + ".com");
      Set(record, "telephoneNumber", "+1 800 555 " + Number(1000 + i, 4));
      Set(record, "description", "Contact at " + company);
      ++plan_.counts.contacts;
    }
  }

  void AddWorkstations(const std::string& parent) {
    for (int i = 1; i <= kWorkstations; ++i) {
      const bool laptop = random_.Below(3) == 0;
      AddComputer((laptop ? "LT-" : "WS-") + Number(i, 4), parent, "Windows 2000 Professional",
                  "5.0 (2195)", laptop ? "Laptop" : "Desktop");
    }
  }

  const std::string dns_name_, domain_dn_, configuration_dn_;
  Random random_;
  SamplePlan plan_;
  std::set<std::string> accounts_, names_;
  std::vector<std::string> users_, managers_;
  std::vector<int> user_departments_;
};

// Creates a container below the configuration when the provisioned forest has none there yet.
bool EnsureContainer(ds::Directory& directory, const std::string& dn, LdifLoader& loader,
                     std::string* error) {
  std::unique_ptr<ds::Object> object;
  const HRESULT hr = directory.Bind(ds::AdsPathOfDn(dn), &object);
  if (Succeeded(hr)) return true;
  if (hr != E_DS_NO_SUCH_OBJECT) {
    *error = FailureText("Could not read the object '" + dn + "'.", hr);
    return false;
  }
  ds::LdifRecord record;
  record.dn = dn;
  record.change = ds::LdifChange::kAdd;
  record.attributes = {{"objectClass", {"container"}}};
  return loader.Apply(record, error);
}

bool FinishUser(ds::Directory& directory, const SampleEntry& entry, std::string* error) {
  std::unique_ptr<ds::Object> user;
  HRESULT hr = directory.Bind(ds::AdsPathOfDn(entry.record.dn), &user);
  if (Succeeded(hr)) hr = user->SetPassword(entry.password);
  if (Succeeded(hr) && entry.enable) {
    hr = user->PutAccountDisabled(false);
    if (Succeeded(hr)) hr = user->SetInfo();
  }
  if (Failed(hr)) {
    *error = FailureText("Could not set up the account '" + entry.record.dn + "'.", hr);
    return false;
  }
  if (entry.mailbox_store_dn.empty()) return true;
  std::unique_ptr<ds::MailboxStore> mailbox;
  hr = user->QueryMailboxStore(&mailbox);
  if (Succeeded(hr)) hr = mailbox->CreateMailbox(entry.mailbox_store_dn);
  if (Failed(hr)) {
    *error = FailureText("Could not create a mailbox for the user '" + entry.record.dn + "'.", hr);
    return false;
  }
  return true;
}

}  // namespace

SamplePlan BuildSamplePlan(const std::string& dns_name, const std::string& domain_dn,
                           const std::string& configuration_dn) {
  return PlanBuilder(dns_name, domain_dn, configuration_dn).Build();
}

bool WriteSamplePlan(ds::Directory& directory, const AttributeSyntaxes& syntaxes,
                     const SamplePlan& plan, std::string* error) {
  LdifLoader loader(directory, syntaxes);
  for (const std::string& dn : plan.containers)
    if (!EnsureContainer(directory, dn, loader, error)) return false;
  for (const SampleEntry& entry : plan.entries) {
    std::unique_ptr<ds::Object> existing;
    if (entry.forest_wide && Succeeded(directory.Bind(ds::AdsPathOfDn(entry.record.dn), &existing)))
      continue;
    if (!loader.Apply(entry.record, error)) return false;
    if (!entry.password.empty() && !FinishUser(directory, entry, error)) return false;
  }
  return true;
}

}  // namespace tessary::tools
