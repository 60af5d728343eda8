#include "report/capacity_report.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <functional>
#include <limits>

#include "capacity/analysis_laws.h"
#include "model/errors.h"
#include "model/materials.h"
#include "report/figures.h"
#include "report/page.h"
#include "report/pdf_writer.h"
#include "report/report_text.h"

namespace brenmoor {
namespace {

using namespace report_page;
// Below the cover's notes, in either language.
constexpr double kCoverTableTop = 1600;

const QColor kWarningRed(190, 0, 0);
const QColor kWarningTint(255, 226, 226);
const QColor kStripeGrey(244, 244, 244);

constexpr Column kSummaryColumns[] = {
    {QT_TRANSLATE_NOOP("CapacityReport", "No."), "", 70, true},
    {QT_TRANSLATE_NOOP("CapacityReport", "Name"), "", 220, false},
    {"B × H", "mm", 170, true},
    {QT_TRANSLATE_NOOP("CapacityReport", "Concrete"), "", 110, false},
    {"N0", "kN", 135, true},
    {"Nt", "kN", 135, true},
    {"M0 (x)", "kN·m", 135, true},
    {"M0 (y)", "kN·m", 135, true},
    {"ρ", "%", 90, true},
    {QT_TRANSLATE_NOOP("CapacityReport", "Error x"), "%", 110, true},
    {QT_TRANSLATE_NOOP("CapacityReport", "Error y"), "%", 110, true},
    {QT_TRANSLATE_NOOP("CapacityReport", "Error xy"), "%", 120, true},
    {QT_TRANSLATE_NOOP("CapacityReport", "Advice"), "", 260, false},
};
constexpr Column kFigureColumns[] = {
    {QT_TRANSLATE_NOOP("CapacityReport", "Bending"), "", 260, false},
    {"N0", "kN", 220, true},
    {"Nt", "kN", 220, true},
    {"Nb", "kN", 220, true},
    {"Mb", "kN·m", 220, true},
    {"M0", "kN·m", 220, true},
    {QT_TRANSLATE_NOOP("CapacityReport", "Fiber M0"), "kN·m", 220, true},
    {QT_TRANSLATE_NOOP("CapacityReport", "Fiber error"), "%", 220, true},
};

constexpr Column kAnalysisColumns[] = {
    {QT_TRANSLATE_NOOP("CapacityReport", "Axis"), "", 100, false},
    {QT_TRANSLATE_NOOP("CapacityReport", "Model"), "", 220, false},
    {"EI0", "kN·m²", 150, true},
    {"φy′", "1/m", 130, true},
    {"My′", "kN·m", 125, true},
    {"Mn", "kN·m", 125, true},
    {"φy", "1/m", 130, true},
    {"EIeff", "kN·m²", 150, true},
    {"φu", "1/m", 130, true},
    {"Mu", "kN·m", 125, true},
    {"M_peak", "kN·m", 125, true},
    {"μφ", "", 100, true},
    {QT_TRANSLATE_NOOP("CapacityReport", "Ends by"), "", 150, false},
};

// The room at the foot of a section page for its scope line.
constexpr double kScopeRoom = 60;

// What a section page's figures are and leave out, in one line.
QString SectionScope(const ReportText& text) {
  return text(QT_TRANSLATE_NOOP(
      "CapacityReport",
      "Cross-section resistances by the design laws of GB 50010 §6.2.1, without the stability "
      "factor 0.9φ, the additional eccentricity, second-order effects or γRE; N0 of the gross "
      "section B × H."));
}

// What an analysis page's figures are and leave out, in one line.
QString AnalysisScope(const ReportText& text) {
  return text(QT_TRANSLATE_NOOP(
      "CapacityReport",
      "Behaviour of the cross-section by the analysis laws of GB 50010 Appendix C under "
      "monotonic bending at constant N; not modelled: bar buckling, shear, bond slip and cyclic "
      "loading."));
}

// Moments to a tenth of a kN·m (forces take AxialForceFigure), errors to a hundredth of a
// percent, where they fit their columns.
QString Moment(double value) { return CapacityFigure(value, 1); }
QString ErrorPct(double value) { return CapacityFigure(value, 2); }

// Which cells to raise: FY divides H, over which the strain varies in
// bending about x; FX divides B, for bending about y. The diagonal of
// biaxial bending depends on both, so where it alone is poor both are
// raised; where x or y is poor too, their cells come first (their error
// also counts in the diagonal's). biaxial_error_pct is NaN where the section
// does not carry the axial load.
QString Advice(const SectionCapacity& f, double biaxial_error_pct, const ReportText& text) {
  bool x = f.x.fiber_error_pct > kFiberErrorLimitPct, y = f.y.fiber_error_pct > kFiberErrorLimitPct;
  if (!x && !y && biaxial_error_pct > kFiberErrorLimitPct) x = y = true;
  if (x && y) return text(QT_TRANSLATE_NOOP("CapacityReport", "raise FX and FY"));
  if (x) return text(QT_TRANSLATE_NOOP("CapacityReport", "raise FY"));
  if (y) return text(QT_TRANSLATE_NOOP("CapacityReport", "raise FX"));
  return QString();
}

// A section's biaxial fiber error, NaN (shown "–") where it does not carry
// the axial load or its figures are not given.
double BiaxialError(const std::vector<BiaxialFigures>& biaxial, int record) {
  const auto i = static_cast<std::size_t>(record - 1);
  if (i >= biaxial.size() || !biaxial[i].holds) return std::numeric_limits<double>::quiet_NaN();
  return biaxial[i].fiber_error_pct;
}

// ρ in percent with two decimals, marked "*" outside the limits.
QString RhoText(double rho, bool outside) {
  return Percent(100 * rho) + (outside ? QStringLiteral("*") : QString());
}

QString StrengthsText(Strengths strengths, const ReportText& text) {
  return strengths == Strengths::kDesign
             ? text(QT_TRANSLATE_NOOP("CapacityReport", "design strengths"))
             : text(QT_TRANSLATE_NOOP("CapacityReport", "characteristic strengths"));
}

class CapacityPainter {
 public:
  CapacityPainter(QPagedPaintDevice& device, const BrenmoorState& state,
                  const CapacityReportInfo& info, int pages)
      : device_(device),
        state_(state),
        info_(info),
        pages_(pages),
        text_(info.language, "CapacityReport"),
        chart_texts_(CapacityReportTexts(text_)) {}

  void Begin() {
    BeginPages(painter_, device_, "Cannot draw the capacity report on this device");
    RunningHead();
  }
  void End() { painter_.end(); }
  int pages() const { return page_; }

  void NewPage() {
    device_.newPage();
    ++page_;
    RunningHead();
  }

  void Cover(int sections) {
    const CapacityOptions& o = info_.options;
    const SteelLaw steel = SteelLawOf(o.steel, o.strengths);
    const QString grade = QString::fromLatin1(SteelGradeName(o.steel));
    const QString steel_text =
        steel.fy_axial == steel.fy_comp
            ? text_(QT_TRANSLATE_NOOP("CapacityReport", "%1, %2: fy = %3, fy′ = %4 N/mm²"))
                  .arg(grade, StrengthsText(o.strengths, text_))
                  .arg(steel.fy)
                  .arg(steel.fy_comp)
            : text_(QT_TRANSLATE_NOOP("CapacityReport",
                                      "%1, %2: fy = %3, fy′ = %4 N/mm², %5 N/mm² in N0"))
                  .arg(grade, StrengthsText(o.strengths, text_))
                  .arg(steel.fy)
                  .arg(steel.fy_comp)
                  .arg(steel.fy_axial);
    double y = CoverHead(
        painter_, text_(QT_TRANSLATE_NOOP("CapacityReport", "Section capacity report")),
        {
            {text_(QT_TRANSLATE_NOOP("CapacityReport", "Table")), info_.table_name},
            {text_(QT_TRANSLATE_NOOP("CapacityReport", "Date")), info_.date.toString(Qt::ISODate)},
            {QStringLiteral("Brenmoor"), info_.version},
            {text_(QT_TRANSLATE_NOOP("CapacityReport", "Sections")), QString::number(sections)},
            {text_(QT_TRANSLATE_NOOP("CapacityReport", "Materials")),
             text_(QT_TRANSLATE_NOOP("CapacityReport",
                                     "the laws of GB 50010-2010, steel strengths by its 2015 "
                                     "edition (Table 4.2.3-1)"))},
            {text_(QT_TRANSLATE_NOOP("CapacityReport", "Steel")), steel_text},
            {text_(QT_TRANSLATE_NOOP("CapacityReport", "Axial load")),
             text_(QT_TRANSLATE_NOOP("CapacityReport",
                                     "r = N / (fc·B·H) = %1, fc the design strength, for the "
                                     "moment–curvature curves and biaxial bending"))
                 .arg(o.axial_ratio)},
        });
    // What the figures are and what they are not, before what they mean.
    const QString scope = text_(QT_TRANSLATE_NOOP(
        "CapacityReport",
        "These are the resistances of the cross-sections alone, with the assumptions of GB "
        "50010-2010 §6.2.1 (plane sections, no tension in the concrete, the stress–strain laws of "
        "the concrete and the bars). Not included: the stability factor 0.9φ of axial "
        "compression, the additional eccentricity, second-order effects and the seismic "
        "adjustment factor γRE. Apply them where the design needs them. N0 is that of the gross "
        "section B × H: the bars' area is not taken out of the concrete."));
    const QString notes[] = {
        text_(QT_TRANSLATE_NOOP(
            "CapacityReport",
            "Exact: the gross rectangle B × H integrated in closed form, with the bars; fiber: the "
            "cells and bars of the component file, each at the strain of its centroid. "
            "Compression is positive; x is the section's axis 3, y its axis 2.")),
        text_(QT_TRANSLATE_NOOP(
            "CapacityReport",
            "N0: uniform ε0; Nt: uniform −0.01; Nb, Mb: top at εcu, tension-most bar yielding; "
            "M0: N = 0. The moment–curvature curves follow the design laws (no tension in the "
            "concrete, the parabola's tangent 2fc/ε0 at the origin instead of Ec): they show "
            "strength, not stiffness.")),
        text_(QT_TRANSLATE_NOOP(
            "CapacityReport",
            "Error x, y: the largest difference of the fiber model's M from the exact one at 19 "
            "loads between Nt and N0, over the largest exact M. Error xy: the largest distance "
            "of the fiber model's (Mx, My) from the exact one in 72 directions of biaxial "
            "bending at the axial load, over the largest exact |M|; “–” where the section "
            "cannot carry that load.")),
        text_(
            QT_TRANSLATE_NOOP(
                "CapacityReport",
                "Above %1 % (in red) the fibers stand poorly for the section: raise FY for bending "
                "about x, FX about y, both where only the biaxial error is high. The window's "
                "“Save the table with the suggested grids” and brenmoor refine find the best grid "
                "within the file's 60 fibers."))
            .arg(kFiberErrorLimitPct),
        text_(QT_TRANSLATE_NOOP("CapacityReport",
                                "ρ: all longitudinal bars over B·H, marked * in red where it "
                                "lies outside what GB 50010 allows for a column: at least "
                                "0.60 % for HRB335, 0.55 % for HRB400, 0.50 % for HRB500 "
                                "(0.10 % more from C60, Table 8.5.1), at most 5 %.")),
    };
    // The analysis pages follow other laws than the design figures: which,
    // and what they leave out.
    const QString analysis =
        text_(QT_TRANSLATE_NOOP(
                  "CapacityReport",
                  "Analysis moment–curvature (the second page of each section): the laws of GB "
                  "50010 Appendix C at %1 (concrete C.2.4 in compression and C.2.3 in tension, "
                  "Ec of Table 4.1.5; bars and hoops without a yield plateau, fy,r to fst,r at "
                  "Agt), the core inside the stirrups confined after Mander, Priestley and Park "
                  "(1988), the two directions' confining pressures averaged and the held bars "
                  "taken as evenly spaced. Not modelled: bar buckling, shear, bond slip, cyclic "
                  "loading."))
            .arg(StrengthsText(o.strengths, text_));
    y += 10;
    painter_.setFont(Font(26, true));
    y = Paragraph(y, scope) + 14;
    painter_.setFont(Font(24));
    for (const QString& note : notes) y = Paragraph(y, note) + 8;
    y = Paragraph(y, analysis) + 8;
    y = ModulusNote(y);
  }
  // One page of the summary table from its top; returns the next section.
  int SummaryPage(double top, int section, const std::vector<SectionCapacity>& figures,
                  const std::vector<BiaxialFigures>& biaxial) {
    TableHeader(painter_, top, kSummaryColumns, text_);
    const int rows = RowsFrom(top);
    double y = top + kHeaderHeight;
    for (int row = 0; row < rows && section <= state_.imported_count; ++row, ++section) {
      const TSECTION& s = state_.records[static_cast<std::size_t>(section)];
      const SectionCapacity& f = figures[static_cast<std::size_t>(section - 1)];
      const double biaxial_error = BiaxialError(biaxial, section);
      const CapacitySection laid = MakeCapacitySection(state_, section, info_.options);
      const double rho = ReinforcementRatio(laid);
      const bool rho_outside =
          ReinforcementOutsideLimits(rho, info_.options.steel, laid.concrete.fcuk);
      const QString advice = Advice(f, biaxial_error, text_);
      if (!advice.isEmpty() || rho_outside) {
        painter_.fillRect(QRectF(kLeft, y, kRight - kLeft, kRowHeight), kWarningTint);
      } else if (row % 2 == 1) {
        painter_.fillRect(QRectF(kLeft, y, kRight - kLeft, kRowHeight), kStripeGrey);
      }
      painter_.setFont(Font(24));
      const QString cells[] = {
          QString::number(section),
          QFontMetricsF(painter_.font())
              .elidedText(Shown(s.NAME), Qt::ElideRight, kSummaryColumns[1].width - 24),
          QStringLiteral("%1 × %2").arg(Figure(s.B), Figure(s.H)),
          QString::fromStdString(MaterialName(state_, s.concrete_material)),
          AxialForceFigure(f.x.N0),
          AxialForceFigure(f.x.Nt),
          Moment(f.x.M0),
          Moment(f.y.M0),
          RhoText(rho, rho_outside),
          ErrorPct(f.x.fiber_error_pct),
          ErrorPct(f.y.fiber_error_pct),
          ErrorPct(biaxial_error),
          advice,
      };
      const bool warn[] = {false,
                           false,
                           false,
                           false,
                           false,
                           false,
                           false,
                           false,
                           rho_outside,
                           f.x.fiber_error_pct > kFiberErrorLimitPct,
                           f.y.fiber_error_pct > kFiberErrorLimitPct,
                           biaxial_error > kFiberErrorLimitPct,
                           true};
      Row(y, kSummaryColumns, cells, warn);
      y += kRowHeight;
    }
    TableRule(painter_, y);
    return section;
  }

  void SectionPage(int number, const CapacitySection& section, const CapacityCurves& curves) {
    double y = SectionHead(number, section, curves);
    y = SectionRemarks(y, section, curves);
    // The four curves in two rows, then the contour beside the values that
    // explain it.
    const QRectF charts(kLeft - 20, y + 30, kRight - kLeft + 20, kBottom - y - 40 - kScopeRoom);
    const double row = charts.height() / 3, half = charts.width() / 2;
    DrawCapacityCharts(painter_, QRectF(charts.topLeft(), QSizeF(charts.width(), 2 * row)), curves,
                       chart_texts_, kUnit);
    const QRectF last(charts.left(), charts.top() + 2 * row, half, row);
    DrawChart(painter_, last, BiaxialChart(curves, chart_texts_), kUnit);
    Values(QRectF(last.right() + 40, last.top() + 30, half - 60, row - 30), section, curves);
    // A page printed alone (the dialog's PDF, a page pulled from the report)
    // still says what its figures leave out.
    painter_.setPen(Qt::black);
    painter_.setFont(Font(22));
    painter_.drawText(QRectF(kLeft, kBottom - kScopeRoom, kRight - kLeft, kScopeRoom),
                      Qt::AlignLeft | Qt::AlignBottom | Qt::TextWordWrap, SectionScope(text_));
  }

  // The section's analysis moment–curvature: its laws, the curves about x
  // and y side by side, every model's figures with the fiber's error, and
  // what the empty ones mean.
  void AnalysisPage(int number, const AnalysisCurves& curves) {
    const TSECTION& s = state_.records[static_cast<std::size_t>(number)];
    const AnalysisSection& section = curves.section;
    painter_.setPen(Qt::black);
    painter_.setFont(Font(44, true));
    painter_.drawText(QPointF(kLeft, 310),
                      QFontMetricsF(painter_.font())
                          .elidedText(text_(QT_TRANSLATE_NOOP("CapacityReport",
                                                              "%1  %2: analysis moment–curvature"))
                                          .arg(number)
                                          .arg(Shown(s.NAME)),
                                      Qt::ElideRight, kRight - kLeft));
    double y = AnalysisLaws(370, s, curves);
    if (section.capacity.cells.empty()) {
      painter_.setPen(kWarningRed);
      painter_.setFont(Font(26, true));
      y += 40;
      painter_.drawText(
          QPointF(kLeft, y),
          text_(QT_TRANSLATE_NOOP("CapacityReport",
                                  "The section has no concrete fibers: its fiber model is the "
                                  "bars alone.")));
    }
    const double chart_top = y + 30, chart_height = 1000, half = (kRight - kLeft + 20) / 2;
    for (BendingAxis axis : {BendingAxis::kX, BendingAxis::kY}) {
      const double left = kLeft - 20 + (axis == BendingAxis::kX ? 0 : half);
      DrawChart(painter_, QRectF(left, chart_top, half, chart_height),
                AnalysisChart(curves, axis, chart_texts_), kUnit);
    }
    y = AnalysisTable(chart_top + chart_height + 30, curves);
    y = AnalysisRemarks(y, curves);
    painter_.setFont(Font(22));
    y = Paragraph(y + 20, text_(QT_TRANSLATE_NOOP(
                              "CapacityReport",
                              "EI0: M/φ at φy′/1000. φy′, My′: first yield, the tension-most bar "
                              "at fy,r/Es or the edge at εc,r. Mn: the edge at 0.004 or a bar at "
                              "−0.015 in tension, or Mu where the curve ends first. Bilinear: "
                              "φy = φy′·Mn/My′ and EIeff = Mn/φy where Mn > My′, else φy = φy′. "
                              "φu, Mu: the end, by the concrete (the edge at εcu, the confined "
                              "core's edge at εcu,c), a bar (at Agt in tension), the drop (M "
                              "down to 0.8 of the largest M so far) or the axial load (no "
                              "strain state carries N further on). μφ = φu/φy. Fiber error: "
                              "|fiber − exact| / |exact| · 100.")));
    painter_.setPen(Qt::black);
    painter_.setFont(Font(22));
    painter_.drawText(QRectF(kLeft, kBottom - kScopeRoom, kRight - kLeft, kScopeRoom),
                      Qt::AlignLeft | Qt::AlignBottom | Qt::TextWordWrap, AnalysisScope(text_));
  }

 private:
  // The laws of an analysis page, from y: the load, the concrete (with the
  // material table's modulus where it differs from Ec), the bars and the
  // confined core or that there is none; returns the last baseline.
  double AnalysisLaws(double y, const TSECTION& s, const AnalysisCurves& curves) {
    const AnalysisSection& section = curves.section;
    const CapacityOptions& o = curves.options;
    const AnalysisConcrete& c = section.concrete;
    const AnalysisSteel& b = section.steel;
    const double N = curves.curve[0][0].figures.N;
    QStringList lines;
    lines << text_(QT_TRANSLATE_NOOP("CapacityReport",
                                     "N = %1 kN (r = %2), %3; B × H = %4 × %5 mm, CC = %6 mm, "
                                     "%7 concrete cells and %8 bars"))
                 .arg(AxialForceFigure(N))
                 .arg(o.axial_ratio)
                 .arg(StrengthsText(o.strengths, text_), Figure(s.B), Figure(s.H), Figure(s.CC))
                 .arg(section.capacity.cells.size())
                 .arg(section.capacity.bars.size());
    const QString concrete =
        text_(QT_TRANSLATE_NOOP("CapacityReport",
                                "C%1: fc,r = %2, ft,r = %3, Ec = %4 N/mm² (Table 4.1.5), "
                                "εc,r = %5, εcu = %6, αc = %7, εt,r = %8"))
            .arg(c.fcuk)
            .arg(Figure(c.fc), Figure(c.ft), Figure(c.Ec), Figure(c.eps_c), Figure(c.eps_cu),
                 Figure(c.alpha_c), Figure(c.eps_t));
    const std::size_t material = static_cast<std::size_t>(s.concrete_material);
    lines << concrete;
    if (material < state_.materials.size() && state_.materials[material].modulus != c.Ec) {
      lines << text_(QT_TRANSLATE_NOOP("CapacityReport",
                                       "The component file's material table gives C%1 E = %2 "
                                       "N/mm²; these laws take Ec = %3 N/mm² of Table 4.1.5."))
                   .arg(c.fcuk)
                   .arg(Figure(state_.materials[material].modulus), Figure(c.Ec));
    }
    lines << text_(QT_TRANSLATE_NOOP("CapacityReport",
                                     "Bars %1: fy,r = %2, fst,r = %3 N/mm², Agt = %4, Es = %5 "
                                     "N/mm², no yield plateau"))
                 .arg(QString::fromLatin1(RebarGradeName(b.grade)), Figure(b.fy), Figure(b.fst),
                      Figure(b.agt), Figure(b.Es));
    if (const auto& core = section.core; core && s.stirrups) {
      const Stirrups& h = *s.stirrups;
      lines << text_(QT_TRANSLATE_NOOP("CapacityReport",
                                       "Stirrups Φ%1@%2, %3 legs along x and %4 along y, %5: core "
                                       "%6 × %7 mm, ke = %8, fl′ = %9 N/mm²"))
                   .arg(Figure(h.d), Figure(h.s))
                   .arg(h.legs_x)
                   .arg(h.legs_y)
                   .arg(QString::fromLatin1(RebarGradeName(o.hoops)), Figure(core->bc),
                        Figure(core->dc), Figure(core->ke), Figure(core->fl));
      lines << text_(QT_TRANSLATE_NOOP("CapacityReport",
                                       "Confined core: fcc = %1 N/mm², εcc = %2, r = %3, εcu,c = "
                                       "%4"))
                   .arg(Figure(core->fcc), Figure(core->eps_cc), Figure(core->r),
                        Figure(core->eps_cu));
    } else {
      lines << text_(QT_TRANSLATE_NOOP("CapacityReport",
                                       "No stirrups in the table for this section: no confined "
                                       "model."));
    }
    painter_.setPen(Qt::black);
    painter_.setFont(Font(26));
    const QFontMetricsF metrics(painter_.font());
    for (int k = 0; k < lines.size(); ++k) {
      if (k > 0) y += 38;
      painter_.drawText(QPointF(kLeft, y),
                        metrics.elidedText(lines[k], Qt::ElideRight, kRight - kLeft));
    }
    return y;
  }

  // The figures of every model about x and y, each axis closed by the
  // fiber's error; a model that cannot carry N says so in its row. Returns
  // the table's bottom.
  double AnalysisTable(double top, const AnalysisCurves& curves) {
    TableHeader(painter_, top, kAnalysisColumns, text_);
    double y = top + kHeaderHeight;
    const int models = curves.confined() ? 3 : 2;
    const auto fields = [](const AnalysisFigures& f) {
      return std::array<std::optional<double>, 10>{f.EI0,    f.phi_y1, f.M_y1, f.M_n,    f.phi_y,
                                                   f.EI_eff, f.phi_u,  f.M_u,  f.M_peak, f.mu_phi};
    };
    const auto shown = [](std::size_t k, double v) {
      switch (k) {
        case 2:
        case 3:
        case 7:
        case 8:
          return Moment(v);
        case 9:
          return CapacityFigure(v, 2);
        default:
          return Figure(v);
      }
    };
    for (BendingAxis axis : {BendingAxis::kX, BendingAxis::kY}) {
      const int a = axis == BendingAxis::kX ? 0 : 1;
      for (int m = 0; m <= models; ++m) {
        const bool error_row = m == models;
        const QString model = error_row
                                  ? text_(QT_TRANSLATE_NOOP("CapacityReport", "fiber error, %"))
                              : m == 0 ? text_(QT_TRANSLATE_NOOP("CapacityReport", "exact"))
                              : m == 1 ? text_(QT_TRANSLATE_NOOP("CapacityReport", "fiber"))
                                       : text_(QT_TRANSLATE_NOOP("CapacityReport", "confined"));
        QString cells[std::size(kAnalysisColumns)];
        cells[0] = m == 0 ? (a == 0 ? QStringLiteral("x") : QStringLiteral("y")) : QString();
        cells[1] = model;
        bool warn[std::size(kAnalysisColumns)] = {};
        const AnalysisFigures& f = curves.curve[a][error_row ? 0 : m].figures;
        if (error_row) {
          const AnalysisFigures& fiber = curves.curve[a][1].figures;
          const auto exact_fields = fields(f), fiber_fields = fields(fiber);
          for (std::size_t k = 0; k < exact_fields.size(); ++k) {
            if (!f.holds || !fiber.holds || !exact_fields[k] || !fiber_fields[k] ||
                *exact_fields[k] == 0)
              continue;
            const double error =
                std::abs(*fiber_fields[k] - *exact_fields[k]) / std::abs(*exact_fields[k]) * 100;
            cells[k + 2] = ErrorPct(error);
            warn[k + 2] = error > kFiberErrorLimitPct;
          }
        } else if (f.holds) {
          const auto values = fields(f);
          for (std::size_t k = 0; k < values.size(); ++k) {
            if (values[k]) cells[k + 2] = shown(k, *values[k]);
          }
          cells[12] = EndText(f.ends_by);
        }
        if (m % 2 == 1)
          painter_.fillRect(QRectF(kLeft, y, kRight - kLeft, kRowHeight), kStripeGrey);
        Row(y, kAnalysisColumns, cells, warn);
        if (!error_row && !f.holds) {
          painter_.setPen(kWarningRed);
          painter_.setFont(Font(24, true));
          painter_.drawText(
              QPointF(kLeft + kAnalysisColumns[0].width + kAnalysisColumns[1].width + 12, y + 30),
              text_(QT_TRANSLATE_NOOP("CapacityReport", "The model cannot carry N = %1 kN."))
                  .arg(AxialForceFigure(f.N)));
        }
        y += kRowHeight;
      }
    }
    TableRule(painter_, y);
    return y;
  }

  // Why a model's yield figures are empty, below the table at y; returns
  // the bottom of the last remark.
  double AnalysisRemarks(double y, const AnalysisCurves& curves) {
    QStringList remarks;
    const int models = curves.confined() ? 3 : 2;
    for (int a = 0; a < 2; ++a) {
      for (int m = 0; m < models; ++m) {
        const AnalysisFigures& f = curves.curve[a][m].figures;
        if (!f.holds || f.phi_y1) continue;
        const QString which = QStringLiteral("%1, %2").arg(
            a == 0 ? text_(QT_TRANSLATE_NOOP("CapacityReport", "about x"))
                   : text_(QT_TRANSLATE_NOOP("CapacityReport", "about y")),
            m == 0   ? text_(QT_TRANSLATE_NOOP("CapacityReport", "exact"))
            : m == 1 ? text_(QT_TRANSLATE_NOOP("CapacityReport", "fiber"))
                     : text_(QT_TRANSLATE_NOOP("CapacityReport", "confined")));
        remarks << (f.N >= 0 ? text_(QT_TRANSLATE_NOOP(
                                   "CapacityReport",
                                   "%1: no yield figures: N alone takes the edge past εc,r, or the "
                                   "curve ends before the first yield."))
                             : text_(QT_TRANSLATE_NOOP(
                                   "CapacityReport",
                                   "%1: no yield figures: N alone takes the bars past fy,r/Es, or "
                                   "the curve ends before the first yield.")))
                       .arg(which);
      }
    }
    painter_.setPen(kWarningRed);
    painter_.setFont(Font(24, true));
    for (const QString& remark : remarks) {
      y += 38;
      painter_.drawText(QPointF(kLeft, y), remark);
    }
    return y;
  }

  QString EndText(CurveEnd end) const {
    switch (end) {
      case CurveEnd::kConcrete:
        return text_(QT_TRANSLATE_NOOP("CapacityReport", "concrete"));
      case CurveEnd::kBar:
        return text_(QT_TRANSLATE_NOOP("CapacityReport", "bar"));
      case CurveEnd::kDrop:
        return text_(QT_TRANSLATE_NOOP("CapacityReport", "drop"));
      case CurveEnd::kAxial:
        break;
    }
    return text_(QT_TRANSLATE_NOOP("CapacityReport", "axial"));
  }

  // A section page's title, its description and its table of figures;
  // returns the bottom of the table.
  double SectionHead(int number, const CapacitySection& section, const CapacityCurves& curves) {
    const TSECTION& s = state_.records[static_cast<std::size_t>(number)];
    painter_.setPen(Qt::black);
    painter_.setFont(Font(44, true));
    painter_.drawText(QPointF(kLeft, 310),
                      QFontMetricsF(painter_.font())
                          .elidedText(QStringLiteral("%1  %2").arg(number).arg(Shown(s.NAME)),
                                      Qt::ElideRight, kRight - kLeft));
    double as = 0;
    for (const CapacityBar& bar : section.bars) as += bar.area;
    const double rho = ReinforcementRatio(section);
    const CapacityOptions& o = curves.options;
    painter_.setFont(Font(28));
    painter_.drawText(
        QPointF(kLeft, 365),
        text_(QT_TRANSLATE_NOOP("CapacityReport",
                                "B × H = %1 × %2 mm, CC = %3 mm, C%4, As = %5 mm² (ρ = %6 %) in "
                                "%7 bars, %8 concrete cells; %9 %10"))
            .arg(Figure(s.B), Figure(s.H), Figure(s.CC))
            .arg(section.concrete.fcuk)
            .arg(Figure(as), Percent(100 * rho))
            .arg(section.bars.size())
            .arg(section.cells.size())
            .arg(QString::fromLatin1(SteelGradeName(o.steel)), StrengthsText(o.strengths, text_)));

    const double top = 400;
    TableHeader(painter_, top, kFigureColumns, text_);
    double y = top + kHeaderHeight;
    for (BendingAxis axis : {BendingAxis::kX, BendingAxis::kY}) {
      const AxisCapacity& f = curves.figures.about(axis);
      const QString cells[] = {
          axis == BendingAxis::kX ? text_(QT_TRANSLATE_NOOP("CapacityReport", "about x"))
                                  : text_(QT_TRANSLATE_NOOP("CapacityReport", "about y")),
          AxialForceFigure(f.N0),
          AxialForceFigure(f.Nt),
          AxialForceFigure(f.Nb),
          Moment(f.Mb),
          Moment(f.M0),
          Moment(f.fiber_M0),
          ErrorPct(f.fiber_error_pct),
      };
      const bool high = f.fiber_error_pct > kFiberErrorLimitPct;
      const bool warn[] = {false, false, false, false, false, false, false, high};
      if (high) painter_.fillRect(QRectF(kLeft, y, kRight - kLeft, kRowHeight), kWarningTint);
      Row(y, kFigureColumns, cells, warn);
      y += kRowHeight;
    }
    TableRule(painter_, y);
    return y;
  }

  // What the engineer must act on, in red below the figures at y; returns
  // the bottom of the last remark.
  double SectionRemarks(double y, const CapacitySection& section, const CapacityCurves& curves) {
    const double rho = ReinforcementRatio(section);
    const BiaxialFigures& biaxial = curves.biaxial.figures;
    const QString advice = Advice(
        curves.figures,
        biaxial.holds ? biaxial.fiber_error_pct : std::numeric_limits<double>::quiet_NaN(), text_);
    QStringList remarks;
    if (!advice.isEmpty()) {
      remarks << text_(QT_TRANSLATE_NOOP("CapacityReport",
                                         "Fiber error above %1 %: %2 of this section."))
                     .arg(kFiberErrorLimitPct)
                     .arg(advice);
    }
    const SteelGrade steel = curves.options.steel;
    if (ReinforcementOutsideLimits(rho, steel, section.concrete.fcuk)) {
      remarks << text_(QT_TRANSLATE_NOOP("CapacityReport",
                                         "ρ = %1 % lies outside the %2 %–5 % that GB 50010 "
                                         "allows for the longitudinal bars of a column."))
                     .arg(Percent(100 * rho),
                          Percent(100 * MinReinforcementRatio(steel, section.concrete.fcuk)));
    }
    painter_.setPen(kWarningRed);
    painter_.setFont(Font(26, true));
    for (const QString& remark : remarks) {
      y += 40;
      painter_.drawText(QPointF(kLeft, y), remark);
    }
    return y;
  }

  // Where the component file's material table gives a concrete grade of the
  // table another modulus than Table 4.1.5's Ec, which the analysis laws
  // take, both, below y; returns the bottom.
  double ModulusNote(double y) {
    std::vector<bool> used(state_.materials.size(), false);
    for (int r = 1; r <= state_.imported_count; ++r) {
      const auto m =
          static_cast<std::size_t>(state_.records[static_cast<std::size_t>(r)].concrete_material);
      if (m < used.size()) used[m] = true;
    }
    QStringList pairs;
    for (std::size_t m = 0; m < used.size(); ++m) {
      const TMAT& material = state_.materials[m];
      const std::string& name = material.name;
      int fcuk = 0;
      if (!used[m] || name.size() < 2 || name[0] != 'C') continue;
      const auto [end, ec] = std::from_chars(name.data() + 1, name.data() + name.size(), fcuk);
      if (ec != std::errc() || end != name.data() + name.size() || fcuk < 30 || fcuk > 80 ||
          fcuk % 5 != 0)
        continue;
      const double Ec = AnalysisConcreteOf(fcuk, info_.options.strengths).Ec;
      if (material.modulus != Ec) {
        pairs << QStringLiteral("C%1 %2 / %3").arg(fcuk).arg(Figure(material.modulus), Figure(Ec));
      }
    }
    if (pairs.isEmpty()) return y;
    return Paragraph(y, text_(QT_TRANSLATE_NOOP(
                                  "CapacityReport",
                                  "The component file's material table keeps its moduli; the "
                                  "analysis takes Ec of Table 4.1.5 where they differ "
                                  "(E / Ec, N/mm²): %1."))
                            .arg(pairs.join(QStringLiteral(", ")))) +
           8;
  }

  // Text wrapped to the page's width with its top at y; returns its bottom.
  double Paragraph(double y, const QString& text) {
    QRectF drawn;
    painter_.setPen(Qt::black);
    painter_.drawText(QRectF(kLeft, y, kRight - kLeft, kBottom - y), Qt::TextWordWrap, text,
                      &drawn);
    return drawn.bottom();
  }

  // The material values of the section and its figures of biaxial bending,
  // as lines of a symbol and a value, in area.
  void Values(const QRectF& area, const CapacitySection& section, const CapacityCurves& curves) {
    const CapacityOptions& o = curves.options;
    const double line = 40, second = area.left() + area.width() / 2, value_at = 150;
    double y = area.top() + 30;
    const auto heading = [&](const QString& text) {
      painter_.setPen(Qt::black);
      painter_.setFont(Font(28, true));
      painter_.drawText(QPointF(area.left(), y), text);
      y += line + 8;
    };
    const auto pair = [&](double x, double at, const MaterialValue& v, bool warn = false) {
      painter_.setPen(warn ? kWarningRed : Qt::black);
      painter_.setFont(Font(26, warn));
      painter_.drawText(QPointF(x, at), v.symbol);
      painter_.drawText(QPointF(x + value_at, at), v.value);
    };

    heading(text_(QT_TRANSLATE_NOOP("CapacityReport", "Materials, %1"))
                .arg(StrengthsText(o.strengths, text_)));
    painter_.setFont(Font(26, true));
    painter_.drawText(QPointF(area.left(), y), QStringLiteral("C%1").arg(section.concrete.fcuk));
    painter_.drawText(QPointF(second, y), QString::fromLatin1(SteelGradeName(o.steel)));
    y += line;
    const std::vector<MaterialValue> concrete = ConcreteValues(section.concrete),
                                     steel = SteelValues(section.steel);
    const std::size_t rows = std::max(concrete.size(), steel.size());
    for (std::size_t i = 0; i < rows; ++i, y += line) {
      if (i < concrete.size()) pair(area.left(), y, concrete[i]);
      if (i < steel.size()) pair(second, y, steel[i]);
    }

    y += 30;
    const BiaxialFigures& b = curves.biaxial.figures;
    heading(text_(QT_TRANSLATE_NOOP("CapacityReport", "Biaxial bending at N = %1 kN (r = %2)"))
                .arg(AxialForceFigure(b.N))
                .arg(o.axial_ratio));
    if (!b.holds) {
      painter_.setPen(kWarningRed);
      painter_.setFont(Font(26, true));
      painter_.drawText(QRectF(area.left(), y - 26, area.width(), area.bottom() - y),
                        Qt::TextWordWrap,
                        text_(QT_TRANSLATE_NOOP("CapacityReport",
                                                "The section cannot carry N = %1 kN: it has no "
                                                "contour and no biaxial error."))
                            .arg(AxialForceFigure(b.N)));
      return;
    }
    const double name_room = area.width() / 2;
    const auto figure = [&](const QString& name, const QString& value, bool warn = false) {
      painter_.setPen(warn ? kWarningRed : Qt::black);
      painter_.setFont(Font(26, warn));
      painter_.drawText(QPointF(area.left(), y), name);
      painter_.drawText(QPointF(area.left() + name_room, y), value);
      y += line;
    };
    figure(text_(QT_TRANSLATE_NOOP("CapacityReport", "Least |M|, exact")),
           Moment(b.M_min) + QStringLiteral(" kN·m"));
    figure(text_(QT_TRANSLATE_NOOP("CapacityReport", "Largest |M|, exact")),
           Moment(b.M_max) + QStringLiteral(" kN·m"));
    figure(text_(QT_TRANSLATE_NOOP("CapacityReport", "Fiber error")),
           ErrorPct(b.fiber_error_pct) + QStringLiteral(" %"),
           b.fiber_error_pct > kFiberErrorLimitPct);
    y += 10;
    painter_.setPen(Qt::black);
    painter_.setFont(Font(22));
    painter_.drawText(
        QRectF(area.left(), y - 22, area.width(), area.bottom() - y + 22), Qt::TextWordWrap,
        text_(QT_TRANSLATE_NOOP("CapacityReport",
                                "Each point of the contour is the (My, Mx) of the ultimate state "
                                "at N whose compression grows in the direction θ, measured from x "
                                "towards y.")));
  }

  void RunningHead() {
    report_page::RunningHead(
        painter_,
        text_(QT_TRANSLATE_NOOP("CapacityReport", "Section capacity of %1")).arg(info_.table_name),
        text_(QT_TRANSLATE_NOOP("CapacityReport", "Page %1 of %2")).arg(page_).arg(pages_),
        info_.version, info_.date);
  }

  void CellText(double x, const Column& column, double baseline, const QString& text) {
    report_page::CellText(painter_, x, column, baseline, text);
  }

  template <std::size_t N>
  void Row(double y, const Column (&columns)[N], const QString (&cells)[N], const bool (&warn)[N]) {
    double x = kLeft;
    for (std::size_t c = 0; c < N; ++c) {
      painter_.setPen(warn[c] ? kWarningRed : Qt::black);
      painter_.setFont(Font(24, warn[c]));
      CellText(x, columns[c], y + 30, cells[c]);
      x += columns[c].width;
    }
  }

  QPagedPaintDevice& device_;
  const BrenmoorState& state_;
  const CapacityReportInfo& info_;
  const int pages_;
  const ReportText text_;
  const CapacityChartTexts chart_texts_;
  QPainter painter_;
  int page_ = 1;
};

void Pdf(ByteSink& out, const CapacityReportInfo& info,
         const std::function<void(QPdfWriter&)>& paint) {
  const ReportText text(info.language, "CapacityReport");
  WritePdf(out,
           text(QT_TRANSLATE_NOOP("CapacityReport", "Section capacity of %1")).arg(info.table_name),
           info.version, paint);
}

}  // namespace

CapacityChartTexts CapacityReportTexts(const ReportText& text) {
  CapacityChartTexts t;
  t.interaction_title[0] = text(QT_TRANSLATE_NOOP("CapacityReport", "N–M, bending about x"));
  t.interaction_title[1] = text(QT_TRANSLATE_NOOP("CapacityReport", "N–M, bending about y"));
  t.curvature_title[0] =
      text(QT_TRANSLATE_NOOP("CapacityReport", "Design-law M–φ about x at N = %1 kN"));
  t.curvature_title[1] =
      text(QT_TRANSLATE_NOOP("CapacityReport", "Design-law M–φ about y at N = %1 kN"));
  t.biaxial_title = text(QT_TRANSLATE_NOOP("CapacityReport", "Mx–My at N = %1 kN"));
  t.moment_axis[0] = text(QT_TRANSLATE_NOOP("CapacityReport", "Mx (kN·m)"));
  t.moment_axis[1] = text(QT_TRANSLATE_NOOP("CapacityReport", "My (kN·m)"));
  t.axial_axis = text(QT_TRANSLATE_NOOP("CapacityReport", "N (kN)"));
  t.curvature_axis = text(QT_TRANSLATE_NOOP("CapacityReport", "φ (1/m)"));
  t.moment_axis_plain = text(QT_TRANSLATE_NOOP("CapacityReport", "M (kN·m)"));
  t.exact = text(QT_TRANSLATE_NOOP("CapacityReport", "exact"));
  t.fiber = text(QT_TRANSLATE_NOOP("CapacityReport", "fiber"));
  t.first_yield = text(QT_TRANSLATE_NOOP("CapacityReport", "yield"));
  t.end = text(QT_TRANSLATE_NOOP("CapacityReport", "end"));
  t.cannot_hold = text(QT_TRANSLATE_NOOP("CapacityReport", "The section cannot carry N = %1 kN"));
  t.analysis_title[0] =
      text(QT_TRANSLATE_NOOP("CapacityReport", "Analysis M–φ about x at N = %1 kN"));
  t.analysis_title[1] =
      text(QT_TRANSLATE_NOOP("CapacityReport", "Analysis M–φ about y at N = %1 kN"));
  t.confined = text(QT_TRANSLATE_NOOP("CapacityReport", "confined"));
  t.bilinear = text(QT_TRANSLATE_NOOP("CapacityReport", "bilinear"));
  t.nominal = text(QT_TRANSLATE_NOOP("CapacityReport", "Mn"));
  return t;
}

CapacityReportPlan PlanCapacityReport(int sections) {
  CapacityReportPlan plan;
  plan.sections = std::max(0, sections);
  const int first = RowsFrom(kCoverTableTop);
  const int more = RowsFrom(kBodyTop);
  plan.table_pages = 1 + (plan.sections > first ? (plan.sections - first + more - 1) / more : 0);
  return plan;
}

int PaintCapacityReport(QPagedPaintDevice& device, const BrenmoorState& state,
                        const std::vector<SectionCapacity>& figures,
                        const std::vector<BiaxialFigures>& biaxial, const CapacityReportInfo& info,
                        Progress* progress) {
  const int count = std::min(state.imported_count, static_cast<int>(figures.size()));
  const CapacityReportPlan plan = PlanCapacityReport(count);
  CapacityPainter painter(device, state, info, plan.pages());
  ProgressCounter counter(progress, "Drawing capacity pages", plan.pages());
  painter.Begin();
  painter.Cover(count);
  int section = 1;
  double top = kCoverTableTop;
  for (int page = 0; page < plan.table_pages; ++page) {
    if (page > 0) {
      painter.NewPage();
      top = kBodyTop;
    }
    section = painter.SummaryPage(top, section, figures, biaxial);
    counter.Done(1);
  }
  for (int r = 1; r <= count; ++r) {
    const CapacitySection capacity_section = MakeCapacitySection(state, r, info.options);
    painter.NewPage();
    painter.SectionPage(r, capacity_section, ComputeCapacityCurves(capacity_section, info.options));
    counter.Done(1);
    // Computed for its own page and dropped after it, as the page before:
    // a large table's report holds one section's curves at a time.
    painter.NewPage();
    painter.AnalysisPage(r, ComputeAnalysisCurves(state, r, info.options));
    counter.Done(1);
  }
  painter.End();
  return painter.pages();
}

void CapacityReportDocument(ByteSink& out, const BrenmoorState& state,
                            const std::vector<SectionCapacity>& figures,
                            const std::vector<BiaxialFigures>& biaxial,
                            const CapacityReportInfo& info, Progress* progress) {
  Pdf(out, info, [&](QPdfWriter& writer) {
    PaintCapacityReport(writer, state, figures, biaxial, info, progress);
  });
}

QByteArray SectionCapacityDocument(const BrenmoorState& state, int record,
                                   const CapacityCurves& curves, const CapacityReportInfo& info,
                                   const AnalysisCurves* analysis) {
  const CapacitySection section = MakeCapacitySection(state, record, curves.options);
  StringSink bytes;
  Pdf(bytes, info, [&](QPdfWriter& writer) {
    CapacityPainter painter(writer, state, info, analysis != nullptr ? 2 : 1);
    painter.Begin();
    painter.SectionPage(record, section, curves);
    if (analysis != nullptr) {
      painter.NewPage();
      painter.AnalysisPage(record, *analysis);
    }
    painter.End();
  });
  return QByteArray::fromStdString(bytes.bytes());
}

}  // namespace brenmoor
