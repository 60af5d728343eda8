#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/errors.h"
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

// One section block read back from a component file, its ten figures
// those of the base.
struct FileSection : ElasticProperties {
  std::int32_t number = 0;
  std::string name;  // trailing blanks removed
  int fiber_count = 0;
  std::int32_t steel_material = 0;
  std::array<float, 8> corners{};  // four (y, x) pairs
  std::vector<FileFiber> fibers;
};

struct ComponentFile {
  std::string model_name;  // trailing blanks removed
  std::vector<FileSection> sections;
};

// Reads a component file's bytes and checks its structure: magic, model
// name, every byte of every block that the writer fixes (block marks,
// constants, reserved and unused bytes, material entries and the trailing
// ones), fiber counts (0 to 60), fiber types, material and steel indexes
// within the material table, a shear modulus that is a number, section
// numbers 1, 2, ..., sizes, and the end mark as the very last two bytes. A
// file that is not exactly what the writer makes throws InvalidComponentFile
// naming the offset and what was wrong there.
ComponentFile ReadComponentFile(std::string_view bytes);

// Why bytes are not a component file: what() is "Not a valid component
// file: <reason>", reason() what was wrong and where, e.g. "the file ends
// early at offset 162".
class InvalidComponentFile : public Error {
 public:
  explicit InvalidComponentFile(const std::string& reason)
      : Error("Not a valid component file: " + reason), reason_(reason) {}
  const std::string& reason() const { return reason_; }

 private:
  std::string reason_;
};

// Checks the first layout::kHeaderSize bytes (magic and model name) as
// ReadComponentFile does, so that a file can be refused before it is read
// whole.
void CheckComponentHeader(std::string_view bytes);

}  // namespace brenmoor
