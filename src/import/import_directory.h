#pragma once
// The directory as the import engine uses it: the operations of the connected domain object
// (binds, creations, writes and schema look-ups, whose messages stay in that object's error
// record) and those that the engine runs on a fresh local directory object (whose message is
// handed back in the record the caller passes). The application's adapter forwards them to
// CExDomain and CBVKADObject (import/domain_import_directory.h); tests can put faults in between.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "directory/ds/directory.h"
#include "directory/ds/object.h"
#include "support/bvk_error.h"

namespace tessary {

// What the schema says about one attribute; the two names are given in and completed out.
struct ImportAttributeInfo {
  std::string admin_display_name;
  std::string ldap_name;
  int ads_type = 0;
  int variant_type = 0;
  bool single_valued = false;
  std::string syntax_text;
};

class ImportDirectory {
 public:
  virtual ~ImportDirectory() = default;

  // The domain's DN (its default naming context) and its schema naming context.
  virtual std::string DomainDN() const = 0;
  virtual std::string SchemaNamingContext() const = 0;
  // The domain object's error record: the message of its last failing operation.
  virtual const CBVKError& Error() const = 0;

  // --- Operations of the domain object; each fails with its message in Error().
  // Binds a DN; *exists is false only when the directory says there is no such object.
  [[nodiscard]] virtual bool Open(const std::string& dn, std::unique_ptr<ds::Object>* object,
                                  bool* exists) = 0;
  // A new, not yet committed object named "CN=" + rdn_value below the container.
  [[nodiscard]] virtual bool CreateInContainer(const std::string& container,
                                               const std::string& class_name,
                                               const std::string& rdn_value,
                                               std::unique_ptr<ds::Object>* object) = 0;
  // Completes info from the LDAP name, or when that is empty from the admin display name.
  [[nodiscard]] virtual bool GetAttributeInfo(ImportAttributeInfo* info) = 0;
  [[nodiscard]] virtual bool PutString(ds::Object& object, const std::string& name,
                                       const std::string& text) = 0;
  [[nodiscard]] virtual bool PutInteger(ds::Object& object, const std::string& name,
                                        std::int32_t value) = 0;
  [[nodiscard]] virtual bool PutLargeInteger(ds::Object& object, const std::string& name,
                                             std::int64_t value) = 0;
  [[nodiscard]] virtual bool PutBoolean(ds::Object& object, const std::string& name,
                                        bool value) = 0;
  [[nodiscard]] virtual bool PutMultiString(ds::Object& object, const std::string& name,
                                            const std::vector<std::string>& values,
                                            bool append) = 0;
  [[nodiscard]] virtual bool ClearAttribute(ds::Object& object, const std::string& name) = 0;
  // The object's stored Large Integer value as the directory has it now (not as put since it
  // was opened); nothing when it has none, or when it cannot be read (a new object).
  virtual std::optional<std::int64_t> StoredLargeInteger(ds::Object& object,
                                                         const std::string& name) = 0;
  [[nodiscard]] virtual bool Commit(ds::Object& object) = 0;
  // Fails when the object is not a user.
  [[nodiscard]] virtual bool GetUserInterface(ds::Object& object) = 0;
  [[nodiscard]] virtual bool SetPassword(ds::Object& object, const std::string& password) = 0;
  // Written at once.
  [[nodiscard]] virtual bool SetAccountDisabled(ds::Object& object, bool disabled) = 0;
  // True when the user has a mailbox in the store afterwards.
  [[nodiscard]] virtual bool CreateMailbox(const std::string& user_dn,
                                           const std::string& store_dn) = 0;

  // --- Operations of a fresh local directory object; each fails with its message in error.
  [[nodiscard]] virtual bool GetDNFromGUID(const std::string& guid, std::string* dn,
                                           CBVKError& error) = 0;
  [[nodiscard]] virtual bool MoveObject(const std::string& container, const std::string& dn,
                                        CBVKError& error) = 0;
  [[nodiscard]] virtual bool RenameObject(const std::string& container, const std::string& dn,
                                          const std::string& new_rdn, CBVKError& error) = 0;
  // Adding a member that is already in the group succeeds.
  [[nodiscard]] virtual bool AddGroupMember(const std::string& group_dn,
                                            const std::string& member_dn, CBVKError& error) = 0;
  [[nodiscard]] virtual bool RemoveGroupMember(const std::string& group_dn,
                                               const std::string& member_dn, CBVKError& error) = 0;
  // The DNs of the groups the object at dn is a member of (its memberOf values).
  [[nodiscard]] virtual bool ReadMemberOf(const std::string& dn, std::vector<std::string>* groups,
                                          CBVKError& error) = 0;

  // The run's observer of waits for a lost server (null: none); a directory that never waits
  // has no use for it.
  virtual void SetServerWait(ds::ServerWait* wait) { (void)wait; }
};

}  // namespace tessary
