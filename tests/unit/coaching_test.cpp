// Coaching mode: the switch, and a human click while the book knows the human's move.

#include "tests/support/GameLog.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

struct Coaching : GameFixture {
    void SetUp() override {
        form.初期設定();
        useTestSounds(form);
        log.clear();
    }
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

}  // namespace
