// SPDX-License-Identifier: GPL-3.0-or-later
// selfplay: a soak of whole games, the computer against itself, driven only through the game's
// own handlers, with the record's invariants checked after every step.

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "tools/quillet_tool/Commands.h"
#include "tools/quillet_tool/PositionsAndPlayers.h"

namespace quillet::tool {

const CommandLine& selfplayLine() {
    static const CommandLine line =
        CommandLine("N whole games of the computer against itself, checking the record after every step")
            .number("N", "number of games", 1, 100000000, "missing the number of games")
            .numberOption("--seed", "S", "seed", 0, 2147483647)
            .option("--book", "FILE");
    return line;
}

namespace {

constexpr int kMaxActionsPerGame = 3000;  // a whole game needs a few hundred at most
constexpr int kReportedFailures = 20;

struct Options {
    long games = 0;
    unsigned long seed = 1;
    std::string book;  // empty: the game's own lookup of "Quillet.定石" in the working directory
};

Options parseOptions(const Args& args) {
    const ParsedArgs parsed = selfplayLine().parse(args);
    Options o;
    o.games = parsed.number("N");
    o.seed = static_cast<unsigned long>(parsed.number("--seed", static_cast<long>(o.seed)));
    o.book = parsed.text("--book");
    if (!o.book.empty() && (std::filesystem::is_directory(o.book) || !std::ifstream(o.book)))
        throw InputError("cannot open book file '" + o.book + "'");
    return o;
}

class Soak {
public:
    Soak(const Options& options, const Output& output)
        : options_(options), output_(output), random_(options.seed) {}

    int run() {
        const auto start = std::chrono::steady_clock::now();
        form_.Form_Load();
        if (!options_.book.empty()) form_.定石ファイル読込(options_.book);
        bookLines_ = form_.book_line_count;
        for (long g = 1; g <= options_.games; ++g) {
            game_ = g;
            const long before = failures_;
            playOneGame();
            if (failures_ == before)
                ++passed_;
            else
                ++failed_;
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::fprintf(
            output_.out,
            "selfplay: games %ld, moves checked %ld, failures %ld, book lines %d, book hints seen %ld, "
            "seed %lu, %.1f s\n",
            options_.games, movesChecked_, failures_, bookLines_, bookHints_, options_.seed, seconds);
        std::fprintf(output_.out, "%ld passed, %ld failed\n", passed_, failed_);
        return failed_ == 0 ? 0 : 1;
    }

private:
    int rand(int n) { return static_cast<int>(random_() % static_cast<unsigned long>(n)); }
    bool chance(int percent) { return rand(100) < percent; }

    void fail(const std::string& what) {
        ++failures_;
        if (failures_ <= kReportedFailures)
            std::fprintf(output_.err, "selfplay: game %ld, move %d, after %s: %s\n", game_, form_.move_count,
                         action_.c_str(), what.c_str());
    }

    // A press in the middle of square (x, y), as the window delivers it.
    void click(int x, int y) {
        form_.Form_MouseDown(1, 0, Form1::board_left + Form1::square_width * (x + 0.5),
                             Form1::board_top + Form1::square_height * (y + 0.5));
        form_.Form_MouseUp(1, 0, 0, 0);
    }

    std::vector<Square> legal(int side) const { return legalSquares(form_, side); }

    bool gameOver() const { return form_.game_mode == Form1::no_side; }

    // What must hold whenever the game waits for the user.
    void check() {
        Form1& f = form_;
        if (f.move_count < 0 || f.move_count > f.last_move_count || f.last_move_count > 77) {
            fail("counters move_count " + std::to_string(f.move_count) + ", last_move_count " +
                 std::to_string(f.last_move_count));
            return;
        }
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y)
                if (f.board(x, y) != f.position_record[f.move_count](x, y)) {
                    fail("board differs from position_record[move_count] at " + squareName(x, y));
                    return;
                }
        for (int x = 0; x <= 10; ++x)
            for (int y = 0; y <= 10; ++y)
                if ((x == 0 || y == 0 || x == 10 || y == 10) && f.board(x, y) != Form1::empty_code) {
                    fail("the ring round the board is not empty");
                    return;
                }
        const int pieces = f.調査_駒数(Form1::first_code) + f.調査_駒数(Form1::second_code);
        if (pieces != 4 + f.move_count)
            fail(std::to_string(pieces) + " pieces on the board at move " + std::to_string(f.move_count));
        if (f.side_to_move != Form1::no_side) {
            if (f.last_move_count > 0 && f.move_side[f.move_count] != f.side_to_move)
                fail("move_side[move_count] is " + std::to_string(f.move_side[f.move_count]) +
                     ", side_to_move " + std::to_string(f.side_to_move));
            if (f.other_side != Form1::相手(f.side_to_move))
                fail("other_side is not the opponent of side_to_move");
        }
        for (int k = 1; k <= f.move_count; ++k)
            if (f.board(f.move_x[k], f.move_y[k]) == Form1::empty_code) {
                fail("the square of move " + std::to_string(k) + " is empty");
                break;
            }
        if (f.hint_available == Form1::yes) {
            ++bookHints_;
            if (f.hint_x < 1 || f.hint_x > 9 || f.hint_y < 1 || f.hint_y > 9)
                fail("hint square off the board");
        }
        ++movesChecked_;
    }

    // 戻 and 進, each checked against the refusal rule: refused exactly at the ends of the record.
    void stepBack() {
        action_ = "戻";
        const int before = form_.move_count;
        const int messages = window().messages;
        form_.MODORU_Click();
        const bool refused = window().messages > messages;
        if (refused != (before == 0))
            fail(refused ? "戻 refused inside the record" : "戻 accepted at position 0");
        if (form_.move_count != (refused ? before : before - 1)) fail("戻 did not step back one position");
    }

    void stepForward() {
        action_ = "進";
        const int before = form_.move_count;
        const bool newest = before == form_.last_move_count;
        const int messages = window().messages;
        form_.SUSUMU_Click();
        const bool refused = window().messages > messages;
        if (refused != newest)
            fail(refused ? "進 refused below the newest position" : "進 accepted at the newest");
        if (form_.move_count != (refused ? before : before + 1)) fail("進 did not step forward one position");
    }

    void exchangeSides() {
        action_ = "逆転";
        form_.GYAKU_Click();
    }

    // The human's side, played as the computer would: the book's hint when it is playable,
    // otherwise the search for the human's pieces, on a copy of the position.
    void humanMove() {
        Form1& f = form_;
        const auto squares = legal(f.human_piece);
        if (squares.empty()) {  // any click lets the game announce the pass
            action_ = "a click with no legal square";
            click(5, 5);
            return;
        }
        int x = 0, y = 0;
        if (f.hint_available == Form1::yes &&
            f.置けるか(f.hint_x, f.hint_y, f.human_piece, f.computer_piece) == Form1::yes) {
            x = f.hint_x, y = f.hint_y;
        } else {
            Form1::Position p = f.局面_取得();
            p.side_to_move = f.human_piece;
            std::tie(x, y) = humanSearch_.choose(p);
        }
        action_ = "the human's move " + squareName(x, y);
        click(x, y);
    }

    void computerMove() {
        action_ = "a click on the computer's turn";
        click(1 + rand(9), 1 + rand(9));
    }

    void playOneGame() {
        Form1& f = form_;
        if (!gameOver()) {
            action_ = "最初";
            f.SAISYO_Click();
        }
        // A few random plies between two people, then the computer takes over both sides.
        action_ = "START";
        f.START_Click();
        check();
        const int plies = rand(7);
        for (int i = 0; i < plies; ++i) {
            const auto squares = legal(f.side_to_move);
            if (squares.empty()) break;
            const auto [x, y] = squares[rand(static_cast<int>(squares.size()))];
            action_ = "the opening move " + squareName(x, y);
            click(x, y);
            check();
        }
        if (chance(50)) {
            action_ = "先手";
            f.SENTE_Click();
        } else {
            action_ = "後手";
            f.GOTE_Click();
        }
        if (gameOver()) return;  // the computer's first reply may already have ended it
        check();

        for (int actions = 0; actions < kMaxActionsPerGame; ++actions) {
            const int roll = rand(100);
            if (roll < 4)
                stepBack();
            else if (roll < 7)
                stepForward();
            else if (roll < 9)
                exchangeSides();
            else if (f.side_to_move == f.computer_piece)
                computerMove();
            else
                humanMove();
            if (gameOver()) return;
            check();
        }
        fail("the game did not end within " + std::to_string(kMaxActionsPerGame) + " actions");
    }

    NullWindow& window() { return game_state_.window; }

    Options options_;
    Output output_;
    std::mt19937_64 random_;
    HeadlessGame game_state_;
    Form1& form_ = game_state_.form;
    GameComputer humanSearch_;  // without a book: the search alone
    long game_ = 0;
    std::string action_;
    long movesChecked_ = 0;
    long bookHints_ = 0;
    long failures_ = 0;
    long passed_ = 0;
    long failed_ = 0;
    int bookLines_ = 0;
};

}  // namespace

int selfplayCommand(const Args& args, const Output& o) {
    const Options options = parseOptions(args);
    Soak soak(options, o);
    try {
        return soak.run();
    } catch (const ProgramTerminated&) {
        // Only declining "続けます？" or a way out ends the program; the soak does neither.
        std::fprintf(o.err, "selfplay: the game ended the program\n");
        std::fprintf(o.out, "0 passed, 1 failed\n");
        return 1;
    }
}

}  // namespace quillet::tool
