#include "platform/system_error.h"

#include <cerrno>
#include <map>

namespace tessary::platform {
namespace {

// The system's own words for the codes that file, process, registry and directory operations
// produce, as an English Windows gives them.
const std::map<std::uint32_t, const char*>& MessageTable() {
  static const std::map<std::uint32_t, const char*> table = {
      {0, "The operation completed successfully."},
      {1, "Incorrect function."},
      {2, "The system cannot find the file specified."},
      {3, "The system cannot find the path specified."},
      {4, "The system cannot open the file."},
      {5, "Access is denied."},
      {6, "The handle is invalid."},
      {8, "Not enough storage is available to process this command."},
      {10, "The environment is incorrect."},
      {11, "An attempt was made to load a program with an incorrect format."},
      {13, "The data is invalid."},
      {14, "Not enough storage is available to complete this operation."},
      {15, "The system cannot find the drive specified."},
      {16, "The directory cannot be removed."},
      {17, "The system cannot move the file to a different disk drive."},
      {18, "There are no more files."},
      {19, "The media is write protected."},
      {20, "The system cannot find the device specified."},
      {21, "The device is not ready."},
      {23, "Data error (cyclic redundancy check)."},
      {25, "The drive cannot locate a specific area or track on the disk."},
      {26, "The specified disk or diskette cannot be accessed."},
      {29, "The system cannot write to the specified device."},
      {30, "The system cannot read from the specified device."},
      {31, "A device attached to the system is not functioning."},
      {32, "The process cannot access the file because it is being used by another process."},
      {33,
       "The process cannot access the file because another process has locked a portion of "
       "the file."},
      {36, "Too many files opened for sharing."},
      {38, "Reached the end of the file."},
      {39, "The disk is full."},
      {50, "The request is not supported."},
      {53, "The network path was not found."},
      {59, "An unexpected network error occurred."},
      {64, "The specified network name is no longer available."},
      {65, "Network access is denied."},
      {67, "The network name cannot be found."},
      {80, "The file exists."},
      {82, "The directory or file cannot be created."},
      {87, "The parameter is incorrect."},
      {89, "The system cannot start another process at this time."},
      {109, "The pipe has been ended."},
      {110, "The system cannot open the device or file specified."},
      {111, "The file name is too long."},
      {112, "There is not enough space on the disk."},
      {120, "This function is not supported on this system."},
      {121, "The semaphore timeout period has expired."},
      {122, "The data area passed to a system call is too small."},
      {123, "The filename, directory name, or volume label syntax is incorrect."},
      {145, "The directory is not empty."},
      {161, "The specified path is invalid."},
      {170, "The requested resource is in use."},
      {183, "Cannot create a file when that file already exists."},
      {206, "The filename or extension is too long."},
      {223, "The file size exceeds the limit allowed and cannot be saved."},
      {234, "More data is available."},
      {258, "The wait operation timed out."},
      {259, "No more data is available."},
      {267, "The directory name is invalid."},
      {1008, "An attempt was made to reference a token that does not exist."},
      {1009, "The configuration registry database is corrupt."},
      {1010, "The configuration registry key is invalid."},
      {1011, "The configuration registry key could not be opened."},
      {1012, "The configuration registry key could not be read."},
      {1013, "The configuration registry key could not be written."},
      {1014,
       "One of the files in the registry database had to be recovered by use of a log or "
       "alternate copy. The recovery was successful."},
      {1015,
       "The registry is corrupted. The structure of one of the files containing registry data "
       "is corrupted, or the system's memory image of the file is corrupted, or the file could "
       "not be recovered because the alternate copy or log was absent or corrupted."},
      {1016,
       "An I/O operation initiated by the registry failed unrecoverably. The registry could not "
       "read in, or write out, or flush, one of the files that contain the system's image of "
       "the registry."},
      {1017,
       "The system has attempted to load or restore a file into the registry, but the "
       "specified file is not in a registry file format."},
      {1018, "Illegal operation attempted on a registry key that has been marked for deletion."},
      {1117, "The request could not be performed because of an I/O device error."},
      {1131, "A potential deadlock condition has been detected."},
      {1155, "No application is associated with the specified file for this operation."},
      {1168, "Element not found."},
      {1223, "The operation was canceled by the user."},
      {1225, "The remote system refused the network connection."},
      {1314, "A required privilege is not held by the client."},
      {1317, "The specified user does not exist."},
      {1326, "Logon failure: unknown user name or bad password."},
      {1327,
       "Logon failure: user account restriction. Possible reasons are blank passwords not "
       "allowed, logon hour restrictions, or a policy restriction has been enforced."},
      {1330, "Logon failure: the specified account password has expired."},
      {1332, "No mapping between account names and security IDs was done."},
      {1337, "The security ID structure is invalid."},
      {1355, "The specified domain either does not exist or could not be contacted."},
      {1460, "This operation returned because the timeout period expired."},
      {1722, "The RPC server is unavailable."},
      {1921, "The name of the file cannot be resolved by the system."},
      {2202, "The specified username is invalid."},
      {5010, "The object already exists."},
      {0x200A, "The specified directory service attribute or value does not exist."},
      {0x200B, "The attribute syntax specified to the directory service is invalid."},
      {0x200C, "The attribute type specified to the directory service is not defined."},
      {0x200D, "The specified directory service attribute or value already exists."},
      {0x200E, "The directory service is busy."},
      {0x200F, "The directory service is unavailable."},
      {0x2010, "The directory service was unable to allocate a relative identifier."},
      {0x2011, "The directory service has exhausted the pool of relative identifiers."},
      {0x2014, "The directory service can perform the requested operation only on a leaf object."},
      {0x2015,
       "The directory service cannot perform the requested operation on the RDN attribute of an "
       "object."},
      {0x2016,
       "The directory service detected an attempt to modify the object class of an object."},
      {0x2017, "The requested cross-domain move operation could not be performed."},
      {0x2018, "Unable to contact the global catalog server."},
      {0x2020, "An operations error occurred."},
      {0x2021, "A protocol error occurred."},
      {0x2022, "The time limit for this request was exceeded."},
      {0x2023, "The size limit for this request was exceeded."},
      {0x2024, "The administrative limit for this request was exceeded."},
      {0x2025, "The compare response was false."},
      {0x2026, "The compare response was true."},
      {0x2027, "The requested authentication method is not supported by the server."},
      {0x2028, "A more secure authentication method is required for this server."},
      {0x2029, "Inappropriate authentication."},
      {0x202A, "The authentication mechanism is unknown."},
      {0x202B, "A referral was returned from the server."},
      {0x202C, "The server does not support the requested critical extension."},
      {0x202D, "This request requires a secure connection."},
      {0x202E, "Inappropriate matching."},
      {0x202F, "A constraint violation occurred."},
      {0x2030, "There is no such object on the server."},
      {0x2031, "There is an alias problem."},
      {0x2032, "An invalid dn syntax has been specified."},
      {0x2033, "The object is a leaf object."},
      {0x2034, "There is an alias dereferencing problem."},
      {0x2035, "The server is unwilling to process the request."},
      {0x2036, "A loop has been detected."},
      {0x2037, "There is a naming violation."},
      {0x2038, "The result set is too large."},
      {0x2039, "The operation affects multiple DSAs."},
      {0x203A, "The server is not operational."},
      {0x203B, "A local error has occurred."},
      {0x203C, "An encoding error has occurred."},
      {0x203D, "A decoding error has occurred."},
      {0x203E, "The search filter cannot be recognized."},
      {0x203F, "One or more parameters are illegal."},
      {0x2040, "The specified method is not supported."},
      {0x2041, "No results were returned."},
      {0x2042, "The specified control is not supported by the server."},
      {0x2043, "A referral loop was detected by the client."},
      {0x2044, "The preset referral limit was exceeded."},
  };
  return table;
}

}  // namespace

std::optional<std::string> SystemMessage(std::uint32_t code) {
  const auto& table = MessageTable();
  auto found = table.find(code);
  if (found == table.end()) return std::nullopt;
  return std::string(found->second);
}

std::uint32_t Win32FromErrno(int error_number) {
  switch (error_number) {
    case 0:
      return kErrorSuccess;
    case ENOENT:
      return kErrorFileNotFound;
    case ENOTDIR:
      return kErrorPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return kErrorAccessDenied;
    case EBADF:
      return 6;
    case ENOMEM:
      return kErrorNotEnoughMemory;
    case EMFILE:
    case ENFILE:
      return 4;
    case EEXIST:
      // Folders report 183 as CreateDirectory does; a file created exclusively that already
      // exists is 80 (kErrorFileExists), which its caller knows to choose.
      return kErrorAlreadyExists;
    case ENOSPC:
    case EDQUOT:
      return kErrorDiskFull;
    case EBUSY:
    case ETXTBSY:
      return kErrorSharingViolation;
    case ENOTEMPTY:
      return kErrorDirNotEmpty;
    case ENAMETOOLONG:
      return 206;
    case EINVAL:
      return kErrorInvalidParameter;
    case EXDEV:
      return 17;
    case ENODEV:
    case ENXIO:
      return 20;
    case EIO:
      return 1117;
    case EFBIG:
      return 223;
    case ELOOP:
      return 1921;
    case EPIPE:
      return 109;
    case ENOEXEC:
      return 11;
    case E2BIG:
      return 10;
    case EAGAIN:
      return 89;
    case ENOSYS:
    case EOPNOTSUPP:
      return 50;
    case EDEADLK:
      return 1131;
    case ETIMEDOUT:
      return 1460;
    case ECONNREFUSED:
      return 1225;
    case ECANCELED:
      return 1223;
    default:
      return 31;  // ERROR_GEN_FAILURE: the device failed in a way Windows has no word for
  }
}

}  // namespace tessary::platform
