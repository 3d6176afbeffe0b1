#include "about/about_dialog.h"

// Placeholder until the About box lands.
void ShowAboutDialog(HWND, const AboutInfo*) {}
