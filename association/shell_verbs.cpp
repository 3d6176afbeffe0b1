#include "association/shell_verbs.h"

#include <windows.h>

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

bool OpenFullAccess(HKEY parent, const char* name, ScopedRegKey* key) {
  return OpenRegKey(parent, name, KEY_ALL_ACCESS, key->receive());
}

bool OpenClassKey(const char* extension, ScopedRegKey* classKey) {
  char className[PATH_BUFFER_SIZE];
  ResolveFileClass(extension, className);
  return OpenFullAccess(HKEY_CLASSES_ROOT, className, classKey);
}

// The class key is let go as soon as its shell key is open.
bool OpenShellKey(const char* extension, ScopedRegKey* shellKey) {
  ScopedRegKey classKey;
  if (!OpenClassKey(extension, &classKey)) return false;
  return OpenFullAccess(classKey.get(), SHELL_KEY, shellKey);
}

bool CreateSubKey(HKEY parent, const char* name, ScopedRegKey* key) {
  return CreateRegKey(parent, name, key->receive());
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
    if (OpenFullAccess(HKEY_CLASSES_ROOT, extension, &extensionKey))
      named = QueryRegValue(extensionKey.get(), nullptr, value, sizeof value);
  }
  // An empty name would "open" the classes root itself and plant the verbs
  // there, so it names no class.
  if (named && value[0] != 0 && RegKeyExists(HKEY_CLASSES_ROOT, value))
    CopyStringDbcs(className, PATH_BUFFER_SIZE, value);
  return true;
}

bool ReadShellVerb(const char* extension, const char* verbKey, char* caption, char* commandLine) {
  // What cannot be read stays empty rather than keeping a stale text.
  caption[0] = 0;
  commandLine[0] = 0;
  ScopedRegKey verb;
  {
    ScopedRegKey shell;
    if (!OpenShellKey(extension, &shell)) return false;
    if (!OpenFullAccess(shell.get(), verbKey, &verb)) return false;
  }
  QueryRegValue(verb.get(), nullptr, caption, CAPTION_BUFFER_SIZE);
  ScopedRegKey command;
  if (!OpenFullAccess(verb.get(), COMMAND_KEY, &command)) return false;
  QueryRegValue(command.get(), nullptr, commandLine, COMMAND_BUFFER_SIZE);
  return true;
}

bool WriteShellVerb(const char* extension, const char* verbKey, const char* caption,
                    const char* commandLine) {
  ScopedRegKey classKey;
  if (!OpenClassKey(extension, &classKey)) return false;
  ScopedRegKey shell, verb, command;
  if (!CreateSubKey(classKey.get(), SHELL_KEY, &shell)) return false;
  if (!CreateSubKey(shell.get(), verbKey, &verb)) return false;
  bool captionSet = SetRegString(verb.get(), nullptr, caption);
  if (!CreateSubKey(verb.get(), COMMAND_KEY, &command)) return false;
  bool commandSet = SetRegString(command.get(), nullptr, commandLine);
  // A value that did not take is a failed write, not a success.
  return captionSet && commandSet;
}

bool DeleteShellVerb(const char* extension, const char* verbKey) {
  ScopedRegKey shell;
  if (!OpenShellKey(extension, &shell)) return false;
  if (RegKeyExists(shell.get(), verbKey)) {
    ScopedRegKey verb;
    if (OpenFullAccess(shell.get(), verbKey, &verb)) {
      // A key with subkeys cannot be deleted, so command goes first; the
      // shell key stays, even when empty.
      if (RegKeyExists(verb.get(), COMMAND_KEY)) DeleteRegKey(verb.get(), COMMAND_KEY);
      verb.reset();
      DeleteRegKey(shell.get(), verbKey);
    }
  }
  return true;
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

bool ApplyAssociationSettings(const AssociationSettings* settings, uint32_t mask) {
  for (const AssociationItemRow& row : AssociationItemTable) {
    if (!(mask & row.itemFlag)) continue;
    const AssociationItem& item = ItemOf(settings, row);
    if (settings->enabled & row.itemFlag)
      WriteShellVerb(row.extension, row.verbKey, item.caption, item.commandLine);
    else
      DeleteShellVerb(row.extension, row.verbKey);
  }
  return true;
}
