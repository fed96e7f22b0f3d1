#include "ui/sheet_images.h"

#include <QBitmap>
#include <QColor>

#include "ui/control_cell.h"
#include "xml/xml_document.h"

namespace vossik {
namespace {

constexpr char kDisabledIconFile[] = "./icons/disabled.bmp";
constexpr char kPageIconFile[] = "./icons/settingspage.bmp";

// `file` with "/" between its parts, where a descriptor may write "\\".
std::string SlashPath(const std::string& file) {
  std::string path = file;
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return path;
}

// The resource that stands in for the relative path `path`; "" for a path
// that no resource can have (absolute, or climbing out with "..").
QString BuiltInImage(std::string path) {
  while (path.rfind("./", 0) == 0) path.erase(0, 2);
  if (path.empty() || path.front() == '/' || path.find("..") != std::string::npos) return {};
  return ":/" + ToQString(path);
}

}  // namespace

QPixmap LoadSheetBitmap(const std::string& file) {
  const std::string path = SlashPath(file);
  QPixmap pixmap(ToQString(path));
  if (pixmap.isNull()) pixmap = QPixmap(BuiltInImage(path));
  if (!pixmap.isNull()) {
    const QColor grey(kTransparentGrey, kTransparentGrey, kTransparentGrey);
    pixmap.setMask(pixmap.createMaskFromColor(grey, Qt::MaskInColor));
  }
  return pixmap;
}

void SheetImageList::Build(const std::vector<const XmlNode*>& owners) {
  images_.clear();
  owner_images_.clear();
  for (const XmlNode* owner : owners) {
    const std::string* icon = owner->Attribute("icon");
    owner_images_.push_back(icon != nullptr ? Load(*icon) : -1);
  }
  disabled_ = Load(kDisabledIconFile);
  page_ = Load(kPageIconFile);
}

int SheetImageList::OwnerImage(std::size_t index) const {
  return index < owner_images_.size() ? owner_images_[index] : -1;
}

QIcon SheetImageList::Image(int position) const {
  return position >= 0 && position < int(images_.size()) ? images_[position] : QIcon();
}

int SheetImageList::Load(const std::string& file) {
  const QPixmap pixmap = LoadSheetBitmap(file);
  if (pixmap.isNull()) return -1;
  images_.emplace_back(pixmap);
  return int(images_.size()) - 1;
}

}  // namespace vossik
