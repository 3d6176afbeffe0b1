// What the wallpaper tests share: the desktop values put back after each
// test, stand-ins for the system's answer that record every call together
// with the style the desktop key held at that moment, and pictures made here.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

// One registry value as raw bytes, or its absence.
struct RawValue {
  bool present = false;
  DWORD type = 0;
  std::string bytes;
  bool operator==(const RawValue& other) const {
    return present == other.present && (!present || (type == other.type && bytes == other.bytes));
  }
};

RawValue ReadRawValue(HKEY root, const char* subKey, const char* name);
void WriteRawValue(HKEY root, const char* subKey, const char* name, const RawValue& value);
void SetDesktopText(const char* name, const std::string& text);
std::string ReadDesktopText(const char* name);  // "<missing>" when it is not a text

// Keeps a value and puts it back (or removes it) when the owner goes.
class SavedValue {
 public:
  SavedValue(HKEY root, const char* subKey, const char* name);
  ~SavedValue();
  SavedValue(const SavedValue&) = delete;
  SavedValue& operator=(const SavedValue&) = delete;

 private:
  HKEY root_;
  std::string subKey_, name_;
  RawValue value_;
};

// The three desktop values as this test found them.
struct DesktopSnapshot {
  RawValue style, tile, wallpaper;
  bool operator==(const DesktopSnapshot& other) const {
    return style == other.style && tile == other.tile && wallpaper == other.wallpaper;
  }
};
DesktopSnapshot TakeDesktopSnapshot();

// Removes the plug-in key for the test; whatever stood there comes back.
class SavedPluginKey {
 public:
  SavedPluginKey();
  ~SavedPluginKey();
  SavedPluginKey(const SavedPluginKey&) = delete;
  SavedPluginKey& operator=(const SavedPluginKey&) = delete;
  // Creates the key; a null path leaves "Path" out.
  void Set(const char* path);

 private:
  bool existed_;
  RawValue path_;
};

// One request to switch the wallpaper, and the style texts the desktop key
// held while it was made.
struct WallpaperCall {
  std::string path;  // in the code page, "?" for what it lacks
  std::string wallpaperStyle;
  std::string tileWallpaper;
  bool operator==(const WallpaperCall& other) const {
    return path == other.path && wallpaperStyle == other.wallpaperStyle &&
           tileWallpaper == other.tileWallpaper;
  }
};
void PrintTo(const WallpaperCall& call, std::ostream* os);

enum SystemAnswer {
  SYSTEM_TAKES_ALL,       // the real call (Wine takes any path)
  SYSTEM_REFUSES_ALL,     // nothing reaches the real call
  SYSTEM_TAKES_ONLY_BMP,  // as older systems: an existing ".bmp" file goes to the real call
};

// Puts a recording stand-in in place of the system call while it lives.
class SystemStandIn {
 public:
  explicit SystemStandIn(SystemAnswer answer);
  ~SystemStandIn();
  SystemStandIn(const SystemStandIn&) = delete;
  SystemStandIn& operator=(const SystemStandIn&) = delete;
  const std::vector<WallpaperCall>& calls() const;
  // The same calls' paths exactly as the system was asked for them.
  const std::vector<std::wstring>& widePaths() const;
};

// The desktop values (and the plug-in key) as they were, whatever a test
// does; the current folder too.
class DesktopTest : public testing::Test {
 protected:
  DesktopTest();
  ~DesktopTest() override;
  // Puts known current values in place.
  void SetCurrentDesktop(const std::string& style, const std::string& tile,
                         const std::string& wallpaper);

 private:
  SavedValue style_, tile_, wallpaper_;
  char currentFolder_[MAX_PATH];

 protected:
  SavedPluginKey pluginKey_;
};

// Lets everyone only read the desktop key while it lives; the key's own
// access list comes back afterwards.
class ReadOnlyDesktopKey {
 public:
  ReadOnlyDesktopKey();
  ~ReadOnlyDesktopKey();
  ReadOnlyDesktopKey(const ReadOnlyDesktopKey&) = delete;
  ReadOnlyDesktopKey& operator=(const ReadOnlyDesktopKey&) = delete;

 private:
  HKEY key_ = nullptr;
  PACL dacl_ = nullptr;
  PSECURITY_DESCRIPTOR descriptor_ = nullptr;
  bool protected_ = false;
};
bool CanOpenDesktopFully();

// Pictures made by code: a 24-bit BMP file and a packed picture ("g24a"),
// both of one colour (blue, green, red).
void WriteBmpPicture(const std::string& path, int width, int height, const unsigned char bgr[3]);
void WritePackedPicture(const std::string& path, int width, int height, const unsigned char bgr[3]);

// Runs the command as start-up would: argv[0] is the program name. Returns
// its exit code.
int RunWallpaperCommandWith(const std::vector<std::string>& arguments);
int RunWallpaperCommandWithWide(const std::vector<std::wstring>& arguments);
bool BuildWallpaperSettingsWith(struct WallpaperSettings* settings,
                                const std::vector<std::string>& arguments);
std::string FullPathOf(const std::string& path);
std::string ConvertedWallpaperPath();  // this program's path, lower-cased, ".bmp"
