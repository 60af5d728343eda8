#pragma once

#include <QAbstractTableModel>
#include <QTableView>

#include "model/state.h"

namespace brenmoor {

// The section grid's cells, read from the records on demand (a view shows a
// screenful at a time, so 32,767 sections cost nothing until they are seen).
// The titles and the row numbers are the headers of the view, so they stay in
// view when it scrolls: model column c is grid column c + 1 and model row r
// grid row r + 1. At start-up the grid is blank, with room for 9 sections;
// after the first import (or an attempt at one) it shows the titles and the
// imported sections, none when the import was cancelled or refused.
class SectionGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  SectionGridModel(const BrenmoorState& state, char decimal_separator, QObject* parent = nullptr);

  // Shows what the last import left in the state.
  void ShowImport();
  // "NUM" once the titles are shown, else empty.
  QString CornerText() const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  const BrenmoorState& state_;
  char decimal_separator_;
  bool shows_import_ = false;
};

// StringGrid1: fixed 50-pixel columns and 25-pixel rows (24 and the grid
// line), nothing editable, selectable, resizable or movable, the title row and
// the number column fixed at the top and left.
class SectionGrid : public QTableView {
  Q_OBJECT

 public:
  explicit SectionGrid(QWidget* parent = nullptr);
  void setModel(QAbstractItemModel* model) override;

 signals:
  // A mouse button went down on grid row `row` (0 the title row, r section
  // r), as the view's own hit test finds it: scroll position and row height
  // count, Y alone does not. Presses below the last row or on the scroll bars
  // send nothing. The keyboard sends it too when it moves the current cell to
  // another row (arrow keys, Page Up/Down, Home/End to the first and last
  // row), so that choosing a section by keyboard is the same as a click.
  void MouseDown(int row);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void PaintCorner(QWidget* corner);
  void FitLongTitles();
  int GridRowAt(QObject* watched, QPoint pos) const;

  QWidget* corner_ = nullptr;
};

}  // namespace brenmoor
