#include "association/association_dialog.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <future>
#include <string>
#include <vector>

#include "association/shell_verbs.h"
#include "resources/resource_ids.h"
#include "tests/association/classes_root.h"
#include "tests/association/dialog_driver.h"
#include "tests/support/child_process.h"
#include "tests/support/gui_driver.h"

namespace {

struct ItemControls {
  int checkBox;
  int detailControls[6];  // details button and the detail fields
  const char* verb;
  const char* defaultCaption;
  uint32_t optionMask;
};

const ItemControls ITEMS[] = {
    {1100, {1106, 1101, 1123, 1103, 1124, 1104}, "brovane.center", "中央に表示", 2},
    {1200, {1206, 1201, 1223, 1203, 1224, 1204}, "brovane.tile", "並べて表示", 4},
    {1300, {1306, 1301, 1323, 1303, 1324, 1304}, "brovane.zoom", "拡大して表示", 8},
};

std::string VerbPath(int item) { return std::string(TEST_CLASS) + "\\shell\\" + ITEMS[item].verb; }

std::string DefaultCommand(int item) {
  char line[COMMAND_BUFFER_SIZE];
  BuildDefaultCommandLine(line, ITEMS[item].optionMask);
  return line;
}

// Pixels to dialog units of this dialog.
struct DialogUnits {
  explicit DialogUnits(HWND dialog) {
    RECT base = {0, 0, 4, 8};
    MapDialogRect(dialog, &base);
    perFourX = base.right;
    perEightY = base.bottom;
  }
  double Y(int pixels) const { return pixels * 8.0 / perEightY; }
  int perFourX, perEightY;
};

int ClientTop(HWND dialog, int itemId) {
  RECT rect = {};
  GetWindowRect(GetDlgItem(dialog, itemId), &rect);
  POINT top = {rect.left, rect.top};
  ScreenToClient(dialog, &top);
  return top.y;
}

std::string MenuText(HMENU menu, int position) {
  char text[64] = {};
  GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
  return text;
}

// The icon as drawn on white, pixel by pixel.
std::vector<DWORD> RenderIcon(HICON icon, int size) {
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateTopDownBitmap(dc, size, size, &bits);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all = {0, 0, size, size};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
  GdiFlush();
  std::vector<DWORD> pixels(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + size * size);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return pixels;
}

std::vector<DWORD> RenderProgramIcon(int size) {
  HICON icon = static_cast<HICON>(LoadImageA(
      GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_PROGRAM), IMAGE_ICON, size, size, 0));
  std::vector<DWORD> pixels = RenderIcon(icon, size);
  DestroyIcon(icon);
  return pixels;
}

class AssociationDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    DeleteClassTree(".bmp");
    DeleteClassTree(TEST_CLASS);
    WriteDefaultValue(".bmp", TEST_CLASS);
    CreateClassKey(TEST_CLASS);
  }
  void WriteVerb(int item, const std::string& caption, const std::string& command) {
    WriteDefaultValue(VerbPath(item), caption);
    WriteDefaultValue(VerbPath(item) + "\\command", command);
  }

  ClassesRootGuard guard_;
};

TEST_F(AssociationDialogTest, OpensCollapsedWithTheBoxesOkAndCancelStacked) {
  // Twice: the size the first dialog ended with must not shape the second.
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    bool result = RunAssociationDialog([](HWND dialog) {
      for (const ItemControls& item : ITEMS) {
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, item.checkBox)));
        for (int id : item.detailControls)
          EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, id))) << id;
      }
      EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, IDOK)));
      EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, IDCANCEL)));

      // Each collapse may round by a pixel.
      DialogUnits units(dialog);
      const double tolerance = 1.5;
      EXPECT_NEAR(9, units.Y(ClientTop(dialog, 1100)), tolerance);
      EXPECT_NEAR(31, units.Y(ClientTop(dialog, 1200)), tolerance);
      EXPECT_NEAR(55, units.Y(ClientTop(dialog, 1300)), tolerance);
      EXPECT_NEAR(75, units.Y(ClientTop(dialog, IDOK)), tolerance);
      EXPECT_NEAR(75, units.Y(ClientTop(dialog, IDCANCEL)), tolerance);
      RECT client = {};
      GetClientRect(dialog, &client);
      EXPECT_NEAR(94, units.Y(client.bottom), tolerance);

      // The size limits hold the dialog at the size it opened with.
      RECT window = {};
      GetWindowRect(dialog, &window);
      MINMAXINFO limits = {};
      SendMessageA(dialog, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
      EXPECT_EQ(window.right - window.left, limits.ptMinTrackSize.x);
      EXPECT_EQ(window.right - window.left, limits.ptMaxTrackSize.x);
      EXPECT_EQ(window.bottom - window.top, limits.ptMinTrackSize.y);
      EXPECT_EQ(window.bottom - window.top, limits.ptMaxTrackSize.y);
    });
    EXPECT_FALSE(result);
  }
}

TEST_F(AssociationDialogTest, ShowsTheProgramIconAndItsSystemMenuEntriesBelowMaximize) {
  RunAssociationDialog([](HWND dialog) {
    HICON large = reinterpret_cast<HICON>(SendMessageA(dialog, WM_GETICON, ICON_BIG, 0));
    HICON small = reinterpret_cast<HICON>(SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0));
    ASSERT_NE(nullptr, large);
    ASSERT_NE(nullptr, small);
    EXPECT_EQ(RenderProgramIcon(32), RenderIcon(large, 32));
    EXPECT_EQ(RenderProgramIcon(16), RenderIcon(small, 16));

    HMENU menu = GetSystemMenu(dialog, FALSE);
    int maximize = -1;
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
      if (GetMenuItemID(menu, i) == SC_MAXIMIZE) maximize = i;
    ASSERT_GE(maximize, 0);
    EXPECT_TRUE(GetMenuState(menu, maximize + 1, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(IDM_RESTORE_INITIAL, GetMenuItemID(menu, maximize + 2));
    EXPECT_EQ("設定を初期値に戻す(&D)", MenuText(menu, maximize + 2));
    EXPECT_EQ(IDM_ABOUT, GetMenuItemID(menu, maximize + 3));
    EXPECT_EQ("About(&A)", MenuText(menu, maximize + 3));
    EXPECT_EQ(SC_CLOSE, GetMenuItemID(menu, maximize + 5));
  });
}

HWND FindOwnedWindow(HWND owner) {
  for (int i = 0; i < 250; ++i, Sleep(20)) {
    HWND window = GetForegroundWindow();
    if (window && GetWindow(window, GW_OWNER) == owner && IsWindowVisible(window)) return window;
  }
  return nullptr;
}

TEST_F(AssociationDialogTest, AboutEntryOpensTheAboutBoxOwnedByTheDialog) {
  RunAssociationDialog([](HWND dialog) {
    PostMessageA(dialog, WM_SYSCOMMAND, IDM_ABOUT, 0);
    HWND about = FindOwnedWindow(dialog);
    ASSERT_NE(nullptr, about);
    EXPECT_FALSE(IsWindowEnabled(dialog)) << "the About box is modal";
    PostMessageA(about, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntilClosed(about));
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_TRUE(IsWindowEnabled(dialog));
  });
}

// Verbs present before, check boxes clicked, verbs present after OK.
TEST_F(AssociationDialogTest, OkWritesOrRemovesExactlyTheChangedCommands) {
  struct Case {
    const char* name;
    uint32_t present;
    std::vector<int> clicks;  // item indexes
    uint32_t expected;
  } cases[] = {
      {"ticking one box", 0, {1}, 2},
      {"unticking an existing one", 7, {0}, 6},
      {"ticking and unticking", 0, {2, 2}, 0},
      {"touching nothing", 5, {}, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DeleteClassTree(std::string(TEST_CLASS) + "\\shell");
    for (int i = 0; i < 3; ++i)
      if (c.present & (1u << i)) WriteVerb(i, "既存", "existing command");
    unsigned long long written[3];
    for (int i = 0; i < 3; ++i) written[i] = LastWriteTime(VerbPath(i) + "\\command");
    Sleep(20);

    bool result = RunAssociationDialog([&](HWND dialog) {
      for (int i = 0; i < 3; ++i)
        EXPECT_EQ((c.present >> i) & 1, IsChecked(dialog, ITEMS[i].checkBox) ? 1u : 0u);
      for (int item : c.clicks) EXPECT_TRUE(ClickCheckBox(dialog, ITEMS[item].checkBox));
      ClickItem(dialog, IDOK);
      EXPECT_TRUE(WaitUntilClosed(dialog));
    });
    EXPECT_TRUE(result);

    for (int i = 0; i < 3; ++i) {
      SCOPED_TRACE(ITEMS[i].verb);
      bool before = c.present & (1u << i), after = c.expected & (1u << i);
      EXPECT_EQ(after, ClassKeyExists(VerbPath(i)));
      if (before && after) {
        EXPECT_EQ(written[i], LastWriteTime(VerbPath(i) + "\\command")) << "rewritten";
        EXPECT_EQ("既存", ReadDefaultValue(VerbPath(i)));
      } else if (after) {
        EXPECT_EQ(ITEMS[i].defaultCaption, ReadDefaultValue(VerbPath(i)));
        EXPECT_EQ(DefaultCommand(i), ReadDefaultValue(VerbPath(i) + "\\command"));
      }
    }
    if (c.present == 0 && c.expected == 0) {
      EXPECT_FALSE(ClassKeyExists(std::string(TEST_CLASS) + "\\shell"));
    }
  }
}

TEST_F(AssociationDialogTest, AVerbWithoutCommandGetsTheDefaultCaptionOverItsOwn) {
  WriteDefaultValue(VerbPath(0), "自前の見出し");
  EXPECT_TRUE(RunAssociationDialog([](HWND dialog) {
    EXPECT_FALSE(IsChecked(dialog, 1100));
    EXPECT_TRUE(ClickCheckBox(dialog, 1100));
    ClickItem(dialog, IDOK);
    EXPECT_TRUE(WaitUntilClosed(dialog));
  }));
  EXPECT_EQ("中央に表示", ReadDefaultValue(VerbPath(0)));
  EXPECT_EQ(DefaultCommand(0), ReadDefaultValue(VerbPath(0) + "\\command"));
}

TEST_F(AssociationDialogTest, RestoreEntryPutsBackTheTicksReadAtOpening) {
  WriteVerb(0, "centre", "c");
  RunAssociationDialog([](HWND dialog) {
    EXPECT_TRUE(ClickCheckBox(dialog, 1100));
    EXPECT_TRUE(ClickCheckBox(dialog, 1300));
    SendMessageA(dialog, WM_SYSCOMMAND, IDM_RESTORE_INITIAL, 0);
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_TRUE(IsChecked(dialog, 1100));
    EXPECT_FALSE(IsChecked(dialog, 1200));
    EXPECT_FALSE(IsChecked(dialog, 1300));
    ClickItem(dialog, IDOK);
    EXPECT_TRUE(WaitUntilClosed(dialog));
  });
  EXPECT_EQ("centre", ReadDefaultValue(VerbPath(0)));
  EXPECT_FALSE(ClassKeyExists(VerbPath(2)));
}

TEST_F(AssociationDialogTest, CancelTheCloseBoxAndEscWriteNothing) {
  struct Case {
    const char* name;
    void (*close)(HWND dialog);
  } cases[] = {
      {"Cancel", [](HWND dialog) { ClickItem(dialog, IDCANCEL); }},
      {"close box",
       [](HWND dialog) {
         POINT box = {};
         ASSERT_TRUE(FindCloseBox(dialog, &box));
         ClickAt(box);
       }},
      {"Esc", [](HWND) { PressKey(VK_ESCAPE); }},
  };
  WriteVerb(1, "tile", "t");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    bool closedByUser = false;
    bool result = RunAssociationDialog([&](HWND dialog) {
      EXPECT_TRUE(ClickCheckBox(dialog, 1100));
      EXPECT_TRUE(ClickCheckBox(dialog, 1200));
      // A key or click through the global input path can be lost while the
      // desktop settles; a user would simply try once more.
      for (int attempt = 0; attempt < 3 && !closedByUser; ++attempt) {
        c.close(dialog);
        closedByUser = WaitUntilClosed(dialog, 1500);
      }
    });
    EXPECT_TRUE(closedByUser);
    EXPECT_FALSE(result);
    EXPECT_FALSE(ClassKeyExists(VerbPath(0)));
    EXPECT_EQ("t", ReadDefaultValue(VerbPath(1) + "\\command"));
  }
}

TEST_F(AssociationDialogTest, EdgesAndCornersNeverResizeAndTheBackgroundDrags) {
  RunAssociationDialog([](HWND dialog) {
    RECT r = {};
    GetWindowRect(dialog, &r);
    int midX = (r.left + r.right) / 2, midY = (r.top + r.bottom) / 2;
    // The left margin of the client area, beside the second check box.
    RECT client = {};
    GetClientRect(dialog, &client);
    POINT background = {3, client.bottom / 2};
    ClientToScreen(dialog, &background);
    struct Probe {
      const char* name;
      POINT point;
      LRESULT expected;
    } probes[] = {
        {"background", background, HTCAPTION},
        {"top edge", {midX, r.top}, HTBORDER},
        {"bottom edge", {midX, r.bottom - 1}, HTBORDER},
        {"left edge", {r.left, midY}, HTLEFT},
        {"right edge", {r.right - 1, midY}, HTRIGHT},
        {"top-left corner", {r.left, r.top}, HTLEFT},
        {"top-right corner", {r.right - 1, r.top}, HTRIGHT},
        {"bottom-left corner", {r.left, r.bottom - 1}, HTLEFT},
        {"bottom-right corner", {r.right - 1, r.bottom - 1}, HTRIGHT},
    };
    for (const Probe& probe : probes)
      EXPECT_EQ(probe.expected,
                SendMessageA(dialog, WM_NCHITTEST, 0, MAKELPARAM(probe.point.x, probe.point.y)))
          << probe.name;

    // As with the close box, a drag through the global input path may be
    // lost while the desktop settles; only a drag that moved counts.
    bool dragged = false;
    for (int attempt = 0; attempt < 3 && !dragged; ++attempt) {
      GetWindowRect(dialog, &r);
      DragFromTo(background, POINT{background.x + 40, background.y + 30});
      dragged = WaitForRectChange(dialog, r, 1000);
    }
    EXPECT_TRUE(dragged);
    RECT moved = {};
    GetWindowRect(dialog, &moved);
    EXPECT_EQ(r.left + 40, moved.left);
    EXPECT_EQ(r.top + 30, moved.top);
    EXPECT_EQ(r.right - r.left, moved.right - moved.left);
    EXPECT_EQ(r.bottom - r.top, moved.bottom - moved.top);

    // The same drags on the frame change nothing.
    r = moved;
    midX = (r.left + r.right) / 2;
    midY = (r.top + r.bottom) / 2;
    for (POINT grip : {POINT{r.right - 1, r.bottom - 1}, POINT{midX, r.bottom - 1},
                       POINT{r.right - 1, midY}, POINT{midX, r.top}}) {
      DragFromTo(grip, POINT{grip.x + 30, grip.y + 25});
      RECT after = {};
      GetWindowRect(dialog, &after);
      EXPECT_EQ(r.right - r.left, after.right - after.left);
      EXPECT_EQ(r.bottom - r.top, after.bottom - after.top);
      EXPECT_EQ(r.left, after.left);
      EXPECT_EQ(r.top, after.top);
    }
  });
}

// The single-instance guard of the real program: a second start while the
// dialog is open shows nothing and ends with 0.
TEST_F(AssociationDialogTest, ASecondInstanceShowsNothingAndEndsWithZero) {
  std::string program = BrovaneProgramPath();
  std::future<ChildRun> first =
      std::async(std::launch::async, [&] { return RunAndWait(program, "brovane", 60000); });
  HWND dialog = FindAssociationDialog(20000);
  ASSERT_NE(nullptr, dialog);

  DWORD started = GetTickCount();
  ChildRun second = RunAndWait(program, "brovane", 20000);
  EXPECT_TRUE(second.started);
  EXPECT_EQ(0u, second.exitCode);
  EXPECT_LT(GetTickCount() - started, 15000u);
  EXPECT_EQ(1, CountAssociationDialogs());

  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  ChildRun firstRun = first.get();
  EXPECT_TRUE(firstRun.started);
  EXPECT_EQ(0u, firstRun.exitCode);
  EXPECT_EQ(0, CountAssociationDialogs());
}

}  // namespace
