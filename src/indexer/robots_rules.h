// RobotsRules holds the paths that the site's robots.txt disallows for the
// build's robot, and judges page URLs against them. Rules are gathered from
// "Disallow:" fields that apply to the robot: those before any
// "User-agent:" field, those under the agent "*" when no robot name is set,
// and those under an agent whose wildcard pattern matches the robot name.
//
// Not thread-safe while reading or collecting; disallows() may be called
// from any thread once the rules are complete.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vossik {

class Log;

class RobotsRules {
 public:
  /// Reads sourceFolder + "/robots.txt" whole and, when it has content,
  /// takes `robotName` and collects its rules. Reports progress on `log`
  /// (message type, general level) when one is given.
  void Read(const std::string& source_folder, const std::string& robot_name, Log* log);

  /// The robot whose rules collect() gathers; empty for none.
  void SetRobotName(std::string robot_name) { robot_name_ = std::move(robot_name); }
  const std::string& RobotName() const { return robot_name_; }

  /// Replaces the disallowed paths by those of the robots.txt `text`.
  void Collect(std::string_view text);

  /// Whether `urlPath` ("/" + page URL) starts with a disallowed path. In a
  /// path "*" matches any run of bytes and a final "$" anchors the end;
  /// bytes compare exactly. An empty path disallows nothing.
  [[nodiscard]] bool Disallows(std::string_view url_path) const;

  /// Every path collected, in file order, empty ones included.
  const std::vector<std::string>& DisallowedPaths() const { return paths_; }

 private:
  std::string robot_name_;
  std::vector<std::string> paths_;
};

}  // namespace vossik
