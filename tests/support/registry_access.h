// Registry access lists for tests: Wine enforces them, so a key that this
// user may only read is a real case to test.
#pragma once
#include <windows.h>

// Replaces the key's access list with one entry granting Everyone exactly
// rights; the owner may still put full access back.
bool SetEveryoneAccess(HKEY key, DWORD rights);
