// HelpRun is the state one generator run shares between the writers of its
// pages: the descriptor, the wording of the guide kind, the footer, the
// keyword index and contents being collected, and the output folder.
#pragma once

#include <string>
#include <string_view>

#include "helpgen/guide_wording.h"
#include "helpgen/help_contents.h"
#include "helpgen/help_folder.h"
#include "helpgen/help_page_writer.h"
#include "helpgen/keyword_index.h"

namespace vossik {

class XmlNode;

struct HelpRun {
  const XmlNode* root = nullptr;  // the descriptor root; not owned
  std::string product_name;
  GuideWording wording;
  std::string footer;
  KeywordIndex keywords;  // collecting only in the help project run
  HelpContents contents;  // enabled only in the help project run
  HelpFolder folder;

  /// Writes a framed page into the output folder.
  void WritePage(std::string_view file, std::string_view title, std::string_view running_head,
                 std::string_view heading, std::string_view body) {
    folder.Write(file, HelpPage(title, running_head, heading, body, footer));
  }
};

}  // namespace vossik
