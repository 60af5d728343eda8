#include "platform/text.h"

#include <algorithm>
#include <cstdint>

namespace brenmoor {
namespace {

// The length of the well-formed UTF-8 sequence at bytes[i], or 0.
std::size_t Utf8SequenceAt(std::string_view bytes, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(bytes[k]); };
  const std::uint8_t lead = byte(i);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  std::uint8_t low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  if (i + length > bytes.size()) return 0;
  if (byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
  }
  return length;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t length = Utf8SequenceAt(bytes, i);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

std::string DisplayText(std::string_view bytes) {
  if (IsValidUtf8(bytes)) return std::string(bytes);
  if (auto decoded = Gb18030ToUtf8(bytes)) return *decoded;
  std::string text;
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t length = Utf8SequenceAt(bytes, i);
    if (length == 0) {
      text += "\xEF\xBF\xBD";
      ++i;
    } else {
      text.append(bytes.substr(i, length));
      i += length;
    }
  }
  return text;
}

std::string EscapeControlCharacters(std::string_view utf8) {
  constexpr char kHex[] = "0123456789abcdef";
  std::string text;
  text.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    unsigned code = static_cast<std::uint8_t>(utf8[i]);
    // U+0080 to U+009F are C2 80 to C2 9F; some terminals act on them.
    const bool c1 = code == 0xC2 && i + 1 < utf8.size() &&
                    static_cast<std::uint8_t>(utf8[i + 1]) >= 0x80 &&
                    static_cast<std::uint8_t>(utf8[i + 1]) <= 0x9F;
    if (c1) code = static_cast<std::uint8_t>(utf8[++i]);
    if (code < 0x20 || code == 0x7F || c1) {
      text += "\\x";
      text += kHex[code >> 4];
      text += kHex[code & 0xF];
    } else {
      text += utf8[i];
    }
  }
  return text;
}

std::string DisplayMessage(std::string_view message) {
  std::string text;
  while (!message.empty()) {
    std::size_t quote = std::min(message.find_first_of("\"'"), message.size());
    text += DisplayText(message.substr(0, quote));
    if (quote < message.size()) text += message[quote++];
    message.remove_prefix(quote);
  }
  return EscapeControlCharacters(text);
}

std::string CsvName(std::string_view bytes) {
  const std::string text = DisplayText(bytes);
  std::string field = "\"";
  if (!text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos) {
    field += '\'';
  }
  for (char c : text) {
    if (c == '"') field += '"';
    field += c;
  }
  return field + '"';
}

}  // namespace brenmoor
