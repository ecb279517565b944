// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rules once more, slow and plain, for the C++ tests to check the game and the engine
// against: positions are board texts (nine rows of nine of x, o and ., '\n' after each row, as
// testing::boardText writes them), written without any of the game's code.

#include <string>
#include <utility>
#include <vector>

#include "game/Form1.h"

namespace quillet::testing {

inline char letter(int code) {
    return code == Form1::first_code ? 'x' : code == Form1::second_code ? 'o' : '.';
}
inline int index(int x, int y) { return (y - 1) * 10 + (x - 1); }
inline bool onBoard(int x, int y) { return x >= 1 && x <= 9 && y >= 1 && y <= 9; }

// The squares that a piece of `me` at (x, y) would turn over.
inline std::vector<int> captures(const std::string& b, int x, int y, char me) {
    std::vector<int> out;
    if (b[index(x, y)] != '.') return out;
    const char them = me == 'x' ? 'o' : 'x';
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy) {
            if (dx == 0 && dy == 0) continue;
            std::vector<int> line;
            int cx = x + dx, cy = y + dy;
            while (onBoard(cx, cy) && b[index(cx, cy)] == them) {
                line.push_back(index(cx, cy));
                cx += dx;
                cy += dy;
            }
            if (!line.empty() && onBoard(cx, cy) && b[index(cx, cy)] == me)
                out.insert(out.end(), line.begin(), line.end());
        }
    return out;
}

inline bool legal(const std::string& b, int x, int y, char me) { return !captures(b, x, y, me).empty(); }

// Column by column, each from row 1 down.
inline std::vector<std::pair<int, int>> legalSquares(const std::string& b, char me) {
    std::vector<std::pair<int, int>> out;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (legal(b, x, y, me)) out.emplace_back(x, y);
    return out;
}

inline bool canMove(const std::string& b, char me) { return !legalSquares(b, me).empty(); }

inline std::string played(std::string b, int x, int y, char me) {
    for (int i : captures(b, x, y, me)) b[i] = me;
    b[index(x, y)] = me;
    return b;
}

inline std::string swappedFaces(std::string b) {
    for (auto& c : b) c = c == 'x' ? 'o' : c == 'o' ? 'x' : c;
    return b;
}

// Leaves `depth` plies below `b` with `me` to move; a pass uses a ply and a finished game is one
// leaf.
inline unsigned long long referencePerft(const std::string& b, int depth, char me) {
    if (depth == 0) return 1;
    const char them = me == 'x' ? 'o' : 'x';
    const auto squares = legalSquares(b, me);
    if (squares.empty()) return canMove(b, them) ? referencePerft(b, depth - 1, them) : 1;
    unsigned long long leaves = 0;
    for (const auto& [x, y] : squares) leaves += referencePerft(played(b, x, y, me), depth - 1, them);
    return leaves;
}

}  // namespace quillet::testing
