// ParameterEntryWriter documents the settings of one descriptor element (a
// configuration section, or a sheet, page or group of the settings window)
// as a definition list: heading, description, type, range or options,
// example, default and, on reference pages, links to related settings.
//
// Reference pages document a setting as the configuration file holds it;
// guide pages document it as the settings window shows it, so there the
// page's own parameter element overrides the definition and lists or pop-up
// windows are documented too (through the definition documenter).
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace vossik {

class KeywordIndex;
class XmlNode;
struct ParameterRef;

enum class HelpEntryStyle { kReference, kGuide };

/// The page the entries are written on; setting names become its keywords.
struct HelpPageRef {
  std::string_view title;
  std::string_view file;
};

/// A setting name with its number placeholders ("%ld", "%d") filled: the
/// first with `first`, any later one with `second`. "%%" reads as "%".
std::string FillNumberPlaceholders(std::string_view name, std::string_view first,
                                   std::string_view second);

/// The name as an entry heading shows it: a numbered name gets an italic x
/// (and y when sub-numbered) in place of its placeholders.
std::string DisplayName(std::string_view name, bool numbered, bool subnumbered);

class ParameterEntryWriter {
 public:
  /// Appends the documentation of a `definition` element of a setting whose
  /// control is `control`.
  using DefinitionDocumenter =
      std::function<void(const XmlNode* definition, std::string_view control, std::string* out)>;

  /// `root` is the descriptor root; `keywords` receives the setting names
  /// (it is not owned and must outlive the writer).
  ParameterEntryWriter(const XmlNode* root, HelpEntryStyle style, KeywordIndex* keywords);

  /// Guide style only; without one, definitions are left out.
  void SetDefinitionDocumenter(DefinitionDocumenter documenter) {
    documenter_ = std::move(documenter);
  }

  /// Appends one entry for every direct `parameter` child of `element` that
  /// has a name and is not static text.
  void AppendEntries(const XmlNode* element, const HelpPageRef& page, std::string* out) const;

 private:
  void AppendEntry(const ParameterRef& ref, const HelpPageRef& page, std::string* out) const;
  void AppendTypeRows(const ParameterRef& ref, std::string_view control,
                      std::string_view unit_suffix, std::string* out) const;
  void AppendExample(const ParameterRef& ref, std::string_view name, std::string_view unit_suffix,
                     std::string* out) const;
  void AppendSeeAlso(std::string_view see_also, std::string* out) const;

  const XmlNode* root_;
  HelpEntryStyle style_;
  KeywordIndex* keywords_;
  DefinitionDocumenter documenter_;
};

}  // namespace vossik
