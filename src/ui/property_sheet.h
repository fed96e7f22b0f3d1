// CGUIPropertySheet is the settings window built at run time from the
// configuration descriptor: one tab (a CGUIPropertyPage) per `page` of the
// current `sheet` element, a selector tree when there are several sheets,
// and OK, Apply, Cancel and Help buttons. The same class is the first-run
// wizard (Back, Next, Finish over the pages of one `wizard` element) and the
// pop-up window some controls open to edit a sub-definition.
//
// Values travel only through the settings store: event 2025 (posted to the
// sheet once it is set up) attaches the store, event 2026 (sent by Apply and
// OK) saves it. Where the store comes from and where Apply sends it is the
// configuration source's business; without one the sheet edits the
// application's store and Apply writes its file.
//
// The sheet owns its pages; the application store and the source are not
// owned. User-interface thread only.
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

class QPushButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace vossik {

class CGUIPropertyPage;
class CGUIPropertySheet;
class SettingsStore;
class XmlNode;

/// Where the edited configuration comes from and where Apply takes it (a
/// service's configuration and its local copy). Not owned by the sheet.
class SheetConfigurationSource {
 public:
  virtual ~SheetConfigurationSource() = default;
  /// Event 2025: the store the pages are to edit (nullptr: none yet).
  virtual SettingsStore* LoadConfiguration(CGUIPropertySheet& sheet) = 0;
  /// Event 2026: stores `store` (and sends it); true when that succeeded,
  /// which clears the modified flag. The sheet itself then posts event 1688
  /// to the main window when something had changed.
  virtual bool ApplyConfiguration(CGUIPropertySheet& sheet, SettingsStore& store) = 0;
  /// The window is going away.
  virtual void Closing(CGUIPropertySheet& sheet) = 0;
  /// The folder controls work in ("." for the local program).
  virtual std::string WorkingFolder() const = 0;
  /// The service connection bar placed above the buttons, or nullptr.
  virtual QWidget* Bar() const = 0;
};

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
  /// Not owned, and must outlive the sheet; set before SetUp(). With a
  /// source that has a bar, the main window shows the service bar and tabs
  /// start with their disabled icons. Pop-ups apply through their owner.
  void SetConfigurationSource(SheetConfigurationSource* source);
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
  /// The images of the tabs and the selector, in image-list order.
  const std::vector<QIcon>& Images() const { return images_; }

  /// Opens a framed window holding a new sheet for `element`, sharing this
  /// sheet's store; titled `title_prefix`, a blank and the element's `name`;
  /// its icon is `icon`, else the element's `icon` file. The controls address
  /// the given entry indices. The window deletes itself when closed.
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
  bool SeveralSheets() const { return several_sheets_; }
  bool Modified() const { return modified_; }
  void SetModified(bool modified);
  /// Enables Apply while the sheet or any page has unapplied changes.
  void UpdateApplyButton();
  TrackingSize Tracking() const;

  // -- Buttons --------------------------------------------------------------

  /// Whether the sheet has let its window close (OK, Finish or an answered Cancel).
  bool CloseApproved() const { return closing_handled_; }

  void Ok();
  void Apply();
  void Cancel();
  void ShowHelp();
  /// Wizard navigation; Next honours `skiponenable` / `skipto`.
  void Next();
  void Back();

 signals:
  /// The sheet asks its host window to close (also posted as a close).
  void CloseRequested();

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void SetUpPopup(CGUIPropertySheet& parent, const XmlNode* element, int entry_index,
                  int entry_sub_index);
  void Initialise();
  void ShowSheetElement(const XmlNode* sheet);
  std::vector<const XmlNode*> SheetElements() const;
  void ReadGuiSettings();
  void BuildImageList();
  void BuildSelector();
  void SetTabImages();
  void SelectorChanged(QTreeWidgetItem* item);
  void CurrentTabChanged(int index);
  void LoadConfiguration();
  void ApplyConfiguration();
  bool SendApply();
  void RequestClose();
  void PlaceChildren();
  void UpdateWizardButtons();
  bool AnyChanges() const;
  bool AskCancel();
  bool ServiceBarInUse() const;
  int LoadIcon(const std::string& file);

  SettingsStore* application_store_;
  SettingsStore* store_ = nullptr;
  SettingsStore* preferences_ = nullptr;
  SheetConfigurationSource* source_ = nullptr;
  CGUIPropertySheet* parent_sheet_ = nullptr;
  const XmlNode* root_ = nullptr;
  const XmlNode* sheet_root_ = nullptr;
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
  // A pop-up's shared store as it was when loaded or last applied.
  std::string popup_snapshot_;
  int entry_index_ = -1;
  int entry_sub_index_ = -1;
  std::array<int, 256> shortcuts_{};
  std::vector<QIcon> images_;
  std::vector<int> page_icon_of_tab_;  // image of each tab of the first sheet (-1: none)
  std::vector<int> sheet_icon_;        // image of each sheet element (-1: none)
  int disabled_icon_ = -1;
  int page_icon_ = -1;
  std::vector<int> wizard_history_;
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
  QPushButton* back_ = nullptr;
  QPushButton* next_ = nullptr;
  QPushButton* finish_ = nullptr;
  std::vector<CGUIPropertyPage*> pages_;
};

}  // namespace vossik
