#include "app/inspect_command.h"

#include <charconv>
#include <cmath>
#include <iomanip>
#include <memory>
#include <system_error>

#include "app/command.h"
#include "model/errors.h"
#include "output/component_layout.h"
#include "output/component_reader.h"
#include "platform/files.h"
#include "platform/text.h"

namespace brenmoor {
namespace {

// The shortest text that reads back as the same float32, without an
// exponent in the range engineers read section values in.
std::string Number(float value) {
  char buffer[64];
  const float magnitude = std::fabs(value);
  const auto format = value == 0.0f || (magnitude >= 1e-4f && magnitude < 1e15f)
                          ? std::chars_format::fixed
                          : std::chars_format::general;
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format);
  return std::string(buffer, result.ptr);
}

void PrintSection(const FileSection& s, bool fibers, std::ostream& out) {
  int steel = 0;
  for (const FileFiber& f : s.fibers) steel += f.type == 0;
  // The name as the table held it, shown as the grid shows it (GB18030 too).
  out << "\nSection " << s.number << ": " << EscapeControlCharacters(DisplayText(s.name)) << "\n";
  out << "  fibers            " << s.fiber_count << " (" << steel << " bars, "
      << s.fiber_count - steel << " concrete cells)\n";
  out << "  shear modulus     " << Number(s.shear_modulus) << " N/mm2\n";
  out << "  shear areas       " << Number(s.shear_area_1) << ", " << Number(s.shear_area_2)
      << " mm2\n";
  out << "  torsion constant  " << Number(s.torsion_constant) << " mm4\n";
  out << "  steel             area " << Number(s.steel_area_sum) << " mm2, Ay2 "
      << Number(s.steel_ay2_sum) << ", Ax2 " << Number(s.steel_ax2_sum) << " mm4\n";
  out << "  concrete          area " << Number(s.concrete_area_sum) << " mm2, Ay2 "
      << Number(s.concrete_ay2_sum) << ", Ax2 " << Number(s.concrete_ax2_sum) << " mm4\n";
  out << "  corner bars (y, x)";
  for (int i = 0; i < 8; i += 2) {
    out << " (" << Number(s.corners[i]) << ", " << Number(s.corners[i + 1]) << ")";
  }
  out << "\n";
  if (!fibers) return;
  out << "  " << std::setw(5) << "fiber"
      << "  " << std::left << std::setw(9) << "type" << std::setw(8) << "material" << std::right
      << std::setw(14) << "x" << std::setw(14) << "y" << std::setw(14) << "area"
      << "\n";
  for (std::size_t k = 0; k < s.fibers.size(); ++k) {
    const FileFiber& f = s.fibers[k];
    out << "  " << std::setw(5) << k + 1 << "  " << std::left << std::setw(9)
        << (f.type == 0   ? "steel"
            : f.type == 1 ? "concrete"
                          : "other")
        << std::setw(8) << f.material_name << std::right << std::setw(14) << Number(f.x)
        << std::setw(14) << Number(f.y) << std::setw(14) << Number(f.area) << "\n";
  }
}

}  // namespace

void InspectCommand(const std::string& path, bool fibers, std::ostream& out) {
  // The header first: a file that is no component file (a disk image, say,
  // or /dev/zero) is refused before the rest is read, and no component file
  // is larger than 32,767 blocks of 60 fibers.
  const std::filesystem::path file_path = PathFromUtf8(path);
  ComponentFile file;
  std::string bytes;
  try {
    CheckComponentHeader(ReadWholeFile(file_path, ReadLimits{.most = layout::kHeaderSize}));
    bytes = ReadWholeFile(file_path, ReadLimits{.most = layout::kLargestFile + 1});
    if (bytes.size() > layout::kLargestFile) {
      throw InvalidComponentFile("larger than " + std::to_string(layout::kLargestFile) +
                                 " bytes, the size of 32767 sections of 60 fibers");
    }
    file = ReadComponentFile(bytes);
  } catch (const InvalidComponentFile& e) {
    // Named as errors on a table's line are: the file first.
    throw Error(path + ": not a valid component file: " + e.reason());
  }
  out << path << ": model " << file.model_name << ", " << file.sections.size()
      << (file.sections.size() == 1 ? " section, " : " sections, ") << bytes.size() << " bytes\n";
  for (const FileSection& s : file.sections) PrintSection(s, fibers, out);
}

namespace {

void DeclareInspect(CLI::App& inspect, CommandCall& call) {
  struct Options {
    std::string file;
    bool fibers = false;
  };
  const auto options = std::make_shared<Options>();
  inspect.add_option("FILE", options->file, "the component file")->required();
  inspect.add_flag("--fibers", options->fibers, "list every fiber of every section too");
  inspect.callback([&call, options] {
    call.run = [&call, options] { InspectCommand(options->file, options->fibers, call.out); };
  });
}

}  // namespace

extern const Command kInspectCommand = {
    "inspect", "FILE [--fibers]", "check a component file and print its sections", DeclareInspect};

}  // namespace brenmoor
