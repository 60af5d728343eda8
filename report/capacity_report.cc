#include "report/capacity_report.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>
#include <functional>

#include "model/errors.h"
#include "model/materials.h"
#include "report/figures.h"
#include "report/page.h"
#include "report/pdf_writer.h"
#include "report/report_text.h"

namespace brenmoor {
namespace {

using namespace report_page;
constexpr double kCoverTableTop = 1010;

const QColor kWarningRed(190, 0, 0);
const QColor kWarningTint(255, 226, 226);
const QColor kStripeGrey(244, 244, 244);

constexpr Column kSummaryColumns[] = {
    {QT_TRANSLATE_NOOP("CapacityReport", "No."), "", 70, true},
    {QT_TRANSLATE_NOOP("CapacityReport", "Name"), "", 290, false},
    {"B × H", "mm", 190, true},
    {QT_TRANSLATE_NOOP("CapacityReport", "Concrete"), "", 120, false},
    {"N0", "kN", 150, true},
    {"Nt", "kN", 150, true},
    {"M0 (x)", "kN·m", 150, true},
    {"M0 (y)", "kN·m", 150, true},
    {QT_TRANSLATE_NOOP("CapacityReport", "Error x"), "%", 130, true},
    {QT_TRANSLATE_NOOP("CapacityReport", "Error y"), "%", 130, true},
    {QT_TRANSLATE_NOOP("CapacityReport", "Advice"), "", 270, false},
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

// Forces and moments to a tenth of a kN (kN·m), errors to a hundredth of a
// percent, where they fit their columns.
QString Force(double value) { return CapacityFigure(value, 1); }
QString ErrorPct(double value) { return CapacityFigure(value, 2); }

// Which cells to raise: FY divides H, over which the strain varies in
// bending about x; FX divides B, for bending about y.
QString Advice(const SectionCapacity& f, const ReportText& text) {
  const bool x = f.x.fiber_error_pct > kFiberErrorLimitPct,
             y = f.y.fiber_error_pct > kFiberErrorLimitPct;
  if (x && y) return text(QT_TRANSLATE_NOOP("CapacityReport", "raise FX and FY"));
  if (x) return text(QT_TRANSLATE_NOOP("CapacityReport", "raise FY"));
  if (y) return text(QT_TRANSLATE_NOOP("CapacityReport", "raise FX"));
  return QString();
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
    const QString strengths =
        o.strengths == Strengths::kDesign
            ? text_(QT_TRANSLATE_NOOP("CapacityReport", "design strengths"))
            : text_(QT_TRANSLATE_NOOP("CapacityReport", "characteristic strengths"));
    double y = CoverHead(
        painter_, text_(QT_TRANSLATE_NOOP("CapacityReport", "Section capacity report")),
        {
            {text_(QT_TRANSLATE_NOOP("CapacityReport", "Table")), info_.table_name},
            {text_(QT_TRANSLATE_NOOP("CapacityReport", "Date")), info_.date.toString(Qt::ISODate)},
            {QStringLiteral("Brenmoor"), info_.version},
            {text_(QT_TRANSLATE_NOOP("CapacityReport", "Sections")), QString::number(sections)},
            {text_(QT_TRANSLATE_NOOP("CapacityReport", "Steel")),
             text_(QT_TRANSLATE_NOOP("CapacityReport", "%1, %2: fy = %3, fy′ = %4 N/mm²"))
                 .arg(QString::fromLatin1(SteelGradeName(o.steel)), strengths)
                 .arg(steel.fy)
                 .arg(steel.fy_comp)},
            {text_(QT_TRANSLATE_NOOP("CapacityReport", "Axial load")),
             text_(QT_TRANSLATE_NOOP("CapacityReport",
                                     "r = N / (fc·B·H) = %1 for the moment–curvature curves"))
                 .arg(o.axial_ratio)},
        });
    painter_.setFont(Font(26));
    const QString notes[] = {
        text_(QT_TRANSLATE_NOOP("CapacityReport",
                                "Concrete and bars by GB 50010-2010, compression positive. "
                                "Exact: the gross rectangle B "
                                "× H integrated "
                                "in closed form,")),
        text_(QT_TRANSLATE_NOOP(
            "CapacityReport",
            "with the bars; fiber: the cells and bars of the component file, each at the strain of "
            "its centroid.")),
        text_(QT_TRANSLATE_NOOP(
            "CapacityReport",
            "N0: uniform ε0; Nt: uniform −0.01; Nb, Mb: top at εcu, tension-most bar yielding; M0: "
            "N = 0. x is the "
            "section's axis 3, y its axis 2.")),
        text_(QT_TRANSLATE_NOOP(
            "CapacityReport",
            "Fiber error: the largest difference of the fiber model's M from the exact one at 19 "
            "loads between Nt "
            "and N0,")),
        text_(QT_TRANSLATE_NOOP("CapacityReport",
                                "over the largest exact M. Above %1 % (in red) the fibers "
                                "stand poorly for the section: "
                                "raise FY for "
                                "bending about x,"))
            .arg(kFiberErrorLimitPct),
        text_(QT_TRANSLATE_NOOP("CapacityReport", "FX for bending about y.")),
    };
    y += 20;
    for (const QString& note : notes) {
      painter_.drawText(QPointF(kLeft, y), note);
      y += 38;
    }
  }

  // One page of the summary table from its top; returns the next section.
  int SummaryPage(double top, int section, const std::vector<SectionCapacity>& figures) {
    TableHeader(painter_, top, kSummaryColumns, text_);
    const int rows = RowsFrom(top);
    double y = top + kHeaderHeight;
    for (int row = 0; row < rows && section <= state_.imported_count; ++row, ++section) {
      const TSECTION& s = state_.records[static_cast<std::size_t>(section)];
      const SectionCapacity& f = figures[static_cast<std::size_t>(section - 1)];
      const QString advice = Advice(f, text_);
      if (!advice.isEmpty()) {
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
          Force(f.x.N0),
          Force(f.x.Nt),
          Force(f.x.M0),
          Force(f.y.M0),
          ErrorPct(f.x.fiber_error_pct),
          ErrorPct(f.y.fiber_error_pct),
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
                           f.x.fiber_error_pct > kFiberErrorLimitPct,
                           f.y.fiber_error_pct > kFiberErrorLimitPct,
                           true};
      Row(y, kSummaryColumns, cells, warn);
      y += kRowHeight;
    }
    TableRule(painter_, y);
    return section;
  }

  void SectionPage(int number, const CapacitySection& section, const CapacityCurves& curves) {
    const TSECTION& s = state_.records[static_cast<std::size_t>(number)];
    painter_.setPen(Qt::black);
    painter_.setFont(Font(44, true));
    painter_.drawText(QPointF(kLeft, 310),
                      QFontMetricsF(painter_.font())
                          .elidedText(QStringLiteral("%1  %2").arg(number).arg(Shown(s.NAME)),
                                      Qt::ElideRight, kRight - kLeft));
    double as = 0;
    for (const CapacityBar& bar : section.bars) as += bar.area;
    const CapacityOptions& o = curves.options;
    painter_.setFont(Font(28));
    painter_.drawText(
        QPointF(kLeft, 365),
        text_(QT_TRANSLATE_NOOP("CapacityReport",
                                "B × H = %1 × %2 mm, CC = %3 mm, C%4, As = %5 mm² in %6 bars, %7 "
                                "concrete cells; %8 %9"))
            .arg(Figure(s.B), Figure(s.H), Figure(s.CC))
            .arg(section.concrete.fcuk)
            .arg(Figure(as))
            .arg(section.bars.size())
            .arg(section.cells.size())
            .arg(QString::fromLatin1(SteelGradeName(o.steel)),
                 o.strengths == Strengths::kDesign
                     ? text_(QT_TRANSLATE_NOOP("CapacityReport", "design strengths"))
                     : text_(QT_TRANSLATE_NOOP("CapacityReport", "characteristic strengths"))));

    const double top = 400;
    TableHeader(painter_, top, kFigureColumns, text_);
    double y = top + kHeaderHeight;
    for (BendingAxis axis : {BendingAxis::kX, BendingAxis::kY}) {
      const AxisCapacity& f = curves.figures.about(axis);
      const QString cells[] = {
          axis == BendingAxis::kX ? text_(QT_TRANSLATE_NOOP("CapacityReport", "about x"))
                                  : text_(QT_TRANSLATE_NOOP("CapacityReport", "about y")),
          Force(f.N0),
          Force(f.Nt),
          Force(f.Nb),
          Force(f.Mb),
          Force(f.M0),
          Force(f.fiber_M0),
          ErrorPct(f.fiber_error_pct),
      };
      const bool high = f.fiber_error_pct > kFiberErrorLimitPct;
      const bool warn[] = {false, false, false, false, false, false, false, high};
      if (high) painter_.fillRect(QRectF(kLeft, y, kRight - kLeft, kRowHeight), kWarningTint);
      Row(y, kFigureColumns, cells, warn);
      y += kRowHeight;
    }
    TableRule(painter_, y);
    const QString advice = Advice(curves.figures, text_);
    if (!advice.isEmpty()) {
      painter_.setPen(kWarningRed);
      painter_.setFont(Font(26, true));
      painter_.drawText(
          QPointF(kLeft, y + 40),
          text_(QT_TRANSLATE_NOOP("CapacityReport", "Fiber error above %1 %: %2 of this section."))
              .arg(kFiberErrorLimitPct)
              .arg(advice));
    }
    DrawCapacityCharts(painter_, QRectF(kLeft - 20, y + 70, kRight - kLeft + 20, kBottom - y - 80),
                       curves, chart_texts_, kUnit);
  }

 private:
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
  t.curvature_title[0] = text(QT_TRANSLATE_NOOP("CapacityReport", "M–φ about x at N = %1 kN"));
  t.curvature_title[1] = text(QT_TRANSLATE_NOOP("CapacityReport", "M–φ about y at N = %1 kN"));
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
                        [[maybe_unused]] const std::vector<BiaxialFigures>& biaxial,
                        const CapacityReportInfo& info, Progress* progress) {
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
    section = painter.SummaryPage(top, section, figures);
    counter.Done(1);
  }
  for (int r = 1; r <= count; ++r) {
    const CapacitySection capacity_section = MakeCapacitySection(state, r, info.options);
    painter.NewPage();
    painter.SectionPage(r, capacity_section, ComputeCapacityCurves(capacity_section, info.options));
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
                                   const CapacityCurves& curves, const CapacityReportInfo& info) {
  const CapacitySection section = MakeCapacitySection(state, record, curves.options);
  StringSink bytes;
  Pdf(bytes, info, [&](QPdfWriter& writer) {
    CapacityPainter painter(writer, state, info, 1);
    painter.Begin();
    painter.SectionPage(record, section, curves);
    painter.End();
  });
  return QByteArray::fromStdString(bytes.bytes());
}

}  // namespace brenmoor
