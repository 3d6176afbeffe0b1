#include "app/command_line.h"

#include <cstdlib>

#include "TOOLS/sjis_text.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// The splitter follows the process's own code page, as the system's own
// splitter does; the text functions use the fixed Shift-JIS ranges. A wide
// line has no lead bytes: every unit stands for itself, and none of the
// characters the rules look at is ever part of a surrogate pair.
bool IsLeadUnit(char unit) {
#ifdef _WIN32
  return IsDBCSLeadByte(static_cast<unsigned char>(unit)) != 0;
#else
  return IsSjisLeadByte(static_cast<unsigned char>(unit));
#endif
}

bool IsLeadUnit(wchar_t) { return false; }

template <typename Char>
bool IsBlank(Char c) {
  return c == ' ' || c == '\t';
}

// Units up to the first one of set, stepping over whole characters.
size_t SpanUntil(const char* p, const char* set) { return SpanExcluding(set, p); }

size_t SpanUntil(const wchar_t* p, const char* set) {
  size_t n = 0;
  for (; p[n] != 0; ++n)
    for (const char* s = set; *s; ++s)
      if (p[n] == static_cast<wchar_t>(*s)) return n;
  return n;
}

template <typename Char>
class Splitter {
 public:
  explicit Splitter(Char* texts) : texts_(texts) {}

  size_t offset() const { return offset_; }
  Char* position() const { return texts_ ? texts_ + offset_ : nullptr; }

  void Emit(Char unit) {
    if (texts_) texts_[offset_] = unit;
    ++offset_;
  }

  const Char* CopyCharacter(const Char* p) {
    if (IsLeadUnit(*p)) {
      Emit(*p++);
      // A lead byte cut off by the end of the line is kept on its own; the
      // terminator is never taken as its second byte.
      if (*p == 0) return p;
    }
    Emit(*p++);
    return p;
  }

  // The program name ends at the closing quote, or at the first blank when
  // it is not quoted; backslashes mean nothing in it.
  const Char* ReadProgramName(const Char* p) {
    if (*p == '"') {
      ++p;
      p = EmitUnits(p, SpanUntil(p, "\""));
      if (*p == '"') ++p;
    } else {
      p = EmitUnits(p, SpanUntil(p, " \t"));
    }
    Emit(0);
    return p;
  }

  const Char* ReadArgument(const Char* p) {
    bool inQuote = false;
    for (;;) {
      size_t backslashes = 0;
      while (*p == '\\') ++p, ++backslashes;
      if (*p == '"') {
        EmitBackslashes(backslashes / 2);
        if (backslashes % 2 == 1) {
          p = CopyCharacter(p);
          continue;
        }
        ++p;
        if (inQuote && *p == '"') p = CopyCharacter(p);
        inQuote = !inQuote;
        continue;
      }
      EmitBackslashes(backslashes);
      if (*p == 0) break;
      if (!inQuote && IsBlank(*p)) break;
      p = CopyCharacter(p);
    }
    Emit(0);
    return p;
  }

 private:
  const Char* EmitUnits(const Char* p, size_t count) {
    for (size_t i = 0; i < count; ++i) Emit(p[i]);
    return p + count;
  }

  void EmitBackslashes(size_t count) {
    for (size_t i = 0; i < count; ++i) Emit('\\');
  }

  Char* texts_;
  size_t offset_ = 0;
};

template <typename Char>
const Char* SkipBlankUnits(const Char* p) {
  while (IsBlank(*p)) ++p;
  return p;
}

template <typename Char>
size_t Parse(const Char* commandLine, Char** argv, int* argc, Char* texts) {
  Splitter<Char> splitter(texts);
  *argc = 0;
  if (argv) argv[0] = texts;
  const Char* p = splitter.ReadProgramName(commandLine);
  for (;;) {
    ++*argc;
    p = SkipBlankUnits(p);
    if (*p == 0) break;
    if (argv) argv[*argc] = splitter.position();
    p = splitter.ReadArgument(p);
  }
  if (argv) argv[*argc] = nullptr;
  return splitter.offset() * sizeof(Char) + (static_cast<size_t>(*argc) + 1) * sizeof(Char*);
}

template <typename Char>
Char** Split(const Char* commandLine, int* argc, BlockAllocator allocate) {
  size_t size = Parse<Char>(commandLine, nullptr, argc, nullptr);
  Char** block = static_cast<Char**>(allocate(size));
  if (!block) return nullptr;
  Char* texts = reinterpret_cast<Char*>(block + *argc + 1);
  Parse(commandLine, block, argc, texts);
  return block;
}

}  // namespace

size_t ParseCommandLine(const char* commandLine, char** argv, int* argc, char* texts) {
  return Parse(commandLine, argv, argc, texts);
}

size_t ParseCommandLine(const wchar_t* commandLine, wchar_t** argv, int* argc, wchar_t* texts) {
  return Parse(commandLine, argv, argc, texts);
}

char** SplitCommandLineWith(const char* commandLine, int* argc, BlockAllocator allocate) {
  return Split(commandLine, argc, allocate);
}

wchar_t** SplitCommandLineWith(const wchar_t* commandLine, int* argc, BlockAllocator allocate) {
  return Split(commandLine, argc, allocate);
}

char** SplitCommandLine(const char* commandLine, int* argc) {
  return SplitCommandLineWith(commandLine, argc, std::malloc);
}

bool FreeCommandLine(void* block) {
  std::free(block);
  return true;
}
