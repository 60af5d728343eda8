#include "import/split_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brenmoor {
namespace {

using Fields = std::vector<std::string>;

// All 40 entries, so that a test also sees what must stay empty.
Fields Split(std::string_view line) {
  FieldArray fields;
  fields.fill("stale");
  SplitLine(fields, line);
  return {fields.begin(), fields.end()};
}

Fields Padded(Fields fields) {
  fields.resize(kFieldCount);
  return fields;
}

TEST(SplitLine, FollowsTheBoundaryRules) {
  const struct {
    std::string line;
    Fields expect;
  } cases[] = {
      {"1,C1,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40",
       {"C1", "C35", "STEEL", "500", "500", "6", "6", "5", "5", "1000", "1000", "490", "40"}},
      {"C1,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40",
       {"C35", "STEEL", "500", "500", "6", "6", "5", "5", "1000", "1000", "490", "40"}},
      {"NUM,NAME,CONC,STEEL,H,B,FX,FY,NX,NY,ASX,ASY,ASCOR,CC",
       {"NAME", "CONC", "STEEL", "H", "B", "FX", "FY", "NX", "NY", "ASX", "ASY", "ASCOR", "CC"}},
      {"1,C 1, C35", {"C", "1", "C35"}},
      {"C 1, C35", {"1", "C35"}},
      {"1,A,,B", {"A", "", "B"}},
      {"1, C1 ,C35", {"C1", "", "C35"}},
      {"1,A  B", {"A", "B"}},
      {"1,A   B", {"A", "", "B"}},
      {"1=A=B", {"A", "B"}},
      {"1,C1,C35,", {"C1", "C35", ""}},
      {",C1,C35", {"C1", "C35"}},
      {" 1,C1,C35", {"C1", "C35"}},
      {"1;A;B", {}},
      {"", {}},
      {"1,\"C1\",C35", {"", "C1", "", "C35"}},  // boundaries 0, 2, 3, 6, 7, 11
      {"  1,C1", {"1", "C1"}},
      {"1,\tA\t,B\x01", {"A", "B"}},
      {"1,\xE6\x9F\xB1\xA0,B", {"\xE6\x9F\xB1\xA0", "B"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(Split(c.line), Padded(c.expect));
  }
}

TEST(SplitLine, KeepsAtMost38Fields) {
  std::string line = "0";
  Fields expect;
  for (int k = 1; k <= 38; ++k) {
    line += ',';
    line += std::to_string(k);
    expect.push_back(std::to_string(k));
  }
  EXPECT_EQ(Split(line), Padded(expect));
  EXPECT_EQ(Split(line + ",39,40,41"), Padded(expect));
  // 50 MB of separators: the fields before them, and no time spent on the rest.
  EXPECT_EQ(Split("1,C1,C35" + std::string(50'000'000, ',')), Padded({"C1", "C35"}));
}

}  // namespace
}  // namespace brenmoor
