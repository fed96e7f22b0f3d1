// The kinds of message box the program shows and the answers they give.
// The application's user interface, the settings window and the console
// all speak these.
#pragma once

namespace vossik {

/// The kinds of message box, with the buttons each offers.
enum class MessageKind : int {
  kInformation = 0,   // OK
  kQuestion = 1,      // Yes, No
  kWarning = 2,       // OK
  kWarningRetry = 3,  // Retry, Cancel
  kError = 4,         // OK
  kErrorRetry = 5,    // Retry, Cancel
};

/// The button that closed a message box.
enum class MessageAnswer : int { kOk, kYes, kNo, kRetry, kCancel };

}  // namespace vossik
