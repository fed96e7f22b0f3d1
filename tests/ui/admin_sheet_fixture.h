// The administration window as vossikadmin builds it (a settings sheet with
// the service bar and the configuration transfer, showing the descriptor's
// `administration` sheets), over the program's own descriptor, in a
// temporary working folder, administering a real vossikd that runs in the
// sub-folder "service" on a port chosen up front. Message boxes are
// answered by `answer` and recorded as "title|text" in `messages`.
#pragma once

#include <QCoreApplication>
#include <QStringList>
#include <QtTest>
#include <functional>
#include <memory>
#include <string>

#include "base/result_codes.h"
#include "settings/config_descriptor.h"
#include "settings/settings_store.h"
#include "settings/typed_settings.h"
#include "support/running_vossikd.h"
#include "support/temp_dir.h"
#include "ui/message_box.h"
#include "ui/property_sheet.h"
#include "ui/service_bar.h"
#include "ui/service_configuration.h"
#include "xml/xml_document.h"

namespace vossik::testing {

inline constexpr char kAdminVersion[] = "1.1.0.000";

/// Answers as a careful user would: OK, No to questions, Cancel to retries.
inline MessageAnswer DefaultAnswer(MessageKind kind, const std::string&) {
  switch (kind) {
    case MessageKind::kQuestion:
      return MessageAnswer::kNo;
    case MessageKind::kWarningRetry:
    case MessageKind::kErrorRetry:
      return MessageAnswer::kCancel;
    default:
      return MessageAnswer::kOk;
  }
}

struct AdminSheetFixture {
  AdminSheetFixture() {
    dir.ChangeInto();
    ok = LoadBuiltDescriptor(&descriptor);
    port = FreeLoopbackPort();
    main_store.SetFileName("vossikadmin.cfg");
    previous_hook =
        SetMessageHook([this](MessageKind kind, const std::string& title, const std::string& text) {
          messages << QString::fromStdString(title + "|" + text);
          return answer(kind, text);
        });
  }
  ~AdminSheetFixture() {
    CloseWindow();
    SetMessageHook(previous_hook);
  }

  std::filesystem::path ServiceFolder() const { return dir.Path() / "service"; }

  /// Starts vossikd asking for `password` (none when empty).
  bool StartService(const std::string& password = {}) {
    if (!WriteServiceFolder(ServiceFolder(), port, password)) return false;
    service = std::make_unique<RunningVossikd>(ServiceFolder());
    return service->Port() == port;
  }

  /// Names the service to administer in vossikadmin.cfg.
  bool NameService(const std::string& host, int service_port, const std::string& password = {}) {
    main_store.Clear();
    main_store.SetFileName("vossikadmin.cfg");
    const std::string text =
        "[Service]\nHost=" + host + "\nPort=" + std::to_string(service_port) + "\n";
    if (main_store.Parse(text) != kResultOk) return false;
    if (!password.empty() && SetSecret(main_store, descriptor.Root(),
                                       {.uid = "administrator:password"}, password) != kResultOk) {
      return false;
    }
    return main_store.Save() == kResultOk;
  }

  /// Opens the window (the sheet, its bar and its transfer) and lets it
  /// load the configuration.
  void OpenWindow(ServiceBar::Environment environment = {}, const std::string& service_name = {}) {
    if (!environment.sleep) environment.sleep = [](std::chrono::milliseconds) {};
    sheet = std::make_unique<CGUIPropertySheet>(&main_store);
    bar = new ServiceBar("Vossik", std::move(environment));
    sheet->SetServiceBar(bar);
    transfer = std::make_unique<ServiceConfiguration>(*bar, main_store, descriptor.Root(),
                                                      service_name, "Vossik", kAdminVersion);
    sheet->SetConfigurationSource(transfer.get());
    sheet->SetSheetRoot(descriptor.Root()->FindElement("administration", nullptr, false));
    transfer->Prepare();
    sheet->SetUp("Vossik", "vossik", descriptor.Root());
    sheet->resize(760, 520);
    sheet->show();
    QCoreApplication::processEvents();  // event 2025 loads the configuration
    QCoreApplication::processEvents();  // event 2024 shows the state
  }

  /// Closes the window as the close box would, and lets it go.
  void CloseWindow() {
    if (!sheet) return;
    sheet->close();
    sheet.reset();
    transfer.reset();
    bar = nullptr;
  }

  template <typename T = QWidget>
  T* Find(const char* name) const {
    return sheet->findChild<T*>(name);
  }

  /// The service's configuration file as it is now.
  std::string ServiceConfigurationText() const { return ReadFile(ServiceFolder() / "vossikd.cfg"); }

  TempDir dir;
  bool ok = false;
  ConfigDescriptor descriptor;
  SettingsStore main_store;
  int port = 0;
  std::unique_ptr<RunningVossikd> service;
  std::unique_ptr<CGUIPropertySheet> sheet;
  ServiceBar* bar = nullptr;
  std::unique_ptr<ServiceConfiguration> transfer;
  QStringList messages;
  std::function<MessageAnswer(MessageKind, const std::string&)> answer = DefaultAnswer;
  MessageHook previous_hook;
};

}  // namespace vossik::testing
