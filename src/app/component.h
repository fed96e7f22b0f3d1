// Component is a part of a product that is configured from its own section
// of the settings, can be switched off there, and writes its own log. The
// application itself is the first component; products may add more.
#pragma once

#include <memory>
#include <string>

#include "log/log.h"

namespace vossik {

class SettingsStore;
class XmlNode;

class Component {
 public:
  /// The component's log is named `name` and written to logs/NAME.log.
  Component(std::string name, std::string section_uid);
  virtual ~Component();
  Component(const Component&) = delete;
  Component& operator=(const Component&) = delete;

  /// Reads the component's settings; false when it cannot run with them.
  [[nodiscard]] virtual bool Configure(SettingsStore& settings, const XmlNode* descriptor);
  /// Called instead of Configure when the component's `mainswitch` is off.
  virtual void Disable() {}
  /// Starts the component's work; `statistics` outlives the component.
  virtual void Start(SettingsStore* statistics) { statistics_ = statistics; }

  const std::string& Name() const { return name_; }
  const std::string& SectionUid() const { return section_uid_; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled) { enabled_ = enabled; }
  Log& ComponentLog() { return log_; }

 protected:
  SettingsStore* statistics_ = nullptr;

 private:
  std::string name_;
  std::string section_uid_;
  bool enabled_ = true;
  Log log_;
};

}  // namespace vossik
