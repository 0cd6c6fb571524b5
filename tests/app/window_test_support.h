// What the window tests share: the application object, waiting on the event
// loop, and reading message boxes.
#pragma once

#include <QString>
#include <functional>

#include "text/types.h"

namespace linkmill {

// Creates the one QApplication of the test program (offscreen unless
// QT_QPA_PLATFORM says otherwise) on first use.
void EnsureApplication();

// Runs the event loop until done() holds; false when it still does not hold
// after a generous guard time (a hang guard, not a measure of speed).
bool RunEventsUntil(const std::function<bool()>& done);

// What a message box showed.
struct ShownBox {
  bool shown = false;
  QString title;
  QString text;
  bool has_icon = true;
  int button_count = 0;
};

// Runs action (which opens a modal message box), and while the box is open
// calls while_open until it returns true; then closes the box with its OK
// button and returns what the box showed.
ShownBox RunWithMessageBox(
    const std::function<void()>& action,
    const std::function<bool()>& while_open = [] { return true; });

// GBK text from UTF-8 text, for readable expectations.
Text Gbk(const char8_t* utf8);

}  // namespace linkmill
