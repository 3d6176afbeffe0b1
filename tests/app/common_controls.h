// How a test tells the themed common controls from the old ones: the loader
// takes comctl32.dll of version 6 from its side-by-side assembly folder, the
// old one from the system folder. (Wine's comctl32 reports version 5 through
// DllGetVersion from either place, so the folder is what tells them apart.)
#pragma once
#include <string>

#include <shlwapi.h>

inline bool IsCommonControls6Path(const std::string& path) {
  return StrStrIA(path.c_str(),
                  "\\x86_microsoft.windows.common-controls_6595b64144ccf1df_6.0.") != nullptr;
}
