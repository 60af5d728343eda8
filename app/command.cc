#include "app/command.h"

#include <optional>

#include "app/progress_line.h"
#include "model/errors.h"
#include "platform/console.h"
#include "platform/files.h"
#include "platform/text.h"

namespace brenmoor {

CLI::Option* AddTableArgument(CLI::App& command, std::string& table, const std::string& help,
                              const std::string& name) {
  return command.add_option(name, table, help)->required();
}

CLI::Option* AddOutputOption(CLI::App& command, std::string& output, const std::string& help) {
  // Given twice, the last one counts, as it always has.
  return command.add_option("-o,--output", output, help)
      ->type_name("FILE")
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

LanguageOption::LanguageOption(CLI::App& command)
    : option_(command
                  .add_option("--lang", code_,
                              "the language of the PDF's texts: en (default) or zh; the CSV is "
                              "the same in both")
                  ->type_name("en|zh")
                  ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast)) {}

Language LanguageOption::Chosen() const {
  if (option_->count() == 0) return Language::kEnglish;
  const std::optional<Language> language = LanguageFromCode(code_);
  if (!language) throw WrongRequest("--lang takes en or zh, not '" + code_ + "'");
  return *language;
}

JobContext CommandCall::Context() {
  if (err == nullptr) return JobContext(state, progress, standard_output);
  return JobContext(state, progress, standard_output,
                    [this](const std::string& table, const TableWarning& warning) {
                      if (auto* line = dynamic_cast<ProgressLine*>(progress)) line->Erase();
                      *err << "brenmoor: " << DisplayMessage(table) << ":" << warning.line
                           << ": warning: " << DisplayMessage(ErrorReportText(warning.message))
                           << "\n";
                    });
}

JobContext CommandCall::ContextSaying(const std::string& what,
                                      std::function<std::string(const JobResult&)> after_count) {
  return Context().Saying([this, what, after_count](const JobResult& result) {
    if (quiet) return;
    SayWritten(out, what, result, after_count ? after_count(result) : std::string());
    out.flush();
    if (!out) throw Error("cannot write to standard output: " + StandardOutputFailure(out));
  });
}

void StandardOutputSink::Deliver(const char* data, std::size_t size) {
  out_.write(data, static_cast<std::streamsize>(size));
  if (!out_) throw Error("cannot write to standard output: " + StandardOutputFailure(out_));
}

void SayWritten(std::ostream& out, const std::string& what, const JobResult& result,
                const std::string& after_count) {
  if (result.written.empty()) return;
  out << "Wrote " << what << result.sections << (result.sections == 1 ? " section" : " sections")
      << after_count << " to " << EscapeControlCharacters(PathToUtf8(result.written)) << "\n";
}

}  // namespace brenmoor
