// Screen module tests. They run in a real Wine console (inside a pty) on a
// private screen buffer larger than 80 x 25, and read every effect back from
// the console itself.
#define WIN32_LEAN_AND_MEAN
#define NOGDI
#include "screen.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace ocxfixer {
namespace {

constexpr SHORT kWidth = 100;  // wider and taller than the 80 x 25 the module assumes
constexpr SHORT kHeight = 40;
// The screen the module clears and stages, written out here rather than taken
// from its header, so a wrong size there shows.
constexpr int kColumns = 80;
constexpr int kRows = 25;
constexpr int kCells = 2000;
constexpr char kFillChar = 'x';
constexpr WORD kFillAttribute = 0x2A;

HANDLE private_buffer = INVALID_HANDLE_VALUE;

struct Cell {
  char character;
  WORD attribute;
};

Cell CellAt(int column, int row) {
  CHAR_INFO info{};
  SMALL_RECT region = {static_cast<SHORT>(column), static_cast<SHORT>(row),
                       static_cast<SHORT>(column), static_cast<SHORT>(row)};
  EXPECT_TRUE(ReadConsoleOutputA(private_buffer, &info, {1, 1}, {0, 0}, &region));
  return {info.Char.AsciiChar, info.Attributes};
}

// The whole private buffer in reading order, read in one console call.
std::vector<CHAR_INFO> Snapshot() {
  std::vector<CHAR_INFO> cells(kWidth * kHeight);
  SMALL_RECT region = {0, 0, kWidth - 1, kHeight - 1};
  EXPECT_TRUE(ReadConsoleOutputA(private_buffer, cells.data(), {kWidth, kHeight}, {0, 0}, &region));
  return cells;
}

CONSOLE_SCREEN_BUFFER_INFO Info() {
  CONSOLE_SCREEN_BUFFER_INFO info{};
  EXPECT_TRUE(GetConsoleScreenBufferInfo(private_buffer, &info));
  return info;
}

WORD CurrentAttribute() { return Info().wAttributes; }

void FillWholeBuffer() {
  DWORD written = 0;
  FillConsoleOutputCharacterA(private_buffer, kFillChar, kWidth * kHeight, {0, 0}, &written);
  FillConsoleOutputAttribute(private_buffer, kFillAttribute, kWidth * kHeight, {0, 0}, &written);
}

// Cells [first, end) in reading order all hold character and attribute.
void ExpectCells(int first, int end, char character, WORD attribute) {
  const std::vector<CHAR_INFO> cells = Snapshot();
  for (int index = first; index < end; ++index) {
    ASSERT_EQ(cells[index].Char.AsciiChar, character) << "cell " << index;
    ASSERT_EQ(cells[index].Attributes, attribute) << "cell " << index;
  }
}

void PutText(int column, int row, const char* text) {
  DWORD written = 0;
  WriteConsoleOutputCharacterA(private_buffer, text, static_cast<DWORD>(std::strlen(text)),
                               {static_cast<SHORT>(column), static_cast<SHORT>(row)}, &written);
}

class ScreenTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    private_buffer = CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                               CONSOLE_TEXTMODE_BUFFER, nullptr);
    ASSERT_NE(private_buffer, INVALID_HANDLE_VALUE) << "no console: run inside a pty";
    // A new buffer's window spans all of it, and a buffer cannot shrink
    // below its window: make the window small first.
    const SMALL_RECT window = {0, 0, 39, 9};
    ASSERT_TRUE(SetConsoleWindowInfo(private_buffer, TRUE, &window));
    ASSERT_TRUE(SetConsoleScreenBufferSize(private_buffer, {kWidth, kHeight}));
    ASSERT_TRUE(SetStdHandle(STD_OUTPUT_HANDLE, private_buffer));
  }
  void SetUp() override {
    ASSERT_NE(private_buffer, INVALID_HANDLE_VALUE);
    ASSERT_EQ(Info().dwSize.X, kWidth);
    FillWholeBuffer();
  }
};

// Must stay the first test: it relies on the colour state's start values.
TEST_F(ScreenTest, ColourArithmetic) {
  SetTextColor(14);
  EXPECT_EQ(CurrentAttribute(), 14) << "background starts at 0";

  SetTextBackground(1);
  SetTextColor(15);
  EXPECT_EQ(CurrentAttribute(), 31);
  SetTextAttribute(0x4E);
  EXPECT_EQ(CurrentAttribute(), 0x4E);
  SetTextColor(15);
  EXPECT_EQ(CurrentAttribute(), 31) << "SetTextAttribute must not touch the remembered pair";
  SetTextAttribute(0x10007);
  EXPECT_EQ(CurrentAttribute(), 7) << "only the low 16 bits are applied";

  SetTextBackground(0);
  SetTextColor(20);
  EXPECT_EQ(CurrentAttribute(), 20) << "colours are not masked to 4 bits";
  SetTextBackground(0x1001);  // x 16 = 0x10010: cut to 16 bits
  EXPECT_EQ(CurrentAttribute(), 0x10 + 20);
  SetTextColor(7);
  SetTextBackground(0);
  EXPECT_EQ(CurrentAttribute(), 7);
}

TEST_F(ScreenTest, ClearScreenCoversTheFirst2000CellsOnly) {
  SetTextBackground(1);
  SetTextColor(14);
  MoveCursor(30, 30);
  ClearScreen();
  ExpectCells(0, kCells, ' ', 0x1E);
  ExpectCells(kCells, kWidth * kHeight, kFillChar, kFillAttribute);
  EXPECT_EQ(Info().dwCursorPosition.X, 0);
  EXPECT_EQ(Info().dwCursorPosition.Y, 0);
  EXPECT_EQ(CursorColumn(), 1);
  EXPECT_EQ(CursorRow(), 1);
  SetTextBackground(0);
  SetTextColor(7);
}

TEST_F(ScreenTest, ClearToLineEndBlanksCharactersOnly) {
  MoveCursor(11, 3);
  ClearToLineEnd();
  const int start = 2 * kWidth + 10;
  ExpectCells(0, start, kFillChar, kFillAttribute);
  ExpectCells(start, start + (kWidth - 10), ' ', kFillAttribute);  // 90 cells
  ExpectCells(3 * kWidth, kWidth * kHeight, kFillChar, kFillAttribute);
  EXPECT_EQ(CursorColumn(), 11);
  EXPECT_EQ(CursorRow(), 3);
}

TEST_F(ScreenTest, BlankFromCursorBlanksWidthTimesRowCells) {
  MoveCursor(5, 3);
  BlankFromCursor();
  const int start = 2 * kWidth + 4;
  const int end = start + kWidth * 2;
  ExpectCells(0, start, kFillChar, kFillAttribute);
  ExpectCells(start, end, ' ', kFillAttribute);
  ExpectCells(end, kWidth * kHeight, kFillChar, kFillAttribute);
  EXPECT_EQ(CursorColumn(), 5);
  EXPECT_EQ(CursorRow(), 3);

  FillWholeBuffer();
  MoveCursor(7, 1);
  BlankFromCursor();
  ExpectCells(0, kWidth * kHeight, kFillChar, kFillAttribute);
  EXPECT_EQ(CursorColumn(), 7);
  EXPECT_EQ(CursorRow(), 1);
}

TEST_F(ScreenTest, WriteScreenTextFillsRowByRowThenZeroCells) {
  const WORD before = CurrentAttribute();
  WriteScreenText(1, 1, 10, 2, "abc");
  EXPECT_EQ(CellAt(0, 0).character, 'a');
  EXPECT_EQ(CellAt(1, 0).character, 'b');
  EXPECT_EQ(CellAt(2, 0).character, 'c');
  for (int column = 0; column < 3; ++column) EXPECT_EQ(CellAt(column, 0).attribute, 7);
  ExpectCells(3, 10, '\0', 0);
  ExpectCells(kWidth, kWidth + 10, '\0', 0);
  EXPECT_EQ(CellAt(10, 0).character, kFillChar) << "written past the rectangle";
  EXPECT_EQ(CellAt(0, 2).character, kFillChar) << "written past the rectangle";
  EXPECT_EQ(CurrentAttribute(), before) << "the colour state is not used";

  WriteScreenText(3, 4, 7, 5, "0123456789ABCDEFGHIJKLMNOPQRST");
  char row[6] = {};
  for (int i = 0; i < 5; ++i) row[i] = CellAt(2 + i, 3).character;
  EXPECT_STREQ(row, "01234");
  for (int i = 0; i < 5; ++i) row[i] = CellAt(2 + i, 4).character;
  EXPECT_STREQ(row, "56789");
  EXPECT_EQ(CellAt(7, 3).character, kFillChar);
  EXPECT_EQ(CellAt(2, 5).character, kFillChar);
}

TEST_F(ScreenTest, WriteScreenTextClipsToTheStagingBuffer) {
  std::string text;
  for (int i = 0; i < 3000; ++i) text += static_cast<char>('A' + i % 26);
  WriteScreenText(1, 1, kWidth, kHeight, text.c_str());
  const std::vector<CHAR_INFO> cells = Snapshot();
  for (int row = 0; row < kHeight; ++row) {
    for (int column = 0; column < kWidth; ++column) {
      const CHAR_INFO& cell = cells[row * kWidth + column];
      if (row < kRows && column < kColumns) {
        ASSERT_EQ(cell.Char.AsciiChar, text[row * kColumns + column]) << column << "," << row;
        ASSERT_EQ(cell.Attributes, 7);
      } else {
        ASSERT_EQ(cell.Char.AsciiChar, kFillChar) << "outside 80 x 25 at " << column << "," << row;
      }
    }
  }

  FillWholeBuffer();
  WriteScreenText(5, 5, 4, 6, "inverted");
  WriteScreenText(5, 5, 6, 4, "inverted");
  ExpectCells(0, kWidth * kHeight, kFillChar, kFillAttribute);
}

TEST_F(ScreenTest, ReadScreenTextJoinsRowsAndTerminates) {
  PutText(1, 1, "abcdef");
  PutText(1, 2, "ghijkl");
  char text[3 * 2 + 1 + 4];
  std::memset(text, 0x7F, sizeof text);
  EXPECT_EQ(ReadScreenText(2, 2, 4, 3, text), 1);
  EXPECT_STREQ(text, "abcghi");
  EXPECT_EQ(text[7], 0x7F) << "written past the terminator";
}

TEST_F(ScreenTest, ReadScreenTextClipsAndNeverOverruns) {
  for (int row = 0; row < kHeight; ++row) {
    const std::string line(kWidth, static_cast<char>('a' + row % 26));
    PutText(0, row, line.c_str());
  }
  const size_t asked = static_cast<size_t>(kWidth) * kHeight + 1;
  std::vector<char> text(asked + 16, 0x7F);
  EXPECT_EQ(ReadScreenText(1, 1, kWidth, kHeight, text.data()), 1);
  ASSERT_EQ(std::strlen(text.data()), static_cast<size_t>(kCells));
  for (int row = 0; row < kRows; ++row) {
    EXPECT_EQ(std::string(text.data() + row * kColumns, kColumns),
              std::string(kColumns, static_cast<char>('a' + row)));
  }
  for (size_t i = kCells + 1; i < text.size(); ++i) ASSERT_EQ(text[i], 0x7F) << i;

  char empty[4] = {0x7F, 0x7F, 0x7F, 0x7F};
  EXPECT_EQ(ReadScreenText(4, 1, 3, 1, empty), 1);
  EXPECT_EQ(empty[0], '\0');
  EXPECT_EQ(empty[1], 0x7F);
  empty[0] = 0x7F;
  EXPECT_EQ(ReadScreenText(1, 4, 1, 3, empty), 1);
  EXPECT_EQ(empty[0], '\0');
}

TEST_F(ScreenTest, ReadScreenTextWithoutAConsoleStillTerminates) {
  HANDLE nul =
      CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(nul, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(SetStdHandle(STD_OUTPUT_HANDLE, nul));
  char text[8];
  std::memset(text, 0x7F, sizeof text);
  const int32_t result = ReadScreenText(1, 1, 3, 1, text);
  SetStdHandle(STD_OUTPUT_HANDLE, private_buffer);
  CloseHandle(nul);
  EXPECT_EQ(result, 1);
  EXPECT_STREQ(text, "   ");
  EXPECT_EQ(text[4], 0x7F);
}

TEST_F(ScreenTest, CursorPlacementIsOneBased) {
  MoveCursor(1, 1);
  EXPECT_EQ(CursorColumn(), 1);
  EXPECT_EQ(CursorRow(), 1);
  MoveCursor(42, 7);
  EXPECT_EQ(Info().dwCursorPosition.X, 41);
  EXPECT_EQ(Info().dwCursorPosition.Y, 6);
  EXPECT_EQ(CursorColumn(), 42);
  EXPECT_EQ(CursorRow(), 7);
}

TEST_F(ScreenTest, SetCursorSizeSetsThePercentage) {
  SetCursorSize(50);
  CONSOLE_CURSOR_INFO info{};
  ASSERT_TRUE(GetConsoleCursorInfo(private_buffer, &info));
  EXPECT_EQ(info.dwSize, 50u);
  EXPECT_TRUE(info.bVisible);
}

}  // namespace
}  // namespace ocxfixer
