#include "directory/ds/embedded/protected_objects.h"

#include "directory/ds/ds_error.h"

namespace tessary::ds::embedded {
namespace {

std::int64_t NumberOf(Store& store, const ObjectRecord& record, const char* name) {
  const AttributeType* type = store.schema().FindAttribute(name);
  if (type == nullptr) return 0;
  const std::vector<Stored>* values = record.attributes.Find(type->number);
  if (values == nullptr || values->empty()) return 0;
  const auto* number = std::get_if<std::int64_t>(&values->front());
  return number == nullptr ? 0 : *number;
}

std::int64_t SystemFlags(Store& store, const ObjectRecord& record) {
  return static_cast<std::uint32_t>(NumberOf(store, record, "systemFlags"));
}

bool InNamingContext(Store& store, const ObjectRecord& record, const std::string& head_dn) {
  std::optional<std::int64_t> head = store.IdOf(head_dn);
  return head && (record.nc == *head || record.id == *head);
}

}  // namespace

HRESULT CheckClientDelete(Store& store, const ObjectRecord& record) {
  if (record.nc == record.id) return E_DS_UNWILLING_TO_PERFORM;  // a naming context head
  if ((SystemFlags(store, record) & kFlagDisallowDelete) != 0) return E_DS_UNWILLING_TO_PERFORM;
  if (NumberOf(store, record, "isCriticalSystemObject") != 0) return E_DS_UNWILLING_TO_PERFORM;
  if (InNamingContext(store, record, store.forest().schema_dn)) return E_DS_UNWILLING_TO_PERFORM;
  return S_OK;
}

HRESULT CheckClientMove(Store& store, const ObjectRecord& record, bool renaming, bool moving) {
  if (record.nc == record.id) return E_DS_UNWILLING_TO_PERFORM;
  std::int64_t flags = SystemFlags(store, record);
  if (InNamingContext(store, record, store.forest().schema_dn)) return E_DS_UNWILLING_TO_PERFORM;
  // The configuration is fixed unless an object allows its own rename or move; a domain is
  // free unless an object forbids them.
  if (InNamingContext(store, record, store.forest().configuration_dn)) {
    if (renaming && (flags & kFlagConfigAllowRename) == 0) return E_DS_UNWILLING_TO_PERFORM;
    if (moving && (flags & (kFlagConfigAllowMove | kFlagConfigAllowLimitedMove)) == 0) {
      return E_DS_UNWILLING_TO_PERFORM;
    }
    return S_OK;
  }
  if (renaming && (flags & kFlagDomainDisallowRename) != 0) return E_DS_UNWILLING_TO_PERFORM;
  if (moving && (flags & kFlagDomainDisallowMove) != 0) return E_DS_UNWILLING_TO_PERFORM;
  return S_OK;
}

HRESULT CheckClientSchemaWrite(Store& store, const ObjectRecord& record_or_parent) {
  if (store.schema_updates_allowed()) return S_OK;
  return InNamingContext(store, record_or_parent, store.forest().schema_dn)
             ? E_DS_UNWILLING_TO_PERFORM
             : S_OK;
}

}  // namespace tessary::ds::embedded
