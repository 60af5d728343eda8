#include "output/component_reader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "model/errors.h"

namespace brenmoor {
namespace {

constexpr std::size_t kHeaderSize = 68;
constexpr std::size_t kFixedBlockSize = 1765;
constexpr std::size_t kEntrySize = 42;

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
    throw Error("Not a valid component file: " + what + " at offset " + std::to_string(offset_));
  }

  std::string_view Take(std::size_t size) {
    if (size > left()) Fail("the file ends early");
    const std::string_view part = bytes_.substr(offset_, size);
    offset_ += size;
    return part;
  }

  std::uint8_t Byte() { return static_cast<std::uint8_t>(Take(1)[0]); }

  std::int16_t Int16() {
    std::int16_t value;
    std::memcpy(&value, Take(2).data(), 2);
    return value;
  }

  float Float() {
    float value;
    std::memcpy(&value, Take(4).data(), 4);
    return value;
  }

  // The next bytes must be exactly these.
  void Expect(std::string_view expected, const char* what) {
    if (left() < expected.size()) Fail("the file ends early");
    if (bytes_.substr(offset_, expected.size()) != expected) Fail(std::string("wrong ") + what);
    offset_ += expected.size();
  }

  // The next count bytes must all be zero. Compared in place with memcmp,
  // without making the expected bytes: a fuzzer runs this millions of times.
  void ExpectZeros(std::size_t count, const char* what) {
    if (left() < count) Fail("the file ends early");
    if (!Filled(offset_, count, '\0')) Fail(std::string("wrong ") + what);
    offset_ += count;
  }

  // n items of one value, then zero items up to 60.
  void ExpectItems(int n, char value, const char* what) {
    if (left() < 60) Fail("the file ends early");
    const auto items = static_cast<std::size_t>(n);
    if (!Filled(offset_, items, value) || !Filled(offset_ + items, 60 - items, '\0')) {
      Fail(std::string("wrong ") + what);
    }
    offset_ += 60;
  }

 private:
  // Whether the count bytes at offset all hold value (0, 1 or 4).
  bool Filled(std::size_t offset, std::size_t count, char value) const {
    static const std::array<std::array<char, 256>, 5> kRuns = [] {
      std::array<std::array<char, 256>, 5> runs{};
      for (std::size_t v = 0; v < runs.size(); ++v) runs[v].fill(static_cast<char>(v));
      return runs;
    }();
    const char* run = kRuns.at(static_cast<std::size_t>(value)).data();
    for (std::size_t done = 0; done < count; done += 256) {
      const std::size_t size = std::min<std::size_t>(256, count - done);
      if (std::memcmp(bytes_.data() + offset + done, run, size) != 0) return false;
    }
    return true;
  }

  std::string_view bytes_;
  std::size_t offset_ = 0;
};

FileSection ReadSectionBlock(Cursor& in, std::int32_t expected_number) {
  const std::size_t start = in.offset();
  FileSection s;
  in.Expect(std::string_view("\x02\x00\x0F\x00", 4), "section block mark");
  s.name = TrimTrailingBlanks(in.Take(40));
  s.number = static_cast<std::uint16_t>(in.Int16());
  if (static_cast<std::uint16_t>(s.number) != static_cast<std::uint16_t>(expected_number)) {
    in.Fail("section number " + std::to_string(s.number) + " where " +
            std::to_string(expected_number) + " belongs");
  }
  s.number = expected_number;
  in.ExpectZeros(44, "reserved bytes");
  in.Expect(std::string_view("\x0F\x02\x02", 3), "section kind bytes");
  s.fiber_count = in.Byte();
  if (s.fiber_count > kMaxFibers) {
    in.Fail("fiber count " + std::to_string(s.fiber_count) + " above " +
            std::to_string(kMaxFibers));
  }
  const int n = s.fiber_count;
  if (in.size() - start < kFixedBlockSize + kEntrySize * n) in.Fail("the file ends early");
  in.Expect(std::string_view("\x04", 1), "section kind bytes");
  in.ExpectZeros(110, "constant block");
  in.Expect(std::string_view("\x00\x00\x80\x3F", 4), "constant block");
  in.ExpectZeros(60, "constant block");

  s.steel_area_sum = in.Float();
  s.steel_ay2_sum = in.Float();
  s.steel_ax2_sum = in.Float();
  in.ExpectZeros(8, "reserved bytes");
  s.concrete_area_sum = in.Float();
  s.concrete_ay2_sum = in.Float();
  s.concrete_ax2_sum = in.Float();
  in.ExpectZeros(48, "reserved bytes");
  s.torsion_constant = in.Float();
  s.shear_modulus = in.Float();
  s.shear_area_1 = in.Float();
  s.shear_area_2 = in.Float();
  if (in.Float() != s.shear_modulus) in.Fail("second shear modulus differs from the first");

  in.ExpectItems(n, '\x04', "fiber item bytes");
  in.ExpectItems(n, '\x01', "fiber item bytes");
  s.fibers.resize(n);
  for (FileFiber& f : s.fibers) f.type = in.Int16();
  in.ExpectZeros(2 * (60 - n), "unused fiber types");
  for (FileFiber& f : s.fibers) f.material = in.Int16();
  in.ExpectZeros(2 * (60 - n), "unused fiber materials");
  for (FileFiber& f : s.fibers) f.area = in.Float();
  in.ExpectZeros(4 * (60 - n), "unused fiber areas");
  for (FileFiber& f : s.fibers) {
    f.y = in.Float();
    f.x = in.Float();
  }
  in.ExpectZeros(8 * (60 - n), "unused fiber coordinates");

  in.Expect(
      std::string_view("\x04\x04\x04\x04\x00\x00\x00\x00\x01\x01\x01\x01\x00\x00\x00\x00", 16),
      "constant bytes");
  in.ExpectZeros(16, "reserved bytes");
  s.steel_material = in.Int16();
  for (int i = 1; i < 4; ++i) {
    if (in.Int16() != s.steel_material) in.Fail("steel material indexes differ");
  }
  in.ExpectZeros(8, "reserved bytes");
  for (float& corner : s.corners) corner = in.Float();
  in.ExpectZeros(62, "reserved bytes");

  for (FileFiber& f : s.fibers) {
    if (in.Byte() != f.type) in.Fail("material entry type differs from the fiber type");
    in.ExpectZeros(1, "material entry");
    f.material_name = TrimTrailingBlanks(in.Take(40));
  }
  for (int k = 0; k < 4; ++k) {
    in.ExpectZeros(2, "trailing material entry");
    in.Take(40);
  }
  in.ExpectZeros(6, "end of the section block");
  return s;
}

}  // namespace

ComponentFile ReadComponentFile(std::string_view bytes) {
  Cursor in(bytes);
  ComponentFile file;
  in.Expect(std::string_view("PF3CMP\0\0", 8), "magic (not a component file)");
  file.model_name = TrimTrailingBlanks(in.Take(kHeaderSize - 8));
  for (std::int32_t number = 1;; ++number) {
    if (in.left() == 2 && in.Peek(2) == "\xFF\xFF") break;
    if (in.left() < 2) in.Fail("the file ends without its end mark");
    if (number > 32767) in.Fail("more than 32767 sections");
    file.sections.push_back(ReadSectionBlock(in, number));
  }
  return file;
}

}  // namespace brenmoor
