// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The opening book file: position keys in the game's text form, and building a book by search.
//
// A key reads the board row by row (row 1 first); each row is a comma and its cells from the
// row's first piece on: "2" for the side to move, "1" for the other side, "0" for empty. In
// front stands the group number: the count of "1" pieces, then the count of "2" pieces as two
// digits. A book line is a key, a comma, the column, a comma, the row.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tools/engine/Bitboard.h"

namespace quillet::engine {

// The real square read at (column, row) of the board turned by `orientation` (0..3, quarter
// turns clockwise), as the game reads its four orientations. Also maps a book move found in
// that orientation back onto the real board.
void orientedSquare(int orientation, int column, int row, int& realColumn, int& realRow);

// The position as read in `orientation`: its turned board, same side to move.
Position oriented(const Position& p, int orientation);

// The key of `p` read unturned, the side to move written "2".
std::string positionKey(const Position& p);

// The smallest key over the four orientations: one name for a position and its turns.
std::string canonicalKey(const Position& p);

// The group number in front of a key or line (-1 when the 4th or 5th character is no comma).
int groupNumber(const std::string& keyOrLine);

// The position a key describes, or an explanation of why the text is no key.
std::optional<Position> decodeKey(const std::string& key, std::string& error);

struct BookLine {
    std::string key;
    int column = 0;
    int row = 0;
    std::string text() const;  // key + ",column,row"
};

// Splits and checks one line of a book file: a valid key and a move in 1..9 x 1..9.
std::optional<BookLine> parseBookLine(const std::string& line, std::string& error);

struct BookProgress {
    int ply = 0;          // pieces placed in the positions being searched
    int searched = 0;     // positions searched so far, all plies
    int planned = 0;      // positions searched so far plus the rest of this ply's
    int budget = 0;       // the most lines the book may get
    int depth = 0;        // search depth in plies
    double seconds = 0;   // since the build started
    bool plyDone = false; // the last report of a ply
};

struct BookOptions {
    int lines = 10000;
    int depth = 10;
    int threads = 2;
    std::function<void(const BookProgress&)> progress;  // called from worker threads, serialised
    // Called after each ply with the sorted book so far (a valid book of fewer plies).
    std::function<void(const std::vector<BookLine>&)> plyDone;
};

// Every position reachable from the start in which the book side (either colour) has always
// played the book's move and the other side any move, breadth first, one search each, until
// `lines` positions; turned copies of a position count once. Sorted lines: by group number,
// then key. The same options always give the same lines.
std::vector<BookLine> buildBook(const BookOptions& options);

}  // namespace quillet::engine
