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

int RunRecordedBatchBuild(const SettingsStore& settings, const XmlNode* descriptor,
                          const std::filesystem::path& templates_dir,
                          const std::string& statistics_file, std::ostream& progress) {
  const auto started = std::chrono::steady_clock::now();
  const int result = RunBatchBuild(settings, descriptor, templates_dir, progress);
  if (result == kNotStarted) return result;
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

  BuildStatistics statistics;
  std::string kept;
  // The first build starts the record.
  if (ReadWholeFile(statistics_file, &kept)) statistics.Parse(kept);
  if (result == 0) {
    const IndexOptions options = ReadIndexOptions(settings, descriptor);
    IndexCensus census;
    std::string error;
    if (!ReadIndexCensus(
            options.source_folder,
            OutputFolderFor(options.source_folder, TargetWithSlashes(options.target_folder)),
            &census, &error)) {
      progress << "Warning: the statistics count no pages: " << error << '\n';
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
    progress << "Warning: " << FileErrorText("write", statistics_file, reason) << '\n';
  }
  return result;
}

}  // namespace vossik
