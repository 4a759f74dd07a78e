#pragma once
// What every object of one LDAP connection shares: the connection, the naming contexts of the
// RootDSE and the attribute syntaxes of the schema (each looked up once, on first need). The LDAP
// operations the objects use are here, each answering with an HRESULT.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "directory/ds/ldap/connection.h"
#include "directory/ds/ldap/ldap_values.h"
#include "directory/ds/search.h"

namespace tessary::ds::ldap {

// One entry of a search answer, its values typed by the schema.
struct Entry {
  std::string dn;
  std::vector<Attribute> attributes;
};

// One change of a modify or add: LDAP_MOD_ADD / DELETE / REPLACE with wire values.
struct Modification {
  enum class Kind { kAdd, kDelete, kReplace };
  Kind kind = Kind::kReplace;
  std::string name;
  std::vector<std::string> values;
};

// Where a paged search stands between its pages.
struct PageCookie {
  std::string state;             // the server's; empty before the first page and after the last
  std::uint64_t connection = 0;  // the connection that gave it: no other one knows it
  bool restarted = false;        // the search began again on a new connection
  // Set by a caller that walks every page: the request for the next page goes out as soon as
  // a page arrives, so the server makes the next page while the caller handles this one.
  bool read_ahead = false;
  int pending_message = -1;  // the next page's request, sent on `connection`; -1: none
};

class Session {
 public:
  explicit Session(std::unique_ptr<Connection> connection);

  // Reads the RootDSE; fails with the search's HRESULT.
  [[nodiscard]] HRESULT Start();

  // The RootDSE as Start read it.
  const Entry& RootDse() const { return root_dse_; }
  // Whether dn names one of the naming contexts the RootDSE lists.
  bool IsNamingContext(std::string_view dn) const;

  const std::string& DefaultNamingContext() const { return default_nc_; }
  const std::string& ConfigurationNamingContext() const { return configuration_nc_; }
  const std::string& SchemaNamingContext() const { return schema_nc_; }
  const std::string& Uri() const { return connection_->Settings().uri; }

  // Once the Exchange mailbox component was found installed, it stays so for the connection;
  // until then every asking looks again (an organisation may be made meanwhile).
  bool ExchangeFound() const { return exchange_found_; }
  void SetExchangeFound() { exchange_found_ = true; }

  // The schema's word on an attribute (options such as ";range=" ignored); an attribute the
  // schema does not know (RootDSE values, answers of a failed schema read) is a string.
  AttributeInfo AttributeInfoOf(std::string_view name);

  // One page of a search (page_size 0: no paging). cookie carries the paging state between
  // calls; its state is empty after the last page. When the connection was opened again since
  // the last page, the search starts again from its first page and says so in the cookie.
  // Filter errors give E_ADS_INVALID_FILTER.
  [[nodiscard]] HRESULT SearchPage(const std::string& base, SearchScope scope,
                                   const std::string& filter,
                                   const std::vector<std::string>& attributes, int page_size,
                                   PageCookie* cookie, std::vector<Entry>* entries);
  // Withdraws the next page's request a read-ahead sent, for a caller that stops early.
  void AbandonPage(PageCookie* cookie);
  // A whole search, every page.
  [[nodiscard]] HRESULT SearchAll(const std::string& base, SearchScope scope,
                                  const std::string& filter,
                                  const std::vector<std::string>& attributes,
                                  std::vector<Entry>* entries);
  // The entry at dn (or "<GUID=...>"); E_DS_NO_SUCH_OBJECT when there is none.
  [[nodiscard]] HRESULT ReadEntry(const std::string& dn, const std::vector<std::string>& attributes,
                                  Entry* entry);

  // The writes. When the connection is lost under one, the directory is read once it is back:
  // a write it shows applied succeeds, any other is sent again.
  [[nodiscard]] HRESULT Add(const std::string& dn, const std::vector<Modification>& attributes);
  [[nodiscard]] HRESULT Modify(const std::string& dn, const std::vector<Modification>& changes);
  // modrdn with deleteoldrdn; new_parent empty keeps the parent.
  [[nodiscard]] HRESULT Rename(const std::string& dn, const std::string& new_rdn,
                               const std::string& new_parent);
  [[nodiscard]] HRESULT Delete(const std::string& dn);

  void SetServerWait(ServerWait* wait) { connection_->SetServerWait(wait); }

  // Every later add, modify, rename and delete fails with E_ACCESSDENIED without being sent.
  void RefuseWrites() { writes_refused_ = true; }

  // The diagnostic message of the last failure (AD's "0000208D: ..." text), for messages.
  const std::string& LastDiagnostic() const { return last_diagnostic_; }

 private:
  // Looks up, in as few searches as it can, the schema entries of the attributes not asked
  // about before. The whole schema (some 1,500 entries) would cost a run more than its search.
  void LearnAttributes(const std::vector<std::string>& names);
  // The lower-case names among these that the session has not asked the schema about yet.
  std::vector<std::string> UnknownAttributes(const std::vector<std::string>& names) const;
  // Bounded so that a lookup's filter stays well inside a server's request size.
  static constexpr std::size_t kNamesPerLookup = 64;
  static std::string SchemaLookupFilter(const std::vector<std::string>& names);
  static std::vector<std::string> SchemaLookupAttributes() {
    return {"lDAPDisplayName", "attributeSyntax", "oMSyntax", "isSingleValued"};
  }
  // Keeps what a lookup of names answered; a name it did not answer has no schema entry.
  void RecordAttributes(const std::vector<std::string>& names, const std::vector<Entry>& entries);
  HRESULT Fail(int rc, const std::string& diagnostic);
  // Sends the search request of one page; LDAP_SUCCESS with *message, or libldap's failure.
  static int SendPage(::ldap* handle, const std::string& base, SearchScope scope,
                      const std::string& filter, char** attributes, int page_size,
                      const std::string& state, int* message);
  // Runs a write; after a lost connection asks applied (S_OK with *yes, or a failure) before
  // sending it again. op leaves the server's diagnostic in *diagnostic.
  HRESULT Write(const std::function<int(::ldap*, std::string*)>& op,
                const std::function<HRESULT(bool*)>& applied);
  // Whether the entry at dn holds what the changes make of it, as far as it can be read.
  HRESULT Holds(const std::string& dn, const std::vector<Modification>& changes, bool* holds);
  // Whether an entry is at dn.
  HRESULT Exists(const std::string& dn, bool* exists);

  std::unique_ptr<Connection> connection_;
  Entry root_dse_;
  std::set<std::string, std::less<>> naming_context_keys_;  // DnKey of each
  std::string default_nc_, configuration_nc_, schema_nc_;
  bool reading_schema_ = false;
  // By lower-case name; nothing where the schema has no such attribute.
  std::map<std::string, std::optional<AttributeInfo>, std::less<>> schema_;
  std::string last_diagnostic_;
  bool exchange_found_ = false;
  bool writes_refused_ = false;
};

}  // namespace tessary::ds::ldap
