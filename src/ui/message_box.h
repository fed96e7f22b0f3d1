// The one routine through which the settings window shows message boxes.
// Titles are the product name, a blank and a title word ("Admin") unless an
// explicit title is given. Tests install a hook that answers instead of a
// box being shown.
//
// Use on the user-interface thread only.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "base/message_kind.h"

class QWidget;

namespace vossik {

/// Answers a message instead of showing it: (kind, title, text) -> button.
using MessageHook =
    std::function<MessageAnswer(MessageKind, const std::string& title, const std::string& text)>;

/// Installs `hook` for every later message (an empty hook restores the
/// boxes) and returns the previous one.
MessageHook SetMessageHook(MessageHook hook);

/// "<product> <word>", the usual title.
std::string MessageTitle(std::string_view product_name, std::string_view word = "Admin");

/// Shows `text` with the icon and buttons of `kind` over `parent` (may be
/// null) and returns the button pressed. Information and warning boxes
/// answer kOk; questions kYes or kNo; the retry kinds kRetry or kCancel.
MessageAnswer ShowMessageBox(QWidget* parent, MessageKind kind, const std::string& title,
                             const std::string& text);

/// ShowMessageBox titled MessageTitle(product_name).
MessageAnswer ShowAdminMessage(QWidget* parent, MessageKind kind, std::string_view product_name,
                               const std::string& text);

}  // namespace vossik
