// SPDX-License-Identifier: GPL-3.0-or-later
// Random sessions checked step by step against a plain model of the game record: placements
// through the mouse, 戻, 進, 逆転, 最初, the three game modes and the coaching switch, in games of
// two people and against the computer, with an opening book that knows early positions.

#include <algorithm>
#include <optional>
#include <random>
#include <set>

#include "tests/support/GameLog.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

constexpr int None = Form1::no_side;
int other(int side) { return Form1::相手(side); }
const char* sideName(int side) { return side == X ? "先手" : "後手"; }

// What the record should hold, and what the player should see beside it.
struct Model {
    std::vector<std::string> positions{kStartBoard};
    std::vector<int> sides{0};  // side to move in each position; 0 where nothing recorded it
    int current = 0;
    int mode = None;
    int human = X, computer = O;
    int side = None;
    bool coaching = false;
    bool hint = false;
    std::pair<int, int> hintSquare{0, 0};
    std::string picture = "blank";

    const std::string& board() const { return positions[current]; }
    int last() const { return static_cast<int>(positions.size()) - 1; }
};

struct RecordModel : GameFixture, ::testing::WithParamInterface<unsigned> {
    HeadlessGame oracleGame;
    Form1& oracle = oracleGame.form;  // answers book questions only

    Model m;
    std::mt19937 rng;
    Log expectedMessages;  // "*" stands for any one message
    int expectedForbidden = 0;
    int expectedEnds = 0;
    size_t computerMoves = 0;  // computer moves seen so far in this step
    size_t messagesSeen = 0;
    std::string shownPicture = "blank";

    void SetUp() override {
        rng.seed(GetParam());
        form.初期設定();
        useTestSounds(form);
        const auto book = makeBook();
        loadBook(form, book);
        loadBook(oracle, book);
    }

    int pick(int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); }

    std::string keyFor(const std::string& b, int human) {
        setBoardText(oracle, b);
        oracle.human_piece = human;
        oracle.computer_piece = other(human);
        return humanKey(oracle);
    }

    // Positions of short random games, each with a book move for both colours where they have one.
    std::vector<std::string> makeBook() {
        std::vector<std::string> lines;
        std::set<std::string> keys;
        for (int walk = 0; walk < 40; ++walk) {
            std::string b = kStartBoard;
            char mover = 'x';
            const int length = pick(9);
            for (int ply = 0; ply <= length; ++ply) {
                for (int human : {X, O}) {
                    const auto squares = legalSquares(b, letter(human));
                    if (squares.empty()) continue;
                    const std::string key = keyFor(b, human);
                    if (!keys.insert(key).second) continue;
                    const auto [x, y] = squares[pick(static_cast<int>(squares.size()))];
                    lines.push_back(bookLine(key, x, y));
                }
                auto moves = legalSquares(b, mover);
                if (moves.empty()) break;
                const auto [x, y] = moves[pick(static_cast<int>(moves.size()))];
                b = played(b, x, y, mover);
                mover = mover == 'x' ? 'o' : 'x';
            }
        }
        std::stable_sort(lines.begin(), lines.end(), [](const std::string& a, const std::string& b) {
            return std::stoi(a) < std::stoi(b);
        });
        return lines;
    }

    std::optional<std::pair<int, int>> bookHint(const std::string& b) {
        setBoardText(oracle, b);
        oracle.human_piece = m.human;
        oracle.computer_piece = m.computer;
        oracle.将棋盤_入替();
        int column = 0, row = 0;
        const int found = oracle.調査_定石有無(column, row);
        oracle.将棋盤_入替();
        if (found != Form1::yes) return std::nullopt;
        return std::make_pair(column, row);
    }

    // ---- The model's rules for each event ----

    void reset() {
        m.positions = {kStartBoard};
        m.sides = {0};
        m.current = 0;
        m.mode = None;
        m.side = None;
        m.hint = false;
        followTable();
    }

    // After every step that changes the hint or erases the picture, the picture is what the
    // coaching table says: blank with coaching off, else 指南します with a hint, 指南モード without.
    void followTable() { m.picture = m.coaching ? (m.hint ? "hint" : "mode") : "blank"; }

    void gameEnd() {
        for (const char* e : {"対局|終了しました", "*", "対局|続けます？"}) expectedMessages.push_back(e);
        ++expectedEnds;
        reset();
    }

    void record(int mover, int x, int y) {
        ASSERT_TRUE(legal(m.board(), x, y, letter(mover))) << x << "," << y;
        m.positions.resize(m.current + 1);
        m.sides.resize(m.current + 1);
        m.sides[m.current] = mover;
        m.positions.push_back(played(m.board(), x, y, letter(mover)));
        m.sides.push_back(0);
        ++m.current;
    }

    void hintAfterComputer() {
        if (auto h = bookHint(m.board())) {
            m.hint = true;
            m.hintSquare = *h;
        } else {
            m.hint = false;
        }
        followTable();
    }

    // The squares the computer played during this step, in order, as its animation shows them:
    // its half-second pause, the placing sound, then the first blink on the square.
    std::vector<std::pair<int, int>> computerSquaresShown() const {
        std::vector<std::pair<int, int>> out;
        const Log shown = withoutCrumbs(log);
        const std::string masuAt = "pic MASU @";
        for (size_t i = 0; i + 2 < shown.size(); ++i) {
            if (shown[i] != "wait 0.5" || shown[i + 1] != kPlayPlace || shown[i + 2].rfind(masuAt, 0) != 0)
                continue;
            const std::string point = shown[i + 2].substr(masuAt.size());
            const double X = std::stod(point), Y = std::stod(point.substr(point.find(',') + 1));
            out.emplace_back(static_cast<int>((X - 100) / 495), static_cast<int>((Y - 100) / 615));
        }
        return out;
    }

    // One turn of the computer; its square is read from the form's record, or from the screen when
    // the game ended in this step and the record was reset. 2 means it moves again.
    int computerTurn() {
        const char c = letter(m.computer), h = letter(m.human);
        if (!canMove(m.board(), c)) {
            if (!canMove(m.board(), h)) {
                gameEnd();
                return -1;
            }
            expectedMessages.push_back("ＣＯＭ|PASS");
            m.side = m.human;
            m.sides[m.current] = m.human;  // decided now; stepping back here must restore it
            hintAfterComputer();
            return 0;
        }
        const auto shown = computerSquaresShown();
        const size_t n = computerMoves++;
        if (n >= shown.size()) {
            ADD_FAILURE() << "the computer did not move at position " << m.current;
            return -1;
        }
        const int k = m.current + 1;
        if (form.last_move_count >= k) {
            EXPECT_EQ(std::make_pair(form.move_x[k], form.move_y[k]), shown[n]) << "recorded as played";
        }
        record(m.computer, shown[n].first, shown[n].second);
        if (canMove(m.board(), h)) {
            m.side = m.human;
            m.sides[m.current] = m.human;
            hintAfterComputer();
            return 1;
        }
        if (!canMove(m.board(), c)) {
            gameEnd();
            return -1;
        }
        expectedMessages.push_back("MAN|PASS");
        m.side = m.computer;
        hintAfterComputer();
        return 2;
    }

    void computerLoop() {
        while (computerTurn() == 2) {
        }
    }

    // ---- Operations on the form, each with the model's expectation ----

    std::pair<int, int> anySquare() { return {1 + pick(9), 1 + pick(9)}; }

    std::pair<int, int> illegalSquare(char me) {
        for (;;) {
            auto s = anySquare();
            if (!legal(m.board(), s.first, s.second, me)) return s;
        }
    }

    void opClick() {
        if (m.mode == None) {
            auto [x, y] = anySquare();
            click(form, x, y);
            expectedMessages.push_back("開始|対局で始めて下さい");
            ++expectedForbidden;
            return;
        }
        if (m.mode == Form1::mode_vs_computer && m.side == m.computer) {
            if (pick(2) == 0)
                form.Form_MouseDown(1, 0, 50, 50);  // off the board: still the computer's turn
            else
                click(form, 1 + pick(9), 1 + pick(9));
            computerLoop();
            return;
        }
        if (m.mode == Form1::mode_two_humans)
            twoPeopleClick();
        else
            humanClick();
    }

    void twoPeopleClick() {
        ASSERT_TRUE(m.side == X || m.side == O);
        const char s = letter(m.side), o = letter(other(m.side));
        const bool sideCan = canMove(m.board(), s), otherCan = canMove(m.board(), o);
        if (!sideCan && !otherCan) {
            auto [x, y] = anySquare();
            click(form, x, y);
            gameEnd();
            return;
        }
        if (!sideCan) {
            auto [x, y] = anySquare();
            click(form, x, y);
            expectedMessages.push_back(std::string(sideName(m.side)) + "|PASS");
            m.side = other(m.side);
            return;
        }
        if (pick(8) == 0) {
            auto [x, y] = illegalSquare(s);
            click(form, x, y);
            ++expectedForbidden;
            return;
        }
        const auto squares = legalSquares(m.board(), s);
        const auto [x, y] = squares[pick(static_cast<int>(squares.size()))];
        click(form, x, y);
        const int mover = m.side;
        record(mover, x, y);
        if (canMove(m.board(), o)) {
            m.side = other(mover);
        } else if (canMove(m.board(), s)) {
            expectedMessages.push_back(std::string(sideName(other(mover))) + "|PASS");
        } else {
            gameEnd();
            return;
        }
        m.sides[m.current] = m.side;
    }

    void humanClick() {
        const char h = letter(m.human);
        if (!canMove(m.board(), h)) {
            auto [x, y] = anySquare();
            click(form, x, y);
            expectedMessages.push_back("MAN|PASS");
            m.side = m.computer;
            computerLoop();
            return;
        }
        std::pair<int, int> square;
        if (m.coaching && m.hint) {
            if (pick(3) == 0) {
                auto s = anySquare();
                if (s != m.hintSquare) {
                    click(form, s.first, s.second);
                    expectedMessages.push_back(" ? ? ? ?|指南します");
                    return;
                }
            }
            square = m.hintSquare;
            m.picture = "mode";
        } else if (pick(8) == 0) {
            auto [x, y] = illegalSquare(h);
            click(form, x, y);
            ++expectedForbidden;
            return;
        } else {
            const auto squares = legalSquares(m.board(), h);
            square = squares[pick(static_cast<int>(squares.size()))];
        }
        click(form, square.first, square.second);
        record(m.human, square.first, square.second);
        m.side = m.computer;
        computerLoop();
    }

    void refused(const std::string& message) {
        expectedMessages.push_back(message);
        ++expectedForbidden;
    }

    void opBack() {
        form.MODORU_Click();
        if (m.current == 0) return refused("戻る|戻れません");
        --m.current;
        m.side = m.sides[m.current];
        ASSERT_NE(m.side, 0) << "position " << m.current << " was reached but its side never recorded";
        m.hint = false;
        if (m.coaching && m.side == m.human) {
            if (auto h = bookHint(m.board())) {
                m.hint = true;
                m.hintSquare = *h;
            }
        }
        followTable();
    }

    void opForward() {
        form.SUSUMU_Click();
        if (m.current == m.last()) return refused("進む|進めません");
        ++m.current;
        m.side = m.sides[m.current];
        ASSERT_NE(m.side, 0) << "position " << m.current << " was reached but its side never recorded";
        m.hint = false;
        if (auto h = bookHint(m.board())) {
            m.hint = true;
            m.hintSquare = *h;
        }
        followTable();
    }

    void opReverse() {
        form.GYAKU_Click();
        if (m.current == 0) return refused("逆転|最初からはできません");
        for (auto& p : m.positions) p = swappedFaces(p);
        for (auto& s : m.sides)
            if (s != 0) s = other(s);
        m.side = other(m.side);
        m.hint = false;
        followTable();
        if (m.mode == Form1::mode_vs_computer && m.side == m.computer) computerTurn();
    }

    void opStartOver() {
        form.SAISYO_Click();
        reset();
    }

    void opTwoPeople() {
        form.START_Click();
        m.hint = false;
        m.coaching = false;
        m.picture = "blank";
        if (m.mode == None) {
            m.human = X;
            m.computer = O;
            m.side = X;
        }
        m.mode = Form1::mode_two_humans;
        m.sides[m.current] = m.side;
    }

    void opAgainstComputer(int human) {
        human == X ? form.SENTE_Click() : form.GOTE_Click();
        m.mode = Form1::mode_vs_computer;
        m.human = human;
        m.computer = other(human);
        if (m.side == None) m.side = human == X ? m.human : m.computer;
        if (m.side == m.computer) computerLoop();
    }

    void opCoaching() {
        form.SINAN_Click();
        if (m.mode == Form1::mode_two_humans) {
            expectedMessages.push_back("指南モード|対COMでないとできません");
            return;
        }
        m.coaching = !m.coaching;
        followTable();
    }

    void doStep(int r, std::string& op, int& backs, int& forwards, int& reversals);

    // ---- Checks after every step ----

    void follow(const Log& stepLog) {
        for (const auto& e : stepLog) {
            if (e == kCoachBlank || e == kStatusCleared) shownPicture = "blank";
            if (e == kCoachHint) shownPicture = "hint";
            if (e == kCoachMode) shownPicture = "mode";
        }
    }

    void check(int step, const std::string& op) {
        SCOPED_TRACE("step " + std::to_string(step) + " " + op);
        follow(log);
        ASSERT_EQ(boardText(), m.board());
        ASSERT_EQ(form.move_count, m.current);
        ASSERT_EQ(form.last_move_count, m.last());
        for (int k = 0; k <= m.last(); ++k) {
            ASSERT_EQ(recordText(form, k), m.positions[k]) << "position " << k;
            if (m.sides[k] != 0) {
                ASSERT_EQ(form.move_side[k], m.sides[k]) << "side of position " << k;
            }
        }
        ASSERT_EQ(form.game_mode, m.mode);
        ASSERT_EQ(form.side_to_move, m.side);
        if (m.side != None) {
            ASSERT_EQ(form.other_side, other(m.side));
        }
        if (m.mode == Form1::mode_vs_computer) {
            ASSERT_EQ(form.human_piece, m.human);
            ASSERT_EQ(form.computer_piece, m.computer);
        }
        ASSERT_EQ(form.hint_available == Form1::yes, m.hint);
        if (m.hint) {
            ASSERT_EQ(std::make_pair(form.hint_x, form.hint_y), m.hintSquare);
        }
        ASSERT_EQ(window.checks[static_cast<int>(MenuCheck::SINAN)], m.coaching);
        ASSERT_EQ(shownPicture, m.picture);

        const Log said(window.messages.begin() + static_cast<long>(messagesSeen), window.messages.end());
        messagesSeen = window.messages.size();
        ASSERT_EQ(said.size(), expectedMessages.size()) << ::testing::PrintToString(said);
        for (size_t i = 0; i < said.size(); ++i)
            if (expectedMessages[i] != "*") {
                ASSERT_EQ(said[i], expectedMessages[i]);
            }
        ASSERT_EQ(countOf(log, kPlayForbidden), expectedForbidden);
        ASSERT_EQ(static_cast<int>(filtered(log, "ask 対局|続けます？").size()), expectedEnds);
    }
};

TEST_P(RecordModel, EveryStepKeepsTheRecordTheBoardAndTheTurnInStep) {
    int passes = 0;
    int placements = 0, backs = 0, forwards = 0, reversals = 0, games = 0;
    bool sawComputerGame = false, sawTwoPeople = false;
    for (int step = 0; step < 700; ++step) {
        log.clear();
        expectedMessages.clear();
        expectedForbidden = 0;
        expectedEnds = 0;
        computerMoves = 0;
        const int before = m.last();
        std::string op;
        // The later seeds mostly play, so that games reach passes and their end.
        const int r = GetParam() > 3 && pick(10) < 6 ? 0 : pick(100);
        doStep(r, op, backs, forwards, reversals);
        if (::testing::Test::HasFatalFailure()) return;
        games += expectedEnds;
        for (const auto& e : expectedMessages) passes += e.find("|PASS") != std::string::npos;
        if (m.last() > before) ++placements;
        sawComputerGame |= m.mode == Form1::mode_vs_computer;
        sawTwoPeople |= m.mode == Form1::mode_two_humans;
        check(step, op);
        if (::testing::Test::HasFatalFailure()) return;
    }
    // The session really went through the record and both kinds of game; the playing seeds
    // also through passes and to the end of games.
    EXPECT_GT(placements, 100);
    EXPECT_GT(backs, 20);
    EXPECT_GT(forwards, 20);
    EXPECT_GT(reversals, 10);
    EXPECT_TRUE(sawComputerGame && sawTwoPeople);
    if (GetParam() > 3) {
        EXPECT_GE(games, 3);
        EXPECT_GE(passes, 3);
    }
    RecordProperty("games_finished", games);
    RecordProperty("passes", passes);
}

void RecordModel::doStep(int r, std::string& op, int& backs, int& forwards, int& reversals) {
    if (m.mode == None && r < 60) {
        const int which = pick(10);
        op = which < 4 ? "START" : which < 7 ? "先手" : which < 9 ? "後手" : "指南";
        if (which < 4)
            opTwoPeople();
        else if (which < 9)
            opAgainstComputer(which < 7 ? X : O);
        else
            opCoaching();
    } else if (r < 55) {
        op = "click";
        opClick();
    } else if (r < 70) {
        op = "戻";
        opBack();
        ++backs;
    } else if (r < 82) {
        op = "進";
        opForward();
        ++forwards;
    } else if (r < 88) {
        op = "逆転";
        opReverse();
        ++reversals;
    } else if (r < 90) {
        op = "最初";
        opStartOver();
    } else if (r < 93) {
        op = "START";
        opTwoPeople();
    } else if (r < 96) {
        op = pick(2) ? "先手" : "後手";
        opAgainstComputer(op == "先手" ? X : O);
    } else {
        op = "指南";
        opCoaching();
    }
}

// The human's move leaves the computer without a square: the human is to move again in the new
// position, and stepping away and back must say so (not a side left over in the record).
TEST(RecordAfterAPass, TheComputersPassRecordsTheHumanAsToMove) {
    Log log;
    RecordingWindow window{log};
    RecordingClock clock{log};
    RecordingSound sound{log};
    Form1 form{window, clock, sound};
    form.初期設定();
    form.move_side[1] = Form1::no_side;  // what an unwritten entry holds
    setBoardText(form,
                 ".........\n.........\n.........\n.........\n.........\n.........\n.........\n"
                 ".........\nxxxxxo.o.\n");
    form.将棋盤_保存(0);
    form.game_mode = Form1::mode_vs_computer;
    form.human_piece = form.side_to_move = X;
    form.computer_piece = form.other_side = O;

    click(form, 7, 9);  // turns f9; 歩 on h9 is then out of reach of every line
    ASSERT_EQ(form.move_count, 1);
    ASSERT_EQ(window.messages, (Log{"ＣＯＭ|PASS"}));
    EXPECT_EQ(form.move_side[1], X);
    form.MODORU_Click();
    form.SUSUMU_Click();
    EXPECT_EQ(form.side_to_move, X);
    click(form, 9, 9);  // the last move: every piece is と
    EXPECT_EQ(filtered(log, "ask ").size(), 1u) << "the game was played to its end, not refused";
}

INSTANTIATE_TEST_SUITE_P(Seeds, RecordModel, ::testing::Values(1u, 2u, 3u, 4u, 5u, 6u));

}  // namespace
