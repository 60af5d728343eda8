#include "report/section_drawing.h"

#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "report/figures.h"

namespace brenmoor {
namespace {

// Room around the section for the dimensions and the axis labels, in paper mm.
constexpr double kLeftRoom = 11.0, kRightRoom = 13.0, kTopRoom = 6.0, kBottomRoom = 10.0;
constexpr double kMinBarDiameter = 0.7;  // paper mm
constexpr double kTextHeight = 2.4;      // paper mm

const QColor kCellBlue(0, 0, 255);
const QColor kBarRed(255, 0, 0);
const QColor kConcreteGrey(236, 236, 236);

// Extents of the section in mm; a negative side is drawn by its size.
double Width(const TSECTION& s) { return std::fabs(static_cast<double>(s.B)); }
double Height(const TSECTION& s) { return std::fabs(static_cast<double>(s.H)); }

QPen Pen(const QColor& colour, double width, Qt::PenStyle style = Qt::SolidLine) {
  QPen pen(colour, width, style, Qt::FlatCap, Qt::MiterJoin);
  return pen;
}

// A dimension line from a to b (painter coordinates) with slashes at both
// ends and text beside its middle; extension lines are the caller's.
void Dimension(QPainter& p, QPointF a, QPointF b, const QString& text, double unit, bool vertical) {
  p.setPen(Pen(Qt::black, 0.18 * unit));
  p.drawLine(a, b);
  const double tick = 1.0 * unit;
  for (const QPointF& end : {a, b})
    p.drawLine(end + QPointF(-tick, tick), end + QPointF(tick, -tick));
  const QPointF middle = (a + b) / 2;
  const QFontMetricsF metrics(p.font());
  const double w = metrics.horizontalAdvance(text);
  if (!vertical) {
    p.drawText(QPointF(middle.x() - w / 2, middle.y() - 0.6 * unit), text);
    return;
  }
  p.save();
  p.translate(middle);
  p.rotate(-90);
  p.drawText(QPointF(-w / 2, -0.6 * unit), text);
  p.restore();
}

// Where a section goes on the painter: its centre, painter units per
// section mm, and its outline.
struct Placement {
  QPointF centre;
  double scale;
  QRectF outline;
  // Section mm (x right, y up) to painter units (y down).
  QPointF operator()(double x, double y) const {
    return QPointF(centre.x() + x * scale, centre.y() - y * scale);
  }
};

// The concrete: a grey face, every cell of the layout in blue, the outline.
void DrawFace(QPainter& p, const Placement& at, const TSECTION& s, double unit) {
  p.fillRect(at.outline, kConcreteGrey);
  const int n = std::clamp(s.fiber_count, 0, kMaxFibers);
  if (s.FX > 0 && s.FY > 0) {
    const double cell_w = Width(s) / s.FX * at.scale, cell_h = Height(s) / s.FY * at.scale;
    p.setPen(Pen(kCellBlue, 0.13 * unit));
    p.setBrush(Qt::NoBrush);
    for (int k = 0; k < n; ++k) {
      const FiberSlot& f = s.fibers[k];
      if (f.type != kConcreteFiber) continue;
      const QPointF c = at(f.x, f.y);
      p.drawRect(QRectF(c.x() - cell_w / 2, c.y() - cell_h / 2, cell_w, cell_h));
    }
  }
  p.setPen(Pen(Qt::black, 0.35 * unit));
  p.setBrush(Qt::NoBrush);
  p.drawRect(at.outline);
}

// The axes, dash-dotted, a little past the outline, with arrow heads.
void DrawAxes(QPainter& p, const Placement& at, double unit) {
  const QRectF& outline = at.outline;
  const double reach = 4.0 * unit;
  const QPointF x_end(outline.right() + reach, at.centre.y()),
      y_end(at.centre.x(), outline.top() - reach);
  p.setPen(Pen(Qt::black, 0.13 * unit, Qt::DashDotLine));
  p.drawLine(QPointF(outline.left() - 2.0 * unit, at.centre.y()), x_end);
  p.drawLine(QPointF(at.centre.x(), outline.bottom() + 2.0 * unit), y_end);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::black);
  const double head = 1.2 * unit;
  p.drawPolygon(
      QPolygonF({x_end, x_end + QPointF(-head, -head / 3), x_end + QPointF(-head, head / 3)}));
  p.drawPolygon(
      QPolygonF({y_end, y_end + QPointF(-head / 3, head), y_end + QPointF(head / 3, head)}));
  p.setBrush(Qt::NoBrush);
  p.setPen(Qt::black);
  p.drawText(x_end + QPointF(-2.0 * unit, -1.2 * unit), QStringLiteral("3 (x)"));
  p.drawText(y_end + QPointF(0.8 * unit, 1.6 * unit), QStringLiteral("2 (y)"));
}

// Bars on top of everything else: red discs, area to scale.
// Each disc is a dot of a round pen as wide as the bar, over a black one a
// little wider for the rim: two short strokes where an ellipse would be
// four curves, which keeps a report of thousands of sections small.
void DrawBars(QPainter& p, const Placement& at, const TSECTION& s, double unit) {
  p.setBrush(Qt::NoBrush);
  const int n = std::clamp(s.fiber_count, 0, kMaxFibers);
  for (int k = 0; k < n; ++k) {
    const FiberSlot& f = s.fibers[k];
    if (f.type != kSteelFiber) continue;
    const double area_mm2 = std::max(0.0, static_cast<double>(f.area));
    const double d =
        std::max(2.0 * std::sqrt(area_mm2 / std::numbers::pi) * at.scale, kMinBarDiameter * unit);
    const QPointF c = at(f.x, f.y);
    p.setPen(QPen(Qt::black, d + 0.2 * unit, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, c + QPointF(0.001, 0));
    p.setPen(QPen(kBarRed, d, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, c + QPointF(0.001, 0));
  }
}

// Dimensions: B below, H on the left, CC on the right from the top face.
void DrawDimensions(QPainter& p, const Placement& at, const TSECTION& s, double unit) {
  const QRectF& outline = at.outline;
  p.setBrush(Qt::NoBrush);
  p.setPen(Pen(Qt::black, 0.13 * unit));
  const double gap = 1.0 * unit, off = 6.0 * unit;
  const double dim_y = outline.bottom() + off, dim_x = outline.left() - off;
  p.drawLine(QPointF(outline.left(), outline.bottom() + gap), QPointF(outline.left(), dim_y + gap));
  p.drawLine(QPointF(outline.right(), outline.bottom() + gap),
             QPointF(outline.right(), dim_y + gap));
  p.drawLine(QPointF(outline.left() - gap, outline.top()), QPointF(dim_x - gap, outline.top()));
  p.drawLine(QPointF(outline.left() - gap, outline.bottom()),
             QPointF(dim_x - gap, outline.bottom()));
  Dimension(p, QPointF(outline.left(), dim_y), QPointF(outline.right(), dim_y),
            QStringLiteral("B = %1").arg(Figure(s.B)), unit, false);
  Dimension(p, QPointF(dim_x, outline.bottom()), QPointF(dim_x, outline.top()),
            QStringLiteral("H = %1").arg(Figure(s.H)), unit, true);

  const double bar_row = outline.top() + static_cast<double>(s.CC) * at.scale;
  const double cc_x = outline.right() + 2.5 * unit;
  p.setPen(Pen(Qt::black, 0.13 * unit));
  p.drawLine(QPointF(outline.right() + gap, outline.top()), QPointF(cc_x + gap, outline.top()));
  p.drawLine(QPointF(outline.right() - outline.width() * 0.1, bar_row),
             QPointF(cc_x + gap, bar_row));
  p.setPen(Pen(Qt::black, 0.18 * unit));
  p.drawLine(QPointF(cc_x, outline.top()), QPointF(cc_x, bar_row));
  const double tick = 0.6 * unit;
  for (double y : {outline.top(), bar_row}) {
    p.drawLine(QPointF(cc_x - tick, y + tick), QPointF(cc_x + tick, y - tick));
  }
  p.drawText(QPointF(cc_x + 1.0 * unit, (outline.top() + bar_row) / 2 + 0.9 * unit),
             QStringLiteral("cc = %1").arg(Figure(s.CC)));
}

}  // namespace

double FitScale(const QRectF& area, const TSECTION& section, double unit) {
  const double room_x = area.width() - (kLeftRoom + kRightRoom) * unit;
  const double room_y = area.height() - (kTopRoom + kBottomRoom) * unit;
  if (room_x <= 0 || room_y <= 0) return 0.0;
  const double w = Width(section), h = Height(section);
  double scale = std::numeric_limits<double>::infinity();
  if (w > 0) scale = std::min(scale, room_x / w);
  if (h > 0) scale = std::min(scale, room_y / h);
  return std::isfinite(scale) ? scale : 0.0;
}

double StandardScaleDenominator(double fit_scale, double unit) {
  if (!(fit_scale > 0)) return 1.0;
  for (double decade = 1.0; decade < 1e30; decade *= 10.0) {
    for (double step : {1.0, 2.0, 2.5, 5.0}) {
      if (unit / (step * decade) <= fit_scale) return step * decade;
    }
  }
  return 1e30;
}

void DrawSection(QPainter& p, const QRectF& area, const TSECTION& s, double unit, double scale) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  QFont font(QStringLiteral("Arial"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(kTextHeight * unit))));
  p.setFont(font);

  const double w = Width(s) * scale, h = Height(s) * scale;
  // The section's centre, in the middle of the room the dimensions leave.
  const QPointF centre(
      area.left() + kLeftRoom * unit + (area.width() - (kLeftRoom + kRightRoom) * unit) / 2,
      area.top() + kTopRoom * unit + (area.height() - (kTopRoom + kBottomRoom) * unit) / 2);
  const Placement at{centre, scale, QRectF(centre.x() - w / 2, centre.y() - h / 2, w, h)};
  DrawFace(p, at, s, unit);
  DrawAxes(p, at, unit);
  DrawBars(p, at, s, unit);
  DrawDimensions(p, at, s, unit);
  p.restore();
}

QImage SectionPicture(const TSECTION& section, const QString& title, int pixels) {
  QImage image(pixels, pixels, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  const double unit = pixels / 100.0;
  QFont font(QStringLiteral("Arial"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(4.0 * unit))));
  font.setBold(true);
  painter.setFont(font);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  painter.drawText(QPointF(4.0 * unit, 7.0 * unit), title);
  const QRectF area(2.0 * unit, 10.0 * unit, 96.0 * unit, 88.0 * unit);
  DrawSection(painter, area, section, unit, FitScale(area, section, unit));
  return image;
}

}  // namespace brenmoor
