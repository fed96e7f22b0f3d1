#include "indexer/robots_rules.h"

#include <optional>

#include "base/file_io.h"
#include "base/string_util.h"
#include "indexer/wildcard.h"
#include "log/log.h"

namespace vossik {

namespace {

bool isLineBreak(char c) { return c == '\r' || c == '\n'; }

// Splits the way mail headers split: a line holding a colon opens a field,
// unless it starts with a blank or tab, which makes it a continuation like
// every line without a colon. Lines before the first field are ignored and
// the line breaks closing a field are dropped.
std::vector<std::string_view> splitFields(std::string_view text) {
  std::vector<std::string_view> fields;
  std::size_t fieldStart = std::string_view::npos;
  auto close = [&](std::size_t end) {
    if (fieldStart == std::string_view::npos) return;
    std::string_view field = text.substr(fieldStart, end - fieldStart);
    while (!field.empty() && isLineBreak(field.back())) field.remove_suffix(1);
    fields.push_back(field);
  };
  std::size_t lineStart = 0;
  while (lineStart < text.size()) {
    std::size_t lineEnd = lineStart;
    bool colon = false;
    while (lineEnd < text.size() && !isLineBreak(text[lineEnd])) {
      colon = colon || text[lineEnd] == ':';
      ++lineEnd;
    }
    const bool continuation = text[lineStart] == ' ' || text[lineStart] == '\t';
    if (colon && !continuation) {
      close(lineStart);
      fieldStart = lineStart;
    }
    lineStart = lineEnd + 1;
  }
  close(text.size());
  return fields;
}

// A rule matches a prefix of the path unless it ends in "$"; "*" stands for
// any run of bytes. Remembering only the latest star keeps this polynomial.
bool ruleMatches(std::string_view rule, std::string_view path) {
  const bool anchored = rule.back() == '$';
  if (anchored) rule.remove_suffix(1);
  std::size_t r = 0;
  std::size_t p = 0;
  std::size_t starRule = std::string_view::npos;
  std::size_t starPath = 0;
  for (;;) {
    if (r == rule.size()) {
      if (!anchored || p == path.size()) return true;
    } else if (rule[r] == '*') {
      starRule = ++r;
      starPath = p;
      continue;
    } else if (p < path.size() && rule[r] == path[p]) {
      ++r;
      ++p;
      continue;
    }
    if (starRule == std::string_view::npos || starPath >= path.size()) return false;
    r = starRule;
    p = ++starPath;
  }
}

}  // namespace

void RobotsRules::read(const std::string& sourceFolder, const std::string& robotName, Log* log) {
  auto note = [log](std::string_view text) {
    if (log != nullptr) log->Write(kLogMessage, kLogGeneral, text);
  };
  note("Checking for robots.txt file ");
  std::string text;
  if (!ReadWholeFile(sourceFolder + "/robots.txt", &text) || text.empty()) {
    note("robots.txt file NOT found.");
    return;
  }
  note("Found robots.txt file ");
  note("robots.txt file is valid. Processing rules");
  robot_name_ = robotName;
  collect(text);
}

void RobotsRules::collect(std::string_view text) {
  paths_.clear();
  std::optional<std::string_view> agent;
  for (std::string_view field : splitFields(text)) {
    if (startsWithIgnoringCase(field, "user-agent:")) {
      agent = TrimBlanks(field.substr(11));
      continue;
    }
    if (!startsWithIgnoringCase(field, "disallow:")) continue;
    const bool applies = !agent ||
                         (robot_name_.empty() ? *agent == "*"
                                              : matches(*agent, robot_name_, false));
    if (!applies) continue;
    std::string_view path = TrimBlanks(field.substr(9));
    path = TrimBlanks(path.substr(0, path.find('#')));
    paths_.emplace_back(path);
  }
}

bool RobotsRules::disallows(std::string_view urlPath) const {
  for (const std::string& path : paths_) {
    if (!path.empty() && ruleMatches(path, urlPath)) return true;
  }
  return false;
}

}  // namespace vossik
