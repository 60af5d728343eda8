#include "import/stirrup_columns.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <numbers>

#include "import/number_text.h"
#include "model/errors.h"

namespace brenmoor {
namespace {

// The thirteen columns every table has come first; the stirrup columns are
// looked for only after them.
constexpr int kFirstOptionalField = 13;

enum StirrupField { kD = 0, kS = 1, kLegsX = 2, kLegsY = 3 };

bool SameNameAnyCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    if (upper(a[i]) != upper(b[i])) return false;
  }
  return true;
}

// "A, B and C".
std::string NameList(const std::vector<std::string_view>& names) {
  std::string list;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) list += i + 1 == names.size() ? " and " : ", ";
    list += names[i];
  }
  return list;
}

// A computed length or ratio as a message shows it: four significant digits.
std::string Figure(double value) {
  char buffer[32];
  const auto end =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 4);
  return std::string(buffer, end.ptr);
}

std::string Quoted(std::string_view text) {
  std::string quoted(1, '\'');
  quoted += ShortenedForMessage(text);
  quoted += '\'';
  return quoted;
}

// The one line of a problem: "Section "KZ2", STIRRUP_S: ...", or for the
// header "LEGS_X and LEGS_Y: ...".
std::string Described(const StirrupProblem& problem) {
  std::string text;
  if (!problem.section.empty()) {
    text += "Section \"" + ShortenedForMessage(problem.section) + "\", ";
  }
  return text + problem.column + ": " + problem.message;
}

}  // namespace

StirrupColumns FindStirrupColumns(const LineFields& header, std::vector<StirrupProblem>& problems) {
  std::array<int, 4> found = {-1, -1, -1, -1};
  std::vector<std::string_view> twice;
  for (int f = kFirstOptionalField; f < kFieldCount; ++f) {
    for (std::size_t k = 0; k < kStirrupColumnNames.size(); ++k) {
      if (!SameNameAnyCase(header[static_cast<std::size_t>(f)], kStirrupColumnNames[k])) continue;
      // Which of two columns of one name holds the values cannot be told.
      if (found[k] >= 0) {
        twice.push_back(kStirrupColumnNames[k]);
      } else {
        found[k] = f;
      }
    }
  }
  std::vector<std::string_view> given, missing;
  for (std::size_t k = 0; k < kStirrupColumnNames.size(); ++k) {
    (found[k] >= 0 ? given : missing).push_back(kStirrupColumnNames[k]);
  }
  StirrupColumns columns;
  columns.named = !given.empty();
  if (!twice.empty()) {
    problems.push_back({1, "", NameList(twice),
                        std::string("the header names ") + (twice.size() == 1 ? "it" : "each") +
                            " twice; name each stirrup column once"});
  } else if (!given.empty() && !missing.empty()) {
    problems.push_back({1, "", NameList(missing),
                        "the header names " + NameList(given) +
                            " but not this; give all four stirrup columns or none"});
  } else if (missing.empty()) {
    columns.fields = found;
  }
  return columns;
}

std::optional<Stirrups> ReadStirrups(const LineFields& fields, const StirrupColumns& columns,
                                     const SectionInput& section, int line, char decimal_separator,
                                     std::vector<StirrupProblem>& problems) {
  if (!columns.fields) return std::nullopt;
  std::array<std::string_view, 4> text;
  std::vector<std::string_view> empty;
  for (std::size_t k = 0; k < text.size(); ++k) {
    text[k] = fields[static_cast<std::size_t>((*columns.fields)[k])];
    if (text[k].empty()) empty.push_back(kStirrupColumnNames[k]);
  }
  if (empty.size() == text.size()) return std::nullopt;
  const auto problem = [&](std::string_view column, std::string message) {
    problems.push_back({line, section.NAME, std::string(column), std::move(message)});
  };
  if (!empty.empty()) {
    problem(NameList(empty),
            "empty while the other stirrup columns are given; give all four or leave all four "
            "empty");
    return std::nullopt;
  }

  std::array<double, 4> value{};
  bool all_good = true;
  const auto bad = [&](std::size_t k, std::string message) {
    problem(kStirrupColumnNames[k], std::move(message));
    all_good = false;
  };
  // A leg holds a bar of the faces it crosses: legs along x hold the bars of
  // the faces at ±x (NY each, and the two corners), legs along y those of the
  // faces at ±y.
  const struct {
    const char* name;
    std::int32_t count;
  } held[] = {{"NY", section.NY}, {"NX", section.NX}};
  for (std::size_t k = 0; k < text.size(); ++k) {
    try {
      value[k] = TextToDouble(text[k], decimal_separator);
    } catch (const Error& e) {
      bad(k, e.what());
      continue;
    }
    const bool legs = k >= kLegsX;
    const double most = legs ? static_cast<double>(held[k - kLegsX].count) + 2.0 : 0.0;
    if (value[k] < 0.0) {
      bad(k, Quoted(text[k]) + " cannot be negative");
    } else if (legs && value[k] != std::floor(value[k])) {
      bad(k, Quoted(text[k]) + " is not a whole number of legs");
    } else if (legs && value[k] < 2.0) {
      bad(k, Quoted(text[k]) + " legs: a hoop has at least its own two");
    } else if (legs && value[k] > most) {
      bad(k, Quoted(text[k]) + " legs, more than the " + held[k - kLegsX].name +
                 " + 2 = " + Figure(most) + " bars of a face they could hold");
    }
  }
  if (!all_good) return std::nullopt;

  const Stirrups stirrups{value[kD], value[kS], static_cast<int>(value[kLegsX]),
                          static_cast<int>(value[kLegsY])};
  if (stirrups.s <= stirrups.d) {
    problem(kStirrupColumnNames[kS], Quoted(text[kS]) + " is not more than STIRRUP_D = " +
                                         Quoted(text[kD]) + ": the hoops would touch or overlap");
    return std::nullopt;
  }
  const double d_cor = std::sqrt(4.0 * static_cast<double>(section.ASCOR) / std::numbers::pi);
  const double a = static_cast<double>(section.CC) - d_cor / 2.0 - stirrups.d / 2.0;
  const double bc = static_cast<double>(section.B) - 2.0 * a;
  const double dc = static_cast<double>(section.H) - 2.0 * a;
  if (a <= 0.0 || bc <= 0.0 || dc <= 0.0) {
    problem(kStirrupColumnNames[kD],
            "a hoop of " + Quoted(text[kD]) + " does not fit: its centre line would be " +
                Figure(a) + " mm from the face (CC − d_cor/2 − d_s/2), leaving a core of " +
                Figure(bc) + " × " + Figure(dc) + " mm");
    return std::nullopt;
  }
  const double bars = (section.NX > 0 ? 2.0 * section.ASX : 0.0) +
                      (section.NY > 0 ? 2.0 * section.ASY : 0.0) + 4.0 * section.ASCOR;
  const double rho_cc = bars / (bc * dc);
  if (rho_cc >= 1.0) {
    problem(kStirrupColumnNames[kD],
            "the bars fill the core inside a hoop of " + Quoted(text[kD]) + ": their area is " +
                Figure(rho_cc) + " times the core's " + Figure(bc) + " × " + Figure(dc) + " mm");
    return std::nullopt;
  }
  return stirrups;
}

bool TableHasStirrups(const BrenmoorState& state) { return state.stirrup_columns; }

void RefuseBadStirrups(const BrenmoorState& state) {
  const std::vector<StirrupProblem>& problems = state.stirrup_problems;
  if (problems.empty()) return;
  if (problems.size() == 1) {
    throw ImportError(Described(problems[0]), state.table, problems[0].line);
  }
  std::string message = "The analysis cannot use the table's stirrups; correct these " +
                        std::to_string(problems.size()) + ":";
  for (const StirrupProblem& p : problems) {
    message += "\nline " + std::to_string(p.line) + ", ";
    if (!p.section.empty()) message += "section \"" + ShortenedForMessage(p.section) + "\", ";
    message += p.column + ": " + p.message;
  }
  throw ImportError(message, state.table, 0);
}

std::vector<TableWarning> StirrupWarnings(const BrenmoorState& state) {
  std::vector<TableWarning> warnings;
  if (!state.stirrup_columns) return warnings;
  for (const StirrupProblem& p : state.stirrup_problems) {
    warnings.push_back({p.line, Described(p) + "; the analysis would refuse the table"});
  }
  return warnings;
}

}  // namespace brenmoor
