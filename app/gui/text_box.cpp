#include "app/gui/text_box.h"

#include <QTextDocument>

#include "app/gui/gbk_codec.h"
#include "app/gui/hidden_selection.h"

namespace linkmill {

TextBox::TextBox(QWidget* parent) : QPlainTextEdit(parent) {
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  HideSelectionWithoutFocus(this);
  connect(document(), &QTextDocument::contentsChanged, this, &TextBox::OnContentsChanged);
}

void TextBox::OnContentsChanged() {
  if (writing_ || edited_) return;
  edited_ = true;
  Text().swap(text_);
}

Text TextBox::GetText() const {
  if (edited_) {
    // Blocks are separated by U+2029, soft line breaks (Shift+Enter) are U+2028.
    QString raw = document()->toRawText();
    raw.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    raw.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    // Text copied from web pages has no-break spaces where spaces stand; GBK
    // has no such character, and as a plain space it still ends a link.
    raw.replace(QChar::Nbsp, QLatin1Char(' '));
    text_ = UnicodeToGbk(raw);
    edited_ = false;
  }
  return text_;
}

void TextBox::SetText(const Text& text) {
  writing_ = true;
  setPlainText(GbkToUnicode(text));
  writing_ = false;
  text_ = text;
  edited_ = false;
}

void TextBox::AppendText(const Text& text) {
  QTextDocument* doc = document();
  QTextCursor end(doc);
  end.movePosition(QTextCursor::End);
  writing_ = true;
  doc->setUndoRedoEnabled(false);
  end.insertText(GbkToUnicode(text));
  doc->setUndoRedoEnabled(true);
  writing_ = false;
  if (!edited_) text_ += text;
  setTextCursor(end);
  ensureCursorVisible();
}

}  // namespace linkmill
