// Splits the raw command line into one argument block: argc + 1 pointers
// (the last null) followed by the texts, from a single allocation. The same
// rules serve the line in the process's code page and the wide line the
// system keeps, where no character is lost.
#pragma once
#include <cstddef>

using BlockAllocator = void* (*)(size_t size);

// Null when the block cannot be allocated. The caller frees it with
// FreeCommandLine.
char** SplitCommandLine(const char* commandLine, int* argc);
char** SplitCommandLineWith(const char* commandLine, int* argc, BlockAllocator allocate);
wchar_t** SplitCommandLineWith(const wchar_t* commandLine, int* argc, BlockAllocator allocate);
bool FreeCommandLine(void* block);

// One walk over the line. argv and texts are both null when only counting;
// returns the bytes the whole block needs.
size_t ParseCommandLine(const char* commandLine, char** argv, int* argc, char* texts);
size_t ParseCommandLine(const wchar_t* commandLine, wchar_t** argv, int* argc, wchar_t* texts);
