// What stands at a path, from its attributes.
#pragma once

bool FileExists(const char* path);   // a file or a folder
bool IsDirectory(const char* path);
bool IsFile(const char* path);       // exists and is no folder
