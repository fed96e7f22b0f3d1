// CGUIPropertyPage is one tab of the settings sheet, built from one `page`
// element of the descriptor: a hint line, an optional side image, and one
// setting control per `parameter` element (the sheet's own parameters
// first), optionally framed by group boxes and separated by spacers. It
// places the controls in one column, shares spare height among growing
// controls, and carries values between the controls and the settings store
// when the sheet asks.
//
// The sheet owns its pages; a page owns its controls. Controls are created
// once, when the page is first shown or first exchanges values.
#pragma once

#include <QWidget>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/page_layout.h"

class QGroupBox;
class QLabel;

namespace vossik {

class CGUIPropertySheet;
class SettingControl;
class SettingsStore;
class XmlNode;

class CGUIPropertyPage : public QWidget {
  Q_OBJECT

 public:
  // Capacities of one page; elements beyond them are left out.
  static constexpr std::size_t kMaxControls = 512;
  static constexpr std::size_t kMaxGroups = 32;
  static constexpr int kMaxChildWindows = 1024;

  /// `sheet` may be null (a page on its own); `store` may be null.
  CGUIPropertyPage(const XmlNode* page_element, const XmlNode* root, SettingsStore* store,
                   CGUIPropertySheet* sheet, QWidget* parent = nullptr);
  ~CGUIPropertyPage() override;

  /// The `name` ("Settings" when absent) with the `shortcut` mnemonic marks.
  const std::string& Title() const { return title_; }
  /// The `name` without marks ("Settings" when absent).
  const std::string& PlainTitle() const { return plain_title_; }
  /// The hint line's text.
  std::string HintText() const;
  /// The page element's `uid` ("" when absent), for help.
  std::string Uid() const;
  const XmlNode* PageElement() const { return page_element_; }
  bool Permanent() const { return permanent_; }

  bool Modified() const { return modified_; }
  void SetModified(bool modified);

  /// The creation pass; does nothing once the controls exist.
  void CreateControls();
  bool LaidOut() const { return laid_out_; }
  /// The layout pass for a client area of `width` x `height`.
  void LayOut(int width, int height);

  /// Loads (`save` false) or saves every control. Saving moves the page's
  /// modified mark to the sheet; loading takes the sheet's flag. Without a
  /// store, a page that is not permanent disables its controls instead.
  void ExchangeValues(bool save);

  /// Hands a new store (and descriptor) to every control.
  void AttachStore(SettingsStore* store, const XmlNode* root);
  SettingsStore* Store() const { return store_; }

  /// Enables or disables the page's controls other than `skip`. When
  /// disabling, the "statictext" parameters stay as they are; with `uids`,
  /// only the controls of those uids (any case) change. The tab shows the
  /// matching icon.
  void EnableControls(bool enable, const std::vector<std::string>* uids = nullptr,
                      const SettingControl* skip = nullptr);

  /// Image-list positions of the tab's icons (-1: none); ShowTabIcon picks one.
  void SetTabIcons(int enabled_icon, int disabled_icon);
  void ShowTabIcon(bool enabled);
  int EnabledIcon() const { return enabled_icon_; }
  int DisabledIcon() const { return disabled_icon_; }

  /// Controls in creation order; an empty slot is nullptr.
  const std::vector<std::unique_ptr<SettingControl>>& Controls() const { return controls_; }
  /// The first control of `uid` (exact).
  SettingControl* FindControl(std::string_view uid) const;
  /// Whether a control marked `required` shows no value.
  bool LacksRequiredValue() const;
  /// The input of the layout functions, as measured by the creation pass.
  const PageLayoutInput& LayoutInput() const { return layout_input_; }
  int NaturalHeight() const;

  /// F1: the sheet shows this page's help.
  void Help();

 protected:
  bool event(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void CreateParameter(const XmlNode* parameter, std::vector<LayoutControl>* row_list, int x,
                       int* y, int* row_height);
  void ControlChanged(const SettingControl* control);
  int SpacersAfter(const XmlNode* element) const;

  const XmlNode* page_element_;
  const XmlNode* root_;
  SettingsStore* store_;
  CGUIPropertySheet* sheet_;
  std::string title_;
  std::string plain_title_;
  bool permanent_ = false;
  bool modified_ = false;
  bool laid_out_ = false;
  int enabled_icon_ = -1;
  int disabled_icon_ = -1;
  int next_child_id_ = 1;

  QLabel* hint_ = nullptr;
  QLabel* side_image_ = nullptr;
  std::vector<std::unique_ptr<SettingControl>> controls_;
  std::vector<QGroupBox*> group_boxes_;
  PageLayoutInput layout_input_;
};

}  // namespace vossik
