// The application's windows over the real descriptor: the About box, the
// main dialog that hosts the settings sheet and the wizard (its geometry,
// the build button, apply, close, help and the window menu), and pictures
// of every page for a person to look at.
#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "app/about_box_qt.h"
#include "app/main_dialog_qt.h"
#include "settings/config_descriptor.h"
#include "settings/settings_store.h"
#include "support/must_parse.h"
#include "support/temp_dir.h"
#include "ui/index_progress_window.h"
#include "ui/message_box.h"
#include "ui/property_page.h"
#include "ui/property_sheet.h"
#include "ui/setting_control.h"
#include "xml/xml_document.h"

namespace {

using vossik::MainDialog;

vossik::ProductIdentity Identity() {
  vossik::ProductIdentity identity;
  identity.maker = "Orrindale";
  identity.product_name = "Vossik";
  identity.version = "1.1.0";
  identity.build = "000";
  return identity;
}

// Takes the URLs the dialog asks the desktop to open.
class UrlCatcher : public QObject {
  Q_OBJECT

 public:
  QList<QUrl> urls;

 public slots:
  void Open(const QUrl& url) { urls << url; }
};

}  // namespace

class AppWindowsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(descriptor_.LoadFile(VOSSIK_BINARY_DIR "/vossik.cfgml"));
    previous_hook_ = vossik::SetMessageHook(
        [this](vossik::MessageKind, const std::string& title, const std::string& text) {
          messages_ << QString::fromStdString(title + "|" + text);
          return answer_;
        });
  }

  void cleanupTestCase() { vossik::SetMessageHook(std::move(previous_hook_)); }

  void init() {
    dir_ = std::make_unique<vossik::testing::TempDir>();
    dir_->ChangeInto();
    store_ = std::make_unique<vossik::SettingsStore>();
    store_->SetFileName("vossik.cfg");
    vossik::testing::MustParse(*store_, "[Default]\n");
    messages_.clear();
    answer_ = vossik::MessageAnswer::kNo;
    reinitialised_ = 0;
  }

  void cleanup() {
    dialog_.reset();
    store_.reset();
    dir_.reset();
  }

  // The About box's rows, from its top: icon, name, version, OK.
  void AboutBoxGeometry() {
    const vossik::AboutBoxLayout layout = vossik::LayOutAboutBox(300);
    QCOMPARE(layout.icon, QRect(134, 4, 32, 32));
    QCOMPARE(layout.name, QRect(4, 52, 292, 16));
    QCOMPARE(layout.version, QRect(4, 72, 292, 16));
    QCOMPARE(layout.ok, QRect(100, 100, 100, 24));

    vossik::ProductIdentity identity = Identity();
    QCOMPARE(vossik::VersionText(identity), std::string("Version 1.1.0 (000)"));
    identity.build.clear();
    QCOMPARE(vossik::VersionText(identity), std::string("Version 1.1.0"));

    vossik::AboutBox about(Identity());
    QCOMPARE(about.windowTitle(), QString("About Vossik"));
    QCOMPARE(about.size(), QSize(300, 160));
    auto* version = about.findChild<QLabel*>("version");
    QVERIFY(version != nullptr);
    QCOMPARE(version->text(), QString("Version 1.1.0 (000)"));
    QCOMPARE(version->geometry(), QRect(4, 72, 292, 16));
    QCOMPARE(about.findChild<QLabel*>("name")->text(), QString("Vossik"));
    QCOMPARE(about.findChild<QPushButton*>("ok")->geometry(), QRect(100, 100, 100, 24));
  }

  // The sheet keeps to 4, 4 with the dialog's width and height less 4, and
  // the dialog cannot be made smaller than the sheet allows.
  void SheetFollowsTheDialogSize() {
    Open();
    for (const QSize size : {QSize(700, 500), QSize(900, 640), QSize(624, 454)}) {
      dialog_->resize(size);
      QCOMPARE(dialog_->Sheet().geometry(), QRect(4, 4, size.width() - 4, size.height() - 4));
    }
    const vossik::TrackingSize sheet = dialog_->Sheet().Tracking();
    QCOMPARE(dialog_->minimumSize(), QSize(sheet.min_width + 4, sheet.min_height + 4));
    dialog_->resize(200, 100);
    QCOMPARE(dialog_->size(), dialog_->minimumSize());
    QCOMPARE(dialog_->windowTitle(), QString("Vossik"));
    QVERIFY(!dialog_->windowIcon().isNull());

    // The wizard has the fixed size its descriptor gives.
    Open("setup");
    QVERIFY(dialog_->Sheet().WizardMode());
    const vossik::TrackingSize wizard = dialog_->Sheet().Tracking();
    QCOMPARE(wizard.max_width, wizard.min_width);
    QCOMPARE(dialog_->size(), QSize(wizard.min_width + 4, wizard.min_height + 4));
    QCOMPARE(dialog_->maximumSize(), dialog_->minimumSize());
  }

  // The sheet's limits follow the sheet shown, and the dialog's follow them.
  void LimitsFollowTheSheetShown() {
    vossik::XmlDocument document;
    QCOMPARE(document.Parse(R"(<vossik><gui minx="100" miny="150"/>
        <sheet name="Few"><page name="One"/></sheet>
        <sheet name="Many"><page/><page/><page/><page/><page/><page/><page/><page/></sheet>
        </vossik>)"),
             0);
    Open({}, {}, document.Root());
    QCOMPARE(dialog_->minimumSize(), QSize(100 + 140 + 4, 154));
    dialog_->Sheet().ShowSheet("Many");
    QTRY_COMPARE(dialog_->minimumSize(), QSize(8 * 71 + 140 + 4, 154));
    QCOMPARE(dialog_->width(), dialog_->minimumWidth() < 640 ? 640 : dialog_->minimumWidth());
  }

  // The Build Index button builds with what the page shows, even before
  // Apply: here the site-map file typed on the Build page.
  void BuildButtonIndexesTheSite() {
    dir_->Write("site/index.htm", "<html><title>Home</title><body>Welcome home</body></html>");
    dir_->Write("site/about.htm", "<html><title>About</title><body>About us</body></html>");
    const std::string site = (dir_->Path() / "site").string();
    const std::string sitemap = (dir_->Path() / "links.html").string();
    vossik::testing::MustParse(*store_, "[Index]\nDirSrc=" + site + "\nDirDest=search\n");
    Open();
    ShowPage("build");
    auto* sitemap_input = dialog_->findChild<QLineEdit*>("index:sitemap");
    QVERIFY(sitemap_input != nullptr);
    sitemap_input->setText(QString::fromStdString(sitemap));

    QTimer close_when_done;
    connect(&close_when_done, &QTimer::timeout, [this] {
      auto* window = dialog_->findChild<vossik::IndexProgressWindow*>();
      auto* close = window != nullptr ? window->findChild<QPushButton*>("cancelButton") : nullptr;
      if (close != nullptr && close->text() == "Close") close->click();
    });
    close_when_done.start(20);
    BuildButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists(site + "/search/vkfunctions.js"), 20000);
    QTRY_VERIFY(dialog_->findChild<vossik::IndexProgressWindow*>() == nullptr);
    QVERIFY(std::filesystem::exists(site + "/search/sitemap.js"));
    QVERIFY(vossik::testing::ReadFile(sitemap).find("about.htm") != std::string::npos);
  }

  // Without the folders there is nothing to index: the build says so.
  void BuildWithoutFoldersReportsTheError() {
    QString shown;
    Open({}, [&shown](QWidget*, const QString& caption, const QString& text) {
      shown = caption + "|" + text;
    });
    ShowPage("build");
    BuildButton()->click();
    QTRY_COMPARE(shown, QString("Index Error|You must specify some content to index (Source "
                                "files) and a target folder"));
  }

  // Applying a change saves the file and re-initialises the program; an
  // apply without changes does not.
  void ApplyReinitialisesTheProgram() {
    Open();
    ShowPage("website");
    auto* target = dialog_->findChild<QLineEdit*>("index:dirdest");
    QVERIFY(target != nullptr);
    QTest::keyClicks(target, "search");
    auto* apply = dialog_->findChild<QPushButton*>("apply");
    QTRY_VERIFY(apply->isEnabled());
    apply->click();
    QTRY_COMPARE(reinitialised_, 1);
    QVERIFY(vossik::testing::ReadFile("vossik.cfg").find("DirDest=search") != std::string::npos);
    dialog_->findChild<QPushButton*>("ok")->click();
    QTest::qWait(50);
    QCOMPARE(reinitialised_, 1);
  }

  // Closing the window with unapplied changes asks first; No keeps it open.
  void ClosingWithChangesAsksFirst() {
    Open();
    ShowPage("website");
    QTest::keyClicks(dialog_->findChild<QLineEdit*>("index:dirdest"), "out");
    QTRY_VERIFY(dialog_->findChild<QPushButton*>("apply")->isEnabled());
    answer_ = vossik::MessageAnswer::kNo;
    dialog_->close();
    QTest::qWait(50);
    QVERIFY(dialog_->isVisible());
    QCOMPARE(messages_.size(), 1);
    QVERIFY(messages_.front().startsWith("Vossik Admin|Are you sure you wish to cancel"));

    answer_ = vossik::MessageAnswer::kYes;
    dialog_->close();
    QTRY_VERIFY(!dialog_->isVisible());
    QCOMPARE(dialog_->result(), int(QDialog::Rejected));
  }

  // Help writes the help pages afresh on first use, pictures included, and
  // opens the active page's.
  void HelpOpensThePageOfTheActiveTab() {
    dir_->Write("hlp/admin-Settings-words.html", "left by an older version");
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "Open");
    Open();
    ShowPage("words");
    dialog_->findChild<QPushButton*>("help")->click();
    QDesktopServices::unsetUrlHandler("file");

    const std::filesystem::path page = dir_->Path() / "hlp" / "admin-Settings-words.html";
    QCOMPARE(catcher.urls.size(), 1);
    QCOMPARE(catcher.urls.front(), QUrl::fromLocalFile(QString::fromStdString(page.string())));
    QVERIFY(vossik::testing::ReadFile(page).find("Shortest word") != std::string::npos);
    QVERIFY(
        !QImage(QString::fromStdString((dir_->Path() / "hlp" / "words.bmp").string())).isNull());
    QVERIFY(messages_.isEmpty());
  }

  // "About Vossik..." sits in the window menu and in the context menu.
  void WindowMenuOpensTheAboutBox() {
    Open();
    auto* menu_button = dialog_->findChild<QToolButton*>("windowMenu");
    QVERIFY(menu_button != nullptr && menu_button->isVisible());
    QVERIFY(menu_button->menu()->actions().contains(dialog_->AboutAction()));
    QVERIFY(dialog_->actions().contains(dialog_->AboutAction()));
    QCOMPARE(dialog_->AboutAction()->text(), QString("About Vossik..."));

    QString title;
    QTimer answer;
    connect(&answer, &QTimer::timeout, [&title, &answer] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        title = modal->windowTitle();
        answer.stop();
        modal->close();
      }
    });
    answer.start(20);
    dialog_->AboutAction()->trigger();
    QCOMPARE(title, QString("About Vossik"));
  }

  // Every page of the settings window and of the wizard, and the About box,
  // as pictures; every parameter of every page has its control.
  void EveryWindowAsAPicture() {
    Open();
    CheckAndShoot("settings");
    Open("setup");
    CheckAndShoot("wizard");
    vossik::AboutBox about(Identity());
    about.show();
    Shoot(about, "about.png");
  }

 private:
  void Open(const std::string& wizard = {}, vossik::IndexErrorPresenter errors = {},
            const vossik::XmlNode* root = nullptr) {
    dialog_.reset();
    vossik::MainDialogSetup setup;
    setup.identity = Identity();
    setup.help_base_name = "vossik";
    setup.settings = store_.get();
    setup.descriptor_root = root != nullptr ? root : descriptor_.Root();
    setup.wizard_uid = wizard;
    setup.template_folders = {VOSSIK_BINARY_DIR "/templates"};
    setup.help_assets_dir = VOSSIK_BINARY_DIR "/help";
    setup.reinitialise = [this] { ++reinitialised_; };
    setup.build_options.time_slice_ms = 0;
    setup.build_options.show_error = std::move(errors);
    dialog_ = std::make_unique<MainDialog>(std::move(setup));
    dialog_->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog_.get()));
    QTRY_VERIFY(dialog_->Sheet().Store() != nullptr);
  }

  void ShowPage(const std::string& uid) {
    vossik::CGUIPropertySheet& sheet = dialog_->Sheet();
    for (int i = 0; i < sheet.PageCount(); ++i) {
      if (sheet.Page(i)->Uid() == uid) {
        sheet.ActivatePage(i);
        QCoreApplication::processEvents();
        return;
      }
    }
    QFAIL(("no page " + uid).c_str());
  }

  QPushButton* BuildButton() const {
    for (QPushButton* button : dialog_->Sheet().ActivePage()->findChildren<QPushButton*>()) {
      if (button->text() == "Build Index") return button;
    }
    return nullptr;
  }

  void CheckAndShoot(const QString& prefix) {
    vossik::CGUIPropertySheet& sheet = dialog_->Sheet();
    QVERIFY(sheet.PageCount() > 0);
    for (int i = 0; i < sheet.PageCount(); ++i) {
      sheet.ActivatePage(i);
      QCoreApplication::processEvents();
      vossik::CGUIPropertyPage* page = sheet.Page(i);
      QVERIFY(!page->Controls().empty());
      for (const auto& control : page->Controls()) {
        QVERIFY2(control != nullptr,
                 qPrintable(prefix + " page " + QString::fromStdString(page->Uid()) +
                            " has a parameter without a control"));
      }
      Shoot(
          *dialog_,
          QString("%1-%2-%3.png").arg(prefix).arg(i + 1).arg(QString::fromStdString(page->Uid())));
    }
  }

  static void Shoot(QWidget& window, const QString& name) {
    const QString folder = qEnvironmentVariable("VOSSIK_SCREENSHOT_DIR");
    if (folder.isEmpty()) return;
    QVERIFY(QDir().mkpath(folder));
    QCoreApplication::processEvents();
    QVERIFY(window.grab().save(folder + "/" + name));
  }

  vossik::ConfigDescriptor descriptor_;
  std::unique_ptr<vossik::testing::TempDir> dir_;
  std::unique_ptr<vossik::SettingsStore> store_;
  std::unique_ptr<MainDialog> dialog_;
  vossik::MessageHook previous_hook_;
  QStringList messages_;
  vossik::MessageAnswer answer_ = vossik::MessageAnswer::kNo;
  int reinitialised_ = 0;
};

QTEST_MAIN(AppWindowsTest)
#include "app_windows_qt_test.moc"
