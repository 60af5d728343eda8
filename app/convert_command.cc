#include "app/convert_command.h"

#include <memory>

#include "app/command.h"
#include "jobs/convert_job.h"

namespace brenmoor {

void AddConvertCommand(CLI::App& brenmoor, CommandCall& call) {
  const auto request = std::make_shared<ConvertRequest>();
  CLI::App* convert = brenmoor.add_subcommand(
      "convert", "Import a section table and write the component file the analysis imports.");
  convert->allow_extras();
  AddTableArgument(*convert, request->table.path, "the section table (CSV)");
  AddOutputOption(*convert, request->output,
                  "the component file to write (default KAVOSEC.PF3CMP in this folder; "
                  "- for standard output)");
  convert->callback([&call, request] {
    call.run = [&call, request] {
      JobContext context = call.Context();
      SayWritten(call.out, "", ConvertJob(*request, context));
    };
  });
}

}  // namespace brenmoor
