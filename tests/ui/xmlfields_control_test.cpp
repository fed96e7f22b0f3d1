// `xmlfields`: the files a parameter lists and their sources, local copies
// of files on this machine wrapped and escaped, and copies fetched from a
// real vossikd, as a service action and as a web address, with the empty
// prompt said once per fetch.
#include <QtTest>
#include <filesystem>
#include <string>

#include "support/temp_dir.h"
#include "ui/file_list.h"
#include "ui/property_page.h"
#include "ui/service_fixture.h"
#include "ui/setting_control.h"

namespace {

using vossik::testing::ClientServiceBar;
using vossik::testing::DataViewSheet;
using vossik::testing::ReadFile;
using vossik::testing::RunningVossikd;
using vossik::testing::TempDir;

constexpr char kPrompt[] = "The service keeps no such log.";

// A parameter with its own file, a shared source, and a list of files of
// which some bring their own source and prompt.
std::string Descriptor(int port) {
  return R"(<vossik><config><section uid="data" name="Data">
    <parameter uid="files" name="Files"><control>xmlfields</control>
      <file>notes.xml<populateaction>FILE://notes.txt</populateaction></file>
      <populateaction>GETSTATS</populateaction>
      <files>
        <file>stats.xml</file>
        <file>missing.xml<populateaction>GETLOG</populateaction><emptyprompt>)" +
         std::string(kPrompt) + R"(</emptyprompt></file>
        <file>web.xml<populateaction>http://127.0.0.1:)" +
         std::to_string(port) + R"(/ACTION=GETSTATS</populateaction></file>
      </files>
    </parameter>
  </section></config>
  <sheet name="Data"><page name="Data"><parameter uid="data:files"/></page></sheet></vossik>)";
}

const vossik::SettingControl& FilesControl(const DataViewSheet& f) {
  return *f.sheet->ActivePage()->FindControl("data:files");
}

}  // namespace

class XmlFieldsControlTest : public QObject {
  Q_OBJECT

 private slots:
  void ListsItsOwnFileThenTheFilesElement() {
    TempDir dir;
    dir.ChangeInto();
    DataViewSheet f(Descriptor(7290));
    const auto files = vossik::ListedFilesOf(FilesControl(f).Ref());
    QCOMPARE(files.size(), std::size_t(4));
    QCOMPARE(files[0].local_name, std::string("notes.xml"));
    QCOMPARE(files[0].source, std::string("FILE://notes.txt"));
    QCOMPARE(files[1].local_name, std::string("stats.xml"));
    QCOMPARE(files[1].source, std::string("GETSTATS"));  // the parameter's
    QCOMPARE(files[1].empty_prompt, std::string());
    QCOMPARE(files[2].source, std::string("GETLOG"));
    QCOMPARE(files[2].empty_prompt, std::string(kPrompt));
    QCOMPARE(files[3].source, std::string("http://127.0.0.1:7290/ACTION=GETSTATS"));
  }

  void SourceKindsAreKnownByTheirPrefixInAnyCase_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<int>("kind");
    QTest::newRow("web") << "HTTP://example.org/a.xml" << int(vossik::FileSourceKind::kHttp);
    QTest::newRow("web, lower case") << "http://example.org/" << int(vossik::FileSourceKind::kHttp);
    QTest::newRow("file") << "FILE://logs/Indexing.log" << int(vossik::FileSourceKind::kFile);
    QTest::newRow("file, mixed case") << "File://x" << int(vossik::FileSourceKind::kFile);
    QTest::newRow("action") << "GETSTATS" << int(vossik::FileSourceKind::kService);
    QTest::newRow("secure web is no source of ours")
        << "https://example.org/" << int(vossik::FileSourceKind::kService);
  }
  void SourceKindsAreKnownByTheirPrefixInAnyCase() {
    QFETCH(QString, source);
    QFETCH(int, kind);
    QCOMPARE(int(vossik::SourceKindOf(source.toStdString())), kind);
  }

  void CopiesGoIntoTheWorkingFolder_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("path");
    QTest::newRow("local") << "."
                           << "./a.xml";
    QTest::newRow("copy folder") << "copies/vossik.7290"
                                 << "copies/vossik.7290/a.xml";
    QTest::newRow("folder with its slash") << "copies/"
                                           << "copies/a.xml";
  }
  void CopiesGoIntoTheWorkingFolder() {
    QFETCH(QString, folder);
    QFETCH(QString, path);
    QCOMPARE(QString::fromStdString(vossik::LocalCopyPath(folder.toStdString(), "a.xml")), path);
  }

  void LastLinesOfALog_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("tail");
    QTest::newRow("fewer lines than asked") << "a\nb\n" << 15 << "a\nb\n";
    QTest::newRow("the last two") << "a\nb\nc\n" << 2 << "b\nc\n";
    QTest::newRow("no end of line at the end") << "a\nb\nc" << 2 << "b\nc";
    QTest::newRow("exactly as many") << "a\nb\n" << 2 << "a\nb\n";
    QTest::newRow("empty") << "" << 15 << "";
  }
  void LastLinesOfALog() {
    QFETCH(QString, text);
    QFETCH(int, count);
    QFETCH(QString, tail);
    QCOMPARE(QString::fromStdString(vossik::LastLines(text.toStdString(), count)), tail);
  }

  // Data from a service or a web address names no files here for the
  // parser to include.
  void FetchedDataCannotIncludeFilesHere() {
    TempDir dir;
    dir.ChangeInto();
    dir.Write("secret.txt", "do not show");
    const std::string copy =
        R"(<statistics><xmlinclude file="secret.txt" type="text"/>[Statistics]</statistics>)";
    std::string text = "unchanged";
    QVERIFY(!vossik::StatisticsText(copy, &text));
    QVERIFY(!vossik::LogText("<file><data><xmlinclude file=\"secret.txt\"/></data></file>", &text));
    QCOMPARE(text, std::string("unchanged"));
    QVERIFY(vossik::LogText(vossik::WrapFileData("<xmlinclude file=\"secret.txt\"/>"), &text));
    QCOMPARE(text, std::string("<xmlinclude file=\"secret.txt\"/>"));
  }

  // A file on this machine is kept as XML that reads back as the file,
  // markup and UTF-8 included; without a service nothing else is fetched
  // and nothing is said.
  void FileSourceIsWrappedAndEscaped() {
    TempDir dir;
    dir.ChangeInto();
    const std::string text = "Line <1> & \"two\"\nna\xC3\xAFve caf\xC3\xA9\n";
    dir.Write("notes.txt", text);
    DataViewSheet f(Descriptor(7290), nullptr, "copies");
    const std::string copy = ReadFile(dir.Path() / "copies/notes.xml");
    QCOMPARE(QString::fromStdString(copy),
             QString::fromStdString("<file><data>Line &lt;1&gt; &amp; &quot;two&quot;&#10;"
                                    "na\xC3\xAFve caf\xC3\xA9&#10;</data></file>"));
    std::string back;
    QVERIFY(vossik::LogText(copy, &back));
    QCOMPARE(QString::fromStdString(back), QString::fromStdString(text));
    QVERIFY(!std::filesystem::exists(dir.Path() / "copies/stats.xml"));
    QVERIFY(f.messages.isEmpty());

    // An emptied or vanished file leaves the copy as it was.
    dir.Write("notes.txt", "");
    f.Reload();
    QCOMPARE(ReadFile(dir.Path() / "copies/notes.xml"), copy);
    std::filesystem::remove(dir.Path() / "notes.txt");
    f.Reload();
    QCOMPARE(ReadFile(dir.Path() / "copies/notes.xml"), copy);
  }

  void ServiceAndWebSourcesFillTheirCopiesAndNotFoundSaysThePromptOncePerFetch() {
    TempDir dir;
    dir.ChangeInto();
    RunningVossikd service(dir.Path());
    QVERIFY2(service.Port() != 0, service.Output().c_str());
    auto* bar = new ClientServiceBar(service.Port());
    DataViewSheet f(Descriptor(service.Port()), bar, "copies");

    QCOMPARE(f.messages, QStringList{kPrompt});
    QVERIFY(!std::filesystem::exists(dir.Path() / "copies/missing.xml"));
    const std::string stats = ReadFile(dir.Path() / "copies/stats.xml");
    QVERIFY2(stats.find("<statistics>") != std::string::npos, stats.c_str());
    const std::string web = ReadFile(dir.Path() / "copies/web.xml");
    QVERIFY2(web.find("[Statistics]") != std::string::npos, web.c_str());
    QCOMPARE(bar->requests.size(), 2);  // the web address does not go through the bar
    QCOMPARE(bar->requests[0], QString("GETSTATS||-1"));
    QCOMPARE(bar->requests[1], QString("GETLOG||-1"));

    // The next fetch asks again, sends the copy's time, and says it again.
    f.Reload();
    QCOMPARE(f.messages, (QStringList{kPrompt, kPrompt}));
    QCOMPARE(bar->requests.size(), 4);
    const long stamp = bar->requests[2].section('|', 2).toLong();
    QVERIFY2(stamp > 0, qPrintable(bar->requests[2]));
    QVERIFY(bar->requests[2].startsWith("GETSTATS||"));
  }
};

QTEST_MAIN(XmlFieldsControlTest)
#include "xmlfields_control_test.moc"
