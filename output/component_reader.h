#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/section.h"

namespace brenmoor {

// A fiber as the component file gives it.
struct FileFiber {
  float x = 0.0f;
  float y = 0.0f;
  float area = 0.0f;
  std::int32_t material = 0;  // index into the material table
  std::int32_t type = 0;
  std::string material_name;  // trailing blanks removed
};

// One section block read back from a component file.
struct FileSection {
  std::int32_t number = 0;
  std::string name;  // trailing blanks removed
  int fiber_count = 0;
  std::int32_t steel_material = 0;
  float steel_area_sum = 0.0f;
  float steel_ay2_sum = 0.0f;
  float steel_ax2_sum = 0.0f;
  float concrete_area_sum = 0.0f;
  float concrete_ay2_sum = 0.0f;
  float concrete_ax2_sum = 0.0f;
  float torsion_constant = 0.0f;
  float shear_modulus = 0.0f;
  float shear_area_1 = 0.0f;
  float shear_area_2 = 0.0f;
  std::array<float, 8> corners{};  // four (y, x) pairs
  std::vector<FileFiber> fibers;
};

struct ComponentFile {
  std::string model_name;  // trailing blanks removed
  std::vector<FileSection> sections;
};

// Reads a component file's bytes and checks its structure: magic, header,
// every block's fixed bytes, fiber counts (0 to 60), section numbers 1, 2, ...,
// sizes, and the end mark as the very last two bytes. A file that is not
// exactly what the writer makes throws Error naming the offset and what was
// wrong there.
ComponentFile ReadComponentFile(std::string_view bytes);

}  // namespace brenmoor
