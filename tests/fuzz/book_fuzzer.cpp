// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes as the opening book file, read by the game's own loader from a real file,
// then looked up from positions the input itself suggests: the start, the board its first line
// describes (so that keys can actually match) and a few positions reached by legal moves.

#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

#include "game/Form1.h"
#include "tools/headless/Headless.h"

namespace {

using quillet::Form1;

std::string bookPath;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "book_fuzzer: %s\n", what);
    std::abort();
}

// Reads the board the way orientation 0 writes it: after the group number, nine comma-separated
// rows, each holding the row's cells from its first piece to the right edge.
void boardFromFirstLine(Form1& f, const std::uint8_t* data, std::size_t size) {
    f.board.fill(Form1::empty_code);
    std::size_t i = 0;
    while (i < size && data[i] != ',' && data[i] != '\n' && data[i] != '\r') ++i;
    for (int row = 1; row <= 9 && i < size && data[i] == ','; ++row) {
        const std::size_t start = ++i;
        while (i < size && data[i] != ',' && data[i] != '\n' && data[i] != '\r') ++i;
        const std::size_t length = std::min<std::size_t>(i - start, 9);
        for (std::size_t k = 0; k < length; ++k) {
            const int column = static_cast<int>(10 - length + k);
            if (data[start + k] == '1') f.board(column, row) = f.human_piece;
            if (data[start + k] == '2') f.board(column, row) = f.computer_piece;
        }
    }
}

// A lookup must either leave the square untouched or give one on the board.
void lookUp(const Form1& f) {
    int column = -7, row = -7;
    const int found = f.調査_定石有無(column, row);
    if (found == Form1::yes) {
        if (column < 1 || column > 9 || row < 1 || row > 9) fail("book move off the board");
    } else if (found != Form1::no || column != -7 || row != -7) {
        fail("a lookup without a move changed its answer square");
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const std::filesystem::path dir = std::filesystem::exists("/dev/shm")
                                          ? std::filesystem::path("/dev/shm")
                                          : std::filesystem::temp_directory_path();
    bookPath = (dir / ("quillet-book-fuzz-" + std::to_string(getpid()))).string();
    std::atexit([] { std::remove(bookPath.c_str()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(bookPath.c_str(), "wb");
    if (file == nullptr) fail("cannot write the book file");
    if (size > 0 && std::fwrite(data, 1, size, file) != size) fail("cannot write the book file");
    std::fclose(file);

    // One game object for the whole run: the loader starts every read from an empty book, and
    // everything else a lookup reads is set again below.
    static quillet::HeadlessGame game;
    Form1& f = game.form;
    f.human_piece = Form1::first_code;
    f.computer_piece = Form1::second_code;
    f.定石ファイル読込(bookPath);
    if (f.book_line_count < 0 || f.book_line_count > Form1::book_capacity) fail("line count out of range");

    // Which side the book answers for follows the last byte, so both codes get written as "2".
    if (size > 0 && (data[size - 1] & 1)) {
        f.human_piece = Form1::second_code;
        f.computer_piece = Form1::first_code;
    }

    f.初期設定();
    lookUp(f);

    boardFromFirstLine(f, data, size);
    lookUp(f);
    f.将棋盤_入替();
    lookUp(f);

    // A short game whose moves the input picks, looked up after every move.
    f.初期設定();
    int side = Form1::first_code, opponent = Form1::second_code;
    for (std::size_t k = 0; k < 3 && k < size; ++k) {
        int legal[81][2];
        int count = 0;
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y)
                if (f.置けるか(x, y, side, opponent) == Form1::yes)
                    legal[count][0] = x, legal[count++][1] = y;
        if (count == 0) break;
        const int* move = legal[data[k] % count];
        f.反転_仮(move[0], move[1], side, opponent);
        f.board(move[0], move[1]) = side;
        std::swap(side, opponent);
        lookUp(f);
    }
    return 0;
}
