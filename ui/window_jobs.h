#pragma once

#include <QImage>
#include <QString>

#include "jobs/capacity_job.h"
#include "jobs/report_job.h"
#include "output/byte_sink.h"

namespace brenmoor {

// The window's own drawing for the jobs it runs: the reports drawn in this
// process, with today's date and this build's version on them.
ReportRenderer WindowReportRenderer();
CapacityRenderer WindowCapacityRenderer();

// image as a PNG file into sink; a failure to encode it throws
// "Cannot write file "<path>". <reason>".
void WritePng(ByteSink& sink, const QImage& image, const QString& path);

}  // namespace brenmoor
