// SPDX-License-Identifier: GPL-3.0-or-later
// book: builds the opening book file by searching every position the book can meet.

#include "tools/engine/Book.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

#include "tools/quillet_tool/Commands.h"

namespace quillet::tool {

const CommandLine& bookLine() {
    static const CommandLine line = CommandLine("write the opening book (default Quillet.定石)")
                                        .numberOption("--lines", "N", "lines", 1, Form1::book_capacity)
                                        .numberOption("--depth", "D", "depth", 1, 30)
                                        .option("--out", "FILE");
    return line;
}

int bookCommand(const Args& args, const Output& o) {
    engine::BookOptions options;
    const ParsedArgs parsed = bookLine().parse(args);
    options.lines = static_cast<int>(parsed.number("--lines", options.lines));
    options.depth = static_cast<int>(parsed.number("--depth", options.depth));
    const std::string out = parsed.text("--out", "Quillet.定石");
    options.threads = static_cast<int>(std::max(1u, std::min(2u, std::thread::hardware_concurrency())));
    options.progress = [&o](const engine::BookProgress& p) {
        std::fprintf(o.err,
                     "book: %d pieces placed: searched %d of %d planned (at most %d), depth %d, %.1f s%s\n",
                     p.ply, p.searched, p.planned, p.budget, p.depth, p.seconds, p.plyDone ? " (done)" : "");
    };
    // The file is rewritten after every ply, so a long build that is stopped still leaves a
    // complete book of the plies it finished.
    const auto write = [&out](const std::vector<engine::BookLine>& lines) {
        const std::string temporary = out + ".tmp";
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file) throw InputError("cannot write '" + temporary + "'");
        book_format::writeBook(file, lines);
        file.close();
        if (!file) throw std::runtime_error("writing '" + temporary + "' failed");
        if (std::rename(temporary.c_str(), out.c_str()) != 0)
            throw std::runtime_error("cannot replace '" + out + "'");
    };
    write({});
    options.plyDone = write;
    const auto start = std::chrono::steady_clock::now();
    const std::vector<engine::BookLine> lines = engine::buildBook(options);
    write(lines);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::fprintf(o.out, "book lines %zu depth %d threads %d time %.1f s file %s\n", lines.size(),
                 options.depth, options.threads, seconds, out.c_str());
    return 0;
}

}  // namespace quillet::tool
