#pragma once
// The sample content of a new domain: organizational units, a few hundred users with the
// attributes an administrator meets in practice, groups with members (one with every user),
// contacts, computers and an Exchange 2000 organisation with a mailbox store. The plan is built
// from a fixed seed, so every run gives the same objects; writing it goes through the directory
// service interface only.

#include <string>
#include <vector>

#include "attribute_syntaxes.h"
#include "directory/ds/directory.h"
#include "directory/ds/ldif.h"

namespace tessary::tools {

struct SampleEntry {
  ds::LdifRecord record;         // an add record
  std::string password;          // users: set once the account exists
  bool enable = false;           // users: enabled after the password is set
  std::string mailbox_store_dn;  // users: a mailbox is created in this store
  // Configuration shared by the forest's domains, kept as it is when the sample of an earlier
  // domain made it already.
  bool forest_wide = false;
};

struct SampleCounts {
  int organizational_units = 0;
  int users = 0;
  int groups = 0;
  int largest_group = 0;
  int contacts = 0;
  int computers = 0;
  int mailboxes = 0;
  int exchange_objects = 0;
};

struct SamplePlan {
  std::vector<std::string> containers;  // created first when the forest lacks them
  std::vector<SampleEntry> entries;     // parents and members before the objects that name them
  SampleCounts counts;
};

// The plan for the domain (dns_name "example.com", domain_dn "DC=example,DC=com") and its
// forest's configuration naming context; the same arguments always give the same plan.
SamplePlan BuildSamplePlan(const std::string& dns_name, const std::string& domain_dn,
                           const std::string& configuration_dn);

// Writes the plan; stops at the first failure with a message naming the object.
[[nodiscard]] bool WriteSamplePlan(ds::Directory& directory, const AttributeSyntaxes& syntaxes,
                                   const SamplePlan& plan, std::string* error);

}  // namespace tessary::tools
