#pragma once
// What a hive holds before it is first written, as a new Windows installation and profile
// would have it:
//   HKEY_CLASSES_ROOT   htmlfile\shell\open\command and http\shell\open\command,
//                       default value xdg-open "%1"
//   HKEY_LOCAL_MACHINE  SOFTWARE\Microsoft\Windows\CurrentVersion: ProgramFilesDir =
//                       <machine root>/opt, CommonFilesDir = <machine root>/opt/common
//   HKEY_CURRENT_USER   Control Panel\International from the locale's LC_TIME (sShortDate,
//                       sDate, sTimeFormat with seconds, sTime, s1159, s2359, iDate, iTime,
//                       iTLZero)

#include "platform/reg_file.h"
#include "platform/registry.h"

namespace tessary::platform {

void SeedHive(HKEY root, RegHive* hive);

}  // namespace tessary::platform
