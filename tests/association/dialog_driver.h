// Drives the association dialog as a user would: the real mouse and
// keyboard through SendInput, on the Wine virtual desktop. The dialog runs
// modally on the test thread; the steps run on a second thread.
#pragma once
#include <windows.h>

#include <functional>

extern const char ASSOCIATION_DIALOG_CAPTION[];

// Runs ShowAssociationDialog here and drive(dialog) beside it once the
// dialog is up. Whatever drive leaves open is cancelled, so a failing test
// never hangs. Returns ShowAssociationDialog's result.
bool RunAssociationDialog(const std::function<void(HWND dialog)>& drive);

// Top-level windows with the dialog's caption, in any process.
HWND FindAssociationDialog(DWORD timeoutMs);
int CountAssociationDialogs();

void ClickAt(POINT screen);
void DragFromTo(POINT from, POINT to);
void PressKey(WORD virtualKey);
// A left click on a dialog item, as mouse messages of the item itself.
void ClickItem(HWND dialog, int itemId);
// Clicks the check box and waits until its state has changed.
bool ClickCheckBox(HWND dialog, int itemId);
bool IsChecked(HWND dialog, int itemId);
// A screen point of the caption's close box, found by hit testing.
bool FindCloseBox(HWND dialog, POINT* point);
bool WaitUntilClosed(HWND dialog, DWORD timeoutMs = 5000);
// Waits until the window's rectangle differs from before.
bool WaitForRectChange(HWND window, const RECT& before, DWORD timeoutMs = 3000);
