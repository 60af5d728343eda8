#pragma once

#include <QByteArray>
#include <QDate>
#include <QPagedPaintDevice>
#include <QString>
#include <vector>

#include "capacity/biaxial.h"
#include "capacity/capacity.h"
#include "model/language.h"
#include "model/progress.h"
#include "model/state.h"
#include "output/byte_sink.h"
#include "report/capacity_drawing.h"
#include "report/report_text.h"

namespace brenmoor {

// What the capacity report names besides the sections.
struct CapacityReportInfo {
  QString table_name;  // the table's file name, as the engineer knows it
  QDate date;
  QString version;  // Brenmoor's
  CapacityOptions options;
  // The language of the report's own texts; names, figures and units are the
  // same in both.
  Language language = Language::kEnglish;
};

// The report's words for the charts in the language of text, a ReportText
// of the context "CapacityReport".
CapacityChartTexts CapacityReportTexts(const ReportText& text);

// The fiber error, in percent, above which the report marks a section and
// advises more cells.
inline constexpr double kFiberErrorLimitPct = 5.0;

// How the capacity report's pages are shared out: the cover, which says what
// the figures are and are not, with the start of the summary table (every
// section's N0, Nt, M0 about x and y, ρ marked outside its grade's limits, and the
// fiber errors about x, y and in biaxial bending), further pages of that
// table, then for each section a page with its figures, its material values,
// its four curves and its Mx–My contour at the axial load, and a page with
// its analysis moment–curvature (the laws, the curves about x and y of its
// models, their figures and the fiber's error).
struct CapacityReportPlan {
  int sections = 0;
  int table_pages = 0;
  int pages() const { return table_pages + 2 * sections; }
};
CapacityReportPlan PlanCapacityReport(int sections);

// Paints the capacity report of the imported sections of state (records 1 to
// the imported-section count), whose figures[r − 1] ComputeCapacityTable and
// biaxial[r − 1] ComputeBiaxialTable gave with info.options (a section past
// the end of biaxial shows no biaxial error), onto an A4 paged device. Each
// section's pages compute their curves and contour themselves, the analysis
// page with the stirrups the state's record gives the section and the hoops'
// grade of info.options, and drop them once drawn. Needs a QGuiApplication.
// Returns the number of pages painted. Throws CapacityRefusal as
// MakeCapacitySection does, and Error when the device cannot be painted on.
// With a progress, counts the pages painted ("Drawing capacity pages") and
// stops with Cancelled when asked to.
int PaintCapacityReport(QPagedPaintDevice& device, const BrenmoorState& state,
                        const std::vector<SectionCapacity>& figures,
                        const std::vector<BiaxialFigures>& biaxial, const CapacityReportInfo& info,
                        Progress* progress = nullptr);

// The report as an A4 PDF, into out as its pages are painted (see WritePdf).
void CapacityReportDocument(ByteSink& out, const BrenmoorState& state,
                            const std::vector<SectionCapacity>& figures,
                            const std::vector<BiaxialFigures>& biaxial,
                            const CapacityReportInfo& info, Progress* progress = nullptr);

// The page of section `record` of state alone, as an A4 PDF, for the window's
// export of the section on show; curves are its ComputeCapacityCurves with
// info.options. With analysis (its ComputeAnalysisCurves), its analysis page
// follows, as in the report.
QByteArray SectionCapacityDocument(const BrenmoorState& state, int record,
                                   const CapacityCurves& curves, const CapacityReportInfo& info,
                                   const AnalysisCurves* analysis = nullptr);

}  // namespace brenmoor
