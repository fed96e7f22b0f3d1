// Where the configuration that a settings sheet edits comes from, where its
// Apply takes it, and how a confirmed Cancel takes edits back: the seam
// between the sheet and configuration transfer.
//
// The sheet asks its source for the store to edit on event 2025, to keep
// the edits on event 2026, and to take them back on a confirmed Cancel.
// LocalConfiguration is the ordinary settings window's source: the
// application's own store and its file. A pop-up's source is its owner's
// store (popup_sheet.h). Administering a service adds a source that loads
// the service's configuration into a local copy and sends it back.
//
// Sources run on the user-interface thread only.
#pragma once

#include <string>

namespace vossik {

class CGUIPropertySheet;
class SettingsStore;

class SheetConfigurationSource {
 public:
  virtual ~SheetConfigurationSource() = default;

  /// Event 2025: the store the pages are to edit (nullptr: none yet).
  virtual SettingsStore* LoadConfiguration(CGUIPropertySheet& sheet) = 0;
  /// Event 2026: keeps the edits in `store` (saves it, sends it on); true
  /// when that succeeded, which clears the sheet's modified flag. A failure
  /// is reported to the user here. A main sheet then posts event 1688 to
  /// its main window when something had changed.
  virtual bool ApplyConfiguration(CGUIPropertySheet& sheet, SettingsStore& store) = 0;
  /// A confirmed Cancel: takes back the edits in `store` not yet applied.
  virtual void DiscardChanges(CGUIPropertySheet& sheet, SettingsStore& store) = 0;
  /// The sheet's window is going away.
  virtual void Closing(CGUIPropertySheet& sheet) = 0;
  /// The folder controls work in ("." for the local program).
  virtual std::string WorkingFolder() const = 0;
};

/// The application's own store, saved to its file by Apply and read from
/// it again by Cancel. The store is not owned and may be null (nothing to
/// edit).
class LocalConfiguration : public SheetConfigurationSource {
 public:
  explicit LocalConfiguration(SettingsStore* store) : store_(store) {}

  SettingsStore* LoadConfiguration(CGUIPropertySheet& sheet) override;
  /// Saves `store`; when its file cannot be written, warns and fails.
  bool ApplyConfiguration(CGUIPropertySheet& sheet, SettingsStore& store) override;
  /// Reads the store's file again (a store without a file keeps its edits).
  void DiscardChanges(CGUIPropertySheet& sheet, SettingsStore& store) override;
  void Closing(CGUIPropertySheet& sheet) override;
  std::string WorkingFolder() const override { return "."; }

 private:
  SettingsStore* store_;
};

}  // namespace vossik
