// SPDX-License-Identifier: GPL-3.0-or-later
// Analysis of one position with the computer player's own procedures, and the search bench.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "tools/quillet_tool/Commands.h"
#include "tools/quillet_tool/PositionsAndPlayers.h"

namespace quillet::tool {

namespace {

CommandLine positionLine(const std::string& summary) {
    return CommandLine(summary).argument("FILE", "missing position file");
}

// One game with the search playing both sides from p.
void selfPlay(Form1& f, Form1::Position p, BenchTotals& totals) {
    ++totals.games;
    for (;;) {
        p.computer_piece = p.side_to_move;
        f.局面_設定(p);
        if (f.置き場所があるか(f.computer_piece, f.human_piece) == Form1::yes) {
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
            p = played(f, p, column, row);
        } else if (f.置き場所があるか(f.human_piece, f.computer_piece) == Form1::no) {
            return;
        } else {
            p.side_to_move = Form1::相手(p.side_to_move);
        }
    }
}

// The search's square in the position file, with its value and the evaluations it made when
// `info`; "none" when the computer has no legal square.
int searchCommand(const std::string& file, const Output& o, bool info) {
    HeadlessGame game;
    Form1& f = game.form;
    f.局面_設定(readPositionFile(file));
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
    f.局面_設定(readPositionFile(evalLine().parse(args).text("FILE")));
    std::fprintf(o.out, "%d\n", f.得点取得(f.computer_piece, f.human_piece));
    return 0;
}

int safeCommand(const Args& args, const Output& o) {
    HeadlessGame game;
    Form1& f = game.form;
    f.局面_設定(readPositionFile(safeLine().parse(args).text("FILE")));
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
    f.初期設定();
    Form1::Position start = f.局面_取得();
    start.side_to_move = Form1::first_code;
    selfPlay(f, start, totals);
    f.局面_設定(start);
    for (const auto& [x1, y1] : legalSquares(f, Form1::first_code)) {
        const Form1::Position afterOne = played(f, start, x1, y1);
        for (const auto& [x2, y2] : legalSquares(f, Form1::second_code))
            selfPlay(f, played(f, afterOne, x2, y2), totals);
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
