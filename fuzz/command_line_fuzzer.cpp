// The command-line splitter against a model of its rules written apart from
// it: the line is first cut into characters (a Shift-JIS lead byte takes the
// byte after it, whatever that is), then the rules look at whole characters
// only. The wide splitter gets the same line widened unit by unit, where no
// unit is a lead.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "fuzz/fuzz_support.h"

namespace {

bool IsLeadInModel(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

std::vector<std::string> Characters(const std::string& line, bool leads) {
  std::vector<std::string> characters;
  for (size_t i = 0; i < line.size();) {
    size_t n = leads && IsLeadInModel(line[i]) && i + 1 < line.size() ? 2 : 1;
    characters.push_back(line.substr(i, n));
    i += n;
  }
  return characters;
}

// The rules: the program name runs to the closing quote, or to the first
// blank; each argument ends at a blank outside quotes; 2n backslashes before
// a quote give n and the quote toggles quoting, 2n+1 give n and a literal
// quote; "" inside quotes is a literal quote and ends the quoting; other
// backslashes are themselves.
std::vector<std::string> ModelSplit(const std::string& line, bool leads) {
  std::vector<std::string> c = Characters(line, leads);
  size_t i = 0, n = c.size();
  auto is = [&](size_t k, const char* what) { return k < n && c[k] == what; };
  auto blank = [&](size_t k) { return is(k, " ") || is(k, "\t"); };
  std::vector<std::string> argv(1);
  if (is(0, "\"")) {
    for (i = 1; i < n && !is(i, "\""); ++i) argv[0] += c[i];
    if (i < n) ++i;
  } else {
    for (; i < n && !blank(i); ++i) argv[0] += c[i];
  }
  for (;;) {
    while (blank(i)) ++i;
    if (i >= n) break;
    std::string argument;
    bool quoted = false;
    while (i < n && (quoted || !blank(i))) {
      size_t slashes = 0;
      while (is(i, "\\")) ++slashes, ++i;
      if (!is(i, "\"")) {
        argument.append(slashes, '\\');
        if (i < n && (quoted || !blank(i))) argument += c[i++];
        continue;
      }
      argument.append(slashes / 2, '\\');
      ++i;
      if (slashes % 2 == 1) {
        argument += '"';
      } else if (quoted && is(i, "\"")) {
        argument += '"';
        ++i;
        quoted = false;
      } else {
        quoted = !quoted;
      }
    }
    argv.push_back(argument);
  }
  return argv;
}

template <typename Char>
void CheckAgainstModel(const std::basic_string<Char>& line, const std::vector<std::string>& expected) {
  int argc = -1;
  Char** argv = SplitCommandLineWith(line.c_str(), &argc, std::malloc);
  FuzzCheck(argv != nullptr, "the block is allocated");
  FuzzCheck(argc == static_cast<int>(expected.size()), "argument count as the model");
  for (int k = 0; k < argc; ++k) {
    std::basic_string<Char> got(argv[k]);
    FuzzCheck(got.size() == expected[k].size(), "argument length as the model");
    for (size_t j = 0; j < got.size(); ++j)
      FuzzCheck(static_cast<unsigned char>(got[j]) == static_cast<unsigned char>(expected[k][j]),
                "argument text as the model");
  }
  FuzzCheck(argv[argc] == nullptr, "argv ends with a null");
  FreeCommandLine(argv);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string line;
  for (size_t i = 0; i < size && data[i] != 0; ++i) line += static_cast<char>(data[i]);
  CheckAgainstModel(line, ModelSplit(line, true));
  std::wstring wide;
  for (char c : line) wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
  CheckAgainstModel(wide, ModelSplit(line, false));
  return 0;
}
