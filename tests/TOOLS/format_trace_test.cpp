#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "TOOLS/bounded_format.h"
#include "TOOLS/debug_trace.h"
#include "tests/support/trace_capture.h"

namespace {

TEST(BoundedFormatTest, AlwaysTerminatesAndReportsCuts) {
  struct Case {
    size_t size;
    int result;
    const char* text;
  } cases[] = {
      {4, -1, "abc"}, {6, -1, "abcde"}, {7, 6, "abcdef"}, {100, 6, "abcdef"}, {1, -1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    char buffer[128];
    std::memset(buffer, 'Z', sizeof buffer);
    EXPECT_EQ(c.result, BoundedFormat(buffer, c.size, "%s", "abcdef"));
    EXPECT_STREQ(c.text, buffer);
    EXPECT_EQ('Z', buffer[c.size]) << "wrote past the buffer";
  }
}

TEST(BoundedFormatTest, SizeZeroTouchesNothingAndEmptyTextIsZero) {
  char buffer[4] = {'Z', 'Z', 'Z', 'Z'};
  EXPECT_EQ(-1, BoundedFormat(buffer, 0, "abc"));
  EXPECT_EQ('Z', buffer[0]);
  EXPECT_EQ(0, BoundedFormat(buffer, 4, "%s", ""));
  EXPECT_EQ(0, buffer[0]);
}

TEST(BoundedFormatTest, FormatsTheSystemsConversions) {
  char buffer[64];
  EXPECT_EQ(4, BoundedFormat(buffer, sizeof buffer, ".%03d", 85));
  EXPECT_STREQ(".085", buffer);
  EXPECT_EQ(14, BoundedFormat(buffer, sizeof buffer, "argv[%2d]=%s\r\n", 3, "abc"));
  EXPECT_STREQ("argv[ 3]=abc\r\n", buffer);
  EXPECT_EQ(4, BoundedFormat(buffer, sizeof buffer, "%04x", 0x411));
  EXPECT_STREQ("0411", buffer);
  // Code page 932 text counts in bytes: "％" and "：" are two bytes each.
  EXPECT_EQ(33, BoundedFormat(buffer, sizeof buffer, "システムリソース： %d ％使用可能", 100));
}

TEST(DebugTraceTest, SendsOneLineCutAt1023Characters) {
  TraceCapture trace;
  std::string longText(2000, 'x');
  EXPECT_LT(DebugTrace("%s", longText.c_str()), 0);
  EXPECT_EQ(6, DebugTrace("%s(%d)", "ab", 42));
  ASSERT_EQ(2u, trace.lines().size());
  EXPECT_EQ(std::string(1023, 'x'), trace.lines()[0]);
  EXPECT_EQ("ab(42)", trace.lines()[1]);
}

TEST(DebugTraceTest, CheckReportFormat) {
  TraceCapture trace;
  ReportFailedCheck(TOOLBASE_SOURCE, 968, "proc");
  ReportFailedCheck(TOOLWIND_SOURCE, 1499, "hWnd");
  ASSERT_EQ(2u, trace.lines().size());
  EXPECT_EQ("..\\..\\TOOLS\\toolbase(968) : proc \r\n", trace.lines()[0]);
  EXPECT_EQ("..\\..\\TOOLS\\toolwind(1499) : hWnd \r\n", trace.lines()[1]);
}

}  // namespace
