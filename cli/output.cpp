#include "cli/output.h"

#include "text/text.h"

namespace linkmill {

namespace {

Text RowLine(const LinkRow& row) {
  Text line;
  for (int column = 0; column < kColumnCount; ++column) {
    if (column > 0) line += '\t';
    line += EscapeField(row[column]);
  }
  return line + "\n";
}

}  // namespace

Text EscapeField(std::string_view field) {
  Text out;
  out.reserve(field.size());
  for (char c : field) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      default:
        out += c;
    }
  }
  return out;
}

Text CopiedLinks(MemoryControls& controls) {
  Text links;
  for (const LinkRow& row : controls.Rows()) {
    if (TextLength(row[6]) >= 2) links += row[6] + "\r\n";
  }
  return links;
}

Text RenderOutput(MemoryControls& controls, Command command, OutputForm form) {
  Text out;
  switch (form) {
    case OutputForm::kControlText:
      return command == Command::kConvert ? CopiedLinks(controls) : controls.ReadInput();
    case OutputForm::kRows:
      for (const LinkRow& row : controls.Rows()) out += RowLine(row);
      return out;
    case OutputForm::kState:
      out = "input\t" + EscapeField(controls.ReadInput()) + "\n";
      for (const LinkRow& row : controls.Rows()) out += "row\t" + RowLine(row);
      for (const Text& message : controls.LogMessages())
        out += "log\t" + EscapeField(message) + "\n";
      return out;
  }
  return out;
}

}  // namespace linkmill
