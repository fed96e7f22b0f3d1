// The item list shared by the `list`, `iplist` and `keyvaluelist` setting
// controls: an input, a list box of items, and Add, Remove and Import
// buttons. ItemListCell is the window (each type supplies its input);
// ItemListControl carries the storage rules: a plain list (SetList), or,
// with `encrypted`, the items joined by "," as one secret, and the
// `alternate` setting that an older list stood in.
//
// Items are texts without duplicates: an item is not added beside one equal
// to it without regard to case. The list box is sorted without regard to
// case, or keeps the order of insertion (`keyvaluelist`). Import reads a
// file of at most 1,048,575 bytes, split at commas, tabs and line ends.
// Everything runs on the user-interface thread.
#pragma once

#include <QEvent>
#include <QPointer>
#include <string>
#include <string_view>
#include <vector>

#include "ui/control_cell.h"
#include "ui/setting_control.h"

class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace vossik {

/// The largest file Import reads.
inline constexpr std::size_t kImportLimit = 0xFFFFF;
/// The title of every message of Import.
inline constexpr std::string_view kImportErrorTitle = "Import Error";

/// Posted to an item list's owner after items were added (Add, Import) or
/// removed (Remove), with the items' texts as the list box shows them.
class ItemListChangeEvent : public QEvent {
 public:
  enum Change { kAdded = 0, kRemoved = 1 };
  ItemListChangeEvent(QEvent::Type type, Change change, std::vector<std::string> items)
      : QEvent(type), change_(change), items_(std::move(items)) {}
  Change WhatChanged() const { return change_; }
  const std::vector<std::string>& Items() const { return items_; }

 private:
  Change change_;
  std::vector<std::string> items_;
};

/// The pieces of an imported file: split at every comma, CR, LF and tab,
/// blanks trimmed from both ends (an address or a word never begins or ends
/// with one), empty pieces dropped.
std::vector<std::string> SplitImportedText(std::string_view text);

/// The invalid entries as the Import message quotes them: each piece
/// followed by ", ", cut to 256 characters and then followed by "..." when
/// longer.
std::string InvalidEntriesText(const std::vector<std::string>& pieces);

class ItemListCell : public ControlCell {
  Q_OBJECT

 public:
  enum class Order { kSorted, kInsertion };

  /// The list box is the main input (named after the uid); the buttons are
  /// uid + "/add", "/remove" and "/import". A subclass builds its input
  /// first, then calls FinishCreating().
  ItemListCell(SettingControl& control, QWidget* parent, Order order);
  ~ItemListCell() override;

  /// Replaces every item (the wait cursor shows while more than 100 are
  /// filled in). Items are display texts; see SetStoredItems() for values.
  /// `hidden`, when given, holds the value kept beside each item (a list
  /// kept in insertion order only).
  void SetItems(const std::vector<std::string>& items,
                const std::vector<std::string>* hidden = nullptr);
  /// The display texts in list-box order, empty ones skipped.
  std::vector<std::string> Items() const;

  /// The stored form of the items and back; a key and value list turns
  /// "key:value" into its display form here.
  virtual void SetStoredItems(const std::vector<std::string>& items);
  virtual std::vector<std::string> StoredItems() const;

  /// Adds `text` unless it is empty or an equal item (without regard to
  /// case) is there. `hidden` is kept beside the item (a masked value).
  /// Returns the new item, or nullptr.
  QListWidgetItem* AddItem(const std::string& text, const std::string* hidden = nullptr);

  /// What the Add button does: adds the input's text, tells the owner,
  /// clears the input and keeps the focus there.
  void Add();
  /// What the Remove button does: removes the selected items and tells the
  /// owner; the list keeps the focus.
  void RemoveSelected();
  /// What the Import button does (a file dialog, then the file's entries).
  void Import();
  /// Add is enabled while the input is not empty, Remove while an item is
  /// selected.
  void RefreshButtons();

  /// Added and removed items are posted to `owner` as ItemListChangeEvents
  /// of `type`; a null owner stops the notices.
  void SetOwnerNotification(QObject* owner, QEvent::Type type);

  QListWidget* List() const { return list_; }
  bool HasImport() const { return has_import_; }

  int PreferredHeight() const override;
  int Place(const Rect& rect) override;

 protected:
  /// The input's text ("" when empty), emptying and focusing it.
  virtual std::string InputText() const = 0;
  virtual void ClearInput() = 0;
  virtual void FocusInput() = 0;
  /// The widget that takes Enter as Add.
  virtual QWidget* EnterTarget() const = 0;
  /// Adds one piece of an imported file.
  virtual QListWidgetItem* AddImported(const std::string& piece);
  /// Adds what the input holds; nullptr when nothing was added.
  virtual QListWidgetItem* AddFromInput();
  /// The item text the input would add.
  virtual std::string InputItemText() const { return InputText(); }
  /// The value kept beside `item` ("" when none).
  static std::string HiddenValue(const QListWidgetItem* item);

  /// Creates the Add, Remove and Import buttons and the list box, after
  /// the subclass made its input.
  void FinishCreating();

  int CellLeft() const { return cell_left_; }
  QPushButton* AddButton() const { return add_; }
  QPushButton* RemoveButton() const { return remove_; }
  QPushButton* ImportButton() const { return import_; }
  /// The words of the buttons, or their signs when they are narrow.
  void SetCaptions(bool short_captions);

  void LayoutChildren(int width, int height) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Notify(ItemListChangeEvent::Change change, std::vector<std::string> items);
  /// The row where `text` goes: in order without regard to case, or last.
  int InsertionRow(const QString& text) const;
  /// The item equal to `text` without regard to case, or nullptr.
  QListWidgetItem* FindEqualItem(const QString& text) const;
  bool ImportedPieceIsValid(const std::string& piece) const;
  void ImportWarning(const std::string& text);

  Order order_;
  QListWidget* list_ = nullptr;
  QPushButton* add_ = nullptr;
  QPushButton* remove_ = nullptr;
  QPushButton* import_ = nullptr;
  std::string import_filter_;
  std::string validation_;
  bool has_import_ = false;  // `import` gives both `files` and `validation`
  int cell_left_ = 0;
  QPointer<QObject> owner_;
  QEvent::Type owner_type_ = QEvent::None;
};

/// The storage rules of the item lists. The type's cell is an ItemListCell.
class ItemListControl : public SettingControl {
 public:
  void ExchangeValue(bool save) override;
  bool ShowsValue() const override;
  /// Delete in the list box removes the selected items.
  void DeleteAction() override;
  void SetEnabled(bool enable) override;

  ItemListCell* ListCell() const;

  /// The items this control's setting holds: the stored list or secret,
  /// else a stored `alternate`, else the default. For a list of `words`
  /// every item is also split at blanks, tabs and line ends, as the
  /// indexer reads the setting.
  std::vector<std::string> LoadItems() const;
  /// Stores `items` (as one secret with `encrypted`) and empties `alternate`.
  void SaveItems(const std::vector<std::string>& items);

  /// Whether the items must be single words (the `words` attribute).
  bool WordItems() const { return BoolProperty("words"); }

 private:
  std::vector<std::string> ReadItems(const SettingAddress& at, bool* stored) const;
};

/// An item list control over the cell type `CellType`.
template <class CellType>
class ItemListControlOf : public ItemListControl {
 protected:
  ControlCell* MakeCell(QWidget* parent) override { return new CellType(*this, parent); }
};

}  // namespace vossik
