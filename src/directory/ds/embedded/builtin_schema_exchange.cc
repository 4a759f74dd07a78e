// The Exchange 2000 schema entries that a mailbox and its store need, with the identifiers,
// syntaxes and GUIDs of Exchange's own schema extension. Microsoft's Active Directory schema
// files do not hold them, so they are written here. The classes carry the part of their
// mayContain lists whose attributes this schema defines.

#include <iterator>

#include "directory/ds/embedded/builtin_schema_tables.h"

namespace tessary::ds::embedded {
namespace {

constexpr std::int32_t kNotReplicated = 0x1;  // back links are computed, never replicated

// clang-format off
constexpr AttributeRow kAttributes[] = {
  {"homeMDB", "ms-Exch-Home-MDB", "1.2.840.113556.1.2.244", "2.5.5.1", 127, true, 32, false,
   false, 0, false, 0, "bf967987-0de6-11d0-a285-00aa003049e2", 0, 0},
  {"homeMDBBL", "ms-Exch-Home-MDB-BL", "1.2.840.113556.1.2.393", "2.5.5.1", 127, false, 33, false,
   false, 0, false, 0, "bf967988-0de6-11d0-a285-00aa003049e2", kNotReplicated, 0},
  {"homeMTA", "ms-Exch-Home-MTA", "1.2.840.113556.1.2.171", "2.5.5.1", 127, true, 0, false,
   false, 0, false, 0, "bf967989-0de6-11d0-a285-00aa003049e2", 0, 0},
  {"msExchHomeServerName", "ms-Exch-Home-Server-Name", "1.2.840.113556.1.4.7000.102.47",
   "2.5.5.12", 64, true, 0, false, false, 0, false, 0, "a284f30e-b093-11d2-aa06-00c04f8eedd8", 0,
   25},
  {"mailNickname", "ms-Exch-Mail-Nickname", "1.2.840.113556.1.2.447", "2.5.5.12", 64, true, 0,
   false, true, 1, true, 64, "bf9679b3-0de6-11d0-a285-00aa003049e2", 0, 5},
  {"msExchMailboxGuid", "ms-Exch-Mailbox-Guid", "1.2.840.113556.1.4.7000.102.11058", "2.5.5.10",
   4, true, 0, false, true, 16, true, 16, "9333af48-b09e-11d2-aa06-00c04f8eedd8", 0, 9},
  {"msExchMailboxSecurityDescriptor", "ms-Exch-Mailbox-Security-Descriptor",
   "1.2.840.113556.1.4.7000.102.80", "2.5.5.15", 66, true, 0, false, true, 0, true, 65535,
   "934de926-b09e-11d2-aa06-00c04f8eedd8", 0, 8},
  {"msExchMasterAccountSid", "ms-Exch-Master-Account-Sid", "1.2.840.113556.1.4.7000.102.81",
   "2.5.5.17", 4, true, 0, false, true, 0, true, 28, "936a855e-b09e-11d2-aa06-00c04f8eedd8", 0, 9},
  {"msExchHideFromAddressLists", "ms-Exch-Hide-From-Address-Lists",
   "1.2.840.113556.1.4.7000.102.73", "2.5.5.8", 1, true, 0, false, false, 0, false, 0,
   "a21c0b96-b093-11d2-aa06-00c04f8eedd8", 0, 16},
  {"msExchHomePublicMDB", "ms-Exch-Home-Public-MDB", "1.2.840.113556.1.4.7000.102.11044",
   "2.5.5.1", 127, true, 0, false, false, 0, false, 0, "a23fcedc-b093-11d2-aa06-00c04f8eedd8", 0,
   0},
  {"msExchMailboxRetentionPeriod", "ms-Exch-Mailbox-Retention-Period",
   "1.2.840.113556.1.4.7000.102.11060", "2.5.5.9", 2, true, 0, false, false, 0, false, 0,
   "7b4a7a8a-1876-11d3-aa59-00c04f8eedd8", 0, 0},
  {"msExchMaximumRecurringInstances", "ms-Exch-Maximum-Recurring-Instances",
   "1.2.840.113556.1.4.7000.102.10014", "2.5.5.9", 2, true, 0, false, false, 0, false, 0,
   "a8b8d132-b093-11d2-aa06-00c04f8eedd8", 0, 0},
  {"msExchMaximumRecurringInstancesMonths", "ms-Exch-Maximum-Recurring-Instances-Months",
   "1.2.840.113556.1.4.7000.102.10015", "2.5.5.9", 2, true, 0, false, false, 0, false, 0,
   "a8da321e-b093-11d2-aa06-00c04f8eedd8", 0, 0},
  {"msExchAgingKeepTime", "ms-Exch-Aging-Keep-Time", "1.2.840.113556.1.4.7000.102.11059",
   "2.5.5.9", 2, true, 0, false, false, 0, false, 0, "5872299f-123a-11d3-aa58-00c04f8eedd8", 0, 0},
  {"msExchMaxCachedViews", "ms-Exch-Max-Cached-Views", "1.2.840.113556.1.4.7000.102.11083",
   "2.5.5.9", 2, true, 0, false, false, 0, false, 0, "1529cf69-2fdb-11d3-aa6d-00c04f8eedd8", 0, 0},
  {"msExchAdminGroupMode", "ms-Exch-Admin-Group-Mode", "1.2.840.113556.1.4.7000.102.50014",
   "2.5.5.9", 2, true, 0, false, false, 0, false, 0, "90ead69a-b093-11d2-aa06-00c04f8eedd8", 0, 0},
  {"msExchAdminGroupsEnabled", "ms-Exch-Admin-Groups-Enabled", "1.2.840.113556.1.4.7000.102.50026",
   "2.5.5.8", 1, true, 0, false, false, 0, false, 0, "e32977ae-1d31-11d3-aa5e-00c04f8eedd8", 0, 0},
  {"msExchAdmins", "ms-Exch-Admins", "1.2.840.113556.1.4.7000.102.50064", "2.5.5.12", 64, false,
   0, false, false, 0, false, 0, "b644c27a-a419-40b6-a62e-180930df5610", 0, 0},
  {"heuristics", "ms-Exch-Heuristics", "1.2.840.113556.1.2.452", "2.5.5.9", 2, true, 0, false,
   false, 0, false, 0, "bf967983-0de6-11d0-a285-00aa003049e2", 0, 0},
};

// Possible superiors include those Exchange setup gives the configuration containers, so the
// tree CN=Microsoft Exchange,CN=Services,CN=Configuration down to a mailbox store can be built.
constexpr ClassRow kClasses[] = {
  {"msExchBaseClass", "ms-Exch-Base-Class", "1.2.840.113556.1.5.7000.62.14", "top", "cn",
   "ms-Exch-Base-Class", "d8782c34-46ca-11d3-aa72-00c04f8eedd8", 3, "",
   "heuristics showInAddressBook msExchHideFromAddressLists legacyExchangeDN", "", "", "", "", "",
   ""},
  {"msExchMailStorage", "ms-Exch-Mail-Storage", "1.2.840.113556.1.5.7000.62.5", "top", "cn",
   "ms-Exch-Mail-Storage", "03652000-a981-11d2-a9ff-00c04f8eedd8", 3, "",
   "msExchMailboxGuid msExchHomeServerName homeMDB garbageCollPeriod", "", "", "", "", "", ""},
  {"msExchConfigurationContainer", "ms-Exch-Configuration-Container", "1.2.840.113556.1.5.176",
   "container", "cn", "ms-Exch-Configuration-Container", "d03d6858-06f4-11d2-aa53-00c04fd7d83a", 1,
   "", "", "", "templateRoots addressBookRoots globalAddressList", "msExchBaseClass", "",
   "container", ""},
  {"msExchOrganizationContainer", "ms-Exch-Organization-Container",
   "1.2.840.113556.1.5.7000.62.50020", "container", "cn", "ms-Exch-Organization-Container",
   "366a319c-a982-11d2-a9ff-00c04f8eedd8", 1, "",
   "heuristics msExchAdmins msExchAdminGroupsEnabled", "", "", "msExchBaseClass", "",
   "msExchConfigurationContainer", ""},
  {"msExchAdminGroupContainer", "ms-Exch-Admin-Group-Container",
   "1.2.840.113556.1.5.7000.62.50019", "container", "cn", "ms-Exch-Admin-Group-Container",
   "e7a44058-a980-11d2-a9ff-00c04f8eedd8", 1, "", "", "", "", "msExchBaseClass", "",
   "msExchOrganizationContainer", ""},
  {"msExchAdminGroup", "ms-Exch-Admin-Group", "1.2.840.113556.1.5.7000.62.50011", "top", "cn",
   "ms-Exch-Admin-Group", "e768a58e-a980-11d2-a9ff-00c04f8eedd8", 1, "",
   "msExchAdmins msExchAdminGroupMode", "", "", "msExchBaseClass", "",
   "msExchAdminGroupContainer", ""},
  {"msExchServersContainer", "ms-Exch-Servers-Container", "1.2.840.113556.1.5.7000.62.50013",
   "container", "cn", "ms-Exch-Servers-Container", "346e5cba-a982-11d2-a9ff-00c04f8eedd8", 1, "",
   "", "", "", "msExchBaseClass", "", "msExchAdminGroup", ""},
  {"msExchExchangeServer", "ms-Exch-Exchange-Server", "1.2.840.113556.1.5.7000.62.50009",
   "server", "cn", "ms-Exch-Exchange-Server", "01a9aa9c-a981-11d2-a9ff-00c04f8eedd8", 1, "",
   "heuristics versionNumber serialNumber serverRole", "", "", "msExchBaseClass", "",
   "msExchServersContainer", ""},
  {"msExchInformationStore", "ms-Exch-Information-Store", "1.2.840.113556.1.5.7000.62.11001",
   "container", "cn", "ms-Exch-Information-Store", "031b371a-a981-11d2-a9ff-00c04f8eedd8", 1, "cn",
   "", "", "", "msExchBaseClass", "", "msExchExchangeServer", ""},
  {"msExchStorageGroup", "ms-Exch-Storage-Group", "1.2.840.113556.1.5.7000.62.11006", "container",
   "cn", "ms-Exch-Storage-Group", "3435244a-a982-11d2-a9ff-00c04f8eedd8", 1, "cn",
   "displayName description", "", "", "msExchBaseClass", "", "computer msExchInformationStore",
   ""},
  {"msExchMDB", "ms-Exch-MDB", "1.2.840.113556.1.5.7000.62.11002", "top", "cn", "ms-Exch-MDB",
   "03d069d2-a981-11d2-a9ff-00c04f8eedd8", 1, "cn",
   "homeMDBBL msExchAgingKeepTime msExchMaxCachedViews garbageCollPeriod displayName description "
   "adminDisplayName",
   "", "", "msExchBaseClass", "", "msExchStorageGroup msExchExchangeServer container computer", ""},
  {"msExchPrivateMDB", "ms-Exch-Private-MDB", "1.2.840.113556.1.5.7000.62.11004", "msExchMDB",
   "cn", "ms-Exch-Private-MDB", "36145cf4-a982-11d2-a9ff-00c04f8eedd8", 1, "",
   "msExchMailboxRetentionPeriod msExchMaximumRecurringInstancesMonths "
   "msExchMaximumRecurringInstances msExchHomePublicMDB",
   "", "", "msExchBaseClass", "", "container computer", ""},
  {"msExchPublicMDB", "ms-Exch-Public-MDB", "1.2.840.113556.1.5.7000.62.11005", "msExchMDB", "cn",
   "ms-Exch-Public-MDB", "3568b3a4-a982-11d2-a9ff-00c04f8eedd8", 1, "", "", "", "",
   "msExchBaseClass mailRecipient", "", "container computer", ""},
};

// What Exchange setup adds to Active Directory's own classes.
constexpr ClassExtensionRow kExtensions[] = {
  {"user", ClassList::kAuxiliaryClass, "msExchMailStorage"},
  {"mailRecipient", ClassList::kMayContain,
   "mailNickname homeMTA msExchMailboxSecurityDescriptor msExchMasterAccountSid"},
};
// clang-format on

}  // namespace

SchemaTable ExchangeTable() {
  return {kAttributes, std::size(kAttributes), kClasses, std::size(kClasses)};
}

const ClassExtensionRow* ExchangeClassExtensions(std::size_t* count) {
  *count = std::size(kExtensions);
  return kExtensions;
}

}  // namespace tessary::ds::embedded
