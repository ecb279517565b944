// SPDX-License-Identifier: GPL-3.0-or-later
// The opening book: position strings, the file as read from the working directory, lookups.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/Fixture.h"
#include "tests/support/TempDir.h"

namespace quillet::testing {
namespace {

namespace fs = std::filesystem;

// x is the human's side and o the computer's unless a test changes them.
const std::string kStartKey = "202,,,,210000,120000,,,,";

// The board as it looks after `quarters` clockwise quarter turns about e5.
std::string turned(std::string cells, int quarters) {
    for (int q = 0; q < quarters; ++q) {
        std::string next(81, '.');
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y) next[(x - 1) * 9 + (10 - y) - 1] = cells[(y - 1) * 9 + x - 1];
        cells = next;
    }
    return cells;
}

struct BookTest : GameFixture {
    TempDir tempDir{"quillet-book"};
    WorkingDirectory workingDirectory{tempDir.path()};  // the game reads its book by bare name
    const fs::path dir = tempDir.path();

    void SetUp() override { setBoard(kStartBoard); }
    void load(const std::string& text) {
        std::ofstream(dir / "Quillet.定石", std::ios::binary) << text;
        form.定石ファイル読込();
    }
    // The book's move for the board as "column,row", or "none" with the out values untouched.
    std::string lookup() {
        int column = -1, row = -1;
        if (form.調査_定石有無(column, row) == Form1::yes)
            return std::to_string(column) + "," + std::to_string(row);
        EXPECT_EQ(column, -1);
        EXPECT_EQ(row, -1);
        return "none";
    }
    std::string key(const std::string& cells) {
        setBoard(cells);
        return form.取得_文字列(0);
    }
};

TEST_F(BookTest, StartPositionReadsInEachOrientation) {
    EXPECT_EQ(form.取得_文字列(0), kStartKey);
    EXPECT_EQ(form.取得_文字列(1), "202,,,,12000,21000,,,,");
    EXPECT_EQ(form.取得_文字列(2), "202,,,,,21000,12000,,,");
    EXPECT_EQ(form.取得_文字列(3), "202,,,,,120000,210000,,,");
}

TEST_F(BookTest, GroupNumberCountsHumanThenComputerPiecesInTwoDigits) {
    const std::string cells = "xxxxxxxxx" + std::string(63, '.') + "xxx...ooo";
    EXPECT_EQ(key(cells), "1203,111111111,,,,,,,,111000222");
    std::swap(form.human_piece, form.computer_piece);
    EXPECT_EQ(form.取得_文字列(0), "312,222222222,,,,,,,,222000111");
}

TEST_F(BookTest, SkippedLeadingCellsStillGiveDistinctKeys) {
    const std::string fromD = "...xo...." + std::string(72, '.');
    const std::string fromC = "..xo....." + std::string(72, '.');
    EXPECT_EQ(key(fromD), "101,120000,,,,,,,,");
    EXPECT_EQ(key(fromC), "101,1200000,,,,,,,,");
    load(key(fromD) + ",6,2\n");
    setBoard(fromC);
    EXPECT_EQ(lookup(), "none");
    setBoard(fromD);
    EXPECT_EQ(lookup(), "6,2");
}

TEST_F(BookTest, LineParts) {
    int group = 77;
    form.取得_文字列_定石座標("1203,1", group);
    EXPECT_EQ(group, 1203);
    form.取得_文字列_定石座標(kStartKey, group);
    EXPECT_EQ(group, 202);
    form.取得_文字列_定石座標("12,3456", group);  // neither the 4th nor the 5th character is a comma
    EXPECT_EQ(group, 202);

    EXPECT_EQ(form.取得_文字列_定石(kStartKey + ",3,4"), kStartKey);
    EXPECT_EQ(form.取得_文字列_定石("202,3"), "");

    int column = 0, row = 0;
    EXPECT_EQ(form.取得_座標(",3,4", 0, column, row), Form1::yes);
    EXPECT_EQ(column * 10 + row, 34);
    EXPECT_EQ(form.取得_座標(",12,5x", 0, column, row), Form1::yes);  // fits; the caller rejects 12
    EXPECT_EQ(column * 10 + row, 125);
    EXPECT_EQ(form.取得_座標(",3,4", 2, column, row), Form1::yes);
    EXPECT_EQ(column * 10 + row, 76);
    EXPECT_EQ(form.取得_座標(",345", 0, column, row), Form1::no);
    EXPECT_EQ(column * 10 + row, 76);
}

TEST_F(BookTest, ExampleEntryIsFoundByBareFileName) {
    load(kStartKey + ",3,4\n");
    EXPECT_EQ(form.book_line_count, 1);
    EXPECT_EQ(lookup(), "3,4");
}

TEST_F(BookTest, TurnedPositionsMatchWithTheMoveTurnedBack) {
    // Off-centre and lopsided, so each turn reads differently.
    const std::string real =
        "........."
        "......x.."
        "........."
        "...ox...."
        "...xo...."
        "........."
        ".o......."
        "........."
        ".........";
    const char* expected[] = {"3,4", "4,7", "7,6", "6,3"};
    for (int quarters = 0; quarters <= 3; ++quarters) {
        load(key(turned(real, quarters)) + ",3,4\n");
        setBoard(real);
        EXPECT_EQ(lookup(), expected[quarters]) << quarters << " quarter turns";
    }
}

TEST_F(BookTest, FirstOfEqualKeysWinsAndOnlyTheLastRunOfAGroupIsSearched) {
    const std::string other = kStartKey.substr(0, 21) + "1,,,";  // group 202 too, another key
    load(kStartKey + ",3,4\n" + kStartKey + ",6,5\n" + other + ",7,7\n" + "303,1,2,3\n");
    EXPECT_EQ(lookup(), "3,4");
    load(kStartKey + ",3,4\n" + "303,1,2,3\n" + other + ",7,7\n");
    EXPECT_EQ(form.book_first_line[202], 3);
    EXPECT_EQ(form.book_last_line[202], 3);
    EXPECT_EQ(lookup(), "none");
}

TEST_F(BookTest, MissingFileMeansNoBookEvenAfterAnEarlierRead) {
    load(kStartKey + ",3,4\n");
    fs::remove(dir / "Quillet.定石");
    form.定石ファイル読込();
    EXPECT_EQ(form.book_line_count, 0);
    EXPECT_EQ(form.book_first_line[202], 0);
    EXPECT_EQ(lookup(), "none");
}

TEST_F(BookTest, ReadingStopsAfterTenThousandLines) {
    std::string text;
    for (int i = 1; i < 10000; ++i) text += "101,1,,,,,,,,,5,5\n";
    text += kStartKey + ",3,4\n";   // line 10000
    text += "101,2,,,,,,,,,5,5\n";  // line 10001: not read
    load(text);
    EXPECT_EQ(form.book_line_count, 10000);
    EXPECT_EQ(form.book_last_line[101], 9999);
    EXPECT_EQ(lookup(), "3,4");
}

TEST_F(BookTest, LineEndsAndByteOrderMark) {
    load("\xEF\xBB\xBF" + kStartKey + ",3,4\r\n\r\n303,x\r303,y\n303,z");
    ASSERT_EQ(form.book_line_count, 5);
    EXPECT_EQ(form.book_lines[1], kStartKey + ",3,4");
    EXPECT_EQ(form.book_lines[2], "");
    EXPECT_EQ(form.book_lines[3], "303,x");
    EXPECT_EQ(form.book_lines[5], "303,z");
    EXPECT_EQ(lookup(), "3,4");
}

TEST_F(BookTest, LinesLongerThanAReadBlock) {
    // The file is read 64 KiB at a time: here the CR of a CRLF ends one block and its LF starts the next.
    load(std::string(65535, '9') + "\r\n" + kStartKey + ",3,4\n");
    EXPECT_EQ(form.book_line_count, 2);
    EXPECT_EQ(lookup(), "3,4");
}

TEST_F(BookTest, MalformedLinesNeverMatchNorCrash) {
    load("-12,junk\n,\n99999,1,2\nabc,,,,\n" + kStartKey + "\n" +  // no move at all
         kStartKey + ",5\n" +                                      // one number: the key loses a comma
         "202,\n\n" + kStartKey + ",123,4\n" + kStartKey + ",0,5\n" + kStartKey + ",5,10\n" + kStartKey +
         ",3,4" + std::string(300, ' ') + "\n" + kStartKey + ",6,7\n" + "7,1,2\n");
    EXPECT_EQ(lookup(), "6,7");
}

TEST_F(BookTest, HugeSingleLineIsKeptShortAndNeverMatches) {
    {
        std::ofstream out(dir / "Quillet.定石", std::ios::binary);
        out << kStartKey << ",3,4";
        const std::string block(1 << 20, '7');
        for (int i = 0; i < 60; ++i) out << block;
    }
    form.定石ファイル読込();
    EXPECT_EQ(form.book_line_count, 1);
    EXPECT_LE(form.book_lines[1].size(), 201u);
    EXPECT_EQ(lookup(), "none");
}

}  // namespace
}  // namespace quillet::testing
