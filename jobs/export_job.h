#pragma once

#include <functional>
#include <string>

#include "jobs/job.h"

namespace brenmoor {

// One drawing the window saves as a file: the picture of a section, a
// section's capacity page as PDF or as a picture.
struct ExportRequest {
  std::string table;   // the table the drawing comes from (UTF-8; may be empty)
  std::string output;  // UTF-8 path
};

// Writes what draw puts into its sink to the file at output, never over the
// table, replacing an older file only once the whole drawing is written.
// Returns the full path written.
JobResult ExportJob(const ExportRequest& request, const std::function<void(ByteSink&)>& draw);

// The picture of record `record` of state: lays the section out (on a copy;
// the record is not touched) and hands the laid-out section to draw, which
// draws it into the file at output as ExportJob writes it.
JobResult SectionPictureJob(const ExportRequest& request, const BrenmoorState& state, int record,
                            const std::function<void(ByteSink&, const TSECTION&)>& draw);

}  // namespace brenmoor
