// Log writes timestamped, filtered lines to a file. Lines are buffered in
// memory and flushed by time, by size and on critical messages; the file is
// closed after every flush and rotated into numbered history files when it
// grows past its limit. Files are ".\logs\NAME.log" (here "logs/NAME.log")
// relative to the current directory, or "NAME.log" with a plain name.
//
// Thread safety: Log takes no lock and is used by one thread. LockingLog has
// the same operations, each holding the log's mutex for its whole duration;
// the accessors take no lock. A log never creates the "logs" folder: while
// its file cannot be opened, lines stay in memory.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <string>
#include <string_view>

#include "base/log_sink.h"

namespace vossik {

class SettingsStore;
class XmlNode;

/// Where a log reads the time; tests inject a fake to flush and rotate without sleeping.
class LogClock {
 public:
  virtual ~LogClock() = default;
  virtual std::time_t Now() const = 0;
};

/// The system clock; the default for every log.
const LogClock& SystemLogClock();

/// What a log is configured with. The defaults are those of a new log.
struct LogSettings {
  int level = kLogFull;
  uint32_t types = 0xFFFF;
  long max_size_kb = 1024;
  long history = 3;
  long flush_size_kb = 0;
  long flush_period = 0;
};

/// Reads loglevel, logtypes, logmaxsize, loghistory, logflushsize and
/// logflushperiod (in `section_uid`, or the [Default] section when empty).
/// Settings the descriptor lacks leave level, types and flush period as in
/// `current` and set the sizes and history to 0.
LogSettings ReadLogSettings(const SettingsStore& store, const XmlNode* root,
                            std::string_view section_uid = {}, const LogSettings& current = {});

class Log : public LogSink {
 public:
  /// The buffer starts with "DATE TIME NAME Log started.\r\n" when
  /// `start_end_lines` is set, else with "\r\n". No file is opened yet.
  /// `clock` must outlive the log.
  Log(std::string name, bool plain_name, bool start_end_lines,
      const LogClock& clock = SystemLogClock());
  /// Writes the end line, flushes and closes when a file was ever opened.
  virtual ~Log();
  Log(const Log&) = delete;
  Log& operator=(const Log&) = delete;

  /// Takes `settings` and writes the "Log configuration (...)" line. The
  /// level is raised to Critical when lower.
  virtual void Configure(const LogSettings& settings);
  /// Configure with ReadLogSettings of the log's current settings.
  void Configure(const SettingsStore& store, const XmlNode* root,
                 std::string_view section_uid = {});
  /// The settings in use.
  LogSettings Settings() const;

  /// Appends one line when it passes the filter, then runs the flush check;
  /// a Critical message forces the flush.
  void Write(int type, int level, std::string_view message) override;
  void WriteFormatted(int type, int level, const char* format, ...)
      __attribute__((format(printf, 4, 5)));

  /// Opens the file when none is open, then writes the buffer when forced,
  /// when the flush period has passed or when the buffer outgrew the flush
  /// size; rotates the file once this run has written more than max size.
  virtual void FlushCheck(bool force);

  const std::string& Name() const { return name_; }
  int Level() const { return level_; }
  uint32_t Types() const { return types_; }
  long MaxSizeKb() const { return max_size_kb_; }
  long History() const { return history_; }
  long FlushSizeKb() const { return flush_size_kb_; }
  long FlushPeriod() const { return flush_period_; }
  /// The file the log writes to, and rotated file `n`.
  std::string FileName() const;
  std::string RotatedFileName(long n) const;

 protected:
  void ConfigureUnlocked(const LogSettings& settings);
  void WriteUnlocked(int type, int level, std::string_view message);
  void FlushCheckUnlocked(bool force);
  /// Writes the end line, flushes and closes when a file was ever opened;
  /// does nothing the second time, so a derived destructor may run it first.
  void Finish();

 private:
  const std::string& Timestamp();
  void Rotate();
  void OpenFile();

  std::string name_;
  bool plain_name_;
  bool start_end_lines_;
  const LogClock& clock_;
  int level_ = kLogFull;
  uint32_t types_ = 0xFFFF;
  long max_size_kb_ = 1024;
  long history_ = 3;
  long flush_size_kb_ = 0;
  long flush_period_ = 0;
  std::string buffer_;
  long long written_ = 0;
  std::time_t last_flush_;
  std::FILE* file_ = nullptr;
  bool file_ever_opened_ = false;
  std::string timestamp_;
  std::time_t timestamp_second_ = -1;
};

/// The variant for logs written from a worker thread and the UI thread at once.
class LockingLog : public Log {
 public:
  using Log::Log;
  ~LockingLog() override;

  using Log::Configure;
  void Configure(const LogSettings& settings) override;
  void Write(int type, int level, std::string_view message) override;
  void FlushCheck(bool force) override;

 private:
  std::mutex mutex_;
};

}  // namespace vossik
