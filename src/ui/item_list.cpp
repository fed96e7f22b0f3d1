#include "ui/item_list.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "base/ascii_case.h"
#include "base/file_io.h"
#include "base/result_codes.h"
#include "base/string_util.h"
#include "indexer/wildcard.h"
#include "indexer/word_rules.h"
#include "ui/file_dialogs.h"
#include "ui/list_layout.h"
#include "ui/message_box.h"
#include "xml/xml_document.h"

namespace vossik {
namespace {

constexpr std::size_t kInvalidTextLimit = 256;
constexpr int kWaitCursorItems = 100;
constexpr int kHiddenRole = Qt::UserRole;

constexpr char kTooLarge[] =
    "The selected file is too large to import.\nPlease select another smaller file and try "
    "again.";
constexpr char kNotOpened[] =
    "The selected file could not be opened for import.\nPlease check permissions on the file and "
    "try again.";
constexpr char kNotRead[] =
    "The selected file could not be read for import.\nPlease check the file has content and try "
    "again.";
constexpr char kNoEntries[] =
    "The selected file does not contain entries in the correct format.\nPlease check the file has "
    "valid content and try again.";
constexpr char kNoNewEntries[] =
    "The selected file does not contain any new valid entries in the correct format.\nPlease "
    "check the file has valid content and entries not already in the list and try again.";

std::string InvalidEntriesMessage(const std::string& entries) {
  return "The selected file contained the invalid entries '" + entries +
         "'.\nThe invalid entries were not imported.";
}

/// Orders texts as the list box shows them: A to Z without regard to case,
/// equal ones by their bytes, so that the order never depends on the
/// order of insertion.
bool ShownBefore(const std::string& a, const std::string& b) {
  const std::string lower_a = AsciiLowered(a);
  const std::string lower_b = AsciiLowered(b);
  return lower_a != lower_b ? lower_a < lower_b : a < b;
}

}  // namespace

std::vector<std::string> SplitImportedText(std::string_view text) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != ',' && text[i] != '\r' && text[i] != '\n' &&
        text[i] != '\t') {
      continue;
    }
    const std::string_view piece = TrimBlanks(text.substr(start, i - start));
    if (!piece.empty()) pieces.emplace_back(piece);
    start = i + 1;
  }
  return pieces;
}

std::string InvalidEntriesText(const std::vector<std::string>& pieces) {
  std::string text;
  for (const std::string& piece : pieces) text += piece + ", ";
  if (text.size() > kInvalidTextLimit) {
    text.resize(kInvalidTextLimit);
    text += "...";
  }
  return text;
}

// -- ItemListCell ---------------------------------------------------------------

ItemListCell::ItemListCell(SettingControl& control, QWidget* parent, Order order)
    : ControlCell(control, parent), order_(order) {
  // Import needs both what to offer and what to accept.
  if (const XmlNode* import = control.Child("import")) {
    const std::string* files = import->Attribute("files");
    const std::string* validation = import->Attribute("validation");
    if (files != nullptr && validation != nullptr) {
      import_filter_ = *files;
      validation_ = *validation;
      has_import_ = true;
    }
  }
  CreateLabel();
}

ItemListCell::~ItemListCell() = default;

void ItemListCell::FinishCreating() {
  add_ = new QPushButton;
  AddInput(add_, "add");
  add_->setToolTip("Add an item to the list");
  connect(add_, &QPushButton::clicked, this, [this] { Add(); });

  remove_ = new QPushButton;
  AddInput(remove_, "remove");
  remove_->setToolTip("Remove the selected item(s) from the list");
  connect(remove_, &QPushButton::clicked, this, [this] { RemoveSelected(); });

  if (has_import_) {
    import_ = new QPushButton;
    AddInput(import_, "import");
    import_->setToolTip("Import items to the list from a file");
    connect(import_, &QPushButton::clicked, this, [this] { Import(); });
  }
  // Enter in an input adds; the buttons must not take it as well.
  for (QPushButton* button : {add_, remove_, import_}) {
    if (button != nullptr) button->setAutoDefault(false);
  }
  SetCaptions(false);

  list_ = new QListWidget;
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setFrameShape(QFrame::StyledPanel);
  SetMainInput(list_);
  connect(list_, &QListWidget::itemSelectionChanged, this, [this] { RefreshButtons(); });
  RefreshButtons();
}

void ItemListCell::SetCaptions(bool short_captions) {
  add_->setText(short_captions ? "+" : "Add");
  remove_->setText(short_captions ? "-" : "Remove");
  if (import_ != nullptr) import_->setText(short_captions ? ">>" : "Import...");
}

void ItemListCell::SetItems(const std::vector<std::string>& items,
                            const std::vector<std::string>* hidden) {
  const bool wait = items.size() > std::size_t{kWaitCursorItems};
  if (wait) QApplication::setOverrideCursor(Qt::WaitCursor);
  list_->clear();
  std::vector<std::string> shown = items;
  if (order_ == Order::kSorted) std::ranges::stable_sort(shown, ShownBefore);
  for (std::size_t i = 0; i < shown.size(); ++i) {
    auto* item = new QListWidgetItem(ToQString(shown[i]), list_);
    if (hidden != nullptr && i < hidden->size())
      item->setData(kHiddenRole, ToQString((*hidden)[i]));
  }
  if (wait) QApplication::restoreOverrideCursor();
  RefreshButtons();
}

std::vector<std::string> ItemListCell::Items() const {
  std::vector<std::string> items;
  for (int row = 0; row < list_->count(); ++row) {
    std::string text = FromQString(list_->item(row)->text());
    if (!text.empty()) items.push_back(std::move(text));
  }
  return items;
}

void ItemListCell::SetStoredItems(const std::vector<std::string>& items) { SetItems(items); }

std::vector<std::string> ItemListCell::StoredItems() const { return Items(); }

QListWidgetItem* ItemListCell::FindEqualItem(const QString& text) const {
  const std::string wanted = FromQString(text);
  for (int row = 0; row < list_->count(); ++row) {
    if (EqualsIgnoringCase(FromQString(list_->item(row)->text()), wanted)) return list_->item(row);
  }
  return nullptr;
}

int ItemListCell::InsertionRow(const QString& text) const {
  if (order_ == Order::kInsertion) return list_->count();
  const std::string wanted = FromQString(text);
  int low = 0;
  int high = list_->count();
  while (low < high) {
    const int middle = (low + high) / 2;
    if (ShownBefore(wanted, FromQString(list_->item(middle)->text()))) {
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  return low;
}

QListWidgetItem* ItemListCell::AddItem(const std::string& text, const std::string* hidden) {
  const QString shown = ToQString(text);
  if (text.empty() || FindEqualItem(shown) != nullptr) return nullptr;
  auto* item = new QListWidgetItem(shown);
  if (hidden != nullptr) item->setData(kHiddenRole, ToQString(*hidden));
  list_->insertItem(InsertionRow(shown), item);
  return item;
}

void ItemListCell::Add() {
  const std::string text = InputText();
  if (text.empty()) return;
  const QString shown = ToQString(InputItemText());
  if (QListWidgetItem* item = AddFromInput()) {
    list_->scrollToItem(item);
    Notify(ItemListChangeEvent::kAdded, {FromQString(item->text())});
    ReportChange();
  } else if (QListWidgetItem* copy = FindEqualItem(shown)) {
    // Shows why nothing was added.
    list_->setCurrentItem(copy, QItemSelectionModel::ClearAndSelect);
    list_->scrollToItem(copy);
  }
  ClearInput();
  FocusInput();
  RefreshButtons();
}

void ItemListCell::RemoveSelected() {
  std::vector<std::string> removed;
  for (int row = list_->count() - 1; row >= 0; --row) {
    if (!list_->item(row)->isSelected()) continue;
    removed.insert(removed.begin(), FromQString(list_->item(row)->text()));
    delete list_->takeItem(row);
  }
  list_->setFocus();
  RefreshButtons();
  if (removed.empty()) return;
  Notify(ItemListChangeEvent::kRemoved, std::move(removed));
  ReportChange();
}

void ItemListCell::ImportWarning(const std::string& text) {
  static_cast<void>(
      ShowMessageBox(this, MessageKind::kWarning, std::string(kImportErrorTitle), text));
}

bool ItemListCell::ImportedPieceIsValid(const std::string& piece) const {
  if (!Matches(validation_, piece, false)) return false;
  if (auto* list = dynamic_cast<const ItemListControl*>(&Control()); list && list->WordItems()) {
    // A word with a separator in it could never match a word of a page.
    return std::ranges::none_of(piece,
                                [](char c) { return IsSeparator(static_cast<unsigned char>(c)); });
  }
  return true;
}

QListWidgetItem* ItemListCell::AddImported(const std::string& piece) { return AddItem(piece); }

QListWidgetItem* ItemListCell::AddFromInput() { return AddImported(InputText()); }

std::string ItemListCell::HiddenValue(const QListWidgetItem* item) {
  return FromQString(item->data(kHiddenRole).toString());
}

void ItemListCell::Import() {
  FileDialogRequest request;
  request.kind = FileDialogKind::kOpen;
  request.title = "Import List Data";
  request.filter = import_filter_;
  const std::optional<std::string> path = RunFileDialog(this, request);
  if (!path) return;

  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(*path, error);
  if (!error && size > kImportLimit) return ImportWarning(kTooLarge);
  if (!std::ifstream(*path, std::ios::binary).is_open()) return ImportWarning(kNotOpened);
  std::string bytes;
  if (!ReadWholeFile(*path, &bytes) || bytes.empty()) return ImportWarning(kNotRead);
  // The file may have grown since its size was asked.
  if (bytes.size() > kImportLimit) return ImportWarning(kTooLarge);

  const std::vector<std::string> pieces = SplitImportedText(bytes);
  if (pieces.empty()) return ImportWarning(kNoEntries);

  std::vector<std::string> added;
  std::vector<std::string> invalid;
  for (const std::string& piece : pieces) {
    if (!ImportedPieceIsValid(piece)) {
      invalid.push_back(piece);
    } else if (QListWidgetItem* item = AddImported(piece)) {
      added.push_back(FromQString(item->text()));
    }
  }
  if (added.empty()) return ImportWarning(kNoNewEntries);
  if (!invalid.empty()) ImportWarning(InvalidEntriesMessage(InvalidEntriesText(invalid)));
  RefreshButtons();
  Notify(ItemListChangeEvent::kAdded, std::move(added));
  ReportChange();
}

void ItemListCell::RefreshButtons() {
  if (list_ == nullptr) return;
  // A disabled control keeps every button disabled.
  const bool enabled = list_->isEnabled();
  add_->setEnabled(enabled && !InputText().empty());
  remove_->setEnabled(enabled && !list_->selectedItems().isEmpty());
}

void ItemListCell::SetOwnerNotification(QObject* owner, QEvent::Type type) {
  owner_ = owner;
  owner_type_ = type;
}

void ItemListCell::Notify(ItemListChangeEvent::Change change, std::vector<std::string> items) {
  if (owner_ == nullptr) return;
  QCoreApplication::postEvent(owner_,
                              new ItemListChangeEvent(owner_type_, change, std::move(items)));
}

int ItemListCell::PreferredHeight() const {
  return ItemListPreferredHeight(Control().NumberProperty("listlines", 1), false, HasImport());
}

int ItemListCell::Place(const Rect& rect) {
  cell_left_ = rect.left;
  return ControlCell::Place(rect);
}

void ItemListCell::LayoutChildren(int width, int height) {
  if (Label() != nullptr) Label()->setGeometry(0, kLabelTop, kLabelWidth, height - kLabelTop);
  const ItemListLayout layout = LayOutItemList(width, height, cell_left_, HasImport());
  const auto apply = [](QWidget* widget, const Rect& r) {
    if (widget != nullptr) widget->setGeometry(r.left, r.top, r.width, r.height);
  };
  apply(EnterTarget(), layout.input);
  apply(list_, layout.list);
  apply(add_, layout.add);
  apply(remove_, layout.remove);
  apply(import_, layout.import);
  SetCaptions(layout.short_captions);
}

bool ItemListCell::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (watched == list_ && key == Qt::Key_Delete) {
      RemoveSelected();
      return true;
    }
    const bool input = watched != list_ && qobject_cast<QPushButton*>(watched) == nullptr;
    if (input && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
      Add();
      return true;
    }
    // Keys in the input change only the input, not the setting.
    if (input && key == Qt::Key_Delete) return false;
  }
  return ControlCell::eventFilter(watched, event);
}

// -- ItemListControl ------------------------------------------------------------

ItemListCell* ItemListControl::ListCell() const { return static_cast<ItemListCell*>(Cell()); }

std::vector<std::string> ItemListControl::ReadItems(const SettingAddress& at, bool* stored) const {
  std::vector<std::string> items;
  int rc = kResultUnresolved;
  if (Encrypted()) {
    std::string secret;
    rc = GetSecret(*Store(), Root(), at, &secret);
    std::size_t start = 0;
    for (std::size_t i = 0; i <= secret.size(); ++i) {
      if (i < secret.size() && secret[i] != ',') continue;
      if (i > start) items.push_back(secret.substr(start, i - start));
      start = i + 1;
    }
  } else {
    rc = GetList(*Store(), Root(), at, &items);
  }
  *stored = rc == kResultOk;
  return items;
}

std::vector<std::string> ItemListControl::LoadItems() const {
  if (Store() == nullptr) return {};
  bool stored = false;
  std::vector<std::string> items = ReadItems(Address(), &stored);
  if (!stored || items.empty()) {
    // Only a stored older list stands in; its mere default does not.
    if (const std::string* alternate = Attribute("alternate")) {
      bool other_stored = false;
      std::vector<std::string> other = ReadItems(AddressOf(*alternate), &other_stored);
      if (other_stored && !other.empty()) items = std::move(other);
    }
  }
  if (!WordItems()) return items;
  // The indexer takes blanks, tabs and line ends between words as well as
  // commas, so a list written by hand that way shows one word per item.
  std::vector<std::string> words;
  for (const std::string& item : items) {
    std::size_t start = 0;
    for (std::size_t i = 0; i <= item.size(); ++i) {
      if (i < item.size() && item[i] != ',' && item[i] != ' ' && item[i] != '\t' &&
          item[i] != '\r' && item[i] != '\n') {
        continue;
      }
      if (i > start) words.push_back(item.substr(start, i - start));
      start = i + 1;
    }
  }
  return words;
}

void ItemListControl::SaveItems(const std::vector<std::string>& items) {
  if (Store() == nullptr) return;
  // A setting the descriptor cannot resolve has nowhere to go; that is the
  // descriptor's fault and shows in its own tests.
  if (Encrypted()) {
    std::string joined;
    for (const std::string& item : items) {
      if (!joined.empty()) joined += ',';
      joined += item;
    }
    static_cast<void>(SetSecret(*Store(), Root(), Address(), joined));
  } else {
    static_cast<void>(SetList(*Store(), Root(), Address(), items));
  }
  if (const std::string* alternate = Attribute("alternate")) {
    static_cast<void>(SetString(*Store(), Root(), AddressOf(*alternate), ""));
  }
}

void ItemListControl::ExchangeValue(bool save) {
  ItemListCell* cell = ListCell();
  if (Store() == nullptr || cell == nullptr) return;
  if (save) {
    SaveItems(cell->StoredItems());
  } else {
    const std::vector<std::string> items = LoadItems();
    WhileLoading([&] { cell->SetStoredItems(items); });
  }
}

bool ItemListControl::ShowsValue() const {
  const ItemListCell* cell = ListCell();
  return cell != nullptr && !cell->Items().empty();
}

void ItemListControl::DeleteAction() {
  ItemListCell* cell = ListCell();
  if (cell != nullptr && cell->List()->hasFocus()) cell->RemoveSelected();
}

void ItemListControl::SetEnabled(bool enable) {
  SettingControl::SetEnabled(enable);
  if (ItemListCell* cell = ListCell()) cell->RefreshButtons();
}

}  // namespace vossik
