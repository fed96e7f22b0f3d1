// ReportGrid is a multi-column report list: columns taken from a `headings`
// element, rows filled from an XML file or one by one, sorting by the kind
// of the column whose heading is clicked (ascending, then descending on a
// second click), date, time and size cells written from their numbers,
// a coloured level bar behind each row, check boxes and icons, texts too
// wide for their cells shortened with "...", and the selected rows handed
// back as XML. The rules it applies are those of grid_rules.h.
//
// Rows live in one table model and are drawn by one delegate, so a grid
// of 10,000 rows makes no window per row. Row numbers are positions in the
// order shown. The grid owns its model and delegate; user-interface thread
// only.
#pragma once

#include <QColor>
#include <QIcon>
#include <QTreeView>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "widgets/grid_rules.h"

namespace vossik {

class XmlNode;
class ReportGridModel;

/// A row's check box: none, cleared or ticked.
enum class RowCheck { kNone, kOff, kOn };

class ReportGrid : public QTreeView {
  Q_OBJECT

 public:
  explicit ReportGrid(QWidget* parent = nullptr);
  ~ReportGrid() override;

  // -- Columns ----------------------------------------------------------------

  /// Appends a column; `data_name` (the caption when empty) names its values.
  /// `alignment` places the texts of every column but the first.
  void AddColumn(const std::string& caption, int width, ColumnKind kind,
                 const std::string& data_name = {}, Qt::Alignment alignment = Qt::AlignLeft);
  /// One column per `title` child of `headings`: caption `name` or the
  /// element's text, `width` (100), `sort`, `data` (the caption), `align`.
  void ColumnsFromHeadings(const XmlNode& headings);
  int ColumnCount() const;
  /// The column whose data name is `name`, or -1.
  int ColumnOfData(std::string_view name) const;
  const std::string& DataName(int column) const;
  ColumnKind Kind(int column) const;

  // -- Rows -------------------------------------------------------------------

  /// Appends a row whose first cell is `key`; returns its row number.
  int AddRow(const std::string& key, int icon = -1);
  /// Sets a cell; ignored when the row or the column does not exist.
  void SetCell(int row, int column, const std::string& text);
  /// The cell's text as stored, "" when there is no such cell.
  std::string CellText(int row, int column) const;
  int RowCount() const;
  /// Adds one row per `entry` element at the level of the first one found
  /// under `root`, taking each column's value from the child named by its
  /// data name (its `value` attribute, else its text). A "date" child also
  /// fills a column named "time". Returns the number of rows added.
  int RowsFromXml(const XmlNode& root, std::string_view entry);
  /// Deletes every row.
  void Clear();
  /// Keeps `count` rows from row `first` and deletes the others.
  void KeepRows(int first, int count);

  void SetRowCheck(int row, RowCheck check);
  RowCheck RowCheckState(int row) const;
  /// A number the owner keeps with a row (where its entry came from), -1 by default.
  void SetRowTag(int row, int tag);
  int RowTag(int row) const;
  /// The images that a row's icon number picks.
  void SetIcons(std::vector<QIcon> icons);

  /// The row whose key text equals `key` exactly, or -1.
  int FindRow(std::string_view key) const;
  /// Scrolls until `row` is the top row (as far as the list goes).
  void BringToTop(int row);

  // -- Selection --------------------------------------------------------------

  /// The selected rows, in row order.
  std::vector<int> SelectedRows() const;
  /// The only selected row, or -1 unless exactly one is selected.
  int SingleSelectedRow() const;
  /// The texts of `column` in every selected row, in row order.
  std::vector<std::string> SelectedTexts(int column) const;
  void SelectAllRows(bool select);
  void SelectRow(int row, bool select);
  /// Deletes every selected row.
  void DeleteSelectedRows();
  /// Appends the selected rows as XML (AppendSelectionXml); nothing when
  /// no row is selected.
  void AppendSelection(std::string& out) const;

  // -- Sorting ----------------------------------------------------------------

  /// Sorts by `column` in the given direction, as a heading click does.
  void SortBy(int column, bool ascending);
  /// -1 until the rows were sorted.
  int SortColumn() const { return sort_column_; }
  bool SortAscending() const { return sort_ascending_; }

  // -- Levels -----------------------------------------------------------------

  /// Takes the level column (`column`, a data name) and the colours
  /// `color0` .. `color4` of a `levels` element, and resets the thresholds
  /// to 25, 50, 75 and 100.
  void LevelsFromElement(const XmlNode& levels);
  void SetLevelColumn(int column) { level_column_ = column; }
  int LevelColumn() const { return level_column_; }
  void SetThresholds(const LevelThresholds& thresholds) { thresholds_ = thresholds; }
  const LevelThresholds& Thresholds() const { return thresholds_; }
  void SetLevelColour(int index, const QColor& colour);
  const QColor& LevelColour(int index) const;
  const QColor& Background() const { return background_; }
  /// The colour a row is filled with (before its bar ends), or none.
  QColor RowColour(int row) const;

  /// The model's index of a cell, for tests and the delegate.
  QModelIndex CellIndex(int row, int column) const;
  const std::vector<QIcon>& Icons() const { return icons_; }

 signals:
  /// The user ticked or cleared a row's check box.
  void RowCheckToggled(int row, bool on);
  /// A row was double-clicked, or Enter was pressed on it.
  void RowActivated(int row);
  /// The Delete key was pressed in the grid.
  void DeletePressed();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  /// Draws the row's cells, then the part of its level bar that reaches
  /// past the last column.
  void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

 private:
  void HeadingClicked(int column);

  ReportGridModel* model_;
  std::vector<QIcon> icons_;
  int sort_column_ = -1;
  bool sort_ascending_ = true;
  int level_column_ = -1;
  LevelThresholds thresholds_ = {0, 0, 0, 0};
  std::array<QColor, 5> level_colours_;
  QColor background_ = Qt::white;
};

}  // namespace vossik
