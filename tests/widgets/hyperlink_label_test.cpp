#include "widgets/hyperlink_label.h"

#include <QDesktopServices>
#include <QSignalSpy>
#include <QUrl>
#include <QtTest>

using vossik::HyperlinkLabel;

// Stands in for the desktop's browser so that no test opens one.
class UrlCatcher : public QObject {
  Q_OBJECT

 public:
  QList<QUrl> opened;

 public slots:
  void Open(const QUrl& url) { opened << url; }
};

class HyperlinkLabelTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    catcher_.opened.clear();
    for (const char* scheme : {"http", "https"}) {
      QDesktopServices::setUrlHandler(scheme, &catcher_, "Open");
    }
  }
  void cleanup() {
    for (const char* scheme : {"http", "https"}) QDesktopServices::unsetUrlHandler(scheme);
  }

  void Activation_data() {
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("url");
    QTest::addColumn<int>("activations");
    QTest::addColumn<QString>("opened");
    QTest::newRow("opens the address")
        << true << "https://example.org/a" << 1 << "https://example.org/a";
    QTest::newRow("address as typed") << true << "www.example.org" << 1 << "http://www.example.org";
    QTest::newRow("no address only signals") << true << "" << 1 << "";
    QTest::newRow("disabled does nothing") << false << "https://example.org" << 0 << "";
  }
  void Activation() {
    QFETCH(bool, enabled);
    QFETCH(QString, url);
    QFETCH(int, activations);
    QFETCH(QString, opened);
    HyperlinkLabel link("View");
    link.SetUrl(url);
    link.setEnabled(enabled);
    QSignalSpy spy(&link, &HyperlinkLabel::Activated);

    QTest::mouseClick(&link, Qt::LeftButton);
    link.setFocus();
    QTest::keyClick(&link, Qt::Key_Space);

    QCOMPARE(spy.count(), 2 * activations);
    if (opened.isEmpty()) {
      QVERIFY(catcher_.opened.isEmpty());
    } else {
      QCOMPARE(catcher_.opened.size(), 2);
      QCOMPARE(catcher_.opened.first(), QUrl(opened));
    }
  }

  void ReleaseOutsideDoesNotActivate() {
    HyperlinkLabel link("View");
    link.resize(60, 20);
    QSignalSpy spy(&link, &HyperlinkLabel::Activated);
    QTest::mousePress(&link, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(&link, Qt::LeftButton, {}, QPoint(100, 5));
    QCOMPARE(spy.count(), 0);
  }

  void ShowsTheEnabledState() {
    HyperlinkLabel link("View");
    link.resize(link.sizeHint());
    const QColor link_colour = link.palette().color(QPalette::Active, QPalette::Link);
    QCOMPARE(link.palette().color(QPalette::Active, QPalette::WindowText), link_colour);
    QVERIFY(link.font().underline());
    QCOMPARE(link.cursor().shape(), Qt::PointingHandCursor);
    link.setEnabled(false);
    QVERIFY(link.palette().color(QPalette::Disabled, QPalette::WindowText) != link_colour);
    QCOMPARE(link.cursor().shape(), Qt::ArrowCursor);
  }

 private:
  UrlCatcher catcher_;
};

QTEST_MAIN(HyperlinkLabelTest)
#include "hyperlink_label_test.moc"
