#include "convert/plugin_module.h"

#include "TOOLS/dll_search.h"
#include "TOOLS/pointer_checks.h"
#include "convert/plugin_calls.h"

namespace {

template <typename Proc>
Proc GetPluginProc(HMODULE module, const char* name) {
  return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

bool IsImageInputPlugin(PluginGetPluginInfoProc getPluginInfo) {
  unsigned flags = 0;
  return GetPluginKind(getPluginInfo, &flags) && (flags & PLUGIN_FLAG_I);
}

bool FailAndClose(PluginModule* plugin) {
  ClosePluginModule(plugin);
  return false;
}

}  // namespace

bool OpenPluginModule(PluginModule* plugin, const char* path) {
  plugin->module = nullptr;
  plugin->isSupported = nullptr;
  plugin->getPluginInfo = nullptr;
  plugin->getPicture = nullptr;
  CopyStringDbcs(plugin->path, sizeof plugin->path, path);
  // The current folder is no longer searched, so a plug-in's own libraries
  // are found beside it only when its folder is searched for them.
  plugin->module = LoadLibraryWithOwnFolder(plugin->path);
  if (!plugin->module) return false;
  plugin->getPluginInfo = GetPluginProc<PluginGetPluginInfoProc>(plugin->module, "GetPluginInfo");
  if (!IsValidProc(reinterpret_cast<const void*>(plugin->getPluginInfo))) return FailAndClose(plugin);
  if (!IsImageInputPlugin(plugin->getPluginInfo)) return FailAndClose(plugin);
  // Both are taken before either is tested.
  plugin->isSupported = GetPluginProc<PluginIsSupportedProc>(plugin->module, "IsSupported");
  plugin->getPicture = GetPluginProc<PluginGetPictureProc>(plugin->module, "GetPicture");
  if (!IsValidProc(reinterpret_cast<const void*>(plugin->isSupported))) return FailAndClose(plugin);
  if (!IsValidProc(reinterpret_cast<const void*>(plugin->getPicture))) return FailAndClose(plugin);
  return true;
}

bool ClosePluginModule(PluginModule* plugin) {
  bool freed = FreeLibrary(plugin->module) != FALSE;
  plugin->module = nullptr;
  plugin->isSupported = nullptr;
  plugin->getPluginInfo = nullptr;
  plugin->getPicture = nullptr;
  return freed;
}
