#include "tests/doubles/Fixture.h"

#include <cstdlib>
#include <stdexcept>

namespace quillet::testing {

void setBoard(Form1& form, const std::string& rows) {
    std::string cells;
    for (char c : rows)
        if (c == 'x' || c == 'o' || c == '.') cells += c;
    if (cells.size() != 81) throw std::invalid_argument("board text needs 81 cells");
    for (int x = 0; x <= 11; ++x)
        for (int y = 0; y <= 11; ++y) form.board(x, y) = Form1::empty_code;
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            char c = cells[(y - 1) * 9 + (x - 1)];
            form.board(x, y) = c == 'x' ? Form1::first_code : c == 'o' ? Form1::second_code : Form1::empty_code;
        }
}

std::string boardText(const Form1& form) {
    std::string out;
    for (int y = 1; y <= 9; ++y) {
        for (int x = 1; x <= 9; ++x) {
            int c = form.board(x, y);
            out += c == Form1::first_code ? 'x' : c == Form1::second_code ? 'o' : c == Form1::empty_code ? '.' : '?';
        }
        out += '\n';
    }
    return out;
}

void GameFixture::setBoard(const std::string& rows) { testing::setBoard(form, rows); }
std::string GameFixture::boardText() const { return testing::boardText(form); }

std::string sourceDir() {
    const char* dir = std::getenv("QUILLET_SOURCE_DIR");
    return dir && *dir ? dir : QUILLET_TEST_SOURCE_DIR;
}

std::string buildDir() {
    const char* dir = std::getenv("QUILLET_BUILD_DIR");
    return dir && *dir ? dir : QUILLET_TEST_BUILD_DIR;
}

}  // namespace quillet::testing
