#include "TOOLS/toolwind_services.h"

#include <shellapi.h>

#include <cstdlib>

#include "TOOLS/module_path.h"
#include "TOOLS/sjis_text.h"

bool GetCursorClientPos(HWND window, POINT* point) {
  GetCursorPos(point);
  return ScreenToClient(window, point) != 0;
}

bool IsCursorInClient(HWND window) {
  POINT point;
  if (!GetCursorClientPos(window, &point)) return false;
  RECT client;
  if (!GetClientRect(window, &client)) return false;
  return PtInRect(&client, point) != 0;
}

int FindMaximizeMenuItem(HMENU menu) {
  int count = GetMenuItemCount(menu);
  for (int position = 0; position < count; ++position) {
    if (GetMenuItemID(menu, position) == SC_MAXIMIZE) return position;
  }
  return -1;
}

HICON GetFileIcon(const char* path, UINT flags) {
  SHFILEINFOA info = {};
  if (!SHGetFileInfoA(path, 0, &info, sizeof info, flags | SHGFI_ICON)) return nullptr;
  return info.hIcon;
}

HICON GetModuleIcon(HMODULE module, UINT flags) {
  char path[PATH_BUFFER_SIZE];
  if (!ReadModulePath(module, path)) return nullptr;
  return GetFileIcon(path, flags);
}

HICON SetWindowIcon(HWND window, int which, HICON icon) {
  return reinterpret_cast<HICON>(
      SendMessageA(window, WM_SETICON, which, reinterpret_cast<LPARAM>(icon)));
}

char* GetWindowTextAlloc(HWND window) {
  int length = GetWindowTextLengthA(window);
  if (length < 0) return nullptr;
  char* text = static_cast<char*>(std::malloc(length + 1));
  if (!text) return nullptr;
  text[0] = 0;
  if (GetWindowTextA(window, text, length + 1) < 0) {
    std::free(text);
    return nullptr;
  }
  return text;
}

bool GetWindowFontInfo(HWND window, LOGFONTA* font) {
  HFONT handle = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
  if (!handle) return false;
  return GetObjectA(handle, sizeof(LOGFONTA), font) == sizeof(LOGFONTA);
}

bool InitNotifyHeader(NMHDR* header, HWND sender, UINT code) {
  *header = NMHDR{};
  header->code = code;
  header->hwndFrom = sender;
  header->idFrom = GetDlgCtrlID(sender);
  return true;
}

UINT GetNotifyCode(const NMHDR* header) { return header->code; }
