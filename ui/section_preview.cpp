#include "ui/section_preview.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "model/errors.h"
#include "model/float32.h"

namespace brenmoor {
namespace {

// Far enough outside any canvas that clamping a coordinate here never changes
// a visible pixel, near enough that the painter's int arithmetic cannot wrap.
constexpr std::int64_t kFarAway = 1 << 15;

int Clamp(std::int64_t v) { return static_cast<int>(std::clamp(v, -kFarAway, kFarAway)); }

// A painter with the raster rules the preview was designed for: a rectangle
// or ellipse given by (x1, y1, x2, y2) covers columns x1 .. x2 - 1 and rows
// y1 .. y2 - 1, and a line leaves out its end point. QPainter's aliased
// shapes include both bounds, hence the - 1 everywhere below.
class Canvas {
 public:
  explicit Canvas(QImage& image) : painter_(&image) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, false);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    font.setStyleStrategy(QFont::NoAntialias);
    painter_.setFont(font);
  }

  void SetPen(QColor colour) { pen_ = colour; }
  void SetBrush(QColor colour) { brush_ = colour; }

  void Rectangle(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) {
    const QRect box = Box(x1, y1, x2, y2);
    if (box.isEmpty()) return;
    if (box.width() > 2 && box.height() > 2) painter_.fillRect(box.adjusted(1, 1, -1, -1), brush_);
    painter_.setPen(Pen());
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(box.x(), box.y(), box.width() - 1, box.height() - 1);
  }

  void Ellipse(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) {
    const QRect box = Box(x1, y1, x2, y2);
    if (box.isEmpty()) return;
    painter_.setPen(Pen());
    painter_.setBrush(brush_);
    painter_.drawEllipse(box.x(), box.y(), box.width() - 1, box.height() - 1);
  }

  void MoveTo(std::int64_t x, std::int64_t y) { at_ = QPoint(Clamp(x), Clamp(y)); }

  // Only lines parallel to an axis occur in the preview.
  void LineTo(std::int64_t x, std::int64_t y) {
    const QPoint to(Clamp(x), Clamp(y));
    Q_ASSERT(to.x() == at_.x() || to.y() == at_.y());
    if (to != at_) {
      const QPoint back((to.x() > at_.x()) - (to.x() < at_.x()),
                        (to.y() > at_.y()) - (to.y() < at_.y()));
      painter_.setPen(Pen());
      painter_.drawLine(at_, to - back);
    }
    at_ = to;
  }

  // The text's cell is filled with the brush first, as an opaque text output does.
  void TextOut(int x, int y, const QString& text) {
    const QFontMetrics metrics(painter_.font());
    const QRect cell(x, y, metrics.horizontalAdvance(text), metrics.height());
    painter_.fillRect(cell, brush_);
    painter_.setPen(Qt::black);
    painter_.drawText(cell, Qt::AlignLeft | Qt::AlignTop, text);
  }

 private:
  static QRect Box(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) {
    if (x2 < x1) std::swap(x1, x2);
    if (y2 < y1) std::swap(y1, y2);
    const int left = Clamp(x1), top = Clamp(y1);
    return QRect(left, top, Clamp(x2) - left, Clamp(y2) - top);
  }

  QPen Pen() const {
    QPen pen(pen_, 1);
    pen.setCosmetic(true);
    return pen;
  }

  QPainter painter_;
  QColor pen_ = Qt::black;
  QColor brush_ = Qt::white;
  QPoint at_;
};

}  // namespace

std::int32_t RoundHalfEven(long double v) {
  // nearbyint rounds in the current mode, which the program never changes
  // from to-nearest-even.
  const long double rounded = std::nearbyint(v);
  if (!(rounded >= std::numeric_limits<std::int32_t>::min() &&
        rounded <= std::numeric_limits<std::int32_t>::max())) {
    throw Error(kInvalidOperationMessage);
  }
  return static_cast<std::int32_t>(rounded);
}

void DrawSectionPreview(QImage& canvas, const TSECTION& section) {
  const QColor black(0, 0, 0), white(255, 255, 255), blue(0, 0, 255), red(255, 0, 0);
  Canvas c(canvas);
  c.SetPen(black);
  c.SetBrush(white);
  c.Rectangle(0, 0, canvas.width(), canvas.height());
  if (section.kind != kRectangularColumn) return;

  const long double H = section.H, B = section.B, CC = section.CC;
  const double s = static_cast<double>(CheckedDivide(160.0L, std::max(H, B)));
  using R = std::int64_t;
  auto r = [](long double v) -> R { return RoundHalfEven(v); };

  c.SetPen(black);
  c.Rectangle(100 - r(B * s / 2), 100 - r(H * s / 2), 100 + r(B * s / 2), 100 + r(H * s / 2));

  c.SetPen(blue);
  for (R a = 1; a <= R{section.FX} - 1; ++a) {
    const R x = 100 - r((B / 2 - (B / section.FX) * a) * s);
    c.MoveTo(x, 100 - r(H * s / 2));
    c.LineTo(x, 100 + r(H * s / 2));
  }
  for (R a = 1; a <= R{section.FY} - 1; ++a) {
    const R y = 100 - r((H / 2 - (H / section.FY) * a) * s);
    c.MoveTo(100 - r(B / 2 * s), y);
    c.LineTo(100 + r(B / 2 * s), y);
  }

  c.SetPen(red);
  c.SetBrush(red);
  auto bar = [&c](R x, R y) { c.Ellipse(x - 4, y - 4, x + 4, y + 4); };
  for (R a = 0; a <= R{section.NX} + 1; ++a) {
    const R x = 100 - r((B / 2 - CC - CheckedDivide(B - 2 * CC, R{section.NX} + 1) * a) * s);
    bar(x, 100 - r((H / 2 - CC) * s));
    bar(x, 100 + r((H / 2 - CC) * s));
  }
  for (R a = 0; a <= R{section.NY} + 1; ++a) {
    const R y = 100 - r((H / 2 - CC - CheckedDivide(H - 2 * CC, R{section.NY} + 1) * a) * s);
    bar(100 - r((B / 2 - CC) * s), y);
    bar(100 + r((B / 2 - CC) * s), y);
  }

  // The count wraps like the 32-bit integers it is made of.
  const auto n = static_cast<std::int32_t>(
      2u * (static_cast<std::uint32_t>(section.NX) + static_cast<std::uint32_t>(section.NY)) +
      static_cast<std::uint32_t>(section.FX) * static_cast<std::uint32_t>(section.FY) + 4u);
  c.SetBrush(white);
  c.TextOut(50, 180, QStringLiteral("NUM OF FIBERS = %1").arg(n));
}

}  // namespace brenmoor
