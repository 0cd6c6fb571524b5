#include "app/memory_controls.h"

#include "app/log.h"
#include "text/text.h"

namespace linkmill {

namespace {

bool IsCell(const std::vector<LinkRow>& rows, int row, int column) {
  return row >= 0 && static_cast<std::size_t>(row) < rows.size() && column >= 0 &&
         column < kColumnCount;
}

}  // namespace

MemoryControls::MemoryControls(Text input) : input_(std::move(input)) {}

Text MemoryControls::ReadInput() {
  std::lock_guard lock(mutex_);
  return input_;
}

void MemoryControls::WriteInput(const Text& text) {
  std::lock_guard lock(mutex_);
  input_ = text;
}

void MemoryControls::ResetLog() {
  std::lock_guard lock(mutex_);
  log_.assign(1, Text(kLogReady));
}

void MemoryControls::AppendLog(const Text& message) {
  std::lock_guard lock(mutex_);
  log_.push_back(message);
}

int MemoryControls::RowCount() {
  std::lock_guard lock(mutex_);
  return static_cast<int>(rows_.size());
}

int MemoryControls::AppendRow() {
  std::lock_guard lock(mutex_);
  rows_.emplace_back();
  return static_cast<int>(rows_.size()) - 1;
}

int MemoryControls::AppendNumberedRow(const LinkRow& cells) {
  std::lock_guard lock(mutex_);
  const int row = static_cast<int>(rows_.size());
  rows_.push_back(cells);
  rows_.back()[0] = IntToText(row + 1);
  return row;
}

void MemoryControls::SetCell(int row, int column, const Text& text) {
  std::lock_guard lock(mutex_);
  if (IsCell(rows_, row, column)) rows_[row][column] = text;
}

Text MemoryControls::GetCell(int row, int column) {
  std::lock_guard lock(mutex_);
  return IsCell(rows_, row, column) ? rows_[row][column] : Text();
}

void MemoryControls::ClearRows() {
  std::lock_guard lock(mutex_);
  rows_.clear();
}

std::vector<LinkRow> MemoryControls::Rows() {
  std::lock_guard lock(mutex_);
  return rows_;
}

std::vector<Text> MemoryControls::LogMessages() {
  std::lock_guard lock(mutex_);
  return log_;
}

}  // namespace linkmill
