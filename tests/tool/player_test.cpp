// SPDX-License-Identifier: GPL-3.0-or-later
// The tools' computer is the game's: along whole games with the shipped book, the square
// quillet-tool's player picks is the square the computer's turn plays.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/Fixture.h"
#include "tools/quillet_tool/PositionsAndPlayers.h"

namespace quillet::testing {
namespace {

bool endsTheGame(Form1& rules, const Form1::Position& p, const tool::Square& square) {
    rules.局面_設定(tool::played(rules, p, square.first, square.second));
    return tool::legalSquares(rules, X).empty() && tool::legalSquares(rules, O).empty();
}

TEST(GameComputer, PlaysWhatTheComputersTurnPlays) {
    const std::string book = sourceDir() + "/assets/Quillet.定石";
    tool::GameComputer player(book);
    HeadlessGame game, rulesGame;
    Form1& f = game.form;
    f.定石ファイル読込(book);

    int moves = 0;
    // The start, then games that leave the book at once and soon: its lines and the search both.
    for (const int firstSearchMoves : {0, 1, 3}) {
        rulesGame.form.初期設定();
        Form1::Position p = rulesGame.form.局面_取得();
        p.side_to_move = X;
        for (int passes = 0, ply = 0; passes < 2; ++ply) {
            rulesGame.form.局面_設定(p);
            const std::vector<tool::Square> legal = tool::legalSquares(rulesGame.form, p.side_to_move);
            if (legal.empty()) {
                p.side_to_move = Form1::相手(p.side_to_move);
                ++passes;
                continue;
            }
            passes = 0;
            const tool::Square chosen = player.choose(p);
            if (!endsTheGame(rulesGame.form, p, chosen)) {  // an ended game's record is reset
                f.初期設定();
                f.局面_設定({p.cells, p.side_to_move, p.side_to_move});
                f.game_mode = Form1::mode_vs_computer;
                f.com_打つ();
                ASSERT_EQ(f.move_count, 1) << "ply " << ply;
                ASSERT_EQ(tool::Square(f.move_x[1], f.move_y[1]), chosen) << "ply " << ply;
                ++moves;
            }
            // Off the book's line for a while, so later positions are not all book positions.
            const tool::Square next = ply < firstSearchMoves ? legal.back() : chosen;
            p = tool::played(rulesGame.form, p, next.first, next.second);
        }
    }
    EXPECT_GT(player.bookMoves, 0);
    EXPECT_GT(moves, 100);
}

}  // namespace
}  // namespace quillet::testing
