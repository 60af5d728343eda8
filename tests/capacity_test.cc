#include "capacity/capacity.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "capacity/capacity_csv.h"
#include "import/section_import.h"
#include "model/fiber_layout.h"
#include "tests/command_line_runner.h"
#include "tests/sample_table.h"
#include "tests/temp_dir.h"
#include "tests/test_sections.h"

namespace brenmoor {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

const std::string& kSample = testing::kSampleTable;

BrenmoorState Sample() {
  BrenmoorState state;
  ImportSectionFile(state, kSample, '.');
  return state;
}

TEST(CapacityLaws, BreakpointsAcrossGrades) {
  // Hand values: n, ε0, εcu from the grade; σ at ε0/2 = fc·(1 − 0.5^n).
  const struct {
    int fcuk;
    Strengths strengths;
    double fc, n, eps0, epscu, half;
  } cases[] = {
      {30, Strengths::kDesign, 14.3, 2, 0.002, 0.0033, 10.725},
      {50, Strengths::kCharacteristic, 32.4, 2, 0.002, 0.0033, 24.3},
      {60, Strengths::kDesign, 27.5, 2 - 10.0 / 60, 0.00205, 0.0032, 27.5 * 0.7193845},
      {80, Strengths::kDesign, 35.9, 1.5, 0.00215, 0.0030, 35.9 * 0.6464466},
      {80, Strengths::kCharacteristic, 50.2, 1.5, 0.00215, 0.0030, 50.2 * 0.6464466},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fcuk);
    const ConcreteLaw law = ConcreteLawOf(c.fcuk, c.strengths);
    EXPECT_DOUBLE_EQ(law.fc, c.fc);
    EXPECT_NEAR(law.n, c.n, 1e-12);
    EXPECT_NEAR(law.eps0, c.eps0, 1e-15);
    EXPECT_NEAR(law.epscu, c.epscu, 1e-15);
    EXPECT_NEAR(ConcreteStress(law, c.eps0 / 2), c.half, 1e-5 * c.fc);
    EXPECT_DOUBLE_EQ(ConcreteStress(law, c.eps0), c.fc);
    EXPECT_DOUBLE_EQ(ConcreteStress(law, c.epscu), c.fc);
    EXPECT_EQ(ConcreteStress(law, -0.001), 0.0);
  }
  // Bars: HRB500's design strength is 435 both ways (its 400 in N0 apart).
  const struct {
    SteelGrade grade;
    Strengths strengths;
    double tension, compression;
  } bars[] = {{SteelGrade::kHRB335, Strengths::kDesign, -300, 300},
              {SteelGrade::kHRB400, Strengths::kCharacteristic, -400, 400},
              {SteelGrade::kHRB500, Strengths::kDesign, -435, 435},
              {SteelGrade::kHRB500, Strengths::kCharacteristic, -500, 500}};
  for (const auto& b : bars) {
    SCOPED_TRACE(SteelGradeName(b.grade));
    const SteelLaw law = SteelLawOf(b.grade, b.strengths);
    EXPECT_EQ(SteelStress(law, -0.01), b.tension);
    EXPECT_EQ(SteelStress(law, 0.01), b.compression);
    EXPECT_DOUBLE_EQ(SteelStress(law, 0.001), 200.0);
  }
}

// An independent reading of KZ1 about x (500 × 500, C35, HRB400 design):
// the concrete summed over thin strips, the path written from its words, the
// roots found by plain halving.
struct HandSection {
  std::vector<std::pair<double, double>> bars;   // y, area
  std::vector<std::pair<double, double>> cells;  // y, area
  double D = 500, w = 500, CC = 40, fc = 16.7, fy = 360, eps0 = 0.002, epscu = 0.0033;

  double Concrete(double e) const {
    if (e <= 0) return 0;
    return e >= eps0 ? fc : fc * (1 - (1 - e / eps0) * (1 - e / eps0));
  }
  // N (kN), M (kN·m) with the top (y = +D/2) at top and the far face at bottom.
  std::pair<double, double> Resultant(double top, double bottom, bool fibers) const {
    auto strain = [&](double y) { return bottom + (top - bottom) * (y + D / 2) / D; };
    double n = 0, m = 0;
    for (const auto& [y, a] : bars) {
      const double f = std::clamp(2e5 * strain(y), -fy, fy) * a;
      n += f;
      m += f * y;
    }
    if (fibers) {
      for (const auto& [y, a] : cells) {
        n += Concrete(strain(y)) * a;
        m += Concrete(strain(y)) * a * y;
      }
    } else {
      constexpr int kStrips = 20000;
      for (int k = 0; k < kStrips; ++k) {
        const double y = -D / 2 + D * (k + 0.5) / kStrips;
        const double f = Concrete(strain(y)) * w * D / kStrips;
        n += f;
        m += f * y;
      }
    }
    return {n / 1e3, m / 1e6};
  }
};

HandSection HandKz1() {
  const BrenmoorState state = Sample();
  TSECTION laid = state.records[1];
  LayoutFibers(laid);
  HandSection hand;
  for (int k = 0; k < laid.fiber_count; ++k) {
    const FiberSlot& f = laid.fibers[k];
    (f.type == kSteelFiber ? hand.bars : hand.cells).emplace_back(f.y, f.area);
  }
  return hand;
}

double Halve(const std::function<double(double)>& f, double lo, double hi) {
  for (int i = 0; i < 200; ++i) {
    const double mid = (lo + hi) / 2;
    (f(mid) < 0 ? lo : hi) = mid;
  }
  return (lo + hi) / 2;
}

TEST(Capacity, Kz1AgainstAnIndependentReading) {
  const BrenmoorState state = Sample();
  const CapacitySection section = MakeCapacitySection(state, 1, CapacityOptions{});
  const AxisCapacity figures = ComputeAxisCapacity(section, BendingAxis::kX);
  // 16.7·500·500 + 360·5960 and −360·5960, in kN.
  EXPECT_NEAR(figures.N0, 6320.6, 1e-6);
  EXPECT_NEAR(figures.Nt, -2145.6, 1e-6);

  const HandSection hand = HandKz1();
  // Stage A or B of the path at s in [0, 2]: the state whose N is 0.
  auto state_at = [&](double s) {
    const double bar_depth = hand.D - hand.CC;
    auto through_bar = [&](double top) { return top + (-0.01 - top) * hand.D / bar_depth; };
    if (s <= 1) {
      const double top = -0.01 + s * (hand.epscu + 0.01);
      return std::pair{top, through_bar(top)};
    }
    return std::pair{hand.epscu, through_bar(hand.epscu) * (2 - s)};
  };
  for (CapacityModel model : {CapacityModel::kExact, CapacityModel::kFiber}) {
    const bool fibers = model == CapacityModel::kFiber;
    SCOPED_TRACE(fibers ? "fiber" : "exact");
    const double s0 = Halve(
        [&](double s) {
          const auto [top, bottom] = state_at(s);
          return hand.Resultant(top, bottom, fibers).first;
        },
        0, 2);
    const auto [top, bottom] = state_at(s0);
    const double m0 = hand.Resultant(top, bottom, fibers).second;
    EXPECT_NEAR(fibers ? figures.fiber_M0 : figures.M0, m0, 1e-5 * m0);

    // The curve's N = 0 point is that very state; its balanced point is the
    // top at εcu with the far corner bars at −360/2e5.
    const auto curve = InteractionCurve(section, BendingAxis::kX, model);
    const double bar = -360 / 2e5;
    const auto [nb, mb] =
        hand.Resultant(hand.epscu, hand.epscu + (bar - hand.epscu) * 500 / 460, fibers);
    int marks = 0;
    for (const InteractionPoint& p : curve) {
      if (p.mark == CurveMark::kPureBending) {
        EXPECT_NEAR(p.M, m0, 1e-5 * m0);
        ++marks;
      }
      if (p.mark == CurveMark::kBalanced) {
        EXPECT_NEAR(p.N, nb, 1e-5 * nb);
        EXPECT_NEAR(p.M, mb, 1e-5 * mb);
        ++marks;
      }
    }
    EXPECT_EQ(marks, 2);
  }
}

TEST(Capacity, MomentCurvatureAgainstAnIndependentReading) {
  const BrenmoorState state = Sample();
  const CapacitySection section = MakeCapacitySection(state, 1, CapacityOptions{});
  const HandSection hand = HandKz1();
  const double n = 0.3 * 16.7 * 500 * 500 / 1e3;
  for (CapacityModel model : {CapacityModel::kExact, CapacityModel::kFiber}) {
    const bool fibers = model == CapacityModel::kFiber;
    SCOPED_TRACE(fibers ? "fiber" : "exact");
    const MomentCurvature mc = MomentCurvatureCurve(section, BendingAxis::kX, model, 0.3);
    ASSERT_TRUE(mc.holds);
    EXPECT_NEAR(mc.N, n, 1e-9);
    ASSERT_GE(mc.points.size(), 41u);
    ASSERT_TRUE(mc.first_yield.has_value());
    // The state of a curvature (1/m) that carries N: its centre strain by halving.
    auto line_at = [&](double curvature) {
      const double half_depth = curvature / 1e3 * hand.D / 2;
      const double centre = Halve(
          [&](double c) {
            return hand.Resultant(c + half_depth, c - half_depth, fibers).first - n;
          },
          -0.02, 0.01);
      return std::pair{centre + half_depth, centre - half_depth};
    };
    const CurvaturePoint& middle = mc.points[mc.points.size() / 2];
    const auto [top, bottom] = line_at(middle.curvature);
    EXPECT_NEAR(middle.M, hand.Resultant(top, bottom, fibers).second, 1e-5 * middle.M);
    // First yield: the far corner bars at −fy/Es. End: the top at εcu
    // (with N = 0.3·fc·B·H the concrete crushes before the bars reach −0.01).
    auto bar_strain = [&](std::pair<double, double> l) {
      return l.first + (l.second - l.first) * 460 / 500;
    };
    EXPECT_NEAR(bar_strain(line_at(mc.points[*mc.first_yield].curvature)), -360 / 2e5, 1e-8);
    EXPECT_NEAR(line_at(mc.points[mc.end].curvature).first, hand.epscu, 1e-8);
  }
}

// Under a load that compresses the whole section the interaction curve's
// state has the top short of εcu, turning about depth (1 − ε0/εcu)·D at ε0;
// the curve must end there, not where the top reaches εcu beyond it.
TEST(Capacity, MomentCurvatureEndsOnTheInteractionCurveUnderHighLoad) {
  const BrenmoorState state = Sample();
  const CapacitySection section = MakeCapacitySection(state, 1, CapacityOptions{});
  const HandSection hand = HandKz1();
  const double turning = (1 - hand.eps0 / hand.epscu) * hand.D;
  for (const double r : {1.2, 1.5}) {
    const double n = r * 16.7 * 500 * 500 / 1e3;
    for (CapacityModel model : {CapacityModel::kExact, CapacityModel::kFiber}) {
      const bool fibers = model == CapacityModel::kFiber;
      SCOPED_TRACE(std::to_string(r) + (fibers ? " fiber" : " exact"));
      // The bottom strain of the turning line that carries n.
      auto line = [&](double bottom) {
        return std::pair{bottom + (hand.eps0 - bottom) * hand.D / (hand.D - turning), bottom};
      };
      const double bottom = Halve(
          [&](double b) {
            const auto [top, bot] = line(b);
            return hand.Resultant(top, bot, fibers).first - n;
          },
          0, hand.eps0);
      const auto [top, bot] = line(bottom);
      ASSERT_LT(top, hand.epscu);
      const double m = hand.Resultant(top, bot, fibers).second;
      const MomentCurvature mc = MomentCurvatureCurve(section, BendingAxis::kX, model, r);
      ASSERT_TRUE(mc.holds);
      EXPECT_NEAR(mc.points[mc.end].M, m, 1e-5 * m);
      EXPECT_NEAR(mc.points[mc.end].curvature, (top - bot) / hand.D * 1e3, 1e-5 * (top - bot));
    }
  }

  // HRB500 with design strengths: 435 N/mm² in bending, 400 in N0. With
  // As = 4700 mm² in 500 × 500, N0 = 16.7·250000 + 400·4700 = 6055 kN;
  // r = 1.47 asks 6137.25 kN, which the bars at 435 would still reach.
  const BrenmoorState hrb500 =
      testing::StateWith(testing::MakeSection({"K", 1, 500, 500, 40, 5, 5, 6, 6, 800, 800, 375}));
  CapacityOptions options;
  options.steel = SteelGrade::kHRB500;
  const CapacitySection weak = MakeCapacitySection(hrb500, 1, options);
  for (CapacityModel model : {CapacityModel::kExact, CapacityModel::kFiber}) {
    EXPECT_FALSE(MomentCurvatureCurve(weak, BendingAxis::kX, model, 1.47).holds);
    EXPECT_TRUE(MomentCurvatureCurve(weak, BendingAxis::kX, model, 1.45).holds);  // 6053.75
  }
}

TEST(Capacity, SampleAgreesWithTheReferenceFigures) {
  // Figures of another implementation of the same model, default materials.
  const struct {
    int record;
    BendingAxis axis;
    double Nb, Mb, M0, fiber_M0, error;
  } cases[] = {
      {1, BendingAxis::kX, 2172.1, 592.4, 441.8, 441.1, 0.95},
      {1, BendingAxis::kY, 2172.1, 592.4, 441.8, 441.1, 0.95},
      {2, BendingAxis::kY, NAN, NAN, 235.7, 226.5, 2.85},
      {5, BendingAxis::kX, NAN, NAN, NAN, NAN, 100},
  };
  const BrenmoorState state = Sample();
  const std::vector<SectionCapacity> table = ComputeCapacityTable(state, CapacityOptions{});
  ASSERT_EQ(table.size(), 7u);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.record);
    const AxisCapacity& f = table[c.record - 1].about(c.axis);
    for (auto [got, want] :
         {std::pair{f.Nb, c.Nb}, {f.Mb, c.Mb}, {f.M0, c.M0}, {f.fiber_M0, c.fiber_M0}}) {
      if (!std::isnan(want)) {
        EXPECT_NEAR(got, want, 1e-3 * want);
      }
    }
    EXPECT_NEAR(f.fiber_error_pct, c.error, 0.05);
  }
}

TEST(Capacity, TableOnEveryCoreIsSectionBySection) {
  // Enough sections for several workers, each different, so a figure put in
  // another section's place shows.
  std::string table = "NUM,NAME,CONC,STEEL,H,B,FX,FY,NX,NY,ASX,ASY,ASCOR,CC\n";
  for (int i = 1; i <= 300; ++i) {
    table += std::to_string(i) + ",K" + std::to_string(i) + ",C" +
             std::to_string(30 + 5 * (i % 11)) + ",STEEL," + std::to_string(400 + 10 * (i % 37)) +
             "," + std::to_string(300 + 10 * (i % 23)) + "," + std::to_string(1 + i % 6) + "," +
             std::to_string(1 + i % 5) + "," + std::to_string(i % 4) + "," + std::to_string(i % 3) +
             ",800,600,314," + std::to_string(30 + i % 20) + "\n";
  }
  BrenmoorState state;
  ImportSectionTable(state, table, '.', "t.csv");
  CapacityOptions options;
  options.steel = SteelGrade::kHRB500;
  const std::vector<SectionCapacity> all = ComputeCapacityTable(state, options);
  ASSERT_EQ(all.size(), 300u);
  for (int r = 1; r <= 300; r += 7) {
    SCOPED_TRACE(r);
    const SectionCapacity one = ComputeSectionCapacity(MakeCapacitySection(state, r, options));
    EXPECT_EQ(all[r - 1].x.N0, one.x.N0);
    EXPECT_EQ(all[r - 1].x.M0, one.x.M0);
    EXPECT_EQ(all[r - 1].y.fiber_error_pct, one.y.fiber_error_pct);
  }
}

using testing::Outcome;

Outcome RunCapacity(std::vector<std::string> args) {
  args.insert(args.begin(), "capacity");
  return testing::RunWith(std::move(args));
}

TEST(CapacityCommand, CsvOfTheFiguresWithEachMaterialChoice) {
  // KZ1's N0 and Nt by hand: fc·250000 + min(fy′, 400)·5960 and −fy·5960.
  const struct {
    std::vector<std::string> options;
    std::string n0_nt;
  } cases[] = {
      {{}, "6320.6,-2145.6"},
      {{"--steel", "HRB335"}, "5963,-1788"},
      {{"--steel", "HRB500"}, "6559,-2592.6"},
      {{"--strength", "characteristic"}, "8234,-2384"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {kSample, "--csv", "-o", "-"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const Outcome run = RunCapacity(args);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string start =
        "No,NAME,axis,N0,Nt,Nb,Mb,M0,fiber_M0,fiber_error_pct\r\n"
        "1,\"KZ1\",x," +
        c.n0_nt + ",";
    EXPECT_EQ(run.out.substr(0, start.size()), start);
    EXPECT_NE(run.out.find("1,\"KZ1\",y," + c.n0_nt + ","), std::string::npos);
  }
  const Outcome curves = RunCapacity({kSample, "--csv", "--curves", "-o", "-"});
  ASSERT_EQ(curves.status, 0) << curves.err;
  const std::string start = "No,NAME,axis,model,N,M\r\n1,\"KZ1\",x,exact,-2145.6,0\r\n";
  EXPECT_EQ(curves.out.substr(0, start.size()), start);
  EXPECT_EQ(RunCapacity({kSample, "--steel", "HRB600", "--csv"}).status, 2);
  // A grade in any case is the grade; a wrong one is answered with the right ones.
  EXPECT_EQ(RunCapacity({kSample, "--steel", "hrb335", "--csv", "-o", "-"}).out,
            RunCapacity({kSample, "--steel", "HRB335", "--csv", "-o", "-"}).out);
  EXPECT_EQ(RunCapacity({kSample, "--stirrup-steel", "hrb600", "--csv"}).err,
            "brenmoor: invalid value 'hrb600' for --stirrup-steel: HPB300, HRB335, HRB400 or "
            "HRB500\nTry 'brenmoor capacity --help'.\n");
  EXPECT_EQ(RunCapacity({kSample, "--curves"}).status, 2);
}

TEST(CapacityCommand, RefusesASectionWithoutAConcreteGradeAndKeepsTheOldFile) {
  TempDir dir;
  const auto table = dir / "t.csv";
  const auto csv = dir / "t.capacity.csv";
  const std::string header = "NUM,NAME,CONC,STEEL,H,B,FX,FY,NX,NY,ASX,ASY,ASCOR,CC\r\n";
  const std::string good =
      "1,KZ1,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40\r\n"
      "2,\xD6\xD0\xD6\xF9,C30,STEEL,400,400,2,2,1,1,100,100,100,30\r\n";
  const struct {
    std::string rows;
    std::string error;
  } cases[] = {
      // The import warned of it first: converting it would have gone on.
      {good + "3,GZ1,STEEL,STEEL,500,500,6,6,5,5,1000,1000,490,40\r\n",
       table.string() +
           ":4: warning: Section \"GZ1\" has the steel \"STEEL\" as its concrete; check the CONC "
           "column.\nbrenmoor: " +
           table.string() +
           ":4: Section \"GZ1\": capacity needs a concrete grade in CONC, not STEEL."},
      // A GB18030 name (钢柱) as the window shows it, not as bytes of another encoding.
      {good + "3,\xB8\xD6\xD6\xF9,STEEL,STEEL,500,500,6,6,5,5,1000,1000,490,40\r\n",
       table.string() +
           ":4: warning: Section \"钢柱\" has the steel \"STEEL\" as its concrete; check the CONC "
           "column.\nbrenmoor: " +
           table.string() +
           ":4: Section \"钢柱\": capacity needs a concrete grade in CONC, not STEEL."},
      // Nothing to compute: no CSV of a header alone over the old one.
      {"", "No section in file \"" + table.string() + "\". There is nothing to write."},
  };
  for (const auto& c : cases) {
    WriteFile(table, header + c.rows);
    WriteFile(csv, "old");
    const Outcome refused = RunCapacity({table.string(), "--csv"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "brenmoor: " + c.error + "\n");
    EXPECT_EQ(ReadFile(csv), "old");
  }

  // Without the refused line, the default file beside the table is replaced; a GB18030
  // name is written as the window shows it.
  WriteFile(table, header + good);
  const Outcome written = RunCapacity({table.string(), "--csv"});
  ASSERT_EQ(written.status, 0) << written.err;
  const std::string bytes = ReadFile(csv);
  EXPECT_NE(bytes.find("\r\n2,\"中柱\",y,"), std::string::npos);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 5);
}

// The refined table of a table with stirrups keeps its stirrup columns.
TEST(CapacityCommand, RefineKeepsTheStirrupColumns) {
  TempDir dir;
  const std::string table = std::string(BRENMOOR_SOURCE_DIR) + "/examples/sample-stirrups.csv";
  const std::string refined = (dir / "refined.csv").string();
  BrenmoorState before, after;
  const Outcome run = testing::RunWith({"refine", table, "-o", refined}, before);
  ASSERT_EQ(run.status, 0) << run.err;
  ImportSectionFile(after, refined, '.');
  ASSERT_EQ(after.imported_count, 7);
  for (int r = 1; r <= 7; ++r) {
    EXPECT_TRUE(after.records[r].stirrups.has_value());
    EXPECT_EQ(after.records[r].stirrups, before.records[r].stirrups);
  }
}

// A section that cannot carry the load still gets the grid that serves it
// best in bending about x and y, and refine says on which errors it chose.
TEST(RefineCommand, SectionThatCannotCarryTheLoadIsRefinedUniaxiallyAndSaysSo) {
  TempDir dir;
  const auto table = dir / "t.csv";
  // LIGHT: N0 = 14.3·160000 + 360·800 = 2576 kN, below r = 1.5 (3432 kN).
  WriteFile(table,
            "NUM,NAME,CONC,STEEL,H,B,FX,FY,NX,NY,ASX,ASY,ASCOR,CC\n"
            "1,KZ1,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40\n"
            "2,LIGHT,C30,STEEL,400,400,6,6,0,0,0,0,200,35\n");
  const Outcome run = testing::RunWith({"refine", table.string(), "--axial-ratio", "1.5"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("2 \"LIGHT\": FX × FY 6 × 6, fiber error "), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Cannot carry the axial load of the ratio, so the grids were "
                         "compared on the fiber errors about x and y alone: 2 \"LIGHT\"\n"),
            std::string::npos)
      << run.out;
  const std::string refined = ReadFile(dir / "t.refined.csv");
  EXPECT_NE(refined.find("\n2,LIGHT,C30,STEEL,400,400,"), std::string::npos) << refined;
  EXPECT_EQ(refined.find("\n2,LIGHT,C30,STEEL,400,400,6,6,"), std::string::npos) << refined;
}

// Names a spreadsheet would evaluate ("@SUM(1)" shows 1) reach every CSV as
// text: the properties table, the figures and the curves each start their
// rows with the name as CsvName writes it.
TEST(CapacityCommand, NamesLikeFormulasAreTextInEveryCsv) {
  TempDir dir;
  const auto table = dir / "t.csv";
  WriteFile(table,
            "NUM,NAME,CONC,STEEL,H,B,FX,FY,NX,NY,ASX,ASY,ASCOR,CC\n"
            "1,@SUM(1),C35,STEEL,500,500,6,6,5,5,1000,1000,490,40\n"
            "2,-1+1,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40\n");
  const struct {
    std::vector<std::string> args;
    std::string second_row;
  } csvs[] = {
      {{"report", table.string(), "--csv", "-o", "-"}, "2,\"'-1+1\",500,"},
      {{"capacity", table.string(), "--csv", "-o", "-"}, "2,\"'-1+1\",x,"},
      {{"capacity", table.string(), "--csv", "--curves", "-o", "-"}, "2,\"'-1+1\",x,exact,"},
  };
  for (const auto& c : csvs) {
    SCOPED_TRACE(c.args[0] + " " + c.args.back());
    std::vector<std::string> args = c.args;
    args.insert(args.begin(), "brenmoor");
    BrenmoorState state;
    std::ostringstream out, err;
    ASSERT_EQ(RunCommandLine(args, state, out, err), 0) << err.str();
    EXPECT_NE(out.str().find("\r\n1,\"'@SUM(1)\","), std::string::npos) << out.str().substr(0, 300);
    EXPECT_NE(out.str().find("\r\n" + c.second_row), std::string::npos) << out.str().substr(0, 300);
  }
}

}  // namespace
}  // namespace brenmoor
