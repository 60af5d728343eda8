#include "report/section_report.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <vector>

#include "model/errors.h"
#include "model/materials.h"
#include "report/figures.h"
#include "report/page.h"
#include "report/pdf_writer.h"
#include "report/report_text.h"
#include "report/section_drawing.h"

namespace brenmoor {
namespace {

using namespace report_page;
constexpr int kDrawingColumns = 2, kDrawingRows = 3;
constexpr int kDrawingsPerPage = kDrawingColumns * kDrawingRows;

constexpr Column kColumns[] = {
    {QT_TRANSLATE_NOOP("SectionReport", "No."), "", 70, true},
    {QT_TRANSLATE_NOOP("SectionReport", "Name"), "", 350, false},
    {"B × H", "mm", 200, true},
    {QT_TRANSLATE_NOOP("SectionReport", "Concrete"), "", 120, false},
    {QT_TRANSLATE_NOOP("SectionReport", "Fibers"),
     QT_TRANSLATE_NOOP("SectionReport", "bars / cells"), 170, true},
    {"As", "mm²", 130, true},
    {"ρ", "%", 90, true},
    {"G", "N/mm²", 130, true},
    {"Av,1", "mm²", 170, true},
    {"Av,2", "mm²", 170, true},
    {"J", "mm⁴", 200, true},
};

// The materials the sections use, in table order, with how many use each.
std::vector<std::pair<int, int>> MaterialsUsed(const BrenmoorState& prepared) {
  std::vector<int> uses(prepared.materials.size(), 0);
  for (int i = 1; i <= prepared.imported_count; ++i) {
    const TSECTION& s = prepared.records[static_cast<std::size_t>(i)];
    for (int m : {s.concrete_material, s.steel_material}) {
      if (m >= 0 && static_cast<std::size_t>(m) < uses.size()) ++uses[static_cast<std::size_t>(m)];
    }
  }
  std::vector<std::pair<int, int>> used;
  for (std::size_t m = 0; m < uses.size(); ++m) {
    if (uses[m] > 0) used.emplace_back(static_cast<int>(m), uses[m]);
  }
  return used;
}

constexpr double kMaterialsTop = 665;  // the first material's baseline on the cover

double CoverBottom(int materials_used) { return kMaterialsTop + 40.0 * materials_used + 150; }

class ReportPainter {
 public:
  ReportPainter(QPagedPaintDevice& device, const BrenmoorState& prepared, const ReportInfo& info,
                Progress* progress)
      : device_(device),
        prepared_(prepared),
        info_(info),
        plan_(PlanReport(prepared)),
        counter_(progress, "Drawing report pages", plan_.pages()),
        text_(info.language, "SectionReport") {}

  int Paint() {
    BeginPages(painter_, device_, "Cannot draw the section report on this device");
    Cover();
    int section = 1;
    double top = CoverBottom(static_cast<int>(MaterialsUsed(prepared_).size()));
    for (int page = 0; page < plan_.table_pages; ++page) {
      if (page > 0) {
        NewPage();
        top = kBodyTop;
      }
      section = TablePage(top, section);
      counter_.Done(1);
    }
    for (int first = 1; first <= prepared_.imported_count; first += kDrawingsPerPage) {
      NewPage();
      DrawingPage(first);
      counter_.Done(1);
    }
    painter_.end();
    return page_;
  }

 private:
  void NewPage() {
    device_.newPage();
    ++page_;
    RunningHead();
  }

  void RunningHead() {
    report_page::RunningHead(
        painter_,
        text_(QT_TRANSLATE_NOOP("SectionReport", "Column sections of %1")).arg(info_.table_name),
        text_(QT_TRANSLATE_NOOP("SectionReport", "Page %1 of %2")).arg(page_).arg(plan_.pages()),
        info_.version, info_.date);
  }

  void RightText(QPointF at, const QString& text) { report_page::RightText(painter_, at, text); }

  void Cover() {
    page_ = 1;
    RunningHead();
    double y = CoverHead(
        painter_, text_(QT_TRANSLATE_NOOP("SectionReport", "Column section report")),
        {
            {text_(QT_TRANSLATE_NOOP("SectionReport", "Table")), info_.table_name},
            {text_(QT_TRANSLATE_NOOP("SectionReport", "Date")), info_.date.toString(Qt::ISODate)},
            {QStringLiteral("Brenmoor"), info_.version},
            {text_(QT_TRANSLATE_NOOP("SectionReport", "Sections")),
             QString::number(prepared_.imported_count)},
        });
    painter_.drawText(QPointF(kLeft, y), text_(QT_TRANSLATE_NOOP("SectionReport", "Materials")));
    painter_.setFont(Font(28));
    const double name_x = kLeft + 300, modulus_x = kLeft + 800, uses_x = kLeft + 1100;
    painter_.drawText(QPointF(name_x, y), text_(QT_TRANSLATE_NOOP("SectionReport", "name")));
    RightText(QPointF(modulus_x, y), text_(QT_TRANSLATE_NOOP("SectionReport", "E (N/mm²)")));
    RightText(QPointF(uses_x, y), text_(QT_TRANSLATE_NOOP("SectionReport", "sections")));
    y = kMaterialsTop;
    for (const auto& [material, uses] : MaterialsUsed(prepared_)) {
      painter_.drawText(QPointF(name_x, y),
                        QString::fromStdString(MaterialName(prepared_, material)));
      RightText(QPointF(modulus_x, y),
                Figure(prepared_.materials[static_cast<std::size_t>(material)].modulus));
      RightText(QPointF(uses_x, y), QString::number(uses));
      y += 40;
    }
    painter_.setFont(Font(26));
    painter_.drawText(QPointF(kLeft, y + 40),
                      text_(QT_TRANSLATE_NOOP(
                          "SectionReport",
                          "Every figure is the value written to the component file (float32), "
                          "rounded for reading. As: total bar area; ρ = As / (B·H);")));
    painter_.drawText(QPointF(kLeft, y + 75),
                      text_(QT_TRANSLATE_NOOP(
                          "SectionReport",
                          "G: shear modulus; Av,1, Av,2: shear areas; J: torsion constant. x is "
                          "the section's axis 3, y its axis 2.")));
  }

  void CellText(double x, const Column& column, double baseline, const QString& text) {
    report_page::CellText(painter_, x, column, baseline, text);
  }

  // One page of the summary table from its top; returns the next section.
  int TablePage(double top, int section) {
    TableHeader(painter_, top, kColumns, text_);
    const int rows = RowsFrom(top);
    const QFont font = Font(24);
    const QFontMetricsF metrics(font);
    painter_.setFont(font);
    double y = top + kHeaderHeight;
    for (int row = 0; row < rows && section <= prepared_.imported_count; ++row, ++section) {
      const TSECTION& s = prepared_.records[static_cast<std::size_t>(section)];
      const SectionFigures f = FiguresOf(s);
      if (row % 2 == 1)
        painter_.fillRect(QRectF(kLeft, y, kRight - kLeft, kRowHeight), QColor(244, 244, 244));
      painter_.setPen(Qt::black);
      QString cells[] = {
          QString::number(section),
          // Cut in the middle: names of one project often differ only at the end.
          metrics.elidedText(Shown(s.NAME), Qt::ElideMiddle, kColumns[1].width - 24),
          QStringLiteral("%1 × %2").arg(Figure(s.B), Figure(s.H)),
          QString::fromStdString(MaterialName(prepared_, s.concrete_material)),
          QStringLiteral("%1 / %2").arg(f.bars).arg(f.cells),
          Figure(s.steel_area_sum),
          Percent(f.rho_percent),
          Figure(s.shear_modulus),
          Figure(s.shear_area_1),
          Figure(s.shear_area_2),
          Figure(s.torsion_constant),
      };
      // Material columns that look swapped are marked, as the import
      // warned of them.
      const bool swapped = MaterialsLookSwapped(prepared_, s).any();
      if (swapped) cells[3] += QStringLiteral(" !");
      double x = kLeft;
      for (std::size_t c = 0; c < std::size(kColumns); ++c) {
        painter_.setPen(swapped && c == 3 ? QColor(190, 0, 0) : QColor(Qt::black));
        CellText(x, kColumns[c], y + 30, cells[c]);
        x += kColumns[c].width;
      }
      y += kRowHeight;
    }
    TableRule(painter_, y);
    return section;
  }

  void DrawingPage(int first) {
    const double cell_w = (kRight - kLeft) / kDrawingColumns;
    const double cell_h = (kBottom - kBodyTop) / kDrawingRows;
    for (int k = 0; k < kDrawingsPerPage && first + k <= prepared_.imported_count; ++k) {
      const QRectF cell(kLeft + cell_w * (k % kDrawingColumns),
                        kBodyTop + cell_h * (k / kDrawingColumns), cell_w, cell_h);
      SectionCell(cell, first + k);
    }
    painter_.setPen(QPen(QColor(160, 160, 160), 1.5));
    for (int r = 1; r < kDrawingRows; ++r) {
      painter_.drawLine(QPointF(kLeft, kBodyTop + cell_h * r),
                        QPointF(kRight, kBodyTop + cell_h * r));
    }
    painter_.drawLine(QPointF(kLeft + cell_w, kBodyTop), QPointF(kLeft + cell_w, kBottom));
  }

  void SectionCell(const QRectF& cell, int number) {
    const TSECTION& s = prepared_.records[static_cast<std::size_t>(number)];
    const SectionFigures f = FiguresOf(s);
    const QRectF drawing(cell.left(), cell.top() + 70, 575, cell.height() - 90);
    const double denominator = StandardScaleDenominator(FitScale(drawing, s, kUnit), kUnit);
    DrawSection(painter_, drawing, s, kUnit, kUnit / denominator);

    painter_.setPen(Qt::black);
    painter_.setFont(Font(34, true));
    const QString title = QStringLiteral("%1  %2").arg(number).arg(Shown(s.NAME));
    painter_.drawText(
        QPointF(cell.left() + 20, cell.top() + 55),
        QFontMetricsF(painter_.font()).elidedText(title, Qt::ElideMiddle, cell.width() - 40));
    painter_.setFont(Font(25));
    const QString concrete = QString::fromStdString(MaterialName(prepared_, s.concrete_material));
    const QString lines[] = {
        QStringLiteral("B × H = %1 × %2 mm").arg(Figure(s.B), Figure(s.H)),
        QStringLiteral("cc = %1 mm").arg(Figure(s.CC)),
        QStringLiteral("%1 / %2").arg(
            concrete, QString::fromStdString(MaterialName(prepared_, s.steel_material))),
        text_(QT_TRANSLATE_NOOP("SectionReport", "fibers %1: %2 bars, %3 cells"))
            .arg(s.fiber_count)
            .arg(f.bars)
            .arg(f.cells),
        QStringLiteral("As = %1 mm²").arg(Figure(s.steel_area_sum)),
        QStringLiteral("ρ = %1 %").arg(Percent(f.rho_percent)),
        QStringLiteral("Ac = %1 mm²").arg(Figure(s.concrete_area_sum)),
        QStringLiteral("G = %1 N/mm²").arg(Figure(s.shear_modulus)),
        QStringLiteral("Av,1 = %1 mm²").arg(Figure(s.shear_area_1)),
        QStringLiteral("Av,2 = %1 mm²").arg(Figure(s.shear_area_2)),
        QStringLiteral("J = %1 mm⁴").arg(Figure(s.torsion_constant)),
        text_(QT_TRANSLATE_NOOP("SectionReport", "scale 1:%1")).arg(Figure(denominator)),
    };
    double y = cell.top() + 130;
    for (const QString& line : lines) {
      painter_.drawText(QPointF(cell.left() + 590, y), line);
      y += 44;
    }
    if (MaterialsLookSwapped(prepared_, s).any()) {
      painter_.setPen(QColor(190, 0, 0));
      painter_.drawText(
          QPointF(cell.left() + 590, y),
          text_(QT_TRANSLATE_NOOP("SectionReport", "! check the CONC and STEEL columns")));
    }
  }

  QPagedPaintDevice& device_;
  const BrenmoorState& prepared_;
  const ReportInfo& info_;
  const ReportPlan plan_;
  ProgressCounter counter_;
  const ReportText text_;
  QPainter painter_;
  int page_ = 1;
};

}  // namespace

ReportPlan PlanReport(const BrenmoorState& prepared) {
  ReportPlan plan;
  plan.sections = std::max(0, prepared.imported_count);
  const int first = RowsFrom(CoverBottom(static_cast<int>(MaterialsUsed(prepared).size())));
  const int more = RowsFrom(kBodyTop);
  plan.table_pages = 1 + (plan.sections > first ? (plan.sections - first + more - 1) / more : 0);
  plan.drawing_pages = (plan.sections + kDrawingsPerPage - 1) / kDrawingsPerPage;
  return plan;
}

int PaintSectionReport(QPagedPaintDevice& device, const BrenmoorState& prepared,
                       const ReportInfo& info, Progress* progress) {
  return ReportPainter(device, prepared, info, progress).Paint();
}

void SectionReportPdf(ByteSink& out, const BrenmoorState& prepared, const ReportInfo& info,
                      Progress* progress) {
  const QString title = ReportText(info.language, "SectionReport")(
                            QT_TRANSLATE_NOOP("SectionReport", "Column sections of %1"))
                            .arg(info.table_name);
  WritePdf(out, title, info.version,
           [&](QPdfWriter& writer) { PaintSectionReport(writer, prepared, info, progress); });
}

}  // namespace brenmoor
