// Binary PPM ("P6") as netpbm describes it: the magic, then width, height and
// the largest sample value as decimal texts separated by whitespace (comments
// from "#" to the line end allowed), one whitespace character, and then the
// samples, red, green, blue per pixel, rows from the top. No Windows calls.
#pragma once
#include <cstddef>
#include <cstdint>

struct PpmLayout {
  int width;
  int height;
  int maxValue;        // 1 to 65535; above 255 a sample takes two bytes
  size_t sampleOffset; // where the samples begin
};

bool IsPpmHead(const uint8_t* bytes, size_t size);
bool ReadPpmLayout(const uint8_t* bytes, size_t size, PpmLayout* layout);
// Bytes of samples the layout needs.
size_t GetPpmSampleSize(const PpmLayout& layout);
// Rows of 24-bit pixels in blue, green, red order, stride bytes apart, in the
// file's order (the top row first); each sample scaled to 0..255.
void ConvertPpmToBgrRows(const uint8_t* samples, const PpmLayout& layout, uint8_t* rows,
                         size_t stride);
