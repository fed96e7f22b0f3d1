// SheetWizard makes a settings sheet the first-run wizard: it finds the
// `wizard` element the command line asks for, shows Back, Next and Finish
// in place of OK and Apply, and steps through the pages. Next honours a
// page's `skiponenable` and `skipto`; Back retraces the pages visited, so a
// skipped run of pages stays skipped. Finish is the sheet's OK. The wizard
// keeps the fixed size of its `gui` element (SheetTrackingSize) and asks
// its own question on Cancel.
//
// The sheet owns its wizard; the buttons are children of the sheet.
// User-interface thread only.
#pragma once

#include <string_view>
#include <vector>

class QPushButton;

namespace vossik {

class CGUIPropertySheet;
struct SheetGeometry;
class XmlNode;

class SheetWizard {
 public:
  /// The question Cancel asks in a wizard that has unapplied changes.
  static constexpr char kCancelQuestion[] =
      "Are you sure you wish to cancel and lose all changes so far?\nYou can rerun this wizard "
      "by double clicking the 'Run Setup Wizard' shortcut in your application directory";

  /// The `wizard` element below `root` (searched depth-first) whose `uid` is
  /// `uid`, else the first `wizard` element; nullptr when there is none.
  static const XmlNode* FindWizard(const XmlNode* root, std::string_view uid);

  /// Creates the buttons on `sheet`, hidden until Show().
  explicit SheetWizard(CGUIPropertySheet& sheet);
  SheetWizard(const SheetWizard&) = delete;
  SheetWizard& operator=(const SheetWizard&) = delete;

  /// Shows Back and the Next or Finish that suits the active page.
  void Show();
  /// Forgets the pages visited: the sheet shows a new set of pages.
  void Restart();
  /// Enables Back, swaps Next for Finish on the last page, and enables Next
  /// and Finish only while the active page has every required value; the
  /// sheet calls it whenever the active page or a required value changes.
  void UpdateButtons();
  /// Puts the buttons where `geometry` says; Finish takes Next's place.
  void Place(const SheetGeometry& geometry);

  /// Goes to the next page, or to a page's `skipto` when the switch its
  /// `skiponenable` names is on (the page commits its values first).
  void Next();
  /// Goes back to the page visited before the active one.
  void Back();

  QPushButton* BackButton() const { return back_; }
  QPushButton* NextButton() const { return next_; }
  QPushButton* FinishButton() const { return finish_; }

 private:
  CGUIPropertySheet& sheet_;
  QPushButton* back_;
  QPushButton* next_;
  QPushButton* finish_;
  std::vector<int> history_;  // pages visited before the active one, in order
};

}  // namespace vossik
