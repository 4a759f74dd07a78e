#pragma once
// Reading and safely rewriting one hive file. A missing file reads as its seed; an update is a
// read-modify-write under an exclusive flock on "<file>.lock", written to a temporary file in
// the same folder, flushed and renamed over the hive. A file that does not parse is never
// written.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "platform/reg_file.h"

namespace tessary::platform {

// Fills a hive that has no file yet.
using HiveSeed = std::function<void(RegHive*)>;
// Changes the hive; returns a Win32 code (nothing is written unless 0) and sets *changed when
// there is something to write.
using HiveChange = std::function<std::uint32_t(RegHive*, bool* changed)>;

// Fills the empty *hive. 0, the Win32 code of the read failure, or 1009 with
// *problem = "<file>, line <n>: <why>".
std::uint32_t ReadHiveFile(const std::filesystem::path& file, const HiveSeed& seed, RegHive* hive,
                           std::string* problem);
// As ReadHiveFile into the empty *hive, then the change, then the write; codes of the file
// system on failure.
std::uint32_t UpdateHiveFile(const std::filesystem::path& file, const HiveSeed& seed,
                             const HiveChange& change, RegHive* hive, std::string* problem);

}  // namespace tessary::platform
