// The help pages' pictures drawn from the product's descriptor: every
// picture a page names is written, shows something, and a picture that
// cannot be written makes the run fail.
#include "ui/help_pictures.h"

#include <QImage>
#include <QSet>
#include <QtTest>
#include <filesystem>
#include <regex>
#include <set>

#include "base/product_identity.h"
#include "helpgen/help_generator.h"
#include "settings/config_descriptor.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// The pictures of settings named by the pages of `folder` (the bitmaps of
// IMG SRC; the other images are static files).
std::set<std::string> PicturesNamed(const fs::path& folder) {
  static const std::regex kImage(R"(<IMG [^>]*SRC="([^"]+\.bmp)\")");
  std::set<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() != ".html") continue;
    const std::string page = vossik::testing::ReadFile(entry.path());
    for (std::sregex_iterator it(page.begin(), page.end(), kImage), end; it != end; ++it) {
      names.insert((*it)[1].str());
    }
  }
  return names;
}

// The number of distinct colours in `image`, up to `enough`.
int Colours(const QImage& image, int enough) {
  QSet<QRgb> seen;
  for (int y = 0; y < image.height() && seen.size() < enough; ++y) {
    for (int x = 0; x < image.width(); ++x) seen.insert(image.pixel(x, y));
  }
  return int(seen.size());
}

}  // namespace

class HelpImagesTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    QVERIFY(descriptor_.LoadFile(VOSSIK_BINARY_DIR "/vossik.cfgml"));
    dir_ = std::make_unique<vossik::testing::TempDir>();
    dir_->ChangeInto();
  }

  void EveryPictureThePagesNameIsDrawn() {
    std::string error;
    QCOMPARE(Generate(&error), 0);
    QCOMPARE(QString::fromStdString(error), QString());
    const std::set<std::string> names = PicturesNamed(dir_->Path() / "hlp");
    QVERIFY(names.count("words.bmp") == 1 && names.count("index_stoplist.bmp") == 1);
    for (const std::string& name : names) {
      const QImage picture(QString::fromStdString((dir_->Path() / "hlp" / name).string()));
      QVERIFY2(!picture.isNull(), name.c_str());
      // Text and frames, not an empty rectangle.
      QVERIFY2(Colours(picture, 3) >= 3, name.c_str());
    }
    // A page is drawn at the settings window's width, a setting as one row.
    QCOMPARE(QImage(PathOf("words.bmp")).width(), 600);
    QCOMPARE(QImage(PathOf("index_dirsrc.bmp")).height(), 22);
  }

  void PictureThatCannotBeWrittenFailsTheRun() {
    fs::create_directories(dir_->Path() / "hlp" / "words.bmp");
    std::string error;
    QCOMPARE(Generate(&error), -3);
    QVERIFY2(error.find("Cannot write hlp/words.bmp") != std::string::npos, error.c_str());
    QVERIFY(fs::exists(dir_->Path() / "hlp" / "files.bmp"));
  }

 private:
  int Generate(std::string* error) {
    vossik::HelpGenerator generator(descriptor_.Root(), vossik::VossikIdentity(),
                                    VOSSIK_BINARY_DIR "/help", 0);
    generator.SetImageWriter(vossik::WriteHelpImages);
    return generator.Generate(false, "vossik", error);
  }

  QString PathOf(const char* name) const {
    return QString::fromStdString((dir_->Path() / "hlp" / name).string());
  }

  vossik::ConfigDescriptor descriptor_;
  std::unique_ptr<vossik::testing::TempDir> dir_;
};

QTEST_MAIN(HelpImagesTest)
#include "help_pictures_test.moc"
