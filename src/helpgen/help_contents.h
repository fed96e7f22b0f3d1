// HelpContents builds the table of contents of the help project while the
// pages are written. It stays empty (and ignores every call) unless enabled:
// only the help project run has a contents file. Each page file is listed
// once, however often the pages that lead to it are written.
#pragma once

#include <set>
#include <string>
#include <string_view>

namespace vossik {

class HelpContents {
 public:
  /// Enables the contents and starts its text.
  void Start();
  bool Enabled() const { return enabled_; }

  /// Appends markup as it stands.
  void Append(std::string_view markup);

  /// Appends an entry naming a page: "<LI> <OBJECT ...>", name and local
  /// lines, "</OBJECT>\r\n".
  void AddEntry(std::string_view name, std::string_view file);

  /// True (and remembers `file`) the first time a file is offered.
  [[nodiscard]] bool ListOnce(std::string_view file);

  /// The whole contents file, closed with `footer`; disables the contents.
  std::string Finish(std::string_view footer);

 private:
  bool enabled_ = false;
  std::string text_;
  std::set<std::string, std::less<>> listed_;
};

/// The start shared by the contents and index files: the page head with the
/// HTML Help generator line, an empty running head, the site properties
/// object when `site_properties`, and "<UL>".
std::string HelpListHead(bool site_properties);

/// The "<param name=...>" line that names an entry, and the one that points at its file.
std::string HelpNameParam(std::string_view name);
std::string HelpLocalParam(std::string_view file);

}  // namespace vossik
