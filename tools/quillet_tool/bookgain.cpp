// SPDX-License-Identifier: GPL-3.0-or-later
// bookgain: what the book's moves are worth over the moves the computer's own three-ply search
// would play in the same positions, as the bitboard engine values both.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <thread>
#include <vector>

#include "tools/engine/Book.h"
#include "tools/engine/Search.h"
#include "tools/engine/WorkerPool.h"
#include "tools/quillet_tool/Commands.h"
#include "tools/quillet_tool/PositionsAndPlayers.h"

namespace quillet::tool {

namespace {

struct Measured {
    int bookMove = -1;
    int searchMove = -1;
    int gain = 0;  // engine units
    int ply = 0;
};

// The book's move and the game's search's move in `p`, and how much more the engine values the
// book's.
Measured measure(GameComputer& computer, engine::Searcher& searcher, const engine::Position& p, int bookMove,
                 int depth) {
    Measured m;
    m.bookMove = bookMove;
    const auto [column, row] = computer.choose(gamePosition(p, Form1::first_code));
    m.searchMove = engine::squareIndex(column, row);
    m.ply = engine::popcount(p.own | p.opp) - 4;
    if (m.searchMove != m.bookMove) {
        // Each move's value: the opponent's best reply searched one ply less, negated.
        const int book = -searcher.value(p.play(m.bookMove), depth - 1);
        const int game3 = -searcher.value(p.play(m.searchMove), depth - 1);
        m.gain = book - game3;
    }
    return m;
}

struct BookMoves {
    std::vector<engine::Position> positions;
    std::vector<int> moves;  // the book's move in each, as a bit index
};

// Every line of the book at `path`, checked: a key the game writes and a move legal there.
BookMoves readBook(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw InputError("cannot open book '" + path + "'");
    BookMoves book;
    int number = 0;
    // Split into lines as the game splits its book, so that the tool measures what the game reads.
    book_format::readLines(in, [&](const std::string& line) {
        ++number;
        std::string error;
        const auto entry = engine::parseBookLine(line, error);
        if (!entry) throw InputError(path + ": line " + std::to_string(number) + ": " + error);
        const engine::Position p = *engine::decodeKey(entry->key, error);
        const int move = engine::squareIndex(entry->column, entry->row);
        if (!(engine::legalMoves(p.own, p.opp) & engine::bitAt(move)))
            throw InputError(path + ": line " + std::to_string(number) + ": the move is not legal there");
        book.positions.push_back(p);
        book.moves.push_back(move);
        return true;
    });
    if (book.positions.empty()) throw InputError("book '" + path + "' has no lines");
    return book;
}

// measure() on every line, on two threads where there are two cores, with progress on o.err.
std::vector<Measured> measureAll(const BookMoves& book, int depth, const Output& o,
                                 std::chrono::steady_clock::time_point start) {
    std::vector<Measured> results(book.positions.size());
    engine::Throttle throttle(std::chrono::seconds(5));
    const int threads = static_cast<int>(std::max(1u, std::min(2u, std::thread::hardware_concurrency())));
    engine::forEachIndex(
        book.positions.size(), threads,
        [&] {
            return [&, computer = std::make_unique<GameComputer>(),
                    searcher = engine::Searcher(20)](std::size_t i) mutable {
                results[i] = measure(*computer, searcher, book.positions[i], book.moves[i], depth);
            };
        },
        throttle,
        [&](std::size_t done) {
            std::fprintf(o.err, "bookgain: %zu of %zu positions, %.0f s\n", done, book.positions.size(),
                         std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        });
    return results;
}

void printSummary(const std::vector<Measured>& results, int depth, const Output& o,
                  std::chrono::steady_clock::time_point start) {
    long long total = 0;
    int differ = 0, worse = 0;
    for (const Measured& m : results) {
        total += m.gain;
        if (m.bookMove != m.searchMove) ++differ;
        if (m.gain < 0) ++worse;
    }
    const double n = static_cast<double>(results.size());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::fprintf(
        o.out,
        "bookgain positions %zu differ %d (%.1f%%) mean gain %.2f discs per position, %.2f where they "
        "differ; book move valued lower in %d; depth %d time %.1f s\n",
        results.size(), differ, 100.0 * differ / n, total / n / engine::kDisc,
        differ ? static_cast<double>(total) / differ / engine::kDisc : 0.0, worse, depth, seconds);
}

}  // namespace

const CommandLine& bookgainLine() {
    static const CommandLine line = CommandLine(
                                        "engine value of each book move minus that of the game's own "
                                        "search's move (default Quillet.定石, "
                                        "depth 10)")
                                        .option("--book", "FILE")
                                        .numberOption("--depth", "D", "depth", 1, 30);
    return line;
}

int bookgainCommand(const Args& args, const Output& o) {
    const ParsedArgs parsed = bookgainLine().parse(args);
    const std::string path = parsed.text("--book", "Quillet.定石");
    const int depth = static_cast<int>(parsed.number("--depth", 10));
    const BookMoves book = readBook(path);
    const auto start = std::chrono::steady_clock::now();
    printSummary(measureAll(book, depth, o, start), depth, o, start);
    return 0;
}

}  // namespace quillet::tool
