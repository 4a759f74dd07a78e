#include "support/error_tables.h"

#include <algorithm>

namespace tessary::error_tables {
namespace {

// Decimal codes are LDAP result codes (234 is the Win32 code for "more data"); short
// hexadecimal codes are Win32 errors, except 0x5011 to 0x5013, ADSI's success codes; eight
// digits are HRESULTs.
constexpr Row kAdsiRows[] = {
    {{0}, "The operation completed successfully."},
    {{1, 0x2020, 0x80072020}, "An operations problem occurred."},
    {{2, 0x2021, 0x80072021}, "Protocol error occurred."},
    {{3, 0x2022, 0x80072022},
     "Time limit, set by the server side time limit parameter, was exceeded."},
    {{4, 0x2023, 0x80072023}, "Size limit was exceeded."},
    {{5, 6, 0x2025, 0x2026, 0x80072025, 0x80072026},
     "The function succeeded, however the attribute and known values do not match."},
    {{7, 0x2027, 0x80072027}, "The authentication method is not supported."},
    {{8, 90, 0x80070008}, "The system is out of memory."},
    {{9}, "Partial results and referrals received."},
    {{10, 0x202B, 0x8007202B}, "A referral was returned from the server."},
    {{11, 0x2024, 0x80070044, 0x80072024}, "Administration limit on the server was exceeded."},
    {{12, 0x202C, 0x8007202C},
     "The control is critical and the server does not support the control."},
    {{13, 0x202D, 0x8007202D}, "Confidentiality is required."},
    {{16, 0x200A, 0x8007200A}, "Requested attribute does not exist."},
    {{17, 0x200C, 0x8007200C}, "Type is not defined."},
    {{18, 0x202E, 0x8007202E}, "There was an inappropriate matching."},
    {{19, 0x202F, 0x8007202F},
     "There was a constraint violation.  If you are modifying an attribute, the value for the "
     "attribute may not be in the required format."},
    {{20, 0x200D, 0x8007200D}, "The attribute exists or the value has been assigned."},
    {{21, 0x200B, 0x800401E4, 0x8007200B}, "The syntax is invalid."},
    {{32, 0x2030, 0x80070002, 0x80072030}, "Object does not exist."},
    {{33, 0x2031, 0x80072031}, "The alias is invalid."},
    {{34, 0x2032, 0x80070057, 0x80072032}, "The distinguished name has an invalid syntax."},
    {{35, 0x2033, 0x80072033}, "The object is a leaf."},
    {{36, 0x2034, 0x80072034}, "Cannot dereference the alias."},
    {{48, 0x2029, 0x80072029}, "Authentication is inappropriate."},
    {{49, 0x52E, 0x80070056, 0x8007052E}, "The supplied credential is invalid."},
    {{50, 0x80070005}, "The user has insufficient access rights."},
    {{51, 0x200E, 0x8007200E}, "The server is busy."},
    {{52, 0x200F, 0x80070037, 0x8007200F}, "The server is unavailable."},
    {{53, 0x2035, 0x80072035}, "The server is not willing to handle directory requests."},
    {{54, 0x2036, 0x80072036}, "The chain of referrals has looped back to a referring server."},
    {{64, 0x2037, 0x80072037}, "There was a naming violation."},
    {{65, 0x2014, 0x80072014}, "There was an object class violation."},
    {{66, 0x2015, 0x80072015}, "Operation is not allowed on a non-leaf object."},
    {{67, 0x2016, 0x80072016}, "Operation is not allowed on RDN."},
    {{68, 0x1392, 0x80071392}, "The object already exists."},
    {{69, 0x2017, 0x80072017}, "Cannot modify object class."},
    {{70, 0x2038, 0x80072038}, "The results that were returned are too large."},
    {{71, 0x2039, 0x80072039}, "Multiple directory service agents are affected."},
    {{81, 0x203A, 0x8007003A, 0x8007203A}, "Cannot contact the LDAP server."},
    {{82, 0x203B, 0x8007203B}, "A local problem occurred."},
    {{83, 0x203C, 0x8007203C}, "A problem during encoding occurred."},
    {{84, 0x203D, 0x8007003B, 0x8007203D}, "A problem during decoding occurred."},
    {{85, 0x5B4, 0x800705B4},
     "The search was aborted due to exceeding the limit of the client side timeout parameter."},
    {{86, 0x202A, 0x8007202A}, "An unknown authentication problem occurred."},
    {{87, 0x203E, 0x8007203E}, "The search filter is invalid."},
    {{88, 0x4C7, 0x800704C7}, "The user has cancelled the operation."},
    {{89, 0x203F, 0x8007203F}, "A bad parameter was passed to a routine."},
    {{91, 0x4C9, 0x800704C9}, "Cannot establish the connection."},
    {{92, 0x2040, 0x80072040}, "The feature is not supported."},
    {{93, 0x2042, 0x80072042}, "Could not locate the specified control."},
    {{94, 0x2041, 0x80072041}, "Results are not returned."},
    {{95, 234, 0x800700EA}, "More results are to be returned."},
    {{96, 0x2043, 0x80072043}, "Client loop was detected."},
    {{97, 0x2044, 0x80072044}, "The referral limit has been exceeded."},
    {{0x5011}, "One or more errors occurred."},
    {{0x5012}, "The search operation has reached the last row."},
    {{0x5013}, "The search operation has reached the last column for the current row."},
    {{0x80004001}, "Not implemented."},
    {{0x80004002}, "Interface not supported."},
    {{0x80004003}, "Invalid pointer."},
    {{0x80004004}, "Operation aborted."},
    {{0x80005000, 0x8007054B}, "An invalid ADSI path name was encountered."},
    {{0x80005001}, "An unknown ADSI domain object was requested."},
    {{0x80005002}, "An unknown ADSI user object was requested."},
    {{0x80005003}, "An unknown ADSI computer object was requested."},
    {{0x80005004}, "An unknown ADSI object was requested."},
    {{0x80005005}, "The specified ADSI property was not set."},
    {{0x80005006}, "The specified ADSI property is not supported."},
    {{0x80005007}, "The specified ADSI property is invalid."},
    {{0x80005008}, "One or more input parameters are invalid."},
    {{0x80005009}, "The specified ADSI object is not bound to a remote resource."},
    {{0x8000500A}, "The specified ADSI object has not been modified."},
    {{0x8000500B}, "The specified ADSI object has been modified."},
    {{0x8000500C}, "The ADSI data type cannot be converted to/from a native DS data type."},
    {{0x8000500D}, "The ADSI property cannot be found in the cache."},
    {{0x8000500E}, "The ADSI object exists."},
    {{0x8000500F}, "The attempted action violates the directory service schema rules."},
    {{0x80005010}, "The specified column in the ADSI was not set."},
    {{0x80005014}, "The specified search filter is invalid."},
    {{0x8000FFFF}, "An unexpected problem occurred."},
    {{0x800704B8}, "Extended problem."},
    {{0x80070718}, "Not enough quota: size limit or time limit exceeded."},
    {{0x80072028}, "Strong authentication is required."},
};

// Every code is an HRESULT.
constexpr Row kMapiRows[] = {
    {{0x80004002}, "Interface is not supported."},
    {{0x80004005}, "Call failed."},
    {{0x80040102}, "No support."},
    {{0x80040103}, "Bad character width."},
    {{0x80040105}, "A specified string is too long."},
    {{0x80040106}, "Unknown flags were specified."},
    {{0x80040107}, "An invalid entry ID was specified."},
    {{0x80040108}, "Invalid object."},
    {{0x80040109}, "The object has changed."},
    {{0x8004010A}, "The object has been deleted."},
    {{0x8004010B}, "MAPI is currently busy."},
    {{0x8004010D}, "There is not enough disk space."},
    {{0x8004010E}, "There are not enough resources."},
    {{0x8004010F}, "Not found."},
    {{0x80040110}, "Incorrect version."},
    {{0x80040111}, "Logon failed."},
    {{0x80040112}, "Session limit reached."},
    {{0x80040113}, "The user cancelled the operation."},
    {{0x80040114}, "Unable to abort operation."},
    {{0x80040115}, "A network problem occurred."},
    {{0x80040116}, "A problem with the disk occurred."},
    {{0x80040117}, "Too complex."},
    {{0x80040118}, "Bad column."},
    {{0x80040119}, ""},
    {{0x8004011A}, "A change was attempted on a read only property."},
    {{0x8004011B}, "Data is corrupted."},
    {{0x8004011C}, "The specified object has not been configured."},
    {{0x8004011D}, "A provider failed."},
    {{0x8004011E}, "The server is not configured to support the client's code page."},
    {{0x8004011F}, "The server is not configured to support the client's locale information."},
    {{0x80040120}, "A password change is required."},
    {{0x80040121}, "The password has expired."},
    {{0x80040122}, "Invalid workstation account."},
    {{0x80040123}, "Access timed out."},
    {{0x80040124}, "The specified account has been disabled."},
    {{0x80040200}, "End of session."},
    {{0x80040201}, "An unknown entry ID was specified."},
    {{0x80040202}, "A required column is missing."},
    {{0x80040301}, "Encountered a bad value for a property."},
    {{0x80040302}, "Encountered an invalid type for a property."},
    {{0x80040303}, "No support for a specified property."},
    {{0x80040304}, "Encountered an unexpected type for a property."},
    {{0x80040305}, "Encountered a property that was too large."},
    {{0x80040306}, "An attempt to copy a property was declined."},
    {{0x80040307}, "Encountered an unexpected ID."},
    {{0x80040400}, "Unable to complete the operation."},
    {{0x80040401}, "The operation timed out."},
    {{0x80040402}, "A specified table is empty."},
    {{0x80040403}, "A specified table is too large."},
    {{0x80040405}, "A specified bookmark is invalid."},
    {{0x80040500}, "A temporary problem caused the failure."},
    {{0x80040501}, "The operation was cancelled."},
    {{0x80040502}, "Could not handle the operation."},
    {{0x80040600}, "The message store is corrupt."},
    {{0x80040601}, "A specified message is longer in the queue."},
    {{0x80040602}, "The operation is not suppressed."},
    {{0x80040604}, "A collision occurred."},
    {{0x80040605}, "Not initialized."},
    {{0x80040606}, "The specified information is non standard."},
    {{0x80040607}, "No recipients were specified."},
    {{0x80040608}, "Could not submit the message."},
    {{0x80040609}, "A specified object still contains folders."},
    {{0x8004060A}, "A specified object still contains messages."},
    {{0x8004060B}, "The source folder directly or indirectly contains the destination folder."},
    {{0x80040700}, "An ambiguous recipient was specified."},
    {{0x80070005}, "Access denied."},
    {{0x8007000E}, "Not enough memory."},
    {{0x80070057}, "An invalid parameter was specified."},
};

// Every code is an HRESULT.
constexpr Row kCdoRows[] = {
    {{0x80040201}, "An exception was generated."},
    {{0x80040202}, "No data source has been opened for the object."},
    {{0x80040203}, "The object does not support this type of data source."},
    {{0x80040204}, "The object does not support the requested property name or namespace."},
    {{0x80040205}, "The object does not support the requested property."},
    {{0x80040206},
     "The object is not active. It may have been deleted or it may not have been openend."},
    {{0x80040207}, "The object does not support storing persistent state information for objects."},
    {{0x80040208},
     "The requested property or feature, while supported, is not available at this time or in this "
     "context."},
    {{0x80040209}, "No default drop directory has been configured for this server."},
    {{0x8004020A},
     "The SMTP server name is required, and was not found in the configuration source."},
    {{0x8004020B},
     "The NNTP server name is required, and was not found in the configuration source."},
    {{0x8004020C}, "At least one recipient is required, but none were found."},
    {{0x8004020D}, "At least one of the From or Sender fields is required, and neither was found."},
    {{0x8004020E}, "The server rejected the sender address."},
    {{0x8004020F}, "The server rejected one or more recipient addresses."},
    {{0x80040210}, "The message could not be posted to the NNTP server."},
    {{0x80040211}, "The message could not be sent to the SMTP server."},
    {{0x80040212}, "The transport lost its connection to the server."},
    {{0x80040213}, "The transport failed to connect to the server."},
    {{0x80040214},
     "The Subject, From, and Newsgroup fields are all required, and one or more was not found."},
    {{0x80040215}, "The server rejected the logon attempt due to authentication failure."},
    {{0x80040216}, "The content type was not valid in this context."},
    {{0x80040217}, "The transport was unable to log on to the server."},
    {{0x80040218}, "The requested resource could not be found."},
    {{0x80040219}, "Access to the requested resource is denied."},
    {{0x8004021A}, "The HTTP request failed."},
    {{0x8004021B},
     "This is a multipart body part. It has no content other than the body parts contained within "
     "it."},
    {{0x8004021C}, "Multipart body parts must be encoded as 7bit, 8bit, or binary."},
    {{0x8004021E}, "The requested property was not found."},
    {{0x80040220}, "The 'SendUsing' configuration value is invalid."},
    {{0x80040221}, "The 'PostUsing' configuration value is invalid."},
    {{0x80040222}, "The pickup directory path is required and was not specified."},
    {{0x80040223}, "One or more messages could not be deleted."},
    {{0x80040224}, "The requested operation is not available on the underlying object."},
    {{0x80040227}, "The property is read-only."},
    {{0x80040228}, "The property cannot be deleted."},
    {{0x80040229}, "Data written to the object is inconsistent or invalid."},
    {{0x8004022A}, "The requested property is not in the mail header namespace."},
    {{0x8004022B}, "The requested character set is not installed on this computer."},
    {{0x8004022C}, "The ADO stream has not been opened."},
    {{0x8004022D}, "The content properties are missing."},
    {{0x8004022E}, "Content properties XML must be encoded using UTF-8."},
    {{0x8004022F}, "Failed to parse content properties XML."},
    {{0x80040230}, "Failed to convert a property from XML to a requested type."},
    {{0x80040231}, "No directories were specified for resolution."},
    {{0x80040232}, "Failed to resolve against one or more of the specified directories."},
    {{0x80040233}, "Could not find the Sender's mailbox."},
    {{0x80040234}, "Binding to self is not allowed."},
    {{0x80040235}, "Data of the Attendees in the object is inconsistent or invalid."},
    {{0x80044000}, "The first argument is invalid."},
    {{0x80044001}, "The second argument is invalid."},
    {{0x80044002}, "The third argument is invalid."},
    {{0x80044003}, "The fourth argument is invalid."},
    {{0x80044004}, "The fifth argument is invalid."},
    {{0x800CCE05}, "The requested body part was not found in this message."},
    {{0x800CCE1D}, "The content encoding type is invalid."},
};

}  // namespace

Table::Table(std::span<const Row> rows, std::string_view default_text)
    : rows_(rows), default_text_(default_text) {
  for (const Row& row : rows_) {
    for (std::uint32_t code : row.codes) index_.emplace_back(code, row.text);
  }
  std::sort(index_.begin(), index_.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
}

const std::string_view* Table::Find(std::uint32_t code) const {
  auto it =
      std::lower_bound(index_.begin(), index_.end(), code,
                       [](const auto& entry, std::uint32_t key) { return entry.first < key; });
  if (it == index_.end() || it->first != code) return nullptr;
  return &it->second;
}

std::string_view Table::Explain(std::uint32_t code) const {
  const std::string_view* text = Find(code);
  return text ? *text : default_text_;
}

bool Table::Contains(std::uint32_t code) const { return Find(code) != nullptr; }

const Table& Adsi() {
  static const Table table(kAdsiRows, "An unspecified problem occurred.");
  return table;
}

const Table& Mapi() {
  static const Table table(kMapiRows, "An unknown problem occurred.");
  return table;
}

const Table& Cdo() {
  static const Table table(kCdoRows, "An unknown problem occurred.");
  return table;
}

}  // namespace tessary::error_tables
