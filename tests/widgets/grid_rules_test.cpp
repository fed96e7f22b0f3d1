// The report grid's rules without a window: column kinds, comparisons,
// levels, cell texts, shortening and the selection as XML.
#include "widgets/grid_rules.h"

#include <QtTest>
#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

using vossik::ColumnKind;

Q_DECLARE_METATYPE(ColumnKind)

namespace {

std::string Sorted(ColumnKind kind, std::vector<std::string> cells, bool ascending = true) {
  std::stable_sort(cells.begin(), cells.end(), [&](const std::string& a, const std::string& b) {
    if (a.empty() != b.empty()) return b.empty();
    const int compared = vossik::CompareCells(kind, a, b);
    return ascending ? compared < 0 : compared > 0;
  });
  std::string joined;
  for (const std::string& cell : cells) joined += (joined.empty() ? "" : ",") + cell;
  return joined;
}

}  // namespace

class GridRulesTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    // Dates and times are shown in local time; the expectations are in UTC.
    qputenv("TZ", "UTC");
    tzset();
  }

  void KindsComeFromTheSortAttribute_data() {
    QTest::addColumn<QString>("sort");
    QTest::addColumn<ColumnKind>("kind");
    QTest::newRow("mixed case") << "Numerical" << ColumnKind::kNumerical;
    QTest::newRow("alphanumerical") << "alphanumerical" << ColumnKind::kAlphanumerical;
    QTest::newRow("date") << "DATE" << ColumnKind::kDate;
    QTest::newRow("time") << "time" << ColumnKind::kTime;
    QTest::newRow("size") << "Size" << ColumnKind::kSize;
    QTest::newRow("unknown is text") << "weight" << ColumnKind::kText;
  }
  void KindsComeFromTheSortAttribute() {
    QFETCH(QString, sort);
    QFETCH(ColumnKind, kind);
    const std::string attribute = sort.toStdString();
    QCOMPARE(vossik::ColumnKindFromSort(&attribute), kind);
  }
  void NoSortAttributeIsText() { QCOMPARE(vossik::ColumnKindFromSort(nullptr), ColumnKind::kText); }

  void RowsSortByTheirColumnsKind_data() {
    QTest::addColumn<ColumnKind>("kind");
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<bool>("ascending");
    QTest::addColumn<QString>("order");
    QTest::newRow("numbers numerically")
        << ColumnKind::kNumerical << QStringList{"10", "9", "100"} << true << "9,10,100";
    QTest::newRow("numbers alphanumerically")
        << ColumnKind::kAlphanumerical << QStringList{"10", "9", "100"} << true << "10,100,9";
    QTest::newRow("descending") << ColumnKind::kNumerical << QStringList{"10", "9", "100"} << false
                                << "100,10,9";
    QTest::newRow("text ignores case")
        << ColumnKind::kText << QStringList{"beta", "Alpha", "alpha2"} << true
        << "Alpha,alpha2,beta";
    QTest::newRow("leading number of a size")
        << ColumnKind::kSize << QStringList{"2048 bytes", "512", "-1"} << true
        << "-1,512,2048 bytes";
    QTest::newRow("empty cells last, ascending")
        << ColumnKind::kNumerical << QStringList{"", "5", "", "1"} << true << "1,5,,";
    QTest::newRow("empty cells last, descending")
        << ColumnKind::kText << QStringList{"", "a", "b"} << false << "b,a,";
    QTest::newRow("times by the second of the day")
        << ColumnKind::kTime << QStringList{"90000", "7200", "3599"} << true << "3599,90000,7200";
  }
  void RowsSortByTheirColumnsKind() {
    QFETCH(ColumnKind, kind);
    QFETCH(QStringList, cells);
    QFETCH(bool, ascending);
    QFETCH(QString, order);
    std::vector<std::string> texts;
    for (const QString& cell : cells) texts.push_back(cell.toStdString());
    QCOMPARE(QString::fromStdString(Sorted(kind, texts, ascending)), order);
  }

  void TimesOneDayApartAreEqual() {
    QCOMPARE(vossik::CompareCells(ColumnKind::kTime, "3600", "90000"), 0);
    QVERIFY(vossik::CompareCells(ColumnKind::kDate, "3600", "90000") < 0);
    QCOMPARE(vossik::CompareCells(ColumnKind::kText, "", ""), 0);
    QVERIFY(vossik::CompareCells(ColumnKind::kText, "", "a") > 0);
  }

  void LevelsPickTheirColours_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("colour");
    QTest::newRow("at T1") << 25 << 0;
    QTest::newRow("just past T1") << 26 << 1;
    QTest::newRow("at T2") << 50 << 1;
    QTest::newRow("at T4") << 100 << 3;
    QTest::newRow("past T4") << 101 << 4;
    QTest::newRow("negative") << -5 << 0;
  }
  void LevelsPickTheirColours() {
    QFETCH(int, value);
    QFETCH(int, colour);
    QCOMPARE(vossik::LevelColourIndex(value, vossik::kDefaultThresholds), colour);
  }

  void TheBarIsAShareOfTheWidthLessThirty() {
    QCOMPARE(vossik::LevelBarWidth(50, 430), 200);
    QCOMPARE(vossik::LevelBarWidth(100, 430), 400);
    QCOMPARE(vossik::LevelBarWidth(0, 430), 0);
    QCOMPARE(vossik::LevelBarWidth(33, 130), 33);  // 3300 / 100
    QCOMPARE(vossik::LevelBarWidth(1, 129), 0);    // integer division
  }

  void CellsShowTheirNumbersAsDatesTimesAndSizes_data() {
    QTest::addColumn<ColumnKind>("kind");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("size") << ColumnKind::kSize << "1536000"
                          << "1,500KB";
    QTest::newRow("size 0") << ColumnKind::kSize << "0"
                            << "";
    QTest::newRow("size not a number") << ColumnKind::kSize << "big"
                                       << "";
    QTest::newRow("small size") << ColumnKind::kSize << "100"
                                << "1KB";
    QTest::newRow("date") << ColumnKind::kDate << "1796632830"
                          << "Mon, 7 Dec 2026";
    QTest::newRow("date 0") << ColumnKind::kDate << "0"
                            << "";
    QTest::newRow("time") << ColumnKind::kTime << "1796632830"
                          << "8:40:30";
    QTest::newRow("text as it is") << ColumnKind::kText << "1536000"
                                   << "1536000";
    QTest::newRow("numbers as they are") << ColumnKind::kNumerical << "0"
                                         << "0";
  }
  void CellsShowTheirNumbersAsDatesTimesAndSizes() {
    QFETCH(ColumnKind, kind);
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QCOMPARE(QString::fromStdString(vossik::CellDisplayText(kind, stored.toStdString())), shown);
  }

  void TextsTooWideAreShortenedWithDots_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("room");
    QTest::addColumn<QString>("shown");
    // One pixel per byte: easy to count.
    QTest::newRow("fits") << "abcdef" << 6 << "abcdef";
    QTest::newRow("one too many") << "abcdef" << 5 << "ab...";
    QTest::newRow("only the dots fit") << "abcdef" << 3 << "...";
    QTest::newRow("not even the dots") << "abcdef" << 1 << "...";
    QTest::newRow("whole characters") << "ab\xc3\xa9\xc3\xa9zz" << 7 << "ab\xc3\xa9...";
    QTest::newRow("never half a character") << "ab\xc3\xa9\xc3\xa9zz" << 6 << "ab...";
  }
  void TextsTooWideAreShortenedWithDots() {
    QFETCH(QString, text);
    QFETCH(int, room);
    QFETCH(QString, shown);
    const std::string bytes = text.toStdString();
    const std::string fitted = vossik::ShortenToFit(
        bytes, room, [](std::string_view piece) { return static_cast<int>(piece.size()); });
    QCOMPARE(QString::fromStdString(fitted), shown);
  }

  void TheFirstColumnHasTheSmallerMargin() {
    QCOMPARE(vossik::TextRoom(0, 100), 96);
    QCOMPARE(vossik::TextRoom(1, 100), 88);
  }

  void SelectedRowsBecomeXml() {
    std::string out = "before:";
    vossik::AppendSelectionXml(out, {"name", "size"}, {{"a&b", "10"}});
    QCOMPARE(QString::fromStdString(out),
             QString("before:<selection><entry><name>a&amp;b</name><size>10</size></entry>\r\n"
                     "</selection>"));
    std::string two;
    vossik::AppendSelectionXml(two, {"n"}, {{"<1>"}, {"2"}});
    QCOMPARE(QString::fromStdString(two),
             QString("<selection><entry><n>&lt;1&gt;</n></entry>\r\n<entry><n>2</n></entry>\r\n"
                     "</selection>"));
    std::string none = "kept";
    vossik::AppendSelectionXml(none, {"name"}, {});
    QCOMPARE(QString::fromStdString(none), QString("kept"));
  }
};

QTEST_MAIN(GridRulesTest)
#include "grid_rules_test.moc"
