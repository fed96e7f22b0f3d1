// ServiceConfiguration is where the administration window's settings come
// from and go: the administered service's configuration, fetched through
// the service bar (GETCONFIG), kept in a local copy named after the
// service's host and port ("HOST.PORT.cfg" beside the folder "HOST.PORT"),
// edited in a store of its own, and sent back (SETCONFIG) on Apply.
//
// The copy is the only place where changes that could not be sent are kept:
// Apply always saves it first, so its modification time is newer than the
// service's configuration, and the next load (asking GETCONFIG with that
// time) gets "not modified" and sends the copy back.
//
// The source owns the edited store; the bar, the main store (the program's
// own, holding the connection settings) and the descriptor belong to the
// caller and must outlive it. User-interface thread only.
#pragma once

#include <memory>
#include <string>

#include "ui/sheet_configuration.h"

namespace vossik {

class ServiceBar;
class SettingsStore;
class XmlNode;

/// Texts of the transfer's questions and warnings.
inline constexpr char kCouldNotContactText[] =
    "Couldn't contact service.\n Please check host and port settings and check that the service "
    "is running.";
inline constexpr char kNotSentText[] =
    "Could not contact Service.\nYour configuration settings have not been sent to the "
    "service.\nThey will be saved and sent next time you are able to connect to the service.";
inline constexpr char kDiskErrorTitle[] = "Disk Error";

/// "HOST.PORT": the name of the local copy (with ".cfg") and of the folder
/// of the service's other local files. Characters that could lead out of
/// the working folder ("/", "\") become "_".
std::string CopyNameFor(const std::string& host, long port);

/// "local:PORT" for 127.0.0.1, else "HOST:PORT".
std::string ConnectionLabelFor(const std::string& host, long port);

class ServiceConfiguration : public SheetConfigurationSource {
 public:
  /// `admin_version` is what Apply records as "AdminVersion" (version "."
  /// build); `service_name` the name the service is installed under here.
  ServiceConfiguration(ServiceBar& bar, SettingsStore& main_store, const XmlNode* descriptor,
                       std::string service_name, std::string product_name,
                       std::string admin_version);
  ~ServiceConfiguration() override;

  /// Connects the bar to the service the main store names and makes the
  /// copy's folder. Call once, before the sheet is set up.
  void Prepare();

  SettingsStore* LoadConfiguration(CGUIPropertySheet& sheet) override;
  /// Saves the copy with "AdminVersion", sends it when the sheet has
  /// changes, and saves the main store. Fails (keeping the changes marked)
  /// when there is no client and the user gives up, or when the copy could
  /// not be saved and the service did not take the configuration either.
  bool ApplyConfiguration(CGUIPropertySheet& sheet, SettingsStore& store) override;
  void DiscardChanges(CGUIPropertySheet& sheet, SettingsStore& store) override;
  void Closing(CGUIPropertySheet& sheet) override;
  /// The copy's folder ("." before there is one).
  std::string WorkingFolder() const override;

  const std::string& CopyName() const { return copy_name_; }
  std::string CopyPath() const { return copy_name_ + ".cfg"; }
  /// The store the pages edit; null while there is none.
  SettingsStore* EditedStore() const { return edited_.get(); }

 private:
  void FormCopyName();
  bool LoadLocalCopy(CGUIPropertySheet& sheet);
  void StoreReceived(CGUIPropertySheet& sheet, const std::string& text);
  [[nodiscard]] bool WriteCopy(const std::string& text);
  void ResetPages(CGUIPropertySheet& sheet);
  void UpdateSheetIcons(CGUIPropertySheet& sheet);
  void ShowConnectionInTitle(CGUIPropertySheet& sheet);
  void DropEditedStore();

  ServiceBar& bar_;
  SettingsStore& main_store_;
  const XmlNode* descriptor_;
  std::string service_name_;
  std::string product_name_;
  std::string admin_version_;
  std::string copy_name_;
  std::unique_ptr<SettingsStore> edited_;
  // The store the pages held before the last load, kept until the next one:
  // the sheet hands the pages their new store only after the load returns.
  std::unique_ptr<SettingsStore> retired_;
};

}  // namespace vossik
