#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace brenmoor {

// Every failure the engineer can cause or meet (a bad table, a full disk, a
// section that cannot be computed) is thrown as an Error whose what() is the
// exact text the window's error report and the command line show.
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The operating system's text for errno_value as messages show it: trailing
// blanks, line breaks and full stops removed ("No such file or directory").
std::string SystemReason(int errno_value);

// "<what> file \"<full path>\". <reason>", the form of every file error, e.g.
// FileErrorMessage("Cannot open", "t.csv", ENOENT) ==
//   "Cannot open file \"/home/eng/t.csv\". No such file or directory".
// The path is made absolute from the current folder.
std::string FileErrorMessage(std::string_view what, const std::string& path, int errno_value);

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
