#include "about/link_tooltip.h"

#include <commctrl.h>

namespace {

// The first-version layout is what every common-controls version accepts.
const UINT TOOLINFO_V1_SIZE = 40;
char LINK_HINT[] = "サポートサイトへ";

}  // namespace

HWND CreateLinkToolTip(HWND owner, HINSTANCE instance) {
  return CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, instance, nullptr);
}

bool AddLinkToolTip(HWND toolTip, HWND owner, HWND link) {
  TOOLINFOA tool;
  ZeroMemory(&tool, sizeof tool);
  tool.cbSize = TOOLINFO_V1_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = owner;
  tool.uId = reinterpret_cast<UINT_PTR>(link);
  tool.lpszText = LINK_HINT;
  return SendMessageA(toolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)) != 0;
}
