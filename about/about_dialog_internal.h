// What the About box's tests reach beyond ShowAboutDialog: the open box, and
// a run whose version strings come from a module of the test's choosing.
#pragma once
#include <windows.h>

#include "about/about_dialog.h"

extern const char PROP_ABOUTDIALOGDATA[];

struct AboutDialogData {
  HICON largeIcon;
  HICON smallIcon;
  const AboutInfo* info;
  HMODULE versionModule;  // whose version block names the product
};

// The open About box, or null.
HWND GetAboutWindow();
// ShowAboutDialog with the version strings of versionModule; returns the
// dialog's end code, or 0 when it only raised the open box or showed nothing.
INT_PTR RunAboutDialog(HWND owner, const AboutInfo* info, HMODULE versionModule);

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
BOOL InitAboutDialog(HWND dialog, const AboutDialogData* data);
