#pragma once

#include <string>

#include "jobs/job.h"
#include "output/generate.h"

namespace brenmoor {

struct ConvertRequest {
  JobTable table;
  // The component file (UTF-8 path); "-" for standard output where the
  // context has one.
  std::string output = kComponentFileName;

  // Refuses an empty output name (WrongRequest).
  void Validate() const;
};

// `brenmoor convert` and the window's generate button: the component file of
// every section of the table (GenerateComponentFile), replacing the file at
// output in one step; on standard output, the file's bytes and nothing else,
// every section computed before the first byte, since bytes sent down a pipe
// cannot be taken back. The records keep their fiber counts and properties.
// What of the table's stirrup columns cannot be used is told to
// context.warn after the import's own warnings (StirrupWarnings): the file
// is the same with or without those columns.
// Errors: those of the import, of computing a section (SectionError) and of
// writing. Example: the sample table gives 12 sections and the full path of
// KAVOSEC.PF3CMP in the current folder.
JobResult ConvertJob(const ConvertRequest& request, JobContext& context);

}  // namespace brenmoor
