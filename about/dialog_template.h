// Dialog templates built in memory, in the layout DialogBoxIndirectParamA
// takes: the fixed header with its menu, class, title and font, then one
// entry per control, each starting on a 4-byte boundary. One measuring pass,
// one allocation of exactly that size, one filling pass: both passes run the
// same writers, so the size and the layout cannot drift apart.
// No Windows calls here.
#pragma once
#include <cstddef>
#include <cstdint>

// A resource name or ordinal: upper 16 bits zero means an ordinal, otherwise
// a pointer to a zero-terminated UTF-16 string.
using NameOrOrdinal = uintptr_t;

inline NameOrOrdinal TemplateName(const char16_t* name) {
  return reinterpret_cast<NameOrOrdinal>(name);
}

const uint16_t BUTTON_CLASS_ORDINAL = 0x0080;
const uint16_t STATIC_CLASS_ORDINAL = 0x0082;
const uint32_t TEMPLATE_WS_CHILD = 0x40000000;

struct DialogTemplateDesc {
  uint32_t style;  // written as given: a caller with a face name sets DS_SETFONT itself
  uint32_t exStyle;
  uint16_t itemCount;
  int16_t x, y, cx, cy;
  NameOrOrdinal className;   // 0: the default dialog class
  const char16_t* title;     // null: empty caption; never an ordinal
  NameOrOrdinal menu;        // 0: no menu
  const char16_t* faceName;  // null: no font block at all
  uint16_t pointSize;
};

struct DialogItemDesc {
  NameOrOrdinal className;  // any value below 0x10000, 0 too, is an ordinal
  NameOrOrdinal text;       // 0: empty text
  uint32_t style;           // WS_CHILD is always added
  uint32_t exStyle;
  int16_t x, y, cx, cy;
  uint16_t id;
};

// A malloc'd template (free it), or null when there is no memory.
void* BuildDialogTemplate(const DialogTemplateDesc* dialog, const DialogItemDesc* items);

// Size of the template in bytes. With a null buffer nothing is written and the
// full size comes back; with a buffer every element that fits into capacity
// bytes is written, nothing past it, and the size written comes back.
size_t LayoutDialogTemplate(const DialogTemplateDesc* dialog, size_t capacity, void* buffer,
                            const DialogItemDesc* items);

// The writers: each returns the 16-bit units it occupies at position (in
// units), or 0 when the filling pass finds no room for it.
size_t WriteTemplateHeader(void* buffer, size_t capacity, const DialogTemplateDesc* dialog);
size_t WriteTemplateItem(void* buffer, size_t capacity, size_t position,
                         const DialogItemDesc* item);
size_t WriteTemplateWord(void* buffer, size_t capacity, size_t position, uint16_t value);
size_t WriteTemplateOrdinal(void* buffer, size_t capacity, size_t position, uint16_t ordinal);
size_t WriteTemplateString(void* buffer, size_t capacity, size_t position, const char16_t* text);
size_t WriteNameOrOrdinal(void* buffer, size_t capacity, size_t position, NameOrOrdinal value);
size_t AlignTemplateToDword(void* buffer, size_t capacity, size_t position);
