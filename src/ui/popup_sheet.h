// A pop-up settings window: a framed window holding a sheet for one
// sub-definition of the descriptor (a `popupbutton`'s `definition`, an
// entry of a list), opened from another sheet whose store it edits.
//
// The pop-up's Apply and OK keep its edits through the owner's apply, so
// they reach the file (or the service) as the owner's would. Its Cancel and
// its close box ask before edits are lost, and a confirmed Cancel takes
// back the pop-up's own edits only: the owner's unapplied edits in the
// shared store stay. OK closes the window only once the apply succeeded.
//
// The window is a child window of its owner sheet, so it goes with the
// owner; it deletes itself, with its sheet, when closed. User-interface
// thread only.
#pragma once

#include <QIcon>
#include <QWidget>
#include <string>
#include <string_view>

#include "ui/sheet_configuration.h"

namespace vossik {

class CGUIPropertySheet;
class XmlNode;

/// A pop-up sheet's configuration: its owner's store, applied through the
/// owner. Remembers the store as it was when loaded or last applied, which
/// is what a confirmed Cancel goes back to.
class PopupConfiguration : public SheetConfigurationSource {
 public:
  explicit PopupConfiguration(CGUIPropertySheet& owner) : owner_(owner) {}

  SettingsStore* LoadConfiguration(CGUIPropertySheet& sheet) override;
  /// Marks the owner modified when the pop-up has changes and sends the
  /// owner its apply; fails when that left the pop-up's changes unapplied.
  bool ApplyConfiguration(CGUIPropertySheet& sheet, SettingsStore& store) override;
  /// Puts the store back as it was when loaded or last applied. Reading the
  /// file again would also drop the owner's unapplied edits.
  void DiscardChanges(CGUIPropertySheet& sheet, SettingsStore& store) override;
  void Closing(CGUIPropertySheet& sheet) override;
  std::string WorkingFolder() const override;

 private:
  CGUIPropertySheet& owner_;
  std::string snapshot_;
};

/// The framed window of a pop-up sheet. It keeps the sheet inside its
/// client area with a small margin, and its close box is the sheet's Cancel.
class PopupHost : public QWidget {
  Q_OBJECT

 public:
  /// A window over `owner`'s window holding a new sheet for `element` that
  /// edits `owner`'s store; see CGUIPropertySheet::OpenPopup.
  PopupHost(CGUIPropertySheet& owner, const XmlNode* element, int entry_index, int entry_sub_index);
  ~PopupHost() override;

  CGUIPropertySheet& Sheet() const { return *sheet_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  PopupConfiguration configuration_;
  CGUIPropertySheet* sheet_;
};

/// Opens and shows a pop-up for `element` over `owner`: titled
/// `title_prefix`, a blank and the element's `name`, with `icon` as its
/// icon, else the element's `icon` bitmap; placed at its first rectangle and
/// then centred on the owner's window. Returns the pop-up's sheet.
CGUIPropertySheet* OpenPopupSheet(CGUIPropertySheet& owner, const XmlNode* element,
                                  std::string_view title_prefix, const QIcon& icon, int entry_index,
                                  int entry_sub_index);

}  // namespace vossik
