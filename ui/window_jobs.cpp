#include "ui/window_jobs.h"

#include <QBuffer>
#include <QDate>
#include <QImageWriter>

#include "model/errors.h"
#include "platform/files.h"
#include "report/capacity_report.h"
#include "report/section_report.h"

namespace brenmoor {

ReportRenderer WindowReportRenderer() {
  return [](ByteSink& pdf, const BrenmoorState& prepared, const std::string& table_name,
            Language language, Progress* progress) {
    ReportInfo info;
    info.table_name = QString::fromStdString(table_name);
    info.date = QDate::currentDate();
    info.version = QStringLiteral(BRENMOOR_VERSION);
    info.language = language;
    SectionReportPdf(pdf, prepared, info, progress);
    return PlanReport(prepared).pages();
  };
}

CapacityRenderer WindowCapacityRenderer() {
  return [](ByteSink& pdf, const BrenmoorState& state, const CapacityReportFigures& figures,
            const std::string& table_name, Language language, Progress* progress) {
    CapacityReportInfo info;
    info.table_name = QString::fromStdString(table_name);
    info.date = QDate::currentDate();
    info.version = QStringLiteral(BRENMOOR_VERSION);
    info.options = figures.options;
    info.language = language;
    CapacityReportDocument(pdf, state, figures.figures, figures.biaxial, info, progress);
  };
}

void WritePng(ByteSink& sink, const QImage& image, const QString& path) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "png");
  if (!writer.write(image)) {
    throw Error(FileErrorMessage("Cannot write", PathFromUtf8(path.toStdString()),
                                 writer.errorString().toStdString()));
  }
  sink.Write(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace brenmoor
