// The capacity command's PDF, drawn by the Qt module, which the program loads
// for it alone.
#include "app/capacity_command.h"
#include "app/qt_module.h"

namespace brenmoor {

std::string CapacityReportPdf(const BrenmoorState& state,
                              const std::vector<SectionCapacity>& figures,
                              const CapacityOptions& options, const std::string& table_name,
                              Language language) {
  return CapacityPdfFromModule(state, figures, options, table_name, language);
}

}  // namespace brenmoor
