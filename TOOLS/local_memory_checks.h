// Argument checks on local-memory handles (the blocks image plug-ins hand back).
#pragma once
#include <windows.h>

bool IsValidLocalMemory(HLOCAL hLocal);
// Both bounds inclusive; the block is neither locked nor changed.
bool IsValidLocalMemorySize(HLOCAL hLocal, SIZE_T nMinSize, SIZE_T nMaxSize);
