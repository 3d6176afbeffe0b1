#include "association/shell_verbs.h"

#include <windows.h>

#include <string>

#include "TOOLS/module_path.h"
#include "TOOLS/registry.h"
#include "TOOLS/scoped.h"

const AssociationItemRow AssociationItemTable[ASSOCIATION_ITEM_COUNT] = {
    {1000, 1, 2, ".bmp", "brovane.center", "中央に表示"},
    {1001, 2, 4, ".bmp", "brovane.tile", "並べて表示"},
    {1002, 4, 8, ".bmp", "brovane.zoom", "拡大して表示"},
};

const CommandOptionRow CommandOptionTable[3] = {
    {2, "/center"},
    {4, "/tile"},
    {8, "/zoom"},
};

namespace {

const char SHELL_KEY[] = "shell";
const char COMMAND_KEY[] = "command";
const char QUOTE[] = "\"";
const char BLANK[] = " ";
const char FILE_PLACEHOLDER[] = "%1";
// Where Windows looks for a file type's context-menu commands of this user
// whatever program is the type's default; a standard user may always write
// there.
const char USER_PLACE_PREFIX[] = "Software\\Classes\\SystemFileAssociations\\";

bool OpenFullAccess(HKEY parent, const char* name, ScopedRegKey* key) {
  return OpenRegKey(parent, name, KEY_ALL_ACCESS, key->receive());
}

// Reading and testing for a key ask only for reading, so a key this user
// may not change still counts.
bool OpenForReading(HKEY parent, const char* name, ScopedRegKey* key) {
  return OpenRegKey(parent, name, KEY_READ, key->receive());
}

bool KeyIsReadable(HKEY parent, const char* name) {
  ScopedRegKey key;
  return OpenForReading(parent, name, &key);
}

bool OpenClassKey(const char* extension, REGSAM access, ScopedRegKey* classKey) {
  char className[PATH_BUFFER_SIZE];
  ResolveFileClass(extension, className);
  return OpenRegKey(HKEY_CLASSES_ROOT, className, access, classKey->receive());
}

bool FileTypeExists(const char* extension) {
  ScopedRegKey classKey;
  return OpenClassKey(extension, KEY_READ, &classKey);
}

// Read straight under HKEY_CURRENT_USER: Wine does not merge the user's
// classes into HKEY_CLASSES_ROOT as Windows does.
std::string UserPlacePath(const char* extension) {
  return std::string(USER_PLACE_PREFIX) + extension;
}

bool OpenUserPlace(const char* extension, ScopedRegKey* key) {
  return OpenForReading(HKEY_CURRENT_USER, UserPlacePath(extension).c_str(), key);
}

bool CreateSubKey(HKEY parent, const char* name, ScopedRegKey* key) {
  return CreateRegKey(parent, name, key->receive());
}

std::string CommandKeyPath(const char* verbKey) {
  return std::string(SHELL_KEY) + "\\" + verbKey + "\\" + COMMAND_KEY;
}

// A verb counts only together with its command key.
bool IsVerbUnder(HKEY typeKey, const char* verbKey) {
  return KeyIsReadable(typeKey, CommandKeyPath(verbKey).c_str());
}

bool ReadVerbUnder(HKEY typeKey, const char* verbKey, char* caption, char* commandLine) {
  ScopedRegKey verb;
  {
    ScopedRegKey shell;
    if (!OpenForReading(typeKey, SHELL_KEY, &shell)) return false;
    if (!OpenForReading(shell.get(), verbKey, &verb)) return false;
  }
  QueryRegValue(verb.get(), nullptr, caption, CAPTION_BUFFER_SIZE);
  ScopedRegKey command;
  if (!OpenForReading(verb.get(), COMMAND_KEY, &command)) return false;
  QueryRegValue(command.get(), nullptr, commandLine, COMMAND_BUFFER_SIZE);
  return true;
}

bool WriteVerbUnder(HKEY typeKey, const char* verbKey, const char* caption,
                    const char* commandLine) {
  ScopedRegKey shell, verb, command;
  if (!CreateSubKey(typeKey, SHELL_KEY, &shell)) return false;
  if (!CreateSubKey(shell.get(), verbKey, &verb)) return false;
  bool captionSet = SetRegString(verb.get(), nullptr, caption);
  if (!CreateSubKey(verb.get(), COMMAND_KEY, &command)) return false;
  bool commandSet = SetRegString(command.get(), nullptr, commandLine);
  // A value that did not take is a failed write, not a success.
  return captionSet && commandSet;
}

// What this user may not change is left alone; the caller asks afterwards
// whether the verb is gone.
void DeleteVerbUnder(HKEY typeKey, const char* verbKey) {
  ScopedRegKey shell;
  if (!OpenFullAccess(typeKey, SHELL_KEY, &shell)) return;
  if (!KeyIsReadable(shell.get(), verbKey)) return;
  ScopedRegKey verb;
  if (!OpenFullAccess(shell.get(), verbKey, &verb)) return;
  // A key with subkeys cannot be deleted, so command goes first; the shell
  // key stays, even when empty.
  if (KeyIsReadable(verb.get(), COMMAND_KEY)) DeleteRegKey(verb.get(), COMMAND_KEY);
  verb.reset();
  DeleteRegKey(shell.get(), verbKey);
}

bool WriteClassVerb(const char* extension, const char* verbKey, const char* caption,
                    const char* commandLine) {
  ScopedRegKey classKey;
  if (!OpenClassKey(extension, KEY_ALL_ACCESS, &classKey)) return false;
  return WriteVerbUnder(classKey.get(), verbKey, caption, commandLine);
}

bool WriteUserVerb(const char* extension, const char* verbKey, const char* caption,
                   const char* commandLine) {
  ScopedRegKey place;
  if (!CreateRegKey(HKEY_CURRENT_USER, UserPlacePath(extension).c_str(), place.receive()))
    return false;
  return WriteVerbUnder(place.get(), verbKey, caption, commandLine);
}

bool IsVerbPresent(const char* extension, const char* verbKey) {
  ScopedRegKey classKey, place;
  if (OpenClassKey(extension, KEY_READ, &classKey) && IsVerbUnder(classKey.get(), verbKey))
    return true;
  return OpenUserPlace(extension, &place) && IsVerbUnder(place.get(), verbKey);
}

AssociationItem& ItemOf(AssociationSettings* settings, const AssociationItemRow& row) {
  return settings->items[row.itemId - FIRST_ASSOCIATION_ITEM_ID];
}

const AssociationItem& ItemOf(const AssociationSettings* settings, const AssociationItemRow& row) {
  return settings->items[row.itemId - FIRST_ASSOCIATION_ITEM_ID];
}

// Appends one piece; a null buffer only counts it.
size_t AppendPiece(char* buffer, size_t length, const char* piece) {
  return length + AppendString(buffer, length, piece);
}

}  // namespace

bool ResolveFileClass(const char* extension, char* className) {
  CopyStringDbcs(className, PATH_BUFFER_SIZE, extension);
  char value[PATH_BUFFER_SIZE];
  bool named = false;
  {
    ScopedRegKey extensionKey;
    if (OpenForReading(HKEY_CLASSES_ROOT, extension, &extensionKey))
      named = QueryRegValue(extensionKey.get(), nullptr, value, sizeof value);
  }
  // An empty name would "open" the classes root itself and plant the verbs
  // there, so it names no class.
  if (named && value[0] != 0 && KeyIsReadable(HKEY_CLASSES_ROOT, value))
    CopyStringDbcs(className, PATH_BUFFER_SIZE, value);
  return true;
}

bool ReadShellVerb(const char* extension, const char* verbKey, char* caption, char* commandLine) {
  // What cannot be read stays empty rather than keeping a stale text.
  caption[0] = 0;
  commandLine[0] = 0;
  {
    ScopedRegKey classKey;
    if (OpenClassKey(extension, KEY_READ, &classKey) &&
        ReadVerbUnder(classKey.get(), verbKey, caption, commandLine))
      return true;
  }
  ScopedRegKey place;
  if (!OpenUserPlace(extension, &place) || !IsVerbUnder(place.get(), verbKey)) return false;
  caption[0] = 0;
  commandLine[0] = 0;
  return ReadVerbUnder(place.get(), verbKey, caption, commandLine);
}

bool WriteShellVerb(const char* extension, const char* verbKey, const char* caption,
                    const char* commandLine) {
  // Without any key for the file type there is nothing to hang a command on.
  if (!FileTypeExists(extension)) return false;
  if (WriteClassVerb(extension, verbKey, caption, commandLine)) return true;
  return WriteUserVerb(extension, verbKey, caption, commandLine);
}

bool DeleteShellVerb(const char* extension, const char* verbKey) {
  {
    ScopedRegKey place;
    if (OpenUserPlace(extension, &place)) DeleteVerbUnder(place.get(), verbKey);
  }
  ScopedRegKey classKey;
  if (!OpenClassKey(extension, KEY_READ, &classKey)) return false;
  DeleteVerbUnder(classKey.get(), verbKey);
  return !IsVerbPresent(extension, verbKey);
}

size_t BuildDefaultCommandLine(char* buffer, uint32_t optionMask) {
  // Through the folder's short alias where the code page cannot name it, so
  // that Explorer still starts this very program.
  char path[PATH_BUFFER_SIZE] = {};
  ReadModulePath(nullptr, path);
  size_t length = 0;
  length = AppendPiece(buffer, length, QUOTE);
  length = AppendPiece(buffer, length, path);
  length = AppendPiece(buffer, length, QUOTE);
  for (const CommandOptionRow& option : CommandOptionTable) {
    if ((option.optionMask & optionMask) != option.optionMask) continue;
    length = AppendPiece(buffer, length, BLANK);
    length = AppendPiece(buffer, length, option.optionText);
  }
  length = AppendPiece(buffer, length, BLANK);
  length = AppendPiece(buffer, length, QUOTE);
  length = AppendPiece(buffer, length, FILE_PLACEHOLDER);
  length = AppendPiece(buffer, length, QUOTE);
  if (buffer && length < COMMAND_BUFFER_SIZE) buffer[length] = 0;
  return length + 1;
}

bool LoadAssociationSettings(AssociationSettings* settings) {
  settings->enabled = 0;
  for (const AssociationItemRow& row : AssociationItemTable) {
    AssociationItem& item = ItemOf(settings, row);
    item.reserved[0] = 0;
    if (ReadShellVerb(row.extension, row.verbKey, item.caption, item.commandLine)) {
      settings->enabled |= row.itemFlag;
      continue;
    }
    CopyStringDbcs(item.caption, CAPTION_BUFFER_SIZE, row.defaultCaption);
    BuildDefaultCommandLine(item.commandLine, row.optionMask);
  }
  return true;
}

uint32_t GetChangedItems(const AssociationSettings* edited, const AssociationSettings* loaded) {
  uint32_t mask = edited->enabled ^ loaded->enabled;
  for (const AssociationItemRow& row : AssociationItemTable) {
    if (!(edited->enabled & loaded->enabled & row.itemFlag)) continue;
    const AssociationItem& a = ItemOf(edited, row);
    const AssociationItem& b = ItemOf(loaded, row);
    if (!IsEqualString(a.commandLine, b.commandLine)) mask |= row.itemFlag;
    if (!IsEqualString(a.caption, b.caption)) mask |= row.itemFlag;
  }
  return mask;
}

bool ApplyAssociationSettings(const AssociationSettings* settings, uint32_t mask,
                              uint32_t* failedItems) {
  uint32_t failed = 0;
  for (const AssociationItemRow& row : AssociationItemTable) {
    if (!(mask & row.itemFlag)) continue;
    const AssociationItem& item = ItemOf(settings, row);
    bool done = (settings->enabled & row.itemFlag)
                    ? WriteShellVerb(row.extension, row.verbKey, item.caption, item.commandLine)
                    : DeleteShellVerb(row.extension, row.verbKey);
    // A machine without any key for the file type has no command to change;
    // that was never a failure.
    if (!done && FileTypeExists(row.extension)) failed |= row.itemFlag;
  }
  if (failedItems) *failedItems = failed;
  return failed == 0;
}
