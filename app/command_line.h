// Splits the raw command line into one argument block: argc + 1 pointers
// (the last null) followed by the texts, from a single allocation.
#pragma once
#include <cstddef>

using BlockAllocator = void* (*)(size_t size);

// Null when the block cannot be allocated. The caller frees it with
// FreeCommandLine.
char** SplitCommandLine(const char* commandLine, int* argc);
char** SplitCommandLineWith(const char* commandLine, int* argc, BlockAllocator allocate);
bool FreeCommandLine(char** block);

// One walk over the line. argv and texts are both null when only counting;
// returns the bytes the whole block needs.
size_t ParseCommandLine(const char* commandLine, char** argv, int* argc, char* texts);
const char* ReadProgramName(const char* position, char* texts, size_t* offset);
const char* ReadArgument(const char* position, char* texts, size_t* offset);
const char* CopyCharacter(const char* position, char* texts, size_t* offset);
void EmitByte(size_t* offset, char* texts, char byte);
