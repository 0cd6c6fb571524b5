#include "app/gui/qt_controls.h"

#include "app/gui/link_table_model.h"
#include "app/gui/text_box.h"
#include "app/gui/ui_call.h"
#include "app/log.h"

namespace linkmill {

QtControls::QtControls(QObject* ui, TextBox& input, TextBox& log, LinkTableModel& rows)
    : ui_(ui), input_(input), log_(log), rows_(rows) {}

Text QtControls::ReadInput() {
  return UiCall(ui_, [this] { return input_.GetText(); });
}

void QtControls::WriteInput(const Text& text) {
  UiCall(ui_, [this, &text] { input_.SetText(text); });
}

void QtControls::ResetLog() {
  // The stamp is taken on the UI thread, when the line is written.
  UiCall(ui_, [this] { log_.SetText(FirstLogLine()); });
}

void QtControls::AppendLog(const Text& message) {
  UiCall(ui_, [this, &message] { log_.AppendText(LogLine(message)); });
}

int QtControls::RowCount() {
  return UiCall(ui_, [this] { return rows_.RowCount(); });
}

int QtControls::AppendRow() {
  return UiCall(ui_, [this] { return rows_.AppendRow(); });
}

int QtControls::AppendNumberedRow(const LinkRow& cells) {
  return UiCall(ui_, [this, &cells] { return rows_.AppendNumberedRow(cells); });
}

void QtControls::SetCell(int row, int column, const Text& text) {
  UiCall(ui_, [this, row, column, &text] { rows_.SetCell(row, column, text); });
}

Text QtControls::GetCell(int row, int column) {
  return UiCall(ui_, [this, row, column] { return rows_.GetCell(row, column); });
}

void QtControls::ClearRows() {
  UiCall(ui_, [this] { rows_.ClearRows(); });
}

}  // namespace linkmill
