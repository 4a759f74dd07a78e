#include "directory/ds/embedded/record_view.h"

#include <map>

#include "directory/ds/dn.h"
#include "directory/ds/embedded/value_convert.h"

namespace tessary::ds::embedded {
namespace {

// The values of a linked attribute (member, manager), read from their rows.
bool LinkedValues(Store& store, const ObjectRecord& record, const AttributeType& type,
                  Attribute* attribute) {
  std::vector<std::int64_t> targets;
  if (store.LinkTargets(record.id, type.number, &targets) != S_OK) return false;
  attribute->name = type.definition.ldap_display_name;
  attribute->type = type.ads_type;
  attribute->values.clear();
  for (std::int64_t target : targets) {
    if (auto dn = store.DnOf(target)) attribute->values.push_back(Value(type.ads_type, *dn));
  }
  return !attribute->values.empty();
}

bool StoredValues(Store& store, const ObjectRecord& record, const AttributeType& type,
                  Attribute* attribute) {
  if (IsForwardLink(type)) return LinkedValues(store, record, type, attribute);
  const std::vector<Stored>* values = record.attributes.Find(type.number);
  if (values == nullptr) return false;
  attribute->name = type.definition.ldap_display_name;
  attribute->type = type.ads_type;
  attribute->values.clear();
  for (const Stored& stored : *values) {
    Value value;
    if (ToValue(store, type, stored, &value)) attribute->values.push_back(std::move(value));
  }
  return !attribute->values.empty();
}

const AttributeType* ForwardOf(const Store& store, const AttributeType& back_link) {
  for (const AttributeType& a : store.schema().attributes()) {
    if (a.definition.link_id == back_link.definition.link_id - 1) return &a;
  }
  return nullptr;
}

bool BackLinkAttribute(Store& store, const ObjectRecord& record, const AttributeType& type,
                       Attribute* attribute) {
  const AttributeType* forward = ForwardOf(store, type);
  std::vector<std::int64_t> sources;
  if (forward == nullptr || store.LinkSources(record.id, forward->number, &sources) != S_OK) {
    return false;
  }
  attribute->name = type.definition.ldap_display_name;
  attribute->type = ADSTYPE_DN_STRING;
  attribute->values.clear();
  for (std::int64_t source : sources) {
    if (auto dn = store.DnOf(source)) attribute->values.push_back(Value(ADSTYPE_DN_STRING, *dn));
  }
  return !attribute->values.empty();
}

std::string FirstRdnValue(const std::string& dn) {
  std::vector<Rdn> rdns;
  return ParseDn(dn, &rdns) ? rdns.front().value : std::string();
}

}  // namespace

std::string CanonicalName(const std::string& dn) {
  std::vector<Rdn> rdns;
  if (!ParseDn(dn, &rdns)) return {};
  std::string domain;
  std::vector<std::string> names;
  for (const Rdn& rdn : rdns) {
    if (AsciiLower(rdn.type) == "dc") {
      domain += (domain.empty() ? "" : ".") + rdn.value;
    } else {
      names.push_back(rdn.value);
    }
  }
  std::string canonical = domain + "/";
  for (auto it = names.rbegin(); it != names.rend(); ++it) {
    canonical += (it == names.rbegin() ? "" : "/") + *it;
  }
  return canonical;
}

std::vector<Attribute> AllAttributes(Store& store, const ObjectRecord& record) {
  std::vector<Attribute> all;
  for (const auto& entry : record.attributes.entries()) {
    const AttributeType* type = store.AttributeByNumber(entry.attribute);
    Attribute attribute;
    if (type != nullptr && StoredValues(store, record, *type, &attribute)) {
      all.push_back(std::move(attribute));
    }
  }
  std::vector<std::pair<int, std::int64_t>> linked;
  if (store.OutgoingLinks(record.id, &linked) == S_OK) {
    for (std::size_t i = 0; i < linked.size(); ++i) {
      if (i > 0 && linked[i].first == linked[i - 1].first) continue;
      const AttributeType* type = store.AttributeByNumber(linked[i].first);
      Attribute attribute;
      if (type != nullptr && LinkedValues(store, record, *type, &attribute)) {
        all.push_back(std::move(attribute));
      }
    }
  }
  for (const char* name : {"distinguishedName", "name", "objectGUID"}) {
    Attribute attribute;
    if (AttributeOf(store, record, name, &attribute)) all.push_back(std::move(attribute));
  }
  // Back links, grouped by the forward attribute that makes them.
  std::vector<std::pair<std::int64_t, int>> links;
  if (store.IncomingLinks(record.id, &links) == S_OK) {
    std::map<int, Attribute> by_forward;
    for (const auto& [source, forward_number] : links) {
      const AttributeType* forward = store.AttributeByNumber(forward_number);
      if (forward == nullptr) continue;
      const AttributeType* back = nullptr;
      for (const AttributeType& a : store.schema().attributes()) {
        if (a.definition.link_id == forward->definition.link_id + 1) back = &a;
      }
      auto dn = store.DnOf(source);
      if (back == nullptr || !dn) continue;
      Attribute& attribute = by_forward[forward_number];
      attribute.name = back->definition.ldap_display_name;
      attribute.type = ADSTYPE_DN_STRING;
      attribute.values.push_back(Value(ADSTYPE_DN_STRING, *dn));
    }
    for (auto& [number, attribute] : by_forward) all.push_back(std::move(attribute));
  }
  return all;
}

bool AttributeOf(Store& store, const ObjectRecord& record, std::string_view name,
                 Attribute* attribute) {
  std::string key = AsciiLower(name);
  if (key == "distinguishedname") {
    *attribute = {"distinguishedName", ADSTYPE_DN_STRING, {Value(ADSTYPE_DN_STRING, record.dn)}};
    return true;
  }
  if (key == "name") {
    *attribute = {"name",
                  ADSTYPE_CASE_IGNORE_STRING,
                  {Value(ADSTYPE_CASE_IGNORE_STRING, FirstRdnValue(record.dn))}};
    return true;
  }
  if (key == "objectguid") {
    *attribute = {"objectGUID", ADSTYPE_OCTET_STRING, {Value::Octets(record.guid)}};
    return true;
  }
  if (key == "canonicalname") {
    *attribute = {"canonicalName",
                  ADSTYPE_CASE_IGNORE_STRING,
                  {Value(ADSTYPE_CASE_IGNORE_STRING, CanonicalName(record.dn))}};
    return true;
  }
  const AttributeType* type = store.schema().FindAttribute(key);
  if (type == nullptr) return false;
  if (type->definition.link_id > 0 && type->definition.link_id % 2 == 1) {
    return BackLinkAttribute(store, record, *type, attribute);
  }
  return StoredValues(store, record, *type, attribute);
}

}  // namespace tessary::ds::embedded
