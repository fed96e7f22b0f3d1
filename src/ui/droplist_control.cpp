// `droplist`: a drop-down list of choices, editable when `readonly` is
// false. The choices come from the first of: the `allowed` list, the list
// value of the parameter named by `contents`, the `defaultcontents` element.
// With `memory` the values used before are offered too. The value is the
// selected or typed text through the common load and save rules.
#include <QBrush>
#include <QComboBox>
#include <algorithm>
#include <string>
#include <vector>

#include "base/string_util.h"
#include "settings/typed_settings.h"
#include "ui/cell_control.h"
#include "ui/control_catalogue.h"
#include "ui/control_cell.h"
#include "ui/remembered_values.h"
#include "ui/setting_control.h"
#include "widgets/hex_colour.h"
#include "xml/xml_document.h"

namespace vossik {
namespace {

// `text` split at every one of `separators`, outside runs enclosed in
// `quote` (none when 0), which are dropped; pieces trimmed, empty ones dropped.
std::vector<std::string> SplitChoices(std::string_view text, std::string_view separators,
                                      char quote = 0) {
  std::vector<std::string> pieces;
  std::string piece;
  bool quoted = false;
  const auto flush = [&] {
    std::string item = std::string(TrimBlanks(piece));
    if (!item.empty()) pieces.push_back(std::move(item));
    piece.clear();
  };
  for (char c : text) {
    if (quote != 0 && c == quote) {
      quoted = !quoted;
    } else if (!quoted && separators.find(c) != std::string_view::npos) {
      flush();
    } else {
      piece += c;
    }
  }
  flush();
  return pieces;
}

class DropListCell : public ControlCell {
 public:
  DropListCell(SettingControl& control, QWidget* parent)
      : ControlCell(control, parent), combo_(new QComboBox) {
    const bool editable = !control.BoolProperty("readonly", true);
    combo_->setEditable(editable);
    // Both signals also fire when loading fills and selects; ReportChange
    // ignores those.
    connect(combo_, &QComboBox::currentIndexChanged, this, [this] { ReportChange(); });
    if (editable) connect(combo_, &QComboBox::editTextChanged, this, [this] { ReportChange(); });
    SetMainInput(combo_);
    CreateLabel();
  }

  /// Replaces the items; `colours` runs along them and may be shorter.
  void Fill(const std::vector<std::string>& items, const std::vector<QColor>& colours) {
    combo_->clear();
    for (std::size_t i = 0; i < items.size(); ++i) {
      combo_->addItem(ToQString(items[i]));
      if (i < colours.size()) {
        combo_->setItemData(static_cast<int>(i), QBrush(colours[i]), Qt::ForegroundRole);
      }
    }
  }

  void SetText(const std::string& text) override {
    const QString value = ToQString(text);
    int index = combo_->findText(value, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (combo_->isEditable()) {
      combo_->setCurrentIndex(index);
      if (combo_->currentText() != value) combo_->setEditText(value);
      return;
    }
    if (index < 0 && !value.isEmpty()) {
      index = combo_->findText(value, Qt::MatchFixedString);
      // A value that is not among the choices must still be shown, or
      // committing the page would overwrite it with another one.
      if (index < 0) {
        combo_->addItem(value);
        index = combo_->count() - 1;
      }
    }
    combo_->setCurrentIndex(index);
  }

  bool GetText(std::string* text) const override {
    *text = FromQString(combo_->currentText());
    return true;
  }

 private:
  QComboBox* combo_;
};

class DropListControl : public CellControl<DropListCell> {
 public:
  void ExchangeValue(bool save) override {
    DropListCell* cell = TypedCell();
    if (Store() == nullptr || cell == nullptr) return;
    const bool memory = BoolProperty("memory");
    if (save) {
      std::string text;
      if (!cell->GetText(&text)) return;
      SaveText(text);
      if (memory) RememberValue(*this, text);
      return;
    }

    std::vector<std::string> items = Choices();
    std::string text = LoadText();
    if (memory) {
      for (std::string& used : UsedValues(*this)) {
        if (std::find(items.begin(), items.end(), used) == items.end()) {
          items.push_back(std::move(used));
        }
      }
      // The stored value is what the configuration holds; the value chosen
      // last only stands in while there is none.
      if (text.empty()) text = SelectedValue(*this);
    }
    std::vector<QColor> colours;
    if (const std::string* list = Property("colors")) {
      for (const std::string& colour : SplitChoices(*list, "+,")) {
        colours.push_back(ColourFromHex(colour));
      }
    }
    WhileLoading([&] {
      cell->Fill(items, colours);
      cell->SetText(text);
    });
  }

 private:
  std::vector<std::string> Choices() const {
    if (const std::string* allowed = ChildText("allowed")) {
      std::vector<std::string> items = SplitChoices(*allowed, "+,");
      if (!items.empty()) return items;
    }
    if (const std::string* contents = Property("contents")) {
      std::vector<std::string> items;
      const std::string uid = std::string(TrimBlanks(*contents));
      // A list the descriptor lacks offers no choices.
      static_cast<void>(GetList(*Store(), Root(), AddressOf(uid), &items));
      return items;
    }
    if (const XmlNode* defaults = Child("defaultcontents")) {
      const std::string* quote = defaults->Attribute("quotewith");
      return SplitChoices(defaults->Text(), ",",
                          quote != nullptr && !quote->empty() ? (*quote)[0] : 0);
    }
    return {};
  }
};

}  // namespace

std::unique_ptr<SettingControl> MakeDropListControl() {
  return std::make_unique<DropListControl>();
}

}  // namespace vossik
