// Test helpers on HKEY_CLASSES_ROOT of the prefix. The tests share one
// prefix, so whatever a test changes there is put back by ClassesRootGuard.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// A class key the tests create and remove; never a real class.
extern const char TEST_CLASS[];

bool ClassKeyExists(const std::string& path);
// found is false when the key or its default value is missing.
std::string ReadDefaultValue(const std::string& path, bool* found = nullptr);
// Creates the key (and its parents) when needed.
void WriteDefaultValue(const std::string& path, const std::string& text);
void CreateClassKey(const std::string& path);
void DeleteClassTree(const std::string& path);
// The key's last-write time as one number; 0 for a missing key.
unsigned long long LastWriteTime(const std::string& path);

// The current user's own place for ".bmp" commands, under HKEY_CURRENT_USER.
// Read straight there: Wine does not merge it into HKEY_CLASSES_ROOT.
extern const char USER_BMP_KEY[];
bool UserKeyExists(const std::string& path);
std::string ReadUserDefaultValue(const std::string& path, bool* found = nullptr);
void WriteUserDefaultValue(const std::string& path, const std::string& text);
void CreateUserKey(const std::string& path);

// While it lives, the key grants everyone only reading, as a class key does
// to a standard user; then full access again (its owner may always change
// the access list).
class ReadOnlyKey {
 public:
  ReadOnlyKey(HKEY root, const std::string& path);
  ~ReadOnlyKey();
  bool locked() const { return locked_; }
  ReadOnlyKey(const ReadOnlyKey&) = delete;
  ReadOnlyKey& operator=(const ReadOnlyKey&) = delete;

 private:
  HKEY root_;
  std::string path_;
  bool locked_;
};

// Removes the user's own ".bmp" place on construction and destruction.
class UserPlaceGuard {
 public:
  UserPlaceGuard();
  ~UserPlaceGuard();
  UserPlaceGuard(const UserPlaceGuard&) = delete;
  UserPlaceGuard& operator=(const UserPlaceGuard&) = delete;
};

// Copies ".bmp", the class it names and TEST_CLASS aside on construction and
// puts exactly those keys back on destruction.
class ClassesRootGuard {
 public:
  ClassesRootGuard();
  ~ClassesRootGuard();
  ClassesRootGuard(const ClassesRootGuard&) = delete;
  ClassesRootGuard& operator=(const ClassesRootGuard&) = delete;

 private:
  struct Saved {
    std::string name;
    bool existed;
  };
  std::vector<Saved> saved_;
};
