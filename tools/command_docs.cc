// Writes the manual page (brenmoor.1) or the bash completion of the command
// line from the commands' own declarations, so that neither can fall behind
// what the program takes.
//
//   command_docs --man VERSION brenmoor.1
//   command_docs --bash brenmoor.bash
#include <CLI/CLI.hpp>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"

namespace brenmoor {
namespace {

struct Declared {
  const Command* command;
  std::unique_ptr<CLI::App> app;
};

// Every command's options as the command line declares them.
std::vector<Declared> DeclareAll(CommandCall& call) {
  std::vector<Declared> all;
  for (const Command& command : AllCommands()) {
    auto app = std::make_unique<CLI::App>(command.summary, command.name);
    command.declare(*app, call);
    all.push_back({&command, std::move(app)});
  }
  return all;
}

// Text for troff: a backslash doubled, a leading dot or quote guarded, the
// hyphens of options kept as minus signs (so they can be searched and
// copied).
std::string Roff(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c == '\\') {
      out += "\\e";
    } else if (c == '-') {
      out += "\\-";
    } else {
      out += c;
    }
  }
  if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
  return out;
}

// The forms of a synopsis, one a line ("TABLE [-o OUTPUT]"); a line that
// starts with a space goes on the form before it.
std::vector<std::string> Forms(std::string_view synopsis) {
  std::vector<std::string> forms;
  while (!synopsis.empty()) {
    const std::size_t end = std::min(synopsis.find('\n'), synopsis.size());
    const std::string_view line = synopsis.substr(0, end);
    if (!line.empty() && line.front() == ' ' && !forms.empty()) {
      forms.back() += std::string(line);
    } else {
      forms.emplace_back(line);
    }
    synopsis.remove_prefix(std::min(end + 1, synopsis.size()));
  }
  return forms;
}

void WriteOptions(std::ostream& out, const CLI::App& app) {
  for (const CLI::Option* option : app.get_options()) {
    std::string names;
    for (const std::string& s : option->get_snames()) names += (names.empty() ? "-" : ", -") + s;
    for (const std::string& l : option->get_lnames()) names += (names.empty() ? "--" : ", --") + l;
    if (names.empty()) names = option->get_name(true);
    if (option->get_expected_max() > 0 && option->nonpositional()) {
      names += " " + option->get_type_name();
    }
    out << ".TP\n.B " << Roff(names) << "\n" << Roff(option->get_description()) << "\n";
  }
}

void WriteManual(std::ostream& out, const std::string& version) {
  BrenmoorState state;
  std::ostringstream unused;
  CommandCall call{state, unused};
  const std::vector<Declared> all = DeclareAll(call);
  out << ".TH BRENMOOR 1 \"\" \"brenmoor " << version << "\" \"User Commands\"\n"
      << ".SH NAME\nbrenmoor \\- fiber sections of reinforced\\-concrete columns\n"
      << ".SH SYNOPSIS\n.B brenmoor\n.br\n.B brenmoor\n.I TABLE\n";
  for (const Declared& d : all) {
    for (const std::string& form : Forms(d.command->synopsis)) {
      out << ".br\n.B brenmoor " << d.command->name << "\n" << Roff(form) << "\n";
    }
  }
  out << ".br\n.B brenmoor help\n[\\fICOMMAND\\fR]\n"
      << ".SH DESCRIPTION\n"
      << "Brenmoor imports a CSV table of rectangular reinforced\\-concrete column sections, "
         "lays every section out as fibers (bars and concrete cells) and writes the component "
         "file KAVOSEC.PF3CMP that the analysis program imports as fiber cross sections. "
         "Without arguments it opens the window; with one argument that names a file, the "
         "window with that table imported. Every command below works without a display.\n"
      << ".PP\nA table has a header line, then one section a line: a row number, NAME, CONC, "
         "STEEL, H, B, FX, FY, NX, NY, ASX, ASY, ASCOR, CC (mm and mm\\(S2), optionally "
         "followed by STIRRUP_D, STIRRUP_S, LEGS_X, LEGS_Y, found by their names in the "
         "header. A section has at most 60 fibers, a table at most 32,767 sections.\n"
      << ".SH COMMANDS\n";
  for (const Declared& d : all) {
    out << ".SS " << d.command->name << "\n" << Roff(d.command->summary) << ".\n";
    WriteOptions(out, *d.app);
  }
  out << ".SH EXIT STATUS\n"
      << ".TP\n.B 0\nSuccess.\n"
      << ".TP\n.B 1\nFailure: a refused table, a file that cannot be read or written, standard "
         "output that takes nothing more. The output file is then as it was.\n"
      << ".TP\n.B 2\nA wrong call: an unknown command or option, a value out of range.\n"
      << ".SH FILES\n.TP\n.I KAVOSEC.PF3CMP\nThe component file convert and the window's "
         "generate button write (convert: where \\-o says).\n"
      << ".TP\n.I /usr/share/doc/brenmoor/guide.en.md, guide.zh.md\nThe user's guide in English "
         "and Chinese, with a worked example.\n"
      << ".SH EXAMPLES\n.nf\nbrenmoor convert sections.csv\n"
         "brenmoor report sections.csv \\-\\-lang zh\n"
         "brenmoor capacity sections.csv \\-\\-csv \\-\\-analysis \\-o \\- | less\n"
         "brenmoor refine sections.csv \\-o better.csv\n"
         "brenmoor diff old.csv new.csv\n.fi\n";
}

void WriteCompletion(std::ostream& out) {
  BrenmoorState state;
  std::ostringstream unused;
  CommandCall call{state, unused};
  const std::vector<Declared> all = DeclareAll(call);
  std::string names = "help";
  for (const Declared& d : all) names += std::string(" ") + d.command->name;
  out << "# bash completion for brenmoor, made from its commands' declarations.\n"
      << "_brenmoor() {\n"
      << "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
      << "    if [ \"$COMP_CWORD\" -eq 1 ]; then\n"
      << "        COMPREPLY=($(compgen -W \"" << names << " --help --version\" -- \"$cur\"))\n"
      << "        [ \"${cur#-}\" = \"$cur\" ] && COMPREPLY+=($(compgen -f -X '!*.[cC][sS][vV]' "
         "-- \"$cur\"))\n"
      << "        return\n    fi\n"
      << "    case $prev in\n"
      << "        -o) COMPREPLY=($(compgen -f -- \"$cur\")); return ;;\n"
      << "        --steel|--stirrup-steel) COMPREPLY=($(compgen -W \"HPB300 HRB335 HRB400 "
         "HRB500\" -- \"$cur\")); return ;;\n"
      << "        --strength) COMPREPLY=($(compgen -W \"design characteristic\" -- \"$cur\")); "
         "return ;;\n"
      << "        --lang) COMPREPLY=($(compgen -W \"en zh\" -- \"$cur\")); return ;;\n"
      << "        --axial-ratio) return ;;\n"
      << "    esac\n"
      << "    local options\n"
      << "    case ${COMP_WORDS[1]} in\n"
      << "        help) COMPREPLY=($(compgen -W \"" << names.substr(5) << "\" -- \"$cur\")); "
      << "return ;;\n";
  for (const Declared& d : all) {
    std::string options;
    for (const CLI::Option* option : d.app->get_options()) {
      for (const std::string& s : option->get_snames()) options += " -" + s;
      for (const std::string& l : option->get_lnames()) options += " --" + l;
    }
    out << "        " << d.command->name << ") options=\"" << options.substr(1) << "\" ;;\n";
  }
  out << "        *) return ;;\n"
      << "    esac\n"
      << "    if [ \"${cur#-}\" != \"$cur\" ]; then\n"
      << "        COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
      << "    elif [ \"${COMP_WORDS[1]}\" = inspect ]; then\n"
      << "        COMPREPLY=($(compgen -f -- \"$cur\"))\n"
      << "    else\n"
      << "        COMPREPLY=($(compgen -f -X '!*.[cC][sS][vV]' -- \"$cur\") "
         "$(compgen -d -- \"$cur\"))\n"
      << "    fi\n"
      << "}\n"
      << "complete -o filenames -F _brenmoor brenmoor\n";
}

}  // namespace
}  // namespace brenmoor

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const bool man = args.size() == 3 && args[0] == "--man";
  if (!man && !(args.size() == 2 && args[0] == "--bash")) {
    std::cerr << "usage: command_docs --man VERSION FILE | --bash FILE\n";
    return 2;
  }
  std::ofstream out(args.back(), std::ios::binary);
  if (man) {
    brenmoor::WriteManual(out, args[1]);
  } else {
    brenmoor::WriteCompletion(out);
  }
  out.close();
  if (!out) {
    std::cerr << "command_docs: cannot write " << args.back() << "\n";
    return 1;
  }
  return 0;
}
