// The rows of the link list, as GBK text, behind the list view.
#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "app/controls.h"

namespace linkmill {

class LinkTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit LinkTableModel(QObject* parent = nullptr);

  // The list operations of the tasks. They act on the rows at once; the view
  // learns of appended rows in one batch when the event loop next runs, so
  // that a hundred thousand rows do not cost a hundred thousand view updates.
  int RowCount() const;
  int AppendRow();
  int AppendNumberedRow(const LinkRow& cells);
  void SetCell(int row, int column, const Text& text);
  Text GetCell(int row, int column) const;
  void ClearRows();

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  bool IsCell(int row, int column) const;
  int Append(LinkRow cells);
  void ShowAppendedRows();

  std::vector<LinkRow> rows_;
  // The rows the view knows of: the first shown_ of rows_.
  int shown_ = 0;
  bool show_pending_ = false;
};

}  // namespace linkmill
