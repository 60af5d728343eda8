#include "app/command_line.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "app/capacity_command.h"
#include "app/convert_command.h"
#include "app/inspect_command.h"
#ifdef BRENMOOR_WITH_REPORT
#include "app/report_command.h"
#endif
#include "import/section_import.h"
#include "model/errors.h"
#include "output/generate.h"
#include "platform/files.h"

#ifndef BRENMOOR_VERSION
#define BRENMOOR_VERSION "unknown"
#endif

namespace brenmoor {
namespace {

constexpr char kUsage[] =
    "usage: brenmoor                      open the window\n"
    "       brenmoor convert TABLE [-o OUTPUT]\n"
    "                                     import a section table and write the component\n"
    "                                     file (default KAVOSEC.PF3CMP in this folder)\n"
    "       brenmoor inspect FILE [--fibers]\n"
    "                                     check a component file and print its sections\n"
    "       brenmoor report TABLE [-o REPORT.pdf]\n"
    "                                     import a section table and write its section report,\n"
    "                                     A4 PDF (default: the table's name with .pdf, beside it)\n"
    "       brenmoor report TABLE --csv [-o PROPERTIES.csv]\n"
    "                                     the properties of every section as CSV (default\n"
    "                                     TABLE.properties.csv beside the table; -o - for stdout)\n"
    "       brenmoor capacity TABLE [--steel HRB335|HRB400|HRB500]\n"
    "                [--strength design|characteristic] [--axial-ratio R] [-o CAPACITY.pdf]\n"
    "                                     the N-M interaction and moment-curvature of every\n"
    "                                     section, A4 PDF (default TABLE.capacity.pdf beside it)\n"
    "       brenmoor capacity TABLE --csv [--curves] [-o CAPACITY.csv]\n"
    "                                     the capacity figures (or every curve point) as CSV\n"
    "                                     (default TABLE.capacity.csv; -o - for stdout)\n"
    "       brenmoor TABLE                open the window with a section table imported\n"
    "       brenmoor --help | --version\n";

// Whether the whole of text is a number in C form (whatever the regional
// settings); the number goes to value.
bool ParsesWhole(const std::string& text, double& value) {
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end;
}

int WrongCall(std::ostream& err, const std::string& why) {
  err << "brenmoor: " << why << "\n" << kUsage;
  return 2;
}

}  // namespace

bool OpensWindowWithTable(const std::vector<std::string>& args) {
  if (args.size() != 2 || args[1].empty() || args[1][0] == '-') return false;
  if (args[1] == "convert" || args[1] == "inspect" || args[1] == "report" || args[1] == "capacity")
    return false;
  std::error_code ignored;
  return std::filesystem::is_regular_file(PathFromUtf8(args[1]), ignored);
}

int RunCommandLine(const std::vector<std::string>& arguments, BrenmoorState& state,
                   std::ostream& out, std::ostream& err) {
  const std::vector<std::string_view> args(arguments.begin() + (arguments.empty() ? 0 : 1),
                                           arguments.end());
  if (args.empty()) return WrongCall(err, "no command given");
  const std::string_view command = args[0];
  if (command == "--help" || command == "-h") {
    out << kUsage;
    return 0;
  }
  if (command == "--version") {
    out << "brenmoor " << BRENMOOR_VERSION << "\n";
    return 0;
  }

  std::string file;
  const bool capacity = command == "capacity";
  std::string output = command == "report" || capacity ? "" : kComponentFileName;
  bool fibers = false;
  bool csv = false;
  CapacityRequest capacity_request;
  for (std::size_t i = 1; i < args.size(); ++i) {
    // The capacity options that take a value.
    if (capacity &&
        (args[i] == "--steel" || args[i] == "--strength" || args[i] == "--axial-ratio")) {
      const std::string option(args[i]);
      if (++i == args.size()) return WrongCall(err, option + " needs a value");
      const std::string value(args[i]);
      CapacityOptions& options = capacity_request.options;
      const std::optional<SteelGrade> grade = SteelGradeFromName(value);
      const std::optional<Strengths> strengths = StrengthsFromName(value);
      double ratio = 0;
      if (option == "--steel" && grade) {
        options.steel = *grade;
      } else if (option == "--strength" && strengths) {
        options.strengths = *strengths;
      } else if (option == "--axial-ratio" && ParsesWhole(value, ratio) && std::isfinite(ratio)) {
        options.axial_ratio = ratio;
      } else {
        return WrongCall(err, "invalid value '" + value + "' for " + option);
      }
    } else if (capacity && args[i] == "--curves") {
      capacity_request.curves = true;
    } else if ((command == "convert" || command == "report" || capacity) && args[i] == "-o") {
      if (++i == args.size() || args[i].empty()) return WrongCall(err, "-o needs a file name");
      output = args[i];
    } else if (command == "inspect" && args[i] == "--fibers") {
      fibers = true;
    } else if ((command == "report" || capacity) && args[i] == "--csv") {
      csv = true;
    } else if (file.empty() && !args[i].empty() && args[i][0] != '-') {
      file = args[i];
    } else {
      return WrongCall(err, "unexpected argument '" + std::string(args[i]) + "'");
    }
  }
  if (command != "convert" && command != "inspect" && command != "report" && !capacity) {
    return WrongCall(err, "unknown command '" + std::string(command) + "'");
  }
  if (file.empty()) return WrongCall(err, std::string(command) + " needs a file name");
  if (command == "report" && output == "-" && !csv) {
    return WrongCall(err, "the report goes to a file; only --csv writes to standard output");
  }
  if (capacity && output == "-" && !csv) {
    return WrongCall(err,
                     "the capacity report goes to a file; only --csv writes to standard output");
  }
  if (capacity_request.curves && !csv) return WrongCall(err, "--curves goes with --csv");

  try {
    if (command == "convert") {
      ConvertCommand(state, file, output, out);
    } else if (capacity) {
      capacity_request.table = file;
      capacity_request.output = output;
      capacity_request.csv = csv;
      CapacityCommand(state, capacity_request, out);
    } else if (command == "report") {
#ifdef BRENMOOR_WITH_REPORT
      ReportCommand(state, ReportRequest{file, output, csv}, out);
#else
      throw Error("This build of brenmoor has no report (it was built without Qt)");
#endif
    } else {
      InspectCommand(file, fibers, out);
    }
  } catch (const ImportError& e) {
    err << "brenmoor: ";
    if (e.line() > 0) err << file << ":" << e.line() << ": ";
    err << ErrorReportText(e.what()) << "\n";
    return 1;
  } catch (const Error& e) {
    err << "brenmoor: " << ErrorReportText(e.what()) << "\n";
    return 1;
  }
  return 0;
}

}  // namespace brenmoor
