#include "app/wallpaper_plugin_folder.h"

#include <string>

#include "TOOLS/file_attributes.h"
#include "TOOLS/module_path.h"
#include "TOOLS/registry.h"
#include "TOOLS/scoped.h"
#include "TOOLS/sjis_text.h"
#include "TOOLS/wide_text.h"

const char PLUGIN_KEY_NAME[] = "Software\\Hadrimol\\Susie\\Plug-in";

void FindPluginFolder(char* folder) {
  folder[0] = 0;
  GetPluginFolder(folder);
  if (!FileExists(folder)) GetModuleDirectory(folder);
}

bool GetPluginFolder(char* folder) {
  ScopedRegKey key;
  if (!OpenPluginKey(key.receive())) return false;
  folder[0] = 0;
  // Read as the system keeps it; a folder the code page cannot name is used
  // through its short alias, since the plug-ins only take code-page paths.
  std::wstring path;
  if (QueryRegTextWide(key.get(), L"Path", &path)) GetAnsiPathForm(path.c_str(), folder, PATH_BUFFER_SIZE);
  return true;
}

bool OpenPluginKey(HKEY* key) { return OpenRegKey(HKEY_CURRENT_USER, PLUGIN_KEY_NAME, KEY_READ, key); }
