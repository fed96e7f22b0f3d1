// CGUIPropertySheet is the settings window built at run time from the
// configuration descriptor: one tab (a CGUIPropertyPage) per `page` of the
// current `sheet` element, a selector tree when there are several sheets,
// OK, Apply, Cancel and Help buttons, and in administration mode the
// service connection bar between the tabs and the buttons.
//
// Two helpers give the same sheet its other uses: a SheetWizard
// (sheet_wizard.h) makes it the first-run wizard, and popup_sheet.h hosts
// it in a pop-up window that edits a sub-definition for its owner.
//
// Values travel only through the settings store: event 2025 (posted to the
// sheet once it is set up) attaches the store, event 2026 (sent by Apply and
// OK) keeps it. Where the store comes from, where Apply takes it and how a
// Cancel takes edits back is the configuration source's business
// (sheet_configuration.h); without one the sheet edits the application's
// store and Apply writes its file.
//
// The sheet owns its pages and its wizard; the application store, the
// source and the main window are not owned. User-interface thread only.
#pragma once

#include <QIcon>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/control_factory.h"
#include "ui/page_layout.h"
#include "ui/sheet_configuration.h"
#include "ui/sheet_images.h"

class QPushButton;
class QShortcut;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace vossik {

class CGUIPropertyPage;
class SettingsStore;
class SheetWizard;
class XmlNode;

class CGUIPropertySheet : public QWidget {
  Q_OBJECT

 public:
  /// Shows the help page for (help base name, sheet name, page uid).
  using HelpHook = std::function<void(const std::string& help_base_name,
                                      const std::string& sheet_name, const std::string& page_uid)>;

  /// `application_store` is the application's own store (not owned).
  explicit CGUIPropertySheet(SettingsStore* application_store, QWidget* parent = nullptr);
  ~CGUIPropertySheet() override;

  // -- Set-up ---------------------------------------------------------------

  /// Switches to wizard mode for the wizard of `uid`; null is ignored. Call
  /// before SetUp().
  void SetWizardUid(const char* uid);
  /// Not owned, and must outlive the sheet; set before SetUp(). Without one
  /// the sheet edits the application store (LocalConfiguration).
  void SetConfigurationSource(SheetConfigurationSource* source);
  /// The service connection bar of administration mode, placed between the
  /// tabs and the buttons (hidden in a wizard); the sheet takes it as a
  /// child. With a bar, tabs start with their disabled icons and the bar
  /// switches them as the service's state changes. Set before SetUp().
  void SetServiceBar(QWidget* bar);
  QWidget* ServiceBar() const { return service_bar_; }
  /// The element whose `sheet`s the window shows instead of the descriptor
  /// root's, such as the `administration` element of administration mode
  /// (not owned; null: the descriptor root). Set before SetUp().
  void SetSheetRoot(const XmlNode* element) { chosen_sheet_root_ = element; }
  void SetHelpHook(HelpHook hook) { help_hook_ = std::move(hook); }
  /// Receives event 2591 from `messagebutton` controls.
  void SetMainWindow(QObject* main_window) { main_window_ = main_window; }
  QObject* MainWindow() const { return main_window_; }
  void SetApplicationControlFactory(ApplicationControlFactory factory);
  const ApplicationControlFactory& ApplicationFactory() const { return application_factory_; }
  /// The store that keeps the controls' view preferences (may be null).
  void SetPreferences(SettingsStore* preferences) { preferences_ = preferences; }
  SettingsStore* Preferences() const { return preferences_; }

  /// Builds the sheet from the descriptor and posts event 2025 to itself.
  /// `alternative_root`, when given, is where `wizard` elements are sought.
  bool SetUp(std::string product_name, std::string help_base_name, const XmlNode* root,
             const XmlNode* alternative_root = nullptr);
  /// Builds the sheet of a pop-up for `owner` from `element` (its sheets or
  /// pages), taking the owner's descriptor, names, hooks and factories; the
  /// controls address the given entry indices. Set the pop-up's
  /// configuration source first (popup_sheet.h does all of this).
  void SetUpPopup(const CGUIPropertySheet& owner, const XmlNode* element, int entry_index,
                  int entry_sub_index);

  // -- Sheets and pages -----------------------------------------------------

  /// Replaces the pages by those of the named sheet (none when missing).
  void ShowSheet(std::string_view name);
  /// The first `sheet` under the sheet root whose `name` is `name` exactly.
  const XmlNode* FindSheet(std::string_view name) const;
  /// The current sheet's name, or the first sheet's.
  std::string CurrentSheetName() const;

  int PageCount() const;
  CGUIPropertyPage* Page(int index) const;
  CGUIPropertyPage* ActivePage() const;
  int ActivePageIndex() const;
  /// Makes page `index` current; the page left commits its values and the
  /// page shown loads them.
  void ActivatePage(int index);
  /// The page registered for `key` in the shortcut table (lower-cased), or -1.
  int ShortcutPage(char key) const;

  /// Enables or disables every page's controls and shows the tab icons to match.
  void EnableAllPages(bool enable);
  /// Shows every tab's enabled (true) or disabled icon.
  void ShowTabIcons(bool enabled);
  /// Shows `page`'s enabled or disabled icon.
  void ShowPageIcon(CGUIPropertyPage* page, bool enabled);
  /// Shows the selector item of the `index`-th sheet with the sheet's own
  /// icon (true) or the disabled icon; nothing without a selector.
  void ShowSheetIcon(std::size_t index, bool enabled);
  /// The `sheet` elements under the sheet root, in document order.
  std::vector<const XmlNode*> SheetElements() const;
  /// The images of the tabs and the selector, in image-list order.
  const std::vector<QIcon>& Images() const { return images_.Images(); }

  /// Opens a framed window holding a new sheet for `element`, sharing this
  /// sheet's store; titled `title_prefix`, a blank and the element's `name`;
  /// its icon is `icon`, else the element's `icon` bitmap. The controls
  /// address the given entry indices. The window deletes itself when closed.
  CGUIPropertySheet* OpenPopup(const XmlNode* element, std::string_view title_prefix,
                               const QIcon& icon = QIcon(), int entry_index = -1,
                               int entry_sub_index = -1);

  // -- State ----------------------------------------------------------------

  SettingsStore* Store() const { return store_; }
  SettingsStore* ApplicationStore() const { return application_store_; }
  const XmlNode* Root() const { return root_; }
  const XmlNode* SheetRoot() const { return sheet_root_; }
  const std::string& ProductName() const { return product_name_; }
  const std::string& HelpBaseName() const { return help_base_name_; }
  std::string WorkingFolder() const;
  int EntryIndex() const { return entry_index_; }
  int EntrySubIndex() const { return entry_sub_index_; }
  bool WizardMode() const { return wizard_mode_; }
  /// The sheet that opened this pop-up; nullptr for a main sheet.
  const CGUIPropertySheet* Owner() const { return owner_; }
  bool SeveralSheets() const { return several_sheets_; }
  bool Modified() const { return modified_; }
  void SetModified(bool modified);
  /// Whether the sheet or any of its pages has changes not yet applied.
  bool HasChanges() const;
  /// Enables Apply while the sheet or any page has unapplied changes.
  void UpdateApplyButton();
  /// A required value on the active page was typed or cleared.
  void PageValuesChanged();
  TrackingSize Tracking() const;

  // -- Buttons --------------------------------------------------------------

  /// Whether the sheet has let its window close (OK, Finish or an answered Cancel).
  bool CloseApproved() const { return closing_handled_; }

  void Ok();
  void Apply();
  void Cancel();
  void ShowHelp();
  /// Sends event 2026 to the sheet and waits for it; true when it left no
  /// unapplied changes behind.
  bool SendApply();

 signals:
  /// The sheet asks its host window to close (also posted as a close).
  void CloseRequested();
  /// The selector showed another sheet or page; its tabs show their icons
  /// as a sheet without a service bar would (the bar then has its say).
  void SelectorShown();

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  /// The window goes away without OK or Cancel (the sheet is a window of
  /// its own): with a service bar, unapplied changes are first offered to
  /// be taken back, and the window closes whatever the answer.
  void closeEvent(QCloseEvent* event) override;

 private:
  SheetConfigurationSource& Source();
  void Initialise();
  void ShowSheetElement(const XmlNode* sheet);
  void ReadGuiSettings();
  void BuildImageList();
  void BuildSelector();
  void SetTabImages();
  void RegisterShortcuts();
  void SelectorChanged(QTreeWidgetItem* item);
  /// Gives the tabs of the `sheet_index`-th sheet their selector icons.
  void SetSelectorTabIcons(std::size_t sheet_index);
  void CurrentTabChanged(int index);
  void LoadConfiguration();
  void ApplyConfiguration();
  void RequestClose();
  void PlaceChildren();
  bool AskCancel();
  void DiscardChanges();
  bool ServiceBarInUse() const;

  SettingsStore* application_store_;
  SettingsStore* store_ = nullptr;
  SettingsStore* preferences_ = nullptr;
  SheetConfigurationSource* source_ = nullptr;
  LocalConfiguration local_source_;
  const CGUIPropertySheet* owner_ = nullptr;
  QWidget* service_bar_ = nullptr;
  const XmlNode* root_ = nullptr;
  const XmlNode* sheet_root_ = nullptr;
  const XmlNode* chosen_sheet_root_ = nullptr;
  const XmlNode* current_sheet_ = nullptr;
  std::string product_name_;
  std::string help_base_name_;
  std::string wizard_uid_;
  bool wizard_mode_ = false;
  bool several_sheets_ = false;
  int min_width_ = 100;
  int min_height_ = 100;
  std::string ok_text_ = "OK";
  std::string apply_text_ = "Apply";
  std::string cancel_text_ = "Cancel";
  bool ok_shown_ = true;
  bool apply_shown_ = true;
  bool cancel_shown_ = true;
  bool modified_ = false;
  bool closing_handled_ = false;
  int entry_index_ = -1;
  int entry_sub_index_ = -1;
  std::array<int, 256> shortcuts_{};
  std::vector<QShortcut*> shortcut_keys_;
  SheetImageList images_;
  int current_tab_ = -1;
  bool switching_ = false;

  HelpHook help_hook_;
  QObject* main_window_ = nullptr;
  ApplicationControlFactory application_factory_;

  QTabWidget* tabs_ = nullptr;
  QTreeWidget* selector_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* apply_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QPushButton* help_ = nullptr;
  std::unique_ptr<SheetWizard> wizard_;
  std::vector<CGUIPropertyPage*> pages_;
};

}  // namespace vossik
