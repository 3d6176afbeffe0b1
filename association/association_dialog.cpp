#include "association/association_dialog.h"

// Placeholder until the dialog lands.
bool ShowAssociationDialog() { return false; }
