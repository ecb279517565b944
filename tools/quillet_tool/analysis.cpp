// SPDX-License-Identifier: GPL-3.0-or-later
// Analysis of one position with the computer player's own procedures, and the search bench.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <utility>
#include <vector>

#include "tools/quillet_tool/Commands.h"

namespace quillet::tool {

namespace {

CommandLine positionLine(const std::string& summary) {
    return CommandLine(summary).argument("FILE", "missing position file");
}

// Plays the legal square (x, y) for side on the board, without animation.
void play(Form1& f, int x, int y, int side, int opponent) {
    f.反転_仮(x, y, side, opponent);
    f.board(x, y) = side;
}

// One game with the search playing both sides from the position on the board.
void selfPlay(Form1& f, int side, BenchTotals& totals) {
    ++totals.games;
    int opponent = side == Form1::first_code ? Form1::second_code : Form1::first_code;
    for (;;) {
        if (f.置き場所があるか(side, opponent) == Form1::yes) {
            f.computer_piece = side;
            f.human_piece = opponent;
            int column = 0, row = 0;
            const long before = f.evaluation_calls;
            // The search is deterministic and leaves the board as it was, so it is timed as the
            // fastest of a few runs: on a shared machine one run may include time spent waiting
            // for the processor.
            double fastest = 0;
            for (int run = 0; run < totals.timing_runs; ++run) {
                const auto start = std::chrono::steady_clock::now();
                f.COM置場所取得(column, row);
                const auto stop = std::chrono::steady_clock::now();
                const double seconds = std::chrono::duration<double>(stop - start).count();
                if (run == 0 || seconds < fastest) fastest = seconds;
            }
            totals.seconds.push_back(fastest);
            totals.evaluations += (f.evaluation_calls - before) / totals.timing_runs;
            play(f, column, row, side, opponent);
        } else if (f.置き場所があるか(opponent, side) == Form1::no) {
            return;
        }
        std::swap(side, opponent);
    }
}

// Legal squares of side, in scan order.
std::vector<std::pair<int, int>> legalSquares(const Form1& f, int side, int opponent) {
    std::vector<std::pair<int, int>> squares;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (f.置けるか(x, y, side, opponent) == Form1::yes) squares.emplace_back(x, y);
    return squares;
}

}  // namespace

namespace {

// The search's square in the position file, with its value and the evaluations it made when
// `info`; "none" when the computer has no legal square.
int searchCommand(const std::string& file, const Output& o, bool info) {
    HeadlessGame game;
    Form1& f = game.form;
    loadPositionFile(file, f);
    if (f.置き場所があるか(f.computer_piece, f.human_piece) == Form1::no) {
        std::fprintf(o.out, "none\n");
        return 0;
    }
    int column = 0, row = 0;
    const long before = f.evaluation_calls;
    f.COM置場所取得(column, row);
    if (info)
        std::fprintf(o.out, "%s %d %ld\n", squareName(column, row).c_str(), f.best1,
                     f.evaluation_calls - before);
    else
        std::fprintf(o.out, "%s\n", squareName(column, row).c_str());
    return 0;
}

}  // namespace

const CommandLine& bestmoveLine() {
    static const CommandLine line = positionLine("the square the computer's search chooses, or none");
    return line;
}

const CommandLine& searchinfoLine() {
    static const CommandLine line = positionLine("chosen square, its value and the evaluations made");
    return line;
}

const CommandLine& evalLine() {
    static const CommandLine line = positionLine("the evaluation of the position for the computer's side");
    return line;
}

const CommandLine& safeLine() {
    static const CommandLine line = positionLine("the safe pieces of x, then of o");
    return line;
}

const CommandLine& benchLine() {
    static const CommandLine line = CommandLine(
                                        "search time per move over fixed self-play games, each search\n"
                                        "timed as the fastest of N runs (5)")
                                        .numberOption("--runs", "N", "runs", 1, 1000);
    return line;
}

int bestmoveCommand(const Args& args, const Output& o) {
    return searchCommand(bestmoveLine().parse(args).text("FILE"), o, false);
}

int searchinfoCommand(const Args& args, const Output& o) {
    return searchCommand(searchinfoLine().parse(args).text("FILE"), o, true);
}

int evalCommand(const Args& args, const Output& o) {
    HeadlessGame game;
    Form1& f = game.form;
    loadPositionFile(evalLine().parse(args).text("FILE"), f);
    std::fprintf(o.out, "%d\n", f.得点取得(f.computer_piece, f.human_piece));
    return 0;
}

int safeCommand(const Args& args, const Output& o) {
    HeadlessGame game;
    Form1& f = game.form;
    loadPositionFile(safeLine().parse(args).text("FILE"), f);
    std::fprintf(o.out, "%d %d\n", f.安全駒数(Form1::first_code, Form1::second_code),
                 f.安全駒数(Form1::second_code, Form1::first_code));
    return 0;
}

// Search time over a fixed set of self-play games: from the start and from every two-ply
// opening. The clock is virtual, so the marker's pauses cost nothing; only computing counts.
BenchTotals bench(int timingRuns) {
    BenchTotals totals;
    totals.timing_runs = timingRuns;
    HeadlessGame game;
    Form1& f = game.form;
    const int first = Form1::first_code, second = Form1::second_code;

    f.初期設定();
    selfPlay(f, first, totals);
    f.初期設定();
    const Grid<12> start = f.board;
    for (const auto& [x1, y1] : legalSquares(f, first, second)) {
        f.board = start;
        play(f, x1, y1, first, second);
        const Grid<12> afterOne = f.board;
        for (const auto& [x2, y2] : legalSquares(f, second, first)) {
            f.board = afterOne;
            play(f, x2, y2, second, first);
            selfPlay(f, first, totals);
        }
    }
    return totals;
}

int benchCommand(const Args& args, const Output& o) {
    const int runs = static_cast<int>(benchLine().parse(args).number("--runs", 5));
    const BenchTotals totals = bench(runs);

    std::vector<double> sorted = totals.seconds;
    std::sort(sorted.begin(), sorted.end());
    const std::size_t n = sorted.size();
    const double median = n == 0 ? 0 : n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
    const double worst = n == 0 ? 0 : sorted.back();
    double total = 0;
    for (double s : sorted) total += s;
    std::fprintf(
        o.out,
        "bench games %d searches %zu (fastest of %d runs each) median %.3f ms worst %.3f ms total %.3f s "
        "evals %ld evals/s %.0f\n",
        totals.games, n, totals.timing_runs, median * 1e3, worst * 1e3, total, totals.evaluations,
        total > 0 ? totals.evaluations / total : 0.0);
    return 0;
}

}  // namespace quillet::tool
