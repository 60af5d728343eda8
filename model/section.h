#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace brenmoor {

// A section holds at most this many fibers: the component file has room for
// 60 per section, and the window tells the engineer so.
inline constexpr int kMaxFibers = 60;

// Fiber types as the component file carries them.
inline constexpr std::int32_t kSteelFiber = 0;
inline constexpr std::int32_t kConcreteFiber = 1;

// The only section kind this tool creates: a rectangular column.
inline constexpr std::int32_t kRectangularColumn = 1;

// One bar or concrete cell. Coordinates in mm from the centre of the section
// (x along the width B, y along the height H), area in mm².
struct FiberSlot {
  float x = 0.0f;
  float y = 0.0f;
  float area = 0.0f;
  std::int32_t material = 0;  // index into the material table
  std::int32_t type = 0;      // kSteelFiber or kConcreteFiber
};

// The 60 fiber slots of a section, slot k (counted from 1) at [k - 1]. Their
// storage is made when a slot is first written: the records of an imported
// table are laid out one by one, each just before its block is written, so a
// record that holds no fibers costs 8 bytes here instead of 1,200, and 32,767
// sections fit in a few MB. A slot never written reads as zeros. Copies are
// deep, so a TSECTION stays a plain value.
class FiberSlots {
 public:
  FiberSlots() = default;
  FiberSlots(const FiberSlots& other)
      : slots_(other.slots_ ? std::make_unique<Slots>(*other.slots_) : nullptr) {}
  FiberSlots& operator=(const FiberSlots& other) {
    if (!other.slots_) {
      slots_.reset();
    } else if (slots_) {
      *slots_ = *other.slots_;
    } else {
      slots_ = std::make_unique<Slots>(*other.slots_);
    }
    return *this;
  }
  FiberSlots(FiberSlots&&) noexcept = default;
  FiberSlots& operator=(FiberSlots&&) noexcept = default;

  FiberSlot& operator[](std::size_t k) { return data()[k]; }
  const FiberSlot& operator[](std::size_t k) const { return data()[k]; }
  // All 60 slots, for loops that should not look for the storage every time.
  FiberSlot* data() {
    if (!slots_) slots_ = std::make_unique<Slots>();
    return slots_->data();
  }
  const FiberSlot* data() const { return slots_ ? slots_->data() : NeverWritten().data(); }
  static constexpr std::size_t size() { return kMaxFibers; }

 private:
  using Slots = std::array<FiberSlot, kMaxFibers>;
  static const Slots& NeverWritten() {
    static const Slots kZeros{};
    return kZeros;
  }
  std::unique_ptr<Slots> slots_;
};

// The ten figures computed for a section, which the component file carries
// and the report prints. Areas mm², second moments and the torsion constant
// mm⁴, the shear modulus N/mm².
struct ElasticProperties {
  float shear_area_1 = 0.0f;
  float shear_area_2 = 0.0f;
  float torsion_constant = 0.0f;
  float shear_modulus = 0.0f;
  float concrete_area_sum = 0.0f;
  float steel_area_sum = 0.0f;
  float concrete_ay2_sum = 0.0f;
  float steel_ay2_sum = 0.0f;
  float concrete_ax2_sum = 0.0f;
  float steel_ax2_sum = 0.0f;
};

// A section's hoops, as the table's optional stirrup columns give them. They
// confine the core in the analysis laws; the component file never carries
// them. Lengths in mm.
struct Stirrups {
  double d = 0.0;  // hoop bar diameter d_s
  double s = 0.0;  // spacing along the column, centre to centre
  int legs_x = 0;  // legs parallel to x (along B), the hoop's own two sides counted
  int legs_y = 0;  // legs parallel to y (along H), the hoop's own two sides counted
  bool operator==(const Stirrups&) const = default;
};

// What one line of the section table gives for a section, the material
// names looked up as indexes: what two imports of the same line agree on,
// and all that crosses to the window and the reports. Lengths in mm, areas
// mm².
struct SectionInput {
  std::string NAME;
  std::int32_t concrete_material = 0;
  std::int32_t steel_material = 0;
  float H = 0.0f;       // height, along y
  float B = 0.0f;       // width, along x
  std::int32_t FX = 0;  // concrete cells across the width
  std::int32_t FY = 0;  // concrete cells across the height
  std::int32_t NX = 0;  // bars on each face parallel to x, corner bars excluded
  std::int32_t NY = 0;  // bars on each face parallel to y, corner bars excluded
  float ASX = 0.0f;     // total area of the NX bars of one face
  float ASY = 0.0f;     // total area of the NY bars of one face
  float ASCOR = 0.0f;   // area of one corner bar
  float CC = 0.0f;      // bar centroid to the nearest face (not the clear cover)
  // Only from a table with the stirrup columns, and only when the line's
  // four values are usable.
  std::optional<Stirrups> stirrups;
  // Floats compare as numbers: 0 equals -0, and a NaN (which the import
  // never gives) equals nothing.
  bool operator==(const SectionInput&) const = default;
};

// One column section: what the table gave for it (the base SectionInput),
// its fibers and its elastic properties (the base ElasticProperties).
struct TSECTION : ElasticProperties, SectionInput {
  std::int32_t kind = 0;  // kRectangularColumn once an import filled it

  // Fiber k (counted from 1, as the file counts them) is fibers[k - 1].
  FiberSlots fibers;
  std::int32_t fiber_count = 0;
};

// Copies what the fiber layout and the section properties read from a
// section (its kind and what the table gave for it), and nothing else: not
// the fibers or the results. For laying a record out in a scratch section
// that keeps its fiber storage from one section to the next.
inline void CopyLayoutInput(const TSECTION& from, TSECTION& to) {
  to.kind = from.kind;
  static_cast<SectionInput&>(to) = from;
}

// A material the analysis model must define under the same name.
struct TMAT {
  std::string name;
  float modulus = 0.0f;  // elastic modulus, N/mm²
};

}  // namespace brenmoor
