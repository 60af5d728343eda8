#include "report/capacity_report.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QTranslator>
#include <algorithm>
#include <cmath>
#include <functional>

#include "model/errors.h"
#include "model/materials.h"
#include "report/figures.h"
#include "report/page.h"
#include "report/pdf_writer.h"

namespace brenmoor {
namespace {

using namespace report_page;
constexpr double kCoverTableTop = 1010;

const QColor kWarningRed(190, 0, 0);
const QColor kWarningTint(255, 226, 226);
const QColor kHeaderGrey(225, 225, 225);
const QColor kStripeGrey(244, 244, 244);

// The column titles, marked for lupdate with QT_TRANSLATE_NOOP; every other
// text of the report calls translate itself, in full, so that lupdate finds it.
QString Tr(const char* text) { return QCoreApplication::translate("CapacityReport", text); }

// The report's texts are written in English. For Chinese, the translation
// compiled into the program is installed while the pages are painted, so that
// every translate call of the report (and of the charts it draws) finds it.
class ReportLanguage {
 public:
  explicit ReportLanguage(Language language) {
    if (language == Language::kChinese &&
        translator_.load(QStringLiteral(":/i18n/brenmoor_zh_CN.qm"))) {
      installed_ = QCoreApplication::installTranslator(&translator_);
    }
  }
  ~ReportLanguage() {
    if (installed_) QCoreApplication::removeTranslator(&translator_);
  }
  ReportLanguage(const ReportLanguage&) = delete;
  ReportLanguage& operator=(const ReportLanguage&) = delete;

 private:
  QTranslator translator_;
  bool installed_ = false;
};

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
QString Advice(const SectionCapacity& f) {
  const bool x = f.x.fiber_error_pct > kFiberErrorLimitPct,
             y = f.y.fiber_error_pct > kFiberErrorLimitPct;
  if (x && y) return QCoreApplication::translate("CapacityReport", "raise FX and FY");
  if (x) return QCoreApplication::translate("CapacityReport", "raise FY");
  if (y) return QCoreApplication::translate("CapacityReport", "raise FX");
  return QString();
}

class CapacityPainter {
 public:
  CapacityPainter(QPagedPaintDevice& device, const BrenmoorState& state,
                  const CapacityReportInfo& info, int pages)
      : device_(device), state_(state), info_(info), pages_(pages) {}

  void Begin() {
    // A printer that went away, say: never an empty file taken for a report.
    if (!painter_.begin(&device_)) throw Error("Cannot draw the capacity report on this device");
    painter_.scale(device_.logicalDpiX() / 254.0, device_.logicalDpiY() / 254.0);
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
    painter_.setPen(Qt::black);
    painter_.setFont(Font(60, true));
    painter_.drawText(QPointF(kLeft, 320),
                      QCoreApplication::translate("CapacityReport", "Section capacity report"));
    painter_.setFont(Font(32));
    const CapacityOptions& o = info_.options;
    const SteelLaw steel = SteelLawOf(o.steel, o.strengths);
    const QString strengths =
        o.strengths == Strengths::kDesign
            ? QCoreApplication::translate("CapacityReport", "design strengths")
            : QCoreApplication::translate("CapacityReport", "characteristic strengths");
    const QString lines[][2] = {
        {QCoreApplication::translate("CapacityReport", "Table"), info_.table_name},
        {QCoreApplication::translate("CapacityReport", "Date"), info_.date.toString(Qt::ISODate)},
        {QStringLiteral("Brenmoor"), info_.version},
        {QCoreApplication::translate("CapacityReport", "Sections"), QString::number(sections)},
        {QCoreApplication::translate("CapacityReport", "Steel"),
         QCoreApplication::translate("CapacityReport", "%1, %2: fy = %3, fy′ = %4 N/mm²")
             .arg(QString::fromLatin1(SteelGradeName(o.steel)), strengths)
             .arg(steel.fy)
             .arg(steel.fy_comp)},
        {QCoreApplication::translate("CapacityReport", "Axial load"),
         QCoreApplication::translate("CapacityReport",
                                     "r = N / (fc·B·H) = %1 for the moment–curvature curves")
             .arg(o.axial_ratio)},
    };
    double y = 420;
    for (const auto& line : lines) {
      painter_.drawText(QPointF(kLeft, y), line[0]);
      painter_.drawText(QPointF(kLeft + 300, y), line[1]);
      y += 50;
    }
    painter_.setFont(Font(26));
    const QString notes[] = {
        QCoreApplication::translate("CapacityReport",
                                    "Concrete and bars by GB 50010-2010, compression positive. "
                                    "Exact: the gross rectangle B "
                                    "× H integrated "
                                    "in closed form,"),
        QCoreApplication::translate(
            "CapacityReport",
            "with the bars; fiber: the cells and bars of the component file, each at the strain of "
            "its centroid."),
        QCoreApplication::translate(
            "CapacityReport",
            "N0: uniform ε0; Nt: uniform −0.01; Nb, Mb: top at εcu, tension-most bar yielding; M0: "
            "N = 0. x is the "
            "section's axis 3, y its axis 2."),
        QCoreApplication::translate(
            "CapacityReport",
            "Fiber error: the largest difference of the fiber model's M from the exact one at 19 "
            "loads between Nt "
            "and N0,"),
        QCoreApplication::translate("CapacityReport",
                                    "over the largest exact M. Above %1 % (in red) the fibers "
                                    "stand poorly for the section: "
                                    "raise FY for "
                                    "bending about x,")
            .arg(kFiberErrorLimitPct),
        QCoreApplication::translate("CapacityReport", "FX for bending about y."),
    };
    y += 20;
    for (const QString& note : notes) {
      painter_.drawText(QPointF(kLeft, y), note);
      y += 38;
    }
  }

  // One page of the summary table from its top; returns the next section.
  int SummaryPage(double top, int section, const std::vector<SectionCapacity>& figures) {
    Header(top, kSummaryColumns);
    const int rows = RowsFrom(top);
    double y = top + kHeaderHeight;
    for (int row = 0; row < rows && section <= state_.imported_count; ++row, ++section) {
      const TSECTION& s = state_.records[static_cast<std::size_t>(section)];
      const SectionCapacity& f = figures[static_cast<std::size_t>(section - 1)];
      const QString advice = Advice(f);
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
    painter_.setPen(QPen(Qt::black, 2.5));
    painter_.drawLine(QPointF(kLeft, y), QPointF(kRight, y));
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
        QCoreApplication::translate(
            "CapacityReport",
            "B × H = %1 × %2 mm, CC = %3 mm, C%4, As = %5 mm² in %6 bars, %7 concrete cells; %8 %9")
            .arg(Figure(s.B), Figure(s.H), Figure(s.CC))
            .arg(section.concrete.fcuk)
            .arg(Figure(as))
            .arg(section.bars.size())
            .arg(section.cells.size())
            .arg(QString::fromLatin1(SteelGradeName(o.steel)),
                 o.strengths == Strengths::kDesign
                     ? QCoreApplication::translate("CapacityReport", "design strengths")
                     : QCoreApplication::translate("CapacityReport", "characteristic strengths")));

    const double top = 400;
    Header(top, kFigureColumns);
    double y = top + kHeaderHeight;
    for (BendingAxis axis : {BendingAxis::kX, BendingAxis::kY}) {
      const AxisCapacity& f = curves.figures.about(axis);
      const QString cells[] = {
          axis == BendingAxis::kX ? QCoreApplication::translate("CapacityReport", "about x")
                                  : QCoreApplication::translate("CapacityReport", "about y"),
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
    painter_.setPen(QPen(Qt::black, 2.5));
    painter_.drawLine(QPointF(kLeft, y), QPointF(kRight, y));
    const QString advice = Advice(curves.figures);
    if (!advice.isEmpty()) {
      painter_.setPen(kWarningRed);
      painter_.setFont(Font(26, true));
      painter_.drawText(QPointF(kLeft, y + 40),
                        QCoreApplication::translate("CapacityReport",
                                                    "Fiber error above %1 %: %2 of this section.")
                            .arg(kFiberErrorLimitPct)
                            .arg(advice));
    }
    DrawCapacityCharts(painter_, QRectF(kLeft - 20, y + 70, kRight - kLeft + 20, kBottom - y - 80),
                       curves, CapacityReportTexts(), kUnit);
  }

 private:
  void RunningHead() {
    report_page::RunningHead(
        painter_,
        QCoreApplication::translate("CapacityReport", "Section capacity of %1")
            .arg(info_.table_name),
        QCoreApplication::translate("CapacityReport", "Page %1 of %2").arg(page_).arg(pages_),
        info_.version, info_.date);
  }

  void RightText(QPointF at, const QString& text) { report_page::RightText(painter_, at, text); }

  void CellText(double x, const Column& column, double baseline, const QString& text) {
    report_page::CellText(painter_, x, column, baseline, text);
  }

  template <std::size_t N>
  void Header(double top, const Column (&columns)[N]) {
    painter_.fillRect(QRectF(kLeft, top, kRight - kLeft, kHeaderHeight), kHeaderGrey);
    painter_.setPen(Qt::black);
    double x = kLeft;
    for (const Column& column : columns) {
      painter_.setFont(Font(24, true));
      CellText(x, column, top + 34, Tr(column.title));
      painter_.setFont(Font(22));
      CellText(x, column, top + 70, QString::fromUtf8(column.unit));
      x += column.width;
    }
    painter_.setPen(QPen(Qt::black, 2.5));
    painter_.drawLine(QPointF(kLeft, top + kHeaderHeight), QPointF(kRight, top + kHeaderHeight));
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
  QPainter painter_;
  int page_ = 1;
};

void Pdf(ByteSink& out, const CapacityReportInfo& info,
         const std::function<void(QPdfWriter&)>& paint) {
  const ReportLanguage language(info.language);
  WritePdf(
      out,
      QCoreApplication::translate("CapacityReport", "Section capacity of %1").arg(info.table_name),
      info.version, paint);
}

}  // namespace

CapacityChartTexts CapacityReportTexts() {
  CapacityChartTexts t;
  t.interaction_title[0] = QCoreApplication::translate("CapacityReport", "N–M, bending about x");
  t.interaction_title[1] = QCoreApplication::translate("CapacityReport", "N–M, bending about y");
  t.curvature_title[0] = QCoreApplication::translate("CapacityReport", "M–φ about x at N = %1 kN");
  t.curvature_title[1] = QCoreApplication::translate("CapacityReport", "M–φ about y at N = %1 kN");
  t.moment_axis[0] = QCoreApplication::translate("CapacityReport", "Mx (kN·m)");
  t.moment_axis[1] = QCoreApplication::translate("CapacityReport", "My (kN·m)");
  t.axial_axis = QCoreApplication::translate("CapacityReport", "N (kN)");
  t.curvature_axis = QCoreApplication::translate("CapacityReport", "φ (1/m)");
  t.moment_axis_plain = QCoreApplication::translate("CapacityReport", "M (kN·m)");
  t.exact = QCoreApplication::translate("CapacityReport", "exact");
  t.fiber = QCoreApplication::translate("CapacityReport", "fiber");
  t.first_yield = QCoreApplication::translate("CapacityReport", "yield");
  t.end = QCoreApplication::translate("CapacityReport", "end");
  t.cannot_hold =
      QCoreApplication::translate("CapacityReport", "The section cannot carry N = %1 kN");
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
                        const std::vector<SectionCapacity>& figures, const CapacityReportInfo& info,
                        Progress* progress) {
  const ReportLanguage language(info.language);
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
                            const CapacityReportInfo& info, Progress* progress) {
  Pdf(out, info,
      [&](QPdfWriter& writer) { PaintCapacityReport(writer, state, figures, info, progress); });
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
