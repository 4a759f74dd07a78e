#include "directory/ds/ldap/session.h"

#include <ldap.h>

#include <algorithm>

#include "directory/ds/ads_syntax.h"
#include "directory/ds/dn.h"
#include "directory/ds/ds_error.h"
#include "directory/ds/ldap/ldap_errors.h"

namespace tessary::ds::ldap {
namespace {

struct RawEntry {
  std::string dn;
  std::vector<std::pair<std::string, std::vector<std::string>>> attributes;
};

int ScopeOf(SearchScope scope) {
  switch (scope) {
    case SearchScope::kBase:
      return LDAP_SCOPE_BASE;
    case SearchScope::kOneLevel:
      return LDAP_SCOPE_ONELEVEL;
    case SearchScope::kSubtree:
      return LDAP_SCOPE_SUBTREE;
  }
  return LDAP_SCOPE_SUBTREE;
}

void ReadRawEntry(LDAP* handle, LDAPMessage* message, RawEntry* entry) {
  // One pass over the entry's encoding: names and values point into it until it is freed.
  BerElement* position = nullptr;
  berval text{0, nullptr};
  if (ldap_get_dn_ber(handle, message, &position, &text) == LDAP_SUCCESS && text.bv_val) {
    entry->dn.assign(text.bv_val, text.bv_len);
  }
  berval* values = nullptr;
  while (position != nullptr &&
         ldap_get_attribute_ber(handle, message, position, &text, &values) == LDAP_SUCCESS &&
         text.bv_val != nullptr) {
    auto& attribute = entry->attributes.emplace_back(std::string(text.bv_val, text.bv_len),
                                                     std::vector<std::string>());
    for (berval* v = values; v != nullptr && v->bv_val != nullptr; ++v) {
      attribute.second.emplace_back(v->bv_val, v->bv_len);
    }
    ber_memfree(values);
    values = nullptr;
  }
  if (position != nullptr) ber_free(position, 0);
}

// An entry of the schema's own answer: every value as text.
Entry TextEntry(RawEntry&& source) {
  Entry entry;
  entry.dn = std::move(source.dn);
  for (auto& [name, values] : source.attributes) {
    Attribute& attribute = entry.attributes.emplace_back();
    attribute.name = std::move(name);
    attribute.type = ADSTYPE_CASE_IGNORE_STRING;
    for (std::string& value : values) {
      attribute.values.push_back(Value::String(std::move(value), ADSTYPE_CASE_IGNORE_STRING));
    }
  }
  return entry;
}

// The LDAPMod array of a list of modifications; owns what it points to.
class ModArray {
 public:
  explicit ModArray(const std::vector<Modification>& changes) {
    mods_.resize(changes.size());
    values_.resize(changes.size());
    for (size_t i = 0; i < changes.size(); ++i) {
      const Modification& change = changes[i];
      for (const std::string& value : change.values) {
        values_[i].push_back(
            new berval{static_cast<ber_len_t>(value.size()), const_cast<char*>(value.data())});
      }
      values_[i].push_back(nullptr);
      int op = change.kind == Modification::Kind::kAdd      ? LDAP_MOD_ADD
               : change.kind == Modification::Kind::kDelete ? LDAP_MOD_DELETE
                                                            : LDAP_MOD_REPLACE;
      mods_[i].mod_op = op | LDAP_MOD_BVALUES;
      mods_[i].mod_type = const_cast<char*>(change.name.c_str());
      mods_[i].mod_bvalues = values_[i].data();
      pointers_.push_back(&mods_[i]);
    }
    pointers_.push_back(nullptr);
  }
  ~ModArray() {
    for (auto& list : values_)
      for (berval* v : list) delete v;
  }
  ModArray(const ModArray&) = delete;
  ModArray& operator=(const ModArray&) = delete;
  LDAPMod** get() { return pointers_.data(); }

 private:
  std::vector<LDAPMod> mods_;
  std::vector<std::vector<berval*>> values_;
  std::vector<LDAPMod*> pointers_;
};

}  // namespace

Session::Session(std::unique_ptr<Connection> connection) : connection_(std::move(connection)) {}

HRESULT Session::Fail(int rc, const std::string& diagnostic) {
  last_diagnostic_ = diagnostic;
  return HresultFromLdap(rc, diagnostic);
}

HRESULT Session::Start() {
  // Read whole, once: every bind of the RootDSE is answered from this copy. Read before the
  // schema is known, its values stay text, as no schema describes them.
  HRESULT hr = ReadEntry("", {}, &root_dse_);
  if (Failed(hr)) return hr;
  for (const Attribute& attribute : root_dse_.attributes) {
    if (AsciiCaselessEqual(attribute.name, "namingContexts")) {
      for (const Value& value : attribute.values) {
        if (value.string() != nullptr) naming_context_keys_.insert(DnKey(*value.string()));
      }
    }
    if (attribute.values.empty() || attribute.values[0].string() == nullptr) continue;
    const std::string& value = *attribute.values[0].string();
    std::string name = AsciiLower(attribute.name);
    if (name == "defaultnamingcontext") default_nc_ = value;
    if (name == "configurationnamingcontext") configuration_nc_ = value;
    if (name == "schemanamingcontext") schema_nc_ = value;
  }
  return S_OK;
}

bool Session::IsNamingContext(std::string_view dn) const {
  const std::string key = DnKey(dn);
  return !key.empty() && naming_context_keys_.contains(key);
}

std::vector<std::string> Session::UnknownAttributes(const std::vector<std::string>& names) const {
  // Before the RootDSE is read there is no schema to ask, and the schema's own answer is read
  // with every value as a string.
  if (schema_nc_.empty() || reading_schema_) return {};
  // Every bind and every export reads these: the first lookup takes them along, sparing a
  // request each later.
  static const std::vector<std::string> kAlwaysRead = {"objectClass", "objectGUID",
                                                       "distinguishedName"};
  std::vector<std::string> wanted = names;
  if (schema_.empty()) wanted.insert(wanted.end(), kAlwaysRead.begin(), kAlwaysRead.end());
  std::vector<std::string> unknown;
  for (const std::string& name : wanted) {
    std::string key = AsciiLower(BaseAttributeName(name));
    // "1.1" asks for no attribute, "*" and "+" for all of one kind: no schema entry names them.
    if (key.empty() || key == "1.1" || key == "*" || key == "+") continue;
    if (!schema_.contains(key) && std::find(unknown.begin(), unknown.end(), key) == unknown.end()) {
      unknown.push_back(std::move(key));
    }
  }
  return unknown;
}

std::string Session::SchemaLookupFilter(const std::vector<std::string>& names) {
  std::string filter = "(&(objectClass=attributeSchema)(|";
  for (const std::string& name : names) filter += "(lDAPDisplayName=" + EscapeFilterValue(name) + ")";
  return filter + "))";
}

void Session::RecordAttributes(const std::vector<std::string>& names,
                               const std::vector<Entry>& entries) {
  for (const std::string& name : names) schema_[name] = std::nullopt;
  for (const Entry& entry : entries) {
    AttributeInfo info;
    for (const Attribute& attribute : entry.attributes) {
      if (attribute.values.empty() || attribute.values[0].string() == nullptr) continue;
      const std::string& value = *attribute.values[0].string();
      std::string name = AsciiLower(attribute.name);
      if (name == "ldapdisplayname") info.name = value;
      if (name == "attributesyntax") info.attribute_syntax = value;
      if (name == "omsyntax") info.om_syntax = std::atoi(value.c_str());
      if (name == "issinglevalued") info.single_valued = value == "TRUE";
    }
    if (info.name.empty()) continue;
    info.type = AdsTypeOfSyntax(info.om_syntax, info.attribute_syntax);
    schema_[AsciiLower(info.name)] = info;
  }
}

void Session::LearnAttributes(const std::vector<std::string>& names) {
  const std::vector<std::string> unknown = UnknownAttributes(names);
  reading_schema_ = true;
  for (std::size_t first = 0; first < unknown.size(); first += kNamesPerLookup) {
    const std::vector<std::string> part(
        unknown.begin() + static_cast<std::ptrdiff_t>(first),
        unknown.begin() + static_cast<std::ptrdiff_t>(std::min(unknown.size(), first + kNamesPerLookup)));
    std::vector<Entry> entries;
    if (Failed(SearchAll(schema_nc_, SearchScope::kOneLevel, SchemaLookupFilter(part),
                         SchemaLookupAttributes(), &entries))) {
      // Left unknown: these values stay strings and the next call asks again.
      continue;
    }
    RecordAttributes(part, entries);
  }
  reading_schema_ = false;
}

AttributeInfo Session::AttributeInfoOf(std::string_view name) {
  const std::string_view base = BaseAttributeName(name);
  std::string key = AsciiLower(base);
  auto found = schema_.find(key);
  if (found == schema_.end()) {
    LearnAttributes({key});
    found = schema_.find(key);
  }
  if (found != schema_.end() && found->second) return *found->second;
  AttributeInfo info;
  info.name = std::string(base);
  return info;
}

int Session::SendPage(LDAP* handle, const std::string& base, SearchScope scope,
                      const std::string& filter, char** attributes, int page_size,
                      const std::string& state, int* message) {
  LDAPControl* page_control = nullptr;
  LDAPControl* controls[2] = {nullptr, nullptr};
  if (page_size > 0) {
    berval value{static_cast<ber_len_t>(state.size()), const_cast<char*>(state.data())};
    int r = ldap_create_page_control(handle, page_size, state.empty() ? nullptr : &value, 1,
                                     &page_control);
    if (r != LDAP_SUCCESS) return r;
    controls[0] = page_control;
  }
  int r = ldap_search_ext(handle, base.c_str(), ScopeOf(scope), filter.c_str(), attributes, 0,
                          controls, nullptr, nullptr, 0, message);
  if (page_control != nullptr) ldap_control_free(page_control);
  return r;
}

void Session::AbandonPage(PageCookie* cookie) {
  if (cookie->pending_message < 0) return;
  connection_->Abandon(cookie->pending_message, cookie->connection);
  cookie->pending_message = -1;
}

HRESULT Session::SearchPage(const std::string& base, SearchScope scope, const std::string& filter,
                            const std::vector<std::string>& attributes, int page_size,
                            PageCookie* cookie, std::vector<Entry>* entries) {
  std::vector<std::string> wire_names;
  wire_names.reserve(attributes.size());
  for (const std::string& name : attributes) wire_names.push_back(WireAttributeName(name));
  std::vector<char*> names;
  for (std::string& name : wire_names) names.push_back(name.data());
  names.push_back(nullptr);
  char** wanted = attributes.empty() ? nullptr : names.data();
  // The schema entries of asked-for attributes not known yet are asked for just before the
  // page, so that their answer costs no wait of its own.
  std::vector<std::string> lookup = UnknownAttributes(attributes);
  if (lookup.size() > kNamesPerLookup) lookup.resize(kNamesPerLookup);
  const std::string lookup_filter = lookup.empty() ? std::string() : SchemaLookupFilter(lookup);
  std::vector<std::string> lookup_names;
  std::vector<char*> lookup_wanted;
  if (!lookup.empty()) {
    lookup_names = SchemaLookupAttributes();
    for (std::string& name : lookup_names) lookup_wanted.push_back(name.data());
    lookup_wanted.push_back(nullptr);
  }
  std::vector<RawEntry> raw, lookup_raw;
  bool looked_up = false;
  std::string diagnostic, next_cookie;
  cookie->restarted = false;
  int rc = connection_->Run([&](LDAP* handle) {
    raw.clear();
    lookup_raw.clear();
    diagnostic.clear();
    next_cookie.clear();
    int lookup_message = -1;
    if (!lookup_filter.empty() &&
        SendPage(handle, schema_nc_, SearchScope::kOneLevel, lookup_filter, lookup_wanted.data(), 0,
                 "", &lookup_message) != LDAP_SUCCESS) {
      lookup_message = -1;
    }
    int message = -1;
    if (cookie->connection == connection_->Generation()) std::swap(message, cookie->pending_message);
    cookie->pending_message = -1;
    if (!cookie->state.empty() && cookie->connection != connection_->Generation()) {
      // The server kept the paging state with the connection that is gone.
      cookie->state.clear();
      cookie->restarted = true;
    }
    if (message < 0) {
      int r = SendPage(handle, base, scope, filter, wanted, page_size, cookie->state, &message);
      if (r != LDAP_SUCCESS) return r;
    }
    timeval limit{static_cast<time_t>(connection_->Settings().timeout.count()), 0};
    LDAPMessage* result = nullptr;
    if (lookup_message >= 0) {
      // A lookup that fails only leaves the names unknown: they are asked for again later.
      int code = LDAP_OTHER;
      if (ldap_result(handle, lookup_message, LDAP_MSG_ALL, &limit, &result) > 0) {
        for (LDAPMessage* e = ldap_first_entry(handle, result); e != nullptr;
             e = ldap_next_entry(handle, e)) {
          ReadRawEntry(handle, e, &lookup_raw.emplace_back());
        }
        ldap_parse_result(handle, result, &code, nullptr, nullptr, nullptr, nullptr, 0);
      } else {
        ldap_abandon_ext(handle, lookup_message, nullptr, nullptr);
      }
      ldap_msgfree(result);
      result = nullptr;
      looked_up = code == LDAP_SUCCESS;
    }
    int got = ldap_result(handle, message, LDAP_MSG_ALL, &limit, &result);
    if (got <= 0) {
      if (got == 0) ldap_abandon_ext(handle, message, nullptr, nullptr);
      int r = LDAP_TIMEOUT;
      if (got < 0) ldap_get_option(handle, LDAP_OPT_RESULT_CODE, &r);
      diagnostic = DiagnosticOf(handle);
      return r;
    }
    for (LDAPMessage* e = ldap_first_entry(handle, result); e != nullptr;
         e = ldap_next_entry(handle, e)) {
      ReadRawEntry(handle, e, &raw.emplace_back());
    }
    int code = LDAP_OTHER;
    char* text = nullptr;
    LDAPControl** answered = nullptr;
    if (ldap_parse_result(handle, result, &code, nullptr, &text, nullptr, &answered, 0) ==
        LDAP_SUCCESS) {
      if (text != nullptr) diagnostic = text;
      LDAPControl* page = answered == nullptr
                              ? nullptr
                              : ldap_control_find(LDAP_CONTROL_PAGEDRESULTS, answered, nullptr);
      if (page != nullptr) {
        ber_int_t estimate = 0;
        berval state{0, nullptr};
        if (ldap_parse_pageresponse_control(handle, page, &estimate, &state) == LDAP_SUCCESS &&
            state.bv_val != nullptr) {
          next_cookie.assign(state.bv_val, state.bv_len);
          ber_memfree(state.bv_val);
        }
      }
      ldap_controls_free(answered);
      ldap_memfree(text);
    }
    ldap_msgfree(result);
    // A failure to send ahead only costs the overlap: the next call sends the request itself.
    if (code == LDAP_SUCCESS && cookie->read_ahead && !next_cookie.empty() &&
        SendPage(handle, base, scope, filter, wanted, page_size, next_cookie, &message) ==
            LDAP_SUCCESS) {
      cookie->pending_message = message;
    }
    return code;
  });
  if (rc != LDAP_SUCCESS) {
    if (rc == LDAP_FILTER_ERROR) return E_ADS_INVALID_FILTER;
    return Fail(rc, diagnostic);
  }
  if (looked_up) {
    std::vector<Entry> schema_entries;
    for (RawEntry& source : lookup_raw) schema_entries.push_back(TextEntry(std::move(source)));
    RecordAttributes(lookup, schema_entries);
  }
  cookie->state = next_cookie;
  cookie->connection = connection_->Generation();
  entries->clear();
  // Rows of one answer name the same few attributes: each is looked up once per page.
  std::map<std::string, AttributeInfo, std::less<>> page_schema;
  std::vector<std::string> unlearned;
  for (const RawEntry& source : raw) {
    for (const auto& attribute : source.attributes) {
      if (page_schema.emplace(attribute.first, AttributeInfo()).second) {
        unlearned.push_back(attribute.first);
      }
    }
  }
  // The schema's own answer is read with every value as text, whatever this session has learnt
  // of oMSyntax and isSingleValued from the caller's own schema reads.
  if (!reading_schema_) {
    LearnAttributes(unlearned);
    for (auto& [name, info] : page_schema) info = AttributeInfoOf(name);
  }
  entries->reserve(raw.size());
  for (RawEntry& source : raw) {
    Entry& entry = entries->emplace_back();
    entry.dn = std::move(source.dn);
    entry.attributes.reserve(source.attributes.size());
    for (auto& [name, wire_values] : source.attributes) {
      const AttributeInfo& info = page_schema.find(name)->second;
      Attribute& attribute = entry.attributes.emplace_back();
      attribute.name = std::move(name);
      attribute.type = info.type;
      attribute.values.reserve(wire_values.size());
      for (const std::string& wire : wire_values) {
        attribute.values.push_back(ValueFromLdap(wire, info));
      }
    }
  }
  return S_OK;
}

HRESULT Session::SearchAll(const std::string& base, SearchScope scope, const std::string& filter,
                           const std::vector<std::string>& attributes,
                           std::vector<Entry>* entries) {
  entries->clear();
  PageCookie cookie;
  do {
    std::vector<Entry> page;
    HRESULT hr = SearchPage(base, scope, filter, attributes, 500, &cookie, &page);
    if (Failed(hr)) return hr;
    if (cookie.restarted) entries->clear();
    for (Entry& entry : page) entries->push_back(std::move(entry));
  } while (!cookie.state.empty());
  return S_OK;
}

HRESULT Session::ReadEntry(const std::string& dn, const std::vector<std::string>& attributes,
                           Entry* entry) {
  std::vector<Entry> entries;
  PageCookie no_paging;
  HRESULT hr =
      SearchPage(dn, SearchScope::kBase, "(objectClass=*)", attributes, 0, &no_paging, &entries);
  if (Failed(hr)) return hr;
  if (entries.empty()) return E_DS_NO_SUCH_OBJECT;
  *entry = std::move(entries.front());
  return S_OK;
}

HRESULT Session::Write(const std::function<int(LDAP*, std::string*)>& op,
                       const std::function<HRESULT(bool*)>& applied) {
  if (writes_refused_) {
    last_diagnostic_ = "This connection only reads.";
    return E_ACCESSDENIED;
  }
  // Bounded: a connection lost under every try must still end the write.
  constexpr int kAttempts = 3;
  int rc = LDAP_SERVER_DOWN;
  std::string diagnostic;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    bool interrupted = false;
    diagnostic.clear();
    rc = connection_->RunOnce([&](LDAP* handle) { return op(handle, &diagnostic); }, &interrupted);
    if (!interrupted) break;
    bool done = false;
    if (HRESULT hr = applied(&done); Failed(hr)) return hr;
    if (done) return S_OK;
  }
  return Fail(rc, diagnostic);
}

HRESULT Session::Exists(const std::string& dn, bool* exists) {
  Entry entry;
  HRESULT hr = ReadEntry(dn, {"1.1"}, &entry);
  *exists = Succeeded(hr);
  return hr == E_DS_NO_SUCH_OBJECT ? S_OK : hr;
}

namespace {

// Attributes the directory never returns: a write of them cannot be seen.
bool Unreadable(const std::string& name) {
  const std::string key = AsciiLower(name);
  return key == "unicodepwd" || key == "userpassword" || key == "clienttextpassword" ||
         key == "dbcspwd" || key == "ntpwdhistory" || key == "lmpwdhistory" ||
         key == "supplementalcredentials";
}

bool Contains(const std::vector<std::string>& values, const std::string& wanted) {
  const std::string key = AsciiLower(wanted);
  return std::any_of(values.begin(), values.end(),
                     [&](const std::string& v) { return AsciiLower(v) == key; });
}

}  // namespace

HRESULT Session::Holds(const std::string& dn, const std::vector<Modification>& changes,
                       bool* holds) {
  *holds = false;
  std::vector<std::string> names;
  for (const Modification& change : changes) {
    if (!Unreadable(change.name)) names.push_back(change.name);
  }
  // Nothing to compare (a password alone): sending it again does no harm.
  if (names.empty()) return S_OK;
  Entry entry;
  HRESULT hr = ReadEntry(dn, names, &entry);
  if (hr == E_DS_NO_SUCH_OBJECT) return S_OK;
  if (Failed(hr)) return hr;
  for (const Modification& change : changes) {
    if (Unreadable(change.name)) continue;
    std::vector<std::string> present;
    for (const Attribute& attribute : entry.attributes) {
      if (!AsciiCaselessEqual(BaseAttributeName(attribute.name), change.name)) continue;
      const AttributeInfo info = AttributeInfoOf(change.name);
      for (const Value& value : attribute.values) {
        if (Failed(LdapFromValue(value, info, &present.emplace_back()))) return S_OK;
      }
    }
    const auto all_there = [&] {
      return std::all_of(change.values.begin(), change.values.end(),
                         [&](const std::string& v) { return Contains(present, v); });
    };
    const auto none_there = [&] {
      return std::none_of(change.values.begin(), change.values.end(),
                          [&](const std::string& v) { return Contains(present, v); });
    };
    bool kept = false;
    switch (change.kind) {
      case Modification::Kind::kAdd:
        kept = all_there();
        break;
      case Modification::Kind::kReplace:
        kept = present.size() == change.values.size() && all_there();
        break;
      case Modification::Kind::kDelete:
        kept = change.values.empty() ? present.empty() : none_there();
        break;
    }
    if (!kept) return S_OK;
  }
  *holds = true;
  return S_OK;
}

HRESULT Session::Add(const std::string& dn, const std::vector<Modification>& attributes) {
  return Write(
      [&](LDAP* handle, std::string* diagnostic) {
        ModArray mods(attributes);
        int r = ldap_add_ext_s(handle, dn.c_str(), mods.get(), nullptr, nullptr);
        if (r != LDAP_SUCCESS) *diagnostic = DiagnosticOf(handle);
        return r;
      },
      // An entry that holds what was sent is this add's, not one that was there before.
      [&](bool* applied) { return Holds(dn, attributes, applied); });
}

HRESULT Session::Modify(const std::string& dn, const std::vector<Modification>& changes) {
  if (changes.empty()) return S_OK;
  return Write(
      [&](LDAP* handle, std::string* diagnostic) {
        ModArray mods(changes);
        int r = ldap_modify_ext_s(handle, dn.c_str(), mods.get(), nullptr, nullptr);
        if (r != LDAP_SUCCESS) *diagnostic = DiagnosticOf(handle);
        return r;
      },
      [&](bool* applied) { return Holds(dn, changes, applied); });
}

HRESULT Session::Rename(const std::string& dn, const std::string& new_rdn,
                        const std::string& new_parent) {
  std::string parent = new_parent;
  if (parent.empty()) {
    std::vector<Rdn> rdns;
    if (ParseDn(dn, &rdns) && !rdns.empty()) {
      rdns.erase(rdns.begin());
      parent = FormatDn(rdns);
    }
  }
  const std::string target = parent.empty() ? new_rdn : new_rdn + "," + parent;
  return Write(
      [&](LDAP* handle, std::string* diagnostic) {
        int r =
            ldap_rename_s(handle, dn.c_str(), new_rdn.c_str(),
                          new_parent.empty() ? nullptr : new_parent.c_str(), 1, nullptr, nullptr);
        if (r != LDAP_SUCCESS) *diagnostic = DiagnosticOf(handle);
        return r;
      },
      [&](bool* applied) {
        bool source = true, moved = false;
        if (HRESULT hr = Exists(dn, &source); Failed(hr)) return hr;
        if (HRESULT hr = Exists(target, &moved); Failed(hr)) return hr;
        *applied = !source && moved;
        return S_OK;
      });
}

HRESULT Session::Delete(const std::string& dn) {
  return Write(
      [&](LDAP* handle, std::string* diagnostic) {
        int r = ldap_delete_ext_s(handle, dn.c_str(), nullptr, nullptr);
        if (r != LDAP_SUCCESS) *diagnostic = DiagnosticOf(handle);
        return r;
      },
      [&](bool* applied) {
        bool exists = true;
        HRESULT hr = Exists(dn, &exists);
        *applied = !exists;
        return hr;
      });
}

}  // namespace tessary::ds::ldap
