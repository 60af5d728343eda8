#include "app/command_line.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "app/convert_command.h"
#include "app/inspect_command.h"
#ifdef BRENMOOR_WITH_REPORT
#include "app/report_command.h"
#endif
#include "import/section_import.h"
#include "model/errors.h"
#include "output/generate.h"
#include "platform/files.h"
#include "report/language.h"

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
    "       brenmoor report TABLE [-o REPORT.pdf] [--lang en|zh]\n"
    "                                     import a section table and write its section report,\n"
    "                                     A4 PDF (default: the table's name with .pdf, beside "
    "it),\n"
    "                                     its texts in English (default) or Chinese\n"
    "       brenmoor report TABLE --csv [-o PROPERTIES.csv]\n"
    "                                     the properties of every section as CSV (default\n"
    "                                     TABLE.properties.csv beside the table; -o - for stdout)\n"
    "       brenmoor TABLE                open the window with a section table imported\n"
    "       brenmoor --help | --version\n";

int WrongCall(std::ostream& err, const std::string& why) {
  err << "brenmoor: " << why << "\n" << kUsage;
  return 2;
}

}  // namespace

bool OpensWindowWithTable(const std::vector<std::string>& args) {
  if (args.size() != 2 || args[1].empty() || args[1][0] == '-') return false;
  if (args[1] == "convert" || args[1] == "inspect" || args[1] == "report") return false;
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
#ifdef BRENMOOR_QT_VERSION
    // The version this build was compiled against, so that --version itself
    // never needs Qt loaded.
    out << "window and report built with Qt " << BRENMOOR_QT_VERSION << "\n";
#endif
    return 0;
  }

  std::string file;
  std::string output = command == "report" ? "" : kComponentFileName;
  bool fibers = false;
  bool csv = false;
  Language language = Language::kEnglish;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if ((command == "convert" || command == "report") && args[i] == "-o") {
      if (++i == args.size() || args[i].empty()) return WrongCall(err, "-o needs a file name");
      output = args[i];
    } else if (command == "inspect" && args[i] == "--fibers") {
      fibers = true;
    } else if (command == "report" && args[i] == "--csv") {
      csv = true;
    } else if (command == "report" && args[i] == "--lang") {
      if (++i == args.size()) return WrongCall(err, "--lang needs en or zh");
      const std::optional<Language> chosen = LanguageFromCode(args[i]);
      if (!chosen)
        return WrongCall(err, "--lang takes en or zh, not '" + std::string(args[i]) + "'");
      language = *chosen;
    } else if (file.empty() && !args[i].empty() && args[i][0] != '-') {
      file = args[i];
    } else {
      return WrongCall(err, "unexpected argument '" + std::string(args[i]) + "'");
    }
  }
  if (command != "convert" && command != "inspect" && command != "report") {
    return WrongCall(err, "unknown command '" + std::string(command) + "'");
  }
  if (file.empty()) return WrongCall(err, std::string(command) + " needs a file name");
  if (command == "report" && output == "-" && !csv) {
    return WrongCall(err, "the report goes to a file; only --csv writes to standard output");
  }

  try {
    if (command == "convert") {
      ConvertCommand(state, file, output, out);
    } else if (command == "report") {
#ifdef BRENMOOR_WITH_REPORT
      ReportCommand(state, ReportRequest{file, output, csv, language}, out);
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
