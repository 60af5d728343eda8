#include "report/page.h"

#include <QFontMetricsF>
#include <QPen>

namespace brenmoor::report_page {

void RightText(QPainter& painter, QPointF at, const QString& text) {
  const QFontMetricsF metrics(painter.font());
  painter.drawText(QPointF(at.x() - metrics.horizontalAdvance(text), at.y()), text);
}

void CellText(QPainter& painter, double x, const Column& column, double baseline,
              const QString& text) {
  constexpr double kPad = 12;
  if (column.right) {
    RightText(painter, QPointF(x + column.width - kPad, baseline), text);
  } else {
    painter.drawText(QPointF(x + kPad, baseline), text);
  }
}

void RunningHead(QPainter& painter, const QString& title, const QString& page_of,
                 const QString& version, const QDate& date) {
  painter.setFont(Font(26));
  painter.setPen(Qt::black);
  painter.drawText(
      QPointF(kLeft, kTop + 26),
      QFontMetricsF(painter.font()).elidedText(title, Qt::ElideMiddle, kRight - kLeft - 300));
  RightText(painter, QPointF(kRight, kTop + 26), page_of);
  painter.setPen(QPen(Qt::black, 3));
  painter.drawLine(QPointF(kLeft, kTop + 45), QPointF(kRight, kTop + 45));
  painter.setPen(QPen(Qt::black, 2));
  painter.drawLine(QPointF(kLeft, kBottom + 40), QPointF(kRight, kBottom + 40));
  painter.setFont(Font(24));
  painter.drawText(QPointF(kLeft, kBottom + 75),
                   QStringLiteral("Brenmoor %1 · %2").arg(version, date.toString(Qt::ISODate)));
}

}  // namespace brenmoor::report_page
