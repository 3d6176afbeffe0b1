// decode_benchmark [--convert packed-file]
// Packs a photograph-like 3840 x 2160 picture, then measures the packed
// decoder against the reference decoder, and, in a fresh child process so
// that nothing of this one's buffers counts, the whole conversion's time and
// peak memory.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "bench/reference_decoder.h"
#include "convert/convert_to_bitmap.h"
#include "convert/packed_picture.h"
#include "packer/g24a_packer.h"

namespace {

const int32_t WIDTH = 3840;
const int32_t HEIGHT = 2160;
const int RUNS = 15;
const int CONVERSIONS = 3;

BITMAPINFOHEADER PictureHeader() { return MakeDibHeader(WIDTH, HEIGHT, 24); }

// Smooth light and shapes with a little sensor noise.
std::vector<unsigned char> MakePhotograph(size_t size) {
  std::vector<unsigned char> pixels(size);
  unsigned state = 2024;
  size_t stride = static_cast<size_t>(GetDibRowStride(PictureHeader()));
  for (size_t y = 0; y < static_cast<size_t>(HEIGHT); ++y) {
    for (size_t x = 0; x < static_cast<size_t>(WIDTH); ++x) {
      for (size_t c = 0; c < 3; ++c) {
        state = state * 1103515245u + 12345u;
        unsigned noise = (state >> 16) % 6;
        unsigned value = (x / 9 + y / 7 + (x / 40) * (y / 30) % 90 + c * 50) + noise;
        pixels[y * stride + 3 * x + c] = static_cast<unsigned char>(value);
      }
    }
  }
  return pixels;
}

// The machine may be busy with other work: both decoders run in turns and
// each keeps its best time.
void MeasureDecoders(const std::vector<unsigned char>& stream, const std::vector<unsigned char>& original) {
  size_t size = original.size();
  std::vector<unsigned char> pixels(size), reference(size), deltas(size);
  double ours = 1e9, theirs = 1e9;
  for (int run = 0; run < RUNS; ++run) {
    std::memset(pixels.data(), 0, size);
    double start = Seconds();
    DecodePackedPixels(stream.data(), stream.size(), pixels.data(), size);
    double middle = Seconds();
    std::memset(reference.data(), 0, size);
    double restart = Seconds();
    ReferenceDecode(stream.data(), stream.size(), deltas.data(), reference.data(), size);
    double end = Seconds();
    if (middle - start < ours) ours = middle - start;
    if (end - restart < theirs) theirs = end - restart;
  }
  double megabytes = static_cast<double>(size) / (1024.0 * 1024.0);
  std::printf("decoder:    %.1f MB/s   reference: %.1f MB/s   ratio %.2fx (target >= 1.5x)\n",
              megabytes / ours, megabytes / theirs, theirs / ours);
  std::printf("decoded bytes %s the reference's and the picture's\n",
              pixels == reference && pixels == original ? "equal" : "DIFFER FROM");
}

std::string TempPath(const char* name) {
  char folder[MAX_PATH] = "";
  GetTempPathA(MAX_PATH, folder);
  return std::string(folder) + name;
}

// Runs in the child: nothing but the conversion has touched its memory.
int MeasureConversion(const char* packedPath) {
  PROCESS_MEMORY_COUNTERS before, after;
  before.cb = after.cb = sizeof before;
  GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
  std::string destination = TempPath("decode_benchmark.bmp");
  std::string pluginFolder = TempPath("");
  double elapsed = 1e9;
  bool converted = true;
  for (int run = 0; run < CONVERSIONS; ++run) {
    double start = Seconds();
    converted = ConvertToBitmapFile(destination.c_str(), packedPath, pluginFolder.c_str()) && converted;
    double time = Seconds() - start;
    if (time < elapsed) elapsed = time;
  }
  GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
  DeleteFileA(destination.c_str());
  double imageSize = static_cast<double>(GetDibImageSize(PictureHeader()));
  double limit = 1.2 * imageSize + 1024.0 * 1024.0;
  double workingSet = static_cast<double>(after.PeakWorkingSetSize) - static_cast<double>(before.WorkingSetSize);
  double committed = static_cast<double>(after.PeakPagefileUsage) - static_cast<double>(before.PagefileUsage);
  std::printf("conversion: %s, best of %d in %.1f ms (target < 200 ms)\n", converted ? "done" : "FAILED", CONVERSIONS, elapsed * 1000.0);
  std::printf("peak memory over the conversion: working set +%.2f MiB, committed +%.2f MiB;"
              " image %.2f MiB, limit %.2f MiB (%s)\n",
              workingSet / 1048576.0, committed / 1048576.0, imageSize / 1048576.0, limit / 1048576.0,
              (workingSet < limit && committed < limit) ? "within" : "OVER");
  return converted ? 0 : 1;
}

int RunConversionChild(const std::string& packedPath) {
  char self[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string commandLine = "\"" + std::string(self) + "\" --convert \"" + packedPath + "\"";
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back(0);
  STARTUPINFOA startup;
  std::memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  std::fflush(stdout);
  if (!CreateProcessA(self, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    std::printf("cannot start the conversion child\n");
    return 1;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD exitCode = 1;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(exitCode);
}

bool WriteBytesToFile(const std::string& path, const std::vector<unsigned char>& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--convert") == 0) return MeasureConversion(argv[2]);
  BITMAPINFOHEADER header = PictureHeader();
  std::vector<unsigned char> pixels = MakePhotograph(static_cast<size_t>(GetDibImageSize(header)));
  double start = Seconds();
  std::vector<unsigned char> packed = MakePackedPicture(header, pixels.data());
  std::printf("picture:    %d x %d, %.2f MiB of pixels, packed to %.2f MiB in %.1f s\n", WIDTH, HEIGHT,
              pixels.size() / 1048576.0, packed.size() / 1048576.0, Seconds() - start);
  std::vector<unsigned char> stream(packed.begin() + PACKED_STREAM_OFFSET, packed.end());
  MeasureDecoders(stream, pixels);
  std::string packedPath = TempPath("decode_benchmark.g24a");
  if (!WriteBytesToFile(packedPath, packed)) {
    std::printf("cannot write %s\n", packedPath.c_str());
    return 1;
  }
  packed.clear();
  packed.shrink_to_fit();
  int result = RunConversionChild(packedPath);
  DeleteFileA(packedPath.c_str());
  return result;
}
