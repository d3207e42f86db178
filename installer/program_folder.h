// Makes the folder that holds the running executable the working directory,
// so the relative copy sources and the ..\ targets mean the same thing
// however the program was started (shortcut, other folder, double click).
#ifndef OCXFIXER_PROGRAM_FOLDER_H_
#define OCXFIXER_PROGRAM_FOLDER_H_

#include <cstddef>

namespace ocxfixer {

// How much of `path`, the full name of a program file of `length`
// characters, names its folder: everything before the last separator, which
// is kept where it ends a drive's root ("e:\"; "e:" alone would be that
// drive's current folder). 0 when there is no separator.
size_t ProgramFolderLength(const wchar_t* path, size_t length);

// Returns false when the folder could not be found or entered; the working
// directory is then left as it was.
bool EnterProgramFolder();

}  // namespace ocxfixer

#endif  // OCXFIXER_PROGRAM_FOLDER_H_
