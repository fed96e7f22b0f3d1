// The report grid as a window: columns from headings, rows from XML,
// sorting by heading clicks, level colours, check boxes, finding rows and
// the selection as XML.
#include "widgets/report_grid.h"

#include <QHeaderView>
#include <QSignalSpy>
#include <QtTest>
#include <string>

#include "support/must_parse.h"
#include "xml/xml_document.h"

namespace {

std::string Column(const vossik::ReportGrid& grid, int column) {
  std::string texts;
  for (int row = 0; row < grid.RowCount(); ++row) {
    texts += (row == 0 ? "" : ",") + grid.CellText(row, column);
  }
  return texts;
}

constexpr char kHeadings[] = R"(<definition><headings>
  <title name="Name" width="120" sort="alphanumerical" data="name"/>
  <title width="60" sort="Numerical" data="count">Count</title>
  <title sort="date" data="time">When</title>
  <title sort="size" data="size">Size</title>
  <title>Note</title>
</headings>
<levels column="count" color0="FF0000" color1="00ff00" color2="0000FF" color3="808080"/></definition>)";

constexpr char kRows[] = R"(<list total="40">
  <row><name>b</name><count value="10"/><date>3600</date><size>1536000</size></row>
  <row><name>A</name><count>9</count><unknown>x</unknown></row>
  <row><count>100</count><name>c</name><Note>n</Note></row>
</list>)";

}  // namespace

class ReportGridTest : public QObject {
  Q_OBJECT

 private:
  // A grid with the columns of kHeadings and the rows of kRows.
  void Fill(vossik::ReportGrid& grid) {
    vossik::XmlDocument headings;
    vossik::testing::MustParse(headings, kHeadings);
    grid.ColumnsFromHeadings(*headings.Root()->FindElement("headings"));
    grid.LevelsFromElement(*headings.Root()->FindElement("levels"));
    vossik::XmlDocument rows;
    vossik::testing::MustParse(rows, kRows);
    QCOMPARE(grid.RowsFromXml(*rows.Root(), "row"), 3);
  }

 private slots:
  void ColumnsComeFromTheHeadings() {
    vossik::ReportGrid grid;
    Fill(grid);
    QCOMPARE(grid.ColumnCount(), 5);
    QCOMPARE(grid.model()->headerData(0, Qt::Horizontal).toString(), QString("Name"));
    QCOMPARE(grid.model()->headerData(1, Qt::Horizontal).toString(), QString("Count"));
    QCOMPARE(grid.header()->sectionSize(0), 120);
    QCOMPARE(grid.header()->sectionSize(2), 100);  // no width
    QCOMPARE(grid.Kind(1), vossik::ColumnKind::kNumerical);
    QCOMPARE(grid.Kind(4), vossik::ColumnKind::kText);
    QCOMPARE(grid.ColumnOfData("Note"), 4);  // the caption names a column without `data`
    QCOMPARE(grid.ColumnOfData("missing"), -1);
  }

  void RowsTakeValuesTextsAndTheDateForTime() {
    vossik::ReportGrid grid;
    Fill(grid);
    QCOMPARE(QString::fromStdString(Column(grid, 0)), QString("b,A,c"));
    QCOMPARE(QString::fromStdString(Column(grid, 1)), QString("10,9,100"));
    // The "date" child fills the column named "time".
    QCOMPARE(QString::fromStdString(grid.CellText(0, 2)), QString("3600"));
    QCOMPARE(grid.model()->data(grid.CellIndex(0, 3)).toString(), QString("1,500KB"));
    QCOMPARE(QString::fromStdString(grid.CellText(2, 4)), QString("n"));
    QCOMPARE(QString::fromStdString(grid.CellText(1, 2)), QString());  // no value
    grid.SetCell(7, 0, "ignored");
    grid.SetCell(0, 9, "ignored");
    QCOMPARE(grid.RowCount(), 3);
  }

  void HeadingClicksSortAscendingThenDescending() {
    vossik::ReportGrid grid;
    Fill(grid);
    grid.header()->sectionClicked(1);
    QCOMPARE(QString::fromStdString(Column(grid, 1)), QString("9,10,100"));
    grid.header()->sectionClicked(1);
    QCOMPARE(QString::fromStdString(Column(grid, 1)), QString("100,10,9"));
    QVERIFY(!grid.SortAscending());
    grid.header()->sectionClicked(0);
    QCOMPARE(QString::fromStdString(Column(grid, 0)), QString("A,b,c"));
    QVERIFY(grid.SortAscending());
    // A row without a value sorts last either way.
    grid.header()->sectionClicked(3);
    QCOMPARE(QString::fromStdString(Column(grid, 0)).left(1), QString("b"));
  }

  void SortingKeepsTheSelectionWithItsRows() {
    vossik::ReportGrid grid;
    Fill(grid);
    grid.SelectRow(0, true);  // "b", count 10
    grid.SortBy(1, true);
    QCOMPARE(grid.SingleSelectedRow(), 1);
    QCOMPARE(QString::fromStdString(grid.SelectedTexts(0).at(0)), QString("b"));
  }

  void LevelsColourRowsByTheirThresholds() {
    vossik::ReportGrid grid;
    Fill(grid);
    QCOMPARE(grid.LevelColumn(), 1);
    QCOMPARE(grid.Thresholds(), vossik::kDefaultThresholds);
    QCOMPARE(grid.LevelColour(0), QColor(Qt::red));
    QCOMPARE(grid.LevelColour(4), QColor(Qt::black));    // no color4: black
    QCOMPARE(grid.RowColour(0), QColor(Qt::red));        // 10
    QCOMPARE(grid.RowColour(2), QColor(128, 128, 128));  // 100
    vossik::XmlDocument other;
    vossik::testing::MustParse(other, R"(<levels column="nothing"/>)");
    grid.LevelsFromElement(*other.Root());
    QVERIFY(!grid.RowColour(0).isValid());
  }

  void TheBarFillsItsShareOfTheRow() {
    vossik::ReportGrid grid;
    grid.AddColumn("Level", 400, vossik::ColumnKind::kNumerical);
    vossik::XmlDocument levels;
    vossik::testing::MustParse(levels, R"(<levels column="Level" color1="0000FF"/>)");
    grid.LevelsFromElement(*levels.Root());
    grid.AddRow("50");
    grid.resize(430, 120);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    const QRect row = grid.visualRect(grid.CellIndex(0, 0));
    const QImage image = grid.viewport()->grab().toImage();
    const int middle = row.center().y();
    // 50 x (430 - 30) / 100 = 200 pixels of C1, then the background.
    // (The style may lay a faint row panel over the colours.)
    const QColor bar = image.pixelColor(190, middle);
    QVERIFY2(bar.blue() > 200 && bar.red() < 40 && bar.green() < 40, qPrintable(bar.name()));
    const QColor rest = image.pixelColor(210, middle);
    QVERIFY2(rest.lightness() > 230, qPrintable(rest.name()));
    // A bar longer than the columns goes on past the last one.
    grid.header()->resizeSection(0, 100);
    grid.viewport()->update();
    const QImage narrow = grid.viewport()->grab().toImage();
    const QColor past = narrow.pixelColor(150, middle);
    QVERIFY2(past.blue() > 200 && past.red() < 40, qPrintable(past.name()));
  }

  void ChecksToggleByClickAndReport() {
    vossik::ReportGrid grid;
    grid.AddColumn("Name", 200, vossik::ColumnKind::kText);
    grid.AddRow("one");
    grid.SetRowCheck(0, vossik::RowCheck::kOff);
    grid.resize(300, 100);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QSignalSpy toggled(&grid, &vossik::ReportGrid::RowCheckToggled);
    const QRect row = grid.visualRect(grid.CellIndex(0, 0));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {},
                      QPoint(row.left() + 8, row.center().y()));
    QCOMPARE(toggled.count(), 1);
    QCOMPARE(toggled.at(0).at(1).toBool(), true);
    QCOMPARE(grid.RowCheckState(0), vossik::RowCheck::kOn);
  }

  void FindsClearsAndDeletesRows() {
    vossik::ReportGrid grid;
    Fill(grid);
    QCOMPARE(grid.FindRow("A"), 1);
    QCOMPARE(grid.FindRow("a"), -1);  // exact
    grid.SelectAllRows(true);
    QCOMPARE(grid.SelectedRows().size(), std::size_t{3});
    QCOMPARE(grid.SingleSelectedRow(), -1);
    grid.SelectAllRows(false);
    grid.SelectRow(0, true);
    grid.SelectRow(2, true);
    grid.DeleteSelectedRows();
    QCOMPARE(QString::fromStdString(Column(grid, 0)), QString("A"));
    grid.Clear();
    QCOMPARE(grid.RowCount(), 0);
  }

  void SelectedRowsAreHandedBackAsXml() {
    vossik::ReportGrid grid;
    grid.AddColumn("name", 100, vossik::ColumnKind::kText);
    grid.AddColumn("size", 100, vossik::ColumnKind::kSize);
    grid.SetCell(grid.AddRow("a&b"), 1, "10");
    grid.SetCell(grid.AddRow("other"), 1, "20");
    std::string none;
    grid.AppendSelection(none);
    QCOMPARE(QString::fromStdString(none), QString());
    grid.SelectRow(0, true);
    std::string xml;
    grid.AppendSelection(xml);
    QCOMPARE(QString::fromStdString(xml),
             QString("<selection><entry><name>a&amp;b</name><size>10</size></entry>\r\n"
                     "</selection>"));
  }

  void TenThousandRowsFillAndBringOneToTheTop() {
    vossik::ReportGrid grid;
    grid.AddColumn("n", 100, vossik::ColumnKind::kNumerical);
    std::string xml = "<l>";
    for (int i = 0; i < 10000; ++i) xml += "<r><n>" + std::to_string(i) + "</n></r>";
    xml += "</l>";
    vossik::XmlDocument document;
    vossik::testing::MustParse(document, xml);
    QCOMPARE(grid.RowsFromXml(*document.Root(), "r"), 10000);
    grid.resize(200, 300);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    grid.BringToTop(5000);
    QCOMPARE(grid.indexAt(QPoint(2, 2)).row(), 5000);
    grid.KeepRows(9990, 50);
    QCOMPARE(QString::fromStdString(grid.CellText(0, 0)), QString("9990"));
    QCOMPARE(grid.RowCount(), 10);
  }
};

QTEST_MAIN(ReportGridTest)
#include "report_grid_test.moc"
