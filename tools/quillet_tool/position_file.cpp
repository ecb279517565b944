// SPDX-License-Identifier: GPL-3.0-or-later
#include <fstream>

#include "tools/quillet_tool/Commands.h"

namespace quillet::tool {

Form1::Position readPositionFile(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw InputError("cannot open position file '" + path + "'");
    Form1::Position p;
    std::string line;
    for (int y = 1; y <= 9; ++y) {
        if (!std::getline(in, line))
            throw InputError(path + ": line " + std::to_string(y) + ": missing board row");
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() != 9)
            throw InputError(path + ": line " + std::to_string(y) +
                             ": a board row needs 9 characters of x o .");
        for (int x = 1; x <= 9; ++x) {
            const char c = line[x - 1];
            if (c != 'x' && c != 'o' && c != '.')
                throw InputError(path + ": line " + std::to_string(y) + ": unexpected character '" +
                                 std::string(1, c) + "' (use x, o or .)");
            p.cells(x, y) = c == 'x' ? Form1::first_code : c == 'o' ? Form1::second_code : Form1::empty_code;
        }
    }
    if (!std::getline(in, line)) throw InputError(path + ": line 10: missing 'computer x' or 'computer o'");
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line == "computer x")
        p.computer_piece = Form1::first_code;
    else if (line == "computer o")
        p.computer_piece = Form1::second_code;
    else
        throw InputError(path + ": line 10: expected 'computer x' or 'computer o'");
    p.side_to_move = p.computer_piece;
    return p;
}

std::string squareName(int column, int row) {
    return std::string(1, static_cast<char>('a' + column - 1)) + std::to_string(row);
}

}  // namespace quillet::tool
