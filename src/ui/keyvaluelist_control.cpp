// `keyvaluelist`: a list of key and value pairs typed into a key box and a
// value box, kept in the order they were added and stored as a list of
// "key:value" items. A stored item may also separate key and value with a
// tab or "=" (the first of the three counts); it is saved back with ":".
// The `value` element's text labels the value box; with its `style`
// "password" the value box is masked and the list shows "*********" in
// place of each value, which is kept beside its item.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>

#include "base/string_util.h"
#include "ui/control_catalogue.h"
#include "ui/item_list.h"
#include "ui/list_layout.h"
#include "xml/xml_document.h"

namespace vossik {
namespace {

constexpr char kMask[] = "*********";
constexpr int kDefaultTabStop = 64;  // what a list box without set stops uses
constexpr int kTabGap = 4;           // least room between a key and its value

/// Splits a stored or imported item at its first tab, ":" or "=".
std::pair<std::string, std::string> SplitPair(std::string_view item) {
  const std::size_t at = item.find_first_of("\t:=");
  if (at == std::string_view::npos) return {std::string(item), std::string()};
  return {std::string(item.substr(0, at)), std::string(item.substr(at + 1))};
}

/// Draws "key<TAB>value" items with the value at the next tab stop.
class TabStopDelegate : public QStyledItemDelegate {
 public:
  TabStopDelegate(const int* tab_stop, QObject* parent)
      : QStyledItemDelegate(parent), tab_stop_(tab_stop) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionViewItem item(option);
    initStyleOption(&item, index);
    const QString text = item.text;
    item.text.clear();
    const QStyle* style = item.widget != nullptr ? item.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);

    const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &item, item.widget);
    const qsizetype tab = text.indexOf('\t');
    const QString key = tab < 0 ? text : text.left(tab);
    const QString value = tab < 0 ? QString() : text.mid(tab + 1);
    const int stop = std::max(1, *tab_stop_);
    int value_left = stop;
    while (value_left < item.fontMetrics.horizontalAdvance(key) + kTabGap) value_left += stop;

    painter->save();
    const bool selected = (item.state & QStyle::State_Selected) != 0;
    painter->setPen(item.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(item.font);
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    painter->drawText(area.adjusted(0, 0, -(area.width() - value_left), 0), flags, key);
    painter->drawText(
        area.adjusted(value_left, 0, 0, 0), flags,
        item.fontMetrics.elidedText(value, Qt::ElideRight, std::max(0, area.width() - value_left)));
    painter->restore();
  }

 private:
  const int* tab_stop_;
};

class KeyValueListCell : public ItemListCell {
 public:
  KeyValueListCell(SettingControl& control, QWidget* parent)
      : ItemListCell(control, parent, Order::kInsertion) {
    std::string caption;
    if (const XmlNode* value = control.Child("value")) {
      caption = value->Text();
      const std::string* style = value->Attribute("style");
      password_ = style != nullptr && *style == "password";
    }
    key_ = new QLineEdit;
    AddInput(key_, "key");
    value_ = new QLineEdit;
    AddInput(value_, "value");
    if (password_) value_->setEchoMode(QLineEdit::Password);
    value_label_ = new QLabel(ToQString(EscapeMnemonics(caption) + ":"), this);
    value_label_->setObjectName(ToQString(control.Uid() + "/valuelabel"));
    value_label_->setTextFormat(Qt::PlainText);
    value_label_->setBuddy(value_);
    connect(key_, &QLineEdit::textChanged, this, [this] { RefreshButtons(); });
    FinishCreating();
    tab_stop_ = kDefaultTabStop;
    List()->setItemDelegate(new TabStopDelegate(&tab_stop_, List()));
  }

  void SetStoredItems(const std::vector<std::string>& items) override {
    std::vector<std::string> shown;
    std::vector<std::string> values;
    for (const std::string& item : items) {
      auto [key, value] = SplitPair(item);
      shown.push_back(Shown(key, value));
      values.push_back(std::move(value));
    }
    SetItems(shown, password_ ? &values : nullptr);
  }

  std::vector<std::string> StoredItems() const override {
    std::vector<std::string> items;
    for (int row = 0; row < List()->count(); ++row) {
      const QListWidgetItem* item = List()->item(row);
      const std::string shown = FromQString(item->text());
      if (shown.empty()) continue;
      const std::size_t tab = shown.find('\t');
      const std::string key = shown.substr(0, tab);
      const std::string value = password_                  ? HiddenValue(item)
                                : tab == std::string::npos ? std::string()
                                                           : shown.substr(tab + 1);
      items.push_back(key + ":" + value);
    }
    return items;
  }

  int PreferredHeight() const override {
    return ItemListPreferredHeight(Control().NumberProperty("listlines", 1), true, HasImport());
  }

 protected:
  std::string InputText() const override {
    return std::string(TrimBlanks(FromQString(key_->text())));
  }
  void ClearInput() override {
    key_->clear();
    value_->clear();
  }
  void FocusInput() override { key_->setFocus(); }
  QWidget* EnterTarget() const override { return key_; }

  std::string InputItemText() const override {
    return Shown(InputText(), FromQString(value_->text()));
  }

  QListWidgetItem* AddFromInput() override {
    return AddPair(InputText(), FromQString(value_->text()));
  }

  QListWidgetItem* AddImported(const std::string& piece) override {
    auto [key, value] = SplitPair(piece);
    return AddPair(std::string(TrimBlanks(key)), value);
  }

  void LayoutChildren(int width, int height) override {
    const KeyValueListLayout layout = LayOutKeyValueList(width, height, HasImport());
    const auto apply = [](QWidget* widget, const Rect& r) {
      if (widget != nullptr) widget->setGeometry(r.left, r.top, r.width, r.height);
    };
    if (Label() != nullptr) Label()->setGeometry(0, kLabelTop, kLabelWidth, kRowHeight - kLabelTop);
    apply(value_label_, layout.value_label);
    apply(key_, layout.key);
    apply(value_, layout.value);
    apply(List(), layout.list);
    apply(AddButton(), layout.add);
    apply(RemoveButton(), layout.remove);
    apply(ImportButton(), layout.import);
    value_label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    tab_stop_ = password_ ? layout.tab_stop : kDefaultTabStop;
    List()->viewport()->update();
  }

 private:
  std::string Shown(const std::string& key, const std::string& value) const {
    return key + "\t" + (password_ ? std::string(kMask) : value);
  }

  QListWidgetItem* AddPair(const std::string& key, const std::string& value) {
    if (key.empty()) return nullptr;
    return AddItem(Shown(key, value), password_ ? &value : nullptr);
  }

  QLineEdit* key_;
  QLineEdit* value_;
  QLabel* value_label_;
  bool password_ = false;
  int tab_stop_ = kDefaultTabStop;
};

}  // namespace

std::unique_ptr<SettingControl> MakeKeyValueListControl() {
  return std::make_unique<ItemListControlOf<KeyValueListCell>>();
}

}  // namespace vossik
