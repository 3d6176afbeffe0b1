#include <windows.h>

#include <gtest/gtest.h>

// The tests run as Windows programs under Wine; a crash dialog would hang the
// run, so faults end the process instead.
int main(int argc, char** argv) {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
