// The images of the settings window's tabs, sheet selector and pop-up
// windows: 16 x 16 bitmaps whose light grey (red, green and blue 192) is
// transparent, and the sheet's image list that holds them.
//
// A bitmap is read from the file the descriptor names, so a product can
// ship its own; the program's own images (data/icons) are compiled in as
// resources under the same relative path and stand in for a missing file.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <cstddef>
#include <string>
#include <vector>

namespace vossik {

class XmlNode;

/// The light grey that the images draw where they are transparent.
inline constexpr int kTransparentGrey = 192;

/// The bitmap `file` (relative to the working folder), else the resource of
/// the same relative path (":/icons/disabled.bmp" for "./icons/disabled.bmp"),
/// with its light grey made transparent; a null pixmap when neither can be
/// read.
QPixmap LoadSheetBitmap(const std::string& file);

/// A sheet's image list. Its order: the bitmaps named by the `icon`
/// attributes of the owners (the `sheet` elements when the sheet selector is
/// shown, otherwise the `page` elements of the first sheet) in document
/// order, then "./icons/disabled.bmp", then "./icons/settingspage.bmp". A
/// bitmap that cannot be read is left out, so each owner remembers where
/// its own image went and the others keep theirs.
class SheetImageList {
 public:
  /// Loads the images of `owners` and the two fixed ones.
  void Build(const std::vector<const XmlNode*>& owners);

  const std::vector<QIcon>& Images() const { return images_; }
  std::size_t OwnerCount() const { return owner_images_.size(); }
  /// Where owner `index`'s image is in the list; -1 when it has none.
  int OwnerImage(std::size_t index) const;
  /// Where the disabled icon and the settings page icon are (-1: missing).
  int DisabledImage() const { return disabled_; }
  int PageImage() const { return page_; }
  /// The image at `position`; a null icon for -1 or a place past the end.
  QIcon Image(int position) const;

 private:
  int Load(const std::string& file);

  std::vector<QIcon> images_;
  std::vector<int> owner_images_;
  int disabled_ = -1;
  int page_ = -1;
};

}  // namespace vossik
