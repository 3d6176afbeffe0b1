#include "TOOLS/toolwind_checks.h"

#include "TOOLS/debug_trace.h"

// The line numbers are those the trace readers already know; they name the
// condition, not a place in this file.
bool IsValidWindow(HWND window) {
  if (!window) {
    ReportFailedCheck(TOOLWIND_SOURCE, 1499, "hWnd");
    return false;
  }
  if (!IsWindow(window)) {
    ReportFailedCheck(TOOLWIND_SOURCE, 1500, "IsWindow( hWnd )");
    return false;
  }
  return true;
}

bool IsValidDlgItem(HWND dialog, int itemId) {
  if (!IsValidWindow(dialog)) {
    ReportFailedCheck(TOOLWIND_SOURCE, 1246, "IsValidWindow( hwndDlg )");
    return false;
  }
  if (!IsValidWindow(GetDlgItem(dialog, itemId))) {
    ReportFailedCheck(TOOLWIND_SOURCE, 1249, "IsValidWindow( hwndCtrl )");
    return false;
  }
  return true;
}
