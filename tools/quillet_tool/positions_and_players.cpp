// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/quillet_tool/PositionsAndPlayers.h"

namespace quillet::tool {

engine::Position enginePosition(const Form1::Position& p) {
    engine::Position e;
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            if (p.cells(x, y) == p.side_to_move) e.own |= engine::bitAt(x, y);
            if (p.cells(x, y) == Form1::相手(p.side_to_move)) e.opp |= engine::bitAt(x, y);
        }
    return e;
}

Form1::Position gamePosition(const engine::Position& e, int mover) {
    Form1::Position p;
    p.side_to_move = p.computer_piece = mover;
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            if (e.own & engine::bitAt(x, y)) p.cells(x, y) = mover;
            if (e.opp & engine::bitAt(x, y)) p.cells(x, y) = Form1::相手(mover);
        }
    return p;
}

std::vector<Square> legalSquares(const Form1& f, int side) {
    std::vector<Square> squares;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (f.置けるか(x, y, side, Form1::相手(side)) == Form1::yes) squares.emplace_back(x, y);
    return squares;
}

Form1::Position played(Form1& rules, const Form1::Position& p, int x, int y) {
    rules.局面_設定(p);
    rules.反転_仮(x, y, p.side_to_move, Form1::相手(p.side_to_move));
    rules.board(x, y) = p.side_to_move;
    Form1::Position next = rules.局面_取得();
    next.side_to_move = Form1::相手(p.side_to_move);
    return next;
}

GameComputer::GameComputer(const std::string& bookPath) {
    if (!bookPath.empty()) game_.form.定石ファイル読込(bookPath);
}

Square GameComputer::choose(const Form1::Position& p) {
    Form1::Position mine = p;
    mine.computer_piece = p.side_to_move;
    game_.form.局面_設定(mine);
    int column = 0, row = 0;
    if (game_.form.COM手選択(column, row, false) == Form1::yes) ++bookMoves;
    return {column, row};
}

}  // namespace quillet::tool
