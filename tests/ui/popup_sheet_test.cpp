// Pop-up settings windows over a real sheet: their window, the store they
// share with their owner, and their OK, Cancel and close box.
#include "ui/popup_sheet.h"

#include <QPointer>
#include <QtTest>
#include <string>

#include "settings/settings_store.h"
#include "support/must_parse.h"
#include "ui/property_sheet.h"
#include "ui/sheet_fixture.h"

namespace {

constexpr char kSheetAndPopup[] = R"(
  <sheet name="Main"><page name="Source"><parameter uid="index:dirsrc"/></page></sheet>
  <definition name="Entry"><page name="Entry"><parameter uid="index:dirdest"/></page></definition>)";

using Fixture = vossik::testing::SheetFixture;

}  // namespace

class PopupSheetTest : public QObject {
  Q_OBJECT

 private slots:
  void PopupSharesTheStoreAndAppliesThroughItsOwner() {
    Fixture f(kSheetAndPopup);
    vossik::CGUIPropertySheet* popup = f.OpenPopupAndType("entry");
    QCOMPARE(popup->window()->windowTitle(), QString("Edit Entry"));
    QCOMPARE(popup->window()->minimumSize(), QSize(680, 260));
    QCOMPARE(popup->Store(), &f.store);
    QCOMPARE(popup->PageCount(), 1);
    QCOMPARE(popup->geometry(),
             QRect(4, 4, popup->window()->width() - 8, popup->window()->height() - 8));

    // OK on the pop-up applies the shared store through its owner.
    popup->Ok();
    QVERIFY(f.FileText().contains("DirDest=entry"));
    QVERIFY(!f.sheet->Modified());
  }

  // Cancelling a pop-up takes back its own edits only: the owner's
  // unapplied edits in the shared store stay.
  void PopupCancelKeepsTheOwnersEdits() {
    Fixture f(R"(<sheet name="Main"><page name="Source"><parameter uid="index:dirsrc"/></page>
      <page name="Other"/></sheet>
      <definition name="Entry"><page name="Entry"><parameter uid="index:dirdest"/></page>
      <page name="More"/></definition>)");
    f.Type("index:dirsrc", "/owner");
    f.sheet->ActivatePage(1);  // the owner's edit is now in the store
    vossik::CGUIPropertySheet* popup = f.OpenPopupAndType("entry");
    popup->ActivatePage(1);  // and so is the pop-up's
    f.answer = vossik::MessageAnswer::kYes;
    popup->Cancel();
    QCOMPARE(f.questions.size(), 1);

    std::string source, target;
    QCOMPARE(f.store.GetValue("Index", "DirSrc", "", &source), vossik::kResultOk);
    static_cast<void>(f.store.GetValue("Index", "DirDest", "", &target));  // compared below
    QCOMPARE(QString::fromStdString(source), QString("/old/owner"));
    QCOMPARE(QString::fromStdString(target), QString());
    QVERIFY(f.sheet->Modified());
  }

  // The pop-up's close box is its Cancel: it asks, and No keeps it open.
  void PopupCloseBoxAsksFirst() {
    Fixture f(kSheetAndPopup);
    QPointer<QWidget> window = f.OpenPopupAndType("entry")->window();

    window->close();
    QCOMPARE(f.questions.size(), 1);
    QVERIFY(window->isVisible());

    f.answer = vossik::MessageAnswer::kYes;
    window->close();
    QTRY_VERIFY(window.isNull());
  }
};

QTEST_MAIN(PopupSheetTest)
#include "popup_sheet_test.moc"
