// A static control turned into a hyperlink by subclassing: underlined text,
// blue, red while hot, a hand cursor, and click, hover and leave reports to
// the parent. All of its state lives in window properties on the control, and
// the conversion undoes itself at WM_DESTROY.
#pragma once
#include <windows.h>

const UINT LLN_CLICK = WM_USER + 1;  // released over the control while it held the capture
const UINT LLN_LEAVE = WM_USER + 2;  // the leave timer found the cursor outside
const UINT LLN_HOVER = WM_USER + 3;  // the mouse moved inside

const DWORD LLSTATE_HOT = 1;
const UINT LINK_LEAVE_TIMER_ID = 1;

extern const char LLPROP_ORIGINALPROC[];
extern const char LLPROP_CONTROLSTATE[];
extern const char LLPROP_CURSOR[];
extern const char LLPROP_FONT[];

const COLORREF LINK_HOT_COLOR = 0x000000FF;
const COLORREF LINK_COLOR = 0x00FF0000;

// Sent with every notification, zero-filled first. keyState and position are
// the WM_MOUSEMOVE's wParam and lParam for LLN_HOVER, 0 otherwise.
struct NMLINKLABEL {
  NMHDR hdr;
  DWORD keyState;
  DWORD position;
};

// The control needs a font already. False leaves it exactly as it was. A
// parent that wants the hot look sends LLN_HOVER and LLN_LEAVE back to the
// control unchanged.
bool SubclassLinkLabel(HWND control);

// Both belong to the caller.
HFONT CreateUnderlinedFont(HWND window);
HCURSOR CreateHandCursor(HINSTANCE instance);

LRESULT CALLBACK LinkLabelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CallPreviousProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void CALLBACK LinkLabelTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD time);
void NotifyLinkLabelParent(HWND control, UINT code, DWORD keyState, DWORD position);
