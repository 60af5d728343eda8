#include "import/split_line.h"

#include <array>
#include <cstddef>

namespace brenmoor {
namespace {

// The start, 38 field ends and the end of the line: the most positions that
// fit the 40 entries of the field array with column 0 dropped.
constexpr std::size_t kMaxBoundaries = kFieldCount;

// What a byte does in a line: nothing, end a field, or (the blank) end one
// unless it follows a field end. One lookup per byte; lines are split 32,767
// at a time.
enum class ByteRole : unsigned char { kPlain, kFieldEnd, kBlank };
constexpr std::array<ByteRole, 256> kByteRoles = [] {
  std::array<ByteRole, 256> roles{};
  roles[static_cast<unsigned char>(',')] = ByteRole::kFieldEnd;
  roles[static_cast<unsigned char>('=')] = ByteRole::kFieldEnd;
  roles[static_cast<unsigned char>('"')] = ByteRole::kFieldEnd;
  roles[static_cast<unsigned char>(' ')] = ByteRole::kBlank;
  return roles;
}();

bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= 0x20; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsTrimmed(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsTrimmed(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

void SplitLine(FieldArray& fields, std::string_view line) {
  LineFields views;
  SplitFields(line, views);
  for (std::size_t i = 0; i < views.size(); ++i) fields[i] = views[i];
}

void SplitFields(std::string_view line, LineFields& fields) {
  fields.fill(std::string_view());

  // Positions count the bytes of the line from 1; 0 is the place before the
  // first byte and n + 1 the place after the last.
  std::array<std::size_t, kMaxBoundaries> boundaries;
  std::size_t count = 0;
  boundaries[count++] = 0;
  const std::size_t n = line.size();
  // Once the list is full, the next field end closes the last field kept; the
  // bytes after it cannot change the fields kept, so scanning stops there.
  for (std::size_t p = 1; p <= n && count < kMaxBoundaries; ++p) {
    const ByteRole role = kByteRoles[static_cast<unsigned char>(line[p - 1])];
    if (role == ByteRole::kPlain) continue;
    if (role == ByteRole::kFieldEnd || boundaries[count - 1] != p - 1) boundaries[count++] = p;
  }
  if (count < kMaxBoundaries) boundaries[count++] = n + 1;

  // Column i lies strictly between boundaries i and i + 1; column 0 is dropped.
  for (std::size_t i = 1; i + 1 < count; ++i) {
    // Positions count from 1, so a boundary's position is the index of the byte after it.
    const std::size_t begin = boundaries[i];
    const std::size_t end = boundaries[i + 1] - 1;
    fields[i - 1] = Trim(line.substr(begin, end - begin));
  }
}

}  // namespace brenmoor
