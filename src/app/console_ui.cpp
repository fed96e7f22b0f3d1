#include <iostream>

#include "app/application_ui.h"

namespace vossik {

MessageAnswer ConsoleUi::ShowMessage(MessageKind kind, const std::string&,
                                     const std::string& text) {
  std::cerr << text << std::endl;
  // Nobody can answer: questions are declined, retries cancelled.
  switch (kind) {
    case MessageKind::kQuestion:
      return MessageAnswer::kNo;
    case MessageKind::kWarningRetry:
    case MessageKind::kErrorRetry:
      return MessageAnswer::kCancel;
    default:
      return MessageAnswer::kOk;
  }
}

bool ConsoleUi::RunMainDialog(Application&) { return false; }

}  // namespace vossik
