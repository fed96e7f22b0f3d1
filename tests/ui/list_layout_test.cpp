// The placement of the list controls' pieces, as tables of cell sizes and
// the rectangles they give.
#include "ui/list_layout.h"

#include <QtTest>

using vossik::ItemListLayout;
using vossik::KeyValueListLayout;
using vossik::Rect;

Q_DECLARE_METATYPE(Rect)

namespace vossik {
// Lets QCOMPARE print rectangles that differ.
char* toString(const Rect& r) {
  return QTest::toString(
      QString("{%1, %2, %3, %4}").arg(r.left).arg(r.top).arg(r.width).arg(r.height));
}
}  // namespace vossik

class ListLayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void ItemList_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("left");
    QTest::addColumn<bool>("import");
    QTest::addColumn<Rect>("input");
    QTest::addColumn<Rect>("list");
    QTest::addColumn<Rect>("add");
    QTest::addColumn<Rect>("remove");
    QTest::addColumn<Rect>("import_button");
    QTest::addColumn<bool>("short_captions");
    // A wide page: the input column is a third of what follows the label.
    QTest::newRow("wide with Import")
        << 624 << 84 << 8 << true << Rect{148, 0, 149, 22} << Rect{297, 0, 319, 84}
        << Rect{148, 24, 64, 18} << Rect{231, 24, 64, 18} << Rect{231, 64, 64, 18} << false;
    // Narrow and in a group: 140 less the indentation; two rows of buttons
    // share the little height there is.
    QTest::newRow("narrow in a group")
        << 300 << 46 << 12 << true << Rect{148, 0, 128, 22} << Rect{276, 0, 16, 46}
        << Rect{148, 24, 60, 10} << Rect{214, 24, 60, 10} << Rect{214, 34, 60, 10} << false;
    // Beside a wide side image the buttons get too narrow for words.
    QTest::newRow("beside a side image")
        << 400 << 46 << 60 << false << Rect{148, 0, 80, 22} << Rect{228, 0, 164, 46}
        << Rect{148, 24, 36, 18} << Rect{190, 24, 36, 18} << Rect{} << true;
  }

  void ItemList() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, left);
    QFETCH(bool, import);
    const ItemListLayout layout = vossik::LayOutItemList(width, height, left, import);
    QTEST(layout.input, "input");
    QTEST(layout.list, "list");
    QTEST(layout.add, "add");
    QTEST(layout.remove, "remove");
    QTEST(layout.import, "import_button");
    QTEST(layout.short_captions, "short_captions");
  }

  void KeyValueList_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("import");
    QTest::addColumn<Rect>("key");
    QTest::addColumn<Rect>("value");
    QTest::addColumn<Rect>("list");
    QTest::addColumn<Rect>("add");
    QTest::addColumn<Rect>("remove");
    QTest::addColumn<Rect>("import_button");
    QTest::addColumn<int>("tab_stop");
    QTest::newRow("wide") << 624 << 68 << false << Rect{148, 0, 157, 22} << Rect{148, 22, 157, 22}
                          << Rect{305, 0, 311, 68} << Rect{148, 46, 64, 22} << Rect{239, 46, 64, 22}
                          << Rect{} << 155;
    QTest::newRow("narrow with Import")
        << 400 << 92 << true << Rect{148, 0, 140, 22} << Rect{148, 22, 140, 22}
        << Rect{288, 0, 104, 92} << Rect{148, 46, 64, 22} << Rect{222, 46, 64, 22}
        << Rect{222, 70, 64, 22} << 52;
  }

  void KeyValueList() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(bool, import);
    const KeyValueListLayout layout = vossik::LayOutKeyValueList(width, height, import);
    QCOMPARE(layout.value_label, (Rect{0, 26, 140, 22}));
    QTEST(layout.key, "key");
    QTEST(layout.value, "value");
    QTEST(layout.list, "list");
    QTEST(layout.add, "add");
    QTEST(layout.remove, "remove");
    QTEST(layout.import, "import_button");
    QTEST(layout.tab_stop, "tab_stop");
  }

  void TextBlockListTakesTheItemListsColumns() {
    const vossik::TextBlockListLayout layout = vossik::LayOutTextBlockList(624, 84, 8);
    QCOMPARE(layout.name, (Rect{148, 0, 149, 22}));
    QCOMPARE(layout.add, (Rect{148, 24, 64, 18}));
    QCOMPARE(layout.remove, (Rect{231, 24, 64, 18}));
    QCOMPARE(layout.names, (Rect{148, 44, 149, 40}));
    QCOMPARE(layout.text, (Rect{297, 0, 319, 84}));
  }

  void PreferredHeight_data() {
    QTest::addColumn<int>("lines");
    QTest::addColumn<bool>("key_value");
    QTest::addColumn<bool>("import");
    QTest::addColumn<int>("height");
    QTest::newRow("one line") << 1 << false << false << 46;
    QTest::newRow("six lines") << 6 << false << true << 84;
    QTest::newRow("key and value, one line") << 1 << true << false << 68;
    QTest::newRow("key and value, four lines") << 4 << true << false << 78;
    QTest::newRow("key and value with Import") << 1 << true << true << 92;
  }

  void PreferredHeight() {
    QFETCH(int, lines);
    QFETCH(bool, key_value);
    QFETCH(bool, import);
    QTEST(vossik::ItemListPreferredHeight(lines, key_value, import), "height");
  }
};

QTEST_MAIN(ListLayoutTest)
#include "list_layout_test.moc"
