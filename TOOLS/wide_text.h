// Texts and paths as the system holds them (UTF-16), and their forms in the
// process's code page, where the plug-ins, the packed reader and the text
// functions work. A name outside that code page reaches them through its
// short (8.3) alias, which every ANSI call can open.
#pragma once
#include <windows.h>

#include <cstddef>
#include <string>

// True when text converts to the code page without a character lost or
// replaced and fits capacity bytes with its terminator; out then holds it.
// On false out holds an empty text (when capacity allows).
bool ConvertToAnsiExactly(const wchar_t* text, char* out, size_t capacity);
// Every character that the code page lacks becomes "?"; never fails.
std::string ConvertToAnsiLossy(const wchar_t* text);
std::wstring ConvertFromAnsi(const char* text);

// The path in the code page: as it is when it converts exactly, else the
// short alias of the existing file or folder it names. False (out empty)
// when neither is possible or the result does not fit capacity bytes.
bool GetAnsiPathForm(const wchar_t* path, char* out, size_t capacity);

// The full path of a loaded module (null: the executable), whatever its
// length; empty when it cannot be read.
std::wstring ReadModuleFileNameWide(HMODULE module = nullptr);

// The system's short-alias query (GetShortPathNameW); an empty result means
// there is none. Tests only: replaces it and returns the previous one; null
// puts the real call back.
using ShortPathReader = std::wstring (*)(const wchar_t* path);
ShortPathReader ReplaceShortPathReader(ShortPathReader reader);

// File attributes of a wide path.
bool FileExistsWide(const wchar_t* path);
bool IsFileWide(const wchar_t* path);
