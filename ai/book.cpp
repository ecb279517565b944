// SPDX-License-Identifier: GPL-3.0-or-later
// The opening book: a text file of positions, each with one recommended move, read once at
// start-up and looked up by the position's text form in four board orientations. The text
// format itself, shared with quillet-tool's book builder, is ai/BookFormat.h.

#include <cstdio>
#include <istream>
#include <optional>
#include <string>

#include "ai/BookFormat.h"
#include "game/DataFile.h"
#include "game/Form1.h"

namespace quillet {

namespace {

bool onBoard(int column, int row) { return column >= 1 && column <= 9 && row >= 1 && row <= 9; }

}  // namespace

void Form1::定石ファイル読込() {
    定石ファイル読込(readDataFile("Quillet.定石", data_folder, book_size_limit));
}

void Form1::定石ファイル読込(const std::string& path) {
    定石ファイル読込(readDataFileAt(path, book_size_limit));
}

void Form1::定石ファイル読込(const DataFile& file) {
    book_lines.assign(book_capacity + 1, std::string());
    book_line_count = 0;
    book_first_line.fill(0);
    book_last_line.fill(0);
    int group = 0;
    int previous_group = 0;

    // A missing file simply means no book; one that is there but cannot be read means no book
    // too, and the one line below tells why the computer plays without it.
    if (file.status != DataFile::Status::read) {
        if (file.status != DataFile::Status::missing)
            std::fprintf(stderr, "%s: %s; playing without the opening book\n", file.path.c_str(),
                         describeProblem(file).c_str());
        return;
    }
    ByteStream bytes(file.bytes);
    std::istream in(&bytes);
    book_format::readLines(in, [&](const std::string& line) {
        // More lines than the book holds end the reading; what was read stays.
        if (book_line_count >= book_capacity) return false;
        ++book_line_count;
        book_lines[book_line_count] = line;
        取得_文字列_定石座標(line, group);
        if (group != previous_group) {
            previous_group = group;
            book_first_line[group] = book_line_count;
        }
        book_last_line[group] = book_line_count;
        return true;
    });
}

int Form1::調査_定石有無(int& column, int& row) const {
    for (int orientation = 0; orientation <= 3; ++orientation) {
        const std::string position = 取得_文字列(orientation);
        int group = 0;
        取得_文字列_定石座標(position, group);
        if (book_first_line[group] == 0) continue;
        for (int i = book_first_line[group]; i <= book_last_line[group]; ++i) {
            const std::string& line = book_lines[i];
            if (line.size() > book_format::longest_line)
                continue;  // cut short when read: its tail is unknown
            const std::string key = 取得_文字列_定石(line);
            if (key != position) continue;
            // A matching entry whose move is unreadable or off the board is passed over, so a
            // faulty line never hands the caller a square outside the board.
            int x = 0, y = 0;
            if (取得_座標(line.substr(key.size()), orientation, x, y) != yes || !onBoard(x, y)) continue;
            column = x;
            row = y;
            return yes;
        }
    }
    return no;
}

std::string Form1::取得_文字列(int orientation) const {
    if (orientation < 0 || orientation > 3) return std::string();
    return book_format::positionKey(orientation, [this](int column, int row) {
        const int code = board(column, row);
        return code == human_piece ? '1' : code == computer_piece ? '2' : '0';
    });
}

void Form1::取得_文字列_定石座標(const std::string& text, int& group) const {
    if (const std::optional<int> read = book_format::lenientGroup(text)) group = *read;
}

std::string Form1::取得_文字列_定石(const std::string& line) const {
    // A line with fewer than two commas has no key; the empty key matches no position.
    const std::size_t length = book_format::keyLength(line);
    if (length == std::string::npos) return std::string();
    return line.substr(0, length);
}

int Form1::取得_座標(const std::string& move_text, int orientation, int& column, int& row) const {
    if (orientation < 0 || orientation > 3) return no;
    int a = 0, b = 0;
    if (!book_format::lenientMove(move_text, a, b)) return no;
    book_format::orientedSquare(orientation, a, b, column, row);
    return yes;
}

}  // namespace quillet
