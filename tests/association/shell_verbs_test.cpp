#include "association/shell_verbs.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <memory>
#include <string>

#include "tests/association/classes_root.h"

namespace {

const char* const VERBS[] = {"brovane.center", "brovane.tile", "brovane.zoom"};
const char* const DEFAULT_CAPTIONS[] = {"中央に表示", "並べて表示", "拡大して表示"};
const char* const OPTIONS[] = {"/center", "/tile", "/zoom"};

std::string ExecutablePath() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

std::string DefaultCommand(const char* option) {
  return "\"" + ExecutablePath() + "\" " + option + " \"%1\"";
}

std::unique_ptr<AssociationSettings> NewSettings() {
  return std::unique_ptr<AssociationSettings>(new AssociationSettings());
}

std::string VerbPath(const std::string& classKey, int index) {
  return classKey + "\\shell\\" + VERBS[index];
}

class ShellVerbTest : public testing::Test {
 protected:
  // Each test starts from a ".bmp" key of its own making.
  void SetUp() override {
    DeleteClassTree(".bmp");
    DeleteClassTree(TEST_CLASS);
  }
  void UseExistingClass() {
    WriteDefaultValue(".bmp", TEST_CLASS);
    CreateClassKey(TEST_CLASS);
  }
  void WriteVerb(const std::string& classKey, int index, const std::string& caption,
                 const std::string& command) {
    WriteDefaultValue(VerbPath(classKey, index), caption);
    WriteDefaultValue(VerbPath(classKey, index) + "\\command", command);
  }
  void ExpectVerb(const std::string& classKey, int index, const std::string& caption,
                  const std::string& command) {
    SCOPED_TRACE(VerbPath(classKey, index));
    EXPECT_EQ(caption, ReadDefaultValue(VerbPath(classKey, index)));
    EXPECT_EQ(command, ReadDefaultValue(VerbPath(classKey, index) + "\\command"));
  }

  ClassesRootGuard guard_;
};

TEST_F(ShellVerbTest, TheClassIsTheNamedKeyOnlyWhenItExists) {
  struct Case {
    const char* name;
    bool bmpKey;
    const char* bmpDefault;  // null: no default value
    bool classKey;
    const char* expected;
  } cases[] = {
      {"no .bmp key", false, nullptr, false, ".bmp"},
      {".bmp without a default value", true, nullptr, true, ".bmp"},
      {"a class that does not exist", true, TEST_CLASS, false, ".bmp"},
      {"an existing class", true, TEST_CLASS, true, TEST_CLASS},
      // An empty name would otherwise make the classes root the class key.
      {"an empty class name", true, "", true, ".bmp"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DeleteClassTree(".bmp");
    DeleteClassTree(TEST_CLASS);
    if (c.bmpKey) CreateClassKey(".bmp");
    if (c.bmpDefault) WriteDefaultValue(".bmp", c.bmpDefault);
    if (c.classKey) CreateClassKey(TEST_CLASS);
    char className[PATH_BUFFER_SIZE];
    std::memset(className, 'x', sizeof className);
    EXPECT_TRUE(ResolveFileClass(".bmp", className));
    EXPECT_STREQ(c.expected, className);
  }
}

TEST_F(ShellVerbTest, WithoutABmpKeyAllItemsLoadAbsentAndNothingIsWritten) {
  auto settings = NewSettings();
  std::memset(settings.get(), 'x', sizeof *settings);
  EXPECT_TRUE(LoadAssociationSettings(settings.get()));
  EXPECT_EQ(0u, settings->enabled);
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(VERBS[i]);
    EXPECT_STREQ("", settings->items[i].reserved);
    EXPECT_STREQ(DEFAULT_CAPTIONS[i], settings->items[i].caption);
    EXPECT_EQ(DefaultCommand(OPTIONS[i]), settings->items[i].commandLine);
  }
  settings->enabled = 7;
  EXPECT_TRUE(ApplyAssociationSettings(settings.get(), 7));
  EXPECT_FALSE(ClassKeyExists(".bmp"));
  EXPECT_FALSE(WriteShellVerb(".bmp", VERBS[0], "a", "b"));
  EXPECT_FALSE(DeleteShellVerb(".bmp", VERBS[0]));
  EXPECT_FALSE(ClassKeyExists(".bmp"));
}

TEST_F(ShellVerbTest, AMissingClassKeepsTheVerbsUnderTheExtensionItself) {
  WriteDefaultValue(".bmp", TEST_CLASS);
  EXPECT_TRUE(WriteShellVerb(".bmp", VERBS[1], "tiled", "tile it"));
  ExpectVerb(".bmp", 1, "tiled", "tile it");
  EXPECT_FALSE(ClassKeyExists(TEST_CLASS));
  auto settings = NewSettings();
  LoadAssociationSettings(settings.get());
  EXPECT_EQ(2u, settings->enabled);
  EXPECT_STREQ("tiled", settings->items[1].caption);
  EXPECT_STREQ("tile it", settings->items[1].commandLine);
}

TEST_F(ShellVerbTest, AnExistingClassGetsItsShellKeyOnTheFirstWrite) {
  UseExistingClass();
  ASSERT_FALSE(ClassKeyExists(std::string(TEST_CLASS) + "\\shell"));
  auto settings = NewSettings();
  LoadAssociationSettings(settings.get());
  settings->enabled = 4;
  EXPECT_TRUE(ApplyAssociationSettings(settings.get(), 4));
  ExpectVerb(TEST_CLASS, 2, DEFAULT_CAPTIONS[2], DefaultCommand("/zoom"));
  EXPECT_FALSE(ClassKeyExists(VerbPath(TEST_CLASS, 0)));
  EXPECT_FALSE(ClassKeyExists(VerbPath(TEST_CLASS, 1)));
  EXPECT_FALSE(ClassKeyExists(".bmp\\shell"));
}

TEST_F(ShellVerbTest, AVerbWithoutCommandIsAbsentAndSwitchingItOnWritesTheDefaults) {
  UseExistingClass();
  WriteDefaultValue(VerbPath(TEST_CLASS, 0), "古い見出し");
  auto loaded = NewSettings();
  LoadAssociationSettings(loaded.get());
  EXPECT_EQ(0u, loaded->enabled);
  EXPECT_STREQ(DEFAULT_CAPTIONS[0], loaded->items[0].caption);

  auto edited = NewSettings();
  *edited = *loaded;
  edited->enabled = 1;
  uint32_t mask = GetChangedItems(edited.get(), loaded.get());
  EXPECT_EQ(1u, mask);
  ApplyAssociationSettings(edited.get(), mask);
  ExpectVerb(TEST_CLASS, 0, DEFAULT_CAPTIONS[0], DefaultCommand("/center"));
}

TEST_F(ShellVerbTest, ReadingNeverKeepsAStaleText) {
  UseExistingClass();
  WriteDefaultValue(VerbPath(TEST_CLASS, 0), "見出し");
  CreateClassKey(VerbPath(TEST_CLASS, 0) + "\\command");  // no command line in it
  std::unique_ptr<char[]> caption(new char[CAPTION_BUFFER_SIZE]);
  char commandLine[COMMAND_BUFFER_SIZE];
  std::strcpy(caption.get(), "stale");
  std::strcpy(commandLine, "stale");
  EXPECT_TRUE(ReadShellVerb(".bmp", VERBS[0], caption.get(), commandLine));
  EXPECT_STREQ("見出し", caption.get());
  EXPECT_STREQ("", commandLine);

  std::strcpy(caption.get(), "stale");
  std::strcpy(commandLine, "stale");
  EXPECT_FALSE(ReadShellVerb(".bmp", VERBS[1], caption.get(), commandLine));
  EXPECT_STREQ("", caption.get());
  EXPECT_STREQ("", commandLine);
}

TEST_F(ShellVerbTest, OnlyItemsOnBothSidesCompareTheirTexts) {
  struct Case {
    const char* name;
    uint32_t edited, loaded;
    int changedItem;  // -1: no text changed
    bool changeCaption;
    uint32_t expected;
  } cases[] = {
      {"identical", 7, 7, -1, false, 0},
      {"switched on and off", 5, 3, -1, false, 6},
      {"caption of an item on both sides", 7, 7, 1, true, 2},
      {"command line of an item on both sides", 3, 3, 0, false, 1},
      {"texts of an item off on both sides", 2, 2, 0, true, 0},
      {"texts of an item switched on", 1, 0, 0, false, 1},
  };
  auto edited = NewSettings();
  auto loaded = NewSettings();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LoadAssociationSettings(loaded.get());
    *edited = *loaded;
    loaded->enabled = c.loaded;
    edited->enabled = c.edited;
    if (c.changedItem >= 0) {
      AssociationItem& item = edited->items[c.changedItem];
      std::strcat(c.changeCaption ? item.caption : item.commandLine, "x");
    }
    EXPECT_EQ(c.expected, GetChangedItems(edited.get(), loaded.get()));
  }
}

TEST_F(ShellVerbTest, IdenticalTextsWriteNothing) {
  UseExistingClass();
  for (int i = 0; i < 3; ++i) WriteVerb(TEST_CLASS, i, "mine", "my command");
  auto loaded = NewSettings();
  auto edited = NewSettings();
  LoadAssociationSettings(loaded.get());
  EXPECT_EQ(7u, loaded->enabled);
  LoadAssociationSettings(edited.get());
  unsigned long long before = LastWriteTime(VerbPath(TEST_CLASS, 0) + "\\command");
  Sleep(20);
  ApplyAssociationSettings(edited.get(), GetChangedItems(edited.get(), loaded.get()));
  EXPECT_EQ(before, LastWriteTime(VerbPath(TEST_CLASS, 0) + "\\command"));
  EXPECT_STREQ("my command", edited->items[0].commandLine);
}

TEST_F(ShellVerbTest, SwitchingOffDeletesCommandThenTheVerbAndKeepsShell) {
  UseExistingClass();
  WriteVerb(TEST_CLASS, 0, "centre", "c");
  WriteVerb(TEST_CLASS, 2, "zoom", "z");
  auto settings = NewSettings();
  LoadAssociationSettings(settings.get());
  ASSERT_EQ(5u, settings->enabled);
  settings->enabled = 4;
  ApplyAssociationSettings(settings.get(), 1);
  EXPECT_FALSE(ClassKeyExists(VerbPath(TEST_CLASS, 0)));
  ExpectVerb(TEST_CLASS, 2, "zoom", "z");

  EXPECT_TRUE(DeleteShellVerb(".bmp", VERBS[2]));
  EXPECT_FALSE(ClassKeyExists(VerbPath(TEST_CLASS, 2)));
  EXPECT_TRUE(ClassKeyExists(std::string(TEST_CLASS) + "\\shell"));
  // Nothing there to delete is no failure.
  EXPECT_TRUE(DeleteShellVerb(".bmp", VERBS[1]));
}

TEST_F(ShellVerbTest, ItemsAreWrittenInTableOrder) {
  UseExistingClass();
  auto settings = NewSettings();
  LoadAssociationSettings(settings.get());
  settings->enabled = 7;
  ApplyAssociationSettings(settings.get(), 7);
  unsigned long long times[3];
  for (int i = 0; i < 3; ++i) {
    ExpectVerb(TEST_CLASS, i, DEFAULT_CAPTIONS[i], DefaultCommand(OPTIONS[i]));
    times[i] = LastWriteTime(VerbPath(TEST_CLASS, i) + "\\command");
  }
  EXPECT_LT(times[0], times[1]);
  EXPECT_LT(times[1], times[2]);
}

TEST_F(ShellVerbTest, DefaultCommandLineQuotesThePathAndThePlaceholder) {
  struct Case {
    uint32_t optionMask;
    const char* options;
  } cases[] = {
      {2, " /center"}, {4, " /tile"},         {8, " /zoom"},
      {0, ""},         {6, " /center /tile"}, {1, ""},  // no option row lies wholly in this mask
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.optionMask);
    std::string expected = "\"" + ExecutablePath() + "\"" + c.options + " \"%1\"";
    char buffer[COMMAND_BUFFER_SIZE];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(expected.size() + 1, BuildDefaultCommandLine(buffer, c.optionMask));
    EXPECT_EQ(expected, buffer);
    EXPECT_EQ(expected.size() + 1, BuildDefaultCommandLine(nullptr, c.optionMask));
  }
}

}  // namespace
