// The application manifest: what the built program carries, and what the
// same manifest does to a process that starts with it (this test program
// links the very same resource).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "TOOLS/scoped.h"
#include "tests/app/common_controls.h"
#include "tests/support/child_process.h"

namespace {

std::string ManifestOf(HMODULE module) {
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
  if (!found) return "";
  HGLOBAL loaded = LoadResource(module, found);
  const char* bytes = static_cast<const char*>(LockResource(loaded));
  return bytes ? std::string(bytes, SizeofResource(module, found)) : "";
}

std::string ProgramManifest() {
  ScopedLibrary program(
      LoadLibraryExA(BrovaneProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  return program ? ManifestOf(program.get()) : "";
}

TEST(ManifestTest, TheProgramCarriesEachSettingAndNoOther) {
  std::string manifest = ProgramManifest();
  ASSERT_FALSE(manifest.empty());
  // Exactly what this test program starts with, so the checks below on this
  // process hold for the program too.
  EXPECT_EQ(ManifestOf(GetModuleHandleA(nullptr)), manifest);
  const char* const present[] = {
      "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>",
      "<supportedOS Id=\"{e2011457-1546-43c5-a5fe-008deee3d3f0}\"/>",  // Vista
      "<supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>",  // 7
      "<supportedOS Id=\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\"/>",  // 8
      "<supportedOS Id=\"{1f676c76-80e1-4239-95bb-83d0f6d0da78}\"/>",  // 8.1
      "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>",  // 10 and 11
      "<assemblyIdentity type=\"win32\" name=\"Microsoft.Windows.Common-Controls\" "
      "version=\"6.0.0.0\"\n          processorArchitecture=\"x86\" "
      "publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/>",
      "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>",
  };
  for (const char* element : present) EXPECT_NE(std::string::npos, manifest.find(element)) << element;
  // The dialogs do not follow a change of monitor, so nothing claims they do.
  for (const char* absent : {"dpiAwareness", "PerMonitor", "true/pm", "requireAdministrator"})
    EXPECT_EQ(std::string::npos, manifest.find(absent)) << absent;
  EXPECT_EQ(0u, manifest.find("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"));
}

TEST(ManifestTest, TheProcessGetsCommonControls6) {
  ScopedLibrary controls(LoadLibraryA("comctl32.dll"));
  ASSERT_TRUE(controls);
  char path[MAX_PATH] = "";
  GetModuleFileNameA(controls.get(), path, sizeof path);
  EXPECT_TRUE(IsCommonControls6Path(path)) << path;
}

// The loader read the setting as the system-aware "true". Wine reports every
// process DPI-aware, so IsProcessDPIAware alone would prove nothing here; on
// Windows it is this setting that makes it true.
TEST(ManifestTest, TheProcessIsSystemDpiAware) {
  using QuerySettingsProc = BOOL(WINAPI*)(DWORD, HANDLE, const wchar_t*, const wchar_t*, wchar_t*,
                                          SIZE_T, SIZE_T*);
  auto querySettings = reinterpret_cast<QuerySettingsProc>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "QueryActCtxSettingsW")));
  ASSERT_NE(nullptr, querySettings);
  wchar_t value[32] = L"";
  SIZE_T length = 0;
  ASSERT_TRUE(querySettings(0, nullptr, L"http://schemas.microsoft.com/SMI/2005/WindowsSettings",
                            L"dpiAware", value, 32, &length));
  EXPECT_EQ(std::wstring(L"true"), value);
  using IsAwareProc = BOOL(WINAPI*)();
  auto isAware = reinterpret_cast<IsAwareProc>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("user32.dll"), "IsProcessDPIAware")));
  ASSERT_NE(nullptr, isAware);
  EXPECT_TRUE(isAware());
}

}  // namespace
