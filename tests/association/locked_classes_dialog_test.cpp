// The dialog for a user who may not change the class key: commands go to
// the user's own place, and what cannot be changed is said in a message box
// while the dialog stays open.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "association/association_dialog.h"
#include "association/shell_verbs.h"
#include "tests/association/classes_root.h"
#include "tests/association/dialog_driver.h"

namespace {

struct Item {
  int checkBox;
  int menuEdit;
  const char* verb;
  const char* defaultCaption;
  uint32_t optionMask;
};

const Item ITEMS[] = {
    {1100, 1103, "brovane.center", "中央に表示", 2},
    {1200, 1203, "brovane.tile", "並べて表示", 4},
    {1300, 1303, "brovane.zoom", "拡大して表示", 8},
};

std::string ShellPath(const std::string& typeKey) { return typeKey + "\\shell"; }

std::string VerbPath(const std::string& typeKey, int item) {
  return ShellPath(typeKey) + "\\" + ITEMS[item].verb;
}

std::string DefaultCommand(int item) {
  char line[COMMAND_BUFFER_SIZE];
  BuildDefaultCommandLine(line, ITEMS[item].optionMask);
  return line;
}

HWND FindMessageBox(HWND dialog, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  do {
    for (HWND window = FindWindowExA(nullptr, nullptr, "#32770", nullptr); window;
         window = FindWindowExA(nullptr, window, "#32770", nullptr))
      if (window != dialog && GetWindow(window, GW_OWNER) == dialog && IsWindowVisible(window))
        return window;
    Sleep(20);
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
}

BOOL CALLBACK CollectText(HWND child, LPARAM lParam) {
  char text[1024] = {};
  GetWindowTextA(child, text, sizeof text);
  *reinterpret_cast<std::string*>(lParam) += std::string(text) + "\n";
  return TRUE;
}

// The box's texts, then the box closed as the user's OK would.
std::string DismissMessageBox(HWND box) {
  std::string texts;
  EnumChildWindows(box, CollectText, reinterpret_cast<LPARAM>(&texts));
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  WaitUntilClosed(box);
  return texts;
}

std::string EditText(HWND dialog, int id) {
  char text[256] = {};
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

class LockedClassesDialogTest : public testing::Test {
 protected:
  // A fresh prefix's ".bmp": a key that names no class.
  void SetUp() override {
    DeleteClassTree(".bmp");
    DeleteClassTree(TEST_CLASS);
    CreateClassKey(".bmp");
  }

  ClassesRootGuard guard_;
  UserPlaceGuard userPlace_;
};

TEST_F(LockedClassesDialogTest, TickingWritesTheUsersOwnCommandAndUntickingRemovesIt) {
  ReadOnlyKey lock(HKEY_CLASSES_ROOT, ".bmp");
  ASSERT_TRUE(lock.locked());

  EXPECT_TRUE(RunAssociationDialog([](HWND dialog) {
    EXPECT_FALSE(IsChecked(dialog, ITEMS[0].checkBox));
    EXPECT_TRUE(ClickCheckBox(dialog, ITEMS[0].checkBox));
    ClickItem(dialog, IDOK);
    EXPECT_TRUE(WaitUntilClosed(dialog));
  }));
  EXPECT_EQ(ITEMS[0].defaultCaption, ReadUserDefaultValue(VerbPath(USER_BMP_KEY, 0)));
  EXPECT_EQ(DefaultCommand(0), ReadUserDefaultValue(VerbPath(USER_BMP_KEY, 0) + "\\command"));
  EXPECT_FALSE(UserKeyExists(VerbPath(USER_BMP_KEY, 1)));
  EXPECT_FALSE(UserKeyExists(VerbPath(USER_BMP_KEY, 2)));
  EXPECT_FALSE(ClassKeyExists(ShellPath(".bmp")));

  EXPECT_TRUE(RunAssociationDialog([](HWND dialog) {
    EXPECT_TRUE(IsChecked(dialog, ITEMS[0].checkBox));
    EXPECT_FALSE(IsChecked(dialog, ITEMS[1].checkBox));
    EXPECT_FALSE(IsChecked(dialog, ITEMS[2].checkBox));
    EXPECT_TRUE(ClickCheckBox(dialog, ITEMS[0].checkBox));
    ClickItem(dialog, IDOK);
    EXPECT_TRUE(WaitUntilClosed(dialog));
  }));
  EXPECT_FALSE(UserKeyExists(VerbPath(USER_BMP_KEY, 0)));
  EXPECT_FALSE(ClassKeyExists(ShellPath(".bmp")));
}

TEST_F(LockedClassesDialogTest, WithBothPlacesClosedOkSaysSoAndTheDialogStaysOpen) {
  CreateUserKey(USER_BMP_KEY);
  ReadOnlyKey classLock(HKEY_CLASSES_ROOT, ".bmp");
  ReadOnlyKey userLock(HKEY_CURRENT_USER, USER_BMP_KEY);
  ASSERT_TRUE(classLock.locked());
  ASSERT_TRUE(userLock.locked());

  bool closedByOk = true;
  std::string message;
  EXPECT_FALSE(RunAssociationDialog([&](HWND dialog) {
    EXPECT_TRUE(ClickCheckBox(dialog, ITEMS[1].checkBox));
    ClickItem(dialog, IDOK);
    HWND box = FindMessageBox(dialog, 5000);
    ASSERT_NE(nullptr, box);
    EXPECT_FALSE(IsWindowEnabled(dialog)) << "the message box is modal";
    message = DismissMessageBox(box);
    closedByOk = WaitUntilClosed(dialog, 500);
  }));
  EXPECT_FALSE(closedByOk);
  EXPECT_NE(std::string::npos, message.find("「並べて表示」を登録できませんでした。")) << message;
  EXPECT_EQ(std::string::npos, message.find("中央に表示")) << message;
  EXPECT_FALSE(UserKeyExists(ShellPath(USER_BMP_KEY)));
  EXPECT_FALSE(ClassKeyExists(ShellPath(".bmp")));
}

TEST_F(LockedClassesDialogTest, ACommandOnlyInTheLockedClassKeyShowsTickedAndCannotBeRemoved) {
  WriteDefaultValue(VerbPath(".bmp", 2), "大きく");
  WriteDefaultValue(VerbPath(".bmp", 2) + "\\command", "zoom it");
  ReadOnlyKey lock(HKEY_CLASSES_ROOT, ".bmp");
  ASSERT_TRUE(lock.locked());

  bool closedByOk = true;
  std::string message;
  EXPECT_FALSE(RunAssociationDialog([&](HWND dialog) {
    EXPECT_TRUE(IsChecked(dialog, ITEMS[2].checkBox));
    EXPECT_EQ("大きく", EditText(dialog, ITEMS[2].menuEdit));
    EXPECT_TRUE(ClickCheckBox(dialog, ITEMS[2].checkBox));
    ClickItem(dialog, IDOK);
    HWND box = FindMessageBox(dialog, 5000);
    ASSERT_NE(nullptr, box);
    message = DismissMessageBox(box);
    closedByOk = WaitUntilClosed(dialog, 500);
  }));
  EXPECT_FALSE(closedByOk);
  EXPECT_NE(std::string::npos, message.find("「大きく」を削除できませんでした。")) << message;
  EXPECT_EQ("zoom it", ReadDefaultValue(VerbPath(".bmp", 2) + "\\command"));
  EXPECT_FALSE(UserKeyExists(USER_BMP_KEY));
}

}  // namespace
