#include "output/component_writer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "model/float32.h"

namespace brenmoor {
namespace {

static_assert(std::endian::native == std::endian::little,
              "the component file is little-endian and written from memory as is");

constexpr std::array<unsigned char, 8> kMagic = {'P', 'F', '3', 'C', 'M', 'P', 0, 0};
constexpr char kModelName[] = "KAVOSEC";
constexpr int kModelNameWidth = 60;
constexpr int kNameWidth = 40;

void WriteByte(ByteSink& sink, std::uint8_t value) { sink.Write(&value, 1); }

// Integer fields carry the low bytes of the 32-bit values.
void WriteInt16(ByteSink& sink, std::int32_t value) {
  const auto low = static_cast<std::uint16_t>(value);
  sink.Write(&low, 2);
}

void WriteFloat(ByteSink& sink, float value) { sink.Write(&value, 4); }

template <std::size_t N>
void WriteBytes(ByteSink& sink, const std::array<unsigned char, N>& bytes) {
  sink.Write(bytes.data(), N);
}

// One pass over fibers 1..n writing item(fiber), then zero items up to 60.
template <typename Item>
void WriteFiberArray(ByteSink& sink, const TSECTION& s, int item_size, Item item) {
  for (int k = 0; k < s.fiber_count; ++k) item(s.fibers[k]);
  WriteZeros(sink, (kMaxFibers - s.fiber_count) * item_size);
}

// The 42-byte material-name entries, made once per file: a type byte, a zero
// byte and the material name padded to 40. Indexed [type][material].
class MaterialEntries {
 public:
  explicit MaterialEntries(const BrenmoorState& state) {
    for (std::int32_t type : {kSteelFiber, kConcreteFiber}) {
      for (const TMAT& material : state.materials) {
        StringSink entry;
        WriteByte(entry, static_cast<std::uint8_t>(type));
        WriteByte(entry, 0);
        WritePaddedText(entry, kNameWidth, material.name);
        entries_[type].push_back(entry.bytes());
      }
    }
  }

  void Write(ByteSink& sink, std::int32_t type, std::int32_t material) const {
    const std::string& entry = entries_.at(type).at(material);
    sink.Write(entry.data(), entry.size());
  }

 private:
  std::array<std::vector<std::string>, 2> entries_;
};

// n items of one byte value, then zero items up to 60.
void WriteByteItems(ByteSink& sink, int n, unsigned char value) {
  std::array<unsigned char, kMaxFibers> items{};
  std::fill_n(items.begin(), n, value);
  sink.Write(items.data(), items.size());
}

void WriteSectionBlock(ByteSink& sink, const MaterialEntries& entries, const TSECTION& s,
                       std::int32_t number) {
  const int n = s.fiber_count;
  WriteBytes(sink, std::array<unsigned char, 4>{0x02, 0x00, 0x0F, 0x00});
  WritePaddedText(sink, kNameWidth, s.NAME);
  WriteInt16(sink, number);
  WriteZeros(sink, 44);
  WriteBytes(sink, std::array<unsigned char, 4>{0x0F, 0x02, 0x02, static_cast<unsigned char>(n)});
  WriteByte(sink, 0x04);

  // 174 constant bytes, zero but for float32 1.0 at 110.
  WriteZeros(sink, 110);
  WriteFloat(sink, 1.0f);
  WriteZeros(sink, 60);

  WriteFloat(sink, s.steel_area_sum);
  WriteFloat(sink, s.steel_ay2_sum);
  WriteFloat(sink, s.steel_ax2_sum);
  WriteZeros(sink, 8);
  WriteFloat(sink, s.concrete_area_sum);
  WriteFloat(sink, s.concrete_ay2_sum);
  WriteFloat(sink, s.concrete_ax2_sum);
  WriteZeros(sink, 8);
  WriteZeros(sink, 40);
  WriteFloat(sink, s.torsion_constant);
  WriteFloat(sink, s.shear_modulus);
  WriteFloat(sink, s.shear_area_1);
  WriteFloat(sink, s.shear_area_2);
  WriteFloat(sink, s.shear_modulus);

  WriteByteItems(sink, n, 4);
  WriteByteItems(sink, n, 1);
  WriteFiberArray(sink, s, 2, [&](const FiberSlot& f) { WriteInt16(sink, f.type); });
  WriteFiberArray(sink, s, 2, [&](const FiberSlot& f) { WriteInt16(sink, f.material); });
  WriteFiberArray(sink, s, 4, [&](const FiberSlot& f) { WriteFloat(sink, f.area); });
  WriteFiberArray(sink, s, 8, [&](const FiberSlot& f) {
    WriteFloat(sink, f.y);
    WriteFloat(sink, f.x);
  });

  WriteBytes(sink, std::array<unsigned char, 8>{4, 4, 4, 4, 0, 0, 0, 0});
  WriteBytes(sink, std::array<unsigned char, 8>{1, 1, 1, 1, 0, 0, 0, 0});
  WriteZeros(sink, 16);
  for (int i = 0; i < 4; ++i) WriteInt16(sink, s.steel_material);
  WriteZeros(sink, 8);

  // The corner bars, as (y, x) pairs like every coordinate pair of the block.
  const long double h = s.H, b = s.B, cc = s.CC;
  const float minus_dy = RoundToFloat(-h / 2 + cc);
  const float minus_dx = RoundToFloat(-b / 2 + cc);
  const float dy = RoundToFloat(h / 2 - cc);
  const float dx = RoundToFloat(b / 2 - cc);
  for (float value : {minus_dy, minus_dx, dy, dx, dy, minus_dx, minus_dy, dx}) {
    WriteFloat(sink, value);
  }
  WriteZeros(sink, 62);

  for (int k = 0; k < n; ++k) entries.Write(sink, s.fibers[k].type, s.fibers[k].material);
  // Fibers 1 to 4 are always bars, so these name the section's steel.
  for (int k = 0; k < 4; ++k) entries.Write(sink, kSteelFiber, s.fibers[k].material);
  WriteZeros(sink, 6);
}

}  // namespace

void WriteComponentFile(const BrenmoorState& state, ByteSink& sink) {
  WriteBytes(sink, kMagic);
  WritePaddedText(sink, kModelNameWidth, kModelName);
  const MaterialEntries entries(state);
  for (std::int32_t i = 1; i <= state.imported_count; ++i) {
    WriteSectionBlock(sink, entries, state.records.at(i), i);
  }
  WriteBytes(sink, std::array<unsigned char, 2>{0xFF, 0xFF});
  sink.Flush();
}

void WritePaddedText(ByteSink& sink, int width, std::string_view text) {
  static const std::string kSpaces(64, ' ');
  sink.Write(text.data(), text.size());
  const auto padding = static_cast<long long>(width) - static_cast<long long>(text.size());
  for (long long left = padding; left > 0; left -= 64) {
    sink.Write(kSpaces.data(), static_cast<std::size_t>(std::min(left, 64LL)));
  }
}

void WriteZeros(ByteSink& sink, int count) {
  static constexpr char kZeros[256] = {};
  for (long long left = count; left > 0; left -= 256) {
    sink.Write(kZeros, static_cast<std::size_t>(std::min(left, 256LL)));
  }
}

}  // namespace brenmoor
