#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace brenmoor {

// Every failure the engineer can cause or meet (a bad table, a full disk, a
// section that cannot be computed) is thrown as an Error whose what() is the
// exact text the window's error report and the command line show.
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A failure tied to a place in the section table, met while importing it or
// while computing one of its sections: file is the table's path as given,
// line its line number counting the header as line 1 (0 when the failure is
// not on one line). Where the import knows them, section is the line's NAME
// as the table holds it and column the title of the one cell at fault ("B",
// "CONC"), else empty. what() is the message alone.
class ImportError : public Error {
 public:
  ImportError(const std::string& message, std::string file, int line, std::string section = {},
              std::string column = {})
      : Error(message),
        file_(std::move(file)),
        line_(line),
        section_(std::move(section)),
        column_(std::move(column)) {}
  const std::string& file() const { return file_; }
  int line() const { return line_; }
  const std::string& section() const { return section_; }
  const std::string& column() const { return column_; }

 private:
  std::string file_;
  int line_;
  std::string section_;
  std::string column_;
};

// A text as an error message quotes it: whole when short, otherwise its first
// bytes and "...", so a runaway field of a broken table cannot make a message
// of megabytes.
std::string ShortenedForMessage(std::string_view text);

// The text an error report shows for a message: the message with a full stop
// appended when its last character sorts above '.' (after a letter or a
// digit, not after "." or ")").
// Example: ErrorReportText("Invalid floating point operation") ends in "operation."
inline std::string ErrorReportText(std::string_view message) {
  std::string text(message);
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  return text;
}

}  // namespace brenmoor
