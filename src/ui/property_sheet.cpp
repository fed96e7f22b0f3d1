#include "ui/property_sheet.h"

#include <QApplication>
#include <QBitmap>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPixmap>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>

#include "base/ascii_case.h"
#include "base/string_util.h"
#include "settings/parameter_ref.h"
#include "settings/settings_store.h"
#include "settings/typed_settings.h"
#include "ui/control_cell.h"
#include "ui/message_box.h"
#include "ui/property_page.h"
#include "ui/setting_control.h"
#include "xml/xml_document.h"

namespace vossik {
namespace {

constexpr char kCancelQuestion[] =
    "Are you sure you wish to cancel and lose all changes since the last Apply?";
constexpr char kWizardCancelQuestion[] =
    "Are you sure you wish to cancel and lose all changes so far?\nYou can rerun this wizard by "
    "double clicking the 'Run Setup Wizard' shortcut in your application directory";
constexpr char kSaveFailed[] =
    "The configuration file '%s' could not be written.\nPlease check disk space and permissions.";

// Elements named `name` below `node` in document order, not looking inside
// a found element. Settings definitions (and, outside a wizard, the wizards)
// hold sheets and pages of their own for pop-ups and wizards; they are not
// part of this window.
void Collect(const XmlNode* node, std::string_view name, std::vector<const XmlNode*>* found) {
  for (const XmlNode* child = node->FirstChild(); child != nullptr; child = child->NextSibling()) {
    if (child->Name() == name) {
      found->push_back(child);
    } else if (child->Name() != "wizard" && child->Name() != "config" && child->Name() != "types" &&
               child->Name() != "parameter") {
      Collect(child, name, found);
    }
  }
}

void CollectAll(const XmlNode* node, std::string_view name, std::vector<const XmlNode*>* found) {
  for (const XmlNode* child = node->FirstChild(); child != nullptr; child = child->NextSibling()) {
    if (child->Name() == name) found->push_back(child);
    CollectAll(child, name, found);
  }
}

std::string AttributeOr(const XmlNode* node, std::string_view name, std::string fallback = {}) {
  const std::string* value = node != nullptr ? node->Attribute(name) : nullptr;
  return value != nullptr ? *value : fallback;
}

QPixmap LoadBitmap(const std::string& file) {
  QPixmap pixmap(ToQString(file));
  if (!pixmap.isNull()) {
    // Light grey is the transparent colour of the tab and selector images.
    pixmap.setMask(pixmap.createMaskFromColor(QColor(192, 192, 192), Qt::MaskInColor));
  }
  return pixmap;
}

// The owner's store as `snapshot` (its Serialize()) holds it; the file it
// belongs to stays the same.
void RestoreStore(SettingsStore& store, const std::string& snapshot) {
  const std::string file = store.FileName();
  store.Clear();
  store.Parse(snapshot);
  store.SetFileName(file);
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  // Enter in an input must not press a button that closes the sheet.
  button->setAutoDefault(false);
  button->setDefault(false);
  return button;
}

// The framed window of a pop-up sheet: it keeps the sheet inside its
// client area with a small margin.
class PopupHost : public QWidget {
 public:
  explicit PopupHost(QWidget* owner) : QWidget(owner, Qt::Window) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName("popup");
  }
  void SetSheet(CGUIPropertySheet* sheet) { sheet_ = sheet; }

 protected:
  // The close box is the pop-up's Cancel, which asks before edits are lost.
  void closeEvent(QCloseEvent* event) override {
    if (sheet_ != nullptr && !sheet_->CloseApproved()) {
      event->ignore();
      sheet_->Cancel();
      return;
    }
    QWidget::closeEvent(event);
  }

  void resizeEvent(QResizeEvent* event) override {
    if (sheet_ != nullptr) {
      const Rect r = PopupSheetRect(width(), height());
      sheet_->setGeometry(r.left, r.top, r.width, r.height);
    }
    QWidget::resizeEvent(event);
  }

 private:
  CGUIPropertySheet* sheet_ = nullptr;
};

}  // namespace

CGUIPropertySheet::CGUIPropertySheet(SettingsStore* application_store, QWidget* parent)
    : QWidget(parent), application_store_(application_store) {
  shortcuts_.fill(-1);
  setObjectName("sheet");
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName("tabs");
  ok_ = MakeButton(this, "ok", "OK");
  apply_ = MakeButton(this, "apply", "Apply");
  cancel_ = MakeButton(this, "cancel", "Cancel");
  help_ = MakeButton(this, "help", "Help");
  back_ = MakeButton(this, "back", "< Back");
  next_ = MakeButton(this, "next", "Next >");
  finish_ = MakeButton(this, "finish", "Finish");
  for (QPushButton* b : {ok_, apply_, cancel_, back_, next_, finish_}) b->hide();
  apply_->setEnabled(false);

  connect(ok_, &QPushButton::clicked, this, &CGUIPropertySheet::Ok);
  connect(apply_, &QPushButton::clicked, this, &CGUIPropertySheet::Apply);
  connect(cancel_, &QPushButton::clicked, this, &CGUIPropertySheet::Cancel);
  connect(help_, &QPushButton::clicked, this, &CGUIPropertySheet::ShowHelp);
  connect(back_, &QPushButton::clicked, this, &CGUIPropertySheet::Back);
  connect(next_, &QPushButton::clicked, this, &CGUIPropertySheet::Next);
  connect(finish_, &QPushButton::clicked, this, &CGUIPropertySheet::Ok);
  connect(tabs_, &QTabWidget::currentChanged, this, &CGUIPropertySheet::CurrentTabChanged);

  // Alt+key has to be seen before the focused input or a tab mnemonic takes it.
  qApp->installEventFilter(this);
}

CGUIPropertySheet::~CGUIPropertySheet() {
  if (ServiceBarInUse() && !closing_handled_ && AnyChanges() && AskCancel() && store_ != nullptr &&
      !store_->FileName().empty()) {
    store_->Load(store_->FileName());
  }
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

void CGUIPropertySheet::SetApplicationControlFactory(ApplicationControlFactory factory) {
  application_factory_ = std::move(factory);
}

bool CGUIPropertySheet::SetUp(std::string product_name, std::string help_base_name,
                              const XmlNode* root, const XmlNode* alternative_root) {
  product_name_ = std::move(product_name);
  help_base_name_ = std::move(help_base_name);
  root_ = root;
  sheet_root_ = root;
  if (wizard_mode_) {
    std::vector<const XmlNode*> wizards;
    CollectAll(alternative_root != nullptr ? alternative_root : root, "wizard", &wizards);
    for (const XmlNode* wizard : wizards) {
      if (AttributeOr(wizard, "uid") == wizard_uid_) {
        sheet_root_ = wizard;
        break;
      }
    }
    if (sheet_root_ == root && !wizards.empty()) sheet_root_ = wizards.front();
  }
  Initialise();
  return true;
}

void CGUIPropertySheet::SetUpPopup(CGUIPropertySheet& parent, const XmlNode* element,
                                   int entry_index, int entry_sub_index) {
  parent_sheet_ = &parent;
  product_name_ = parent.product_name_;
  help_base_name_ = parent.help_base_name_;
  root_ = parent.root_;
  sheet_root_ = element;
  entry_index_ = entry_index;
  entry_sub_index_ = entry_sub_index;
  help_hook_ = parent.help_hook_;
  main_window_ = parent.main_window_;
  application_factory_ = parent.application_factory_;
  preferences_ = parent.preferences_;
  Initialise();
}

void CGUIPropertySheet::Initialise() {
  ReadGuiSettings();
  const std::vector<const XmlNode*> sheets = SheetElements();
  several_sheets_ = sheets.size() >= 2;

  ok_->setText(ToQString(ok_text_));
  apply_->setText(ToQString(apply_text_));
  cancel_->setText(ToQString(cancel_text_));
  if (wizard_mode_) {
    tabs_->tabBar()->hide();
    back_->show();
    cancel_->setVisible(cancel_shown_);
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

int CGUIPropertySheet::LoadIcon(const std::string& file) {
  const QPixmap pixmap = LoadBitmap(file);
  if (pixmap.isNull()) return -1;
  images_.emplace_back(pixmap);
  return int(images_.size()) - 1;
}

void CGUIPropertySheet::BuildImageList() {
  images_.clear();
  sheet_icon_.clear();
  page_icon_of_tab_.clear();
  // Each sheet and page remembers where its own image went, so a missing
  // file or a page without `icon` does not shift the images of the others.
  const std::vector<const XmlNode*> sheets = SheetElements();
  if (several_sheets_) {
    for (const XmlNode* sheet : sheets) {
      const std::string* icon = sheet->Attribute("icon");
      sheet_icon_.push_back(icon != nullptr ? LoadIcon(*icon) : -1);
    }
  } else {
    std::vector<const XmlNode*> pages;
    Collect(sheets.empty() ? sheet_root_ : sheets.front(), "page", &pages);
    for (const XmlNode* page : pages) {
      const std::string* icon = page->Attribute("icon");
      page_icon_of_tab_.push_back(icon != nullptr ? LoadIcon(*icon) : -1);
    }
  }
  disabled_icon_ = LoadIcon("./icons/disabled.bmp");
  page_icon_ = LoadIcon("./icons/settingspage.bmp");
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
    if (sheet_icon_[i] >= 0) item->setIcon(0, images_[sheet_icon_[i]]);
    std::vector<const XmlNode*> pages;
    Collect(sheets[i], "page", &pages);
    for (const XmlNode* page : pages) {
      auto* child = new QTreeWidgetItem(item);
      child->setText(0, ToQString(AttributeOr(page, "name", "Settings")));
      if (page_icon_ >= 0) child->setIcon(0, images_[page_icon_]);
    }
  }
  selector_->expandAll();
  selector_->show();
  connect(selector_, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* item) { SelectorChanged(item); });
}

void CGUIPropertySheet::SetTabImages() {
  for (std::size_t i = 0; i < pages_.size(); ++i) {
    int enabled = disabled_icon_;
    if (!several_sheets_ && i < page_icon_of_tab_.size()) enabled = page_icon_of_tab_[i];
    pages_[i]->SetTabIcons(enabled, disabled_icon_);
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
  wizard_history_.clear();
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
      if (!wizard_mode_) page->SetTabIcons(-1, disabled_icon_);
    }
  }
  tabs_->setCurrentIndex(0);
  current_tab_ = tabs_->currentIndex();
  switching_ = false;
  if (CGUIPropertyPage* first = ActivePage()) first->ExchangeValues(false);
  UpdateWizardButtons();
  setUpdatesEnabled(true);
  PlaceChildren();
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
  UpdateWizardButtons();
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

  const int sheet_icon = sheet_icon_[sheet_index];
  for (CGUIPropertyPage* page : pages_) {
    const bool support =
        EqualsIgnoringCase(std::string_view(page->PlainTitle()).substr(0, 7), "Support");
    page->SetTabIcons(store_ != nullptr || support ? sheet_icon : disabled_icon_, disabled_icon_);
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
  tabs_->setTabIcon(index, image >= 0 && image < int(images_.size()) ? images_[image] : QIcon());
}

CGUIPropertySheet* CGUIPropertySheet::OpenPopup(const XmlNode* element,
                                                std::string_view title_prefix, const QIcon& icon,
                                                int entry_index, int entry_sub_index) {
  auto* host = new PopupHost(this);
  std::string title(title_prefix);
  if (!title.empty()) title += ' ';
  title += AttributeOr(element, "name");
  host->setWindowTitle(ToQString(title));
  if (!icon.isNull()) {
    host->setWindowIcon(icon);
  } else if (const std::string* file = element->Attribute("icon")) {
    const QPixmap pixmap = LoadBitmap(*file);
    if (!pixmap.isNull()) host->setWindowIcon(QIcon(pixmap));
  }

  auto* sheet = new CGUIPropertySheet(application_store_, host);
  host->SetSheet(sheet);
  sheet->SetUpPopup(*this, element, entry_index, entry_sub_index);

  const TrackingSize limits = PopupTrackingSize(sheet->Tracking());
  host->setMinimumSize(limits.min_width, limits.min_height);
  if (limits.max_width > 0) host->setMaximumSize(limits.max_width, limits.max_height);
  const Rect initial = PopupInitialRect();
  host->setGeometry(initial.left, initial.top, initial.width, initial.height);
  const QRect owner = window()->geometry();
  host->move(owner.center() - QPoint(host->width() / 2, host->height() / 2));
  host->show();
  return sheet;
}

// -- State ----------------------------------------------------------------------

std::string CGUIPropertySheet::WorkingFolder() const {
  if (parent_sheet_ != nullptr) return parent_sheet_->WorkingFolder();
  return source_ != nullptr ? source_->WorkingFolder() : ".";
}

void CGUIPropertySheet::SetModified(bool modified) {
  modified_ = modified;
  UpdateApplyButton();
}

bool CGUIPropertySheet::AnyChanges() const {
  if (modified_) return true;
  for (const CGUIPropertyPage* page : pages_) {
    if (page->Modified()) return true;
  }
  return false;
}

void CGUIPropertySheet::UpdateApplyButton() { apply_->setEnabled(AnyChanges()); }

TrackingSize CGUIPropertySheet::Tracking() const {
  return SheetTrackingSize(min_width_, min_height_, PageCount(), several_sheets_, wizard_mode_);
}

bool CGUIPropertySheet::ServiceBarInUse() const {
  return parent_sheet_ == nullptr && source_ != nullptr && source_->Bar() != nullptr;
}

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
  if (parent_sheet_ != nullptr) {
    store_ = parent_sheet_->Store();
    if (store_ != nullptr) popup_snapshot_ = store_->Serialize();
  } else if (source_ != nullptr) {
    store_ = source_->LoadConfiguration(*this);
  } else {
    store_ = application_store_;
  }
  for (CGUIPropertyPage* page : pages_) page->AttachStore(store_, root_);
  // Pages shown before the store arrived disabled their controls; the
  // service bar governs that when there is one.
  if (store_ != nullptr && !ServiceBarInUse()) EnableAllPages(true);
  if (CGUIPropertyPage* page = ActivePage()) page->ExchangeValues(false);
}

void CGUIPropertySheet::ApplyConfiguration() {
  if (store_ == nullptr) return;
  if (parent_sheet_ != nullptr) {
    // A pop-up edits its owner's store, so applying it is the owner's apply.
    const bool changed = AnyChanges();
    if (changed) parent_sheet_->SetModified(true);
    if (!parent_sheet_->SendApply() && changed) return;
    popup_snapshot_ = store_->Serialize();
    for (CGUIPropertyPage* page : pages_) page->SetModified(false);
    SetModified(false);
    return;
  }
  const bool changed = AnyChanges();
  bool applied = false;
  if (source_ != nullptr) {
    applied = source_->ApplyConfiguration(*this, *store_);
  } else if (store_->Save() == 0) {
    applied = true;
  } else {
    std::string text = kSaveFailed;
    text.replace(text.find("%s"), 2, store_->FileName());
    ShowAdminMessage(this, MessageKind::kWarning, product_name_, text);
  }
  if (!applied) return;
  if (changed && main_window_ != nullptr) {
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
  if (source_ != nullptr) source_->Closing(*this);
  RequestClose();
}

void CGUIPropertySheet::Apply() {
  if (store_ == nullptr) return;
  if (CGUIPropertyPage* page = ActivePage()) page->ExchangeValues(true);
  SendApply();
}

bool CGUIPropertySheet::AskCancel() {
  return ShowAdminMessage(this, MessageKind::kQuestion, product_name_,
                          wizard_mode_ ? kWizardCancelQuestion : kCancelQuestion) ==
         MessageAnswer::kYes;
}

void CGUIPropertySheet::Cancel() {
  // Edits the active page has not yet committed count as changes too.
  if (AnyChanges()) {
    if (!AskCancel()) return;
    if (parent_sheet_ != nullptr) {
      // The store is the owner's: reading the file again would also drop
      // the owner's unapplied edits, so only the pop-up's are taken back.
      if (store_ != nullptr) RestoreStore(*store_, popup_snapshot_);
    } else if (store_ != nullptr && !store_->FileName().empty()) {
      store_->Load(store_->FileName());
    }
  }
  if (source_ != nullptr) source_->Closing(*this);
  RequestClose();
}

void CGUIPropertySheet::RequestClose() {
  closing_handled_ = true;
  emit CloseRequested();
  QMetaObject::invokeMethod(window(), &QWidget::close, Qt::QueuedConnection);
}

void CGUIPropertySheet::ShowHelp() {
  if (!help_hook_) return;
  const CGUIPropertyPage* page = ActivePage();
  help_hook_(help_base_name_, CurrentSheetName(), page != nullptr ? page->Uid() : std::string());
}

void CGUIPropertySheet::Next() {
  const int index = ActivePageIndex();
  CGUIPropertyPage* page = ActivePage();
  if (page == nullptr) return;
  if (const std::string* skip = page->PageElement()->Attribute("skiponenable")) {
    bool skipping = false;
    if (store_ != nullptr) {
      page->ExchangeValues(true);
      GetSwitch(*store_, root_, SettingAddress{*skip}, &skipping);
    }
    if (skipping) {
      const int target = int(ParseLeadingNumber(AttributeOr(page->PageElement(), "skipto", "0")));
      if (target >= 0 && target < PageCount()) {
        wizard_history_.push_back(index);
        ActivatePage(target);
        return;
      }
    }
  }
  if (index + 1 < PageCount()) {
    wizard_history_.push_back(index);
    ActivatePage(index + 1);
  }
}

void CGUIPropertySheet::Back() {
  // Back retraces the pages visited, so a skipped run of pages stays skipped.
  if (!wizard_history_.empty()) {
    const int previous = wizard_history_.back();
    wizard_history_.pop_back();
    ActivatePage(previous);
  } else if (ActivePageIndex() > 0) {
    ActivatePage(ActivePageIndex() - 1);
  }
}

void CGUIPropertySheet::UpdateWizardButtons() {
  if (!wizard_mode_) return;
  const int index = ActivePageIndex();
  const bool last = index + 1 >= PageCount();
  back_->setEnabled(index > 0);
  next_->setVisible(!last);
  finish_->setVisible(last);
}

// -- Keys and geometry --------------------------------------------------------------

bool CGUIPropertySheet::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::KeyPress) {
    // Enter presses the focused button, though none is the default button.
    const int key = static_cast<QKeyEvent*>(event)->key();
    auto* button = qobject_cast<QPushButton*>(watched);
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && button != nullptr &&
        button->parentWidget() == this && button->isEnabled()) {
      button->click();
      return true;
    }
  }
  if ((type == QEvent::KeyPress || type == QEvent::ShortcutOverride) && !wizard_mode_) {
    auto* widget = qobject_cast<QWidget*>(watched);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (widget != nullptr && (widget == this || isAncestorOf(widget)) &&
        (key->modifiers() & Qt::AltModifier) && !(key->modifiers() & Qt::ControlModifier) &&
        key->key() > 0 && key->key() < 256) {
      const int page = ShortcutPage(static_cast<char>(key->key()));
      if (page >= 0) {
        event->accept();
        if (type == QEvent::KeyPress) ActivatePage(page);
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
    QWidget* bar = source_->Bar();
    if (bar->parentWidget() != this) bar->setParent(this);
    put(bar, g.service_bar);
    bar->show();
  }
  put(tabs_, g.tabs);
  put(help_, g.help);
  put(cancel_, g.cancel);
  if (wizard_mode_) {
    put(back_, g.back);
    put(next_, g.next);
    put(finish_, g.next);
  } else {
    put(ok_, g.ok);
    put(apply_, g.apply);
  }
}

}  // namespace vossik
