#pragma once

#include <CLI/CLI.hpp>
#include <filesystem>
#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>

#include "jobs/job.h"
#include "model/language.h"
#include "model/progress.h"
#include "model/state.h"

namespace brenmoor {

// What the chosen command works on, and what it leaves for the command line
// to run once every argument has been read.
struct CommandCall {
  BrenmoorState& state;
  std::ostream& out;
  // Set by the command that the arguments chose; runs it.
  std::function<void()> run;
  // Where long work shows how far it has come (the terminal's progress line).
  Progress* progress = nullptr;
  // out as a byte sink, for a job's output "-".
  ByteSink* standard_output = nullptr;
  // Where warnings go (standard error).
  std::ostream* err = nullptr;
  // The command named, for the hint after a wrong call; empty when none is.
  std::string command;
  // -q: no progress line and no "Wrote ..." summary; warnings and errors
  // still go to standard error.
  bool quiet = false;

  // What a job of this call works with; the import's warnings are printed
  // as "brenmoor: TABLE:LINE: warning: message." as they come.
  JobContext Context();
  // The same, saying what the job wrote (SayWritten(out, what, result,
  // after_count(result))) before its output replaces an older file, so that
  // a line standard output does not take fails the command with the older
  // file as it was: exit 1 means nothing changed.
  JobContext ContextSaying(const std::string& what,
                           std::function<std::string(const JobResult&)> after_count = {});
};

// One command of the command line, declared once: the usage, `brenmoor help`,
// each command's --help and the list of what works without a display are
// made from these. Adding a command is a new file that defines one and its
// line in AllCommands (command_line.cc).
struct Command {
  const char* name;
  // What follows the name in the usage, e.g. "TABLE [-o OUTPUT]"; another
  // form of the same command follows a '\n'.
  const char* synopsis;
  // One line: what it does, as the usage and its --help say it.
  const char* summary;
  // Declares the command's arguments and options on command (already named
  // and described) and, for when it is chosen, sets call.run.
  void (*declare)(CLI::App& command, CommandCall& call);
};

// The TABLE every command reads: a required positional argument, which "--"
// lets start with "-". name is what the help calls it.
CLI::Option* AddTableArgument(CLI::App& command, std::string& table, const std::string& help,
                              const std::string& name = "TABLE");

// "-o FILE"; "-" stands for standard output where the command allows it.
CLI::Option* AddOutputOption(CLI::App& command, std::string& output, const std::string& help);

// "--lang en|zh", the language of a PDF's texts; English unless given, so
// that a command written before the choice existed writes what it wrote then.
// The CSVs have one language, whatever is given. Returns the language the
// call chose; a word other than en or zh is a wrong request.
class LanguageOption {
 public:
  explicit LanguageOption(CLI::App& command);
  Language Chosen() const;

 private:
  std::string code_;
  const CLI::Option* option_;
};

// Writes bytes to standard output (out), as bytes: the component file goes
// there unchanged on every system. A failure to write throws
// "cannot write to standard output: <reason>".
class StandardOutputSink : public ByteSink {
 public:
  explicit StandardOutputSink(std::ostream& out) : out_(out) {}

 protected:
  void Deliver(const char* data, std::size_t size) override;

 private:
  std::ostream& out_;
};

// "Wrote <what>N section(s)<after_count> to <path>", the line every command
// that wrote a file ends with; nothing when the output went to standard
// output.
void SayWritten(std::ostream& out, const std::string& what, const JobResult& result,
                const std::string& after_count = {});

}  // namespace brenmoor
