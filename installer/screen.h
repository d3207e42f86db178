// Text-mode screen module of ocxfixer: colours with a remembered foreground
// and background, cursor placement with 1-based coordinates, clearing, and
// reading or writing a rectangle of characters.
//
// Every operation addresses the console through the process's standard
// output handle, fetched anew on each call, and reports no failure.
#ifndef OCXFIXER_SCREEN_H_
#define OCXFIXER_SCREEN_H_

#include <cstdint>

namespace ocxfixer {

// Geometry of the staging buffer used by the rectangle operations and of the
// area that ClearScreen covers, whatever the console's real size.
constexpr int32_t kScreenColumns = 80;
constexpr int32_t kScreenRows = 25;
constexpr int32_t kScreenCells = kScreenColumns * kScreenRows;

// Fills the first 2000 cells in reading order with spaces in the remembered
// colours and puts the cursor on the top-left cell.
void ClearScreen();

// Blanks from the cursor to the end of its line; attributes and cursor stay.
void ClearToLineEnd();

// Blanks (buffer width x cursor's 0-based row) cells starting at the cursor:
// nothing on the top row. Attributes and cursor stay.
void BlankFromCursor();

// Copies the characters of the inclusive 1-based rectangle into destination,
// row after row with no separator, and terminates it. The destination must
// hold (right - left + 1) x (bottom - top + 1) characters plus the
// terminator. A rectangle larger than 80 x 25 is cut to that size; an empty
// or inverted one yields an empty string. Always returns 1.
int32_t ReadScreenText(int32_t left, int32_t top, int32_t right, int32_t bottom, char* destination);

// Shows text in the inclusive 1-based rectangle, row by row, in light grey;
// cells after the text's end show character 0 on black. A rectangle larger
// than 80 x 25 is cut to that size; an empty or inverted one writes nothing.
// The remembered colours are neither used nor changed.
void WriteScreenText(int32_t left, int32_t top, int32_t right, int32_t bottom, const char* text);

void MoveCursor(int32_t x, int32_t y);

// size: percentage of the cell that the cursor fills (the cursor stays visible).
void SetCursorSize(int32_t size);

// Applies the low 16 bits of attribute; the remembered colours stay.
void SetTextAttribute(int32_t attribute);

// Remember the colour, then apply background x 16 + foreground cut to 16 bits
// (neither colour is masked to 4 bits).
void SetTextBackground(int32_t colour);
void SetTextColor(int32_t colour);

// 1-based cursor position.
int32_t CursorColumn();
int32_t CursorRow();

}  // namespace ocxfixer

#endif  // OCXFIXER_SCREEN_H_
