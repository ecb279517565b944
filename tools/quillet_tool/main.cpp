// quillet-tool: analysis, checks, benchmarks and book building on the game's own procedures.

#include <cstdio>
#include <map>

#include "tools/quillet_tool/Commands.h"

namespace quillet::tool {

namespace {
struct Entry {
    std::string usage;
    CommandFn fn;
};
std::map<std::string, Entry>& commands() {
    static std::map<std::string, Entry> table;
    return table;
}

void printUsage() {
    std::fprintf(stderr, "usage: quillet-tool COMMAND [ARGS]\ncommands:\n");
    for (const auto& [name, entry] : commands()) std::fprintf(stderr, "  %s %s\n", name.c_str(), entry.usage.c_str());
}
}  // namespace

Registrar::Registrar(const std::string& name, const std::string& usage, CommandFn fn) {
    commands()[name] = Entry{usage, std::move(fn)};
}

}  // namespace quillet::tool

int main(int argc, char** argv) {
    using namespace quillet::tool;
    if (argc < 2) {
        printUsage();
        return 2;
    }
    const std::string name = argv[1];
    auto it = commands().find(name);
    if (it == commands().end()) {
        std::fprintf(stderr, "quillet-tool: unknown command '%s'\n", name.c_str());
        printUsage();
        return 2;
    }
    Args args(argv + 2, argv + argc);
    try {
        return it->second.fn(args);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "quillet-tool %s: %s\nusage: quillet-tool %s %s\n", name.c_str(), e.what(), name.c_str(),
                     it->second.usage.c_str());
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quillet-tool %s: %s\n", name.c_str(), e.what());
        return 1;
    }
}
