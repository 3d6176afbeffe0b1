#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "TOOLS/registry.h"
#include "tests/support/registry_access.h"

namespace {

const char TEST_KEY[] = "Software\\BrovaneTest\\Registry";

class RegistryTest : public testing::Test {
 protected:
  void SetUp() override {
    SHDeleteKeyA(HKEY_CURRENT_USER, TEST_KEY);
    ASSERT_TRUE(CreateRegKey(HKEY_CURRENT_USER, TEST_KEY, &key_));
  }
  void TearDown() override {
    CloseRegKey(key_);
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\BrovaneTest");
  }
  void SetRaw(const char* name, DWORD type, const void* data, DWORD size) {
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetValueExA(key_, name, 0, type, static_cast<const BYTE*>(data), size));
  }
  HKEY key_ = nullptr;
};

TEST_F(RegistryTest, StringsRoundTripWithTheirTerminator) {
  EXPECT_TRUE(SetRegString(key_, "empty", ""));
  EXPECT_TRUE(SetRegString(key_, "text", "abc"));
  DWORD type = 0, size = 0;
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(key_, "empty", nullptr, &type, nullptr, &size));
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
  EXPECT_EQ(1u, size);
  char buffer[10];
  EXPECT_TRUE(QueryRegValue(key_, "text", buffer, sizeof buffer));
  EXPECT_STREQ("abc", buffer);
}

TEST_F(RegistryTest, QueryAlwaysLeavesATerminatedText) {
  struct Case {
    const char* name;
    DWORD type;
    std::string bytes;
    DWORD capacity;
    bool ok;
    const char* text;  // the buffer afterwards; it starts as "before"
  } cases[] = {
      {"terminated", REG_SZ, std::string("abc\0", 4), 10, true, "abc"},
      {"no terminator", REG_BINARY, "abcd", 10, true, "abcd"},
      {"fills exactly with terminator", REG_SZ, std::string("123456789\0", 10), 10, true,
       "123456789"},
      {"fills exactly without terminator", REG_BINARY, "1234567890", 10, false, "before"},
      {"longer than the buffer", REG_SZ, std::string("12345678901\0", 12), 10, false, "before"},
      {"a number", REG_DWORD, std::string("1\0\0\0", 4), 10, true, "1"},
      {"empty binary", REG_BINARY, "", 10, true, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetRaw(c.name, c.type, c.bytes.data(), static_cast<DWORD>(c.bytes.size()));
    char buffer[32];
    std::memset(buffer, 'Z', sizeof buffer);
    std::strcpy(buffer, "before");
    EXPECT_EQ(c.ok, QueryRegValue(key_, c.name, buffer, c.capacity));
    EXPECT_STREQ(c.text, buffer);
    EXPECT_EQ('Z', buffer[c.capacity]) << "wrote past its capacity";
  }
  char buffer[10] = "kept";
  EXPECT_FALSE(QueryRegValue(key_, "missing", buffer, sizeof buffer));
  EXPECT_STREQ("kept", buffer);
}

TEST_F(RegistryTest, KeysOpenCreateAndDelete) {
  std::string child = std::string(TEST_KEY) + "\\child";
  EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, child.c_str()));
  HKEY created = nullptr;
  ASSERT_TRUE(CreateRegKey(HKEY_CURRENT_USER, child.c_str(), &created));
  EXPECT_TRUE(CloseRegKey(created));
  EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, child.c_str()));
  HKEY opened = nullptr;
  EXPECT_TRUE(OpenRegKey(HKEY_CURRENT_USER, child.c_str(), KEY_READ, &opened));
  CloseRegKey(opened);
  EXPECT_TRUE(CreateRegKey(HKEY_CURRENT_USER, child.c_str(), &created));  // opens it again
  CloseRegKey(created);
  EXPECT_TRUE(DeleteRegKey(HKEY_CURRENT_USER, child.c_str()));
  EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, child.c_str()));
  EXPECT_FALSE(DeleteRegKey(HKEY_CURRENT_USER, child.c_str()));
  EXPECT_FALSE(OpenRegKey(HKEY_CURRENT_USER, child.c_str(), KEY_READ, &opened));
}

// Grants Everyone only reading; the owner may still put full access back.
void SetReadOnlyDacl(HKEY key, bool readOnly) {
  ASSERT_TRUE(SetEveryoneAccess(key, readOnly ? KEY_READ : KEY_ALL_ACCESS));
}

TEST_F(RegistryTest, KeyThatGrantsOnlyReadingCountsAsMissing) {
  std::string child = std::string(TEST_KEY) + "\\readonly";
  HKEY created = nullptr;
  ASSERT_TRUE(CreateRegKey(HKEY_CURRENT_USER, child.c_str(), &created));
  SetReadOnlyDacl(created, true);
  CloseRegKey(created);
  EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, child.c_str()));
  HKEY opened = nullptr;
  EXPECT_TRUE(OpenRegKey(HKEY_CURRENT_USER, child.c_str(), KEY_READ, &opened));
  CloseRegKey(opened);
  HKEY owner = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, child.c_str(), 0, WRITE_DAC, &owner));
  SetReadOnlyDacl(owner, false);
  RegCloseKey(owner);
  EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, child.c_str()));
}

}  // namespace
