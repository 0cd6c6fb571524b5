// Controls held in memory, guarded by one mutex: what the command-line tool
// and the tests run the tasks on.
#pragma once

#include <mutex>
#include <vector>

#include "app/controls.h"

namespace linkmill {

class MemoryControls : public Controls {
 public:
  explicit MemoryControls(Text input = {});

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

  // Snapshots for callers outside the tasks.
  std::vector<LinkRow> Rows();
  // The log messages, without stamps, one per line written.
  std::vector<Text> LogMessages();

 private:
  std::mutex mutex_;
  Text input_;
  std::vector<LinkRow> rows_;
  std::vector<Text> log_;
};

}  // namespace linkmill
