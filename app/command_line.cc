#include "app/command_line.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <exception>
#include <filesystem>
#include <span>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "app/capacity_command.h"
#include "app/command.h"
#include "app/convert_command.h"
#include "app/diff_command.h"
#include "app/inspect_command.h"
#include "app/progress_line.h"
#include "app/report_command.h"
#include "import/section_import.h"
#include "model/errors.h"
#include "platform/console.h"
#include "platform/files.h"
#include "platform/text.h"

#ifndef BRENMOOR_VERSION
#define BRENMOOR_VERSION "unknown"
#endif

// The Qt this build's window and reports were compiled against: a constant,
// so that --version itself never needs Qt loaded.
#ifdef BRENMOOR_QT_VERSION
#define BRENMOOR_VERSION_TEXT \
  "brenmoor " BRENMOOR_VERSION "\nwindow and report built with Qt " BRENMOOR_QT_VERSION
#else
#define BRENMOOR_VERSION_TEXT "brenmoor " BRENMOOR_VERSION
#endif

namespace brenmoor {

namespace {

constexpr char kDescription[] = "Brenmoor: fiber sections of reinforced-concrete columns";

// "brenmoor NAME FORM" for each form of the synopsis (a line that starts
// with a space goes on the form before it), then the summary, indented.
void AppendUsage(std::string& usage, const Command& command) {
  const std::string lead = "       brenmoor " + std::string(command.name) + " ";
  std::string_view synopsis = command.synopsis;
  while (!synopsis.empty()) {
    const std::size_t end = std::min(synopsis.find('\n'), synopsis.size());
    const std::string_view line = synopsis.substr(0, end);
    usage += (line.front() == ' ' ? std::string(lead.size(), ' ') + std::string(line.substr(1))
                                  : lead + std::string(line)) +
             "\n";
    synopsis.remove_prefix(std::min(end + 1, synopsis.size()));
  }
  usage += "           " + std::string(command.summary) + "\n";
}

std::string Usage(std::span<const Command> commands) {
  std::string usage =
      "usage: brenmoor\n"
      "           open the window\n"
      "       brenmoor TABLE\n"
      "           open the window with a section table imported\n";
  for (const Command& command : commands) AppendUsage(usage, command);
  usage +=
      "       brenmoor help [COMMAND] | COMMAND --help\n"
      "           the options of one command\n"
      "       brenmoor --help | --version\n"
      "A TABLE whose name starts with \"-\" follows \"--\".\n";
  return usage;
}

// Where a line broken at 80 columns goes on: under a synopsis's arguments
// ("brenmoor NAME " before them), under an option's description (after the
// first gap of two spaces), or under the line's own start.
std::size_t ContinuationIndent(const std::string& line) {
  const std::size_t start = std::min(line.find_first_not_of(' '), line.size());
  if (line.compare(start, 9, "brenmoor ") == 0) {
    const std::size_t name_end = line.find(' ', start + 9);
    if (name_end != std::string::npos) return name_end + 1;
  }
  const std::size_t gap = line.find("  ", start);
  if (gap != std::string::npos) {
    const std::size_t description = line.find_first_not_of(' ', gap);
    if (description != std::string::npos && description < 60) return description;
  }
  return start;
}

// text with every line longer than 80 columns broken at spaces, so that the
// help reads in a terminal of the usual width.
std::string WrappedAt80(const std::string& text) {
  constexpr std::size_t kWidth = 80;
  std::string wrapped;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    const std::size_t indent = ContinuationIndent(line);
    while (line.size() > kWidth) {
      const std::size_t cut = line.rfind(' ', kWidth);
      if (cut == std::string::npos || cut <= indent) break;
      wrapped += line.substr(0, line.find_last_not_of(' ', cut) + 1) + "\n";
      line = std::string(indent, ' ') + line.substr(line.find_first_not_of(' ', cut));
    }
    wrapped += line + "\n";
  }
  return wrapped;
}

// A wrong call is one line and where to read more, not the whole usage.
int PrintWrongCall(std::ostream& err, const std::string& why, const std::string& command) {
  err << "brenmoor: " << EscapeControlCharacters(why) << "\nTry 'brenmoor "
      << (command.empty() ? "" : command + " ") << "--help'.\n";
  return 2;
}

// CLI11's words for a wrong call, in the words the command line has always
// used. command is the command named, empty when none is.
std::string WrongCallText(const CLI::ParseError& e, const std::string& command) {
  const std::string what = e.what();
  if (dynamic_cast<const CLI::RequiredError*>(&e) != nullptr) {
    return command.empty() ? "no command given" : command + " needs a file name";
  }
  if (dynamic_cast<const CLI::ArgumentMismatch*>(&e) != nullptr) {
    // "-o: 1 required FILE missing": the option is what comes before ':'.
    const std::string option = what.substr(0, what.find(':'));
    if (option == "-o" || option == "--output") return "-o needs a file name";
    return option + " needs a value";
  }
  return what;
}

// The file an argument names, for "brenmoor TABLE" when the window cannot
// open TABLE: the reason in the system's words where the system has one, as
// every command gives it; else what is wrong with it.
[[noreturn]] void ThrowCannotOpen(const std::string& name) {
  const std::filesystem::path path = PathFromUtf8(name);
  ReadWholeFile(path, ReadLimits{.most = 1});
#ifdef BRENMOOR_WITH_QT_MODULE
  // The window opens only a file (OpensWindowWithTable): this is a device,
  // a pipe or the like.
  throw Error(FileErrorMessage("Cannot open", path,
                               "It is not a file; the window opens a section table saved as a "
                               "CSV file"));
#else
  throw Error(FileErrorMessage(
      "Cannot open", path,
      "This build of brenmoor has no window; use a command (" + CommandNames() + ")"));
#endif
}

// The whole command line: brenmoor's own options and every command's.
void Declare(CLI::App& brenmoor, CommandCall& call, std::span<const Command> commands) {
  brenmoor.set_version_flag("--version", BRENMOOR_VERSION_TEXT);
  brenmoor.allow_extras();
  for (const Command& command : commands) {
    CLI::App* app = brenmoor.add_subcommand(command.name, command.summary);
    app->allow_extras();
    command.declare(*app, call);
    app->add_flag("-q,--quiet", call.quiet,
                  "print neither the progress line nor what was written; warnings and errors "
                  "still show");
  }
}

bool IsCommand(CLI::App& brenmoor, const std::string& name) {
  const auto all = brenmoor.get_subcommands([](CLI::App*) { return true; });
  return std::ranges::any_of(all, [&](const CLI::App* c) { return c->get_name() == name; });
}

// `brenmoor help [COMMAND]`: the usage, or the command's own help.
int Help(CLI::App& brenmoor, const std::vector<std::string>& args, CommandCall& call,
         std::span<const Command> commands, std::ostream& err) {
  if (args.size() == 1) {
    call.out << WrappedAt80(Usage(commands));
    return 0;
  }
  if (args.size() > 2) return PrintWrongCall(err, "help takes one command", "help");
  if (!IsCommand(brenmoor, args[1])) {
    return PrintWrongCall(err, "unknown command '" + args[1] + "'", "");
  }
  call.out << WrappedAt80(brenmoor.get_subcommand(args[1])->help(brenmoor.get_name()));
  return 0;
}

int Run(const std::vector<std::string>& arguments, CommandCall& call, std::ostream& err,
        std::span<const Command> commands) {
  const std::vector<std::string> args(arguments.begin() + (arguments.empty() ? 0 : 1),
                                      arguments.end());
  if (args.empty()) return PrintWrongCall(err, "no command given", "");

  CLI::App brenmoor(kDescription, "brenmoor");
  Declare(brenmoor, call, commands);
  const std::string& first = args[0];
  if (first == "help") return Help(brenmoor, args, call, commands, err);
  const bool named_command = IsCommand(brenmoor, first);
  if (!first.empty() && first[0] != '-' && !named_command) {
    // One name alone is a table to open the window with ("open with" from
    // the file manager); main opens it when it is one.
    if (args.size() == 1) ThrowCannotOpen(first);
    return PrintWrongCall(err, "unknown command '" + first + "'", "");
  }
  if (named_command) call.command = first;

  try {
    // CLI11 takes the arguments last first.
    brenmoor.parse(std::vector<std::string>(args.rbegin(), args.rend()));
  } catch (const CLI::CallForHelp&) {
    if (named_command) {
      call.out << WrappedAt80(brenmoor.help());
    } else {
      call.out << WrappedAt80(Usage(commands));
    }
    return 0;
  } catch (const CLI::CallForVersion& e) {
    call.out << e.what() << "\n";
    return 0;
  } catch (const CLI::ParseError& e) {
    return PrintWrongCall(err, WrongCallText(e, call.command), call.command);
  }
  for (const CLI::App* app :
       {&brenmoor, named_command ? brenmoor.get_subcommand(first) : nullptr}) {
    if (app == nullptr) continue;
    // CLI11 keeps the "--" that ends the options among what it did not use.
    for (const std::string& left : app->remaining()) {
      if (left != "--") {
        return PrintWrongCall(err, "unexpected argument '" + left + "'", call.command);
      }
    }
  }
  if (!call.run) return PrintWrongCall(err, "no command given", "");
  if (call.quiet) {
    if (auto* line = dynamic_cast<ProgressLine*>(call.progress)) line->Silence();
  }
  call.run();
  return 0;
}

}  // namespace

std::span<const Command> AllCommands() {
  // In the order the usage lists them.
  static const Command commands[] = {kConvertCommand,  kInspectCommand,   kReportCommand,
                                     kCapacityCommand, kMaterialsCommand, kRefineCommand,
                                     kDiffCommand};
  return commands;
}

std::string CommandNames() {
  std::string names;
  for (const Command& command : AllCommands()) {
    names += (names.empty() ? "" : ", ") + std::string(command.name);
  }
  return names;
}

bool OpensWindowWithTable(const std::vector<std::string>& args) {
  if (args.size() != 2 || args[1].empty() || args[1][0] == '-' || args[1] == "help") return false;
  BrenmoorState unused_state;
  std::ostringstream unused_out;
  CommandCall call{unused_state, unused_out, {}, {}, {}, {}, {}};
  CLI::App brenmoor(kDescription, "brenmoor");
  Declare(brenmoor, call, AllCommands());
  if (IsCommand(brenmoor, args[1])) return false;
  std::error_code ignored;
  return std::filesystem::is_regular_file(PathFromUtf8(args[1]), ignored);
}

int RunCommandLine(const std::vector<std::string>& args, BrenmoorState& state, std::ostream& out,
                   std::ostream& err) {
  return RunCommandLine(args, state, out, err, AllCommands());
}

int RunCommandLine(const std::vector<std::string>& args, BrenmoorState& state, std::ostream& out,
                   std::ostream& err, std::span<const Command> commands) {
  // Long work counts its sections on the terminal; only the program's own
  // standard error can be one.
  ProgressLine progress(err, &err == &ConsoleErr() && StandardErrorIsTerminal());
  StandardOutputSink standard_output(out);
  CommandCall call{state, out, {}, &progress, &standard_output, &err, {}};
  int status = 0;
  try {
    status = Run(args, call, err, commands);
    // What standard output did not take is lost as surely as a file that
    // could not be written: a failure, not a success.
    out.flush();
    if (status == 0 && !out) {
      throw Error("cannot write to standard output: " + StandardOutputFailure(out));
    }
  } catch (const WrongRequest& e) {
    progress.Erase();
    return PrintWrongCall(err, e.what(), call.command);
  } catch (const ImportError& e) {
    progress.Erase();
    // Every error of the import names the table it came from: by its line,
    // or before the message where the message does not name it itself (too
    // many sections).
    const std::string quoted = '"' + PathToUtf8(FullPath(PathFromUtf8(e.file()))) + '"';
    err << "brenmoor: ";
    if (e.line() > 0) {
      err << DisplayMessage(e.file()) << ":" << e.line() << ": ";
      // The cell at fault, as the window's error box names it.
      if (!e.column().empty()) {
        if (!e.section().empty()) err << EscapeControlCharacters(DisplayText(e.section())) << ", ";
        err << "column " << e.column() << ": ";
      }
    } else if (std::string_view(e.what()).find(quoted) == std::string_view::npos) {
      err << DisplayMessage(e.file()) << ": ";
    }
    err << DisplayMessage(ErrorReportText(e.what())) << "\n";
    return 1;
  } catch (const std::exception& e) {
    // Our own errors and anything else (no memory left, say): the engineer
    // reads what went wrong instead of an abort.
    progress.Erase();
    err << "brenmoor: " << DisplayMessage(ErrorReportText(e.what())) << "\n";
    return 1;
  }
  return status;
}

}  // namespace brenmoor
