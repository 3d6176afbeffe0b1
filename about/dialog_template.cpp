#include "about/dialog_template.h"

#include <cstdlib>

namespace {

const size_t FIXED_PART_BYTES = 18;
const size_t FIXED_PART_UNITS = FIXED_PART_BYTES / 2;

bool IsOrdinal(NameOrOrdinal value) { return (value >> 16) == 0; }

// Whether units 16-bit units fit at position; written so that no sum can wrap
// around however long a string is.
bool FitsUnits(size_t capacity, size_t position, size_t units) {
  size_t room = capacity / 2;
  return units <= room && position <= room - units;
}

bool FitsBytes(size_t capacity, size_t position, size_t bytes) {
  return bytes <= capacity && position <= (capacity - bytes) / 2;
}

size_t StringLength(const char16_t* text) {
  size_t n = 0;
  while (text[n]) ++n;
  return n;
}

// Templates are little-endian whatever the machine that builds them.
void PutUnit(void* buffer, size_t position, uint16_t value) {
  unsigned char* bytes = static_cast<unsigned char*>(buffer) + 2 * position;
  bytes[0] = static_cast<unsigned char>(value & 0xFF);
  bytes[1] = static_cast<unsigned char>(value >> 8);
}

void PutUnits32(void* buffer, size_t position, uint32_t value) {
  PutUnit(buffer, position, static_cast<uint16_t>(value & 0xFFFF));
  PutUnit(buffer, position + 1, static_cast<uint16_t>(value >> 16));
}

size_t WriteOrdinalOrString(void* buffer, size_t capacity, size_t position, NameOrOrdinal value) {
  if (IsOrdinal(value)) {
    return WriteTemplateOrdinal(buffer, capacity, position, static_cast<uint16_t>(value));
  }
  return WriteTemplateString(buffer, capacity, position, reinterpret_cast<const char16_t*>(value));
}

// 0 stands for the empty string where a text is meant.
size_t WriteItemText(void* buffer, size_t capacity, size_t position, NameOrOrdinal text) {
  if (text == 0) return WriteTemplateWord(buffer, capacity, position, 0);
  return WriteOrdinalOrString(buffer, capacity, position, text);
}

size_t WriteHeaderFixedPart(void* buffer, size_t capacity, const DialogTemplateDesc* dialog) {
  if (!buffer) return FIXED_PART_UNITS;
  if (!FitsBytes(capacity, 0, FIXED_PART_BYTES)) return 0;
  PutUnits32(buffer, 0, dialog->style);
  PutUnits32(buffer, 2, dialog->exStyle);
  PutUnit(buffer, 4, dialog->itemCount);
  PutUnit(buffer, 5, static_cast<uint16_t>(dialog->x));
  PutUnit(buffer, 6, static_cast<uint16_t>(dialog->y));
  PutUnit(buffer, 7, static_cast<uint16_t>(dialog->cx));
  PutUnit(buffer, 8, static_cast<uint16_t>(dialog->cy));
  return FIXED_PART_UNITS;
}

size_t WriteItemFixedPart(void* buffer, size_t capacity, size_t position,
                          const DialogItemDesc* item) {
  if (!buffer) return FIXED_PART_UNITS;
  if (!FitsBytes(capacity, position, FIXED_PART_BYTES)) return 0;
  PutUnits32(buffer, position, item->style | TEMPLATE_WS_CHILD);
  PutUnits32(buffer, position + 2, item->exStyle);
  PutUnit(buffer, position + 4, static_cast<uint16_t>(item->x));
  PutUnit(buffer, position + 5, static_cast<uint16_t>(item->y));
  PutUnit(buffer, position + 6, static_cast<uint16_t>(item->cx));
  PutUnit(buffer, position + 7, static_cast<uint16_t>(item->cy));
  PutUnit(buffer, position + 8, item->id);
  return FIXED_PART_UNITS;
}

}  // namespace

size_t WriteTemplateWord(void* buffer, size_t capacity, size_t position, uint16_t value) {
  if (!buffer) return 1;
  if (!FitsUnits(capacity, position, 1)) return 0;
  PutUnit(buffer, position, value);
  return 1;
}

size_t WriteTemplateOrdinal(void* buffer, size_t capacity, size_t position, uint16_t ordinal) {
  size_t units = WriteTemplateWord(buffer, capacity, position, 0xFFFF);
  return units + WriteTemplateWord(buffer, capacity, position + units, ordinal);
}

size_t WriteTemplateString(void* buffer, size_t capacity, size_t position, const char16_t* text) {
  size_t n = StringLength(text);
  if (!buffer) return n + 1;
  if (!FitsUnits(capacity, position, n + 1)) return 0;
  for (size_t i = 0; i < n; ++i) PutUnit(buffer, position + i, static_cast<uint16_t>(text[i]));
  PutUnit(buffer, position + n, 0);
  return n + 1;
}

size_t WriteNameOrOrdinal(void* buffer, size_t capacity, size_t position, NameOrOrdinal value) {
  if (value == 0) return WriteTemplateWord(buffer, capacity, position, 0);
  return WriteOrdinalOrString(buffer, capacity, position, value);
}

size_t AlignTemplateToDword(void* buffer, size_t capacity, size_t position) {
  if (position % 2 == 0) return 0;
  return WriteTemplateWord(buffer, capacity, position, 0);
}

size_t WriteTemplateHeader(void* buffer, size_t capacity, const DialogTemplateDesc* dialog) {
  size_t position = WriteHeaderFixedPart(buffer, capacity, dialog);
  position += WriteNameOrOrdinal(buffer, capacity, position, dialog->menu);
  position += WriteNameOrOrdinal(buffer, capacity, position, dialog->className);
  position += dialog->title ? WriteTemplateString(buffer, capacity, position, dialog->title)
                            : WriteTemplateWord(buffer, capacity, position, 0);
  if (dialog->faceName) {
    position += WriteTemplateWord(buffer, capacity, position, dialog->pointSize);
    position += WriteTemplateString(buffer, capacity, position, dialog->faceName);
  }
  return position;
}

size_t WriteTemplateItem(void* buffer, size_t capacity, size_t position,
                         const DialogItemDesc* item) {
  size_t start = position;
  position += WriteItemFixedPart(buffer, capacity, position, item);
  position += WriteOrdinalOrString(buffer, capacity, position, item->className);
  position += WriteItemText(buffer, capacity, position, item->text);
  position += WriteTemplateWord(buffer, capacity, position, 0);  // no creation data
  return position - start;
}

size_t LayoutDialogTemplate(const DialogTemplateDesc* dialog, size_t capacity, void* buffer,
                            const DialogItemDesc* items) {
  size_t position = WriteTemplateHeader(buffer, capacity, dialog);
  position += AlignTemplateToDword(buffer, capacity, position);
  for (uint16_t i = 0; i < dialog->itemCount; ++i) {
    position += WriteTemplateItem(buffer, capacity, position, &items[i]);
    position += AlignTemplateToDword(buffer, capacity, position);
  }
  return 2 * position;
}

void* BuildDialogTemplate(const DialogTemplateDesc* dialog, const DialogItemDesc* items) {
  size_t size = LayoutDialogTemplate(dialog, 0, nullptr, items);
  void* buffer = std::malloc(size);
  if (!buffer) return nullptr;
  LayoutDialogTemplate(dialog, size, buffer, items);
  return buffer;
}
