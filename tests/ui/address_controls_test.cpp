// The controls that hold or open addresses: `urledit`, `linkbutton` and
// `iphostname`. Opened addresses are caught by URL handlers instead of a
// browser.
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QUrl>
#include <QtTest>

#include "ui/control_fixture.h"
#include "widgets/hyperlink_label.h"
#include "widgets/ip_address_field.h"

namespace {

constexpr char kDescriptor[] = R"(<vossik>
  <config>
    <section uid="t" name="T">
      <parameter uid="site" name="Site"><control>urledit</control><linktext>Visit</linktext></parameter>
      <parameter uid="home" name="Home"><control>urledit</control></parameter>
      <parameter uid="docs" name="Docs"><control>linkbutton</control><hint>Read the manual</hint>
        <url>https://example.org/manual</url></parameter>
      <parameter uid="nowhere" name="Nowhere"><control>linkbutton</control><hint>Nothing</hint>
        <buttontext>Open</buttontext></parameter>
      <parameter uid="host" name="Host"><control>iphostname</control><hint>The server</hint></parameter>
    </section>
  </config>
  <sheet name="Main"><page name="P">
    <parameter uid="t:site"/><parameter uid="t:home"/><parameter uid="t:docs"/>
    <parameter uid="t:nowhere"/><parameter uid="t:host"/>
  </page></sheet>
</vossik>)";

using vossik::HyperlinkLabel;
using vossik::IpAddressField;
using vossik::testing::ControlFixture;

}  // namespace

// Catches the addresses the desktop would open, for as long as it lives.
class OpenedUrls : public QObject {
  Q_OBJECT

 public:
  OpenedUrls() {
    for (const char* scheme : {"http", "https"})
      QDesktopServices::setUrlHandler(scheme, this, "Open");
  }
  ~OpenedUrls() override {
    for (const char* scheme : {"http", "https"}) QDesktopServices::unsetUrlHandler(scheme);
  }
  Q_INVOKABLE void Open(const QUrl& url) { urls << url; }

  QList<QUrl> urls;
};

class AddressControlsTest : public QObject {
  Q_OBJECT

 private slots:
  // -- urledit ----------------------------------------------------------------

  void UrlLinkActsOnlyWithAnAddress() {
    ControlFixture f(kDescriptor);
    f.Set("Site", "example.org");
    f.Load();
    auto* site = f.Find<HyperlinkLabel>("t:site/link");
    auto* home = f.Find<HyperlinkLabel>("t:home/link");
    QVERIFY(site->isEnabled());
    QVERIFY(!home->isEnabled());
    QCOMPARE(site->text(), QString("Visit"));
    QCOMPARE(home->text(), QString("View"));

    QTest::keyClicks(f.Find<QLineEdit>("t:home"), "www.example.net");
    QVERIFY(home->isEnabled());
    QVERIFY(f.Changed());
    f.Find<QLineEdit>("t:home")->clear();
    QVERIFY(!home->isEnabled());

    // Enabling the page's controls again leaves an empty one's link off.
    f.Control("t:home")->SetEnabled(false);
    f.Control("t:home")->SetEnabled(true);
    QVERIFY(!home->isEnabled());
  }

  void UrlLinkOpensTheTypedAddress() {
    ControlFixture f(kDescriptor);
    f.Load();
    OpenedUrls opened;
    f.Find<QLineEdit>("t:site")->setText("example.org/start");
    QTest::keyClick(f.Find<HyperlinkLabel>("t:site/link"), Qt::Key_Space);
    QCOMPARE(opened.urls, QList<QUrl>{QUrl("http://example.org/start")});
    f.Save();
    QCOMPARE(f.Stored("Site"), QString("example.org/start"));
  }

  // -- linkbutton -------------------------------------------------------------

  void LinkButtonOpensItsUrlOrNothing() {
    ControlFixture f(kDescriptor);
    f.Load();
    OpenedUrls opened;
    auto* docs = f.Find<HyperlinkLabel>("t:docs");
    auto* nowhere = f.Find<HyperlinkLabel>("t:nowhere");
    QCOMPARE(docs->text(), QString("Go!"));
    QCOMPARE(nowhere->text(), QString("Open"));
    QVERIFY(docs->isEnabled());
    QVERIFY(!nowhere->isEnabled());
    QTest::keyClick(nowhere, Qt::Key_Space);
    QTest::keyClick(docs, Qt::Key_Space);
    QCOMPARE(opened.urls, QList<QUrl>{QUrl("https://example.org/manual")});

    f.Control("t:nowhere")->SetEnabled(false);
    f.Control("t:nowhere")->SetEnabled(true);
    QVERIFY(!nowhere->isEnabled());
    f.Save();
    QVERIFY(f.Stored("Docs").isNull());
  }

  // -- iphostname -------------------------------------------------------------

  void HostLoadsInTheModeOfItsValue_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("ip");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("address");
    QTest::newRow("host name") << "mail.example.org" << false << "mail.example.org"
                               << "";
    QTest::newRow("address") << "192.168.1.20" << true << ""
                             << "192.168.1.20";
    QTest::newRow("no address") << "300.1.1.1" << false << "300.1.1.1"
                                << "";
    QTest::newRow("nothing") << QString() << false << ""
                             << "";
  }
  void HostLoadsInTheModeOfItsValue() {
    QFETCH(QString, stored);
    QFETCH(bool, ip);
    QFETCH(QString, name);
    QFETCH(QString, address);
    ControlFixture f(kDescriptor);
    if (!stored.isNull()) f.Set("Host", stored.toStdString());
    f.Load();
    QCOMPARE(f.Find<QRadioButton>("t:host/ip")->isChecked(), ip);
    QCOMPARE(f.Find<QRadioButton>("t:host/name")->isChecked(), !ip);
    QCOMPARE(f.Find("t:host/address")->isHidden(), !ip);
    QCOMPARE(f.Find("t:host")->isHidden(), ip);
    QCOMPARE(f.Find<QLineEdit>("t:host")->text(), name);
    QCOMPARE(f.Find<IpAddressField>("t:host/address")->Text(), address);
    QVERIFY(!f.Changed());
    f.Save();
    QCOMPARE(f.Stored("Host"), stored);
  }

  void HostStoresTheInputOfTheChosenMode() {
    ControlFixture f(kDescriptor);
    f.Set("Host", "mail.example.org");
    f.Load();
    f.Find<QRadioButton>("t:host/ip")->click();
    QVERIFY(f.Changed());
    auto* address = f.Find<IpAddressField>("t:host/address");
    QVERIFY(address->IsBlank());  // a name is no address to carry over
    address->SetText("10.0.0.7");
    f.Save();
    QCOMPARE(f.Stored("Host"), QString("10.0.0.7"));

    f.Find<QRadioButton>("t:host/name")->click();
    f.Save();
    QCOMPARE(f.Stored("Host"), QString("mail.example.org"));

    // A typed address goes with the switch to the address field.
    f.Find<QLineEdit>("t:host")->setText("10.1.2.3");
    address->clear();
    f.Find<QRadioButton>("t:host/ip")->click();
    QCOMPARE(address->Text(), QString("10.1.2.3"));
  }

  void HostRadioTooltips() {
    ControlFixture f(kDescriptor);
    f.Load();
    QCOMPARE(f.Find("t:host/name")->toolTip(), QString("This allows you to enter a hostname"));
    QCOMPARE(f.Find("t:host/ip")->toolTip(), QString("This allows you to enter an IP address"));
    QCOMPARE(f.Find("t:host")->toolTip(), QString("The server"));
  }

  // -- placement ----------------------------------------------------------------

  void Geometry() {
    ControlFixture f(kDescriptor);
    f.Load();
    f.Place("t:site", 500, 22);
    auto* link = f.Find<HyperlinkLabel>("t:site/link");
    int e = link->fontMetrics().horizontalAdvance(link->text());
    QCOMPARE(f.Find("t:site")->geometry(), QRect(148, 0, 500 - e - 24 - 148, 22));
    QCOMPARE(link->geometry(), QRect(500 - e - 16, 4, e + 8, 18));

    f.Place("t:docs", 500, 22);
    link = f.Find<HyperlinkLabel>("t:docs");
    e = link->fontMetrics().horizontalAdvance(link->text());
    QCOMPARE(link->geometry(), QRect(500 - e - 8, 4, e, 18));
    auto* label = f.Find<QLabel>("t:docs/label");
    QCOMPARE(label->text(), QString("Read the manual"));
    QCOMPARE(label->geometry(), QRect(0, 4, 372, 18));
  }
};

QTEST_MAIN(AddressControlsTest)
#include "address_controls_test.moc"
