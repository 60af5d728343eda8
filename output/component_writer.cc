#include "output/component_writer.h"

#include <array>
#include <bit>
#include <cstdint>
#include <string>

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

void WriteMaterialEntry(ByteSink& sink, const BrenmoorState& state, std::int32_t type,
                        std::int32_t material) {
  WriteByte(sink, static_cast<std::uint8_t>(type));
  WriteByte(sink, 0);
  WritePaddedText(sink, kNameWidth, state.materials.at(material).name);
}

void WriteSectionBlock(ByteSink& sink, const BrenmoorState& state, const TSECTION& s,
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

  WriteFiberArray(sink, s, 1, [&](const FiberSlot&) { WriteByte(sink, 4); });
  WriteFiberArray(sink, s, 1, [&](const FiberSlot&) { WriteByte(sink, 1); });
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

  for (int k = 0; k < n; ++k)
    WriteMaterialEntry(sink, state, s.fibers[k].type, s.fibers[k].material);
  // Fibers 1 to 4 are always bars, so these name the section's steel.
  for (int k = 0; k < 4; ++k) WriteMaterialEntry(sink, state, 0, s.fibers[k].material);
  WriteZeros(sink, 6);
}

}  // namespace

void WriteComponentFile(const BrenmoorState& state, ByteSink& sink) {
  WriteBytes(sink, kMagic);
  WritePaddedText(sink, kModelNameWidth, kModelName);
  for (std::int32_t i = 1; i <= state.imported_count; ++i) {
    WriteSectionBlock(sink, state, state.records.at(i), i);
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
