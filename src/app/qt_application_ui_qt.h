// QtApplicationUi shows the application with Qt: message boxes and the main
// dialog. The QApplication is created on first use, so a run that ends
// before showing anything (a second copy of the program, for one) needs no
// display.
//
// Construct and use on the program's main thread; `argc` and `argv` must
// outlive the object, as QApplication requires.
#pragma once

#include <memory>
#include <string>

#include "app/application_ui.h"
#include "base/product_identity.h"

class QApplication;

namespace vossik {

class QtApplicationUi : public ApplicationUi {
 public:
  /// `identity` names the program to the desktop (application name, icon).
  QtApplicationUi(int& argc, char** argv, ProductIdentity identity);
  ~QtApplicationUi() override;
  QtApplicationUi(const QtApplicationUi&) = delete;
  QtApplicationUi& operator=(const QtApplicationUi&) = delete;

  /// A box with the icon and buttons of `kind`, titled `caption`.
  MessageAnswer ShowMessage(MessageKind kind, const std::string& caption,
                            const std::string& text) override;

  /// Runs the main dialog modally until it closes, raising it when a second
  /// copy asks; always true.
  bool RunMainDialog(Application& application) override;

  bool RaiseRunningCopy(const std::filesystem::path& socket) override;

 private:
  void EnsureApplication();

  int& argc_;
  char** argv_;
  ProductIdentity identity_;
  std::unique_ptr<QApplication> qt_;
};

}  // namespace vossik
