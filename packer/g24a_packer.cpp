#include "packer/g24a_packer.h"

#include <cstdint>
#include <cstring>

#include "convert/packed_format.h"
#include "convert/packed_picture.h"

namespace {

const int HASH_BITS = 16;
// Longer chains pack a little tighter and a lot slower.
const int CHAIN_LIMIT = 48;

std::vector<unsigned char> MakeDeltas(const unsigned char* pixels, size_t size) {
  size_t whole = size - size % PACKED_GROUP_SIZE;
  // The window starts as zero bytes; placing them before the deltas lets the
  // match search treat them as ordinary earlier input.
  std::vector<unsigned char> text(PACKED_WINDOW_SIZE + whole, 0);
  for (size_t i = 0; i < whole; ++i) {
    unsigned char previous = i >= PACKED_GROUP_SIZE ? pixels[i - PACKED_GROUP_SIZE] : 0;
    text[PACKED_WINDOW_SIZE + i] = static_cast<unsigned char>(pixels[i] - previous);
  }
  return text;
}

uint32_t HashAt(const unsigned char* p) {
  uint32_t key = (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
  return (key * 2654435761u) >> (32 - HASH_BITS);
}

class MatchFinder {
 public:
  explicit MatchFinder(const std::vector<unsigned char>& text)
      : text_(text), head_(size_t(1) << HASH_BITS, -1), previous_(PACKED_WINDOW_SIZE, -1) {}

  void Insert(size_t t) {
    if (t + PACKED_SHORTEST_MATCH > text_.size()) return;
    uint32_t hash = HashAt(&text_[t]);
    previous_[t & PACKED_WINDOW_MASK] = head_[hash];
    head_[hash] = static_cast<int64_t>(t);
  }

  // A source at most a window back: the reader still holds its bytes there,
  // and may run on into the bytes the match itself produces.
  size_t Find(size_t current, size_t* source) const {
    size_t longest = text_.size() - current;
    if (longest > PACKED_LONGEST_MATCH) longest = PACKED_LONGEST_MATCH;
    if (longest < PACKED_SHORTEST_MATCH) return 0;
    size_t best = 0;
    int64_t candidate = head_[HashAt(&text_[current])];
    for (int steps = 0; steps < CHAIN_LIMIT && candidate >= 0; ++steps) {
      size_t t = static_cast<size_t>(candidate);
      if (current - t > PACKED_WINDOW_SIZE) break;
      size_t length = 0;
      while (length < longest && text_[t + length] == text_[current + length]) ++length;
      if (length > best) {
        best = length;
        *source = t;
        if (best == longest) break;
      }
      candidate = previous_[t & PACKED_WINDOW_MASK];
    }
    return best >= PACKED_SHORTEST_MATCH ? best : 0;
  }

 private:
  const std::vector<unsigned char>& text_;
  std::vector<int64_t> head_;
  std::vector<int64_t> previous_;
};

class BlockWriter {
 public:
  explicit BlockWriter(std::vector<unsigned char>& out) : out_(out) {}

  void Literal(unsigned char byte) {
    size_t flag = StartToken();
    out_[flag] |= static_cast<unsigned char>(1u << tokens_++);
    out_.push_back(byte);
  }

  void Reference(size_t windowPosition, size_t length) {
    StartToken();
    ++tokens_;
    size_t stored = (windowPosition + PACKED_WINDOW_SIZE - PACKED_POSITION_BIAS) & PACKED_WINDOW_MASK;
    out_.push_back(static_cast<unsigned char>(stored & 0xFF));
    out_.push_back(static_cast<unsigned char>(((stored >> 8) << 4) | (length - PACKED_SHORTEST_MATCH)));
  }

 private:
  size_t StartToken() {
    if (tokens_ == 8) {
      flagIndex_ = out_.size();
      out_.push_back(0);
      tokens_ = 0;
    }
    return flagIndex_;
  }

  std::vector<unsigned char>& out_;
  size_t flagIndex_ = 0;
  unsigned tokens_ = 8;
};

}  // namespace

std::vector<unsigned char> PackPixels(const unsigned char* pixels, size_t size) {
  std::vector<unsigned char> text = MakeDeltas(pixels, size);
  std::vector<unsigned char> packed;
  packed.reserve(text.size() - PACKED_WINDOW_SIZE + text.size() / 8 + 16);
  MatchFinder finder(text);
  BlockWriter writer(packed);
  for (size_t t = 0; t < PACKED_WINDOW_SIZE; ++t) finder.Insert(t);
  size_t current = PACKED_WINDOW_SIZE;
  while (current < text.size()) {
    size_t source = 0;
    size_t length = finder.Find(current, &source);
    if (length == 0) {
      writer.Literal(text[current]);
      length = 1;
    } else {
      // The reader stores the first delta at window index 0.
      writer.Reference(source & PACKED_WINDOW_MASK, length);
    }
    for (size_t k = 0; k < length; ++k) finder.Insert(current + k);
    current += length;
  }
  return packed;
}

std::vector<unsigned char> MakePackedPicture(const BITMAPINFOHEADER& header,
                                             const unsigned char* pixels) {
  std::vector<unsigned char> file;
  int32_t size = GetDibImageSize(header);
  if (size < 0) return file;
  file.insert(file.end(), PACKED_MAGIC, PACKED_MAGIC + PACKED_MAGIC_SIZE);
  const unsigned char* headerBytes = reinterpret_cast<const unsigned char*>(&header);
  file.insert(file.end(), headerBytes, headerBytes + sizeof header);
  file.insert(file.end(), PACKED_SKIPPED_SIZE, 0);
  std::vector<unsigned char> stream = PackPixels(pixels, static_cast<size_t>(size));
  file.insert(file.end(), stream.begin(), stream.end());
  return file;
}
