// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// quillet-tool's subcommands, a library that the executable and the tests both call: each takes
// its arguments and where to write, and returns the exit code. registry.cpp names them for the
// executable, so adding one never touches main.cpp.

#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "game/Form1.h"
#include "tools/headless/Headless.h"
#include "tools/quillet_tool/CommandLine.h"

namespace quillet::tool {

// Returns the exit code; throws UsageError for bad arguments (exit 2) and InputError for a file
// that cannot be read or written or does not hold what it should (exit 1).
using CommandFn = std::function<int(const Args& args)>;

struct InputError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Registrar {
    Registrar(const std::string& name, const CommandLine& line, CommandFn fn);
};

// Where a command writes: its answer to `out`, progress and failures to `err`.
struct Output {
    std::FILE* out = stdout;
    std::FILE* err = stderr;
};

// The subcommands. Each throws UsageError for bad arguments and InputError for bad input.
int bestmoveCommand(const Args& args, const Output& o);
int evalCommand(const Args& args, const Output& o);
int safeCommand(const Args& args, const Output& o);
int searchinfoCommand(const Args& args, const Output& o);
int benchCommand(const Args& args, const Output& o);
int bookCommand(const Args& args, const Output& o);
int bookgainCommand(const Args& args, const Output& o);
int lookupCommand(const Args& args, const Output& o);
int stringCommand(const Args& args, const Output& o);
int matchCommand(const Args& args, const Output& o);
int perftCommand(const Args& args, const Output& o);
int selfplayCommand(const Args& args, const Output& o);

// Their command lines, in the same order.
const CommandLine& bestmoveLine();
const CommandLine& evalLine();
const CommandLine& safeLine();
const CommandLine& searchinfoLine();
const CommandLine& benchLine();
const CommandLine& bookLine();
const CommandLine& bookgainLine();
const CommandLine& lookupLine();
const CommandLine& stringLine();
const CommandLine& matchLine();
const CommandLine& perftLine();
const CommandLine& selfplayLine();

// Leaves at `depth` plies below the position on form.board with `side` to move, by the game's
// own rules (the board is left as it was). A pass uses a ply; a finished game is one leaf.
unsigned long long perft(Form1& form, int depth, int side, int opponent);

// The search over the bench's fixed self-play games: from the start and from every two-ply
// opening, the search playing both sides. The evaluation total is a signature of the search.
struct BenchTotals {
    int timing_runs = 5;
    int games = 0;
    std::vector<double> seconds;  // one per search, the fastest of timing_runs
    long evaluations = 0;
};
BenchTotals bench(int timingRuns);

// Reads a position file (9 rows of 9 of x o ., then "computer x|o"): the computer to move.
// Throws InputError naming the file and line on malformed input.
Form1::Position readPositionFile(const std::string& path);
// Square as text: column letter and row digit, "e6".
std::string squareName(int column, int row);

}  // namespace quillet::tool
