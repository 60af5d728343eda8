#include "app/command.h"

#include <optional>

#include "import/section_import.h"
#include "model/errors.h"
#include "platform/console.h"
#include "platform/files.h"
#include "platform/locale.h"

namespace brenmoor {

void ImportTableWithSections(BrenmoorState& state, const std::string& table, Progress* progress) {
  ImportSectionFile(state, table, RegionalDecimalSeparator(), progress);
  if (state.imported_count == 0) {
    throw Error(
        FileErrorMessage("No section in", PathFromUtf8(table), "There is nothing to write"));
  }
}

CLI::Option* AddTableArgument(CLI::App& command, std::string& table, const std::string& help) {
  return command.add_option("TABLE", table, help)->required();
}

CLI::Option* AddOutputOption(CLI::App& command, std::string& output, const std::string& help) {
  // Given twice, the last one counts, as it always has.
  return command.add_option("-o", output, help)
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
  if (!language) throw WrongCall("--lang takes en or zh, not '" + code_ + "'");
  return *language;
}

void WriteToStandardOutput(std::ostream& out, const char* data, std::size_t size) {
  out.write(data, static_cast<std::streamsize>(size));
  if (!out) throw Error("cannot write to standard output: " + StandardOutputFailure(out));
}

}  // namespace brenmoor
