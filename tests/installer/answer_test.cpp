// The confirmation rule: only the single letter s, in either case, installs.
#include "answer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

namespace ocxfixer {
namespace {

struct AnswerCase {
  const char* input;  // what the player types, line end included
  const char* stored;
  bool confirms;
  bool complete;
};

TEST(Answer, ReadAndCompare) {
  const AnswerCase cases[] = {
      {"s\n", "s", true, true},
      {"S\n", "S", true, true},
      {"\n", "", false, true},
      {"si\n", "si", false, true},
      {"n\n", "n", false, true},
      {" s\n", " s", false, true},
      {"s \n", "s ", false, true},
      {"sssssssss\n", "sssssssss", false, true},
      {"ssssssssssssssssssss\n", "sssssssss", false, false},  // 20 characters
      {"", "", false, false},                                 // end of input
      {"s", "s", true, true},                                 // last line without a line end
  };
  for (const AnswerCase& c : cases) {
    std::FILE* in = std::tmpfile();
    ASSERT_NE(nullptr, in);
    std::fputs(c.input, in);
    std::rewind(in);
    char answer[kAnswerSize];
    std::memset(answer, 0x7F, sizeof answer);
    EXPECT_EQ(ReadAnswer(in, answer), c.complete) << "input \"" << c.input << "\"";
    EXPECT_STREQ(answer, c.stored) << "input \"" << c.input << "\"";
    EXPECT_EQ(IsConfirmation(answer), c.confirms) << "input \"" << c.input << "\"";
    // A line that did not fit leaves its tenth character for the next read.
    if (!c.complete && c.stored[0] != '\0') {
      EXPECT_EQ('s', std::getc(in));
    }
    std::fclose(in);
  }
}

}  // namespace
}  // namespace ocxfixer
