// The association dialog: three Explorer commands on ".bmp" files.
#pragma once

// Modal; true when the dialog ended with OK.
bool ShowAssociationDialog();
