// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/quillet_tool/Board.h"

#include <stdexcept>

namespace quillet::tool {

namespace {

int opposite(int side) { return side == Form1::first_code ? Form1::second_code : Form1::first_code; }

void emptyBoard(Form1& form) {
    for (int x = 0; x <= 11; ++x)
        for (int y = 0; y <= 11; ++y) form.board(x, y) = Form1::empty_code;
}

}  // namespace

void setBoardText(Form1& form, const std::string& rows) {
    std::string cells;
    for (char c : rows)
        if (c == 'x' || c == 'o' || c == '.') cells += c;
    if (cells.size() != 81) throw std::invalid_argument("board text needs 81 cells of x, o and .");
    emptyBoard(form);
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            const char c = cells[(y - 1) * 9 + (x - 1)];
            if (c == 'x') form.board(x, y) = Form1::first_code;
            if (c == 'o') form.board(x, y) = Form1::second_code;
        }
}

engine::Position enginePosition(const Form1& form, int mover) {
    engine::Position p;
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            const int c = form.board(x, y);
            if (c == mover) p.own |= engine::bitAt(x, y);
            if (c == opposite(mover)) p.opp |= engine::bitAt(x, y);
        }
    return p;
}

void setEnginePosition(Form1& form, const engine::Position& p, int mover) {
    emptyBoard(form);
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            if (p.own & engine::bitAt(x, y)) form.board(x, y) = mover;
            if (p.opp & engine::bitAt(x, y)) form.board(x, y) = opposite(mover);
        }
}

}  // namespace quillet::tool
