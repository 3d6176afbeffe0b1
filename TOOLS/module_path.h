// The executable's own path and folder.
#pragma once

// path holds PATH_BUFFER_SIZE bytes. extension includes its dot, or is null.
// The whole result is lower-cased.
bool GetModulePathWithExtension(char* path, const char* extension);
// The executable's folder without a trailing backslash ("C:" in a drive root).
bool GetModuleDirectory(char* path);
