// `logcontrol`: the tail of a log, fetched from the service (GETLOG with
// "&log=" and the log's name, the `logfile` element, and "&lines=" with the
// chosen count) or read from a file on this machine, in a read-only view
// on the background colour of the `color` element. Below it "Tail Lines:"
// with the counts 15 to 250, kept as the preference "LogLines", Refresh,
// and Clear, which empties the log (CLEARLOG, or deleting the file).
//
// It stores no setting. A copy that is not XML empties the view; without
// any copy the view keeps what it showed.
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "admin/admin_result.h"
#include "base/file_io.h"
#include "base/message_kind.h"
#include "base/string_util.h"
#include "ui/cell_control.h"
#include "ui/control_catalogue.h"
#include "ui/control_cell.h"
#include "ui/data_view_layout.h"
#include "ui/file_list.h"
#include "ui/message_box.h"
#include "ui/property_sheet.h"
#include "ui/service_requests.h"
#include "ui/setting_control.h"
#include "widgets/hex_colour.h"

namespace vossik {
namespace {

constexpr std::array<int, 5> kTailCounts = {15, 20, 50, 100, 250};
constexpr std::string_view kLinesPreference = "LogLines";
constexpr int kTailLabelWidth = 54;

class LogControl;

class LogCell : public ControlCell {
 public:
  LogCell(LogControl& control, QWidget* parent);

  int PreferredHeight() const override { return LogViewHeight(Control().Lines()) + kLogButtonRow; }

  /// The chosen count of lines.
  int TailLines() const {
    return kTailCounts.at(std::size_t(std::max(0, counts_->currentIndex())));
  }
  /// Chooses `count`, or the first entry when it is not one of them.
  void ChooseTailLines(long count) {
    int index = 0;
    for (std::size_t i = 0; i < kTailCounts.size(); ++i) {
      if (kTailCounts[i] == count) index = int(i);
    }
    counts_->setCurrentIndex(index);
  }

  void ShowLog(const std::string& text) {
    view_->setPlainText(ToQString(text));
    view_->verticalScrollBar()->setValue(view_->verticalScrollBar()->maximum());
  }

  void SetText(const std::string&) override {}
  bool GetText(std::string*) const override { return false; }

 protected:
  void LayoutChildren(int width, int height) override {
    const int choice_width = std::max(counts_->fontMetrics().horizontalAdvance("WWW") + 12,
                                      counts_->minimumSizeHint().width());
    const int label_width = std::max(kTailLabelWidth, tail_label_->minimumSizeHint().width());
    const LogViewLayout layout = LayOutLogView(width, height, label_width, choice_width);
    const auto put = [](QWidget* widget, const Rect& r) {
      widget->setGeometry(r.left, r.top, r.width, r.height);
    };
    put(view_, layout.view);
    put(tail_label_, layout.tail_label);
    put(counts_, layout.tail_lines);
    put(refresh_, layout.refresh);
    put(Label(), layout.name);
    put(clear_, layout.clear);
  }

 private:
  QPlainTextEdit* view_;
  QLabel* tail_label_;
  QComboBox* counts_;
  QPushButton* refresh_;
  QPushButton* clear_;
};

class LogControl : public CellControl<LogCell, LogControl> {
 public:
  bool HoldsValue() const override { return false; }

  std::string LogName() const {
    const std::string* name = ChildText("logfile");
    return name != nullptr ? std::string(TrimBlanks(*name)) : std::string();
  }

  void ExchangeValue(bool save) override {
    LogCell* cell = TypedCell();
    if (cell == nullptr) return;
    if (save) {
      SetPreferenceNumber(kLinesPreference, cell->TailLines());
      return;
    }
    WhileLoading([&] { cell->ChooseTailLines(GetPreferenceNumber(kLinesPreference, 0)); });
    const int lines = cell->TailLines();
    files_.Configure(*this);
    files_.SetExtraQuery("&log=" + LogName() + "&lines=" + std::to_string(lines));
    files_.Fetch(*this);
    std::string copy;
    if (!files_.Read(*this, {}, &copy)) return;
    std::string text;
    // The service sends only the lines asked for; a file here is whole.
    cell->ShowLog(LogText(copy, &text) ? LastLines(text, lines) : std::string());
  }

  /// The page saves (keeping the count) and loads again (fetching afresh).
  void RefreshAction() override { RefreshPage(*this); }

  /// Empties the log at its source, then shows it afresh.
  void Clear() {
    files_.Configure(*this);
    CGUIPropertySheet* sheet = Sheet();
    const std::string product = sheet != nullptr ? sheet->ProductName() : std::string();
    if (auto* service =
            sheet != nullptr ? dynamic_cast<ServiceRequests*>(sheet->ServiceBar()) : nullptr) {
      std::string reply;
      // What the service says is shown by the refresh that follows.
      static_cast<void>(service->ServiceRequest("CLEARLOG", 0, "&log=" + LogName(), &reply));
    }
    if (!files_.Files().empty() &&
        SourceKindOf(files_.Files().front().source) == FileSourceKind::kFile) {
      const std::string file(FileSourcePath(files_.Files().front().source));
      std::error_code error;
      std::filesystem::remove(file, error);
      std::string reason;
      if (error) {
        ShowAdminMessage(Cell(), MessageKind::kWarning, product,
                         FileErrorText("delete", file, error.message()));
      } else if (!WriteLocalCopy(files_.FirstCopyPath(*this), WrapFileData({}), &reason)) {
        // The copy would otherwise keep showing the lines just deleted.
        ShowAdminMessage(Cell(), MessageKind::kWarning, product,
                         FileErrorText("write", files_.FirstCopyPath(*this), reason));
      }
    }
    RefreshPage(*this);
  }

 private:
  FileList files_;
};

LogCell::LogCell(LogControl& control, QWidget* parent) : ControlCell(control, parent) {
  view_ = new QPlainTextEdit;
  view_->setReadOnly(true);
  view_->setLineWrapMode(QPlainTextEdit::NoWrap);
  view_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  view_->setAccessibleName(ToQString(control.Name()));
  if (const std::string* colour = control.ChildText("color")) {
    // The text takes whichever of black and white reads on the colour, so
    // that a light background stays readable on a dark desktop.
    const QColor background = ColourFromHex(*colour);
    const QColor text = background.lightness() >= 128 ? QColor(Qt::black) : QColor(Qt::white);
    QPalette colours = view_->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
      colours.setColor(group, QPalette::Base, background);
      colours.setColor(group, QPalette::Text, text);
    }
    view_->setPalette(colours);
  }
  SetMainInput(view_);
  CreateLabel();
  QFont bold = Label()->font();
  bold.setBold(true);
  Label()->setFont(bold);

  tail_label_ = new QLabel(tr("Tail Lines:"));
  AddInput(tail_label_, "taillabel");
  counts_ = new QComboBox;
  for (const int count : kTailCounts) counts_->addItem(QString::number(count));
  AddInput(counts_, "taillines");
  refresh_ = new QPushButton(tr("Refresh"));
  refresh_->setAutoDefault(false);
  AddInput(refresh_, "refresh");
  clear_ = new QPushButton(tr("Clear"));
  clear_->setAutoDefault(false);
  AddInput(clear_, "clear");
  connect(refresh_, &QPushButton::clicked, this, [&control] { control.RefreshAction(); });
  connect(clear_, &QPushButton::clicked, this, [&control] { control.Clear(); });
}

}  // namespace

std::unique_ptr<SettingControl> MakeLogControl() { return std::make_unique<LogControl>(); }

}  // namespace vossik
