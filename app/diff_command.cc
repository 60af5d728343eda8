#include "app/diff_command.h"

#include <memory>

#include "jobs/diff_job.h"
#include "platform/files.h"
#include "platform/text.h"

namespace brenmoor {
namespace {

std::string FileName(const std::string& path) { return PathToUtf8(PathFromUtf8(path).filename()); }

// "+ NAME (b.csv line 9)", "- NAME (a.csv line 4)", "~ NAME: H 500 → 600,
// FX 6 → 7; its block in the component file changes", then the counts.
void PrintDiff(std::ostream& out, const DiffRequest& request, const DiffResult& result) {
  const std::string a = FileName(request.a.path), b = FileName(request.b.path);
  int added = 0, removed = 0, changed = 0;
  for (const SectionChange& c : result.changes) {
    const std::string name = EscapeControlCharacters(DisplayText(c.name));
    switch (c.kind) {
      case SectionChange::Kind::kAdded:
        ++added;
        out << "+ " << name << " (" << b << " line " << c.line_b << ")\n";
        break;
      case SectionChange::Kind::kRemoved:
        ++removed;
        out << "- " << name << " (" << a << " line " << c.line_a << ")\n";
        break;
      case SectionChange::Kind::kChanged: {
        ++changed;
        out << "~ " << name << ":";
        const char* separator = " ";
        for (const FieldChange& f : c.fields) {
          out << separator << f.field << " " << f.a << " → " << f.b;
          separator = ", ";
        }
        out << (c.block_changes ? "; its block in the component file changes\n"
                                : "; its block in the component file stays the same\n");
        break;
      }
    }
  }
  out << a << " → " << b << ": " << added << " added, " << removed << " removed, " << changed
      << " changed, " << result.same << " the same\n";
}

void DeclareDiff(CLI::App& diff, CommandCall& call) {
  struct Options {
    DiffRequest request;
    bool csv = false;
  };
  const auto options = std::make_shared<Options>();
  AddTableArgument(diff, options->request.a.path, "the older section table (CSV)", "A");
  AddTableArgument(diff, options->request.b.path, "the newer section table (CSV)", "B");
  diff.add_flag("--csv", options->csv, "print the differences as CSV, a line per field");
  diff.callback([&call, options] {
    call.run = [&call, options] {
      JobContext context = call.Context();
      const DiffResult result = DiffJob(options->request, context);
      if (options->csv) {
        call.out << DiffCsv(result);
      } else {
        PrintDiff(call.out, options->request, result);
      }
    };
  });
}

}  // namespace

extern const Command kDiffCommand = {
    "diff", "A B [--csv]", "which sections differ between two tables, field by field", DeclareDiff};

}  // namespace brenmoor
