// A settings page on its own, built from a small inline descriptor over a
// real store, for the tests of single control types. The descriptor's
// section "t" is named "T" in the store; the first `page` of its `sheet` is
// the page.
#pragma once

#include <QCoreApplication>
#include <QString>
#include <QWidget>
#include <memory>
#include <string>

#include "settings/settings_store.h"
#include "support/must_parse.h"
#include "ui/control_cell.h"
#include "ui/property_page.h"
#include "ui/setting_control.h"
#include "xml/xml_document.h"

namespace vossik::testing {

struct ControlFixture {
  explicit ControlFixture(const std::string& descriptor) {
    vossik::testing::MustParse(document, descriptor);
    const XmlNode* sheet = document.Root()->FindElement("sheet");
    page = std::make_unique<CGUIPropertyPage>(sheet->FindElement("page", nullptr, false),
                                              document.Root(), &store, nullptr);
    page->resize(600, 400);
  }

  /// Loads every control from the store, then forgets any change report.
  void Load() {
    page->ExchangeValues(false);
    QCoreApplication::processEvents();
    page->SetModified(false);
  }
  void Save() { page->ExchangeValues(true); }

  /// Whether a control reported a change since the last Load().
  bool Changed() {
    QCoreApplication::processEvents();
    return page->Modified();
  }

  template <typename T = QWidget>
  T* Find(const QString& name) const {
    return page->findChild<T*>(name);
  }

  /// The control of `uid`, creating the page's controls when needed.
  SettingControl* Control(const char* uid) const {
    page->CreateControls();
    return page->FindControl(uid);
  }

  /// Moves the control's cell to W x H and returns it.
  ControlCell* Place(const char* uid, int width, int height) const {
    ControlCell* cell = Control(uid)->Cell();
    cell->Place(Rect{8, 20, width, height});
    return cell;
  }

  void Set(const char* key, const std::string& value) { store.SetValue("T", key, value); }

  /// The stored value, or a null QString when the key is absent.
  QString Stored(const char* key) const {
    const std::string* value = store.FindStoredValue("T", key);
    return value != nullptr ? QString::fromStdString(*value) : QString();
  }

  XmlDocument document;
  SettingsStore store;
  std::unique_ptr<CGUIPropertyPage> page;
};

}  // namespace vossik::testing
