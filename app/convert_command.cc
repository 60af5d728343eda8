#include "app/convert_command.h"

#include "import/number_text.h"
#include "import/section_import.h"
#include "output/generate.h"
#include "platform/files.h"

namespace brenmoor {

void ConvertCommand(BrenmoorState& state, const std::string& table, const std::string& output,
                    std::ostream& out, Progress* progress) {
  ImportSectionFile(state, table, RegionalDecimalSeparator(), progress);
  const auto written = GenerateComponentFile(state, PathFromUtf8(output), progress);
  out << "Wrote " << state.imported_count << (state.imported_count == 1 ? " section" : " sections")
      << " to " << PathToUtf8(written) << "\n";
}

}  // namespace brenmoor
