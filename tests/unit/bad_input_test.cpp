// SPDX-License-Identifier: GPL-3.0-or-later
// Bad opening books met by the whole game: start-up stays silent, nothing crashes or hangs, and
// the computer falls back on its search whenever the book has nothing playable to say.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

#include "tests/support/Fixture.h"
#include "tests/support/TempDir.h"

namespace quillet::testing {
namespace {

namespace fs = std::filesystem;

// The start position as the book writes it for a computer holding と (GOTE): 歩 is "1".
const std::string kStartKeyComputerFirst = "202,,,,120000,210000,,,,";

struct BadBook : GameFixture {
    TempDir tempDir{"quillet-badbook"};
    WorkingDirectory workingDirectory{tempDir.path()};  // the game reads its book by bare name
    const fs::path dir = tempDir.path();

    void writeBook(const std::string& text) { std::ofstream(dir / "Quillet.定石", std::ios::binary) << text; }

    // The square the search alone chooses for と from the start position.
    static std::pair<int, int> searchChoiceFromStart() {
        HeadlessGame game;
        Form1& f = game.form;
        f.初期設定();
        f.computer_piece = Form1::first_code;
        f.human_piece = Form1::second_code;
        int x = 0, y = 0;
        f.COM置場所取得(x, y);
        return {x, y};
    }

    // Start-up, then 後手 so that the computer plays the first move at once; its square.
    std::pair<int, int> startAndLetTheComputerOpen() {
        form.Form_Load();
        EXPECT_EQ(window.messages, std::vector<std::string>{}) << "a book problem is never reported";
        form.GOTE_Click();
        EXPECT_EQ(form.move_count, 1);
        return {form.move_x[1], form.move_y[1]};
    }
};

TEST_F(BadBook, MissingEmptyOrMalformedBooksLeaveTheSearchToPlay) {
    const auto search = searchChoiceFromStart();
    const std::pair<std::string, std::string> books[] = {
        {"no file", ""},
        {"empty file", "\x01"},  // replaced by an empty file below
        {"blank lines", "\n\r\n\r\n\n"},
        {"binary junk", std::string("\x00\xff\xfe,\x80\n\xc3(,,\n", 11)},
        {"key without move", kStartKeyComputerFirst + "\n"},
        {"move not numbers", kStartKeyComputerFirst + ",x,y\n"},
        {"move too long", kStartKeyComputerFirst + ",123,4\n"},
        {"empty move", kStartKeyComputerFirst + ",,\n"},
        {"group without comma", "20202,,,,120000,210000,,,,,6,5\n"},
        {"too few commas", "202,120000,210000,6\n"},
    };
    for (const auto& [what, text] : books) {
        SCOPED_TRACE(what);
        fs::remove(dir / "Quillet.定石");
        if (what == "empty file")
            writeBook("");
        else if (what != "no file")
            writeBook(text);
        log.clear();
        window.messages.clear();
        EXPECT_EQ(startAndLetTheComputerOpen(), search);
        EXPECT_EQ(form.hint_available, Form1::no);
    }
}

// Bytes of a line beyond what any entry needs must neither exhaust memory nor time, nor hide
// the lines after it.
TEST_F(BadBook, AFortyEightMegabyteLineIsReadPastAndTheNextLineStillCounts) {
    const auto search = searchChoiceFromStart();
    // A legal opening square for と that the search would not choose, so the book is seen.
    const std::pair<int, int> book = search == std::pair{6, 5} ? std::pair{3, 4} : std::pair{6, 5};
    {
        std::ofstream out(dir / "Quillet.定石", std::ios::binary);
        const std::string block(1 << 20, '7');
        out << kStartKeyComputerFirst;              // the huge line even starts like a real entry
        for (int i = 0; i < 48; ++i) out << block;  // the most of a book's 64 MiB
        out << ",1,1\n" << kStartKeyComputerFirst << "," << book.first << "," << book.second << "\n";
    }
    ASSERT_GE(fs::file_size(dir / "Quillet.定石"), 48u << 20);
    EXPECT_EQ(startAndLetTheComputerOpen(), book);
    EXPECT_EQ(form.book_line_count, 2);
    EXPECT_LE(form.book_lines[1].size(), 1000u) << "the huge line is not held whole";
}

TEST_F(BadBook, OnlyTheFirstTenThousandLinesAreRead) {
    const auto search = searchChoiceFromStart();
    const std::pair<int, int> book = search == std::pair{6, 5} ? std::pair{3, 4} : std::pair{6, 5};
    const std::string entry =
        kStartKeyComputerFirst + "," + std::to_string(book.first) + "," + std::to_string(book.second) + "\n";
    std::string filler;
    for (int i = 0; i < 9999; ++i) filler += "101,,,,1,2,,,,,,1,1\n";

    writeBook(filler + entry);  // the entry is line 10000: read
    EXPECT_EQ(startAndLetTheComputerOpen(), book);
    EXPECT_EQ(form.book_line_count, 10000);

    writeBook(filler + "101,,,,1,2,,,,,,1,1\n" + entry + entry);  // lines 10001 and on: not read
    form.SAISYO_Click();
    EXPECT_EQ(startAndLetTheComputerOpen(), search);
    EXPECT_EQ(form.book_line_count, 10000);
}

// A book square the rules refuse, or one off the board, is never played.
TEST_F(BadBook, AnIllegalBookMoveGivesWayToTheSearch) {
    const auto search = searchChoiceFromStart();
    for (const std::string move : {",1,1", ",5,5", ",4,4", ",12,3", ",0,0", ",9,99"}) {
        SCOPED_TRACE(move);
        writeBook(kStartKeyComputerFirst + move + "\r\n");
        form.SAISYO_Click();
        EXPECT_EQ(startAndLetTheComputerOpen(), search);
        EXPECT_EQ(form.調査_駒数(Form1::first_code) + form.調査_駒数(Form1::second_code), 5);
    }
}

// With coaching on, a hint the human cannot play would refuse every click for good; such a book
// line must give no hint, and the human plays on.
TEST_F(BadBook, AnIllegalHintNeverLocksTheHumanOut) {
    form.Form_Load();
    form.SINAN_Click();
    ASSERT_TRUE(window.isChecked(MenuCheck::SINAN));
    form.GOTE_Click();
    ASSERT_EQ(form.move_count, 1);

    // The position after the computer's opening, as the book writes it for the human.
    form.将棋盤_入替();
    const std::string key = form.取得_文字列(0);
    form.将棋盤_入替();
    ASSERT_EQ(form.置けるか(1, 1, form.human_piece, form.computer_piece), Form1::no);
    writeBook(key + ",1,1\n");
    form.定石ファイル読込();

    // Back to the start and let the computer open again: the same move, now with the bad hint.
    form.MODORU_Click();
    ASSERT_EQ(form.move_count, 0);
    form.Form_MouseDown(1, 0, 0, 0);
    ASSERT_EQ(form.move_count, 1);
    EXPECT_EQ(form.hint_available, Form1::no);

    int x = 0, y = 0;
    for (int cx = 1; cx <= 9 && x == 0; ++cx)
        for (int cy = 1; cy <= 9 && x == 0; ++cy)
            if (form.置けるか(cx, cy, form.human_piece, form.computer_piece) == Form1::yes) x = cx, y = cy;
    ASSERT_NE(x, 0);
    window.messages.clear();
    form.Form_MouseDown(1, 0, Form1::board_left + Form1::square_width * (x + 0.5),
                        Form1::board_top + Form1::square_height * (y + 0.5));
    EXPECT_GE(form.move_count, 2) << "the human's legal move was refused";
    for (const std::string& m : window.messages) EXPECT_NE(m, " ? ? ? ?|指南します");
}

}  // namespace
}  // namespace quillet::testing
