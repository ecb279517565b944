// SPDX-License-Identifier: GPL-3.0-or-later
// Coaching mode: the switch, and a human click while the book knows the human's move.

#include "tests/support/GameLog.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

struct Coaching : ResetGameFixture {
    bool coachingOn() const { return window.checks[static_cast<int>(MenuCheck::SINAN)]; }
};

TEST_F(Coaching, TheSwitchIsRefusedInATwoPlayerGameWithTheMessageAlone) {
    form.START_Click();
    log.clear();
    form.SINAN_Click();
    EXPECT_EQ(log, (Log{"message 指南モード|対COMでないとできません"})) << "no sound, no picture";
    EXPECT_FALSE(coachingOn());
}

TEST_F(Coaching, TheSwitchShowsTheModeOrTheHintPictureAndBlanksWhenTurnedOff) {
    form.SINAN_Click();  // no game yet: accepted
    EXPECT_EQ(log, (Log{"check SINAN on", kCoachMode}));
    log.clear();
    form.SINAN_Click();
    EXPECT_EQ(log, (Log{"check SINAN off", kCoachBlank}));
    form.hint_available = Form1::yes;
    form.hint_x = 4;
    form.hint_y = 3;
    log.clear();
    form.SINAN_Click();
    EXPECT_EQ(log, (Log{"check SINAN on", kCoachHint}));
    EXPECT_EQ(form.hint_available, Form1::yes) << "the switch does not look anything up";
}

// A game against the computer, two moves in, where the book knows the human's move; coaching is
// switched on and the hint is pending after a step forward.
struct CoachingHint : Coaching {
    std::pair<int, int> hint, wrong;
    std::string shown;

    void SetUp() override {
        Coaching::SetUp();
        form.SENTE_Click();
        click(form, 4, 3);
        ASSERT_EQ(form.move_count, 2);
        const auto squares = legalSquares(boardText(), 'x');
        ASSERT_GE(squares.size(), 2u);
        hint = squares.back();
        wrong = squares.front();
        loadBook(form, {bookLine(humanKey(form), hint.first, hint.second)});
        form.MODORU_Click();
        form.SINAN_Click();
        form.SUSUMU_Click();
        ASSERT_EQ(form.hint_available, Form1::yes);
        ASSERT_EQ(std::make_pair(form.hint_x, form.hint_y), hint);
        shown = boardText();
        log.clear();
    }
};

TEST_F(CoachingHint, AnotherLegalSquareIsAnsweredWithTheMessageAndThreeBlinksOfTheHintSquare) {
    form.Form_MouseDown(1, 0, 100 + 495 * wrong.first + 200, 100 + 615 * wrong.second + 300);
    const auto [hx, hy] = hint;
    Log expected{"message  ? ? ? ?|指南します"};
    for (int n = 0; n < 3; ++n)
        for (const auto& e : {koma(Form1::first_code, hx, hy), outline(hx, hy), std::string("refresh"),
                              std::string("wait 0.1"), masu(hx, hy), outline(hx, hy), std::string("refresh"),
                              std::string("wait 0.1")})
            expected.push_back(e);
    EXPECT_EQ(withoutCrumbs(log), expected);
    EXPECT_EQ(boardText(), shown);
    EXPECT_EQ(form.move_count, 2);
    EXPECT_EQ(form.side_to_move, form.human_piece);
    EXPECT_EQ(form.hint_available, Form1::yes) << "still pending";
}

TEST_F(CoachingHint, AClickOffTheBoardDoesNothingAtAll) {
    form.Form_MouseDown(1, 0, 300, 300);    // the label corner
    form.Form_MouseDown(1, 0, 5300, 3000);  // beside the board
    EXPECT_TRUE(log.empty());
}

TEST_F(CoachingHint, TheHintSquareIsPlayedAfterTheModePictureAndLaterPiecesStillBlinkThreeTimes) {
    click(form, wrong.first, wrong.second);  // refused, with its own three blinks
    log.clear();
    const auto [hx, hy] = hint;
    click(form, hx, hy);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), kCoachMode);
    EXPECT_EQ(log[1], kPlayPlace);
    ASSERT_GE(form.move_count, 4) << "placed, and the computer replied";
    EXPECT_EQ(form.move_x[3], hx);
    EXPECT_EQ(form.move_y[3], hy);
    EXPECT_EQ(countOf(log, masu(hx, hy)), Form1::blink_count);
    const int cx = form.move_x[4], cy = form.move_y[4];
    EXPECT_EQ(countOf(log, masu(cx, cy)), Form1::blink_count) << "the computer's piece too";
}

TEST_F(CoachingHint, SwitchingCoachingOffLiftsTheRestrictionAtOnce) {
    form.SINAN_Click();
    EXPECT_EQ(log, (Log{"check SINAN off", kCoachBlank}));
    click(form, wrong.first, wrong.second);
    EXPECT_TRUE(filtered(log, "message").empty());
    ASSERT_GE(form.move_count, 3);
    EXPECT_EQ(form.move_x[3], wrong.first);
    EXPECT_EQ(form.move_y[3], wrong.second);
}

// The book's move is known before coaching is switched on: the picture appears at once.
TEST_F(CoachingHint, SwitchingCoachingOnWithAPendingHintShowsItAtOnce) {
    form.SINAN_Click();
    form.MODORU_Click();
    form.SUSUMU_Click();  // looked up with coaching off: nothing drawn
    EXPECT_EQ(filtered(log, "pic SINAN"), (Log{kCoachBlank, kCoachBlank, kCoachBlank}));
    ASSERT_EQ(form.hint_available, Form1::yes);
    log.clear();
    form.SINAN_Click();
    EXPECT_EQ(log, (Log{"check SINAN on", kCoachHint}));
    click(form, wrong.first, wrong.second);
    EXPECT_EQ(window.messages.back(), " ? ? ? ?|指南します");
}

TEST_F(Coaching, ABookSquareTheHumanCannotPlayIsNoHint) {
    form.SENTE_Click();
    click(form, 4, 3);
    ASSERT_EQ(form.move_count, 2);
    // d4 is occupied: a faulty line must not lock the human out of every square.
    loadBook(form, {bookLine(humanKey(form), 4, 4)});
    form.MODORU_Click();
    form.SINAN_Click();
    form.SUSUMU_Click();
    EXPECT_EQ(form.hint_available, Form1::no);
    const auto square = legalSquares(boardText(), 'x').front();
    click(form, square.first, square.second);
    EXPECT_GE(form.move_count, 3);
}

// With coaching on, the picture shown after every command that changes the hint or clears the
// panel is the one the coaching table gives: 指南します while a hint is pending, 指南モード
// otherwise — also after a reset, a step forward to a position the book does not know, 逆転,
// and a computer turn that finds no hint.
struct CoachingPicture : Coaching {
    // The coaching picture on the panel now: the last one drawn since the panel was last erased.
    std::string shown() const {
        std::string picture = "none";
        for (const auto& e : log) {
            if (e.rfind("fill 5149,1945 ", 0) == 0) picture = "none";  // the panel erased
            if (e == kCoachBlank) picture = "blank";
            if (e == kCoachHint) picture = "hint";
            if (e == kCoachMode) picture = "mode";
        }
        return picture;
    }
    std::string expected() const {
        if (!coachingOn()) return "blank or none";
        return form.hint_available == Form1::yes ? "hint" : "mode";
    }
    void check(const char* after) {
        const std::string want = expected();
        if (want == "blank or none")
            EXPECT_TRUE(shown() == "blank" || shown() == "none") << after << ": " << shown();
        else
            EXPECT_EQ(shown(), want) << after;
    }
};

TEST_F(CoachingPicture, FollowsTheTableAfterEveryCommand) {
    form.SENTE_Click();
    form.SINAN_Click();
    check("switching on");
    click(form, 4, 3);  // the human's move and the computer's reply, no book: no hint
    ASSERT_EQ(form.move_count, 2);
    check("a computer turn without a hint");
    form.MODORU_Click();
    check("戻 to the computer's turn");
    form.SUSUMU_Click();
    check("進 to a position the book does not know");
    form.MODORU_Click();
    form.MODORU_Click();
    check("戻 to the start");
    loadBook(form, {bookLine(humanKey(form), 4, 3)});
    form.SUSUMU_Click();
    form.MODORU_Click();
    ASSERT_EQ(form.hint_available, Form1::yes);
    check("戻 to a position the book knows");
    form.SUSUMU_Click();
    form.GYAKU_Click();
    check("逆転");
    form.SAISYO_Click();
    check("最初");
    form.SENTE_Click();
    form.START_Click();
    EXPECT_FALSE(coachingOn()) << "START switches coaching off";
    check("START");
}

TEST_F(CoachingPicture, TheEndOfAGameKeepsTheModePictureWhenThePlayersGoOn) {
    form.SENTE_Click();
    form.SINAN_Click();
    window.answers.push_back(true);  // 続けます？ yes
    form.終了();
    EXPECT_EQ(form.game_mode, Form1::no_side);
    EXPECT_TRUE(coachingOn());
    EXPECT_EQ(shown(), "mode");
}

}  // namespace
