#include "ui/property_sheet.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>
#include <QShortcutEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>

#include "base/ascii_case.h"
#include "base/string_util.h"
#include "settings/settings_store.h"
#include "settings/typed_settings.h"
#include "ui/control_cell.h"
#include "ui/message_box.h"
#include "ui/popup_sheet.h"
#include "ui/posted_events.h"
#include "ui/property_page.h"
#include "ui/setting_control.h"
#include "ui/sheet_button.h"
#include "ui/sheet_images.h"
#include "ui/sheet_wizard.h"
#include "xml/xml_document.h"

namespace vossik {
namespace {

constexpr char kCancelQuestion[] =
    "Are you sure you wish to cancel and lose all changes since the last Apply?";

// Elements named `name` below `node` in document order, not looking inside
// a found element. Settings definitions (and, outside a wizard, the wizards)
// hold sheets and pages of their own for pop-ups and wizards, and the
// `administration` element those of administration mode; they are not part
// of this window.
void Collect(const XmlNode* node, std::string_view name, std::vector<const XmlNode*>* found) {
  for (const XmlNode* child = node->FirstChild(); child != nullptr; child = child->NextSibling()) {
    if (child->Name() == name) {
      found->push_back(child);
    } else if (child->Name() != "wizard" && child->Name() != "config" && child->Name() != "types" &&
               child->Name() != "parameter" && child->Name() != "administration") {
      Collect(child, name, found);
    }
  }
}

std::string AttributeOr(const XmlNode* node, std::string_view name, std::string fallback = {}) {
  const std::string* value = node != nullptr ? node->Attribute(name) : nullptr;
  return value != nullptr ? *value : fallback;
}

// The Qt key that types `c`: Qt names a letter's key by its capital.
int KeyOf(unsigned char c) { return int(QChar::toUpper(char32_t(c))); }

}  // namespace

CGUIPropertySheet::CGUIPropertySheet(SettingsStore* application_store, QWidget* parent)
    : QWidget(parent), application_store_(application_store), local_source_(application_store) {
  shortcuts_.fill(-1);
  setObjectName("sheet");
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName("tabs");
  // A tab title's mnemonic is a shortcut of the tab bar; the sheet's own
  // shortcut table decides which page such a key shows.
  tabs_->tabBar()->installEventFilter(this);
  ok_ = new SheetButton(this, "ok", "OK");
  apply_ = new SheetButton(this, "apply", "Apply");
  cancel_ = new SheetButton(this, "cancel", "Cancel");
  help_ = new SheetButton(this, "help", "Help");
  for (QPushButton* b : {ok_, apply_, cancel_}) b->hide();
  apply_->setEnabled(false);

  connect(ok_, &QPushButton::clicked, this, &CGUIPropertySheet::Ok);
  connect(apply_, &QPushButton::clicked, this, &CGUIPropertySheet::Apply);
  connect(cancel_, &QPushButton::clicked, this, &CGUIPropertySheet::Cancel);
  connect(help_, &QPushButton::clicked, this, &CGUIPropertySheet::ShowHelp);
  connect(tabs_, &QTabWidget::currentChanged, this, &CGUIPropertySheet::CurrentTabChanged);
}

CGUIPropertySheet::~CGUIPropertySheet() {
  // Pages go before the members their controls refer to; the tab control
  // must not report them leaving one by one.
  disconnect(tabs_, nullptr, this, nullptr);
  switching_ = true;
  for (CGUIPropertyPage* page : pages_) delete page;
}

// -- Set-up ---------------------------------------------------------------------

void CGUIPropertySheet::SetWizardUid(const char* uid) {
  if (uid == nullptr) return;
  wizard_uid_ = uid;
  wizard_mode_ = true;
}

void CGUIPropertySheet::SetConfigurationSource(SheetConfigurationSource* source) {
  source_ = source;
}

void CGUIPropertySheet::SetServiceBar(QWidget* bar) {
  service_bar_ = bar;
  if (bar != nullptr) bar->setParent(this);
}

void CGUIPropertySheet::SetApplicationControlFactory(ApplicationControlFactory factory) {
  application_factory_ = std::move(factory);
}

SheetConfigurationSource& CGUIPropertySheet::Source() {
  return source_ != nullptr ? *source_ : local_source_;
}

bool CGUIPropertySheet::SetUp(std::string product_name, std::string help_base_name,
                              const XmlNode* root, const XmlNode* alternative_root) {
  product_name_ = std::move(product_name);
  help_base_name_ = std::move(help_base_name);
  root_ = root;
  sheet_root_ = root;
  if (wizard_mode_) {
    const XmlNode* wizard =
        SheetWizard::FindWizard(alternative_root != nullptr ? alternative_root : root, wizard_uid_);
    if (wizard != nullptr) sheet_root_ = wizard;
    wizard_ = std::make_unique<SheetWizard>(*this);
  }
  Initialise();
  return true;
}

void CGUIPropertySheet::SetUpPopup(const CGUIPropertySheet& owner, const XmlNode* element,
                                   int entry_index, int entry_sub_index) {
  owner_ = &owner;
  product_name_ = owner.product_name_;
  help_base_name_ = owner.help_base_name_;
  root_ = owner.root_;
  sheet_root_ = element;
  entry_index_ = entry_index;
  entry_sub_index_ = entry_sub_index;
  help_hook_ = owner.help_hook_;
  main_window_ = owner.main_window_;
  application_factory_ = owner.application_factory_;
  preferences_ = owner.preferences_;
  Initialise();
}

void CGUIPropertySheet::Initialise() {
  ReadGuiSettings();
  const std::vector<const XmlNode*> sheets = SheetElements();
  several_sheets_ = sheets.size() >= 2;

  ok_->setText(ToQString(ok_text_));
  apply_->setText(ToQString(apply_text_));
  cancel_->setText(ToQString(cancel_text_));
  if (wizard_) {
    tabs_->tabBar()->hide();
    wizard_->Show();
    cancel_->setVisible(cancel_shown_);
    if (service_bar_ != nullptr) service_bar_->hide();
  } else {
    ok_->setVisible(ok_shown_);
    apply_->setVisible(apply_shown_);
    cancel_->setVisible(cancel_shown_);
  }
  help_->show();
  help_->setEnabled(true);

  BuildImageList();
  if (several_sheets_) BuildSelector();
  ShowSheetElement(sheets.empty() ? sheet_root_ : sheets.front());
  if (!wizard_mode_) SetTabImages();
  PlaceChildren();
  QCoreApplication::postEvent(this, new QEvent(kLoadConfigurationEvent));
}

std::vector<const XmlNode*> CGUIPropertySheet::SheetElements() const {
  std::vector<const XmlNode*> sheets;
  if (sheet_root_ != nullptr) Collect(sheet_root_, "sheet", &sheets);
  return sheets;
}

void CGUIPropertySheet::ReadGuiSettings() {
  const XmlNode* gui = sheet_root_->FindElement("gui", nullptr, false);
  if (gui == nullptr) {
    std::vector<const XmlNode*> found;
    Collect(sheet_root_, "gui", &found);
    if (!found.empty()) gui = found.front();
  }
  if (gui == nullptr) return;
  if (const long miny = ParseLeadingNumber(AttributeOr(gui, "miny")); miny != 0) {
    min_height_ = int(miny);
  }
  if (const long minx = ParseLeadingNumber(AttributeOr(gui, "minx")); minx != 0) {
    min_width_ = int(minx);
  }
  auto text = [gui](std::string_view name, std::string* out) {
    const std::string value = AttributeOr(gui, name);
    if (!value.empty()) *out = value;
  };
  text("oktext", &ok_text_);
  text("applytext", &apply_text_);
  text("canceltext", &cancel_text_);
  auto shown = [gui](std::string_view name, bool* out) {
    if (const std::string* value = gui->Attribute(name)) *out = ParseSwitch(*value);
  };
  shown("okshow", &ok_shown_);
  shown("applyshow", &apply_shown_);
  shown("cancelshow", &cancel_shown_);
}

void CGUIPropertySheet::BuildImageList() {
  // With the selector the sheets carry the icons, else the first sheet's pages.
  const std::vector<const XmlNode*> sheets = SheetElements();
  if (several_sheets_) {
    images_.Build(sheets);
    return;
  }
  std::vector<const XmlNode*> pages;
  Collect(sheets.empty() ? sheet_root_ : sheets.front(), "page", &pages);
  images_.Build(pages);
}

void CGUIPropertySheet::BuildSelector() {
  selector_ = new QTreeWidget(this);
  selector_->setObjectName("selector");
  selector_->setHeaderHidden(true);
  selector_->setIndentation(0);
  const std::vector<const XmlNode*> sheets = SheetElements();
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    auto* item = new QTreeWidgetItem(selector_);
    item->setText(0, ToQString(AttributeOr(sheets[i], "name")));
    item->setData(0, Qt::UserRole, QVariant::fromValue(static_cast<qulonglong>(i)));
    if (images_.OwnerImage(i) >= 0) item->setIcon(0, images_.Image(images_.OwnerImage(i)));
    std::vector<const XmlNode*> pages;
    Collect(sheets[i], "page", &pages);
    for (const XmlNode* page : pages) {
      auto* child = new QTreeWidgetItem(item);
      child->setText(0, ToQString(AttributeOr(page, "name", "Settings")));
      if (images_.PageImage() >= 0) child->setIcon(0, images_.Image(images_.PageImage()));
    }
  }
  selector_->expandAll();
  selector_->show();
  connect(selector_, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* item) { SelectorChanged(item); });
}

void CGUIPropertySheet::SetTabImages() {
  for (std::size_t i = 0; i < pages_.size(); ++i) {
    int enabled = images_.DisabledImage();
    if (!several_sheets_ && i < images_.OwnerCount()) enabled = images_.OwnerImage(i);
    pages_[i]->SetTabIcons(enabled, images_.DisabledImage());
    ShowPageIcon(pages_[i], !ServiceBarInUse());
  }
}

// -- Sheets and pages -------------------------------------------------------------

const XmlNode* CGUIPropertySheet::FindSheet(std::string_view name) const {
  for (const XmlNode* sheet : SheetElements()) {
    if (AttributeOr(sheet, "name") == name) return sheet;
  }
  return nullptr;
}

std::string CGUIPropertySheet::CurrentSheetName() const {
  if (current_sheet_ != nullptr && current_sheet_ != sheet_root_) {
    return AttributeOr(current_sheet_, "name");
  }
  const std::vector<const XmlNode*> sheets = SheetElements();
  return sheets.empty() ? std::string() : AttributeOr(sheets.front(), "name");
}

void CGUIPropertySheet::ShowSheet(std::string_view name) { ShowSheetElement(FindSheet(name)); }

void CGUIPropertySheet::ShowSheetElement(const XmlNode* sheet) {
  setUpdatesEnabled(false);
  switching_ = true;
  tabs_->clear();
  for (CGUIPropertyPage* page : pages_) {
    page->hide();
    page->deleteLater();
  }
  pages_.clear();
  shortcuts_.fill(-1);
  if (wizard_) wizard_->Restart();
  current_sheet_ = sheet;

  if (sheet != nullptr) {
    std::vector<const XmlNode*> elements;
    Collect(sheet, "page", &elements);
    for (const XmlNode* element : elements) {
      auto* page = new CGUIPropertyPage(element, root_, store_, this);
      const int index = tabs_->addTab(page, ToQString(page->Title()));
      pages_.push_back(page);
      if (const std::string* shortcut = element->Attribute("shortcut");
          shortcut != nullptr && !shortcut->empty()) {
        const auto key = static_cast<unsigned char>(AsciiLower((*shortcut)[0]));
        shortcuts_[key] = index;  // a later page takes the key over
      }
      if (!wizard_mode_) page->SetTabIcons(-1, images_.DisabledImage());
    }
  }
  RegisterShortcuts();
  tabs_->setCurrentIndex(0);
  current_tab_ = tabs_->currentIndex();
  switching_ = false;
  if (CGUIPropertyPage* first = ActivePage()) first->ExchangeValues(false);
  if (wizard_) wizard_->UpdateButtons();
  setUpdatesEnabled(true);
  PlaceChildren();
}

void CGUIPropertySheet::RegisterShortcuts() {
  for (QShortcut* key : shortcut_keys_) delete key;
  shortcut_keys_.clear();
  // A wizard moves on only through its buttons.
  if (wizard_mode_) return;
  for (std::size_t c = 1; c < shortcuts_.size(); ++c) {
    if (shortcuts_[c] < 0) continue;
    const int key = KeyOf(static_cast<unsigned char>(c));
    // Alt with the key, with or without Shift, as the key's capital is the
    // same key.
    for (const QKeyCombination combination :
         {QKeyCombination(Qt::AltModifier, Qt::Key(key)),
          QKeyCombination(Qt::AltModifier | Qt::ShiftModifier, Qt::Key(key))}) {
      auto* shortcut = new QShortcut(QKeySequence(combination), this);
      shortcut->setContext(Qt::WidgetWithChildrenShortcut);
      const auto activate = [this, c] { ActivatePage(shortcuts_[c]); };
      // A tab mnemonic on the same key makes the key ambiguous; the table
      // still decides.
      connect(shortcut, &QShortcut::activated, this, activate);
      connect(shortcut, &QShortcut::activatedAmbiguously, this, activate);
      shortcut_keys_.push_back(shortcut);
    }
  }
}

int CGUIPropertySheet::PageCount() const { return int(pages_.size()); }

CGUIPropertyPage* CGUIPropertySheet::Page(int index) const {
  return index >= 0 && index < PageCount() ? pages_[index] : nullptr;
}

CGUIPropertyPage* CGUIPropertySheet::ActivePage() const { return Page(tabs_->currentIndex()); }

int CGUIPropertySheet::ActivePageIndex() const { return tabs_->currentIndex(); }

void CGUIPropertySheet::ActivatePage(int index) {
  if (index >= 0 && index < PageCount()) tabs_->setCurrentIndex(index);
}

int CGUIPropertySheet::ShortcutPage(char key) const {
  return shortcuts_[static_cast<unsigned char>(AsciiLower(key))];
}

void CGUIPropertySheet::CurrentTabChanged(int index) {
  if (switching_) return;
  const int left = current_tab_;
  current_tab_ = index;
  if (CGUIPropertyPage* old = Page(left); old != nullptr && store_ != nullptr) {
    old->ExchangeValues(true);
  }
  if (CGUIPropertyPage* shown = Page(index)) shown->ExchangeValues(false);
  if (wizard_) wizard_->UpdateButtons();
}

void CGUIPropertySheet::SelectorChanged(QTreeWidgetItem* item) {
  if (item == nullptr) return;
  if (CGUIPropertyPage* page = ActivePage(); page != nullptr && store_ != nullptr) {
    page->ExchangeValues(true);
  }
  QTreeWidgetItem* sheet_item = item->parent() != nullptr ? item->parent() : item;
  const auto sheet_index = sheet_item->data(0, Qt::UserRole).toULongLong();
  const std::vector<const XmlNode*> sheets = SheetElements();
  if (sheet_index >= sheets.size()) return;
  if (sheets[sheet_index] != current_sheet_) ShowSheetElement(sheets[sheet_index]);

  const int sheet_icon = images_.OwnerImage(sheet_index);
  const int disabled_icon = images_.DisabledImage();
  for (CGUIPropertyPage* page : pages_) {
    const bool support =
        EqualsIgnoringCase(std::string_view(page->PlainTitle()).substr(0, 7), "Support");
    page->SetTabIcons(store_ != nullptr || support ? sheet_icon : disabled_icon, disabled_icon);
    ShowPageIcon(page, !ServiceBarInUse());
  }

  int target = 0;
  if (item->parent() != nullptr) {
    // Tree items carry the page names without mnemonic marks.
    for (int i = 0; i < PageCount(); ++i) {
      if (ToQString(pages_[i]->PlainTitle()) == item->text(0)) {
        target = i;
        break;
      }
    }
  }
  ActivatePage(target);
}

void CGUIPropertySheet::EnableAllPages(bool enable) {
  for (CGUIPropertyPage* page : pages_) page->EnableControls(enable);
}

void CGUIPropertySheet::ShowTabIcons(bool enabled) {
  for (CGUIPropertyPage* page : pages_) ShowPageIcon(page, enabled);
}

void CGUIPropertySheet::ShowPageIcon(CGUIPropertyPage* page, bool enabled) {
  if (wizard_mode_) return;
  const int index = tabs_->indexOf(page);
  if (index < 0) return;
  const int image = enabled ? page->EnabledIcon() : page->DisabledIcon();
  tabs_->setTabIcon(index, images_.Image(image));
}

CGUIPropertySheet* CGUIPropertySheet::OpenPopup(const XmlNode* element,
                                                std::string_view title_prefix, const QIcon& icon,
                                                int entry_index, int entry_sub_index) {
  return OpenPopupSheet(*this, element, title_prefix, icon, entry_index, entry_sub_index);
}

// -- State ----------------------------------------------------------------------

std::string CGUIPropertySheet::WorkingFolder() const {
  return source_ != nullptr ? source_->WorkingFolder() : local_source_.WorkingFolder();
}

void CGUIPropertySheet::SetModified(bool modified) {
  modified_ = modified;
  UpdateApplyButton();
}

bool CGUIPropertySheet::HasChanges() const {
  if (modified_) return true;
  for (const CGUIPropertyPage* page : pages_) {
    if (page->Modified()) return true;
  }
  return false;
}

void CGUIPropertySheet::UpdateApplyButton() { apply_->setEnabled(HasChanges()); }

void CGUIPropertySheet::PageValuesChanged() {
  if (wizard_) wizard_->UpdateButtons();
}

TrackingSize CGUIPropertySheet::Tracking() const {
  return SheetTrackingSize(min_width_, min_height_, PageCount(), several_sheets_, wizard_mode_);
}

bool CGUIPropertySheet::ServiceBarInUse() const { return service_bar_ != nullptr; }

// -- Configuration events ---------------------------------------------------------

bool CGUIPropertySheet::event(QEvent* event) {
  if (event->type() == kLoadConfigurationEvent) {
    LoadConfiguration();
    return true;
  }
  if (event->type() == kApplyEvent) {
    ApplyConfiguration();
    return true;
  }
  return QWidget::event(event);
}

void CGUIPropertySheet::LoadConfiguration() {
  store_ = Source().LoadConfiguration(*this);
  for (CGUIPropertyPage* page : pages_) page->AttachStore(store_, root_);
  // Pages shown before the store arrived disabled their controls; the
  // service bar governs that when there is one.
  if (store_ != nullptr && !ServiceBarInUse()) EnableAllPages(true);
  if (CGUIPropertyPage* page = ActivePage()) page->ExchangeValues(false);
  if (wizard_) wizard_->UpdateButtons();
}

void CGUIPropertySheet::ApplyConfiguration() {
  if (store_ == nullptr) return;
  const bool changed = HasChanges();
  if (!Source().ApplyConfiguration(*this, *store_)) return;
  // A pop-up's changes reach the main window through its owner's apply.
  if (changed && owner_ == nullptr && main_window_ != nullptr) {
    QCoreApplication::postEvent(main_window_, new QEvent(kConfigurationChangedEvent));
  }
  for (CGUIPropertyPage* page : pages_) page->SetModified(false);
  SetModified(false);
}

bool CGUIPropertySheet::SendApply() {
  QEvent apply(kApplyEvent);
  QCoreApplication::sendEvent(this, &apply);
  return !modified_;
}

// -- Buttons ------------------------------------------------------------------------

void CGUIPropertySheet::Ok() {
  if (store_ != nullptr) {
    if (CGUIPropertyPage* page = ActivePage()) page->ExchangeValues(true);
    // A failed save keeps the window open, or the edits would be lost.
    if (modified_ && !SendApply()) return;
  }
  Source().Closing(*this);
  RequestClose();
}

void CGUIPropertySheet::Apply() {
  if (store_ == nullptr) return;
  if (CGUIPropertyPage* page = ActivePage()) page->ExchangeValues(true);
  SendApply();
}

bool CGUIPropertySheet::AskCancel() {
  return ShowAdminMessage(this, MessageKind::kQuestion, product_name_,
                          wizard_ ? SheetWizard::kCancelQuestion : kCancelQuestion) ==
         MessageAnswer::kYes;
}

void CGUIPropertySheet::DiscardChanges() {
  if (store_ != nullptr) Source().DiscardChanges(*this, *store_);
}

void CGUIPropertySheet::Cancel() {
  // Edits the active page has not yet committed count as changes too.
  if (HasChanges()) {
    if (!AskCancel()) return;
    DiscardChanges();
  }
  Source().Closing(*this);
  RequestClose();
}

void CGUIPropertySheet::RequestClose() {
  closing_handled_ = true;
  emit CloseRequested();
  QMetaObject::invokeMethod(window(), &QWidget::close, Qt::QueuedConnection);
}

void CGUIPropertySheet::closeEvent(QCloseEvent* event) {
  if (!closing_handled_) {
    closing_handled_ = true;
    if (ServiceBarInUse() && HasChanges() && AskCancel()) DiscardChanges();
    Source().Closing(*this);
  }
  QWidget::closeEvent(event);
}

void CGUIPropertySheet::ShowHelp() {
  if (!help_hook_) return;
  const CGUIPropertyPage* page = ActivePage();
  help_hook_(help_base_name_, CurrentSheetName(), page != nullptr ? page->Uid() : std::string());
}

// -- Keys and geometry --------------------------------------------------------------

bool CGUIPropertySheet::eventFilter(QObject* watched, QEvent* event) {
  // Alt with a tab's mnemonic: the page registered for the key, which a
  // later page may have taken over, rather than the tab marked first.
  if (watched == tabs_->tabBar() && event->type() == QEvent::Shortcut && !wizard_mode_) {
    const QKeyCombination combination = static_cast<QShortcutEvent*>(event)->key()[0];
    const int key = combination.key();
    if ((combination.keyboardModifiers() & Qt::AltModifier) && key > 0 && key < 256) {
      const int page = ShortcutPage(static_cast<char>(key));
      if (page >= 0) {
        ActivatePage(page);
        return true;
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

void CGUIPropertySheet::resizeEvent(QResizeEvent* event) {
  PlaceChildren();
  QWidget::resizeEvent(event);
}

void CGUIPropertySheet::PlaceChildren() {
  const TrackingSize limits = Tracking();
  setMinimumSize(limits.min_width, limits.min_height);
  setMaximumSize(limits.max_width > 0 ? limits.max_width : QWIDGETSIZE_MAX,
                 limits.max_height > 0 ? limits.max_height : QWIDGETSIZE_MAX);

  const SheetGeometry g =
      LayOutSheet(width(), height(), several_sheets_, ServiceBarInUse(), wizard_mode_);
  auto put = [](QWidget* widget, const Rect& r) {
    if (widget != nullptr) widget->setGeometry(r.left, r.top, r.width, r.height);
  };
  if (selector_ != nullptr) put(selector_, g.selector);
  if (g.has_service_bar) {
    put(service_bar_, g.service_bar);
    service_bar_->show();
  }
  put(tabs_, g.tabs);
  put(help_, g.help);
  put(cancel_, g.cancel);
  if (wizard_) {
    wizard_->Place(g);
  } else {
    put(ok_, g.ok);
    put(apply_, g.apply);
  }
}

}  // namespace vossik
