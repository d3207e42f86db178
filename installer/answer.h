// The confirmation rule of ocxfixer, kept apart from the console so that it
// can be tested on its own.
#ifndef OCXFIXER_ANSWER_H_
#define OCXFIXER_ANSWER_H_

#include <cstddef>
#include <cstdio>

namespace ocxfixer {

// Room for nine characters and the terminator.
constexpr std::size_t kAnswerSize = 10;

// Reads one line into answer: at most nine characters are kept, the line end
// is consumed and not stored. Returns false when the line is longer (the
// first nine characters are kept and the tenth is left unread) or when input
// ends before any character (the answer is then empty).
bool ReadAnswer(std::FILE* in, char (&answer)[kAnswerSize]);

// Only the single letter s, in either case, confirms.
bool IsConfirmation(const char* answer);

}  // namespace ocxfixer

#endif  // OCXFIXER_ANSWER_H_
