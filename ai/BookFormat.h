// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The opening book's text format, for the game's reader and quillet-tool's builder and checkers;
// it knows nothing of Form1 nor of the engine's bit sets (a board is whatever answers a square's
// digit). The lines, keys and the two readings are described in docs/ARCHITECTURE.md.

#include <array>
#include <cstddef>
#include <functional>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::book_format {

// ---- The four orientations ----------------------------------------------------------------

// The real square read at (column, row) of the board turned by `orientation` (0..3: none, then
// a quarter, a half and three quarters of a turn clockwise about the centre square; only the
// lowest two bits count). The same mapping turns a move found in that orientation, which is
// given in the turned board's frame, back onto the real board.
constexpr void orientedSquare(int orientation, int column, int row, int& realColumn, int& realRow) {
    switch (orientation & 3) {
        case 0: realColumn = column, realRow = row; break;
        case 1: realColumn = row, realRow = 10 - column; break;
        case 2: realColumn = 10 - column, realRow = 10 - row; break;
        default: realColumn = 10 - row, realRow = column; break;
    }
}

// ---- Writing ------------------------------------------------------------------------------

// The key of a board read in `orientation`. digit(column, row) tells what the real square holds:
// '1', '2', or any other character for a square written "0".
template <typename Digit>
std::string positionKey(int orientation, Digit digit) {
    std::string cells;
    int ones = 0;
    int twos = 0;
    for (int line = 1; line <= 9; ++line) {
        cells += ',';
        bool started = false;  // the cells before a line's first piece are left out
        for (int cell = 1; cell <= 9; ++cell) {
            int column = 0, row = 0;
            orientedSquare(orientation, cell, line, column, row);
            const char d = digit(column, row);
            if (d == '1') {
                cells += '1';
                ++ones;
                started = true;
            } else if (d == '2') {
                cells += '2';
                ++twos;
                started = true;
            } else if (started) {
                cells += '0';
            }
        }
    }
    std::string text = std::to_string(ones);
    if (twos < 10) text += '0';
    return text + std::to_string(twos) + cells;
}

// One entry of a book: a key and the move for the side written "2" (column and row 1..9).
struct Line {
    std::string key;
    int column = 0;
    int row = 0;
    std::string text() const;  // key + ",column,row"
};

// The lines, each ended by '\n', as a book file holds them.
void writeBook(std::ostream& out, const std::vector<Line>& lines);

// ---- Reading ------------------------------------------------------------------------------

// The longest entry a book writer writes is 100 characters (a four-digit group, nine commas, 81
// cells, ",99,99"); a line longer than this is junk. readLines keeps one character more than it,
// so that such a line is still known to be overlong.
inline constexpr std::size_t longest_line = 200;

// Splits a book text into lines ended by LF, CRLF or CR and calls take(line) for each, until it
// returns false. A UTF-8 byte order mark before the first line is passed over; a last line
// without a line end counts, a text ending in a line end adds no empty line. Of each line only
// its first longest_line + 1 characters are kept, so a file of one enormous line costs neither
// memory nor much time.
void readLines(std::istream& in, const std::function<bool(const std::string&)>& take);

// How many characters of a line are its key: all before the second comma from the end
// (std::string_view::npos when the line has fewer than two commas). The rest is the move text.
std::size_t keyLength(std::string_view line);

// The group number in front of a key or line as the game reads it: the value of the leading
// digits of the characters before a comma in 4th place, or else in 5th place (0 when they start
// with no digit); nothing when neither place holds a comma.
std::optional<int> lenientGroup(std::string_view text);

// The move text (",a,b", from the second comma from the end) as the game reads it: a is one or
// two characters and b the two after the comma that follows, each the value of its leading
// digits. False when neither the 3rd nor the 4th character is a comma.
bool lenientMove(std::string_view moveText, int& a, int& b);

// The group number in front of a key or line: three or four digits then a comma (-1 otherwise).
int groupNumber(std::string_view text);

// The squares a valid key describes.
struct KeyBoard {
    std::array<char, 81> digits{};  // row by row: '0', '1' or '2'
    char operator()(int column, int row) const { return digits[(row - 1) * 9 + column - 1]; }
};

// The board a key describes, when the key is exactly the one positionKey(0, ...) writes for it;
// otherwise why it is not.
std::optional<KeyBoard> readKey(std::string_view key, std::string& error);

// Splits and checks one line of a book: a valid key and a move in 1..9 x 1..9.
std::optional<Line> parseBookLine(std::string_view line, std::string& error);

}  // namespace quillet::book_format
