#include "convert/dib_file.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include "TOOLS/toolbase.h"
#include "TOOLS/toolsys.h"
#include "convert/bmp_writer.h"
#include "convert/output_folder.h"

namespace {

const uint32_t TEMPORARY_NAME_COUNT = 1000;

bool MakeTemporaryPath(char* path, uint32_t number) {
  char extension[PATH_BUFFER_SIZE];
  if (BoundedFormat(extension, sizeof extension, ".%03u", static_cast<unsigned>(number)) < 0) return false;
  return GetOutputPathWithExtension(path, extension);
}

// CREATE_NEW: two conversions at the same moment never share one file, even
// when both found the same name free a moment ago.
FILE* CreateExclusiveFile(const char* path) {
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_WRONLY | _O_BINARY);
  if (descriptor < 0) {
    CloseHandle(file);
    DeleteFileA(path);
    return nullptr;
  }
  FILE* stream = _fdopen(descriptor, "wb");
  if (!stream) {
    _close(descriptor);
    DeleteFileA(path);
  }
  return stream;
}

bool WriteTemporaryFile(FILE* stream, const DibPicture& picture) {
  bool written = WriteDibToStream(stream, picture);
  bool closed = std::fclose(stream) == 0;
  return written && closed;
}

// The destination's attributes are cleared so that a read-only, hidden or
// system file can be replaced, and given back afterwards whatever happened.
bool ReplaceDestination(const char* temporaryPath, const char* destination) {
  DWORD attributes = GetFileAttributesA(destination);
  bool existed = attributes != INVALID_FILE_ATTRIBUTES;
  if (existed) SetFileAttributesA(destination, FILE_ATTRIBUTE_NORMAL);
  // A rename on one volume; a destination elsewhere is copied instead.
  bool replaced = MoveFileExA(temporaryPath, destination,
                              MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED) != FALSE;
  if (existed) SetFileAttributesA(destination, attributes);
  return replaced;
}

}  // namespace

uint32_t GetTemporaryNameSeed(uint32_t processId) {
  uint32_t p = processId;
  return (p ^ (p << 2) ^ (p << 4) ^ (p << 6)) & 0xFFFF;
}

FILE* CreateTemporaryFileFromSeed(char* path, uint32_t seed) {
  for (uint32_t attempt = 0; attempt < TEMPORARY_NAME_COUNT; ++attempt) {
    uint32_t number = (seed % TEMPORARY_NAME_COUNT + attempt) % TEMPORARY_NAME_COUNT;
    if (!MakeTemporaryPath(path, number)) continue;
    if (FileExists(path)) continue;
    FILE* stream = CreateExclusiveFile(path);
    if (stream) return stream;
  }
  return nullptr;
}

FILE* CreateTemporaryFile(char* path) {
  return CreateTemporaryFileFromSeed(path, GetTemporaryNameSeed(GetCurrentProcessId()));
}

bool SaveDibFile(const DibPicture& picture, const char* destination) {
  char temporaryPath[PATH_BUFFER_SIZE];
  FILE* stream = CreateTemporaryFile(temporaryPath);
  if (!stream) return false;
  bool saved = WriteTemporaryFile(stream, picture) && ReplaceDestination(temporaryPath, destination);
  // Only a temporary file that is still ours is deleted: once it has been
  // moved, another save may already have taken the same name.
  if (!saved) DeleteFileA(temporaryPath);
  return saved && FileExists(destination);
}
