// The settings window's images: a named bitmap file wins, the program's
// own images stand in for a missing one, light grey is transparent, and
// the image list keeps each owner's place.
#include "ui/sheet_images.h"

#include <QBitmap>
#include <QDir>
#include <QImage>
#include <QtTest>
#include <filesystem>
#include <string>

#include "settings/config_descriptor.h"
#include "support/temp_dir.h"
#include "xml/xml_document.h"

namespace {

// A 16 x 16 bitmap file, blue with a light grey top row.
void WriteBitmap(const vossik::testing::TempDir& dir, const std::string& relative) {
  QImage image(16, 16, QImage::Format_RGB888);
  image.fill(QColor(0, 0, 255));
  for (int x = 0; x < 16; ++x) image.setPixelColor(x, 0, QColor(192, 192, 192));
  const std::filesystem::path file = dir.Path() / relative;
  std::filesystem::create_directories(file.parent_path());
  QVERIFY(image.save(QString::fromStdString(file.string()), "BMP"));
}

// How many pixels of `pixmap` are transparent.
int TransparentPixels(const QPixmap& pixmap) {
  const QImage image = pixmap.toImage();
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) count += qAlpha(image.pixel(x, y)) == 0 ? 1 : 0;
  }
  return count;
}

}  // namespace

class SheetImagesTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    dir_ = std::make_unique<vossik::testing::TempDir>();
    dir_->ChangeInto();
  }
  void cleanup() { dir_.reset(); }

  void FileBeforeBuiltIn_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("own_file");
    QTest::addColumn<bool>("found");
    QTest::newRow("own file wins") << "./icons/disabled.bmp" << true << true;
    QTest::newRow("file of another name") << "art/mine.bmp" << true << true;
    QTest::newRow("built in, ./") << "./icons/disabled.bmp" << false << true;
    QTest::newRow("built in, plain") << "icons/settingspage.bmp" << false << true;
    QTest::newRow("built in, backslash") << "icons\\website.bmp" << false << true;
    QTest::newRow("neither") << "icons/nothing.bmp" << false << false;
    QTest::newRow("absolute: no stand-in") << "/icons/disabled.bmp" << false << false;
    QTest::newRow("climbing out: no stand-in") << "../icons/disabled.bmp" << false << false;
  }
  void FileBeforeBuiltIn() {
    QFETCH(QString, name);
    QFETCH(bool, own_file);
    QFETCH(bool, found);
    std::string file = name.toStdString();
    if (own_file) WriteBitmap(*dir_, file);
    const QPixmap pixmap = vossik::LoadSheetBitmap(file);
    QCOMPARE(!pixmap.isNull(), found);
    if (!own_file) return;
    // The file's own picture: its grey top row is transparent, the rest blue.
    QCOMPARE(TransparentPixels(pixmap), 16);
    QCOMPARE(pixmap.toImage().pixelColor(5, 5), QColor(0, 0, 255));
  }

  // Every built-in image is a 16 x 16 picture on a transparent ground, not
  // a blank one.
  void BuiltInImagesAreWhole() {
    const QStringList names = QDir(":/icons").entryList(QDir::Files);
    QVERIFY(names.contains("disabled.bmp") && names.contains("settingspage.bmp"));
    for (const QString& name : names) {
      const QPixmap pixmap = vossik::LoadSheetBitmap("icons/" + name.toStdString());
      QVERIFY2(pixmap.size() == QSize(16, 16), qPrintable(name));
      const int transparent = TransparentPixels(pixmap);
      QVERIFY2(transparent > 0 && transparent < 16 * 16 - 32, qPrintable(name));
    }
  }

  // The product's own pages name icons that exist.
  void ProductPagesHaveTheirIcons() {
    vossik::ConfigDescriptor descriptor;
    QVERIFY(descriptor.LoadFile(VOSSIK_BINARY_DIR "/vossik.cfgml"));
    const vossik::XmlNode* sheet = descriptor.Root()->FindElement("sheet", nullptr, false);
    QVERIFY(sheet != nullptr);
    int pages = 0;
    for (const vossik::XmlNode* page = sheet->FirstChild(); page != nullptr;
         page = page->NextSibling()) {
      if (page->Name() != "page") continue;
      ++pages;
      const std::string* icon = page->Attribute("icon");
      QVERIFY2(icon != nullptr, page->Attribute("uid")->c_str());
      QVERIFY2(!vossik::LoadSheetBitmap(*icon).isNull(), icon->c_str());
    }
    QCOMPARE(pages, 8);
  }

  // Each owner keeps its own place; the fixed images come last.
  void ListOrder() {
    WriteBitmap(*dir_, "art/second.bmp");
    vossik::XmlDocument document;
    QCOMPARE(document.Parse(R"(<sheet><page icon="art/missing.bmp"/><page/>
        <page icon="art/second.bmp"/></sheet>)"),
             0);
    std::vector<const vossik::XmlNode*> pages;
    for (const vossik::XmlNode* page = document.Root()->FirstChild(); page != nullptr;
         page = page->NextSibling()) {
      pages.push_back(page);
    }
    vossik::SheetImageList list;
    list.Build(pages);
    QCOMPARE(list.OwnerCount(), std::size_t(3));
    QCOMPARE(list.OwnerImage(0), -1);
    QCOMPARE(list.OwnerImage(1), -1);
    QCOMPARE(list.OwnerImage(2), 0);
    QCOMPARE(list.OwnerImage(3), -1);
    QCOMPARE(list.DisabledImage(), 1);
    QCOMPARE(list.PageImage(), 2);
    QCOMPARE(list.Images().size(), std::size_t(3));
    QVERIFY(!list.Image(2).isNull());
    QVERIFY(list.Image(-1).isNull() && list.Image(3).isNull());
  }

 private:
  std::unique_ptr<vossik::testing::TempDir> dir_;
};

QTEST_MAIN(SheetImagesTest)
#include "sheet_images_test.moc"
