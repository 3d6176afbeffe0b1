#include "about/link_label.h"

#include <cstdlib>

#include "TOOLS/scoped.h"
#include "TOOLS/toolwind.h"

const char LLPROP_ORIGINALPROC[] = "LLPROP_ORIGINALPROC";
const char LLPROP_CONTROLSTATE[] = "LLPROP_CONTROLSTATE";
const char LLPROP_CURSOR[] = "LLPROP_CURSOR";
const char LLPROP_FONT[] = "LLPROP_FONT";

namespace {

DWORD GetControlState(HWND control) {
  return static_cast<DWORD>(reinterpret_cast<UINT_PTR>(GetPropA(control, LLPROP_CONTROLSTATE)));
}

void SetControlState(HWND control, DWORD state) {
  SetPropA(control, LLPROP_CONTROLSTATE, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(state)));
}

bool IsHot(HWND control) { return (GetControlState(control) & LLSTATE_HOT) != 0; }

void DrawPressedFrame(HWND control, HDC dc, const RECT* client) {
  if (GetCapture() == control && IsHot(control)) {
    FrameRect(dc, client, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
  }
}

// Always at (0, 0): the static's own alignment plays no part in a link.
void DrawLinkText(HWND control, HDC dc) {
  ScopedMalloc text(GetWindowTextAlloc(control));
  if (!text) return;
  SetTextColor(dc, IsHot(control) ? LINK_HOT_COLOR : LINK_COLOR);
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
  if (!font) return;
  SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  const char* chars = static_cast<const char*>(text.get());
  TextOutA(dc, 0, 0, chars, lstrlenA(chars));
}

LRESULT PaintLinkLabel(HWND control) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(control, &paint);
  if (dc) {
    int saved = SaveDC(dc);
    RECT client;
    GetClientRect(control, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    DrawPressedFrame(control, dc, &client);
    DrawLinkText(control, dc);
    RestoreDC(dc, saved);
  }
  EndPaint(control, &paint);
  return 0;
}

// Puts the control back as it was before the conversion.
LRESULT UndoLinkLabel(HWND control, WPARAM wParam, LPARAM lParam) {
  WNDPROC original = reinterpret_cast<WNDPROC>(GetPropA(control, LLPROP_ORIGINALPROC));
  SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
  RemovePropA(control, LLPROP_ORIGINALPROC);
  RemovePropA(control, LLPROP_CONTROLSTATE);
  HFONT font = static_cast<HFONT>(RemovePropA(control, LLPROP_FONT));
  if (font) DeleteObject(font);
  HCURSOR cursor = static_cast<HCURSOR>(RemovePropA(control, LLPROP_CURSOR));
  if (cursor) DestroyCursor(cursor);
  return CallWindowProcA(original, control, WM_DESTROY, wParam, lParam);
}

LRESULT OnLinkNotify(HWND control, WPARAM wParam, LPARAM lParam) {
  UINT code = GetNotifyCode(reinterpret_cast<const NMHDR*>(lParam));
  if (code == LLN_LEAVE) {
    SetControlState(control, 0);
    InvalidateWindow(control);
    return 0;
  }
  if (code == LLN_HOVER) {
    if (IsCursorInClient(control)) SetControlState(control, LLSTATE_HOT);
    InvalidateWindow(control);
    return 0;
  }
  return CallPreviousProc(control, WM_NOTIFY, wParam, lParam);
}

LRESULT OnMouseMove(HWND control, WPARAM wParam, LPARAM lParam) {
  if (IsCursorInClient(control)) {
    SetTimer(control, LINK_LEAVE_TIMER_ID, 0, LinkLabelTimerProc);
    NotifyLinkLabelParent(control, LLN_HOVER, static_cast<DWORD>(wParam),
                          static_cast<DWORD>(lParam));
  }
  return CallPreviousProc(control, WM_MOUSEMOVE, wParam, lParam);
}

LRESULT OnButtonUp(HWND control, WPARAM wParam, LPARAM lParam) {
  if (GetCapture() == control) {
    ReleaseCapture();
    if (IsCursorInClient(control)) NotifyLinkLabelParent(control, LLN_CLICK, 0, 0);
  }
  return CallPreviousProc(control, WM_LBUTTONUP, wParam, lParam);
}

}  // namespace

HFONT CreateUnderlinedFont(HWND window) {
  LOGFONTA font;
  if (!GetWindowFontInfo(window, &font)) return nullptr;
  font.lfUnderline = 1;
  return CreateFontIndirectA(&font);
}

bool SubclassLinkLabel(HWND control) {
  // A second conversion would keep LinkLabelProc as the "original" procedure,
  // and every message would then call itself for ever.
  if (GetPropA(control, LLPROP_ORIGINALPROC)) return false;
  ScopedGdiObject<HFONT> font(CreateUnderlinedFont(control));
  if (!font) return false;
  ScopedCursor cursor(CreateHandCursor(GetModuleHandleA(nullptr)));
  if (!cursor) return false;
  LONG_PTR original =
      SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LinkLabelProc));
  if (!original) return false;
  SetPropA(control, LLPROP_ORIGINALPROC, reinterpret_cast<HANDLE>(original));
  SetPropA(control, LLPROP_CONTROLSTATE, nullptr);
  SetPropA(control, LLPROP_CURSOR, cursor.release());
  HFONT underlined = font.release();
  SetPropA(control, LLPROP_FONT, underlined);
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(underlined), TRUE);
  return true;
}

LRESULT CallPreviousProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC previous = reinterpret_cast<WNDPROC>(GetPropA(window, LLPROP_ORIGINALPROC));
  // Gone when a parent destroyed the control while handling our own report.
  if (!previous) return DefWindowProcA(window, message, wParam, lParam);
  return CallWindowProcA(previous, window, message, wParam, lParam);
}

void NotifyLinkLabelParent(HWND control, UINT code, DWORD keyState, DWORD position) {
  NMLINKLABEL record;
  ZeroMemory(&record, sizeof record);
  InitNotifyHeader(&record.hdr, control, code);
  record.keyState = keyState;
  record.position = position;
  SendMessageA(GetParent(control), WM_NOTIFY, record.hdr.idFrom, reinterpret_cast<LPARAM>(&record));
}

void CALLBACK LinkLabelTimerProc(HWND window, UINT, UINT_PTR timerId, DWORD) {
  if (IsCursorInClient(window)) return;
  KillTimer(window, timerId);
  NotifyLinkLabelParent(window, LLN_LEAVE, 0, 0);
}

LRESULT CALLBACK LinkLabelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DESTROY:
      return UndoLinkLabel(window, wParam, lParam);
    case WM_PAINT:
      return PaintLinkLabel(window);
    case WM_SETCURSOR: {
      HCURSOR cursor = static_cast<HCURSOR>(GetPropA(window, LLPROP_CURSOR));
      if (cursor) SetCursor(cursor);
      return TRUE;
    }
    case WM_NOTIFY:
      return OnLinkNotify(window, wParam, lParam);
    case WM_NCHITTEST:
      // A static is transparent to the mouse; the link must not be.
      if (IsCursorInClient(window)) return HTCLIENT;
      break;
    case WM_MOUSEMOVE:
      return OnMouseMove(window, wParam, lParam);
    case WM_LBUTTONDOWN:
      SetCapture(window);
      InvalidateWindow(window);
      break;
    case WM_LBUTTONUP:
      return OnButtonUp(window, wParam, lParam);
  }
  return CallPreviousProc(window, message, wParam, lParam);
}
