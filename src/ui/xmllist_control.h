// What `xmllist` and `cachedxmllist` share: the path of a local data file
// and the filling of a grid from the rows of an XML file.
#pragma once

#include <string>
#include <string_view>

#include "ui/data_grid.h"

namespace vossik {

class ReportGrid;

/// `name` under `folder`, joined with "/" unless the folder ends with one.
std::string LocalDataPath(std::string_view folder, std::string_view name);

/// Adds a row per `entry` element of the XML file at `path` and sets the
/// batch's total: the root's `total` attribute, else the number of rows. A
/// file that cannot be read or parsed adds nothing (total 0). True when the
/// rows are the whole list, false when the file held one batch of it.
bool FillGridFromXmlFile(ReportGrid& grid, const std::string& path, std::string_view entry,
                         BatchWindow& batch);

}  // namespace vossik
