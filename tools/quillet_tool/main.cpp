// SPDX-License-Identifier: GPL-3.0-or-later
// quillet-tool: analysis, checks, benchmarks and book building on the game's own procedures.

#include <cstdio>
#include <map>

#include "game/Notice.h"
#include "tools/quillet_tool/Commands.h"

namespace quillet::tool {

namespace {
struct Entry {
    const CommandLine* line;
    CommandFn fn;
};
std::map<std::string, Entry>& commands() {
    static std::map<std::string, Entry> table;
    return table;
}

// The command's summary, its continuation lines indented by `indent` spaces.
std::string summary(const Entry& entry, std::size_t indent) {
    std::string text = entry.line->summary();
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
        text.insert(at + 1, indent, ' ');
    return text;
}

void printCommandHelp(std::FILE* out, const std::string& name, const Entry& entry) {
    std::fprintf(out, "usage: quillet-tool %s %s\n  %s\n", name.c_str(), entry.line->synopsis().c_str(),
                 summary(entry, 2).c_str());
}

void printUsage(std::FILE* out) {
    std::fprintf(out,
                 "usage: quillet-tool COMMAND [ARGS]\n"
                 "       quillet-tool help COMMAND\n"
                 "       quillet-tool --help | --version\n"
                 "Analysis, checks, benchmarks and book building on Quillet's own game procedures.\n"
                 "\ncommands:\n");
    for (const auto& [name, entry] : commands())
        std::fprintf(out, "  %s %s  %s\n", name.c_str(), entry.line->synopsis().c_str(),
                     summary(entry, 6).c_str());
    std::fprintf(out,
                 "\nA position FILE is 9 lines of 9 of x (first player), o (second player) and . (empty),\n"
                 "row 1 first, then a line 'computer x' or 'computer o'.\n"
                 "Exit status: 0 done, 1 bad input (a file that cannot be read or written, or a\n"
                 "malformed position or book), 2 wrong arguments. See quillet-tool(6).\n");
}

}  // namespace

Registrar::Registrar(const std::string& name, const CommandLine& line, CommandFn fn) {
    commands()[name] = Entry{&line, std::move(fn)};
}

}  // namespace quillet::tool

int main(int argc, char** argv) {
    using namespace quillet::tool;
    if (argc < 2) {
        printUsage(stderr);
        return 2;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h") {
        printUsage(stdout);
        return 0;
    }
    if (name == "--version") {
        std::printf("quillet-tool " QUILLET_VERSION "\n%s", quillet::licence_notice);
        return 0;
    }
    if (name == "help") {
        if (argc != 3) {
            printUsage(argc == 2 ? stdout : stderr);
            return argc == 2 ? 0 : 2;
        }
        const auto it = commands().find(argv[2]);
        if (it == commands().end()) {
            std::fprintf(stderr, "quillet-tool: unknown command '%s'; 'quillet-tool --help' lists them\n",
                         argv[2]);
            return 2;
        }
        printCommandHelp(stdout, it->first, it->second);
        return 0;
    }
    auto it = commands().find(name);
    if (it == commands().end()) {
        std::fprintf(stderr, "quillet-tool: unknown command '%s'\n", name.c_str());
        printUsage(stderr);
        return 2;
    }
    Args args(argv + 2, argv + argc);
    try {
        return it->second.fn(args);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "quillet-tool %s: %s\n", name.c_str(), e.what());
        printCommandHelp(stderr, name, it->second);
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quillet-tool %s: %s\n", name.c_str(), e.what());
        return 1;
    }
}
