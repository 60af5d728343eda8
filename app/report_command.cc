#include "app/report_command.h"

#include <QDate>
#include <QGuiApplication>
#include <memory>
#include <system_error>

#include "import/section_import.h"
#include "model/errors.h"
#include "model/section_properties.h"
#include "platform/files.h"
#include "platform/locale.h"
#include "report/figures.h"
#include "report/properties_csv.h"
#include "report/section_report.h"

#ifndef BRENMOOR_VERSION
#define BRENMOOR_VERSION "unknown"
#endif
#ifndef BRENMOOR_HEADLESS_QT_PLATFORM
#define BRENMOOR_HEADLESS_QT_PLATFORM "offscreen"
#endif

namespace brenmoor {
namespace {

// The toolkit, for drawing only: no window is ever shown. An application that
// is already running (a test's) is used as it is.
class HeadlessToolkit {
 public:
  HeadlessToolkit() {
    if (QCoreApplication::instance() != nullptr) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
      qputenv("QT_QPA_PLATFORM", BRENMOOR_HEADLESS_QT_PLATFORM);
    }
    app_ = std::make_unique<QGuiApplication>(argc_, argv_);
  }

 private:
  int argc_ = 1;
  char name_[9] = "brenmoor";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QGuiApplication> app_;
};

void WriteReplacing(const std::filesystem::path& path, const char* data, std::size_t size) {
  ReplacingFile file(path);
  file.Write(data, size);
  file.Commit();
}

}  // namespace

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
  std::error_code ignored;
  if (output != "-" && (FullPath(table_path) == FullPath(output_path) ||
                        std::filesystem::equivalent(table_path, output_path, ignored))) {
    throw Error(FileErrorMessage("Cannot create", output_path, "It is the section table itself"));
  }

  ImportSectionFile(state, request.table, RegionalDecimalSeparator());
  PrepareSections(state);

  if (request.csv) {
    const std::string csv = PropertiesCsv(state);
    if (output == "-") {
      out << csv;
      return;
    }
    WriteReplacing(output_path, csv.data(), csv.size());
    out << "Wrote the properties of " << state.imported_count
        << (state.imported_count == 1 ? " section" : " sections") << " to "
        << PathToUtf8(FullPath(output_path)) << "\n";
    return;
  }

  HeadlessToolkit toolkit;
  ReportInfo info;
  info.table_name = QString::fromStdString(PathToUtf8(table_path.filename()));
  info.date = QDate::currentDate();
  info.version = QStringLiteral(BRENMOOR_VERSION);
  info.language = request.language;
  const QByteArray pdf = SectionReportPdf(state, info);
  WriteReplacing(output_path, pdf.constData(), static_cast<std::size_t>(pdf.size()));
  const int pages = PlanReport(state).pages();
  out << "Wrote the report of " << state.imported_count
      << (state.imported_count == 1 ? " section" : " sections") << " (" << pages
      << (pages == 1 ? " page) to " : " pages) to ") << PathToUtf8(FullPath(output_path)) << "\n";
}

}  // namespace brenmoor
