#include "app/convert_command.h"

#include <memory>

#include "app/command.h"
#include "model/section_properties.h"
#include "output/byte_sink.h"
#include "output/component_writer.h"
#include "output/generate.h"
#include "platform/files.h"

namespace brenmoor {
namespace {

// The component file's bytes on standard output.
class StandardOutputSink : public ByteSink {
 public:
  explicit StandardOutputSink(std::ostream& out) : out_(out) {}

 protected:
  void Deliver(const char* data, std::size_t size) override {
    WriteToStandardOutput(out_, data, size);
  }

 private:
  std::ostream& out_;
};

}  // namespace

void ConvertCommand(BrenmoorState& state, const std::string& table, const std::string& output,
                    std::ostream& out, Progress* progress) {
  if (output != "-") RefuseOutputOverInput(PathFromUtf8(output), PathFromUtf8(table));
  ImportTableWithSections(state, table, progress);
  if (output == "-") {
    // Bytes sent down a pipe cannot be taken back: every section is computed
    // before the first, so a section that fails sends nothing.
    ComputeSections(state, progress);
    StandardOutputSink sink(out);
    StreamComponentFile(state, sink, StartThread, progress);
    sink.Flush();
    return;
  }
  const auto written = GenerateComponentFile(state, PathFromUtf8(output), progress);
  out << "Wrote " << state.imported_count << (state.imported_count == 1 ? " section" : " sections")
      << " to " << PathToUtf8(written) << "\n";
}

void AddConvertCommand(CLI::App& brenmoor, CommandCall& call) {
  struct Options {
    std::string table;
    std::string output = kComponentFileName;
  };
  const auto options = std::make_shared<Options>();
  CLI::App* convert = brenmoor.add_subcommand(
      "convert", "Import a section table and write the component file the analysis imports.");
  convert->allow_extras();
  AddTableArgument(*convert, options->table, "the section table (CSV)");
  const CLI::Option* output =
      AddOutputOption(*convert, options->output,
                      "the component file to write (default KAVOSEC.PF3CMP in this folder; "
                      "- for standard output)");
  convert->callback([&call, options, output] {
    if (options->output.empty()) throw WrongCall("-o needs a file name");
    call.table = options->table;
    call.run = [&call, options] {
      ConvertCommand(call.state, options->table, options->output, call.out, call.progress);
    };
  });
}

}  // namespace brenmoor
