// A real vossikd for the tests of the service data views, and a stand-in
// for the service bar that answers the views' requests through a real
// AdminClient. The service runs in a folder of its own over a small site,
// on a free loopback port, without a password (so only this machine is
// answered); it is killed with the fixture, and with the test program
// should that die first. Waits poll for their condition until a generous
// deadline instead of sleeping for a fixed time.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QStringList>
#include <QWidget>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <thread>

#include "admin/admin_client.h"
#include "base/message_kind.h"
#include "settings/settings_store.h"
#include "support/must_parse.h"
#include "support/temp_dir.h"
#include "ui/message_box.h"
#include "ui/property_page.h"
#include "ui/property_sheet.h"
#include "ui/service_requests.h"
#include "ui/sheet_configuration.h"
#include "xml/xml_document.h"

namespace vossik::testing {

inline constexpr auto kServiceDeadline = std::chrono::seconds(60);

/// Polls `done` (processing events between polls) until it holds or the
/// deadline passes.
inline bool WaitUntil(const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + kServiceDeadline;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    QCoreApplication::processEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

/// vossikd in `folder`/service, over the site `folder`/service/site.
class RunningVossikd {
 public:
  explicit RunningVossikd(const std::filesystem::path& folder) : folder_(folder / "service") {
    Write("site/index.html", "<title>Home</title>Welcome to the river walks");
    Write("site/docs/guide.html", "<title>Guide</title>Boots, maps and a flask of tea");
    Write("site/notes.txt", "Notes on the river");
    Write("vossikd.cfg", "[Index]\nDirSrc=" + (folder_ / "site").string() +
                             "\nDirDest=search\nTypeInclude=*.htm,*.txt\n[Service]\nPort=0\n"
                             // Builds come when a test asks for them, not
                             // when it changes the site.
                             "[Watch]\nDelay=3600\n");
    int pipe_fds[2];
    if (pipe2(pipe_fds, O_CLOEXEC) != 0) return;
    const pid_t parent = getpid();
    pid_ = fork();
    if (pid_ == 0) {
      // Gone with the test program, whatever ends it.
      prctl(PR_SET_PDEATHSIG, SIGKILL);
      if (getppid() != parent) _exit(126);
      dup2(pipe_fds[1], STDERR_FILENO);
      const std::string program = std::string(VOSSIK_BINARY_DIR) + "/vossikd";
      execl(program.c_str(), program.c_str(), "-C", folder_.c_str(), nullptr);
      _exit(127);
    }
    close(pipe_fds[1]);
    stderr_ = pipe_fds[0];
    // The service says where it listens once it is ready.
    const std::string marker = "listening on 127.0.0.1:";
    const auto deadline = std::chrono::steady_clock::now() + kServiceDeadline;
    while (output_.find('\n', output_.find(marker)) == std::string::npos) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      pollfd ready{stderr_, POLLIN, 0};
      if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) != 1) break;
      char buffer[512];
      const ssize_t got = read(stderr_, buffer, sizeof buffer);
      if (got <= 0) break;
      output_.append(buffer, static_cast<std::size_t>(got));
    }
    const std::size_t at = output_.find(marker);
    if (at != std::string::npos) port_ = std::stoi(output_.substr(at + marker.size()));
  }
  ~RunningVossikd() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (stderr_ >= 0) close(stderr_);
  }
  RunningVossikd(const RunningVossikd&) = delete;
  RunningVossikd& operator=(const RunningVossikd&) = delete;

  int Port() const { return port_; }
  const std::string& Output() const { return output_; }
  const std::filesystem::path& Folder() const { return folder_; }

  /// Writes `text` to `relative` in the service's folder (the site is "site").
  void Write(const std::string& relative, const std::string& text) const {
    std::filesystem::create_directories((folder_ / relative).parent_path());
    std::ofstream((folder_ / relative).string(), std::ios::binary) << text;
  }

 private:
  std::filesystem::path folder_;
  pid_t pid_ = -1;
  int stderr_ = -1;
  int port_ = 0;
  std::string output_;
};

/// The service bar as the data views see it: every request goes to the
/// service through a real client, and is recorded as "ACTION|query|stamp".
class ClientServiceBar : public QWidget, public ServiceRequests {
 public:
  explicit ClientServiceBar(int port) {
    connected_ = client_.Initialise("", "127.0.0.1", port) == kClientReady;
  }

  AdminResult ServiceRequest(std::string_view action, std::time_t stamp,
                             std::string_view extra_query, std::string* reply) override {
    requests << QString::fromStdString(std::string(action) + "|" + std::string(extra_query) + "|" +
                                       std::to_string(stamp));
    if (!connected_) return AdminResult::kCommFailure;
    return client_.GenericRequest(action, stamp, extra_query, false, reply);
  }

  AdminClient& Client() { return client_; }
  bool Connected() const { return connected_; }

  QStringList requests;

 private:
  AdminClient client_;
  bool connected_ = false;
};

/// The product's descriptor as the local window reads it, or (with
/// `administration`) with the sheets of administration mode in place of the
/// local window's.
inline std::string ProductDescriptor(bool administration) {
  std::ifstream file(std::string(VOSSIK_TEST_DATA_DIR) + "/../../data/vossik.xml",
                     std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (!administration) return text;
  const std::size_t settings = text.find("<sheet name=\"Settings\">");
  const std::size_t settings_end = text.find("</sheet>", settings);
  if (settings == std::string::npos || settings_end == std::string::npos) return {};
  text.erase(settings, settings_end + 8 - settings);
  for (const std::string tag : {"<administration>", "</administration>"}) {
    const std::size_t at = text.find(tag);
    if (at == std::string::npos) return {};
    text.erase(at, tag.size());
  }
  return text;
}

/// The application's own store, with the local copies in a folder of the
/// test's choosing.
class FolderConfiguration : public LocalConfiguration {
 public:
  FolderConfiguration(SettingsStore* store, std::string folder)
      : LocalConfiguration(store), folder_(std::move(folder)) {}
  std::string WorkingFolder() const override { return folder_; }

 private:
  std::string folder_;
};

/// A settings sheet over `descriptor` and a real store, with `bar` (taken
/// by the sheet; may be null, as in the local window) and a preferences
/// store kept in "preferences.cfg" of the current folder. Message boxes are
/// answered OK and recorded as their texts in `messages`. The sheet is
/// shown, its first page has loaded (fetching its data), and with a bar
/// its pages are enabled as a connected bar leaves them.
struct DataViewSheet {
  explicit DataViewSheet(const std::string& descriptor, QWidget* bar = nullptr,
                         const std::string& working_folder = ".") {
    MustParse(document, descriptor);
    preferences.SetFileName("preferences.cfg");
    // Preferences of an earlier window are what the next one starts with.
    static_cast<void>(preferences.Load("preferences.cfg"));
    previous_hook =
        SetMessageHook([this](MessageKind, const std::string&, const std::string& text) {
          messages << QString::fromStdString(text);
          return MessageAnswer::kOk;
        });
    source = std::make_unique<FolderConfiguration>(&store, working_folder);
    sheet = std::make_unique<CGUIPropertySheet>(&store);
    sheet->SetConfigurationSource(source.get());
    if (bar != nullptr) sheet->SetServiceBar(bar);
    sheet->SetPreferences(&preferences);
    sheet->SetUp("Vossik", "vossik", document.Root());
    sheet->resize(640, 520);
    sheet->show();
    QCoreApplication::processEvents();  // event 2025 loads the first page
    // A bar enables the pages once it is connected to a service.
    if (bar != nullptr) sheet->EnableAllPages(true);
  }
  ~DataViewSheet() {
    sheet.reset();
    SetMessageHook(previous_hook);
  }
  DataViewSheet(const DataViewSheet&) = delete;
  DataViewSheet& operator=(const DataViewSheet&) = delete;

  template <typename T = QWidget>
  T* Find(const char* name) const {
    return sheet->findChild<T*>(name);
  }
  /// Loads the active page again, as a page change or a refresh does.
  void Reload() const {
    sheet->ActivePage()->ExchangeValues(false);
    QCoreApplication::processEvents();
  }

  XmlDocument document;
  SettingsStore store;
  SettingsStore preferences;
  std::unique_ptr<FolderConfiguration> source;
  std::unique_ptr<CGUIPropertySheet> sheet;
  QStringList messages;
  MessageHook previous_hook;
};

}  // namespace vossik::testing
