#pragma once

// What the programs hand to the Qt module (libbrenmoor-qt.so,
// brenmoor-qt.dll), which holds everything that draws: the window, the PDF
// report. The programs themselves link no Qt, so that `convert`, `inspect`
// and `report --csv` start fast and small; they load the module only for a
// window or a PDF, and call its one function, BrenmoorQtMain, with a
// BrenmoorQtRequest. Both sides come from the same build (the same compiler
// and standard library), so C++ objects may cross; interface tells a module
// left over from another version, which is refused.

#include <cstdint>
#include <string>
#include <vector>

#include "capacity/capacity.h"
#include "model/language.h"
#include "model/progress.h"
#include "model/state.h"
#include "output/byte_sink.h"

namespace brenmoor {

// Raised whenever the request's layout or meaning changes.
inline constexpr std::uint32_t kQtModuleInterface = 4;

// The name of the module's one function.
inline constexpr char kQtModuleEntry[] = "BrenmoorQtMain";

enum class QtCommand : std::int32_t {
  // Shows the window over state and runs it until it is closed; table, when
  // not empty, is imported first. exit_status gets the event loop's status.
  kWindow = 1,
  // Draws the report of state (prepared: see PreparedCopy) into *pdf, page
  // after page, and its page count into pages. table names the table on the
  // cover.
  kReportPdf = 2,
  // Draws the capacity report of state (imported) with the figures
  // capacity and the options capacity_options into *pdf, page after page.
  kCapacityPdf = 3,
};

// The module's answer, BrenmoorQtMain's result.
enum class QtStatus : std::int32_t {
  kDone = 0,
  kFailed = 1,     // *error holds the message, as Error::what() would
  kCancelled = 2,  // progress was cancelled
  kWrongInterface = 3,
};

struct BrenmoorQtRequest {
  std::uint32_t interface = kQtModuleInterface;  // stays the first field
  QtCommand command = QtCommand::kWindow;
  // The program's own argc and argv, for the toolkit.
  int argc = 0;
  char** argv = nullptr;
  BrenmoorState* state = nullptr;          // main's
  std::string table;                       // UTF-8
  std::string version;                     // Brenmoor's
  Language language = Language::kEnglish;  // the PDF's
  Progress* progress = nullptr;            // may be nullptr
  const std::vector<SectionCapacity>* capacity = nullptr;
  const CapacityOptions* capacity_options = nullptr;
  ByteSink* pdf = nullptr;  // where a PDF goes (a file being replaced)
  // Filled by the module.
  std::int32_t pages = 0;
  std::int32_t exit_status = 0;
  std::string* error = nullptr;
};

}  // namespace brenmoor

extern "C" {
// The function the module exports. Catches everything: no exception crosses.
typedef std::int32_t (*BrenmoorQtMainFunction)(brenmoor::BrenmoorQtRequest* request);
}
