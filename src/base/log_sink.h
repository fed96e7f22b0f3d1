// LogSink is where a layer below the log writes its log lines: the
// descriptor loader, for one, reports through it without knowing the log.
// The log implements it; callers may pass null for "no log".
#pragma once

#include <string_view>

namespace vossik {

/// Message types; bit t of a log's types mask stands for type t.
enum LogType : int {
  kLogError = 1,
  kLogWarning = 2,
  kLogMessage = 3,
  kLogConfig = 4,
  kLogService = 5
};
/// Message levels; a log writes messages up to its configured level.
enum LogLevel : int {
  kLogOff = 0,
  kLogCritical = 1,
  kLogGeneral = 2,
  kLogVerbose = 3,
  kLogFull = 4,
  kLogDebug = 5
};

class LogSink {
 public:
  virtual ~LogSink() = default;
  /// Writes one line of `type` at `level`, when the log's filter lets it pass.
  virtual void Write(int type, int level, std::string_view message) = 0;
};

}  // namespace vossik
