#include "about/about_dialog.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "TOOLS/toolwind.h"
#include "about/about_dialog_internal.h"
#include "about/about_template.h"
#include "about/about_width_fit.h"
#include "about/free_resources.h"
#include "about/link_label.h"
#include "tests/support/gui_driver.h"
#include "tests/about/modal_script.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"

namespace {

const char SUPPORT_URL[] = "http://www.velmique.example/brovane/";
const AboutInfo INFO = {SUPPORT_URL};

std::string ItemText(HWND dialog, int id) {
  char text[600] = "";
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

std::string Caption(HWND window) {
  char text[600] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

POINT Centre(HWND window) {
  RECT rect = WindowRect(window);
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

int TextWidth(HWND window) {
  SIZE extent;
  MeasureWindowText(window, &extent);
  return extent.cx;
}

// Pixels of a span given in dialog units, in this dialog's font.
int DialogUnitsWide(HWND dialog, int from, int to) {
  RECT rect = {from, 0, to, 0};
  MapDialogRect(dialog, &rect);
  return rect.right - rect.left;
}

// The left edge of the OK button as an offset into the dialog's window.
int OkOffset(HWND dialog) {
  return WindowRect(GetDlgItem(dialog, IDOK)).left - WindowRect(dialog).left;
}

void ExpectOkCentred(HWND dialog) {
  int dialogWidth = GetWindowWidth(dialog);
  int okWidth = GetWindowWidth(GetDlgItem(dialog, IDOK));
  EXPECT_EQ((dialogWidth - okWidth) / 2, OkOffset(dialog));
}

BOOL CALLBACK CountDialogBoxes(HWND window, LPARAM count) {
  char name[16] = "";
  GetClassNameA(window, name, sizeof name);
  if (std::string(name) == "#32770") ++*reinterpret_cast<int*>(count);
  return TRUE;
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

class AboutDialogTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(nullptr, GetAboutWindow()); }
  void TearDown() override { EXPECT_EQ(nullptr, GetAboutWindow()); }

  INT_PTR Run(std::vector<ModalScript::Step> steps, HMODULE versionModule = nullptr) {
    ModalScript script(std::move(steps));
    INT_PTR result =
        RunAboutDialog(nullptr, &INFO, versionModule ? versionModule : GetModuleHandleA(nullptr));
    EXPECT_TRUE(script.finished());
    return result;
  }

  CursorKeeper cursorKeeper_;
};

TEST_F(AboutDialogTest, ShowsTheProgramsOwnVersionIconLinkAndFitsItsWidth) {
  // The box opens centred on the pointer, so it must be there already.
  ASSERT_TRUE(MovePointerTo(400, 300));
  std::vector<ModalScript::Step> steps = {
      [](HWND about) {
        EXPECT_EQ("Velmique について", Caption(about));
        EXPECT_EQ("Velmique ver. 1.00", ItemText(about, ABOUT_PRODUCT_ID));
        EXPECT_EQ(SUPPORT_URL, ItemText(about, ABOUT_LINK_ID));
        EXPECT_EQ("", ItemText(about, ABOUT_RESOURCES_ID));  // no rsrc32.dll here
        EXPECT_NE(0, SendMessageA(about, WM_GETICON, ICON_BIG, 0));
        EXPECT_NE(0, SendMessageA(about, WM_GETICON, ICON_SMALL, 0));
        EXPECT_NE(0, SendDlgItemMessageA(about, ABOUT_ICON_ID, STM_GETICON, 0, 0));
        EXPECT_NE(nullptr, GetPropA(about, PROP_ABOUTDIALOGDATA));
        EXPECT_NE(nullptr, GetPropA(GetDlgItem(about, ABOUT_LINK_ID), LLPROP_ORIGINALPROC));

        // Each line is as wide as its text; the widest set the box's growth,
        // which keeps the template's 7-unit margin behind it.
        const int startWidth = DialogUnitsWide(about, 0, 1);
        int widest = 0;
        HWND widestItem = nullptr;
        for (int id : {ABOUT_PRODUCT_ID, ABOUT_LINK_ID, ABOUT_RESOURCES_ID}) {
          HWND item = GetDlgItem(about, id);
          int expected = TextWidth(item) > startWidth ? TextWidth(item) : startWidth;
          EXPECT_EQ(expected, GetWindowWidth(item)) << id;
          if (GetWindowWidth(item) > widest) {
            widest = GetWindowWidth(item);
            widestItem = item;
          }
        }
        EXPECT_EQ(GetDlgItem(about, ABOUT_LINK_ID), widestItem);
        RECT client;
        GetClientRect(about, &client);
        POINT clientRight = {client.right, 0};
        ClientToScreen(about, &clientRight);
        const int templateMargin = DialogUnitsWide(about, 0, 38) -
                                   (DialogUnitsWide(about, 0, 30) + DialogUnitsWide(about, 0, 1));
        EXPECT_EQ(templateMargin, clientRight.x - WindowRect(widestItem).right);
        ExpectOkCentred(about);

        // Centred on the cursor at its starting width, then widened to the
        // right only.
        int startDialogWidth = GetWindowWidth(about) - (widest - startWidth);
        EXPECT_EQ(400 - startDialogWidth / 2, WindowRect(about).left);
        EXPECT_EQ(300 - GetWindowHeight(about) / 2, WindowRect(about).top);
      },
      [](HWND about) {
        EXPECT_TRUE(MovePointerTo(Centre(GetDlgItem(about, IDOK))));
      },
      [](HWND) { PressLeftButton(); },
      [](HWND) { ReleaseLeftButton(); },
  };
  EXPECT_EQ(IDOK, Run(steps));
}

TEST_F(AboutDialogTest, TheFirstTranslationAndFileDescriptionNameTheProduct) {
  struct Case {
    const char* library;
    const char* caption;
    const char* line;
  } cases[] = {
      // Its first table, US English, has an empty product name; the Japanese
      // second table must not be read.
      {"version_fixture.dll", "試験用の説明 について", "試験用の説明 ver. 2.5.7"},
      {"rsrc32_fixture.dll", "", ""},  // no version block at all
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.library);
    std::string path = TestProgramFolder() + "\\fixtures\\" + c.library;
    HMODULE module = LoadLibraryA(path.c_str());
    ASSERT_NE(nullptr, module) << path;
    std::string caption, line;
    Run({[&](HWND about) {
          caption = Caption(about);
          line = ItemText(about, ABOUT_PRODUCT_ID);
          PostMessageA(about, WM_COMMAND, IDCANCEL, 0);
        }},
        module);
    FreeLibrary(module);
    EXPECT_EQ(c.caption, caption);
    EXPECT_EQ(c.line, line);
  }
}

// Puts a library beside the test program as "rsrc32.dll" for one test.
class BesideProgram {
 public:
  explicit BesideProgram(const char* fixture) : target_(TestProgramFolder() + "\\rsrc32.dll") {
    std::string source = TestProgramFolder() + "\\fixtures\\" + fixture;
    copied_ = CopyFileA(source.c_str(), target_.c_str(), FALSE) != 0;
  }
  ~BesideProgram() {
    DeleteFileA(target_.c_str());
    SetEnvironmentVariableA("RSRC32_FIXTURE_PERCENT", nullptr);
    SetEnvironmentVariableA("RSRC32_FIXTURE_ARGUMENT", nullptr);
  }
  bool copied() const { return copied_; }

 private:
  std::string target_;
  bool copied_;
};

std::string Environment(const char* name) {
  char value[64] = "";
  GetEnvironmentVariableA(name, value, sizeof value);
  return value;
}

TEST(FreeResourcesTest, TheLineComesFromRsrc32WhenItIsThere) {
  HWND line = CreateWindowExA(0, "STATIC", "old", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  EXPECT_FALSE(SetFreeResourcesText(line));
  EXPECT_EQ("", Caption(line));
  EXPECT_FALSE(QueryFreeSystemResources(nullptr));
  {
    BesideProgram library("version_fixture.dll");  // a library without the export
    ASSERT_TRUE(library.copied());
    SetWindowTextA(line, "old");
    EXPECT_FALSE(SetFreeResourcesText(line));
    EXPECT_EQ("", Caption(line));
  }
  {
    BesideProgram library("rsrc32_fixture.dll");
    ASSERT_TRUE(library.copied());
    struct Case {
      const char* percent;
      const char* text;
    } cases[] = {
        {"87", "システムリソース： 87 ％使用可能"},
        {"100", "システムリソース： 100 ％使用可能"},  // the longest line of a percentage
        // Not ours to trust: a wild answer still gives a whole line.
        {"-2147483648", "システムリソース： -2147483648 ％使用可能"},
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(c.percent);
      SetEnvironmentVariableA("RSRC32_FIXTURE_PERCENT", c.percent);
      EXPECT_TRUE(SetFreeResourcesText(line));
      EXPECT_EQ(c.text, Caption(line));
      EXPECT_EQ("0", Environment("RSRC32_FIXTURE_ARGUMENT"));
    }
    int percent = 0;
    SetEnvironmentVariableA("RSRC32_FIXTURE_PERCENT", "42");
    EXPECT_TRUE(QueryFreeSystemResources(&percent));
    EXPECT_EQ(42, percent);
    // Loaded and freed on every call: nothing keeps the file in use.
    EXPECT_EQ(nullptr, GetModuleHandleA("rsrc32.dll"));
  }
  DestroyWindow(line);
}

TEST_F(AboutDialogTest, TheBoxShowsTheFreeResourcesLineWhenRsrc32IsThere) {
  BesideProgram library("rsrc32_fixture.dll");
  ASSERT_TRUE(library.copied());
  SetEnvironmentVariableA("RSRC32_FIXTURE_PERCENT", "64");
  std::string text;
  Run({[&](HWND about) {
    text = ItemText(about, ABOUT_RESOURCES_ID);
    HWND item = GetDlgItem(about, ABOUT_RESOURCES_ID);
    EXPECT_EQ(TextWidth(item), GetWindowWidth(item));
    PostMessageA(about, WM_COMMAND, IDCANCEL, 0);
  }});
  EXPECT_EQ("システムリソース： 64 ％使用可能", text);
}

TEST_F(AboutDialogTest, ASecondCallOnlyRaisesTheOpenBox) {
  HWND first = nullptr;
  Run({[&](HWND about) {
         first = about;
         HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                      nullptr, GetModuleHandleA(nullptr), nullptr);
         SetForegroundWindow(other);
         EXPECT_TRUE(ShowAboutDialog(nullptr, &INFO));
         EXPECT_EQ(first, GetAboutWindow());
         EXPECT_EQ(first, GetForegroundWindow());
         int boxes = 0;
         EnumThreadWindows(GetCurrentThreadId(), CountDialogBoxes,
                           reinterpret_cast<LPARAM>(&boxes));
         EXPECT_EQ(1, boxes);
         DestroyWindow(other);
       },
       [](HWND about) { PostMessageA(about, WM_COMMAND, IDCANCEL, 0); }});
  EXPECT_NE(nullptr, first);
}

TEST_F(AboutDialogTest, WithoutAnInfoRecordTheLinkLineStaysEmptyAndPlain) {
  const AboutInfo noUrl = {nullptr};
  for (const AboutInfo* info : {static_cast<const AboutInfo*>(nullptr), &noUrl}) {
    std::string link = "unset";
    bool converted = true;
    ModalScript script({[&](HWND about) {
      link = ItemText(about, ABOUT_LINK_ID);
      converted = GetPropA(GetDlgItem(about, ABOUT_LINK_ID), LLPROP_ORIGINALPROC) != nullptr;
      PostMessageA(about, WM_COMMAND, IDCANCEL, 0);
    }});
    EXPECT_TRUE(ShowAboutDialog(nullptr, info));
    EXPECT_TRUE(script.finished());
    EXPECT_EQ("", link);
    EXPECT_FALSE(converted);
  }
}

TEST_F(AboutDialogTest, NotificationsOfOtherControlsAreAnsweredAndNotActedOn) {
  Run({[](HWND about) {
         NMHDR header = {GetDlgItem(about, ABOUT_PRODUCT_ID), ABOUT_PRODUCT_ID, LLN_CLICK};
         EXPECT_EQ(TRUE, AboutDialogProc(about, WM_NOTIFY, ABOUT_PRODUCT_ID,
                                         reinterpret_cast<LPARAM>(&header)));
         SendMessageA(about, WM_NOTIFY, ABOUT_PRODUCT_ID, reinterpret_cast<LPARAM>(&header));
       },
       [](HWND about) {
         EXPECT_TRUE(IsWindowVisible(about));  // still open
         PostMessageA(about, WM_COMMAND, IDCANCEL, 0);
       }});
}

// The presses on the box's own caption area that the system hands it.
std::vector<WPARAM>* captionPresses = nullptr;

LRESULT CALLBACK WatchCaptionPresses(int code, WPARAM wParam, LPARAM lParam) {
  const MSG* message = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE && captionPresses &&
      message->hwnd == GetAboutWindow() && message->message == WM_NCLBUTTONDOWN) {
    captionPresses->push_back(message->wParam);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(AboutDialogTest, TheBoxCanBeDraggedByItsIconItsTextAndItsEmptyArea) {
  struct Case {
    const char* name;
    POINT (*grip)(HWND about);
  } cases[] = {
      {"icon", [](HWND about) { return Centre(GetDlgItem(about, ABOUT_ICON_ID)); }},
      {"empty area",
       [](HWND about) {
         RECT rect = WindowRect(about);
         return POINT{rect.left + 12, rect.bottom - 10};
       }},
      {"product line", [](HWND about) { return Centre(GetDlgItem(about, ABOUT_PRODUCT_ID)); }},
  };
  std::vector<WPARAM> presses;
  captionPresses = &presses;
  HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, WatchCaptionPresses, nullptr, GetCurrentThreadId());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    presses.clear();
    RECT before = {}, after = {};
    POINT grip = {};
    LRESULT hit = 0;
    Run({[&](HWND about) {
           before = WindowRect(about);
           grip = c.grip(about);
           // A dialog answers through its message result.
           hit = SendMessageA(about, WM_NCHITTEST, 0, MAKELPARAM(grip.x, grip.y));
           EXPECT_TRUE(MovePointerTo(grip));
         },
         [&](HWND) { PressLeftButton(); }, [&](HWND) { MoveCursorTo(grip.x + 40, grip.y + 30); },
         [&](HWND) {}, [&](HWND) { ReleaseLeftButton(); },
         [&](HWND about) {
           after = WindowRect(about);
           PostMessageA(about, WM_COMMAND, IDCANCEL, 0);
         }});
    EXPECT_EQ(HTCAPTION, hit);
    EXPECT_EQ(std::vector<WPARAM>{HTCAPTION}, presses);
    // Where exactly it lands is up to the virtual desktop's own move loop;
    // that the press grips the box and moves it is the box's business.
    EXPECT_TRUE(before.left != after.left || before.top != after.top);
  }
  UnhookWindowsHookEx(hook);
  captionPresses = nullptr;
}

TEST_F(AboutDialogTest, TheLinkAnswersItsOwnHitTestAndIsNoHandleToDragBy) {
  LRESULT dialogHit = 0, linkHit = 0;
  Run({[&](HWND about) {
         HWND link = GetDlgItem(about, ABOUT_LINK_ID);
         POINT centre = Centre(link);
         // The link answers from where the pointer really is, so the
         // pointer must have settled on it; its tip, which shows later and
         // lower, is not up yet.
         EXPECT_TRUE(MovePointerTo(centre));
         EXPECT_EQ(link, WindowFromPoint(centre));
         linkHit = SendMessageA(link, WM_NCHITTEST, 0, MAKELPARAM(centre.x, centre.y));
         dialogHit = SendMessageA(about, WM_NCHITTEST, 0, MAKELPARAM(centre.x, centre.y));
         PostMessageA(about, WM_COMMAND, IDCANCEL, 0);
       }});
  EXPECT_EQ(HTCLIENT, linkHit);
  EXPECT_EQ(HTCAPTION, dialogHit);  // the box alone would take it for caption
}

// Points the prefix's http handler at the recorder for one test, and puts
// the old command back afterwards.
class HttpHandlerRecorder {
 public:
  explicit HttpHandlerRecorder(const std::string& outputFile) {
    RegCreateKeyExA(HKEY_CLASSES_ROOT, KEY, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
    char old[1024] = "";
    DWORD size = sizeof old;
    hadOld_ = RegQueryValueExA(key_, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(old),
                               &size) == ERROR_SUCCESS;
    old_ = old;
    std::string recorder = TestProgramFolder() + "\\fixtures\\url_recorder.exe";
    std::string command = "\"" + recorder + "\" \"" + outputFile + "\" \"%1\"";
    RegSetValueExA(key_, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>(command.size() + 1));
  }
  ~HttpHandlerRecorder() {
    if (hadOld_) {
      RegSetValueExA(key_, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(old_.c_str()),
                     static_cast<DWORD>(old_.size() + 1));
    } else {
      RegDeleteValueA(key_, nullptr);
    }
    RegCloseKey(key_);
  }

 private:
  static constexpr const char* KEY = "http\\shell\\open\\command";
  HKEY key_ = nullptr;
  bool hadOld_ = false;
  std::string old_;
};

TEST_F(AboutDialogTest, TheLinkTurnsRedUnderThePointerAndItsClickOpensTheSite) {
  TempFolder folder;
  const std::string opened = folder.file("opened.txt");
  HttpHandlerRecorder recorder(opened);
  const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255);
  int redBefore = -1, blueBefore = -1, redHot = -1, blueHot = -1;
  INT_PTR result = Run({
      [&](HWND about) {
        EXPECT_TRUE(MovePointerTo(WindowRect(about).left + 5, WindowRect(about).bottom - 5));
        HWND linkItem = GetDlgItem(about, ABOUT_LINK_ID);
        ScreenPixels link(WindowRect(linkItem));
        redBefore = link.count(red);
        blueBefore = link.count(blue);
        // Read right after the pointer settled, before the tip shows.
        EXPECT_TRUE(MovePointerTo(Centre(linkItem)));
        ScreenPixels hot(WindowRect(linkItem));
        redHot = hot.count(red);
        blueHot = hot.count(blue);
        PressLeftButton();
      },
      [](HWND) { ReleaseLeftButton(); },
  });
  EXPECT_EQ(1, result);
  EXPECT_EQ(0, redBefore);
  EXPECT_GT(blueBefore, 20);
  EXPECT_GT(redHot, 20);
  EXPECT_EQ(0, blueHot);
  ASSERT_TRUE(PumpUntil(
      [&] { return GetFileAttributesA(opened.c_str()) != INVALID_FILE_ATTRIBUTES; }, 15000));
  Sleep(200);
  std::string line = ReadFileBytes(opened);
  EXPECT_NE(std::string::npos, line.find(SUPPORT_URL)) << line;
}

TEST(AboutWidthFitTest, WidensToTheWidestTextAndCentresOkOrMovesNothing) {
  void* block = BuildAboutTemplate();
  ASSERT_NE(nullptr, block);
  struct Case {
    const char* name;
    const char* texts[3];  // items 101, 102, 103
    int startWidth;        // pixels each text control gets first; 0 keeps the template's
    int widest;            // index of the text that sets the growth, or -1 for none
  } cases[] = {
      {"every text empty", {"", "", ""}, 0, -1},
      {"every text fits its control", {"a", "b", "c"}, 300, -1},
      {"the link is widest",
       {"Velmique ver. 1.00", "http://www.velmique.example/brovane/", ""},
       0,
       1},
      {"the resources line is widest", {"x", "", "システムリソース： 100 ％使用可能"}, 0, 2},
  };
  const int ids[] = {ABOUT_PRODUCT_ID, ABOUT_LINK_ID, ABOUT_RESOURCES_ID};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND dialog =
        CreateDialogIndirectParamA(GetModuleHandleA(nullptr), static_cast<LPCDLGTEMPLATEA>(block),
                                   nullptr, PlainDialogProc, 0);
    ASSERT_NE(nullptr, dialog);
    int widths[3];
    for (int i = 0; i < 3; ++i) {
      HWND item = GetDlgItem(dialog, ids[i]);
      SetWindowTextA(item, c.texts[i]);
      if (c.startWidth) SetWindowSize(item, c.startWidth, GetWindowHeight(item));
      widths[i] = GetWindowWidth(item);
    }
    RECT dialogBefore = WindowRect(dialog);
    RECT okBefore = WindowRect(GetDlgItem(dialog, IDOK));

    FitAboutWidth(dialog);

    int growth = 0;
    for (int i = 0; i < 3; ++i) {
      HWND item = GetDlgItem(dialog, ids[i]);
      int wanted = TextWidth(item) > widths[i] ? TextWidth(item) : widths[i];
      EXPECT_EQ(wanted, GetWindowWidth(item)) << ids[i];
      if (wanted - widths[i] > growth) growth = wanted - widths[i];
    }
    if (c.widest < 0) {
      EXPECT_EQ(0, growth);
      EXPECT_EQ(dialogBefore.right, WindowRect(dialog).right);
      EXPECT_EQ(okBefore.left, WindowRect(GetDlgItem(dialog, IDOK)).left);
      EXPECT_EQ(okBefore.top, WindowRect(GetDlgItem(dialog, IDOK)).top);
    } else {
      EXPECT_EQ(TextWidth(GetDlgItem(dialog, ids[c.widest])) - widths[c.widest], growth);
      EXPECT_EQ(dialogBefore.left, WindowRect(dialog).left);
      EXPECT_EQ(dialogBefore.right + growth, WindowRect(dialog).right);
      ExpectOkCentred(dialog);
      EXPECT_EQ(okBefore.top, WindowRect(GetDlgItem(dialog, IDOK)).top);
    }
    DestroyWindow(dialog);
  }
  std::free(block);
}

}  // namespace
