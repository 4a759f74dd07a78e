#include "directory/ds/embedded/schema.h"

#include <algorithm>
#include <functional>

#include "directory/ds/ads_syntax.h"
#include "directory/ds/dn.h"

namespace tessary::ds::embedded {
namespace {

StorageKind KindOf(const AttributeDefinition& a) {
  const std::string& s = a.attribute_syntax;
  if (s == "2.5.5.1") return StorageKind::kDn;
  if (s == "2.5.5.8") return StorageKind::kBoolean;
  if (s == "2.5.5.9") return StorageKind::kInteger;
  if (s == "2.5.5.16") return StorageKind::kLargeInteger;
  if (s == "2.5.5.11") return StorageKind::kTime;
  if (s == "2.5.5.17") return StorageKind::kSid;
  if (s == "2.5.5.10" || s == "2.5.5.15") return StorageKind::kBytes;
  if (s == "2.5.5.3") return StorageKind::kCaseExactText;
  return StorageKind::kText;
}

void AddAll(const std::vector<std::string>& names, std::vector<std::string>* out) {
  out->insert(out->end(), names.begin(), names.end());
}

void SortUnique(std::vector<std::string>* names) {
  std::sort(names->begin(), names->end(), [](const std::string& a, const std::string& b) {
    return AsciiLower(a) < AsciiLower(b);
  });
  names->erase(std::unique(names->begin(), names->end(),
                           [](const std::string& a, const std::string& b) {
                             return AsciiLower(a) == AsciiLower(b);
                           }),
               names->end());
}

}  // namespace

bool Schema::Build(const SchemaDefinition& definition, std::unique_ptr<Schema>* out,
                   std::string* error) {
  auto schema = std::make_unique<Schema>();
  schema->definition_ = definition;
  for (const AttributeDefinition& a : definition.attributes) {
    AttributeType type;
    type.definition = a;
    type.key = AsciiLower(a.ldap_display_name);
    type.kind = KindOf(a);
    type.ads_type = AdsTypeOfSyntax(a.om_syntax, a.attribute_syntax);
    if (schema->attribute_index_.contains(type.key)) continue;  // the first definition wins
    schema->attribute_index_.emplace(type.key, schema->attributes_.size());
    schema->attributes_.push_back(std::move(type));
  }
  for (const ClassDefinition& c : definition.classes) {
    ObjectClass object_class;
    object_class.definition = c;
    object_class.key = AsciiLower(c.ldap_display_name);
    object_class.rdn_attribute = AsciiLower(c.rdn_att_id.empty() ? "cn" : c.rdn_att_id);
    if (schema->class_index_.contains(object_class.key)) continue;
    schema->class_index_.emplace(object_class.key, schema->classes_.size());
    schema->classes_.push_back(std::move(object_class));
  }

  // Superclass chains, then the attribute lists gathered along them and their auxiliaries.
  for (ObjectClass& c : schema->classes_) {
    std::vector<const ObjectClass*> chain;
    const ObjectClass* current = &c;
    while (true) {
      if (chain.size() > 64 || std::find(chain.begin(), chain.end(), current) != chain.end()) {
        *error =
            "The superclasses of the class '" + c.definition.ldap_display_name + "' form a loop.";
        return false;
      }
      chain.push_back(current);
      const std::string& parent = current->definition.sub_class_of;
      if (parent.empty() || AsciiLower(parent) == current->key) break;
      const ObjectClass* next = schema->FindClass(parent);
      if (next == nullptr) {
        *error = "The class '" + current->definition.ldap_display_name +
                 "' names the unknown superclass '" + parent + "'.";
        return false;
      }
      current = next;
    }
    std::reverse(chain.begin(), chain.end());
    c.chain = chain;
  }
  for (ObjectClass& c : schema->classes_) {
    std::vector<const ObjectClass*> contributors;
    std::function<bool(const ObjectClass*)> gather = [&](const ObjectClass* k) {
      for (const ObjectClass* link : k->chain) {
        if (std::find(contributors.begin(), contributors.end(), link) != contributors.end()) {
          continue;
        }
        contributors.push_back(link);
        std::vector<std::string> auxiliaries = link->definition.auxiliary_class;
        AddAll(link->definition.system_auxiliary_class, &auxiliaries);
        for (const std::string& name : auxiliaries) {
          const ObjectClass* auxiliary = schema->FindClass(name);
          if (auxiliary == nullptr) {
            *error = "The class '" + link->definition.ldap_display_name +
                     "' names the unknown auxiliary class '" + name + "'.";
            return false;
          }
          if (!gather(auxiliary)) return false;
        }
      }
      return true;
    };
    if (!gather(&c)) return false;
    for (const ObjectClass* k : contributors) {
      AddAll(k->definition.must_contain, &c.must);
      AddAll(k->definition.system_must_contain, &c.must);
      AddAll(k->definition.may_contain, &c.may);
      AddAll(k->definition.system_may_contain, &c.may);
    }
    for (const ObjectClass* k : c.chain) {
      for (const auto* list :
           {&k->definition.poss_superiors, &k->definition.system_poss_superiors}) {
        for (const std::string& name : *list) c.superior_keys.insert(AsciiLower(name));
      }
    }
    SortUnique(&c.must);
    SortUnique(&c.may);
    for (const std::string& name : c.must) c.must_keys.insert(AsciiLower(name));
    // A name in both lists is mandatory only.
    std::erase_if(c.may,
                  [&](const std::string& name) { return c.must_keys.contains(AsciiLower(name)); });
    for (const auto* list : {&c.must, &c.may}) {
      for (const std::string& name : *list) {
        if (schema->FindAttribute(name) == nullptr) {
          *error = "The class '" + c.definition.ldap_display_name +
                   "' names the unknown attribute '" + name + "'.";
          return false;
        }
        c.allowed_keys.insert(AsciiLower(name));
      }
    }
  }
  *out = std::move(schema);
  return true;
}

const AttributeType* Schema::FindAttribute(std::string_view name) const {
  auto found = attribute_index_.find(AsciiLower(name));
  return found == attribute_index_.end() ? nullptr : &attributes_[found->second];
}

const ObjectClass* Schema::FindClass(std::string_view name) const {
  auto found = class_index_.find(AsciiLower(name));
  return found == class_index_.end() ? nullptr : &classes_[found->second];
}

}  // namespace tessary::ds::embedded
