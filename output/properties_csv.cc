#include "output/properties_csv.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

#include "model/materials.h"
#include "platform/text.h"

namespace brenmoor {

SectionFigures FiguresOf(const TSECTION& prepared) {
  SectionFigures figures;
  for (int k = 0; k < prepared.fiber_count && k < kMaxFibers; ++k) {
    if (prepared.fibers[k].type == kSteelFiber) ++figures.bars;
    if (prepared.fibers[k].type == kConcreteFiber) ++figures.cells;
  }
  const double gross = static_cast<double>(prepared.B) * static_cast<double>(prepared.H);
  figures.rho_percent = gross != 0.0 ? 100.0 * prepared.steel_area_sum / gross
                                     : std::numeric_limits<double>::quiet_NaN();
  return figures;
}

std::string CsvNumber(double value) {
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 9);
  return std::string(buffer, result.ptr);
}

std::string PropertiesCsv(const BrenmoorState& prepared) {
  std::string csv = "\xEF\xBB\xBF";
  csv +=
      "No.,Name,B (mm),H (mm),CC (mm),Concrete,Steel,Fibers,Bars,Cells,As (mm²),rho (%),G (N/mm²),"
      "Shear area 1 (mm²),Shear area 2 (mm²),J (mm⁴),Concrete area (mm²),Steel area (mm²),"
      "Concrete ΣA·y² (mm⁴),Steel ΣA·y² (mm⁴),Concrete ΣA·x² (mm⁴),Steel ΣA·x² (mm⁴)\r\n";
  for (int i = 1; i <= prepared.imported_count; ++i) {
    const TSECTION& s = prepared.records[static_cast<std::size_t>(i)];
    const SectionFigures f = FiguresOf(s);
    std::vector<std::string> fields = {std::to_string(i), CsvName(s.NAME)};
    for (float v : {s.B, s.H, s.CC}) fields.push_back(CsvNumber(v));
    fields.push_back(MaterialName(prepared, s.concrete_material));
    fields.push_back(MaterialName(prepared, s.steel_material));
    for (int count : {static_cast<int>(s.fiber_count), f.bars, f.cells})
      fields.push_back(std::to_string(count));
    fields.push_back(CsvNumber(s.steel_area_sum));
    // No ρ without a cross-section: an empty field, which a spreadsheet leaves blank.
    fields.push_back(std::isnan(f.rho_percent) ? std::string() : CsvNumber(f.rho_percent));
    for (float v : {s.shear_modulus, s.shear_area_1, s.shear_area_2, s.torsion_constant,
                    s.concrete_area_sum, s.steel_area_sum, s.concrete_ay2_sum, s.steel_ay2_sum,
                    s.concrete_ax2_sum, s.steel_ax2_sum}) {
      fields.push_back(CsvNumber(v));
    }
    for (std::size_t k = 0; k < fields.size(); ++k) {
      if (k > 0) csv += ',';
      csv += fields[k];
    }
    csv += "\r\n";
  }
  return csv;
}

}  // namespace brenmoor
