#include "ppm_picture.h"

namespace {

bool IsPpmSpace(uint8_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// Skips whitespace and comments; false when the header ends first.
bool SkipSpace(const uint8_t* bytes, size_t size, size_t* at) {
  while (*at < size) {
    if (bytes[*at] == '#') {
      while (*at < size && bytes[*at] != '\n' && bytes[*at] != '\r') ++*at;
    } else if (IsPpmSpace(bytes[*at])) {
      ++*at;
    } else {
      return true;
    }
  }
  return false;
}

bool ReadNumber(const uint8_t* bytes, size_t size, size_t* at, int* value) {
  if (!SkipSpace(bytes, size, at)) return false;
  long number = 0;
  size_t start = *at;
  while (*at < size && bytes[*at] >= '0' && bytes[*at] <= '9') {
    number = number * 10 + (bytes[*at] - '0');
    if (number > 65535) return false;
    ++*at;
  }
  if (*at == start) return false;
  *value = static_cast<int>(number);
  return true;
}

uint8_t ScaleSample(unsigned sample, int maxValue) {
  return static_cast<uint8_t>((sample * 255u + maxValue / 2) / maxValue);
}

}  // namespace

bool IsPpmHead(const uint8_t* bytes, size_t size) {
  return size >= 3 && bytes[0] == 'P' && bytes[1] == '6' && (IsPpmSpace(bytes[2]) || bytes[2] == '#');
}

bool ReadPpmLayout(const uint8_t* bytes, size_t size, PpmLayout* layout) {
  if (!IsPpmHead(bytes, size)) return false;
  size_t at = 2;
  if (!ReadNumber(bytes, size, &at, &layout->width) ||
      !ReadNumber(bytes, size, &at, &layout->height) ||
      !ReadNumber(bytes, size, &at, &layout->maxValue))
    return false;
  if (layout->width < 1 || layout->height < 1 || layout->maxValue < 1) return false;
  // Exactly one whitespace character ends the header; a sample may itself
  // look like whitespace.
  if (at >= size || !IsPpmSpace(bytes[at])) return false;
  layout->sampleOffset = at + 1;
  return true;
}

size_t GetPpmSampleSize(const PpmLayout& layout) {
  size_t bytesPerSample = layout.maxValue > 255 ? 2 : 1;
  return static_cast<size_t>(layout.width) * layout.height * 3 * bytesPerSample;
}

void ConvertPpmToBgrRows(const uint8_t* samples, const PpmLayout& layout, uint8_t* rows,
                         size_t stride) {
  size_t bytesPerSample = layout.maxValue > 255 ? 2 : 1;
  for (int y = 0; y < layout.height; ++y) {
    uint8_t* row = rows + static_cast<size_t>(y) * stride;
    for (int x = 0; x < layout.width; ++x) {
      for (int channel = 0; channel < 3; ++channel) {
        const uint8_t* sample = samples + bytesPerSample * ((static_cast<size_t>(y) * layout.width + x) * 3 + channel);
        unsigned value = bytesPerSample == 2 ? (sample[0] << 8) | sample[1] : sample[0];
        // PPM keeps red first; a device-independent bitmap keeps blue first.
        row[x * 3 + 2 - channel] = ScaleSample(value, layout.maxValue);
      }
    }
  }
}
