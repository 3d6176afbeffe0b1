#include "about/about_dialog.h"

// Placeholder until the About box lands.
bool ShowAboutDialog(HWND, const AboutInfo*) { return true; }
