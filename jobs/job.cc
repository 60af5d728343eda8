#include "jobs/job.h"

#include "import/section_import.h"
#include "model/errors.h"
#include "output/byte_sink.h"
#include "platform/files.h"
#include "platform/locale.h"

namespace brenmoor {

void JobContext::TellWarnings() const { TellWarnings(state_->warnings); }

void JobContext::TellWarnings(const std::vector<TableWarning>& warnings) const {
  if (!warn_) return;
  for (const TableWarning& warning : warnings) warn_(state_->table, warning);
}

JobContext JobContext::WithoutStandardOutput() const {
  JobContext copy = *this;
  copy.standard_output_ = nullptr;
  return copy;
}

JobContext JobContext::WithProgress(Progress* progress) const {
  JobContext copy = *this;
  copy.progress_ = progress;
  return copy;
}

JobContext JobContext::ForState(BrenmoorState& other) const {
  JobContext copy = *this;
  copy.state_ = &other;
  return copy;
}

JobContext JobContext::Saying(std::function<void(const JobResult&)> say) const {
  JobContext copy = *this;
  copy.say_ = std::move(say);
  return copy;
}

void JobContext::Say(const JobResult& result) const {
  if (say_) say_(result);
}

bool IsStandardOutput(const std::string& output, const JobContext& context) {
  if (context.standard_output() == nullptr) return false;
  // By any of its names, so that a failing standard output is reported in
  // the same words for "-o -" and "-o /dev/stdout".
  return output == "-" || NamesStandardOutput(PathFromUtf8(output));
}

bool GoesToStandardOutput(const std::string& output, const JobContext& context) {
  return IsStandardOutput(output, context) || NamesStandardOutput(PathFromUtf8(output));
}

void ImportJobTable(const JobTable& table, const std::string& output, JobContext& context,
                    std::string* bytes_read) {
  if (!output.empty() && !(output == "-" && context.standard_output() != nullptr)) {
    RefuseOutputOverInput(PathFromUtf8(output), PathFromUtf8(table.path));
  }
  if (!table.imported) {
    ImportSectionFile(context.state(), table.path, RegionalDecimalSeparator(), context.progress(),
                      bytes_read);
    context.TellWarnings();
  }
}

void StartJob(const JobTable& table, const std::string& output, JobContext& context,
              std::string* bytes_read) {
  ImportJobTable(table, output, context, bytes_read);
  if (context.state().imported_count == 0) {
    throw Error(
        FileErrorMessage("No section in", PathFromUtf8(table.path), "There is nothing to write"));
  }
}

namespace {

// Passes bytes on to another sink without the UTF-8 byte order mark they may
// start with. The CSVs carry one so that a spreadsheet opening the file reads
// their names as UTF-8; a program reading a pipe takes it for part of the
// first field ("\ufeffNo").
class WithoutByteOrderMark : public ByteSink {
 public:
  explicit WithoutByteOrderMark(ByteSink& to) : ByteSink(4096), to_(to) {}

 protected:
  void Deliver(const char* data, std::size_t size) override {
    static constexpr char kMark[] = "\xEF\xBB\xBF";
    while (looked_ < 3 && size > 0 && *data == kMark[looked_]) {
      ++looked_, ++data, --size;
    }
    if (looked_ < 3 && size > 0) {
      // Not a mark after all: what was held back is part of the text.
      to_.Write(kMark, looked_);
      looked_ = 3;
    }
    to_.Write(data, size);
  }

 private:
  ByteSink& to_;
  std::size_t looked_ = 0;  // bytes of the mark seen and held back
};

}  // namespace

void WriteJobOutput(const std::string& output, JobContext& context, JobResult& result,
                    const std::function<void(ByteSink&)>& write) {
  if (IsStandardOutput(output, context)) {
    WithoutByteOrderMark sink(*context.standard_output());
    write(sink);
    sink.Flush();
    context.standard_output()->Flush();
    result.written.clear();
    context.Say(result);
    return;
  }
  ReplacingFile file(PathFromUtf8(output));
  FileSink sink(file);
  if (file.positional()) {
    write(sink);
  } else {
    // A pipe or a device by its name: read by a program, not a spreadsheet.
    WithoutByteOrderMark unmarked(sink);
    write(unmarked);
    unmarked.Flush();
  }
  sink.Flush();
  // The engineer who cancels as the last bytes go out still asked for the
  // older file.
  if (context.progress() != nullptr && context.progress()->cancelled()) throw Cancelled();
  result.written = NamesStandardOutput(file.target()) ? std::filesystem::path() : file.target();
  context.Say(result);
  file.Commit();
}

std::string BesideTable(const std::string& table, const std::string& suffix) {
  if (table == "-") {
    throw WrongRequest(
        "the table comes from standard input, so there is no folder to write "
        "beside it: name the output with -o");
  }
  std::filesystem::path path = PathFromUtf8(table);
  path.replace_extension();
  path += PathFromUtf8(suffix);
  return PathToUtf8(path);
}

}  // namespace brenmoor
