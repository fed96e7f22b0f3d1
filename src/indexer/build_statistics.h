// BuildStatistics keeps a record of index builds, the service's and the
// batch build's alike: what the last complete build published (pages,
// words, bytes, pages by file type), how many builds ran and failed, when
// the last one ended and how long it took, and the durations and page
// counts of the last 30 as series. Its text is a
// configuration file with one [Statistics] section, which is how the
// service and the batch build keep it on disk and how the statistics view
// reads it.
//
// Thread safety: one thread at a time.
#pragma once

#include <cstddef>
#include <ctime>
#include <deque>
#include <map>
#include <string>
#include <string_view>

namespace vossik {

struct IndexCensus;

class BuildStatistics {
 public:
  static constexpr std::size_t kSeriesLength = 30;

  /// Takes back what Text() wrote in an earlier run; unknown keys and
  /// unreadable values are skipped.
  void Parse(std::string_view text);

  /// A complete build that ended at `finished` after `seconds`.
  void RecordBuild(const IndexCensus& census, std::time_t finished, double seconds);
  /// A build that was cancelled or failed.
  void RecordFailure(std::time_t finished, double seconds);
  /// The index as found, without counting a build (at start-up).
  void TakeCensus(const IndexCensus& census);

  /// "[Statistics]" followed by one key=value line per figure.
  std::string Text() const;

  long Builds() const { return builds_; }
  long FailedBuilds() const { return failed_builds_; }

 private:
  long pages_ = 0;
  long words_ = 0;
  unsigned long long index_bytes_ = 0;
  long builds_ = 0;
  long failed_builds_ = 0;
  std::time_t last_build_ = 0;
  double last_build_seconds_ = 0;
  std::deque<double> build_seconds_;
  std::deque<long> build_pages_;
  std::map<std::string, long> pages_by_type_;
};

}  // namespace vossik
