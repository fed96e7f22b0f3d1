#include "log/log.h"

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <filesystem>
#include <system_error>
#include <thread>
#include <utility>

#include "settings/typed_settings.h"

namespace vossik {
namespace {

constexpr const char* kLevelNames[] = {"Off", "Critical", "General", "Verbose", "Full", "Debug"};
constexpr const char* kTypeNames[] = {"None", "Error", "Warning", "Message", "Config", "Service"};

// Callers may pass any number; a name outside the tables prints as nothing.
const char* LevelName(int level) { return level >= 0 && level < 6 ? kLevelNames[level] : ""; }
const char* TypeName(int type) { return type >= 0 && type < 6 ? kTypeNames[type] : ""; }

std::string FormatV(const char* format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  const int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length), '\0');
  std::vsnprintf(text.data(), text.size() + 1, format, args);
  return text;
}

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = FormatV(format, args);
  va_end(args);
  return text;
}

// Another program reading the log may hold it for a moment; a few short
// retries ride that out without stalling the writer for long.
bool MoveFile(const std::string& from, const std::string& to) {
  std::error_code ignored;
  std::filesystem::remove(to, ignored);
  std::error_code error;
  for (int attempt = 0; attempt < 7; ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    std::filesystem::rename(from, to, error);
    if (!error) return true;
    if (error != std::errc::device_or_resource_busy && error != std::errc::text_file_busy) {
      return false;
    }
  }
  return false;
}

class SystemClock final : public LogClock {
 public:
  std::time_t Now() const override { return std::time(nullptr); }
};

}  // namespace

const LogClock& SystemLogClock() {
  static const SystemClock kClock;
  return kClock;
}

Log::Log(std::string name, bool plain_name, bool start_end_lines, const LogClock& clock)
    : name_(std::move(name)),
      plain_name_(plain_name),
      start_end_lines_(start_end_lines),
      clock_(clock),
      last_flush_(clock.Now()) {
  if (start_end_lines_) buffer_ = Format("%s %s Log started.", Timestamp().c_str(), name_.c_str());
  buffer_ += "\r\n";
}

Log::~Log() { Finish(); }

std::string Log::FileName() const {
  return plain_name_ ? name_ + ".log" : "logs/" + name_ + ".log";
}

std::string Log::RotatedFileName(long n) const {
  return Format(plain_name_ ? "%s%ld.log" : "logs/%s%ld.log", name_.c_str(), n);
}

// Day first: month-first dates were tied to a time-zone bias range that no
// zone has, so every zone gets day/month/year.
const std::string& Log::Timestamp() {
  const std::time_t now = clock_.Now();
  if (now > timestamp_second_) {
    std::tm local{};
    localtime_r(&now, &local);
    timestamp_ = Format("%02d/%02d/%4d %02d:%02d:%02d ", local.tm_mday, local.tm_mon + 1,
                        local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec);
    timestamp_second_ = now;
  }
  return timestamp_;
}

void Log::WriteUnlocked(int type, int level, std::string_view message) {
  const bool type_wanted = type >= 0 && type < 32 && ((types_ >> type) & 1u) != 0;
  if (level != kLogCritical && !(level <= level_ && type_wanted)) return;
  buffer_ += Timestamp();
  buffer_ += ' ';
  buffer_ += TypeName(type);
  buffer_ += ": ";
  buffer_ += message;
  buffer_ += "\r\n";
  FlushCheckUnlocked(level == kLogCritical);
}

void Log::Write(int type, int level, std::string_view message) {
  WriteUnlocked(type, level, message);
}

void Log::WriteFormatted(int type, int level, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const std::string message = FormatV(format, args);
  va_end(args);
  Write(type, level, message);
}

void Log::OpenFile() {
  file_ = std::fopen(FileName().c_str(), "ab");
  if (file_ != nullptr) file_ever_opened_ = true;
}

void Log::FlushCheckUnlocked(bool force) {
  if (file_ == nullptr) OpenFile();
  const std::time_t now = clock_.Now();
  if (!force && now - last_flush_ <= flush_period_ &&
      static_cast<long>(buffer_.size() / 1024) <= flush_size_kb_) {
    return;
  }
  if (file_ == nullptr) return;
  const bool written = std::fwrite(buffer_.data(), 1, buffer_.size(), file_) == buffer_.size() &&
                       std::fflush(file_) == 0;
  // Closing after every write lets other programs read, move or delete the
  // file between flushes.
  std::fclose(file_);
  OpenFile();
  last_flush_ = now;
  // Lines that did not reach the disk wait for the next flush, unless they
  // pile up past the flush size, when the oldest are the ones to give.
  if (!written &&
      buffer_.size() / 1024 <= static_cast<std::size_t>(std::max(flush_size_kb_, 64L))) {
    return;
  }
  written_ += static_cast<long long>(buffer_.size());
  if (written_ / 1024 > max_size_kb_) Rotate();
  buffer_.clear();
}

void Log::FlushCheck(bool force) { FlushCheckUnlocked(force); }

void Log::Rotate() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  std::error_code ignored;
  std::filesystem::remove(RotatedFileName(history_ - 1), ignored);
  for (long n = history_ - 2; n >= 0; --n) {
    const std::string from = RotatedFileName(n);
    if (std::filesystem::exists(from, ignored)) MoveFile(from, RotatedFileName(n + 1));
  }
  // A failed move keeps the count, so the next flush tries again.
  if (MoveFile(FileName(), RotatedFileName(0))) written_ = 0;
  OpenFile();
}

LogSettings ReadLogSettings(const SettingsStore& store, const XmlNode* root,
                            std::string_view section_uid, const LogSettings& current) {
  // Each read leaves its output as it was (or at the default) when the
  // descriptor lacks the setting, which is the rule above.
  LogSettings settings = current;
  int32_t level = current.level;
  static_cast<void>(GetChoice(store, root, SettingAddress{"loglevel", section_uid}, &level));
  settings.level = level;
  uint32_t types = current.types;
  static_cast<void>(GetFlags(store, root, SettingAddress{"logtypes", section_uid}, &types));
  settings.types = types;

  const auto number = [&](const char* uid) {
    int32_t value = 0;
    static_cast<void>(GetNumber(store, root, SettingAddress{uid, section_uid}, &value));
    return long{value};
  };
  settings.max_size_kb = number("logmaxsize");
  settings.history = number("loghistory");
  settings.flush_size_kb = number("logflushsize");
  int32_t period = static_cast<int32_t>(current.flush_period);
  static_cast<void>(GetLong(store, root, SettingAddress{"logflushperiod", section_uid}, &period));
  settings.flush_period = period;
  return settings;
}

LogSettings Log::Settings() const {
  return LogSettings{level_, types_, max_size_kb_, history_, flush_size_kb_, flush_period_};
}

void Log::ConfigureUnlocked(const LogSettings& settings) {
  level_ = settings.level < kLogCritical ? kLogCritical : settings.level;
  types_ = settings.types;
  max_size_kb_ = settings.max_size_kb;
  history_ = settings.history;
  flush_size_kb_ = settings.flush_size_kb;
  flush_period_ = settings.flush_period;

  // The closing bracket belongs to "Service" only; readers of the log know
  // the line in this form.
  std::string types_text = "[";
  for (int type = 0; type <= kLogConfig; ++type) {
    if ((types_ >> type) & 1u) {
      types_text += kTypeNames[type];
      types_text += '|';
    }
  }
  if ((types_ >> kLogService) & 1u) types_text += "Service]";

  const std::string line = Format(
      "Log configuration (Level %s, Types %s, MaxSizeKBytes %ld, History %ld, "
      "FlushSizeKBytes %ld, Flush Period %ld)",
      LevelName(level_), types_text.c_str(), max_size_kb_, history_, flush_size_kb_, flush_period_);
  WriteUnlocked(kLogConfig, kLogVerbose, line);
}

void Log::Configure(const LogSettings& settings) { ConfigureUnlocked(settings); }

void Log::Configure(const SettingsStore& store, const XmlNode* root, std::string_view section_uid) {
  Configure(ReadLogSettings(store, root, section_uid, Settings()));
}

void Log::Finish() {
  if (!file_ever_opened_) return;
  if (start_end_lines_) buffer_ += Format("%s %s Log ended.", Timestamp().c_str(), name_.c_str());
  buffer_ += "\r\n";
  FlushCheckUnlocked(true);
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  file_ever_opened_ = false;
}

LockingLog::~LockingLog() {
  std::lock_guard<std::mutex> hold(mutex_);
  Finish();
}

void LockingLog::Configure(const LogSettings& settings) {
  std::lock_guard<std::mutex> hold(mutex_);
  ConfigureUnlocked(settings);
}

void LockingLog::Write(int type, int level, std::string_view message) {
  std::lock_guard<std::mutex> hold(mutex_);
  WriteUnlocked(type, level, message);
}

void LockingLog::FlushCheck(bool force) {
  std::lock_guard<std::mutex> hold(mutex_);
  FlushCheckUnlocked(force);
}

}  // namespace vossik
