#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "TOOLS/toolwind.h"
#include "tests/support/gui_driver.h"
#include "tests/support/trace_capture.h"

namespace {

using Lines = std::vector<std::string>;

std::string WindLine(int line, const char* condition) {
  return std::string("..\\..\\TOOLS\\toolwind(") + std::to_string(line) + ") : " + condition +
         " \r\n";
}

// A real window, destroyed when the test is done with it.
class TestWindow {
 public:
  TestWindow(DWORD style, int x, int y, int width, int height, HWND parent = nullptr, int id = 0,
             const char* text = "")
      : window_(CreateWindowExA(0, "STATIC", text, style, x, y, width, height, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                GetModuleHandleA(nullptr), nullptr)) {}
  ~TestWindow() {
    if (IsWindow(window_)) DestroyWindow(window_);
  }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;
  HWND get() const { return window_; }

 private:
  HWND window_;
};

POINT PositionInParent(HWND child) {
  RECT rect = WindowRect(child);
  POINT point = {rect.left, rect.top};
  ScreenToClient(GetParent(child), &point);
  return point;
}

RECT WorkArea() {
  RECT area = {};
  EXPECT_TRUE(GetWorkArea(&area));
  return area;
}

TEST(WindowGeometryTest, PointsRectanglesAndWindowRectangles) {
  POINT point;
  EXPECT_TRUE(SetPoint(&point, 3, -4));
  EXPECT_TRUE(OffsetPoint(&point, -10, 20));
  EXPECT_EQ(-7, point.x);
  EXPECT_EQ(16, point.y);
  RECT rect = {10, 20, 110, 70};
  SIZE size;
  EXPECT_TRUE(GetRectSize(&rect, &size));
  EXPECT_EQ(100, size.cx);
  EXPECT_EQ(50, size.cy);
  EXPECT_EQ(100, GetRectWidth(&rect));
  EXPECT_EQ(50, GetRectHeight(&rect));

  // Hidden windows have their geometry too.
  TestWindow dialog(WS_POPUP, 120, 80, 300, 200);
  TestWindow item(WS_CHILD, 10, 30, 50, 20, dialog.get(), 7);
  EXPECT_TRUE(GetWindowPosition(dialog.get(), &point));
  EXPECT_EQ(120, point.x);
  EXPECT_EQ(80, point.y);
  EXPECT_TRUE(GetWindowSize(dialog.get(), &size));
  EXPECT_EQ(300, size.cx);
  EXPECT_EQ(200, size.cy);
  EXPECT_EQ(300, GetWindowWidth(dialog.get()));
  EXPECT_EQ(200, GetWindowHeight(dialog.get()));
  EXPECT_EQ(80, GetWindowTop(dialog.get()));
  EXPECT_EQ(280, GetWindowBottom(dialog.get()));
  EXPECT_EQ(110, GetDlgItemTop(dialog.get(), 7));
  EXPECT_EQ(130, GetDlgItemBottom(dialog.get(), 7));
  SetPoint(&point, 125, 90);
  EXPECT_TRUE(MakeWindowRelative(dialog.get(), &point));
  EXPECT_EQ(5, point.x);
  EXPECT_EQ(10, point.y);
}

TEST(WindowGeometryTest, MoveWindowByWorksInTheWindowsOwnCoordinates) {
  TestWindow owner(WS_POPUP, 100, 100, 300, 200);
  TestWindow item(WS_CHILD, 10, 20, 50, 20, owner.get(), 7);
  TestWindow owned(WS_POPUP, 200, 150, 80, 60, owner.get());
  ASSERT_EQ(owner.get(), GetParent(owned.get()));  // GetParent names the owner

  EXPECT_TRUE(MoveWindowBy(item.get(), 5, 7));
  POINT inDialog = PositionInParent(item.get());
  EXPECT_EQ(15, inDialog.x);
  EXPECT_EQ(27, inDialog.y);

  EXPECT_TRUE(MoveDlgItemVertically(owner.get(), 7, -12));
  inDialog = PositionInParent(item.get());
  EXPECT_EQ(15, inDialog.x);
  EXPECT_EQ(15, inDialog.y);

  EXPECT_TRUE(MoveWindowBy(owned.get(), 10, -20));
  RECT rect = WindowRect(owned.get());
  EXPECT_EQ(210, rect.left);
  EXPECT_EQ(130, rect.top);
  EXPECT_EQ(80, rect.right - rect.left);  // the size stays
  EXPECT_EQ(60, rect.bottom - rect.top);
}

TEST(WindowGeometryTest, ResizeWindowByKeepsTheTopLeftCorner) {
  TestWindow window(WS_POPUP, 50, 60, 300, 200);
  EXPECT_TRUE(ResizeWindowBy(window.get(), -40, -30));
  RECT rect = WindowRect(window.get());
  EXPECT_EQ(50, rect.left);
  EXPECT_EQ(60, rect.top);
  EXPECT_EQ(260, rect.right - rect.left);
  EXPECT_EQ(170, rect.bottom - rect.top);

  EXPECT_TRUE(SetWindowSize(window.get(), 120, 90));
  EXPECT_TRUE(MoveWindowTo(window.get(), 7, 9));
  rect = WindowRect(window.get());
  EXPECT_EQ(7, rect.left);
  EXPECT_EQ(9, rect.top);
  EXPECT_EQ(120, rect.right - rect.left);
  EXPECT_EQ(90, rect.bottom - rect.top);
}

TEST(WindowGeometryTest, ShowAndEnableReportTheirOutcomeNotThePreviousState) {
  TestWindow dialog(WS_POPUP, 0, 0, 200, 100);
  TestWindow item(WS_CHILD, 0, 0, 50, 20, dialog.get(), 7);
  auto styleVisible = [&] { return (GetWindowLongA(item.get(), GWL_STYLE) & WS_VISIBLE) != 0; };

  EXPECT_TRUE(ShowDlgItem(dialog.get(), 7, true));  // it was hidden before
  EXPECT_TRUE(styleVisible());
  EXPECT_TRUE(ShowDlgItem(dialog.get(), 7, true));
  EXPECT_TRUE(ShowDlgItem(dialog.get(), 7, false));
  EXPECT_FALSE(styleVisible());
  EXPECT_FALSE(ShowDlgItem(dialog.get(), 99, true));

  EXPECT_TRUE(EnableDlgItem(dialog.get(), 7, false));  // it was enabled before
  EXPECT_FALSE(IsWindowEnabled(item.get()));
  EXPECT_TRUE(EnableDlgItem(dialog.get(), 7, true));
  EXPECT_TRUE(IsWindowEnabled(item.get()));
  EXPECT_FALSE(EnableDlgItem(dialog.get(), 99, true));

  EXPECT_TRUE(InvalidateWindow(dialog.get()));
}

TEST(WindowGeometryTest, ShowingNeverActivates) {
  TestWindow active(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  SetForegroundWindow(active.get());
  SetActiveWindow(active.get());
  ASSERT_EQ(active.get(), GetActiveWindow());
  TestWindow other(WS_POPUP, 200, 200, 100, 100);
  EXPECT_TRUE(SetWindowVisible(other.get(), true));
  EXPECT_TRUE(IsWindowVisible(other.get()));
  EXPECT_EQ(active.get(), GetActiveWindow());
}

// Where CenterWindowAtCursor puts a window, given the cursor and the window
// size; the expected corner is computed from the work area the system
// reports.
TEST(CenterWindowAtCursorTest, CentresOnTheCursorInsideTheWorkArea) {
  CursorKeeper keeper;
  const RECT area = WorkArea();
  const int midX = (area.left + area.right) / 2;
  const int midY = (area.top + area.bottom) / 2;
  struct Case {
    const char* name;
    POINT cursor;
    SIZE size;
    POINT expected;
  } cases[] = {
      {"odd width: the left edge lies 150 left of the cursor", {midX, midY}, {301, 101},
       {midX - 150, midY - 50}},
      {"bottom-right corner", {area.right - 1, area.bottom - 1}, {200, 100},
       {area.right - 200, area.bottom - 100}},
      {"top-left corner", {area.left, area.top}, {200, 100}, {area.left, area.top}},
      {"larger than the work area", {midX, midY},
       {area.right - area.left + 200, area.bottom - area.top + 100}, {area.left, area.top}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestWindow window(WS_POPUP, 5, 5, c.size.cx, c.size.cy);
    ASSERT_EQ(c.size.cx, GetWindowWidth(window.get()));
    ASSERT_TRUE(MovePointerTo(c.cursor));
    CenterWindowAtCursor(window.get());
    RECT rect = WindowRect(window.get());
    EXPECT_EQ(c.expected.x, rect.left);
    EXPECT_EQ(c.expected.y, rect.top);
    EXPECT_EQ(c.size.cx, rect.right - rect.left);  // the size stays
    EXPECT_EQ(c.size.cy, rect.bottom - rect.top);
  }
}

TEST(CenterWindowAtCursorTest, PlacesAChildInItsParentsClientArea) {
  CursorKeeper keeper;
  const RECT area = WorkArea();
  TestWindow parent(WS_POPUP, area.left + 40, area.top + 30, 400, 300);
  TestWindow child(WS_CHILD, 0, 0, 100, 60, parent.get(), 3);
  ASSERT_TRUE(MovePointerTo(area.left + 240, area.top + 180));
  CenterWindowAtCursor(child.get());
  RECT rect = WindowRect(child.get());
  EXPECT_EQ(area.left + 190, rect.left);
  EXPECT_EQ(area.top + 150, rect.top);
}

// On one monitor, the monitor under any point of the desktop has the work
// area the system reports for the desktop: placement is exactly as before.
TEST(CenterWindowAtCursorTest, OneMonitorsWorkAreaIsTheDesktops) {
  const RECT area = WorkArea();
  const POINT points[] = {{area.left, area.top},
                          {area.right - 1, area.bottom - 1},
                          {(area.left + area.right) / 2, (area.top + area.bottom) / 2}};
  for (const POINT& point : points) {
    RECT monitorArea = {};
    EXPECT_TRUE(GetMonitorWorkArea(point, &monitorArea));
    EXPECT_TRUE(EqualRect(&area, &monitorArea)) << point.x << "," << point.y;
  }
}

// Two monitors side by side, made of the real desktop's two halves so that
// the real pointer can reach both; the right one's work area is shorter at
// both ends. While it lives, it answers for the system and keeps every
// point it was asked about.
class TwoMonitors {
 public:
  explicit TwoMonitors(const RECT& desktop) {
    split_ = (desktop.left + desktop.right) / 2;
    SetRect(&left_, desktop.left, desktop.top, split_, desktop.bottom);
    SetRect(&right_, split_, desktop.top + 20, desktop.right, desktop.bottom - 30);
    asked_.clear();
    answers_ = true;
    ReplaceMonitorWorkAreaReader(Answer);
  }
  ~TwoMonitors() { ReplaceMonitorWorkAreaReader(nullptr); }
  TwoMonitors(const TwoMonitors&) = delete;
  TwoMonitors& operator=(const TwoMonitors&) = delete;

  // As a system that cannot tell any work area.
  void FailEveryQuery() { answers_ = false; }
  const RECT& left() const { return left_; }
  const RECT& right() const { return right_; }
  const std::vector<POINT>& asked() const { return asked_; }

 private:
  static bool Answer(POINT point, RECT* rect) {
    asked_.push_back(point);
    if (!answers_) return false;
    *rect = point.x < split_ ? left_ : right_;
    return true;
  }
  static int split_;
  static RECT left_, right_;
  static bool answers_;
  static std::vector<POINT> asked_;
};
int TwoMonitors::split_ = 0;
RECT TwoMonitors::left_ = {};
RECT TwoMonitors::right_ = {};
bool TwoMonitors::answers_ = true;
std::vector<POINT> TwoMonitors::asked_;

TEST(CenterWindowAtCursorTest, KeepsTheWindowOnTheMonitorUnderThePointer) {
  CursorKeeper keeper;
  TwoMonitors monitors(WorkArea());
  const RECT& r = monitors.right();
  const RECT& l = monitors.left();
  const int midY = (r.top + r.bottom) / 2;
  const int rightMidX = (r.left + r.right) / 2;
  struct Case {
    const char* name;
    POINT cursor;
    SIZE size;
    POINT expected;
  } cases[] = {
      {"right monitor, near its left edge", {r.left + 10, midY}, {200, 100},
       {r.left, midY - 50}},
      {"right monitor, near its right edge", {r.right - 5, midY}, {200, 100},
       {r.right - 200, midY - 50}},
      {"right monitor, near its top edge", {rightMidX, r.top + 3}, {200, 100},
       {rightMidX - 100, r.top}},
      {"right monitor, near its bottom edge", {rightMidX, r.bottom - 2}, {200, 100},
       {rightMidX - 100, r.bottom - 100}},
      {"larger than the right monitor", {rightMidX, midY},
       {r.right - r.left + 100, r.bottom - r.top + 80}, {r.left, r.top}},
      {"left monitor, near the right one", {l.right - 5, midY}, {200, 100},
       {l.right - 200, midY - 50}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestWindow window(WS_POPUP, 5, 5, c.size.cx, c.size.cy);
    ASSERT_TRUE(MovePointerTo(c.cursor));
    POINT cursor = {};
    GetCursorPos(&cursor);
    CenterWindowAtCursor(window.get());
    ASSERT_FALSE(monitors.asked().empty());
    EXPECT_EQ(cursor.x, monitors.asked().back().x);  // the pointer, not the window
    EXPECT_EQ(cursor.y, monitors.asked().back().y);
    RECT rect = WindowRect(window.get());
    EXPECT_EQ(c.expected.x, rect.left);
    EXPECT_EQ(c.expected.y, rect.top);
    EXPECT_EQ(c.size.cx, rect.right - rect.left);
    EXPECT_EQ(c.size.cy, rect.bottom - rect.top);
  }
}

// No work area to be had: the primary screen bounds the window.
TEST(CenterWindowAtCursorTest, WithoutAWorkAreaTheScreenBounds) {
  CursorKeeper keeper;
  TwoMonitors monitors(WorkArea());
  monitors.FailEveryQuery();
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  TestWindow window(WS_POPUP, 5, 5, screenWidth + 40, 100);
  ASSERT_TRUE(MovePointerTo(screenWidth - 1, screenHeight - 1));
  CenterWindowAtCursor(window.get());
  EXPECT_FALSE(monitors.asked().empty());
  RECT rect = WindowRect(window.get());
  EXPECT_EQ(0, rect.left);
  EXPECT_EQ(screenHeight - 100, rect.top);
}

TEST(CursorTest, ClientAreaExcludesTheRightAndBottomEdges) {
  CursorKeeper keeper;
  TestWindow window(WS_POPUP, 100, 120, 50, 40);
  struct Case {
    int x, y;
    bool inside;
  } cases[] = {{100, 120, true}, {149, 159, true}, {150, 130, false}, {120, 160, false},
               {99, 130, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
    ASSERT_TRUE(MovePointerTo(c.x, c.y));
    POINT point;
    EXPECT_TRUE(GetCursorClientPos(window.get(), &point));
    EXPECT_EQ(c.x - 100, point.x);
    EXPECT_EQ(c.y - 120, point.y);
    EXPECT_EQ(c.inside, IsCursorInClient(window.get()));
  }
}

TEST(MenuTest, FindMaximizeMenuItemGivesTheFirstPositionOrMinusOne) {
  HMENU menu = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING, SC_RESTORE, "a");
  AppendMenuA(menu, MF_STRING, SC_MOVE, "b");
  EXPECT_EQ(-1, FindMaximizeMenuItem(menu));
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(menu, MF_STRING, SC_MAXIMIZE, "c");
  AppendMenuA(menu, MF_STRING, SC_MAXIMIZE, "d");
  EXPECT_EQ(3, FindMaximizeMenuItem(menu));
  DestroyMenu(menu);
  EXPECT_EQ(-1, FindMaximizeMenuItem(nullptr));

  TestWindow dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MAXIMIZEBOX | WS_MINIMIZEBOX, 0, 0,
                    200, 100);
  HMENU system = GetSystemMenu(dialog.get(), FALSE);
  int position = FindMaximizeMenuItem(system);
  ASSERT_GE(position, 0);
  EXPECT_EQ(static_cast<UINT>(SC_MAXIMIZE), GetMenuItemID(system, position));
}

TEST(WindowTextTest, GetWindowTextAllocCopiesTheWholeText) {
  struct Case {
    const char* text;
  } cases[] = {{""}, {"a"}, {"表示する壁紙"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TestWindow window(WS_POPUP, 0, 0, 10, 10, nullptr, 0, c.text);
    char* text = GetWindowTextAlloc(window.get());
    ASSERT_NE(nullptr, text);
    EXPECT_STREQ(c.text, text);
    std::free(text);
  }
}

TEST(WindowFontTest, GetWindowFontInfoNeedsAFont) {
  TestWindow window(WS_POPUP, 0, 0, 10, 10);
  LOGFONTA info = {};
  EXPECT_FALSE(GetWindowFontInfo(window.get(), &info));

  LOGFONTA wanted = {};
  wanted.lfHeight = -17;
  wanted.lfUnderline = TRUE;
  lstrcpyA(wanted.lfFaceName, "Arial");
  HFONT font = CreateFontIndirectA(&wanted);
  SendMessageA(window.get(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  EXPECT_TRUE(GetWindowFontInfo(window.get(), &info));
  EXPECT_EQ(-17, info.lfHeight);
  EXPECT_TRUE(info.lfUnderline);
  EXPECT_STREQ("Arial", info.lfFaceName);
  SendMessageA(window.get(), WM_SETFONT, 0, FALSE);
  DeleteObject(font);
}

TEST(NotifyHeaderTest, NamesTheSenderAndItsIdentifier) {
  TestWindow dialog(WS_POPUP, 0, 0, 100, 100);
  TestWindow item(WS_CHILD, 0, 0, 10, 10, dialog.get(), 1234);
  NMHDR header;
  std::memset(&header, 0xCC, sizeof header);
  EXPECT_TRUE(InitNotifyHeader(&header, item.get(), 1025));
  EXPECT_EQ(item.get(), header.hwndFrom);
  EXPECT_EQ(1234u, header.idFrom);
  EXPECT_EQ(1025u, GetNotifyCode(&header));
}

TEST(IconTest, ModuleIconComesFromTheShellAndBelongsToTheCaller) {
  struct Case {
    UINT flags;
    int size;
  } cases[] = {{0, GetSystemMetrics(SM_CXICON)}, {1, GetSystemMetrics(SM_CXSMICON)}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flags);
    HICON icon = GetModuleIcon(nullptr, c.flags);
    ASSERT_NE(nullptr, icon);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bitmap = {};
    GetObjectA(info.hbmMask, sizeof bitmap, &bitmap);
    EXPECT_EQ(c.size, bitmap.bmWidth);
    DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);

    TestWindow window(WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 100, 100);
    EXPECT_EQ(nullptr, SetWindowIcon(window.get(), ICON_BIG, icon));
    EXPECT_EQ(icon, SetWindowIcon(window.get(), ICON_BIG, nullptr));
    EXPECT_TRUE(DestroyIcon(icon));
  }
  EXPECT_EQ(nullptr, GetFileIcon("Z:\\no\\such\\folder\\file.xyz-none", 0x100));
}

TEST(WindowCheckTest, ReportsEveryFailedConditionInOrder) {
  TestWindow dialog(WS_POPUP, 0, 0, 100, 100);
  TestWindow item(WS_CHILD, 0, 0, 10, 10, dialog.get(), 7);
  HWND destroyed = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
  DestroyWindow(destroyed);
  struct Case {
    const char* name;
    bool (*check)(HWND, HWND);
    bool result;
    Lines lines;
  } cases[] = {
      {"window fine", [](HWND d, HWND) { return IsValidWindow(d); }, true, {}},
      {"window null", [](HWND, HWND) { return IsValidWindow(nullptr); }, false,
       {WindLine(1499, "hWnd")}},
      {"window destroyed", [](HWND, HWND x) { return IsValidWindow(x); }, false,
       {WindLine(1500, "IsWindow( hWnd )")}},
      {"item fine", [](HWND d, HWND) { return IsValidDlgItem(d, 7); }, true, {}},
      {"item missing", [](HWND d, HWND) { return IsValidDlgItem(d, 8); }, false,
       {WindLine(1499, "hWnd"), WindLine(1249, "IsValidWindow( hwndCtrl )")}},
      {"dialog destroyed", [](HWND, HWND x) { return IsValidDlgItem(x, 7); }, false,
       {WindLine(1500, "IsWindow( hWnd )"), WindLine(1246, "IsValidWindow( hwndDlg )")}},
      {"dialog null", [](HWND, HWND) { return IsValidDlgItem(nullptr, 7); }, false,
       {WindLine(1499, "hWnd"), WindLine(1246, "IsValidWindow( hwndDlg )")}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TraceCapture trace;
    EXPECT_EQ(c.result, c.check(dialog.get(), destroyed));
    EXPECT_EQ(c.lines, trace.lines());
  }
}

}  // namespace
