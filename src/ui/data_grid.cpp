#include "ui/data_grid.h"

#include <QBitmap>
#include <QComboBox>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QIcon>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <limits>

#include "base/ascii_case.h"
#include "base/date_text.h"
#include "base/string_util.h"
#include "settings/parameter_ref.h"
#include "settings/typed_settings.h"
#include "ui/message_box.h"
#include "ui/property_page.h"
#include "ui/property_sheet.h"
#include "widgets/grid_rules.h"
#include "widgets/report_grid.h"
#include "xml/xml_document.h"

namespace vossik {
namespace {

constexpr int kBottomRowGap = 26;  // the grid ends this far above the cell's bottom
constexpr int kBottomRowTop = 24;  // the bottom row starts this far above it
constexpr int kArrowWidth = 18;
constexpr int kArrowGap = 2;
constexpr int kBatchWidth = 125;
constexpr int kButtonsAfterNext = 8;
constexpr int kCountWidth = 36;
constexpr int kCountButtonsLeft = 40;
constexpr int kCfgCountWidth = 40;
constexpr int kCfgButtonsLeft = 48;
constexpr int kButtonPadding = 8;
constexpr int kCfgButtonPadding = 16;
constexpr int kButtonGap = 4;
constexpr int kSpacerGap = 6;
constexpr long kWholeList = std::numeric_limits<long>::max() / 4;

constexpr const char* kTotalTip = "The total number";

std::string TextOf(const XmlNode& element, const char* child) {
  const std::string* text = element.ElementText(child, nullptr, false);
  return text != nullptr ? *text : std::string();
}

void ReadOptions(const XmlNode& parent, std::vector<GridAction>* into) {
  bool spacer = false;
  bool menu_break = false;
  for (const XmlNode* child = parent.FirstChild(); child != nullptr; child = child->NextSibling()) {
    if (child->Name() == "spacer") {
      spacer = true;
      continue;
    }
    if (child->Name() == "menubreak") {
      menu_break = true;
      continue;
    }
    if (child->Name() != "option") continue;
    GridAction action;
    auto attribute = [child](const char* name) {
      const std::string* value = child->Attribute(name);
      return value != nullptr ? *value : std::string();
    };
    action.index = static_cast<int>(LeadingNumber(attribute("uid")));
    action.button = attribute("button");
    action.menu = attribute("menu");
    action.entryviewer = attribute("entryviewer");
    action.verb = attribute("verb");
    action.new_entry = EqualsIgnoringCase(attribute("entry"), "new");
    action.is_default = child->Attribute("default") != nullptr;
    action.is_delete = child->Attribute("delete") != nullptr;
    action.hint = TextOf(*child, "hint");
    action.prompt = TextOf(*child, "prompt");
    action.spacer_before = spacer;
    action.break_before = menu_break;
    spacer = false;
    menu_break = false;
    ReadOptions(*child, &action.children);
    into->push_back(std::move(action));
  }
}

void CollectButtons(const std::vector<GridAction>& actions, std::vector<const GridAction*>* out) {
  for (const GridAction& action : actions) {
    if (!action.button.empty()) out->push_back(&action);
  }
}

const GridAction* FindByIndex(const std::vector<GridAction>& actions, int index) {
  for (const GridAction& action : actions) {
    if (action.index == index) return &action;
    if (const GridAction* found = FindByIndex(action.children, index)) return found;
  }
  return nullptr;
}

}  // namespace

// -- Plain rules ----------------------------------------------------------------

std::vector<GridAction> ReadGridActions(const XmlNode& actions) {
  std::vector<GridAction> read;
  ReadOptions(actions, &read);
  return read;
}

const GridAction* FindGridAction(const std::vector<GridAction>& actions,
                                 bool (*pick)(const GridAction&)) {
  for (const GridAction& action : actions) {
    if (pick(action)) return &action;
    if (const GridAction* found = FindGridAction(action.children, pick)) return found;
  }
  return nullptr;
}

DataGridGeometry LayOutDataGrid(int width, int height, DataGridKind kind, bool batch_row,
                                const std::vector<int>& captions, const std::vector<bool>& spacers,
                                int arrow_width) {
  DataGridGeometry geometry;
  geometry.grid = Rect{0, 0, width, std::max(0, height - kBottomRowGap)};
  const int row_top = height - kBottomRowTop;
  int left = 0;
  int padding = kButtonPadding;
  if (kind == DataGridKind::kCfgList) {
    geometry.count = Rect{0, row_top, kCfgCountWidth, kRowHeight};
    left = kCfgButtonsLeft;
    padding = kCfgButtonPadding;
  } else if (batch_row) {
    // 18 wide: "<<" at 0, the drop-down at 20, ">>" at 147, buttons from 173.
    const int arrow = std::max(kArrowWidth, arrow_width);
    geometry.previous = Rect{0, row_top, arrow, kRowHeight};
    geometry.batch = Rect{arrow + kArrowGap, row_top, kBatchWidth, kRowHeight};
    geometry.next = Rect{geometry.batch.Right() + kArrowGap, row_top, arrow, kRowHeight};
    left = geometry.next.Right() + kButtonsAfterNext;
  } else {
    geometry.count = Rect{0, row_top, kCountWidth, kRowHeight};
    left = kCountButtonsLeft;
  }
  for (std::size_t i = 0; i < captions.size(); ++i) {
    if (i < spacers.size() && spacers[i]) left += kSpacerGap;
    const int button_width = captions[i] + padding;
    geometry.buttons.push_back(Rect{left, row_top, button_width, kRowHeight});
    left += button_width + kButtonGap;
  }
  return geometry;
}

void BatchWindow::Choose(int choice) {
  const int last = static_cast<int>(std::size(kBatchSizes)) - 1;
  choice = std::clamp(choice, 0, last);
  size = kBatchSizes[choice];
  if (choice == last) start = 0;
}

void BatchWindow::Next() { start = std::max(0L, std::min(start + size, total - size)); }

void BatchWindow::Previous() { start = std::max(0L, start - size); }

void BatchWindow::Normalise() {
  size = std::max(1L, size);
  start = std::max(0L, start);
}

std::string BatchWindow::Text(long shown) const {
  char text[96];
  std::snprintf(text, sizeof text, "%ld-%ld of %ld", start, start + shown, total);
  return text;
}

std::string EntryDisplayText(std::string_view type, const std::string& value,
                             const std::vector<std::string>& allowed) {
  if (type == "bool") return ParseSwitch(value) ? "yes" : "no";
  if (type == "time") {
    const int minute = MinuteOfDay(value);
    if (minute < 0) return value;
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", minute / 60, minute % 60);
    return text;
  }
  if (type == "flags") {
    const std::vector<std::string> names = SplitTrimmed(value, ", +|\\/");
    if (names.empty()) return "None";
    std::string shown;
    std::size_t known = 0;
    for (const std::string& name : allowed) {
      for (const std::string& piece : names) {
        if (!EqualsIgnoringCase(piece, name)) continue;
        shown += (shown.empty() ? "" : ", ") + name;
        ++known;
        break;
      }
    }
    if (!allowed.empty() && known == allowed.size()) return "All";
    return shown.empty() ? value : shown;
  }
  return value;
}

QEvent::Type GridActionEvent::EventType() {
  static const auto kType = static_cast<QEvent::Type>(QEvent::registerEventType());
  return kType;
}

// -- The cell -------------------------------------------------------------------

DataGridCell::DataGridCell(DataGridControl& control, QWidget* parent)
    : ControlCell(control, parent), grid_control_(control) {
  grid_ = new ReportGrid;
  grid_->setFont(font());
  SetMainInput(grid_);
  if (control.Kind() != DataGridKind::kCfgList && control.HasBatchRow()) {
    previous_ = new QPushButton("<<");
    previous_->setToolTip("Previous Batch");
    previous_->setAutoDefault(false);
    AddInput(previous_, "previous");
    previous_->setToolTip("Previous Batch");
    batch_ = new QComboBox;
    batch_->setEditable(true);
    batch_->lineEdit()->setReadOnly(true);
    for (const char* caption : kBatchCaptions) batch_->addItem(caption);
    AddInput(batch_, "batch");
    batch_->setToolTip(kTotalTip);
    next_ = new QPushButton(">>");
    next_->setAutoDefault(false);
    AddInput(next_, "next");
    next_->setToolTip("Next Batch");
    connect(previous_, &QPushButton::clicked, this, [&control] { control.PreviousBatch(); });
    connect(next_, &QPushButton::clicked, this, [&control] { control.NextBatch(); });
    connect(batch_, &QComboBox::activated, this,
            [&control](int choice) { control.ChooseBatch(choice); });
  } else {
    count_ = new QLineEdit;
    count_->setReadOnly(true);
    AddInput(count_, "count");
    count_->setToolTip(kTotalTip);
  }

  std::vector<const GridAction*> buttons;
  CollectButtons(control.Actions(), &buttons);
  for (const GridAction* action : buttons) {
    auto* button = new QPushButton(ToQString(action->button));
    button->setAutoDefault(false);
    AddInput(button, "action" + std::to_string(action->index));
    button->setToolTip(ToQString(action->hint));
    const int index = action->index;
    connect(button, &QPushButton::clicked, this,
            [&control, index] { static_cast<void>(control.RunAction(index)); });
    buttons_.push_back(button);
    spacers_.push_back(action->spacer_before);
  }

  bool has_menu = false;
  auto any_menu = [&has_menu](const std::vector<GridAction>& actions, auto& self) -> void {
    for (const GridAction& action : actions) {
      has_menu = has_menu || !action.menu.empty();
      self(action.children, self);
    }
  };
  any_menu(control.Actions(), any_menu);
  if (has_menu) {
    menu_ = new QMenu(this);
    menu_->setObjectName(ToQString(control.Uid() + "/menu"));
    AddMenuItems(menu_, control.Actions());
    grid_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { menu_->popup(grid_->viewport()->mapToGlobal(at)); });
  }

  // Enter and Delete reach the control through the cell's key watch.
  connect(grid_, &QAbstractItemView::doubleClicked, this,
          [&control] { control.RunDefaultAction(); });
}

void DataGridCell::AddMenuItems(QMenu* menu, const std::vector<GridAction>& actions) {
  for (const GridAction& action : actions) {
    if (action.break_before && !menu->isEmpty()) menu->addSeparator();
    if (action.menu.empty()) continue;
    if (!action.children.empty()) {
      AddMenuItems(menu->addMenu(ToQString(action.menu)), action.children);
      continue;
    }
    QAction* item = menu->addAction(ToQString(action.menu));
    item->setToolTip(ToQString(action.hint));
    // The first item is the default one, shown in bold as menus show it.
    if (menu->actions().size() == 1 && menu == menu_) {
      QFont bold = item->font();
      bold.setBold(true);
      item->setFont(bold);
    }
    const int index = action.index;
    connect(item, &QAction::triggered, this,
            [this, index] { static_cast<void>(grid_control_.RunAction(index)); });
  }
}

void DataGridCell::ShowBatch(const BatchWindow& window, long shown) {
  if (batch_ != nullptr) {
    batch_->lineEdit()->setText(ToQString(window.Text(shown)));
    const bool enabled = grid_control_.Enabled();
    previous_->setEnabled(enabled && window.CanGoPrevious());
    next_->setEnabled(enabled && window.CanGoNext(shown));
  } else if (count_ != nullptr) {
    count_->setText(QString::number(grid_->RowCount()));
  }
}

bool DataGridCell::GetText(std::string* text) const {
  text->clear();
  return true;
}

void DataGridCell::LayoutChildren(int width, int height) {
  std::vector<int> captions;
  for (QPushButton* button : buttons_) {
    captions.push_back(button->fontMetrics().horizontalAdvance(button->text()));
  }
  const int arrow_width =
      previous_ != nullptr
          ? previous_->fontMetrics().horizontalAdvance(previous_->text()) + kButtonPadding
          : 0;
  const DataGridGeometry geometry = LayOutDataGrid(
      width, height, grid_control_.Kind(), batch_ != nullptr, captions, spacers_, arrow_width);
  auto place = [](QWidget* widget, const Rect& r) {
    if (widget != nullptr) widget->setGeometry(r.left, r.top, r.width, r.height);
  };
  place(grid_, geometry.grid);
  place(previous_, geometry.previous);
  place(batch_, geometry.batch);
  place(next_, geometry.next);
  place(count_, geometry.count);
  for (std::size_t i = 0; i < buttons_.size(); ++i) place(buttons_[i], geometry.buttons[i]);
}

// -- The control ------------------------------------------------------------------

const std::vector<GridAction>& DataGridControl::Actions() {
  if (!actions_read_) {
    actions_read_ = true;
    if (const XmlNode* actions = Child("actions")) actions_ = ReadGridActions(*actions);
  }
  return actions_;
}

ReportGrid* DataGridControl::Grid() const {
  auto* cell = TypedCell();
  return cell != nullptr ? cell->Grid() : nullptr;
}

const XmlNode* DataGridControl::DefinitionChild(const char* name) const {
  const XmlNode* definition = Child("definition");
  return definition != nullptr ? definition->FindElement(name) : nullptr;
}

void DataGridControl::SetUpGrid(ReportGrid& grid) {
  if (const XmlNode* headings = Child("headings")) grid.ColumnsFromHeadings(*headings);
  if (grid.ColumnCount() == 0)
    grid.AddColumn(Name().empty() ? Uid() : Name(), 200, ColumnKind::kText);
  if (const XmlNode* icons = Child("icons")) {
    std::vector<QIcon> images;
    for (const XmlNode* icon = icons->FirstChild(); icon != nullptr; icon = icon->NextSibling()) {
      if (icon->Name() != "icon") continue;
      const std::string* path = icon->Attribute("name");
      QPixmap pixmap;
      if (path != nullptr && pixmap.load(ToQString(*path))) {
        // White is the bitmaps' transparent colour.
        pixmap.setMask(pixmap.createMaskFromColor(Qt::white));
      }
      images.emplace_back(pixmap);
    }
    grid.SetIcons(std::move(images));
  }
  if (const XmlNode* batch = Child("batch")) {
    if (const std::string* size = batch->Attribute("size")) batch_.size = LeadingNumber(*size);
  } else {
    // Without a batch row there is no way to the rows of a later batch, so
    // every row is shown.
    batch_.size = kWholeList;
  }
  batch_.Normalise();
  if (const XmlNode* levels = Child("levels")) {
    grid.LevelsFromElement(*levels);
    LevelThresholds thresholds = grid.Thresholds();
    std::size_t at = 0;
    for (const XmlNode* threshold = levels->FirstChild(); threshold != nullptr && at < 4;
         threshold = threshold->NextSibling()) {
      if (threshold->Name() != "threshold") continue;
      const std::string* value = threshold->Attribute("value");
      long number = value != nullptr ? LeadingNumber(*value) : 0;
      const std::string* from = threshold->Attribute("from");
      if (number == 0 && from != nullptr && Store() != nullptr) {
        int32_t read = 0;
        if (GetNumber(*Store(), Root(), AddressOf(*from), &read) >= -1) number = read;
      }
      thresholds[at++] = number;
    }
    grid.SetThresholds(thresholds);
  }
}

void DataGridControl::ExchangeValue(bool save) {
  ReportGrid* grid = Grid();
  if (grid == nullptr) return;
  if (save) {
    SetPreferenceNumber("ColumnSort", std::max(0, grid->SortColumn()));
    SetPreferenceNumber("ColumnSortDir", grid->SortAscending() ? 0 : 1);
    if (HasBatchRow()) {
      SetPreferenceNumber("BatchSize", batch_.size);
      SetPreferenceNumber("StartFrom", batch_.start);
    }
    if (KeepsShowEntry()) {
      const QModelIndex top = grid->indexAt(QPoint(1, 1));
      show_entry_ = top.isValid() ? top.row() : 0;
      SetPreferenceNumber("ShowEntry", show_entry_);
    }
    return;
  }
  if (!grid_set_up_) {
    grid_set_up_ = true;
    SetUpGrid(*grid);
  }
  // The preferences are where the view state lives between loads; without
  // a preferences store the state of the last load stands.
  if (HasBatchRow()) {
    batch_.size = GetPreferenceNumber("BatchSize", batch_.size);
    batch_.start = GetPreferenceNumber("StartFrom", batch_.start);
  }
  if (KeepsShowEntry()) show_entry_ = std::max(0L, GetPreferenceNumber("ShowEntry", show_entry_));
  batch_.Normalise();
  WhileLoading([this, grid] {
    const int sort = static_cast<int>(
        GetPreferenceNumber("ColumnSort", grid->SortColumn() >= 0 ? grid->SortColumn() : 0));
    const bool ascending = GetPreferenceNumber("ColumnSortDir", grid->SortAscending() ? 0 : 1) == 0;
    grid->Clear();
    const bool every_row = FillGrid(*grid, batch_);
    // Every row is sorted before the batch is cut from them, so that a
    // batch of the largest pages holds the largest of them all.
    grid->SortBy(std::clamp(sort, 0, std::max(0, grid->ColumnCount() - 1)), ascending);
    shown_ = every_row ? KeepBatch(*grid, batch_) : grid->RowCount();
    if (KeepsShowEntry() && show_entry_ < grid->RowCount()) {
      grid->BringToTop(static_cast<int>(show_entry_));
    }
  });
  TypedCell()->ShowBatch(batch_, shown_);
}

void DataGridControl::Refill() { ExchangeValue(false); }

void DataGridControl::SetEnabled(bool enable) {
  enabled_ = enable;
  SettingControl::SetEnabled(enable);
  // Enabling every child would free an arrow that has nowhere to go.
  if (auto* cell = TypedCell()) cell->ShowBatch(batch_, shown_);
}

long DataGridControl::KeepBatch(ReportGrid& grid, const BatchWindow& batch) {
  const long total = grid.RowCount();
  const long first = std::min(batch.start, total);
  const long count = std::min(total - first, batch.size);
  grid.KeepRows(static_cast<int>(first), static_cast<int>(count));
  return count;
}

bool DataGridControl::RunAction(int index) {
  const GridAction* action = FindByIndex(Actions(), index);
  if (action == nullptr) return false;
  if (!action->prompt.empty()) {
    const std::string product = Sheet() != nullptr ? Sheet()->ProductName() : std::string();
    if (ShowAdminMessage(Cell(), MessageKind::kQuestion, product, action->prompt) !=
        MessageAnswer::kYes) {
      return false;
    }
  }
  Perform(*action);
  return true;
}

void DataGridControl::RunDefaultAction() {
  const GridAction* action =
      FindGridAction(Actions(), [](const GridAction& a) { return a.is_default; });
  if (action != nullptr) static_cast<void>(RunAction(action->index));
}

void DataGridControl::DeleteAction() {
  const GridAction* action =
      FindGridAction(Actions(), [](const GridAction& a) { return a.is_delete; });
  if (action != nullptr) static_cast<void>(RunAction(action->index));
}

void DataGridControl::Perform(const GridAction& action) {
  if (Sheet() == nullptr || Sheet()->MainWindow() == nullptr) return;
  ReportGrid* grid = Grid();
  QCoreApplication::postEvent(
      Sheet()->MainWindow(),
      new GridActionEvent(Uid(), action.index, grid != nullptr ? grid->SingleSelectedRow() : -1));
}

void DataGridControl::ChooseBatch(int choice) {
  batch_.Choose(choice);
  ChangeBatch();
}

void DataGridControl::NextBatch() {
  batch_.Next();
  ChangeBatch();
}

void DataGridControl::PreviousBatch() {
  batch_.Previous();
  ChangeBatch();
}

void DataGridControl::ChangeBatch() {
  // The page commits first, so that the grid's preferences hold the new
  // batch when the page loads again; edits elsewhere on the page survive.
  if (CGUIPropertyPage* page = Page()) {
    page->ExchangeValues(true);
    page->ExchangeValues(false);
  } else {
    ExchangeValue(true);
    ExchangeValue(false);
  }
}

}  // namespace vossik
