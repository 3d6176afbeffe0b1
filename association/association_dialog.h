// The association dialog: three check boxes that put the wallpaper commands
// on, or take them off, the Explorer context menu of ".bmp" files.
#pragma once
#include <windows.h>

// System-menu entries the dialog adds below Maximize.
const UINT IDM_RESTORE_INITIAL = 40005;  // the ticks read at opening
const UINT IDM_ABOUT = 40006;

// Modal, from template 120 of the process's module; true when the dialog
// ended with OK. One dialog per process at a time.
bool ShowAssociationDialog();
INT_PTR CALLBACK AssociationDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
