#pragma once

#include <CLI/CLI.hpp>
#include <filesystem>
#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>

#include "model/language.h"
#include "model/progress.h"
#include "model/state.h"

namespace brenmoor {

// What the chosen command works on, and what it leaves for the command line
// to run once every argument has been read.
struct CommandCall {
  BrenmoorState& state;
  std::ostream& out;
  // The table whose line numbers the command's errors give: an error on a
  // line is shown as "TABLE:LINE: message".
  std::string table;
  // Set by the command that the arguments chose; runs it.
  std::function<void()> run;
  // Where long work shows how far it has come (the terminal's progress line).
  Progress* progress = nullptr;
};

// One command of the command line: adds itself to brenmoor (its name, its
// options and their help) and, when chosen, sets call's table and run.
// Adding a command is a new file that defines one of these and its line in
// the list kCommands (command_line.cc).
using AddCommand = void (*)(CLI::App& brenmoor, CommandCall& call);

// A call the command cannot make sense of ("-o needs a file name"): the
// command line prints it with the usage and exits with status 2.
class WrongCall : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The table a command reads, imported as the window's import button does
// (the decimal separator of the regional settings). A table that holds no
// section line (an empty file, the header alone) is refused: a command has
// nothing to write from it, and writing an empty file over a good one loses
// the engineer's work. progress, when given, is shown the lines read.
void ImportTableWithSections(BrenmoorState& state, const std::string& table,
                             Progress* progress = nullptr);

// The TABLE every command reads: a required positional argument, which "--"
// lets start with "-".
CLI::Option* AddTableArgument(CLI::App& command, std::string& table, const std::string& help);

// "-o FILE"; "-" stands for standard output where the command allows it.
CLI::Option* AddOutputOption(CLI::App& command, std::string& output, const std::string& help);

// "--lang en|zh", the language of a PDF's texts; English unless given, so
// that a command written before the choice existed writes what it wrote then.
// The CSVs have one language, whatever is given. Returns the language the
// call chose; a word other than en or zh is a wrong call.
class LanguageOption {
 public:
  explicit LanguageOption(CLI::App& command);
  Language Chosen() const;

 private:
  std::string code_;
  const CLI::Option* option_;
};

// Writes bytes to standard output (out), as bytes: the component file goes
// there unchanged on every system.
void WriteToStandardOutput(std::ostream& out, const char* data, std::size_t size);

}  // namespace brenmoor
