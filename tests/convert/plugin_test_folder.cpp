#include "tests/convert/plugin_test_folder.h"

#include <cstdio>
#include <sstream>

#include "tests/convert/plugins/test_picture.h"

std::string CurrentDirectory() {
  char path[MAX_PATH] = {};
  GetCurrentDirectoryA(sizeof path, path);
  return path;
}

CurrentDirectoryKeeper::~CurrentDirectoryKeeper() { SetCurrentDirectoryA(previous_.c_str()); }

void PluginTestFolder::Add(const std::string& plugin, std::string fileName) {
  if (fileName.empty()) fileName = plugin + ".spi";
  std::string built = std::string(TEST_PLUGIN_FOLDER) + "\\" + plugin + ".spi";
  CopyFileA(built.c_str(), file(fileName).c_str(), FALSE);
}

void PluginTestFolder::AddLibrary(const std::string& fileName) {
  std::string built = std::string(TEST_PLUGIN_FOLDER) + "\\libraries\\" + fileName;
  CopyFileA(built.c_str(), file(fileName).c_str(), FALSE);
}

std::vector<std::string> PluginTestFolder::Calls() const {
  std::vector<std::string> calls;
  std::istringstream log(ReadFileBytes(file(PLUGIN_CALL_LOG)));
  std::string line;
  while (std::getline(log, line)) calls.push_back(line);
  return calls;
}

std::string PluginTestFolder::Head(const std::string& fileName) const {
  return ReadFileBytes(file(fileName + PLUGIN_HEAD_SUFFIX));
}

std::vector<HLOCAL> PluginTestFolder::HandedOutHandles(const std::string& fileName) const {
  std::string text = ReadFileBytes(file(fileName + PLUGIN_HANDLES_SUFFIX));
  void* info = nullptr;
  void* pixels = nullptr;
  std::vector<HLOCAL> handles;
  if (std::sscanf(text.c_str(), "%p %p", &info, &pixels) != 2) return handles;
  if (info) handles.push_back(info);
  if (pixels) handles.push_back(pixels);
  return handles;
}

std::string MakePpm(int width, int height, const std::string& rgbSamples) {
  return "P6\n# made by a test\n" + std::to_string(width) + " " + std::to_string(height) +
         "\n255\n" + rgbSamples;
}
