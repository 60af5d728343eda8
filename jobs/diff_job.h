#pragma once

#include <string>
#include <vector>

#include "jobs/job.h"

namespace brenmoor {

struct DiffRequest {
  JobTable a;  // the older table
  JobTable b;  // the newer one

  // Refuses a table without a name (WrongRequest).
  void Validate() const;
};

// One field of a section that differs: its column name and its values as
// the grid shows them. Example: {"H", "500", "600"}.
struct FieldChange {
  std::string field;
  std::string a, b;
};

// A section that is in one table only, or in both with other values.
struct SectionChange {
  enum class Kind { kAdded, kRemoved, kChanged };
  Kind kind = Kind::kChanged;
  std::string name;
  int line_a = 0;                   // its line in table a (the header is line 1); 0 when added
  int line_b = 0;                   // its line in table b; 0 when removed
  std::vector<FieldChange> fields;  // of a changed section, in the table's column order
  // Whether the section's block in the component file changes with it (its
  // fibers or figures), whatever its place in the file.
  bool block_changes = false;
};

struct DiffResult {
  // In the order of table b, then the sections removed in the order of a.
  std::vector<SectionChange> changes;
  int same = 0;  // sections in both tables with every field the same
};

// `brenmoor diff A B`: which sections differ between two tables. Sections
// are matched by NAME, the k-th of a name in a with the k-th of that name in
// b, since the name is what the analysis model knows a section by. A table
// with no section is no error here: everything in the other one is added or
// removed. Each table is imported into a state of its own (a into the
// context's, b into another), each warning and error naming its own table.
DiffResult DiffJob(const DiffRequest& request, JobContext& context);

// The result as CSV, UTF-8, CR LF: "change,NAME,line_a,line_b,field,a,b,block",
// one line per changed field (a changed section with no field changed has
// none), one per added or removed section with the field columns empty;
// block is "changes" or "same" for a changed section.
std::string DiffCsv(const DiffResult& result);

}  // namespace brenmoor
