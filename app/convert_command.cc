#include "app/convert_command.h"

#include <memory>

#include "app/command.h"
#include "jobs/convert_job.h"

namespace brenmoor {

namespace {

void DeclareConvert(CLI::App& convert, CommandCall& call) {
  const auto request = std::make_shared<ConvertRequest>();
  AddTableArgument(convert, request->table.path, "the section table (CSV)");
  AddOutputOption(convert, request->output,
                  "the component file to write (default KAVOSEC.PF3CMP in this folder; "
                  "- for standard output)");
  convert.callback([&call, request] {
    call.run = [&call, request] {
      JobContext context = call.ContextSaying("");
      ConvertJob(*request, context);
    };
  });
}

}  // namespace

extern const Command kConvertCommand = {
    "convert", "TABLE [-o OUTPUT]",
    "the component file of a section table, which the analysis imports", DeclareConvert};

}  // namespace brenmoor
