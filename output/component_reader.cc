#include "output/component_reader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>

#include "model/errors.h"
#include "model/materials.h"
#include "output/component_layout.h"
#include "output/component_writer.h"

namespace brenmoor {
namespace {

std::string TrimTrailingBlanks(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return std::string(text);
}

// Reads the file front to back; every complaint names the file offset.
class Cursor {
 public:
  explicit Cursor(std::string_view bytes) : bytes_(bytes) {}

  std::size_t offset() const { return offset_; }
  std::size_t size() const { return bytes_.size(); }
  std::size_t left() const { return bytes_.size() - offset_; }
  std::string_view Peek(std::size_t size) const { return bytes_.substr(offset_, size); }

  [[noreturn]] void Fail(const std::string& what) const {
    throw InvalidComponentFile(what + " at offset " + std::to_string(offset_));
  }

  std::string_view Take(std::size_t size) {
    if (size > left()) Fail("the file ends early");
    const std::string_view part = bytes_.substr(offset_, size);
    offset_ += size;
    return part;
  }

  // The next bytes must be exactly these.
  void Expect(std::string_view expected, const char* what) {
    if (left() < expected.size()) Fail("the file ends early");
    if (bytes_.substr(offset_, expected.size()) != expected) Fail(std::string("wrong ") + what);
    offset_ += expected.size();
  }

 private:
  std::string_view bytes_;
  std::size_t offset_ = 0;
};

template <typename T>
T ValueAt(std::string_view block, std::size_t offset) {
  T value;
  std::memcpy(&value, block.data() + offset, sizeof value);
  return value;
}

// Fails the cursor at offset of the block that starts there.
[[noreturn]] void FailAt(Cursor& in, std::size_t offset, const std::string& what) {
  in.Take(offset);
  in.Fail(what);
}

// The block at the cursor, whole, once its mark, number and fiber count are
// checked; s gets its number and fiber count.
std::string_view BlockAt(Cursor& in, std::int32_t expected_number, FileSection& s) {
  using namespace layout;
  if (in.left() < kBlockMark.size()) in.Fail("the file ends early");
  if (in.Peek(kBlockMark.size()) != kBlockMark) in.Fail("wrong section block mark");
  if (in.left() < kFiberCountAt + 1) in.Fail("the file ends early");
  const std::string_view head = in.Peek(kFiberCountAt + 1);
  s.number = ValueAt<std::uint16_t>(head, kNumberAt);
  if (s.number != static_cast<std::uint16_t>(expected_number)) {
    FailAt(in, kNumberAt + 2,
           "section number " + std::to_string(s.number) + " where " +
               std::to_string(expected_number) + " belongs");
  }
  s.number = expected_number;
  s.fiber_count = static_cast<std::uint8_t>(head[kFiberCountAt]);
  const int n = s.fiber_count;
  if (n > kMaxFibers) {
    FailAt(in, kFiberCountAt + 1,
           "fiber count " + std::to_string(n) + " above " + std::to_string(kMaxFibers));
  }
  if (in.left() < BlockSize(n)) FailAt(in, kFiberCountAt + 1, "the file ends early");
  return in.Peek(BlockSize(n));
}

// The block's fibers, into s and, as the writer takes them, into fibers.
void ReadFibers(Cursor& in, std::string_view block, const BrenmoorState& table, FileSection& s,
                std::array<FiberSlot, kMaxFibers>& fibers) {
  using namespace layout;
  const int n = s.fiber_count;
  const auto material_count = static_cast<std::int32_t>(table.materials.size());
  s.fibers.resize(static_cast<std::size_t>(n));
  for (int k = 0; k < n; ++k) {
    FiberSlot& f = fibers[static_cast<std::size_t>(k)];
    f.type = ValueAt<std::int16_t>(block, kTypesAt + 2 * k);
    f.material = ValueAt<std::int16_t>(block, kMaterialsAt + 2 * k);
    f.area = ValueAt<float>(block, kAreasAt + 4 * k);
    f.y = ValueAt<float>(block, kCoordinatesAt + 8 * k);
    f.x = ValueAt<float>(block, kCoordinatesAt + 8 * k + 4);
    const std::string fiber = "fiber " + std::to_string(k + 1);
    if (f.type != kSteelFiber && f.type != kConcreteFiber) {
      FailAt(in, kTypesAt + 2 * k,
             fiber + " of type " + std::to_string(f.type) + " (0 steel, 1 concrete)");
    }
    if (f.material < 0 || f.material >= material_count) {
      FailAt(in, kMaterialsAt + 2 * k,
             fiber + " of material index " + std::to_string(f.material) + " outside the " +
                 std::to_string(material_count) + " materials");
    }
    FileFiber& out = s.fibers[static_cast<std::size_t>(k)];
    out.x = f.x;
    out.y = f.y;
    out.area = f.area;
    out.material = f.material;
    out.type = f.type;
    out.material_name = table.materials[static_cast<std::size_t>(f.material)].name;
  }
}

// Reads the block at the cursor. Its values are read at their offsets and
// checked; the block is then made again from them by the writer and compared
// byte for byte, so every byte the writer fixes is checked, and the first
// wrong one is named by its part of the block.
FileSection ReadSectionBlock(Cursor& in, std::int32_t expected_number, const BrenmoorState& table,
                             const MaterialEntries& entries) {
  using namespace layout;
  FileSection s;
  const std::string_view block = BlockAt(in, expected_number, s);
  const int n = s.fiber_count;
  s.name = TrimTrailingBlanks(block.substr(kNameAt, kNameWidth));
  static_cast<ElasticProperties&>(s) = ElasticProperties{
      ValueAt<float>(block, kShearArea1At),       ValueAt<float>(block, kShearArea2At),
      ValueAt<float>(block, kTorsionAt),          ValueAt<float>(block, kShearModulusAt),
      ValueAt<float>(block, kConcreteSumsAt),     ValueAt<float>(block, kSteelSumsAt),
      ValueAt<float>(block, kConcreteSumsAt + 4), ValueAt<float>(block, kSteelSumsAt + 4),
      ValueAt<float>(block, kConcreteSumsAt + 8), ValueAt<float>(block, kSteelSumsAt + 8)};
  if (std::isnan(s.shear_modulus))
    FailAt(in, kShearModulusAt, "shear modulus that is not a number");
  // At least the four fibers the trailing entries name.
  std::array<FiberSlot, kMaxFibers> fibers{};
  ReadFibers(in, block, table, s, fibers);
  const auto material_count = static_cast<std::int32_t>(table.materials.size());
  s.steel_material = ValueAt<std::int16_t>(block, kSteelIndexesAt);
  if (s.steel_material < 0 || s.steel_material >= material_count) {
    FailAt(in, kSteelIndexesAt,
           "steel material index " + std::to_string(s.steel_material) + " outside the " +
               std::to_string(material_count) + " materials");
  }
  std::memcpy(s.corners.data(), block.data() + kCornersAt, sizeof s.corners);

  BlockContent content;
  content.number = expected_number;
  content.name = s.name;
  content.figures = s;
  content.fiber_count = n;
  content.fibers = fibers.data();
  content.steel_material = s.steel_material;
  content.corners = s.corners;
  StringSink remade;
  WriteSectionBlock(remade, entries, content);
  const std::string& expected = remade.bytes();
  const auto differ = std::mismatch(block.begin(), block.end(), expected.begin());
  if (differ.first != block.end()) {
    const BlockPart part = PartAt(static_cast<std::size_t>(differ.first - block.begin()), n);
    FailAt(in, part.begin, std::string("wrong ") + part.what);
  }
  in.Take(block.size());
  return s;
}

}  // namespace

void CheckComponentHeader(std::string_view bytes) {
  Cursor in(bytes);
  in.Expect(layout::kMagic, "magic (not a component file)");
  StringSink name;
  WritePaddedText(name, static_cast<int>(layout::kModelNameWidth), layout::kModelName);
  in.Expect(name.bytes(), "model name");
}

ComponentFile ReadComponentFile(std::string_view bytes) {
  CheckComponentHeader(bytes);
  Cursor in(bytes);
  ComponentFile file;
  file.model_name = std::string(layout::kModelName);
  in.Take(layout::kHeaderSize);
  BrenmoorState table;
  BuildMaterialTable(table);
  const MaterialEntries entries(table);
  for (std::int32_t number = 1;; ++number) {
    if (in.left() == 2 && in.Peek(2) == layout::kEndMark) break;
    if (in.left() < 2) in.Fail("the file ends without its end mark");
    if (number > static_cast<std::int32_t>(layout::kMostSections)) {
      in.Fail("more than 32767 sections");
    }
    file.sections.push_back(ReadSectionBlock(in, number, table, entries));
  }
  return file;
}

}  // namespace brenmoor
