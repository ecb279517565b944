// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/engine/Search.h"

#include <algorithm>
#include <array>

namespace quillet::engine {

namespace {

std::uint64_t mix(std::uint64_t x) {
    x ^= x >> 30;
    x *= 0xbf58476d1ce4e5b9ULL;
    x ^= x >> 27;
    x *= 0x94d049bb133111ebULL;
    x ^= x >> 31;
    return x;
}

std::uint64_t hashOf(Bits own, Bits opp) {
    std::uint64_t h = mix(static_cast<std::uint64_t>(own) + 0x9e3779b97f4a7c15ULL);
    h = mix(h ^ static_cast<std::uint64_t>(own >> 64));
    h = mix(h ^ static_cast<std::uint64_t>(opp));
    return mix(h ^ static_cast<std::uint64_t>(opp >> 64));
}

// Square values for ordering moves where a fuller look costs more than it saves.
constexpr std::array<int, 128> kSquareOrder = [] {
    std::array<int, 128> v{};
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            const bool edgeX = x == 1 || x == 9, edgeY = y == 1 || y == 9;
            const bool nearX = x == 2 || x == 8, nearY = y == 2 || y == 8;
            int value = 0;
            if (edgeX && edgeY)
                value = 100;
            else if (nearX && nearY)
                value = -60;
            else if ((edgeX && nearY) || (edgeY && nearX))
                value = -25;
            else if (edgeX || edgeY)
                value = 15;
            else if (nearX || nearY)
                value = -5;
            v[squareIndex(x, y)] = value;
        }
    return v;
}();

struct Move {
    int index;
    int order;
};

// How much to spend on guessing the order of moves: the square values alone near the leaves,
// the opponent's reply count (fewest first) higher up, the static evaluation near the root.
enum class Ordering { squares, replies, evaluation };

// Moves of `own`, best guesses first; `first` (the table's move) leads.
QUILLET_FAST_PATHS int orderedMoves(Bits own, Bits opp, Bits moves, int first, Ordering how, Move* out) {
    int n = 0;
    for (Bits rest = moves; rest; rest &= rest - 1) {
        const int index = lowestIndex(rest);
        int order = kSquareOrder[index];
        if (index == first) {
            order = 1 << 20;
        } else if (how != Ordering::squares) {
            const Bits f = flips(index, own, opp);
            const Bits nextOwn = opp & ~f, nextOpp = own | f | bitAt(index);
            if (how == Ordering::evaluation)
                order = -evaluate(nextOwn, nextOpp);
            else
                order -= 20 * popcount(legalMoves(nextOwn, nextOpp));
        }
        out[n++] = Move{index, order};
    }
    // Insertion sort, stable: equal guesses keep the board order, so the search is reproducible.
    for (int i = 1; i < n; ++i) {
        const Move m = out[i];
        int j = i;
        for (; j > 0 && out[j - 1].order < m.order; --j) out[j] = out[j - 1];
        out[j] = m;
    }
    return n;
}

constexpr int kMaxMoves = 64;
// Tuned on depth-10 searches of early positions (CPU time, nodes): the table from 3 plies up
// halved the time against using it everywhere.
constexpr int kTableDepth = 3;
constexpr int kRepliesOrderDepth = 3;
constexpr int kEvaluationOrderDepth = 7;

Ordering orderingFor(int depth) {
    return depth >= kEvaluationOrderDepth ? Ordering::evaluation
           : depth >= kRepliesOrderDepth  ? Ordering::replies
                                          : Ordering::squares;
}

// A node's best score so far, and alpha with it; false once alpha reaches beta (a cut-off).
inline bool raiseBest(int score, int index, int& best, int& bestMove, int& alpha, int beta) {
    if (score > best) {
        best = score;
        bestMove = index;
        if (score > alpha) alpha = score;
        if (alpha >= beta) return false;
    }
    return true;
}

// Principal-variation search over a node's moves, in order: the first with the whole window,
// the others with a null window at alpha, searched again with the rest of the window only when
// they beat it. `child(nextOwn, nextOpp, a, b)` is the move's score for the mover within (a, b);
// `seen(i, index, score)` takes each score, may raise alpha, and answers false to cut off.
template <class Child, class Seen>
[[gnu::always_inline]] inline void searchMoves(Bits own, Bits opp, const Move* list, int n, const int& alpha,
                                               int beta, Child&& child, Seen&& seen) {
    for (int i = 0; i < n; ++i) {
        const int index = list[i].index;
        const Bits f = flips(index, own, opp);
        const Bits nextOwn = opp & ~f, nextOpp = own | f | bitAt(index);
        int score;
        if (i == 0) {
            score = child(nextOwn, nextOpp, alpha, beta);
        } else {
            score = child(nextOwn, nextOpp, alpha, alpha + 1);
            if (score > alpha && score < beta) score = child(nextOwn, nextOpp, score, beta);
        }
        if (!seen(i, index, score)) return;
    }
}

}  // namespace

Searcher::Searcher(int tableBits)
    : table_(std::size_t{1} << tableBits), mask_((std::uint64_t{1} << tableBits) - 1) {}

void Searcher::newSearch() {
    // A new stamp makes every old entry a miss, so no search sees another's leftovers.
    if (++stamp_ == 0) {
        std::fill(table_.begin(), table_.end(), Entry{});
        stamp_ = 1;
    }
    nodes_ = 0;
}

Searcher::Entry* Searcher::probe(std::uint64_t key) {
    Entry& e = table_[key & mask_];
    return (e.stamp == stamp_ && e.key == key) ? &e : nullptr;
}

void Searcher::store(std::uint64_t key, int depth, int score, int alpha, int beta, int move) {
    Entry& e = table_[key & mask_];
    if (e.stamp == stamp_ && e.key != key && e.depth > depth) return;
    e.key = key;
    e.stamp = stamp_;
    e.score = static_cast<std::int16_t>(score);
    e.depth = static_cast<std::int8_t>(depth);
    e.bound = score <= alpha ? kUpper : score >= beta ? kLower : kExactBound;
    e.move = static_cast<std::uint8_t>(move < 0 ? 0xff : move);
}

QUILLET_FAST_PATHS int Searcher::alphaBeta(Bits own, Bits opp, int depth, int alpha, int beta) {
    ++nodes_;
    if (depth <= 0) return evaluate(own, opp);
    const Bits moves = legalMoves(own, opp);
    if (!moves) {
        if (!legalMoves(opp, own)) return finalScore(own, opp);
        return -alphaBeta(opp, own, depth, -beta, -alpha);  // a pass costs no depth
    }
    // Near the leaves a table lookup costs a cache miss and saves little.
    const bool useTable = depth >= kTableDepth;
    const std::uint64_t key = useTable ? hashOf(own, opp) : 0;
    int first = -1;
    if (const Entry* e = useTable ? probe(key) : nullptr) {
        first = e->move == 0xff ? -1 : e->move;
        if (first >= 0 && !(moves & bitAt(first))) first = -1;
        if (e->depth >= depth) {
            const int s = e->score;
            if (e->bound == kExactBound || (e->bound == kLower && s >= beta) ||
                (e->bound == kUpper && s <= alpha))
                return s;
        }
    }
    Move list[kMaxMoves];
    const int n = orderedMoves(own, opp, moves, first, orderingFor(depth), list);
    const int alphaIn = alpha;
    int best = -kInfinity, bestMove = -1;
    searchMoves(
        own, opp, list, n, alpha, beta,
        [&](Bits nextOwn, Bits nextOpp, int a, int b) {
            return -alphaBeta(nextOwn, nextOpp, depth - 1, -b, -a);
        },
        [&](int, int index, int score) { return raiseBest(score, index, best, bestMove, alpha, beta); });
    if (useTable) store(key, depth, best, alphaIn, beta, bestMove);
    return best;
}

// Exact play-out in whole discs. The table is shared with the midgame search; solver entries
// live under keys of their own (the hash XOR a constant), so the two never read each other's.
QUILLET_FAST_PATHS int Searcher::solveDiscs(Bits own, Bits opp, int alpha, int beta) {
    ++nodes_;
    const Bits moves = legalMoves(own, opp);
    if (!moves) {
        if (!legalMoves(opp, own)) return popcount(own) - popcount(opp);
        return -solveDiscs(opp, own, -beta, -alpha);
    }
    const int empties = 81 - popcount(own | opp);
    constexpr int kSolverDepth = 100;
    std::uint64_t key = 0;
    int first = -1;
    const bool useTable = empties >= 7;
    if (useTable) {
        key = hashOf(own, opp) ^ 0x5bd1e9955bd1e995ULL;
        if (const Entry* e = probe(key)) {
            first = e->move == 0xff ? -1 : e->move;
            if (first >= 0 && !(moves & bitAt(first))) first = -1;
            const int s = e->score;
            if (e->bound == kExactBound || (e->bound == kLower && s >= beta) ||
                (e->bound == kUpper && s <= alpha))
                return s;
        }
    }
    Move list[kMaxMoves];
    const int n =
        orderedMoves(own, opp, moves, first, empties >= 6 ? Ordering::replies : Ordering::squares, list);
    const int alphaIn = alpha;
    int best = -kInfinity, bestMove = -1;
    searchMoves(
        own, opp, list, n, alpha, beta,
        [&](Bits nextOwn, Bits nextOpp, int a, int b) { return -solveDiscs(nextOwn, nextOpp, -b, -a); },
        [&](int, int index, int score) { return raiseBest(score, index, best, bestMove, alpha, beta); });
    if (useTable) store(key, kSolverDepth, best, alphaIn, beta, bestMove);
    return best;
}

SearchResult Searcher::rootSearch(const Position& p, int depth, bool exact) {
    SearchResult result;
    const Bits moves = legalMoves(p.own, p.opp);
    if (!moves) return result;
    Move list[kMaxMoves];
    int n = orderedMoves(p.own, p.opp, moves, -1, Ordering::replies, list);
    std::array<int, kMaxMoves> scores{};
    const int firstDepth = exact ? depth : 1;
    for (int d = firstDepth; d <= depth; ++d) {
        int alpha = -kInfinity;
        const int beta = kInfinity;
        // No score reaches the infinite beta, so no move cuts the others off.
        searchMoves(
            p.own, p.opp, list, n, alpha, beta,
            [&](Bits nextOwn, Bits nextOpp, int a, int b) {
                return exact ? -solveDiscs(nextOwn, nextOpp, -b, -a)
                             : -alphaBeta(nextOwn, nextOpp, d - 1, -b, -a);
            },
            [&](int i, int, int score) {
                // Moves proved no better than the best so far keep an upper bound only; ranking
                // them below it is all the next iteration's ordering needs.
                scores[i] = (i == 0 || score > alpha) ? score : alpha - 1;
                if (score > alpha) alpha = score;
                return true;
            });
        // Best first for the next iteration; ties keep their order.
        std::array<int, kMaxMoves> order{};
        for (int i = 0; i < n; ++i) order[i] = i;
        std::stable_sort(order.begin(), order.begin() + n,
                         [&](int a, int b) { return scores[a] > scores[b]; });
        Move sorted[kMaxMoves];
        std::array<int, kMaxMoves> sortedScores{};
        for (int i = 0; i < n; ++i) {
            sorted[i] = list[order[i]];
            sortedScores[i] = scores[order[i]];
        }
        std::copy(sorted, sorted + n, list);
        scores = sortedScores;
        result.move = list[0].index;
        result.score = exact ? scores[0] * kDisc : scores[0];
        result.depth = d;
    }
    // In the exact pass the first move's window was full and later ones were re-searched on
    // any improvement, so the leader's score is exact.
    result.exact = exact;
    result.nodes = nodes_;
    return result;
}

SearchResult Searcher::search(const Position& p, int depth, int exactEmpties) {
    newSearch();
    const bool exact = p.empties() <= exactEmpties;
    return rootSearch(p, exact ? p.empties() : std::max(1, depth), exact);
}

int Searcher::value(const Position& p, int depth, int exactEmpties) {
    if (!legalMoves(p.own, p.opp)) {
        if (!legalMoves(p.opp, p.own)) return finalScore(p.own, p.opp);
        return -value(p.passed(), depth, exactEmpties);
    }
    return search(p, depth, exactEmpties).score;
}

int Searcher::solve(const Position& p) {
    newSearch();
    return solveDiscs(p.own, p.opp, -kInfinity, kInfinity);
}

}  // namespace quillet::engine
