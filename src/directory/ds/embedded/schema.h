#pragma once
// The schema as the embedded directory checks and converts values with it: attribute types with
// their storage kind and ADSI type, classes with their inherited mandatory and optional
// attributes, naming attribute and possible superiors. Built from a SchemaDefinition, which is
// also what the schema container's objects hold.

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "directory/ds/embedded/schema_definition.h"
#include "directory/ds/value.h"

namespace tessary::ds::embedded {

// How the values of an attribute are stored and compared.
enum class StorageKind {
  kText,           // case-insensitive text
  kCaseExactText,  // case-sensitive text
  kInteger,        // 32-bit integer (and enumerations)
  kBoolean,        // TRUE / FALSE
  kTime,           // UTC time and generalized time, seconds since 1970
  kLargeInteger,   // 64-bit integer
  kBytes,          // octet strings, security descriptors
  kSid,            // security identifiers (octet strings, also accepted as S-1-5-... text)
  kDn,             // distinguished names: links to objects
};

struct AttributeType {
  AttributeDefinition definition;
  std::string key;  // lDAPDisplayName, lower-cased
  StorageKind kind = StorageKind::kText;
  AdsType ads_type = ADSTYPE_CASE_IGNORE_STRING;
  int number = 0;  // the store's number for the name, set when the store opens
};

struct ObjectClass {
  ClassDefinition definition;
  std::string key;            // lDAPDisplayName, lower-cased
  std::string rdn_attribute;  // lower-cased naming attribute ("cn", "ou", "dc")
  // The objectClass values of an instance: top ... this class (structural chain).
  std::vector<const ObjectClass*> chain;
  std::vector<std::string> must;  // lDAPDisplayNames, with superclasses and auxiliary classes
  std::vector<std::string> may;
  std::set<std::string> allowed_keys;  // lower-cased must and may
  std::set<std::string> must_keys;
  std::set<std::string> superior_keys;  // possible superiors' classes, lower-cased
};

class Schema {
 public:
  // Fails when a class names a superclass, auxiliary class or attribute the definition lacks,
  // or the superclass chain loops; error names the entry.
  [[nodiscard]] static bool Build(const SchemaDefinition& definition,
                                  std::unique_ptr<Schema>* schema, std::string* error);

  const AttributeType* FindAttribute(std::string_view name) const;
  const ObjectClass* FindClass(std::string_view name) const;
  std::vector<AttributeType>& attributes() { return attributes_; }
  const std::vector<AttributeType>& attributes() const { return attributes_; }
  const std::vector<ObjectClass>& classes() const { return classes_; }
  const SchemaDefinition& definition() const { return definition_; }

 private:
  SchemaDefinition definition_;
  std::vector<AttributeType> attributes_;
  std::vector<ObjectClass> classes_;
  std::map<std::string, std::size_t, std::less<>> attribute_index_;
  std::map<std::string, std::size_t, std::less<>> class_index_;
};

}  // namespace tessary::ds::embedded
