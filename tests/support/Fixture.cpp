// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/Fixture.h"

#include <cstdlib>
#include <stdexcept>

namespace quillet::testing {

Grid<10> cellsFromText(const std::string& rows) {
    std::string letters;
    for (char c : rows)
        if (c == 'x' || c == 'o' || c == '.') letters += c;
    if (letters.size() != 81) throw std::invalid_argument("board text needs 81 cells of x, o and .");
    Grid<10> cells;
    cells.fill(Form1::empty_code);
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            const char c = letters[(y - 1) * 9 + (x - 1)];
            if (c == 'x') cells(x, y) = Form1::first_code;
            if (c == 'o') cells(x, y) = Form1::second_code;
        }
    return cells;
}

void setBoardText(Form1& form, const std::string& rows) {
    Form1::Position p = form.局面_取得();
    p.cells = cellsFromText(rows);
    form.局面_設定(p);
}

std::string sourceDir() {
    const char* dir = std::getenv("QUILLET_SOURCE_DIR");
    return dir && *dir ? dir : QUILLET_TEST_SOURCE_DIR;
}

std::string buildDir() {
    const char* dir = std::getenv("QUILLET_BUILD_DIR");
    return dir && *dir ? dir : QUILLET_TEST_BUILD_DIR;
}

}  // namespace quillet::testing
