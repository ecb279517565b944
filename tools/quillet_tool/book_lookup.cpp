// SPDX-License-Identifier: GPL-3.0-or-later
// string, lookup: the opening book's view of a position, for checking book files by hand.

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "tools/quillet_tool/Commands.h"

namespace quillet::tool {

int stringCommand(const Args& args, const Output& o) {
    if (args.size() != 2) throw UsageError("expected a position file and an orientation");
    const int orientation = static_cast<int>(parseNumber(args[1], "orientation", 0, 3));
    HeadlessGame game;
    loadPositionFile(args[0], game.form);
    std::fprintf(o.out, "%s\n", game.form.取得_文字列(orientation).c_str());
    return 0;
}

int lookupCommand(const Args& args, const Output& o) {
    if (args.size() != 2) throw UsageError("expected a book file and a position file");
    // The game treats a missing book as no book; here a wrong path is far more likely a typo.
    if (std::filesystem::is_directory(args[0]) || !std::ifstream(args[0]))
        throw InputError("cannot open book file '" + args[0] + "'");
    HeadlessGame game;
    loadPositionFile(args[1], game.form);
    game.form.定石ファイル読込(args[0]);
    int column = 0, row = 0;
    if (game.form.調査_定石有無(column, row) == Form1::yes)
        std::fprintf(o.out, "%s\n", squareName(column, row).c_str());
    else
        std::fprintf(o.out, "none\n");
    return 0;
}

}  // namespace quillet::tool
