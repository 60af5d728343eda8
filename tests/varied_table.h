#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace brenmoor::testing {

// A section table of `count` valid sections that meets much of what the
// arithmetic and the writer can meet: all twelve materials in either column,
// every group left out in turn, up to 60 fibers, fractions, exponents,
// hexadecimal counts, CC up to just below the half side, and names of 0 to
// 40 bytes. Made from splitmix64, the same on every system and standard
// library, so that its component file can be checked against a stored hash.
inline std::string VariedTable(int count, std::uint64_t seed = 1) {
  static constexpr const char* kMaterials[] = {"C30", "C35", "C40", "C45", "C50", "C55",
                                               "C60", "C65", "C70", "C75", "C80", "STEEL"};
  struct {
    std::uint64_t state;
    int Below(int n) {  // 0 .. n - 1
      std::uint64_t z = (state += 0x9E3779B97F4A7C15u);
      z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
      z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
      return static_cast<int>((z ^ (z >> 31)) % static_cast<std::uint64_t>(n));
    }
  } random{seed};
  auto length = [&](bool may_be_zero) {
    // A side of 0 is refused, but the draw is kept so that the rest stays as it was.
    const int whole = (may_be_zero && random.Below(40) == 0) ? 160 : 160 + random.Below(3000);
    switch (random.Below(4)) {
      case 0:
        return std::to_string(whole);
      case 1:
        return std::to_string(whole) + "." + std::to_string(random.Below(1000));
      case 2:
        return std::to_string(whole) + ".25E0";
      default:
        return std::to_string(whole / 10) + "." + std::to_string(random.Below(10)) + "e1";
    }
  };
  auto area = [&] {
    return random.Below(8) == 0
               ? std::string("0")
               : std::to_string(random.Below(6000)) + "." + std::to_string(random.Below(100));
  };
  auto integer = [&](int value) {
    char hex[16];
    return random.Below(10) == 0 ? (std::snprintf(hex, sizeof hex, "$%X", value), std::string(hex))
                                 : std::to_string(value);
  };

  std::string table = "NUM,NAME,CONC,STEEL,H,B,FX,FY,NX,NY,ASX,ASY,ASCOR,CC\r\n";
  for (int i = 1; i <= count; ++i) {
    int nx, ny, fx, fy;
    do {
      nx = random.Below(13);
      ny = random.Below(13);
      fx = random.Below(9);
      fy = random.Below(9);
    } while (2 * nx + 2 * ny + fx * fy + 4 > 60);
    // Built step by step: g++ 12 warns falsely about "S" + std::string.
    std::string name(1, 'S');
    name += std::to_string(i);
    name.append(static_cast<std::size_t>(random.Below(40 - static_cast<int>(name.size()) + 1)),
                static_cast<char>('A' + random.Below(26)));
    if (random.Below(50) == 0) name.clear();
    std::string h = length(true), b = length(true);
    if (h == "0" && b == "0") b = "300";
    const std::string cc = random.Below(30) == 0 ? "79.5" : std::to_string(20 + random.Below(60));
    table += std::to_string(i) + "," + name + "," + kMaterials[random.Below(12)] + "," +
             kMaterials[random.Below(12)] + "," + h + "," + b + "," + integer(fx) + "," +
             integer(fy) + "," + integer(nx) + "," + integer(ny) + "," + area() + "," + area() +
             "," + area() + "," + cc + "\r\n";
  }
  return table;
}

// FNV-1a, 64 bits: enough to tell two component files apart.
inline std::uint64_t Fnv1a64(std::string_view bytes) {
  std::uint64_t hash = 0xCBF29CE484222325u;
  for (unsigned char c : bytes) {
    hash ^= c;
    hash *= 0x100000001B3u;
  }
  return hash;
}

}  // namespace brenmoor::testing
