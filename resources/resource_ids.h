// Identifiers of the program's resources, shared by the resource script and
// the code. Plain defines: the resource compiler reads this file too.
#pragma once

// The program icon: the lowest icon identifier, so the shell shows it for
// the executable.
#define IDI_PROGRAM 1
#define IDD_ASSOCIATION 120
