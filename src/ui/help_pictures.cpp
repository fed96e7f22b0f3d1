#include "ui/help_pictures.h"

#include <QApplication>
#include <QImage>
#include <QString>
#include <memory>
#include <set>
#include <vector>

#include "helpgen/descriptor_walk.h"
#include "settings/settings_store.h"
#include "ui/control_cell.h"
#include "ui/property_page.h"
#include "ui/setting_control.h"
#include "xml/xml_document.h"

namespace vossik {
namespace {

// The width of a page in the settings window as it first opens.
constexpr int kPageWidth = 600;

// The pages the guide documents, in its order.
std::vector<const XmlNode*> DocumentedPages(const XmlNode* root) {
  const GuideSheets sheets = FindGuideSheets(root);
  std::vector<const XmlNode*> pages;
  for (const auto* list : {&sheets.wizard, &sheets.others}) {
    for (const XmlNode* sheet : *list) {
      for (const XmlNode* page : FindAllElements(sheet, "page")) pages.push_back(page);
    }
  }
  return pages;
}

std::string ImageFileName(std::string uid) {
  for (char& c : uid) {
    if (c == ':') c = '_';
  }
  return uid + ".bmp";
}

class ImageWriter {
 public:
  explicit ImageWriter(const std::filesystem::path& folder) : folder_(folder) {}

  // Writes `image` as `name` unless a picture of that name was written.
  void Write(const std::string& uid, const QImage& image) {
    if (uid.empty() || !written_.insert(uid).second) return;
    const std::filesystem::path file = folder_ / ImageFileName(uid);
    if (image.isNull() || !image.save(QString::fromStdString(file.string()), "BMP")) {
      if (!failures_.empty()) failures_ += "\n";
      failures_ += "Cannot write " + file.generic_string() + ": the picture could not be saved";
    }
  }

  const std::string& Failures() const { return failures_; }

 private:
  std::filesystem::path folder_;
  std::set<std::string> written_;
  std::string failures_;
};

void DrawPage(const XmlNode* page_element, const XmlNode* root, SettingsStore* defaults,
              ImageWriter* writer) {
  CGUIPropertyPage page(page_element, root, defaults, nullptr);
  page.setAttribute(Qt::WA_DontShowOnScreen);
  page.CreateControls();
  page.ExchangeValues(false);
  // The page's own margin of 4 below its controls, as in the window.
  page.resize(kPageWidth, page.NaturalHeight() + 4);
  page.show();
  QCoreApplication::processEvents();
  writer->Write(page.Uid(), page.grab().toImage());
  for (const std::unique_ptr<SettingControl>& control : page.Controls()) {
    ControlCell* cell = control != nullptr ? control->Cell() : nullptr;
    if (cell == nullptr || cell->width() <= 0 || cell->height() <= 0) continue;
    writer->Write(control->Uid(), cell->grab().toImage());
  }
}

}  // namespace

bool WriteHelpImages(const XmlNode* root, const std::filesystem::path& folder, std::string* error) {
  if (root == nullptr) return true;
  // An empty store: every setting shows its default.
  SettingsStore defaults;
  ImageWriter writer(folder);
  for (const XmlNode* page : DocumentedPages(root)) DrawPage(page, root, &defaults, &writer);
  if (writer.Failures().empty()) return true;
  if (error != nullptr) *error = writer.Failures();
  return false;
}

bool WriteHelpImagesOffscreen(const XmlNode* root, const std::filesystem::path& folder,
                              std::string* error) {
  if (QCoreApplication::instance() != nullptr) return WriteHelpImages(root, folder, error);
  char program[] = "vossik";
  char platform_option[] = "-platform";
  char platform[] = "offscreen";
  char* argv[] = {program, platform_option, platform, nullptr};
  int argc = 3;
  QApplication application(argc, argv);
  return WriteHelpImages(root, folder, error);
}

}  // namespace vossik
