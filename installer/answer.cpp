#include "answer.h"

#include <cctype>

namespace ocxfixer {

bool ReadAnswer(std::FILE* in, char (&answer)[kAnswerSize]) {
  std::size_t stored = 0;
  bool complete = true;
  for (;;) {
    const int c = std::getc(in);
    if (c == EOF) {
      complete = stored > 0;
      break;
    }
    if (c == '\n') break;
    if (stored == kAnswerSize - 1) {
      std::ungetc(c, in);
      complete = false;
      break;
    }
    answer[stored++] = static_cast<char>(c);
  }
  answer[stored] = '\0';
  return complete;
}

bool IsConfirmation(const char* answer) {
  return std::tolower(static_cast<unsigned char>(answer[0])) == 's' && answer[1] == '\0';
}

}  // namespace ocxfixer
