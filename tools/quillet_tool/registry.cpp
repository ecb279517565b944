// SPDX-License-Identifier: GPL-3.0-or-later
// The executable's names and usage lines for the commands of the library (Commands.h).

#include "tools/quillet_tool/Commands.h"

namespace quillet::tool {
namespace {

// The command writing to the standard streams.
CommandFn standard(int (*command)(const Args&, const Output&)) {
    return [command](const Args& args) { return command(args, Output{}); };
}

Registrar registrars[] = {
    {"bestmove", "FILE  the square the computer's search chooses, or none", standard(bestmoveCommand)},
    {"eval", "FILE  the evaluation of the position for the computer's side", standard(evalCommand)},
    {"safe", "FILE  the safe pieces of x, then of o", standard(safeCommand)},
    {"searchinfo", "FILE  chosen square, its value and the evaluations made", standard(searchinfoCommand)},
    {"bench",
     "[--runs N]  search time per move over fixed self-play games, each search\n"
     "      timed as the fastest of N runs (5)",
     standard(benchCommand)},
    {"book", "[--lines N] [--depth D] [--out FILE]  write the opening book (default Quillet.定石)",
     standard(bookCommand)},
    {"bookgain",
     "[--book FILE] [--depth D]  engine value of each book move minus that of the game's own search's move "
     "(default Quillet.定石, depth 10)",
     standard(bookgainCommand)},
    {"string", "FILE ORIENTATION  the book text of a position read in orientation 0..3", standard(stringCommand)},
    {"lookup", "BOOK FILE  the book's move for the computer in a position, or none", standard(lookupCommand)},
    {"match",
     "[--book FILE] [--random PAIRS] [--opponent-depth D]  the computer with its book against play without it",
     standard(matchCommand)},
    {"perft", "N [--fast]  leaves of the game tree N plies deep from the start", standard(perftCommand)},
    {"selfplay",
     "N [--seed S] [--book FILE]  N whole games of the computer against itself, checking the record after every "
     "step",
     standard(selfplayCommand)},
};

}  // namespace
}  // namespace quillet::tool
