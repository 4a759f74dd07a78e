#pragma once
// The import engine's directory: the connected domain object (CExDomain) for binds, creations,
// writes and schema look-ups, and fresh local CBVKADObjects on the same connection for the
// operations that the engine runs apart from the domain.

#include "directory/ex_domain.h"
#include "import/import_directory.h"

namespace tessary {

class DomainImportDirectory : public ImportDirectory {
 public:
  // The domain must be connected and outlive this object.
  explicit DomainImportDirectory(CExDomain& domain) : domain_(domain) {}

  std::string DomainDN() const override { return domain_.DistinguishedName; }
  std::string SchemaNamingContext() const override { return domain_.SchemaNamingContext; }
  const CBVKError& Error() const override { return domain_.Error(); }

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
  void SetServerWait(ds::ServerWait* wait) override {
    if (domain_.Directory() != nullptr) domain_.Directory()->SetServerWait(wait);
  }

 private:
  CExDomain& domain_;
};

}  // namespace tessary
