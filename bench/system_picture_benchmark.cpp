// system_picture_benchmark picture reference.rgb tolerance imagemagick-seconds
// The whole conversion of a picture only the system's imaging component
// reads (no plug-ins) to "<this program>.bmp": its best time against the
// time ImageMagick took natively for the same picture, its peak memory, and
// its pixels against ImageMagick's decode (rows from the top, red, green,
// blue). Exits non-zero when the conversion fails or a pixel differs by
// more than tolerance.
#include <windows.h>
#include <objbase.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "TOOLS/module_path.h"
#include "TOOLS/sjis_text.h"
#include "convert/convert_to_bitmap.h"

namespace {

const int CONVERSIONS = 3;

bool ReadWholeFile(const char* path, std::vector<unsigned char>* bytes) {
  FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  std::fseek(file, 0, SEEK_END);
  long size = std::ftell(file);
  std::fseek(file, 0, SEEK_SET);
  bytes->resize(size > 0 ? static_cast<size_t>(size) : 0);
  bool read = std::fread(bytes->data(), 1, bytes->size(), file) == bytes->size();
  std::fclose(file);
  return read;
}

// The largest difference of any channel between the BMP file's rows and the
// reference; -1 when the sizes do not match.
int LargestDifference(const std::vector<unsigned char>& bmp, const std::vector<unsigned char>& rgb,
                      int32_t* width, int32_t* height) {
  if (bmp.size() < 54) return -1;
  BITMAPINFOHEADER header;
  std::memcpy(&header, bmp.data() + 14, sizeof header);
  *width = header.biWidth;
  *height = header.biHeight;
  size_t stride = static_cast<size_t>(GetDibRowStride(header));
  size_t rowBytes = 3 * static_cast<size_t>(header.biWidth);
  if (header.biBitCount != 24 || header.biHeight <= 0 ||
      rgb.size() != rowBytes * static_cast<size_t>(header.biHeight) ||
      bmp.size() < 54 + stride * static_cast<size_t>(header.biHeight))
    return -1;
  int largest = 0;
  for (int32_t y = 0; y < header.biHeight; ++y) {
    const unsigned char* row = bmp.data() + 54 + (header.biHeight - 1 - y) * stride;
    const unsigned char* expected = rgb.data() + y * rowBytes;
    for (size_t x = 0; x < rowBytes; x += 3) {
      for (int c = 0; c < 3; ++c) {
        int difference = std::abs(row[x + c] - expected[x + 2 - c]);
        if (difference > largest) largest = difference;
      }
    }
  }
  return largest;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::printf("usage: system_picture_benchmark picture reference.rgb tolerance imagemagick-seconds\n");
    return 2;
  }
  const char* picture = argv[1];
  int tolerance = std::atoi(argv[3]);
  double theirs = std::atof(argv[4]);
  CoInitialize(nullptr);  // as the program's start-up does
  char destination[PATH_BUFFER_SIZE] = "";
  GetModulePathWithExtension(destination, ".bmp");
  // An empty folder: no plug-in can take the picture first.
  char pluginFolder[MAX_PATH] = "";
  GetTempPathA(MAX_PATH, pluginFolder);
  std::strcat(pluginFolder, "no-plugins");
  CreateDirectoryA(pluginFolder, nullptr);

  PROCESS_MEMORY_COUNTERS before, after;
  before.cb = after.cb = sizeof before;
  GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
  double ours = 1e9;
  bool converted = true;
  for (int run = 0; run < CONVERSIONS; ++run) {
    double start = Seconds();
    converted = ConvertToBitmapFile(destination, picture, pluginFolder) && converted;
    double time = Seconds() - start;
    if (time < ours) ours = time;
  }
  GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
  RemoveDirectoryA(pluginFolder);

  std::vector<unsigned char> bmp, rgb;
  bool read = ReadWholeFile(destination, &bmp) && ReadWholeFile(argv[2], &rgb);
  DeleteFileA(destination);
  int32_t width = 0, height = 0;
  int largest = read && converted ? LargestDifference(bmp, rgb, &width, &height) : -1;
  double imageSize = static_cast<double>(bmp.size() > 54 ? bmp.size() - 54 : 0);
  double limit = 1.3 * imageSize + 8.0 * 1048576.0;
  double workingSet =
      static_cast<double>(after.PeakWorkingSetSize) - static_cast<double>(before.WorkingSetSize);
  std::printf("  built-in loader: %s, %d x %d, best of %d in %.2f s; ImageMagick natively %.2f s;"
              " ratio %.2fx (target <= 1.0x)\n",
              converted ? "converted" : "FAILED", width, height, CONVERSIONS, ours, theirs,
              theirs > 0 ? ours / theirs : 0.0);
  std::printf("  peak working set over the conversion +%.2f MiB; DIB pixels %.2f MiB, target"
              " < %.2f MiB (%s)\n",
              workingSet / 1048576.0, imageSize / 1048576.0, limit / 1048576.0,
              workingSet < limit ? "within" : "OVER");
  bool pixelsRight = largest >= 0 && largest <= tolerance;
  std::printf("  pixels against ImageMagick's decode: largest difference %d (allowed %d): %s\n",
              largest, tolerance, pixelsRight ? "right" : "WRONG");
  return converted && pixelsRight ? 0 : 1;
}
