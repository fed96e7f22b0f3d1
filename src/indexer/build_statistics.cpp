#include "indexer/build_statistics.h"

#include <cstdio>
#include <cstdlib>
#include <type_traits>
#include <vector>

#include "base/date_text.h"
#include "base/result_codes.h"
#include "base/string_util.h"
#include "indexer/index_census.h"
#include "settings/settings_store.h"

namespace vossik {
namespace {

constexpr std::string_view kSection = "Statistics";

std::string Seconds(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", seconds);
  return text;
}

template <typename Number>
std::string Joined(const std::deque<Number>& values) {
  std::string out;
  for (const Number& value : values) {
    if (!out.empty()) out += ',';
    if constexpr (std::is_floating_point_v<Number>) {
      out += Seconds(value);
    } else {
      out += std::to_string(value);
    }
  }
  return out;
}

template <typename Number>
void Push(std::deque<Number>& series, Number value) {
  series.push_back(value);
  while (series.size() > BuildStatistics::kSeriesLength) series.pop_front();
}

}  // namespace

void BuildStatistics::Parse(std::string_view text) {
  SettingsStore store;
  if (store.Parse(text) != kResultOk) return;
  const auto value = [&store](std::string_view key) {
    std::string out;
    return store.GetValue(kSection, key, "", &out) == kResultOk ? out : std::string();
  };
  pages_ = std::atol(value("Pages").c_str());
  words_ = std::atol(value("Words").c_str());
  index_bytes_ = std::strtoull(value("IndexBytes").c_str(), nullptr, 10);
  builds_ = std::atol(value("Builds").c_str());
  failed_builds_ = std::atol(value("FailedBuilds").c_str());
  last_build_ = static_cast<std::time_t>(std::atoll(value("LastBuildTime").c_str()));
  last_build_seconds_ = std::atof(value("LastBuildSeconds").c_str());
  build_seconds_.clear();
  for (const std::string& item : SplitTrimmed(value("BuildSeconds"), ",")) {
    Push(build_seconds_, std::atof(item.c_str()));
  }
  build_pages_.clear();
  for (const std::string& item : SplitTrimmed(value("BuildPages"), ",")) {
    Push(build_pages_, std::atol(item.c_str()));
  }
  pages_by_type_.clear();
  const std::vector<std::string> types = SplitTrimmed(value("FileTypes"), ",");
  const std::vector<std::string> counts = SplitTrimmed(value("FileTypePages"), ",");
  for (std::size_t i = 0; i < types.size() && i < counts.size(); ++i) {
    pages_by_type_[types[i]] = std::atol(counts[i].c_str());
  }
}

void BuildStatistics::TakeCensus(const IndexCensus& census) {
  pages_ = static_cast<long>(census.pages.size());
  words_ = census.words;
  index_bytes_ = census.index_bytes;
  pages_by_type_ = census.PagesByType();
}

void BuildStatistics::RecordBuild(const IndexCensus& census, std::time_t finished, double seconds) {
  TakeCensus(census);
  ++builds_;
  last_build_ = finished;
  last_build_seconds_ = seconds;
  Push(build_seconds_, seconds);
  Push(build_pages_, pages_);
}

void BuildStatistics::RecordFailure(std::time_t finished, double seconds) {
  ++builds_;
  ++failed_builds_;
  last_build_ = finished;
  last_build_seconds_ = seconds;
}

std::string BuildStatistics::Text() const {
  std::string types;
  std::string type_pages;
  for (const auto& [type, count] : pages_by_type_) {
    if (!types.empty()) {
      types += ',';
      type_pages += ',';
    }
    types += type;
    type_pages += std::to_string(count);
  }
  std::string last_build;
  AppendDate(last_build, last_build_, false);
  if (last_build_ > 0) {
    last_build += ' ';
    AppendTimeOfDay(last_build, last_build_, false);
  }
  std::string text = "[Statistics]\n";
  const auto line = [&text](std::string_view key, const std::string& value) {
    text += key;
    text += '=';
    text += value;
    text += '\n';
  };
  line("Pages", std::to_string(pages_));
  line("Words", std::to_string(words_));
  line("IndexBytes", std::to_string(index_bytes_));
  line("Builds", std::to_string(builds_));
  line("FailedBuilds", std::to_string(failed_builds_));
  line("LastBuild", last_build);
  line("LastBuildTime", std::to_string(static_cast<long long>(last_build_)));
  line("LastBuildSeconds", Seconds(last_build_seconds_));
  line("BuildSeconds", Joined(build_seconds_));
  line("BuildPages", Joined(build_pages_));
  line("FileTypes", types);
  line("FileTypePages", type_pages);
  return text;
}

}  // namespace vossik
