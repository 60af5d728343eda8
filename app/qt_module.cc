#include "app/qt_module.h"

#include <system_error>

#include "model/errors.h"
#include "platform/files.h"
#include "platform/module.h"
#include "qtmodule/request.h"

#ifndef BRENMOOR_VERSION
#define BRENMOOR_VERSION "unknown"
#endif

namespace brenmoor {
namespace {

QtStatus Call(BrenmoorQtRequest& request) {
#ifndef BRENMOOR_WITH_QT_MODULE
  throw Error("This build of brenmoor has no window and no PDF report (it was built without Qt)");
#endif
  const std::filesystem::path path = QtModulePath();
  const auto entry =
      reinterpret_cast<BrenmoorQtMainFunction>(LoadLibraryFunction(path, kQtModuleEntry));
  std::string error;
  request.error = &error;
  const auto status = static_cast<QtStatus>(entry(&request));
  switch (status) {
    case QtStatus::kDone:
      return status;
    case QtStatus::kCancelled:
      throw Cancelled();
    case QtStatus::kWrongInterface:
      throw Error("Cannot load \"" + PathToUtf8(path) +
                  "\". It belongs to another version of Brenmoor; reinstall Brenmoor");
    default:
      throw Error(error);
  }
}

}  // namespace

std::filesystem::path QtModulePath() {
  const std::filesystem::path folder = ExecutableFolder();
  const std::filesystem::path candidates[] = {
      folder / BRENMOOR_QT_MODULE_NAME,
      (folder / BRENMOOR_QT_MODULE_INSTALLED_DIR / BRENMOOR_QT_MODULE_NAME).lexically_normal()};
  for (const auto& candidate : candidates) {
    std::error_code ignored;
    if (std::filesystem::is_regular_file(candidate, ignored)) return candidate;
  }
  return candidates[0];
}

int RunWindowFromModule(int argc, char** argv, BrenmoorState& state, const std::string& table) {
  BrenmoorQtRequest request;
  request.command = QtCommand::kWindow;
  request.argc = argc;
  request.argv = argv;
  request.state = &state;
  request.table = table;
  request.version = BRENMOOR_VERSION;
  Call(request);
  return request.exit_status;
}

int ReportPdfFromModule(ByteSink& out, const BrenmoorState& prepared, const std::string& table_name,
                        Language language, Progress* progress) {
  BrenmoorQtRequest request;
  request.command = QtCommand::kReportPdf;
  // Only read for a report.
  request.state = const_cast<BrenmoorState*>(&prepared);
  request.table = table_name;
  request.version = BRENMOOR_VERSION;
  request.progress = progress;
  request.language = language;
  request.pdf = &out;
  Call(request);
  return request.pages;
}

void CapacityPdfFromModule(ByteSink& out, const BrenmoorState& state,
                           const std::vector<SectionCapacity>& figures,
                           const CapacityOptions& options, const std::string& table_name,
                           Language language, Progress* progress) {
  BrenmoorQtRequest request;
  request.command = QtCommand::kCapacityPdf;
  // Only read for a report.
  request.state = const_cast<BrenmoorState*>(&state);
  request.table = table_name;
  request.version = BRENMOOR_VERSION;
  request.capacity = &figures;
  request.capacity_options = &options;
  request.progress = progress;
  request.language = language;
  request.pdf = &out;
  Call(request);
}

}  // namespace brenmoor
