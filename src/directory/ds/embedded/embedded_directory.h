#pragma once
// The embedded directory: Active Directory's behaviour in one SQLite file, behind the directory
// service interface. Opening, provisioning domains into a file (a forest may hold several), and
// what tests need to look behind the interface.

#include <functional>
#include <memory>
#include <string>

#include "directory/ds/directory.h"
#include "directory/ds/embedded/schema_definition.h"
#include "directory/ds/value.h"

namespace tessary::ds::embedded {

// ${XDG_DATA_HOME:-~/.local/share}/brenvik/directory.db
std::string DefaultDirectoryPath();

// Opens an existing file. A missing file, a file that is not an embedded directory, or a damaged
// one fails with a message naming the file; such a file is left untouched.
[[nodiscard]] bool OpenEmbeddedDirectory(const std::string& path,
                                         std::unique_ptr<Directory>* directory, std::string* error);

// Copies the directory file at source into a new file at destination, reading source only
// (never opened for writing), as it stands at one moment even while another program writes it.
// Fails with a message naming the file.
[[nodiscard]] bool CopyEmbeddedDirectory(const std::string& source, const std::string& destination,
                                         std::string* error);

struct ProvisionOptions {
  // Set as the Administrator's password when not empty (it must meet the password policy).
  std::string administrator_password;
};

// Adds the domain dns_domain_name (such as "example.com") to the directory file at path,
// creating the file, its configuration and its schema (from schema) when it does not exist yet;
// the first domain is the forest root. Creates the domain head (domainDNS) with CN=Users,
// CN=Computers, OU=Domain Controllers, CN=LostAndFound, the Administrator and Guest users and
// the domain's groups, and its crossRef in CN=Partitions. Everything or nothing is written.
// Fails with a message naming the file or the domain.
[[nodiscard]] bool ProvisionDomain(const std::string& path, const std::string& dns_domain_name,
                                   const SchemaDefinition& schema, const ProvisionOptions& options,
                                   std::string* error);

// Gives the object at dn the GUID (32 hex digits, storage order) it has in another directory,
// so that a copy answers the same GUID binds. Fails, naming the object, when dn names nothing
// or another object already has that GUID.
[[nodiscard]] bool AdoptObjectGuid(Directory& directory, const std::string& dn,
                                   const std::string& guid_hex, std::string* error);

// Lets clients of this directory create and change schema objects (attributeSchema,
// classSchema), which are otherwise refused as AD refuses them without schema update rights.
void AllowSchemaUpdates(Directory& directory);

class Store;
// The directory of an open store, for the backend's objects that work through the interface
// themselves (the mailbox component).
std::unique_ptr<Directory> DirectoryOfStore(std::shared_ptr<Store> store);

// For tests: true when password is the stored password of the user with that DN.
bool VerifyPassword(Directory& directory, const std::string& dn, const std::string& password);
// For tests: makes the directory read time from clock (whenCreated, pwdLastSet, currentTime).
void SetClock(Directory& directory, std::function<UtcTime()> clock);

}  // namespace tessary::ds::embedded
