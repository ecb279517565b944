// SPDX-License-Identifier: GPL-3.0-or-later
// The shipped opening book: its form, its order, a legal move in every line, and that the game's
// own lookup finds those moves; and the book command's repeatability.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "game/Form1.h"
#include "tests/support/Fixture.h"
#include "tests/support/TempDir.h"
#include "tests/support/ToolRun.h"
#include "tools/engine/Book.h"
#include "tools/quillet_tool/PositionsAndPlayers.h"

namespace quillet {
namespace {

using engine::Position;

using testing::runCommand;
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

// A game whose computer is on `mover`'s code and to move, its pieces being p.own.
struct Game : HeadlessGame {
    void set(const Position& p, int mover) { form.局面_設定(tool::gamePosition(p, mover)); }
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
        EXPECT_TRUE(classes.insert(engine::canonicalKey(*p)).second)
            << "line " << i + 1 << " is a turned twin";
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

TEST(BookCommand, SmallBuildsAreIdenticalAndReadByTheGame) {
    const testing::TempDir dir("quillet-book-command");
    const std::string a = (dir.path() / "book_a.txt").string(), b = (dir.path() / "book_b.txt").string();
    const testing::CommandRun first =
        runCommand(tool::bookCommand, {"--lines", "50", "--depth", "3", "--out", a});
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_NE(first.out.find("book lines 50"), std::string::npos) << first.out;
    EXPECT_NE(first.err.find("searched"), std::string::npos)
        << "progress goes to the error stream: " << first.err;
    const testing::CommandRun again =
        runCommand(tool::bookCommand, {"--lines", "50", "--depth", "3", "--out", b});
    ASSERT_EQ(again.status, 0) << again.err;
    const std::string firstBook = readFile(a), secondBook = readFile(b);
    EXPECT_EQ(splitLines(firstBook).size(), 50u);
    EXPECT_EQ(firstBook, secondBook);
    Game g;
    g.form.定石ファイル読込(a);
    EXPECT_EQ(g.form.book_line_count, 50);
    // Valued at the depth the book was searched to, no book move can be worth less than the
    // game's own search's choice; most positions should see the two differ somewhere.
    const testing::CommandRun gain = runCommand(tool::bookgainCommand, {"--book", a, "--depth", "3"});
    ASSERT_EQ(gain.status, 0) << gain.err;
    EXPECT_NE(gain.out.find("bookgain positions 50 differ"), std::string::npos) << gain.out;
    EXPECT_NE(gain.out.find("book move valued lower in 0;"), std::string::npos) << gain.out;
    // The same book as another editor saves it (a byte order mark, lines ended by CR): the game
    // reads all 50 lines, and bookgain measures the same 50.
    std::string saved = "\xEF\xBB\xBF" + firstBook;
    std::replace(saved.begin(), saved.end(), '\n', '\r');
    const std::string c = dir.write("book_c.txt", saved);
    g.form.定石ファイル読込(c);
    EXPECT_EQ(g.form.book_line_count, 50);
    const testing::CommandRun gainSaved = runCommand(tool::bookgainCommand, {"--book", c, "--depth", "3"});
    ASSERT_EQ(gainSaved.status, 0) << gainSaved.err;
    EXPECT_NE(gainSaved.out.find("bookgain positions 50 differ"), std::string::npos) << gainSaved.out;
}

// A book whose lines never match leaves the two players alike, so each opening's two games are
// one game seen from both sides: as many wins as losses. The shipped book is played. The
// command's wiring is what is tested here, on a few games (the whole match is 26 games).
TEST(MatchCommand, ComparesTheComputerWithAndWithoutItsBook) {
    const testing::TempDir dir("quillet-match");
    const std::string idle = dir.write("idle_book.txt", "0,1,a1\n");
    testing::CommandRun r = runCommand(tool::matchCommand, {"--book", idle, "--openings", "2"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("opening 1, book plays 歩: "), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("opening 2,"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("match: 4 games from 2 openings"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("score 50.0%; mean disc difference +0.00; book moves 0"), std::string::npos)
        << r.out;
    r = runCommand(tool::matchCommand, {"--book", shippedBookPath(), "--random", "1"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("match: 1 pairs against the computer without its book"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("book moves 0\n"), std::string::npos) << r.out;
    r = runCommand(tool::matchCommand, {"--book", "/nonexistent-dir/book"});
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.err.find("cannot open book"), std::string::npos) << r.err;
    r = runCommand(tool::matchCommand, {"--book", idle, "--openings", "0"});
    EXPECT_EQ(r.status, 2);
}

TEST(BookCommand, BadArgumentsGiveAClearMessage) {
    testing::CommandRun r = runCommand(tool::bookCommand, {"--lines", "0"});
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.err.find("lines must lie in 1..10000"), std::string::npos) << r.err;
    r = runCommand(tool::bookCommand, {"--depth"});
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.err.find("--depth needs a value"), std::string::npos) << r.err;
    r = runCommand(tool::bookCommand, {"--lines", "5", "--out", "/nonexistent-dir/x"});
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.err.find("cannot write"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace quillet
