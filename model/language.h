#pragma once

#include <optional>
#include <string_view>

namespace brenmoor {

// The languages the window and the section report speak. The window's own
// texts are written in Chinese and the report's in English; each is
// translated into the other language by Qt's translation files in
// translations/. Error messages and the CSV files are the same in both.
enum class Language { kChinese, kEnglish };

// "zh" and "en", as the command line's --lang and the window's settings
// spell them; nothing for any other text.
inline std::optional<Language> LanguageFromCode(std::string_view code) {
  if (code == "zh") return Language::kChinese;
  if (code == "en") return Language::kEnglish;
  return std::nullopt;
}

inline const char* LanguageCode(Language language) {
  return language == Language::kChinese ? "zh" : "en";
}

}  // namespace brenmoor
