// `multislider`: several thumbs on one bar, each bound to a parameter of its
// own. The `sliders` element describes the bar (`number` of thumbs, `bgcolor`,
// `label`) and has one `slider` child per thumb (`from`, the parameter
// holding the thumb's position; `color`; `label`). The control's own
// parameter keeps its text through the common rules.
#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include "base/string_util.h"
#include "settings/parameter_ref.h"
#include "settings/typed_settings.h"
#include "ui/cell_control.h"
#include "ui/control_catalogue.h"
#include "ui/control_cell.h"
#include "ui/number_control.h"
#include "widgets/hex_colour.h"
#include "widgets/multi_thumb_slider.h"
#include "xml/xml_document.h"

namespace vossik {
namespace {

QString AttributeText(const XmlNode& element, std::string_view name) {
  const std::string* value = element.Attribute(name);
  return value != nullptr ? ToQString(*value) : QString();
}

class MultiSliderCell : public ControlCell {
 public:
  MultiSliderCell(SettingControl& control, QWidget* parent)
      : ControlCell(control, parent), bar_(new MultiThumbSlider) {
    const NumberRange range = AllowedRange(control, {0, 100});
    bar_->SetRange(range.minimum, range.maximum);
    connect(bar_, &MultiThumbSlider::ThumbMoved, this, [this] { ReportChange(); });
    SetMainInput(bar_);
    CreateLabel();
    AddThumbs(control);
  }

  MultiThumbSlider* Bar() const { return bar_; }
  /// Per thumb: the uid of the parameter holding its position ("" for none).
  const std::vector<std::string>& ThumbParameters() const { return from_; }

  int PreferredHeight() const override {
    return std::max(kRowHeight, bar_->minimumSizeHint().height());
  }

  // The bar shows no text; the control's own parameter text is only carried
  // from load to save, as the window text of the bar would be.
  void SetText(const std::string& text) override { text_ = text; }
  bool GetText(std::string* text) const override {
    *text = text_;
    return true;
  }

 private:
  // The bar's colour and one thumb per `slider` of the `sliders` element.
  void AddThumbs(const SettingControl& control) {
    const XmlNode* sliders = control.Child("sliders");
    if (sliders == nullptr) return;

    if (const std::string* colour = sliders->Attribute("bgcolor")) {
      bar_->SetBarColour(ColourFromHex(*colour));
    }
    // The bar's own label has no place on the bar; it stands in for the
    // missing hint.
    const QString label = AttributeText(*sliders, "label");
    if (!label.isEmpty() && control.Hint().empty()) bar_->setToolTip(label);

    const std::string* number = sliders->Attribute("number");
    const long wanted =
        number != nullptr ? ParseLeadingNumber(*number) : std::numeric_limits<long>::max();
    for (const XmlNode* slider = sliders->FirstChild();
         slider != nullptr && static_cast<long>(from_.size()) < wanted;
         slider = slider->NextSibling()) {
      if (slider->Name() != "slider") continue;
      const std::string* colour = slider->Attribute("color");
      bar_->AddThumb(ColourFromHex(colour != nullptr ? *colour : std::string()),
                     AttributeText(*slider, "label"));
      const std::string* from = slider->Attribute("from");
      from_.push_back(from != nullptr ? *from : std::string());
    }
  }

  MultiThumbSlider* bar_;
  std::vector<std::string> from_;
  std::string text_;
};

class MultiSliderControl : public CellControl<MultiSliderCell> {
 public:
  void ExchangeValue(bool save) override {
    MultiSliderCell* cell = TypedCell();
    if (Store() == nullptr || cell == nullptr) return;
    MultiThumbSlider* bar = cell->Bar();
    for (int i = 0; i < bar->ThumbCount(); ++i) {
      const std::string& from = cell->ThumbParameters()[static_cast<std::size_t>(i)];
      if (from.empty()) continue;
      // A thumb whose setting the descriptor lacks keeps no value: it
      // starts at 0 and saves nowhere.
      if (save) {
        static_cast<void>(SetNumber(*Store(), Root(), AddressOf(from), bar->ThumbPosition(i)));
      } else {
        int32_t position = 0;
        static_cast<void>(GetNumber(*Store(), Root(), AddressOf(from), &position));
        bar->SetThumbPosition(i, position);
      }
    }
    SettingControl::ExchangeValue(save);
  }
};

}  // namespace

std::unique_ptr<SettingControl> MakeMultiSliderControl() {
  return std::make_unique<MultiSliderControl>();
}

}  // namespace vossik
