// The screen module on the Windows console API. This is the only file of the
// module that sees <windows.h>; the rest of the program works through screen.h.
#include "screen.h"

#define WIN32_LEAN_AND_MEAN
#define NOGDI  // keeps the GDI SetTextColor out of sight
#include <windows.h>

#include <algorithm>

namespace ocxfixer {
namespace {

// Process-wide colour state; only SetTextBackground and SetTextColor write it.
int32_t remembered_background = 0;
int32_t remembered_foreground = 7;

constexpr WORD kWrittenTextAttribute = 7;  // light grey on black
constexpr COORD kStagingSize = {static_cast<SHORT>(kScreenColumns),
                                static_cast<SHORT>(kScreenRows)};
constexpr COORD kStagingOrigin = {0, 0};

HANDLE Output() { return GetStdHandle(STD_OUTPUT_HANDLE); }

// background x 16 + foreground, cut to 16 bits. Unsigned arithmetic keeps any
// int32 pair well defined.
WORD ColourAttribute(int32_t background, int32_t foreground) {
  return static_cast<WORD>(static_cast<uint32_t>(background) * 16u +
                           static_cast<uint32_t>(foreground));
}

// 1-based interface coordinate to the console's 16-bit 0-based one.
SHORT ToCell(int64_t one_based) { return static_cast<SHORT>(one_based - 1); }

// Zeroed when the console call fails, so the fills that follow do nothing.
CONSOLE_SCREEN_BUFFER_INFO BufferInfo() {
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!GetConsoleScreenBufferInfo(Output(), &info)) info = CONSOLE_SCREEN_BUFFER_INFO{};
  return info;
}

void FillWithSpaces(DWORD count, COORD start) {
  DWORD written = 0;
  FillConsoleOutputCharacterA(Output(), ' ', count, start, &written);
}

// The part of an inclusive rectangle that fits the 80 x 25 staging buffer,
// anchored at its top-left corner. False for an empty or inverted rectangle.
struct StagedRect {
  int32_t width;
  int32_t height;
  SMALL_RECT region;
};

bool StageRect(int32_t left, int32_t top, int32_t right, int32_t bottom, StagedRect* staged) {
  const int64_t width = static_cast<int64_t>(right) - left + 1;
  const int64_t height = static_cast<int64_t>(bottom) - top + 1;
  if (width <= 0 || height <= 0) return false;
  staged->width = static_cast<int32_t>(std::min<int64_t>(width, kScreenColumns));
  staged->height = static_cast<int32_t>(std::min<int64_t>(height, kScreenRows));
  staged->region.Left = ToCell(left);
  staged->region.Top = ToCell(top);
  staged->region.Right = ToCell(static_cast<int64_t>(left) + staged->width - 1);
  staged->region.Bottom = ToCell(static_cast<int64_t>(top) + staged->height - 1);
  return true;
}

}  // namespace

void ClearScreen() {
  const COORD origin = {0, 0};
  DWORD written = 0;
  FillConsoleOutputAttribute(Output(),
                             ColourAttribute(remembered_background, remembered_foreground),
                             kScreenCells, origin, &written);
  FillWithSpaces(kScreenCells, origin);
  MoveCursor(1, 1);
}

void ClearToLineEnd() {
  const CONSOLE_SCREEN_BUFFER_INFO info = BufferInfo();
  const int32_t count = info.dwSize.X - info.dwCursorPosition.X;
  if (count > 0) FillWithSpaces(static_cast<DWORD>(count), info.dwCursorPosition);
}

void BlankFromCursor() {
  const CONSOLE_SCREEN_BUFFER_INFO info = BufferInfo();
  const int32_t count = info.dwSize.X * info.dwCursorPosition.Y;
  if (count > 0) FillWithSpaces(static_cast<DWORD>(count), info.dwCursorPosition);
}

int32_t ReadScreenText(int32_t left, int32_t top, int32_t right, int32_t bottom,
                       char* destination) {
  destination[0] = '\0';
  StagedRect staged;
  if (!StageRect(left, top, right, bottom, &staged)) return 1;

  // Cells the console does not deliver (failed or partial read) read as blanks.
  CHAR_INFO cells[kScreenCells];
  for (CHAR_INFO& cell : cells) {
    cell.Char.UnicodeChar = L' ';
    cell.Attributes = 0;
  }
  SMALL_RECT region = staged.region;
  ReadConsoleOutputA(Output(), cells, kStagingSize, kStagingOrigin, &region);

  char* out = destination;
  for (int32_t row = 0; row < staged.height; ++row) {
    for (int32_t column = 0; column < staged.width; ++column) {
      *out++ = cells[row * kScreenColumns + column].Char.AsciiChar;
    }
  }
  *out = '\0';
  return 1;
}

void WriteScreenText(int32_t left, int32_t top, int32_t right, int32_t bottom, const char* text) {
  StagedRect staged;
  if (!StageRect(left, top, right, bottom, &staged)) return;

  CHAR_INFO cells[kScreenCells] = {};
  const char* next = text;
  for (int32_t row = 0; row < staged.height && *next != '\0'; ++row) {
    for (int32_t column = 0; column < staged.width && *next != '\0'; ++column) {
      CHAR_INFO& cell = cells[row * kScreenColumns + column];
      cell.Char.AsciiChar = *next++;
      cell.Attributes = kWrittenTextAttribute;
    }
  }
  SMALL_RECT region = staged.region;
  WriteConsoleOutputA(Output(), cells, kStagingSize, kStagingOrigin, &region);
}

void MoveCursor(int32_t x, int32_t y) {
  const COORD position = {ToCell(x), ToCell(y)};
  SetConsoleCursorPosition(Output(), position);
}

void SetCursorSize(int32_t size) {
  CONSOLE_CURSOR_INFO info;
  info.dwSize = static_cast<DWORD>(size);
  info.bVisible = TRUE;
  SetConsoleCursorInfo(Output(), &info);
}

void SetTextAttribute(int32_t attribute) {
  SetConsoleTextAttribute(Output(), static_cast<WORD>(attribute));
}

void SetTextBackground(int32_t colour) {
  remembered_background = colour;
  SetConsoleTextAttribute(Output(), ColourAttribute(remembered_background, remembered_foreground));
}

void SetTextColor(int32_t colour) {
  remembered_foreground = colour;
  SetConsoleTextAttribute(Output(), ColourAttribute(remembered_background, remembered_foreground));
}

int32_t CursorColumn() { return BufferInfo().dwCursorPosition.X + 1; }

int32_t CursorRow() { return BufferInfo().dwCursorPosition.Y + 1; }

}  // namespace ocxfixer
