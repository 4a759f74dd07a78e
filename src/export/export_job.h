#pragma once
// One export or header-file task with the wizard's inputs, independent of any page: the wizard
// and the command line fill one of these and run it. The run streams every object's line to the
// file as the directory returns it and leaves its summary (or failure) in Error().

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "directory/ex_domain.h"
#include "export/export_file.h"
#include "support/bvk_error.h"
#include "support/date_time_text.h"

namespace tessary {

class CBVKProgressDlg;
namespace platform {
class ProgressHost;
struct Window;
}  // namespace platform

class CExportJob {
 public:
  // Keys of the progress dialog's parameter map: the job, and the two counters of the run.
  static constexpr const char* kParameterKey = "TY Export";
  static constexpr const char* kTotalObjectsKey = "Total Objects";
  static constexpr const char* kContainerObjectsKey = "Container Objects";
  // Progress template 165 and its controls: the count of this container, the total, the clip.
  static constexpr int kProgressTemplateId = 165;
  static constexpr int kContainerCountId = 1068;
  static constexpr int kTotalCountId = 1070;
  static constexpr int kAnimationClipId = 164;

  // The connected domain; it also searches and holds the class list.
  explicit CExportJob(CExDomain& domain) : domain_(domain) {}

  CBVKError& Error() { return error_; }
  const CBVKError& Error() const { return error_; }

  // --- The task's inputs.
  std::string ClassName;  // admin display name of the class ("User")
  // The start container: the domain itself or one of its CExContainer nodes (not owned).
  CBVKADObject* Container = nullptr;
  bool IncludeSubcontainers = false;
  std::string OutputFile;
  std::vector<std::string> Attributes;  // LDAP display names, in column order
  // Saves the wizard's stored choices (settings and definition files) before the file is
  // touched; the command line leaves it empty, as it keeps no choices.
  std::function<void()> SaveChoices;

  // The export run, as the progress dialog's work function runs it: 1 with the summary in
  // Error(), 0 with the failure there (the header line, a search or a data line could not be
  // done, or no object was found). Failures are also shown with the stop icon. A cancel ends
  // the searches and the run reports what was written. Needs the two counters in the dialog's
  // parameter map.
  std::int32_t RunExport(CBVKProgressDlg& dialog);
  // The work function: runs the job found under kParameterKey.
  static std::int32_t ExportWork(CBVKProgressDlg& dialog);
  // Runs the export behind a progress dialog of template 165 on host; returns its result.
  std::int32_t RunWithProgress(platform::ProgressHost& host, const platform::Window* parent);

  // Writes the header file (the column line only): 1 with "Header file '...' completed
  // successfully." in Error(), 0 with the file failure there, shown with the stop icon.
  std::int32_t WriteHeaderFile();

  // The columns of this job's files: the identifying two, then Attributes.
  std::vector<std::string> Columns() const;
  // The display name of the start container in messages: the dotted name for the domain.
  std::string ContainerDisplayName() const;

 private:
  // Searches one container, then (with subcontainers) its children; false ends the run.
  bool SearchContainer(CBVKADObject& container, CBVKProgressDlg& dialog);
  // Writes one row; false ends this container's search.
  bool HandleRow(CBVKADPropertySet& row, CBVKProgressDlg& dialog);
  // Sets the message, shows it with the stop icon; 0.
  std::int32_t Fail(const std::string& message);

  CExDomain& domain_;
  CBVKError error_;
  ExportFile file_;
  std::vector<std::string> columns_;
  // The message of the last data line that could not be written in this run.
  std::string write_failure_;
  // The regional formats of the run's time values, read once when it starts: reading the
  // settings for every value made time columns several times slower than the search.
  DateTimeFormats run_formats_;
};

}  // namespace tessary
