#include "output/component_writer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "model/errors.h"
#include "model/section_properties.h"
#include "output/component_reader.h"
#include "tests/reference_writer.h"
#include "tests/test_sections.h"

namespace brenmoor {
namespace {

using testing::MakeSection;

std::string FileOf(BrenmoorState& state) {
  PrepareSections(state);
  StringSink sink;
  WriteComponentFile(state, sink);
  return sink.bytes();
}

std::string Hex(const std::string& bytes, std::size_t offset, std::size_t size) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (std::size_t i = offset; i < offset + size && i < bytes.size(); ++i) {
    if (!out.empty()) out += ' ';
    const auto b = static_cast<unsigned char>(bytes[i]);
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
  }
  return out;
}

std::string Repeat(const std::string& part, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += part;
  return out;
}

std::string Padded(const std::string& text, std::size_t width) {
  return text + std::string(width - text.size(), ' ');
}

constexpr std::size_t kBlock = 68;  // the first block starts after the header

TEST(WriteComponentFile, DefaultSectionByteForByte) {
  BrenmoorState state = testing::StateWith(testing::DefaultSection());
  const std::string file = FileOf(state);
  ASSERT_EQ(file.size(), 4355u);

  const std::string header = std::string("PF3CMP\0\0", 8) + Padded("KAVOSEC", 60);
  EXPECT_EQ(file.substr(0, 68), header);
  EXPECT_EQ(Hex(file, kBlock, 4), "02 00 0F 00");
  EXPECT_EQ(file.substr(kBlock + 4, 40), Padded("COLSEC1", 40));
  EXPECT_EQ(Hex(file, kBlock + 44, 2), "01 00");
  EXPECT_EQ(file.substr(kBlock + 46, 44), std::string(44, '\0'));
  EXPECT_EQ(Hex(file, kBlock + 90, 5), "0F 02 02 3C 04");
  EXPECT_EQ(file.substr(kBlock + 95, 110), std::string(110, '\0'));
  EXPECT_EQ(Hex(file, kBlock + 205, 4), "00 00 80 3F");
  EXPECT_EQ(file.substr(kBlock + 209, 60), std::string(60, '\0'));

  const struct {
    std::size_t offset;
    const char* bytes;
  } fields[] = {
      {269, "00 40 BA 45"},  // steel area sum 5960
      {273, "E6 3C 39 4D"},  // steel Ay2 sum
      {277, "E6 3C 39 4D"},  // steel Ax2 sum
      {281, "00 00 00 00 00 00 00 00"},
      {289, "F9 23 74 48"},  // concrete area sum 249999.890625
      {293, "A3 E8 96 4F"},  // concrete Ay2 sum
      {297, "A5 E8 96 4F"},  // concrete Ax2 sum, last bits differ from Ay2
      {349, "49 29 03 50"},  // torsion constant 8802083840
      {353, "00 14 4D 46"},  // shear modulus 13125
      {357, "55 73 4B 48"},  // shear area 208333.328125
      {361, "55 73 4B 48"},
      {365, "00 14 4D 46"},
      {489, "00 00"},                    // fiber 1 is steel
      {489 + 2 * 24, "01 00"},           // fiber 25 is concrete
      {609, "0B 00"},                    // fiber 1 is STEEL
      {609 + 2 * 24, "01 00"},           // fiber 25 is C35
      {729, "00 00 48 43"},              // fiber 1 area 200
      {729 + 4 * 20, "00 00 F5 43"},     // fiber 21 area 490
      {729 + 4 * 24, "8E 03 D9 45"},     // fiber 25 area 6944.4443359375
      {969, "00 00 52 43 00 00 0C C3"},  // fiber 1: y 210, x -140
      {1449, "04 04 04 04 00 00 00 00 01 01 01 01 00 00 00 00"},
      {1481, "0B 00 0B 00 0B 00 0B 00 00 00 00 00 00 00 00 00"},
      {1497, "00 00 52 C3 00 00 52 C3 00 00 52 43 00 00 52 43"},
      {1513, "00 00 52 43 00 00 52 C3 00 00 52 C3 00 00 52 43"},
      {4279, "00 00 00 00 00 00"},
  };
  for (const auto& f : fields) {
    SCOPED_TRACE(f.offset);
    EXPECT_EQ(Hex(file, kBlock + f.offset, (std::strlen(f.bytes) + 1) / 3), f.bytes);
  }
  EXPECT_EQ(file.substr(kBlock + 369, 60), std::string(60, '\x04'));
  EXPECT_EQ(file.substr(kBlock + 429, 60), std::string(60, '\x01'));
  EXPECT_EQ(file.substr(kBlock + 1465, 16), std::string(16, '\0'));
  EXPECT_EQ(file.substr(kBlock + 1529, 62), std::string(62, '\0'));

  const std::string steel = std::string(2, '\0') + Padded("STEEL", 40);
  const std::string concrete = std::string("\x01\x00", 2) + Padded("C35", 40);
  EXPECT_EQ(file.substr(kBlock + 1591, 42 * 64),
            Repeat(steel, 24) + Repeat(concrete, 36) + Repeat(steel, 4));
  EXPECT_EQ(Hex(file, 4353, 2), "FF FF");
}

TEST(WriteComponentFile, SizesAndNumbering) {
  const TSECTION all_bars = MakeSection({"BARS", 2, 500, 500, 40, 5, 5, 0, 6, 1000, 1000, 490});
  const struct {
    const char* what;
    BrenmoorState state;
    std::size_t size;
  } cases[] = {
      {"no sections", testing::StateWith(), 70},
      {"24 fibers, all bars", testing::StateWith(all_bars), 70 + 2773},
      {"600 by 400, 42 fibers", testing::StateWith(testing::Section600x400()), 70 + 1765 + 42 * 42},
      {"three sections",
       testing::StateWith(testing::DefaultSection(), all_bars, testing::Section600x400()),
       70 + 4285 + 2773 + 1765 + 42 * 42},
  };
  for (auto c : cases) {
    SCOPED_TRACE(c.what);
    const std::string file = FileOf(c.state);
    EXPECT_EQ(file.size(), c.size);
    EXPECT_EQ(Hex(file, file.size() - 2, 2), "FF FF");
    std::size_t block = kBlock;
    for (int i = 1; i <= c.state.imported_count; ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(Hex(file, block, 4), "02 00 0F 00");
      EXPECT_EQ(static_cast<int>(static_cast<unsigned char>(file[block + 44])), i);
      block += 1765 + 42 * c.state.records[i].fiber_count;
    }
    EXPECT_EQ(block + 2, file.size());
  }
}

TEST(WriteComponentFile, AllBarSectionEndsItsArraysInZeros) {
  BrenmoorState state =
      testing::StateWith(MakeSection({"BARS", 2, 500, 500, 40, 5, 5, 0, 6, 1000, 1000, 490}));
  const std::string block = FileOf(state).substr(kBlock, 2773);
  EXPECT_EQ(Hex(block, 93, 1), "18");
  EXPECT_EQ(block.substr(369, 60), std::string(24, '\x04') + std::string(36, '\0'));
  EXPECT_EQ(block.substr(969 + 8 * 24, 8 * 36), std::string(8 * 36, '\0'));
  const std::string steel = std::string(2, '\0') + Padded("STEEL", 40);
  EXPECT_EQ(block.substr(1591, 42 * 28) + block.substr(1591 + 42 * 28),
            Repeat(steel, 28) + std::string(6, '\0'));
}

TEST(WritePaddedText, PadsToTheWidthAndNeverCuts) {
  const struct {
    int width;
    std::string text, expect;
  } cases[] = {
      {40, "", std::string(40, ' ')},
      {40, std::string(40, 'N'), std::string(40, 'N')},
      {40, std::string(41, 'N'), std::string(41, 'N')},
      {6, "\xE6\x9F\xB1", "\xE6\x9F\xB1   "},  // widths count bytes
      {100, "KAVOSEC", "KAVOSEC" + std::string(93, ' ')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    StringSink sink;
    WritePaddedText(sink, c.width, c.text);
    EXPECT_EQ(sink.bytes(), c.expect);
  }
}

TEST(WriteZeros, WritesNothingForZeroOrLess) {
  for (int count : {-5, 0, 1, 300}) {
    StringSink sink;
    WriteZeros(sink, count);
    EXPECT_EQ(sink.bytes(), std::string(std::max(count, 0), '\0'));
  }
}

TEST(ReadComponentFile, RefusesDamagedFiles) {
  BrenmoorState state = testing::StateWith(testing::DefaultSection());
  const std::string good = FileOf(state);
  auto with = [&](std::size_t offset, char byte, std::size_t offset2 = 0, char byte2 = 0) {
    std::string bad = good;
    bad[offset] = byte;
    if (offset2 > 0) bad[offset2] = byte2;
    return bad;
  };
  const struct {
    const char* what;
    std::string bytes;
    const char* message;
  } cases[] = {
      {"empty", "", "Not a valid component file: the file ends early at offset 0"},
      {"wrong magic", with(0, 'Q'),
       "Not a valid component file: wrong magic (not a component file) at offset 0"},
      {"no end mark", good.substr(0, good.size() - 2),
       "Not a valid component file: the file ends without its end mark at offset 4353"},
      {"cut short", good.substr(0, 2000),
       "Not a valid component file: the file ends early at offset 162"},
      {"trailing byte", good + "x",
       "Not a valid component file: the file ends early at offset 4353"},
      {"fiber count above 60", with(kBlock + 93, 61),
       "Not a valid component file: fiber count 61 above 60 at offset 162"},
      {"wrong section number", with(kBlock + 44, 2),
       "Not a valid component file: section number 2 where 1 belongs at offset 114"},
      {"fiber count too small for the block", with(kBlock + 93, 59),
       "Not a valid component file: wrong fiber item bytes at offset 437"},
      // Every byte the writer fixes, and values no import makes.
      {"model name", with(8, 'Q'), "Not a valid component file: wrong model name at offset 8"},
      {"material index 200", with(kBlock + 609, static_cast<char>(200)),
       "Not a valid component file: fiber 1 of material index 200 outside the 12 materials at "
       "offset 677"},
      {"fiber type 7", with(kBlock + 489, 7),
       "Not a valid component file: fiber 1 of type 7 (0 steel, 1 concrete) at offset 557"},
      {"steel index 99", with(kBlock + 1481, 99),
       "Not a valid component file: steel material index 99 outside the 12 materials at offset "
       "1549"},
      {"steel indexes differ", with(kBlock + 1483, 3),
       "Not a valid component file: wrong steel material indexes at offset 1549"},
      {"garbled material name", with(kBlock + 1591 + 42 + 3, 'X'),
       "Not a valid component file: wrong material entry at offset 1701"},
      {"junk in a trailing entry", with(kBlock + 1591 + 42 * 60 + 2, 'X'),
       "Not a valid component file: wrong trailing material entry at offset 4179"},
      {"NaN shear modulus", with(kBlock + 355, '\xC0', kBlock + 356, '\x7F'),
       "Not a valid component file: shear modulus that is not a number at offset 421"},
      {"second shear modulus", with(kBlock + 366, 1),
       "Not a valid component file: wrong second shear modulus at offset 433"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      ReadComponentFile(c.bytes);
      ADD_FAILURE() << "accepted";
    } catch (const Error& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
}

}  // namespace
}  // namespace brenmoor
