#include "TOOLS/sjis_text.h"

#include <cstdlib>
#include <cstring>

namespace {

unsigned char ByteAt(const char* p) { return static_cast<unsigned char>(*p); }

bool IsTrailByteValue(unsigned char byte) { return byte >= 0x40 && byte <= 0xFC && byte != 0x7F; }

}  // namespace

// The ranges are fixed rather than taken from the system's code page: the
// program's paths are Shift-JIS on any system it runs on.
bool IsSjisLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

unsigned GetCharCode(const char* p) {
  unsigned char first = ByteAt(p);
  if (IsSjisLeadByte(first) && p[1] != 0) return first * 256u + ByteAt(p + 1);
  return first;
}

const char* NextChar(const char* p) {
  if (*p == 0) return p;
  if (IsSjisLeadByte(ByteAt(p)) && p[1] != 0) return p + 2;
  return p + 1;
}

char* NextChar(char* p) { return const_cast<char*>(NextChar(static_cast<const char*>(p))); }

int GetByteType(const char* text, size_t index) {
  int state = BYTE_SINGLE;
  for (size_t i = 0; i <= index; ++i) {
    unsigned char byte = ByteAt(text + i);
    if (byte == 0) return BYTE_SINGLE;
    if (state == BYTE_LEAD)
      state = IsTrailByteValue(byte) ? BYTE_TRAIL : BYTE_SINGLE;
    else
      state = IsSjisLeadByte(byte) ? BYTE_LEAD : BYTE_SINGLE;
  }
  return state;
}

bool IsBackslashAt(const char* text, size_t index) {
  return text[index] == '\\' && GetByteType(text, index) == BYTE_SINGLE;
}

const char* FindChar(const char* text, unsigned code) {
  for (const char* p = text;; p = NextChar(p)) {
    if (GetCharCode(p) == code) return p;
    if (*p == 0) return nullptr;
  }
}

const char* FindBackslash(const char* text) { return FindChar(text, '\\'); }

const char* FindLastBackslash(const char* text) {
  const char* last = nullptr;
  for (const char* hit = FindBackslash(text); hit; hit = FindBackslash(hit + 1)) last = hit;
  return last;
}

const char* FindTrailingBackslash(const char* text) {
  const char* last = FindLastBackslash(text);
  return (last && last[1] == 0) ? last : nullptr;
}

bool HasTrailingBackslash(const char* text) { return FindTrailingBackslash(text) != nullptr; }

const char* StringEnd(const char* text) { return text + std::strlen(text); }

bool BuildCharSet(CharBitSet* set, const char* setText) {
  std::memset(set->bits, 0, sizeof set->bits);
  for (const char* p = setText; *p; ++p) {
    unsigned char byte = ByteAt(p);
    set->bits[byte / 8] |= static_cast<unsigned char>(1u << (byte % 8));
  }
  return true;
}

bool IsInCharSet(const CharBitSet& set, unsigned code) {
  if (code > 0xFF) return false;  // double-byte characters are never members
  return (set.bits[code / 8] >> (code % 8)) & 1u;
}

size_t SpanIncluding(const char* setText, const char* text) {
  CharBitSet set;
  BuildCharSet(&set, setText);
  const char* p = text;
  while (*p && IsInCharSet(set, GetCharCode(p))) p = NextChar(p);
  return static_cast<size_t>(p - text);
}

size_t SpanExcluding(const char* setText, const char* text) {
  CharBitSet set;
  BuildCharSet(&set, setText);
  const char* p = text;
  while (*p && !IsInCharSet(set, GetCharCode(p))) p = NextChar(p);
  return static_cast<size_t>(p - text);
}

const char* SkipBlanks(const char* text) { return text + SpanIncluding(" \t", text); }

bool EqualChars(const char* a, const char* b, size_t n) {
  if (n == 0) return true;
  const char* startA = a;
  const char* startB = b;
  for (;;) {
    if (static_cast<size_t>(b - startB) >= n) return true;
    if (GetCharCode(a) != GetCharCode(b)) return false;
    if (*a == 0 && *b == 0) return true;
    a = NextChar(a);
    b = NextChar(b);
    if (static_cast<size_t>(a - startA) >= n) return true;
  }
}

bool IsEqualString(const char* a, const char* b) { return std::strcmp(a, b) == 0; }

bool IsEqualStringNoCase(const char* a, const char* b) {
  for (;; ++a, ++b) {
    unsigned char x = ByteAt(a), y = ByteAt(b);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
    if (x != y) return false;
    if (x == 0) return true;
  }
}

void LowerCaseDbcs(char* text) {
  for (char* p = text; *p; p = NextChar(p))
    if (*p >= 'A' && *p <= 'Z') *p = static_cast<char>(*p - 'A' + 'a');
}

void CopyStringDbcs(char* destination, size_t capacity, const char* source) {
  if (capacity == 0) return;
  size_t span = capacity - 1;
  if (span > 0 && GetByteType(source, capacity - 1) == BYTE_TRAIL) span = capacity - 2;
  size_t i = 0;
  for (; i < span && source[i]; ++i) destination[i] = source[i];
  for (; i < span; ++i) destination[i] = 0;
  destination[span] = 0;
}

size_t AppendString(char* buffer, size_t length, const char* text) {
  size_t n = std::strlen(text);
  if (buffer == nullptr) return n;
  if (length >= COMMAND_BUFFER_SIZE) return 0;
  size_t room = COMMAND_BUFFER_SIZE - 1 - length;
  size_t count = n < room ? n : room;
  std::memcpy(buffer + length, text, count);
  std::memset(buffer + length + count, 0, COMMAND_BUFFER_SIZE - length - count);
  return count;
}

void* ZeroFill(void* destination, size_t size) {
  std::memset(destination, 0, size);
  return static_cast<char*>(destination) + size;
}

void* DuplicateMemory(const void* source, size_t size) {
  void* block = std::malloc(size ? size : 1);
  if (block == nullptr) return nullptr;
  std::memcpy(block, source, size);
  return block;
}
