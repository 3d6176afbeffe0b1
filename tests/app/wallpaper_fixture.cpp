#include "tests/app/wallpaper_fixture.h"

#include <aclapi.h>
#include <sddl.h>
#include <shlwapi.h>

#include <cstring>
#include <ostream>

#include "TOOLS/file_attributes.h"
#include "TOOLS/module_path.h"
#include "TOOLS/path_text.h"
#include "TOOLS/sjis_text.h"
#include "TOOLS/wide_text.h"
#include "app/wallpaper_command.h"
#include "tests/support/temp_folder.h"

RawValue ReadRawValue(HKEY root, const char* subKey, const char* name) {
  RawValue value;
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return value;
  DWORD size = 0;
  if (RegQueryValueExA(key, name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
    value.bytes.resize(size);
    value.present = RegQueryValueExA(key, name, nullptr, &value.type,
                                     reinterpret_cast<BYTE*>(&value.bytes[0]), &size) ==
                    ERROR_SUCCESS;
    value.bytes.resize(size);
  }
  RegCloseKey(key);
  return value;
}

void WriteRawValue(HKEY root, const char* subKey, const char* name, const RawValue& value) {
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, subKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                           &key, nullptr));
  if (value.present)
    RegSetValueExA(key, name, 0, value.type, reinterpret_cast<const BYTE*>(value.bytes.data()),
                   static_cast<DWORD>(value.bytes.size()));
  else
    RegDeleteValueA(key, name);
  RegCloseKey(key);
}

void SetDesktopText(const char* name, const std::string& text) {
  RawValue value;
  value.present = true;
  value.type = REG_SZ;
  value.bytes = text + '\0';
  WriteRawValue(HKEY_CURRENT_USER, DESKTOP_KEY_NAME, name, value);
}

std::string ReadDesktopText(const char* name) {
  RawValue value = ReadRawValue(HKEY_CURRENT_USER, DESKTOP_KEY_NAME, name);
  if (!value.present || value.type != REG_SZ) return "<missing>";
  return std::string(value.bytes.c_str());
}

SavedValue::SavedValue(HKEY root, const char* subKey, const char* name)
    : root_(root), subKey_(subKey), name_(name), value_(ReadRawValue(root, subKey, name)) {}

SavedValue::~SavedValue() { WriteRawValue(root_, subKey_.c_str(), name_.c_str(), value_); }

DesktopSnapshot TakeDesktopSnapshot() {
  return {ReadRawValue(HKEY_CURRENT_USER, DESKTOP_KEY_NAME, "Wallpaperstyle"),
          ReadRawValue(HKEY_CURRENT_USER, DESKTOP_KEY_NAME, "TileWallpaper"),
          ReadRawValue(HKEY_CURRENT_USER, DESKTOP_KEY_NAME, "Wallpaper")};
}

namespace {

bool KeyExists(const char* subKey) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

}  // namespace

SavedPluginKey::SavedPluginKey()
    : existed_(KeyExists(PLUGIN_KEY_NAME)),
      path_(ReadRawValue(HKEY_CURRENT_USER, PLUGIN_KEY_NAME, "Path")) {
  SHDeleteKeyA(HKEY_CURRENT_USER, PLUGIN_KEY_NAME);
}

SavedPluginKey::~SavedPluginKey() {
  SHDeleteKeyA(HKEY_CURRENT_USER, PLUGIN_KEY_NAME);
  if (existed_) WriteRawValue(HKEY_CURRENT_USER, PLUGIN_KEY_NAME, "Path", path_);
  // The parents were made for the test only when nothing stood there; a
  // parent that still holds other keys stays.
  if (!existed_) {
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Hadrimol\\Susie");
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Hadrimol");
  }
}

void SavedPluginKey::Set(const char* path) {
  RawValue value;
  if (path != nullptr) {
    value.present = true;
    value.type = REG_SZ;
    value.bytes = std::string(path) + '\0';
  }
  WriteRawValue(HKEY_CURRENT_USER, PLUGIN_KEY_NAME, "Path", value);
}

void PrintTo(const WallpaperCall& call, std::ostream* os) {
  *os << "{\"" << call.path << "\", style \"" << call.wallpaperStyle << "\", tile \""
      << call.tileWallpaper << "\"}";
}

namespace {

SystemAnswer standInAnswer = SYSTEM_TAKES_ALL;
DesktopWallpaperSetter realSetter = nullptr;
std::vector<WallpaperCall> recordedCalls;
std::vector<std::wstring> recordedWidePaths;

bool IsExistingBitmapFile(const wchar_t* path) {
  size_t length = wcslen(path);
  return IsFileWide(path) && length >= 4 && _wcsicmp(path + length - 4, L".bmp") == 0;
}

bool RecordAndAnswer(const wchar_t* path) {
  recordedCalls.push_back({ConvertToAnsiLossy(path), ReadDesktopText("Wallpaperstyle"),
                           ReadDesktopText("TileWallpaper")});
  recordedWidePaths.push_back(path);
  switch (standInAnswer) {
    case SYSTEM_TAKES_ALL:
      return realSetter(path);
    case SYSTEM_REFUSES_ALL:
      return false;
    case SYSTEM_TAKES_ONLY_BMP:
      return IsExistingBitmapFile(path) && realSetter(path);
  }
  return false;
}

}  // namespace

SystemStandIn::SystemStandIn(SystemAnswer answer) {
  standInAnswer = answer;
  recordedCalls.clear();
  recordedWidePaths.clear();
  realSetter = ReplaceDesktopWallpaperSetter(RecordAndAnswer);
}

SystemStandIn::~SystemStandIn() { ReplaceDesktopWallpaperSetter(nullptr); }

const std::vector<WallpaperCall>& SystemStandIn::calls() const { return recordedCalls; }

const std::vector<std::wstring>& SystemStandIn::widePaths() const { return recordedWidePaths; }

DesktopTest::DesktopTest()
    : style_(HKEY_CURRENT_USER, DESKTOP_KEY_NAME, "Wallpaperstyle"),
      tile_(HKEY_CURRENT_USER, DESKTOP_KEY_NAME, "TileWallpaper"),
      wallpaper_(HKEY_CURRENT_USER, DESKTOP_KEY_NAME, "Wallpaper") {
  GetCurrentDirectoryA(MAX_PATH, currentFolder_);
}

DesktopTest::~DesktopTest() { SetCurrentDirectoryA(currentFolder_); }

void DesktopTest::SetCurrentDesktop(const std::string& style, const std::string& tile,
                                    const std::string& wallpaper) {
  SetDesktopText("Wallpaperstyle", style);
  SetDesktopText("TileWallpaper", tile);
  SetDesktopText("Wallpaper", wallpaper);
}

namespace {

void PutLittleEndian(std::string* bytes, unsigned long value, int size) {
  for (int i = 0; i < size; ++i) bytes->push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

int RowStride(int width) { return (width * 3 + 3) & ~3; }

std::string InfoHeader(int width, int height) {
  std::string bytes;
  PutLittleEndian(&bytes, 40, 4);
  PutLittleEndian(&bytes, width, 4);
  PutLittleEndian(&bytes, height, 4);
  PutLittleEndian(&bytes, 1, 2);   // planes
  PutLittleEndian(&bytes, 24, 2);  // bits per pixel
  PutLittleEndian(&bytes, BI_RGB, 4);
  PutLittleEndian(&bytes, RowStride(width) * height, 4);
  PutLittleEndian(&bytes, 2835, 4);
  PutLittleEndian(&bytes, 2835, 4);
  PutLittleEndian(&bytes, 0, 4);
  PutLittleEndian(&bytes, 0, 4);
  return bytes;
}

}  // namespace

void WriteBmpPicture(const std::string& path, int width, int height, const unsigned char bgr[3]) {
  std::string pixels;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) pixels.append(reinterpret_cast<const char*>(bgr), 3);
    pixels.append(RowStride(width) - width * 3, '\0');
  }
  std::string bytes = "BM";
  PutLittleEndian(&bytes, 14 + 40 + pixels.size(), 4);
  PutLittleEndian(&bytes, 0, 4);
  PutLittleEndian(&bytes, 14 + 40, 4);
  WriteFileBytes(path, bytes + InfoHeader(width, height) + pixels);
}

// The first group of three carries the colour and every later group adds
// nothing, all as literal tokens. Fill bytes of the rows take deltas too, so
// the width is kept to rows without fill (a multiple of four pixels).
void WritePackedPicture(const std::string& path, int width, int height,
                        const unsigned char bgr[3]) {
  std::string deltas(reinterpret_cast<const char*>(bgr), 3);
  deltas.append(RowStride(width) * height - 3, '\0');
  std::string stream;
  for (size_t i = 0; i < deltas.size(); i += 8) {
    std::string block = deltas.substr(i, 8);
    stream.push_back(static_cast<char>((1u << block.size()) - 1));
    stream += block;
  }
  WriteFileBytes(path, "g24a" + InfoHeader(width, height) + std::string(8, '\0') + stream);
}

ReadOnlyDesktopKey::ReadOnlyDesktopKey() {
  EXPECT_EQ(ERROR_SUCCESS,
            RegOpenKeyExA(HKEY_CURRENT_USER, DESKTOP_KEY_NAME, 0, READ_CONTROL | WRITE_DAC, &key_));
  EXPECT_EQ(ERROR_SUCCESS, GetSecurityInfo(key_, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION,
                                           nullptr, nullptr, &dacl_, nullptr, &descriptor_));
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  GetSecurityDescriptorControl(descriptor_, &control, &revision);
  protected_ = (control & SE_DACL_PROTECTED) != 0;
  // Everyone may read, nobody more; nothing inherited.
  PSECURITY_DESCRIPTOR readOnly = nullptr;
  EXPECT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(
      "D:P(A;;KR;;;WD)", SDDL_REVISION_1, &readOnly, nullptr));
  BOOL present = FALSE, defaulted = FALSE;
  PACL readOnlyDacl = nullptr;
  GetSecurityDescriptorDacl(readOnly, &present, &readOnlyDacl, &defaulted);
  EXPECT_EQ(ERROR_SUCCESS,
            SetSecurityInfo(key_, SE_REGISTRY_KEY,
                            DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                            nullptr, nullptr, readOnlyDacl, nullptr));
  LocalFree(readOnly);
}

ReadOnlyDesktopKey::~ReadOnlyDesktopKey() {
  SECURITY_INFORMATION what =
      DACL_SECURITY_INFORMATION |
      (protected_ ? PROTECTED_DACL_SECURITY_INFORMATION : UNPROTECTED_DACL_SECURITY_INFORMATION);
  SetSecurityInfo(key_, SE_REGISTRY_KEY, what, nullptr, nullptr, dacl_, nullptr);
  LocalFree(descriptor_);
  RegCloseKey(key_);
}

bool CanOpenDesktopFully() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, DESKTOP_KEY_NAME, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

namespace {

// As start-up hands them on: the program name first, a null pointer last.
// The texts live in the owner as long as the pointers are used.
class ArgumentBlock {
 public:
  explicit ArgumentBlock(const std::vector<std::wstring>& arguments) : texts_(arguments) {
    texts_.insert(texts_.begin(), L"brovane");
    for (std::wstring& text : texts_) argv_.push_back(&text[0]);
    argv_.push_back(nullptr);
  }
  int argc() const { return static_cast<int>(argv_.size() - 1); }
  wchar_t** argv() { return argv_.data(); }

 private:
  std::vector<std::wstring> texts_;
  std::vector<wchar_t*> argv_;
};

std::vector<std::wstring> Widen(const std::vector<std::string>& arguments) {
  std::vector<std::wstring> wide;
  for (const std::string& argument : arguments) wide.push_back(ConvertFromAnsi(argument.c_str()));
  return wide;
}

}  // namespace

int RunWallpaperCommandWith(const std::vector<std::string>& arguments) {
  return RunWallpaperCommandWithWide(Widen(arguments));
}

int RunWallpaperCommandWithWide(const std::vector<std::wstring>& arguments) {
  ArgumentBlock block(arguments);
  return RunWallpaperCommand(block.argc(), block.argv());
}

bool BuildWallpaperSettingsWith(WallpaperSettings* settings,
                                const std::vector<std::string>& arguments) {
  ArgumentBlock block(Widen(arguments));
  return BuildWallpaperSettings(settings, block.argc(), block.argv());
}

std::string FullPathOf(const std::string& path) {
  char full[MAX_PATH] = "";
  GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
  return full;
}

std::string ConvertedWallpaperPath() {
  char path[PATH_BUFFER_SIZE] = "";
  GetModulePathWithExtension(path, ".bmp");
  return path;
}
