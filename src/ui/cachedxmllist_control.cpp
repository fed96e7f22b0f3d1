// `cachedxmllist`: a table of the rows of a file fetched from the
// administered service and kept as a local copy. On every load the copy is
// brought up to date (a service that answers "not modified" keeps it), the
// grid is filled from it as `xmllist` fills its grid, and the rows are
// copied into the numbered settings that `cfgentry` names.
//
// The fetch asks the service only, through the sheet's service bar; without
// a connection the copy stays as it is.
#include <sys/stat.h>

#include <QApplication>
#include <ctime>
#include <string>
#include <vector>

#include "admin/admin_result.h"
#include "base/file_io.h"
#include "base/string_util.h"
#include "settings/typed_settings.h"
#include "ui/control_catalogue.h"
#include "ui/message_box.h"
#include "ui/property_sheet.h"
#include "ui/service_requests.h"
#include "ui/xmllist_control.h"
#include "widgets/report_grid.h"
#include "xml/xml_document.h"

namespace vossik {
namespace {

// -1 when there is no copy yet: the service then sends the file whatever its age.
std::time_t ModificationTime(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 ? info.st_mtime : -1;
}

class CachedXmlListControl : public DataGridControl {
 public:
  void ExchangeValue(bool save) override {
    DataGridControl::ExchangeValue(save);
    StoreRows();
  }

 protected:
  bool FillGrid(ReportGrid& grid, BatchWindow& batch) override {
    const std::string* file = ChildText("file");
    const std::string* entry = ChildText("entry");
    batch.total = 0;
    if (file == nullptr || entry == nullptr) return true;
    const std::string path = LocalDataPath(WorkingFolder(), *file);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Fetch(path);
    const bool every_row = FillGridFromXmlFile(grid, path, *entry, batch);
    QApplication::restoreOverrideCursor();
    return every_row;
  }

 private:
  // Brings the local copy up to date from the service action named by the
  // `populateaction` of the `file` element (or of the parameter).
  void Fetch(const std::string& path) {
    const XmlNode* file = Child("file");
    const std::string* action = file != nullptr ? file->ElementText("populateaction") : nullptr;
    if (action == nullptr) action = ChildText("populateaction");
    if (action == nullptr || action->empty() || Sheet() == nullptr) return;
    auto* service = dynamic_cast<ServiceRequests*>(Sheet()->ServiceBar());
    if (service == nullptr) return;
    std::string reply;
    const AdminResult result = service->ServiceRequest(*action, ModificationTime(path), "", &reply);
    if (result == AdminResult::kNotFound) {
      const std::string* prompt = file != nullptr ? file->ElementText("emptyprompt") : nullptr;
      if (prompt == nullptr) prompt = ChildText("emptyprompt");
      if (prompt != nullptr && !prompt->empty()) {
        static_cast<void>(
            ShowAdminMessage(Cell(), MessageKind::kWarning, Sheet()->ProductName(), *prompt));
      }
      return;
    }
    // A failed write keeps the old copy, which is then what the grid shows.
    if (result == AdminResult::kOk && !reply.empty()) {
      static_cast<void>(ReplaceFileAtomically(path, reply));
    }
  }

  // Each `cfgentry` parameter receives, at indices 1, 2, ..., the values of
  // its `from` names of each row, joined with blanks, and an empty value
  // after the last row to end the list.
  void StoreRows() {
    const XmlNode* cfgentry = Child("cfgentry");
    ReportGrid* grid = Grid();
    if (cfgentry == nullptr || grid == nullptr || Store() == nullptr) return;
    for (const XmlNode* parameter = cfgentry->FirstChild(); parameter != nullptr;
         parameter = parameter->NextSibling()) {
      const std::string* uid = parameter->Attribute("uid");
      const std::string* from = parameter->Attribute("from");
      if (parameter->Name() != "parameter" || uid == nullptr || from == nullptr) continue;
      std::vector<int> columns;
      for (const std::string& name : SplitTrimmed(*from, ",")) {
        columns.push_back(grid->ColumnOfData(name));
      }
      SettingAddress at = AddressOf(*uid);
      int index = 1;
      for (int row = 0; row < grid->RowCount(); ++row, ++index) {
        std::string value;
        for (int column : columns) {
          if (!value.empty()) value += ' ';
          value += grid->CellText(row, column);
        }
        at.index = index;
        static_cast<void>(SetString(*Store(), Root(), at, value));
      }
      at.index = index;
      static_cast<void>(SetString(*Store(), Root(), at, ""));
    }
  }
};

}  // namespace

std::unique_ptr<SettingControl> MakeCachedXmlListControl() {
  return std::make_unique<CachedXmlListControl>();
}

}  // namespace vossik
