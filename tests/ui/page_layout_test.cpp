#include "ui/page_layout.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QtTest>
#include <memory>
#include <string>
#include <vector>

#include "settings/config_descriptor.h"
#include "settings/settings_store.h"
#include "support/temp_dir.h"
#include "ui/control_cell.h"
#include "ui/property_page.h"
#include "ui/property_sheet.h"
#include "ui/setting_control.h"
#include "xml/xml_document.h"

using vossik::LayoutControl;
using vossik::LayoutGroup;
using vossik::PageLayoutInput;
using vossik::Rect;

Q_DECLARE_METATYPE(Rect)
Q_DECLARE_METATYPE(PageLayoutInput)

namespace vossik {
// Lets QCOMPARE print rectangles that differ.
char* toString(const Rect& r) {
  return QTest::toString(
      QString("{%1, %2, %3, %4}").arg(r.left).arg(r.top).arg(r.width).arg(r.height));
}
}  // namespace vossik

namespace {

// The width `widget` needs to show its text whole; 0 for a widget whose
// text may scroll or wrap, or that shows none.
int NeededWidth(const QWidget* widget) {
  if (const auto* label = qobject_cast<const QLabel*>(widget)) {
    return label->wordWrap() || label->text().isEmpty() ? 0 : label->minimumSizeHint().width();
  }
  if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
    // A caption needs some room on each side of it, less than a default
    // button's minimum width.
    return button->fontMetrics().horizontalAdvance(button->text()) + 8;
  }
  if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
    // A check box or radio button: its caption beside the mark.
    const bool radio = qobject_cast<const QRadioButton*>(widget) != nullptr;
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QRect caption = button->style()->subElementRect(
        radio ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents, &option, button);
    const int text = button->fontMetrics().size(Qt::TextShowMnemonic, button->text()).width();
    return button->width() - caption.width() + text;
  }
  if (qobject_cast<const QAbstractSpinBox*>(widget) != nullptr ||
      qobject_cast<const QComboBox*>(widget) != nullptr) {
    return widget->minimumSizeHint().width();
  }
  if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
    // The value the page opens with, inside the edit's frame.
    return edit->text().isEmpty() ? 0 : edit->fontMetrics().horizontalAdvance(edit->text()) + 4;
  }
  return 0;
}

// Checks the page on view: the hint line and every control's cell apart
// from each other and inside the page (and a grouped cell inside its group
// box), every input inside its cell, and every text shown whole.
void CheckPage(const vossik::CGUIPropertyPage& page, const QString& where) {
  const QRect area = page.rect();
  std::vector<std::pair<QRect, QString>> taken;
  if (const auto* hint = page.findChild<QLabel*>("hint", Qt::FindDirectChildrenOnly)) {
    taken.emplace_back(hint->geometry(), "the hint line");
    QVERIFY2(hint->width() >= NeededWidth(hint), qPrintable(where + ": the hint line is cut"));
  }
  const std::size_t ungrouped = page.LayoutInput().controls.size();
  const QList<QGroupBox*> boxes = page.findChildren<QGroupBox*>("group");
  for (const QGroupBox* box : boxes) {
    QVERIFY2(area.contains(box->geometry()), qPrintable(where + ": a group box leaves the page"));
    const int caption = box->fontMetrics().horizontalAdvance(box->title());
    QVERIFY2(box->width() >= caption, qPrintable(where + ": a group caption is cut"));
  }
  for (std::size_t i = 0; i < page.Controls().size(); ++i) {
    const vossik::SettingControl* control = page.Controls()[i].get();
    const vossik::ControlCell* cell = control != nullptr ? control->Cell() : nullptr;
    if (cell == nullptr || !cell->isVisible()) continue;
    const QString name = where + " " + QString::fromStdString(control->Uid());
    const QRect rect = cell->geometry();
    QVERIFY2(area.contains(rect), qPrintable(name + " leaves the page"));
    for (const auto& [other, other_name] : taken) {
      QVERIFY2(!rect.intersects(other), qPrintable(name + " overlaps " + other_name));
    }
    taken.emplace_back(rect, QString::fromStdString(control->Uid()));
    if (i >= ungrouped) {
      const bool boxed = std::any_of(boxes.begin(), boxes.end(), [&rect](const QGroupBox* box) {
        return box->geometry().contains(rect);
      });
      QVERIFY2(boxed, qPrintable(name + " leaves its group box"));
    }
    for (const QWidget* input : cell->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (!input->isVisible()) continue;
      const QString piece = name + " " + input->metaObject()->className();
      QVERIFY2(cell->rect().contains(input->geometry()), qPrintable(piece + " leaves its cell"));
      const int needed = NeededWidth(input);
      QVERIFY2(
          input->width() >= needed,
          qPrintable(piece + QString(" is %1 wide, needs %2").arg(input->width()).arg(needed)));
    }
  }
}

LayoutControl Control(int height, bool right = false, bool growing = false, int spacers = 0) {
  LayoutControl c;
  c.preferred_height = height;
  c.align_right = right;
  c.growing = growing;
  c.spacers_after = spacers;
  return c;
}

}  // namespace

class PageLayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void MnemonicTitle_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<QString>("expected");
    QTest::newRow("every occurrence") << "Group General"
                                      << "G"
                                      << "&Group &General";
    QTest::newRow("case matters") << "general"
                                  << "G"
                                  << "general";
    QTest::newRow("longer shortcut") << "Log and Logs"
                                     << "Log"
                                     << "&Log and &Logs";
    QTest::newRow("adjacent") << "aaa"
                              << "a"
                              << "&a&a&a";
    QTest::newRow("no shortcut") << "General"
                                 << ""
                                 << "General";
  }
  void MnemonicTitle() {
    QFETCH(QString, title);
    QFETCH(QString, shortcut);
    QFETCH(QString, expected);
    QCOMPARE(
        QString::fromStdString(vossik::MnemonicTitle(title.toStdString(), shortcut.toStdString())),
        expected);
  }

  // Natural heights: each row is its height plus a 2-pixel gap below 20.
  void NaturalHeight_data() {
    QTest::addColumn<PageLayoutInput>("input");
    QTest::addColumn<int>("expected");
    PageLayoutInput two_rows;
    two_rows.controls = {Control(22), Control(48)};
    QTest::newRow("rows") << two_rows << 20 + 24 + 50;

    PageLayoutInput spaced = two_rows;
    spaced.controls[0].spacers_after = 2;
    QTest::newRow("two spacers add 24") << spaced << 20 + 24 + 50 + 24;

    PageLayoutInput taller;
    taller.controls = {Control(22), Control(40, true)};
    QTest::newRow("right-aligned taller grows the row") << taller << 20 + 42;

    PageLayoutInput shorter;
    shorter.controls = {Control(40), Control(22, true)};
    QTest::newRow("right-aligned shorter keeps the row") << shorter << 20 + 42;

    PageLayoutInput absent;
    absent.controls = {Control(22), Control(22)};
    absent.controls[1].present = false;
    absent.controls[1].spacers_after = 1;
    QTest::newRow("absent control leaves only its spacers") << absent << 20 + 24 + 12;

    PageLayoutInput grouped;
    grouped.controls = {Control(22)};
    grouped.groups = {LayoutGroup{{Control(22), Control(22)}, 1}};
    QTest::newRow("group padding 16 and 6") << grouped << 20 + 24 + 16 + 48 + 6 + 12;
  }
  void NaturalHeight() {
    QFETCH(PageLayoutInput, input);
    QFETCH(int, expected);
    QCOMPARE(vossik::NaturalHeight(input), expected);
  }

  void GrowingShare_data() {
    QTest::addColumn<int>("spare");
    QTest::addColumn<int>("share");
    QTest::newRow("100 spare among three") << 100 << 33;
    QTest::newRow("5 spare is enough") << 5 << 1;
    QTest::newRow("4 spare is not") << 4 << 0;
    QTest::newRow("too small page") << -30 << 0;
  }
  void GrowingShare() {
    QFETCH(int, spare);
    QFETCH(int, share);
    PageLayoutInput input;
    input.controls = {Control(22, false, true), Control(22), Control(22, false, true),
                      Control(22, false, true)};
    const int height = vossik::NaturalHeight(input) + spare;
    QCOMPARE(vossik::GrowingShare(input, height), share);

    const vossik::PageLayout layout = vossik::LayOutPage(input, 400, height);
    QCOMPARE(layout.controls[0].height, 22 + share);
    QCOMPARE(layout.controls[1].height, 22);
    QCOMPARE(layout.controls[1].top, 20 + 22 + share + 2);
  }

  void ColumnsAndRows() {
    PageLayoutInput input;
    input.controls = {Control(22), Control(40, true), Control(22)};
    const vossik::PageLayout layout = vossik::LayOutPage(input, 500, 300);
    QCOMPARE(layout.hint, (Rect{4, 4, 300, 14}));
    QCOMPARE(layout.controls[0], (Rect{8, 20, 484, 22}));
    QCOMPARE(layout.controls[1], (Rect{268, 20, 224, 40}));
    // The taller right-hand control sets the row's height.
    QCOMPARE(layout.controls[2].top, 20 + 40 + 2);
  }

  // With no row to join, a right-aligned control starts its own row, still
  // in the right-hand column.
  void RightAlignedWithoutARowStartsOne() {
    PageLayoutInput input;
    input.controls = {Control(22, true), Control(22, false, false, 1), Control(22, true)};
    const vossik::PageLayout layout = vossik::LayOutPage(input, 500, 300);
    QCOMPARE(layout.controls[0], (Rect{268, 20, 224, 22}));
    QCOMPARE(layout.controls[1], (Rect{8, 44, 484, 22}));
    QCOMPARE(layout.controls[2], (Rect{268, 44 + 24 + 12, 224, 22}));
  }

  void SideImageShiftsTheColumn() {
    PageLayoutInput input;
    input.has_side_image = true;
    input.side_image_width = 100;
    input.side_image_height = 200;
    input.controls = {Control(22)};
    const vossik::PageLayout layout = vossik::LayOutPage(input, 500, 300);
    QCOMPARE(layout.side_image, (Rect{4, 4, 100, 200}));
    QCOMPARE(layout.hint, (Rect{108, 4, 300, 14}));
    QCOMPARE(layout.controls[0], (Rect{112, 20, 380, 22}));
  }

  void GroupsIndentTheirControls() {
    PageLayoutInput input;
    input.controls = {Control(22)};
    input.groups = {LayoutGroup{{Control(22), Control(22, true)}, 0}};
    const vossik::PageLayout layout = vossik::LayOutPage(input, 500, 300);
    QCOMPARE(layout.controls[1], (Rect{12, 20 + 24 + 16, 476, 22}));
    QCOMPARE(layout.controls[2], (Rect{272, 20 + 24 + 16, 216, 22}));
    QCOMPARE(layout.groups[0], (Rect{8, 44, 484, 16 + 24 + 6}));
  }

  // A control may take more than its rectangle; the rows below move down.
  void PlaceReportsTheHeightTaken() {
    PageLayoutInput input;
    input.controls = {Control(22), Control(22)};
    const vossik::PageLayout layout = vossik::LayOutPage(
        input, 500, 300,
        [](std::size_t index, const Rect& r) { return index == 0 ? r.height + 22 : r.height; });
    QCOMPARE(layout.controls[1].top, 20 + 44 + 2);
  }

  void TrackingSize_data() {
    QTest::addColumn<int>("minx");
    QTest::addColumn<int>("pages");
    QTest::addColumn<bool>("several");
    QTest::addColumn<bool>("wizard");
    QTest::addColumn<int>("min_width");
    QTest::addColumn<int>("max_width");
    QTest::newRow("minx wins") << 400 << 3 << false << false << 400 << 0;
    QTest::newRow("71 per tab wins") << 300 << 6 << false << false << 426 << 0;
    QTest::newRow("two sheets add the selector") << 400 << 3 << true << false << 540 << 0;
    QTest::newRow("wizard is fixed") << 500 << 9 << false << true << 500 << 500;
  }
  void TrackingSize() {
    QFETCH(int, minx);
    QFETCH(int, pages);
    QFETCH(bool, several);
    QFETCH(bool, wizard);
    QFETCH(int, min_width);
    QFETCH(int, max_width);
    const vossik::TrackingSize size = vossik::SheetTrackingSize(minx, 250, pages, several, wizard);
    QCOMPARE(size.min_width, min_width);
    QCOMPARE(size.min_height, 250);
    QCOMPARE(size.max_width, max_width);
  }

  void SheetGeometry() {
    const vossik::SheetGeometry plain = vossik::LayOutSheet(600, 400, false, false, false);
    QCOMPARE(plain.tabs, (Rect{0, 0, 596, 372}));
    QCOMPARE(plain.ok, (Rect{0, 374, 64, 22}));
    QCOMPARE(plain.apply, (Rect{68, 374, 64, 22}));
    QCOMPARE(plain.cancel, (Rect{140, 374, 64, 22}));
    QCOMPARE(plain.help, (Rect{520, 374, 64, 22}));

    const vossik::SheetGeometry full = vossik::LayOutSheet(600, 400, true, true, false);
    QCOMPARE(full.selector, (Rect{0, 2, 138, 368}));
    QCOMPARE(full.service_bar, (Rect{140, 348, 452, 22}));
    QCOMPARE(full.tabs, (Rect{140, 0, 456, 346}));

    QVERIFY(!vossik::LayOutSheet(600, 400, false, true, true).has_service_bar);
  }

  // The product's own pages, every sheet and the wizard, at the sizes a
  // user meets: as the window opens and as small as it can be made.
  void ProductPages_data() {
    QTest::addColumn<QString>("wizard");
    QTest::addColumn<QSize>("size");
    QTest::newRow("settings as it opens") << "" << QSize(636, 476);
    QTest::newRow("settings at its smallest") << "" << QSize();
    QTest::newRow("wizard") << "setup" << QSize();
  }
  void ProductPages() {
    QFETCH(QString, wizard);
    QFETCH(QSize, size);
    vossik::testing::TempDir dir;
    dir.ChangeInto();
    vossik::ConfigDescriptor descriptor;
    QVERIFY(descriptor.LoadFile(VOSSIK_BINARY_DIR "/vossik.cfgml"));
    vossik::SettingsStore defaults;
    vossik::CGUIPropertySheet sheet(&defaults);
    const std::string uid = wizard.toStdString();
    sheet.SetWizardUid(wizard.isEmpty() ? nullptr : uid.c_str());
    sheet.SetUp("Vossik", "vossik", descriptor.Root());
    const vossik::TrackingSize smallest = sheet.Tracking();
    sheet.resize(size.isValid() ? size : QSize(smallest.min_width, smallest.min_height));
    sheet.show();
    QVERIFY(QTest::qWaitForWindowExposed(&sheet));
    QCoreApplication::processEvents();  // event 2025 attaches the store

    std::vector<std::string> sheets;
    for (const vossik::XmlNode* node = sheet.SheetRoot()->FirstChild(); node != nullptr;
         node = node->NextSibling()) {
      if (node->Name() == "sheet") sheets.push_back(*node->Attribute("name"));
    }
    QVERIFY(!sheets.empty());
    int pages = 0;
    for (const std::string& name : sheets) {
      sheet.ShowSheet(name);
      for (int i = 0; i < sheet.PageCount(); ++i) {
        sheet.ActivatePage(i);
        QCoreApplication::processEvents();
        const vossik::CGUIPropertyPage* page = sheet.Page(i);
        CheckPage(*page, QString::fromStdString(name + "/" + page->Uid()));
        ++pages;
      }
    }
    QCOMPARE(pages, wizard.isEmpty() ? 8 : 4);
  }

  void PopupWindow() {
    QCOMPARE(vossik::PopupSheetRect(700, 500), (Rect{4, 4, 692, 492}));
    const vossik::TrackingSize small = vossik::PopupTrackingSize({100, 100, 0, 0});
    QCOMPARE(small.min_width, 680);
    QCOMPARE(small.min_height, 260);
    QCOMPARE(vossik::PopupTrackingSize({800, 300, 0, 0}).min_width, 808);
  }
};

QTEST_MAIN(PageLayoutTest)
#include "page_layout_test.moc"
