#include "about/link_label.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "about/link_tooltip.h"
#include "tests/support/gui_driver.h"

namespace {

struct Notification {
  UINT code;
  DWORD keyState;
  DWORD position;
  bool captureHeld;  // whether anyone held the mouse capture when it arrived
};

struct MouseMove {
  WPARAM wParam;
  LPARAM lParam;
};

// What the parent heard, and whether it sends hover and leave back.
struct ParentLog {
  bool reflect = true;
  std::vector<Notification> notifications;

  int count(UINT code) const {
    int n = 0;
    for (const Notification& note : notifications) n += note.code == code;
    return n;
  }
};

ParentLog* parentLog = nullptr;
std::vector<MouseMove>* controlMoves = nullptr;
HWND watchedControl = nullptr;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY && parentLog) {
    const NMLINKLABEL* record = reinterpret_cast<const NMLINKLABEL*>(lParam);
    parentLog->notifications.push_back(
        {record->hdr.code, record->keyState, record->position, GetCapture() != nullptr});
    bool lookChange = record->hdr.code == LLN_HOVER || record->hdr.code == LLN_LEAVE;
    if (parentLog->reflect && lookChange) {
      return SendMessageA(record->hdr.hwndFrom, WM_NOTIFY, wParam, lParam);
    }
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// Every WM_MOUSEMOVE the control takes from the queue, as it came.
LRESULT CALLBACK WatchMoves(int code, WPARAM wParam, LPARAM lParam) {
  const MSG* message = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE && controlMoves && message->hwnd == watchedControl &&
      message->message == WM_MOUSEMOVE) {
    controlMoves->push_back({message->wParam, message->lParam});
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

const char PARENT_CLASS[] = "LinkLabelTestParent";
const int LINK_ID = 102;

// A visible parent at (100, 100) with one static link control in it, at
// screen (110, 110) to (310, 134), in a font of its own.
class LinkLabelTest : public testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ParentProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = PARENT_CLASS;
    RegisterClassA(&windowClass);
    parentLog = &log_;
    controlMoves = &moves_;
    parent_ = CreateWindowExA(0, PARENT_CLASS, "", WS_POPUP | WS_VISIBLE, 100, 100, 300, 100,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    control_ = CreateWindowExA(0, "STATIC", "http://link.example/", WS_CHILD | WS_VISIBLE, 10, 10,
                               200, 24, parent_, reinterpret_cast<HMENU>(LINK_ID),
                               GetModuleHandleA(nullptr), nullptr);
    watchedControl = control_;
    font_ = CreateFontA(-16, 0, 0, 0, FW_BOLD, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0,
                        NONANTIALIASED_QUALITY, 0, "ＭＳ Ｐゴシック");
    SendMessageA(control_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    hook_ = SetWindowsHookExA(WH_GETMESSAGE, WatchMoves, nullptr, GetCurrentThreadId());
    SetForegroundWindow(parent_);
    // Off the parent, and settled there, so no jump back from an earlier
    // move arrives during the test.
    ASSERT_TRUE(MovePointerTo(20, 20));
  }

  void TearDown() override {
    if (GetCapture()) ReleaseCapture();
    UnhookWindowsHookEx(hook_);
    DestroyWindow(parent_);
    DeleteObject(font_);
    parentLog = nullptr;
    controlMoves = nullptr;
    watchedControl = nullptr;
    UnregisterClassA(PARENT_CLASS, GetModuleHandleA(nullptr));
  }

  // Points in screen coordinates, by their place relative to the link.
  POINT Inside(int dx = 0) const { return {150 + dx, 120}; }
  POINT OutsideOnParent() const { return {150, 180}; }

  // Returns once the pointer has settled there and the control has handled
  // the moves that took it there.
  void MoveTo(POINT point) {
    EXPECT_TRUE(MovePointerTo(point)) << point.x << "," << point.y;
  }

  void ClickAt(POINT press, POINT release) {
    MoveTo(press);
    PressLeftButton();
    PumpMessages(60);
    MoveTo(release);
    ReleaseLeftButton();
    PumpMessages(60);
  }

  DWORD State() const {
    return static_cast<DWORD>(reinterpret_cast<UINT_PTR>(GetPropA(control_, LLPROP_CONTROLSTATE)));
  }

  ScreenPixels* Painted() {
    RedrawWindow(control_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PumpMessages(30);
    RECT rect;
    GetWindowRect(control_, &rect);
    return new ScreenPixels(rect);
  }

  ParentLog log_;
  std::vector<MouseMove> moves_;
  CursorKeeper cursorKeeper_;
  HWND parent_ = nullptr;
  HWND control_ = nullptr;
  HFONT font_ = nullptr;
  HHOOK hook_ = nullptr;
};

TEST_F(LinkLabelTest, EachMoveInsideSendsOneHoverWithItsOwnParameters) {
  ASSERT_TRUE(SubclassLinkLabel(control_));
  moves_.clear();
  for (int dx : {0, 7, 30, 31}) MoveTo(Inside(dx));
  ASSERT_FALSE(moves_.empty());
  // A jump back to the place before a move makes extra moves now and then;
  // each move still has its own hover, in order.
  std::vector<Notification> hovers;
  for (const Notification& note : log_.notifications) {
    if (note.code == LLN_HOVER) hovers.push_back(note);
  }
  ASSERT_EQ(moves_.size(), hovers.size());
  for (size_t i = 0; i < hovers.size(); ++i) {
    EXPECT_EQ(moves_[i].wParam, hovers[i].keyState);
    EXPECT_EQ(static_cast<DWORD>(moves_[i].lParam), hovers[i].position);
  }
  // Every place the pointer was taken to was reported, at x = 150 + dx - 110,
  // y = 120 - 110 in the control, and the last one last.
  for (int dx : {0, 7, 30, 31}) {
    const DWORD place = MAKELONG(40 + dx, 10);
    bool reported = false;
    for (const Notification& hover : hovers) reported |= hover.position == place;
    EXPECT_TRUE(reported) << dx;
  }
  EXPECT_EQ(static_cast<DWORD>(MAKELONG(71, 10)), hovers.back().position);

  // A move message as any sender may make it is passed on as it is.
  log_.notifications.clear();
  SendMessageA(control_, WM_MOUSEMOVE, MK_SHIFT | MK_CONTROL, MAKELPARAM(3, 5));
  ASSERT_EQ(1, log_.count(LLN_HOVER));
  EXPECT_EQ(static_cast<DWORD>(MK_SHIFT | MK_CONTROL), log_.notifications[0].keyState);
  EXPECT_EQ(static_cast<DWORD>(MAKELONG(3, 5)), log_.notifications[0].position);
}

TEST_F(LinkLabelTest, TheTimerReportsTheLeaveOnceTheCursorIsOutside) {
  ASSERT_TRUE(SubclassLinkLabel(control_));
  MoveTo(Inside());
  PumpMessages(100);  // the timer keeps running while the cursor stays inside
  EXPECT_EQ(0, log_.count(LLN_LEAVE));
  EXPECT_EQ(LLSTATE_HOT, State());
  MoveCursorTo(OutsideOnParent().x, OutsideOnParent().y);
  ASSERT_TRUE(PumpUntil([&] { return log_.count(LLN_LEAVE) > 0; }));
  PumpMessages(100);
  const Notification& leave = log_.notifications.back();
  EXPECT_EQ(LLN_LEAVE, leave.code);
  EXPECT_EQ(0u, leave.keyState);
  EXPECT_EQ(0u, leave.position);
  EXPECT_EQ(0u, State());
  // The leave ended the timer: nothing more comes while the cursor is away.
  log_.notifications.clear();
  PumpMessages(150);
  EXPECT_TRUE(log_.notifications.empty());
}

TEST_F(LinkLabelTest, PressAndReleaseInsideSendsOneClickAfterTheCaptureIsReleased) {
  ASSERT_TRUE(SubclassLinkLabel(control_));
  ClickAt(Inside(), Inside(20));
  ASSERT_EQ(1, log_.count(LLN_CLICK));
  for (const Notification& note : log_.notifications) {
    if (note.code != LLN_CLICK) continue;
    EXPECT_FALSE(note.captureHeld);
    EXPECT_EQ(0u, note.keyState);
    EXPECT_EQ(0u, note.position);
  }
  EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(LinkLabelTest, ReleasingOutsideSendsNoClickAndNoHoverFromOutside) {
  ASSERT_TRUE(SubclassLinkLabel(control_));
  MoveTo(Inside());
  PressLeftButton();
  PumpMessages(60);
  EXPECT_EQ(control_, GetCapture());
  // The pointer may jump back inside for a moment; the moves are watched
  // once it has settled outside.
  MoveTo(OutsideOnParent());
  PumpMessages(150);
  log_.notifications.clear();
  moves_.clear();
  MoveTo({OutsideOnParent().x + 40, OutsideOnParent().y + 5});
  EXPECT_FALSE(moves_.empty());  // the captured control still sees the moves
  EXPECT_EQ(0, log_.count(LLN_HOVER));
  ReleaseLeftButton();
  PumpMessages(60);
  EXPECT_EQ(0, log_.count(LLN_CLICK));
  EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(LinkLabelTest, AReflectingParentMakesItRedUnderThePointerWithAFrameWhilePressed) {
  ASSERT_TRUE(SubclassLinkLabel(control_));
  const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255), grey = RGB(128, 128, 128);
  std::unique_ptr<ScreenPixels> plain(Painted());
  EXPECT_GT(plain->count(blue), 20);
  EXPECT_EQ(0, plain->count(red));

  MoveTo(Inside());
  std::unique_ptr<ScreenPixels> hot(Painted());
  EXPECT_GT(hot->count(red), 20);
  EXPECT_EQ(0, hot->count(blue));
  EXPECT_NE(grey, hot->at(hot->width() - 1, 0));

  PressLeftButton();
  PumpMessages(60);
  std::unique_ptr<ScreenPixels> pressed(Painted());
  // The frame runs along all four edges; the text, drawn after it at (0, 0),
  // may cover it at the top and on the left.
  auto frameOrText = [&](int x, int y) {
    return pressed->at(x, y) == grey || pressed->at(x, y) == red;
  };
  for (int x = 0; x < pressed->width(); ++x) {
    EXPECT_TRUE(frameOrText(x, 0)) << x;
    EXPECT_EQ(grey, pressed->at(x, pressed->height() - 1)) << x;
  }
  for (int y = 0; y < pressed->height(); ++y) {
    EXPECT_TRUE(frameOrText(0, y)) << y;
    EXPECT_EQ(grey, pressed->at(pressed->width() - 1, y)) << y;
  }
  ReleaseLeftButton();
  PumpMessages(60);

  MoveCursorTo(OutsideOnParent().x, OutsideOnParent().y);
  ASSERT_TRUE(PumpUntil([&] { return log_.count(LLN_LEAVE) > 0; }));
  std::unique_ptr<ScreenPixels> left(Painted());
  EXPECT_GT(left->count(blue), 20);
  EXPECT_EQ(0, left->count(red));
}

TEST_F(LinkLabelTest, AParentThatDoesNotReflectKeepsItBlueButStillGetsClicks) {
  log_.reflect = false;
  ASSERT_TRUE(SubclassLinkLabel(control_));
  const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255), grey = RGB(128, 128, 128);
  MoveTo(Inside());
  EXPECT_GT(log_.count(LLN_HOVER), 0);
  PressLeftButton();
  PumpMessages(60);
  std::unique_ptr<ScreenPixels> pressed(Painted());
  EXPECT_GT(pressed->count(blue), 20);
  EXPECT_EQ(0, pressed->count(red));
  EXPECT_NE(grey, pressed->at(0, 0));
  ReleaseLeftButton();
  PumpMessages(60);
  EXPECT_EQ(1, log_.count(LLN_CLICK));
}

TEST_F(LinkLabelTest, HitTestAndHoverBackWhenTheCursorIsOutside) {
  ASSERT_TRUE(SubclassLinkLabel(control_));
  MoveTo(OutsideOnParent());
  LPARAM outside = MAKELPARAM(OutsideOnParent().x, OutsideOnParent().y);
  // The static's own answer: transparent to the mouse.
  EXPECT_EQ(HTTRANSPARENT, SendMessageA(control_, WM_NCHITTEST, 0, outside));

  // A hover sent back late, with the cursor gone: no state, but a repaint.
  ValidateRect(control_, nullptr);
  NMLINKLABEL record = {};
  record.hdr = {control_, LINK_ID, LLN_HOVER};
  EXPECT_EQ(0, SendMessageA(control_, WM_NOTIFY, LINK_ID, reinterpret_cast<LPARAM>(&record)));
  EXPECT_EQ(0u, State());
  EXPECT_TRUE(GetUpdateRect(control_, nullptr, FALSE));

  MoveTo(Inside());
  EXPECT_EQ(HTCLIENT, SendMessageA(control_, WM_NCHITTEST, 0, MAKELPARAM(Inside().x, Inside().y)));
}

// Watches the undoing of the conversion from outside it.
struct DestroyRecord {
  WNDPROC linkProc = nullptr;
  bool seen = false;
  bool anyProperty = true;
  LONG_PTR procAfter = 0;
};
DestroyRecord destroyRecord;

BOOL CALLBACK FindLinkProperty(HWND, LPCSTR name, HANDLE) {
  if (HIWORD(reinterpret_cast<UINT_PTR>(name)) == 0) return TRUE;  // an atom
  if (std::string(name).rfind("LLPROP_", 0) == 0) destroyRecord.anyProperty = true;
  return TRUE;
}

LRESULT CALLBACK WatchDestroy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = CallWindowProcA(destroyRecord.linkProc, window, message, wParam, lParam);
  if (message == WM_DESTROY) {
    destroyRecord.seen = true;
    destroyRecord.anyProperty = false;
    EnumPropsA(window, FindLinkProperty);
    destroyRecord.procAfter = GetWindowLongPtrA(window, GWLP_WNDPROC);
  }
  return result;
}

TEST_F(LinkLabelTest, DestroyingUndoesTheConversionCompletely) {
  LONG_PTR original = GetWindowLongPtrA(control_, GWLP_WNDPROC);
  ASSERT_TRUE(SubclassLinkLabel(control_));
  EXPECT_EQ(reinterpret_cast<LONG_PTR>(LinkLabelProc), GetWindowLongPtrA(control_, GWLP_WNDPROC));
  HFONT font = static_cast<HFONT>(GetPropA(control_, LLPROP_FONT));
  HCURSOR cursor = static_cast<HCURSOR>(GetPropA(control_, LLPROP_CURSOR));
  ASSERT_NE(nullptr, font);
  ASSERT_NE(nullptr, cursor);
  EXPECT_EQ(font, reinterpret_cast<HFONT>(SendMessageA(control_, WM_GETFONT, 0, 0)));
  LOGFONTA info = {};
  GetObjectA(font, sizeof info, &info);
  EXPECT_TRUE(info.lfUnderline);
  EXPECT_EQ(-16, info.lfHeight);

  destroyRecord = DestroyRecord();
  destroyRecord.linkProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(control_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchDestroy)));
  DestroyWindow(control_);
  ASSERT_TRUE(destroyRecord.seen);
  EXPECT_FALSE(destroyRecord.anyProperty);
  EXPECT_EQ(original, destroyRecord.procAfter);
  EXPECT_EQ(0u, GetObjectType(font));
  ICONINFO iconInfo = {};
  EXPECT_FALSE(GetIconInfo(cursor, &iconInfo));
}

TEST_F(LinkLabelTest, AControlWithoutAFontOrAlreadyALinkIsLeftAlone) {
  HWND bare = CreateWindowExA(0, "STATIC", "x", WS_CHILD | WS_VISIBLE, 10, 50, 50, 20, parent_,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
  LONG_PTR original = GetWindowLongPtrA(bare, GWLP_WNDPROC);
  EXPECT_FALSE(SubclassLinkLabel(bare));
  EXPECT_EQ(original, GetWindowLongPtrA(bare, GWLP_WNDPROC));
  for (const char* name : {LLPROP_ORIGINALPROC, LLPROP_CONTROLSTATE, LLPROP_CURSOR, LLPROP_FONT}) {
    EXPECT_EQ(nullptr, GetPropA(bare, name)) << name;
  }
  EXPECT_EQ(nullptr, reinterpret_cast<HFONT>(SendMessageA(bare, WM_GETFONT, 0, 0)));

  // Converted twice, the link would take itself for its own original
  // procedure; the second conversion is refused and changes nothing.
  ASSERT_TRUE(SubclassLinkLabel(control_));
  HANDLE font = GetPropA(control_, LLPROP_FONT);
  EXPECT_FALSE(SubclassLinkLabel(control_));
  EXPECT_EQ(font, GetPropA(control_, LLPROP_FONT));
  EXPECT_NE(reinterpret_cast<HANDLE>(LinkLabelProc), GetPropA(control_, LLPROP_ORIGINALPROC));
  MoveTo(Inside());  // and it still works: no endless call into itself
  EXPECT_GT(log_.count(LLN_HOVER), 0);
}

TEST_F(LinkLabelTest, TheCursorIsAHandPointingUp) {
  ASSERT_TRUE(SubclassLinkLabel(control_));
  HCURSOR cursor = static_cast<HCURSOR>(GetPropA(control_, LLPROP_CURSOR));
  EXPECT_TRUE(SendMessageA(control_, WM_SETCURSOR, reinterpret_cast<WPARAM>(control_),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
  EXPECT_EQ(cursor, GetCursor());

  ICONINFO info = {};
  ASSERT_TRUE(GetIconInfo(cursor, &info));
  EXPECT_FALSE(info.fIcon);
  EXPECT_EQ(7u, info.xHotspot);
  EXPECT_EQ(0u, info.yHotspot);
  // A monochrome cursor keeps both planes in one bitmap: AND above XOR.
  ASSERT_EQ(nullptr, info.hbmColor);
  BYTE planes[64 * 4] = {};
  ASSERT_EQ(static_cast<LONG>(sizeof planes), GetBitmapBits(info.hbmMask, sizeof planes, planes));
  DeleteObject(info.hbmMask);
  auto pixel = [&](int row, int column) {
    int bit = 7 - column % 8;
    bool andBit = (planes[row * 4 + column / 8] >> bit) & 1;
    bool xorBit = (planes[(32 + row) * 4 + column / 8] >> bit) & 1;
    return andBit ? (xorBit ? 'i' : '.') : (xorBit ? 'w' : 'b');
  };
  struct Case {
    int row, column;
    char kind;  // '.' transparent, 'b' black, 'w' white
  } cases[] = {{0, 5, '.'},  {0, 6, 'b'},   {0, 7, 'b'},  {0, 8, '.'},  {1, 6, 'w'},
               {1, 7, 'w'},  {1, 5, 'b'},   {10, 2, 'w'}, {12, 0, '.'}, {21, 6, 'b'},
               {22, 6, '.'}, {31, 31, '.'}, {11, 9, 'w'}};
  for (const Case& c : cases) {
    EXPECT_EQ(c.kind, pixel(c.row, c.column)) << c.row << "," << c.column;
  }
}

TEST_F(LinkLabelTest, TheToolTipNamesTheSupportSite) {
  HWND toolTip = CreateLinkToolTip(parent_, GetModuleHandleA(nullptr));
  ASSERT_NE(nullptr, toolTip);
  EXPECT_EQ(parent_, GetWindow(toolTip, GW_OWNER));
  EXPECT_TRUE(AddLinkToolTip(toolTip, parent_, control_));
  EXPECT_EQ(1, SendMessageA(toolTip, TTM_GETTOOLCOUNT, 0, 0));
  char text[80] = "";
  TOOLINFOA tool = {};
  tool.cbSize = 40;
  tool.hwnd = parent_;
  tool.uId = reinterpret_cast<UINT_PTR>(control_);
  tool.lpszText = text;
  SendMessageA(toolTip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
  EXPECT_STREQ("サポートサイトへ", text);
}

}  // namespace
