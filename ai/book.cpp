// SPDX-License-Identifier: GPL-3.0-or-later
// The opening book: a text file of positions, each with one recommended move, read once at
// start-up and looked up by the position's text form in four board orientations.

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <istream>
#include <streambuf>
#include <string>

#include "game/DataFile.h"
#include "game/Form1.h"

namespace quillet {

namespace {

// The longest well-formed entry is 100 characters (a four-digit group, nine commas, 81 cells,
// ",99,99"). Anything much longer is junk; keeping just past this length lets such a line be
// recognised as overlong without holding a huge line in memory.
constexpr std::size_t longest_entry = 200;
constexpr std::size_t kept_length = longest_entry + 1;

// Value of the leading decimal digits of text (0 when it starts with none); text is at most a
// few characters, so the value stays small.
int leadingNumber(const std::string& text) {
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        value = value * 10 + (c - '0');
    }
    return value;
}

// Position of the second comma from the end, or npos when the line has fewer than two.
std::size_t secondLastComma(const std::string& line) {
    const std::size_t last = line.rfind(',');
    if (last == std::string::npos || last == 0) return std::string::npos;
    return line.rfind(',', last - 1);
}

bool onBoard(int column, int row) { return column >= 1 && column <= 9 && row >= 1 && row <= 9; }

// Splits a stream into lines ended by LF, CRLF or CR, calling take(line) for each until it
// returns false. Reads in blocks and keeps at most kept_length characters of a line, so a file
// of one enormous line costs neither memory nor much time.
template <typename Take>
void readLines(std::istream& in, Take take) {
    static constexpr std::size_t block_size = 1 << 16;
    std::string block(block_size, '\0');
    std::string line;
    bool inLine = false;   // characters have been seen since the last line end
    bool afterCR = false;  // the last line ended with CR; an LF right after it belongs to it
    bool atStart = true;
    while (in) {
        in.read(block.data(), block_size);
        const std::size_t got = static_cast<std::size_t>(in.gcount());
        if (got == 0) break;
        const char* const begin = block.data();
        const char* const end = begin + got;
        const char* p = begin;
        if (atStart) {
            atStart = false;
            // A UTF-8 byte order mark written by some editors is not part of the first entry.
            if (got >= 3 && block.compare(0, 3, "\xEF\xBB\xBF") == 0) p += 3;
        }
        if (afterCR && p < end && *p == '\n') ++p;
        afterCR = false;
        // Next LF and CR at or after p; each is searched again only once p has passed it.
        const char* lf = nullptr;
        const char* cr = nullptr;
        while (p < end) {
            if (lf == nullptr || lf < p) lf = static_cast<const char*>(std::memchr(p, '\n', end - p));
            if (lf == nullptr) lf = end;
            if (cr == nullptr || cr < p) cr = static_cast<const char*>(std::memchr(p, '\r', end - p));
            if (cr == nullptr) cr = end;
            const char* const stop = std::min(lf, cr);
            const std::size_t room = kept_length - std::min(kept_length, line.size());
            line.append(p, std::min(room, static_cast<std::size_t>(stop - p)));
            if (stop > p) inLine = true;
            if (stop == end) break;
            inLine = false;
            if (!take(line)) return;
            line.clear();
            p = stop + 1;
            if (*stop == '\r') {
                if (p == end) afterCR = true;
                else if (*p == '\n') ++p;
            }
        }
    }
    // A last line without a line end still counts; a file ending in a line end adds no empty line.
    if (inLine) take(line);
}

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
    readLines(in, [&](const std::string& line) {
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
            if (line.size() > longest_entry) continue;  // cut short when read: its tail is unknown
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
    // Board square of cell `cell` (1..9) of line `line` (1..9) as this orientation reads them.
    auto square = [orientation](int line, int cell, int& x, int& y) {
        switch (orientation) {
            case 0: x = cell, y = line; break;
            case 1: x = line, y = 10 - cell; break;
            case 2: x = 10 - cell, y = 10 - line; break;
            default: x = 10 - line, y = cell; break;
        }
    };
    std::string cells;
    int human = 0;
    int computer = 0;
    for (int line = 1; line <= 9; ++line) {
        cells += ',';
        bool started = false;
        for (int cell = 1; cell <= 9; ++cell) {
            int x = 0, y = 0;
            square(line, cell, x, y);
            const int code = board(x, y);
            if (code == human_piece) {
                cells += '1';
                ++human;
                started = true;
            } else if (code == computer_piece) {
                cells += '2';
                ++computer;
                started = true;
            } else if (started) {
                cells += '0';
            }
        }
    }
    std::string text = std::to_string(human);
    if (computer < 10) text += '0';
    return text + std::to_string(computer) + cells;
}

void Form1::取得_文字列_定石座標(const std::string& text, int& group) const {
    if (text.size() >= 4 && text[3] == ',')
        group = leadingNumber(text.substr(0, 3));
    else if (text.size() >= 5 && text[4] == ',')
        group = leadingNumber(text.substr(0, 4));
}

std::string Form1::取得_文字列_定石(const std::string& line) const {
    // A line with fewer than two commas has no key; the empty key matches no position.
    const std::size_t comma = secondLastComma(line);
    if (comma == std::string::npos) return std::string();
    return line.substr(0, comma);
}

int Form1::取得_座標(const std::string& move_text, int orientation, int& column, int& row) const {
    if (orientation < 0 || orientation > 3) return no;
    int a = 0, b = 0;
    if (move_text.size() >= 3 && move_text[2] == ',') {
        a = leadingNumber(move_text.substr(1, 1));
        b = leadingNumber(move_text.substr(3, 2));
    } else if (move_text.size() >= 4 && move_text[3] == ',') {
        a = leadingNumber(move_text.substr(1, 2));
        b = leadingNumber(move_text.substr(4, 2));
    } else {
        return no;
    }
    switch (orientation) {
        case 0: column = a, row = b; break;
        case 1: column = b, row = 10 - a; break;
        case 2: column = 10 - a, row = 10 - b; break;
        default: column = 10 - b, row = a; break;
    }
    return yes;
}

}  // namespace quillet
