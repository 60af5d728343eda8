// The capacity command's PDF, drawn by the Qt module, which the program loads
// for it alone.
#include "app/capacity_command.h"
#include "app/qt_module.h"

namespace brenmoor {

void CapacityReportPdf(ByteSink& out, const BrenmoorState& state,
                       const std::vector<SectionCapacity>& figures, const CapacityOptions& options,
                       const std::string& table_name, Language language, Progress* progress) {
  CapacityPdfFromModule(out, state, figures, options, table_name, language, progress);
}

}  // namespace brenmoor
