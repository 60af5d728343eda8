#include "report/page.h"

#include <QFontMetricsF>
#include <QPen>

#include "model/errors.h"

namespace brenmoor::report_page {

void BeginPages(QPainter& painter, QPagedPaintDevice& device, const char* failure) {
  if (!painter.begin(&device)) throw Error(failure);
  painter.scale(device.logicalDpiX() / 254.0, device.logicalDpiY() / 254.0);
}

double CoverHead(QPainter& painter, const QString& title,
                 std::initializer_list<std::pair<QString, QString>> lines) {
  painter.setPen(Qt::black);
  painter.setFont(Font(60, true));
  painter.drawText(QPointF(kLeft, 320), title);
  painter.setFont(Font(32));
  double y = 420;
  for (const auto& [name, value] : lines) {
    painter.drawText(QPointF(kLeft, y), name);
    painter.drawText(QPointF(kLeft + 300, y), value);
    y += 50;
  }
  return y;
}

void TableHeader(QPainter& painter, double top, std::span<const Column> columns,
                 const ReportText& text) {
  painter.fillRect(QRectF(kLeft, top, kRight - kLeft, kHeaderHeight), QColor(225, 225, 225));
  painter.setPen(Qt::black);
  double x = kLeft;
  for (const Column& column : columns) {
    painter.setFont(Font(24, true));
    CellText(painter, x, column, top + 34, text(column.title));
    painter.setFont(Font(22));
    CellText(painter, x, column, top + 70, text(column.unit));
    x += column.width;
  }
  TableRule(painter, top + kHeaderHeight);
}

void TableRule(QPainter& painter, double y) {
  painter.setPen(QPen(Qt::black, 2.5));
  painter.drawLine(QPointF(kLeft, y), QPointF(kRight, y));
}

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
