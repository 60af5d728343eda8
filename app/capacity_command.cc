#include "app/capacity_command.h"

#include <charconv>
#include <cmath>
#include <memory>
#include <optional>

#include "app/command.h"
#include "app/qt_module.h"
#include "jobs/capacity_job.h"

namespace brenmoor {
namespace {

// Whether the whole of text is a number in C form (whatever the regional
// settings); the number goes to value.
bool ParsesWhole(const std::string& text, double& value) {
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end;
}

// The job a capacity call asks for, and the line it ends with.
void RunCapacity(CommandCall& call, const CapacityRequest& request) {
  JobContext context = call.Context();
  if (request.csv) {
    SayWritten(call.out, request.curves ? "the interaction curves of " : "the capacity figures of ",
               CapacityCsvJob(request, context));
    return;
  }
  SayWritten(call.out, "the capacity report of ",
             CapacityPdfJob(request, context, ModuleCapacityRenderer()));
}

}  // namespace

void AddCapacityCommand(CLI::App& brenmoor, CommandCall& call) {
  struct Options {
    CapacityRequest request;
    std::string steel, strength, axial_ratio;
  };
  const auto options = std::make_shared<Options>();
  CLI::App* capacity = brenmoor.add_subcommand(
      "capacity",
      "Import a section table and write the N-M interaction and moment-curvature of every "
      "section (A4 PDF) or, with --csv, its capacity figures as CSV.");
  capacity->allow_extras();
  AddTableArgument(*capacity, options->request.table.path, "the section table (CSV)");
  const CLI::Option* output = AddOutputOption(
      *capacity, options->request.output,
      "the file to write (default: beside the table, its name with .capacity.pdf, or "
      ".capacity.csv with --csv; - for standard output with --csv)");
  const CLI::Option* steel = capacity
                                 ->add_option("--steel", options->steel,
                                              "the bars' grade: HRB335, HRB400 (default) "
                                              "or HRB500")
                                 ->type_name("GRADE")
                                 ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  const CLI::Option* strength =
      capacity
          ->add_option("--strength", options->strength,
                       "design (default) or characteristic strengths of concrete and steel")
          ->type_name("KIND")
          ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  const CLI::Option* axial_ratio =
      capacity
          ->add_option("--axial-ratio", options->axial_ratio,
                       "the axial load ratio N / (fc B H) of the moment-curvature curves "
                       "(default 0.3)")
          ->type_name("R")
          ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  capacity->add_flag("--csv", options->request.csv,
                     "write the capacity figures as CSV instead of the report");
  capacity->add_flag("--curves", options->request.curves,
                     "with --csv: every point of both interaction curves instead");
  const auto language = std::make_shared<LanguageOption>(*capacity);
  capacity->callback([&call, options, output, steel, strength, axial_ratio, language] {
    CapacityRequest& request = options->request;
    if (output->count() > 0 && request.output.empty()) throw WrongCall("-o needs a file name");
    request.language = language->Chosen();
    if (steel->count() > 0) {
      const std::optional<SteelGrade> grade = SteelGradeFromName(options->steel);
      if (!grade) throw WrongCall("invalid value '" + options->steel + "' for --steel");
      request.options.steel = *grade;
    }
    if (strength->count() > 0) {
      const std::optional<Strengths> strengths = StrengthsFromName(options->strength);
      if (!strengths) throw WrongCall("invalid value '" + options->strength + "' for --strength");
      request.options.strengths = *strengths;
    }
    if (axial_ratio->count() > 0) {
      double ratio = 0;
      if (!ParsesWhole(options->axial_ratio, ratio) || !std::isfinite(ratio)) {
        throw WrongCall("invalid value '" + options->axial_ratio + "' for --axial-ratio");
      }
      request.options.axial_ratio = ratio;
    }
    if (request.output == "-" && !request.csv) {
      throw WrongCall("the capacity report goes to a file; only --csv writes to standard output");
    }
    if (request.curves && !request.csv) throw WrongCall("--curves goes with --csv");
    call.table = request.table.path;
    call.run = [&call, options] { RunCapacity(call, options->request); };
  });
}

}  // namespace brenmoor
