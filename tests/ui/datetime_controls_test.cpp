// The `time` and `date` controls: the stored forms they read and write, and
// their editors' placement.
#include <QCalendarWidget>
#include <QDateEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QtTest>

#include "ui/control_fixture.h"

namespace {

constexpr char kDescriptor[] = R"(<vossik>
  <config>
    <section uid="t" name="T">
      <parameter uid="start" name="Start"><control>time</control></parameter>
      <parameter uid="day" name="Day"><control>date</control></parameter>
    </section>
  </config>
  <sheet name="Main"><page name="P"><parameter uid="t:start"/><parameter uid="t:day"/></page></sheet>
</vossik>)";

using vossik::testing::ControlFixture;

}  // namespace

class DateTimeControlsTest : public QObject {
  Q_OBJECT

 private slots:
  void TimeLoadsAndSaves_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QTime>("shown");
    QTest::addColumn<QString>("saved");
    QTest::newRow("own form") << "9:5" << QTime(9, 5) << "9:5";
    QTest::newRow("dot, zero-padded") << "09.05" << QTime(9, 5) << "9:5";
    QTest::newRow("letters") << "17h30m" << QTime(17, 30) << "17:30";
    QTest::newRow("seconds dropped") << "7;45;10" << QTime(7, 45) << "7:45";
    QTest::newRow("blank-separated") << "23 59" << QTime(23, 59) << "23:59";
    QTest::newRow("no time of day") << "25:00" << QTime(0, 0) << "0:0";
  }
  void TimeLoadsAndSaves() {
    QFETCH(QString, stored);
    QFETCH(QTime, shown);
    QFETCH(QString, saved);
    ControlFixture f(kDescriptor);
    f.Set("Start", stored.toStdString());
    f.Load();
    QCOMPARE(f.Find<QTimeEdit>("t:start")->time(), shown);
    QVERIFY(!f.Changed());
    f.Save();
    QCOMPARE(f.Stored("Start"), saved);
  }

  void TimeEditIsAChange() {
    ControlFixture f(kDescriptor);
    f.Set("Start", "9:5");
    f.Load();
    f.Find<QTimeEdit>("t:start")->setTime(QTime(10, 0));
    QVERIFY(f.Changed());
    f.Save();
    QCOMPARE(f.Stored("Start"), QString("10:0"));
  }

  void DateLoadsAndSaves_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QDate>("shown");
    QTest::addColumn<QString>("saved");
    // A day of 12 or less must not be taken for the month.
    QTest::newRow("own form, early day") << "5/4/2024" << QDate(2024, 4, 5) << "5/4/2024";
    QTest::newRow("own form") << "25/12/2003" << QDate(2003, 12, 25) << "25/12/2003";
    QTest::newRow("month first") << "US(12/25/2003)" << QDate(2003, 12, 25) << "25/12/2003";
    QTest::newRow("month first, early day") << "US(4/5/2024)" << QDate(2024, 4, 5) << "5/4/2024";
    QTest::newRow("written out") << "Mon, 07 Dec 2026" << QDate(2026, 12, 7) << "7/12/2026";
    QTest::newRow("year first") << "2003-12-25" << QDate(2003, 12, 25) << "25/12/2003";
  }
  void DateLoadsAndSaves() {
    QFETCH(QString, stored);
    QFETCH(QDate, shown);
    QFETCH(QString, saved);
    ControlFixture f(kDescriptor);
    f.Set("Day", stored.toStdString());
    f.Load();
    QCOMPARE(f.Find<QDateEdit>("t:day")->date(), shown);
    QVERIFY(!f.Changed());
    f.Save();
    QCOMPARE(f.Stored("Day"), saved);
  }

  void UnreadableDateKeepsTheEditorsDate() {
    ControlFixture f(kDescriptor);
    f.Set("Day", "soon");
    f.Load();
    QCOMPARE(f.Find<QDateEdit>("t:day")->date(), QDate::currentDate());
  }

  void CalendarButtonOpensTheCalendar() {
    ControlFixture f(kDescriptor);
    f.Load();
    f.page->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.page.get()));
    auto* editor = f.Find<QDateEdit>("t:day");
    f.Find<QPushButton>("t:day/calendar")->click();
    QTRY_VERIFY(editor->calendarWidget()->isVisible());
    editor->calendarWidget()->clicked(QDate(2030, 1, 2));
    QCOMPARE(editor->date(), QDate(2030, 1, 2));
    QVERIFY(f.Changed());
  }

  void Geometry() {
    ControlFixture f(kDescriptor);
    f.Load();
    f.Place("t:start", 400, 22);
    f.Place("t:day", 400, 22);
    // 36 and 70 wide at the least, more when the font needs it.
    QWidget* time = f.Find("t:start");
    QWidget* date = f.Find("t:day");
    const int time_width = qMax(36, time->minimumSizeHint().width());
    const int date_width = qMax(70, date->minimumSizeHint().width());
    QCOMPARE(time->geometry(), QRect(148, 0, time_width, 22));
    QCOMPARE(date->geometry(), QRect(148, 0, date_width, 22));
    QCOMPARE(f.Find("t:day/calendar")->geometry(), QRect(148 + date_width, 0, 20, 22));
  }
};

QTEST_MAIN(DateTimeControlsTest)
#include "datetime_controls_test.moc"
