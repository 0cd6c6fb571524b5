// The seam between the background tasks and the window: exactly the
// operations a task may use. Each call is atomic; a sequence of calls is not.
#pragma once

#include <array>
#include <cstdint>

#include "text/types.h"

namespace linkmill {

inline constexpr int kColumnCount = 7;

// One row of the link list, by column: serial, type, file name, extension,
// size, hash, link.
using LinkRow = std::array<Text, kColumnCount>;

class Controls {
 public:
  virtual ~Controls() = default;

  // The whole text of the input box, and its replacement.
  virtual Text ReadInput() = 0;
  virtual void WriteInput(const Text& text) = 0;

  // The log box becomes one fresh "初始化完毕......" line.
  virtual void ResetLog() = 0;
  // Appends "\r\n" + stamp + "==>" + message at the very end of the log.
  virtual void AppendLog(const Text& message) = 0;

  // Rows and columns count from 0.
  virtual int RowCount() = 0;
  // Adds an empty row after the last one and returns its index.
  virtual int AppendRow() = 0;
  // Adds a row after the last one whose column 0 is its serial number (index
  // + 1) and whose other columns are cells[1..6]; returns its index. One step,
  // so that a big paste does not cost seven round trips per row.
  virtual int AppendNumberedRow(const LinkRow& cells) = 0;
  // A row or column that does not exist is left alone.
  virtual void SetCell(int row, int column, const Text& text) = 0;
  // Empty for a row or column that does not exist.
  virtual Text GetCell(int row, int column) = 0;
  virtual void ClearRows() = 0;
};

}  // namespace linkmill
