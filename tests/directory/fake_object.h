#pragma once
// A directory object held in memory, for the value conversions whose inputs a real directory
// cannot be made to produce at will (every ADSI type, failing calls). Calls it does not model fail
// with E_NOTIMPL.

#include <map>
#include <string>
#include <vector>

#include "directory/ds/directory.h"
#include "directory/ds/object.h"

namespace tessary::testing {

class FakeObject : public ds::Object {
 public:
  std::map<std::string, ds::Values> values;  // what Get/GetEx answer
  std::string guid = "00112233445566778899aabbccddeeff";
  std::vector<std::string> requests;        // every GetObjectAttributes name, in order
  std::vector<std::string> members;         // answered in ranges
  std::map<std::string, ds::Bytes> binary;  // GetObjectAttributes answers (objectSid)
  HRESULT get_info_result = S_OK;
  HRESULT object_attributes_result = S_OK;
  HRESULT set_info_result = E_NOTIMPL;
  HRESULT account_result = E_NOTIMPL;
  // The rows any search answers with, each a list of columns.
  std::vector<std::vector<ds::Attribute>> rows;

  HRESULT GetName(std::string*) override { return E_NOTIMPL; }
  HRESULT GetClass(std::string*) override { return E_NOTIMPL; }
  HRESULT GetGuid(std::string* hex) override {
    *hex = guid;
    return S_OK;
  }
  HRESULT GetAdsPath(std::string*) override { return E_NOTIMPL; }
  HRESULT GetParent(std::string*) override { return E_NOTIMPL; }
  HRESULT Get(const std::string& name, ds::Value* value) override {
    auto it = values.find(name);
    if (it == values.end() || it->second.empty()) return E_ADS_PROPERTY_NOT_FOUND;
    *value = it->second.front();
    return S_OK;
  }
  HRESULT GetEx(const std::string& name, ds::Values* out) override {
    auto it = values.find(name);
    if (it == values.end() || it->second.empty()) return E_ADS_PROPERTY_NOT_FOUND;
    *out = it->second;
    return S_OK;
  }
  HRESULT GetPropertyNames(std::vector<std::string>*) override { return E_NOTIMPL; }
  HRESULT Put(const std::string&, const ds::Value&) override { return E_NOTIMPL; }
  HRESULT PutEx(ds::PropertyOperation, const std::string&, const ds::Values&) override {
    return E_NOTIMPL;
  }
  HRESULT GetInfo() override { return get_info_result; }
  HRESULT GetInfoEx(const std::vector<std::string>&) override { return E_NOTIMPL; }
  HRESULT SetInfo() override { return set_info_result; }
  HRESULT EnumChildren(std::unique_ptr<ds::ChildCursor>*) override { return E_NOTIMPL; }
  HRESULT Create(const std::string&, const std::string&, std::unique_ptr<ds::Object>*) override {
    return E_NOTIMPL;
  }
  HRESULT MoveHere(const std::string&, const std::string&, std::unique_ptr<ds::Object>*) override {
    return E_NOTIMPL;
  }
  HRESULT Delete(const std::string&, const std::string&) override { return E_NOTIMPL; }
  HRESULT ExecuteSearch(const ds::SearchRequest& request,
                        std::unique_ptr<ds::SearchCursor>* cursor) override;
  HRESULT GetObjectAttributes(const std::vector<std::string>& names,
                              std::vector<ds::Attribute>* attributes) override;
  HRESULT SetObjectAttributes(const std::vector<ds::AttributeChange>&, int*) override {
    return E_NOTIMPL;
  }
  HRESULT SetPassword(const std::string&) override { return E_NOTIMPL; }
  HRESULT GetAccountDisabled(bool*) override { return E_NOTIMPL; }
  HRESULT PutAccountDisabled(bool) override { return account_result; }
  HRESULT Add(const std::string&) override { return E_NOTIMPL; }
  HRESULT Remove(const std::string&) override { return E_NOTIMPL; }
  HRESULT IsMember(const std::string&, bool*) override { return E_NOTIMPL; }
  HRESULT GetMandatoryProperties(std::vector<std::string>*) override { return E_NOTIMPL; }
  HRESULT GetOptionalProperties(std::vector<std::string>*) override { return E_NOTIMPL; }
  HRESULT QueryMailboxStore(std::unique_ptr<ds::MailboxStore>*) override { return E_NOINTERFACE; }
};

// Binds every path to a copy of one fake object, recording the paths.
class FakeDirectory : public ds::Directory {
 public:
  FakeObject object;
  std::vector<std::string> binds;
  HRESULT Bind(const std::string& path, std::unique_ptr<ds::Object>* bound) override {
    binds.push_back(path);
    *bound = std::make_unique<FakeObject>(object);
    return S_OK;
  }
  std::string Location() const override { return "fake"; }
};

}  // namespace tessary::testing
