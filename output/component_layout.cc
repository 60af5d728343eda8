#include "output/component_layout.h"

namespace brenmoor::layout {

BlockPart PartAt(std::size_t offset, int n) {
  const std::size_t items = static_cast<std::size_t>(n);
  const std::size_t entries_end = kEntriesAt + kEntrySize * items;
  // Each part from its first byte up to the next part's.
  const BlockPart parts[] = {
      {0, "section block mark"},
      {kNameAt, "section name"},
      {kNumberAt, "section number"},
      {kNumberAt + 2, "reserved bytes"},
      {kKindAt, "section kind bytes"},
      {kKindAt + 5, "constant block"},
      {kSteelSumsAt, "reserved bytes"},
      {kTorsionAt, "section properties"},
      {kShearModulus2At, "second shear modulus"},
      {kItemFoursAt, "fiber item bytes"},
      {kTypesAt, "fiber types"},
      {kTypesAt + 2 * items, "unused fiber types"},
      {kMaterialsAt, "fiber materials"},
      {kMaterialsAt + 2 * items, "unused fiber materials"},
      {kAreasAt, "fiber areas"},
      {kAreasAt + 4 * items, "unused fiber areas"},
      {kCoordinatesAt, "fiber coordinates"},
      {kCoordinatesAt + 8 * items, "unused fiber coordinates"},
      {kFlagsAt, "constant bytes"},
      {kFlagsAt + kFlags.size(), "reserved bytes"},
      {kSteelIndexesAt, "steel material indexes"},
      {kSteelIndexesAt + 8, "reserved bytes"},
      {kCornersAt, "corner bars"},
      {kCornersAt + 32, "reserved bytes"},
      {kEntriesAt, "material entry"},
      {entries_end, "trailing material entry"},
      {entries_end + kTrailingEntries * kEntrySize, "end of the section block"},
  };
  BlockPart found = parts[0];
  for (const BlockPart& part : parts) {
    if (part.begin > offset) break;
    found = part;
  }
  if (found.begin == kEntriesAt || found.begin == entries_end) {
    // Each entry by itself.
    found.begin += (offset - found.begin) / kEntrySize * kEntrySize;
  }
  return found;
}

}  // namespace brenmoor::layout
