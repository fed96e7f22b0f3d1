#include "ui/service_configuration.h"

#include <sys/stat.h>

#include <QMetaObject>
#include <filesystem>
#include <system_error>

#include "base/file_io.h"
#include "base/result_codes.h"
#include "settings/settings_store.h"
#include "settings/typed_settings.h"
#include "ui/control_cell.h"
#include "ui/message_box.h"
#include "ui/property_page.h"
#include "ui/property_sheet.h"
#include "ui/service_bar.h"
#include "xml/xml_document.h"

namespace vossik {
namespace {

constexpr char kLocalHost[] = "127.0.0.1";

// The copy's modification time when it is a file that holds something,
// else 0 (which asks the service for its configuration whatever its age).
std::time_t CopyTime(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0) return 0;
  return info.st_mtime;
}

std::string CopyFileText(const char* what, const std::string& path) {
  return std::string("Couldn't open local configuration file copy '") + path + "' for " + what +
         ".\n Please check disk space, permissions, and that another program hasn't got it open.";
}

}  // namespace

std::string CopyNameFor(const std::string& host, long port) {
  std::string name = host;
  for (char& c : name) {
    if (c == '/' || c == '\\') c = '_';
  }
  if (name.empty() || name == "." || name == "..") name = "_" + name;
  return name + "." + std::to_string(port);
}

std::string ConnectionLabelFor(const std::string& host, long port) {
  if (host == kLocalHost) return "local:" + std::to_string(port);
  return host + ":" + std::to_string(port);
}

ServiceConfiguration::ServiceConfiguration(ServiceBar& bar, SettingsStore& main_store,
                                           const XmlNode* descriptor, std::string service_name,
                                           std::string product_name, std::string admin_version)
    : bar_(bar),
      main_store_(main_store),
      descriptor_(descriptor),
      service_name_(std::move(service_name)),
      product_name_(std::move(product_name)),
      admin_version_(std::move(admin_version)) {}

ServiceConfiguration::~ServiceConfiguration() = default;

void ServiceConfiguration::Prepare() {
  bar_.Connect(service_name_, descriptor_, &main_store_);
  FormCopyName();
}

void ServiceConfiguration::FormCopyName() {
  std::string host;
  long port = 0;
  if (bar_.HasClient() && !bar_.Host().empty()) {
    host = bar_.Host();
    port = bar_.Port();
  } else {
    // Without a usable address, the copy of the service the settings name.
    int32_t number = 0;
    static_cast<void>(GetString(main_store_, descriptor_, {.uid = "service:host"}, &host));
    static_cast<void>(GetNumber(main_store_, descriptor_, {.uid = "service:port"}, &number));
    if (host.empty() || host == "localhost") host = kLocalHost;
    port = number;
  }
  copy_name_ = CopyNameFor(host, port);
  std::error_code ec;
  // A folder that cannot be made shows later, when a file is written into it.
  if (!std::filesystem::is_directory(copy_name_, ec)) {
    std::filesystem::create_directories(copy_name_, ec);
  }
}

std::string ServiceConfiguration::WorkingFolder() const {
  return copy_name_.empty() ? std::string(".") : copy_name_;
}

void ServiceConfiguration::DropEditedStore() { retired_ = std::move(edited_); }

// -- Load -------------------------------------------------------------------------

SettingsStore* ServiceConfiguration::LoadConfiguration(CGUIPropertySheet& sheet) {
  retired_.reset();
  FormCopyName();
  if (!bar_.HasClient()) {
    // Without a copy there is nothing to edit, but the window stays, so that
    // Connect can name a service that can be reached.
    std::error_code ec;
    if (std::filesystem::exists(CopyPath(), ec)) {
      static_cast<void>(LoadLocalCopy(sheet));
    } else {
      ResetPages(sheet);
    }
    UpdateSheetIcons(sheet);
    return edited_.get();
  }

  bar_.RefreshStatus();
  std::string text;
  AdminResult result = bar_.GetConfiguration(&text, CopyTime(CopyPath()));
  switch (result) {
    case AdminResult::kNotModified:
      // The copy is the newest configuration, perhaps with changes that
      // could not be sent before: it goes to the service.
      if (LoadLocalCopy(sheet)) {
        static_cast<void>(bar_.SetConfiguration(edited_->LastText()));
        ShowConnectionInTitle(sheet);
      }
      break;
    case AdminResult::kBadPassword:
      ResetPages(sheet);
      break;
    case AdminResult::kOk:
      StoreReceived(sheet, text);
      break;
    default:
      for (;;) {
        if (ShowAdminMessage(&sheet, MessageKind::kWarningRetry, product_name_,
                             kCouldNotContactText) != MessageAnswer::kRetry) {
          ResetPages(sheet);
          break;
        }
        result = bar_.GetConfiguration(&text, -1);
        if (result == AdminResult::kOk) {
          StoreReceived(sheet, text);
          break;
        }
      }
      break;
  }
  UpdateSheetIcons(sheet);
  return edited_.get();
}

void ServiceConfiguration::StoreReceived(CGUIPropertySheet& sheet, const std::string& text) {
  // An empty configuration block changes nothing, on disk or on the pages.
  if (text.empty()) return;
  if (!WriteCopy(text)) return;
  if (LoadLocalCopy(sheet)) ShowConnectionInTitle(sheet);
}

bool ServiceConfiguration::WriteCopy(const std::string& text) {
  for (;;) {
    if (ReplaceFileAtomically(CopyPath(), text)) return true;
    if (ShowMessageBox(nullptr, MessageKind::kWarningRetry, kDiskErrorTitle,
                       CopyFileText("writing", CopyPath())) != MessageAnswer::kRetry) {
      return false;
    }
  }
}

bool ServiceConfiguration::LoadLocalCopy(CGUIPropertySheet& sheet) {
  DropEditedStore();
  edited_ = std::make_unique<SettingsStore>();
  if (edited_->Load(CopyPath()) != kResultOk) {
    DropEditedStore();
    ShowMessageBox(&sheet, MessageKind::kWarning, kDiskErrorTitle,
                   CopyFileText("reading", CopyPath()));
    QMetaObject::invokeMethod(&sheet, &CGUIPropertySheet::Cancel, Qt::QueuedConnection);
    return false;
  }
  for (int i = 0; i < sheet.PageCount(); ++i) sheet.Page(i)->SetModified(false);
  sheet.SetModified(false);
  sheet.EnableAllPages(true);
  return true;
}

void ServiceConfiguration::ResetPages(CGUIPropertySheet& sheet) {
  DropEditedStore();
  for (int i = 0; i < sheet.PageCount(); ++i) {
    CGUIPropertyPage* page = sheet.Page(i);
    page->AttachStore(nullptr, descriptor_);
    if (!page->Permanent()) page->EnableControls(false);
  }
}

void ServiceConfiguration::ShowConnectionInTitle(CGUIPropertySheet& sheet) {
  const std::string label = ConnectionLabelFor(bar_.Host(), bar_.Port());
  bar_.SetConnectionLabel(label);
  sheet.window()->setWindowTitle(ToQString(product_name_ + " Administration [" + label + "]"));
}

void ServiceConfiguration::UpdateSheetIcons(CGUIPropertySheet& sheet) {
  const std::vector<const XmlNode*> sheets = sheet.SheetElements();
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    bool on = true;
    const XmlNode* first = sheets[i]->FindElement("parameter");
    const std::string* uid = first != nullptr ? first->Attribute("uid") : nullptr;
    if (edited_ && uid != nullptr && uid->find(":mainswitch") != std::string::npos) {
      bool value = true;
      // A switch that is not stored reads as on.
      if (GetSwitch(*edited_, descriptor_, {.uid = *uid}, &value) == kResultOk) on = value;
    }
    sheet.ShowSheetIcon(i, on);
  }
}

// -- Apply ------------------------------------------------------------------------

bool ServiceConfiguration::ApplyConfiguration(CGUIPropertySheet& sheet, SettingsStore& store) {
  store.SetValue("Default", "AdminVersion", admin_version_);
  bool saved = store.Save() == kResultOk;
  while (!saved &&
         ShowMessageBox(&sheet, MessageKind::kWarningRetry, kDiskErrorTitle,
                        CopyFileText("writing", store.FileName())) == MessageAnswer::kRetry) {
    saved = store.Save() == kResultOk;
  }

  bool kept = saved;
  if (sheet.HasChanges()) {
    // The text as just saved (or, when the copy could not be written, as it
    // would have been).
    const std::string text = store.LastText();
    AdminResult outcome = AdminResult::kCommFailure;
    bool accepted = bar_.SetConfiguration(text, &outcome);
    while (!accepted) {
      if (ShowAdminMessage(&sheet, MessageKind::kWarningRetry, product_name_,
                           kCouldNotContactText) != MessageAnswer::kRetry) {
        ShowAdminMessage(&sheet, MessageKind::kWarning, product_name_, kNotSentText);
        return false;
      }
      accepted = bar_.SetConfiguration(text, &outcome);
    }
    // A service that took the configuration has it even when the copy
    // could not be saved; otherwise only a saved copy keeps the changes.
    kept = saved || outcome == AdminResult::kOk;
  }

  if (!main_store_.FileName().empty() && main_store_.Save() != kResultOk) {
    ShowAdminMessage(&sheet, MessageKind::kWarning, product_name_,
                     "The configuration file '" + main_store_.FileName() +
                         "' could not be written.\nPlease check disk space and permissions.");
  }
  return kept;
}

void ServiceConfiguration::DiscardChanges(CGUIPropertySheet&, SettingsStore& store) {
  if (store.FileName().empty()) return;
  // A copy that can no longer be read leaves the store as it is; the window
  // is closing.
  static_cast<void>(store.Load(store.FileName()));
}

void ServiceConfiguration::Closing(CGUIPropertySheet&) { bar_.GoingAway(true); }

}  // namespace vossik
