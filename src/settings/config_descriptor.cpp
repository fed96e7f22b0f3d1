#include "settings/config_descriptor.h"

#include "base/ascii_case.h"
#include "base/container_cipher.h"
#include "base/log_sink.h"

namespace vossik {

std::string ConfigDescriptor::FileNameFor(std::string_view base_name) {
  const std::string lowered = AsciiLowered(base_name);
  // An administration build ("ToolAdmin") reads the descriptor of the
  // program it administers.
  const std::size_t admin = lowered.rfind("admin");
  std::string name(base_name.substr(0, admin));
  return name + ".cfgml";
}

bool ConfigDescriptor::Load(std::string_view base_name, LogSink* log,
                            const std::vector<std::filesystem::path>& fallback_dirs) {
  const std::filesystem::path name = FileNameFor(base_name);
  std::filesystem::path file = name;
  std::error_code error;
  if (!std::filesystem::exists(file, error)) {
    for (const std::filesystem::path& dir : fallback_dirs) {
      if (std::filesystem::exists(dir / name, error)) {
        file = dir / name;
        break;
      }
    }
  }
  return LoadFile(file, log);
}

bool ConfigDescriptor::LoadFile(const std::filesystem::path& file, LogSink* log) {
  if (log) {
    log->Write(kLogConfig, kLogVerbose, "Reading configuration descriptor file " + file.string());
  }
  std::string xml;
  if (!ReadContainer(file, &xml)) return false;

  // Parsed aside so that a broken file leaves the tree in use untouched.
  auto document = std::make_unique<XmlDocument>();
  std::string message;
  if (document->Parse(xml, &message) != 0) {
    if (log && !message.empty()) log->Write(kLogError, kLogGeneral, message);
    return false;
  }
  document_ = std::move(document);
  return true;
}

namespace {

void CollectWizards(const XmlNode* node, std::vector<const XmlNode*>* found) {
  for (const XmlNode* child = node->FirstChild(); child != nullptr; child = child->NextSibling()) {
    if (child->Name() == "wizard") found->push_back(child);
    CollectWizards(child, found);
  }
}

}  // namespace

std::vector<const XmlNode*> DescriptorWizards(const XmlNode* root) {
  std::vector<const XmlNode*> wizards;
  if (root != nullptr) CollectWizards(root, &wizards);
  return wizards;
}

}  // namespace vossik
