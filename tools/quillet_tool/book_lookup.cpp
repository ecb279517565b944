// SPDX-License-Identifier: GPL-3.0-or-later
// string, lookup: the opening book's view of a position, for checking book files by hand.

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "tools/quillet_tool/Commands.h"

namespace quillet::tool {

const CommandLine& stringLine() {
    static const CommandLine line =
        CommandLine("the book text of a position read in orientation 0..3")
            .argument("FILE", "expected a position file and an orientation")
            .number("ORIENTATION", "orientation", 0, 3, "expected a position file and an orientation");
    return line;
}

const CommandLine& lookupLine() {
    static const CommandLine line = CommandLine("the book's move for the computer in a position, or none")
                                        .argument("BOOK", "expected a book file and a position file")
                                        .argument("FILE", "expected a book file and a position file");
    return line;
}

int stringCommand(const Args& args, const Output& o) {
    const ParsedArgs parsed = stringLine().parse(args);
    const int orientation = static_cast<int>(parsed.number("ORIENTATION"));
    HeadlessGame game;
    game.form.局面_設定(readPositionFile(parsed.text("FILE")));
    std::fprintf(o.out, "%s\n", game.form.取得_文字列(orientation).c_str());
    return 0;
}

int lookupCommand(const Args& args, const Output& o) {
    const ParsedArgs parsed = lookupLine().parse(args);
    const std::string book = parsed.text("BOOK");
    // The game treats a missing book as no book; here a wrong path is far more likely a typo.
    if (std::filesystem::is_directory(book) || !std::ifstream(book))
        throw InputError("cannot open book file '" + book + "'");
    HeadlessGame game;
    game.form.局面_設定(readPositionFile(parsed.text("FILE")));
    game.form.定石ファイル読込(book);
    int column = 0, row = 0;
    if (game.form.調査_定石有無(column, row) == Form1::yes)
        std::fprintf(o.out, "%s\n", squareName(column, row).c_str());
    else
        std::fprintf(o.out, "none\n");
    return 0;
}

}  // namespace quillet::tool
