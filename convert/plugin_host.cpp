#include "convert/plugin_host.h"

#include <cstdio>
#include <cstring>

#include "TOOLS/path_text.h"
#include "TOOLS/scoped.h"
#include "convert/plugin_module.h"
#include "convert/plugin_picture.h"

namespace {

bool IsDotEntry(const char* name) {
  return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

bool ReadSourceHead(PluginSearchContext* context) {
  ScopedFileStream source(std::fopen(context->source, "rb"));
  if (!source) return false;
  context->headSize =
      static_cast<int32_t>(std::fread(context->head, 1, sizeof context->head, source.get()));
  return true;
}

}  // namespace

unsigned char* LoadPictureWithPlugins(const char* source, DibPicture* picture,
                                      const char* pluginFolder, const char* pattern) {
  PluginSearchContext context;
  std::memset(&context, 0, sizeof context);
  // A cut path would name some other file.
  if (std::strlen(source) >= sizeof context.source) return nullptr;
  CopyStringDbcs(context.source, sizeof context.source, source);
  context.header = &picture->header;
  context.colors = picture->colors;
  if (!ReadSourceHead(&context)) return nullptr;
  // Plug-ins may look for files of their own beside them; the directory is
  // left there on purpose.
  SetCurrentDirectoryA(pluginFolder);
  EnumPluginFiles(pattern, pluginFolder, &context);
  return context.bits;
}

HANDLE FindFirstFileInFolder(const char* folder, const char* pattern, WIN32_FIND_DATAA* data) {
  char path[PATH_BUFFER_SIZE];
  if (!CombinePath(path, folder, pattern)) return INVALID_HANDLE_VALUE;
  return FindFirstFileA(path, data);
}

void EnumPluginFiles(const char* pattern, const char* folder, PluginSearchContext* context) {
  WIN32_FIND_DATAA data;
  ScopedFindHandle search(FindFirstFileInFolder(folder, pattern, &data));
  if (!search) return;
  bool goOn = true;
  do {
    if (IsDotEntry(data.cFileName)) continue;
    char path[PATH_BUFFER_SIZE];
    // A name too long to join cannot be loaded; it is passed over.
    if (CombinePath(path, folder, data.cFileName)) goOn = TryPlugin(path, &data, context);
  } while (goOn && FindNextFileA(search.get(), &data));
}

bool TryPlugin(const char* path, const WIN32_FIND_DATAA*, PluginSearchContext* context) {
  PluginModule plugin;
  if (!OpenPluginModule(&plugin, path)) return true;
  bool goOn = true;
  if (PluginIsSupported(plugin.isSupported, context->source, context->head, context->headSize)) {
    context->bits = GetPictureFromPlugin(plugin, context->source, context->header, context->colors);
    goOn = context->bits == nullptr;
  }
  ClosePluginModule(&plugin);
  return goOn;
}
