// Registry calls with boolean results (true exactly on ERROR_SUCCESS).
// A key handed out by OpenRegKey or CreateRegKey belongs to the caller.
#pragma once
#include <windows.h>

#include <string>

bool OpenRegKey(HKEY root, const char* subKey, REGSAM access, HKEY* key);
bool CreateRegKey(HKEY root, const char* subKey, HKEY* key);
bool CloseRegKey(HKEY key);
bool DeleteRegKey(HKEY root, const char* subKey);
// A key that exists but grants less than full access counts as missing.
bool RegKeyExists(HKEY root, const char* subKey);
// Reads a value of at most capacity bytes. On success the buffer holds a
// terminated text whatever the registry stored (no terminator, another
// type); a value that does not fit with its terminator fails. On failure the
// buffer is left exactly as it was.
bool QueryRegValue(HKEY key, const char* name, char* buffer, DWORD capacity);
// Stores the terminator with the value.
bool SetRegString(HKEY key, const char* name, const char* text);
// Reads a value whole, whatever its length, into text (up to its first
// terminator). Text values are read as the system keeps them (UTF-16);
// other types are taken as code-page bytes, as the code-page call would
// hand them out. On failure text is left exactly as it was.
bool QueryRegTextWide(HKEY key, const wchar_t* name, std::wstring* text);
