// A multi-line edit box that holds GBK text.
#pragma once

#include <QPlainTextEdit>

#include "text/types.h"

namespace linkmill {

// The text written into the box reads back byte for byte as long as nobody
// edits it, whatever it holds (bytes that are no GBK, "\r\n", a lone "\r" or
// "\n"). Once the user has edited the box, its text is read from the screen,
// each line break as "\r\n".
class TextBox : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit TextBox(QWidget* parent = nullptr);

  Text GetText() const;
  // Replaces the whole text; the caret goes to the start and the undo history is emptied.
  void SetText(const Text& text);
  // Puts the caret at the very end, inserts text there and scrolls it into
  // view. The insertion cannot be undone, and it empties the undo history.
  void AppendText(const Text& text);

 private:
  void OnContentsChanged();

  // The box's text while edited_ is false.
  mutable Text text_;
  mutable bool edited_ = false;
  // Set while this class itself changes the document.
  bool writing_ = false;
};

}  // namespace linkmill
