// The three Explorer context-menu commands on ".bmp" files, one per wallpaper
// style: read the current state, work out what differs, and write or remove
// exactly that. A command lives under the file type's class key in
// HKEY_CLASSES_ROOT, or, where this user may not change that key, under
// HKEY_CURRENT_USER\Software\Classes\SystemFileAssociations\<extension>;
// it counts as present when its verb and command keys exist in either.
#pragma once
#include <cstddef>
#include <cstdint>

#include "TOOLS/sjis_text.h"

const size_t CAPTION_BUFFER_SIZE = 0x8000;
const size_t RESERVED_TEXT_SIZE = PATH_BUFFER_SIZE + 1;
const int ASSOCIATION_ITEM_COUNT = 3;
const int FIRST_ASSOCIATION_ITEM_ID = 1000;

struct AssociationItemRow {
  int itemId;  // itemId - FIRST_ASSOCIATION_ITEM_ID indexes AssociationSettings::items
  uint32_t itemFlag;
  uint32_t optionMask;  // bits of CommandOptionTable, not item flags
  const char* extension;
  const char* verbKey;
  const char* defaultCaption;
};

struct CommandOptionRow {
  uint32_t optionMask;
  const char* optionText;
};

// The order of these rows is the order of every loop over items.
extern const AssociationItemRow AssociationItemTable[ASSOCIATION_ITEM_COUNT];
extern const CommandOptionRow CommandOptionTable[3];

struct AssociationItem {
  char reserved[RESERVED_TEXT_SIZE];
  char caption[CAPTION_BUFFER_SIZE];
  char commandLine[COMMAND_BUFFER_SIZE];
};

// About 100 KB: keep records in static storage or on the heap, never on the
// stack.
struct AssociationSettings {
  uint32_t enabled;  // item flags of the verbs that exist (or are ticked)
  AssociationItem items[ASSOCIATION_ITEM_COUNT];
};

bool LoadAssociationSettings(AssociationSettings* settings);
uint32_t GetChangedItems(const AssociationSettings* edited, const AssociationSettings* loaded);
// False when an item could not be written or removed; failedItems (may be
// null) receives the item flags of those.
bool ApplyAssociationSettings(const AssociationSettings* settings, uint32_t mask,
                              uint32_t* failedItems = nullptr);

// buffer holds COMMAND_BUFFER_SIZE bytes, or is null to only measure.
// Returns the length of the command line plus one.
size_t BuildDefaultCommandLine(char* buffer, uint32_t optionMask);

// caption holds CAPTION_BUFFER_SIZE bytes, commandLine COMMAND_BUFFER_SIZE.
// A value that cannot be read leaves its text empty.
bool ReadShellVerb(const char* extension, const char* verbKey, char* caption, char* commandLine);
// Writes under the class key when it opens for writing, else under the
// user's own place; false without any key for the file type.
bool WriteShellVerb(const char* extension, const char* verbKey, const char* caption,
                    const char* commandLine);
// Removes the verb from every place this user may change. False when the
// file type has no key, or when the verb is still present afterwards.
bool DeleteShellVerb(const char* extension, const char* verbKey);
// className holds PATH_BUFFER_SIZE bytes.
bool ResolveFileClass(const char* extension, char* className);
