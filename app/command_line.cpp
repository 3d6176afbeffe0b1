#include "app/command_line.h"

#include <cstdlib>

#include "TOOLS/sjis_text.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

const char QUOTE = '"';

// The splitter follows the process's own code page, as the system's own
// splitter does; the text functions use the fixed Shift-JIS ranges.
bool IsCodePageLeadByte(unsigned char byte) {
#ifdef _WIN32
  return IsDBCSLeadByte(byte) != 0;
#else
  return IsSjisLeadByte(byte);
#endif
}

void EmitBytes(size_t* offset, char* texts, const char* bytes, size_t count) {
  for (size_t i = 0; i < count; ++i) EmitByte(offset, texts, bytes[i]);
}

void EmitBackslashes(size_t* offset, char* texts, size_t count) {
  for (size_t i = 0; i < count; ++i) EmitByte(offset, texts, '\\');
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

void EmitByte(size_t* offset, char* texts, char byte) {
  if (texts) texts[*offset] = byte;
  ++*offset;
}

const char* CopyCharacter(const char* p, char* texts, size_t* offset) {
  if (IsCodePageLeadByte(static_cast<unsigned char>(*p))) {
    EmitByte(offset, texts, *p++);
    // A lead byte cut off by the end of the line is kept on its own; the
    // terminator is never taken as its second byte.
    if (*p == 0) return p;
  }
  EmitByte(offset, texts, *p++);
  return p;
}

const char* ReadProgramName(const char* p, char* texts, size_t* offset) {
  if (*p == QUOTE) {
    ++p;
    size_t n = SpanExcluding("\"", p);
    EmitBytes(offset, texts, p, n);
    p += n;
    if (*p == QUOTE) ++p;
  } else {
    size_t n = SpanExcluding(" \t", p);
    EmitBytes(offset, texts, p, n);
    p += n;
  }
  EmitByte(offset, texts, 0);
  return p;
}

const char* ReadArgument(const char* p, char* texts, size_t* offset) {
  bool inQuote = false;
  for (;;) {
    size_t backslashes = SpanIncluding("\\", p);
    p += backslashes;
    if (*p == QUOTE) {
      EmitBackslashes(offset, texts, backslashes / 2);
      if (backslashes % 2 == 1) {
        p = CopyCharacter(p, texts, offset);
        continue;
      }
      ++p;
      if (inQuote && *p == QUOTE) p = CopyCharacter(p, texts, offset);
      inQuote = !inQuote;
      continue;
    }
    EmitBackslashes(offset, texts, backslashes);
    if (*p == 0) break;
    if (!inQuote && IsBlank(*p)) break;
    p = CopyCharacter(p, texts, offset);
  }
  EmitByte(offset, texts, 0);
  return p;
}

size_t ParseCommandLine(const char* commandLine, char** argv, int* argc, char* texts) {
  size_t offset = 0;
  *argc = 0;
  if (argv) argv[0] = texts;
  const char* p = ReadProgramName(commandLine, texts, &offset);
  for (;;) {
    ++*argc;
    p = SkipBlanks(p);
    if (*p == 0) break;
    if (argv) argv[*argc] = texts + offset;
    p = ReadArgument(p, texts, &offset);
  }
  if (argv) argv[*argc] = nullptr;
  return offset + (static_cast<size_t>(*argc) + 1) * sizeof(char*);
}

char** SplitCommandLineWith(const char* commandLine, int* argc, BlockAllocator allocate) {
  size_t size = ParseCommandLine(commandLine, nullptr, argc, nullptr);
  char** block = static_cast<char**>(allocate(size));
  if (!block) return nullptr;
  char* texts = reinterpret_cast<char*>(block + *argc + 1);
  ParseCommandLine(commandLine, block, argc, texts);
  return block;
}

char** SplitCommandLine(const char* commandLine, int* argc) {
  return SplitCommandLineWith(commandLine, argc, std::malloc);
}

bool FreeCommandLine(char** block) {
  std::free(block);
  return true;
}
