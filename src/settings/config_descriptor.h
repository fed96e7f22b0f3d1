// ConfigDescriptor is the program's configuration descriptor: the XML tree
// that declares every setting, read from a key-set-3 container named after
// the program. Its root is handed to everything that resolves a setting.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "xml/xml_document.h"

namespace vossik {

class LogSink;

class ConfigDescriptor {
 public:
  /// The descriptor file of a program: its base name cut at the last "admin"
  /// (any case), followed by ".cfgml". "ToolAdmin" and "Tool" give "Tool.cfgml".
  static std::string FileNameFor(std::string_view base_name);

  /// Loads the descriptor of `base_name` from the current directory, or, when
  /// it is not there, from the first of `fallback_dirs` that has it. Logs
  /// "Reading configuration descriptor file %s" (Config, Verbose) to `log`
  /// when given. Replaces the previous tree. False when the file is missing,
  /// is not a container, or does not parse; the parser's message is then
  /// logged as an error.
  [[nodiscard]] bool Load(std::string_view base_name, LogSink* log = nullptr,
                          const std::vector<std::filesystem::path>& fallback_dirs = {});

  /// Loads from a named container file, logging as Load does. On failure
  /// the previous tree stays as it was.
  [[nodiscard]] bool LoadFile(const std::filesystem::path& file, LogSink* log = nullptr);

  /// The root element, or nullptr before a successful load.
  const XmlNode* Root() const { return document_->Root(); }
  const XmlDocument& Document() const { return *document_; }

 private:
  std::unique_ptr<XmlDocument> document_ = std::make_unique<XmlDocument>();
};

/// Every `wizard` element below `root`, depth-first in document order (none
/// for a null root). The first is the wizard shown when no uid matches.
std::vector<const XmlNode*> DescriptorWizards(const XmlNode* root);

}  // namespace vossik
