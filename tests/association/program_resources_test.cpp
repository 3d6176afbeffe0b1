// The resources as the resource compiler wrote them into the module: the
// association dialog's template, read back field by field, and the program
// icon's group.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "resources/resource_ids.h"

namespace {

const void* LoadJapaneseResource(LPCSTR type, int id, DWORD* size) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceExA(module, type, MAKEINTRESOURCEA(id),
                                MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
  if (!found) return nullptr;
  *size = SizeofResource(module, found);
  return LockResource(LoadResource(module, found));
}

// Reads a dialog template in order, as the dialog manager does.
class TemplateReader {
 public:
  explicit TemplateReader(const void* data) : p_(static_cast<const BYTE*>(data)) {}
  uint16_t Word() { return Take<uint16_t>(); }
  uint32_t Dword() { return Take<uint32_t>(); }
  int16_t Short() { return Take<int16_t>(); }
  BYTE Byte() { return Take<BYTE>(); }
  // A text, or a class or resource ordinal written as "#n".
  std::string NameOrOrdinal() {
    uint16_t first = *reinterpret_cast<const uint16_t*>(p_);
    if (first == 0xFFFF) {
      Word();
      return "#" + std::to_string(Word());
    }
    return Text();
  }
  std::string Text() {
    const wchar_t* text = reinterpret_cast<const wchar_t*>(p_);
    size_t length = std::wcslen(text);
    p_ += (length + 1) * sizeof(wchar_t);
    char bytes[512] = {};
    WideCharToMultiByte(932, 0, text, static_cast<int>(length), bytes, sizeof bytes - 1, nullptr,
                        nullptr);
    return bytes;
  }
  void AlignToDword(const void* start) {
    size_t offset = p_ - static_cast<const BYTE*>(start);
    p_ += (4 - offset % 4) % 4;
  }
  void Skip(size_t bytes) { p_ += bytes; }

 private:
  template <typename T>
  T Take() {
    T value;
    std::memcpy(&value, p_, sizeof value);
    p_ += sizeof value;
    return value;
  }
  const BYTE* p_;
};

struct Control {
  uint32_t id;
  std::string windowClass;  // the predefined classes as their ordinals
  std::string text;
  uint32_t style;
  int16_t x, y, cx, cy;
  bool operator==(const Control& o) const {
    return id == o.id && windowClass == o.windowClass && text == o.text && style == o.style &&
           x == o.x && y == o.y && cx == o.cx && cy == o.cy;
  }
};

std::ostream& operator<<(std::ostream& out, const Control& c) {
  return out << c.id << " " << c.windowClass << " \"" << c.text << "\" 0x" << std::hex << c.style
             << std::dec << " " << c.x << "," << c.y << "," << c.cx << "," << c.cy;
}

const char BUTTON[] = "#128";
const char EDIT[] = "#129";
const char STATIC[] = "#130";

const Control EXPECTED_CONTROLS[] = {
    {1100, BUTTON, "項目 [中央に表示] の追加", 0x50010003, 7, 9, 93, 10},
    {1106, BUTTON, "<< 詳細", 0x50010000, 104, 7, 28, 14},
    {1101, BUTTON, "", 0x50000007, 7, 25, 125, 53},
    {1123, STATIC, "メニュー", 0x50020002, 20, 42, 25, 8},
    {1103, EDIT, "", 0x50810080, 49, 37, 73, 14},
    {1124, STATIC, "ｺﾏﾝﾄﾞﾗｲﾝ", 0x50020002, 15, 60, 30, 8},
    {1104, EDIT, "", 0x50810080, 49, 56, 73, 14},
    {1200, BUTTON, "項目 [並べて表示] の追加", 0x50010003, 7, 88, 93, 10},
    {1206, BUTTON, "<< 詳細", 0x50010000, 104, 86, 28, 14},
    {1201, BUTTON, "", 0x50000007, 7, 102, 125, 53},
    {1223, STATIC, "メニュー", 0x50020002, 20, 119, 25, 8},
    {1203, EDIT, "", 0x50810080, 49, 114, 73, 14},
    {1224, STATIC, "ｺﾏﾝﾄﾞﾗｲﾝ", 0x50020002, 15, 137, 30, 8},
    {1204, EDIT, "", 0x50810080, 49, 133, 73, 14},
    {1300, BUTTON, "項目 [拡大して表示] の追加", 0x50010003, 7, 167, 98, 10},
    {1306, BUTTON, "<< 詳細", 0x50010000, 104, 165, 28, 14},
    {1301, BUTTON, "", 0x50000007, 7, 181, 125, 53},
    {1323, STATIC, "メニュー", 0x50020002, 20, 198, 25, 8},
    {1303, EDIT, "", 0x50810080, 49, 193, 73, 14},
    {1324, STATIC, "ｺﾏﾝﾄﾞﾗｲﾝ", 0x50020002, 15, 216, 30, 8},
    {1304, EDIT, "", 0x50810080, 49, 212, 73, 14},
    {1, BUTTON, "OK", 0x50010001, 32, 242, 50, 14},
    {2, BUTTON, "キャンセル", 0x50010000, 82, 242, 50, 14},
};

TEST(ProgramResourcesTest, AssociationTemplateIsTheJapaneseExtendedTemplate) {
  DWORD size = 0;
  const void* data = LoadJapaneseResource(RT_DIALOG, IDD_ASSOCIATION, &size);
  ASSERT_NE(nullptr, data);
  TemplateReader reader(data);
  EXPECT_EQ(1, reader.Word());
  EXPECT_EQ(0xFFFF, reader.Word());
  EXPECT_EQ(0u, reader.Dword());  // help id
  EXPECT_EQ(0u, reader.Dword());  // extended style
  EXPECT_EQ(0x84CC0040u, reader.Dword());
  uint16_t count = reader.Word();
  EXPECT_EQ(23, count);
  EXPECT_EQ(0, reader.Short());
  EXPECT_EQ(0, reader.Short());
  EXPECT_EQ(139, reader.Short());
  EXPECT_EQ(261, reader.Short());
  EXPECT_EQ("", reader.NameOrOrdinal());  // no menu
  EXPECT_EQ("", reader.NameOrOrdinal());  // the default dialog class
  EXPECT_EQ("Velmique の関連づけ", reader.Text());
  EXPECT_EQ(9, reader.Word());
  EXPECT_EQ(0, reader.Word());  // weight
  EXPECT_EQ(0, reader.Byte());  // italic
  EXPECT_EQ(0, reader.Byte());  // character set
  EXPECT_EQ("ＭＳ Ｐゴシック", reader.Text());

  std::vector<Control> controls;
  for (int i = 0; i < count && i < 23; ++i) {
    reader.AlignToDword(data);
    EXPECT_EQ(0u, reader.Dword()) << "help id of control " << i;
    EXPECT_EQ(0u, reader.Dword()) << "extended style of control " << i;
    Control c;
    c.style = reader.Dword();
    c.x = reader.Short();
    c.y = reader.Short();
    c.cx = reader.Short();
    c.cy = reader.Short();
    c.id = reader.Dword();
    c.windowClass = reader.NameOrOrdinal();
    c.text = reader.NameOrOrdinal();
    reader.Skip(reader.Word());  // creation data
    controls.push_back(c);
  }
  EXPECT_EQ(std::vector<Control>(std::begin(EXPECTED_CONTROLS), std::end(EXPECTED_CONTROLS)),
            controls);
}

#pragma pack(push, 2)
struct IconGroupEntry {
  BYTE width, height, colourCount, reserved;
  WORD planes, bitCount;
  DWORD bytesInResource;
  WORD id;
};
#pragma pack(pop)

TEST(ProgramResourcesTest, ProgramIconHasA32And16PixelImageOf16Colours) {
  DWORD size = 0;
  const BYTE* group =
      static_cast<const BYTE*>(LoadJapaneseResource(RT_GROUP_ICON, IDI_PROGRAM, &size));
  ASSERT_NE(nullptr, group);
  WORD header[3];
  std::memcpy(header, group, sizeof header);
  EXPECT_EQ(1, header[1]);  // icons, not cursors
  ASSERT_EQ(2, header[2]);
  int expectedSizes[] = {32, 16};
  for (int i = 0; i < 2; ++i) {
    IconGroupEntry entry;
    std::memcpy(&entry, group + sizeof header + i * sizeof entry, sizeof entry);
    EXPECT_EQ(expectedSizes[i], entry.width);
    EXPECT_EQ(expectedSizes[i], entry.height);
    EXPECT_EQ(16, entry.colourCount);
    EXPECT_EQ(4, entry.bitCount);
  }
}

}  // namespace
