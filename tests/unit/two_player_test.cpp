// SPDX-License-Identifier: GPL-3.0-or-later
// Two people at one mouse: clicks, placements, passes, the end of the game and every way out.

#include <random>

#include "tests/support/Fixture.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

struct TwoPlayerTest : GameFixture {
    void SetUp() override {
        form.sound_place = 21;
        form.sound_forbidden = 22;
        form.初期設定();
    }
    // A press and release at the centre of square (x, y).
    void click(int x, int y) {
        const double X = 100 + 495 * x + 247, Y = 100 + 615 * y + 307;
        form.Form_MouseDown(1, 0, X, Y);
        form.Form_MouseUp(1, 0, X, Y);
    }
    void expectRecordConsistent() {
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y)
                ASSERT_EQ(form.position_record[form.move_count](x, y), form.board(x, y)) << x << "," << y;
        ASSERT_EQ(form.move_side[form.move_count], form.side_to_move);
        ASSERT_EQ(form.last_move_count, form.move_count);
        ASSERT_EQ(form.調査_駒数(X) + form.調査_駒数(O), 4 + form.move_count);
    }
};

TEST_F(TwoPlayerTest, ClickWithoutAGameIsRefusedWithSoundAndMessage) {
    log.clear();
    click(4, 3);
    EXPECT_EQ(log.front(), "dsPlay 22");
    EXPECT_EQ(window.messages, (std::vector<std::string>{"開始|対局で始めて下さい"}));
    EXPECT_EQ(form.move_count, 0);
}

TEST_F(TwoPlayerTest, StartSetsTheFirstPlayerToMoveAndClearsCoaching) {
    window.checks[static_cast<int>(MenuCheck::SINAN)] = true;
    form.hint_available = Form1::yes;
    log.clear();
    form.START_Click();
    EXPECT_EQ(form.game_mode, Form1::mode_two_humans);
    EXPECT_EQ(form.side_to_move, X);
    EXPECT_EQ(form.other_side, O);
    EXPECT_EQ(form.move_side[0], X);
    EXPECT_EQ(form.hint_available, Form1::no);
    EXPECT_FALSE(window.isChecked(MenuCheck::SINAN));
    EXPECT_EQ(countOf(log, "pic SINAN_SYOKYO @5297.5,2006.5"), 1);
    EXPECT_EQ(filtered(log, "text '先手' 14 c15").size(), 1u);
    EXPECT_EQ(filtered(log, "text '後手' 14 c15").size(), 1u);
    EXPECT_EQ(filtered(log, "text '先手' 12 c15").size(), 1u);  // turn line
    // In the middle of a game the sides stay as they are.
    form.side_to_move = O;
    form.other_side = X;
    form.START_Click();
    EXPECT_EQ(form.side_to_move, O);
}

TEST_F(TwoPlayerTest, ClickMappingRoundsDownAndIgnoresEverythingOffTheBoard) {
    form.START_Click();
    log.clear();
    // Off the 9 x 9 area: nothing at all, no sound.
    for (auto [X, Y] : std::vector<std::pair<double, double>>{
             {594, 2000}, {2000, 714}, {5050, 2000}, {2000, 6250}, {50, 50}, {-10, -10}, {6000, 3000}}) {
        form.Form_MouseDown(2, 0, X, Y);
        EXPECT_TRUE(log.empty()) << X << "," << Y;
    }
    // (595, 715) is a1 and (5049, 6249) is i9: both illegal now, so sound and guide pieces.
    form.Form_MouseDown(2, 0, 595, 715);
    EXPECT_EQ(log.front(), "dsPlay 22");
    EXPECT_EQ(filtered(log, "pic KOMA_SIDOU").size(), 4u);
    log.clear();
    form.Form_MouseDown(3, 1, 5049, 6249);
    EXPECT_EQ(log.front(), "dsPlay 22");
    // Release clears the guide pieces: every empty square redrawn empty, nothing else.
    log.clear();
    form.Form_MouseUp(1, 0, 0, 0);
    EXPECT_EQ(filtered(log, "pic MASU").size(), 77u);
    EXPECT_EQ(filtered(log, "pic KOMA").size(), 0u);
    // d3 by the right button plays like the left.
    log.clear();
    form.Form_MouseDown(2, 0, 100 + 495 * 4, 100 + 615 * 3);
    EXPECT_EQ(form.board(4, 3), X);
    EXPECT_EQ(form.board(4, 4), X);
    EXPECT_EQ(form.move_count, 1);
    EXPECT_EQ(form.move_x[1], 4);
    EXPECT_EQ(form.move_y[1], 3);
    EXPECT_EQ(form.move_side[0], X);
    EXPECT_EQ(form.move_side[1], O);
    EXPECT_EQ(form.side_to_move, O);
    // Placement: sound first, three blinks, then the flip.
    EXPECT_EQ(log[0], "dsPlay 21");
    EXPECT_EQ(log[1], "pic MASU @2080,1945");
    EXPECT_EQ(countOf(log, "pic KOMA 1 @2080,1945"), 3);
    EXPECT_EQ(countOf(log, "dsPlay 21"), 2);  // the placement and one turned piece
}

TEST_F(TwoPlayerTest, MoveNumbersAreRedrawnAfterAPlacementWhenShown) {
    form.START_Click();
    window.checks[static_cast<int>(MenuCheck::TEJYUN)] = true;
    log.clear();
    click(4, 3);
    EXPECT_EQ(filtered(log, "text ' 1' 12 c10").size(), 1u);
}

TEST_F(TwoPlayerTest, AWholeGameKeepsTheRecordAndEndsWithTheResult) {
    form.START_Click();
    std::mt19937 rng(7);
    window.answers = {true};
    int moves = 0, passes = 0;
    while (form.game_mode == Form1::mode_two_humans) {
        const int side = form.side_to_move;
        std::vector<std::pair<int, int>> legal;
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y)
                if (form.置けるか(x, y, side, Form1::相手(side))) legal.push_back({x, y});
        const std::size_t before = window.messages.size();
        if (legal.empty()) {
            click(1, 1);  // case a or b: the click is used up
            if (form.game_mode == Form1::mode_two_humans) {
                ++passes;
                ASSERT_EQ(window.messages.back(), std::string("PASS|") + (side == X ? "先手" : "後手"));
            }
            continue;
        }
        // Sometimes an illegal click first: it changes nothing.
        const int movesBefore = form.move_count;
        click(9, 9);
        if (form.board(9, 9) == Form1::empty_code && !form.置けるか(9, 9, side, Form1::相手(side))) {
            ASSERT_EQ(form.move_count, movesBefore);
        }
        if (form.move_count != movesBefore) {  // i9 happened to be legal
            ++moves;
            if (form.game_mode != Form1::mode_two_humans) break;
            expectRecordConsistent();
            continue;
        }
        auto [x, y] = legal[rng() % legal.size()];
        click(x, y);
        ++moves;
        if (form.game_mode != Form1::mode_two_humans) break;
        ASSERT_EQ(form.move_x[form.move_count], x);
        ASSERT_EQ(form.move_y[form.move_count], y);
        expectRecordConsistent();
        if (window.messages.size() > before) {  // the opponent had to pass at once
            ASSERT_EQ(window.messages.back().substr(0, 5), "PASS|");
        }
    }
    EXPECT_GT(moves, 30);
    // The end: 終了しました, the result, 続けます？ answered Yes: a fresh start, no game.
    const auto& m = window.messages;
    ASSERT_GE(m.size(), 3u);
    EXPECT_EQ(m[m.size() - 3], "対局|終了しました");
    EXPECT_NE(m[m.size() - 2].find("|と：["), std::string::npos);
    EXPECT_EQ(m.back(), "対局|続けます？");
    EXPECT_EQ(form.game_mode, Form1::no_side);
    EXPECT_EQ(form.side_to_move, Form1::no_side);
    EXPECT_EQ(form.move_count, 0);
    EXPECT_EQ(form.調査_駒数(X), 2);
    (void)passes;
}

TEST_F(TwoPlayerTest, SideWithoutAMovePassesOnAnyBoardClick) {
    // と to move has no square (its b1 piece is against the edge); 歩 can play c1.
    setPosition("ox......." + std::string(72, '.'), X);
    form.game_mode = Form1::mode_two_humans;
    click(5, 5);
    ASSERT_FALSE(window.messages.empty());
    EXPECT_EQ(window.messages.back(), "先手|PASS");
    EXPECT_EQ(form.side_to_move, O);
    EXPECT_EQ(form.other_side, X);
    EXPECT_EQ(form.move_count, 0);
    // Neither side able to move: the click ends the game (case a).
    setBoard("x" + std::string(80, '.'));
    window.answers = {true};
    click(5, 5);
    EXPECT_EQ(window.messages[1], "対局|終了しました");
}

TEST_F(TwoPlayerTest, OpponentWithoutAReplyPassesAndTheMoverKeepsTheTurn) {
    // と plays c9 turning b9; 歩's only piece b1 then has nothing to bracket, while と can take it.
    setPosition("xo......." + std::string(63, '.') + "xo.......", X);
    form.game_mode = Form1::mode_two_humans;
    form.move_side[0] = X;
    click(3, 9);
    ASSERT_FALSE(window.messages.empty());
    EXPECT_EQ(window.messages.back(), "後手|PASS");
    EXPECT_EQ(form.side_to_move, X);
    EXPECT_EQ(form.other_side, O);
    EXPECT_EQ(form.move_side[1], X);
    EXPECT_EQ(form.move_count, 1);
    expectRecordConsistent();
}

struct GameEndTest : TwoPlayerTest {
    void endWith(const std::string& cells, int mode, int human) {
        setPosition(cells, X, Form1::相手(human));
        form.game_mode = mode;
        window.answers = {true};
        log.clear();
        form.終了();
    }
};

TEST_F(GameEndTest, TitlesAndTextsForEachOutcome) {
    std::string full(81, 'x');
    for (int i = 0; i < 40; ++i) full[2 * i + 1] = 'o';  // 41 と, 40 歩
    endWith(full, Form1::mode_two_humans, X);
    EXPECT_EQ(window.messages[1], "先手の勝ち！！|と：[41]  歩：[40]");
    EXPECT_EQ(filtered(log, "pic SIROWARE").size(), 40u);
    EXPECT_TRUE(filtered(log, "pic KUROWARE").empty());

    window.messages.clear();
    std::string more_o(81, 'o');
    for (int i = 0; i < 30; ++i) more_o[i] = 'x';
    endWith(more_o, Form1::mode_vs_computer, O);  // human plays second and wins
    EXPECT_EQ(window.messages[1], "MANの勝ち！！|と：[30]  歩：[51]");
    EXPECT_EQ(filtered(log, "pic KUROWARE").size(), 30u);

    window.messages.clear();
    endWith(more_o, Form1::mode_vs_computer, X);
    EXPECT_EQ(window.messages[1], "COMの勝ち！！|と：[30]  歩：[51]");

    window.messages.clear();
    endWith(std::string(5, 'x') + std::string(5, 'o') + std::string(71, '.'), Form1::mode_two_humans, X);
    EXPECT_EQ(window.messages[1], "引き分け！！|と：[5]  歩：[5]");
    EXPECT_TRUE(filtered(log, "pic SIROWARE").empty());
    EXPECT_TRUE(filtered(log, "pic KUROWARE").empty());
    EXPECT_EQ(window.messages[0], "対局|終了しました");
    EXPECT_EQ(window.messages[2], "対局|続けます？");
    // Yes: start position, no game, board redrawn.
    EXPECT_EQ(form.game_mode, Form1::no_side);
    EXPECT_EQ(form.調査_駒数(X), 2);
    EXPECT_EQ(log.back(), "outline 4555,5635-5050,6250 c2");

    window.messages.clear();
    endWith(std::string(2, 'x') + std::string(79, '.'), Form1::mode_vs_computer, X);
    EXPECT_EQ(window.messages[1], "MANの勝ち！！|と：[2]  歩：[0]");
}

TEST_F(GameEndTest, NoEndsTheProgramAfterReleasingTheSoundsInOrder) {
    form.sound_other = 11;
    form.sound_forbidden = 12;
    form.sound_place = 13;
    form.sound_bgm = 14;
    form.sound_device = 3;
    setBoard(std::string(81, 'x'));
    form.game_mode = Form1::mode_two_humans;
    window.answers = {false};
    log.clear();
    EXPECT_THROW(form.終了(), ProgramTerminated);
    Log tail(log.end() - 6, log.end());
    EXPECT_EQ(tail, (Log{"dsFree 11", "dsFree 12", "dsFree 13", "dsFree 14", "dsTerminate 3", "terminate"}));
}

TEST_F(GameEndTest, EveryWayOutShutsDownOnceAndTerminates) {
    form.sound_device = 0;  // no device: no dsTerminate
    form.sound_place = 13;
    for (int way = 0; way < 3; ++way) {
        log.clear();
        if (way == 0) {
            EXPECT_THROW(form.EXIT_Click(), ProgramTerminated);
        } else if (way == 1) {
            EXPECT_THROW(form.Form_KeyDown(27, 0), ProgramTerminated);
        } else {
            EXPECT_THROW(form.Form_Unload(), ProgramTerminated);
        }
        EXPECT_EQ(log, (Log{"dsFree 0", "dsFree 22", "dsFree 13", "dsFree 0", "terminate"}));
    }
    log.clear();
    for (int key : {13, 32, 65, 26, 28, 0x1B + 256})
        for (int shift : {0, 1, 2, 4}) form.Form_KeyDown(key, shift);
    EXPECT_TRUE(log.empty());
    EXPECT_THROW(form.Form_KeyDown(27, 1), ProgramTerminated);  // Escape with any shift
}

}  // namespace
