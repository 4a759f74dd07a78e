#pragma once
// What the import tests share: an engine on a private machine with a fixed clock, files written
// and read back, and a run behind a scripted progress dialog.

#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "import/import_engine.h"
#include "support/bvk_progress_scripted_host.h"
#include "support/date_time_text.h"
#include "test_support.h"

namespace tessary::testing {

// 10:30:00 in the morning of 5 December 2006, local time.
std::time_t MorningOfFifthDecember2006();

// Regional pictures "M/d/yyyy" and "h:mm:ss tt", so that time stamps are predictable.
void SetUsRegionalSettings();

// Writes the lines, each ended with CR LF, to path.
void WriteLines(const std::filesystem::path& path, const std::vector<std::string>& lines);
// The file's lines without their CR LF ends.
std::vector<std::string> ReadLines(const std::filesystem::path& path);

// Runs the engine's import behind a progress dialog on host (template 201, as the wizard does).
std::int32_t RunBehindDialog(CImportEngine& engine, ScriptedProgressHost& host);

}  // namespace tessary::testing
