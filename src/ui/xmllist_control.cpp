// `xmllist`: a read-only table of the rows of an XML file. The `file`
// element names the file (under the sheet's working folder), the `entry`
// element the row elements; the root's `total` attribute, when the file
// holds one batch of a longer list, is the number of rows there are. Only
// the grid's preferences are saved.
#include "ui/xmllist_control.h"

#include <QApplication>
#include <algorithm>

#include "base/file_io.h"
#include "ui/control_catalogue.h"
#include "widgets/grid_rules.h"
#include "widgets/report_grid.h"
#include "xml/xml_document.h"

namespace vossik {

std::string LocalDataPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (!path.empty() && path.back() != '/') path += '/';
  path += name;
  return path;
}

bool FillGridFromXmlFile(ReportGrid& grid, const std::string& path, std::string_view entry,
                         BatchWindow& batch) {
  batch.total = 0;
  std::string text;
  XmlDocument document;
  // A file that cannot be read or parsed leaves the grid empty.
  if (entry.empty() || !ReadWholeFile(path, &text) || document.Parse(text) != 0 ||
      document.Root() == nullptr) {
    return true;
  }
  const int rows = grid.RowsFromXml(*document.Root(), entry);
  const std::string* total = document.Root()->Attribute("total");
  batch.total = total != nullptr ? std::max<long>(rows, LeadingNumber(*total)) : rows;
  // A file that holds part of a longer list holds the batch itself.
  return batch.total == rows;
}

namespace {

class XmlListControl : public DataGridControl {
 protected:
  bool FillGrid(ReportGrid& grid, BatchWindow& batch) override {
    const std::string* file = ChildText("file");
    const std::string* entry = ChildText("entry");
    if (file == nullptr || entry == nullptr) {
      batch.total = 0;
      return true;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool every_row =
        FillGridFromXmlFile(grid, LocalDataPath(WorkingFolder(), *file), *entry, batch);
    QApplication::restoreOverrideCursor();
    return every_row;
  }

  bool KeepsShowEntry() const override { return true; }
};

}  // namespace

std::unique_ptr<SettingControl> MakeXmlListControl() { return std::make_unique<XmlListControl>(); }

}  // namespace vossik
