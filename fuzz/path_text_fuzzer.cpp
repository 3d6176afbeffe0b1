// The path functions on any texts: CombinePath, SplitFileName, the
// extension search and CopyStringDbcs. Each result is checked against
// Shift-JIS rules written here: byte types from a walk of their own, and for
// plain ASCII texts a string model of the join.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "TOOLS/path_text.h"
#include "TOOLS/sjis_text.h"
#include "fuzz/fuzz_support.h"

namespace {

bool LeadInModel(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool TrailInModel(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

// second[i]: byte i is the second byte of a double-byte character.
std::vector<bool> SecondBytes(const std::string& text) {
  std::vector<bool> second(text.size() + 1, false);
  for (size_t i = 0; i < text.size(); ++i) {
    if (LeadInModel(text[i]) && i + 1 < text.size() && TrailInModel(text[i + 1])) second[++i] = true;
  }
  return second;
}

bool IsAscii(const std::string& text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// Positions of the backslashes that are characters of their own.
std::vector<size_t> Backslashes(const std::string& text) {
  std::vector<bool> second = SecondBytes(text);
  std::vector<size_t> found;
  for (size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\\' && !second[i]) found.push_back(i);
  return found;
}

void CheckSplitFileName(const std::string& path) {
  std::vector<char> buffer(path.begin(), path.end());
  buffer.push_back(0);
  char* name = SplitFileName(buffer.data());
  std::vector<size_t> slashes = Backslashes(path);
  if (slashes.empty()) {
    FuzzCheck(name == buffer.data() && path == buffer.data(), "no backslash: the whole path is the name");
    return;
  }
  size_t last = slashes.back();
  FuzzCheck(name == buffer.data() + last + 1, "the name after the last backslash");
  FuzzCheck(std::string(buffer.data()) == path.substr(0, last), "the folder before it");
}

void CheckFindExtension(const std::string& path) {
  const char* extension = FindExtension(path.c_str());
  size_t at = static_cast<size_t>(extension - path.c_str());
  std::vector<size_t> slashes = Backslashes(path);
  size_t nameStart = slashes.empty() ? 0 : slashes.back() + 1;
  size_t dot = path.rfind('.');
  size_t expected = dot != std::string::npos && dot >= nameStart ? dot : path.size();
  FuzzCheck(at == expected, "the last dot of the file name, else the end");
}

void CheckCopyStringDbcs(const std::string& source, size_t capacity) {
  // Exactly capacity bytes, so any write past them is caught.
  char* heap = new char[capacity == 0 ? 1 : capacity];
  std::memset(heap, 'x', capacity == 0 ? 1 : capacity);
  CopyStringDbcs(heap, capacity, source.c_str());
  if (capacity == 0) {
    FuzzCheck(heap[0] == 'x', "no room: nothing written");
    delete[] heap;
    return;
  }
  std::vector<bool> second = SecondBytes(source);
  size_t span = capacity - 1;
  if (span > 0 && span < source.size() && second[span]) --span;
  size_t copied = span < source.size() ? span : source.size();
  FuzzCheck(std::memcmp(heap, source.data(), copied) == 0, "a prefix of the source");
  for (size_t i = copied; i <= span; ++i) FuzzCheck(heap[i] == 0, "zeros after the copy");
  delete[] heap;
}

std::string ModelCombine(std::string result, const std::string& relative, bool* ok) {
  *ok = true;
  if (result.size() >= PATH_BUFFER_SIZE) {
    *ok = false;
    return "";
  }
  size_t start = 0;
  for (;;) {
    size_t end = relative.find_first_of("/\\", start);
    std::string component = relative.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (component == ".") {
    } else if (component == "..") {
      if (!result.empty() && result.back() == '\\') result.pop_back();
      if (result.empty()) {
        *ok = false;
        return "";
      }
      size_t last = result.rfind('\\');
      result.resize(last == std::string::npos ? 0 : last);
    } else {
      bool separator = !result.empty() && result.back() != '\\';
      if (result.size() + (separator ? 1 : 0) + component.size() >= PATH_BUFFER_SIZE) {
        *ok = false;
        return "";
      }
      if (separator) result += '\\';
      result += component;
    }
    if (end == std::string::npos) return result;
    start = end + 1;
  }
}

void CheckCombinePath(const std::string& base, const std::string& relative) {
  char* result = new char[PATH_BUFFER_SIZE];
  bool ok = CombinePath(result, base.c_str(), relative.c_str());
  size_t length = strnlen(result, PATH_BUFFER_SIZE);
  FuzzCheck(length < PATH_BUFFER_SIZE, "the result is terminated inside its buffer");
  if (!ok) FuzzCheck(length == 0, "a refused join leaves an empty result");
  if (IsAscii(base) && IsAscii(relative)) {
    bool modelOk;
    std::string expected = ModelCombine(base, relative, &modelOk);
    FuzzCheck(ok == modelOk, "refused exactly when the model refuses");
    FuzzCheck(expected == result, "the joined path as the model");
  }
  delete[] result;
}

}  // namespace

// Layout: one byte of capacity, then the base and the relative path
// separated by the first zero byte.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  size_t capacity = data[0] % 48;
  std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
  size_t zero = rest.find('\0');
  std::string base = rest.substr(0, zero);
  std::string relative;
  if (zero != std::string::npos) {
    relative = rest.substr(zero + 1);
    relative = relative.substr(0, relative.find('\0'));
  }
  CheckSplitFileName(base);
  CheckFindExtension(base);
  CheckCopyStringDbcs(base, capacity);
  CheckCombinePath(base, relative);
  return 0;
}
