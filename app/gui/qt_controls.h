// The window's controls as the tasks see them.
#pragma once

#include <QObject>

#include "app/controls.h"

namespace linkmill {

class LinkTableModel;
class TextBox;

// Every operation runs on the UI thread through UiCall, so each is atomic
// with respect to the user and to every other task. The boxes, the list and
// ui must outlive every task that uses this object.
class QtControls : public Controls {
 public:
  QtControls(QObject* ui, TextBox& input, TextBox& log, LinkTableModel& rows);

  Text ReadInput() override;
  void WriteInput(const Text& text) override;
  void ResetLog() override;
  void AppendLog(const Text& message) override;
  int RowCount() override;
  int AppendRow() override;
  int AppendNumberedRow(const LinkRow& cells) override;
  void SetCell(int row, int column, const Text& text) override;
  Text GetCell(int row, int column) override;
  void ClearRows() override;

 private:
  QObject* ui_;
  TextBox& input_;
  TextBox& log_;
  LinkTableModel& rows_;
};

}  // namespace linkmill
