#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "model/progress.h"
#include "model/state.h"
#include "output/byte_sink.h"

namespace brenmoor {

// A job is one thing the engineer asks for (convert a table, its properties
// CSV, its report, its capacity, a drawing saved as a file), done the one way
// whichever front end asks: the command line declares its options and calls
// the job; the window's handlers and dialogs call the same job. Each job goes
// the whole road: refuse an output that is the table itself, import the
// table, compute, make the output and replace the file safely (see
// ReplaceFileWith), and says what it did in a JobResult. Errors are thrown as
// Error with the text the engineer reads; a cancel throws Cancelled. Either
// way an older output stays as it was and nothing is left behind.

// The section table a job reads.
struct JobTable {
  // Its path (UTF-8): errors name it, and no output may be it.
  std::string path;
  // True when the job's state holds the table's sections already (the
  // window imported them); false to have the job import path.
  bool imported = false;
};

// What a job works with besides its request.
struct JobContext {
  // The sections: imported into by the job, or the imported ones (see
  // JobTable); a job leaves in the records what the generate command leaves.
  BrenmoorState& state;
  // Shown the work; its cancel stops it. May be nullptr.
  Progress* progress = nullptr;
  // Where an output named "-" goes (the command line's standard output);
  // nullptr where there is none, and "-" is then an ordinary file name.
  ByteSink* standard_output = nullptr;
  // Told what the job's import accepted but found odd (state.warnings), as
  // soon as the table is imported. May be empty.
  std::function<void(const TableWarning&)> warn = {};
};

// What a job did.
struct JobResult {
  int sections = 0;  // sections in the output
  int pages = 0;     // of a PDF
  // The full path of the file written; empty when the output went to
  // standard output.
  std::filesystem::path written;
};

// The first steps of every job that reads a table: refuses output when it
// names the table itself (checked before anything is read, however the two
// are spelled; "-" on a context with standard output is never the table),
// then imports the table unless it is imported already, telling
// context.warn what the import found odd. A table that holds no section is
// refused: writing an empty file over a good one would lose the engineer's
// work.
void StartJob(const JobTable& table, const std::string& output, JobContext& context);

// Writes what write puts into its sink to output: standard output for "-"
// (on a context that has one), else the file at output, replaced only once
// every byte is written (ReplaceFileWith; a device or pipe, /dev/stdout
// among them, is written in place). Returns the full path written, empty
// when it went to standard output by any name.
std::filesystem::path WriteJobOutput(const std::string& output, JobContext& context,
                                     const std::function<void(ByteSink&)>& write);

// Whether output is "-", standard output, in this context.
bool IsStandardOutput(const std::string& output, const JobContext& context);

// Whether output reaches the program's standard output, as "-" or by a name
// such as /dev/stdout: then nothing else may be printed there, and bytes
// sent cannot be taken back.
bool GoesToStandardOutput(const std::string& output, const JobContext& context);

// path with its extension replaced by suffix, beside it: the default name of
// an output made from a table. Example: ("D:\\a\\t.csv", ".capacity.pdf")
// gives "D:\\a\\t.capacity.pdf".
std::string BesideTable(const std::string& table, const std::string& suffix);

}  // namespace brenmoor
