// A Susie-style image plug-in for tests. One source, built many times: each
// build's PLUGIN_* definitions pick what it answers, what picture it hands
// out and where it misbehaves. Every call is written to a log beside the
// plug-in, so a test can see what the host asked.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ppm_picture.h"
#include "test_picture.h"

#ifndef PLUGIN_INFO
#define PLUGIN_INFO "00IN"
#endif
#ifndef PLUGIN_INFO_RESULT
#define PLUGIN_INFO_RESULT 4
#endif
// 0: refuses every file; 1: takes every file; 2: takes binary PPM files.
#ifndef PLUGIN_SUPPORTS
#define PLUGIN_SUPPORTS 1
#endif
#ifndef PLUGIN_GETPICTURE_RESULT
#define PLUGIN_GETPICTURE_RESULT 0
#endif
// 0: never; 1: GetPluginInfo; 2: IsSupported; 3: GetPicture, after it has
// handed out both handles.
#ifndef PLUGIN_FAULT_IN
#define PLUGIN_FAULT_IN 0
#endif
#ifndef PLUGIN_HEADER_SIZE
#define PLUGIN_HEADER_SIZE 40
#endif
// Bytes of the info block after the 40 header bytes.
#ifndef PLUGIN_INFO_TAIL
#define PLUGIN_INFO_TAIL 0
#endif
// 1: the tail holds the three colour masks of a bit-field picture.
#ifndef PLUGIN_MASKS
#define PLUGIN_MASKS 0
#endif
#ifndef PLUGIN_WIDTH
#define PLUGIN_WIDTH 3
#endif
#ifndef PLUGIN_HEIGHT
#define PLUGIN_HEIGHT 2
#endif
#ifndef PLUGIN_BIT_COUNT
#define PLUGIN_BIT_COUNT 24
#endif
// The pixel block is the image size plus this many bytes.
#ifndef PLUGIN_PIXEL_SIZE_DELTA
#define PLUGIN_PIXEL_SIZE_DELTA 0
#endif
// PLUGIN_PIXEL_SIZE, when defined, is the pixel block's size whatever the
// header says.
// 1: GetPicture reports success with an info handle but no pixel handle.
#ifndef PLUGIN_NO_PIXEL_HANDLE
#define PLUGIN_NO_PIXEL_HANDLE 0
#endif
// 1: the picture comes from the binary PPM file itself, rows top-down.
#ifndef PLUGIN_DECODE_PPM
#define PLUGIN_DECODE_PPM 0
#endif

// 1: IsSupported probes an unreadable page and catches that fault itself
// (through IsBadReadPtr) before it answers.
#ifndef PLUGIN_PROBES_MEMORY
#define PLUGIN_PROBES_MEMORY 0
#endif
// 0: GetPicture is not exported.
#ifndef PLUGIN_EXPORTS_GETPICTURE
#define PLUGIN_EXPORTS_GETPICTURE 1
#endif

// 1: the plug-in imports plugin_helper.dll and asks it in IsSupported.
#ifndef PLUGIN_USES_HELPER
#define PLUGIN_USES_HELPER 0
#endif
#if PLUGIN_USES_HELPER
#include "tests/convert/plugins/plugin_helper.h"
#endif

#define PLUGIN_EXPORT extern "C" __declspec(dllexport)
#if PLUGIN_EXPORTS_GETPICTURE
#define PLUGIN_EXPORT_GETPICTURE PLUGIN_EXPORT
#else
#define PLUGIN_EXPORT_GETPICTURE extern "C"
#endif

namespace {

HMODULE self;

void PluginFilePath(char* path, const char* suffix) {
  GetModuleFileNameA(self, path, MAX_PATH);
  std::strcat(path, suffix);
}

const char* PluginFileName() {
  static char path[MAX_PATH];
  GetModuleFileNameA(self, path, MAX_PATH);
  const char* slash = std::strrchr(path, '\\');
  return slash ? slash + 1 : path;
}

void LogCall(const char* call) {
  char path[MAX_PATH];
  GetModuleFileNameA(self, path, MAX_PATH);
  char* slash = std::strrchr(path, '\\');
  std::strcpy(slash ? slash + 1 : path, PLUGIN_CALL_LOG);
  if (FILE* log = std::fopen(path, "ab")) {
    std::fprintf(log, "%s %s\n", PluginFileName(), call);
    std::fclose(log);
  }
}

void WriteBeside(const char* suffix, const void* bytes, size_t size) {
  char path[MAX_PATH];
  PluginFilePath(path, suffix);
  if (FILE* f = std::fopen(path, "wb")) {
    std::fwrite(bytes, 1, size, f);
    std::fclose(f);
  }
}

bool ProbeUnreadablePage() {
  void* page = VirtualAlloc(nullptr, 4096, MEM_RESERVE | MEM_COMMIT, PAGE_NOACCESS);
  BOOL bad = IsBadReadPtr(page, 4);
  VirtualFree(page, 0, MEM_RELEASE);
  return bad != FALSE;
}

void Fault() {
  volatile int* volatile nowhere = nullptr;
  *nowhere = 1;
}

size_t RowStride(int width, int bitCount) { return ((width * bitCount + 31) / 32) * 4; }

HLOCAL NewBlock(size_t size) { return LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, size); }

BITMAPINFOHEADER MakeHeader(int width, int height, int bitCount) {
  BITMAPINFOHEADER header = {};
  header.biSize = PLUGIN_HEADER_SIZE;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = static_cast<WORD>(bitCount);
  header.biCompression = PLUGIN_MASKS ? BI_BITFIELDS : BI_RGB;
  return header;
}

void FillTail(unsigned char* tail, size_t size) {
  for (size_t i = 0; i < size; ++i) tail[i] = TestInfoTailByte(i);
}

// The info block: the header, then PLUGIN_INFO_TAIL bytes.
HLOCAL MakeInfoBlock(const BITMAPINFOHEADER& header) {
  HLOCAL info = NewBlock(sizeof header + PLUGIN_INFO_TAIL);
  unsigned char* bytes = static_cast<unsigned char*>(LocalLock(info));
  std::memcpy(bytes, &header, sizeof header);
  unsigned char* tail = bytes + sizeof header;
  if (PLUGIN_MASKS) {
    DWORD masks[3];
    GetTestMasks(header.biBitCount, reinterpret_cast<uint32_t*>(masks));
    std::memcpy(tail, masks, sizeof masks);
  } else {
    FillTail(tail, PLUGIN_INFO_TAIL);
  }
  LocalUnlock(info);
  return info;
}

HLOCAL MakeTestPixels(size_t imageSize) {
#ifdef PLUGIN_PIXEL_SIZE
  size_t size = PLUGIN_PIXEL_SIZE;
  (void)imageSize;
#else
  size_t size = imageSize + PLUGIN_PIXEL_SIZE_DELTA;
#endif
  HLOCAL pixels = NewBlock(size);
  unsigned char* bytes = static_cast<unsigned char*>(LocalLock(pixels));
  for (size_t i = 0; i < size; ++i) bytes[i] = TestPixelByte(i);
  LocalUnlock(pixels);
  return pixels;
}

bool ReadWholeFile(const char* path, unsigned char** bytes, size_t* size) {
  FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  std::fseek(f, 0, SEEK_END);
  long length = std::ftell(f);
  std::fseek(f, 0, SEEK_SET);
  *bytes = static_cast<unsigned char*>(std::malloc(length > 0 ? length : 1));
  *size = std::fread(*bytes, 1, length, f);
  std::fclose(f);
  return true;
}

// A PPM file as a top-down 24-bit picture.
bool DecodePpmFile(const char* path, HLOCAL* info, HLOCAL* pixels) {
  unsigned char* file = nullptr;
  size_t size = 0;
  if (!ReadWholeFile(path, &file, &size)) return false;
  PpmLayout layout;
  bool ok = ReadPpmLayout(file, size, &layout) && size - layout.sampleOffset >= GetPpmSampleSize(layout);
  if (ok) {
    size_t stride = RowStride(layout.width, 24);
    *info = MakeInfoBlock(MakeHeader(layout.width, -layout.height, 24));
    *pixels = NewBlock(stride * layout.height);
    ConvertPpmToBgrRows(file + layout.sampleOffset, layout,
                        static_cast<unsigned char*>(LocalLock(*pixels)), stride);
    LocalUnlock(*pixels);
  }
  std::free(file);
  return ok;
}

void MakeTestPicture(HLOCAL* info, HLOCAL* pixels) {
  BITMAPINFOHEADER header = MakeHeader(PLUGIN_WIDTH, PLUGIN_HEIGHT, PLUGIN_BIT_COUNT);
  int rows = PLUGIN_HEIGHT < 0 ? -PLUGIN_HEIGHT : PLUGIN_HEIGHT;
  *info = MakeInfoBlock(header);
  if (!PLUGIN_NO_PIXEL_HANDLE) *pixels = MakeTestPixels(RowStride(PLUGIN_WIDTH, PLUGIN_BIT_COUNT) * rows);
}

void RecordHandles(HLOCAL info, HLOCAL pixels) {
  char text[64];
  int length = std::snprintf(text, sizeof text, "%p %p", static_cast<void*>(info), static_cast<void*>(pixels));
  WriteBeside(PLUGIN_HANDLES_SUFFIX, text, length);
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) self = instance;
  return TRUE;
}

PLUGIN_EXPORT int WINAPI GetPluginInfo(int number, LPSTR buffer, int size) {
  LogCall("GetPluginInfo");
  if (PLUGIN_FAULT_IN == 1) Fault();
  if (number != 0 || size < 1) return 0;
  std::strncpy(buffer, PLUGIN_INFO, size);
  return PLUGIN_INFO_RESULT;
}

PLUGIN_EXPORT int WINAPI IsSupported(LPCSTR path, DWORD head) {
  LogCall("IsSupported");
  if (PLUGIN_FAULT_IN == 2) Fault();
  if (PLUGIN_PROBES_MEMORY && !ProbeUnreadablePage()) return 0;
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(head);
  WriteBeside(PLUGIN_HEAD_SUFFIX, bytes, 2048);
  (void)path;
#if PLUGIN_USES_HELPER
  if (!PluginHelperAgrees()) return 0;
#endif
  if (PLUGIN_SUPPORTS == 2) return IsPpmHead(bytes, 2048);
  return PLUGIN_SUPPORTS;
}

typedef int(WINAPI* Progress)(int, int, LONG);

PLUGIN_EXPORT_GETPICTURE int WINAPI GetPicture(LPCSTR path, LONG length, UINT flags, HLOCAL* info,
                                    HLOCAL* pixels, Progress progress, LONG data) {
  LogCall("GetPicture");
  (void)length;
  (void)flags;
  (void)data;
  if (progress) progress(0, 1, 0);
  if (PLUGIN_GETPICTURE_RESULT != 0) return PLUGIN_GETPICTURE_RESULT;
  if (PLUGIN_DECODE_PPM) {
    if (!DecodePpmFile(path, info, pixels)) return 2;
  } else {
    MakeTestPicture(info, pixels);
  }
  RecordHandles(*info, *pixels);
  if (PLUGIN_FAULT_IN == 3) Fault();
  if (progress) progress(1, 1, 0);
  return 0;
}
