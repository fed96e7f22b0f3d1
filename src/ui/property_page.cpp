#include "ui/property_page.h"

#include <QFontDatabase>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <algorithm>

#include "base/ascii_case.h"
#include "base/string_util.h"
#include "settings/parameter_ref.h"
#include "ui/control_cell.h"
#include "ui/control_factory.h"
#include "ui/property_sheet.h"
#include "ui/setting_control.h"
#include "xml/xml_document.h"

namespace vossik {
namespace {

const std::string* DirectChildText(const XmlNode* node, std::string_view name) {
  return node->ElementText(name, nullptr, false);
}

// The `sheet` element a page belongs to; a page outside any `sheet` (a
// wizard or pop-up without sheets) takes its parent as the sheet.
const XmlNode* SheetElementOf(const XmlNode* page) {
  for (const XmlNode* node = page->Parent(); node != nullptr; node = node->Parent()) {
    if (node->Name() == "sheet") return node;
  }
  return page->Parent();
}

// `group` elements below `node` in document order.
void CollectGroups(const XmlNode* node, std::vector<const XmlNode*>* groups) {
  for (const XmlNode* child = node->FirstChild(); child != nullptr; child = child->NextSibling()) {
    if (child->Name() == "group") groups->push_back(child);
    if (child->Name() != "parameter") CollectGroups(child, groups);
  }
}

// The `parameter` elements of a group in document order. A nested group
// keeps its own parameters, so none is built twice.
void CollectGroupParameters(const XmlNode* node, std::vector<const XmlNode*>* parameters) {
  for (const XmlNode* child = node->FirstChild(); child != nullptr; child = child->NextSibling()) {
    if (child->Name() == "parameter") {
      parameters->push_back(child);
    } else if (child->Name() != "group") {
      CollectGroupParameters(child, parameters);
    }
  }
}

QFont PageFont() { return QFontDatabase::systemFont(QFontDatabase::GeneralFont); }

}  // namespace

CGUIPropertyPage::CGUIPropertyPage(const XmlNode* page_element, const XmlNode* root,
                                   SettingsStore* store, CGUIPropertySheet* sheet, QWidget* parent)
    : QWidget(parent), page_element_(page_element), root_(root), store_(store), sheet_(sheet) {
  const std::string* name = page_element_->Attribute("name");
  plain_title_ = name != nullptr ? *name : "Settings";
  const std::string* shortcut = page_element_->Attribute("shortcut");
  title_ = MnemonicTitle(plain_title_, shortcut != nullptr ? *shortcut : std::string_view());
  const std::string* enable = page_element_->Attribute("enable");
  permanent_ = enable != nullptr && *enable == "permanent";
  const std::string uid = Uid();
  setObjectName(ToQString(uid.empty() ? plain_title_ : uid));
  setFocusPolicy(Qt::StrongFocus);
}

CGUIPropertyPage::~CGUIPropertyPage() = default;

std::string CGUIPropertyPage::HintText() const {
  if (const std::string* hint = DirectChildText(page_element_, "hint")) return *hint;
  return plain_title_ + " settings";
}

std::string CGUIPropertyPage::Uid() const {
  const std::string* uid = page_element_->Attribute("uid");
  return uid != nullptr ? *uid : std::string();
}

void CGUIPropertyPage::SetModified(bool modified) {
  modified_ = modified;
  if (sheet_ != nullptr) sheet_->UpdateApplyButton();
}

int CGUIPropertyPage::SpacersAfter(const XmlNode* element) const {
  int count = 0;
  for (const XmlNode* next = element->NextSibling(); next != nullptr && next->Name() == "spacer";
       next = next->NextSibling()) {
    ++count;
  }
  return count;
}

void CGUIPropertyPage::CreateControls() {
  if (laid_out_) return;
  laid_out_ = true;

  hint_ = new QLabel(ToQString(HintText()), this);
  hint_->setTextFormat(Qt::PlainText);
  hint_->setObjectName("hint");
  hint_->setFont(PageFont());
  hint_->setGeometry(4, 4, 296, 14);
  // Children made after the page is shown stay hidden unless shown.
  hint_->show();

  int x = 4;
  next_child_id_ = 1;
  if (const XmlNode* side = page_element_->FindElement("sideimage", nullptr, false)) {
    const std::string* file = side->Attribute("file");
    const std::string* width = side->Attribute("width");
    const std::string* height = side->Attribute("height");
    layout_input_.has_side_image = true;
    layout_input_.side_image_width = width != nullptr ? int(ParseLeadingNumber(*width)) : 0;
    layout_input_.side_image_height = height != nullptr ? int(ParseLeadingNumber(*height)) : 0;
    side_image_ = new QLabel(this);
    side_image_->setObjectName("sideimage");
    side_image_->setAlignment(Qt::AlignCenter);
    side_image_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    // A missing file leaves the frame empty; its space is kept.
    if (file != nullptr) side_image_->setPixmap(QPixmap(ToQString(*file)));
    side_image_->show();
    x = layout_input_.side_image_width + 8;
    next_child_id_ = 2;
  }

  int y = kPageTop;
  int row_height = kRowHeight;
  const XmlNode* sheet_element = SheetElementOf(page_element_);
  auto create_direct = [&](const XmlNode* parent) {
    if (parent == nullptr) return;
    for (const XmlNode* child = parent->FirstChild(); child != nullptr;
         child = child->NextSibling()) {
      if (child->Name() != "parameter") continue;
      CreateParameter(child, &layout_input_.controls, x, &y, &row_height);
    }
  };
  create_direct(sheet_element);
  create_direct(page_element_);

  std::vector<const XmlNode*> groups;
  CollectGroups(page_element_, &groups);
  if (groups.size() > kMaxGroups) groups.resize(kMaxGroups);
  for (const XmlNode* group : groups) {
    const int top = y;
    y += kGroupTopPadding;
    LayoutGroup layout_group;
    std::vector<const XmlNode*> parameters;
    CollectGroupParameters(group, &parameters);
    for (const XmlNode* parameter : parameters) {
      CreateParameter(parameter, &layout_group.controls, x, &y, &row_height);
    }
    y += kGroupBottomPadding;
    const std::string* caption = group->Attribute("name");
    auto* box = new QGroupBox(ToQString(caption != nullptr ? *caption : title_), this);
    box->setObjectName("group");
    box->setFont(PageFont());
    box->setGeometry(x, top, kCreationRight - x, y - top);
    // The box is made after its controls; it must stay behind them.
    box->lower();
    box->show();
    group_boxes_.push_back(box);
    layout_group.spacers_after = SpacersAfter(group);
    y += layout_group.spacers_after * kSpacerHeight;
    layout_input_.groups.push_back(std::move(layout_group));
  }

  LayOut(std::max(0, width() - 4), std::max(0, height() - 4));
}

void CGUIPropertyPage::CreateParameter(const XmlNode* parameter, std::vector<LayoutControl>* list,
                                       int x, int* y, int* row_height) {
  if (controls_.size() >= kMaxControls) return;
  LayoutControl layout;
  layout.present = false;
  layout.spacers_after = SpacersAfter(parameter);

  std::unique_ptr<SettingControl> control;
  const std::string* uid = parameter->Attribute("uid");
  ParameterRef ref;
  if (uid != nullptr && next_child_id_ < kMaxChildWindows) {
    ref = ResolveParameter(root_, *uid);
    ref.override_element = parameter;
    const std::string* type = ref.ChildText("control");
    if (ref.IsDefined() && type != nullptr) {
      control = MakeControl(
          *type, sheet_ != nullptr ? sheet_->ApplicationFactory() : ApplicationControlFactory());
    }
  }

  if (control) {
    control->Bind(store_, root_);
    control->SetSheet(sheet_);
    control->SetWorkingFolder(sheet_ != nullptr ? sheet_->WorkingFolder() : ".");
    control->SetPreferences(sheet_ != nullptr ? sheet_->Preferences() : nullptr);
    const Rect initial{x + 8, *y, kCreationRight - (x + 8), kRowHeight};
    const int next = control->Create(this, ref, *uid, initial, next_child_id_);
    if (next > kMaxChildWindows || control->Cell() == nullptr) {
      // The page's identifiers are used up: the control is left out.
      control.reset();
    } else {
      next_child_id_ = next;
      const std::string* onchange = control->Attribute("onchange");
      control->SetRefreshOnChange(onchange != nullptr && *onchange == "refresh");
      control->SetRepaintOnChange(onchange != nullptr && *onchange == "repaint");
      control->SetGrowing(control->BoolProperty("resize"));
      const std::string* align = parameter->Attribute("align");
      layout.present = true;
      layout.align_right = align != nullptr && *align == "right";
      layout.growing = control->Growing();
      layout.preferred_height = control->Cell()->PreferredHeight();
      if (!layout.align_right) {
        *row_height = layout.preferred_height;
        *y += layout.preferred_height + kRowGap;
      } else if (layout.preferred_height > *row_height) {
        *y += layout.preferred_height - *row_height;
        *row_height = layout.preferred_height;
      }
    }
  }
  *y += layout.spacers_after * kSpacerHeight;
  controls_.push_back(std::move(control));
  list->push_back(layout);
}

int CGUIPropertyPage::NaturalHeight() const { return vossik::NaturalHeight(layout_input_); }

void CGUIPropertyPage::LayOut(int width, int height) {
  if (!laid_out_) return;
  const PageLayout layout =
      LayOutPage(layout_input_, width, height, [this](std::size_t index, const Rect& rect) {
        SettingControl* control = controls_[index].get();
        return control != nullptr ? control->Cell()->Place(rect) : rect.height;
      });
  hint_->setGeometry(layout.hint.left, layout.hint.top, layout.hint.width, layout.hint.height);
  if (side_image_ != nullptr) {
    const Rect& r = layout.side_image;
    side_image_->setGeometry(r.left, r.top, r.width, r.height);
  }
  for (std::size_t i = 0; i < group_boxes_.size() && i < layout.groups.size(); ++i) {
    const Rect& r = layout.groups[i];
    group_boxes_[i]->setGeometry(r.left, r.top, r.width, r.height);
  }
}

void CGUIPropertyPage::ExchangeValues(bool save) {
  CreateControls();
  if (store_ == nullptr) {
    if (!permanent_) EnableControls(false);
    return;
  }
  for (const auto& control : controls_) {
    if (control) control->ExchangeValue(save);
  }
  if (sheet_ == nullptr) return;
  if (save) {
    if (modified_) sheet_->SetModified(true);
    modified_ = false;
  } else {
    modified_ = sheet_->Modified();
  }
  sheet_->UpdateApplyButton();
}

void CGUIPropertyPage::AttachStore(SettingsStore* store, const XmlNode* root) {
  store_ = store;
  root_ = root;
  for (const auto& control : controls_) {
    if (control) control->Bind(store, root);
  }
}

void CGUIPropertyPage::EnableControls(bool enable, const std::vector<std::string>* uids,
                                      const SettingControl* skip) {
  for (const auto& control : controls_) {
    if (!control || control.get() == skip) continue;
    if (!enable && control->Uid() == "statictext") continue;
    if (uids != nullptr) {
      const bool listed = std::any_of(uids->begin(), uids->end(), [&](const std::string& uid) {
        return EqualsIgnoringCase(uid, control->Uid());
      });
      if (!listed) continue;
    }
    control->SetEnabled(enable);
  }
  ShowTabIcon(enable);
}

void CGUIPropertyPage::SetTabIcons(int enabled_icon, int disabled_icon) {
  enabled_icon_ = enabled_icon;
  disabled_icon_ = disabled_icon;
}

void CGUIPropertyPage::ShowTabIcon(bool enabled) {
  if (sheet_ != nullptr) sheet_->ShowPageIcon(this, enabled);
}

bool CGUIPropertyPage::LacksRequiredValue() const {
  return std::any_of(controls_.begin(), controls_.end(), [](const auto& control) {
    return control && control->Required() && !control->ShowsValue();
  });
}

SettingControl* CGUIPropertyPage::FindControl(std::string_view uid) const {
  for (const auto& control : controls_) {
    if (control && control->Uid() == uid) return control.get();
  }
  return nullptr;
}

void CGUIPropertyPage::Help() {
  if (sheet_ != nullptr) sheet_->ShowHelp();
}

void CGUIPropertyPage::ControlChanged(const SettingControl* changed) {
  const auto it = std::find_if(controls_.begin(), controls_.end(),
                               [changed](const auto& control) { return control.get() == changed; });
  if (it == controls_.end()) return;
  SetModified(true);
  // A wizard keeps Next and Finish for pages whose required values are given.
  if ((*it)->Required() && sheet_ != nullptr) sheet_->PageValuesChanged();
  if ((*it)->RefreshOnChange()) {
    ExchangeValues(true);
    ExchangeValues(false);
  }
  if ((*it)->RepaintOnChange()) repaint();
}

bool CGUIPropertyPage::event(QEvent* event) {
  if (event->type() == kControlChangedEvent) {
    ControlChanged(static_cast<ControlChangedEvent*>(event)->Control());
    return true;
  }
  return QWidget::event(event);
}

void CGUIPropertyPage::showEvent(QShowEvent* event) {
  CreateControls();
  QWidget::showEvent(event);
}

void CGUIPropertyPage::resizeEvent(QResizeEvent* event) {
  // The page keeps 4 pixels free at the right and the bottom of its area.
  LayOut(std::max(0, width() - 4), std::max(0, height() - 4));
  QWidget::resizeEvent(event);
}

void CGUIPropertyPage::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      // Neither may close the window the sheet sits in.
      event->accept();
      return;
    case Qt::Key_F1:
      Help();
      event->accept();
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

}  // namespace vossik
