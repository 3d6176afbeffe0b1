// The About box.
#pragma once
#include <windows.h>

struct AboutInfo {
  const char* url;  // the support site
};

// Opens the About box owned by owner, or raises the one already open.
bool ShowAboutDialog(HWND owner, const AboutInfo* info);
