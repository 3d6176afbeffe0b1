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
