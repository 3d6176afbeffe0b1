// A plug-in folder for one test: copies of chosen test plug-ins under chosen
// names, and what they wrote down about the calls they received.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

std::string CurrentDirectory();

// Every search leaves the plug-in folder current; a folder that is current
// cannot be removed, so the former one comes back first.
class CurrentDirectoryKeeper {
 public:
  CurrentDirectoryKeeper() : previous_(CurrentDirectory()) {}
  ~CurrentDirectoryKeeper();
  CurrentDirectoryKeeper(const CurrentDirectoryKeeper&) = delete;
  CurrentDirectoryKeeper& operator=(const CurrentDirectoryKeeper&) = delete;

 private:
  std::string previous_;
};

// The current directory is put back when the folder goes.
class PluginTestFolder {
 public:
  // Puts the built test plug-in `plugin` into the folder as `fileName`
  // (default: "<plugin>.spi").
  void Add(const std::string& plugin, std::string fileName = "");
  // Puts the built library `fileName` that test plug-ins import beside them.
  void AddLibrary(const std::string& fileName);
  const std::string& path() const { return folder_.path(); }
  std::string file(const std::string& name) const { return folder_.file(name); }

  // "<file name> <call>" for every call any plug-in received, in order.
  std::vector<std::string> Calls() const;
  // The 2048 bytes that IsSupported of fileName was given.
  std::string Head(const std::string& fileName) const;
  // The handles GetPicture of fileName handed out; empty when it handed out
  // none.
  std::vector<HLOCAL> HandedOutHandles(const std::string& fileName) const;

 private:
  TempFolder folder_;
  CurrentDirectoryKeeper keeper_;  // after the folder: goes back before it goes
};

// Binary PPM bytes of a picture given as red, green, blue samples, rows from
// the top.
std::string MakePpm(int width, int height, const std::string& rgbSamples);
