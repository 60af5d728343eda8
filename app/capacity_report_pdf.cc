// The capacity command's PDF, drawn by the report library; only in a build
// that has it.
#include <QDate>

#include "app/capacity_command.h"
#include "app/headless_toolkit.h"
#include "report/capacity_report.h"

#ifndef BRENMOOR_VERSION
#define BRENMOOR_VERSION "unknown"
#endif

namespace brenmoor {

std::string CapacityReportPdf(const BrenmoorState& state,
                              const std::vector<SectionCapacity>& figures,
                              const CapacityOptions& options, const std::string& table_name,
                              Language language) {
  HeadlessToolkit toolkit;
  CapacityReportInfo info;
  info.table_name = QString::fromStdString(table_name);
  info.date = QDate::currentDate();
  info.version = QStringLiteral(BRENMOOR_VERSION);
  info.options = options;
  info.language = language;
  const QByteArray pdf = CapacityReportDocument(state, figures, info);
  return std::string(pdf.constData(), static_cast<std::size_t>(pdf.size()));
}

}  // namespace brenmoor
