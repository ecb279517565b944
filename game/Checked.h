// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Fixed arrays whose every access checks its indices, as the game's arrays must.

#include <array>
#include <cstdio>
#include <cstdlib>

namespace quillet {

[[noreturn]] inline void indexError(const char* what, int index, int limit) {
    std::fprintf(stderr, "quillet: %s index %d outside 0..%d\n", what, index, limit - 1);
    std::abort();
}

template <typename T, int N>
class CheckedArray {
public:
    T& operator[](int i) {
        if (i < 0 || i >= N) indexError("array", i, N);
        return data_[i];
    }
    const T& operator[](int i) const {
        if (i < 0 || i >= N) indexError("array", i, N);
        return data_[i];
    }
    void fill(const T& value) { data_.fill(value); }
    static constexpr int size() { return N; }
    bool operator==(const CheckedArray&) const = default;

private:
    std::array<T, N> data_{};
};

// A grid indexed (column, row), both 0..N-1.
template <int N>
class Grid {
public:
    int& operator()(int x, int y) {
        check(x, y);
        return cells_[x * N + y];
    }
    int operator()(int x, int y) const {
        check(x, y);
        return cells_[x * N + y];
    }
    void fill(int value) { cells_.fill(value); }
    bool operator==(const Grid&) const = default;

private:
    static void check(int x, int y) {
        if (x < 0 || x >= N) indexError("board column", x, N);
        if (y < 0 || y >= N) indexError("board row", y, N);
    }
    std::array<int, N * N> cells_{};
};

}  // namespace quillet
