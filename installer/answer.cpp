#include "answer.h"

#include <cctype>

namespace ocxfixer {

void ReadAnswer(std::istream& in, char (&answer)[kAnswerSize]) {
  answer[0] = '\0';
  in.getline(answer, kAnswerSize);
}

bool IsConfirmation(const char* answer) {
  return std::tolower(static_cast<unsigned char>(answer[0])) == 's' && answer[1] == '\0';
}

}  // namespace ocxfixer
