#pragma once

#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <vector>

#include "capacity/analysis.h"
#include "capacity/biaxial.h"
#include "capacity/capacity.h"
#include "model/state.h"

namespace brenmoor {

// Everything the capacity report and the window's capacity dialog show of one
// section: its figures and its curves about both axes in both models, and its
// biaxial contours at the options' axial load.
struct CapacityCurves {
  CapacityOptions options;
  SectionCapacity figures;
  // [axis][model], axis 0 about x and 1 about y, model 0 exact and 1 fiber.
  std::vector<InteractionPoint> interaction[2][2];
  MomentCurvature curvature[2][2];
  BiaxialCapacity biaxial;
};

// Computes them for a section MakeCapacitySection made with options.
CapacityCurves ComputeCapacityCurves(const CapacitySection& section,
                                     const CapacityOptions& options);

// The analysis moment–curvature of a section (capacity/analysis.h) about
// both axes in its models, as the capacity report and the dialog show it.
struct AnalysisCurves {
  CapacityOptions options;
  AnalysisSection section;  // its laws, its cells and bars, its confined core
  // [axis][model]: axis 0 about x and 1 about y; model 0 exact, 1 fiber and
  // 2 confined, the last only where the section has stirrups (section.core).
  AnalysisCurve curve[2][3];
  bool confined() const { return section.core.has_value(); }
};
// Computes them for record `record` of state with the stirrups the table
// gives it. Throws CapacityRefusal as MakeCapacitySection does.
AnalysisCurves ComputeAnalysisCurves(const BrenmoorState& state, int record,
                                     const CapacityOptions& options);

// A material value as the capacity report and the window list it: its
// symbol and its value with the unit ("fc", "16.7 N/mm²").
struct MaterialValue {
  QString symbol;
  QString value;
};
// fc, ε0, εcu and n of the concrete's law.
std::vector<MaterialValue> ConcreteValues(const ConcreteLaw& law);
// fy, fy′, fy′ (N0) where N0 takes another strength than fy′ (HRB500's
// design 400 against 435 N/mm²), and Es of the bars' law.
std::vector<MaterialValue> SteelValues(const SteelLaw& law);

// The words of the five charts, so that the report (English source texts)
// and the window (Chinese ones) draw the same charts in their own language.
// The named points keep their symbols: N0, Nt, b (the balanced point Nb, Mb)
// and M0; the directions of the contour their angle, "45°".
struct CapacityChartTexts {
  QString interaction_title[2];  // about x, about y
  QString curvature_title[2];    // "%1" is replaced by N in kN
  QString biaxial_title;         // "%1" is replaced by N in kN
  QString moment_axis[2];        // the M axis of the N–M charts, with unit
  QString axial_axis;            // "N (kN)"
  QString curvature_axis;        // "φ (1/m)"
  QString moment_axis_plain;     // the M axis of the moment–curvature charts
  QString exact, fiber;          // the legend
  QString first_yield, end;      // the marks of the moment–curvature curves
  QString cannot_hold;           // "%1" is replaced by N in kN
  // The analysis moment–curvature charts: their titles ("%1" is replaced by
  // N in kN), the confined model and the bilinear line in the legend, and
  // the nominal point's mark (first_yield and end mark theirs too).
  QString analysis_title[2];
  QString confined, bilinear;
  QString nominal;
};

// One chart: lines in data coordinates with marked points, drawn by
// DrawChart with axes, ticks at round steps and the legend.
struct ChartMark {
  std::size_t index = 0;  // into the series' points
  QString label;          // drawn beside the point; empty for a mark alone
};
struct ChartSeries {
  std::vector<QPointF> points;
  bool dashed = false;
  // A third line (dash and dot, green) and a thin grey one for what is
  // drawn over the curves (the bilinear line); dashed is then false.
  bool dotted = false;
  bool thin = false;
  std::vector<ChartMark> marks;
};
struct Chart {
  QString title, x_axis, y_axis;
  QString legend_solid, legend_dashed, legend_dotted, legend_thin;
  std::vector<ChartSeries> series;
  QString empty_text;  // shown instead of the plot when there are no points
  // The legend's corner inside the plot: top right, or bottom right where
  // the curves fill the top.
  bool legend_at_bottom = false;
  // One data unit as long on paper across as upwards, the plot narrowed
  // (and centred) or lowered (and kept under the title) to make it so: a
  // contour keeps its true shape. The legend then stands right of the plot.
  bool equal_scales = false;
  // Mark labels on the side of their point away from the origin, outside a
  // closed curve around it; otherwise right of and above the point.
  bool labels_outward = false;
};

// The N–M chart about one axis: M across, N upwards (compression positive),
// exact solid with its named points labelled, fiber dashed with its own
// named points marked.
Chart InteractionChart(const CapacityCurves& curves, BendingAxis axis,
                       const CapacityChartTexts& texts);
// The moment–curvature chart about one axis: both models, first yield and
// end marked (labelled on the exact curve).
Chart CurvatureChart(const CapacityCurves& curves, BendingAxis axis,
                     const CapacityChartTexts& texts);

// The analysis moment–curvature about one axis: exact solid, fiber dashed,
// confined dash-dotted where the section has stirrups, each with its first
// yield, nominal and end points marked (labelled on the exact curve, and on
// the confined one for its own end), and the bilinear line of the exact
// model (and of the confined one) thin: (0, 0) to (φy, Mn) to (φu, Mu).
// A model that cannot carry N draws nothing; where none can, the note.
Chart AnalysisChart(const AnalysisCurves& curves, BendingAxis axis,
                    const CapacityChartTexts& texts);

// The Mx–My contour at the axial load: My across and Mx upwards, so that
// the point of each direction θ lies on the side of the section that θ
// compresses (θ = 0° at +My, 90° at +Mx); exact solid and fiber dashed,
// closed, at equal scales, every 45° marked on the exact contour with its
// angle. A section that cannot carry N has no points and the note instead.
Chart BiaxialChart(const CapacityCurves& curves, const CapacityChartTexts& texts);

// Draws chart into area. unit is painter units per millimetre of paper (10
// for a page in tenths of a millimetre, about 4 for a window's pixels): it
// sizes the lines, texts and the margins for the tick labels. Axes run over
// whole ticks that take in the data and 0; ticks are 1, 2, 2.5 or 5 times a
// power of ten, up to seven along each axis, fewer where their labels would
// touch. A tick label has at most six characters besides its minus sign;
// where the values need more, the axis counts in a power of ten that is a
// multiple of 3, named in its title: "N (×10⁶ kN)".
// The legend is left out when it has no words.
void DrawChart(QPainter& painter, const QRectF& area, const Chart& chart, double unit);

// A text DrawChart draws: what it says, the box its glyphs take (painter
// units) and where its baseline starts; the y axis's title reads upwards
// from there.
struct ChartText {
  enum class Kind { kTitle, kTickX, kTickY, kAxisX, kAxisY };
  Kind kind;
  QString text;
  QRectF box;
  QPointF at;
};
// The texts DrawChart(painter, area, chart, unit) draws, in its order: the
// title, the ticks of x, those of y, then the titles of x and y; only the
// title when there is nothing to plot. Needs a QGuiApplication.
std::vector<ChartText> ChartTexts(const QRectF& area, const Chart& chart, double unit);

// The four charts of a section in two rows: N–M about x and about y, then
// moment–curvature about x and about y.
void DrawCapacityCharts(QPainter& painter, const QRectF& area, const CapacityCurves& curves,
                        const CapacityChartTexts& texts, double unit);

// The five charts side by side as the window shows them: the four of
// DrawCapacityCharts in the left two thirds of area, the Mx–My contour in
// the right third, over the height of both rows.
void DrawCapacityChartsWide(QPainter& painter, const QRectF& area, const CapacityCurves& curves,
                            const CapacityChartTexts& texts, double unit);

// The step between ticks for data spanning `span`: the smallest of 1, 2, 2.5
// and 5 times a power of ten that gives at most `ticks` intervals.
// Example: NiceStep(8466.2, 7) is 2000; NiceStep(0.043, 6) is 0.01.
double NiceStep(double span, int ticks);

// A tick's label with as many decimals as the step needs: 2000 -> "2000",
// 0.025 with step 0.025 -> "0.025", -1000 -> "−1000" (with a minus sign).
QString TickLabel(double value, double step);

}  // namespace brenmoor
