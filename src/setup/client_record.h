#pragma once
// The client record: one line per configuration a configuration run installed, appended to
// "<code> Clients.log" on the server, so administrators see who installed what and when.

#include <ctime>
#include <string>

namespace tessary::setup {

// The local time as 14 lower-case hexadecimal digits: year / 256, year % 256, month, day, hour,
// minute, second, one byte each.
std::string ClientTimeField(const std::tm& local);

// A configuration file name without its last 4 characters, then without its first 3.
std::string ConfigurationLabel(const std::string& file_name);

// The record line: logon name, time field, label and version joined by "$".
std::string ClientRecordLine(const std::string& logon, const std::string& time_field,
                             const std::string& config_file, const std::string& version);

// The record file of a server and product code, as a local path.
std::string ClientRecordPath(const std::string& server, const std::string& product_code);

// The logon name of the user running setup; empty when the system knows none.
std::string CurrentLogonName();

}  // namespace tessary::setup
