// The data grid's rules without a window: the geometry of the cell, the
// batch arithmetic, the reading of `actions` and the texts of a `cfglist`'s
// entry values.
#include "ui/data_grid.h"

#include <QtTest>
#include <string>
#include <vector>

#include "support/must_parse.h"
#include "xml/xml_document.h"

using vossik::DataGridGeometry;
using vossik::DataGridKind;
using vossik::Rect;

class DataGridTest : public QObject {
  Q_OBJECT

 private slots:
  void TheBatchRowSitsUnderTheGrid() {
    const DataGridGeometry g =
        vossik::LayOutDataGrid(500, 200, DataGridKind::kXmlList, true, {30, 40}, {false, true});
    QCOMPARE(g.grid, (Rect{0, 0, 500, 174}));
    QCOMPARE(g.previous, (Rect{0, 176, 18, 22}));
    QCOMPARE(g.batch, (Rect{20, 176, 125, 22}));
    QCOMPARE(g.next, (Rect{147, 176, 18, 22}));
    QCOMPARE(g.count, Rect{});
    // Caption + 8 wide, 4 apart, a spacer adds 6.
    QCOMPARE(g.buttons.at(0), (Rect{173, 176, 38, 22}));
    QCOMPARE(g.buttons.at(1), (Rect{173 + 38 + 4 + 6, 176, 48, 22}));
    // A font that needs wider arrows moves what follows them.
    const DataGridGeometry wide =
        vossik::LayOutDataGrid(500, 200, DataGridKind::kXmlList, true, {30}, {false}, 24);
    QCOMPARE(wide.previous, (Rect{0, 176, 24, 22}));
    QCOMPARE(wide.batch, (Rect{26, 176, 125, 22}));
    QCOMPARE(wide.next, (Rect{153, 176, 24, 22}));
    QCOMPARE(wide.buttons.at(0).left, 185);
  }

  void WithoutABatchTheCountBoxComesFirst() {
    const DataGridGeometry xml =
        vossik::LayOutDataGrid(300, 100, DataGridKind::kXmlList, false, {20}, {false});
    QCOMPARE(xml.count, (Rect{0, 76, 36, 22}));
    QCOMPARE(xml.buttons.at(0), (Rect{40, 76, 28, 22}));
    QCOMPARE(xml.previous, Rect{});
    // A cfglist's box is wider and its buttons have more room.
    const DataGridGeometry cfg =
        vossik::LayOutDataGrid(300, 100, DataGridKind::kCfgList, true, {20, 20}, {false, false});
    QCOMPARE(cfg.count, (Rect{0, 76, 40, 22}));
    QCOMPARE(cfg.buttons.at(0), (Rect{48, 76, 36, 22}));
    QCOMPARE(cfg.buttons.at(1), (Rect{88, 76, 36, 22}));
  }

  void BatchesStepWithinTheTotal_data() {
    QTest::addColumn<long>("size");
    QTest::addColumn<long>("start");
    QTest::addColumn<long>("total");
    QTest::addColumn<QString>("step");
    QTest::addColumn<long>("after");
    QTest::newRow("next") << 250L << 0L << 1000L << "next" << 250L;
    QTest::newRow("next stops a batch before the end") << 250L << 250L << 531L << "next" << 281L;
    QTest::newRow("next on a short list") << 250L << 0L << 100L << "next" << 0L;
    QTest::newRow("previous") << 250L << 281L << 531L << "previous" << 31L;
    QTest::newRow("previous stops at 0") << 250L << 31L << 531L << "previous" << 0L;
  }
  void BatchesStepWithinTheTotal() {
    QFETCH(long, size);
    QFETCH(long, start);
    QFETCH(long, total);
    QFETCH(QString, step);
    QFETCH(long, after);
    vossik::BatchWindow window{size, start, total};
    if (step == "next") {
      window.Next();
    } else {
      window.Previous();
    }
    QCOMPARE(window.start, after);
  }

  void ShowAllIsTenThousandFromTheFirst() {
    vossik::BatchWindow window{250, 500, 20000};
    window.Choose(1);
    QCOMPARE(window.size, 500L);
    QCOMPARE(window.start, 500L);
    window.Choose(5);
    QCOMPARE(window.size, 10000L);
    QCOMPARE(window.start, 0L);
    QCOMPARE(QString::fromStdString(window.Text(10000)), QString("0-10000 of 20000"));
    QVERIFY(window.CanGoNext(10000));
    QVERIFY(!window.CanGoPrevious());
    vossik::BatchWindow odd{0, -5, 3};
    odd.Normalise();
    QCOMPARE(odd.size, 1L);
    QCOMPARE(odd.start, 0L);
  }

  void ActionsReadButtonsMenusSpacersAndBreaks() {
    vossik::XmlDocument document;
    vossik::testing::MustParse(document, R"(<actions>
      <option uid="1" button="Add" menu="Add item" default="" entry="new" entryviewer="v" verb="New"><hint>Adds</hint></option>
      <spacer/>
      <option uid="2" button="Delete" delete=""><prompt>Sure?</prompt></option>
      <menubreak/>
      <option menu="More"><option uid="7" menu="Deep"/></option>
    </actions>)");
    const std::vector<vossik::GridAction> actions = vossik::ReadGridActions(*document.Root());
    QCOMPARE(actions.size(), std::size_t{3});
    QCOMPARE(actions[0].index, 1);
    QVERIFY(actions[0].is_default && actions[0].new_entry && !actions[0].is_delete);
    QCOMPARE(QString::fromStdString(actions[0].hint), QString("Adds"));
    QCOMPARE(QString::fromStdString(actions[0].verb), QString("New"));
    QVERIFY(actions[1].spacer_before && actions[1].is_delete);
    QCOMPARE(QString::fromStdString(actions[1].prompt), QString("Sure?"));
    QVERIFY(actions[2].break_before && !actions[2].spacer_before);
    QCOMPARE(actions[2].children.size(), std::size_t{1});
    const vossik::GridAction* deep = vossik::FindGridAction(
        actions, [](const vossik::GridAction& a) { return a.menu == "Deep"; });
    QVERIFY(deep != nullptr && deep->index == 7);
  }

  void EntryValuesShowByTheirType_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("bool yes") << "bool"
                              << "1"
                              << "yes";
    QTest::newRow("bool no") << "bool"
                             << ""
                             << "no";
    QTest::newRow("time") << "time"
                          << "3:5"
                          << "03:05";
    QTest::newRow("unreadable time as stored") << "time"
                                               << "noon"
                                               << "noon";
    QTest::newRow("flags") << "flags"
                           << "wed+Mon+"
                           << "Mon, Wed";
    QTest::newRow("every flag") << "flags"
                                << "Mon+Tue+Wed"
                                << "All";
    QTest::newRow("no flag") << "flags"
                             << ""
                             << "None";
    QTest::newRow("text") << ""
                          << "as is"
                          << "as is";
  }
  void EntryValuesShowByTheirType() {
    QFETCH(QString, type);
    QFETCH(QString, value);
    QFETCH(QString, shown);
    QCOMPARE(QString::fromStdString(vossik::EntryDisplayText(
                 type.toStdString(), value.toStdString(), {"Mon", "Tue", "Wed"})),
             shown);
  }
};

QTEST_MAIN(DataGridTest)
#include "data_grid_test.moc"
