#include "app/report_command.h"

#include <memory>

#include "app/command.h"
#include "app/qt_module.h"
#include "jobs/report_job.h"

namespace brenmoor {

namespace {

void DeclareReport(CLI::App& report, CommandCall& call) {
  const auto request = std::make_shared<ReportRequest>();
  AddTableArgument(report, request->table.path, "the section table (CSV)");
  const CLI::Option* output =
      AddOutputOption(report, request->output,
                      "the file to write (default: beside the table, its name with .pdf, or "
                      ".properties.csv with --csv; - for standard output with --csv)");
  report.add_flag("--csv", request->csv, "write the properties table as CSV instead of the report");
  const auto language = std::make_shared<LanguageOption>(report);
  report.callback([&call, request, output, language] {
    if (output->count() > 0 && request->output.empty()) throw WrongRequest("-o needs a file name");
    request->language = language->Chosen();
    call.run = [&call, request] {
      if (request->csv) {
        JobContext context = call.ContextSaying("the properties of ");
        PropertiesCsvJob(*request, context);
        return;
      }
      JobContext context = call.ContextSaying("the report of ", [](const JobResult& result) {
        return " (" + std::to_string(result.pages) + (result.pages == 1 ? " page)" : " pages)");
      });
      ReportPdfJob(*request, context, ModuleReportRenderer());
    };
  });
}

}  // namespace

extern const Command kReportCommand = {
    "report", "TABLE [-o REPORT.pdf] [--lang en|zh]\nTABLE --csv [-o PROPERTIES.csv]",
    "the section report (A4 PDF), or with --csv every section's properties", DeclareReport};

}  // namespace brenmoor
