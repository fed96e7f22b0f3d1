#include "ui/sheet_wizard.h"

#include <QPushButton>

#include "base/string_util.h"
#include "settings/config_descriptor.h"
#include "settings/settings_store.h"
#include "settings/typed_settings.h"
#include "ui/page_layout.h"
#include "ui/property_page.h"
#include "ui/property_sheet.h"
#include "ui/sheet_button.h"
#include "xml/xml_document.h"

namespace vossik {
namespace {

void Put(QWidget* widget, const Rect& r) { widget->setGeometry(r.left, r.top, r.width, r.height); }

}  // namespace

const XmlNode* SheetWizard::FindWizard(const XmlNode* root, std::string_view uid) {
  const std::vector<const XmlNode*> wizards = DescriptorWizards(root);
  for (const XmlNode* wizard : wizards) {
    const std::string* own = wizard->Attribute("uid");
    if (own != nullptr && *own == uid) return wizard;
  }
  return wizards.empty() ? nullptr : wizards.front();
}

SheetWizard::SheetWizard(CGUIPropertySheet& sheet)
    : sheet_(sheet),
      back_(new SheetButton(&sheet, "back", "< Back")),
      next_(new SheetButton(&sheet, "next", "Next >")),
      finish_(new SheetButton(&sheet, "finish", "Finish")) {
  for (QPushButton* button : {back_, next_, finish_}) button->hide();
  QObject::connect(back_, &QPushButton::clicked, back_, [this] { Back(); });
  QObject::connect(next_, &QPushButton::clicked, next_, [this] { Next(); });
  QObject::connect(finish_, &QPushButton::clicked, finish_, [this] { sheet_.Ok(); });
}

void SheetWizard::Show() {
  back_->show();
  UpdateButtons();
}

void SheetWizard::Restart() { history_.clear(); }

void SheetWizard::UpdateButtons() {
  const int index = sheet_.ActivePageIndex();
  const bool last = index + 1 >= sheet_.PageCount();
  const CGUIPropertyPage* page = sheet_.ActivePage();
  const bool complete = page == nullptr || !page->LacksRequiredValue();
  back_->setEnabled(index > 0);
  next_->setVisible(!last);
  finish_->setVisible(last);
  next_->setEnabled(complete);
  finish_->setEnabled(complete);
}

void SheetWizard::Place(const SheetGeometry& geometry) {
  Put(back_, geometry.back);
  Put(next_, geometry.next);
  Put(finish_, geometry.next);
}

void SheetWizard::Next() {
  const int index = sheet_.ActivePageIndex();
  CGUIPropertyPage* page = sheet_.ActivePage();
  if (page == nullptr) return;
  if (const std::string* skip = page->PageElement()->Attribute("skiponenable")) {
    bool skipping = false;
    if (SettingsStore* store = sheet_.Store()) {
      page->ExchangeValues(true);
      // A switch that cannot be read counts as off.
      static_cast<void>(GetSwitch(*store, sheet_.Root(), SettingAddress{*skip}, &skipping));
    }
    if (skipping) {
      const std::string* skip_to = page->PageElement()->Attribute("skipto");
      const int target = int(ParseLeadingNumber(skip_to != nullptr ? *skip_to : "0"));
      if (target >= 0 && target < sheet_.PageCount()) {
        history_.push_back(index);
        sheet_.ActivatePage(target);
        return;
      }
    }
  }
  if (index + 1 < sheet_.PageCount()) {
    history_.push_back(index);
    sheet_.ActivatePage(index + 1);
  }
}

void SheetWizard::Back() {
  if (!history_.empty()) {
    const int previous = history_.back();
    history_.pop_back();
    sheet_.ActivatePage(previous);
  } else if (sheet_.ActivePageIndex() > 0) {
    sheet_.ActivatePage(sheet_.ActivePageIndex() - 1);
  }
}

}  // namespace vossik
