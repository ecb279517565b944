// SPDX-License-Identifier: GPL-3.0-or-later
// The book's text format on its own: the four orientations against a board turned by hand, lines
// written and read back, the game's lenient reading agreeing with the strict one on every line a
// writer writes, and the strict reading accepting nothing else.

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "ai/BookFormat.h"

namespace quillet::testing {
namespace {

namespace bf = book_format;

// A board of digits '0', '1', '2', row by row.
using Digits = std::array<char, 81>;

char at(const Digits& d, int column, int row) { return d[(row - 1) * 9 + column - 1]; }

std::string keyOf(const Digits& d, int orientation) {
    return bf::positionKey(orientation, [&d](int column, int row) { return at(d, column, row); });
}

// The board turned a quarter clockwise about its centre: square (x, y) goes to (10 - y, x).
Digits quarterTurn(const Digits& d) {
    Digits t{};
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) t[(x - 1) * 9 + (10 - y) - 1] = at(d, x, y);
    return t;
}

Digits randomBoard(std::mt19937& rng) {
    Digits d;
    const int fill = static_cast<int>(rng() % 100);  // from nearly empty to nearly full
    for (char& c : d) c = static_cast<int>(rng() % 100) >= fill ? '0' : (rng() & 1) ? '1' : '2';
    return d;
}

std::vector<std::string> splitLines(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> lines;
    bf::readLines(in, [&](const std::string& line) {
        lines.push_back(line);
        return true;
    });
    return lines;
}

TEST(BookFormatOrientations, ReadTheBoardTurnedClockwiseLineByLine) {
    // One piece at column 2 of row 1, near a corner, so every orientation reads it elsewhere.
    Digits d;
    d.fill('0');
    d[1] = '2';
    EXPECT_EQ(keyOf(d, 0), "001,20000000,,,,,,,,");              // rows 1..9, columns 1..9
    EXPECT_EQ(keyOf(d, 1), "001,,2,,,,,,,");                     // columns 1..9, rows 9..1
    EXPECT_EQ(keyOf(d, 2), "001" + std::string(9, ',') + "20");  // rows 9..1, columns 9..1
    EXPECT_EQ(keyOf(d, 3), "001,,,,,,,,200000000,");             // columns 9..1, rows 1..9
}

TEST(BookFormatOrientations, EachIsAQuarterTurnMoreThanTheOneBefore) {
    for (int column = 1; column <= 9; ++column)
        for (int row = 1; row <= 9; ++row) {
            int x = 0, y = 0;
            bf::orientedSquare(0, column, row, x, y);
            EXPECT_EQ(x * 10 + y, column * 10 + row);
            int qx = 0, qy = 0;
            bf::orientedSquare(1, column, row, qx, qy);
            for (int k = 1; k < 4; ++k) {
                int a = 0, b = 0, c = 0, d = 0;
                bf::orientedSquare(k + 1, column, row, a, b);  // k + 1 == 4 is orientation 0
                bf::orientedSquare(k, qx, qy, c, d);
                EXPECT_EQ(a * 10 + b, c * 10 + d)
                    << "orientation " << k + 1 << " at " << column << "," << row;
            }
        }
    int x = 0, y = 0;
    for (int k = 0; k < 4; ++k) {
        bf::orientedSquare(k, 5, 5, x, y);
        EXPECT_EQ(x * 10 + y, 55) << "orientation " << k;
    }
}

// A line written for a board is found on the board turned by hand in exactly one orientation,
// and its move, turned back through that orientation, is the written square turned by hand.
TEST(BookFormatOrientations, ALineMatchesTheTurnedBoardAndItsMoveTurnsBack) {
    std::mt19937 rng(11);
    int checked = 0;
    for (int n = 0; n < 40; ++n) {
        const Digits real = randomBoard(rng);
        const std::string key = keyOf(real, 0);
        bool symmetric = false;
        for (int k = 1; k < 4; ++k) symmetric = symmetric || keyOf(real, k) == key;
        if (symmetric) continue;  // a board some turn leaves alone matches in several orientations
        const int a = 1 + static_cast<int>(rng() % 9), b = 1 + static_cast<int>(rng() % 9);
        Digits turned = real;
        int ta = a, tb = b;  // the move's square on the turned board
        for (int quarters = 1; quarters < 4; ++quarters) {
            turned = quarterTurn(turned);
            const int previous = ta;
            ta = 10 - tb, tb = previous;
            std::vector<int> matching;
            for (int k = 0; k < 4; ++k)
                if (keyOf(turned, k) == key) matching.push_back(k);
            ASSERT_EQ(matching.size(), 1u) << quarters << " quarter turns";
            EXPECT_EQ(matching[0], 4 - quarters);
            int x = 0, y = 0;
            bf::orientedSquare(matching[0], a, b, x, y);
            EXPECT_EQ(x * 10 + y, ta * 10 + tb) << quarters << " quarter turns";
            ++checked;
        }
    }
    EXPECT_GT(checked, 100);
}

// What the writer writes, the reader reads back: the same lines, keys and boards; and the game's
// lenient reading of each field agrees with the strict one.
TEST(BookFormatLines, WrittenLinesReadBackTheSameBothWays) {
    std::mt19937 rng(3);
    std::vector<bf::Line> lines;
    std::vector<Digits> boards;
    for (int n = 0; n < 300; ++n) {
        boards.push_back(randomBoard(rng));
        lines.push_back(
            {keyOf(boards.back(), 0), 1 + static_cast<int>(rng() % 9), 1 + static_cast<int>(rng() % 9)});
    }
    std::ostringstream out;
    bf::writeBook(out, lines);
    const std::vector<std::string> read = splitLines(out.str());
    ASSERT_EQ(read.size(), lines.size());
    bool fourDigitGroups = false;
    for (std::size_t i = 0; i < read.size(); ++i) {
        EXPECT_LE(read[i].size(), bf::longest_line);
        std::string error;
        const auto line = bf::parseBookLine(read[i], error);
        ASSERT_TRUE(line) << read[i] << ": " << error;
        EXPECT_EQ(line->key, lines[i].key);
        EXPECT_EQ(line->column * 10 + line->row, lines[i].column * 10 + lines[i].row);
        const auto board = bf::readKey(line->key, error);
        ASSERT_TRUE(board) << error;
        EXPECT_EQ(board->digits, boards[i]);

        EXPECT_EQ(bf::keyLength(read[i]), line->key.size());
        EXPECT_EQ(bf::lenientGroup(read[i]), bf::groupNumber(read[i]));
        fourDigitGroups = fourDigitGroups || bf::groupNumber(read[i]) >= 1000;
        int a = 0, b = 0;
        ASSERT_TRUE(bf::lenientMove(std::string_view(read[i]).substr(line->key.size()), a, b));
        EXPECT_EQ(a * 10 + b, line->column * 10 + line->row);
    }
    EXPECT_TRUE(fourDigitGroups);
}

TEST(BookFormatLines, LineEndsAnOverlongLineAndStopping) {
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"", {}},
        {"\n", {""}},
        {"a", {"a"}},
        {"a\r\n\rb\n", {"a", "", "b"}},
        {"\xEF\xBB\xBF"
         "a\nb",
         {"a", "b"}},
        {"a\xEF\xBB\xBF\n", {"a\xEF\xBB\xBF"}},  // only before the first line
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(splitLines(text), expected) << text;

    // A line over two read blocks is kept to one character more than the longest entry, and the
    // line after it is whole.
    const std::vector<std::string> lines = splitLines(std::string(200000, '7') + "\r\n001,1,,,,,,,,,5,5\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string(bf::longest_line + 1, '7'));
    EXPECT_EQ(lines[1], "001,1,,,,,,,,,5,5");

    std::istringstream in("a\nb\nc\n");
    std::vector<std::string> taken;
    bf::readLines(in, [&](const std::string& line) {
        taken.push_back(line);
        return taken.size() < 2;
    });
    EXPECT_EQ(taken, (std::vector<std::string>{"a", "b"}));
}

// The strict reading takes exactly what the writer writes: changing, dropping or adding one
// character of a line gives a line that is refused with a reason, or the very line the writer
// writes for the board and move it reads.
TEST(BookFormatLines, StrictReadingRefusesEveryLineTheWriterWouldNotWrite) {
    std::mt19937 rng(7);
    const std::string replacements = "0123456789,- x\r";
    int refused = 0, accepted = 0;
    for (int n = 0; n < 30; ++n) {
        const bf::Line line{keyOf(randomBoard(rng), 0), 1 + static_cast<int>(rng() % 9),
                            1 + static_cast<int>(rng() % 9)};
        const std::string text = line.text();
        for (std::size_t i = 0; i < text.size(); ++i)
            for (char c : replacements) {
                for (const std::string& changed :
                     {text.substr(0, i) + c + text.substr(i + 1), text.substr(0, i) + text.substr(i + 1),
                      text.substr(0, i) + c + text.substr(i)}) {
                    std::string error;
                    const auto parsed = bf::parseBookLine(changed, error);
                    if (parsed) {
                        const auto board = bf::readKey(parsed->key, error);
                        ASSERT_TRUE(board) << changed;
                        const bf::Line rewritten{keyOf(board->digits, 0), parsed->column, parsed->row};
                        EXPECT_EQ(rewritten.text(), changed);
                        ++accepted;
                    } else {
                        EXPECT_FALSE(error.empty()) << changed;
                        ++refused;
                    }
                }
            }
    }
    EXPECT_GT(refused, 10000);
    EXPECT_GT(accepted, 100);  // other valid lines: another move, another cell of the same count
}

}  // namespace
}  // namespace quillet::testing
