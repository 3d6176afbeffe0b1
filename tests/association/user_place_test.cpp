// The commands where this user may not change the class key: read with
// reading rights, written to the user's own place, and every failure
// reported.
#include <gtest/gtest.h>
#include <shlwapi.h>
#include <windows.h>

#include <cstring>
#include <memory>
#include <string>

#include "association/shell_verbs.h"
#include "tests/association/classes_root.h"

namespace {

const char* const VERBS[] = {"brovane.center", "brovane.tile", "brovane.zoom"};

std::string ShellPath(const std::string& typeKey) { return typeKey + "\\shell"; }

std::string VerbPath(const std::string& typeKey, int index) {
  return ShellPath(typeKey) + "\\" + VERBS[index];
}

std::string UserVerbPath(int index) { return VerbPath(USER_BMP_KEY, index); }

std::unique_ptr<AssociationSettings> LoadedSettings() {
  std::unique_ptr<AssociationSettings> settings(new AssociationSettings());
  LoadAssociationSettings(settings.get());
  return settings;
}

// Both shapes a class key comes in: ".bmp" itself, and a class it names.
struct ClassShape {
  const char* name;
  const char* classKey;
};
const ClassShape SHAPES[] = {
    {".bmp names no class", ".bmp"},
    {".bmp names an existing class", TEST_CLASS},
};

class UserPlaceTest : public testing::Test {
 protected:
  void SetUp() override {
    DeleteClassTree(".bmp");
    DeleteClassTree(TEST_CLASS);
  }
  void UseShape(const ClassShape& shape) {
    DeleteClassTree(".bmp");
    DeleteClassTree(TEST_CLASS);
    SHDeleteKeyA(HKEY_CURRENT_USER, USER_BMP_KEY);
    CreateClassKey(".bmp");
    if (std::string(shape.classKey) != ".bmp") {
      WriteDefaultValue(".bmp", shape.classKey);
      CreateClassKey(shape.classKey);
    }
  }
  void WriteClassVerb(const std::string& classKey, int index, const std::string& caption,
                      const std::string& command) {
    WriteDefaultValue(VerbPath(classKey, index), caption);
    WriteDefaultValue(VerbPath(classKey, index) + "\\command", command);
  }
  void WriteUserVerb(int index, const std::string& caption, const std::string& command) {
    WriteUserDefaultValue(UserVerbPath(index), caption);
    WriteUserDefaultValue(UserVerbPath(index) + "\\command", command);
  }

  ClassesRootGuard guard_;
  UserPlaceGuard userPlace_;
};

TEST_F(UserPlaceTest, ALockedClassKeyIsStillReadAndWritesGoToTheUsersPlace) {
  for (const ClassShape& shape : SHAPES) {
    SCOPED_TRACE(shape.name);
    UseShape(shape);
    WriteClassVerb(shape.classKey, 0, "中央", "center it");
    ReadOnlyKey lock(HKEY_CLASSES_ROOT, shape.classKey);
    ASSERT_TRUE(lock.locked());

    char className[PATH_BUFFER_SIZE];
    EXPECT_TRUE(ResolveFileClass(".bmp", className));
    EXPECT_STREQ(shape.classKey, className);
    auto loaded = LoadedSettings();
    EXPECT_EQ(1u, loaded->enabled);
    EXPECT_STREQ("中央", loaded->items[0].caption);
    EXPECT_STREQ("center it", loaded->items[0].commandLine);

    EXPECT_TRUE(WriteShellVerb(".bmp", VERBS[1], "並べて", "tile it"));
    EXPECT_EQ("並べて", ReadUserDefaultValue(UserVerbPath(1)));
    EXPECT_EQ("tile it", ReadUserDefaultValue(UserVerbPath(1) + "\\command"));
    EXPECT_FALSE(ClassKeyExists(VerbPath(shape.classKey, 1)));
    EXPECT_FALSE(UserKeyExists(UserVerbPath(0)));
    EXPECT_FALSE(UserKeyExists(UserVerbPath(2)));

    auto reloaded = LoadedSettings();
    EXPECT_EQ(3u, reloaded->enabled);
    EXPECT_STREQ("並べて", reloaded->items[1].caption);
    EXPECT_STREQ("tile it", reloaded->items[1].commandLine);

    // The user's own command goes; the one in the locked class key stays
    // and says so.
    EXPECT_TRUE(DeleteShellVerb(".bmp", VERBS[1]));
    EXPECT_FALSE(UserKeyExists(UserVerbPath(1)));
    EXPECT_FALSE(DeleteShellVerb(".bmp", VERBS[0]));
    EXPECT_EQ("center it", ReadDefaultValue(VerbPath(shape.classKey, 0) + "\\command"));
  }
}

TEST_F(UserPlaceTest, AUserCommandWithoutItsCommandKeyIsAbsent) {
  CreateClassKey(".bmp");
  WriteUserDefaultValue(UserVerbPath(2), "拡大");
  auto loaded = LoadedSettings();
  EXPECT_EQ(0u, loaded->enabled);
  EXPECT_STREQ("拡大して表示", loaded->items[2].caption);
  CreateUserKey(UserVerbPath(2) + "\\command");
  loaded = LoadedSettings();
  EXPECT_EQ(4u, loaded->enabled);
  EXPECT_STREQ("拡大", loaded->items[2].caption);
  EXPECT_STREQ("", loaded->items[2].commandLine);
}

TEST_F(UserPlaceTest, AWritableClassKeyTakesTheCommandAndUntickingClearsBothPlaces) {
  CreateClassKey(".bmp");
  EXPECT_TRUE(WriteShellVerb(".bmp", VERBS[0], "中央", "center it"));
  EXPECT_EQ("center it", ReadDefaultValue(VerbPath(".bmp", 0) + "\\command"));
  EXPECT_FALSE(UserKeyExists(USER_BMP_KEY));

  WriteUserVerb(0, "中央", "center it");
  EXPECT_TRUE(DeleteShellVerb(".bmp", VERBS[0]));
  EXPECT_FALSE(ClassKeyExists(VerbPath(".bmp", 0)));
  EXPECT_FALSE(UserKeyExists(UserVerbPath(0)));
  EXPECT_TRUE(ClassKeyExists(ShellPath(".bmp")));
}

// Which items fail, for each kind of change, with both places closed.
TEST_F(UserPlaceTest, WithBothPlacesClosedApplyNamesEveryItemItCouldNotChange) {
  struct Case {
    const char* name;
    uint32_t classVerbs;  // present in the class key before
    uint32_t enabled;
    uint32_t mask;
    uint32_t expectedFailures;
  } cases[] = {
      {"writing two", 0, 5, 5, 5},
      {"removing one", 2, 0, 2, 2},
      {"removing one that is not there", 0, 0, 4, 0},
      {"writing one, removing another", 1, 2, 3, 3},
      {"nothing changed", 1, 1, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UseShape(SHAPES[0]);
    for (int i = 0; i < 3; ++i)
      if (c.classVerbs & (1u << i)) WriteClassVerb(".bmp", i, "既存", "existing");
    CreateUserKey(USER_BMP_KEY);
    ReadOnlyKey classLock(HKEY_CLASSES_ROOT, ".bmp");
    ReadOnlyKey userLock(HKEY_CURRENT_USER, USER_BMP_KEY);
    ASSERT_TRUE(classLock.locked());
    ASSERT_TRUE(userLock.locked());

    auto settings = LoadedSettings();
    settings->enabled = c.enabled;
    uint32_t failed = 0xdead;
    EXPECT_EQ(c.expectedFailures == 0, ApplyAssociationSettings(settings.get(), c.mask, &failed));
    EXPECT_EQ(c.expectedFailures, failed);
    EXPECT_FALSE(UserKeyExists(ShellPath(USER_BMP_KEY)));
    for (int i = 0; i < 3; ++i)
      EXPECT_EQ((c.classVerbs >> i) & 1, ClassKeyExists(VerbPath(".bmp", i)) ? 1u : 0u) << i;
  }
}

}  // namespace
