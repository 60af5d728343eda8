#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace brenmoor {

// Text of a table as the engineer sees it. A table saved by a Chinese
// spreadsheet holds its section names in GB18030 (GBK), not UTF-8; the names
// are written into the component file as they are, but shown decoded.

// Whether bytes are well-formed UTF-8 (plain ASCII is).
bool IsValidUtf8(std::string_view bytes);

// bytes decoded from GB18030 and encoded as UTF-8, or nothing when they are
// not GB18030 either. On Linux through iconv, on Windows through the
// system's code page 54936.
// Example: Gb18030ToUtf8("\xD6\xD0\xD6\xF9") == "中柱".
std::optional<std::string> Gb18030ToUtf8(std::string_view bytes);

// The UTF-8 text to show for bytes: bytes themselves when they are UTF-8,
// else their GB18030 reading, else bytes with every invalid sequence shown
// as U+FFFD.
std::string DisplayText(std::string_view bytes);

// UTF-8 text with every control character shown escaped as \x and two hex
// digits of its code (C0, DEL and C1: U+0000 to U+001F, U+007F to U+009F),
// so that a name read from a table or a file name cannot move the cursor,
// erase lines or retitle the terminal it is shown on. Everything else,
// backslashes included, stays as it is.
// Example: EscapeControlCharacters("B\x1b[1A") == "B\\x1b[1A".
std::string EscapeControlCharacters(std::string_view utf8);

// An error message as the engineer reads it. A message is our own UTF-8
// text ("500 × 400") quoting table text between " or ' (a section's name,
// a field), which may be GB18030: each stretch between quote marks is shown
// through DisplayText on its own, so neither spoils the other. A quote mark
// is never part of a UTF-8 or GB18030 character, so no character is cut.
// Control characters come out escaped (EscapeControlCharacters): what the
// command line prints and what the window's error box shows.
// Example: DisplayMessage("Section \"\xD6\xD0\xD6\xF9\": 500 × 400")
//   == "Section \"中柱\": 500 × 400"
std::string DisplayMessage(std::string_view message);

// A section name as a field of the CSVs we write: DisplayText of bytes
// between quote marks, each quote mark inside doubled. A name that starts
// with =, +, -, @, a tab or a carriage return gets an apostrophe in front,
// inside the quotes, so that a spreadsheet opening the file shows it as text
// instead of evaluating it as a formula. Only for the CSVs: the component
// file, the reports and the window keep the name as it is.
// Examples: CsvName("KZ1") == "\"KZ1\"", CsvName("a\"b") == "\"a\"\"b\"",
//           CsvName("=1+1") == "\"'=1+1\"".
std::string CsvName(std::string_view bytes);

}  // namespace brenmoor
