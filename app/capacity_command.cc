#include "app/capacity_command.h"

#include <cstdio>
#include <memory>
#include <optional>

#include "app/command.h"
#include "app/qt_module.h"
#include "capacity/analysis_laws.h"
#include "jobs/capacity_job.h"
#include "platform/text.h"

namespace brenmoor {
namespace {

// text with its letters upper case (or lower case), so that a grade or a
// choice is taken however the engineer capitalised it.
std::string InCase(std::string text, bool upper) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z' && upper) c = static_cast<char>(c - 'a' + 'A');
    if (c >= 'A' && c <= 'Z' && !upper) c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// The options capacity, refine and materials share: the laws and the axial
// ratio (without the ratio for materials, whose laws do not depend on it),
// and where the analysis laws are asked for, the hoops' grade.
class LawOptions {
 public:
  explicit LawOptions(CLI::App& command, bool hoops = false, bool ratio = true) {
    steel_ = command
                 .add_option("--steel", steel_text_,
                             "the bars' grade: HRB335, HRB400 (default) or HRB500")
                 ->type_name("GRADE")
                 ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    if (hoops) {
      hoops_ = command
                   .add_option("--stirrup-steel", hoops_text_,
                               "the stirrups' grade, which confines the cores of the "
                               "analysis laws: HPB300, HRB335, HRB400 (default) or HRB500")
                   ->type_name("GRADE")
                   ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    }
    strength_ = command
                    .add_option("--strength", strength_text_,
                                "design (default) or characteristic strengths of concrete and "
                                "steel")
                    ->type_name("KIND")
                    ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    if (!ratio) return;
    ratio_ = command
                 .add_option("--axial-ratio", ratio_text_,
                             "the axial load ratio N / (fc B H), fc the design strength, of the "
                             "moment-curvature curves and biaxial bending: from -0.5 to 1.5 "
                             "(default 0.3)")
                 ->type_name("R")
                 ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  }

  bool RatioGiven() const { return ratio_ != nullptr && ratio_->count() > 0; }

  // The options chosen; a value that is not one of the choices is a wrong
  // call, found before anything is read.
  CapacityOptions Chosen() const {
    CapacityOptions options;
    if (steel_->count() > 0) {
      const std::optional<SteelGrade> grade = SteelGradeFromName(InCase(steel_text_, true));
      if (!grade) {
        throw WrongRequest("invalid value '" + steel_text_ +
                           "' for --steel: HRB335, HRB400 or HRB500");
      }
      options.steel = *grade;
    }
    if (hoops_ != nullptr && hoops_->count() > 0) {
      const std::optional<RebarGrade> grade = RebarGradeFromName(InCase(hoops_text_, true));
      if (!grade) {
        throw WrongRequest("invalid value '" + hoops_text_ +
                           "' for --stirrup-steel: HPB300, HRB335, HRB400 or HRB500");
      }
      options.hoops = *grade;
    }
    if (strength_->count() > 0) {
      const std::optional<Strengths> strengths = StrengthsFromName(InCase(strength_text_, false));
      if (!strengths) {
        throw WrongRequest("invalid value '" + strength_text_ +
                           "' for --strength: design or characteristic");
      }
      options.strengths = *strengths;
    }
    if (RatioGiven()) {
      try {
        options.axial_ratio = ParseAxialRatio(ratio_text_);
      } catch (const Error& e) {
        throw WrongRequest(std::string("--axial-ratio: ") + e.what());
      }
    }
    return options;
  }

 private:
  std::string steel_text_, hoops_text_, strength_text_, ratio_text_;
  CLI::Option* steel_ = nullptr;
  CLI::Option* hoops_ = nullptr;
  CLI::Option* strength_ = nullptr;
  CLI::Option* ratio_ = nullptr;
};

const char* CsvWhat(CapacityCsv kind) {
  switch (kind) {
    case CapacityCsv::kFigures:
      return "the capacity figures of ";
    case CapacityCsv::kCurves:
      return "the interaction curves of ";
    case CapacityCsv::kMomentCurvature:
      return "the moment-curvature curves of ";
    case CapacityCsv::kBiaxial:
      return "the biaxial figures of ";
    case CapacityCsv::kBiaxialCurves:
      return "the biaxial contours of ";
    case CapacityCsv::kAnalysis:
      return "the analysis moment-curvature figures of ";
    case CapacityCsv::kAnalysisCurves:
      return "the analysis moment-curvature curves of ";
  }
  return "";
}

// The job a capacity call asks for, and the line it ends with.
void RunCapacity(CommandCall& call, const CapacityRequest& request) {
  if (request.csv) {
    JobContext context = call.ContextSaying(CsvWhat(request.csv_kind));
    CapacityCsvJob(request, context);
    return;
  }
  JobContext context = call.ContextSaying("the capacity report of ");
  CapacityPdfJob(request, context, ModuleCapacityRenderer());
}

// Which CSV the flags ask for; a combination that means nothing is a wrong
// call.
CapacityCsv CsvKind(bool curves, bool mphi, bool biaxial, bool analysis, bool ratio_given) {
  if (mphi && (curves || biaxial || analysis)) throw WrongRequest("--mphi goes alone with --csv");
  if (analysis && biaxial) throw WrongRequest("--analysis and --biaxial go apart");
  if (ratio_given && !mphi && !biaxial && !analysis) {
    throw WrongRequest(
        "--axial-ratio goes with the report, --mphi, --biaxial or --analysis; the figures and "
        "the interaction curves do not depend on it");
  }
  if (analysis) return curves ? CapacityCsv::kAnalysisCurves : CapacityCsv::kAnalysis;
  if (mphi) return CapacityCsv::kMomentCurvature;
  if (biaxial) return curves ? CapacityCsv::kBiaxialCurves : CapacityCsv::kBiaxial;
  return curves ? CapacityCsv::kCurves : CapacityCsv::kFigures;
}

std::string Percent(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f %%", value);
  return text;
}

// What refine changed, a line a section, and the sections it left as they
// were for a reason the engineer should know.
void PrintRefined(std::ostream& out, const BrenmoorState& state, const RefineResult& result) {
  std::string no_room, cannot_carry;
  for (int r = 1; r <= state.imported_count; ++r) {
    const GridChoice& c = result.choices[static_cast<std::size_t>(r - 1)];
    const std::string name =
        std::to_string(r) + " \"" +
        EscapeControlCharacters(DisplayText(state.records[static_cast<std::size_t>(r)].NAME)) +
        "\"";
    if (c.Improves()) {
      out << name << ": FX × FY " << c.FX << " × " << c.FY << ", fiber error "
          << Percent(c.error_pct) << " → " << c.best_FX << " × " << c.best_FY << ", "
          << Percent(c.best_error_pct) << "\n";
    } else if (c.verdict == GridVerdict::kNoRoom) {
      no_room += (no_room.empty() ? "" : ", ") + name;
    }
    if (c.verdict == GridVerdict::kCannotCarry) {
      cannot_carry += (cannot_carry.empty() ? "" : ", ") + name;
    }
  }
  if (!no_room.empty()) out << "No room for a concrete grid beside the bars: " << no_room << "\n";
  if (!cannot_carry.empty()) {
    out << "Cannot carry the axial load of the ratio, so the grids were compared on the fiber "
           "errors about x and y alone: "
        << cannot_carry << "\n";
  }
}

void DeclareCapacity(CLI::App& capacity, CommandCall& call) {
  struct Options {
    CapacityRequest request;
    bool curves = false, mphi = false, biaxial = false, analysis = false;
  };
  const auto options = std::make_shared<Options>();
  AddTableArgument(capacity, options->request.table.path, "the section table (CSV)");
  const CLI::Option* output = AddOutputOption(
      capacity, options->request.output,
      "the file to write (default: beside the table, its name with .capacity.pdf, or "
      ".capacity.csv with --csv; - for standard output with --csv)");
  const auto laws = std::make_shared<LawOptions>(capacity, true);
  capacity.add_flag("--csv", options->request.csv,
                    "write the capacity figures as CSV instead of the report");
  capacity.add_flag("--curves", options->curves,
                    "with --csv: every point of both interaction curves instead (with "
                    "--biaxial: the Mx-My contours)");
  capacity.add_flag("--mphi", options->mphi,
                    "with --csv: every moment-curvature point at the axial ratio instead");
  capacity.add_flag("--biaxial", options->biaxial,
                    "with --csv: biaxial bending at the axial ratio instead");
  capacity.add_flag("--analysis", options->analysis,
                    "with --csv: the analysis moment-curvature (GB 50010 Appendix C laws, the "
                    "cores confined by the stirrups) of the exact, fiber and confined models and "
                    "the fiber's error instead (with --curves: every point of the curves)");
  const auto language = std::make_shared<LanguageOption>(capacity);
  capacity.callback([&call, options, output, laws, language] {
    CapacityRequest& request = options->request;
    if (output->count() > 0 && request.output.empty()) throw WrongRequest("-o needs a file name");
    request.language = language->Chosen();
    request.options = laws->Chosen();
    if (!request.csv &&
        (options->curves || options->mphi || options->biaxial || options->analysis)) {
      throw WrongRequest(std::string(options->curves    ? "--curves"
                                     : options->mphi    ? "--mphi"
                                     : options->biaxial ? "--biaxial"
                                                        : "--analysis") +
                         " goes with --csv");
    }
    if (request.csv) {
      request.csv_kind = CsvKind(options->curves, options->mphi, options->biaxial,
                                 options->analysis, laws->RatioGiven());
    }
    call.run = [&call, options] { RunCapacity(call, options->request); };
  });
}

void DeclareMaterials(CLI::App& materials, CommandCall& call) {
  const auto request = std::make_shared<MaterialsRequest>();
  AddTableArgument(materials, request->table.path, "the section table (CSV)");
  const CLI::Option* output = AddOutputOption(
      materials, request->output,
      "the file to write (default: beside the table, its name with .materials.csv; - for "
      "standard output)");
  const auto laws = std::make_shared<LawOptions>(materials, true, false);
  materials.callback([&call, request, output, laws] {
    if (output->count() > 0 && request->output.empty()) throw WrongRequest("-o needs a file name");
    request->options = laws->Chosen();
    call.run = [&call, request] {
      JobContext context = call.ContextSaying("the material laws of ");
      MaterialsJob(*request, context);
    };
  });
}

void DeclareRefine(CLI::App& refine, CommandCall& call) {
  const auto request = std::make_shared<RefineRequest>();
  AddTableArgument(refine, request->table.path, "the section table (CSV)");
  const CLI::Option* output = AddOutputOption(
      refine, request->output,
      "the refined table (default: beside the table, its name with .refined.csv); with --csv "
      "the CSV (default standard output)");
  const auto laws = std::make_shared<LawOptions>(refine);
  refine.add_flag("--csv", request->csv,
                  "print every section's grid and error and the best as CSV instead");
  refine.callback([&call, request, output, laws] {
    if (output->count() > 0 && request->output.empty()) throw WrongRequest("-o needs a file name");
    request->options = laws->Chosen();
    call.run = [&call, request] {
      const bool csv = request->csv;
      JobContext context =
          call.ContextSaying(csv ? "the grids of " : "the table with the grids of ",
                             [csv](const JobResult&) { return csv ? "" : " changed"; });
      RefineJob(*request, context, [&call, csv](const RefineResult& result) {
        if (!csv && !call.quiet) PrintRefined(call.out, call.state, result);
      });
    };
  });
}

}  // namespace

extern const Command kCapacityCommand = {
    "capacity",
    "TABLE [--steel HRB335|HRB400|HRB500] [--strength design|characteristic]\n"
    " [--axial-ratio R] [-o CAPACITY.pdf] [--lang en|zh]\n"
    "TABLE --csv [--curves | --mphi | --biaxial [--curves]]\n"
    " [--axial-ratio R] [-o FILE]\n"
    "TABLE --csv --analysis [--curves] [--steel ...] [--stirrup-steel GRADE]\n"
    " [--strength ...] [--axial-ratio R] [-o FILE]",
    "N-M interaction, moment-curvature and biaxial bending (PDF or CSV)", DeclareCapacity};

extern const Command kMaterialsCommand = {
    "materials", "TABLE [--steel ...] [--stirrup-steel GRADE] [--strength ...] [-o FILE]",
    "every analysis material law the table uses, as strain-stress points (CSV)", DeclareMaterials};

extern const Command kRefineCommand = {"refine",
                                       "TABLE [--steel ...] [--strength ...] [--axial-ratio R]\n"
                                       " [-o NEW.csv | --csv [-o FILE]]",
                                       "the table with each section's best concrete grid (FX, FY)",
                                       DeclareRefine};

}  // namespace brenmoor
