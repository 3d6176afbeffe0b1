#include "about/about_dialog.h"

#include <shellapi.h>

#include <cstdlib>

#include "TOOLS/bounded_format.h"
#include "TOOLS/scoped.h"
#include "TOOLS/sjis_text.h"
#include "TOOLS/toolwind.h"
#include "about/about_dialog_internal.h"
#include "about/about_template.h"
#include "about/about_width_fit.h"
#include "about/free_resources.h"
#include "about/link_label.h"
#include "about/link_tooltip.h"
#include "about/version_strings.h"

const char PROP_ABOUTDIALOGDATA[] = "PROP_ABOUTDIALOGDATA";

namespace {

HWND aboutWindow = nullptr;

void RaiseAboutWindow() {
  BringWindowToTop(aboutWindow);
  SetForegroundWindow(aboutWindow);
  ShowWindow(aboutWindow, SW_SHOWDEFAULT);
}

// Without a version block the caption and the product line stay empty.
void SetVersionTexts(HWND dialog, HMODULE module) {
  DWORD translation = 0;
  ScopedMalloc block(LoadModuleVersionBlock(module, &translation));
  if (!block) return;
  char product[PATH_BUFFER_SIZE];
  char version[PATH_BUFFER_SIZE];
  char line[PATH_BUFFER_SIZE];
  QueryVersionString(product, block.get(), translation, "ProductName");
  if (!product[0]) QueryVersionString(product, block.get(), translation, "FileDescription");
  QueryVersionString(version, block.get(), translation, "ProductVersion");
  BoundedFormat(line, PATH_BUFFER_SIZE - 1, "%s ver. %s", product, version);
  SetDlgItemTextA(dialog, ABOUT_PRODUCT_ID, line);
  BoundedFormat(line, PATH_BUFFER_SIZE - 1, "%s について", product);
  SetWindowTextA(dialog, line);
}

// Without a URL there is nothing to link to, and the line stays empty.
void SetUpLink(HWND dialog, const AboutInfo* info) {
  if (!info || !info->url) return;
  HWND link = GetDlgItem(dialog, ABOUT_LINK_ID);
  SetWindowTextA(link, info->url);
  SubclassLinkLabel(link);
  HWND toolTip = CreateLinkToolTip(dialog, GetModuleHandleA(nullptr));
  AddLinkToolTip(toolTip, dialog, link);
}

BOOL OnLinkNotify(HWND dialog, LPARAM lParam) {
  const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header->code == LLN_CLICK) {
    const AboutDialogData* data =
        static_cast<const AboutDialogData*>(GetPropA(dialog, PROP_ABOUTDIALOGDATA));
    if (data && data->info && data->info->url) {
      ShellExecuteA(dialog, nullptr, data->info->url, nullptr, nullptr, SW_SHOWNORMAL);
    }
    EndDialog(dialog, 1);
    return TRUE;
  }
  // Sent back, the hover and the leave give the link its hot look.
  return static_cast<BOOL>(SendMessageA(header->hwndFrom, WM_NOTIFY, header->idFrom, lParam));
}

// Free points of the box act as its caption, so it can be dragged by them.
BOOL OnHitTest(HWND dialog, WPARAM wParam, LPARAM lParam) {
  LRESULT hit = DefWindowProcA(dialog, WM_NCHITTEST, wParam, lParam);
  if (hit == HTCLIENT) hit = HTCAPTION;
  SetWindowLongPtrA(dialog, DWLP_MSGRESULT, hit);
  return TRUE;
}

}  // namespace

HWND GetAboutWindow() { return aboutWindow; }

BOOL InitAboutDialog(HWND dialog, const AboutDialogData* data) {
  aboutWindow = dialog;
  SetPropA(dialog, PROP_ABOUTDIALOGDATA, const_cast<AboutDialogData*>(data));
  SetWindowIcon(dialog, ICON_BIG, data->largeIcon);
  SetWindowIcon(dialog, ICON_SMALL, data->smallIcon);
  // Centred at its narrow starting size: the fit then widens it to the right
  // without moving it again.
  CenterWindowAtCursor(dialog);
  SetVersionTexts(dialog, data->versionModule);
  SetFreeResourcesText(GetDlgItem(dialog, ABOUT_RESOURCES_ID));
  SetUpLink(dialog, data->info);
  SendDlgItemMessageA(dialog, ABOUT_ICON_ID, STM_SETICON, reinterpret_cast<WPARAM>(data->largeIcon),
                      0);
  FitAboutWidth(dialog);
  return TRUE;
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return InitAboutDialog(dialog, reinterpret_cast<const AboutDialogData*>(lParam));
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) EndDialog(dialog, IDOK);
      if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, IDCANCEL);
      return TRUE;
    case WM_NOTIFY:
      if (wParam == ABOUT_LINK_ID) return OnLinkNotify(dialog, lParam);
      return TRUE;
    case WM_NCHITTEST:
      return OnHitTest(dialog, wParam, lParam);
    case WM_DESTROY:
      RemovePropA(dialog, PROP_ABOUTDIALOGDATA);
      return TRUE;
  }
  return FALSE;
}

INT_PTR RunAboutDialog(HWND owner, const AboutInfo* info, HMODULE versionModule) {
  if (aboutWindow) {
    RaiseAboutWindow();
    return 0;
  }
  ScopedMalloc dialogTemplate(BuildAboutTemplate());
  if (!dialogTemplate) return 0;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  ScopedIcon largeIcon(GetModuleIcon(instance, SHGFI_LARGEICON));
  ScopedIcon smallIcon(GetModuleIcon(instance, SHGFI_SMALLICON));
  AboutDialogData data = {largeIcon.get(), smallIcon.get(), info, versionModule};
  INT_PTR result =
      DialogBoxIndirectParamA(instance, static_cast<LPCDLGTEMPLATEA>(dialogTemplate.get()), owner,
                              AboutDialogProc, reinterpret_cast<LPARAM>(&data));
  aboutWindow = nullptr;
  return result;
}

bool ShowAboutDialog(HWND owner, const AboutInfo* info) {
  RunAboutDialog(owner, info, GetModuleHandleA(nullptr));
  return true;
}
