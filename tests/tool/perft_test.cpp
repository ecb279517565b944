// perft from quillet-tool against an independent, deliberately plain rules implementation.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/doubles/Fixture.h"

namespace {

// A separate reversi on a 9 x 9 array, written without the game's code, for cross-checking.
struct Plain {
    std::array<std::array<int, 9>, 9> c{};  // [column][row], 0 empty, 1 first, 2 second
    int flips(int x, int y, int me, bool apply) {
        if (c[x][y] != 0) return 0;
        int total = 0;
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy) {
                if (!dx && !dy) continue;
                int i = x + dx, j = y + dy, n = 0;
                while (i >= 0 && i < 9 && j >= 0 && j < 9 && c[i][j] == 3 - me) i += dx, j += dy, ++n;
                if (n == 0 || i < 0 || i >= 9 || j < 0 || j >= 9 || c[i][j] != me) continue;
                total += n;
                if (apply)
                    for (int k = 1; k <= n; ++k) c[x + k * dx][y + k * dy] = me;
            }
        return total;
    }
    bool canMove(int me) {
        for (int x = 0; x < 9; ++x)
            for (int y = 0; y < 9; ++y)
                if (flips(x, y, me, false)) return true;
        return false;
    }
    unsigned long long perft(int depth, int me) {
        if (depth == 0) return 1;
        unsigned long long n = 0;
        bool any = false;
        for (int x = 0; x < 9; ++x)
            for (int y = 0; y < 9; ++y) {
                if (!flips(x, y, me, false)) continue;
                any = true;
                Plain next = *this;
                next.flips(x, y, me, true);
                next.c[x][y] = me;
                n += next.perft(depth - 1, 3 - me);
            }
        if (any) return n;
        if (canMove(3 - me)) return perft(depth - 1, 3 - me);
        return 1;
    }
};

std::string runTool(const std::string& args, int* status) {
    std::string cmd = quillet::testing::buildDir() + "/quillet-tool " + args + " 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    std::string out;
    char buf[256];
    while (p && fgets(buf, sizeof buf, p)) out += buf;
    int st = p ? pclose(p) : -1;
    if (status) *status = st;
    return out;
}

std::string lastWord(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
    return s.substr(s.find_last_of(' ') + 1);
}

TEST(Perft, HandCountedDepthsAndAnIndependentImplementationAgree) {
    Plain start;
    start.c[3][3] = 2;  // d4 歩
    start.c[4][4] = 2;  // e5 歩
    start.c[4][3] = 1;  // e4 と
    start.c[3][4] = 1;  // d5 と
    // Depth 1: と has c4, d3, e6, f5. Depth 2: each answer leaves 歩 three replies.
    EXPECT_EQ(start.perft(1, 1), 4u);
    EXPECT_EQ(start.perft(2, 1), 12u);
    for (int depth = 0; depth <= 6; ++depth) {
        int status = 0;
        const std::string out = runTool("perft " + std::to_string(depth), &status);
        ASSERT_EQ(status, 0) << out;
        EXPECT_EQ(lastWord(out), std::to_string(start.perft(depth, 1))) << "depth " << depth;
    }
}

TEST(Perft, BadArgumentsGiveAClearMessageAndFailure) {
    int status = 0;
    std::string out = runTool("perft", &status);
    EXPECT_NE(status, 0);
    EXPECT_NE(out.find("missing depth"), std::string::npos) << out;
    out = runTool("perft -3", &status);
    EXPECT_NE(status, 0);
    EXPECT_NE(out.find("depth must lie in"), std::string::npos) << out;
    out = runTool("perft five", &status);
    EXPECT_NE(status, 0);
    EXPECT_NE(out.find("whole number"), std::string::npos) << out;
    out = runTool("no-such-command", &status);
    EXPECT_NE(status, 0);
    EXPECT_NE(out.find("unknown command"), std::string::npos) << out;
}

}  // namespace
