// `productversion`: shows the product and its major and minor version, and
// stores nothing.
#include <QLineEdit>
#include <QtTest>
#include <memory>

#include "settings/settings_store.h"
#include "ui/property_page.h"
#include "xml/xml_document.h"

namespace {

constexpr char kDescriptor[] = R"(<vossik>
  <config>
    <section uid="about" name="About">
      <parameter uid="version" name="Version"><control>productversion</control></parameter>
    </section>
  </config>
  <sheet name="Main"><page name="About"><parameter uid="about:version"/></page></sheet>
</vossik>)";

}  // namespace

class ProductVersionControlTest : public QObject {
  Q_OBJECT

 private slots:
  void ShowsNameAndVersionAndSavesNothing() {
    vossik::XmlDocument document;
    document.Parse(kDescriptor);
    vossik::SettingsStore store;
    vossik::CGUIPropertyPage page(document.Root()->FindElement("page"), document.Root(), &store,
                                  nullptr);
    page.ExchangeValues(false);
    auto* edit = page.findChild<QLineEdit*>("about:version");
    QCOMPARE(edit->text(), QString("Vossik 1.1"));

    page.ExchangeValues(true);
    QVERIFY(store.FindStoredValue("About", "Version") == nullptr);
  }
};

QTEST_MAIN(ProductVersionControlTest)
#include "productversion_control_test.moc"
