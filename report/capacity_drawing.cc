#include "report/capacity_drawing.h"

#include <QFontMetricsF>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>
#include <utility>

#include "report/figures.h"

namespace brenmoor {
namespace {

// Sizes in millimetres of paper.
constexpr double kTextHeight = 2.5, kTitleHeight = 3.0;
constexpr double kLeftRoom = 16.0, kRightRoom = 3.0, kTopRoom = 6.5, kBottomRoom = 11.0;
constexpr double kLineWidth = 0.4, kMarkSize = 1.7;
constexpr int kTicks = 6;
// A tick label's characters at most, besides a minus sign, before its axis
// counts in a power of ten: six digits still fit beside the N axis.
constexpr qsizetype kMostTickCharacters = 6;
// From the ticks' ends down to the top of their labels: clear of the lowest
// label of the N axis.
constexpr double kBelowTicks = 0.5;

const QColor kSolidColour(0, 70, 170);
const QColor kDashedColour(205, 65, 0);
const QColor kDottedColour(0, 135, 60);
const QColor kThinColour(110, 110, 110);
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

// The line styles of a chart, in the legend's order.
enum class LineStyle { kSolid, kDashed, kDotted, kThin };
LineStyle StyleOf(const ChartSeries& series) {
  if (series.thin) return LineStyle::kThin;
  if (series.dotted) return LineStyle::kDotted;
  return series.dashed ? LineStyle::kDashed : LineStyle::kSolid;
}
QColor ColourOf(LineStyle style) {
  switch (style) {
    case LineStyle::kDashed:
      return kDashedColour;
    case LineStyle::kDotted:
      return kDottedColour;
    case LineStyle::kThin:
      return kThinColour;
    case LineStyle::kSolid:
      break;
  }
  return kSolidColour;
}

QPen SeriesPen(LineStyle style, double unit) {
  const double width = style == LineStyle::kThin ? 0.5 * kLineWidth : kLineWidth;
  QPen pen(ColourOf(style), width * unit, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  // In pen widths: long dashes that still read as a line on a short curve.
  if (style == LineStyle::kDashed) pen.setDashPattern({4.0, 2.5});
  if (style == LineStyle::kDotted) pen.setDashPattern({4.0, 1.8, 0.5, 1.8});
  return pen;
}

// The legend's lines: each style the chart names, with its words.
std::vector<std::pair<LineStyle, QString>> LegendLines(const Chart& chart) {
  std::vector<std::pair<LineStyle, QString>> lines;
  const std::pair<LineStyle, const QString*> all[] = {{LineStyle::kSolid, &chart.legend_solid},
                                                      {LineStyle::kDashed, &chart.legend_dashed},
                                                      {LineStyle::kDotted, &chart.legend_dotted},
                                                      {LineStyle::kThin, &chart.legend_thin}};
  for (const auto& [style, text] : all) {
    if (!text->isEmpty()) lines.emplace_back(style, *text);
  }
  return lines;
}

// An axis over whole ticks that take in lo, hi and 0, about `ticks` of them.
struct Scale {
  double lo = 0, hi = 1, step = 1;
};
// lo .. hi taken out to 0, with a little room where there is data so that a
// curve's end does not lie on the frame.
std::pair<double, double> Widened(double lo, double hi) {
  lo = std::min(lo, 0.0);
  hi = std::max(hi, 0.0);
  const double room = 0.03 * (hi - lo);
  if (hi > 0) hi += room;
  if (lo < 0) lo -= room;
  return {lo, hi};
}
// With step 0, the step that gives about `ticks` intervals; else that step.
Scale ScaleOver(double lo, double hi, int ticks, double step = 0) {
  lo = std::min(lo, 0.0);
  hi = std::max(hi, 0.0);
  if (!(hi - lo > 0) || !std::isfinite(hi - lo)) return {lo, lo + 1.0, NiceStep(1.0, ticks)};
  std::tie(lo, hi) = Widened(lo, hi);
  if (!(step > 0)) step = NiceStep(hi - lo, ticks);
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

// The legend's size for the painter's font.
QSizeF LegendSize(const QFontMetricsF& metrics, const Chart& chart, double unit) {
  const double sample = 8 * unit, gap = 1.5 * unit, line = 4 * unit;
  const auto lines = LegendLines(chart);
  double text_w = 0;
  for (const auto& entry : lines)
    text_w = std::max(text_w, metrics.horizontalAdvance(entry.second));
  return {sample + 3 * gap + text_w, static_cast<double>(lines.size()) * line + gap};
}

void Legend(QPainter& p, const QRectF& box, const Chart& chart, double unit) {
  const QFontMetricsF metrics(p.font());
  const double sample = 8 * unit, gap = 1.5 * unit, line = 4 * unit;
  p.setPen(QPen(kZeroGrey, 0.15 * unit));
  p.setBrush(Qt::white);
  p.drawRect(box);
  p.setBrush(Qt::NoBrush);
  const auto lines = LegendLines(chart);
  for (std::size_t k = 0; k < lines.size(); ++k) {
    const double y = box.top() + gap / 2 + line * (static_cast<double>(k) + 0.5);
    p.setPen(SeriesPen(lines[k].first, unit));
    p.drawLine(QPointF(box.left() + gap, y), QPointF(box.left() + gap + sample, y));
    p.setPen(Qt::black);
    p.drawText(QPointF(box.left() + 2 * gap + sample, y + metrics.capHeight() / 2),
               lines[k].second);
  }
}

// Where a chart's parts go in its area: the plot, both axes and every text.
struct Axis {
  Scale scale;
  int power = 0;  // the labels count in 10^power of the data's unit
  std::vector<double> ticks;
  std::vector<QString> labels;
};
struct ChartLayout {
  QRectF plot;
  bool has_data = false;
  Axis x, y;
  std::vector<ChartText> texts;
};

// Data to painter coordinates.
QPointF ToPage(const ChartLayout& layout, QPointF d) {
  const Scale &sx = layout.x.scale, &sy = layout.y.scale;
  return QPointF(layout.plot.left() + (d.x() - sx.lo) / (sx.hi - sx.lo) * layout.plot.width(),
                 layout.plot.bottom() - (d.y() - sy.lo) / (sy.hi - sy.lo) * layout.plot.height());
}

// A power of ten in superscript digits: -6 -> "⁻⁶".
QString Superscript(int power) {
  static constexpr char16_t kDigits[] = u"⁰¹²³⁴⁵⁶⁷⁸⁹";
  QString text;
  for (QChar c : QString::number(power)) {
    text += c == u'-' ? QChar(0x207B) : QChar(kDigits[c.digitValue()]);
  }
  return text;
}

// An axis title in a unit 10^power times larger: "N (kN)" -> "N (×10⁶ kN)".
QString TitleInPower(const QString& title, int power) {
  if (power == 0) return title;
  const QString factor = QStringLiteral("×10") + Superscript(power);
  const qsizetype open = title.lastIndexOf(u'(');
  if (open < 0) return title + QStringLiteral(" (") + factor + u')';
  return title.left(open + 1) + factor + u' ' + title.mid(open + 1);
}

// The axis over lo .. hi with about `ticks` intervals, or with the given
// step. Its labels are the tick values themselves while each has at most
// kMostTickCharacters and is no wider than max_width; otherwise they count in
// the power of ten, a multiple of 3, that leaves them one to three whole
// digits.
Axis AxisOver(double lo, double hi, int ticks, const QFontMetricsF& metrics, double max_width,
              double step = 0) {
  Axis axis;
  axis.scale = ScaleOver(lo, hi, ticks, step);
  const Scale& s = axis.scale;
  const int count = static_cast<int>(std::lround((s.hi - s.lo) / s.step));
  for (int k = 0; k <= count; ++k) axis.ticks.push_back(s.lo + k * s.step);
  const auto labels_in = [&](int power) {
    const double factor = std::pow(10.0, power);
    std::vector<QString> labels;
    for (double v : axis.ticks) labels.push_back(TickLabel(v / factor, s.step / factor));
    return labels;
  };
  axis.labels = labels_in(0);
  const bool fit = std::all_of(axis.labels.begin(), axis.labels.end(), [&](const QString& label) {
    const qsizetype sign = label.startsWith(QChar(0x2212)) ? 1 : 0;
    return label.size() - sign <= kMostTickCharacters &&
           metrics.horizontalAdvance(label) <= max_width;
  });
  const double largest = std::max(std::fabs(s.lo), std::fabs(s.hi));
  if (!fit && largest > 0 && std::isfinite(largest)) {
    axis.power = 3 * static_cast<int>(std::floor(std::log10(largest) / 3));
    axis.labels = labels_in(axis.power);
  }
  return axis;
}

// The axis with the most ticks, up to kTicks, whose labels keep apart:
// apart(axis) says whether they do.
template <typename Apart>
Axis FittedAxis(double lo, double hi, const QFontMetricsF& metrics, double max_width, Apart apart) {
  for (int ticks = kTicks;; --ticks) {
    Axis axis = AxisOver(lo, hi, ticks, metrics, max_width);
    if (ticks <= 2 || apart(axis)) return axis;
  }
}

// The left end of a label of width w centred under x, moved inside area
// where the outermost ticks would put it past the chart's edge.
double LabelLeft(double x, double w, const QRectF& area) {
  return std::max(area.left(), std::min(x - w / 2, area.right() - w));
}

// A text whose baseline starts at `at`, and the box its glyphs take.
ChartText Placed(ChartText::Kind kind, const QString& text, QPointF at,
                 const QFontMetricsF& metrics) {
  return {kind, text,
          QRectF(at.x(), at.y() - metrics.ascent(), metrics.horizontalAdvance(text),
                 metrics.ascent() + metrics.descent()),
          at};
}

// The tick labels below and left of the plot, the axes' titles below and
// upright at the left.
void PlaceAxisTexts(ChartLayout& layout, const Chart& chart, const QRectF& area, double unit,
                    const QFontMetricsF& metrics) {
  const QRectF& plot = layout.plot;
  const double tick = 1.0 * unit;
  for (std::size_t k = 0; k < layout.x.ticks.size(); ++k) {
    const QString& label = layout.x.labels[k];
    const double x = ToPage(layout, {layout.x.ticks[k], 0}).x();
    layout.texts.push_back(
        Placed(ChartText::Kind::kTickX, label,
               QPointF(LabelLeft(x, metrics.horizontalAdvance(label), area),
                       plot.bottom() + tick + metrics.ascent() + kBelowTicks * unit),
               metrics));
  }
  for (std::size_t k = 0; k < layout.y.ticks.size(); ++k) {
    const QString& label = layout.y.labels[k];
    const double y = ToPage(layout, {0, layout.y.ticks[k]}).y();
    layout.texts.push_back(
        Placed(ChartText::Kind::kTickY, label,
               QPointF(plot.left() - tick - 0.6 * unit - metrics.horizontalAdvance(label),
                       y + metrics.capHeight() / 2),
               metrics));
  }
  const QString x_title = TitleInPower(chart.x_axis, layout.x.power);
  layout.texts.push_back(
      Placed(ChartText::Kind::kAxisX, x_title,
             QPointF(plot.center().x() - metrics.horizontalAdvance(x_title) / 2,
                     plot.bottom() + tick + 2 * metrics.height() + kBelowTicks * unit),
             metrics));
  // Read upwards from `at`: its glyphs stand left of the baseline, at the
  // left of the room kept for the y axis's texts.
  const QString y_title = TitleInPower(chart.y_axis, layout.y.power);
  const double length = metrics.horizontalAdvance(y_title);
  const QPointF at(plot.left() - kLeftRoom * unit + metrics.ascent() + 0.5 * unit,
                   plot.center().y() + length / 2);
  layout.texts.push_back({ChartText::Kind::kAxisY, y_title,
                          QRectF(at.x() - metrics.ascent(), at.y() - length,
                                 metrics.ascent() + metrics.descent(), length),
                          at});
}

ChartLayout LayOutChart(const QRectF& area, const Chart& chart, double unit) {
  ChartLayout layout;
  const QFontMetricsF title_metrics(ChartFont(unit, kTitleHeight, true));
  const double indent = kLeftRoom * unit * 0.25;
  layout.texts.push_back(
      Placed(ChartText::Kind::kTitle,
             title_metrics.elidedText(chart.title, Qt::ElideRight, area.width() - indent),
             QPointF(area.left() + indent, area.top() + kTitleHeight * unit * 1.1), title_metrics));
  layout.plot =
      QRectF(QPointF(area.left() + kLeftRoom * unit, area.top() + kTopRoom * unit),
             QPointF(area.right() - kRightRoom * unit, area.bottom() - kBottomRoom * unit));

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
  layout.has_data = x_lo <= x_hi && layout.plot.width() > 0 && layout.plot.height() > 0;
  if (!layout.has_data) return layout;

  const QFontMetricsF metrics(ChartFont(unit, kTextHeight));
  const double gap = 0.8 * unit;
  // What the upright title of the y axis leaves of the room left of the ticks.
  const double y_label_room =
      kLeftRoom * unit - (metrics.ascent() + metrics.descent() + 0.5 * unit) - 1.6 * unit - gap;
  // Whether an axis's labels keep apart along a plot.
  const auto x_apart = [&](const Axis& axis, const QRectF& plot) {
    const double spacing = plot.width() / static_cast<double>(axis.ticks.size() - 1);
    double end = -std::numeric_limits<double>::infinity();  // of the label before
    for (std::size_t k = 0; k < axis.labels.size(); ++k) {
      const double w = metrics.horizontalAdvance(axis.labels[k]);
      const double left = LabelLeft(plot.left() + static_cast<double>(k) * spacing, w, area);
      if (left < end + gap) return false;
      end = left + w;
    }
    return true;
  };
  const auto y_apart = [&](const Axis& axis, const QRectF& plot) {
    const double spacing = plot.height() / static_cast<double>(axis.ticks.size() - 1);
    return metrics.height() + 0.2 * unit <= spacing;
  };
  const double no_limit = std::numeric_limits<double>::infinity();
  if (chart.equal_scales) {
    // One step for both axes, from the wider span; the plot then takes the
    // largest rectangle of the axes' proportions, centred across its room
    // and at its top, under the title. A closed curve may pass near any
    // corner of the plot, with the labels of its marks: the legend goes to
    // the right of the plot, in room kept for it.
    const auto [wx_lo, wx_hi] = Widened(x_lo, x_hi);
    const auto [wy_lo, wy_hi] = Widened(y_lo, y_hi);
    QRectF room = layout.plot;
    if (!LegendLines(chart).empty())
      room.setRight(room.right() - LegendSize(metrics, chart, unit).width() - 2 * unit);
    for (int ticks = kTicks;; --ticks) {
      const double step = NiceStep(std::max(wx_hi - wx_lo, wy_hi - wy_lo), ticks);
      layout.x = AxisOver(x_lo, x_hi, ticks, metrics, no_limit, step);
      layout.y = AxisOver(y_lo, y_hi, ticks, metrics, y_label_room, step);
      const double across = layout.x.scale.hi - layout.x.scale.lo;
      const double upwards = layout.y.scale.hi - layout.y.scale.lo;
      const double per_unit = std::min(room.width() / across, room.height() / upwards);
      layout.plot = QRectF(0, 0, across * per_unit, upwards * per_unit);
      layout.plot.moveCenter(room.center());
      layout.plot.moveTop(room.top());
      if (ticks <= 2 || (x_apart(layout.x, layout.plot) && y_apart(layout.y, layout.plot))) break;
    }
  } else {
    layout.x = FittedAxis(x_lo, x_hi, metrics, no_limit,
                          [&](const Axis& axis) { return x_apart(axis, layout.plot); });
    layout.y = FittedAxis(y_lo, y_hi, metrics, y_label_room,
                          [&](const Axis& axis) { return y_apart(axis, layout.plot); });
  }
  PlaceAxisTexts(layout, chart, area, unit, metrics);
  return layout;
}

// The grid, its lines through 0 darker, the ticks and the plot's frame.
void DrawGrid(QPainter& p, const ChartLayout& layout, double unit) {
  const QRectF& plot = layout.plot;
  const double tick = 1.0 * unit;
  for (bool vertical : {true, false}) {
    const Axis& axis = vertical ? layout.x : layout.y;
    for (double v : axis.ticks) {
      const QPointF at = ToPage(layout, vertical ? QPointF(v, 0) : QPointF(0, v));
      const bool zero = std::fabs(v) < axis.scale.step * 1e-6;
      const QPen grid(zero ? kZeroGrey : kGridGrey, (zero ? 0.25 : 0.15) * unit);
      const QPen ticks(Qt::black, 0.2 * unit);
      if (vertical) {
        p.setPen(grid);
        p.drawLine(QPointF(at.x(), plot.top()), QPointF(at.x(), plot.bottom()));
        p.setPen(ticks);
        p.drawLine(QPointF(at.x(), plot.bottom()), QPointF(at.x(), plot.bottom() + tick));
      } else {
        p.setPen(grid);
        p.drawLine(QPointF(plot.left(), at.y()), QPointF(plot.right(), at.y()));
        p.setPen(ticks);
        p.drawLine(QPointF(plot.left() - tick, at.y()), QPointF(plot.left(), at.y()));
      }
    }
  }
  p.setPen(QPen(Qt::black, 0.25 * unit));
  p.drawRect(plot);
}

// Every text the layout placed: the title bold and larger.
void DrawTexts(QPainter& p, const ChartLayout& layout, double unit) {
  p.setPen(Qt::black);
  for (const ChartText& text : layout.texts) {
    const bool title = text.kind == ChartText::Kind::kTitle;
    p.setFont(title ? ChartFont(unit, kTitleHeight, true) : ChartFont(unit, kTextHeight));
    if (text.kind != ChartText::Kind::kAxisY) {
      p.drawText(text.at, text.text);
      continue;
    }
    p.save();
    p.translate(text.at);
    p.rotate(-90);
    p.drawText(QPointF(0, 0), text.text);
    p.restore();
  }
}

// The curves, the fiber one first so that the exact one stays on top, their
// marks, and the marks' labels over every line.
void DrawSeries(QPainter& p, const ChartLayout& layout, const Chart& chart, double unit) {
  const QRectF& plot = layout.plot;
  p.save();
  p.setClipRect(
      plot.adjusted(-kMarkSize * unit, -kMarkSize * unit, kMarkSize * unit, kMarkSize * unit));
  for (auto series = chart.series.rbegin(); series != chart.series.rend(); ++series) {
    QPainterPath path;
    for (std::size_t i = 0; i < series->points.size(); ++i) {
      const QPointF at = ToPage(layout, series->points[i]);
      if (i == 0) {
        path.moveTo(at);
      } else {
        path.lineTo(at);
      }
    }
    const LineStyle style = StyleOf(*series);
    p.setPen(SeriesPen(style, unit));
    p.drawPath(path);
    for (const ChartMark& mark : series->marks) {
      if (mark.index >= series->points.size()) continue;
      p.setPen(QPen(ColourOf(style), 0.25 * unit));
      Marker(p, ToPage(layout, series->points[mark.index]), style != LineStyle::kDashed, unit);
    }
  }
  // Each label to the right of its point unless that leaves the plot.
  const QFontMetricsF metrics(p.font());
  p.setPen(Qt::black);
  for (const ChartSeries& series : chart.series) {
    for (const ChartMark& mark : series.marks) {
      if (mark.label.isEmpty() || mark.index >= series.points.size()) continue;
      const QPointF data = series.points[mark.index];
      const QPointF at = ToPage(layout, data);
      const double w = metrics.horizontalAdvance(mark.label);
      const double right = at.x() + 1.3 * unit, left = at.x() - 1.3 * unit - w;
      const double above = at.y() - 1.0 * unit, below = at.y() + metrics.ascent() + 1.0 * unit;
      double x = right, y = above;
      if (chart.labels_outward) {
        if (data.x() < 0) x = left;
        if (data.y() < 0) y = below;
      }
      if (x == right && x + w > plot.right()) x = left;
      if (x == left && x < plot.left()) x = right;
      if (y == above && y - metrics.ascent() < plot.top()) y = below;
      if (y == below && y + metrics.descent() > plot.bottom()) y = above;
      // On a light ground, so that a line running through stays behind it.
      p.fillRect(QRectF(x - 0.3 * unit, y - metrics.ascent(), w + 0.6 * unit, metrics.height()),
                 QColor(255, 255, 255, 200));
      p.drawText(QPointF(x, y), mark.label);
    }
  }
  p.restore();
}

// Where the legend goes: in the plot's top or bottom right corner as the
// chart says; a chart of equal scales, whose curve may reach any corner,
// beside the plot in the room its layout kept there, or where an area is
// too small even for that, in the first corner of the plot that no line of
// it crosses.
QRectF LegendBox(const ChartLayout& layout, const Chart& chart, const QRectF& area,
                 const QFontMetricsF& metrics, double unit) {
  const QRectF& plot = layout.plot;
  QRectF box(QPointF(), LegendSize(metrics, chart, unit));
  const QPointF inset(unit, unit);
  box.moveTopRight(plot.topRight() + QPointF(-unit, unit));
  if (chart.legend_at_bottom) box.moveBottomRight(plot.bottomRight() - inset);
  if (!chart.equal_scales) return box;
  const QRectF beside = box.translated(plot.right() + unit - box.left(), -unit);
  if (area.contains(beside)) return beside;
  const auto crossed = [&](const QRectF& candidate) {
    const QRectF near = candidate.adjusted(-unit, -unit, unit, unit);
    for (const ChartSeries& series : chart.series) {
      for (std::size_t i = 1; i < series.points.size(); ++i) {
        const QPointF a = ToPage(layout, series.points[i - 1]),
                      b = ToPage(layout, series.points[i]);
        for (int k = 0; k <= 8; ++k) {
          if (near.contains(a + (b - a) * (k / 8.0))) return true;
        }
      }
    }
    return false;
  };
  for (const QPointF corner :
       {plot.topRight() + QPointF(-unit, unit), plot.topLeft() + inset, plot.bottomRight() - inset,
        plot.bottomLeft() + QPointF(unit, -unit)}) {
    QRectF candidate = box;
    if (corner.x() > plot.center().x()) {
      candidate.moveRight(corner.x());
    } else {
      candidate.moveLeft(corner.x());
    }
    if (corner.y() < plot.center().y()) {
      candidate.moveTop(corner.y());
    } else {
      candidate.moveBottom(corner.y());
    }
    if (!crossed(candidate)) return candidate;
  }
  return box;
}

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
  curves.biaxial = ComputeBiaxialCapacity(section, options.axial_ratio);
  return curves;
}

std::vector<MaterialValue> ConcreteValues(const ConcreteLaw& law) {
  return {{QStringLiteral("fc"), Figure(law.fc) + QStringLiteral(" N/mm²")},
          {QStringLiteral("ε0"), Figure(law.eps0)},
          {QStringLiteral("εcu"), Figure(law.epscu)},
          {QStringLiteral("n"), Figure(law.n)}};
}

std::vector<MaterialValue> SteelValues(const SteelLaw& law) {
  const auto stress = [](double value) { return Figure(value) + QStringLiteral(" N/mm²"); };
  std::vector<MaterialValue> values = {{QStringLiteral("fy"), stress(law.fy)},
                                       {QStringLiteral("fy′"), stress(law.fy_comp)}};
  if (law.fy_axial != law.fy_comp)
    values.push_back({QStringLiteral("fy′ (N0)"), stress(law.fy_axial)});
  values.push_back({QStringLiteral("Es"), stress(law.Es)});
  return values;
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
  chart.title = texts.curvature_title[a].arg(AxialForceFigure(exact.N));
  chart.x_axis = texts.curvature_axis;
  chart.y_axis = texts.moment_axis_plain;
  chart.legend_solid = texts.exact;
  chart.legend_dashed = texts.fiber;
  chart.empty_text = texts.cannot_hold.arg(AxialForceFigure(exact.N));
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

AnalysisCurves ComputeAnalysisCurves(const BrenmoorState& state, int record,
                                     const CapacityOptions& options) {
  AnalysisCurves curves;
  curves.options = options;
  curves.section = MakeAnalysisSection(state, record, AnalysisOptionsOf(options),
                                       state.records[static_cast<std::size_t>(record)].stirrups);
  for (BendingAxis axis : kAxes) {
    for (AnalysisModel model : {AnalysisModel::kExact, AnalysisModel::kFiber}) {
      curves.curve[Index(axis)][static_cast<int>(model)] =
          AnalysisCurveOf(curves.section, axis, model, options.axial_ratio);
    }
    if (curves.confined()) {
      curves.curve[Index(axis)][2] =
          AnalysisCurveOf(curves.section, axis, AnalysisModel::kConfined, options.axial_ratio);
    }
  }
  return curves;
}

Chart AnalysisChart(const AnalysisCurves& curves, BendingAxis axis,
                    const CapacityChartTexts& texts) {
  const int a = Index(axis);
  const double N = curves.curve[a][0].figures.N;
  Chart chart;
  chart.title = texts.analysis_title[a].arg(AxialForceFigure(N));
  chart.x_axis = texts.curvature_axis;
  chart.y_axis = texts.moment_axis_plain;
  chart.legend_solid = texts.exact;
  chart.legend_dashed = texts.fiber;
  if (curves.confined()) chart.legend_dotted = texts.confined;
  chart.empty_text = texts.cannot_hold.arg(AxialForceFigure(N));
  chart.legend_at_bottom = true;
  const int models = curves.confined() ? 3 : 2;
  std::vector<ChartSeries> bilinear;
  for (int m = 0; m < models; ++m) {
    const AnalysisCurve& curve = curves.curve[a][m];
    ChartSeries series;
    series.dashed = m == 1;
    series.dotted = m == 2;
    for (std::size_t i = 0; i < curve.points.size(); ++i) {
      const AnalysisPoint& point = curve.points[i];
      series.points.emplace_back(point.phi, point.M);
      // The exact curve names its points; the confined one its own end,
      // which lies far beyond the others.
      const bool named = m == 0 || (m == 2 && point.mark == AnalysisMark::kEnd);
      switch (point.mark) {
        case AnalysisMark::kFirstYield:
          series.marks.push_back({i, named ? texts.first_yield : QString()});
          break;
        case AnalysisMark::kNominal:
          series.marks.push_back({i, named ? texts.nominal : QString()});
          break;
        case AnalysisMark::kEnd:
          series.marks.push_back({i, named ? texts.end : QString()});
          break;
        case AnalysisMark::kPeak:
        case AnalysisMark::kNone:
          break;
      }
    }
    const AnalysisFigures& f = curve.figures;
    if (f.holds && f.phi_y && f.EI_eff && m != 1) {
      ChartSeries line;
      line.thin = true;
      line.points = {QPointF(0, 0), QPointF(*f.phi_y, *f.EI_eff * *f.phi_y),
                     QPointF(f.phi_u, f.M_u)};
      bilinear.push_back(std::move(line));
    }
    chart.series.push_back(std::move(series));
  }
  if (!bilinear.empty()) chart.legend_thin = texts.bilinear;
  for (ChartSeries& line : bilinear) chart.series.push_back(std::move(line));
  return chart;
}

Chart BiaxialChart(const CapacityCurves& curves, const CapacityChartTexts& texts) {
  const BiaxialCapacity& biaxial = curves.biaxial;
  Chart chart;
  chart.title = texts.biaxial_title.arg(AxialForceFigure(biaxial.figures.N));
  chart.x_axis = texts.moment_axis[1];
  chart.y_axis = texts.moment_axis[0];
  chart.legend_solid = texts.exact;
  chart.legend_dashed = texts.fiber;
  chart.empty_text = texts.cannot_hold.arg(AxialForceFigure(biaxial.figures.N));
  chart.equal_scales = true;
  chart.labels_outward = true;
  constexpr int kMarkEvery = 45 / kBiaxialStepDegrees;
  for (int m = 0; m < 2; ++m) {
    const bool holds = biaxial.figures.holds && (m == 0 || biaxial.fiber_holds);
    const auto& contour = m == 0 ? biaxial.exact : biaxial.fiber;
    ChartSeries series;
    series.dashed = m == 1;
    if (holds) {
      for (int k = 0; k <= kBiaxialDirections; ++k) {
        const BiaxialMoment& at = contour[static_cast<std::size_t>(k % kBiaxialDirections)];
        series.points.emplace_back(at.My, at.Mx);
        if (m == 0 && k < kBiaxialDirections && k % kMarkEvery == 0) {
          series.marks.push_back(
              {static_cast<std::size_t>(k), QStringLiteral("%1°").arg(k * kBiaxialStepDegrees)});
        }
      }
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
  // Relative to the step: a step of 2e-18 needs decimals as 0.02 does.
  for (double s = step; decimals < 12 && std::fabs(s - std::round(s)) > 1e-9 * std::fabs(s);
       s *= 10)
    ++decimals;
  if (std::fabs(value) < step * 1e-6) value = 0;  // never "-0"
  return QString::number(value, 'f', decimals).replace(u'-', QChar(0x2212));
}

void DrawChart(QPainter& p, const QRectF& area, const Chart& chart, double unit) {
  const ChartLayout layout = LayOutChart(area, chart, unit);
  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  if (layout.has_data) DrawGrid(p, layout, unit);
  DrawTexts(p, layout, unit);
  p.setFont(ChartFont(unit, kTextHeight));
  if (!layout.has_data) {
    p.setPen(QPen(kZeroGrey, 0.2 * unit));
    if (layout.plot.isValid()) p.drawRect(layout.plot);
    p.setPen(Qt::black);
    p.drawText(layout.plot.isValid() ? layout.plot : area, Qt::AlignCenter | Qt::TextWordWrap,
               chart.empty_text);
    p.restore();
    return;
  }
  DrawSeries(p, layout, chart, unit);
  if (!LegendLines(chart).empty()) {
    Legend(p, LegendBox(layout, chart, area, QFontMetricsF(p.font()), unit), chart, unit);
  }
  p.restore();
}

std::vector<ChartText> ChartTexts(const QRectF& area, const Chart& chart, double unit) {
  return LayOutChart(area, chart, unit).texts;
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

void DrawCapacityChartsWide(QPainter& painter, const QRectF& area, const CapacityCurves& curves,
                            const CapacityChartTexts& texts, double unit) {
  const double w = area.width() / 3;
  DrawCapacityCharts(painter, QRectF(area.left(), area.top(), 2 * w, area.height()), curves, texts,
                     unit);
  DrawChart(painter, QRectF(area.left() + 2 * w, area.top(), w, area.height()),
            BiaxialChart(curves, texts), unit);
}

}  // namespace brenmoor
