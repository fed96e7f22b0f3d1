// `multislider`: thumbs described by the `sliders` element, each loaded from
// and saved to the parameter its `from` names.
#include <QtTest>
#include <memory>

#include "settings/settings_store.h"
#include "support/must_parse.h"
#include "ui/control_cell.h"
#include "ui/property_page.h"
#include "ui/setting_control.h"
#include "widgets/multi_thumb_slider.h"
#include "xml/xml_document.h"

namespace {

constexpr char kDescriptor[] = R"(<vossik>
  <config>
    <section uid="audio" name="Audio">
      <parameter uid="mix" name="Mix">
        <control>multislider</control><allowed min="0" max="200"/>
        <sliders number="2" bgcolor="C0C0C0" label="Balance">
          <slider from="audio:low" color="FF0000" label="Low"/>
          <slider from="audio:high" color="0000ff"/>
          <slider from="audio:extra" color="00FF00"/>
        </sliders>
      </parameter>
      <parameter uid="low" name="Low"><default>10</default></parameter>
      <parameter uid="high" name="High"/>
      <parameter uid="extra" name="Extra"/>
    </section>
  </config>
  <sheet name="Main"><page name="Sound"><parameter uid="audio:mix"/></page></sheet>
</vossik>)";

struct Fixture {
  explicit Fixture(const QMap<QString, QString>& values) {
    vossik::testing::MustParse(document, kDescriptor);
    for (auto it = values.begin(); it != values.end(); ++it) {
      store.SetValue("Audio", it.key().toStdString(), it.value().toStdString());
    }
    page = std::make_unique<vossik::CGUIPropertyPage>(document.Root()->FindElement("page"),
                                                      document.Root(), &store, nullptr);
    page->resize(500, 200);
    page->ExchangeValues(false);
    bar = page->findChild<vossik::MultiThumbSlider*>("audio:mix");
  }

  QString Stored(const char* key) const {
    std::string value;
    if (store.GetValue("Audio", key, "", &value) != 0) return QString();
    return QString::fromStdString(value);
  }

  vossik::XmlDocument document;
  vossik::SettingsStore store;
  std::unique_ptr<vossik::CGUIPropertyPage> page;
  vossik::MultiThumbSlider* bar = nullptr;
};

}  // namespace

class MultiSliderControlTest : public QObject {
  Q_OBJECT

 private slots:
  void ThumbsComeFromTheSlidersElement() {
    Fixture f({{"High", "150"}});
    QVERIFY(f.bar != nullptr);
    QCOMPARE(f.bar->ThumbCount(), 2);  // `number` limits the thumbs
    QCOMPARE(f.bar->Minimum(), 0);
    QCOMPARE(f.bar->Maximum(), 200);
    QCOMPARE(f.bar->BarColour(), QColor(0xC0, 0xC0, 0xC0));
    QCOMPARE(f.bar->ThumbColour(0), QColor(255, 0, 0));
    QCOMPARE(f.bar->ThumbColour(1), QColor(0, 0, 255));
    QCOMPARE(f.bar->ThumbLabel(0), QString("Low"));
    QCOMPARE(f.bar->ThumbLabel(1), QString());
    QCOMPARE(f.bar->toolTip(), QString("Balance"));
    // The descriptor default of an unstored parameter, then the stored value.
    QCOMPARE(f.bar->ThumbPosition(0), 10);
    QCOMPARE(f.bar->ThumbPosition(1), 150);
  }

  void ThumbsAreSavedToTheirParameters() {
    Fixture f({{"Mix", "kept"}, {"Low", "20"}});
    f.bar->SetThumbPosition(0, 40);
    f.bar->SetThumbPosition(1, 180);
    f.page->ExchangeValues(true);
    QCOMPARE(f.Stored("Low"), QString("40"));
    QCOMPARE(f.Stored("High"), QString("180"));
    QVERIFY(f.Stored("Extra").isNull());
    // The control's own parameter keeps its text.
    QCOMPARE(f.Stored("Mix"), QString("kept"));
  }

  void CellIsTallEnoughForTheThumbLabels() {
    Fixture f({});
    vossik::ControlCell* cell = f.page->FindControl("audio:mix")->Cell();
    QCOMPARE(cell->PreferredHeight(), std::max(22, f.bar->minimumSizeHint().height()));
    cell->Place({8, 20, 400, cell->PreferredHeight()});
    QCOMPARE(f.bar->geometry(), QRect(148, 0, 252, cell->PreferredHeight()));
  }
};

QTEST_MAIN(MultiSliderControlTest)
#include "multislider_control_test.moc"
