#pragma once

#include <QByteArray>
#include <QDate>
#include <QPagedPaintDevice>
#include <QString>

#include "model/language.h"
#include "model/progress.h"
#include "model/state.h"
#include "output/byte_sink.h"

namespace brenmoor {

// What the cover of a report names besides the sections.
struct ReportInfo {
  QString table_name;  // the table's file name, as the engineer knows it
  QDate date;
  QString version;  // Brenmoor's
  // The language of the report's own texts; names, figures and units are the
  // same in both.
  Language language = Language::kEnglish;
};

// How the report's pages are shared out: the cover with the start of the
// summary table, further pages of the table (header row repeated), then the
// section drawings, six to a page.
struct ReportPlan {
  int sections = 0;
  int table_pages = 0;
  int drawing_pages = 0;
  int pages() const { return table_pages + drawing_pages; }
};
ReportPlan PlanReport(const BrenmoorState& prepared);

// Paints the section report of prepared (see PreparedCopy: records 1 to the
// imported-section count with their fibers and properties) onto an A4 paged
// device, a QPdfWriter or a printer, page after page. Every number shown is
// one of the float32 values the component file carries (ρ is formed from
// them). Needs a QGuiApplication. Returns the number of pages painted; throws
// Error when the device cannot be painted on. With a progress, counts the
// pages painted and stops with Cancelled when asked to (the device then holds
// part of the report: a printer's job is to be aborted).
int PaintSectionReport(QPagedPaintDevice& device, const BrenmoorState& prepared,
                       const ReportInfo& info, Progress* progress = nullptr);

// The report as an A4 PDF, into out as its pages are painted (see WritePdf).
void SectionReportPdf(ByteSink& out, const BrenmoorState& prepared, const ReportInfo& info,
                      Progress* progress = nullptr);

}  // namespace brenmoor
