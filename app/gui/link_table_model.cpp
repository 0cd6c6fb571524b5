#include "app/gui/link_table_model.h"

#include <QTimer>
#include <array>
#include <chrono>

#include "app/gui/gbk_codec.h"
#include "text/text.h"

namespace linkmill {

namespace {

// How long appended rows wait before the view learns of them: the view
// catches up a few times a second instead of once per row.
constexpr std::chrono::milliseconds kShowInterval{50};

const std::array<QString, kColumnCount>& ColumnTitles() {
  static const std::array<QString, kColumnCount> titles = {
      QStringLiteral("序"),   QStringLiteral("类型"), QStringLiteral("文件名"),
      QStringLiteral("后缀"), QStringLiteral("大小"), QStringLiteral("哈希值"),
      QStringLiteral("地址"),
  };
  return titles;
}

}  // namespace

LinkTableModel::LinkTableModel(QObject* parent) : QAbstractTableModel(parent) {}

bool LinkTableModel::IsCell(int row, int column) const {
  return row >= 0 && static_cast<std::size_t>(row) < rows_.size() && column >= 0 &&
         column < kColumnCount;
}

int LinkTableModel::RowCount() const { return static_cast<int>(rows_.size()); }

int LinkTableModel::Append(LinkRow cells) {
  const int row = RowCount();
  rows_.push_back(std::move(cells));
  if (!show_pending_) {
    show_pending_ = true;
    QTimer::singleShot(kShowInterval, this, &LinkTableModel::ShowAppendedRows);
  }
  return row;
}

int LinkTableModel::AppendRow() { return Append(LinkRow()); }

int LinkTableModel::AppendNumberedRow(const LinkRow& cells) {
  LinkRow row = cells;
  row[0] = IntToText(RowCount() + 1);
  return Append(std::move(row));
}

void LinkTableModel::SetCell(int row, int column, const Text& text) {
  if (!IsCell(row, column)) return;
  rows_[row][column] = text;
  if (row < shown_) {
    const QModelIndex cell = index(row, column);
    emit dataChanged(cell, cell, {Qt::DisplayRole});
  }
}

Text LinkTableModel::GetCell(int row, int column) const {
  return IsCell(row, column) ? rows_[row][column] : Text();
}

void LinkTableModel::ClearRows() {
  beginResetModel();
  std::vector<LinkRow>().swap(rows_);
  shown_ = 0;
  endResetModel();
}

void LinkTableModel::ShowAppendedRows() {
  show_pending_ = false;
  const int count = RowCount();
  if (count <= shown_) return;
  beginInsertRows(QModelIndex(), shown_, count - 1);
  shown_ = count;
  endInsertRows();
}

int LinkTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shown_;
}

int LinkTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant LinkTableModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= shown_ ||
      !IsCell(index.row(), index.column())) {
    return {};
  }
  return GbkToUnicode(rows_[index.row()][index.column()]);
}

QVariant LinkTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= kColumnCount) {
    return {};
  }
  return ColumnTitles()[section];
}

Qt::ItemFlags LinkTableModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

}  // namespace linkmill
