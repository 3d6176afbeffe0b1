#include "TOOLS/registry.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "TOOLS/scoped.h"
#include "TOOLS/wide_text.h"

bool OpenRegKey(HKEY root, const char* subKey, REGSAM access, HKEY* key) {
  return RegOpenKeyExA(root, subKey, 0, access, key) == ERROR_SUCCESS;
}

bool CreateRegKey(HKEY root, const char* subKey, HKEY* key) {
  DWORD disposition = 0;
  char noClass[] = "";
  return RegCreateKeyExA(root, subKey, 0, noClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                         nullptr, key, &disposition) == ERROR_SUCCESS;
}

bool CloseRegKey(HKEY key) { return RegCloseKey(key) == ERROR_SUCCESS; }

bool DeleteRegKey(HKEY root, const char* subKey) {
  return RegDeleteKeyA(root, subKey) == ERROR_SUCCESS;
}

bool RegKeyExists(HKEY root, const char* subKey) {
  HKEY key = nullptr;
  if (!OpenRegKey(root, subKey, KEY_ALL_ACCESS, &key)) return false;
  CloseRegKey(key);
  return true;
}

bool QueryRegValue(HKEY key, const char* name, char* buffer, DWORD capacity) {
  if (capacity == 0) return false;
  // The system may leave a text unterminated, or fill the buffer with a
  // failed read; a private copy keeps the caller's text whole until the
  // value is known to fit.
  ScopedMalloc scratch(std::malloc(capacity));
  if (!scratch) return false;
  char* value = static_cast<char*>(scratch.get());
  DWORD size = capacity;
  if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size) !=
      ERROR_SUCCESS)
    return false;
  if (size > capacity) return false;
  bool terminated = size > 0 && value[size - 1] == 0;
  if (!terminated && size == capacity) return false;
  std::memcpy(buffer, value, size);
  if (!terminated) buffer[size] = 0;
  return true;
}

bool SetRegString(HKEY key, const char* name, const char* text) {
  return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                        static_cast<DWORD>(std::strlen(text) + 1)) == ERROR_SUCCESS;
}

namespace {

bool IsTextType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

}  // namespace

bool QueryRegTextWide(HKEY key, const wchar_t* name, std::wstring* text) {
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
  // Room for a terminator the value may lack; the value may also grow
  // between the two reads, which then fails rather than cuts.
  std::vector<BYTE> bytes(size + sizeof(wchar_t) * 2, 0);
  DWORD read = size;
  if (RegQueryValueExW(key, name, nullptr, &type, bytes.data(), &read) != ERROR_SUCCESS) return false;
  if (IsTextType(type)) {
    const wchar_t* units = reinterpret_cast<const wchar_t*>(bytes.data());
    size_t count = 0;
    while (count < read / sizeof(wchar_t) && units[count] != 0) ++count;
    text->assign(units, count);
    return true;
  }
  const char* ansi = reinterpret_cast<const char*>(bytes.data());
  size_t length = 0;
  while (length < read && ansi[length] != 0) ++length;
  *text = ConvertFromAnsi(std::string(ansi, length).c_str());
  return true;
}
