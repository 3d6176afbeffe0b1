#include "convert/plugin_host.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "TOOLS/dll_search.h"
#include "TOOLS/scoped.h"
#include "convert/plugin_module.h"
#include "tests/convert/plugin_test_folder.h"
#include "tests/convert/plugins/test_picture.h"
#include "tests/support/temp_folder.h"
#include "tests/support/trace_capture.h"

namespace {

using Lines = std::vector<std::string>;

const Lines NO_LINES;
const Lines ALL_CALLS = {"GetPluginInfo", "IsSupported", "GetPicture"};
const Lines INFO_CALL = {"GetPluginInfo"};
const Lines INFO_AND_SUPPORTED = {"GetPluginInfo", "IsSupported"};
const std::string FAULT_LINE = "plug-in call ended by exception C0000005\r\n";
const std::string NULL_HANDLE_LINE = "..\\..\\TOOLS\\toolsys(2176) : hLocal \r\n";
const std::string NULL_PROC_LINE = "..\\..\\TOOLS\\toolbase(968) : proc \r\n";
const unsigned char UNTOUCHED = 0xEE;

Lines CallsOf(const std::string& fileName, const Lines& calls) {
  Lines lines;
  for (const std::string& call : calls) lines.push_back(fileName + " " + call);
  return lines;
}

// One search pass over a plug-in folder of its own.
struct PluginSearch {
  PluginSearch() {
    std::memset(&picture, 0, sizeof picture);
    std::memset(picture.colors, UNTOUCHED, sizeof picture.colors);
  }
  ~PluginSearch() { std::free(bits); }

  std::string Source(const std::string& bytes) {
    std::string path = sources.file("picture.img");
    WriteFileBytes(path, bytes);
    return path;
  }
  unsigned char* Load(const std::string& source, const char* pattern = "*.spi") {
    std::free(bits);
    bits = LoadPictureWithPlugins(source.c_str(), &picture, plugins.path().c_str(), pattern);
    return bits;
  }
  void ExpectHandedOutHandlesFreed(const std::string& fileName) const {
    for (HLOCAL handle : plugins.HandedOutHandles(fileName))
      EXPECT_EQ(static_cast<UINT>(LMEM_INVALID_HANDLE), LocalFlags(handle)) << fileName;
  }
  const unsigned char* ColorBytes() const {
    return reinterpret_cast<const unsigned char*>(picture.colors);
  }

  TempFolder sources;
  PluginTestFolder plugins;
  DibPicture picture;
  unsigned char* bits = nullptr;
};

TEST(PluginHostTest, EachPluginBehaviourEndsTheAttemptAsExpected) {
  struct Case {
    const char* plugin;
    bool delivers;
    Lines calls;
    Lines traces;
  } cases[] = {
      {"plain", true, ALL_CALLS, NO_LINES},
      {"says_no", false, INFO_AND_SUPPORTED, NO_LINES},
      {"says_yes_fails", false, ALL_CALLS, NO_LINES},
      {"info_result_2", false, INFO_CALL, NO_LINES},
      {"info_result_17", false, INFO_CALL, NO_LINES},
      {"kind_am", false, INFO_CALL, NO_LINES},
      {"header_108", false, ALL_CALLS, NO_LINES},
      {"header_124", false, ALL_CALLS, NO_LINES},
      {"info_2040", true, ALL_CALLS, NO_LINES},
      {"pixels_short", false, ALL_CALLS, NO_LINES},
      {"pixels_long", true, ALL_CALLS, NO_LINES},
      {"top_down", true, ALL_CALLS, NO_LINES},
      {"masks16", true, ALL_CALLS, NO_LINES},
      {"masks32", true, ALL_CALLS, NO_LINES},
      {"oversized", false, ALL_CALLS, NO_LINES},
      {"no_pixel_handle", false, ALL_CALLS, {NULL_HANDLE_LINE}},
      {"no_getpicture", false, INFO_CALL, {NULL_PROC_LINE}},
      {"fault_info", false, INFO_CALL, {FAULT_LINE}},
      {"fault_supported", false, INFO_AND_SUPPORTED, {FAULT_LINE}},
      {"fault_picture", false, ALL_CALLS, {FAULT_LINE}},
      // The source is no PPM file.
      {"ppm", false, INFO_AND_SUPPORTED, NO_LINES},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.plugin);
    PluginSearch search;
    std::string fileName = std::string(c.plugin) + ".spi";
    search.plugins.Add(c.plugin);
    std::string source = search.Source("some picture");
    TraceCapture trace;
    EXPECT_EQ(c.delivers, search.Load(source) != nullptr);
    EXPECT_EQ(c.traces, trace.lines());
    EXPECT_EQ(CallsOf(fileName, c.calls), search.plugins.Calls());
    search.ExpectHandedOutHandlesFreed(fileName);
  }
}

TEST(PluginHostTest, PlainPictureArrivesWholeWithNoColourBytes) {
  PluginSearch search;
  search.plugins.Add("plain");
  ASSERT_NE(nullptr, search.Load(search.Source("x")));
  const BITMAPINFOHEADER& header = search.picture.header;
  EXPECT_EQ(40u, header.biSize);
  EXPECT_EQ(3, header.biWidth);
  EXPECT_EQ(2, header.biHeight);
  EXPECT_EQ(24, header.biBitCount);
  EXPECT_EQ(0u, header.biCompression);
  for (size_t i = 0; i < 24; ++i) EXPECT_EQ(TestPixelByte(i), search.bits[i]) << i;
  for (size_t i = 0; i < sizeof search.picture.colors; ++i)
    ASSERT_EQ(UNTOUCHED, search.ColorBytes()[i]) << i;
}

TEST(PluginHostTest, InfoBlockOf2040BytesFillsTheWholeColourTable) {
  PluginSearch search;
  search.plugins.Add("info_2040");
  ASSERT_NE(nullptr, search.Load(search.Source("x")));
  EXPECT_EQ(8, search.picture.header.biBitCount);
  for (size_t i = 0; i < sizeof search.picture.colors; ++i)
    ASSERT_EQ(TestInfoTailByte(i), search.ColorBytes()[i]) << i;
}

TEST(PluginHostTest, LargerPixelBlockIsCopiedWhole) {
  PluginSearch search;
  search.plugins.Add("pixels_long");
  ASSERT_NE(nullptr, search.Load(search.Source("x")));
  ASSERT_EQ(24u + 64u, _msize(search.bits));
  for (size_t i = 0; i < 24 + 64; ++i) ASSERT_EQ(TestPixelByte(i), search.bits[i]) << i;
}

TEST(PluginHostTest, TopDownPictureArrivesBottomUpWithPositiveHeight) {
  PluginSearch search;
  search.plugins.Add("top_down");
  ASSERT_NE(nullptr, search.Load(search.Source("x")));
  EXPECT_EQ(2, search.picture.header.biWidth);
  EXPECT_EQ(3, search.picture.header.biHeight);
  EXPECT_EQ(24, GetDibImageSize(search.picture.header));
  const size_t stride = 8;
  for (size_t row = 0; row < 3; ++row)
    for (size_t i = 0; i < stride; ++i)
      EXPECT_EQ(TestPixelByte((2 - row) * stride + i), search.bits[row * stride + i])
          << row << " " << i;
}

TEST(PluginHostTest, ColourMasksOfABitFieldPictureReachTheColourTable) {
  for (const char* plugin : {"masks16", "masks32"}) {
    SCOPED_TRACE(plugin);
    PluginSearch search;
    search.plugins.Add(plugin);
    ASSERT_NE(nullptr, search.Load(search.Source("x")));
    const BITMAPINFOHEADER& header = search.picture.header;
    EXPECT_EQ(DIB_COMPRESSION_BITFIELDS, header.biCompression);
    uint32_t expected[3];
    GetTestMasks(header.biBitCount, expected);
    uint32_t masks[3];
    std::memcpy(masks, search.picture.colors, sizeof masks);
    EXPECT_EQ(expected[0], masks[0]);
    EXPECT_EQ(expected[1], masks[1]);
    EXPECT_EQ(expected[2], masks[2]);
    EXPECT_EQ(UNTOUCHED, search.ColorBytes()[sizeof masks]);
  }
}

TEST(PluginHostTest, PpmPluginDecodesARealPictureBottomUp) {
  PluginSearch search;
  search.plugins.Add("ppm");
  // Top row red, green; bottom row blue, white.
  std::string samples("\xFF\x00\x00" "\x00\xFF\x00" "\x00\x00\xFF" "\xFF\xFF\xFF", 12);
  ASSERT_NE(nullptr, search.Load(search.Source(MakePpm(2, 2, samples))));
  EXPECT_EQ(2, search.picture.header.biWidth);
  EXPECT_EQ(2, search.picture.header.biHeight);
  EXPECT_EQ(24, search.picture.header.biBitCount);
  // Blue, green, red per pixel; rows of 8 bytes, the bottom row first.
  std::string expected("\xFF\x00\x00" "\xFF\xFF\xFF" "\x00\x00"
                       "\x00\x00\xFF" "\x00\xFF\x00" "\x00\x00", 16);
  EXPECT_EQ(expected, std::string(reinterpret_cast<char*>(search.bits), 16));
}

TEST(PluginHostTest, IsSupportedSeesTheFileHeadFollowedByZeros) {
  struct Case {
    size_t fileSize;
    size_t headBytes;
  } cases[] = {{0, 0}, {10, 10}, {2048, 2048}, {3000, 2048}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fileSize);
    PluginSearch search;
    search.plugins.Add("says_no");
    std::string bytes;
    for (size_t i = 0; i < c.fileSize; ++i) bytes += static_cast<char>(i % 251 + 1);
    EXPECT_EQ(nullptr, search.Load(search.Source(bytes)));
    std::string expected = bytes.substr(0, c.headBytes) + std::string(2048 - c.headBytes, '\0');
    EXPECT_EQ(expected, search.plugins.Head("says_no.spi"));
  }
}

TEST(PluginHostTest, SourceThatCannotBeOpenedLoadsNoPlugin) {
  PluginSearch search;
  search.plugins.Add("plain");
  EXPECT_EQ(nullptr, search.Load(search.sources.file("missing.img")));
  EXPECT_EQ(NO_LINES, search.plugins.Calls());
}

TEST(PluginHostTest, PluginThatSaysYesAndFailsLeavesTheSearchGoing) {
  PluginSearch search;
  search.plugins.Add("says_yes_fails", "a_fails.spi");
  search.plugins.Add("plain", "b_plain.spi");
  ASSERT_NE(nullptr, search.Load(search.Source("x")));
  Lines expected = CallsOf("a_fails.spi", ALL_CALLS);
  for (const std::string& line : CallsOf("b_plain.spi", ALL_CALLS)) expected.push_back(line);
  EXPECT_EQ(expected, search.plugins.Calls());
}

TEST(PluginHostTest, FaultingPluginsFailAloneAndALaterPluginStillDelivers) {
  PluginSearch search;
  search.plugins.Add("fault_info", "a_fault_info.spi");
  search.plugins.Add("fault_supported", "b_fault_supported.spi");
  search.plugins.Add("fault_picture", "c_fault_picture.spi");
  search.plugins.Add("plain", "d_plain.spi");
  TraceCapture trace;
  ASSERT_NE(nullptr, search.Load(search.Source("x")));
  EXPECT_EQ(Lines(3, FAULT_LINE), trace.lines());
  Lines expected = CallsOf("a_fault_info.spi", INFO_CALL);
  for (const Lines& more : {CallsOf("b_fault_supported.spi", INFO_AND_SUPPORTED),
                            CallsOf("c_fault_picture.spi", ALL_CALLS),
                            CallsOf("d_plain.spi", ALL_CALLS)})
    expected.insert(expected.end(), more.begin(), more.end());
  EXPECT_EQ(expected, search.plugins.Calls());
  search.ExpectHandedOutHandlesFreed("c_fault_picture.spi");
  for (size_t i = 0; i < 24; ++i) ASSERT_EQ(TestPixelByte(i), search.bits[i]) << i;
}

// Counts the access violations raised in this process, and handles none.
class AccessViolationCounter {
 public:
  AccessViolationCounter() : handler_(AddVectoredExceptionHandler(1, Count)) { count = 0; }
  ~AccessViolationCounter() { RemoveVectoredExceptionHandler(handler_); }
  static LONG CALLBACK Count(EXCEPTION_POINTERS* info) {
    if (info->ExceptionRecord->ExceptionCode == EXCEPTION_ACCESS_VIOLATION) ++count;
    return EXCEPTION_CONTINUE_SEARCH;
  }
  static int count;

 private:
  void* handler_;
};
int AccessViolationCounter::count;

TEST(PluginHostTest, FaultThatAPluginCatchesItselfIsLeftToThePlugin) {
  PluginSearch search;
  search.plugins.Add("probes_memory");
  TraceCapture trace;
  AccessViolationCounter faults;
  EXPECT_NE(nullptr, search.Load(search.Source("x")));
  EXPECT_LE(1, faults.count);
  EXPECT_EQ(NO_LINES, trace.lines());
  EXPECT_EQ(CallsOf("probes_memory.spi", ALL_CALLS), search.plugins.Calls());
}

TEST(PluginHostTest, IfPluginIsTriedInTheFirstPassAndAgainInTheSecond) {
  PluginSearch search;
  search.plugins.Add("says_yes_fails", "if_fails.spi");
  search.plugins.Add("plain", "plain.spi");
  std::string source = search.Source("x");
  EXPECT_EQ(nullptr, search.Load(source, "if*.spi"));
  EXPECT_EQ(CallsOf("if_fails.spi", ALL_CALLS), search.plugins.Calls());
  EXPECT_NE(nullptr, search.Load(source, "*.spi"));
  Lines expected = CallsOf("if_fails.spi", ALL_CALLS);
  for (const Lines& more : {CallsOf("if_fails.spi", ALL_CALLS), CallsOf("plain.spi", ALL_CALLS)})
    expected.insert(expected.end(), more.begin(), more.end());
  EXPECT_EQ(expected, search.plugins.Calls());
}

TEST(PluginHostTest, FilesAndFoldersThatAreNoPluginsArePassedOver) {
  PluginSearch search;
  WriteFileBytes(search.plugins.file("a_notes.spi"), "not a library");
  CreateDirectoryA(search.plugins.file("b_folder.spi").c_str(), nullptr);
  search.plugins.Add("plain", "c_plain.spi");
  TraceCapture trace;
  EXPECT_NE(nullptr, search.Load(search.Source("x")));
  EXPECT_EQ(NO_LINES, trace.lines());
  EXPECT_EQ(CallsOf("c_plain.spi", ALL_CALLS), search.plugins.Calls());
}

TEST(PluginHostTest, SearchLeavesThePluginFolderCurrent) {
  for (bool delivers : {false, true}) {
    PluginSearch search;
    if (delivers) search.plugins.Add("plain");
    std::string source = search.Source("x");
    EXPECT_EQ(delivers, search.Load(source) != nullptr);
    EXPECT_EQ(search.plugins.path(), CurrentDirectory());
  }
}

// The program takes the current folder out of the library search at start;
// a plug-in's own library beside it is still found, the plug-in folder being
// searched for the plug-in's imports. Without the library the plug-in cannot
// load at all, so the import is real.
TEST(PluginHostTest, PluginImportsItsOwnLibraryFromBesideItWhenTheCurrentFolderIsNotSearched) {
  ASSERT_TRUE(ExcludeCurrentFolderFromDllSearch());
  // Top row red, green; bottom row blue, white.
  std::string samples("\xFF\x00\x00" "\x00\xFF\x00" "\x00\x00\xFF" "\xFF\xFF\xFF", 12);
  std::string expected("\xFF\x00\x00" "\xFF\xFF\xFF" "\x00\x00"
                       "\x00\x00\xFF" "\x00\xFF\x00" "\x00\x00", 16);
  for (bool libraryBeside : {true, false}) {
    SCOPED_TRACE(libraryBeside);
    PluginSearch search;
    search.plugins.Add("ppm_helper");
    if (libraryBeside) search.plugins.AddLibrary("plugin_helper.dll");
    std::string source = search.Source(MakePpm(2, 2, samples));
    // Current, the plug-in folder is still not searched by name...
    ASSERT_TRUE(SetCurrentDirectoryA(search.plugins.path().c_str()));
    EXPECT_FALSE(ScopedLibrary(LoadLibraryA("plugin_helper.dll")));
    // ...and the search starts from somewhere else entirely.
    ASSERT_TRUE(SetCurrentDirectoryA(search.sources.path().c_str()));
    unsigned char* bits = search.Load(source);
    if (!libraryBeside) {
      EXPECT_EQ(nullptr, bits);
      EXPECT_EQ(NO_LINES, search.plugins.Calls());
      continue;
    }
    ASSERT_NE(nullptr, bits);
    EXPECT_EQ(CallsOf("ppm_helper.spi", ALL_CALLS), search.plugins.Calls());
    EXPECT_EQ(2, search.picture.header.biWidth);
    EXPECT_EQ(2, search.picture.header.biHeight);
    EXPECT_EQ(expected, std::string(reinterpret_cast<char*>(bits), 16));
  }
}

// A plug-in named relative to the current folder is made full first: its
// imports are still looked for beside it.
TEST(PluginHostTest, PluginNamedRelativeToTheCurrentFolderFindsItsOwnLibrary) {
  ASSERT_TRUE(ExcludeCurrentFolderFromDllSearch());
  PluginTestFolder plugins;
  plugins.Add("ppm_helper");
  plugins.AddLibrary("plugin_helper.dll");
  std::string folder = plugins.path();
  size_t split = folder.find_last_of('\\');
  ASSERT_TRUE(SetCurrentDirectoryA(folder.substr(0, split).c_str()));
  PluginModule plugin;
  std::string relative = folder.substr(split + 1) + "\\ppm_helper.spi";
  ASSERT_TRUE(OpenPluginModule(&plugin, relative.c_str())) << relative;
  EXPECT_TRUE(ClosePluginModule(&plugin));
}

}  // namespace
