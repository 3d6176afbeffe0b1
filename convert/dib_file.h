// Saves a DibPicture as a BMP file through a temporary file beside the
// executable (or in the user's own folder where the executable's folder
// cannot be written: convert/output_folder.h), so a save that fails halfway
// never damages the destination.
#pragma once
#include <cstdint>
#include <cstdio>

#include "convert/dib_picture.h"

// The first number a process tries for its temporary name (taken mod 1000).
uint32_t GetTemporaryNameSeed(uint32_t processId);

// Fills path (PATH_BUFFER_SIZE bytes) with a temporary path that did not
// exist and returns a stream open for writing on the file just created there
// for this caller alone; null when no name of the 1000 could be used. The
// name is the executable's path with its extension replaced by three digits
// (in the user's own folder where the executable's folder is closed),
// counted up from the process's seed and wrapping from 999 to 000.
FILE* CreateTemporaryFile(char* path);
FILE* CreateTemporaryFileFromSeed(char* path, uint32_t seed);

// True only when the whole picture was written and the finished file has
// replaced the destination, which keeps its old file attributes. No temporary
// file is left behind, whatever happened.
bool SaveDibFile(const DibPicture& picture, const char* destination);
