// `cfglist`: a table of numbered configuration entries. The `definition`
// holds `entrydata` (the entry's `parameter`s, the first being the key
// column, and its `subparameter`s), the `actions` and one or more
// `entryviewer`s, the pop-up pages that edit one entry. Rows run from entry
// 0 to the first entry with an empty key. An `entryenable` element names a
// switch per entry shown as the row's check box.
//
// Each row remembers the entry it was filled from, so that two entries with
// the same key are still told apart when one of them is edited or deleted.
#include <QPointer>
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "base/string_util.h"
#include "settings/settings_store.h"
#include "settings/typed_settings.h"
#include "ui/control_catalogue.h"
#include "ui/data_grid.h"
#include "ui/property_sheet.h"
#include "widgets/report_grid.h"
#include "xml/xml_document.h"

namespace vossik {
namespace {

struct EntryField {
  std::string uid;
  bool show = false;
  std::string type;
};

class CfgListControl : public DataGridControl {
 public:
  DataGridKind Kind() const override { return DataGridKind::kCfgList; }

  /// The entry viewer open now, or nullptr.
  CGUIPropertySheet* Viewer() const { return viewer_; }

 protected:
  bool FillGrid(ReportGrid& grid, BatchWindow& batch) override {
    Connect(grid);
    const std::vector<EntryField> fields = Fields();
    batch.total = 0;
    if (fields.empty() || Store() == nullptr) return true;
    const std::string* enable = EnableUid();
    for (int n = 0;; ++n) {
      // An entry missing from the file ends the list, even where the
      // descriptor gives the key a default.
      std::string key;
      if (GetString(*Store(), Root(), EntryAddress(fields[0].uid, n), &key) != 0 || key.empty()) {
        break;
      }
      const int row = grid.AddRow(EntryDisplayText(fields[0].type, key, AllowedOf(fields[0])));
      grid.SetRowTag(row, n);
      if (enable != nullptr) {
        bool on = false;
        static_cast<void>(GetSwitch(*Store(), Root(), EntryAddress(*enable, n), &on));
        grid.SetRowCheck(row, on ? RowCheck::kOn : RowCheck::kOff);
      }
      int column = 1;
      for (std::size_t i = 1; i < fields.size(); ++i) {
        if (!fields[i].show) continue;
        std::string value;
        static_cast<void>(GetString(*Store(), Root(), EntryAddress(fields[i].uid, n), &value));
        grid.SetCell(row, column++, EntryDisplayText(fields[i].type, value, AllowedOf(fields[i])));
      }
      ++batch.total;
    }
    return true;
  }

  void Perform(const GridAction& action) override {
    if (action.is_delete) {
      DeleteSelected();
    } else if (!action.entryviewer.empty() || !action.verb.empty()) {
      OpenViewer(action);
    } else {
      DataGridControl::Perform(action);
    }
  }

 private:
  std::vector<EntryField> Fields() const {
    std::vector<EntryField> fields;
    const XmlNode* entrydata = DefinitionChild("entrydata");
    if (entrydata == nullptr) return fields;
    for (const XmlNode* child = entrydata->FirstChild(); child != nullptr;
         child = child->NextSibling()) {
      const std::string* uid = child->Attribute("uid");
      if (child->Name() != "parameter" || uid == nullptr) continue;
      const std::string* show = child->Attribute("show");
      const std::string* type = child->Attribute("type");
      fields.push_back(EntryField{*uid, show != nullptr && ParseSwitch(*show),
                                  type != nullptr ? *type : std::string()});
    }
    return fields;
  }

  // Every setting whose entries belong to the rows, the key's excepted.
  std::vector<std::string> Dependents() const {
    std::vector<std::string> uids;
    const std::vector<EntryField> fields = Fields();
    for (std::size_t i = 1; i < fields.size(); ++i) uids.push_back(fields[i].uid);
    if (const XmlNode* entrydata = DefinitionChild("entrydata")) {
      for (const XmlNode* child = entrydata->FirstChild(); child != nullptr;
           child = child->NextSibling()) {
        const std::string* uid = child->Attribute("uid");
        if (child->Name() == "subparameter" && uid != nullptr) uids.push_back(*uid);
      }
    }
    // The enabling switch is an entry's setting too: left out, a deleted
    // entry's switch would pass to the entry after it.
    if (const std::string* enable = EnableUid()) {
      if (std::find(uids.begin(), uids.end(), *enable) == uids.end() &&
          (fields.empty() || fields[0].uid != *enable)) {
        uids.push_back(*enable);
      }
    }
    return uids;
  }

  const std::string* EnableUid() const {
    const XmlNode* enable = Child("entryenable");
    return enable != nullptr ? enable->Attribute("uid") : nullptr;
  }

  std::vector<std::string> AllowedOf(const EntryField& field) const {
    std::vector<std::string> names;
    if (field.type == "flags")
      static_cast<void>(AllowedList(ResolveParameter(Root(), field.uid), &names));
    return names;
  }

  // Entry n; inside a pop-up that edits entry k of an outer list, entry
  // (k, n) of a sub-numbered setting.
  SettingAddress EntryAddress(const std::string& uid, int n) const {
    SettingAddress at = AddressOf(uid);
    if (EntryIndex() >= 0) {
      at.index = EntryIndex();
      at.sub_index = n;
    } else {
      at.index = n;
      at.sub_index = -1;
    }
    return at;
  }

  int EntryCount() const {
    const std::vector<EntryField> fields = Fields();
    if (fields.empty() || Store() == nullptr) return 0;
    return LastIndex(*Store(), Root(), EntryAddress(fields[0].uid, 0), 0) + 1;
  }

  void Connect(ReportGrid& grid) {
    if (connected_) return;
    connected_ = true;
    QObject::connect(&grid, &ReportGrid::RowCheckToggled, Cell(), [this, &grid](int row, bool on) {
      const std::string* enable = EnableUid();
      if (enable == nullptr || Store() == nullptr || grid.RowTag(row) < 0) return;
      static_cast<void>(
          SetNumber(*Store(), Root(), EntryAddress(*enable, grid.RowTag(row)), on ? 1 : 0));
      ReportChange();
    });
  }

  void OpenViewer(const GridAction& action) {
    ReportGrid* grid = Grid();
    if (Sheet() == nullptr || grid == nullptr) return;
    int entry = -1;
    if (action.new_entry) {
      entry = EntryCount();
    } else {
      const int row = grid->SingleSelectedRow();
      if (row < 0) return;
      entry = grid->RowTag(row);
    }
    const XmlNode* viewer = FindViewer(action.entryviewer);
    if (viewer == nullptr || entry < 0) return;
    if (viewer_) viewer_->window()->close();
    const QIcon icon = grid->Icons().empty() ? QIcon() : grid->Icons().back();
    viewer_ = EntryIndex() >= 0 ? Sheet()->OpenPopup(viewer, action.verb, icon, EntryIndex(), entry)
                                : Sheet()->OpenPopup(viewer, action.verb, icon, entry, -1);
    if (viewer_ != nullptr) {
      // What the viewer kept shows in the table once it is closed. A viewer
      // closed with OK and no edit still stores its entry (a new one with
      // its defaults), without applying it: the page takes it as a change,
      // or it would never reach the file.
      std::string before = Store() != nullptr ? Store()->Serialize() : std::string();
      QObject::connect(viewer_.data(), &QObject::destroyed, Cell(),
                       [this, before = std::move(before)] {
                         Refill();
                         if (Store() != nullptr && Store()->Serialize() != before) ReportChange();
                       });
    }
  }

  const XmlNode* FindViewer(const std::string& uid) const {
    const XmlNode* definition = Child("definition");
    if (definition == nullptr) return nullptr;
    const XmlNode* first = nullptr;
    for (const XmlNode* viewer = definition->FindElement("entryviewer"); viewer != nullptr;
         viewer = viewer->NextSibling()) {
      if (viewer->Name() != "entryviewer") continue;
      if (first == nullptr) first = viewer;
      const std::string* viewer_uid = viewer->Attribute("uid");
      if (viewer_uid != nullptr && *viewer_uid == uid) return viewer;
    }
    return first;
  }

  void DeleteSelected() {
    ReportGrid* grid = Grid();
    const std::vector<EntryField> fields = Fields();
    if (grid == nullptr || Store() == nullptr || fields.empty()) return;
    std::vector<int> removed;
    for (int row : grid->SelectedRows()) {
      if (grid->RowTag(row) >= 0) removed.push_back(grid->RowTag(row));
    }
    if (removed.empty()) return;
    std::sort(removed.begin(), removed.end());
    const std::vector<std::string> dependents = Dependents();
    const std::vector<std::string_view> views(dependents.begin(), dependents.end());
    RenumberAfterRemoval(*Store(), Root(), EntryAddress(fields[0].uid, 0), views, removed, 0);
    ReportChange();
    Refill();
  }

  QPointer<CGUIPropertySheet> viewer_;
  bool connected_ = false;
};

}  // namespace

std::unique_ptr<SettingControl> MakeCfgListControl() { return std::make_unique<CfgListControl>(); }

}  // namespace vossik
