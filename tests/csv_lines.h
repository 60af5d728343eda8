// Reading back the CSVs we write: CR LF lines, comma-separated fields.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace brenmoor::testing {

inline const std::string kBom = "\xEF\xBB\xBF";

// The lines of csv without their CR LF; a last line without one fails.
inline std::vector<std::string> Lines(const std::string& csv) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = csv.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(csv.substr(start, end - start));
  }
  EXPECT_EQ(start, csv.size()) << "a line without CR LF";
  return lines;
}

// The fields of a line, an empty last field included.
inline std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream in(line);
  for (std::string field; std::getline(in, field, ',');) fields.push_back(field);
  if (!line.empty() && line.back() == ',') fields.push_back("");
  return fields;
}

}  // namespace brenmoor::testing
