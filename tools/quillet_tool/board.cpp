// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/quillet_tool/Board.h"

#include <stdexcept>

namespace quillet::tool {

Grid<10> cellsFromText(const std::string& rows) {
    std::string letters;
    for (char c : rows)
        if (c == 'x' || c == 'o' || c == '.') letters += c;
    if (letters.size() != 81) throw std::invalid_argument("board text needs 81 cells of x, o and .");
    Grid<10> cells;
    cells.fill(Form1::empty_code);
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            const char c = letters[(y - 1) * 9 + (x - 1)];
            if (c == 'x') cells(x, y) = Form1::first_code;
            if (c == 'o') cells(x, y) = Form1::second_code;
        }
    return cells;
}

void setBoardText(Form1& form, const std::string& rows) {
    Form1::Position p = form.局面_取得();
    p.cells = cellsFromText(rows);
    form.局面_設定(p);
}

engine::Position enginePosition(const Form1::Position& p) {
    engine::Position e;
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            const int c = p.cells(x, y);
            if (c == p.side_to_move) e.own |= engine::bitAt(x, y);
            if (c == Form1::相手(p.side_to_move)) e.opp |= engine::bitAt(x, y);
        }
    return e;
}

Form1::Position gamePosition(const engine::Position& e, int mover) {
    Form1::Position p;
    p.cells.fill(Form1::empty_code);
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            if (e.own & engine::bitAt(x, y)) p.cells(x, y) = mover;
            if (e.opp & engine::bitAt(x, y)) p.cells(x, y) = Form1::相手(mover);
        }
    p.side_to_move = mover;
    p.computer_piece = mover;
    return p;
}

}  // namespace quillet::tool
