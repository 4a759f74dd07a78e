// Exchange 2000 mailbox creation through the management component of the directory.

#include "directory/ad_object.h"

namespace tessary {

bool CBVKADObject::CreateMailbox(const std::string& user_dn, const std::string& home_mdb_dn) {
  CBVKError failure;
  std::unique_ptr<ds::Object> user;
  std::unique_ptr<ds::MailboxStore> store;
  HRESULT hr = directory_ ? directory_->Bind("LDAP://" + user_dn, &user) : E_POINTER;
  if (Failed(hr)) {
    failure.SetText("Could not open the users active directory object.");
    failure.SetADSIError(hr);
  } else if (hr = user->QueryMailboxStore(&store); Failed(hr)) {
    failure.SetText(
        "Could not obtain the proper interface to create a mailbox.\nPlease ensure that the "
        "Microsoft Exchange 2000 System Manager is installed.");
    failure.SetMAPIError(hr);
  } else if (hr = store->CreateMailbox(home_mdb_dn); Failed(hr)) {
    failure.SetText("Mailbox creation failed.");
    failure.SetCDOError(hr);
  } else {
    return true;
  }
  failure.AddLine("Could not create a mailbox for the user '" + user_dn + "'.",
                  CBVKError::Append::No);

  // A user who already has a mailbox is what the caller wanted.
  CBVKADObject existing(directory_);
  existing.DistinguishedName = user_dn;
  std::string home_mdb;
  if (existing.GetOwnAttribute("homeMDB", &home_mdb, Required::No) && !home_mdb.empty()) {
    return true;
  }
  Error().SetText(failure.GetText());
  return false;
}

}  // namespace tessary
