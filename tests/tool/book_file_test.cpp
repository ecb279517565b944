// The shipped opening book: its form, its order, a legal move in every line, and that the game's
// own lookup finds those moves; and the book command's repeatability.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "game/Form1.h"
#include "tools/engine/Book.h"
#include "tools/headless/Headless.h"
#include "tests/doubles/Fixture.h"

namespace quillet {
namespace {

using engine::Position;

using testing::buildDir;
using testing::sourceDir;

std::string shippedBookPath() { return sourceDir() + "/assets/Quillet.定石"; }

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find('\n', at);
        lines.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return lines;
}

struct Game {
    NullWindow window;
    VirtualClock clock;
    SilentSoundLibrary sound;
    Form1 form{window, clock, sound};

    // The computer (to move) on `mover`'s code, its pieces being p.own.
    void set(const Position& p, int mover) {
        const int other = mover == Form1::first_code ? Form1::second_code : Form1::first_code;
        form.computer_piece = mover;
        form.human_piece = other;
        for (int x = 0; x <= 11; ++x)
            for (int y = 0; y <= 11; ++y) form.board(x, y) = Form1::empty_code;
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x) {
                if (p.own & engine::bitAt(x, y)) form.board(x, y) = mover;
                if (p.opp & engine::bitAt(x, y)) form.board(x, y) = other;
            }
    }
};

class ShippedBook : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        text_ = new std::string(readFile(shippedBookPath()));
        lines_ = new std::vector<std::string>(splitLines(*text_));
    }
    static void TearDownTestSuite() {
        delete text_;
        delete lines_;
    }
    static std::string* text_;
    static std::vector<std::string>* lines_;
};
std::string* ShippedBook::text_ = nullptr;
std::vector<std::string>* ShippedBook::lines_ = nullptr;

TEST_F(ShippedBook, IsPlainLinesOfKeyAndMoveWithinTheGamesCapacity) {
    ASSERT_FALSE(text_->empty()) << "no book at " << shippedBookPath();
    EXPECT_EQ(text_->back(), '\n');
    EXPECT_EQ(text_->find('\r'), std::string::npos);
    EXPECT_LE(lines_->size(), static_cast<std::size_t>(Form1::book_capacity));
    EXPECT_GE(lines_->size(), 1000u) << "the shipped book should cover more than the first moves";
    for (std::size_t i = 0; i < lines_->size(); ++i) {
        std::string error;
        EXPECT_TRUE(engine::parseBookLine((*lines_)[i], error)) << "line " << i + 1 << ": " << error;
    }
}

TEST_F(ShippedBook, IsSortedByGroupWithOneLinePerPositionUpToTurning) {
    int previous = -1;
    std::set<std::string> keys, classes;
    for (std::size_t i = 0; i < lines_->size(); ++i) {
        std::string error;
        const auto line = engine::parseBookLine((*lines_)[i], error);
        ASSERT_TRUE(line) << "line " << i + 1 << ": " << error;
        const int group = engine::groupNumber(line->key);
        EXPECT_LE(previous, group) << "line " << i + 1 << " breaks the group order";
        previous = group;
        EXPECT_TRUE(keys.insert(line->key).second) << "line " << i + 1 << " repeats a key";
        const auto p = engine::decodeKey(line->key, error);
        ASSERT_TRUE(p);
        EXPECT_TRUE(classes.insert(engine::canonicalKey(*p)).second) << "line " << i + 1 << " is a turned twin";
    }
}

// Legal by the game's own placement test, for the side written "2".
TEST_F(ShippedBook, EveryMoveIsLegalByTheGamesRules) {
    Game g;
    for (std::size_t i = 0; i < lines_->size(); ++i) {
        std::string error;
        const auto line = engine::parseBookLine((*lines_)[i], error);
        ASSERT_TRUE(line) << error;
        g.set(*engine::decodeKey(line->key, error), Form1::second_code);
        EXPECT_EQ(g.form.置けるか(line->column, line->row, Form1::second_code, Form1::first_code), Form1::yes)
            << "line " << i + 1 << ": " << (*lines_)[i];
    }
}

TEST_F(ShippedBook, TheGamesLookupFindsTheBookMoveAlsoOnTurnedBoards) {
    Game g;
    g.form.定石ファイル読込(shippedBookPath());
    ASSERT_EQ(g.form.book_line_count, static_cast<int>(lines_->size()));
    int turnedChecked = 0;
    for (std::size_t i = 0; i < lines_->size(); ++i) {
        std::string error;
        const auto line = engine::parseBookLine((*lines_)[i], error);
        ASSERT_TRUE(line) << error;
        const Position p = *engine::decodeKey(line->key, error);
        // As stored, for either colour of computer.
        g.set(p, i % 2 ? Form1::first_code : Form1::second_code);
        int column = 0, row = 0;
        ASSERT_EQ(g.form.調査_定石有無(column, row), Form1::yes) << "line " << i + 1;
        EXPECT_EQ(column, line->column) << "line " << i + 1;
        EXPECT_EQ(row, line->row) << "line " << i + 1;
        // Turned: board q shows p turned, its square (c, r) being p's square orientedSquare(k, c, r).
        // A position that some turn leaves unchanged may be found under another turn, with a
        // different but equivalent square; those few are left out.
        if (i % 7 != 0 || engine::oriented(p, 1) == p || engine::oriented(p, 2) == p) continue;
        for (int k = 1; k < 4; ++k) {
            const Position q = engine::oriented(p, k);
            g.set(q, Form1::first_code);
            ASSERT_EQ(g.form.調査_定石有無(column, row), Form1::yes) << "line " << i + 1 << " turned " << k;
            int a = 0, b = 0;
            engine::orientedSquare(k, column, row, a, b);
            EXPECT_EQ(a, line->column) << "line " << i + 1 << " turned " << k;
            EXPECT_EQ(b, line->row) << "line " << i + 1 << " turned " << k;
            EXPECT_EQ(g.form.置けるか(column, row, Form1::first_code, Form1::second_code), Form1::yes);
            ++turnedChecked;
        }
    }
    EXPECT_GT(turnedChecked, 100);
}

std::string runTool(const std::string& args, int& status) {
    const std::string cmd = buildDir() + "/quillet-tool " + args + " 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    std::string out;
    char buf[256];
    while (p && std::fgets(buf, sizeof buf, p)) out += buf;
    status = p ? pclose(p) : -1;
    return out;
}

TEST(BookCommand, SmallBuildsAreIdenticalAndReadByTheGame) {
    const std::string a = ::testing::TempDir() + "book_a.txt", b = ::testing::TempDir() + "book_b.txt";
    int status = 0;
    const std::string out = runTool("book --lines 50 --depth 3 --out " + a, status);
    ASSERT_EQ(status, 0) << out;
    EXPECT_NE(out.find("book lines 50"), std::string::npos) << out;
    EXPECT_NE(out.find("searched"), std::string::npos) << "progress goes to the error stream: " << out;
    const std::string again = runTool("book --lines 50 --depth 3 --out " + b, status);
    ASSERT_EQ(status, 0) << again;
    const std::string first = readFile(a), second = readFile(b);
    EXPECT_EQ(splitLines(first).size(), 50u);
    EXPECT_EQ(first, second);
    Game g;
    g.form.定石ファイル読込(a);
    EXPECT_EQ(g.form.book_line_count, 50);
    // Valued at the depth the book was searched to, no book move can be worth less than the
    // game's own search's choice; most positions should see the two differ somewhere.
    const std::string gain = runTool("bookgain --book " + a + " --depth 3", status);
    ASSERT_EQ(status, 0) << gain;
    EXPECT_NE(gain.find("bookgain positions 50 differ"), std::string::npos) << gain;
    EXPECT_NE(gain.find("book move valued lower in 0;"), std::string::npos) << gain;
    std::remove(a.c_str());
    std::remove(b.c_str());
}

// A book whose lines never match leaves the two players alike, so each opening's two games are
// one game seen from both sides: as many wins as losses. The shipped book is played.
TEST(MatchCommand, ComparesTheComputerWithAndWithoutItsBook) {
    const std::string idle = ::testing::TempDir() + "idle_book.txt";
    std::ofstream(idle) << "0,1,a1\n";
    int status = 0;
    std::string out = runTool("match --book " + idle, status);
    ASSERT_EQ(status, 0) << out;
    EXPECT_NE(out.find("match: 26 games from 13 openings"), std::string::npos) << out;
    EXPECT_NE(out.find("score 50.0%; mean disc difference +0.00; book moves 0"), std::string::npos) << out;
    out = runTool("match --book " + shippedBookPath() + " --random 4", status);
    ASSERT_EQ(status, 0) << out;
    EXPECT_EQ(out.find("book moves 0\n"), std::string::npos) << out;
    out = runTool("match --book /nonexistent-dir/book", status);
    EXPECT_NE(status, 0);
    EXPECT_NE(out.find("cannot open book"), std::string::npos) << out;
    std::remove(idle.c_str());
}

TEST(BookCommand, BadArgumentsGiveAClearMessage) {
    int status = 0;
    std::string out = runTool("book --lines 0", status);
    EXPECT_NE(status, 0);
    EXPECT_NE(out.find("lines must lie in 1..10000"), std::string::npos) << out;
    out = runTool("book --depth", status);
    EXPECT_NE(status, 0);
    EXPECT_NE(out.find("--depth needs a value"), std::string::npos) << out;
    out = runTool("book --lines 5 --out /nonexistent-dir/x", status);
    EXPECT_NE(status, 0);
    EXPECT_NE(out.find("cannot write"), std::string::npos) << out;
}

}  // namespace
}  // namespace quillet
