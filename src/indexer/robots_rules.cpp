#include "indexer/robots_rules.h"

#include <optional>

#include "base/ascii_case.h"
#include "base/file_io.h"
#include "base/string_util.h"
#include "indexer/wildcard.h"
#include "log/log.h"

namespace vossik {

namespace {

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

// Splits the way mail headers split: a line holding a colon opens a field,
// unless it starts with a blank or tab, which makes it a continuation like
// every line without a colon. Lines before the first field are ignored and
// the line breaks closing a field are dropped.
std::vector<std::string_view> SplitFields(std::string_view text) {
  std::vector<std::string_view> fields;
  std::size_t field_start = std::string_view::npos;
  auto close = [&](std::size_t end) {
    if (field_start == std::string_view::npos) return;
    std::string_view field = text.substr(field_start, end - field_start);
    while (!field.empty() && IsLineBreak(field.back())) field.remove_suffix(1);
    fields.push_back(field);
  };
  std::size_t line_start = 0;
  while (line_start < text.size()) {
    std::size_t line_end = line_start;
    bool colon = false;
    while (line_end < text.size() && !IsLineBreak(text[line_end])) {
      colon = colon || text[line_end] == ':';
      ++line_end;
    }
    const bool continuation = text[line_start] == ' ' || text[line_start] == '\t';
    if (colon && !continuation) {
      close(line_start);
      field_start = line_start;
    }
    line_start = line_end + 1;
  }
  close(text.size());
  return fields;
}

// A rule matches a prefix of the path unless it ends in "$"; "*" stands for
// any run of bytes. Remembering only the latest star keeps this polynomial.
bool RuleMatches(std::string_view rule, std::string_view path) {
  const bool anchored = rule.back() == '$';
  if (anchored) rule.remove_suffix(1);
  std::size_t r = 0;
  std::size_t p = 0;
  std::size_t star_rule = std::string_view::npos;
  std::size_t star_path = 0;
  for (;;) {
    if (r == rule.size()) {
      if (!anchored || p == path.size()) return true;
    } else if (rule[r] == '*') {
      star_rule = ++r;
      star_path = p;
      continue;
    } else if (p < path.size() && rule[r] == path[p]) {
      ++r;
      ++p;
      continue;
    }
    if (star_rule == std::string_view::npos || star_path >= path.size()) return false;
    r = star_rule;
    p = ++star_path;
  }
}

}  // namespace

void RobotsRules::Read(const std::string& source_folder, const std::string& robot_name, Log* log) {
  auto note = [log](std::string_view text) {
    if (log != nullptr) log->Write(kLogMessage, kLogGeneral, text);
  };
  note("Checking for robots.txt file ");
  std::string text;
  if (!ReadWholeFile(source_folder + "/robots.txt", &text) || text.empty()) {
    note("robots.txt file NOT found.");
    return;
  }
  note("Found robots.txt file ");
  note("robots.txt file is valid. Processing rules");
  robot_name_ = robot_name;
  Collect(text);
}

void RobotsRules::Collect(std::string_view text) {
  paths_.clear();
  std::optional<std::string_view> agent;
  for (std::string_view field : SplitFields(text)) {
    if (StartsWithIgnoringCase(field, "user-agent:")) {
      agent = TrimBlanks(field.substr(11));
      continue;
    }
    if (!StartsWithIgnoringCase(field, "disallow:")) continue;
    const bool applies =
        !agent || (robot_name_.empty() ? *agent == "*" : Matches(*agent, robot_name_, false));
    if (!applies) continue;
    std::string_view path = TrimBlanks(field.substr(9));
    path = TrimBlanks(path.substr(0, path.find('#')));
    paths_.emplace_back(path);
  }
}

bool RobotsRules::Disallows(std::string_view url_path) const {
  for (const std::string& path : paths_) {
    if (!path.empty() && RuleMatches(path, url_path)) return true;
  }
  return false;
}

}  // namespace vossik
