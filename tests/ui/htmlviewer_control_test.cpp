// The `htmlviewer` control: a preview page joined from settings, or a file
// named by settings with its fallback, shown from the application folder.
#include <QTextBrowser>
#include <QTextDocumentFragment>
#include <QtTest>
#include <filesystem>

#include "support/temp_dir.h"
#include "ui/control_fixture.h"

namespace {

constexpr char kDescriptor[] = R"(<vossik>
  <config>
    <section uid="t" name="T">
      <parameter uid="head" name="Head"><control>edit</control></parameter>
      <parameter uid="body" name="Body"><control>edit</control><default>unused</default></parameter>
      <parameter uid="spare" name="Spare"><control>edit</control><default>&lt;p&gt;spare body&lt;/p&gt;</default></parameter>
      <parameter uid="preview" name="Preview" lines="5"><control>htmlviewer</control>
        <show>t:head, t:body</show><default>t:none,t:spare</default></parameter>
      <parameter uid="folder" name="Folder"><control>edit</control></parameter>
      <parameter uid="help" name="Help"><control>htmlviewer</control>
        <showfile>$cwd$,t:folder,page.html</showfile><defaultfile>start.html</defaultfile></parameter>
    </section>
  </config>
  <sheet name="Main"><page name="P"><parameter uid="t:preview"/><parameter uid="t:help"/></page></sheet>
</vossik>)";

using vossik::testing::ControlFixture;
using vossik::testing::TempDir;

QUrl FileUrl(const std::filesystem::path& path) {
  return QUrl::fromLocalFile(QString::fromStdString(path.string()));
}

}  // namespace

class HtmlViewerControlTest : public QObject {
  Q_OBJECT

 private slots:
  void ShowJoinsTheSettingsIntoThePreview_data() {
    QTest::addColumn<QString>("head");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("page");
    QTest::newRow("both stored") << "<h1>H</h1>"
                                 << "<p>B</p>"
                                 << "<h1>H</h1><p>B</p>";
    QTest::newRow("unstored: the setting at its place in default")
        << "<h1>H</h1>" << QString() << "<h1>H</h1><p>spare body</p>";
    QTest::newRow("default names nothing") << QString() << "<p>B</p>"
                                           << "<p>B</p>";
  }
  void ShowJoinsTheSettingsIntoThePreview() {
    QFETCH(QString, head);
    QFETCH(QString, body);
    QFETCH(QString, page);
    TempDir dir;
    dir.ChangeInto();
    ControlFixture f(kDescriptor);
    if (!head.isNull()) f.Set("Head", head.toStdString());
    if (!body.isNull()) f.Set("Body", body.toStdString());
    f.Load();
    const std::filesystem::path preview = std::filesystem::current_path() / "preview/temp.html";
    QCOMPARE(QString::fromStdString(vossik::testing::ReadFile(preview)), page);
    auto* view = f.Find<QTextBrowser>("t:preview");
    QCOMPARE(view->source(), FileUrl(preview));
    QCOMPARE(view->toPlainText(), QTextDocumentFragment::fromHtml(page).toPlainText());
  }

  void PreviewIsRewrittenOnEveryLoad() {
    TempDir dir;
    dir.ChangeInto();
    ControlFixture f(kDescriptor);
    f.Set("Head", "first");
    f.Load();
    f.Set("Head", "second");
    f.Load();
    QVERIFY(f.Find<QTextBrowser>("t:preview")->toPlainText().startsWith("second"));
    f.Save();
    QVERIFY(f.Stored("Preview").isNull());
  }

  void ShowFileJoinsItsParts_data() {
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("shown");
    QTest::newRow("the named file")
        << QStringList{"docs/page.html", "start.html"} << "docs/page.html";
    QTest::newRow("missing: defaultfile") << QStringList{"start.html"} << "start.html";
    QTest::newRow("neither") << QStringList{} << "";
  }
  void ShowFileJoinsItsParts() {
    QFETCH(QStringList, files);
    QFETCH(QString, shown);
    TempDir dir;
    dir.ChangeInto();
    for (const QString& file : files)
      dir.Write(file.toStdString(), "<p>" + file.toStdString() + "</p>");
    ControlFixture f(kDescriptor);
    f.Set("Folder", "docs");
    f.Load();
    auto* view = f.Find<QTextBrowser>("t:help");
    if (shown.isEmpty()) {
      QVERIFY(view->source().isEmpty());
      QVERIFY(view->toPlainText().isEmpty());
    } else {
      QCOMPARE(view->source(), FileUrl(std::filesystem::current_path() / shown.toStdString()));
      QCOMPARE(view->toPlainText(), shown);
    }
  }

  void Geometry() {
    ControlFixture f(kDescriptor);
    f.Load();
    vossik::ControlCell* cell = f.Control("t:preview")->Cell();
    QCOMPARE(cell->PreferredHeight(), 80);
    f.Place("t:preview", 500, 80);
    QCOMPARE(f.Find("t:preview")->geometry(), QRect(148, 0, 352, 80));
  }
};

QTEST_MAIN(HtmlViewerControlTest)
#include "htmlviewer_control_test.moc"
