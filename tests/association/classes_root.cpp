#include "tests/association/classes_root.h"

#include <shlwapi.h>

#include "tests/support/registry_access.h"

const char TEST_CLASS[] = "brovane.testclass";
const char USER_BMP_KEY[] = "Software\\Classes\\SystemFileAssociations\\.bmp";

namespace {

bool KeyExistsIn(HKEY root, const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

std::string ReadDefaultValueIn(HKEY root, const std::string& path, bool* found) {
  if (found) *found = false;
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return "";
  std::vector<char> text(0x10000, 0);
  DWORD size = static_cast<DWORD>(text.size() - 1);
  LONG status =
      RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(text.data()), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return "";
  if (found) *found = true;
  return std::string(text.data());
}

void WriteDefaultValueIn(HKEY root, const std::string& path, const std::string& text) {
  HKEY key = nullptr;
  if (RegCreateKeyA(root, path.c_str(), &key) != ERROR_SUCCESS) return;
  RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>(text.size() + 1));
  RegCloseKey(key);
}

void CreateKeyIn(HKEY root, const std::string& path) {
  HKEY key = nullptr;
  if (RegCreateKeyA(root, path.c_str(), &key) == ERROR_SUCCESS) RegCloseKey(key);
}

std::vector<std::string> SubKeyNames(HKEY root, const std::string& path) {
  std::vector<std::string> names;
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
  char name[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = sizeof name;
    if (RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    names.push_back(name);
  }
  RegCloseKey(key);
  return names;
}

// The whole tree, as a machine's class keys are for a standard user: a
// subkey made before the lock keeps its own access list otherwise.
bool SetKeyAccess(HKEY root, const std::string& path, DWORD rights) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, WRITE_DAC, &key) != ERROR_SUCCESS) return false;
  bool set = SetEveryoneAccess(key, rights);
  RegCloseKey(key);
  for (const std::string& name : SubKeyNames(root, path))
    set = SetKeyAccess(root, path + "\\" + name, rights) && set;
  return set;
}

const char BACKUP_KEY[] = "Software\\BrovaneTest\\ClassesBackup";

std::string BackupPath(const std::string& name) { return std::string(BACKUP_KEY) + "\\" + name; }

}  // namespace

bool ClassKeyExists(const std::string& path) { return KeyExistsIn(HKEY_CLASSES_ROOT, path); }

std::string ReadDefaultValue(const std::string& path, bool* found) {
  return ReadDefaultValueIn(HKEY_CLASSES_ROOT, path, found);
}

void WriteDefaultValue(const std::string& path, const std::string& text) {
  WriteDefaultValueIn(HKEY_CLASSES_ROOT, path, text);
}

void CreateClassKey(const std::string& path) { CreateKeyIn(HKEY_CLASSES_ROOT, path); }

bool UserKeyExists(const std::string& path) { return KeyExistsIn(HKEY_CURRENT_USER, path); }

std::string ReadUserDefaultValue(const std::string& path, bool* found) {
  return ReadDefaultValueIn(HKEY_CURRENT_USER, path, found);
}

void WriteUserDefaultValue(const std::string& path, const std::string& text) {
  WriteDefaultValueIn(HKEY_CURRENT_USER, path, text);
}

void CreateUserKey(const std::string& path) { CreateKeyIn(HKEY_CURRENT_USER, path); }

ReadOnlyKey::ReadOnlyKey(HKEY root, const std::string& path)
    : root_(root), path_(path), locked_(SetKeyAccess(root, path, KEY_READ)) {}

ReadOnlyKey::~ReadOnlyKey() {
  if (locked_) SetKeyAccess(root_, path_, KEY_ALL_ACCESS);
}

UserPlaceGuard::UserPlaceGuard() { SHDeleteKeyA(HKEY_CURRENT_USER, USER_BMP_KEY); }

UserPlaceGuard::~UserPlaceGuard() { SHDeleteKeyA(HKEY_CURRENT_USER, USER_BMP_KEY); }

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
