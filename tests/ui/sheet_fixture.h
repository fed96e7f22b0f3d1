// A settings sheet over a real store and configuration file in a temporary
// folder, for the tests of the sheet, its wizard and its pop-ups. The
// descriptor's section "index" holds DirSrc, DirDest (edits), Skip (a
// switch) and Build (a build button); `body` adds the sheets. Message boxes
// are answered by `answer` and recorded as "title|text" in `questions`.
#pragma once

#include <QCoreApplication>
#include <QList>
#include <QStringList>
#include <QWidget>
#include <QtTest>
#include <functional>
#include <memory>
#include <string>

#include "base/result_codes.h"
#include "settings/settings_store.h"
#include "support/must_parse.h"
#include "support/temp_dir.h"
#include "ui/message_box.h"
#include "ui/property_sheet.h"
#include "xml/xml_document.h"

namespace vossik::testing {

inline constexpr char kSheetConfig[] = R"(
  <config>
    <section uid="index" name="Index">
      <parameter uid="dirsrc" name="DirSrc"><control>edit</control></parameter>
      <parameter uid="dirdest" name="DirDest"><control>edit</control></parameter>
      <parameter uid="skip" name="Skip"><control>switch</control></parameter>
      <parameter uid="build" name="Build"><control>messagebutton</control><buttontext>Build now</buttontext></parameter>
    </section>
  </config>)";

/// Records the events the sheet sends to the application's main window.
class EventRecorder : public QObject {
 public:
  QList<int> events;

 protected:
  bool event(QEvent* e) override {
    events << int(e->type());
    return QObject::event(e);
  }
};

struct SheetFixture {
  /// `wizard` is the wizard uid (none: the settings window); `prepare` runs
  /// in the folder before the sheet is made; `configure` runs on the sheet
  /// before its set-up.
  explicit SheetFixture(const char* body, const char* wizard = nullptr,
                        const std::function<void(const TempDir&)>& prepare = {},
                        const std::function<void(CGUIPropertySheet&)>& configure = {}) {
    dir.ChangeInto();
    if (prepare) prepare(dir);
    MustParse(document, std::string("<vossik>") + kSheetConfig + body + "</vossik>");
    store.SetFileName("vossik.cfg");
    MustParse(store, "[Index]\nDirSrc=/old\n");
    QVERIFY(store.Save() == kResultOk);
    previous_hook =
        SetMessageHook([this](MessageKind, const std::string& title, const std::string& text) {
          questions << QString::fromStdString(title + "|" + text);
          return answer;
        });
    sheet = std::make_unique<CGUIPropertySheet>(&store);
    sheet->SetWizardUid(wizard);
    sheet->SetMainWindow(&main_window);
    if (configure) configure(*sheet);
    sheet->SetUp("Vossik", "vossik", document.Root());
    sheet->resize(640, 400);
    sheet->show();
    QCoreApplication::processEvents();  // event 2025 attaches the store
  }
  ~SheetFixture() { SetMessageHook(previous_hook); }

  template <typename T = QWidget>
  T* Find(const char* name) const {
    return sheet->findChild<T*>(name);
  }
  QString FileText() const { return QString::fromStdString(ReadFile(dir.Path() / "vossik.cfg")); }
  void Type(const char* uid, const char* text) {
    QTest::keyClicks(Find(uid), text);
    QCoreApplication::processEvents();
  }
  /// The stored value of `key` in section Index ("" when there is none).
  QString Stored(const char* key) const {
    std::string value;
    static_cast<void>(store.GetValue("Index", key, "", &value));
    return QString::fromStdString(value);
  }
  /// Opens a pop-up for the descriptor's `definition` and types `text` into
  /// its DirDest.
  CGUIPropertySheet* OpenPopupAndType(const char* text) {
    CGUIPropertySheet* popup = sheet->OpenPopup(document.Root()->FindElement("definition"), "Edit");
    QCoreApplication::processEvents();
    QTest::keyClicks(popup->findChild<QWidget*>("index:dirdest"), text);
    QCoreApplication::processEvents();
    return popup;
  }

  TempDir dir;
  XmlDocument document;
  SettingsStore store;
  EventRecorder main_window;
  QStringList questions;
  MessageAnswer answer = MessageAnswer::kNo;
  MessageHook previous_hook;
  std::unique_ptr<CGUIPropertySheet> sheet;
};

}  // namespace vossik::testing
