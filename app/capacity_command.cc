#include "app/capacity_command.h"

#include <system_error>

#include "capacity/capacity_csv.h"
#include "import/section_import.h"
#include "model/errors.h"
#include "platform/files.h"
#include "platform/locale.h"
#include "platform/text.h"

namespace brenmoor {
namespace {

void WriteReplacing(const std::filesystem::path& path, const std::string& bytes) {
  ReplacingFile file(path);
  file.Write(bytes.data(), bytes.size());
  file.Commit();
}

// A section the capacity refuses, as an import error on its line, so that the
// command line shows "TABLE:LINE: Section "NAME": reason".
[[noreturn]] void RefuseSection(const BrenmoorState& state, const CapacityRequest& request,
                                const CapacityRefusal& refusal) {
  const std::string name =
      DisplayText(state.records[static_cast<std::size_t>(refusal.record())].NAME);
  throw ImportError("Section \"" + ShortenedForMessage(name) + "\": " + refusal.what(),
                    request.table, refusal.record() + 1);
}

}  // namespace

std::string CapacityOutputPath(const CapacityRequest& request) {
  if (!request.output.empty()) return request.output;
  std::filesystem::path path = PathFromUtf8(request.table);
  path.replace_extension();
  path += request.csv ? ".capacity.csv" : ".capacity.pdf";
  return PathToUtf8(path);
}

void CapacityCommand(BrenmoorState& state, const CapacityRequest& request, std::ostream& out) {
  const std::string output = CapacityOutputPath(request);
  const std::filesystem::path table_path = PathFromUtf8(request.table);
  const std::filesystem::path output_path = PathFromUtf8(output);
  std::error_code ignored;
  if (output != "-" && (FullPath(table_path) == FullPath(output_path) ||
                        std::filesystem::equivalent(table_path, output_path, ignored))) {
    throw Error(FileErrorMessage("Cannot create", output_path, "It is the section table itself"));
  }

  ImportSectionFile(state, request.table, RegionalDecimalSeparator());
  std::string bytes;
  try {
    if (request.csv && request.curves) {
      bytes = CapacityCurvesCsv(state, request.options);
    } else {
      const std::vector<SectionCapacity> figures = ComputeCapacityTable(state, request.options);
      if (request.csv) {
        bytes = CapacityCsv(state, figures);
      } else {
#ifdef BRENMOOR_WITH_CAPACITY_REPORT
        bytes =
            CapacityReportPdf(state, figures, request.options, PathToUtf8(table_path.filename()));
#else
        throw Error(
            "This build of brenmoor has no capacity report (PDF) yet; --csv writes the "
            "figures");
#endif
      }
    }
  } catch (const CapacityRefusal& refusal) {
    RefuseSection(state, request, refusal);
  }

  const int count = state.imported_count;
  if (output == "-") {
    out << bytes;
    return;
  }
  WriteReplacing(output_path, bytes);
  out << "Wrote the "
      << (request.csv ? (request.curves ? "interaction curves" : "capacity figures") : "capacity report")
      << " of " << count << (count == 1 ? " section" : " sections") << " to "
      << PathToUtf8(FullPath(output_path)) << "\n";
}

}  // namespace brenmoor
