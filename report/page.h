#pragma once

#include <QDate>
#include <QFont>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPointF>
#include <QString>
#include <algorithm>
#include <initializer_list>
#include <span>
#include <utility>

#include "report/report_text.h"

namespace brenmoor::report_page {

// Both reports lay their pages out in tenths of a millimetre on A4
// (2100 x 2970), with the same margins, running head and table rows.
inline constexpr double kUnit = 10.0;  // painter units per mm of paper
inline constexpr double kLeft = 150, kRight = 1950, kTop = 150, kBottom = 2780;
inline constexpr double kBodyTop = 230;  // below the running head
inline constexpr double kRowHeight = 42, kHeaderHeight = 84;

// A column of a table: its title (marked for translation where it is a
// word), its unit, its width and how its cells are aligned.
struct Column {
  const char* title;
  const char* unit;
  double width;
  bool right;  // aligned right (numbers) or left (names)
};

// How many rows of a table fit below its header when it starts at top.
inline int RowsFrom(double top) {
  return std::max(1, static_cast<int>((kBottom - top - kHeaderHeight) / kRowHeight));
}

// The reports' one typeface, at a height in painter units.
inline QFont Font(double height, bool bold = false) {
  QFont font(QStringLiteral("Arial"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(static_cast<int>(height));
  font.setBold(bold);
  return font;
}

// Begins painter on device and sets it to tenths of a millimetre. A device
// that cannot be painted on (a printer that went away, say) throws
// Error(failure): never an empty file taken for a report.
void BeginPages(QPainter& painter, QPagedPaintDevice& device, const char* failure);

// The cover's title and, below it, its lines of a name and a value; returns
// the baseline of the line that would follow.
double CoverHead(QPainter& painter, const QString& title,
                 std::initializer_list<std::pair<QString, QString>> lines);

// The header row of a table whose top is at top: each column's title in bold
// over its unit, both as text gives them, on grey, with a rule below.
void TableHeader(QPainter& painter, double top, std::span<const Column> columns,
                 const ReportText& text);

// The rule that closes a table whose last row ends at y.
void TableRule(QPainter& painter, double y);

// Draws text on painter with its right end at `at`.
void RightText(QPainter& painter, QPointF at, const QString& text);

// The text of a table cell whose left edge is at x: padded from the edge the
// column aligns it to.
void CellText(QPainter& painter, double x, const Column& column, double baseline,
              const QString& text);

// What every page carries: the title (cut in the middle when too long) and
// "Page N of M" above a rule, and a rule with "Brenmoor <version> · <date>"
// at the foot.
void RunningHead(QPainter& painter, const QString& title, const QString& page_of,
                 const QString& version, const QDate& date);

}  // namespace brenmoor::report_page
