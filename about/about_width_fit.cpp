#include "about/about_width_fit.h"

#include <cstring>

#include "TOOLS/scoped.h"
#include "TOOLS/toolwind.h"
#include "about/about_template.h"

namespace {

const int FITTED_ITEMS[] = {ABOUT_PRODUCT_ID, ABOUT_LINK_ID, ABOUT_RESOURCES_ID};

}  // namespace

bool MeasureWindowText(HWND window, SIZE* extent) {
  extent->cx = 0;
  extent->cy = 0;
  ScopedMalloc text(GetWindowTextAlloc(window));
  if (!text) return false;
  ScopedGetDC dc(window);
  if (!dc.get()) return false;
  int saved = SaveDC(dc.get());
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
  if (font) SelectObject(dc.get(), font);
  const char* chars = static_cast<const char*>(text.get());
  GetTextExtentPoint32A(dc.get(), chars, static_cast<int>(std::strlen(chars)), extent);
  RestoreDC(dc.get(), saved);
  return true;
}

int GrowControlToText(HWND control) {
  SIZE extent;
  MeasureWindowText(control, &extent);
  int growth = extent.cx - GetWindowWidth(control);
  if (growth < 0) growth = 0;
  ResizeWindowBy(control, growth, 0);
  return growth;
}

void FitAboutWidth(HWND dialog) {
  int largest = 0;
  for (int id : FITTED_ITEMS) {
    int growth = GrowControlToText(GetDlgItem(dialog, id));
    if (growth > largest) largest = growth;
  }
  if (largest > 0) GrowDialogAndCenterOk(dialog, largest);
}

void GrowDialogAndCenterOk(HWND dialog, int growth) {
  ResizeWindowBy(dialog, growth, 0);
  HWND ok = GetDlgItem(dialog, ABOUT_OK_ID);
  int target = (GetWindowWidth(dialog) - GetWindowWidth(ok)) / 2;
  POINT offset;
  GetWindowPosition(ok, &offset);
  MakeWindowRelative(dialog, &offset);
  MoveWindowBy(ok, target - offset.x, 0);
}
