#pragma once
// A directory for the engine's unit tests: records every call as a line of text, keeps which
// objects exist and which groups hold whom, and fails the calls that a test names.

#include <map>
#include <set>
#include <string>
#include <vector>

#include "import/import_directory.h"

namespace tessary::testing {

class FakeImportDirectory : public ImportDirectory {
 public:
  FakeImportDirectory();

  // Objects that exist from the start (by DN, with their class) and GUIDs that lead to DNs.
  void AddObject(const std::string& dn, const std::string& class_name = "user");
  void AddGuid(const std::string& guid, const std::string& dn) { guids_[guid] = dn; }
  void AddMembership(const std::string& group_dn, const std::string& member_dn);
  // The Large Integer value every object holds for the attribute (a read is not logged).
  void SetStoredLargeInteger(const std::string& name, std::int64_t value) {
    large_integers_[name] = value;
  }
  // Calls whose log line begins with prefix fail with message: after the first `skip` such
  // calls, `times` of them (-1: all).
  void FailOn(const std::string& prefix, const std::string& message, int times = -1, int skip = 0);

  const std::vector<std::string>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }
  bool Exists(const std::string& dn) const;
  std::set<std::string> GroupsOf(const std::string& member_dn) const;

  std::string DomainDN() const override { return "DC=x,DC=com"; }
  std::string SchemaNamingContext() const override {
    return "CN=Schema,CN=Configuration,DC=x,DC=com";
  }
  const CBVKError& Error() const override { return error_; }

  bool Open(const std::string& dn, std::unique_ptr<ds::Object>* object, bool* exists) override;
  bool CreateInContainer(const std::string& container, const std::string& class_name,
                         const std::string& rdn_value,
                         std::unique_ptr<ds::Object>* object) override;
  bool GetAttributeInfo(ImportAttributeInfo* info) override;
  bool PutString(ds::Object& object, const std::string& name, const std::string& text) override;
  bool PutInteger(ds::Object& object, const std::string& name, std::int32_t value) override;
  bool PutLargeInteger(ds::Object& object, const std::string& name, std::int64_t value) override;
  bool PutBoolean(ds::Object& object, const std::string& name, bool value) override;
  bool PutMultiString(ds::Object& object, const std::string& name,
                      const std::vector<std::string>& values, bool append) override;
  bool ClearAttribute(ds::Object& object, const std::string& name) override;
  std::optional<std::int64_t> StoredLargeInteger(ds::Object& object,
                                                 const std::string& name) override;
  bool Commit(ds::Object& object) override;
  bool GetUserInterface(ds::Object& object) override;
  bool SetPassword(ds::Object& object, const std::string& password) override;
  bool SetAccountDisabled(ds::Object& object, bool disabled) override;
  bool CreateMailbox(const std::string& user_dn, const std::string& store_dn) override;
  bool GetDNFromGUID(const std::string& guid, std::string* dn, CBVKError& error) override;
  bool MoveObject(const std::string& container, const std::string& dn, CBVKError& error) override;
  bool RenameObject(const std::string& container, const std::string& dn, const std::string& new_rdn,
                    CBVKError& error) override;
  bool AddGroupMember(const std::string& group_dn, const std::string& member_dn,
                      CBVKError& error) override;
  bool RemoveGroupMember(const std::string& group_dn, const std::string& member_dn,
                         CBVKError& error) override;
  bool ReadMemberOf(const std::string& dn, std::vector<std::string>* groups,
                    CBVKError& error) override;

 private:
  struct Failure {
    std::string prefix;
    std::string message;
    int times;
    int skip;
  };
  // Logs the call; false (with the message in error) when a test made it fail.
  bool Call(const std::string& line, CBVKError& error);

  CBVKError error_;
  std::vector<std::string> calls_;
  std::vector<Failure> failures_;
  std::map<std::string, std::string> objects_;  // DN -> class
  std::map<std::string, std::string> guids_;
  std::map<std::string, std::set<std::string>> groups_;  // member DN -> group DNs
  std::map<std::string, ImportAttributeInfo> schema_;
  std::map<std::string, std::int64_t> large_integers_;
};

}  // namespace tessary::testing
