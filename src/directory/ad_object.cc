#include "directory/ad_object.h"

#include <algorithm>

#include "directory/dn.h"
#include "directory/ds/dn.h"

namespace tessary {
namespace {

constexpr char kLdapPrefix[] = "LDAP://";
constexpr int kPageSize = 100;

std::string Normalized(std::string path) {
  NormalizeDN(path);
  return path;
}

}  // namespace

CBVKADObject::CBVKADObject(ds::Directory* directory)
    : CBVKADObject(directory, KindOf<CBVKADObject>()) {}

CBVKADObject::CBVKADObject(ds::Directory* directory, const CBVKObjectKind& child_kind)
    : Children(child_kind), directory_(directory) {}

CBVKADObject::~CBVKADObject() = default;

bool CBVKADObject::Bind(const std::string& path, std::unique_ptr<ds::Object>* object, int* exists,
                        CBVKError& error) {
  if (exists) *exists = 1;
  std::string normalized = Normalized(path);
  HRESULT hr = directory_ ? directory_->Bind(kLdapPrefix + normalized, object) : E_POINTER;
  if (Succeeded(hr)) return true;
  SetOpenError(normalized, hr, error);
  if (exists && hr == E_DS_NO_SUCH_OBJECT) *exists = 0;
  return false;
}

bool CBVKADObject::BindFast(const std::string& path, std::unique_ptr<ds::Object>* object,
                            CBVKError& error) {
  std::string normalized = Normalized(path);
  HRESULT hr = directory_ ? directory_->BindFast(kLdapPrefix + normalized, object) : E_POINTER;
  if (Succeeded(hr)) return true;
  SetOpenError(normalized, hr, error);
  return false;
}

void CBVKADObject::SetOpenError(const std::string& path, HRESULT hr, CBVKError& error) {
  error.SetText("Could not open the object '" + Normalized(path) + "'.");
  error.SetADSIError(hr);
}

bool CBVKADObject::Open(const std::string& path, std::unique_ptr<ds::Object>* object, int* exists) {
  return Bind(path, object, exists, Error());
}

bool CBVKADObject::ReadRootDSE(std::string* schema_naming_context,
                               std::string* configuration_naming_context,
                               std::string* root_domain_naming_context) {
  Name = "rootDSE";
  std::unique_ptr<ds::Object> root;
  if (!Open("RootDSE", &root)) return false;
  std::string* targets[] = {&DistinguishedName, schema_naming_context, configuration_naming_context,
                            root_domain_naming_context};
  const char* names[] = {"defaultNamingContext", "schemaNamingContext",
                         "configurationNamingContext", "rootDomainNamingContext"};
  for (int i = 0; i < 4; ++i) {
    ds::Value value;
    if (HRESULT hr = root->Get(names[i], &value); Failed(hr)) {
      Error().SetText(std::string("Could not retrieve ") + names[i] + " information.");
      Error().SetADSIError(hr);
      return false;
    }
    *targets[i] = value.string() ? *value.string() : std::string();
  }
  return true;
}

bool CBVKADObject::EnumChildren(Force force, const std::string& path,
                                const std::vector<std::string>& attributes,
                                CBVKADObjectList* target, ClearFirst clear) {
  if (force == Force::No && !Children.IsEmpty()) return true;
  std::string container_dn = Normalized(path.empty() ? DistinguishedName : path);
  CBVKADObjectList& list = target ? *target : Children;
  if (clear == ClearFirst::Yes) list.Clear();
  std::unique_ptr<ds::Object> container;
  std::unique_ptr<ds::ChildCursor> cursor;
  bool bound = Open(container_dn, &container);
  if (bound) {
    if (HRESULT hr = container->EnumChildren(&cursor); Failed(hr)) {
      Error().SetText("Could not open the object '" + container_dn + "'.");
      Error().SetADSIError(hr);
      bound = false;
    }
  }
  if (!bound) {
    Error().AddLine("Could not enumerate child objects.");
    return false;
  }
  for (;;) {
    std::unique_ptr<ds::Object> element;
    if (cursor->Next(&element) != S_OK || !element) break;
    std::string rdn;
    if (Failed(element->GetName(&rdn)) || rdn.size() < 3) continue;
    CBVKADObject* child =
        FindOrAddChild(rdn.substr(3), Normalized(rdn + "," + container_dn), LookUp::No, &list);
    for (const std::string& attribute : attributes) {
      // An attribute a child lacks or cannot give is left out; the listing goes on.
      (void)child->Properties.ReadAttribute(*element, attribute);
    }
  }
  return true;
}

CBVKADObject* CBVKADObject::FindOrAddChild(const std::string& name, const std::string& dn,
                                           LookUp look_up, CBVKADObjectList* target) {
  CBVKADObjectList& list = target ? *target : Children;
  if (look_up == LookUp::Yes) {
    for (int i = 0; i < list.GetCount(); ++i) {
      CBVKADObject* element = list.GetAt(i);
      if (element && element->DistinguishedName == dn) return element;
    }
  }
  CBVKADObject* child = list.AddNew();
  child->Name = name;
  child->DistinguishedName = dn;
  child->Parent = this;
  child->directory_ = directory_;
  return child;
}

bool CBVKADObject::SearchChildren(const std::string& path,
                                  const std::vector<std::string>& categories,
                                  const std::vector<std::string>& attributes, Subtree subtree,
                                  CBVKADObjectList* target) {
  if (!Children.IsEmpty()) return true;
  std::string base = Normalized(path.empty() ? DistinguishedName : path);
  std::string filter;
  if (categories.empty()) {
    filter = "(objectCategory=*)";
  } else {
    filter = "(|";
    for (const std::string& category : categories)
      filter += EqualityFilter("objectCategory", category);
    filter += ")";
  }
  std::vector<std::string> columns = {"distinguishedName", "cn"};
  for (const std::string& attribute : attributes) {
    if (std::find(columns.begin(), columns.end(), attribute) == columns.end()) {
      columns.push_back(attribute);
    }
  }
  CBVKADSearch search;
  search.row_handler = [&](CBVKADPropertySet& row) {
    std::string dn, name;
    int organizational_unit = 0;
    if (!row.GetText("distinguishedName", &dn)) dn.clear();
    if (!row.GetText("cn", &name)) name.clear();
    if (name.empty()) {
      if (!row.GetText("ou", &name)) name.clear();
      organizational_unit = 1;
    }
    if (dn.empty() || name.empty() || dn == base) return true;
    CBVKADObject* child = FindOrAddChild(name, Normalized(dn), LookUp::Yes, target);
    child->IsOrganizationalUnit = organizational_unit;
    child->Properties.CopyFrom(row);
    return true;
  };
  if (!Search(search, base, filter, columns, subtree)) {
    Error().SetText(search.error.GetText());
    return false;
  }
  return true;
}

bool CBVKADObject::Search(CBVKADSearch& holder, const std::string& base, const std::string& filter,
                          const std::vector<std::string>& columns, Subtree subtree) {
  std::unique_ptr<ds::Object> object;
  if (!BindFast(base, &object, holder.error)) return false;
  ds::SearchRequest request;
  request.filter = filter;
  request.columns = columns;
  request.scope = subtree == Subtree::Yes ? ds::SearchScope::kSubtree : ds::SearchScope::kOneLevel;
  request.page_size = kPageSize;

  auto fail = [&](HRESULT hr) {
    holder.error.SetText("Could not complete search.");
    holder.error.SetADSIError(hr);
    holder.error.AddLine("Could not perform search '" + filter + "' in '" + base + "'.");
    return false;
  };
  // The base was bound without a read: a base that is not there shows here, and is told as the
  // bind would have told it.
  auto fail_first = [&](HRESULT hr) {
    if (hr != E_DS_NO_SUCH_OBJECT) return fail(hr);
    SetOpenError(base, hr, holder.error);
    return false;
  };
  std::unique_ptr<ds::SearchCursor> cursor;
  if (HRESULT hr = object->ExecuteSearch(request, &cursor); Failed(hr)) return fail_first(hr);

  std::vector<std::string> outstanding = columns;
  std::vector<std::string> returned;
  HRESULT hr = cursor->GetFirstRow();
  if (Failed(hr)) return fail_first(hr);
  for (bool first = true; hr == S_OK; first = false, hr = cursor->GetNextRow()) {
    if (first) {
      std::string name;
      while (cursor->GetNextColumnName(&name) == S_OK) {
        returned.push_back(name);
        std::erase_if(outstanding, [&](const std::string& column) {
          return ds::AsciiCaselessEqual(column, name);
        });
      }
    }
    auto row = std::make_unique<CBVKADPropertySet>();
    for (const std::string& name : returned) {
      ds::Attribute column;
      if (Failed(cursor->GetColumn(name, &column))) continue;  // this row lacks it
      column.name = name;
      row->StoreSearchColumn(column);
    }
    if (!outstanding.empty()) {
      // Columns the first row did not return are read through the object itself.
      std::string dn;
      std::unique_ptr<ds::Object> row_object;
      if (row->GetText("distinguishedName", &dn) && !dn.empty()) {
        // One request for the row: only the columns it lacks.
        if (!BindFast(dn, &row_object, holder.error)) return false;
        if (HRESULT read = row_object->GetInfoEx(outstanding); Failed(read)) {
          SetOpenError(dn, read, holder.error);
          return false;
        }
        for (const std::string& name : outstanding) {
          if (row->ReadAttribute(*row_object, name)) continue;
          if (row->Error().Code() == E_ADS_PROPERTY_NOT_FOUND) continue;
          holder.error.SetText(row->Error().GetText());
          holder.error.AddLine("Could not perform search '" + filter + "' in '" + base + "'.");
          return false;
        }
      }
    }
    if (holder.row_handler) {
      if (!holder.row_handler(*row)) return true;
    } else {
      holder.rows.push_back(std::move(row));
    }
  }
  if (hr == S_ADS_NOMORE_ROWS) return true;
  return fail(hr);
}

bool CBVKADObject::CreateObject(ds::Object& container, const std::string& class_name,
                                const std::string& rdn, std::unique_ptr<ds::Object>* created) {
  std::string name = rdn.rfind("CN=", 0) == 0 ? rdn : "CN=" + rdn;
  if (HRESULT hr = container.Create(class_name, name, created); Failed(hr)) {
    Error().SetText("Could not create the object '" + name + "'.");
    Error().SetADSIError(hr);
    return false;
  }
  return true;
}

bool CBVKADObject::CreateInContainer(const std::string& container_path,
                                     const std::string& class_name, const std::string& rdn,
                                     std::unique_ptr<ds::Object>* created) {
  std::unique_ptr<ds::Object> container;
  if (!Open(container_path, &container)) {
    Error().AddLine("Could not open the container for the new object.");
    return false;
  }
  return CreateObject(*container, class_name, rdn, created);
}

bool CBVKADObject::RenameObject(const std::string& container_path, const std::string& object_dn,
                                const std::string& new_rdn) {
  std::string rdn =
      new_rdn.rfind("CN=", 0) == 0 || new_rdn.rfind("cn=", 0) == 0 ? new_rdn : "CN=" + new_rdn;
  NormalizeDN(rdn);
  std::unique_ptr<ds::Object> container;
  if (!Open(container_path, &container)) {
    Error().AddLine("Could not open the container to rename an object.");
  } else if (HRESULT hr = container->MoveHere(kLdapPrefix + Normalized(object_dn), rdn, nullptr);
             Failed(hr)) {
    Error().SetText("Could not rename the object.");
    Error().SetADSIError(hr);
  } else {
    return true;
  }
  Error().AddLine("Could not rename the object '" + object_dn + "' to '" + rdn +
                  "' in the container '" + container_path + "'.");
  return false;
}

bool CBVKADObject::MoveObject(const std::string& container_path, const std::string& object_dn) {
  std::unique_ptr<ds::Object> container;
  if (Open(container_path, &container)) {
    HRESULT hr = container->MoveHere(kLdapPrefix + Normalized(object_dn), "", nullptr);
    if (Succeeded(hr)) return true;
    Error().SetText("");
    Error().SetADSIError(hr);
  }
  Error().AddLine("Could not move the object '" + object_dn + "' to the container '" +
                  container_path + "'.");
  return false;
}

bool CBVKADObject::GetDNFromGUID(const std::string& guid_text, std::string* dn) {
  std::unique_ptr<ds::Object> object;
  if (!Open("<GUID=" + GuidDigits(guid_text) + ">", &object)) return false;
  CBVKADPropertySet values;
  std::string text;
  if (!values.ReadAttribute(*object, "distinguishedName") ||
      !values.GetText("distinguishedName", &text) || text.empty()) {
    Error().SetText(
        "Could not locate the 'distinguishedName' attribute for the object with GUID '" +
        guid_text + "'.");
    return false;
  }
  *dn = text;
  return true;
}

bool CBVKADObject::EnumDomainDNs(std::vector<std::string>* domain_dns) {
  domain_dns->clear();
  std::vector<std::string> names;
  HRESULT hr = directory_ ? ds::EnumDomainNames(*directory_, &names) : E_POINTER;
  if (Failed(hr) || names.empty()) {
    Error().SetText("Unable to enumerate domains.");
    if (Failed(hr)) Error().SetADSIError(hr);
    return false;
  }
  Error().SetText("");
  bool all = true;
  for (const std::string& name : names) {
    CBVKADObject domain(directory_);
    std::unique_ptr<ds::Object> object;
    std::string dn;
    if (domain.Open(name, &object) &&
        domain.GetStringAttribute(*object, "distinguishedName", &dn, Required::Yes)) {
      domain_dns->push_back(dn);
      continue;
    }
    std::string text = domain.Error().GetText();
    std::replace(text.begin(), text.end(), '\n', ';');
    if (Error().Text().empty()) {
      Error().SetText(text);
    } else {
      Error().AddLine(text);
    }
    all = false;
  }
  return all;
}

bool CBVKADObject::BuildDomainMap(std::map<std::string, std::string>* domains) {
  std::vector<std::string> dns;
  bool all = EnumDomainDNs(&dns);
  for (const std::string& dn : dns) (*domains)[DNToDomainName(dn)] = dn;
  return all;
}

}  // namespace tessary
