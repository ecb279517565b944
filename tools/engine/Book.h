// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Building the opening book by search, and the engine's positions in the book's text format
// (ai/BookFormat.h, which the game reads with).

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ai/BookFormat.h"
#include "tools/engine/Bitboard.h"

namespace quillet::engine {

using book_format::groupNumber;
using book_format::orientedSquare;
using book_format::parseBookLine;
using BookLine = book_format::Line;

// The position as read in `orientation`: its turned board, same side to move.
Position oriented(const Position& p, int orientation);

// The key of `p` read unturned, the side to move written "2".
std::string positionKey(const Position& p);

// The smallest key over the four orientations: one name for a position and its turns.
std::string canonicalKey(const Position& p);

// The position a key describes, or an explanation of why the text is no key.
std::optional<Position> decodeKey(const std::string& key, std::string& error);

struct BookProgress {
    int ply = 0;           // pieces placed in the positions being searched
    int searched = 0;      // positions searched so far, all plies
    int planned = 0;       // positions searched so far plus the rest of this ply's
    int budget = 0;        // the most lines the book may get
    int depth = 0;         // search depth in plies
    double seconds = 0;    // since the build started
    bool plyDone = false;  // the last report of a ply
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
