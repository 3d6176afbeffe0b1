#include "app/wallpaper_plugin_folder.h"

#include "TOOLS/file_attributes.h"
#include "TOOLS/module_path.h"
#include "TOOLS/registry.h"
#include "TOOLS/scoped.h"
#include "TOOLS/sjis_text.h"

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
  QueryRegValue(key.get(), "Path", folder, PATH_BUFFER_SIZE);
  return true;
}

bool OpenPluginKey(HKEY* key) { return OpenRegKey(HKEY_CURRENT_USER, PLUGIN_KEY_NAME, KEY_READ, key); }
