// WindowMessageEvent carries one of the program's numbered window messages
// with its two parameters, so that a message keeps its number and meaning
// when it is sent or posted to a Qt widget.
#pragma once

#include <QEvent>
#include <cstdint>

namespace vossik {

class WindowMessageEvent : public QEvent {
 public:
  WindowMessageEvent(int message, std::uintptr_t first, std::intptr_t second)
      : QEvent(QEvent::Type(message)), first_(first), second_(second) {}

  int message() const { return static_cast<int>(type()); }
  std::uintptr_t first() const { return first_; }
  std::intptr_t second() const { return second_; }

 private:
  std::uintptr_t first_;
  std::intptr_t second_;
};

}  // namespace vossik
