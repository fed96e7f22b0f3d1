#include "app/admin_command.h"

#include <sys/stat.h>

#include <cstdlib>

#include "base/ascii_case.h"
#include "base/file_io.h"
#include "settings/typed_settings.h"
#include "xml/xml_escaping.h"

namespace vossik {
namespace {

constexpr const char* kProgram = "vossik";
constexpr const char* kDefaultHost = "127.0.0.1";
constexpr const char* kDefaultLogLines = "20";

int ExitOf(AdminResult result) { return static_cast<int>(result); }

// The text of the element `name` of a reply that the service wrote, decoded
// back to the bytes it escaped. Empty when the reply has no such element.
std::string ElementText(std::string_view reply, std::string_view name) {
  const std::string open = "<" + std::string(name) + ">";
  const std::string close = "</" + std::string(name) + ">";
  const std::size_t start = reply.find(open);
  const std::size_t end = reply.rfind(close);
  if (start == std::string_view::npos || end == std::string_view::npos ||
      end < start + open.size()) {
    return {};
  }
  std::string text;
  AppendDecoded(text, reply.substr(start + open.size(), end - start - open.size()));
  return text;
}

void PrintText(std::ostream& out, const std::string& text) {
  out << text;
  if (!text.empty() && text.back() != '\n') out << '\n';
}

class AdminCommand {
 public:
  AdminCommand(AdminClient& client, std::string address, std::ostream& out, std::ostream& err)
      : client_(client), address_(std::move(address)), out_(out), err_(err) {}

  int Run(const std::vector<std::string>& args);

 private:
  int Fail(AdminResult result, std::string_view what) {
    err_ << kProgram << ": " << what << ": " << AdminResultText(result) << "\n";
    return ExitOf(result);
  }
  int BadArgument(std::string_view message) {
    err_ << kProgram << ": " << message << "\n";
    return ExitOf(AdminResult::kBadArgument);
  }
  int Status();
  int Control(std::string_view action, bool (AdminClient::*control)(AdminResult*),
              std::string_view done);
  int Start();
  int GetConfig(const std::vector<std::string>& args);
  int SetConfig(const std::vector<std::string>& args);
  int Generic(std::string_view action, std::string_view query, std::string* body,
              std::string_view what);

  AdminClient& client_;
  std::string address_;
  std::ostream& out_;
  std::ostream& err_;
};

int AdminCommand::Status() {
  AdminResult error = AdminResult::kOk;
  const ServiceState state = client_.GetStatus(&error);
  if (error != AdminResult::kOk) {
    out_ << ServiceStateWord(ServiceState::kUnknown) << ": cannot ask the service at " << address_
         << " (" << AdminResultText(error) << ")\n";
    return ExitOf(error);
  }
  out_ << ServiceStateWord(state) << "\n";
  return 0;
}

int AdminCommand::Control(std::string_view action, bool (AdminClient::*control)(AdminResult*),
                          std::string_view done) {
  // A refused local control call leaves the error as it was.
  AdminResult error = AdminResult::kControlFailed;
  if (!(client_.*control)(&error)) {
    return Fail(error, "cannot " + std::string(action) + " the service at " + address_);
  }
  out_ << done << "\n";
  return 0;
}

int AdminCommand::Start() {
  const AdminResult result = client_.Start();
  if (result == AdminResult::kNoLocalService) {
    err_ << kProgram << ": no Vossik service is installed on this machine; "
         << "start vossikd by hand, or install the package's vossik.service\n";
    return ExitOf(result);
  }
  if (result != AdminResult::kOk) return Fail(result, "cannot start the service");
  out_ << "Started\n";
  return 0;
}

int AdminCommand::GetConfig(const std::vector<std::string>& args) {
  if (args.size() > 2) return BadArgument("getconfig takes at most one file name");
  std::string text;
  if (args.size() == 1) {
    const AdminResult result = client_.GetConfiguration(&text, -1);
    if (result != AdminResult::kOk) {
      return Fail(result, "cannot get the configuration of the service at " + address_);
    }
    out_ << text;
    return 0;
  }
  // A file that is there already is fetched only when the service's
  // configuration is newer.
  const std::string& file = args[1];
  struct stat info {};
  const std::time_t stamp = stat(file.c_str(), &info) == 0 && info.st_size > 0 ? info.st_mtime : -1;
  const AdminResult result = client_.GetConfiguration(&text, stamp);
  if (result == AdminResult::kNotModified) {
    out_ << file << " is up to date\n";
    return ExitOf(result);
  }
  if (result != AdminResult::kOk) {
    return Fail(result, "cannot get the configuration of the service at " + address_);
  }
  std::string reason;
  if (!ReplaceFileAtomically(file, text, &reason)) {
    return BadArgument(FileErrorText("write", file, reason));
  }
  out_ << "Saved the configuration of the service at " << address_ << " to " << file << "\n";
  return 0;
}

int AdminCommand::SetConfig(const std::vector<std::string>& args) {
  if (args.size() != 2) return BadArgument("setconfig needs the configuration file to send");
  std::string text;
  std::string reason;
  if (!ReadWholeFile(args[1], &text, &reason)) {
    return BadArgument(FileErrorText("read", args[1], reason));
  }
  const AdminResult result = client_.SetConfiguration(text);
  if (result == AdminResult::kBadArgument) return BadArgument(args[1] + " is empty");
  if (result == AdminResult::kCommFailure) {
    // The protocol does not tell a refusal from a failure to reach the service.
    err_ << kProgram << ": the service at " << address_ << " did not take " << args[1]
         << ": it refused it or could not be reached (its log says which)\n";
    return ExitOf(result);
  }
  if (result != AdminResult::kOk) return Fail(result, "cannot send the configuration");
  out_ << "The service at " << address_ << " took the configuration of " << args[1] << "\n";
  return 0;
}

int AdminCommand::Generic(std::string_view action, std::string_view query, std::string* body,
                          std::string_view what) {
  const AdminResult result = client_.GenericRequest(action, -1, query, false, body);
  if (result == AdminResult::kOk) return 0;
  return Fail(result, std::string(what));
}

int AdminCommand::Run(const std::vector<std::string>& args) {
  const std::string action = AsciiLowered(args.front());
  const auto arguments = [&args](std::size_t least, std::size_t most) {
    return args.size() >= least + 1 && args.size() <= most + 1;
  };
  if (action == "status" && arguments(0, 0)) return Status();
  if (action == "stop" && arguments(0, 0)) return Control("stop", &AdminClient::Stop, "Stopping");
  if (action == "pause" && arguments(0, 0)) return Control("pause", &AdminClient::Pause, "Paused");
  if (action == "continue" && arguments(0, 0)) {
    return Control("continue", &AdminClient::Continue, "Running");
  }
  if (action == "start" && arguments(0, 0)) return Start();
  if (action == "getconfig") return GetConfig(args);
  if (action == "setconfig") return SetConfig(args);

  std::string body;
  if (action == "build" && arguments(0, 0)) {
    const int status = Generic("BUILD", {}, &body, "cannot start a build at " + address_);
    if (status == 0) out_ << "Build requested\n";
    return status;
  }
  if (action == "log" && arguments(1, 2)) {
    const std::string lines = args.size() > 2 ? args[2] : kDefaultLogLines;
    if (lines.empty() || lines.find_first_not_of("0123456789") != std::string::npos) {
      return BadArgument("the number of lines must be a whole number, not \"" + lines + "\"");
    }
    const int status = Generic("GETLOG", "&log=" + args[1] + "&lines=" + lines, &body,
                               "cannot read the log " + args[1] + " of the service at " + address_);
    if (status == 0) PrintText(out_, ElementText(body, "data"));
    return status;
  }
  if (action == "stats" && arguments(0, 0)) {
    const int status =
        Generic("GETSTATS", {}, &body, "cannot read the statistics of the service at " + address_);
    if (status == 0) PrintText(out_, ElementText(body, "statistics"));
    return status;
  }
  if (action == "request" && arguments(1, 2)) {
    std::string query = args.size() > 2 ? args[2] : std::string();
    if (!query.empty() && query.front() != '&') query.insert(0, "&");
    const int status = Generic(args[1], query, &body, args[1] + " at " + address_);
    if (status == 0) PrintText(out_, body);
    return status;
  }
  return BadArgument("cannot run -admin " + args.front() + " with " +
                     std::to_string(args.size() - 1) + " argument(s); the actions are:\n" +
                     AdminActionsText());
}

}  // namespace

const char* AdminActionsText() {
  return "  status                  print Running, Paused, Stopped or Unknown\n"
         "  stop, pause, continue   stop, pause or continue the service\n"
         "  start                   start the service installed on this machine\n"
         "  getconfig [FILE]        print the configuration, or save it to FILE\n"
         "  setconfig FILE          send FILE as the service's configuration\n"
         "  build                   build the index now\n"
         "  log NAME [LINES]        print the end of the log NAME (Vossik, Indexing)\n"
         "  stats                   print the build statistics\n"
         "  request ACTION [QUERY]  send any action and print the reply\n";
}

int RunAdminCommand(const SettingsStore& settings, const XmlNode* descriptor,
                    std::string_view service_name, const std::vector<std::string>& args,
                    std::ostream& out, std::ostream& err, LocalServiceOpener opener) {
  if (args.empty()) {
    err << kProgram << ": -admin needs an action:\n" << AdminActionsText();
    return ExitOf(AdminResult::kBadArgument);
  }
  std::string host;
  int32_t port = 0;
  std::string password;
  static_cast<void>(GetString(settings, descriptor, {.uid = "service:host"}, &host));
  if (host.empty()) host = kDefaultHost;
  static_cast<void>(GetNumber(settings, descriptor, {.uid = "service:port"}, &port));
  static_cast<void>(GetSecret(settings, descriptor, {.uid = "administrator:password"}, &password));

  AdminClient client(std::move(opener));
  const std::string address = host + ":" + std::to_string(port);
  const int initialised = client.Initialise(service_name, host, port);
  if ((initialised != kClientReady && initialised != kClientNoServiceManager) ||
      (!client.HasTransport() && !client.HasLocalService())) {
    err << kProgram << ": service:host and service:port (" << address
        << ") do not name a service\n";
    return ExitOf(AdminResult::kBadArgument);
  }
  client.SetPassword(std::move(password));
  return AdminCommand(client, address, out, err).Run(args);
}

}  // namespace vossik
