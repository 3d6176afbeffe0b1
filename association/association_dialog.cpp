#include "association/association_dialog.h"

#include <shellapi.h>

#include <cstdint>
#include <string>

#include "TOOLS/scoped.h"
#include "TOOLS/toolwind.h"
#include "about/about_dialog.h"
#include "association/shell_verbs.h"
#include "resources/resource_ids.h"

namespace {

const char SUPPORT_SITE_URL[] = "https://velmique.example.com/";
const char RESTORE_INITIAL_TEXT[] = "設定を初期値に戻す(&D)";
const char ABOUT_TEXT[] = "About(&A)";
const char REGISTER_FAILED_TEXT[] = "」を登録できませんでした。";
const char REMOVE_FAILED_TEXT[] = "」を削除できませんでした。";
const char RIGHTS_HINT_TEXT[] = "この操作をする権限がない可能性があります。";

struct AssociationControlRow {
  int itemId;
  uint32_t itemFlag;
  int checkBox;
  int detailsButton;
  int menuEdit;
  int menuLabel;
  int commandEdit;
  int commandLabel;
  int groupBox;
};

// One row per item, in the order of AssociationItemTable.
const AssociationControlRow AssociationControlTable[ASSOCIATION_ITEM_COUNT] = {
    {1000, 1, 1100, 1106, 1103, 1123, 1104, 1124, 1101},
    {1001, 2, 1200, 1206, 1203, 1223, 1204, 1224, 1201},
    {1002, 4, 1300, 1306, 1303, 1323, 1304, 1324, 1301},
};

using ControlField = int AssociationControlRow::*;
const ControlField ROW_FIELDS[] = {
    &AssociationControlRow::checkBox,    &AssociationControlRow::detailsButton,
    &AssociationControlRow::menuEdit,    &AssociationControlRow::menuLabel,
    &AssociationControlRow::commandEdit, &AssociationControlRow::commandLabel,
    &AssociationControlRow::groupBox,
};
// The fields after the details button.
const ControlField* const DETAIL_FIELDS = ROW_FIELDS + 2;
const int DETAIL_FIELD_COUNT = 5;

struct HitTestRemap {
  LRESULT defaultCode;
  LRESULT dialogCode;
};

// The background drags the dialog; the edges and corners never resize it
// vertically.
const HitTestRemap HitTestRemapTable[] = {
    {HTCLIENT, HTCAPTION}, {HTTOP, HTBORDER},      {HTBOTTOM, HTBORDER},     {HTTOPLEFT, HTLEFT},
    {HTTOPRIGHT, HTRIGHT}, {HTBOTTOMLEFT, HTLEFT}, {HTBOTTOMRIGHT, HTRIGHT},
};

// The records are about 100 KB each, too large for a stack frame.
AssociationSettings loadedSettings;
AssociationSettings editedSettings;
// Zero until the dialog has measured itself: before that no size limit
// applies, so a stale or empty size never squeezes the dialog as it is
// created.
SIZE trackSize;
ScopedIcon largeIcon;
ScopedIcon smallIcon;

const AssociationControlRow* FindControlRow(int itemId) {
  for (const AssociationControlRow& row : AssociationControlTable)
    if (row.itemId == itemId) return &row;
  return nullptr;
}

AssociationItem& ItemOf(AssociationSettings* settings, const AssociationControlRow& row) {
  return settings->items[row.itemId - FIRST_ASSOCIATION_ITEM_ID];
}

void SetDialogIcons(HWND dialog) {
  HMODULE module = GetModuleHandleA(nullptr);
  largeIcon.reset(GetModuleIcon(module, SHGFI_LARGEICON));
  smallIcon.reset(GetModuleIcon(module, SHGFI_SMALLICON));
  SetWindowIcon(dialog, ICON_BIG, largeIcon.get());
  SetWindowIcon(dialog, ICON_SMALL, smallIcon.get());
}

// Each insertion lands directly below Maximize and pushes the previous one
// down, hence the reverse order.
void AddSystemMenuItems(HWND dialog) {
  HMENU menu = GetSystemMenu(dialog, FALSE);
  int position = FindMaximizeMenuItem(menu);
  if (position < 0) return;
  InsertMenuA(menu, position + 1, MF_BYPOSITION | MF_STRING, IDM_ABOUT, ABOUT_TEXT);
  InsertMenuA(menu, position + 1, MF_BYPOSITION | MF_STRING, IDM_RESTORE_INITIAL,
              RESTORE_INITIAL_TEXT);
  InsertMenuA(menu, position + 1, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
}

void EnableItemFields(HWND dialog, int itemId, bool enable) {
  const AssociationControlRow* row = FindControlRow(itemId);
  if (!row) return;
  for (int i = 0; i < DETAIL_FIELD_COUNT; ++i)
    if (IsValidDlgItem(dialog, row->*DETAIL_FIELDS[i]))
      EnableDlgItem(dialog, row->*DETAIL_FIELDS[i], enable);
}

void MoveRowVertically(HWND dialog, const AssociationControlRow& row, int delta) {
  for (ControlField field : ROW_FIELDS)
    if (IsValidDlgItem(dialog, row.*field)) MoveDlgItemVertically(dialog, row.*field, delta);
}

// Hides the item's detail fields and pulls everything below them up to the
// bottom of its details button. Screen pixels throughout, so the deltas are
// what the dialog really shows.
void CollapseItem(HWND dialog, int itemId) {
  const AssociationControlRow* row = FindControlRow(itemId);
  if (!row) return;
  for (int i = 0; i < DETAIL_FIELD_COUNT; ++i)
    if (IsValidDlgItem(dialog, row->*DETAIL_FIELDS[i]))
      ShowDlgItem(dialog, row->*DETAIL_FIELDS[i], false);
  int detailsBottom = GetDlgItemBottom(dialog, row->detailsButton);
  int delta = detailsBottom - GetDlgItemBottom(dialog, row->groupBox);
  for (const AssociationControlRow& other : AssociationControlTable) {
    if (&other == row) continue;
    if (GetDlgItemTop(dialog, other.groupBox) > detailsBottom)
      MoveRowVertically(dialog, other, delta);
  }
  MoveDlgItemVertically(dialog, IDOK, delta);
  MoveDlgItemVertically(dialog, IDCANCEL, delta);
  // The resize passes the size limits, which must already allow the new
  // height.
  trackSize.cy += delta;
  ResizeWindowBy(dialog, 0, delta);
}

void InitItemLayout(HWND dialog) {
  for (const AssociationControlRow& row : AssociationControlTable) {
    ShowDlgItem(dialog, row.detailsButton, false);
    CollapseItem(dialog, row.itemId);
  }
}

void FillDialogControls(HWND dialog, AssociationSettings* settings) {
  for (const AssociationControlRow& row : AssociationControlTable) {
    bool ticked = (settings->enabled & row.itemFlag) != 0;
    if (IsValidDlgItem(dialog, row.checkBox)) {
      EnableItemFields(dialog, row.itemId, ticked);
      CheckDlgButton(dialog, row.checkBox, ticked ? BST_CHECKED : BST_UNCHECKED);
    } else {
      EnableItemFields(dialog, row.itemId, false);
    }
    AssociationItem& item = ItemOf(settings, row);
    if (IsValidDlgItem(dialog, row.menuEdit)) SetDlgItemTextA(dialog, row.menuEdit, item.caption);
    if (IsValidDlgItem(dialog, row.commandEdit))
      SetDlgItemTextA(dialog, row.commandEdit, item.commandLine);
  }
}

// The loaded texts stand wherever a control is missing.
void ReadDialogControls(HWND dialog, AssociationSettings* edited) {
  edited->enabled = 0;
  for (const AssociationControlRow& row : AssociationControlTable) {
    if (IsValidDlgItem(dialog, row.checkBox) &&
        IsDlgButtonChecked(dialog, row.checkBox) == BST_CHECKED)
      edited->enabled |= row.itemFlag;
    AssociationItem& item = ItemOf(edited, row);
    const AssociationItem& loaded = ItemOf(&loadedSettings, row);
    CopyStringDbcs(item.caption, CAPTION_BUFFER_SIZE, loaded.caption);
    CopyStringDbcs(item.commandLine, COMMAND_BUFFER_SIZE, loaded.commandLine);
    CopyStringDbcs(item.reserved, RESERVED_TEXT_SIZE, loaded.reserved);
    if (IsValidDlgItem(dialog, row.menuEdit))
      GetDlgItemTextA(dialog, row.menuEdit, item.caption, CAPTION_BUFFER_SIZE);
    if (IsValidDlgItem(dialog, row.commandEdit))
      GetDlgItemTextA(dialog, row.commandEdit, item.commandLine, COMMAND_BUFFER_SIZE);
  }
}

void OpenDialog(HWND dialog) {
  SetDialogIcons(dialog);
  // Centred at the template's full size; the collapses then shrink it from
  // the top-left corner.
  CenterWindowAtCursor(dialog);
  GetWindowSize(dialog, &trackSize);
  LoadAssociationSettings(&loadedSettings);
  AddSystemMenuItems(dialog);
  InitItemLayout(dialog);
  FillDialogControls(dialog, &loadedSettings);
}

void LimitTrackingSize(MINMAXINFO* info) {
  if (trackSize.cx <= 0) return;
  info->ptMinTrackSize.x = info->ptMaxTrackSize.x = trackSize.cx;
  info->ptMinTrackSize.y = info->ptMaxTrackSize.y = trackSize.cy;
}

bool RemapHitTest(HWND dialog, WPARAM wParam, LPARAM lParam) {
  LRESULT code = DefWindowProcA(dialog, WM_NCHITTEST, wParam, lParam);
  for (const HitTestRemap& remap : HitTestRemapTable) {
    if (remap.defaultCode != code) continue;
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, remap.dialogCode);
    return true;
  }
  return false;
}

// One line per command that could not be changed, named by its caption as
// the user knows it.
std::string DescribeFailures(uint32_t failedItems) {
  std::string message;
  for (const AssociationItemRow& row : AssociationItemTable) {
    if (!(failedItems & row.itemFlag)) continue;
    const AssociationItem& item = editedSettings.items[row.itemId - FIRST_ASSOCIATION_ITEM_ID];
    const char* caption = item.caption[0] ? item.caption : row.defaultCaption;
    bool adding = (editedSettings.enabled & row.itemFlag) != 0;
    message += "「";
    message += caption;
    message += adding ? REGISTER_FAILED_TEXT : REMOVE_FAILED_TEXT;
    message += "\n";
  }
  return message + RIGHTS_HINT_TEXT;
}

void ReportFailures(HWND dialog, uint32_t failedItems) {
  char title[256] = {};
  GetWindowTextA(dialog, title, sizeof title);
  MessageBoxA(dialog, DescribeFailures(failedItems).c_str(), title, MB_ICONWARNING | MB_OK);
}

// False when a command could not be changed: the user has been told, and
// the dialog must not close as if it had been.
bool ApplyDialogChanges(HWND dialog) {
  ReadDialogControls(dialog, &editedSettings);
  uint32_t failedItems = 0;
  if (ApplyAssociationSettings(&editedSettings, GetChangedItems(&editedSettings, &loadedSettings),
                               &failedItems))
    return true;
  // What did change is now the state to compare with, so a second OK tries
  // only what is still missing.
  LoadAssociationSettings(&loadedSettings);
  ReportFailures(dialog, failedItems);
  return false;
}

bool HandleCommand(HWND dialog, int id) {
  if (id == IDOK) {
    if (ApplyDialogChanges(dialog)) EndDialog(dialog, IDOK);
    return true;
  }
  if (id == IDCANCEL) {
    EndDialog(dialog, IDCANCEL);
    return true;
  }
  for (const AssociationControlRow& row : AssociationControlTable) {
    if (row.checkBox != id) continue;
    EnableItemFields(dialog, row.itemId, IsDlgButtonChecked(dialog, id) == BST_CHECKED);
    return true;
  }
  return false;
}

bool HandleSystemCommand(HWND dialog, UINT id) {
  if (id == IDM_RESTORE_INITIAL) {
    FillDialogControls(dialog, &loadedSettings);
    return true;
  }
  if (id == IDM_ABOUT) {
    AboutInfo info = {SUPPORT_SITE_URL};
    ShowAboutDialog(dialog, &info);
    return true;
  }
  return false;
}

}  // namespace

INT_PTR CALLBACK AssociationDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OpenDialog(dialog);
      return FALSE;
    case WM_GETMINMAXINFO:
      LimitTrackingSize(reinterpret_cast<MINMAXINFO*>(lParam));
      return TRUE;
    case WM_NCHITTEST:
      return RemapHitTest(dialog, wParam, lParam);
    case WM_COMMAND:
      return HandleCommand(dialog, LOWORD(wParam));
    case WM_SYSCOMMAND:
      return HandleSystemCommand(dialog, LOWORD(wParam));
    case WM_DESTROY:
      return TRUE;
  }
  return FALSE;
}

bool ShowAssociationDialog() {
  trackSize.cx = trackSize.cy = 0;
  INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ASSOCIATION),
                                   nullptr, AssociationDialogProc, 0);
  trackSize.cx = trackSize.cy = 0;
  // The dialog held on to its icons until it closed; now they can go.
  largeIcon.reset();
  smallIcon.reset();
  return result == IDOK;
}
