#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "model/errors.h"
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

// A request that asks for something that makes no sense: options that do
// not go together, a value out of its range, no output name. Each request's
// Validate throws it, and each job calls Validate first thing, before
// anything is read, so that every front end gets the same refusals. The
// command line shows it as a wrong call (status 2), the window in its error
// box.
class WrongRequest : public Error {
 public:
  using Error::Error;
};

// The section table a job reads.
struct JobTable {
  // Its path (UTF-8): errors name it, and no output may be it.
  std::string path;
  // True when the job's state holds the table's sections already (the
  // window imported them); false to have the job import path.
  bool imported = false;
};

// What a job did.
struct JobResult {
  int sections = 0;  // sections in the output
  int pages = 0;     // of a PDF
  // The full path of the file written; empty when the output went to
  // standard output.
  std::filesystem::path written;
};

// Told what an import accepted but found odd: the table's path as the job
// was given it (so that a job reading two tables names the right one) and
// the warning, whose line counts the header as line 1.
using WarningSink = std::function<void(const std::string& table, const TableWarning& warning)>;

// What a job works with besides its request: the sections, where its
// progress goes, standard output, and who is told of the import's warnings.
// A job that needs it otherwise (no standard output, another progress, a
// second table) asks for a variant by a method, so that nothing it was
// given is dropped on the way.
class JobContext {
 public:
  // state: the sections, imported into by the job or the imported ones (see
  // JobTable); a job leaves in the records what the generate command leaves.
  // progress: shown the work, its cancel stops it; may be nullptr.
  // standard_output: where an output named "-" goes (the command line's
  // standard output); nullptr where there is none, and "-" is then an
  // ordinary file name. warn: may be empty.
  JobContext(BrenmoorState& state, Progress* progress = nullptr,
             ByteSink* standard_output = nullptr, WarningSink warn = {})
      : state_(&state),
        progress_(progress),
        standard_output_(standard_output),
        warn_(std::move(warn)) {}

  BrenmoorState& state() const { return *state_; }
  Progress* progress() const { return progress_; }
  ByteSink* standard_output() const { return standard_output_; }

  // Tells the warning sink of every warning state() holds, naming its table
  // (state().table). Called by the import of a job; nothing when no one
  // listens.
  void TellWarnings() const;
  // Tells the warning sink of warnings of state()'s table that the import
  // does not keep with it (those only one job gives, say).
  void TellWarnings(const std::vector<TableWarning>& warnings) const;

  // This context with no standard output: "-" is a file name there, as for
  // an output that is never sent down a pipe (a PDF).
  JobContext WithoutStandardOutput() const;
  // This context showing its work to progress instead.
  JobContext WithProgress(Progress* progress) const;
  // This context working on other sections: the second table of a job that
  // reads two, told of its warnings and shown on the same progress.
  JobContext ForState(BrenmoorState& other) const;
  // This context telling say what the job did (the full path in written)
  // once its output is made and before it replaces an older file: the
  // command line prints its summary there, so that a summary it cannot
  // print (standard output full or closed) fails the job with the older
  // file as it was.
  JobContext Saying(std::function<void(const JobResult&)> say) const;

  // Calls the say of Saying, if any, with result.
  void Say(const JobResult& result) const;

 private:
  BrenmoorState* state_;
  Progress* progress_;
  ByteSink* standard_output_;
  WarningSink warn_;
  std::function<void(const JobResult&)> say_;
};

// The first steps of every job that reads a table: refuses output when it
// names the table itself (checked before anything is read, however the two
// are spelled; "-" on a context with standard output is never the table,
// and an empty output is that of a job that writes no file),
// then imports the table unless it is imported already, telling the
// context's warning sink what the import found odd. Errors of the import
// name the table they came from (ImportError::file). With bytes_read, the
// bytes the job imported are kept there (nothing when it was imported
// already).
void ImportJobTable(const JobTable& table, const std::string& output, JobContext& context,
                    std::string* bytes_read = nullptr);

// ImportJobTable, then the refusal of a table that holds no section, for
// the jobs that write the table's sections: writing an empty file over a
// good one would lose the engineer's work.
void StartJob(const JobTable& table, const std::string& output, JobContext& context,
              std::string* bytes_read = nullptr);

// Writes what write puts into its sink to output: standard output for "-"
// (on a context that has one), else the file at output, replaced only once
// every byte is written (a device or pipe, /dev/stdout among them, is
// written in place). Sets result.written to the full path written (empty
// when it went to standard output by any name) and tells the context's say
// (Saying) before the file replaces the older one. A cancel asked for while
// the last bytes were written still keeps the older file (Cancelled).
// A CSV's UTF-8 byte order mark goes only into a file: standard output, a
// pipe or a device gets the text without it.
void WriteJobOutput(const std::string& output, JobContext& context, JobResult& result,
                    const std::function<void(ByteSink&)>& write);

// Whether output goes to the context's standard output: "-", or a name of
// the program's standard output (/dev/stdout, /dev/fd/1), on a context that
// has one.
bool IsStandardOutput(const std::string& output, const JobContext& context);

// Whether output reaches the program's standard output, as "-" or by a name
// such as /dev/stdout: then nothing else may be printed there, and bytes
// sent cannot be taken back.
bool GoesToStandardOutput(const std::string& output, const JobContext& context);

// path with its extension replaced by suffix, beside it: the default name of
// an output made from a table. Example: ("D:\\a\\t.csv", ".capacity.pdf")
// gives "D:\\a\\t.capacity.pdf".
// A table read from standard input ("-") has no folder: WrongRequest.
std::string BesideTable(const std::string& table, const std::string& suffix);

}  // namespace brenmoor
