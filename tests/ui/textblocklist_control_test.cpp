// `textblocklist` over a real store: entries load from index 0 to the first
// missing name, are edited, added and removed in the cell, and save at
// consecutive indices without leaving removed entries behind.
#include <QComboBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "ui/control_fixture.h"

namespace {

constexpr char kDescriptor[] = R"(<vossik>
  <config>
    <section uid="t" name="T">
      <parameter uid="blocks" name="Text%d" numbered="true" listlines="6"><control>textblocklist</control>
        <list>t:blockname</list><flags>t:blockflags</flags><allowed>Header+Footer,Sidebar</allowed></parameter>
      <parameter uid="blockname" name="Name%d" numbered="true"/>
      <parameter uid="blockflags" name="Flags%d" numbered="true"/>
    </section>
  </config>
  <sheet name="Main"><page name="Blocks"><parameter uid="t:blocks" name="Blocks"/></page></sheet>
</vossik>)";

using vossik::testing::ControlFixture;

QStringList Names(ControlFixture& f) {
  QStringList names;
  auto* list = f.Find<QListWidget>("t:blocks");
  for (int row = 0; row < list->count(); ++row) names << list->item(row)->text();
  return names;
}

}  // namespace

class TextBlockListControlTest : public QObject {
  Q_OBJECT

 private slots:
  void LoadStopsAtTheFirstMissingName() {
    ControlFixture f(kDescriptor);
    f.Set("Name0", "Header");
    f.Set("Text0", R"("<b>top</b>\nline")");
    f.Set("Name1", "Footer");
    f.Set("Name3", "Orphan");
    f.Load();
    QCOMPARE(Names(f), (QStringList{"Header", "Footer"}));
    QCOMPARE(f.Find<QPlainTextEdit>("t:blocks/text")->toPlainText(), "<b>top</b>\nline");
    auto* name = f.Find<QComboBox>("t:blocks/name");
    QCOMPARE(name->count(), 3);
    QCOMPARE(name->itemText(2), "Sidebar");
  }

  void EditedEntriesSaveAtConsecutiveIndices() {
    ControlFixture f(kDescriptor);
    f.Set("Name0", "Header");
    f.Set("Text0", "top");
    f.Set("Flags0", "3");
    f.Set("Name1", "Footer");
    f.Set("Text1", "bye");
    f.Set("Flags1", "5");
    f.Set("Name2", "Note");
    f.Set("Text2", "n");
    f.Load();
    auto* list = f.Find<QListWidget>("t:blocks");
    auto* text = f.Find<QPlainTextEdit>("t:blocks/text");
    auto* remove = f.Find<QPushButton>("t:blocks/remove");

    list->setCurrentRow(1);
    QCOMPARE(text->toPlainText(), "bye");
    text->moveCursor(QTextCursor::End);
    QTest::keyClicks(text, "!");
    QVERIFY(f.Changed());

    // A name already there selects its entry instead of adding another.
    auto* name = f.Find<QComboBox>("t:blocks/name");
    QTest::keyClicks(name, "footer");
    QTest::keyClick(name, Qt::Key_Return);
    QCOMPARE(Names(f), (QStringList{"Header", "Footer", "Note"}));
    QCOMPARE(list->currentRow(), 1);
    QTest::keyClicks(name, "Sidebar");
    QTest::keyClick(name, Qt::Key_Return);
    QCOMPARE(list->currentRow(), 3);
    QTest::keyClicks(text, "side");

    list->clearSelection();
    list->item(0)->setSelected(true);
    list->item(2)->setSelected(true);
    QTest::mouseClick(remove, Qt::LeftButton);
    QCOMPARE(Names(f), (QStringList{"Footer", "Sidebar"}));
    f.Save();

    QCOMPARE(f.Stored("Name0"), "Footer");
    QCOMPARE(f.Stored("Text0"), "bye!");
    QCOMPARE(f.Stored("Flags0"), "5");
    QCOMPARE(f.Stored("Name1"), "Sidebar");
    QCOMPARE(f.Stored("Text1"), "side");
    QCOMPARE(f.Stored("Flags1"), "0");
    QCOMPARE(f.Stored("Name2"), "");

    // What was saved loads as what was shown.
    ControlFixture again(kDescriptor);
    QCOMPARE(again.store.Parse(f.store.Serialize()), 0);
    again.Load();
    QCOMPARE(Names(again), (QStringList{"Footer", "Sidebar"}));
  }
};

QTEST_MAIN(TextBlockListControlTest)
#include "textblocklist_control_test.moc"
