// Views whose selection shows only while they have the focus.
#pragma once

#include <QPalette>
#include <QWidget>

namespace linkmill {

inline void HideSelectionWithoutFocus(QWidget* widget) {
  QPalette colours = widget->palette();
  colours.setColor(QPalette::Inactive, QPalette::Highlight,
                   colours.color(QPalette::Inactive, QPalette::Base));
  colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                   colours.color(QPalette::Inactive, QPalette::Text));
  widget->setPalette(colours);
}

}  // namespace linkmill
