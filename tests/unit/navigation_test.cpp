// SPDX-License-Identifier: GPL-3.0-or-later
// Stepping through the record: 最初, 戻 and 進, their animation, the restored turn and the hint.

#include <algorithm>
#include <random>

#include "tests/support/GameLog.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

struct Navigation : ResetGameFixture {
    // What a step must show, from the board before it to the board after it: the move's piece
    // blinking (once going back, twice going forward), its square, then six frames turning the
    // captured pieces, then the placing sound.
    static Log expectedStep(const std::string& before, const std::string& after, bool back) {
        Log out{kCoachBlank};
        int movedCode = 0;
        std::vector<std::pair<int, int>> turned;
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y) {
                const char b = before[index(x, y)], a = after[index(x, y)];
                if (a == b) continue;
                if ((back ? a : b) != '.') {
                    turned.emplace_back(x, y);
                    continue;
                }
                const char piece = back ? b : a;
                movedCode = piece == 'x' ? Form1::first_code : Form1::second_code;
                for (int n = 0; n < (back ? 1 : 2); ++n) {
                    Log blink{masu(x, y),    outline(x, y), "refresh", "wait 0.1", koma(movedCode, x, y),
                              outline(x, y), "refresh",     "wait 0.1"};
                    out.insert(out.end(), blink.begin(), blink.end());
                }
                out.push_back(back ? masu(x, y) : koma(movedCode, x, y));
                out.push_back(outline(x, y));
            }
        const bool toSecond = back ? movedCode == Form1::first_code : movedCode == Form1::second_code;
        for (int f = 0; f < 6; ++f) {
            for (auto [x, y] : turned) {
                out.push_back(koma(toSecond ? 2 + f : 6 - f, x, y));
                out.push_back(outline(x, y));
            }
            out.push_back("refresh");
            out.push_back("wait 0.1");
        }
        out.push_back(kPlayPlace);
        return out;
    }

    // Plays n random legal moves in the current two-player game, returning the positions.
    std::vector<std::string> playRandom(int n, unsigned seed) {
        std::mt19937 rng(seed);
        std::vector<std::string> seen{boardText()};
        for (int i = 0; i < n; ++i) {
            const char me = letter(form.side_to_move);
            auto squares = legalSquares(boardText(), me);
            if (squares.empty()) break;
            auto [x, y] = squares[rng() % squares.size()];
            click(form, x, y);
            seen.push_back(boardText());
        }
        return seen;
    }
};

TEST_F(Navigation, RefusalsPlayTheForbiddenSoundThenSayWhyAndChangeNothing) {
    form.START_Click();
    log.clear();
    form.MODORU_Click();
    EXPECT_EQ(log, (Log{kPlayForbidden, "message 戻る|戻れません"}));
    log.clear();
    form.SUSUMU_Click();
    EXPECT_EQ(log, (Log{kPlayForbidden, "message 進む|進めません"}));

    click(form, 4, 3);
    const std::string afterMove = boardText();
    log.clear();
    form.SUSUMU_Click();
    EXPECT_EQ(log, (Log{kPlayForbidden, "message 進む|進めません"}));
    EXPECT_EQ(boardText(), afterMove);
    EXPECT_EQ(form.move_count, 1);
    EXPECT_EQ(form.side_to_move, Form1::second_code);

    // After 最初 nothing is recorded any more, either way.
    form.SAISYO_Click();
    log.clear();
    form.MODORU_Click();
    form.SUSUMU_Click();
    EXPECT_EQ(log,
              (Log{kPlayForbidden, "message 戻る|戻れません", kPlayForbidden, "message 進む|進めません"}));
}

TEST_F(Navigation, BackOverAToMoveBlinksOnceClearsTheSquareAndTurnsItsCaptureBackTo歩) {
    form.START_Click();
    click(form, 4, 3);  // と on d3 turns d4
    log.clear();
    form.MODORU_Click();
    Log expected{kCoachBlank,   masu(4, 3), outline(4, 3), "refresh",  "wait 0.1",   koma(1, 4, 3),
                 outline(4, 3), "refresh",  "wait 0.1",    masu(4, 3), outline(4, 3)};
    for (int frame = 2; frame <= 7; ++frame) {
        for (const auto& e :
             {koma(frame, 4, 4), outline(4, 4), std::string("refresh"), std::string("wait 0.1")})
            expected.push_back(e);
    }
    expected.push_back(kPlayPlace);
    EXPECT_EQ(between(withoutCrumbs(log), kCoachBlank, kPlayPlace), expected);
    EXPECT_EQ(countOf(log, kPlayPlace), 1);
    EXPECT_EQ(countOf(log, kPlayForbidden), 0);
    EXPECT_EQ(boardText(), kStartBoard);
    EXPECT_EQ(form.move_count, 0);
    EXPECT_EQ(form.last_move_count, 1);
    EXPECT_EQ(form.side_to_move, Form1::first_code);
    EXPECT_EQ(form.other_side, Form1::second_code);
    EXPECT_EQ(filtered(log, "text '先手'").size(), 2u) << "the turn line names 先手 again";
}

// Every step of a long game, back to the start and forward again, shows exactly the difference
// between the two positions: this covers 歩 moves (frames the other way round) and moves that
// turn several lines at once.
TEST_F(Navigation, EveryStepAnimatesExactlyTheDifferenceBetweenItsTwoPositions) {
    form.START_Click();
    const auto seen = playRandom(30, 7);
    ASSERT_GE(seen.size(), 20u);
    bool sawMultiCapture = false;
    for (int k = static_cast<int>(seen.size()) - 1; k > 0; --k) {
        log.clear();
        form.MODORU_Click();
        const Log expected = expectedStep(seen[k], seen[k - 1], true);
        ASSERT_EQ(between(withoutCrumbs(log), kCoachBlank, kPlayPlace), expected) << "back to " << k - 1;
        ASSERT_EQ(boardText(), seen[k - 1]);
        if (filtered(expected, "pic KOMA 2").size() > 1) sawMultiCapture = true;
    }
    for (size_t k = 1; k < seen.size(); ++k) {
        log.clear();
        form.SUSUMU_Click();
        ASSERT_EQ(between(withoutCrumbs(log), kCoachBlank, kPlayPlace),
                  expectedStep(seen[k - 1], seen[k], false))
            << "forward to " << k;
        ASSERT_EQ(boardText(), seen[k]);
    }
    EXPECT_TRUE(sawMultiCapture);
}

TEST_F(Navigation, TheSideToMoveComesFromTheRecordEvenAfterAPass) {
    // Position 1 follows a と move after which 歩 had to pass: と is to move again.
    setBoard(kStartBoard);
    form.将棋盤_保存(0);
    form.game_mode = Form1::mode_two_humans;
    form.move_side[0] = Form1::first_code;
    form.board(4, 3) = Form1::first_code;
    form.board(4, 4) = Form1::first_code;
    form.将棋盤_保存(1);
    form.move_side[1] = Form1::first_code;
    form.move_x[1] = 4;
    form.move_y[1] = 3;
    form.move_count = form.last_move_count = 1;
    form.side_to_move = Form1::first_code;
    form.other_side = Form1::second_code;

    form.MODORU_Click();
    EXPECT_EQ(form.side_to_move, Form1::first_code);
    EXPECT_EQ(form.other_side, Form1::second_code);
    form.SUSUMU_Click();
    EXPECT_EQ(form.side_to_move, Form1::first_code);
    EXPECT_EQ(form.other_side, Form1::second_code);
    EXPECT_EQ(form.board(4, 3), Form1::first_code);
}

TEST_F(Navigation, AStepWithNothingToUndoShowsNoFramesButStillSounds) {
    setBoard(kStartBoard);
    form.将棋盤_保存(0);
    form.将棋盤_保存(1);
    form.move_side[0] = form.move_side[1] = Form1::first_code;
    form.move_count = form.last_move_count = 1;
    form.side_to_move = Form1::first_code;
    form.game_mode = Form1::mode_two_humans;
    log.clear();
    form.MODORU_Click();
    EXPECT_TRUE(filtered(log, "pic KOMA").empty());
    EXPECT_TRUE(filtered(log, "wait").empty());
    EXPECT_EQ(countOf(log, kPlayPlace), 1);
    EXPECT_EQ(form.move_count, 0);
}

TEST_F(Navigation, MoveNumbersFollowTheShownPositionOnlyWhenSwitchedOn) {
    form.START_Click();
    playRandom(3, 11);
    form.MODORU_Click();
    EXPECT_TRUE(filtered(log, "text ' ").empty()) << "no numbers while switched off";
    window.checks[static_cast<int>(MenuCheck::TEJYUN)] = true;
    log.clear();
    form.MODORU_Click();
    // Position 1: only move 1's square holds a piece; shadow and top copy.
    EXPECT_EQ(filtered(log, "text ' 1'").size(), 2u);
    EXPECT_TRUE(filtered(log, "text ' 2'").empty());
    log.clear();
    form.SUSUMU_Click();
    EXPECT_EQ(filtered(log, "text ' 2'").size(), 2u);
    EXPECT_TRUE(filtered(log, "text ' 3'").empty());
}

TEST_F(Navigation, BackTwiceAndForwardTwiceReturnExactlyToTheNewestPosition) {
    form.START_Click();
    playRandom(9, 3);
    const std::string newest = boardText();
    const int side = form.side_to_move, other = form.other_side, count = form.move_count;
    const auto record = form.position_record;
    const auto sides = form.move_side;

    form.MODORU_Click();
    form.MODORU_Click();
    EXPECT_EQ(form.move_count, count - 2);
    form.SUSUMU_Click();
    form.SUSUMU_Click();
    EXPECT_EQ(boardText(), newest);
    EXPECT_EQ(form.side_to_move, side);
    EXPECT_EQ(form.other_side, other);
    EXPECT_EQ(form.move_count, count);
    EXPECT_EQ(form.last_move_count, count);
    EXPECT_TRUE(form.position_record == record);
    EXPECT_TRUE(form.move_side == sides);
    log.clear();
    form.SUSUMU_Click();
    EXPECT_EQ(log, (Log{kPlayForbidden, "message 進む|進めません"}));
}

TEST_F(Navigation, BackThenADifferentMoveAbandonsTheLineSoForwardIsRefused) {
    form.START_Click();
    click(form, 4, 3);
    const auto replies = legalSquares(boardText(), 'o');
    ASSERT_GE(replies.size(), 2u);
    click(form, replies[0].first, replies[0].second);
    form.MODORU_Click();
    EXPECT_EQ(form.side_to_move, Form1::second_code);
    click(form, replies[1].first, replies[1].second);
    EXPECT_EQ(form.move_count, 2);
    EXPECT_EQ(form.last_move_count, 2);
    EXPECT_EQ(form.move_x[2], replies[1].first);
    EXPECT_EQ(form.move_y[2], replies[1].second);
    log.clear();
    form.SUSUMU_Click();
    EXPECT_EQ(log, (Log{kPlayForbidden, "message 進む|進めません"}));
}

TEST_F(Navigation, AStepNeverMakesTheComputerMoveButTheNextClickDoes) {
    form.SENTE_Click();
    click(form, 4, 3);
    ASSERT_EQ(form.move_count, 2) << "the computer replied";
    const std::string reply = recordText(form, 2);

    log.clear();
    form.MODORU_Click();
    EXPECT_EQ(form.move_count, 1);
    EXPECT_EQ(form.side_to_move, form.computer_piece);
    form.MODORU_Click();
    form.SUSUMU_Click();
    EXPECT_EQ(form.side_to_move, form.computer_piece);
    EXPECT_TRUE(filtered(log, "marker").empty()) << "no search ran";
    EXPECT_EQ(form.move_count, 1);

    // Anywhere, even off the board: it is the computer's turn.
    form.Form_MouseDown(1, 0, 10, 10);
    EXPECT_EQ(form.move_count, 2);
    EXPECT_EQ(recordText(form, 2), reply) << "the same position gets the same reply";
    EXPECT_EQ(form.side_to_move, form.human_piece);
}

TEST_F(Navigation, StartingOverLeavesTheStartPositionWithNoGame) {
    form.START_Click();
    playRandom(6, 5);
    log.clear();
    form.SAISYO_Click();
    EXPECT_EQ(boardText(), kStartBoard);
    EXPECT_EQ(form.game_mode, Form1::no_side);
    EXPECT_EQ(form.side_to_move, Form1::no_side);
    EXPECT_EQ(form.move_count, 0);
    EXPECT_EQ(form.last_move_count, 0);
    EXPECT_EQ(filtered(log, "pic MASU").size() + filtered(log, "pic KOMA").size(), 81u)
        << "the board is redrawn";
    log.clear();
    click(form, 4, 3);
    EXPECT_EQ(window.messages.back(), "開始|対局で始めて下さい");
    EXPECT_EQ(boardText(), kStartBoard);
}

// ---- The hint after a step, with a book that knows the human's moves ----

struct NavigationHints : Navigation {
    std::string pos0, pos1, pos2;
    std::pair<int, int> move0{4, 3}, move1, move2;

    void SetUp() override {
        Navigation::SetUp();
        form.SENTE_Click();
        pos0 = humanKey(form);
        click(form, 4, 3);
        ASSERT_EQ(form.move_count, 2);
        pos2 = humanKey(form);
        move2 = legalSquares(boardText(), 'x').front();
        form.MODORU_Click();
        pos1 = humanKey(form);
        move1 = legalSquares(boardText(), 'x').front();
        form.SUSUMU_Click();
    }
    void loadKnown(bool withPos1, bool withPos2) {
        std::vector<std::string> lines{bookLine(pos0, move0.first, move0.second)};
        if (withPos1) lines.push_back(bookLine(pos1, move1.first, move1.second));
        if (withPos2) lines.push_back(bookLine(pos2, move2.first, move2.second));
        std::sort(lines.begin(), lines.end(),
                  [](const std::string& a, const std::string& b) { return std::stoi(a) < std::stoi(b); });
        loadBook(form, lines);
    }
    void coaching(bool on) { window.checks[static_cast<int>(MenuCheck::SINAN)] = on; }
    Log coachPictures() const {
        Log out = filtered(log, "pic SINAN");
        return out;
    }
};

TEST_F(NavigationHints, BackLooksTheHintUpOnlyWithCoachingOnAndTheHumanToMove) {
    loadKnown(true, true);
    coaching(false);
    log.clear();
    form.MODORU_Click();  // to position 1, the computer to move
    form.MODORU_Click();  // to position 0, the human to move, known to the book
    EXPECT_EQ(form.hint_available, Form1::no) << "coaching is off";
    EXPECT_EQ(coachPictures(), (Log{kCoachBlank, kCoachBlank}));

    form.SUSUMU_Click();
    form.SUSUMU_Click();
    coaching(true);
    log.clear();
    form.MODORU_Click();
    EXPECT_EQ(form.hint_available, Form1::no) << "the computer is to move";
    EXPECT_EQ(coachPictures(), (Log{kCoachBlank, kCoachMode}));
    log.clear();
    form.MODORU_Click();
    EXPECT_EQ(form.hint_available, Form1::yes);
    EXPECT_EQ(std::make_pair(form.hint_x, form.hint_y), move0);
    EXPECT_EQ(coachPictures(), (Log{kCoachBlank, kCoachMode, kCoachHint}));
}

TEST_F(NavigationHints, BackOntoTheHumansTurnUnknownToTheBookShowsTheModePicture) {
    loadKnown(false, false);
    coaching(true);
    click(form, move2.first, move2.second);  // and the computer's reply: position 4
    ASSERT_EQ(form.move_count, 4);
    form.MODORU_Click();
    form.hint_available = Form1::yes;  // whatever was pending, a step starts by clearing it
    log.clear();
    form.MODORU_Click();  // position 2: the human to move, not in this book
    EXPECT_EQ(form.side_to_move, form.human_piece);
    EXPECT_EQ(form.hint_available, Form1::no);
    EXPECT_EQ(coachPictures(), (Log{kCoachBlank, kCoachMode}));
}

TEST_F(NavigationHints, ForwardAlwaysLooksTheHintUpButDrawsItOnlyWithCoachingOn) {
    loadKnown(true, false);
    form.MODORU_Click();
    form.MODORU_Click();
    coaching(false);
    log.clear();
    form.SUSUMU_Click();  // position 1: the computer to move, but the book knows the human's move
    EXPECT_EQ(form.hint_available, Form1::yes);
    EXPECT_EQ(std::make_pair(form.hint_x, form.hint_y), move1);
    EXPECT_EQ(coachPictures(), (Log{kCoachBlank}));

    coaching(true);
    form.MODORU_Click();
    log.clear();
    form.SUSUMU_Click();
    EXPECT_EQ(coachPictures(), (Log{kCoachBlank, kCoachHint}));
    log.clear();
    form.SUSUMU_Click();  // position 2 is not in this book: coaching is on, so the mode picture
    EXPECT_EQ(form.hint_available, Form1::no);
    EXPECT_EQ(coachPictures(), (Log{kCoachBlank, kCoachMode}));
}

TEST_F(NavigationHints, AHintFoundByForwardIsEnforcedOnTheNextClick) {
    loadKnown(false, true);
    form.MODORU_Click();
    coaching(true);
    form.SUSUMU_Click();
    ASSERT_EQ(form.hint_available, Form1::yes);
    const auto others = legalSquares(boardText(), 'x');
    auto wrong = others.front() == move2 ? others.back() : others.front();
    ASSERT_NE(wrong, move2);
    const std::string shown = boardText();
    click(form, wrong.first, wrong.second);
    EXPECT_EQ(window.messages.back(), " ? ? ? ?|指南します");
    EXPECT_EQ(boardText(), shown);
    EXPECT_EQ(form.move_count, 2);
    click(form, move2.first, move2.second);
    EXPECT_GE(form.move_count, 3);
    EXPECT_EQ(form.move_x[3], move2.first);
    EXPECT_EQ(form.move_y[3], move2.second);
}

}  // namespace
