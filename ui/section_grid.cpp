#include "ui/section_grid.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionHeader>
#include <algorithm>

#include "report/figures.h"
#include "ui/grid_cells.h"

namespace brenmoor {
namespace {

constexpr int kStartRows = 9;  // blank sections under the blank title row
constexpr int kColumnWidth = 50;
constexpr int kRowPitch = 25;  // 24-pixel row and its 1-pixel grid line

}  // namespace

SectionGridModel::SectionGridModel(const BrenmoorState& state, char decimal_separator,
                                   QObject* parent)
    : QAbstractTableModel(parent), state_(state), decimal_separator_(decimal_separator) {}

void SectionGridModel::ShowImport() {
  beginResetModel();
  shows_import_ = true;
  endResetModel();
}

QString SectionGridModel::CornerText() const {
  return shows_import_ ? QString::fromLatin1(kGridTitles[0]) : QString();
}

int SectionGridModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return shows_import_ ? state_.imported_count : kStartRows;
}

int SectionGridModel::columnCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return (shows_import_ ? GridColumnCount(state_) : kGridColumns) - 1;
}

QVariant SectionGridModel::data(const QModelIndex& index, int role) const {
  if (role == Qt::TextAlignmentRole) return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
  if (role != Qt::DisplayRole || !shows_import_ || !index.isValid()) return {};
  return Shown(GridCellText(state_, index.column() + 1, index.row() + 1, decimal_separator_));
}

QVariant SectionGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || !shows_import_) return {};
  if (orientation == Qt::Horizontal) {
    return section >= 0 && section + 1 < GridColumnCount(state_)
               ? QString::fromLatin1(GridCellText(state_, section + 1, 0, decimal_separator_))
               : QVariant();
  }
  return Shown(GridCellText(state_, 0, section + 1, decimal_separator_));
}

Qt::ItemFlags SectionGridModel::flags(const QModelIndex& index) const {
  return index.isValid() ? Qt::ItemIsEnabled : Qt::NoItemFlags;
}

SectionGrid::SectionGrid(QWidget* parent) : QTableView(parent) {
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::NoSelection);
  setWordWrap(false);
  // A long number is cut at the cell's edge, as in a string grid, not elided.
  setTextElideMode(Qt::ElideNone);
  setCornerButtonEnabled(false);
  // Tab moves on to the next control, as in the rest of the window.
  setTabKeyNavigation(false);
  for (QHeaderView* header : {horizontalHeader(), verticalHeader()}) {
    header->setMinimumSectionSize(1);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setSectionsMovable(false);
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->viewport()->installEventFilter(this);
  }
  horizontalHeader()->setDefaultSectionSize(kColumnWidth);
  horizontalHeader()->setFixedHeight(kRowPitch);
  verticalHeader()->setDefaultSectionSize(kRowPitch);
  verticalHeader()->setFixedWidth(kColumnWidth);
  viewport()->installEventFilter(this);
  // The corner above the row numbers is a button of the view's own; it gets
  // the title of the number column painted over it.
  corner_ = findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
  if (corner_ != nullptr) corner_->installEventFilter(this);
}

void SectionGrid::setModel(QAbstractItemModel* model) {
  QTableView::setModel(model);
  // The corner shows a title only after an import; nothing else repaints it.
  if (model != nullptr && corner_ != nullptr) {
    connect(model, &QAbstractItemModel::modelReset, corner_, qOverload<>(&QWidget::update));
  }
  if (model != nullptr) {
    connect(model, &QAbstractItemModel::modelReset, this, &SectionGrid::FitLongTitles);
  }
}

void SectionGrid::FitLongTitles() {
  // The table's own columns keep the form's 50 pixels; the stirrup columns
  // after them get the room for their longer titles to be read.
  QHeaderView* header = horizontalHeader();
  const QFontMetrics metrics(header->font());
  for (int c = kGridColumns - 1; c < model()->columnCount(); ++c) {
    const QString title = model()->headerData(c, Qt::Horizontal).toString();
    const int wanted = metrics.horizontalAdvance(title) + 2 * metrics.averageCharWidth();
    header->resizeSection(c, std::max(kColumnWidth, wanted));
  }
}

int SectionGrid::GridRowAt(QObject* watched, QPoint pos) const {
  if (watched == viewport()) {
    const int row = rowAt(pos.y());
    return row < 0 ? -1 : row + 1;
  }
  if (watched == verticalHeader()->viewport()) {
    const int row = verticalHeader()->logicalIndexAt(pos.y());
    return row < 0 ? -1 : row + 1;
  }
  return 0;  // the title row or the corner
}

bool SectionGrid::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      const int row = GridRowAt(watched, static_cast<QMouseEvent*>(event)->position().toPoint());
      if (row >= 0) emit MouseDown(row);
      break;
    }
    case QEvent::Paint:
      if (watched == corner_) {
        PaintCorner(corner_);
        return true;
      }
      break;
    default:
      break;
  }
  return QTableView::eventFilter(watched, event);
}

void SectionGrid::keyPressEvent(QKeyEvent* event) {
  const int before = currentIndex().row();
  const bool home_or_end = (event->key() == Qt::Key_Home || event->key() == Qt::Key_End) &&
                           event->modifiers() == Qt::NoModifier;
  // In a table Home and End go along the row; here rows are what is chosen.
  if (home_or_end && model() != nullptr && model()->rowCount() > 0) {
    const int row = event->key() == Qt::Key_Home ? 0 : model()->rowCount() - 1;
    setCurrentIndex(model()->index(row, std::max(0, currentIndex().column())));
    event->accept();
  } else {
    QTableView::keyPressEvent(event);
  }
  const QModelIndex now = currentIndex();
  if (now.isValid() && now.row() != before) emit MouseDown(now.row() + 1);
}

void SectionGrid::PaintCorner(QWidget* corner) {
  QStyleOptionHeader option;
  option.initFrom(corner);
  // The corner button is disabled (it would select everything); its title
  // should still read like the other titles.
  option.state |= QStyle::State_Enabled;
  option.palette = palette();
  option.rect = corner->rect();
  option.position = QStyleOptionHeader::OnlyOneSection;
  option.textAlignment = Qt::AlignLeft | Qt::AlignVCenter;
  if (const auto* grid_model = qobject_cast<const SectionGridModel*>(model()))
    option.text = grid_model->CornerText();
  QPainter painter(corner);
  style()->drawControl(QStyle::CE_Header, &option, &painter, corner);
}

}  // namespace brenmoor
