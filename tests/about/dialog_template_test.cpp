// The template builder is platform-neutral: these tests build natively too.
#include "about/dialog_template.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "about/about_template.h"

namespace {

using Units = std::vector<uint16_t>;

Units ToUnits(const void* bytes, size_t size) {
  const unsigned char* p = static_cast<const unsigned char*>(bytes);
  Units units;
  for (size_t i = 0; i + 1 < size; i += 2) units.push_back(p[i] | (p[i + 1] << 8));
  return units;
}

Units Filled(const DialogTemplateDesc& dialog, const DialogItemDesc* items) {
  size_t size = LayoutDialogTemplate(&dialog, 0, nullptr, items);
  std::vector<unsigned char> buffer(size);
  EXPECT_EQ(size, LayoutDialogTemplate(&dialog, size, buffer.data(), items));
  return ToUnits(buffer.data(), size);
}

void Append(Units* units, std::initializer_list<uint16_t> more) {
  for (uint16_t unit : more) units->push_back(unit);
}

void AppendText(Units* units, const char16_t* text) {
  for (; *text; ++text) units->push_back(*text);
  units->push_back(0);
}

// The fixed parts as units: style and exStyle low half first.
void AppendFixed(Units* units, uint32_t style, uint32_t exStyle,
                 std::initializer_list<uint16_t> rest) {
  Append(units, {uint16_t(style & 0xFFFF), uint16_t(style >> 16), uint16_t(exStyle & 0xFFFF),
                 uint16_t(exStyle >> 16)});
  Append(units, rest);
}

Units ExpectedAboutTemplate() {
  Units units;
  AppendFixed(&units, 0x90C820C2, 0, {5, 0, 0, 38, 56});
  Append(&units, {0, 0, 0, 9});  // no menu, default class, empty title, 9 points
  AppendText(&units, u"ＭＳ Ｐゴシック");
  // 22 units so far: the first item starts at byte 44, no alignment needed.
  const struct {
    uint32_t style;
    uint16_t x, y, cx, cy, id;
  } statics[] = {{0x50000003, 7, 7, 20, 21, 100},
                 {0x50000000, 30, 7, 1, 8, 101},
                 {0x50000000, 30, 16, 1, 8, 102},
                 {0x50000000, 30, 25, 1, 8, 103}};
  for (const auto& item : statics) {
    AppendFixed(&units, item.style, 0, {item.x, item.y, item.cx, item.cy, item.id});
    Append(&units, {0xFFFF, 0x0082, 0, 0, 0});  // class, empty text, no data, alignment
  }
  AppendFixed(&units, 0x50020001, 0, {45, 35, 45, 14, 1});
  Append(&units, {0xFFFF, 0x0080});
  AppendText(&units, u"OK");
  Append(&units, {0, 0});  // no creation data, alignment
  return units;
}

TEST(AboutTemplateTest, MeasuresAndFillsAll188BytesItemByItem) {
  void* block = BuildAboutTemplate();
  ASSERT_NE(nullptr, block);
  const Units expected = ExpectedAboutTemplate();
  ASSERT_EQ(188u, expected.size() * 2);
  EXPECT_EQ(expected, ToUnits(block, 188));
  // Each item's fixed part where the worked size puts it: its id 16 bytes in.
  const struct {
    size_t offset;
    uint16_t id;
  } items[] = {{44, 100}, {72, 101}, {100, 102}, {128, 103}, {156, 1}};
  for (const auto& item : items) {
    SCOPED_TRACE(item.offset);
    EXPECT_EQ(0u, item.offset % 4);
    EXPECT_EQ(item.id, ToUnits(static_cast<char*>(block) + item.offset, 18)[8]);
  }
  std::free(block);
}

TEST(AboutTemplateTest, TheFillingPassNeverWritesPastItsCapacity) {
  DialogTemplateDesc dialog;
  DialogItemDesc items[ABOUT_ITEM_COUNT];
  DescribeAboutTemplate(&dialog, items);
  ASSERT_EQ(188u, LayoutDialogTemplate(&dialog, 0, nullptr, items));
  const Units full = ExpectedAboutTemplate();
  // Every capacity from none to more than enough, with a fence behind it.
  for (size_t capacity = 0; capacity <= 200; ++capacity) {
    SCOPED_TRACE(capacity);
    std::vector<unsigned char> buffer(capacity + 32, 0xAB);
    size_t written = LayoutDialogTemplate(&dialog, capacity, buffer.data(), items);
    EXPECT_LE(written, capacity);
    for (size_t i = capacity; i < buffer.size(); ++i) ASSERT_EQ(0xAB, buffer[i]) << "byte " << i;
    if (capacity >= 188) {
      EXPECT_EQ(188u, written);
      EXPECT_EQ(full, ToUnits(buffer.data(), 188));
    }
  }
  // Room for the header alone: exactly the header, and the header is right.
  std::vector<unsigned char> header(44);
  EXPECT_EQ(44u, LayoutDialogTemplate(&dialog, 44, header.data(), items));
  EXPECT_EQ(Units(full.begin(), full.begin() + 22), ToUnits(header.data(), 44));
}

struct EdgeCase {
  const char* name;
  DialogTemplateDesc dialog;
  std::vector<DialogItemDesc> items;
  Units expected;
};

const char16_t TITLE_A[] = u"A";
const char16_t EMPTY[] = u"";
const char16_t MENU_NAME[] = u"MN";
const char16_t FACE[] = u"Face";

Units Header(uint32_t style, uint16_t count, std::initializer_list<uint16_t> tail) {
  Units units;
  AppendFixed(&units, style, 0, {count, 1, 2, 3, 4});
  Append(&units, tail);
  return units;
}

Units Concat(Units a, std::initializer_list<uint16_t> b) {
  Append(&a, b);
  return a;
}

TEST(DialogTemplateTest, EdgeCasesOfTheElementEncodings) {
  const uint32_t ws = TEMPLATE_WS_CHILD;
  const EdgeCase cases[] = {
      {"no items, header ends even: nothing after it",
       {0, 0, 0, 1, 2, 3, 4, 0, nullptr, 0, nullptr, 0},
       {},
       Header(0, 0, {0, 0, 0})},
      {"no items, header ends odd: one alignment unit",
       {0, 0, 0, 1, 2, 3, 4, 0, TITLE_A, 0, nullptr, 0},
       {},
       Header(0, 0, {0, 0, 'A', 0, 0})},
      {"empty title string is one zero unit like a null title",
       {0, 0, 0, 1, 2, 3, 4, 0, EMPTY, 0, nullptr, 0},
       {},
       Header(0, 0, {0, 0, 0})},
      {"null face name: no font block whatever the size and style say",
       {0x40, 0, 0, 1, 2, 3, 4, 0, nullptr, 0, nullptr, 12},
       {},
       Header(0x40, 0, {0, 0, 0})},
      {"face name: point size and name",
       {0x40, 0, 0, 1, 2, 3, 4, 0, nullptr, 0, FACE, 12},
       {},
       Header(0x40, 0, {0, 0, 0, 12, 'F', 'a', 'c', 'e', 0})},
      {"ordinals up to 0xFFFF, string pointers above",
       {0, 0, 0, 1, 2, 3, 4, 0xFFFF, nullptr, TemplateName(MENU_NAME), nullptr, 0},
       {},
       Header(0, 0, {'M', 'N', 0, 0xFFFF, 0xFFFF, 0, 0})},
      {"item: class 0 is an ordinal, text 0 and empty text are one zero unit, WS_CHILD added",
       {0, 0, 2, 1, 2, 3, 4, 0, nullptr, 0, nullptr, 0},
       {{0, 0, 0x1, 0x20, 5, 6, 7, 8, 9}, {0x82, TemplateName(EMPTY), ws, 0, 1, 1, 1, 1, 10}},
       Concat(Header(0, 2, {0, 0, 0}),
              {0x1, 0x4000, 0x20, 0, 5, 6, 7, 8, 9,  0xFFFF, 0,    0, 0, 0,  //
               0,   0x4000, 0,    0, 1, 1, 1, 1, 10, 0xFFFF, 0x82, 0, 0, 0})},
      {"item: text as ordinal and as string, class as string",
       {0, 0, 2, 1, 2, 3, 4, 0, nullptr, 0, nullptr, 0},
       {{TemplateName(TITLE_A), 0x1234, 0, 0, 0, 0, 0, 0, 1},
        {0x80, TemplateName(MENU_NAME), 0, 0, 0, 0, 0, 0, 2}},
       Concat(Header(0, 2, {0, 0, 0}),
              {0, 0x4000, 0, 0, 0, 0, 0, 0, 1, 'A',    0,    0xFFFF, 0x1234, 0,  // ends even
               0, 0x4000, 0, 0, 0, 0, 0, 0, 2, 0xFFFF, 0x80, 'M',    'N',    0, 0, 0})},
      {"only itemCount entries are written",
       {0, 0, 0, 1, 2, 3, 4, 0, nullptr, 0, nullptr, 0},
       {{0x82, 0, 0, 0, 0, 0, 0, 0, 1}},
       Header(0, 0, {0, 0, 0})},
  };
  for (const EdgeCase& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(c.expected.size() * 2, LayoutDialogTemplate(&c.dialog, 0, nullptr, c.items.data()));
    EXPECT_EQ(c.expected, Filled(c.dialog, c.items.data()));
    void* block = BuildDialogTemplate(&c.dialog, c.items.data());
    ASSERT_NE(nullptr, block);
    EXPECT_EQ(c.expected, ToUnits(block, c.expected.size() * 2));
    std::free(block);
  }
}

TEST(DialogTemplateTest, WritersWithoutRoomWriteNothingAndReturnZero) {
  unsigned char buffer[8];
  std::memset(buffer, 0xAB, sizeof buffer);
  struct Case {
    const char* name;
    size_t capacity;
    size_t position;
    size_t (*write)(void*, size_t, size_t);
    size_t units;
  } cases[] = {
      {"word fits", 2, 0, [](void* b, size_t c, size_t p) { return WriteTemplateWord(b, c, p, 7); },
       1},
      {"word on an odd capacity", 3, 1,
       [](void* b, size_t c, size_t p) { return WriteTemplateWord(b, c, p, 7); }, 0},
      {"string needs its terminator", 4, 1,
       [](void* b, size_t c, size_t p) { return WriteTemplateString(b, c, p, u"ab"); }, 0},
      {"string fits exactly", 6, 0,
       [](void* b, size_t c, size_t p) { return WriteTemplateString(b, c, p, u"ab"); }, 3},
      {"alignment on an even position", 0, 2,
       [](void* b, size_t c, size_t p) { return AlignTemplateToDword(b, c, p); }, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::memset(buffer, 0xAB, sizeof buffer);
    EXPECT_EQ(c.units, c.write(buffer, c.capacity, c.position));
    for (size_t i = c.capacity; i < sizeof buffer; ++i) EXPECT_EQ(0xAB, buffer[i]);
  }
  // Measuring passes count without testing any bound.
  EXPECT_EQ(3u, WriteTemplateString(nullptr, 0, 1000, u"ab"));
  EXPECT_EQ(2u, WriteTemplateOrdinal(nullptr, 0, 1000, 5));
  EXPECT_EQ(1u, AlignTemplateToDword(nullptr, 0, 1001));
}

}  // namespace
