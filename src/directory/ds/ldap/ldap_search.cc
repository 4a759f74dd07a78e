#include "directory/ds/ldap/ldap_search.h"

#include <algorithm>
#include <cstdint>
#include <functional>

#include "directory/ds/ads_path.h"
#include "directory/ds/dn.h"
#include "directory/ds/ldap/ldap_object.h"

namespace tessary::ds::ldap {
namespace {

// Walks the entries of a search page by page.
class PagedEntries {
 public:
  PagedEntries(std::shared_ptr<Session> session, std::string base, SearchScope scope,
               std::string filter, std::vector<std::string> attributes, int page_size)
      : session_(std::move(session)),
        base_(std::move(base)),
        scope_(scope),
        filter_(std::move(filter)),
        attributes_(std::move(attributes)),
        page_size_(page_size) {}
  ~PagedEntries() { session_->AbandonPage(&cookie_); }
  PagedEntries(const PagedEntries&) = delete;
  PagedEntries& operator=(const PagedEntries&) = delete;

  // Starts (again) at the first entry: S_OK, S_FALSE when there is none, or the failure.
  HRESULT First() {
    session_->AbandonPage(&cookie_);
    cookie_ = PageCookie();
    cookie_.read_ahead = true;
    given_before_.clear();
    given_since_.clear();
    started_ = true;
    return Fetch();
  }
  // Moves to the next entry, fetching the next page when this one is used up.
  HRESULT Next() {
    if (!started_) return First();
    if (index_ + 1 < page_.size()) {
      ++index_;
      Yield();
      return S_OK;
    }
    if (cookie_.state.empty()) {
      index_ = page_.size();
      return S_FALSE;
    }
    return Fetch();
  }
  Entry& Current() { return page_[index_]; }
  bool HasCurrent() const { return index_ < page_.size(); }
  Session& session() { return *session_; }
  const std::shared_ptr<Session>& shared_session() { return session_; }

 private:
  HRESULT Fetch() {
    // A page may come back empty while the cookie says more follow, or hold only rows given
    // before the search had to begin again.
    do {
      index_ = 0;
      HRESULT hr =
          session_->SearchPage(base_, scope_, filter_, attributes_, page_size_, &cookie_, &page_);
      if (Failed(hr)) {
        page_.clear();
        cookie_ = PageCookie();
        return hr;
      }
      if (cookie_.restarted) {
        given_before_.insert(given_before_.end(), given_since_.begin(), given_since_.end());
        given_since_.clear();
        std::sort(given_before_.begin(), given_before_.end());
      }
      std::erase_if(page_, [&](const Entry& entry) { return GivenBefore(entry); });
    } while (page_.empty() && !cookie_.state.empty());
    if (page_.empty()) return S_FALSE;
    Yield();
    return S_OK;
  }

  // Rows are remembered by a hash of their DN, eight bytes each, so that a search begun again
  // gives none twice without holding the rows. One run of the search gives each row once, so a
  // row is looked up only among those given before its run began.
  static std::uint64_t KeyOf(const Entry& entry) {
    return std::hash<std::string>()(AsciiLower(entry.dn));
  }
  void Yield() { given_since_.push_back(KeyOf(page_[index_])); }
  bool GivenBefore(const Entry& entry) const {
    return !given_before_.empty() &&
           std::binary_search(given_before_.begin(), given_before_.end(), KeyOf(entry));
  }

  std::shared_ptr<Session> session_;
  std::string base_;
  SearchScope scope_;
  std::string filter_;
  std::vector<std::string> attributes_;
  int page_size_;
  PageCookie cookie_;
  std::vector<Entry> page_;
  size_t index_ = 0;
  bool started_ = false;
  std::vector<std::uint64_t> given_before_;  // sorted
  std::vector<std::uint64_t> given_since_;
};

class LdapSearchCursor final : public SearchCursor {
 public:
  LdapSearchCursor(std::shared_ptr<Session> session, std::string base, const SearchRequest& request,
                   std::vector<std::string> attributes, bool wants_ads_path)
      : entries_(std::move(session), std::move(base), request.scope,
                 request.filter.empty() ? "(objectClass=*)" : request.filter, std::move(attributes),
                 request.page_size > 0 ? request.page_size : kDefaultPageSize),
        wants_ads_path_(wants_ads_path) {}

  HRESULT GetFirstRow() override { return Row(entries_.First()); }
  HRESULT GetNextRow() override { return Row(entries_.Next()); }

  HRESULT GetNextColumnName(std::string* name) override {
    if (!entries_.HasCurrent()) return E_ADS_COLUMN_NOT_SET;
    const auto& attributes = entries_.Current().attributes;
    if (column_ < attributes.size()) {
      *name = attributes[column_++].name;
      return S_OK;
    }
    if (wants_ads_path_ && column_ == attributes.size()) {
      ++column_;
      *name = "ADsPath";
      return S_OK;
    }
    return S_ADS_NOMORE_COLUMNS;
  }

  HRESULT GetColumn(const std::string& name, Attribute* column) override {
    if (!entries_.HasCurrent()) return E_ADS_COLUMN_NOT_SET;
    Entry& entry = entries_.Current();
    if (wants_ads_path_ && AsciiCaselessEqual(name, "adspath")) {
      *column = {"ADsPath",
                 ADSTYPE_CASE_IGNORE_STRING,
                 {Value::String(AdsPathOfDn(entry.dn), ADSTYPE_CASE_IGNORE_STRING)}};
      return S_OK;
    }
    for (const Attribute& attribute : entry.attributes) {
      if (AsciiCaselessEqual(attribute.name, name) && !attribute.values.empty()) {
        *column = attribute;
        return S_OK;
      }
    }
    return E_ADS_COLUMN_NOT_SET;
  }

 private:
  HRESULT Row(HRESULT hr) {
    column_ = 0;
    return hr == S_FALSE ? S_ADS_NOMORE_ROWS : hr;
  }

  PagedEntries entries_;
  bool wants_ads_path_;
  size_t column_ = 0;
};

class LdapChildCursor final : public ChildCursor {
 public:
  LdapChildCursor(std::shared_ptr<Session> session, std::string dn)
      : entries_(std::move(session), std::move(dn), SearchScope::kOneLevel, "(objectClass=*)", {},
                 kDefaultPageSize) {}

  HRESULT Next(std::unique_ptr<Object>* child) override {
    HRESULT hr = entries_.Next();
    if (hr != S_OK) return hr;
    *child = std::make_unique<LdapObject>(entries_.shared_session(), entries_.Current(),
                                          LdapObject::Kind::kEntry, true);
    return S_OK;
  }

 private:
  PagedEntries entries_;
};

}  // namespace

std::unique_ptr<SearchCursor> NewSearchCursor(std::shared_ptr<Session> session, std::string base_dn,
                                              const SearchRequest& request) {
  std::vector<std::string> attributes;
  bool wants_ads_path = false;
  for (const std::string& column : request.columns) {
    if (AsciiLower(column) == "adspath") {
      wants_ads_path = true;
    } else {
      attributes.push_back(column);
    }
  }
  // Only ADsPath asked for: the directory need send no attribute ("1.1", RFC 4511).
  if (attributes.empty() && wants_ads_path) attributes.push_back("1.1");
  return std::make_unique<LdapSearchCursor>(std::move(session), std::move(base_dn), request,
                                            std::move(attributes), wants_ads_path);
}

std::unique_ptr<ChildCursor> NewChildCursor(std::shared_ptr<Session> session, std::string dn) {
  return std::make_unique<LdapChildCursor>(std::move(session), std::move(dn));
}

}  // namespace tessary::ds::ldap
