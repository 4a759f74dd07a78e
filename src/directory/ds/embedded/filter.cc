#include "directory/ds/embedded/filter.h"

#include <algorithm>
#include <unordered_set>

#include "directory/ds/dn.h"
#include "directory/ds/ds_error.h"
#include "directory/ds/embedded/filter_chain.h"
#include "directory/ds/embedded/schema_objects.h"
#include "directory/ds/embedded/sid.h"
#include "directory/ds/hex.h"
#include "directory/ds/embedded/value_convert.h"
#include "directory/ds/integer_text.h"
#include "support/unicode_fold.h"

namespace tessary::ds::embedded {
namespace {

using Kind = FilterNode::Kind;

constexpr char kBitAnd[] = "1.2.840.113556.1.4.803";
constexpr char kBitOr[] = "1.2.840.113556.1.4.804";
constexpr char kInChain[] = "1.2.840.113556.1.4.1941";

// A rule this directory cannot evaluate fails the search, as AD fails it, rather than quietly
// matching nothing; ambiguous name resolution is one such rule here.
bool Evaluable(const FilterNode& node) {
  if (AsciiLower(node.attribute) == "anr") return false;
  if (node.kind != Kind::kExtensible) return true;
  return node.matching_rule == kBitAnd || node.matching_rule == kBitOr ||
         node.matching_rule == kInChain;
}

class Constant : public CompiledFilter {
 public:
  explicit Constant(bool value) : value_(value) {}
  bool Matches(const Candidate&) const override { return value_; }

 private:
  bool value_;
};

class Logical : public CompiledFilter {
 public:
  Logical(Kind kind, std::vector<std::unique_ptr<CompiledFilter>> children)
      : kind_(kind), children_(std::move(children)) {}
  bool Matches(const Candidate& candidate) const override {
    switch (kind_) {
      case Kind::kAnd:
        return std::all_of(children_.begin(), children_.end(),
                           [&](const auto& c) { return c->Matches(candidate); });
      case Kind::kOr:
        return std::any_of(children_.begin(), children_.end(),
                           [&](const auto& c) { return c->Matches(candidate); });
      default:
        return !children_.front()->Matches(candidate);
    }
  }

 private:
  Kind kind_;
  std::vector<std::unique_ptr<CompiledFilter>> children_;
};

// A test of the stored values of one attribute.
class ValueTest : public CompiledFilter {
 public:
  ValueTest(int number, std::function<bool(const Stored&)> test)
      : number_(number), test_(std::move(test)) {}
  bool Matches(const Candidate& candidate) const override {
    const std::vector<Stored>* values = candidate.record->attributes.Find(number_);
    if (values == nullptr) return false;
    return std::any_of(values->begin(), values->end(), test_);
  }

 private:
  int number_;
  std::function<bool(const Stored&)> test_;
};

class RecordTest : public CompiledFilter {
 public:
  explicit RecordTest(std::function<bool(const ObjectRecord&)> test) : test_(std::move(test)) {}
  bool Matches(const Candidate& candidate) const override { return test_(*candidate.record); }

 private:
  std::function<bool(const ObjectRecord&)> test_;
};

std::string FirstRdnValue(const std::string& dn) {
  std::vector<Rdn> rdns;
  return ParseDn(dn, &rdns) ? rdns.front().value : std::string();
}

bool MatchesSubstrings(std::string_view text, const FilterNode& node) {
  if (text.size() < node.initial.size() + node.final.size()) return false;
  if (text.substr(0, node.initial.size()) != node.initial) return false;
  if (text.substr(text.size() - node.final.size()) != node.final) return false;
  std::size_t at = node.initial.size();
  std::size_t end = text.size() - node.final.size();
  for (const std::string& any : node.any) {
    std::size_t found = text.substr(0, end).find(any, at);
    if (found == std::string_view::npos) return false;
    at = found + any.size();
  }
  return true;
}

FilterNode Lowered(const FilterNode& node) {
  FilterNode lowered = node;
  lowered.value = FoldCase(node.value);
  lowered.initial = FoldCase(node.initial);
  lowered.final = FoldCase(node.final);
  for (std::string& any : lowered.any) any = FoldCase(any);
  return lowered;
}

bool Compare(Kind kind, int order) {
  switch (kind) {
    case Kind::kGreaterOrEqual:
      return order >= 0;
    case Kind::kLessOrEqual:
      return order <= 0;
    default:
      return order == 0;
  }
}

std::unique_ptr<CompiledFilter> TextTest(const FilterNode& node, int number, bool case_exact) {
  FilterNode assertion = case_exact ? node : Lowered(node);
  return std::make_unique<ValueTest>(number, [assertion, case_exact](const Stored& stored) {
    const std::string* text = std::get_if<std::string>(&stored);
    if (text == nullptr) return false;
    std::string value = case_exact ? *text : FoldCase(*text);
    if (assertion.kind == Kind::kSubstrings) return MatchesSubstrings(value, assertion);
    return Compare(assertion.kind, value.compare(assertion.value));
  });
}

// Numeric assertion values of the integer, large integer, boolean and time syntaxes.
bool NumericAssertion(const AttributeType& type, const std::string& text, std::int64_t* number) {
  switch (type.kind) {
    case StorageKind::kBoolean: {
      std::string lower = AsciiLower(text);
      if (lower != "true" && lower != "false") return false;
      *number = lower == "true" ? 1 : 0;
      return true;
    }
    case StorageKind::kTime: {
      UtcTime time;
      if (!ParseGeneralizedTime(text, &time)) return false;
      *number = time.time_since_epoch().count();
      return true;
    }
    case StorageKind::kInteger: {
      // A number outside the 32-bit range matches nothing rather than being cut.
      std::int32_t value = 0;
      if (!ParseInteger32(text, &value)) return ParseInteger(text, number);
      *number = value;
      return true;
    }
    default:
      return ParseInteger(text, number);
  }
}

class Compiler {
 public:
  Compiler(Store& store, std::set<int>* attributes) : store_(store), attributes_(attributes) {}

  HRESULT Compile(const FilterNode& node, std::unique_ptr<CompiledFilter>* out) {
    if (node.kind == Kind::kAnd || node.kind == Kind::kOr || node.kind == Kind::kNot) {
      std::vector<std::unique_ptr<CompiledFilter>> children;
      for (const FilterNode& child : node.children) {
        std::unique_ptr<CompiledFilter> compiled;
        if (HRESULT hr = Compile(child, &compiled); Failed(hr)) return hr;
        children.push_back(std::move(compiled));
      }
      *out = std::make_unique<Logical>(node.kind, std::move(children));
      return S_OK;
    }
    if (!Evaluable(node)) return E_DS_INAPPROPRIATE_MATCHING;
    *out = Leaf(node);
    return *out != nullptr ? S_OK : E_FAIL;
  }

 private:
  std::unique_ptr<CompiledFilter> False() { return std::make_unique<Constant>(false); }

  std::unique_ptr<CompiledFilter> Leaf(const FilterNode& node) {
    std::string key = AsciiLower(node.attribute);
    Kind kind = node.kind == Kind::kApproximate ? Kind::kEquality : node.kind;
    if (key == "distinguishedname") {
      if (kind == Kind::kPresent) return std::make_unique<Constant>(true);
      if (kind != Kind::kEquality) return False();
      std::string wanted = DnKey(node.value);
      return std::make_unique<RecordTest>(
          [wanted](const ObjectRecord& r) { return !wanted.empty() && DnKey(r.dn) == wanted; });
    }
    if (key == "name") {
      if (kind == Kind::kPresent) return std::make_unique<Constant>(true);
      FilterNode assertion = Lowered(node);
      assertion.kind = kind;
      return std::make_unique<RecordTest>([assertion](const ObjectRecord& r) {
        std::string name = FoldCase(FirstRdnValue(r.dn));
        if (assertion.kind == Kind::kSubstrings) return MatchesSubstrings(name, assertion);
        if (assertion.kind == Kind::kExtensible) return false;
        return Compare(assertion.kind, name.compare(assertion.value));
      });
    }
    if (key == "objectguid") {
      if (kind == Kind::kPresent) return std::make_unique<Constant>(true);
      if (kind != Kind::kEquality) return False();
      Bytes wanted(node.value.begin(), node.value.end());
      return std::make_unique<RecordTest>(
          [wanted](const ObjectRecord& r) { return r.guid == wanted; });
    }
    const AttributeType* type = store_.schema().FindAttribute(key);
    if (type == nullptr) return False();  // AD treats an unknown attribute as undefined
    if (kind == Kind::kExtensible && node.matching_rule == kInChain) return InChain(node, *type);
    if (type->definition.link_id > 0 && type->definition.link_id % 2 == 1) {
      return BackLink(node, kind, *type);
    }
    if (IsForwardLink(*type) && kind != Kind::kExtensible) return ForwardLink(node, kind, *type);
    int number = type->number;
    attributes_->insert(number);
    if (kind == Kind::kPresent) {
      return std::make_unique<ValueTest>(number, [](const Stored&) { return true; });
    }
    if (kind == Kind::kExtensible) return BitTest(node, *type);
    switch (type->kind) {
      case StorageKind::kText:
      case StorageKind::kCaseExactText: {
        FilterNode assertion = node;
        assertion.kind = kind;
        return TextTest(assertion, number, type->kind == StorageKind::kCaseExactText);
      }
      case StorageKind::kDn: {
        if (kind != Kind::kEquality) return False();
        std::optional<std::int64_t> id = ResolveDn(key, node.value);
        if (!id) return False();
        Link wanted{*id};
        return std::make_unique<ValueTest>(number, [wanted](const Stored& s) {
          return std::holds_alternative<Link>(s) && std::get<Link>(s) == wanted;
        });
      }
      case StorageKind::kBytes:
      case StorageKind::kSid: {
        if (kind != Kind::kEquality) return False();
        Bytes wanted(node.value.begin(), node.value.end());
        if (type->kind == StorageKind::kSid) {
          if (auto sid = SidFromText(node.value)) wanted = *sid;
        }
        return std::make_unique<ValueTest>(number, [wanted](const Stored& s) {
          return std::holds_alternative<Bytes>(s) && std::get<Bytes>(s) == wanted;
        });
      }
      default: {
        if (kind == Kind::kSubstrings) return False();
        std::int64_t wanted = 0;
        if (!NumericAssertion(*type, node.value, &wanted)) return False();
        return std::make_unique<ValueTest>(number, [wanted, kind](const Stored& s) {
          const std::int64_t* value = std::get_if<std::int64_t>(&s);
          if (value == nullptr) return false;
          return Compare(kind, *value < wanted ? -1 : *value > wanted ? 1 : 0);
        });
      }
    }
  }

  // A DN assertion; objectCategory also takes a class name, standing for that class's
  // default category (so (objectCategory=user) finds what (objectCategory=person) finds).
  std::optional<std::int64_t> ResolveDn(const std::string& key, const std::string& value) {
    if (key == "objectcategory" && value.find('=') == std::string::npos) {
      const ObjectClass* c = store_.schema().FindClass(value);
      if (c == nullptr) return std::nullopt;
      const std::string& category = c->definition.default_object_category;
      return store_.IdOf("CN=" + (category.empty() ? c->definition.cn : category) + "," +
                         store_.forest().schema_dn);
    }
    return Target(value);
  }

  // The object a DN assertion names: a DN, or "<GUID=...>" as AD also accepts it (the
  // dashed text form, or 32 hex digits in stored byte order).
  std::optional<std::int64_t> Target(const std::string& value) {
    if (value.size() < 7 || AsciiLower(value.substr(0, 6)) != "<guid=" || value.back() != '>') {
      return store_.IdOf(value);
    }
    std::string text = value.substr(6, value.size() - 7);
    Bytes guid = text.find('-') != std::string::npos ? GuidTextToBytes(text) : BytesOfHex(text);
    ObjectRecord record;
    if (guid.size() != 16 || store_.FindByGuid(guid, &record) != S_OK) return std::nullopt;
    return record.id;
  }

  std::unique_ptr<CompiledFilter> BitTest(const FilterNode& node, const AttributeType& type) {
    bool all = node.matching_rule == kBitAnd;
    if (!all && node.matching_rule != kBitOr) return False();
    if (type.kind != StorageKind::kInteger && type.kind != StorageKind::kLargeInteger) {
      return False();
    }
    std::int64_t mask = 0;
    if (!ParseInteger(node.value, &mask)) return False();
    std::uint64_t bits = type.kind == StorageKind::kInteger ? static_cast<std::uint32_t>(mask)
                                                            : static_cast<std::uint64_t>(mask);
    bool is32 = type.kind == StorageKind::kInteger;
    return std::make_unique<ValueTest>(type.number, [bits, all, is32](const Stored& s) {
      const std::int64_t* value = std::get_if<std::int64_t>(&s);
      if (value == nullptr) return false;
      std::uint64_t v =
          is32 ? static_cast<std::uint32_t>(*value) : static_cast<std::uint64_t>(*value);
      return all ? (v & bits) == bits : (v & bits) != 0;
    });
  }

  // Null when the file cannot be read.
  std::unique_ptr<CompiledFilter> InChain(const FilterNode& node, const AttributeType& type) {
    std::optional<std::int64_t> target = Target(node.value);
    if (!target || type.definition.link_id <= 0) return False();
    std::unordered_set<std::int64_t> objects;
    if (Failed(ObjectsInChain(store_, type, *target, &objects))) return nullptr;
    return std::make_unique<RecordTest>(
        [objects = std::move(objects)](const ObjectRecord& r) { return objects.contains(r.id); });
  }

  // member, manager and the other linked attributes, whose values are rows of their own.
  std::unique_ptr<CompiledFilter> ForwardLink(const FilterNode& node, Kind kind,
                                              const AttributeType& type) {
    int number = type.number;
    Store* store = &store_;
    if (kind == Kind::kPresent) {
      return std::make_unique<RecordTest>([store, number](const ObjectRecord& r) {
        std::int64_t count = 0;
        return store->LinkCount(r.id, number, 1, &count) == S_OK && count > 0;
      });
    }
    if (kind != Kind::kEquality) return False();
    std::optional<std::int64_t> target = Target(node.value);
    if (!target) return False();
    return std::make_unique<RecordTest>([store, number, target = *target](const ObjectRecord& r) {
      bool has = false;
      return store->HasLink(r.id, number, target, &has) == S_OK && has;
    });
  }

  // memberOf and other back links: the objects that link to the candidate.
  std::unique_ptr<CompiledFilter> BackLink(const FilterNode& node, Kind kind,
                                           const AttributeType& type) {
    const AttributeType* forward = nullptr;
    for (const AttributeType& a : store_.schema().attributes()) {
      if (a.definition.link_id == type.definition.link_id - 1) forward = &a;
    }
    if (forward == nullptr) return False();
    int forward_number = forward->number;
    Store* store = &store_;
    if (kind == Kind::kPresent) {
      return std::make_unique<RecordTest>([store, forward_number](const ObjectRecord& r) {
        std::vector<std::int64_t> sources;
        return store->LinkSources(r.id, forward_number, &sources) == S_OK && !sources.empty();
      });
    }
    if (kind != Kind::kEquality) return False();
    std::optional<std::int64_t> source = Target(node.value);
    ObjectRecord holder;
    if (!source || store_.FindById(*source, &holder) != S_OK) return False();
    std::vector<std::int64_t> linked;
    if (store_.LinkTargets(holder.id, forward_number, &linked) != S_OK) return False();
    std::unordered_set<std::int64_t> targets(linked.begin(), linked.end());
    return std::make_unique<RecordTest>(
        [targets = std::move(targets)](const ObjectRecord& r) { return targets.contains(r.id); });
  }

  Store& store_;
  std::set<int>* attributes_;
};

}  // namespace

HRESULT CompileFilter(const FilterNode& filter, Store& store,
                      std::unique_ptr<CompiledFilter>* compiled, std::set<int>* attributes) {
  return Compiler(store, attributes).Compile(filter, compiled);
}

}  // namespace tessary::ds::embedded
