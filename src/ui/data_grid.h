// The data grid cell that `xmllist`, `cachedxmllist` and `cfglist` share: a
// report grid (columns from `headings`, row icons from `icons`, colour
// levels from `levels`), under it either the batch row ("<<", a drop-down
// of batch sizes showing "%ld-%ld of %ld", ">>") or a box with the number
// of rows, and the action buttons and context menu of the `actions`
// element. The grid's view state (sort column and direction, batch size,
// first row shown, row to bring into view) is kept as preferences.
//
// The geometry, the batch arithmetic and the reading of `actions` are plain
// functions below; DataGridControl and its cell put them on the screen. A
// type derives from DataGridControl and fills the grid in FillGrid(). The
// page owns the control, the control its cell; user-interface thread only.
#pragma once

#include <QEvent>
#include <QPointer>
#include <string>
#include <utility>
#include <vector>

#include "ui/cell_control.h"
#include "ui/control_cell.h"
#include "ui/page_layout.h"

class QComboBox;
class QLineEdit;
class QMenu;
class QPushButton;

namespace vossik {

class ReportGrid;
class XmlNode;

// -- Plain rules ----------------------------------------------------------------

/// One `option` of an `actions` element.
struct GridAction {
  int index = 0;                     // `uid`, the number the action is run by
  std::string button;                // caption of its button; none when empty
  std::string menu;                  // caption of its menu item; none when empty
  std::string hint;                  // tooltip
  std::string prompt;                // yes/no question asked before it runs
  std::string entryviewer;           // `cfglist`: uid of the entry viewer it opens
  std::string verb;                  // `cfglist`: the viewer's title prefix
  bool new_entry = false;            // `cfglist`: the viewer edits a new entry (`entry="new"`)
  bool is_default = false;           // runs on double-click and Enter
  bool is_delete = false;            // runs on the Delete key
  bool spacer_before = false;        // a `spacer` came before it
  bool break_before = false;         // a `menubreak` came before it
  std::vector<GridAction> children;  // a sub-menu
};

/// The options of `actions` in document order, with their sub-menus.
std::vector<GridAction> ReadGridActions(const XmlNode& actions);

/// The action `pick` chooses among `actions` and their sub-menus (the
/// first), or nullptr.
const GridAction* FindGridAction(const std::vector<GridAction>& actions,
                                 bool (*pick)(const GridAction&));

/// Where the pieces of a data grid cell go.
struct DataGridGeometry {
  Rect grid;
  Rect previous;  // "<<"; empty without a batch row
  Rect batch;     // the drop-down; empty without a batch row
  Rect next;      // ">>"; empty without a batch row
  Rect count;     // the number of rows; empty with a batch row
  std::vector<Rect> buttons;
};

/// The kind of cell, which decides the bottom row.
enum class DataGridKind { kXmlList, kCfgList };

/// A cell W x H: the grid above a bottom row 22 high at H - 24. `captions`
/// are the widths of the button captions; `spacers` says which button has
/// a spacer before it. The "<<" and ">>" buttons are `arrow_width` wide (18,
/// unless the font needs more), and what follows them moves along.
DataGridGeometry LayOutDataGrid(int width, int height, DataGridKind kind, bool batch_row,
                                const std::vector<int>& captions, const std::vector<bool>& spacers,
                                int arrow_width = 18);

/// The batch sizes of the drop-down, in its order; the last is "Show All".
inline constexpr long kBatchSizes[] = {250, 500, 1000, 2000, 5000, 10000};
inline constexpr const char* kBatchCaptions[] = {"Show 250",  "Show 500",  "Show 1000",
                                                 "Show 2000", "Show 5000", "Show All"};

/// Which rows a grid shows: `size` rows from `start` of `total`.
struct BatchWindow {
  long size = 250;
  long start = 0;
  long total = 0;

  /// A choice of the drop-down: its size; "Show All" also goes to the top.
  void Choose(int choice);
  /// ">>": on by a batch, but not past total - size.
  void Next();
  /// "<<": back by a batch, not below 0.
  void Previous();
  /// Start and size brought into range (size at least 1, start at least 0).
  void Normalise();
  bool CanGoNext(long shown) const { return start < total - shown; }
  bool CanGoPrevious() const { return start > 0; }
  /// "%ld-%ld of %ld": start, start + shown, total.
  std::string Text(long shown) const;
};

/// How a `cfglist` shows an entry's value of `type`: "bool" as "yes" or
/// "no", "time" (stored as "3:5") as "03:05", "flags" as the names joined by
/// ", " ("All" for every name of `allowed`, "None" for none); others as
/// stored.
std::string EntryDisplayText(std::string_view type, const std::string& value,
                             const std::vector<std::string>& allowed);

// -- The control ------------------------------------------------------------------

class DataGridControl;

/// The window of a data grid control.
class DataGridCell : public ControlCell {
  Q_OBJECT

 public:
  DataGridCell(DataGridControl& control, QWidget* parent);

  ReportGrid* Grid() const { return grid_; }
  QComboBox* BatchBox() const { return batch_; }
  QPushButton* PreviousButton() const { return previous_; }
  QPushButton* NextButton() const { return next_; }
  QLineEdit* CountBox() const { return count_; }
  const std::vector<QPushButton*>& Buttons() const { return buttons_; }
  /// The context menu of the grid (nullptr without menu items).
  QMenu* Menu() const { return menu_; }

  /// Shows the batch or the row count for `shown` rows.
  void ShowBatch(const BatchWindow& window, long shown);

  void SetText(const std::string&) override {}
  bool GetText(std::string* text) const override;

 protected:
  void LayoutChildren(int width, int height) override;

 private:
  void AddMenuItems(QMenu* menu, const std::vector<GridAction>& actions);

  DataGridControl& grid_control_;
  ReportGrid* grid_ = nullptr;
  QComboBox* batch_ = nullptr;
  QPushButton* previous_ = nullptr;
  QPushButton* next_ = nullptr;
  QLineEdit* count_ = nullptr;
  std::vector<QPushButton*> buttons_;
  std::vector<bool> spacers_;
  QMenu* menu_ = nullptr;
};

/// Posted to the sheet's main window when a grid runs an action that the
/// control does not handle itself.
class GridActionEvent : public QEvent {
 public:
  GridActionEvent(std::string uid, int action, int row)
      : QEvent(EventType()), uid_(std::move(uid)), action_(action), row_(row) {}
  static QEvent::Type EventType();
  /// The uid of the control whose grid ran it.
  const std::string& Uid() const { return uid_; }
  int Action() const { return action_; }
  /// The only selected row, or -1.
  int Row() const { return row_; }

 private:
  std::string uid_;
  int action_;
  int row_;
};

class DataGridControl : public CellControl<DataGridCell, DataGridControl> {
 public:
  /// Loads: applies the preferences, fills the grid, shows the batch.
  /// Saves: keeps the preferences. A type with a stored value adds to it.
  void ExchangeValue(bool save) override;

  virtual DataGridKind Kind() const { return DataGridKind::kXmlList; }
  /// The definition's actions, read once.
  const std::vector<GridAction>& Actions();
  /// The grid (nullptr before Create()).
  ReportGrid* Grid() const;
  const BatchWindow& Batch() const { return batch_; }
  bool HasBatchRow() const { return Child("batch") != nullptr; }

  /// Asks the action's `prompt`, then runs it. False when the answer was
  /// not Yes or there is no such action.
  bool RunAction(int index);
  /// Runs the `default` action, or the `delete` one (keys and double-click).
  void RunDefaultAction();
  void DeleteAction() override;
  void EnterAction() override { RunDefaultAction(); }
  void SetEnabled(bool enable) override;
  bool Enabled() const { return enabled_; }
  void RefreshAction() override { Refill(); }

  /// A choice of the batch drop-down, "<<" and ">>": the page commits its
  /// values, and the grid refills as the page loads again.
  void ChooseBatch(int choice);
  void NextBatch();
  void PreviousBatch();

  /// Empties the grid and fills it again from where its rows come from.
  void Refill();

 protected:
  /// Fills the empty grid, whose columns and levels are in place, and sets
  /// the batch's total. True when the grid then holds every row, of which
  /// the batch is kept once they are sorted; false when it holds the batch
  /// already.
  virtual bool FillGrid(ReportGrid& grid, BatchWindow& batch) = 0;
  /// Runs an action after its prompt. The default posts a GridActionEvent
  /// to the sheet's main window.
  virtual void Perform(const GridAction& action);
  /// Whether ShowEntry is kept (only `xmllist` keeps it).
  virtual bool KeepsShowEntry() const { return false; }
  /// Removes the rows outside the batch; returns the number left.
  static long KeepBatch(ReportGrid& grid, const BatchWindow& batch);
  /// The grid's `definition` child `name`, searched depth-first.
  const XmlNode* DefinitionChild(const char* name) const;

 private:
  friend class DataGridCell;
  void SetUpGrid(ReportGrid& grid);
  void ChangeBatch();

  std::vector<GridAction> actions_;
  bool actions_read_ = false;
  bool grid_set_up_ = false;
  bool preferences_read_ = false;
  BatchWindow batch_;
  long shown_ = 0;
  long show_entry_ = 0;
  bool enabled_ = true;
};

}  // namespace vossik
