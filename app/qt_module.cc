#include "app/qt_module.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <system_error>

#include "app/qt_module_digest.h"
#include "app/sha256.h"
#include "model/errors.h"
#include "platform/files.h"
#include "platform/module.h"
#include "qtmodule/flat_section.h"
#include "qtmodule/request.h"

#ifndef BRENMOOR_VERSION
#define BRENMOOR_VERSION "unknown"
#endif

namespace brenmoor {
namespace {

static_assert(static_cast<int>(Language::kChinese) == 0 &&
                  static_cast<int>(Language::kEnglish) == 1,
              "the request's language numbers");

std::string DamagedMessage(const std::filesystem::path& path) {
  return PathToUtf8(path) +
         ": the window and PDF module is damaged or belongs to another build; reinstall Brenmoor";
}

// What the module's callbacks reach: the program's own progress and sink.
// The callbacks catch everything, so that no exception crosses into the
// module, and keep what they caught for the program.
struct CallContext {
  Progress* progress = nullptr;
  ByteSink* pdf = nullptr;
  std::exception_ptr write_error;
};

std::int32_t ShowProgress(void* context, const char* step, std::int64_t done,
                          std::int64_t total) noexcept {
  auto* call = static_cast<CallContext*>(context);
  if (call->progress == nullptr) return 0;
  try {
    call->progress->Show(step, done, total);
  } catch (...) {
    call->progress->Cancel();
  }
  return call->progress->cancelled() ? 1 : 0;
}

std::int32_t WritePdf(void* context, const char* data, std::size_t size) noexcept {
  auto* call = static_cast<CallContext*>(context);
  if (call->write_error) return 1;
  try {
    call->pdf->Write(data, size);
    return 0;
  } catch (...) {
    call->write_error = std::current_exception();
    return 1;
  }
}

BrenmoorQtRequest NewRequest(BrenmoorQtCommand command) {
  BrenmoorQtRequest request;
  std::memset(&request, 0, sizeof request);
  request.interface_version = kBrenmoorQtInterface;
  request.size = sizeof request;
  request.command = command;
  request.version = BRENMOOR_VERSION;
  return request;
}

// The sections and material table of state as the request carries them.
struct FlatSections {
  explicit FlatSections(const BrenmoorState& state) : stirrup_columns(state.stirrup_columns) {
    for (int r = 1; r <= state.imported_count; ++r) {
      sections.push_back(FlatSection(state.records.at(static_cast<std::size_t>(r))));
    }
    for (const TMAT& m : state.materials) {
      BrenmoorQtMaterial flat{};
      std::strncpy(flat.name, m.name.c_str(), sizeof flat.name - 1);
      flat.modulus = m.modulus;
      materials.push_back(flat);
    }
  }
  void Into(BrenmoorQtRequest& request) const {
    request.stirrup_columns = stirrup_columns ? 1 : 0;
    request.section_count = static_cast<std::int32_t>(sections.size());
    request.sections = sections.data();
    request.material_count = static_cast<std::int32_t>(materials.size());
    request.materials = materials.data();
  }
  bool stirrup_columns;
  std::vector<BrenmoorQtSection> sections;
  std::vector<BrenmoorQtMaterial> materials;
};

// Finds, checks and loads the module, and hands it request.
void Call(BrenmoorQtRequest& request, CallContext& context) {
#ifndef BRENMOOR_WITH_QT_MODULE
  throw Error("This build of brenmoor has no window and no PDF report (it was built without Qt)");
#endif
  const std::filesystem::path path = QtModulePath();
  // One open file from the check to the load: a file renamed over the
  // module meanwhile is neither checked nor run.
  const LibraryFile module(path);
  CheckQtModule(module, BuiltQtModule());
  const auto entry =
      reinterpret_cast<BrenmoorQtMainFunction>(module.LoadFunction(BRENMOOR_QT_ENTRY));
  request.context = &context;
  request.progress = &ShowProgress;
  request.write = &WritePdf;
  const std::int32_t status = entry(&request);
  request.error[sizeof request.error - 1] = '\0';
  ThrowForQtStatus(status, request.error, path, context.write_error);
}

}  // namespace

std::vector<std::filesystem::path> QtModuleCandidates(
    const std::filesystem::path& program_folder, const std::filesystem::path& installed_relative,
    const std::filesystem::path& package_folder) {
  std::vector<std::filesystem::path> candidates;
  const std::filesystem::path folders[] = {program_folder, program_folder / installed_relative,
                                           package_folder};
  for (const std::filesystem::path& folder : folders) {
    if (folder.empty() || !folder.is_absolute()) continue;
    const std::filesystem::path candidate = (folder / BRENMOOR_QT_MODULE_NAME).lexically_normal();
    if (std::find(candidates.begin(), candidates.end(), candidate) == candidates.end()) {
      candidates.push_back(candidate);
    }
  }
  return candidates;
}

std::filesystem::path QtModulePath() {
  const std::vector<std::filesystem::path> candidates =
      QtModuleCandidates(ExecutableFolder(), PathFromUtf8(BRENMOOR_QT_MODULE_INSTALLED_DIR),
                         PathFromUtf8(BRENMOOR_QT_MODULE_PACKAGE_DIR));
  std::string looked, skipped;
  for (const auto& candidate : candidates) {
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(candidate, ignored)) {
      looked += (looked.empty() ? "" : " or ") + ('"' + PathToUtf8(candidate) + '"');
      continue;
    }
    // Another user who could put a library there could run code as the
    // engineer (or as root) the moment Brenmoor draws.
    const std::string why = WhyNotTrusted(candidate);
    if (why.empty()) return candidate;
    skipped += "; \"" + PathToUtf8(candidate) + "\" was not taken, since " + why;
  }
  // Never a guess relative to the current folder, where anyone may have
  // put a file of that name.
  const std::string unknown_folder =
      "this program cannot tell its own folder: on Linux it asks /proc, which is not mounted";
  if (looked.empty() && skipped.empty()) {
    throw Error("Cannot find the window and PDF module: " + unknown_folder);
  }
  std::string message = "Cannot find the window and PDF module: ";
  message += looked.empty() ? skipped.substr(2) : "it is not " + looked + skipped;
  message += ExecutableFolder().empty() ? ", and " + unknown_folder : "; reinstall Brenmoor";
  throw Error(message);
}

void CheckQtModule(const LibraryFile& module, const ModuleIdentity& identity) {
  // One byte more than the module should have is enough to tell a longer
  // file; a huge file planted there is never read whole.
  const std::string bytes = module.Read(static_cast<std::size_t>(identity.size) + 1);
  if (bytes.size() != identity.size || Sha256Hex(bytes) != identity.sha256) {
    throw Error(DamagedMessage(module.path()));
  }
}

void CheckQtModule(const std::filesystem::path& path, const ModuleIdentity& identity) {
  CheckQtModule(LibraryFile(path), identity);
}

void ThrowForQtStatus(std::int32_t status, std::string_view message,
                      const std::filesystem::path& path, std::exception_ptr write_error) {
  switch (status) {
    case kBrenmoorQtDone:
      return;
    case kBrenmoorQtCancelled:
      throw Cancelled();
    case kBrenmoorQtFailed:
      if (!message.empty()) throw Error(std::string(message));
      throw Error(PathToUtf8(path) +
                  ": the window and PDF module failed without saying why; reinstall Brenmoor if "
                  "it happens again");
    case kBrenmoorQtWriteFailed:
      if (write_error) std::rethrow_exception(write_error);
      throw Error(PathToUtf8(path) +
                  ": the window and PDF module could not hand over the PDF, and the program "
                  "met no failure");
    case kBrenmoorQtWrongInterface:
      throw Error(DamagedMessage(path));
    default:
      throw Error(PathToUtf8(path) + ": the window and PDF module answered " +
                  std::to_string(status) +
                  ", which this program does not know; reinstall Brenmoor");
  }
}

int RunWindowFromModule(int argc, char** argv, const std::string& table) {
  BrenmoorQtRequest request = NewRequest(kBrenmoorQtWindow);
  request.argc = argc;
  request.argv = argv;
  request.table = table.c_str();
  CallContext context;
  Call(request, context);
  return request.exit_status;
}

ReportRenderer ModuleReportRenderer() {
  return [](ByteSink& pdf, const BrenmoorState& prepared, const std::string& table_name,
            Language language, Progress* progress) {
    BrenmoorQtRequest request = NewRequest(kBrenmoorQtReportPdf);
    const FlatSections flat(prepared);
    flat.Into(request);
    request.table = table_name.c_str();
    request.language = static_cast<std::int32_t>(language);
    CallContext context{progress, &pdf, nullptr};
    Call(request, context);
    return static_cast<int>(request.pages);
  };
}

CapacityRenderer ModuleCapacityRenderer() {
  return [](ByteSink& pdf, const BrenmoorState& state, const CapacityReportFigures& figures,
            const std::string& table_name, Language language, Progress* progress) {
    BrenmoorQtRequest request = NewRequest(kBrenmoorQtCapacityPdf);
    const FlatSections flat(state);
    flat.Into(request);
    std::vector<BrenmoorQtCapacity> capacity(flat.sections.size());
    auto axis = [](const AxisCapacity& a) {
      return BrenmoorQtAxisCapacity{a.N0, a.Nt, a.Nb, a.Mb, a.M0, a.fiber_M0, a.fiber_error_pct};
    };
    for (std::size_t i = 0; i < capacity.size(); ++i) {
      BrenmoorQtCapacity& c = capacity[i];
      if (i < figures.figures.size()) {
        c.x = axis(figures.figures[i].x);
        c.y = axis(figures.figures[i].y);
      }
      if (i < figures.biaxial.size()) {
        const BiaxialFigures& b = figures.biaxial[i];
        c.N = b.N;
        c.holds = b.holds ? 1 : 0;
        c.biaxial_M_min = b.M_min;
        c.biaxial_M_max = b.M_max;
        c.biaxial_fiber_error_pct = b.fiber_error_pct;
      }
    }
    const CapacityOptions& options = figures.options;
    request.capacity = capacity.data();
    request.steel_grade = static_cast<std::int32_t>(options.steel);
    request.strengths = static_cast<std::int32_t>(options.strengths);
    request.axial_ratio = options.axial_ratio;
    request.hoops_grade = static_cast<std::int32_t>(options.hoops);
    request.table = table_name.c_str();
    request.language = static_cast<std::int32_t>(language);
    CallContext context{progress, &pdf, nullptr};
    Call(request, context);
  };
}

}  // namespace brenmoor
