#include "ui/popup_sheet.h"

#include <QCloseEvent>
#include <QPixmap>

#include "settings/settings_store.h"
#include "ui/control_cell.h"
#include "ui/page_layout.h"
#include "ui/property_sheet.h"
#include "ui/sheet_images.h"
#include "xml/xml_document.h"

namespace vossik {

// -- PopupConfiguration ---------------------------------------------------------

SettingsStore* PopupConfiguration::LoadConfiguration(CGUIPropertySheet&) {
  SettingsStore* store = owner_.Store();
  if (store != nullptr) snapshot_ = store->Serialize();
  return store;
}

bool PopupConfiguration::ApplyConfiguration(CGUIPropertySheet& sheet, SettingsStore& store) {
  const bool changed = sheet.HasChanges();
  if (changed) owner_.SetModified(true);
  if (!owner_.SendApply() && changed) return false;
  snapshot_ = store.Serialize();
  return true;
}

void PopupConfiguration::DiscardChanges(CGUIPropertySheet&, SettingsStore& store) {
  // The snapshot is the store's own text, and the file it belongs to stays
  // the same.
  const std::string file = store.FileName();
  store.Clear();
  static_cast<void>(store.Parse(snapshot_));
  store.SetFileName(file);
}

void PopupConfiguration::Closing(CGUIPropertySheet&) {}

std::string PopupConfiguration::WorkingFolder() const { return owner_.WorkingFolder(); }

// -- PopupHost ------------------------------------------------------------------

PopupHost::PopupHost(CGUIPropertySheet& owner, const XmlNode* element, int entry_index,
                     int entry_sub_index)
    : QWidget(&owner, Qt::Window), configuration_(owner) {
  setAttribute(Qt::WA_DeleteOnClose);
  setObjectName("popup");
  sheet_ = new CGUIPropertySheet(owner.ApplicationStore(), this);
  sheet_->SetConfigurationSource(&configuration_);
  sheet_->SetUpPopup(owner, element, entry_index, entry_sub_index);

  const TrackingSize limits = PopupTrackingSize(sheet_->Tracking());
  setMinimumSize(limits.min_width, limits.min_height);
  if (limits.max_width > 0) setMaximumSize(limits.max_width, limits.max_height);
}

// The sheet goes first: its source is a member of this window.
PopupHost::~PopupHost() { delete sheet_; }

void PopupHost::closeEvent(QCloseEvent* event) {
  // The close box is the pop-up's Cancel, which asks before edits are lost.
  if (!sheet_->CloseApproved()) {
    event->ignore();
    sheet_->Cancel();
    return;
  }
  QWidget::closeEvent(event);
}

void PopupHost::resizeEvent(QResizeEvent* event) {
  const Rect r = PopupSheetRect(width(), height());
  sheet_->setGeometry(r.left, r.top, r.width, r.height);
  QWidget::resizeEvent(event);
}

CGUIPropertySheet* OpenPopupSheet(CGUIPropertySheet& owner, const XmlNode* element,
                                  std::string_view title_prefix, const QIcon& icon, int entry_index,
                                  int entry_sub_index) {
  auto* host = new PopupHost(owner, element, entry_index, entry_sub_index);
  std::string title(title_prefix);
  if (!title.empty()) title += ' ';
  if (const std::string* name = element->Attribute("name")) title += *name;
  host->setWindowTitle(ToQString(title));
  if (!icon.isNull()) {
    host->setWindowIcon(icon);
  } else if (const std::string* file = element->Attribute("icon")) {
    const QPixmap pixmap = LoadSheetBitmap(*file);
    if (!pixmap.isNull()) host->setWindowIcon(QIcon(pixmap));
  }

  const Rect initial = PopupInitialRect();
  host->setGeometry(initial.left, initial.top, initial.width, initial.height);
  const QRect owner_frame = owner.window()->geometry();
  host->move(owner_frame.center() - QPoint(host->width() / 2, host->height() / 2));
  host->show();
  return &host->Sheet();
}

}  // namespace vossik
