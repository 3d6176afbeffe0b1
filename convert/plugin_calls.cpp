#include "convert/plugin_calls.h"

#include <cstring>

#include "TOOLS/local_memory_checks.h"
#include "convert/plugin_fault_guard.h"

namespace {

const int PLUGIN_INFO_BUFFER_SIZE = 16;
// The host asks for the version text only: four characters.
const int PLUGIN_INFO_QUERY_SIZE = 4;
const int PLUGIN_INFO_MIN_COUNT = 3;
// Only the third and fourth characters can name a kind: the first two are
// the "0" characters of the version.
const int PLUGIN_KIND_LETTERS_END = 4;
const SIZE_T PLUGIN_INFO_MIN_SIZE = sizeof(BITMAPINFOHEADER);
const SIZE_T PLUGIN_INFO_MAX_SIZE = 2147483647;

struct KindLetter {
  char letter;
  unsigned flag;
};

const KindLetter PLUGIN_KIND_LETTERS[] = {
    {'I', PLUGIN_FLAG_I}, {'A', PLUGIN_FLAG_A}, {'X', PLUGIN_FLAG_X},
    {'C', PLUGIN_FLAG_C}, {'E', PLUGIN_FLAG_E}, {'M', PLUGIN_FLAG_M},
};

unsigned GetKindFlag(char letter) {
  for (const KindLetter& kind : PLUGIN_KIND_LETTERS)
    if (kind.letter == letter) return kind.flag;
  return 0;
}

bool IsLiveLocalMemory(HLOCAL memory) {
  return memory && LocalFlags(memory) != LMEM_INVALID_HANDLE;
}

// Whatever a plug-in handed out before it failed belongs to nobody else.
void ReleaseHandedOut(HLOCAL* info, HLOCAL* pixels) {
  if (IsLiveLocalMemory(*info)) LocalFree(*info);
  if (IsLiveLocalMemory(*pixels)) LocalFree(*pixels);
  *info = nullptr;
  *pixels = nullptr;
}

}  // namespace

bool GetPluginKind(PluginGetPluginInfoProc getPluginInfo, unsigned* flags) {
  char answer[PLUGIN_INFO_BUFFER_SIZE] = {};
  int count = 0;
  if (!CallPluginGuarded([&] { count = getPluginInfo(0, answer, PLUGIN_INFO_QUERY_SIZE); }))
    return false;
  if (count < PLUGIN_INFO_MIN_COUNT || count > PLUGIN_INFO_BUFFER_SIZE) return false;
  if (answer[0] != '0' || answer[1] != '0') return false;
  *flags = 0;
  for (int i = 0; i < count && i < PLUGIN_KIND_LETTERS_END && answer[i]; ++i)
    *flags |= GetKindFlag(answer[i]);
  return true;
}

bool PluginIsSupported(PluginIsSupportedProc isSupported, const char* source,
                       const unsigned char* head, int32_t headSize) {
  unsigned char buffer[PLUGIN_HEAD_SIZE] = {};
  if (headSize > 0) std::memcpy(buffer, head, headSize < PLUGIN_HEAD_SIZE ? headSize : PLUGIN_HEAD_SIZE);
  char path[PATH_BUFFER_SIZE];
  CopyStringDbcs(path, sizeof path, source);
  int answer = 0;
  if (!CallPluginGuarded(
          [&] { answer = isSupported(path, static_cast<DWORD>(reinterpret_cast<UINT_PTR>(buffer))); }))
    return false;
  return answer != 0;
}

bool PluginGetPicture(PluginGetPictureProc getPicture, const char* source, HLOCAL* info,
                      HLOCAL* pixels) {
  char path[PATH_BUFFER_SIZE];
  CopyStringDbcs(path, sizeof path, source);
  *info = nullptr;
  *pixels = nullptr;
  int result = 0;
  if (!CallPluginGuarded(
          [&] { result = getPicture(path, 0, 0, info, pixels, PluginProgressCallback, 0); })) {
    ReleaseHandedOut(info, pixels);
    return false;
  }
  // A plug-in that reports failure keeps what it may have allocated: nothing
  // was handed over.
  if (result != 0) return false;
  if (!IsValidLocalMemory(*pixels) ||
      !IsValidLocalMemorySize(*info, PLUGIN_INFO_MIN_SIZE, PLUGIN_INFO_MAX_SIZE)) {
    // Success was reported, so what did arrive is ours to free.
    ReleaseHandedOut(info, pixels);
    return false;
  }
  return true;
}

int WINAPI PluginProgressCallback(int, int, LONG) { return 0; }
