// ApplicationUi is how the application shows itself to the user: message
// boxes and the main dialog. The windowed program implements it with Qt;
// without a window, messages go to standard error.
#pragma once

#include <filesystem>
#include <string>

#include "base/message_kind.h"

namespace vossik {

class Application;

class ApplicationUi {
 public:
  virtual ~ApplicationUi() = default;

  virtual MessageAnswer ShowMessage(MessageKind kind, const std::string& caption,
                                    const std::string& text) = 0;

  /// Runs the main dialog until it closes. False when the product has none.
  [[nodiscard]] virtual bool RunMainDialog(Application& application) = 0;

  /// Asks the copy of the program that listens on `socket` to bring its
  /// window to the front. False when it cannot be reached (or, as here,
  /// when this user interface has no windows).
  [[nodiscard]] virtual bool RaiseRunningCopy(const std::filesystem::path& socket) {
    static_cast<void>(socket);
    return false;
  }
};

/// Prints messages to standard error and has no main dialog.
class ConsoleUi : public ApplicationUi {
 public:
  MessageAnswer ShowMessage(MessageKind kind, const std::string& caption,
                            const std::string& text) override;
  bool RunMainDialog(Application& application) override;
};

}  // namespace vossik
