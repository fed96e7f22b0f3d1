#include "ui/sheet_images.h"

#include <QBitmap>
#include <QColor>

#include "ui/control_cell.h"
#include "xml/xml_document.h"

namespace vossik {
namespace {

constexpr char kDisabledIconFile[] = "./icons/disabled.bmp";
constexpr char kPageIconFile[] = "./icons/settingspage.bmp";

}  // namespace

QPixmap LoadSheetBitmap(const std::string& file) {
  QPixmap pixmap(ToQString(file));
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
