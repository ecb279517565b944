// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A Form1 wired to the recording doubles, with helpers to set up positions.

#include <gtest/gtest.h>

#include <string>

#include "game/Form1.h"
#include "tests/doubles/Recording.h"

namespace quillet::testing {

// The two sides' codes, as the tests' positions name them: x is と (先手), o is 歩 (後手).
constexpr int X = Form1::first_code;
constexpr int O = Form1::second_code;

// The letter of a cell code: x, o, . for empty, ? for any other code.
constexpr char cellLetter(int code) {
    return code == Form1::first_code    ? 'x'
           : code == Form1::second_code ? 'o'
           : code == Form1::empty_code  ? '.'
                                        : '?';
}

// A board or a recorded position as text: nine lines of nine letters, each ended by '\n'.
template <int N>
std::string boardText(const Grid<N>& cells) {
    std::string out;
    for (int y = 1; y <= 9; ++y) {
        for (int x = 1; x <= 9; ++x) out += cellLetter(cells(x, y));
        out += '\n';
    }
    return out;
}
inline std::string boardText(const Form1& form) { return boardText(form.board); }

// The cells of a play area from 81 cells of x, o and . (anything else, line breaks included, is
// passed over). Throws std::invalid_argument unless there are 81.
Grid<10> cellsFromText(const std::string& rows);
// Sets the play area from that text, the one way in (Form1::局面_設定), the sides kept.
void setBoardText(Form1& form, const std::string& rows);

// The start position as boardText writes it and setBoard reads it: と on e4 and d5, 歩 on d4
// and e5.
inline const std::string kStartBoard =
    ".........\n.........\n.........\n...ox....\n...xo....\n.........\n.........\n.........\n.........\n";

struct GameFixture : ::testing::Test {
    Log log;
    RecordingWindow window{log};
    RecordingClock clock{log};
    RecordingSound sound{log};
    Form1 form{window, clock, sound};

    // Sets the 9 x 9 play area from nine rows of nine characters ('x' と, 'o' 歩, '.' empty),
    // row 1 first; the ring stays empty.
    void setBoard(const std::string& rows) { setBoardText(form, rows); }
    // The position those letters show put into the game the one way in (Form1::局面_設定), with
    // `toMove` to move and the computer on `computer`.
    void setPosition(const std::string& rows, int toMove, int computer = O) {
        Form1::Position p;
        p.cells = cellsFromText(rows);
        p.side_to_move = toMove;
        p.computer_piece = computer;
        form.局面_設定(p);
    }
    // The play area as nine lines, same letters.
    std::string boardText() const { return testing::boardText(form); }
};

// The source tree and the top of the build tree (where quillet-tool is built). The variables
// QUILLET_SOURCE_DIR and QUILLET_BUILD_DIR override the folders configured at build time.
std::string sourceDir();
std::string buildDir();

}  // namespace quillet::testing
