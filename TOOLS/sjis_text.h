// Shift-JIS aware text functions. Every text is a zero-terminated byte string
// in code page 932; a double-byte character is always handled as one unit, so
// a second byte of 0x5C is never a backslash. No Windows calls here.
#pragma once
#include <cstddef>
#include <cstdint>

enum ByteType { BYTE_SINGLE = 0, BYTE_LEAD = 1, BYTE_TRAIL = 2 };

const size_t PATH_BUFFER_SIZE = 522;
const size_t COMMAND_BUFFER_SIZE = 1025;

// 256 bits, one per single-byte code.
struct CharBitSet {
  unsigned char bits[32];
};

bool IsSjisLeadByte(unsigned char byte);
unsigned GetCharCode(const char* p);
const char* NextChar(const char* p);
char* NextChar(char* p);
int GetByteType(const char* text, size_t index);
bool IsBackslashAt(const char* text, size_t index);

const char* FindChar(const char* text, unsigned code);
const char* FindBackslash(const char* text);
const char* FindLastBackslash(const char* text);
const char* FindTrailingBackslash(const char* text);
bool HasTrailingBackslash(const char* text);
const char* StringEnd(const char* text);

bool BuildCharSet(CharBitSet* set, const char* setText);
bool IsInCharSet(const CharBitSet& set, unsigned code);
size_t SpanIncluding(const char* setText, const char* text);
size_t SpanExcluding(const char* setText, const char* text);
const char* SkipBlanks(const char* text);

bool EqualChars(const char* a, const char* b, size_t n);
bool IsEqualString(const char* a, const char* b);
bool IsEqualStringNoCase(const char* a, const char* b);

void LowerCaseDbcs(char* text);
void CopyStringDbcs(char* destination, size_t capacity, const char* source);
size_t AppendString(char* buffer, size_t length, const char* text);
void* ZeroFill(void* destination, size_t size);
void* DuplicateMemory(const void* source, size_t size);
