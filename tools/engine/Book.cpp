// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/engine/Book.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <set>

#include "tools/engine/Search.h"
#include "tools/engine/WorkerPool.h"

namespace quillet::engine {

void orientedSquare(int orientation, int column, int row, int& realColumn, int& realRow) {
    switch (orientation & 3) {
        case 0:
            realColumn = column, realRow = row;
            break;
        case 1:
            realColumn = row, realRow = 10 - column;
            break;
        case 2:
            realColumn = 10 - column, realRow = 10 - row;
            break;
        default:
            realColumn = 10 - row, realRow = column;
            break;
    }
}

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

std::string positionKey(const Position& p) {
    std::string body;
    for (int r = 1; r <= 9; ++r) {
        body += ',';
        int c = 1;
        while (c <= 9 && !((p.own | p.opp) & bitAt(c, r))) ++c;
        for (; c <= 9; ++c) body += (p.own & bitAt(c, r)) ? '2' : (p.opp & bitAt(c, r)) ? '1' : '0';
    }
    const int twos = popcount(p.own);
    return std::to_string(popcount(p.opp)) + (twos < 10 ? "0" : "") + std::to_string(twos) + body;
}

std::string canonicalKey(const Position& p) {
    std::string best = positionKey(p);
    for (int k = 1; k < 4; ++k) best = std::min(best, positionKey(oriented(p, k)));
    return best;
}

int groupNumber(const std::string& text) {
    std::size_t digits = 0;
    if (text.size() > 3 && text[3] == ',')
        digits = 3;
    else if (text.size() > 4 && text[4] == ',')
        digits = 4;
    else
        return -1;
    int n = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        if (text[i] < '0' || text[i] > '9') return -1;
        n = n * 10 + (text[i] - '0');
    }
    return n;
}

std::optional<Position> decodeKey(const std::string& key, std::string& error) {
    const int group = groupNumber(key);
    if (group < 0) {
        error = "no group number of three or four digits before the first comma";
        return std::nullopt;
    }
    const std::size_t start = key.find(',');
    Position p;
    std::size_t at = start;
    for (int r = 1; r <= 9; ++r) {
        if (at >= key.size() || key[at] != ',') {
            error = "row " + std::to_string(r) + " does not start with a comma";
            return std::nullopt;
        }
        const std::size_t end = std::min(key.find(',', at + 1), key.size());
        const std::string cells = key.substr(at + 1, end - at - 1);
        if (cells.size() > 9) {
            error = "row " + std::to_string(r) + " has more than nine cells";
            return std::nullopt;
        }
        if (!cells.empty() && cells[0] == '0') {
            error = "row " + std::to_string(r) + " does not start at its first piece";
            return std::nullopt;
        }
        const int skipped = 9 - static_cast<int>(cells.size());
        for (std::size_t i = 0; i < cells.size(); ++i) {
            const Bits b = bitAt(skipped + 1 + static_cast<int>(i), r);
            if (cells[i] == '2')
                p.own |= b;
            else if (cells[i] == '1')
                p.opp |= b;
            else if (cells[i] != '0') {
                error =
                    "row " + std::to_string(r) + " holds '" + std::string(1, cells[i]) + "' (only 0, 1, 2)";
                return std::nullopt;
            }
        }
        at = end;
    }
    if (at != key.size()) {
        error = "more than nine rows";
        return std::nullopt;
    }
    if (group != popcount(p.opp) * 100 + popcount(p.own)) {
        error = "group number " + std::to_string(group) + " does not count the pieces";
        return std::nullopt;
    }
    if (positionKey(p) != key) {
        error = "not written the way the game writes it (piece counts)";
        return std::nullopt;
    }
    return p;
}

std::string BookLine::text() const {
    return key + "," + std::to_string(column) + "," + std::to_string(row);
}

std::optional<BookLine> parseBookLine(const std::string& line, std::string& error) {
    const std::size_t last = line.rfind(',');
    const std::size_t second =
        last == std::string::npos || last == 0 ? std::string::npos : line.rfind(',', last - 1);
    if (second == std::string::npos) {
        error = "fewer than two commas";
        return std::nullopt;
    }
    BookLine b;
    b.key = line.substr(0, second);
    const std::string a = line.substr(second + 1, last - second - 1);
    const std::string r = line.substr(last + 1);
    if (a.size() != 1 || r.size() != 1 || a[0] < '1' || a[0] > '9' || r[0] < '1' || r[0] > '9') {
        error = "move '," + a + "," + r + "' is not a column and a row in 1..9";
        return std::nullopt;
    }
    b.column = a[0] - '0';
    b.row = r[0] - '0';
    if (!decodeKey(b.key, error)) return std::nullopt;
    return b;
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
