#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "jobs/capacity_job.h"
#include "jobs/report_job.h"
#include "platform/module.h"

namespace brenmoor {

// The Qt module (qtmodule/request.h) as the programs find and trust it.

// The places the module is looked for, in order: beside the program
// (program_folder, found through the system: /proc/self/exe,
// GetModuleFileNameW); in the installed library folder named from the
// program's (installed_relative, e.g. "../lib/x86_64-linux-gnu/brenmoor");
// and in the package's library folder (package_folder, absolute, e.g.
// "/usr/lib/x86_64-linux-gnu/brenmoor"). Only absolute places: with the
// program's folder unknown (no /proc, say) only package_folder is left, so
// that a module is never taken from wherever the current folder happens to
// be.
std::vector<std::filesystem::path> QtModuleCandidates(
    const std::filesystem::path& program_folder, const std::filesystem::path& installed_relative,
    const std::filesystem::path& package_folder);

// The module this program loads: the first of its candidates that exists
// where no other user could have put it or can change it (WhyNotTrusted).
// Throws Error saying where it looked and which file it did not take, and
// why, when none is left, or that no place is known:
//   Cannot find the window and PDF module: it is not "/opt/b/libbrenmoor-qt.so";
//   "/tmp/lib/brenmoor/libbrenmoor-qt.so" was not taken, since "/tmp/lib"
//   belongs to another user (nobody); reinstall Brenmoor
std::filesystem::path QtModulePath();

// What the build recorded of the module it made: its size in bytes and the
// SHA-256 of its bytes, as lowercase hex.
struct ModuleIdentity {
  std::uint64_t size = 0;
  std::string sha256;
};

// Refuses a module file that is not the one of identity (another build's, a
// copy cut short, a damaged one), before anything of it is loaded:
//   <path>: the window and PDF module is damaged or belongs to another
//   build; reinstall Brenmoor
// The bytes checked are read from module, the file that is then loaded.
void CheckQtModule(const LibraryFile& module, const ModuleIdentity& identity);
void CheckQtModule(const std::filesystem::path& path, const ModuleIdentity& identity);

// The module's answer as the engineer reads it: nothing for kBrenmoorQtDone;
// Cancelled for a cancel; the module's own message for a failure; for every
// other status a message of its own naming the module at path. write_error
// is the failure the program met while taking the PDF's bytes, thrown for
// kBrenmoorQtWriteFailed.
void ThrowForQtStatus(std::int32_t status, std::string_view message,
                      const std::filesystem::path& path, std::exception_ptr write_error);

// Runs the window from the module, with table (UTF-8) imported first when it
// is not empty, until it is closed; returns its exit status. A module that
// cannot be found, checked or loaded throws Error naming it.
int RunWindowFromModule(int argc, char** argv, const std::string& table);

// The reports as the command line draws them: by the module, which gets the
// sections (and figures) as plain data and hands the PDF's bytes back page
// after page. A module that cannot be found, checked or loaded throws Error.
ReportRenderer ModuleReportRenderer();
CapacityRenderer ModuleCapacityRenderer();

}  // namespace brenmoor
