#include "app/build_record.h"

#include <chrono>
#include <ctime>
#include <system_error>

#include "app/batch_build.h"
#include "base/file_io.h"
#include "indexer/build_statistics.h"
#include "indexer/index_census.h"
#include "indexer/index_options.h"
#include "indexer/output_folder.h"

namespace vossik {
namespace {

// RunBatchBuild's result when it had no source or target folder.
constexpr int kNotStarted = 2;

}  // namespace

bool RecordBuild(const std::string& statistics_file, const IndexOptions& options, bool complete,
                 double seconds, std::string* error) {
  BuildStatistics statistics;
  std::string kept;
  // The first build starts the record.
  if (ReadWholeFile(statistics_file, &kept)) statistics.Parse(kept);
  bool counted = true;
  if (complete) {
    IndexCensus census;
    const std::string output =
        OutputFolderFor(options.source_folder, TargetWithSlashes(options.target_folder));
    if (!ReadIndexCensus(options.source_folder, output, &census, error)) {
      counted = false;
      census = IndexCensus{};
    }
    statistics.RecordBuild(census, std::time(nullptr), seconds);
  } else {
    statistics.RecordFailure(std::time(nullptr), seconds);
  }

  std::error_code ignored;
  const std::filesystem::path folder = std::filesystem::path(statistics_file).parent_path();
  // A folder that cannot be made shows in the write's reason.
  if (!folder.empty()) std::filesystem::create_directories(folder, ignored);
  std::string reason;
  if (!ReplaceFileAtomically(statistics_file, statistics.Text(), &reason)) {
    *error = FileErrorText("write", statistics_file, reason);
    return false;
  }
  if (!counted) *error = "the index could not be counted: " + *error;
  return true;
}

int RunRecordedBatchBuild(const SettingsStore& settings, const XmlNode* descriptor,
                          const std::vector<std::filesystem::path>& template_folders,
                          const std::string& statistics_file, std::ostream& progress,
                          bool verbose) {
  const auto started = std::chrono::steady_clock::now();
  const int result = RunBatchBuild(settings, descriptor, template_folders, progress, verbose);
  if (result == kNotStarted) return result;
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::string error;
  if (!RecordBuild(statistics_file, ReadIndexOptions(settings, descriptor), result == 0, seconds,
                   &error) ||
      !error.empty()) {
    progress << "Warning: " << error << '\n';
  }
  return result;
}

}  // namespace vossik
