#pragma once
// The embedded directory's objects start from this: every call fails with E_NOINTERFACE until a
// kind of object (an entry, RootDSE, a schema class) offers it, as ADSI's QueryInterface would.

#include <memory>
#include <string>
#include <vector>

#include "directory/ds/object.h"

namespace tessary::ds::embedded {

class ObjectBase : public Object {
 public:
  HRESULT GetName(std::string*) override { return E_NOINTERFACE; }
  HRESULT GetClass(std::string*) override { return E_NOINTERFACE; }
  HRESULT GetGuid(std::string*) override { return E_NOINTERFACE; }
  HRESULT GetAdsPath(std::string*) override { return E_NOINTERFACE; }
  HRESULT GetParent(std::string*) override { return E_NOINTERFACE; }
  HRESULT Get(const std::string&, Value*) override { return E_NOINTERFACE; }
  HRESULT GetEx(const std::string&, Values*) override { return E_NOINTERFACE; }
  HRESULT GetPropertyNames(std::vector<std::string>*) override { return E_NOINTERFACE; }
  HRESULT Put(const std::string&, const Value&) override { return E_NOINTERFACE; }
  HRESULT PutEx(PropertyOperation, const std::string&, const Values&) override {
    return E_NOINTERFACE;
  }
  HRESULT GetInfo() override { return E_NOINTERFACE; }
  HRESULT GetInfoEx(const std::vector<std::string>&) override { return E_NOINTERFACE; }
  HRESULT SetInfo() override { return E_NOINTERFACE; }
  HRESULT EnumChildren(std::unique_ptr<ChildCursor>*) override { return E_NOINTERFACE; }
  HRESULT Create(const std::string&, const std::string&, std::unique_ptr<Object>*) override {
    return E_NOINTERFACE;
  }
  HRESULT MoveHere(const std::string&, const std::string&, std::unique_ptr<Object>*) override {
    return E_NOINTERFACE;
  }
  HRESULT Delete(const std::string&, const std::string&) override { return E_NOINTERFACE; }
  HRESULT ExecuteSearch(const SearchRequest&, std::unique_ptr<SearchCursor>*) override {
    return E_NOINTERFACE;
  }
  HRESULT GetObjectAttributes(const std::vector<std::string>&, std::vector<Attribute>*) override {
    return E_NOINTERFACE;
  }
  HRESULT SetObjectAttributes(const std::vector<AttributeChange>&, int*) override {
    return E_NOINTERFACE;
  }
  HRESULT SetPassword(const std::string&) override { return E_NOINTERFACE; }
  HRESULT GetAccountDisabled(bool*) override { return E_NOINTERFACE; }
  HRESULT PutAccountDisabled(bool) override { return E_NOINTERFACE; }
  HRESULT Add(const std::string&) override { return E_NOINTERFACE; }
  HRESULT Remove(const std::string&) override { return E_NOINTERFACE; }
  HRESULT IsMember(const std::string&, bool*) override { return E_NOINTERFACE; }
  HRESULT GetMandatoryProperties(std::vector<std::string>*) override { return E_NOINTERFACE; }
  HRESULT GetOptionalProperties(std::vector<std::string>*) override { return E_NOINTERFACE; }
  HRESULT QueryMailboxStore(std::unique_ptr<MailboxStore>*) override { return E_NOINTERFACE; }
};

}  // namespace tessary::ds::embedded
