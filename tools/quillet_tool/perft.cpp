// SPDX-License-Identifier: GPL-3.0-or-later
// perft: leaves of the game tree from the start position, on the game's own rules.

#include <chrono>
#include <cstdio>

#include "tools/engine/Bitboard.h"
#include "tools/quillet_tool/Commands.h"

namespace quillet::tool {

// Leaves at `depth` plies below the position on form.board with `side` to move.
// A pass uses a ply; a finished game is one leaf.
unsigned long long perft(Form1& form, int depth, int side, int opponent) {
    if (depth == 0) return 1;
    const Grid<12> saved = form.board;
    unsigned long long leaves = 0;
    bool moved = false;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            if (form.置けるか(x, y, side, opponent) != Form1::yes) continue;
            moved = true;
            form.反転_仮(x, y, side, opponent);
            form.board(x, y) = side;
            leaves += perft(form, depth - 1, opponent, side);
            form.board = saved;
        }
    if (moved) return leaves;
    if (form.置き場所があるか(opponent, side) == Form1::yes) return perft(form, depth - 1, opponent, side);
    return 1;
}

const CommandLine& perftLine() {
    static const CommandLine line = CommandLine("leaves of the game tree N plies deep from the start")
                                        .number("N", "depth", 0, 40, "missing depth")
                                        .flag("--fast");
    return line;
}

int perftCommand(const Args& args, const Output& o) {
    const ParsedArgs parsed = perftLine().parse(args);
    const int depth = static_cast<int>(parsed.number("N"));
    if (parsed.flag("--fast")) {
        const auto start = std::chrono::steady_clock::now();
        const unsigned long long leaves = engine::perft(engine::Position::start(), depth);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::fprintf(o.out, "perft %d time %.3f s (bitboards, one thread) leaves %llu\n", depth, seconds,
                     leaves);
        return 0;
    }
    HeadlessGame game;
    game.form.初期設定();
    const auto start = std::chrono::steady_clock::now();
    const unsigned long long leaves = perft(game.form, depth, Form1::first_code, Form1::second_code);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::fprintf(o.out, "perft %d time %.3f s leaves %llu\n", depth, seconds, leaves);
    return 0;
}

}  // namespace quillet::tool
