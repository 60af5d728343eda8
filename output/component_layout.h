#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "model/section.h"

namespace brenmoor::layout {

// The component file, as the writer makes it and inspect reads it back.
// Numbers are little-endian; offsets of a section block count from the
// block's first byte.

inline constexpr std::string_view kMagic{"PF3CMP\0\0", 8};
inline constexpr std::string_view kModelName = "KAVOSEC";
inline constexpr std::size_t kModelNameWidth = 60;  // padded with blanks
inline constexpr std::size_t kHeaderSize = kMagic.size() + kModelNameWidth;
inline constexpr std::string_view kEndMark{"\xFF\xFF", 2};

// A section block: 1765 bytes plus a 42-byte material entry per fiber.
inline constexpr std::string_view kBlockMark{"\x02\x00\x0F\x00", 4};
inline constexpr std::size_t kNameAt = 4;
inline constexpr std::size_t kNameWidth = 40;  // padded with blanks
inline constexpr std::size_t kNumberAt = 44;   // int16
// From here to the material entries the block has fixed offsets; the writer
// assembles this part in memory.
inline constexpr std::size_t kFixedPartAt = 44;
inline constexpr std::size_t kKindAt = 90;  // 0F 02 02 <fiber count> 04
inline constexpr std::size_t kFiberCountAt = 93;
inline constexpr std::size_t kOneAt = 205;           // float 1.0, the one nonzero constant
inline constexpr std::size_t kSteelSumsAt = 269;     // area, Ay², Ax²: floats
inline constexpr std::size_t kConcreteSumsAt = 289;  // area, Ay², Ax²: floats
inline constexpr std::size_t kTorsionAt = 349;
inline constexpr std::size_t kShearModulusAt = 353;
inline constexpr std::size_t kShearArea1At = 357;
inline constexpr std::size_t kShearArea2At = 361;
inline constexpr std::size_t kShearModulus2At = 365;  // the shear modulus again
// Six arrays of 60 items: n items, then zeros.
inline constexpr std::size_t kItemFoursAt = 369;    // bytes 4
inline constexpr std::size_t kItemOnesAt = 429;     // bytes 1
inline constexpr std::size_t kTypesAt = 489;        // int16 fiber types
inline constexpr std::size_t kMaterialsAt = 609;    // int16 material indexes
inline constexpr std::size_t kAreasAt = 729;        // float areas
inline constexpr std::size_t kCoordinatesAt = 969;  // float (y, x) pairs
inline constexpr std::array<unsigned char, 16> kFlags = {4, 4, 4, 4, 0, 0, 0, 0,
                                                         1, 1, 1, 1, 0, 0, 0, 0};
inline constexpr std::size_t kFlagsAt = 1449;
inline constexpr std::size_t kSteelIndexesAt = 1481;  // four int16, the same
inline constexpr std::size_t kCornersAt = 1497;       // four float (y, x) pairs
inline constexpr std::size_t kEntriesAt = 1591;
inline constexpr std::size_t kFixedPartSize = kEntriesAt - kFixedPartAt;
// A material entry: the fiber type, a zero byte, the material name padded
// with blanks. One per fiber, then four for fibers 1 to 4 with type 0, then
// six zero bytes.
inline constexpr std::size_t kEntrySize = 42;
inline constexpr std::size_t kTrailingEntries = 4;
inline constexpr std::size_t kBlockEndZeros = 6;
inline constexpr std::size_t kFixedBlockSize =
    kEntriesAt + kTrailingEntries * kEntrySize + kBlockEndZeros;
static_assert(kFixedBlockSize == 1765);

inline constexpr std::size_t BlockSize(int fibers) {
  return kFixedBlockSize + kEntrySize * static_cast<std::size_t>(fibers);
}
inline constexpr std::size_t kLargestBlock = BlockSize(kMaxFibers);
// The most sections a file numbers (an int16) and so its largest size.
inline constexpr std::size_t kMostSections = 32767;
inline constexpr std::size_t kLargestFile =
    kHeaderSize + kMostSections * kLargestBlock + kEndMark.size();

// What the bytes at offset of a block of n fibers are, for messages, and
// where the part of the block that holds them begins.
struct BlockPart {
  std::size_t begin;
  const char* what;
};
BlockPart PartAt(std::size_t offset, int n);

}  // namespace brenmoor::layout
