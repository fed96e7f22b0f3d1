#include "ui/setting_control.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <algorithm>
#include <charconv>

#include "base/result_codes.h"
#include "base/string_util.h"
#include "settings/settings_store.h"
#include "ui/control_cell.h"
#include "ui/property_page.h"
#include "ui/property_sheet.h"

namespace vossik {

SettingControl::SettingControl() = default;

SettingControl::~SettingControl() { delete cell_.data(); }

ControlCell* SettingControl::Cell() const { return cell_.data(); }

void SettingControl::Bind(SettingsStore* store, const XmlNode* root) {
  store_ = store;
  root_ = root;
}

void SettingControl::SetSheet(CGUIPropertySheet* sheet) { sheet_ = sheet; }

void SettingControl::SetPreferences(SettingsStore* preferences) { preferences_ = preferences; }

void SettingControl::SetWorkingFolder(std::string folder) { working_folder_ = std::move(folder); }

int SettingControl::Create(CGUIPropertyPage* page, const ParameterRef& ref, std::string uid,
                           const Rect& initial, int first_id) {
  page_ = page;
  ref_ = ref;
  uid_ = std::move(uid);
  cell_ = MakeCell(page);
  if (!cell_) return first_id;
  cell_->setGeometry(initial.left, initial.top, initial.width, initial.height);
  cell_->show();
  return first_id + cell_->ChildWindowCount();
}

void SettingControl::ExchangeValue(bool save) {
  if (store_ == nullptr || !cell_) return;
  if (save) {
    std::string text;
    if (cell_->GetText(&text)) SaveText(text);
  } else {
    const std::string text = LoadText();
    WhileLoading([&] { cell_->SetText(text); });
  }
}

void SettingControl::SetEnabled(bool enable) {
  if (enable && sheet_ != nullptr) working_folder_ = sheet_->WorkingFolder();
  if (!cell_) return;
  for (QWidget* child : cell_->findChildren<QWidget*>()) child->setEnabled(enable);
  cell_->repaint();
}

// -- Descriptor lookups -------------------------------------------------------

const std::string* SettingControl::Attribute(std::string_view name) const {
  return ref_.Attribute(name);
}

const XmlNode* SettingControl::Child(std::string_view name) const { return ref_.Child(name); }

const std::string* SettingControl::ChildText(std::string_view name) const {
  return ref_.ChildText(name);
}

const std::string* SettingControl::Property(std::string_view name) const {
  if (const std::string* value = Attribute(name)) return value;
  return ChildText(name);
}

bool SettingControl::BoolProperty(std::string_view name, bool fallback) const {
  const std::string* value = Property(name);
  return value != nullptr ? ParseSwitch(*value) : fallback;
}

bool SettingControl::ShowsValue() const {
  const ControlCell* cell = Cell();
  QWidget* input = cell != nullptr ? cell->MainInput() : nullptr;
  if (const auto* line = qobject_cast<const QLineEdit*>(input)) {
    return !TrimBlanks(line->text().toStdString()).empty();
  }
  if (const auto* list = qobject_cast<const QComboBox*>(input)) {
    return !TrimBlanks(list->currentText().toStdString()).empty();
  }
  return true;
}

long SettingControl::NumberProperty(std::string_view name, long fallback) const {
  const std::string* value = Property(name);
  return value != nullptr ? ParseLeadingNumber(*value) : fallback;
}

std::string SettingControl::Name() const {
  const std::string* name = Attribute("name");
  return name != nullptr ? *name : std::string();
}

std::string SettingControl::Hint() const {
  const std::string* hint = ChildText("hint");
  return hint != nullptr ? *hint : std::string();
}

std::string SettingControl::LabelText() const { return EscapeMnemonics(Name()) + ":"; }

int SettingControl::Lines() const {
  const long lines = NumberProperty("lines", 1);
  // Bounded so that heights computed from it cannot overflow.
  return static_cast<int>(std::clamp(lines, 1L, 1000L));
}

// -- Value rules --------------------------------------------------------------

int SettingControl::EntryIndex() const { return sheet_ != nullptr ? sheet_->EntryIndex() : -1; }

int SettingControl::EntrySubIndex() const {
  return sheet_ != nullptr ? sheet_->EntrySubIndex() : -1;
}

SettingAddress SettingControl::Address() const {
  SettingAddress at{uid_};
  at.index = EntryIndex();
  at.sub_index = EntrySubIndex();
  at.override_element = ref_.override_element;
  return at;
}

SettingAddress SettingControl::AddressOf(std::string_view uid) const {
  SettingAddress at{uid};
  at.index = EntryIndex();
  at.sub_index = EntrySubIndex();
  return at;
}

std::string SettingControl::ReadText(std::string_view uid, bool secret, int* result) const {
  std::string text;
  const SettingAddress at = uid == uid_ ? Address() : AddressOf(uid);
  const int rc =
      secret ? GetSecret(*store_, root_, at, &text) : GetString(*store_, root_, at, &text);
  if (result != nullptr) *result = rc;
  return text;
}

bool SettingControl::HasStoredValue() const {
  if (store_ == nullptr) return false;
  int rc = -2;
  ReadText(uid_, false, &rc);
  return rc == 0;
}

std::string SettingControl::LoadText() const {
  if (store_ == nullptr) return {};
  const bool secret = Encrypted();
  int rc = -2;
  std::string text = ReadText(uid_, secret, &rc);
  const bool stored = rc == 0;
  if (stored && !text.empty()) return text;

  if (const std::string* alternate = Attribute("alternate")) {
    std::string other = ReadText(*alternate, secret, nullptr);
    if (!other.empty()) text = std::move(other);
  }
  if (!stored || text.empty()) {
    if (const std::string* from = Attribute("defaultfrom")) {
      std::string other = ReadText(*from, secret, nullptr);
      if (!other.empty()) text = std::move(other);
    }
  }
  return text;
}

bool SettingControl::SaveText(std::string_view text) {
  if (store_ == nullptr) return false;
  const bool secret = Encrypted();
  if (const std::string* from = Attribute("defaultfrom")) {
    // While the text only repeats the other setting, this one keeps
    // following it instead of freezing a copy.
    if (text == ReadText(*from, secret, nullptr) && !HasStoredValue()) return false;
  }
  const SettingAddress at = Address();
  const int rc = secret ? SetSecret(*store_, root_, at, text) : SetString(*store_, root_, at, text);
  // The older setting this one replaces is emptied, so it stands in no more;
  // a descriptor without it has nothing to empty.
  if (const std::string* alternate = Attribute("alternate")) {
    static_cast<void>(SetString(*store_, root_, AddressOf(*alternate), ""));
  }
  return rc >= 0;
}

bool SettingControl::LoadSwitch() const {
  bool on = false;
  if (store_ == nullptr) return on;
  if (GetSwitch(*store_, root_, Address(), &on) != kResultOk) {
    // Only a stored older setting may stand in; its mere default must not
    // override this switch's own.
    bool older = false;
    const std::string* alternate = Attribute("alternate");
    if (alternate != nullptr &&
        GetSwitch(*store_, root_, AddressOf(*alternate), &older) == kResultOk) {
      on = older;
    }
  }
  return on;
}

void SettingControl::SaveSwitch(bool on) {
  if (store_ == nullptr) return;
  // As for texts: a switch the descriptor lacks has nowhere to go.
  static_cast<void>(SetNumber(*store_, root_, Address(), on ? 1 : 0));
  if (const std::string* alternate = Attribute("alternate")) {
    static_cast<void>(SetNumber(*store_, root_, AddressOf(*alternate), 0));
  }
}

// -- Preferences --------------------------------------------------------------

std::string SettingControl::GetPreference(std::string_view suffix,
                                          std::string_view fallback) const {
  std::string value(fallback);
  if (preferences_ != nullptr) {
    // A preference never kept reads as the fallback.
    static_cast<void>(
        preferences_->GetValue(kPreferencesSection, uid_ + std::string(suffix), fallback, &value));
  }
  return value;
}

long SettingControl::GetPreferenceNumber(std::string_view suffix, long fallback) const {
  const std::string text = GetPreference(suffix);
  long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return (error == std::errc() && end != text.data()) ? value : fallback;
}

bool SettingControl::GetPreferenceSwitch(std::string_view suffix, bool fallback) const {
  const std::string text = GetPreference(suffix);
  return text.empty() ? fallback : ParseSwitch(text);
}

void SettingControl::SetPreference(std::string_view suffix, std::string_view value) {
  if (preferences_ == nullptr) return;
  preferences_->SetValue(kPreferencesSection, uid_ + std::string(suffix), value);
  // Saved at once so that a crash keeps it; the program saves the store again
  // when it ends and reports a failure then.
  static_cast<void>(preferences_->Save());
}

void SettingControl::SetPreferenceNumber(std::string_view suffix, long value) {
  SetPreference(suffix, std::to_string(value));
}

void SettingControl::SetPreferenceSwitch(std::string_view suffix, bool on) {
  SetPreference(suffix, on ? "1" : "0");
}

// -- Change reporting -----------------------------------------------------------

void SettingControl::ReportChange() {
  if (loading_ || page_ == nullptr) return;
  QCoreApplication::postEvent(page_, new ControlChangedEvent(this));
}

}  // namespace vossik
