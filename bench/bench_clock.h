// Wall-clock seconds for the benchmarks, from the performance counter.
#pragma once
#include <windows.h>

inline double Seconds() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}
