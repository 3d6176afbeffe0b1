#include "TOOLS/wide_text.h"

#include <windows.h>

#include <vector>

namespace {

std::wstring ReadShortPath(const wchar_t* path) {
  DWORD needed = GetShortPathNameW(path, nullptr, 0);
  if (needed == 0) return std::wstring();
  std::vector<wchar_t> buffer(needed + 1);
  DWORD length = GetShortPathNameW(path, buffer.data(), static_cast<DWORD>(buffer.size()));
  if (length == 0 || length >= buffer.size()) return std::wstring();
  return std::wstring(buffer.data(), length);
}

ShortPathReader currentShortPathReader = ReadShortPath;

void ClearText(char* out, size_t capacity) {
  if (capacity > 0) out[0] = 0;
}

}  // namespace

bool ConvertToAnsiExactly(const wchar_t* text, char* out, size_t capacity) {
  ClearText(out, capacity);
  if (capacity == 0 || capacity > 0x7FFFFFFF) return false;
  BOOL usedDefault = FALSE;
  // No best fit: "é" must not quietly become "e", which names another file.
  int written = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, -1, out,
                                    static_cast<int>(capacity), nullptr, &usedDefault);
  if (written == 0 || usedDefault) {
    ClearText(out, capacity);
    return false;
  }
  return true;
}

std::string ConvertToAnsiLossy(const wchar_t* text) {
  int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, -1, nullptr, 0, nullptr,
                                 nullptr);
  if (size <= 0) return std::string();
  std::vector<char> buffer(size);
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, -1, buffer.data(), size, nullptr,
                      nullptr);
  return std::string(buffer.data());
}

std::wstring ConvertFromAnsi(const char* text) {
  int size = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (size <= 0) return std::wstring();
  std::vector<wchar_t> buffer(size);
  MultiByteToWideChar(CP_ACP, 0, text, -1, buffer.data(), size);
  return std::wstring(buffer.data());
}

bool GetAnsiPathForm(const wchar_t* path, char* out, size_t capacity) {
  if (ConvertToAnsiExactly(path, out, capacity)) return true;
  std::wstring alias = currentShortPathReader(path);
  if (alias.empty()) return false;
  return ConvertToAnsiExactly(alias.c_str(), out, capacity);
}

std::wstring ReadModuleFileNameWide(HMODULE module) {
  // The system cuts a path that does not fit and says so only through the
  // length; the buffer grows until the whole path is there.
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    DWORD length = GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::wstring();
    if (length < buffer.size() - 1) return std::wstring(buffer.data(), length);
    if (buffer.size() >= 0x10000) return std::wstring();
    buffer.resize(buffer.size() * 2);
  }
}

ShortPathReader ReplaceShortPathReader(ShortPathReader reader) {
  ShortPathReader previous = currentShortPathReader;
  currentShortPathReader = reader != nullptr ? reader : ReadShortPath;
  return previous;
}

bool FileExistsWide(const wchar_t* path) {
  return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

bool IsFileWide(const wchar_t* path) {
  DWORD attributes = GetFileAttributesW(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}
