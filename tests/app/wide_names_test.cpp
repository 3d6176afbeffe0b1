// File names outside code page 932: pictures, the previous wallpaper and the
// program's own folder, with real files on disk and the real program started
// as Explorer starts it (a wide command line).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "TOOLS/module_path.h"
#include "TOOLS/registry.h"
#include "TOOLS/wide_text.h"
#include "app/wallpaper_command.h"
#include "association/shell_verbs.h"
#include "tests/app/wallpaper_fixture.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"
#include "tests/support/trace_capture.h"

namespace {

using Lines = std::vector<std::string>;

const wchar_t JAPANESE[] = L"\u65e5\u672c.bmp";                     // the control
const wchar_t ACCENTED[] = L"caf\u00e9.bmp";                        // Latin-1
const wchar_t HANGUL[] = L"\ud55c\uad6d\uc5b4.bmp";                 // Korean
const wchar_t EMOJI[] = L"pic\U0001F600.bmp";                       // a surrogate pair
const wchar_t ZOE_FOLDER[] = L"Zo\u00eb \u2600";                    // "Zoë ☀"
const wchar_t PREVIOUS[] = L"pr\u00e9c\u2600.bmp";                  // "préc☀.bmp"

std::wstring Widen(const std::string& text) { return ConvertFromAnsi(text.c_str()); }

std::wstring ReadDesktopWide(const wchar_t* name) {
  HKEY key = nullptr;
  std::wstring text = L"<missing>";
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\desktop", 0, KEY_READ, &key) ==
      ERROR_SUCCESS) {
    QueryRegTextWide(key, name, &text);
    RegCloseKey(key);
  }
  return text;
}

void SetDesktopWide(const wchar_t* name, const std::wstring& text) {
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\desktop", 0,
                                         KEY_ALL_ACCESS, &key));
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

// Pictures are written under a plain name and then given their real one,
// so that the writers of the fixture need no wide paths.
void RenameTo(const std::string& from, const std::wstring& to) {
  ASSERT_TRUE(MoveFileW(Widen(from).c_str(), to.c_str())) << ConvertToAnsiLossy(to.c_str());
}

bool SameFile(const std::wstring& a, const std::wstring& b) {
  BY_HANDLE_FILE_INFORMATION infoA = {}, infoB = {};
  HANDLE fileA = CreateFileW(a.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
  HANDLE fileB = CreateFileW(b.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
  bool same = fileA != INVALID_HANDLE_VALUE && fileB != INVALID_HANDLE_VALUE &&
              GetFileInformationByHandle(fileA, &infoA) &&
              GetFileInformationByHandle(fileB, &infoB) &&
              infoA.nFileIndexLow == infoB.nFileIndexLow &&
              infoA.nFileIndexHigh == infoB.nFileIndexHigh &&
              infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber;
  if (fileA != INVALID_HANDLE_VALUE) CloseHandle(fileA);
  if (fileB != INVALID_HANDLE_VALUE) CloseHandle(fileB);
  return same;
}

// The session must be the Japanese system it claims to be: code page 932,
// and Unix file names that Wine maps back to the same characters (which
// needs the locale generated on the machine).
TEST(JapaneseSessionTest, CodePage932AndNonAsciiUnixNamesRoundTrip) {
  EXPECT_EQ(932u, GetACP());
  const char* folder = std::getenv("BROVANE_SESSION_NAMES");
  ASSERT_NE(nullptr, folder) << "the test session made no Unix-named files";
  for (const wchar_t* name : {JAPANESE, ACCENTED}) {
    std::wstring path = Widen(folder) + L"\\" + name;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(path.c_str(), &data);
    EXPECT_NE(INVALID_HANDLE_VALUE, find)
        << ConvertToAnsiLossy(name) << ": is ja_JP.UTF-8 generated on this machine?";
    if (find == INVALID_HANDLE_VALUE) continue;
    EXPECT_EQ(std::wstring(name), data.cFileName);
    FindClose(find);
  }
}

class WideNamesTest : public DesktopTest {
 protected:
  void SetUp() override { SetCurrentDesktop("2", "0", ""); }
  std::wstring Place(const std::wstring& name, bool packed) {
    const unsigned char teal[3] = {0x80, 0x80, 0x00};
    std::string plain = folder_.file(packed ? "plain.g24a" : "plain.bmp");
    if (packed)
      WritePackedPicture(plain, 8, 4, teal);
    else
      WriteBmpPicture(plain, 8, 4, teal);
    std::wstring path = Widen(folder_.path()) + L"\\" + name;
    RenameTo(plain, path);
    return path;
  }
  TempFolder folder_;
};

// Started as Explorer starts it, the real program stores the long wide name;
// the trace shows "?" for what the code page lacks.
TEST_F(WideNamesTest, TheRealProgramSetsPicturesOfAnyName) {
  for (const wchar_t* name : {JAPANESE, ACCENTED, HANGUL, EMOJI}) {
    std::wstring picture = Place(name, false);
    SetCurrentDesktop("2", "0", "");
    ChildRun run = RunUnderDebuggerWide(Widen(BrovaneProgramPath()),
                                        L"brovane.exe /tile \"" + picture + L"\"");
    ASSERT_TRUE(run.started);
    std::string label = ConvertToAnsiLossy(name);
    EXPECT_EQ(0u, run.exitCode) << label;
    EXPECT_EQ((Lines{"argv[ 0]=brovane.exe\r\n", "argv[ 1]=/tile\r\n",
                     "argv[ 2]=" + ConvertToAnsiLossy(picture.c_str()) + "\r\n"}),
              run.debugLines)
        << label;
    EXPECT_EQ("1", ReadDesktopText("TileWallpaper")) << label;
    EXPECT_EQ(picture, ReadDesktopWide(L"Wallpaper")) << label;
    DeleteFileW(picture.c_str());
  }
}

// A system that takes only BMP files makes the program convert: the loaders
// read the picture through its short alias, and the system is asked for the
// converted file.
TEST_F(WideNamesTest, PackedPicturesOfAnyNameAreConvertedAndSet) {
  std::string converted = ConvertedWallpaperPath();
  for (const wchar_t* name : {L"\u65e5\u672c.g24a", L"caf\u00e9.g24a", L"pic\U0001F600.g24a"}) {
    std::wstring picture = Place(name, true);
    DeleteFileA(converted.c_str());
    SystemStandIn system(SYSTEM_TAKES_ONLY_BMP);
    RunWallpaperCommandWithWide({L"/zoom", picture});
    std::string label = ConvertToAnsiLossy(name);
    ASSERT_EQ(2u, system.widePaths().size()) << label;
    EXPECT_EQ(picture, system.widePaths()[0]) << label;
    EXPECT_EQ(Widen(converted), system.widePaths()[1]) << label;
    EXPECT_EQ(Widen(converted), ReadDesktopWide(L"Wallpaper")) << label;
    EXPECT_EQ("2", ReadDesktopText("Wallpaperstyle")) << label;
    EXPECT_EQ(std::string("BM"), ReadFileBytes(converted).substr(0, 2)) << label;
    DeleteFileW(picture.c_str());
  }
  DeleteFileA(converted.c_str());
}

// When a run fails, the previous wallpaper is put back exactly: the whole
// wide text, whatever its length, never through the code page and never as
// "" unless it was empty.
TEST_F(WideNamesTest, ThePreviousWallpaperComesBackExactly) {
  std::wstring longName = L"C:\\" + std::wstring(296, L'\u00e9') + L".bmp";
  ASSERT_EQ(303u, longName.size());
  std::wstring refused = Place(ACCENTED, false);
  for (const std::wstring& previous :
       {Widen(folder_.path()) + L"\\" + PREVIOUS, longName, std::wstring()}) {
    SetCurrentDesktop("0", "1", "");
    SetDesktopWide(L"Wallpaper", previous);
    SystemStandIn system(SYSTEM_REFUSES_ALL);
    RunWallpaperCommandWithWide({L"/zoom", refused});
    std::string label = ConvertToAnsiLossy(previous.c_str()).substr(0, 40);
    ASSERT_FALSE(system.widePaths().empty()) << label;
    EXPECT_EQ(refused, system.widePaths().front()) << label;
    EXPECT_EQ(previous, system.widePaths().back()) << label;
    EXPECT_EQ(previous, ReadDesktopWide(L"Wallpaper")) << label;
    EXPECT_EQ("0", ReadDesktopText("Wallpaperstyle")) << label;
    EXPECT_EQ("1", ReadDesktopText("TileWallpaper")) << label;
  }
}

// The real call gets the real name back too: the settings hold "préc☀.bmp",
// not a text with "?" in it.
TEST_F(WideNamesTest, TheRealSystemCallStoresTheWideName) {
  std::wstring previous = Place(PREVIOUS, false);
  SetDesktopWide(L"Wallpaper", L"C:\\other.bmp");
  ASSERT_TRUE(SetDesktopWallpaper(previous.c_str()));
  EXPECT_EQ(previous, ReadDesktopWide(L"Wallpaper"));
  DeleteFileW(previous.c_str());
}

std::wstring NoShortAlias(const wchar_t*) { return std::wstring(); }

// Volumes may have short names switched off: such a picture counts as
// missing, and one debugger line says why.
TEST_F(WideNamesTest, ANameWithoutShortAliasCountsAsMissing) {
  std::wstring picture = Place(ACCENTED, false);
  std::wstring current = Place(JAPANESE, false);
  SetDesktopWide(L"Wallpaper", current);
  ShortPathReader real = ReplaceShortPathReader(NoShortAlias);
  SystemStandIn system(SYSTEM_TAKES_ALL);
  TraceCapture trace;
  RunWallpaperCommandWithWide({L"/tile", picture});
  ReplaceShortPathReader(real);
  EXPECT_EQ((Lines{"picture passed over: no short name for \"" +
                   ConvertToAnsiLossy(picture.c_str()) + "\"\r\n"}),
            trace.lines());
  // As with a missing file: the current wallpaper again, with the new style.
  ASSERT_EQ(1u, system.widePaths().size());
  EXPECT_EQ(current, system.widePaths()[0]);
  EXPECT_EQ("1", ReadDesktopText("TileWallpaper"));
}

// The program copied into a folder the code page cannot name: it converts
// beside itself and names itself in the Explorer commands. This test program
// is the copy: it starts itself from there with the check below.
TEST(ProgramFolderTest, AProgramInAFolderOutsideTheCodePageWorksFromThere) {
  TempFolder base;
  std::wstring folder = Widen(base.path()) + L"\\" + ZOE_FOLDER;
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  std::wstring self = Widen(TestProgramFolder()) + L"\\app_wallpaper_test.exe";
  std::wstring copy = folder + L"\\app_wallpaper_test.exe";
  ASSERT_TRUE(CopyFileW(self.c_str(), copy.c_str(), FALSE));
  SetEnvironmentVariableA("BROVANE_COPIED_PROGRAM", "1");
  ChildRun run = RunAndWaitWide(
      copy, L"app_wallpaper_test.exe --gtest_also_run_disabled_tests "
            L"--gtest_filter=CopiedProgramTest.DISABLED_ConvertsBesideItselfAndNamesItself",
      60000);
  SetEnvironmentVariableA("BROVANE_COPIED_PROGRAM", nullptr);
  ASSERT_TRUE(run.started);
  EXPECT_EQ(0u, run.exitCode);
  // The converted picture is named after the program, beside it.
  EXPECT_TRUE(IsFileWide((folder + L"\\app_wallpaper_test.bmp").c_str()));
}

// Runs only inside the copy made above.
class CopiedProgramTest : public WideNamesTest {};

TEST_F(CopiedProgramTest, DISABLED_ConvertsBesideItselfAndNamesItself) {
  ASSERT_NE(nullptr, std::getenv("BROVANE_COPIED_PROGRAM"));
  std::wstring self = ReadModuleFileNameWide();
  std::wstring folder = self.substr(0, self.find_last_of(L'\\'));
  std::wstring picture = Place(L"caf\u00e9.g24a", true);
  SystemStandIn system(SYSTEM_TAKES_ONLY_BMP);
  RunWallpaperCommandWithWide({L"/tile", picture});
  ASSERT_EQ(2u, system.widePaths().size());
  std::wstring converted = system.widePaths()[1];
  EXPECT_TRUE(SameFile(folder + L"\\app_wallpaper_test.bmp", converted))
      << ConvertToAnsiLossy(converted.c_str());
  EXPECT_TRUE(SameFile(converted, ReadDesktopWide(L"Wallpaper")));
  // The command line of an Explorer command starts this very program.
  char commandLine[COMMAND_BUFFER_SIZE];
  BuildDefaultCommandLine(commandLine, 2);
  std::string line = commandLine;
  ASSERT_EQ('"', line[0]);
  std::string program = line.substr(1, line.find('"', 1) - 1);
  EXPECT_TRUE(SameFile(self, Widen(program))) << line;
  EXPECT_EQ(" /center \"%1\"", line.substr(program.size() + 2));
}

}  // namespace
