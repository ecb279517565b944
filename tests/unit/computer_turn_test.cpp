// SPDX-License-Identifier: GPL-3.0-or-later
// The computer's turn, row by row of its decision table, with the book, the hint for the
// human and the record; and the two menu commands that start a game against the computer.

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/GameLog.h"

namespace quillet::testing {
namespace {

std::string row(const char* r) { return std::string(r) + "\n"; }
const std::string kEmptyRow = row(".........");

// Two pieces left for the human after the computer's next move, neither of them playable;
// the computer's second move then opens a reply.
const std::string kHumanPassesOnce =
    "ooooxxxxx\nooooxooxo\nooxxooxoo\noooooxooo\noxxoxoooo\noxoxoxooo\noxxoooxoo\nooooooooo\n..oooox.o\n";

struct ComputerTurn : GameFixture {
    void SetUp() override { useTestSounds(form); }

    // A game against the computer at this position, the computer to move.
    void vsComputer(const std::string& rows, int computer) {
        setPosition(rows, computer, computer);
        form.game_mode = Form1::mode_vs_computer;
        form.move_count = 0;
        form.last_move_count = 0;
        form.将棋盤_保存(0);
        log.clear();
    }
    bool logged(const std::string& entry) const {
        return std::find(log.begin(), log.end(), entry) != log.end();
    }
    bool anyPass() const {
        return std::any_of(window.messages.begin(), window.messages.end(),
                           [](const std::string& m) { return m.find("PASS") != std::string::npos; });
    }
    // The name the turn indicator shows last.
    std::string turnShown() const {
        const std::string suffix = " 12 c15 @" + at(10.5, 7);
        for (auto it = log.rbegin(); it != log.rend(); ++it)
            if (it->rfind("text '", 0) == 0 && it->size() > suffix.size() &&
                it->compare(it->size() - suffix.size(), suffix.size(), suffix) == 0)
                return it->substr(6, it->size() - suffix.size() - 7);
        return "";
    }
};

TEST_F(ComputerTurn, NeitherSideAbleToMoveEndsTheGameAndGivesNoResult) {
    vsComputer(row("x........") + kEmptyRow + kEmptyRow + kEmptyRow + kEmptyRow + kEmptyRow + kEmptyRow +
                   kEmptyRow + kEmptyRow,
               O);
    window.answers = {true};
    const std::optional<int> result = form.com_打つ();
    EXPECT_FALSE(result.has_value());
    ASSERT_FALSE(window.messages.empty());
    EXPECT_EQ(window.messages.front(), "対局|終了しました");
    EXPECT_FALSE(anyPass());
    EXPECT_FALSE(logged("marker show"));
    EXPECT_EQ(form.game_mode, Form1::no_side);  // continued: a fresh start, no game
}

TEST_F(ComputerTurn, ComputerWithoutASquarePassesAndTheHumanMoves) {
    // 歩 cannot bracket the と in the corner; と can play c1.
    vsComputer(row("xo.......") + kEmptyRow + kEmptyRow + kEmptyRow + kEmptyRow + kEmptyRow + kEmptyRow +
                   kEmptyRow + kEmptyRow,
               O);
    const std::string before = boardText();
    EXPECT_EQ(form.com_打つ(), 0);
    EXPECT_EQ(window.messages, (std::vector<std::string>{"ＣＯＭ|PASS"}));
    EXPECT_EQ(form.side_to_move, X);
    EXPECT_EQ(form.other_side, O);
    EXPECT_EQ(form.move_count, 0);
    EXPECT_EQ(boardText(), before);
    EXPECT_EQ(countOf(log, kPlayPlace), 0);
    EXPECT_FALSE(logged("marker show"));
    EXPECT_EQ(turnShown(), "MAN");
}

TEST_F(ComputerTurn, MovePlayedRecordedAndTurnHandedToTheHuman) {
    vsComputer(kStartBoard, O);
    form.last_move_count = 5;  // a continuation stepped back from is abandoned
    EXPECT_EQ(form.com_打つ(), 1);
    EXPECT_TRUE(window.messages.empty());
    // f4 turns e4.
    EXPECT_EQ(boardText(), kEmptyRow + kEmptyRow + kEmptyRow + row("...ooo...") + row("...xo....") +
                               kEmptyRow + kEmptyRow + kEmptyRow + kEmptyRow);
    EXPECT_EQ(form.move_count, 1);
    EXPECT_EQ(form.last_move_count, 1);
    EXPECT_EQ(form.move_x[1], 6);
    EXPECT_EQ(form.move_y[1], 4);
    EXPECT_EQ(form.move_side[0], O);
    EXPECT_EQ(form.move_side[1], X);
    EXPECT_EQ(recordText(form, 1), boardText());
    EXPECT_EQ(form.side_to_move, X);
    EXPECT_EQ(form.other_side, O);
    EXPECT_EQ(turnShown(), "MAN");
    // After the search: the half-second pause, the click, then the new piece blinks.
    const Log after = between(log, "marker hide", masu(6, 4));
    EXPECT_EQ(after, (Log{"marker hide", "wait 0.5", kPlayPlace, masu(6, 4)}));
    EXPECT_FALSE(window.markerVisible);
}

TEST_F(ComputerTurn, MoveNumbersAreRedrawnOnlyWhenShown) {
    vsComputer(kStartBoard, O);
    EXPECT_EQ(form.com_打つ(), 1);
    EXPECT_TRUE(filtered(log, "text ' 1'").empty());
    vsComputer(kStartBoard, O);
    window.checks[static_cast<int>(MenuCheck::TEJYUN)] = true;
    EXPECT_EQ(form.com_打つ(), 1);
    EXPECT_FALSE(filtered(log, "text ' 1'").empty());
}

TEST_F(ComputerTurn, HumanWithoutAReplyPassesAndTheComputerMovesAgain) {
    vsComputer(kHumanPassesOnce, X);
    EXPECT_EQ(form.com_打つ(), Form1::again_result);
    EXPECT_EQ(window.messages, (std::vector<std::string>{"MAN|PASS"}));
    EXPECT_EQ(form.side_to_move, X);
    EXPECT_EQ(form.move_count, 1);
    EXPECT_EQ(form.move_side[0], X);
    EXPECT_EQ(turnShown(), "COM");

    EXPECT_EQ(form.com_打つ(), 1);
    EXPECT_EQ(window.messages.size(), 1u);
    EXPECT_EQ(form.side_to_move, O);
    EXPECT_EQ(form.move_count, 2);
    EXPECT_EQ(form.move_side[1], X);
    EXPECT_EQ(form.move_side[2], O);
    EXPECT_EQ(form.置き場所があるか(O, X), Form1::yes);
}

TEST_F(ComputerTurn, MoveThatEndsTheGameIsRecordedBeforeTheEnd) {
    // f5 turns the last と: nobody can move afterwards.
    vsComputer(kEmptyRow + kEmptyRow + kEmptyRow + kEmptyRow + row("...ox....") + kEmptyRow + kEmptyRow +
                   kEmptyRow + kEmptyRow,
               O);
    window.answers = {true};
    EXPECT_EQ(form.com_打つ(), 1);
    EXPECT_FALSE(anyPass());
    EXPECT_TRUE(logged("message 対局|終了しました"));
    EXPECT_EQ(recordText(form, 1), kEmptyRow + kEmptyRow + kEmptyRow + kEmptyRow + row("...ooo...") +
                                       kEmptyRow + kEmptyRow + kEmptyRow + kEmptyRow);
}

TEST_F(ComputerTurn, BookMoveIsPlayedAfterTheSearchHasToured) {
    vsComputer(kStartBoard, O);
    loadBook(form, {bookLine(form.取得_文字列(0), 3, 5)});  // c5 rather than the search's f4
    log.clear();
    EXPECT_EQ(form.com_打つ(), 1);
    EXPECT_EQ(form.board(3, 5), O);
    EXPECT_EQ(form.board(6, 4), Form1::empty_code);
    EXPECT_EQ(filtered(log, "marker ").size(), 6u);  // shown, four stops, hidden
}

TEST_F(ComputerTurn, BookMoveTheRulesForbidIsPassedOverForTheSearchsChoice) {
    vsComputer(kStartBoard, O);
    loadBook(form, {bookLine(form.取得_文字列(0), 1, 1)});
    EXPECT_EQ(form.com_打つ(), 1);
    EXPECT_EQ(form.board(1, 1), Form1::empty_code);
    EXPECT_EQ(form.board(6, 4), O);
}

TEST_F(ComputerTurn, HintForTheHumanComesFromTheBookWithTheSidesExchanged) {
    // The position after the computer's f4, as the human will face it.
    vsComputer(kEmptyRow + kEmptyRow + kEmptyRow + row("...ooo...") + row("...xo....") + kEmptyRow +
                   kEmptyRow + kEmptyRow + kEmptyRow,
               O);
    const std::string line = bookLine(humanKey(form), 6, 3);  // a square the human can play

    vsComputer(kStartBoard, O);
    loadBook(form, {line});
    log.clear();
    EXPECT_EQ(form.com_打つ(), 1);
    EXPECT_EQ(form.hint_available, Form1::yes);
    EXPECT_EQ(form.hint_x, 6);
    EXPECT_EQ(form.hint_y, 3);
    EXPECT_FALSE(logged(kCoachHint));  // coaching is off: stored, not shown
    EXPECT_EQ(form.board(6, 4), O);    // the pieces are back on their own sides
    EXPECT_EQ(form.board(4, 5), X);

    vsComputer(kStartBoard, O);
    loadBook(form, {line});
    window.checks[static_cast<int>(MenuCheck::SINAN)] = true;
    log.clear();
    form.com_打つ();
    EXPECT_TRUE(logged(kCoachHint));

    // Without a book line for the position the hint is withdrawn.
    vsComputer(kStartBoard, O);
    loadBook(form, {});
    form.hint_available = Form1::yes;
    form.com_打つ();
    EXPECT_EQ(form.hint_available, Form1::no);
}

// ---- The menu commands ------------------------------------------------------------------

struct ComputerGame : ComputerTurn {
    void twoHumans(const std::string& rows, int toMove) {
        setPosition(rows, toMove, form.computer_piece);
        form.game_mode = Form1::mode_two_humans;
        log.clear();
    }
};

TEST_F(ComputerGame, SenteFromNoGameLetsTheHumanMoveFirst) {
    form.初期設定();
    log.clear();
    form.SENTE_Click();
    EXPECT_EQ(form.game_mode, Form1::mode_vs_computer);
    EXPECT_EQ(form.human_piece, X);
    EXPECT_EQ(form.computer_piece, O);
    EXPECT_EQ(form.side_to_move, X);
    EXPECT_EQ(form.other_side, O);
    EXPECT_EQ(form.move_count, 0);
    EXPECT_FALSE(logged("marker show"));
    EXPECT_EQ(turnShown(), "MAN");
    // The legend: と is MAN's, 歩 COM's.
    EXPECT_TRUE(logged("text 'MAN' 14 c15 @" + at(11.5, 4.2)));
    EXPECT_TRUE(logged("text 'COM' 14 c15 @" + at(11.5, 5.2)));

    // Chosen again: nothing changes.
    const std::string before = boardText();
    log.clear();
    form.SENTE_Click();
    EXPECT_EQ(form.side_to_move, X);
    EXPECT_EQ(form.move_count, 0);
    EXPECT_EQ(boardText(), before);
    EXPECT_FALSE(logged("marker show"));
}

TEST_F(ComputerGame, GoteFromNoGameMakesTheComputerPlayTheFirstMoveAtOnce) {
    form.初期設定();
    log.clear();
    form.GOTE_Click();
    EXPECT_EQ(form.human_piece, O);
    EXPECT_EQ(form.computer_piece, X);
    EXPECT_TRUE(logged("text 'COM' 14 c15 @" + at(11.5, 4.2)));
    EXPECT_EQ(form.move_count, 1);
    EXPECT_EQ(form.move_side[0], X);
    EXPECT_EQ(form.board(form.move_x[1], form.move_y[1]), X);
    EXPECT_EQ(form.side_to_move, O);
    EXPECT_EQ(form.other_side, X);
    EXPECT_EQ(turnShown(), "MAN");
}

TEST_F(ComputerGame, SenteMidGameWithTheSecondPlayerToMoveMakesTheComputerMove) {
    twoHumans(kStartBoard, O);
    form.SENTE_Click();
    EXPECT_EQ(form.game_mode, Form1::mode_vs_computer);
    EXPECT_EQ(form.move_count, 1);
    EXPECT_EQ(form.board(6, 4), O);
    EXPECT_EQ(form.side_to_move, X);
}

TEST_F(ComputerGame, GoteMidGameWithTheHumanToMoveWaitsForTheHuman) {
    twoHumans(kStartBoard, O);
    form.GOTE_Click();
    EXPECT_EQ(form.computer_piece, X);
    EXPECT_EQ(form.side_to_move, O);
    EXPECT_EQ(form.other_side, X);
    EXPECT_EQ(form.move_count, 0);
    EXPECT_FALSE(logged("marker show"));
    EXPECT_EQ(turnShown(), "MAN");
}

TEST_F(ComputerGame, ComputerKeepsMovingWhileTheHumanMustPass) {
    twoHumans(kHumanPassesOnce, X);
    form.将棋盤_保存(0);
    form.GOTE_Click();  // the computer takes と, which is to move
    EXPECT_EQ(window.messages, (std::vector<std::string>{"MAN|PASS"}));
    EXPECT_EQ(form.move_count, 2);
    EXPECT_EQ(form.side_to_move, O);
    EXPECT_EQ(form.置き場所があるか(O, X), Form1::yes);
    EXPECT_EQ(turnShown(), "MAN");
}

}  // namespace
}  // namespace quillet::testing
