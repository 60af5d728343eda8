// The jobs called directly, as the window calls them: no command line, no Qt.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "capacity/analysis_laws.h"
#include "jobs/capacity_job.h"
#include "jobs/convert_job.h"
#include "jobs/diff_job.h"
#include "jobs/report_job.h"
#include "output/byte_sink.h"
#include "tests/sample_table.h"
#include "tests/temp_dir.h"

namespace brenmoor {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

// Steel in the concrete column of line 2 and in both columns of line 4.
constexpr char kSwappedTable[] =
    "NUM,NAME,CONC,STEEL,H,B,FX,FY,NX,NY,ASX,ASY,ASCOR,CC\n"
    "1,SWAP,STEEL,C30,500,500,6,6,5,5,1000,1000,490,40\n"
    "2,OK,C30,STEEL,500,500,6,6,5,5,1000,1000,490,40\n"
    "3,CELLS,STEEL,STEEL,500,500,6,6,5,5,1000,1000,490,40\n";

// A drawing that writes a few bytes and counts its pages, as the Qt
// module's does.
int FakeReport(ByteSink& pdf, const BrenmoorState&, const std::string&, Language, Progress*) {
  pdf.Write("%PDF", 4);
  return 3;
}

void FakeCapacityReport(ByteSink& pdf, const BrenmoorState&, const CapacityReportFigures&,
                        const std::string&, Language, Progress*) {
  pdf.Write("%PDF", 4);
}

// A job run on a table, writing to output, in a context.
using Run =
    std::function<void(const std::string& table, const std::string& output, JobContext& context)>;

struct NamedJob {
  const char* name;
  Run run;
};

// A request for table and output, as a front end fills one in.
template <typename Request>
Request For(const std::string& table, const std::string& output, bool csv = false) {
  Request request;
  request.table.path = table;
  request.output = output;
  if constexpr (requires { request.csv; }) request.csv = csv;
  return request;
}

// Every job that reads a table and writes a file.
std::vector<NamedJob> EveryJob() {
  return {
      {"convert", [](const std::string& t, const std::string& o,
                     JobContext& c) { ConvertJob(For<ConvertRequest>(t, o), c); }},
      {"properties csv",
       [](const std::string& t, const std::string& o, JobContext& c) {
         PropertiesCsvJob(For<ReportRequest>(t, o, true), c);
       }},
      {"report pdf", [](const std::string& t, const std::string& o,
                        JobContext& c) { ReportPdfJob(For<ReportRequest>(t, o), c, FakeReport); }},
      {"capacity csv", [](const std::string& t, const std::string& o,
                          JobContext& c) { CapacityCsvJob(For<CapacityRequest>(t, o, true), c); }},
      {"capacity pdf",
       [](const std::string& t, const std::string& o, JobContext& c) {
         CapacityPdfJob(For<CapacityRequest>(t, o), c, FakeCapacityReport);
       }},
      {"analysis csv",
       [](const std::string& t, const std::string& o, JobContext& c) {
         CapacityRequest request = For<CapacityRequest>(t, o, true);
         request.csv_kind = CapacityCsv::kAnalysis;
         CapacityCsvJob(request, c);
       }},
      {"materials", [](const std::string& t, const std::string& o,
                       JobContext& c) { MaterialsJob(For<MaterialsRequest>(t, o), c); }},
      {"refine", [](const std::string& t, const std::string& o,
                    JobContext& c) { RefineJob(For<RefineRequest>(t, o), c); }},
      {"refine csv", [](const std::string& t, const std::string& o,
                        JobContext& c) { RefineJob(For<RefineRequest>(t, o, true), c); }},
      // The table as the second of two: what it says is its own.
      {"diff",
       [](const std::string& t, const std::string&, JobContext& c) {
         DiffRequest request;
         request.a.path = testing::kSampleTable;
         request.b.path = t;
         DiffJob(request, c);
       }},
  };
}

// A request that makes no sense is refused before its table is read: the
// table here does not exist, so reading it first would say so instead.
TEST(JobRequests, WrongRequestsAreRefusedBeforeTheTableIsRead) {
  const std::string missing = "no such table.csv";
  CapacityRequest steep = For<CapacityRequest>(missing, "-", true);
  steep.options.axial_ratio = 1.6;
  RefineRequest nan = For<RefineRequest>(missing, "");
  nan.options.axial_ratio = std::nan("");
  const struct {
    const char* what;
    std::function<void(JobContext&)> run;
    std::string message;
  } cases[] = {
      {"capacity pdf to standard output",
       [&](JobContext& c) {
         CapacityPdfJob(For<CapacityRequest>(missing, "-"), c, FakeCapacityReport);
       },
       "the capacity report goes to a file; only --csv writes to standard output"},
      {"capacity ratio above the range", [&](JobContext& c) { CapacityCsvJob(steep, c); },
       "the axial ratio must be from -0.5 to 1.5, not 1.6"},
      {"refine ratio not a number", [&](JobContext& c) { RefineJob(nan, c); },
       "the axial ratio must be from -0.5 to 1.5, not nan"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    BrenmoorState state;
    StringSink out;
    JobContext context(state, nullptr, &out);
    try {
      c.run(context);
      ADD_FAILURE() << "not refused";
    } catch (const WrongRequest& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
  }
}

// Every job says what the import of its table found odd, naming that table,
// whatever it writes: the PDFs, which never write to standard output, too.
TEST(Jobs, EveryJobTellsTheWarningsOfItsTable) {
  TempDir dir;
  const std::string table = (dir / "t.csv").string();
  WriteFile(table, kSwappedTable);
  for (const NamedJob& job : EveryJob()) {
    SCOPED_TRACE(job.name);
    BrenmoorState state;
    StringSink out;
    std::vector<std::pair<std::string, int>> told;
    JobContext context(state, nullptr, &out, [&](const std::string& t, const TableWarning& w) {
      told.emplace_back(t, w.line);
    });
    try {
      job.run(table, (dir / "out").string(), context);
    } catch (const Error&) {
      // Capacity has no law for steel as concrete; the warnings come first.
    }
    EXPECT_EQ(told, (std::vector<std::pair<std::string, int>>{{table, 2}, {table, 2}, {table, 4}}));
  }
}

// A cancel stops every job with Cancelled and leaves the older output as it
// was, with nothing beside it.
TEST(Jobs, ACancelledJobLeavesTheOlderOutput) {
  struct Cancelling : Progress {
    void Show(std::string_view, std::int64_t, std::int64_t) override { Cancel(); }
  };
  TempDir dir;
  const std::string table = (dir / "t.csv").string();
  WriteFile(table, ReadFile(testing::kSampleTable));
  const std::string output = (dir / "out").string();
  for (const NamedJob& job : EveryJob()) {
    SCOPED_TRACE(job.name);
    WriteFile(output, "older");
    Cancelling progress;
    BrenmoorState state;
    JobContext context(state, &progress);
    EXPECT_THROW(job.run(table, output, context), Cancelled);
    EXPECT_EQ(ReadFile(output), "older");
    EXPECT_EQ(testing::EntriesIn(dir.path()), 2);
  }

  // Asked for while the last page was drawn, when no further step would
  // look: the older file still stays.
  struct Quiet : Progress {
    void Show(std::string_view, std::int64_t, std::int64_t) override {}
  } progress;
  BrenmoorState state;
  JobContext context(state, &progress);
  EXPECT_THROW(ReportPdfJob(For<ReportRequest>(table, output), context,
                            [](ByteSink& pdf, const BrenmoorState&, const std::string&, Language,
                               Progress* p) {
                              pdf.Write("%PDF", 4);
                              p->Cancel();
                              return 1;
                            }),
               Cancelled);
  EXPECT_EQ(ReadFile(output), "older");
  EXPECT_EQ(testing::EntriesIn(dir.path()), 2);
}

// The analysis jobs take the stirrups only once every one of them can be
// used, and confine the cores with the hoops' grade asked for.
TEST(AnalysisJobs, RefuseUnusableStirrupsAndConfineWithTheChosenHoops) {
  TempDir dir;
  const std::string table = (dir / "t.csv").string();
  const std::string output = (dir / "out.csv").string();
  const std::string header =
      "NUM,NAME,CONC,STEEL,H,B,FX,FY,NX,NY,ASX,ASY,ASCOR,CC,STIRRUP_D,STIRRUP_S,LEGS_X,LEGS_Y\n";
  // KZ2's spacing is below its bar diameter.
  WriteFile(table, header + "1,KZ1,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40,10,100,4,4\n" +
                       "2,KZ2,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40,10,8,4,4\n");
  CapacityRequest analysis = For<CapacityRequest>(table, output, true);
  analysis.csv_kind = CapacityCsv::kAnalysis;
  const MaterialsRequest materials = For<MaterialsRequest>(table, output);
  WriteFile(output, "older");
  for (int job = 0; job < 2; ++job) {
    BrenmoorState state;
    JobContext context(state);
    try {
      job == 0 ? CapacityCsvJob(analysis, context) : MaterialsJob(materials, context);
      ADD_FAILURE() << "job " << job << " took KZ2's stirrups";
    } catch (const ImportError& e) {
      EXPECT_NE(std::string(e.what()).find("STIRRUP_S"), std::string::npos) << e.what();
    }
    EXPECT_EQ(ReadFile(output), "older");
  }

  WriteFile(table, header + "1,KZ1,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40,10,100,4,4\n" +
                       "2,KZ2,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40,,,,\n");
  // Each row of the CSV whose model is model, for hoops of grade.
  auto rows = [&](RebarGrade grade, const std::string& model) {
    analysis.options.hoops = grade;
    BrenmoorState state;
    JobContext context(state);
    CapacityCsvJob(analysis, context);
    std::string found;
    std::istringstream csv(ReadFile(output));
    for (std::string line; std::getline(csv, line);) {
      if (line.find("," + model + ",") != std::string::npos) found += line + "\n";
    }
    return found;
  };
  // KZ2 has no stirrups: the confined model is KZ1's alone, about x and y.
  const std::string weak = rows(RebarGrade::kHPB300, "confined");
  EXPECT_EQ(std::count(weak.begin(), weak.end(), '\n'), 2) << weak;
  EXPECT_EQ(weak.rfind("1,\"KZ1\",x,confined,", 0), 0u) << weak;
  // Stronger hoops confine more; the unconfined models do not see them.
  EXPECT_NE(rows(RebarGrade::kHRB500, "confined"), weak);
  EXPECT_EQ(rows(RebarGrade::kHRB500, "exact"), rows(RebarGrade::kHPB300, "exact"));
}

// Sections matched by name, the k-th of a name with the k-th; with a hand
// case where a field changes and the block does not: with NX = 0 there are
// no bars on the faces along x, so ASX is never laid out.
TEST(DiffJob, MatchesSectionsByNameAndSaysWhetherTheirBlocksChange) {
  TempDir dir;
  const std::string header = "NUM,NAME,CONC,STEEL,H,B,FX,FY,NX,NY,ASX,ASY,ASCOR,CC\n";
  WriteFile(dir / "a.csv", header +
                               "1,A,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40\n"
                               "2,GONE,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40\n"
                               "3,NOBARS,C35,STEEL,500,500,6,6,0,5,1000,1000,490,40\n"
                               "4,TWIN,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40\n"
                               "5,TWIN,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40\n");
  WriteFile(dir / "b.csv", header +
                               "1,TWIN,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40\n"
                               "2,A,C40,STEEL,600,500,6,6,5,5,1000,1000,490,40\n"
                               "3,NOBARS,C35,STEEL,500,500,6,6,0,5,2000,1000,490,40\n"
                               "4,NEW,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40\n"
                               "5,TWIN,C35,STEEL,500,500,6,6,5,5,1000,1000,490,45\n");
  DiffRequest request;
  request.a.path = (dir / "a.csv").string();
  request.b.path = (dir / "b.csv").string();
  BrenmoorState state;
  JobContext context(state);
  const DiffResult result = DiffJob(request, context);
  EXPECT_EQ(DiffCsv(result),
            "change,NAME,line_a,line_b,field,a,b,block\r\n"
            "changed,\"A\",2,3,CONC,C35,C40,changes\r\n"
            "changed,\"A\",2,3,H,500,600,changes\r\n"
            "changed,\"NOBARS\",4,4,ASX,1000,2000,same\r\n"
            "added,\"NEW\",,5,,,,\r\n"
            "changed,\"TWIN\",6,6,CC,40,45,changes\r\n"
            "removed,\"GONE\",3,,,,,\r\n");
  EXPECT_EQ(result.same, 1);  // the first TWIN

  // An empty table is no refusal here: every section is removed.
  WriteFile(dir / "b.csv", header);
  const DiffResult emptied = DiffJob(request, context);
  EXPECT_EQ(emptied.changes.size(), 5u);
  EXPECT_EQ(emptied.same, 0);
}

}  // namespace
}  // namespace brenmoor
