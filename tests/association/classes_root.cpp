#include "tests/association/classes_root.h"

#include <shlwapi.h>

const char TEST_CLASS[] = "brovane.testclass";

namespace {

const char BACKUP_KEY[] = "Software\\BrovaneTest\\ClassesBackup";

std::string BackupPath(const std::string& name) { return std::string(BACKUP_KEY) + "\\" + name; }

}  // namespace

bool ClassKeyExists(const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

std::string ReadDefaultValue(const std::string& path, bool* found) {
  if (found) *found = false;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return "";
  std::vector<char> text(0x10000, 0);
  DWORD size = static_cast<DWORD>(text.size() - 1);
  LONG status =
      RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(text.data()), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return "";
  if (found) *found = true;
  return std::string(text.data());
}

void WriteDefaultValue(const std::string& path, const std::string& text) {
  HKEY key = nullptr;
  if (RegCreateKeyA(HKEY_CLASSES_ROOT, path.c_str(), &key) != ERROR_SUCCESS) return;
  RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>(text.size() + 1));
  RegCloseKey(key);
}

void CreateClassKey(const std::string& path) {
  HKEY key = nullptr;
  if (RegCreateKeyA(HKEY_CLASSES_ROOT, path.c_str(), &key) == ERROR_SUCCESS) RegCloseKey(key);
}

void DeleteClassTree(const std::string& path) { SHDeleteKeyA(HKEY_CLASSES_ROOT, path.c_str()); }

unsigned long long LastWriteTime(const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
  FILETIME time = {};
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                   nullptr, nullptr, &time);
  RegCloseKey(key);
  return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

ClassesRootGuard::ClassesRootGuard() {
  SHDeleteKeyA(HKEY_CURRENT_USER, BACKUP_KEY);
  std::vector<std::string> names = {".bmp", TEST_CLASS};
  bool named = false;
  std::string className = ReadDefaultValue(".bmp", &named);
  if (named && !className.empty() && className != TEST_CLASS) names.push_back(className);
  for (const std::string& name : names) {
    bool existed = ClassKeyExists(name);
    if (existed) {
      HKEY backup = nullptr;
      RegCreateKeyA(HKEY_CURRENT_USER, BackupPath(name).c_str(), &backup);
      SHCopyKeyA(HKEY_CLASSES_ROOT, name.c_str(), backup, 0);
      RegCloseKey(backup);
    }
    saved_.push_back({name, existed});
  }
}

ClassesRootGuard::~ClassesRootGuard() {
  for (const Saved& saved : saved_) {
    SHDeleteKeyA(HKEY_CLASSES_ROOT, saved.name.c_str());
    if (!saved.existed) continue;
    HKEY restored = nullptr;
    RegCreateKeyA(HKEY_CLASSES_ROOT, saved.name.c_str(), &restored);
    SHCopyKeyA(HKEY_CURRENT_USER, BackupPath(saved.name).c_str(), restored, 0);
    RegCloseKey(restored);
  }
  SHDeleteKeyA(HKEY_CURRENT_USER, BACKUP_KEY);
  SHDeleteEmptyKeyA(HKEY_CURRENT_USER, "Software\\BrovaneTest");
}
