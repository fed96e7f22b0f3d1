// A settings page built from a `page` element: its title, hint line and
// controls, change handling, and the rules for enabling controls.
#include "ui/property_page.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest>
#include <memory>

#include "settings/settings_store.h"
#include "support/must_parse.h"
#include "ui/control_factory.h"
#include "ui/message_box.h"
#include "ui/setting_control.h"
#include "xml/xml_document.h"

namespace {

constexpr char kDescriptor[] = R"(<vossik>
  <types>
    <parameter uid="statictext" name="Note"><control>statictext</control><hint>Read this first</hint></parameter>
  </types>
  <config>
    <section uid="net" name="Net">
      <parameter uid="source" name="Source &amp; files"><control>edit</control><hint>The root folder</hint></parameter>
      <parameter uid="notes" name="Notes" lines="3"><control>edit</control></parameter>
      <parameter uid="odd" name="Odd"><control>nosuchtype</control></parameter>
      <parameter uid="master" name="Master">
        <control>pageswitch</control><hint>Use a proxy</hint>
        <enable>net:host, NET:PORT</enable><prompt>Really?</prompt><toggle>net:direct</toggle>
      </parameter>
      <parameter uid="host" name="Host"><control>edit</control></parameter>
      <parameter uid="port" name="Port"><control>edit</control></parameter>
      <parameter uid="direct" name="Direct"><control>switch</control><default>1</default></parameter>
      <parameter uid="everything" name="Everything" inverse="true"><control>pageswitch</control></parameter>
      <parameter uid="copy" name="Copy" defaultfrom="net:source"><control>edit</control></parameter>
    </section>
  </config>
  <sheet name="Main">%1</sheet>
</vossik>)";

struct Fixture {
  // `page` is the page element's XML; `with_store` false leaves the page
  // without a settings store.
  explicit Fixture(const QString& page_xml, bool with_store = true) {
    vossik::testing::MustParse(document, QString(kDescriptor).arg(page_xml).toStdString());
    page = std::make_unique<vossik::CGUIPropertyPage>(document.Root()->FindElement("page"),
                                                      document.Root(),
                                                      with_store ? &store : nullptr, nullptr);
    page->resize(600, 400);
    page->show();
    page->ExchangeValues(false);
  }

  template <typename T = QWidget>
  T* Find(const char* name) const {
    return page->findChild<T*>(name);
  }

  QString Stored(const char* key) const {
    std::string value;
    if (store.GetValue("Net", key, "", &value) != 0) return QString();
    return QString::fromStdString(value);
  }

  vossik::XmlDocument document;
  vossik::SettingsStore store;
  std::unique_ptr<vossik::CGUIPropertyPage> page;
};

}  // namespace

class PropertyPageTest : public QObject {
  Q_OBJECT

 private slots:
  void TitleAndHintLine_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("hint");
    QTest::newRow("hint from the title") << "<page name=\"General\"/>"
                                         << "General"
                                         << "General settings";
    QTest::newRow("no name") << "<page/>"
                             << "Settings"
                             << "Settings settings";
    QTest::newRow("shortcut and hint")
        << "<page name=\"Group General\" shortcut=\"G\"><hint>Pick one</hint>"
           "<parameter uid=\"net:source\"><hint>not the page's</hint></parameter></page>"
        << "&Group &General"
        << "Pick one";
  }
  void TitleAndHintLine() {
    QFETCH(QString, page);
    QFETCH(QString, title);
    QFETCH(QString, hint);
    Fixture f(page);
    QCOMPARE(QString::fromStdString(f.page->Title()), title);
    QCOMPARE(f.Find<QLabel>("hint")->text(), hint);
  }

  void LabelTooltipsAndCellGeometry() {
    Fixture f("<page><parameter uid=\"net:source\"/><parameter uid=\"net:notes\"/></page>");
    auto* label = f.Find<QLabel>("net:source/label");
    auto* input = f.Find<QLineEdit>("net:source");
    QVERIFY(label != nullptr && input != nullptr);
    QCOMPARE(label->text(), QString("Source && files:"));
    QCOMPARE(label->toolTip(), QString("The root folder"));
    QCOMPARE(input->toolTip(), QString("The root folder"));
    QCOMPARE(label->geometry(), QRect(0, 4, 140, 18));
    QCOMPARE(input->geometry().left(), 148);
    QCOMPARE(input->geometry().right() + 1, f.Find("net:source/cell")->width());

    // Three lines of 16 pixels.
    QCOMPARE(f.Find("net:notes/cell")->height(), 48);
    QVERIFY(f.Find<QPlainTextEdit>("net:notes") != nullptr);
  }

  // An unknown type or uid keeps an empty slot and takes no room.
  void MissingControlsLeaveNoGap() {
    Fixture f(
        "<page><parameter uid=\"net:source\"/><parameter uid=\"net:odd\"/>"
        "<parameter uid=\"net:undefined\"/><parameter uid=\"net:host\"/></page>");
    const auto& controls = f.page->Controls();
    QCOMPARE(controls.size(), std::size_t(4));
    QVERIFY(controls[1] == nullptr && controls[2] == nullptr);
    QCOMPARE(f.Find("net:host/cell")->y(), f.Find("net:source/cell")->y() + 24);
  }

  void ApplicationFactoryGetsUnknownNames() {
    QString asked;
    const vossik::ApplicationControlFactory factory = [&asked](std::string_view name) {
      asked = QString::fromUtf8(name.data(), qsizetype(name.size()));
      return vossik::MakeControl("edit", {});
    };
    QVERIFY(vossik::MakeControl("routemap", factory) != nullptr);
    QCOMPARE(asked, QString("routemap"));
    QVERIFY(vossik::MakeControl("routemap", {}) == nullptr);
  }

  void EditsMarkThePageModified() {
    Fixture f("<page><parameter uid=\"net:source\"/></page>");
    QCoreApplication::processEvents();
    QVERIFY(!f.page->Modified());  // loading is no change

    QTest::keyClicks(f.Find("net:source"), "abc");
    QCoreApplication::processEvents();
    QVERIFY(f.page->Modified());

    f.page->SetModified(false);
    QTest::keyClick(f.Find("net:source"), Qt::Key_Delete);
    QCoreApplication::processEvents();
    QVERIFY(f.page->Modified());
  }

  void RefreshShowsValuesThatFollowOthers() {
    Fixture f(
        "<page><parameter uid=\"net:source\" onchange=\"refresh\"/>"
        "<parameter uid=\"net:copy\"/></page>");
    QTest::keyClicks(f.Find("net:source"), "/srv/www");
    QCOMPARE(f.Find<QLineEdit>("net:copy")->text(), QString());
    QCoreApplication::processEvents();
    QCOMPARE(f.Find<QLineEdit>("net:copy")->text(), QString("/srv/www"));
    QCOMPARE(f.Stored("Source & files"), QString("/srv/www"));
    QVERIFY(f.Stored("Copy").isNull());
  }

  void WithoutStoreOnlyPermanentPagesStayEnabled_data() {
    QTest::addColumn<QString>("enable");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("permanent") << "permanent" << true;
    QTest::newRow("other value") << "true" << false;
  }
  void WithoutStoreOnlyPermanentPagesStayEnabled() {
    QFETCH(QString, enable);
    QFETCH(bool, enabled);
    Fixture f(QString("<page enable=\"%1\"><parameter uid=\"net:source\"/></page>").arg(enable),
              false);
    QCOMPARE(f.Find("net:source")->isEnabled(), enabled);
  }

  void EnablingFollowsTheStaticTextAndUidRules() {
    Fixture f(
        "<page><parameter uid=\"statictext\"/><parameter uid=\"net:source\"/>"
        "<parameter uid=\"net:host\"/></page>");
    f.page->EnableControls(false);
    QVERIFY(f.Find("statictext")->isEnabled());
    QVERIFY(!f.Find("net:source")->isEnabled());
    QVERIFY(!f.Find("net:source/label")->isEnabled());

    const std::vector<std::string> only_host = {"NET:HOST"};
    f.page->EnableControls(true, &only_host);
    QVERIFY(f.Find("net:host")->isEnabled());
    QVERIFY(!f.Find("net:source")->isEnabled());
  }

  void PageSwitchGovernsItsListAndExcludesToggles() {
    Fixture f(
        "<page><parameter uid=\"net:master\"/><parameter uid=\"net:host\"/>"
        "<parameter uid=\"net:port\"/><parameter uid=\"net:source\"/>"
        "<parameter uid=\"net:direct\"/></page>");
    auto* master = f.Find<QCheckBox>("net:master");
    QVERIFY(!master->isChecked());
    QVERIFY(!f.Find("net:host")->isEnabled());
    QVERIFY(!f.Find("net:port")->isEnabled());
    QVERIFY(f.Find("net:source")->isEnabled());

    master->click();
    QVERIFY(f.Find("net:host")->isEnabled());
    QCOMPARE(f.Stored("Direct"), QString("0"));
    QVERIFY(!f.Find<QCheckBox>("net:direct")->isChecked());

    // Clearing asks first; No puts the check back.
    QString asked;
    vossik::MessageAnswer answer = vossik::MessageAnswer::kNo;
    const vossik::MessageHook previous = vossik::SetMessageHook(
        [&](vossik::MessageKind kind, const std::string& title, const std::string& text) {
          asked = QString::fromStdString(title + "|" + text);
          return kind == vossik::MessageKind::kQuestion ? answer : vossik::MessageAnswer::kOk;
        });
    master->click();
    QCOMPARE(asked, QString("Use a proxy|Really?"));
    QVERIFY(master->isChecked());
    QVERIFY(f.Find("net:host")->isEnabled());

    answer = vossik::MessageAnswer::kYes;
    master->click();
    QVERIFY(!master->isChecked());
    QVERIFY(!f.Find("net:host")->isEnabled());
    QCOMPARE(f.Stored("Direct"), QString("1"));
    vossik::SetMessageHook(previous);
  }

  void InversePageSwitchGovernsTheWholePage() {
    Fixture f(
        "<page><parameter uid=\"statictext\"/><parameter uid=\"net:everything\"/>"
        "<parameter uid=\"net:source\"/></page>");
    f.Find<QCheckBox>("net:everything")->click();
    QVERIFY(!f.Find("net:source")->isEnabled());
    QVERIFY(f.Find("statictext")->isEnabled());
    QVERIFY(f.Find("net:everything")->isEnabled());
    f.Find<QCheckBox>("net:everything")->click();
    QVERIFY(f.Find("net:source")->isEnabled());
  }

  void ExtraParametersBeyondCapacityAreLeftOut() {
    QString page = "<page>";
    for (int i = 0; i < 600; ++i) page += "<parameter uid=\"statictext\"/>";
    Fixture f(page + "</page>");
    QCOMPARE(f.page->Controls().size(), vossik::CGUIPropertyPage::kMaxControls);
  }
};

QTEST_MAIN(PropertyPageTest)
#include "property_page_test.moc"
