#include "report/capacity_drawing.h"

#include <QFontMetricsF>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <limits>

#include "report/figures.h"

namespace brenmoor {
namespace {

// Sizes in millimetres of paper.
constexpr double kTextHeight = 2.5, kTitleHeight = 3.0;
constexpr double kLeftRoom = 16.0, kRightRoom = 3.0, kTopRoom = 6.5, kBottomRoom = 11.0;
constexpr double kLineWidth = 0.4, kMarkSize = 1.7;
constexpr int kTicks = 6;

const QColor kSolidColour(0, 70, 170);
const QColor kDashedColour(205, 65, 0);
const QColor kGridGrey(222, 222, 222);
const QColor kZeroGrey(120, 120, 120);

constexpr BendingAxis kAxes[] = {BendingAxis::kX, BendingAxis::kY};
int Index(BendingAxis axis) { return axis == BendingAxis::kX ? 0 : 1; }

QFont ChartFont(double unit, double height, bool bold = false) {
  QFont font(QStringLiteral("Arial"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(height * unit))));
  font.setBold(bold);
  return font;
}

QPen SeriesPen(bool dashed, double unit) {
  QPen pen(dashed ? kDashedColour : kSolidColour, kLineWidth * unit, Qt::SolidLine, Qt::RoundCap,
           Qt::RoundJoin);
  // In pen widths: long dashes that still read as a line on a short curve.
  if (dashed) pen.setDashPattern({4.0, 2.5});
  return pen;
}

// An axis over whole ticks that take in lo, hi and 0.
struct Scale {
  double lo = 0, hi = 1, step = 1;
};
Scale ScaleOver(double lo, double hi) {
  lo = std::min(lo, 0.0);
  hi = std::max(hi, 0.0);
  if (!(hi - lo > 0) || !std::isfinite(hi - lo)) return {lo, lo + 1.0, NiceStep(1.0, kTicks)};
  // A little room so that a curve's end does not lie on the frame.
  const double room = 0.03 * (hi - lo);
  if (hi > 0) hi += room;
  if (lo < 0) lo -= room;
  const double step = NiceStep(hi - lo, kTicks);
  return {std::floor(lo / step) * step, std::ceil(hi / step) * step, step};
}

void Marker(QPainter& p, QPointF at, bool filled, double unit) {
  const double r = kMarkSize * unit / 2;
  if (filled) {
    p.setBrush(p.pen().color());
    p.drawEllipse(at, r, r);
  } else {
    p.setBrush(Qt::white);
    p.drawRect(QRectF(at.x() - r, at.y() - r, 2 * r, 2 * r));
  }
  p.setBrush(Qt::NoBrush);
}

void Legend(QPainter& p, const QRectF& plot, const Chart& chart, bool at_bottom, double unit) {
  const QFontMetricsF metrics(p.font());
  const double sample = 8 * unit, gap = 1.5 * unit, line = 4 * unit;
  const double text_w = std::max(metrics.horizontalAdvance(chart.legend_solid),
                                 metrics.horizontalAdvance(chart.legend_dashed));
  const double w = sample + 3 * gap + text_w, h = 2 * line + gap;
  const QRectF box(plot.right() - w - unit,
                   at_bottom ? plot.bottom() - h - unit : plot.top() + unit, w, h);
  p.setPen(QPen(kZeroGrey, 0.15 * unit));
  p.setBrush(Qt::white);
  p.drawRect(box);
  p.setBrush(Qt::NoBrush);
  const QString texts[] = {chart.legend_solid, chart.legend_dashed};
  for (int k = 0; k < 2; ++k) {
    const double y = box.top() + gap / 2 + line * (k + 0.5);
    p.setPen(SeriesPen(k == 1, unit));
    p.drawLine(QPointF(box.left() + gap, y), QPointF(box.left() + gap + sample, y));
    p.setPen(Qt::black);
    p.drawText(QPointF(box.left() + 2 * gap + sample, y + metrics.capHeight() / 2), texts[k]);
  }
}

QString Kilonewtons(double n) { return CapacityFigure(n, 0); }

}  // namespace

CapacityCurves ComputeCapacityCurves(const CapacitySection& section,
                                     const CapacityOptions& options) {
  CapacityCurves curves;
  curves.options = options;
  curves.figures = ComputeSectionCapacity(section);
  for (BendingAxis axis : kAxes) {
    const int a = Index(axis);
    for (CapacityModel model : {CapacityModel::kExact, CapacityModel::kFiber}) {
      const int m = model == CapacityModel::kExact ? 0 : 1;
      curves.interaction[a][m] = InteractionCurve(section, axis, model);
      curves.curvature[a][m] = MomentCurvatureCurve(section, axis, model, options.axial_ratio);
    }
  }
  return curves;
}

Chart InteractionChart(const CapacityCurves& curves, BendingAxis axis,
                       const CapacityChartTexts& texts) {
  const int a = Index(axis);
  Chart chart;
  chart.title = texts.interaction_title[a];
  chart.x_axis = texts.moment_axis[a];
  chart.y_axis = texts.axial_axis;
  chart.legend_solid = texts.exact;
  chart.legend_dashed = texts.fiber;
  for (int m = 0; m < 2; ++m) {
    ChartSeries series;
    series.dashed = m == 1;
    const std::vector<InteractionPoint>& points = curves.interaction[a][m];
    for (std::size_t i = 0; i < points.size(); ++i) {
      series.points.emplace_back(points[i].M, points[i].N);
      QString label;
      switch (points[i].mark) {
        case CurveMark::kNone:
          continue;
        case CurveMark::kTension:
          label = QStringLiteral("Nt");
          break;
        case CurveMark::kBalanced:
          label = QStringLiteral("b");
          break;
        case CurveMark::kPureBending:
          label = QStringLiteral("M0");
          break;
        case CurveMark::kSquash:
          label = QStringLiteral("N0");
          break;
      }
      // The fiber model's points lie close to the exact ones: marked, not
      // labelled twice.
      series.marks.push_back({i, m == 0 ? label : QString()});
    }
    chart.series.push_back(std::move(series));
  }
  return chart;
}

Chart CurvatureChart(const CapacityCurves& curves, BendingAxis axis,
                     const CapacityChartTexts& texts) {
  const int a = Index(axis);
  const MomentCurvature& exact = curves.curvature[a][0];
  Chart chart;
  chart.title = texts.curvature_title[a].arg(Kilonewtons(exact.N));
  chart.x_axis = texts.curvature_axis;
  chart.y_axis = texts.moment_axis_plain;
  chart.legend_solid = texts.exact;
  chart.legend_dashed = texts.fiber;
  chart.empty_text = texts.cannot_hold.arg(Kilonewtons(exact.N));
  chart.legend_at_bottom = true;
  for (int m = 0; m < 2; ++m) {
    const MomentCurvature& curve = curves.curvature[a][m];
    ChartSeries series;
    series.dashed = m == 1;
    if (curve.holds) {
      for (const CurvaturePoint& point : curve.points)
        series.points.emplace_back(point.curvature, point.M);
      if (curve.first_yield)
        series.marks.push_back({*curve.first_yield, m == 0 ? texts.first_yield : QString()});
      if (!curve.points.empty())
        series.marks.push_back({curve.end, m == 0 ? texts.end : QString()});
    }
    chart.series.push_back(std::move(series));
  }
  return chart;
}

double NiceStep(double span, int ticks) {
  if (!(span > 0) || !std::isfinite(span) || ticks < 1) return 1.0;
  const double raw = span / ticks;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (double factor : {1.0, 2.0, 2.5, 5.0, 10.0}) {
    // A hair of tolerance: 0.3 / 3 must give 0.1, not 0.2.
    if (factor * power >= raw * (1 - 1e-9)) return factor * power;
  }
  return 10.0 * power;
}

QString TickLabel(double value, double step) {
  int decimals = 0;
  for (double s = step; decimals < 12 && std::fabs(s - std::round(s)) > 1e-9 * std::max(1.0, s);
       s *= 10)
    ++decimals;
  if (std::fabs(value) < step * 1e-6) value = 0;  // never "-0"
  return QString::number(value, 'f', decimals).replace(u'-', QChar(0x2212));
}

void DrawChart(QPainter& p, const QRectF& area, const Chart& chart, double unit) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(Qt::black);
  p.setFont(ChartFont(unit, kTitleHeight, true));
  p.drawText(QPointF(area.left() + kLeftRoom * unit * 0.25, area.top() + kTitleHeight * unit * 1.1),
             QFontMetricsF(p.font()).elidedText(chart.title, Qt::ElideRight,
                                                area.width() - kLeftRoom * unit * 0.25));
  const QRectF plot(QPointF(area.left() + kLeftRoom * unit, area.top() + kTopRoom * unit),
                    QPointF(area.right() - kRightRoom * unit, area.bottom() - kBottomRoom * unit));
  p.setFont(ChartFont(unit, kTextHeight));
  const QFontMetricsF metrics(p.font());

  double x_lo = std::numeric_limits<double>::infinity(), x_hi = -x_lo, y_lo = x_lo, y_hi = -x_lo;
  for (const ChartSeries& series : chart.series) {
    for (const QPointF& point : series.points) {
      if (!std::isfinite(point.x()) || !std::isfinite(point.y())) continue;
      x_lo = std::min(x_lo, point.x());
      x_hi = std::max(x_hi, point.x());
      y_lo = std::min(y_lo, point.y());
      y_hi = std::max(y_hi, point.y());
    }
  }
  if (!(x_lo <= x_hi) || plot.width() <= 0 || plot.height() <= 0) {
    p.setPen(QPen(kZeroGrey, 0.2 * unit));
    if (plot.isValid()) p.drawRect(plot);
    p.setPen(Qt::black);
    p.drawText(plot.isValid() ? plot : area, Qt::AlignCenter | Qt::TextWordWrap, chart.empty_text);
    p.restore();
    return;
  }
  const Scale sx = ScaleOver(x_lo, x_hi), sy = ScaleOver(y_lo, y_hi);
  const auto to_page = [&](QPointF d) {
    return QPointF(plot.left() + (d.x() - sx.lo) / (sx.hi - sx.lo) * plot.width(),
                   plot.bottom() - (d.y() - sy.lo) / (sy.hi - sy.lo) * plot.height());
  };

  // Grid and tick labels; the lines through 0 darker.
  const double tick = 1.0 * unit;
  const int x_count = static_cast<int>(std::lround((sx.hi - sx.lo) / sx.step));
  for (int k = 0; k <= x_count; ++k) {
    const double v = sx.lo + k * sx.step;
    const double x = to_page({v, 0}).x();
    const bool zero = std::fabs(v) < sx.step * 1e-6;
    p.setPen(QPen(zero ? kZeroGrey : kGridGrey, (zero ? 0.25 : 0.15) * unit));
    p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    p.setPen(QPen(Qt::black, 0.2 * unit));
    p.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + tick));
    const QString label = TickLabel(v, sx.step);
    p.drawText(QPointF(x - metrics.horizontalAdvance(label) / 2,
                       plot.bottom() + tick + metrics.ascent() + 0.3 * unit),
               label);
  }
  const int y_count = static_cast<int>(std::lround((sy.hi - sy.lo) / sy.step));
  for (int k = 0; k <= y_count; ++k) {
    const double v = sy.lo + k * sy.step;
    const double y = to_page({0, v}).y();
    const bool zero = std::fabs(v) < sy.step * 1e-6;
    p.setPen(QPen(zero ? kZeroGrey : kGridGrey, (zero ? 0.25 : 0.15) * unit));
    p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    p.setPen(QPen(Qt::black, 0.2 * unit));
    p.drawLine(QPointF(plot.left() - tick, y), QPointF(plot.left(), y));
    const QString label = TickLabel(v, sy.step);
    p.drawText(QPointF(plot.left() - tick - 0.6 * unit - metrics.horizontalAdvance(label),
                       y + metrics.capHeight() / 2),
               label);
  }
  p.setPen(QPen(Qt::black, 0.25 * unit));
  p.drawRect(plot);
  p.drawText(QPointF(plot.center().x() - metrics.horizontalAdvance(chart.x_axis) / 2,
                     plot.bottom() + tick + 2 * metrics.height() + 0.3 * unit),
             chart.x_axis);
  p.save();
  p.translate(area.left() + metrics.ascent() + 0.5 * unit, plot.center().y());
  p.rotate(-90);
  p.drawText(QPointF(-metrics.horizontalAdvance(chart.y_axis) / 2, 0), chart.y_axis);
  p.restore();

  // The curves, the fiber one first so that the exact one stays on top.
  p.save();
  p.setClipRect(
      plot.adjusted(-kMarkSize * unit, -kMarkSize * unit, kMarkSize * unit, kMarkSize * unit));
  for (auto series = chart.series.rbegin(); series != chart.series.rend(); ++series) {
    QPainterPath path;
    for (std::size_t i = 0; i < series->points.size(); ++i) {
      const QPointF at = to_page(series->points[i]);
      if (i == 0) {
        path.moveTo(at);
      } else {
        path.lineTo(at);
      }
    }
    p.setPen(SeriesPen(series->dashed, unit));
    p.drawPath(path);
    for (const ChartMark& mark : series->marks) {
      if (mark.index >= series->points.size()) continue;
      p.setPen(QPen(series->dashed ? kDashedColour : kSolidColour, 0.25 * unit));
      Marker(p, to_page(series->points[mark.index]), !series->dashed, unit);
    }
  }
  // Labels last, over every line, each to the right of its point unless
  // that leaves the plot.
  p.setPen(Qt::black);
  for (const ChartSeries& series : chart.series) {
    for (const ChartMark& mark : series.marks) {
      if (mark.label.isEmpty() || mark.index >= series.points.size()) continue;
      const QPointF at = to_page(series.points[mark.index]);
      const double w = metrics.horizontalAdvance(mark.label);
      double x = at.x() + 1.3 * unit;
      if (x + w > plot.right()) x = at.x() - 1.3 * unit - w;
      double y = at.y() - 1.0 * unit;
      if (y - metrics.ascent() < plot.top()) y = at.y() + metrics.ascent() + 1.0 * unit;
      // On a light ground, so that a line running through stays behind it.
      p.fillRect(QRectF(x - 0.3 * unit, y - metrics.ascent(), w + 0.6 * unit, metrics.height()),
                 QColor(255, 255, 255, 200));
      p.drawText(QPointF(x, y), mark.label);
    }
  }
  p.restore();

  if (!chart.legend_solid.isEmpty() || !chart.legend_dashed.isEmpty()) {
    Legend(p, plot, chart, chart.legend_at_bottom, unit);
  }
  p.restore();
}

void DrawCapacityCharts(QPainter& painter, const QRectF& area, const CapacityCurves& curves,
                        const CapacityChartTexts& texts, double unit) {
  const double w = area.width() / 2, h = area.height() / 2;
  for (BendingAxis axis : kAxes) {
    const int a = Index(axis);
    DrawChart(painter, QRectF(area.left() + a * w, area.top(), w, h),
              InteractionChart(curves, axis, texts), unit);
    DrawChart(painter, QRectF(area.left() + a * w, area.top() + h, w, h),
              CurvatureChart(curves, axis, texts), unit);
  }
}

}  // namespace brenmoor
