#include "ldif_dump.h"

#include <algorithm>
#include <set>

#include "directory/ds/ads_path.h"
#include "directory/ds/dn.h"
#include "failure_text.h"

namespace tessary::tools {
namespace {

enum class Pass { kObjects, kLinks };

class SubtreeDumper {
 public:
  SubtreeDumper(ds::Directory& directory, const AttributeSyntaxes& syntaxes, ds::LdifWriter& writer,
                const std::vector<std::string>& skip)
      : directory_(directory), syntaxes_(syntaxes), writer_(writer) {
    for (const std::string& dn : skip) skip_.insert(ds::DnKey(dn));
  }

  // Writes dn and its descendants, depth first.
  bool Visit(const std::string& dn, Pass pass, int* objects, std::string* error) {
    std::unique_ptr<ds::Object> object;
    HRESULT hr = directory_.Bind(ds::AdsPathOfDn(dn), &object);
    if (Succeeded(hr)) hr = WriteObject(*object, dn, pass, objects);
    if (!writer_.ok()) {
      *error = "Could not write the LDIF output.";
      return false;
    }
    std::vector<std::string> children;
    if (Succeeded(hr)) hr = ChildDns(*object, &children);
    if (Failed(hr)) {
      *error = FailureText("Could not read the object '" + dn + "'.", hr);
      return false;
    }
    for (const std::string& child : children)
      if (!skip_.count(ds::DnKey(child)) && !Visit(child, pass, objects, error)) return false;
    return true;
  }

 private:
  HRESULT WriteObject(ds::Object& object, const std::string& dn, Pass pass, int* objects) {
    ds::SearchRequest request;
    request.scope = ds::SearchScope::kBase;
    std::unique_ptr<ds::SearchCursor> cursor;
    HRESULT hr = object.ExecuteSearch(request, &cursor);
    if (Succeeded(hr)) hr = cursor->GetFirstRow();
    if (hr == S_ADS_NOMORE_ROWS) return S_OK;
    if (Failed(hr)) return hr;
    ds::LdifRecord record;
    record.dn = dn;
    std::string name;
    while ((hr = cursor->GetNextColumnName(&name)) == S_OK) {
      if (ds::AsciiLower(name) == "adspath") continue;
      const AttributeSyntax* syntax = syntaxes_.Find(name);
      const bool link = syntax && syntax->ForwardLink();
      if (link != (pass == Pass::kLinks)) continue;
      ds::Attribute column;
      hr = cursor->GetColumn(name, &column);
      if (hr == E_ADS_COLUMN_NOT_SET) continue;
      if (Failed(hr)) return hr;
      std::vector<std::string> values;
      for (const ds::Value& value : column.values) values.push_back(LdifFromValue(value));
      if (values.empty()) continue;
      if (pass == Pass::kObjects)
        record.attributes.push_back({name, std::move(values)});
      else
        record.modifications.push_back({ds::LdifModOp::kReplace, name, std::move(values)});
    }
    if (Failed(hr)) return hr;
    if (pass == Pass::kLinks) {
      if (record.modifications.empty()) return S_OK;
      record.change = ds::LdifChange::kModify;
    }
    // objectClass first, as directories write it, then by name: the same object always gives
    // the same text, whatever order the directory keeps its values in.
    std::sort(record.attributes.begin(), record.attributes.end(),
              [](const ds::LdifAttribute& a, const ds::LdifAttribute& b) {
                const std::string x = ds::AsciiLower(a.name), y = ds::AsciiLower(b.name);
                if ((x == "objectclass") != (y == "objectclass")) return x == "objectclass";
                return x < y;
              });
    std::sort(record.modifications.begin(), record.modifications.end(),
              [](const ds::LdifModification& a, const ds::LdifModification& b) {
                return ds::AsciiLower(a.attribute) < ds::AsciiLower(b.attribute);
              });
    writer_.Write(record);
    if (pass == Pass::kObjects) ++*objects;
    return S_OK;
  }

  HRESULT ChildDns(ds::Object& object, std::vector<std::string>* children) {
    ds::SearchRequest request;
    request.scope = ds::SearchScope::kOneLevel;
    request.columns = {"distinguishedName"};
    request.page_size = 500;
    std::unique_ptr<ds::SearchCursor> cursor;
    HRESULT hr = object.ExecuteSearch(request, &cursor);
    if (Succeeded(hr)) hr = cursor->GetFirstRow();
    for (; hr == S_OK; hr = cursor->GetNextRow()) {
      ds::Attribute column;
      if (Succeeded(cursor->GetColumn("distinguishedName", &column)) && !column.values.empty() &&
          column.values[0].string())
        children->push_back(*column.values[0].string());
    }
    return hr == S_ADS_NOMORE_ROWS ? S_OK : hr;
  }

  ds::Directory& directory_;
  const AttributeSyntaxes& syntaxes_;
  ds::LdifWriter& writer_;
  std::set<std::string> skip_;  // DN keys
};

}  // namespace

bool DumpSubtree(ds::Directory& directory, const AttributeSyntaxes& syntaxes,
                 const std::string& base_dn, const std::vector<std::string>& skip,
                 ds::LdifWriter& writer, int* objects, std::string* error) {
  SubtreeDumper dumper(directory, syntaxes, writer, skip);
  return dumper.Visit(base_dn, Pass::kObjects, objects, error) &&
         dumper.Visit(base_dn, Pass::kLinks, objects, error);
}

bool NamingContexts(ds::Directory& directory, std::vector<std::string>* dns, std::string* error) {
  std::unique_ptr<ds::Object> root_dse;
  ds::Values values;
  HRESULT hr = directory.Bind("LDAP://RootDSE", &root_dse);
  if (Succeeded(hr)) hr = root_dse->GetEx("namingContexts", &values);
  if (Failed(hr)) {
    *error = FailureText("Could not read the naming contexts of the directory.", hr);
    return false;
  }
  dns->clear();
  for (const ds::Value& value : values)
    if (value.string()) dns->push_back(*value.string());
  return true;
}

}  // namespace tessary::tools
