#include "widgets/report_grid.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <algorithm>
#include <numeric>
#include <unordered_map>

#include "base/ascii_case.h"
#include "widgets/hex_colour.h"
#include "xml/xml_document.h"

namespace vossik {
namespace {

constexpr int kDefaultColumnWidth = 100;
constexpr int kFirstColumnInset = 2;
constexpr int kColumnInset = 6;
constexpr int kIconSize = 16;
constexpr int kIconGap = 2;

QString ToQ(std::string_view text) {
  return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

struct Column {
  std::string caption;
  int width = kDefaultColumnWidth;
  ColumnKind kind = ColumnKind::kText;
  std::string data_name;
  Qt::Alignment alignment = Qt::AlignLeft;
};

struct Row {
  std::vector<std::string> cells;
  int icon = -1;
  RowCheck check = RowCheck::kNone;
  int tag = -1;
};

}  // namespace

// The rows in the order shown, and the columns. Sorting reorders the rows
// in place and keeps the selection with them.
class ReportGridModel : public QAbstractTableModel {
 public:
  explicit ReportGridModel(QObject* parent) : QAbstractTableModel(parent) {}

  int rowCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : static_cast<int>(row_table.size());
  }
  int columnCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : static_cast<int>(column_table.size());
  }

  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid()) return {};
    const Row& row = row_table[static_cast<std::size_t>(index.row())];
    const auto column = static_cast<std::size_t>(index.column());
    if (role == Qt::DisplayRole) {
      // What is shown; the delegate shortens it to fit.
      return column < row.cells.size()
                 ? ToQ(CellDisplayText(column_table[column].kind, row.cells[column]))
                 : QString();
    }
    if (role == Qt::ToolTipRole && column < row.cells.size()) {
      return ToQ(CellDisplayText(column_table[column].kind, row.cells[column]));
    }
    return {};
  }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columnCount()) {
      return {};
    }
    return ToQ(column_table[static_cast<std::size_t>(section)].caption);
  }

  Qt::ItemFlags flags(const QModelIndex& index) const override {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
  }

  void AddColumn(Column column) {
    const int at = columnCount();
    beginInsertColumns(QModelIndex(), at, at);
    column_table.push_back(std::move(column));
    for (Row& row : row_table) row.cells.resize(column_table.size());
    endInsertColumns();
  }

  int AddRow(Row row) {
    row.cells.resize(column_table.size());
    const int at = rowCount();
    beginInsertRows(QModelIndex(), at, at);
    row_table.push_back(std::move(row));
    endInsertRows();
    return at;
  }

  // Adds many rows with one notice to the view.
  void AppendRows(std::vector<Row> rows) {
    if (rows.empty()) return;
    const int at = rowCount();
    beginInsertRows(QModelIndex(), at, at + static_cast<int>(rows.size()) - 1);
    for (Row& row : rows) {
      row.cells.resize(column_table.size());
      row_table.push_back(std::move(row));
    }
    endInsertRows();
  }

  void Clear() {
    beginResetModel();
    // The records go with the rows rather than waiting for the grid to go.
    std::vector<Row>().swap(row_table);
    endResetModel();
  }

  void Keep(int first, int count) {
    first = std::clamp(first, 0, rowCount());
    count = std::clamp(count, 0, rowCount() - first);
    if (first == 0 && count == rowCount()) return;
    beginResetModel();
    row_table.erase(row_table.begin() + first + count, row_table.end());
    row_table.erase(row_table.begin(), row_table.begin() + first);
    endResetModel();
  }

  void RemoveRows(const std::vector<int>& rows_in_order) {
    for (auto it = rows_in_order.rbegin(); it != rows_in_order.rend(); ++it) {
      beginRemoveRows(QModelIndex(), *it, *it);
      row_table.erase(row_table.begin() + *it);
      endRemoveRows();
    }
  }

  void Changed(int row, int first_column, int last_column) {
    emit dataChanged(index(row, first_column), index(row, last_column));
  }

  void Sort(int column, bool ascending) {
    const ColumnKind kind = column_table[static_cast<std::size_t>(column)].kind;
    const auto at = static_cast<std::size_t>(column);
    std::vector<int> order(row_table.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
      const std::string& x = row_table[static_cast<std::size_t>(a)].cells[at];
      const std::string& y = row_table[static_cast<std::size_t>(b)].cells[at];
      // Rows without text stay last whichever way the column runs.
      if (x.empty() != y.empty()) return y.empty();
      const int compared = CompareCells(kind, x, y);
      return ascending ? compared < 0 : compared > 0;
    });
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> new_position(row_table.size());
    std::vector<Row> sorted;
    sorted.reserve(row_table.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
      new_position[static_cast<std::size_t>(order[i])] = static_cast<int>(i);
      sorted.push_back(std::move(row_table[static_cast<std::size_t>(order[i])]));
    }
    row_table = std::move(sorted);
    const QModelIndexList old_indexes = persistentIndexList();
    QModelIndexList new_indexes;
    new_indexes.reserve(old_indexes.size());
    for (const QModelIndex& old : old_indexes) {
      new_indexes.push_back(index(new_position[static_cast<std::size_t>(old.row())], old.column()));
    }
    changePersistentIndexList(old_indexes, new_indexes);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
  }

  // Open to the grid and its delegate, which are this model's only users.
  std::vector<Column> column_table;
  std::vector<Row> row_table;
};

namespace {

// Draws a row as the grid wants it: highlight or level bar, check box,
// icon, and the text shortened to its cell.
class ReportGridDelegate : public QStyledItemDelegate {
 public:
  explicit ReportGridDelegate(ReportGrid& grid) : QStyledItemDelegate(&grid), grid_(grid) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    painter->save();
    const int row = index.row();
    const int column = index.column();
    const QRect cell = option.rect;
    const bool selected = (option.state & QStyle::State_Selected) != 0;
    QPalette::ColorGroup group =
        (option.state & QStyle::State_Enabled) != 0 ? QPalette::Normal : QPalette::Disabled;
    // The grid always shows its selection, with or without the focus.
    if (selected) {
      painter->fillRect(cell, option.palette.brush(group, QPalette::Highlight));
    } else {
      const QColor colour = grid_.RowColour(row);
      if (colour.isValid()) {
        // The bar starts at the row's left edge, which scrolls with the columns.
        const int row_left = -grid_.horizontalScrollBar()->value();
        const long value = LeadingNumber(grid_.CellText(row, grid_.LevelColumn()));
        const int bar_end = row_left + LevelBarWidth(value, grid_.width());
        const QRect bar = cell.intersected(
            QRect(QPoint(row_left, cell.top()), QPoint(bar_end - 1, cell.bottom())));
        painter->fillRect(cell, grid_.Background());
        if (!bar.isEmpty()) painter->fillRect(bar, colour);
      } else {
        painter->fillRect(cell, grid_.Background());
      }
    }

    QRect text_rect = cell;
    if (column == 0) {
      text_rect.setLeft(text_rect.left() + kFirstColumnInset);
      if (grid_.RowCheckState(row) != RowCheck::kNone) {
        const QRect box = CheckRect(option);
        QStyleOptionViewItem check = option;
        check.rect = box;
        check.state =
            (option.state & QStyle::State_Enabled) |
            (grid_.RowCheckState(row) == RowCheck::kOn ? QStyle::State_On : QStyle::State_Off);
        const QWidget* widget = option.widget;
        QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
        style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &check, painter, widget);
        text_rect.setLeft(box.right() + kIconGap + 1);
      }
      const int icon = IconOf(row);
      if (icon >= 0 && static_cast<std::size_t>(icon) < grid_.Icons().size()) {
        const QRect icon_rect(text_rect.left(), cell.top() + (cell.height() - kIconSize) / 2,
                              kIconSize, kIconSize);
        grid_.Icons()[static_cast<std::size_t>(icon)].paint(painter, icon_rect);
        text_rect.setLeft(icon_rect.right() + kIconGap + 1);
      }
    } else {
      text_rect.adjust(kColumnInset, 0, -kColumnInset, 0);
    }

    const QString shown = index.data(Qt::DisplayRole).toString();
    if (!shown.isEmpty()) {
      const QFontMetrics metrics(option.font);
      const int room = TextRoom(column, cell.width()) -
                       (text_rect.left() - cell.left() - (column == 0 ? kFirstColumnInset : 0));
      const std::string bytes = shown.toLocal8Bit().toStdString();
      const QString fitted = ToQ(ShortenToFit(bytes, room, [&metrics](std::string_view piece) {
        return metrics.horizontalAdvance(ToQ(piece));
      }));
      painter->setFont(option.font);
      painter->setPen(
          option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
      const Qt::Alignment alignment =
          column == 0 ? Qt::Alignment(Qt::AlignLeft) : Alignment(column);
      painter->drawText(text_rect, (alignment | Qt::AlignVCenter).toInt(), fitted);
    }
    painter->restore();
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(std::max(size.height(), kIconSize + 2));
    return size;
  }

  bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override {
    if (index.column() == 0 && grid_.RowCheckState(index.row()) != RowCheck::kNone &&
        event->type() == QEvent::MouseButtonRelease) {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() == Qt::LeftButton &&
          CheckRect(option).contains(mouse->position().toPoint())) {
        const bool on = grid_.RowCheckState(index.row()) != RowCheck::kOn;
        grid_.SetRowCheck(index.row(), on ? RowCheck::kOn : RowCheck::kOff);
        emit grid_.RowCheckToggled(index.row(), on);
        return true;
      }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
  }

 private:
  QRect CheckRect(const QStyleOptionViewItem& option) const {
    const QWidget* widget = option.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    const int side = style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, widget);
    return QRect(option.rect.left() + kFirstColumnInset,
                 option.rect.top() + (option.rect.height() - side) / 2, side, side);
  }

  int IconOf(int row) const;
  Qt::Alignment Alignment(int column) const;

  ReportGrid& grid_;
};

}  // namespace

// The delegate reads the model through the grid; these two need its records.
int ReportGridDelegate::IconOf(int row) const {
  const auto* model = static_cast<const ReportGridModel*>(grid_.model());
  return model->row_table[static_cast<std::size_t>(row)].icon;
}

Qt::Alignment ReportGridDelegate::Alignment(int column) const {
  const auto* model = static_cast<const ReportGridModel*>(grid_.model());
  return model->column_table[static_cast<std::size_t>(column)].alignment;
}

ReportGrid::ReportGrid(QWidget* parent) : QTreeView(parent), model_(new ReportGridModel(this)) {
  level_colours_.fill(Qt::white);
  setModel(model_);
  setItemDelegate(new ReportGridDelegate(*this));
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setFrameShadow(QFrame::Sunken);
  header()->setStretchLastSection(false);
  header()->setSectionsMovable(false);
  header()->setSectionsClickable(true);
  header()->setSortIndicatorShown(false);
  connect(header(), &QHeaderView::sectionClicked, this, &ReportGrid::HeadingClicked);
  connect(this, &QAbstractItemView::doubleClicked, this,
          [this](const QModelIndex& index) { emit RowActivated(index.row()); });
}

ReportGrid::~ReportGrid() = default;

void ReportGrid::AddColumn(const std::string& caption, int width, ColumnKind kind,
                           const std::string& data_name, Qt::Alignment alignment) {
  model_->AddColumn(
      Column{caption, width, kind, data_name.empty() ? caption : data_name, alignment});
  header()->resizeSection(ColumnCount() - 1, width);
}

void ReportGrid::ColumnsFromHeadings(const XmlNode& headings) {
  for (const XmlNode* title = headings.FirstChild(); title != nullptr;
       title = title->NextSibling()) {
    if (title->Name() != "title") continue;
    const std::string* name = title->Attribute("name");
    const std::string caption = name != nullptr ? *name : title->Text();
    const std::string* width = title->Attribute("width");
    const std::string* data = title->Attribute("data");
    const std::string* align = title->Attribute("align");
    Qt::Alignment alignment = Qt::AlignLeft;
    if (align != nullptr && EqualsIgnoringCase(*align, "right")) alignment = Qt::AlignRight;
    if (align != nullptr &&
        (EqualsIgnoringCase(*align, "center") || EqualsIgnoringCase(*align, "centre"))) {
      alignment = Qt::AlignHCenter;
    }
    AddColumn(
        caption, width != nullptr ? static_cast<int>(LeadingNumber(*width)) : kDefaultColumnWidth,
        ColumnKindFromSort(title->Attribute("sort")), data != nullptr ? *data : caption, alignment);
  }
}

int ReportGrid::ColumnCount() const { return model_->columnCount(); }

int ReportGrid::ColumnOfData(std::string_view name) const {
  for (std::size_t i = 0; i < model_->column_table.size(); ++i) {
    if (model_->column_table[i].data_name == name) return static_cast<int>(i);
  }
  return -1;
}

const std::string& ReportGrid::DataName(int column) const {
  return model_->column_table.at(static_cast<std::size_t>(column)).data_name;
}

ColumnKind ReportGrid::Kind(int column) const {
  return model_->column_table.at(static_cast<std::size_t>(column)).kind;
}

int ReportGrid::AddRow(const std::string& key, int icon) {
  Row row;
  row.cells.push_back(key);
  row.icon = icon;
  return model_->AddRow(std::move(row));
}

void ReportGrid::SetCell(int row, int column, const std::string& text) {
  if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount()) return;
  model_->row_table[static_cast<std::size_t>(row)].cells[static_cast<std::size_t>(column)] = text;
  model_->Changed(row, column, column);
}

std::string ReportGrid::CellText(int row, int column) const {
  if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount()) return {};
  return model_->row_table[static_cast<std::size_t>(row)].cells[static_cast<std::size_t>(column)];
}

int ReportGrid::RowCount() const { return model_->rowCount(); }

int ReportGrid::RowsFromXml(const XmlNode& root, std::string_view entry) {
  // Column lookups by name once, not once per cell.
  std::unordered_map<std::string, int> columns;
  for (int i = 0; i < ColumnCount(); ++i) columns.emplace(DataName(i), i);
  const int time_column = ColumnOfData("time");
  std::vector<Row> rows;
  for (const XmlNode* element = root.FindElement(entry); element != nullptr;
       element = element->NextSibling()) {
    if (element->Name() != entry) continue;
    Row row;
    row.cells.resize(static_cast<std::size_t>(ColumnCount()));
    for (const XmlNode* value = element->FirstChild(); value != nullptr;
         value = value->NextSibling()) {
      const auto column = columns.find(value->Name());
      // A date also gives the time of day, whether or not it has a column.
      const bool gives_time = value->Name() == "date" && time_column >= 0;
      if (column == columns.end() && !gives_time) continue;
      const std::string* attribute = value->Attribute("value");
      if (attribute == nullptr && !value->HasText()) continue;
      const std::string& text = attribute != nullptr ? *attribute : value->Text();
      if (column != columns.end()) row.cells[static_cast<std::size_t>(column->second)] = text;
      if (gives_time) row.cells[static_cast<std::size_t>(time_column)] = text;
    }
    rows.push_back(std::move(row));
  }
  const int added = static_cast<int>(rows.size());
  model_->AppendRows(std::move(rows));
  return added;
}

void ReportGrid::Clear() { model_->Clear(); }

void ReportGrid::KeepRows(int first, int count) { model_->Keep(first, count); }

void ReportGrid::SetRowCheck(int row, RowCheck check) {
  if (row < 0 || row >= RowCount()) return;
  model_->row_table[static_cast<std::size_t>(row)].check = check;
  model_->Changed(row, 0, 0);
}

RowCheck ReportGrid::RowCheckState(int row) const {
  if (row < 0 || row >= RowCount()) return RowCheck::kNone;
  return model_->row_table[static_cast<std::size_t>(row)].check;
}

void ReportGrid::SetRowTag(int row, int tag) {
  if (row < 0 || row >= RowCount()) return;
  model_->row_table[static_cast<std::size_t>(row)].tag = tag;
}

int ReportGrid::RowTag(int row) const {
  if (row < 0 || row >= RowCount()) return -1;
  return model_->row_table[static_cast<std::size_t>(row)].tag;
}

void ReportGrid::SetIcons(std::vector<QIcon> icons) {
  icons_ = std::move(icons);
  viewport()->update();
}

int ReportGrid::FindRow(std::string_view key) const {
  for (int row = 0; row < RowCount(); ++row) {
    if (model_->row_table[static_cast<std::size_t>(row)].cells[0] == key) return row;
  }
  return -1;
}

void ReportGrid::BringToTop(int row) {
  if (row < 0 || row >= RowCount() || ColumnCount() == 0) return;
  scrollTo(model_->index(row, 0), QAbstractItemView::PositionAtTop);
}

std::vector<int> ReportGrid::SelectedRows() const {
  std::vector<int> rows;
  if (selectionModel() == nullptr) return rows;
  for (const QModelIndex& index : selectionModel()->selectedRows()) rows.push_back(index.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

int ReportGrid::SingleSelectedRow() const {
  const std::vector<int> rows = SelectedRows();
  return rows.size() == 1 ? rows.front() : -1;
}

std::vector<std::string> ReportGrid::SelectedTexts(int column) const {
  std::vector<std::string> texts;
  for (int row : SelectedRows()) texts.push_back(CellText(row, column));
  return texts;
}

void ReportGrid::SelectAllRows(bool select) {
  if (select) {
    selectAll();
  } else {
    clearSelection();
  }
}

void ReportGrid::SelectRow(int row, bool select) {
  if (row < 0 || row >= RowCount() || ColumnCount() == 0) return;
  selectionModel()->select(model_->index(row, 0),
                           (select ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                               QItemSelectionModel::Rows);
}

void ReportGrid::DeleteSelectedRows() { model_->RemoveRows(SelectedRows()); }

void ReportGrid::AppendSelection(std::string& out) const {
  std::vector<std::string> names;
  for (int column = 0; column < ColumnCount(); ++column) names.push_back(DataName(column));
  std::vector<std::vector<std::string>> rows;
  for (int row : SelectedRows())
    rows.push_back(model_->row_table[static_cast<std::size_t>(row)].cells);
  AppendSelectionXml(out, names, rows);
}

void ReportGrid::SortBy(int column, bool ascending) {
  if (column < 0 || column >= ColumnCount()) return;
  sort_column_ = column;
  sort_ascending_ = ascending;
  model_->Sort(column, ascending);
  header()->setSortIndicatorShown(true);
  header()->setSortIndicator(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void ReportGrid::HeadingClicked(int column) {
  SortBy(column, column == sort_column_ ? !sort_ascending_ : true);
}

void ReportGrid::LevelsFromElement(const XmlNode& levels) {
  const std::string* column = levels.Attribute("column");
  level_column_ = column != nullptr ? ColumnOfData(*column) : -1;
  for (int i = 0; i < 5; ++i) {
    const std::string* colour = levels.Attribute("color" + std::to_string(i));
    level_colours_[static_cast<std::size_t>(i)] =
        ColourFromHex(colour != nullptr ? std::string_view(*colour) : std::string_view());
  }
  thresholds_ = kDefaultThresholds;
  viewport()->update();
}

void ReportGrid::SetLevelColour(int index, const QColor& colour) {
  if (index < 0 || index > 4) return;
  level_colours_[static_cast<std::size_t>(index)] = colour;
}

const QColor& ReportGrid::LevelColour(int index) const {
  return level_colours_.at(static_cast<std::size_t>(index));
}

QColor ReportGrid::RowColour(int row) const {
  if (level_column_ < 0 || level_column_ >= ColumnCount()) return {};
  const long value = LeadingNumber(CellText(row, level_column_));
  return level_colours_[static_cast<std::size_t>(LevelColourIndex(value, thresholds_))];
}

QModelIndex ReportGrid::CellIndex(int row, int column) const { return model_->index(row, column); }

void ReportGrid::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
  QTreeView::drawRow(painter, option, index);
  const QColor colour = RowColour(index.row());
  if (!colour.isValid() || selectionModel()->isRowSelected(index.row(), QModelIndex())) return;
  const int row_left = -horizontalScrollBar()->value();
  const int columns_end = row_left + header()->length();
  const int bar_end =
      row_left + LevelBarWidth(LeadingNumber(CellText(index.row(), level_column_)), width());
  if (bar_end > columns_end) {
    painter->fillRect(
        QRect(columns_end, option.rect.top(), bar_end - columns_end, option.rect.height()), colour);
  }
}

void ReportGrid::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Delete) {
    emit DeletePressed();
    return;
  }
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
      currentIndex().isValid()) {
    emit RowActivated(currentIndex().row());
    return;
  }
  QTreeView::keyPressEvent(event);
}

}  // namespace vossik
