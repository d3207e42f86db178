// The confirmation rule: only the single letter s, in either case, installs.
#include "answer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>

namespace ocxfixer {
namespace {

struct AnswerCase {
  const char* input;  // what the player types, line end included
  const char* stored;
  bool confirms;
  bool stream_failed;
};

TEST(Answer, ReadAndCompare) {
  const AnswerCase cases[] = {
      {"s\n", "s", true, false},
      {"S\n", "S", true, false},
      {"\n", "", false, false},
      {"si\n", "si", false, false},
      {"n\n", "n", false, false},
      {" s\n", " s", false, false},
      {"s \n", "s ", false, false},
      {"sssssssss\n", "sssssssss", false, false},
      {"ssssssssssssssssssss\n", "sssssssss", false, true},  // 20 characters
      {"", "", false, true},                                 // end of input
      {"s", "s", true, false},                               // last line without a line end
  };
  for (const AnswerCase& c : cases) {
    std::istringstream in(c.input);
    char answer[kAnswerSize];
    std::memset(answer, 0x7F, sizeof answer);
    ReadAnswer(in, answer);
    EXPECT_STREQ(answer, c.stored) << "input \"" << c.input << "\"";
    EXPECT_EQ(IsConfirmation(answer), c.confirms) << "input \"" << c.input << "\"";
    EXPECT_EQ(in.fail(), c.stream_failed) << "input \"" << c.input << "\"";
  }
}

}  // namespace
}  // namespace ocxfixer
