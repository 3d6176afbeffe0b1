// Argument checks on pointers and procedures. A failed check writes one trace
// line naming the condition and returns false; it never stops the program.
#pragma once
#include <cstddef>

bool IsValidProc(const void* proc);
bool IsValidReadPtr(const void* ptr, size_t size);
// Also writes every byte of the block twice (inverted, then back), so a block
// that only claims to be writable is found out here and not later.
bool IsValidWritePtr(void* ptr, size_t size);
bool IsValidReadWritePtr(void* ptr, size_t size);
