#include "app/report_command.h"

#include "app/command.h"
#include "app/qt_module.h"
#include "model/errors.h"
#include "model/section_properties.h"
#include "output/byte_sink.h"
#include "output/properties_csv.h"
#include "platform/files.h"

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

void ReportCommand(BrenmoorState& state, const ReportRequest& request, std::ostream& out,
                   Progress* progress) {
  const std::string output = ReportOutputPath(request);
  const std::filesystem::path table_path = PathFromUtf8(request.table);
  const std::filesystem::path output_path = PathFromUtf8(output);
  if (output != "-") RefuseOutputOverInput(output_path, table_path);

  ImportTableWithSections(state, request.table, progress);
  PrepareSections(state, progress);

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

#ifndef BRENMOOR_WITH_QT_MODULE
  throw Error("This build of brenmoor has no PDF report (it was built without Qt); --csv works");
#endif
  int pages = 0;
  ReplaceFileWith(output_path, [&](ByteSink& pdf) {
    pages = ReportPdfFromModule(pdf, state, PathToUtf8(table_path.filename()), request.language,
                                progress);
  });
  out << "Wrote the report of " << state.imported_count
      << (state.imported_count == 1 ? " section" : " sections") << " (" << pages
      << (pages == 1 ? " page) to " : " pages) to ") << PathToUtf8(FullPath(output_path)) << "\n";
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
    call.run = [&call, request] { ReportCommand(call.state, *request, call.out, call.progress); };
  });
}

}  // namespace brenmoor
