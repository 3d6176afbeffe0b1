#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "about/about_template.h"

namespace {

struct OpenedControls {
  std::string classes[5];
  std::string okText;
  std::string faceName;
  bool allChildren = true;
};

const int IDS[] = {ABOUT_ICON_ID, ABOUT_PRODUCT_ID, ABOUT_LINK_ID, ABOUT_RESOURCES_ID, ABOUT_OK_ID};

INT_PTR CALLBACK RecordAndClose(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
  if (message != WM_INITDIALOG) return FALSE;
  OpenedControls* seen = reinterpret_cast<OpenedControls*>(lParam);
  for (int i = 0; i < 5; ++i) {
    HWND item = GetDlgItem(dialog, IDS[i]);
    char name[64] = "";
    GetClassNameA(item, name, sizeof name);
    seen->classes[i] = name;
    if (!(GetWindowLongA(item, GWL_STYLE) & WS_CHILD)) seen->allChildren = false;
  }
  char text[64] = "";
  GetDlgItemTextA(dialog, ABOUT_OK_ID, text, sizeof text);
  seen->okText = text;
  LOGFONTA font = {};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)), sizeof font, &font);
  seen->faceName = font.lfFaceName;
  EndDialog(dialog, 7);
  return TRUE;
}

TEST(AboutTemplateOpenTest, TheSystemOpensItWithItsFiveControlsAndItsFont) {
  void* block = BuildAboutTemplate();
  ASSERT_NE(nullptr, block);
  OpenedControls seen;
  INT_PTR result =
      DialogBoxIndirectParamA(GetModuleHandleA(nullptr), static_cast<LPCDLGTEMPLATEA>(block),
                              nullptr, RecordAndClose, reinterpret_cast<LPARAM>(&seen));
  std::free(block);
  EXPECT_EQ(7, result);
  const char* expected[] = {"Static", "Static", "Static", "Static", "Button"};
  for (int i = 0; i < 5; ++i) EXPECT_STRCASEEQ(expected[i], seen.classes[i].c_str()) << IDS[i];
  EXPECT_TRUE(seen.allChildren);
  EXPECT_EQ("OK", seen.okText);
  EXPECT_EQ("ＭＳ Ｐゴシック", seen.faceName);
}

}  // namespace
