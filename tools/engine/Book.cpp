// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/engine/Book.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <set>

#include "tools/engine/Search.h"
#include "tools/engine/WorkerPool.h"

namespace quillet::engine {

namespace {

// The digit the book writes for square (column, row) of `p`: its side to move is "2".
auto digits(const Position& p) {
    return [&p](int column, int row) {
        const Bits b = bitAt(column, row);
        return (p.own & b) ? '2' : (p.opp & b) ? '1' : '0';
    };
}

}  // namespace

Position oriented(const Position& p, int orientation) {
    Position t;
    for (int r = 1; r <= 9; ++r)
        for (int c = 1; c <= 9; ++c) {
            int x = 0, y = 0;
            orientedSquare(orientation, c, r, x, y);
            if (p.own & bitAt(x, y)) t.own |= bitAt(c, r);
            if (p.opp & bitAt(x, y)) t.opp |= bitAt(c, r);
        }
    return t;
}

std::string positionKey(const Position& p) { return book_format::positionKey(0, digits(p)); }

std::string canonicalKey(const Position& p) {
    std::string best = positionKey(p);
    for (int k = 1; k < 4; ++k) best = std::min(best, book_format::positionKey(k, digits(p)));
    return best;
}

std::optional<Position> decodeKey(const std::string& key, std::string& error) {
    const std::optional<book_format::KeyBoard> board = book_format::readKey(key, error);
    if (!board) return std::nullopt;
    Position p;
    for (int r = 1; r <= 9; ++r)
        for (int c = 1; c <= 9; ++c) {
            if ((*board)(c, r) == '2') p.own |= bitAt(c, r);
            if ((*board)(c, r) == '1') p.opp |= bitAt(c, r);
        }
    return p;
}

namespace {

using Clock = std::chrono::steady_clock;

void sortBookLines(std::vector<BookLine>& lines) {
    std::sort(lines.begin(), lines.end(), [](const BookLine& a, const BookLine& b) {
        const int ga = groupNumber(a.key), gb = groupNumber(b.key);
        if (ga != gb) return ga < gb;
        if (a.key != b.key) return a.key < b.key;
        return a.column * 10 + a.row < b.column * 10 + b.row;
    });
}

// Positions waiting for a search, by pieces placed, each once up to turning.
class Frontier {
public:
    void add(const Position& p) {
        if (seen_.insert(canonicalKey(p)).second) byPly_[popcount(p.own | p.opp) - 4].push_back(p);
    }
    // The opponent of the book side is to move in `q`: every reply, and the replies after a
    // forced pass of the book side, lead to positions for the book.
    void addReplies(const Position& q) {
        const Bits replies = legalMoves(q.own, q.opp);
        if (!replies) {
            const Position r = q.passed();
            if (legalMoves(r.own, r.opp)) add(r);
            return;
        }
        for (Bits rest = replies; rest; rest &= rest - 1) {
            const Position r = q.play(lowestIndex(rest));
            if (legalMoves(r.own, r.opp))
                add(r);
            else if (legalMoves(r.opp, r.own))
                addReplies(r.passed());
        }
    }
    bool empty() const { return byPly_.empty(); }
    std::pair<int, std::vector<Position>> takeShallowest() {
        auto it = byPly_.begin();
        auto taken = std::move(*it);
        byPly_.erase(it);
        return taken;
    }

private:
    std::set<std::string> seen_;
    std::map<int, std::vector<Position>> byPly_;
};

}  // namespace

std::vector<BookLine> buildBook(const BookOptions& options) {
    const auto started = Clock::now();
    std::vector<BookLine> lines;
    Frontier frontier;
    const Position start = Position::start();
    frontier.add(start);         // the book side moves first
    frontier.addReplies(start);  // the book side moves second
    const int budget = std::max(0, options.lines);
    Throttle throttle(std::chrono::seconds(2));

    while (!frontier.empty() && static_cast<int>(lines.size()) < budget) {
        auto [ply, level] = frontier.takeShallowest();
        if (static_cast<int>(level.size()) > budget - static_cast<int>(lines.size()))
            level.resize(budget - lines.size());
        std::vector<int> moves(level.size(), -1);
        const int before = static_cast<int>(lines.size());
        auto report = [&](std::size_t done, bool plyDone) {
            if (!options.progress) return;
            BookProgress pr;
            pr.ply = ply;
            pr.searched = before + static_cast<int>(done);
            pr.planned = before + static_cast<int>(level.size());
            pr.budget = budget;
            pr.depth = options.depth;
            pr.seconds = std::chrono::duration<double>(Clock::now() - started).count();
            pr.plyDone = plyDone;
            options.progress(pr);
        };
        forEachIndex(
            level.size(), options.threads,
            [&] {
                return [&, searcher = Searcher(20)](std::size_t i) mutable {
                    moves[i] = searcher.search(level[i], options.depth).move;
                };
            },
            throttle, [&](std::size_t done) { report(done, false); });
        report(level.size(), true);

        for (std::size_t i = 0; i < level.size(); ++i) {
            const int m = moves[i];
            lines.push_back(BookLine{positionKey(level[i]), columnOf(m), rowOf(m)});
            frontier.addReplies(level[i].play(m));
        }
        if (options.plyDone) {
            std::vector<BookLine> sorted = lines;
            sortBookLines(sorted);
            options.plyDone(sorted);
        }
    }
    sortBookLines(lines);
    return lines;
}

}  // namespace quillet::engine
