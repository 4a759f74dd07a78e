#include "counting_directory.h"

namespace tessary::testing {
namespace {

// Forwards every call to the wrapped object, recording searches and attribute requests.
class CountingObject : public ds::Object {
 public:
  CountingObject(std::unique_ptr<ds::Object> inner, DirectoryCalls& calls)
      : inner_(std::move(inner)), calls_(calls) {}

  HRESULT GetName(std::string* v) override { return inner_->GetName(v); }
  HRESULT GetClass(std::string* v) override { return inner_->GetClass(v); }
  HRESULT GetGuid(std::string* v) override { return inner_->GetGuid(v); }
  HRESULT GetAdsPath(std::string* v) override { return inner_->GetAdsPath(v); }
  HRESULT GetParent(std::string* v) override { return inner_->GetParent(v); }
  HRESULT Get(const std::string& n, ds::Value* v) override { return inner_->Get(n, v); }
  HRESULT GetEx(const std::string& n, ds::Values* v) override { return inner_->GetEx(n, v); }
  HRESULT GetPropertyNames(std::vector<std::string>* v) override {
    return inner_->GetPropertyNames(v);
  }
  HRESULT Put(const std::string& n, const ds::Value& v) override { return inner_->Put(n, v); }
  HRESULT PutEx(ds::PropertyOperation o, const std::string& n, const ds::Values& v) override {
    return inner_->PutEx(o, n, v);
  }
  HRESULT GetInfo() override { return inner_->GetInfo(); }
  HRESULT GetInfoEx(const std::vector<std::string>& n) override { return inner_->GetInfoEx(n); }
  HRESULT SetInfo() override { return inner_->SetInfo(); }
  HRESULT EnumChildren(std::unique_ptr<ds::ChildCursor>* c) override {
    return inner_->EnumChildren(c);
  }
  HRESULT Create(const std::string& c, const std::string& r,
                 std::unique_ptr<ds::Object>* o) override {
    return inner_->Create(c, r, o);
  }
  HRESULT MoveHere(const std::string& s, const std::string& r,
                   std::unique_ptr<ds::Object>* o) override {
    return inner_->MoveHere(s, r, o);
  }
  HRESULT Delete(const std::string& c, const std::string& r) override {
    return inner_->Delete(c, r);
  }
  HRESULT ExecuteSearch(const ds::SearchRequest& r, std::unique_ptr<ds::SearchCursor>* c) override {
    calls_.search_filters.push_back(r.filter);
    return inner_->ExecuteSearch(r, c);
  }
  HRESULT GetObjectAttributes(const std::vector<std::string>& n,
                              std::vector<ds::Attribute>* a) override {
    calls_.attribute_requests.insert(calls_.attribute_requests.end(), n.begin(), n.end());
    return inner_->GetObjectAttributes(n, a);
  }
  HRESULT SetObjectAttributes(const std::vector<ds::AttributeChange>& c, int* w) override {
    return inner_->SetObjectAttributes(c, w);
  }
  HRESULT SetPassword(const std::string& p) override { return inner_->SetPassword(p); }
  HRESULT GetAccountDisabled(bool* d) override { return inner_->GetAccountDisabled(d); }
  HRESULT PutAccountDisabled(bool d) override { return inner_->PutAccountDisabled(d); }
  HRESULT Add(const std::string& m) override { return inner_->Add(m); }
  HRESULT Remove(const std::string& m) override { return inner_->Remove(m); }
  HRESULT IsMember(const std::string& m, bool* b) override { return inner_->IsMember(m, b); }
  HRESULT GetMandatoryProperties(std::vector<std::string>* n) override {
    return inner_->GetMandatoryProperties(n);
  }
  HRESULT GetOptionalProperties(std::vector<std::string>* n) override {
    return inner_->GetOptionalProperties(n);
  }
  HRESULT QueryMailboxStore(std::unique_ptr<ds::MailboxStore>* s) override {
    return inner_->QueryMailboxStore(s);
  }

 private:
  std::unique_ptr<ds::Object> inner_;
  DirectoryCalls& calls_;
};

}  // namespace

HRESULT CountingDirectory::Bind(const std::string& path, std::unique_ptr<ds::Object>* object) {
  calls_.binds.push_back(path);
  std::unique_ptr<ds::Object> inner;
  HRESULT hr = inner_.Bind(path, &inner);
  if (Succeeded(hr)) *object = std::make_unique<CountingObject>(std::move(inner), calls_);
  return hr;
}

}  // namespace tessary::testing
