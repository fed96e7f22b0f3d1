// `textblocklist`: numbered blocks of text, each with a name and a flag
// number. Entry n keeps its text in the control's own (numbered) parameter,
// its name in the parameter named by the text of the `list` element and its
// flags in the one named by the text of `flags`, all at index n; the entries
// run from index 0 to the first empty name. The names offered come from
// `allowed` (split at "+" and ","), else from the list value of the
// parameter named by `contents`.
//
// The cell shows a name input with Add and Remove, the list of entry names
// in the order of the entries, and the text of the selected entry, edited in
// place. An entry's flags are kept as they were loaded (0 for a new entry).
// Inside a pop-up sheet that edits entry k, the entries are sub-entries at
// indices (k, n).
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include "base/ascii_case.h"
#include "base/result_codes.h"
#include "base/string_util.h"
#include "settings/settings_store.h"
#include "ui/cell_control.h"
#include "ui/control_catalogue.h"
#include "ui/list_layout.h"

namespace vossik {
namespace {

struct TextBlock {
  std::string name;
  std::string text;
  int32_t flags = 0;
};

class TextBlockListControl;

class TextBlockListCell : public ControlCell {
 public:
  TextBlockListCell(TextBlockListControl& control, QWidget* parent);

  void SetEntries(std::vector<TextBlock> entries) {
    entries_ = std::move(entries);
    names_->clear();
    for (const TextBlock& entry : entries_) names_->addItem(ToQString(entry.name));
    if (!entries_.empty()) names_->setCurrentRow(0);
    ShowCurrent();
  }
  const std::vector<TextBlock>& Entries() const { return entries_; }

  void SetOffered(const std::vector<std::string>& names) {
    name_->clear();
    for (const std::string& name : names) name_->addItem(ToQString(name));
    name_->setCurrentIndex(-1);
    name_->clearEditText();
  }

  /// Adds an entry named by the name input, or selects the entry of that
  /// name (any case) when there is one already.
  void Add() {
    const std::string name(TrimBlanks(FromQString(name_->currentText())));
    if (name.empty()) return;
    int row = 0;
    while (row < static_cast<int>(entries_.size()) &&
           !EqualsIgnoringCase(entries_[row].name, name)) {
      ++row;
    }
    if (row == static_cast<int>(entries_.size())) {
      entries_.push_back({name, {}, 0});
      names_->addItem(ToQString(name));
      ReportChange();
    }
    name_->clearEditText();
    names_->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    text_->setFocus();
    RefreshButtons();
  }

  /// Removes the selected entries.
  void RemoveSelected() {
    bool removed = false;
    for (int row = names_->count() - 1; row >= 0; --row) {
      if (!names_->item(row)->isSelected()) continue;
      entries_.erase(entries_.begin() + row);
      delete names_->takeItem(row);
      removed = true;
    }
    names_->setFocus();
    ShowCurrent();
    if (removed) ReportChange();
  }

  /// Add and Remove as for the item list; the text box only while it
  /// shows an entry.
  void RefreshButtons() {
    const bool enabled = names_->isEnabled();
    add_->setEnabled(enabled && !TrimBlanks(FromQString(name_->currentText())).empty());
    remove_->setEnabled(enabled && !names_->selectedItems().isEmpty());
    const int row = names_->currentRow();
    text_->setEnabled(enabled && row >= 0 && row < static_cast<int>(entries_.size()));
  }

  QListWidget* Names() const { return names_; }

  int PreferredHeight() const override {
    return ItemListPreferredHeight(Control().NumberProperty("listlines", 1), false, false);
  }

  int Place(const Rect& rect) override {
    cell_left_ = rect.left;
    return ControlCell::Place(rect);
  }

 protected:
  void LayoutChildren(int width, int height) override {
    if (Label() != nullptr) Label()->setGeometry(0, kLabelTop, kLabelWidth, height - kLabelTop);
    const TextBlockListLayout layout = LayOutTextBlockList(width, height, cell_left_);
    const auto apply = [](QWidget* widget, const Rect& r) {
      widget->setGeometry(r.left, r.top, r.width, r.height);
    };
    apply(name_, layout.name);
    apply(add_, layout.add);
    apply(remove_, layout.remove);
    apply(names_, layout.names);
    apply(text_, layout.text);
    const bool short_captions = layout.add.width < 40;
    add_->setText(short_captions ? "+" : "Add");
    remove_->setText(short_captions ? "-" : "Remove");
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (watched == names_ && key == Qt::Key_Delete) {
        RemoveSelected();
        return true;
      }
      if (watched == name_ && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        Add();
        return true;
      }
      // Keys in the name input or the text change no setting by themselves.
      if (watched != names_ && key == Qt::Key_Delete) return false;
    }
    return ControlCell::eventFilter(watched, event);
  }

 private:
  void ShowCurrent() {
    const int row = names_->currentRow();
    const bool valid = row >= 0 && row < static_cast<int>(entries_.size());
    showing_ = true;
    text_->setPlainText(valid ? ToQString(entries_[row].text) : QString());
    showing_ = false;
    RefreshButtons();
  }

  void TextEdited() {
    if (showing_) return;
    const int row = names_->currentRow();
    if (row < 0 || row >= static_cast<int>(entries_.size())) return;
    entries_[row].text = FromQString(text_->toPlainText());
    ReportChange();
  }

  QComboBox* name_;
  QPushButton* add_;
  QPushButton* remove_;
  QListWidget* names_;
  QPlainTextEdit* text_;
  std::vector<TextBlock> entries_;
  int cell_left_ = 0;
  bool showing_ = false;  // the text box is being filled, not edited
};

class TextBlockListControl : public CellControl<TextBlockListCell, TextBlockListControl> {
 public:
  void ExchangeValue(bool save) override {
    TextBlockListCell* cell = TypedCell();
    if (Store() == nullptr || cell == nullptr) return;
    if (save) {
      Save(cell->Entries());
    } else {
      WhileLoading([&] {
        cell->SetOffered(OfferedNames());
        cell->SetEntries(Load());
      });
    }
  }

  bool ShowsValue() const override {
    return TypedCell() != nullptr && !TypedCell()->Entries().empty();
  }

  void DeleteAction() override {
    TextBlockListCell* cell = TypedCell();
    if (cell != nullptr && cell->Names()->hasFocus()) cell->RemoveSelected();
  }

  void SetEnabled(bool enable) override {
    SettingControl::SetEnabled(enable);
    if (TextBlockListCell* cell = TypedCell()) cell->RefreshButtons();
  }

 private:
  /// The address of `uid` at entry `n`: (n) on an ordinary sheet, (k, n)
  /// inside a pop-up that edits entry k.
  SettingAddress EntryAddress(std::string_view uid, int n) const {
    SettingAddress at{uid};
    if (EntryIndex() >= 0) {
      at.index = EntryIndex();
      at.sub_index = n;
    } else {
      at.index = n;
    }
    if (uid == Uid()) at.override_element = Ref().override_element;
    return at;
  }

  std::string NamesUid() const {
    const std::string* uid = ChildText("list");
    return uid != nullptr ? std::string(TrimBlanks(*uid)) : std::string();
  }
  std::string FlagsUid() const {
    const std::string* uid = ChildText("flags");
    return uid != nullptr ? std::string(TrimBlanks(*uid)) : std::string();
  }

  std::vector<TextBlock> Load() const {
    std::vector<TextBlock> entries;
    const std::string names = NamesUid();
    const std::string flags = FlagsUid();
    if (names.empty()) return entries;
    for (int n = 0;; ++n) {
      TextBlock entry;
      // A name the file lacks ends the entries, even when the descriptor
      // gives names a default.
      if (GetString(*Store(), Root(), EntryAddress(names, n), &entry.name) != kResultOk ||
          entry.name.empty()) {
        break;
      }
      static_cast<void>(GetString(*Store(), Root(), EntryAddress(Uid(), n), &entry.text));
      if (!flags.empty()) {
        static_cast<void>(GetNumber(*Store(), Root(), EntryAddress(flags, n), &entry.flags));
      }
      entries.push_back(std::move(entry));
    }
    return entries;
  }

  void Save(const std::vector<TextBlock>& entries) {
    const std::string names = NamesUid();
    const std::string flags = FlagsUid();
    if (names.empty()) return;
    // Entries beyond the new end are what Remove took away: they are
    // emptied, or the next load would bring them back.
    const int count = static_cast<int>(entries.size());
    const int last = LastIndex(*Store(), Root(), EntryAddress(names, 0), count);
    std::vector<int> stale;
    for (int n = count; n <= last; ++n) stale.push_back(n);
    for (int n = 0; n < count; ++n) {
      const TextBlock& entry = entries[static_cast<std::size_t>(n)];
      static_cast<void>(SetString(*Store(), Root(), EntryAddress(Uid(), n), entry.text));
      static_cast<void>(SetString(*Store(), Root(), EntryAddress(names, n), entry.name));
      if (!flags.empty()) {
        static_cast<void>(SetNumber(*Store(), Root(), EntryAddress(flags, n), entry.flags));
      }
    }
    if (stale.empty()) return;
    for (const std::string& uid : {Uid(), names, flags}) {
      if (!uid.empty()) ClearIndices(*Store(), Root(), EntryAddress(uid, 0), stale);
    }
  }

  std::vector<std::string> OfferedNames() const {
    if (const std::string* allowed = ChildText("allowed")) return SplitTrimmed(*allowed, "+,");
    std::vector<std::string> names;
    if (const std::string* contents = ChildText("contents")) {
      static_cast<void>(GetList(*Store(), Root(), AddressOf(TrimBlanks(*contents)), &names));
    }
    return names;
  }
};

TextBlockListCell::TextBlockListCell(TextBlockListControl& control, QWidget* parent)
    : ControlCell(control, parent) {
  CreateLabel();
  name_ = new QComboBox;
  name_->setEditable(true);
  name_->setInsertPolicy(QComboBox::NoInsert);
  AddInput(name_, "name");
  connect(name_, &QComboBox::currentTextChanged, this, [this] { RefreshButtons(); });
  add_ = new QPushButton("Add");
  AddInput(add_, "add");
  add_->setToolTip("Add an item to the list");
  add_->setAutoDefault(false);
  connect(add_, &QPushButton::clicked, this, [this] { Add(); });
  remove_ = new QPushButton("Remove");
  AddInput(remove_, "remove");
  remove_->setToolTip("Remove the selected item(s) from the list");
  remove_->setAutoDefault(false);
  connect(remove_, &QPushButton::clicked, this, [this] { RemoveSelected(); });
  names_ = new QListWidget;
  names_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  SetMainInput(names_);
  connect(names_, &QListWidget::currentRowChanged, this, [this] { ShowCurrent(); });
  connect(names_, &QListWidget::itemSelectionChanged, this, [this] { RefreshButtons(); });
  text_ = new QPlainTextEdit;
  AddInput(text_, "text");
  connect(text_, &QPlainTextEdit::textChanged, this, [this] { TextEdited(); });
  ShowCurrent();
}

}  // namespace

std::unique_ptr<SettingControl> MakeTextBlockListControl() {
  return std::make_unique<TextBlockListControl>();
}

}  // namespace vossik
