// The hint shown while the cursor rests on the About box's link.
#pragma once
#include <windows.h>

// The tooltip goes with its owner.
HWND CreateLinkToolTip(HWND owner, HINSTANCE instance);
// Shows "サポートサイトへ" over the link; false when the tooltip refuses it.
bool AddLinkToolTip(HWND toolTip, HWND owner, HWND link);
