#include "directory/ds/embedded/mailbox.h"

#include <mutex>

#include "directory/ds/dn.h"
#include "directory/ds/ds_error.h"
#include "directory/ds/embedded/writer.h"

namespace tessary::ds::embedded {
namespace {

constexpr const char* kMailboxAttributes[] = {"homeMDB", "msExchHomeServerName", "mailNickname",
                                              "legacyExchangeDN"};

std::string FirstRdnValue(const std::string& dn) {
  std::vector<Rdn> rdns;
  return ParseDn(dn, &rdns) ? rdns.front().value : std::string();
}

std::string TextOf(Store& store, const ObjectRecord& record, const char* name) {
  const AttributeType* type = store.schema().FindAttribute(name);
  const auto* values = type != nullptr ? record.attributes.Find(type->number) : nullptr;
  if (values == nullptr) return {};
  const auto* text = std::get_if<std::string>(&values->front());
  return text != nullptr ? *text : std::string();
}

// The nearest ancestor of record (or record itself) that is of class_name.
bool Ancestor(Store& store, const ObjectRecord& record, const char* class_name,
              ObjectRecord* found) {
  ObjectRecord current = record;
  while (true) {
    if (IsInstanceOf(store, current, class_name)) {
      *found = current;
      return true;
    }
    if (current.parent == 0 || store.FindById(current.parent, &current) != S_OK) return false;
  }
}

class EmbeddedMailboxStore : public MailboxStore {
 public:
  EmbeddedMailboxStore(std::shared_ptr<Store> store, std::int64_t user)
      : store_(std::move(store)), user_(user) {}

  HRESULT CreateMailbox(const std::string& home_mdb_dn) override {
    std::lock_guard lock(store_->mutex());
    ObjectRecord user;
    ObjectRecord mailbox_store;
    if (HRESULT hr = store_->FindById(user_, &user); Failed(hr)) return hr;
    if (!TextOf(*store_, user, "homeMDB").empty()) return E_DS_ALREADY_EXISTS;
    const AttributeType* home_mdb = store_->schema().FindAttribute("homeMDB");
    if (home_mdb != nullptr && user.attributes.Find(home_mdb->number) != nullptr) {
      return E_DS_ALREADY_EXISTS;
    }
    if (HRESULT hr = store_->FindByDn(home_mdb_dn, &mailbox_store); Failed(hr)) return hr;
    ObjectRecord server;
    ObjectRecord admin_group;
    ObjectRecord organisation;
    if (!IsInstanceOf(*store_, mailbox_store, "msExchPrivateMDB") ||
        !Ancestor(*store_, mailbox_store, "msExchExchangeServer", &server) ||
        !Ancestor(*store_, server, "msExchAdminGroup", &admin_group) ||
        !Ancestor(*store_, admin_group, "msExchOrganizationContainer", &organisation)) {
      return E_INVALIDARG;
    }
    std::string prefix =
        "/o=" + FirstRdnValue(organisation.dn) + "/ou=" + FirstRdnValue(admin_group.dn);
    std::string server_name = TextOf(*store_, server, "legacyExchangeDN");
    if (server_name.empty()) {
      server_name = prefix + "/cn=Configuration/cn=Servers/cn=" + FirstRdnValue(server.dn);
    }
    std::string nickname = TextOf(*store_, user, "mailNickname");
    if (nickname.empty()) nickname = TextOf(*store_, user, "sAMAccountName");
    if (nickname.empty()) nickname = FirstRdnValue(user.dn);
    std::vector<Change> changes = {
        {ADS_PROPERTY_UPDATE, "homeMDB", {Value::String(mailbox_store.dn, ADSTYPE_DN_STRING)}},
        {ADS_PROPERTY_UPDATE, "msExchHomeServerName", {Value::String(server_name)}},
        {ADS_PROPERTY_UPDATE, "mailNickname", {Value::String(nickname)}},
        {ADS_PROPERTY_UPDATE,
         "legacyExchangeDN",
         {Value::String(prefix + "/cn=Recipients/cn=" + nickname)}},
    };
    return Writer(*store_, Origin::kSystem).Modify(user_, changes);
  }

 private:
  std::shared_ptr<Store> store_;
  std::int64_t user_;
};

}  // namespace

bool ExchangeInstalled(Store& store) {
  for (const char* name : kMailboxAttributes) {
    if (store.schema().FindAttribute(name) == nullptr) return false;
  }
  if (store.schema().FindClass("msExchOrganizationContainer") == nullptr) return false;
  ObjectRecord exchange;
  if (store.FindByDn("CN=Microsoft Exchange,CN=Services," + store.forest().configuration_dn,
                     &exchange) != S_OK) {
    return false;
  }
  Statement* s = store.database().Prepare("SELECT id FROM objects WHERE parent = ?1 ORDER BY id");
  if (s == nullptr) return false;
  s->BindInt(1, exchange.id);
  std::vector<std::int64_t> children;
  while (s->Next() == Statement::Step::kRow) children.push_back(s->Int(0));
  s->Reset();
  for (std::int64_t id : children) {
    ObjectRecord child;
    if (store.FindById(id, &child) == S_OK &&
        IsInstanceOf(store, child, "msExchOrganizationContainer")) {
      return true;
    }
  }
  return false;
}

std::unique_ptr<MailboxStore> MakeMailboxStore(std::shared_ptr<Store> store, std::int64_t user) {
  return std::make_unique<EmbeddedMailboxStore>(std::move(store), user);
}

}  // namespace tessary::ds::embedded
