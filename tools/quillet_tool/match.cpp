// SPDX-License-Identifier: GPL-3.0-or-later
// match: what the opening book is worth to the computer in play (the options: quillet-tool(6)).
// The computer is the game's own choice (Form1::COM手選択); the two games of a --random pair share
// their random stream, so their results differ only by the book.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "tools/engine/Search.h"
#include "tools/quillet_tool/Commands.h"
#include "tools/quillet_tool/PositionsAndPlayers.h"

namespace quillet::tool {
namespace {

using Position = Form1::Position;

constexpr int X = Form1::first_code;
constexpr int O = Form1::second_code;
constexpr int kRandomOpponentMoves = 4;

Position startPosition(Form1& f) {
    f.初期設定();
    Position p = f.局面_取得();
    p.side_to_move = X;
    return p;
}

// The legal squares of p's side to move, p put on f's board.
std::vector<Square> legalIn(Form1& f, const Position& p) {
    f.局面_設定(p);
    return legalSquares(f, p.side_to_move);
}

class EnginePlayer : public Player {
public:
    explicit EnginePlayer(int depth) : depth_(depth), searcher_(18) {}
    Square choose(const Position& p) override {
        const int move = searcher_.search(enginePosition(p), depth_).move;
        return {engine::columnOf(move), engine::rowOf(move)};
    }

private:
    int depth_;
    engine::Searcher searcher_;
};

struct Result {
    int ownDiscs = 0;  // of the side under test
    int otherDiscs = 0;
    int outcome() const { return (ownDiscs > otherDiscs) - (ownDiscs < otherDiscs); }
};

// Plays p to its end: `tested` has the pieces of code `side`, `opponent` the others. With
// `random`, the opponent's first kRandomOpponentMoves moves are drawn from it.
Result playOut(Form1& rules, Position p, Player& tested, int side, Player& opponent, std::mt19937* random) {
    int randomLeft = random ? kRandomOpponentMoves : 0;
    for (int passes = 0; passes < 2;) {
        const auto squares = legalIn(rules, p);
        if (squares.empty()) {
            p.side_to_move = Form1::相手(p.side_to_move);
            ++passes;
            continue;
        }
        passes = 0;
        Square square;
        if (p.side_to_move == side) {
            square = tested.choose(p);
        } else if (randomLeft > 0) {
            --randomLeft;
            square = squares[std::uniform_int_distribution<std::size_t>(0, squares.size() - 1)(*random)];
        } else {
            square = opponent.choose(p);
        }
        p = played(rules, p, square.first, square.second);
    }
    Result r;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            r.ownDiscs += p.cells(x, y) == side;
            r.otherDiscs += p.cells(x, y) == Form1::相手(side);
        }
    return r;
}

const char* sideName(int side) { return side == X ? "と" : "歩"; }

struct MatchOptions {
    std::string book = "Quillet.定石";
    long pairs = 0;         // 0: the openings match
    int opponentDepth = 0;  // 0: the opponent is the computer without its book
    long openings = 0;      // of the openings match, the first this many; 0: all of them
};

MatchOptions parseMatchOptions(const Args& args) {
    const ParsedArgs parsed = matchLine().parse(args);
    MatchOptions m;
    m.book = parsed.text("--book", m.book);
    m.pairs = parsed.number("--random", m.pairs);
    m.opponentDepth = static_cast<int>(parsed.number("--opponent-depth", m.opponentDepth));
    m.openings = parsed.number("--openings", m.openings);
    return m;
}

// The players of a match: the computer with its book, without it, and the opponent of both
// (the computer without its book unless the engine is asked for).
struct Match {
    explicit Match(const MatchOptions& m) : withBook(m.book), without("") {
        if (withBook.bookLines() == 0) throw InputError("book '" + m.book + "' has no lines");
        if (m.opponentDepth > 0) engineOpponent = std::make_unique<EnginePlayer>(m.opponentDepth);
        start = startPosition(rulesGame.form);
    }
    Player& opponent() { return engineOpponent ? *engineOpponent : static_cast<Player&>(without); }

    HeadlessGame rulesGame;
    GameComputer withBook;
    GameComputer without;
    std::unique_ptr<Player> engineOpponent;
    Position start;
};

// Pairs of games from the start, the opponent opening at random the same way in both games of
// a pair; only the book differs between them.
void randomPairs(Match& match, const MatchOptions& m, const Output& o) {
    Form1& rules = match.rulesGame.form;
    long better = 0, worse = 0, sumWith = 0, sumWithout = 0;
    for (long g = 0; g < m.pairs; ++g) {
        const int side = g % 2 ? O : X;
        std::mt19937 randomA(static_cast<unsigned>(g) + 1), randomB(static_cast<unsigned>(g) + 1);
        const Result a = playOut(rules, match.start, match.withBook, side, match.opponent(), &randomA);
        const Result b = playOut(rules, match.start, match.without, side, match.opponent(), &randomB);
        sumWith += a.ownDiscs - a.otherDiscs;
        sumWithout += b.ownDiscs - b.otherDiscs;
        if (a.outcome() > b.outcome()) ++better;
        if (a.outcome() < b.outcome()) ++worse;
    }
    std::fprintf(
        o.out,
        "match: %ld pairs against %s, opponent's first %d moves random; mean disc difference with the "
        "book %+.2f, without %+.2f; outcome better with the book in %ld pairs, worse in %ld; book "
        "moves %d\n",
        m.pairs,
        match.engineOpponent ? ("the engine at depth " + std::to_string(m.opponentDepth)).c_str()
                             : "the computer without its book",
        kRandomOpponentMoves, static_cast<double>(sumWith) / m.pairs,
        static_cast<double>(sumWithout) / m.pairs, better, worse, match.withBook.bookMoves);
}

// The start, then every distinct position two plies in.
std::vector<Position> openings(Form1& rules, const Position& start) {
    std::vector<Position> all{start};
    for (const auto& [x1, y1] : legalIn(rules, start)) {
        const Position one = played(rules, start, x1, y1);
        for (const auto& [x2, y2] : legalIn(rules, one)) {
            const Position two = played(rules, one, x2, y2);
            if (std::find(all.begin() + 1, all.end(), two) == all.end()) all.push_back(two);
        }
    }
    return all;
}

// Every opening (or the first `count`) played twice, the book on either side.
void openingsMatch(Match& match, long count, const Output& o) {
    Form1& rules = match.rulesGame.form;
    std::vector<Position> all = openings(rules, match.start);
    if (count > 0 && std::size_t(count) < all.size()) all.resize(std::size_t(count));
    int wins = 0, losses = 0, draws = 0, games = 0;
    long discDifference = 0;
    for (std::size_t i = 0; i < all.size(); ++i)
        for (int side : {X, O}) {
            const int bookMovesBefore = match.withBook.bookMoves;
            const Result r = playOut(rules, all[i], match.withBook, side, match.opponent(), nullptr);
            ++games;
            discDifference += r.ownDiscs - r.otherDiscs;
            wins += r.outcome() > 0;
            losses += r.outcome() < 0;
            draws += r.outcome() == 0;
            std::fprintf(o.out, "opening %zu, book plays %s: %d-%d (%d book moves)\n", i, sideName(side),
                         r.ownDiscs, r.otherDiscs, match.withBook.bookMoves - bookMovesBefore);
        }
    std::fprintf(
        o.out,
        "match: %d games from %zu openings; with the book %d wins, %d losses, %d draws; score %.1f%%; "
        "mean disc difference %+.2f; book moves %d\n",
        games, all.size(), wins, losses, draws, 100.0 * (wins + 0.5 * draws) / games,
        static_cast<double>(discDifference) / games, match.withBook.bookMoves);
}

}  // namespace

const CommandLine& matchLine() {
    static const CommandLine line = CommandLine("the computer with its book against play without it")
                                        .option("--book", "FILE")
                                        .numberOption("--random", "PAIRS", "number of pairs", 1, 1000000)
                                        .numberOption("--opponent-depth", "D", "opponent depth", 1, 20)
                                        .numberOption("--openings", "N", "number of openings", 1, 1000);
    return line;
}

int matchCommand(const Args& args, const Output& o) {
    const MatchOptions m = parseMatchOptions(args);
    if (std::filesystem::is_directory(m.book) || !std::ifstream(m.book))
        throw InputError("cannot open book '" + m.book + "'");
    Match match(m);
    if (m.pairs > 0)
        randomPairs(match, m, o);
    else
        openingsMatch(match, m.openings, o);
    return 0;
}

}  // namespace quillet::tool
