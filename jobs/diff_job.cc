#include "jobs/diff_job.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <map>
#include <utility>

#include "model/materials.h"
#include "output/component_writer.h"
#include "platform/text.h"

namespace brenmoor {
namespace {

std::string Number(float value) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value);
  return std::string(text, end.ptr);
}

// The table's columns after NAME, in its order, as text to compare and show.
struct Column {
  const char* name;
  std::function<std::string(const BrenmoorState&, const TSECTION&)> text;
};

const std::vector<Column>& Columns() {
  static const std::vector<Column> columns = {
      {"CONC", [](const BrenmoorState& s,
                  const TSECTION& r) { return MaterialName(s, r.concrete_material); }},
      {"STEEL",
       [](const BrenmoorState& s, const TSECTION& r) { return MaterialName(s, r.steel_material); }},
      {"H", [](const BrenmoorState&, const TSECTION& r) { return Number(r.H); }},
      {"B", [](const BrenmoorState&, const TSECTION& r) { return Number(r.B); }},
      {"FX", [](const BrenmoorState&, const TSECTION& r) { return std::to_string(r.FX); }},
      {"FY", [](const BrenmoorState&, const TSECTION& r) { return std::to_string(r.FY); }},
      {"NX", [](const BrenmoorState&, const TSECTION& r) { return std::to_string(r.NX); }},
      {"NY", [](const BrenmoorState&, const TSECTION& r) { return std::to_string(r.NY); }},
      {"ASX", [](const BrenmoorState&, const TSECTION& r) { return Number(r.ASX); }},
      {"ASY", [](const BrenmoorState&, const TSECTION& r) { return Number(r.ASY); }},
      {"ASCOR", [](const BrenmoorState&, const TSECTION& r) { return Number(r.ASCOR); }},
      {"CC", [](const BrenmoorState&, const TSECTION& r) { return Number(r.CC); }},
  };
  return columns;
}

// The bytes of record's block as a file of that section alone writes it, so
// that its place in the table does not count. Errors of computing it name
// the section's own table and line.
std::string BlockOf(const BrenmoorState& state, int record) {
  BrenmoorState alone;
  alone.materials = state.materials;
  alone.table = state.table;
  alone.records = {TSECTION{}, state.records[static_cast<std::size_t>(record)]};
  alone.imported_count = 1;
  StringSink sink;
  try {
    StreamComponentFile(alone, sink);
  } catch (const ImportError& e) {
    // The file of one section calls it line 2; the table had it elsewhere.
    throw ImportError(e.what(), state.table, record + 1);
  }
  return sink.bytes();
}

// Each record of state, keyed by its name and the count of earlier records
// of that name.
std::map<std::pair<std::string, int>, int> ByName(const BrenmoorState& state) {
  std::map<std::pair<std::string, int>, int> records;
  std::map<std::string, int> seen;
  for (int r = 1; r <= state.imported_count; ++r) {
    const std::string& name = state.records[static_cast<std::size_t>(r)].NAME;
    records[{name, seen[name]++}] = r;
  }
  return records;
}

SectionChange Change(SectionChange::Kind kind, const std::string& name, int line_a, int line_b) {
  SectionChange change;
  change.kind = kind;
  change.name = name;
  change.line_a = line_a;
  change.line_b = line_b;
  return change;
}

std::string CsvLine(const std::vector<std::string>& fields) {
  std::string line;
  for (const std::string& field : fields) line += (line.empty() ? "" : ",") + field;
  return line + "\r\n";
}

}  // namespace

void DiffRequest::Validate() const {
  if (a.path.empty() || b.path.empty()) throw WrongRequest("diff needs two tables");
}

DiffResult DiffJob(const DiffRequest& request, JobContext& context) {
  request.Validate();
  ImportJobTable(request.a, "", context);
  BrenmoorState other;
  JobContext b_context = context.ForState(other);
  ImportJobTable(request.b, "", b_context);
  const BrenmoorState& a = context.state();
  const BrenmoorState& b = b_context.state();

  DiffResult result;
  auto in_a = ByName(a);
  std::map<std::string, int> seen;
  for (int rb = 1; rb <= b.imported_count; ++rb) {
    const TSECTION& section_b = b.records[static_cast<std::size_t>(rb)];
    const auto match = in_a.find({section_b.NAME, seen[section_b.NAME]++});
    if (match == in_a.end()) {
      result.changes.push_back(Change(SectionChange::Kind::kAdded, section_b.NAME, 0, rb + 1));
      continue;
    }
    const int ra = match->second;
    in_a.erase(match);
    const TSECTION& section_a = a.records[static_cast<std::size_t>(ra)];
    SectionChange change = Change(SectionChange::Kind::kChanged, section_b.NAME, ra + 1, rb + 1);
    for (const Column& column : Columns()) {
      std::string text_a = column.text(a, section_a), text_b = column.text(b, section_b);
      if (text_a != text_b) change.fields.push_back({column.name, text_a, text_b});
    }
    if (change.fields.empty()) {
      ++result.same;
      continue;
    }
    change.block_changes = BlockOf(a, ra) != BlockOf(b, rb);
    result.changes.push_back(std::move(change));
  }
  std::vector<std::pair<int, std::string>> removed;
  for (const auto& [key, ra] : in_a) removed.emplace_back(ra, key.first);
  std::sort(removed.begin(), removed.end());
  for (const auto& [ra, name] : removed) {
    result.changes.push_back(Change(SectionChange::Kind::kRemoved, name, ra + 1, 0));
  }
  return result;
}

std::string DiffCsv(const DiffResult& result) {
  std::string csv = CsvLine({"change", "NAME", "line_a", "line_b", "field", "a", "b", "block"});
  for (const SectionChange& c : result.changes) {
    const std::string name = CsvName(c.name);
    const std::string line_a = c.line_a > 0 ? std::to_string(c.line_a) : "";
    const std::string line_b = c.line_b > 0 ? std::to_string(c.line_b) : "";
    switch (c.kind) {
      case SectionChange::Kind::kAdded:
        csv += CsvLine({"added", name, line_a, line_b, "", "", "", ""});
        break;
      case SectionChange::Kind::kRemoved:
        csv += CsvLine({"removed", name, line_a, line_b, "", "", "", ""});
        break;
      case SectionChange::Kind::kChanged:
        for (const FieldChange& f : c.fields) {
          // Material names and numbers: no comma or quote to escape.
          csv += CsvLine({"changed", name, line_a, line_b, f.field, f.a, f.b,
                          c.block_changes ? "changes" : "same"});
        }
        break;
    }
  }
  return csv;
}

}  // namespace brenmoor
