// Where the files named after the program are written (the converted
// picture and its temporary files): beside the program, or, where that
// folder cannot be written (a program under "Program Files" without
// administrator rights), in the user's own %LOCALAPPDATA%\Velmique.
#pragma once
#include <windows.h>

// path holds PATH_BUFFER_SIZE bytes: the program's name, lower-cased, with
// extension (including its dot) in the chosen folder, in the code page
// (through the short alias where it cannot name the folder). False, with an
// empty text, when no such path can be made.
bool GetOutputPathWithExtension(char* path, const char* extension);
// The same in the user's own folder, which is created as needed.
bool GetUserOutputPathWithExtension(char* path, const char* extension);
// False only when the system refused to create a file beside the program
// for want of rights or because the medium is read-only.
bool CanWriteBesideProgram();
