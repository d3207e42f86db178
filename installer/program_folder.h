// Makes the folder that holds the running executable the working directory,
// so the relative copy sources and the ..\ targets mean the same thing
// however the program was started (shortcut, other folder, double click).
#ifndef OCXFIXER_PROGRAM_FOLDER_H_
#define OCXFIXER_PROGRAM_FOLDER_H_

namespace ocxfixer {

// Returns false when the folder could not be found or entered; the working
// directory is then left as it was.
bool EnterProgramFolder();

}  // namespace ocxfixer

#endif  // OCXFIXER_PROGRAM_FOLDER_H_
