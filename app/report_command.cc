#include "app/report_command.h"

#include "app/command.h"
#include "model/errors.h"
#include "model/section_properties.h"
#include "output/properties_csv.h"
#include "platform/files.h"

// The PDF needs the window toolkit's painter; the properties table does not,
// so a build without it still writes the table.
#ifdef BRENMOOR_WITH_REPORT
#include <QDate>

#include "app/headless_toolkit.h"
#include "report/figures.h"
#include "report/section_report.h"
#endif

#ifndef BRENMOOR_VERSION
#define BRENMOOR_VERSION "unknown"
#endif

namespace brenmoor {

std::string ReportOutputPath(const ReportRequest& request) {
  if (!request.output.empty()) return request.output;
  std::filesystem::path path = PathFromUtf8(request.table);
  if (request.csv) {
    path.replace_extension();
    path += ".properties.csv";
  } else {
    path.replace_extension(".pdf");
  }
  return PathToUtf8(path);
}

void ReportCommand(BrenmoorState& state, const ReportRequest& request, std::ostream& out) {
  const std::string output = ReportOutputPath(request);
  const std::filesystem::path table_path = PathFromUtf8(request.table);
  const std::filesystem::path output_path = PathFromUtf8(output);
  if (output != "-") RefuseOutputOverInput(output_path, table_path);

  ImportTableWithSections(state, request.table);
  PrepareSections(state);

  if (request.csv) {
    const std::string csv = PropertiesCsv(state);
    if (output == "-") {
      WriteToStandardOutput(out, csv.data(), csv.size());
      return;
    }
    WriteFileReplacing(output_path, csv);
    out << "Wrote the properties of " << state.imported_count
        << (state.imported_count == 1 ? " section" : " sections") << " to "
        << PathToUtf8(FullPath(output_path)) << "\n";
    return;
  }

#ifndef BRENMOOR_WITH_REPORT
  throw Error("This build of brenmoor has no PDF report (it was built without Qt); --csv works");
#else
  HeadlessToolkit toolkit;
  ReportInfo info;
  info.table_name = QString::fromStdString(PathToUtf8(table_path.filename()));
  info.date = QDate::currentDate();
  info.version = QStringLiteral(BRENMOOR_VERSION);
  info.language = request.language;
  const QByteArray pdf = SectionReportPdf(state, info);
  WriteFileReplacing(output_path,
                     std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())));
  const int pages = PlanReport(state).pages();
  out << "Wrote the report of " << state.imported_count
      << (state.imported_count == 1 ? " section" : " sections") << " (" << pages
      << (pages == 1 ? " page) to " : " pages) to ") << PathToUtf8(FullPath(output_path)) << "\n";
#endif
}

void AddReportCommand(CLI::App& brenmoor, CommandCall& call) {
  const auto request = std::make_shared<ReportRequest>();
  CLI::App* report = brenmoor.add_subcommand(
      "report",
      "Import a section table and write its section report (A4 PDF) or, with --csv, "
      "the properties of every section as CSV.");
  report->allow_extras();
  AddTableArgument(*report, request->table, "the section table (CSV)");
  const CLI::Option* output =
      AddOutputOption(*report, request->output,
                      "the file to write (default: beside the table, its name with .pdf, or "
                      ".properties.csv with --csv; - for standard output with --csv)");
  report->add_flag("--csv", request->csv,
                   "write the properties table as CSV instead of the report");
  const auto language = std::make_shared<LanguageOption>(*report);
  report->callback([&call, request, output, language] {
    if (output->count() > 0 && request->output.empty()) throw WrongCall("-o needs a file name");
    request->language = language->Chosen();
    if (request->output == "-" && !request->csv) {
      throw WrongCall("the report goes to a file; only --csv writes to standard output");
    }
    call.table = request->table;
    call.run = [&call, request] { ReportCommand(call.state, *request, call.out); };
  });
}

}  // namespace brenmoor
