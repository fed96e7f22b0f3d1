// GuidePages documents the settings window: an overview page per sheet, a
// page per settings page with every setting on it, and the lists and pop-up
// windows that settings open (whose pages are documented the same way,
// nested). It also collects the guide index and the contents entries.
//
// A page that is already being documented further up the same path (a
// definition that leads back to it) is not documented again there, so a
// descriptor whose definitions refer to each other cannot recurse without
// end. The run must outlive the object; not copyable because the entry
// writer calls back into it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "helpgen/parameter_entry.h"

namespace vossik {

struct HelpRun;
class XmlNode;

class GuidePages {
 public:
  explicit GuidePages(HelpRun* run);
  GuidePages(const GuidePages&) = delete;
  GuidePages& operator=(const GuidePages&) = delete;

  /// Writes "admin-NAME.html" for `sheet` and the pages found under it,
  /// adds its line to the guide index and its entries to the contents.
  void WriteSheet(const XmlNode* sheet);

  /// Writes "admin-index.html" with a line per sheet written so far.
  void WriteGuideIndex();

 private:
  /// Documents `page` as a page of `sheet`: the link row goes to `links`.
  void DocumentPage(const XmlNode* page, const XmlNode* sheet, std::string* links);
  [[nodiscard]] bool OnPath(const XmlNode* page) const;
  /// The pages of the first `sheet` under `parent`, each in its own table.
  void AppendSheetPages(const XmlNode* parent, std::string* out);

  // The documentation of a setting's `definition` element.
  void DocumentDefinition(const XmlNode* definition, std::string_view control, std::string* out);
  void AppendIcons(const XmlNode* icons, std::string* out) const;
  void AppendHeadings(const XmlNode* headings, std::string* out) const;
  void AppendActions(const XmlNode* definition, const XmlNode* actions, std::string* out);
  void AppendMenuRow(const XmlNode* definition, const XmlNode* option, std::string* out);
  /// False when `option` opens no entry viewer.
  [[nodiscard]] bool AppendEntryViewer(const XmlNode* definition, const XmlNode* option,
                                       std::string* out);

  HelpRun* run_;
  ParameterEntryWriter entries_;
  std::string guide_index_;
  std::vector<const XmlNode*> path_;  // the pages being documented, outermost first
};

}  // namespace vossik
