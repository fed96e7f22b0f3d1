// SettingControl is the common base of every setting control on a settings
// page: it binds one `parameter` element of the page to its setting in the
// SettingsStore, owns the control's window (a ControlCell), and carries the
// rules by which values are loaded and saved (plain or encrypted text,
// `alternate`, `defaultfrom`, switches) and by which view preferences are kept.
//
// A control type is a CellControl over its cell type (cell_control.h),
// which builds the cell in MakeCell(); when its stored value is not the
// cell's text, the type derives from it and overrides ExchangeValue(). The page owns its controls;
// a control owns its cell (the cell is a child window of the page and is deleted with the control).
// Everything runs on the user-interface thread.
#pragma once

#include <QEvent>
#include <QPointer>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings/parameter_ref.h"
#include "settings/typed_settings.h"
#include "ui/page_layout.h"
#include "ui/posted_events.h"

class QWidget;

namespace vossik {

class CGUIPropertyPage;
class CGUIPropertySheet;
class ControlCell;
class SettingControl;
class SettingsStore;
class XmlNode;

/// Posted by a control to its page each time its value changes.
class ControlChangedEvent : public QEvent {
 public:
  explicit ControlChangedEvent(const SettingControl* control)
      : QEvent(kControlChangedEvent), control_(control) {}
  /// Compared only, never followed: the control may be gone when the event
  /// arrives.
  const SettingControl* Control() const { return control_; }

 private:
  const SettingControl* control_;
};

/// The section of the preferences store that keeps view state.
inline constexpr std::string_view kPreferencesSection = "Preferences";

class SettingControl {
 public:
  SettingControl();
  virtual ~SettingControl();
  SettingControl(const SettingControl&) = delete;
  SettingControl& operator=(const SettingControl&) = delete;

  // -- Binding (before Create) ----------------------------------------------

  /// The store holding the values (may be null: nothing is loaded or saved)
  /// and the descriptor root used to resolve other uids.
  void Bind(SettingsStore* store, const XmlNode* root);
  /// The owning sheet (may be null): entry indices, main window, messages.
  void SetSheet(CGUIPropertySheet* sheet);
  void SetPreferences(SettingsStore* preferences);
  void SetWorkingFolder(std::string folder);

  /// Builds the cell as a child of `page` with the initial rectangle and
  /// returns the next unused child-window identifier (`first_id` plus the
  /// number of child windows the cell made). `uid` is the page parameter's
  /// `uid`; `ref` joins its page element, definition and type.
  int Create(CGUIPropertyPage* page, const ParameterRef& ref, std::string uid, const Rect& initial,
             int first_id);

  /// Loads the value from the store (`save` false) or saves it (true).
  /// Without a store nothing happens. The default is the text rule.
  virtual void ExchangeValue(bool save);

  /// Whether the control stores a value at all (static texts and buttons do not).
  virtual bool HoldsValue() const { return true; }

  // -- Identity and descriptor lookups --------------------------------------

  const std::string& Uid() const { return uid_; }
  const ParameterRef& Ref() const { return ref_; }
  /// The cell, or nullptr before Create() (or once Qt has deleted it).
  ControlCell* Cell() const;
  CGUIPropertyPage* Page() const { return page_; }
  CGUIPropertySheet* Sheet() const { return sheet_; }
  SettingsStore* Store() const { return store_; }
  const XmlNode* Root() const { return root_; }
  SettingsStore* Preferences() const { return preferences_; }
  const std::string& WorkingFolder() const { return working_folder_; }

  /// An attribute of the page element, else the definition, else the type.
  const std::string* Attribute(std::string_view name) const;
  /// A child element looked up in the same order (each searched depth-first).
  const XmlNode* Child(std::string_view name) const;
  const std::string* ChildText(std::string_view name) const;
  /// An attribute, else a child's text: for inputs the descriptor may give
  /// either way. nullptr when neither exists.
  const std::string* Property(std::string_view name) const;
  /// Property() read by the descriptor's boolean rule; `fallback` when absent.
  bool BoolProperty(std::string_view name, bool fallback = false) const;
  /// Property() read as a decimal number; `fallback` when absent.
  long NumberProperty(std::string_view name, long fallback) const;

  /// `name`, "" when absent.
  std::string Name() const;
  /// The text of `hint`, "" when absent.
  std::string Hint() const;
  /// The name with every "&" doubled, then ":".
  std::string LabelText() const;
  /// `lines` (1 when absent or below 1).
  int Lines() const;
  bool Encrypted() const { return BoolProperty("encrypted"); }
  /// A control whose `required` attribute is "true" must hold a value
  /// before a wizard moves on (see CGUIPropertyPage::LacksRequiredValue).
  bool Required() const { return BoolProperty("required"); }
  /// Whether the control shows a value now, saved or not: the text of a
  /// text input, of an editable or chosen list item; true for the others.
  virtual bool ShowsValue() const;

  // -- Flags set by the page ------------------------------------------------

  void SetRefreshOnChange(bool on) { refresh_on_change_ = on; }
  void SetRepaintOnChange(bool on) { repaint_on_change_ = on; }
  void SetGrowing(bool on) { growing_ = on; }
  bool RefreshOnChange() const { return refresh_on_change_; }
  bool RepaintOnChange() const { return repaint_on_change_; }
  bool Growing() const { return growing_; }

  // -- Value rules ----------------------------------------------------------

  /// The address of this control's setting at the sheet's entry indices,
  /// with the page element consulted first.
  SettingAddress Address() const;
  /// Another setting (named by an attribute such as `alternate`) at the
  /// same entry indices.
  SettingAddress AddressOf(std::string_view uid) const;
  int EntryIndex() const;
  int EntrySubIndex() const;

  /// The text to show: the stored value, else `alternate`, `defaultfrom`
  /// and the descriptor default in that order of precedence. Secret when
  /// `encrypted`. "" without a store.
  std::string LoadText() const;
  /// Stores `text` (secret when `encrypted`) unless it only repeats the
  /// unstored `defaultfrom` value; then empties `alternate`. False when
  /// nothing was stored.
  bool SaveText(std::string_view text);
  /// The switch, falling back to `alternate` when this one is not stored.
  bool LoadSwitch() const;
  /// Stores 1 or 0, then 0 in `alternate`.
  void SaveSwitch(bool on);
  /// Whether the store holds a value for this control's setting.
  bool HasStoredValue() const;

  // -- Preferences ----------------------------------------------------------
  // Kept in the preferences store under section "Preferences", key uid +
  // suffix. Reads fall back to `fallback`; writes save the store at once.

  std::string GetPreference(std::string_view suffix, std::string_view fallback = {}) const;
  long GetPreferenceNumber(std::string_view suffix, long fallback) const;
  bool GetPreferenceSwitch(std::string_view suffix, bool fallback) const;
  void SetPreference(std::string_view suffix, std::string_view value);
  void SetPreferenceNumber(std::string_view suffix, long value);
  void SetPreferenceSwitch(std::string_view suffix, bool on);

  // -- Change reporting -----------------------------------------------------

  /// Tells the page that the value changed (posted, so the page handles it
  /// after the input has finished with the key).
  void ReportChange();
  /// While true (set around loading), inputs that echo programmatic changes
  /// must not report them.
  bool Loading() const { return loading_; }

  // -- Keys inside the control (Delete, Enter, F5, Ctrl+A) ------------------
  // The page's key handling calls these; most types have nothing to do.

  virtual void DeleteAction() {}
  virtual void EnterAction() {}
  virtual void RefreshAction() {}
  virtual void SelectAllAction() {}

  /// Enables or disables every child window of the cell; enabling takes the
  /// sheet's working folder again.
  virtual void SetEnabled(bool enable);

 protected:
  /// Builds the cell and its child windows as a child of `parent`.
  virtual ControlCell* MakeCell(QWidget* parent) = 0;

  /// Runs `load` with Loading() true.
  template <typename F>
  void WhileLoading(F&& load) {
    const bool was = loading_;
    loading_ = true;
    load();
    loading_ = was;
  }

 private:
  std::string ReadText(std::string_view uid, bool secret, int* result) const;

  ParameterRef ref_;
  std::string uid_;
  SettingsStore* store_ = nullptr;
  const XmlNode* root_ = nullptr;
  CGUIPropertySheet* sheet_ = nullptr;
  CGUIPropertyPage* page_ = nullptr;
  SettingsStore* preferences_ = nullptr;
  std::string working_folder_ = ".";
  QPointer<ControlCell> cell_;
  bool refresh_on_change_ = false;
  bool repaint_on_change_ = false;
  bool growing_ = false;
  bool loading_ = false;
};

}  // namespace vossik
